#include "protocol/boards/Em_MainBd_Q50.h"

#include "platform/Endian.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/boards/Em_CmdPaker_Q50.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

using platform::ReadBE16;
using platform::ReadBE32;
using platform::ReadBEDouble;
using platform::ReadBEFloat;

namespace {

// Item lengths of the fixed-size records.
constexpr unsigned kPowerStatusLength = 12;
constexpr unsigned kHardwareInfoLength = 35;
constexpr unsigned kFirmwareInfoLength = 100;
constexpr unsigned kTextHead = 4;
constexpr unsigned kMinTextItem = 5;
constexpr unsigned kSolutionLength = 28;
constexpr unsigned kGpsTimeLength = 8;
constexpr unsigned kDopsLength = 16;
constexpr unsigned kThreeDoubles = 24;
constexpr unsigned kPositionLength = 64;
constexpr unsigned kBubbleLength = 15;
constexpr unsigned kBaseSetLength = 26;
constexpr unsigned kSatEnableLength = 20;
constexpr unsigned kRadioInfoLength = 26;
constexpr unsigned kWifiApLength = 42;
constexpr unsigned kFileRecordLength = 43;
constexpr unsigned kIpAddressLength = 57;
constexpr unsigned kStatusTripleLength = 8;
constexpr unsigned kMountLength = 20;
constexpr unsigned kAccountLength = 70;
constexpr unsigned kDialParaLength = 100;
constexpr unsigned kSignalLength = 5;
constexpr unsigned kSatHeadLength = 8;
constexpr unsigned kSatRecordLength = 9;

// u16, u32, u16: the status records of the network link and the modem.
template <class T>
void ReadStatusTriple(const uint8_t* v, T& r) {
    r.first = ReadBE16(v);
    r.second = ReadBE32(v + 2);
    r.third = ReadBE16(v + 6);
}

}  // namespace

uint16_t GnssFrq_ToDataFrq(GNSS_FRQ frq) {
    switch (int32_t(frq)) {
    case 0: return 1;
    case 1: return 6;
    case 2: return 7;
    case 3: return 9;
    case 4: return 10;
    case 5: return 11;
    case 6: return 12;
    case 11: return 8;
    case 255: return 2;
    default: return 9;
    }
}

uint16_t BaudRate_ToCode(uint32_t baud) {
    switch (baud) {
    case 2400: return 1;
    case 4800: return 2;
    case 9600: return 3;
    case 14400: return 4;
    case 19200: return 5;
    case 38400: return 6;
    case 56000: return 7;
    case 57600: return 8;
    case 115200: return 9;
    case 128000: return 10;
    case 256000: return 11;
    case 512000: return 12;
    default: return 3;
    }
}

unsigned Em_RepParser_Q50::Decode_BinFrame(const uint8_t* data, int id, unsigned length) {
    ChangedMask = 0;
    if (!data) return 0;
    bool taken = false;
    switch (id >> 8) {
    case 0x00:
        if (id == 2 && length == 2) {
            records.responseStatus = ReadBE16(data);
            ChangedMask = Q50Bits::Response;
            taken = true;
        }
        break;
    case 0x01:
        if (length != 2) break;
        if (id == 259) {
            records.comBaud = ReadBE16(data);
            ChangedMask = 0x80;
            taken = true;
        } else if (id == 260) {
            records.comPort = ReadBE16(data);
            ChangedMask = 0x100;
            taken = true;
        }
        break;
    case 0x03: taken = DecodeSystem(data, id, length); break;
    case 0x04: taken = DecodeGnss(data, id, length); break;
    case 0x07: taken = DecodeRadio(data, id, length); break;
    case 0x0A:
    case 0x0B: taken = DecodeWifiAndRecording(data, id, length); break;
    case 0x11: taken = DecodeNetLink(data, id, length); break;
    case 0x14:
    case 0x15: taken = DecodeModemAndDataLink(data, id, length); break;
    default: break;
    }
    if (!taken) ChangedMask = 0;
    return taken ? 1u : 0u;
}

bool Em_RepParser_Q50::DecodeSystem(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 772:
        if (n != kPowerStatusLength) return false;
        for (int i = 0; i < 3; ++i) records.powerStatus.words[i] = ReadBE32(v + 4 * i);
        ChangedMask = 0x1;
        return true;
    case 774: {
        if (n != kHardwareInfoLength) return false;
        OV_SYSTEM_HARDWARE_INFO_STRUCT& h = records.hardwareInfo;
        h.word0 = ReadBE32(v);
        std::memcpy(h.pair, v + 4, 2);
        std::memcpy(h.quad, v + 6, 4);
        std::memcpy(h.raw, v + 10, 13);
        for (int i = 0; i < 3; ++i) h.words[i] = ReadBE32(v + 23 + 4 * i);
        ChangedMask = 0x2;
        return true;
    }
    case 775:
        if (n != kFirmwareInfoLength) return false;
        std::memcpy(records.firmwareInfo.first, v, 50);
        std::memcpy(records.firmwareInfo.second, v + 50, 50);
        ChangedMask = 0x4;
        return true;
    case 776:
        // The administrator reply carries nothing to keep.
        ChangedMask = 0x8;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeText(const uint8_t* v, unsigned n) {
    if (n < kMinTextItem) return false;
    const uint32_t count = ReadBE32(v);
    if (count == 0) return true;
    const uint32_t take = std::min({count, uint32_t(kGgaTextCapacity), uint32_t(n - kTextHead)});
    std::memcpy(ggaText, v + kTextHead, take);
    ggaText[take] = 0;
    ggaLength = take;
    return true;
}

void Em_RepParser_Q50::StoreGpsTime(uint32_t week, uint32_t secondsOfWeek) {
    solution.gpsWeek = week;
    solution.gpsSeconds = secondsOfWeek;
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    GpsWeekTow_ToCalendar(week, secondsOfWeek, &year, &month, &day, &hour, &minute, &second);
    // Time first: a time of day past midnight must not move the new date.
    StoreUtcTime(hour, minute, second);
    StoreUtcDate(year, month, day);
}

bool Em_RepParser_Q50::DecodeSatellites(const uint8_t* v, unsigned n) {
    if (n < kSatHeadLength) return false;
    uint32_t total = 0;
    for (int i = 0; i < SATLIST_COUNT; ++i) total += v[i];
    if (total == 0 || n != kSatHeadLength + kSatRecordLength * total) return false;
    for (SatList& list : satLists) list.Clear();
    satsListed = total;
    satsListedUsed = 0;
    for (uint32_t k = 0; k < total; ++k) {
        const uint8_t* r = v + kSatHeadLength + kSatRecordLength * k;
        if (r[8] != 0) ++satsListedUsed;
        const unsigned system = r[1];
        if (system >= unsigned(SATLIST_COUNT)) continue;
        SatList& list = satLists[system];
        if (list.count >= SatList::kCapacity) continue;
        SATLLITE_STR& s = list.sats[list.count++];
        s.number = r[0];
        s.elevation = r[2];
        s.azimuth = ReadBE16(r + 3);
        for (int i = 0; i < 3; ++i) s.snr[i] = float(r[5 + i]);
        s.used = r[8] != 0 ? 1u : 0u;
    }
    satSystems = 0;
    for (const SatList& list : satLists)
        if (list.count > 0) ++satSystems;
    return true;
}

bool Em_RepParser_Q50::DecodePosition(const uint8_t* v, unsigned n) {
    if (n != kPositionLength) return false;
    position.latitude = ReadBEDouble(v);
    position.longitude = ReadBEDouble(v + 8);
    position.height = ReadBEDouble(v + 16);
    position.status = int32_t(ReadBE32(v + 24));
    StoreGpsTime(ReadBE32(v + 28), ReadBE32(v + 32));
    errors.heightError = ReadBEDouble(v + 36);
    errors.horizontalError = ReadBEDouble(v + 44);
    errors.rms = ReadBEDouble(v + 52);
    position.diffAge = double(ReadBE32(v + 60));
    return true;
}

bool Em_RepParser_Q50::DecodeGnss(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 1029:
        if (n != 2) return false;
        records.diffType = ReadBE16(v);
        ChangedMask = 0x1;
        return true;
    case 1030:
    case 1031:
    case 1032:
    case 1033: {
        static constexpr uint32_t kBits[] = {0x10, 0x20, 0x8000, 0x10000};
        if (!DecodeText(v, n)) return false;
        ChangedMask = kBits[id - 1030];
        return true;
    }
    case 1034:
        if (n != kSolutionLength) return false;
        position.latitude = ReadBEDouble(v);
        position.longitude = ReadBEDouble(v + 8);
        position.height = ReadBEDouble(v + 16);
        position.status = int32_t(ReadBE32(v + 24));
        ChangedMask = 0x40;
        return true;
    case 1035:
        if (n != kGpsTimeLength) return false;
        StoreGpsTime(ReadBE32(v), ReadBE32(v + 4));
        ChangedMask = 0x80;
        return true;
    case 1036:
        if (n != kDopsLength) return false;
        dops.pdop = ReadBEFloat(v);
        dops.hdop = ReadBEFloat(v + 4);
        dops.vdop = ReadBEFloat(v + 8);
        dops.tdop = ReadBEFloat(v + 12);
        dops.gdop = std::hypot(dops.pdop, dops.tdop);
        ChangedMask = 0x400;
        return true;
    case 1037:
        if (!DecodeSatellites(v, n)) return false;
        ChangedMask = 0x800;
        return true;
    case 1038:
        if (n != kThreeDoubles) return false;
        errors.heightError = ReadBEDouble(v);
        errors.horizontalError = ReadBEDouble(v + 8);
        errors.rms = ReadBEDouble(v + 16);
        ChangedMask = 0x100;
        return true;
    case 1039:
        if (n != kThreeDoubles) return false;
        baseInfo.x = ReadBEDouble(v);
        baseInfo.y = ReadBEDouble(v + 8);
        baseInfo.z = ReadBEDouble(v + 16);
        ChangedMask = 0x1000;
        return true;
    case 1040:
        if (!DecodePosition(v, n)) return false;
        ChangedMask = 0x200;
        return true;
    case 1041: {
        if (n != kBubbleLength) return false;
        Q50_Bubble& b = records.bubble;
        b.state = v[0];
        b.word = ReadBE32(v + 1);
        for (int i = 0; i < 3; ++i) b.angles[i] = ReadBE16(v + 5 + 2 * i);
        b.floatBits = ReadBE32(v + 11);
        ChangedMask = 0x2000;
        return true;
    }
    case 1104:
        if (n != 1) return false;
        records.pdopMask = v[0];
        ChangedMask = 0x2;
        return true;
    case 1105:
        if (n != 1) return false;
        elevMask = v[0];
        ChangedMask = 0x4;
        return true;
    case 1106:
        if (n != kBaseSetLength) return false;
        records.baseSet.mode = ReadBE16(v);
        records.baseSet.latitude = ReadBEDouble(v + 2);
        records.baseSet.longitude = ReadBEDouble(v + 10);
        records.baseSet.height = ReadBEDouble(v + 18);
        ChangedMask = 0x8;
        return true;
    case 1109:
        if (n != kSatEnableLength) return false;
        for (int i = 0; i < 5; ++i) records.satEnable.words[i] = ReadBE32(v + 4 * i);
        ChangedMask = 0x4000;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeRadio(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 1795:
    case 1796:
    case 1801:
    case 1803: {
        if (n != 4) return false;
        const uint32_t value = ReadBE32(v);
        if (id == 1795) records.radioFrequencyBits = value, ChangedMask = 0x1;
        if (id == 1796) records.radioPower = value, ChangedMask = 0x2;
        if (id == 1801) records.radioStepper = value, ChangedMask = 0x4;
        if (id == 1803) records.radioAirBaud = value, ChangedMask = 0x8;
        return true;
    }
    case 1804:
        if (n != 2) return false;
        records.radioProtocol = ReadBE16(v);
        ChangedMask = 0x10;
        return true;
    case 1805: {
        if (n != kRadioInfoLength) return false;
        OV_RADIO_INFOLIST_STRUCT& r = records.radioInfoList;
        r.first = ReadBE16(v);
        r.second = ReadBE16(v + 2);
        r.third = ReadBE32(v + 4);
        r.fourth = ReadBE32(v + 8);
        r.fifth = ReadBE16(v + 12);
        r.sixth = ReadBE32(v + 14);
        r.seventh = ReadBE32(v + 18);
        r.eighth = ReadBE32(v + 22);
        ChangedMask = 0x20;
        return true;
    }
    case 1808:
        if (n != 1) return false;
        records.radioAutoPowerOn = v[0];
        ChangedMask = 0x40;
        return true;
    case 1809:
    case 1810:
        if (n != 2) return false;
        if (id == 1809) records.radioModuleType = ReadBE16(v), ChangedMask = 0x80;
        else records.radioPowerStatus = ReadBE16(v), ChangedMask = 0x100;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeWifiAndRecording(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 2563:
        if (n != kWifiApLength) return false;
        std::memcpy(records.wifiAp.ssid, v, 20);
        records.wifiAp.security = ReadBE16(v + 20);
        std::memcpy(records.wifiAp.password, v + 22, 20);
        ChangedMask = 0x4;
        return true;
    case 2564:
    case 2568:
        if (n != 2) return false;
        if (id == 2564) records.wifiMode = ReadBE16(v), ChangedMask = 0x2;
        else records.wifiPowerStatus = ReadBE16(v), ChangedMask = 0x8;
        return true;
    case 2567:
    case 2821:
        if (n != 1) return false;
        if (id == 2567) records.wifiAutoOpen = v[0], ChangedMask = 0x1;
        else records.fileRecordAutoOpen = v[0], ChangedMask = 0x20;
        return true;
    case 2822: {
        if (n != kFileRecordLength) return false;
        OV_FILE_RECORD_CONFIG_STRUCT& r = records.fileRecordConfig;
        std::memcpy(r.name, v, 20);
        r.byte20 = v[20];
        for (int i = 0; i < 3; ++i) r.words[i] = ReadBE32(v + 21 + 4 * i);
        std::memcpy(r.bytes, v + 33, 3);
        r.half = ReadBE16(v + 36);
        r.byte42 = v[38];
        r.lastWord = ReadBE32(v + 39);
        ChangedMask = 0x10;
        return true;
    }
    case 2823:
        if (n != 2) return false;
        records.fileRecordStatus = ReadBE16(v);
        ChangedMask = 0x40;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeNetLink(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 4354:
        if (n != 4) return false;
        records.netLinkWord = ReadBE32(v);
        ChangedMask = 0x200;
        return true;
    case 4355:
        if (n != kIpAddressLength) return false;
        records.netLinkAddress.address = ReadBE32(v);
        records.netLinkAddress.port = ReadBE16(v + 4);
        records.netLinkAddress.useHost = v[6];
        std::memcpy(records.netLinkAddress.host, v + 7, 50);
        ChangedMask = 0x400;
        return true;
    case 4356:
        if (n != 2) return false;
        records.netLinkServerType = ReadBE16(v);
        ChangedMask = 0x800;
        return true;
    case 4357:
        if (n != kStatusTripleLength) return false;
        ReadStatusTriple(v, records.netLinkStatus);
        ChangedMask = 0x1000;
        return true;
    case 4358: {
        if (n < kMinTextItem) return false;
        const uint32_t take = std::min({ReadBE32(v), Q50_Records::kSourceListSize, uint32_t(n - kTextHead)});
        std::memcpy(records.sourceList, v + kTextHead, take);
        records.sourceListLength = take;
        ChangedMask = 0x2000;
        return true;
    }
    case 4361:
        if (n != 1) return false;
        records.netLinkAutoOpen = v[0];
        ChangedMask = 0x4000;
        return true;
    case 4362:
        if (n != kMountLength) return false;
        std::memcpy(records.dataSource.mountPoint, v, kMountLength);
        ChangedMask = 0x8000;
        return true;
    case 4363:
        if (n != kAccountLength) return false;
        std::memcpy(records.account.user, v, 50);
        std::memcpy(records.account.password, v + 50, 20);
        ChangedMask = 0x10000;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeModemAndDataLink(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case 5123:
        if (n != kDialParaLength) return false;
        std::memcpy(records.modemDialPara.texts, v, kDialParaLength);
        ChangedMask = 0x10;
        return true;
    case 5124:
        if (n != kStatusTripleLength) return false;
        ReadStatusTriple(v, records.modemDialStatus);
        ChangedMask = 0x20;
        return true;
    case 5129:
    case 5130:
        if (n != 1) return false;
        if (id == 5129) records.modemAutoDial = v[0], ChangedMask = 0x40;
        else records.modemAutoPowerOn = v[0], ChangedMask = 0x80;
        return true;
    case 5131:
    case 5133:
        if (n != 2) return false;
        if (id == 5131) records.modemPowerStatus = ReadBE16(v), ChangedMask = 0x100;
        else records.modemBandMode = ReadBE16(v), ChangedMask = 0x400;
        return true;
    case 5132:
        if (n != kSignalLength) return false;
        records.modemSignal.value = ReadBE32(v);
        records.modemSignal.level = v[4];
        ChangedMask = 0x200;
        return true;
    case 5379:
        if (n != 2) return false;
        records.dataLinkMode = ReadBE16(v);
        ChangedMask = Q50Bits::DataLinkMode;
        return true;
    case 5380:
        // Correction data echoed back: taken, nothing kept.
        return true;
    default: return false;
    }
}

Em_MainBd_Q50::Em_MainBd_Q50() : EmIMainBoard(MAINBD_ORVEL_NEW) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_Q50);
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_Q50);
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_Q50::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

Em_RepParser_Q50* Em_MainBd_Q50::Q50Parser() const { return static_cast<Em_RepParser_Q50*>(RepParser()); }

}  // namespace FJParse
}  // namespace Fjarnis2011
