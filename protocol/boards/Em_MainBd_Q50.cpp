#include "protocol/boards/Em_MainBd_Q50.h"

#include "platform/Endian.h"
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

namespace P = OvParam;
namespace B = Q50Bits;

// The layouts of the items whose length follows from their contents: a text
// item (u32 count, the text) and the satellite list (the counts of five
// systems in an 8-byte head, then one 9-byte record a satellite).
constexpr unsigned kTextHead = 4;
constexpr unsigned kMinTextItem = 5;
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
    switch (frq) {
    case GNSS_FRQ_OFF: return OV_DATA_FRQ_OFF;
    case GNSS_FRQ_10HZ: return OV_DATA_FRQ_10HZ;
    case GNSS_FRQ_5HZ: return OV_DATA_FRQ_5HZ;
    case GNSS_FRQ_1HZ: return OV_DATA_FRQ_1HZ;
    case GNSS_FRQ_2S: return OV_DATA_FRQ_2S;
    case GNSS_FRQ_5S: return OV_DATA_FRQ_5S;
    case GNSS_FRQ_10S: return OV_DATA_FRQ_10S;
    case GNSS_FRQ_2HZ: return OV_DATA_FRQ_2HZ;
    case GNSS_FRQ_ONCE: return OV_DATA_FRQ_ONCE;
    default: return OV_DATA_FRQ_1HZ;
    }
}

uint16_t BaudRate_ToCode(uint32_t baud) {
    switch (baud) {
    case 2400: return OV_COM_BAUD_2400;
    case 4800: return OV_COM_BAUD_4800;
    case 9600: return OV_COM_BAUD_9600;
    case 14400: return OV_COM_BAUD_14400;
    case 19200: return OV_COM_BAUD_19200;
    case 38400: return OV_COM_BAUD_38400;
    case 56000: return OV_COM_BAUD_56000;
    case 57600: return OV_COM_BAUD_57600;
    case 115200: return OV_COM_BAUD_115200;
    case 128000: return OV_COM_BAUD_128000;
    case 256000: return OV_COM_BAUD_256000;
    case 512000: return OV_COM_BAUD_512000;
    default: return OV_COM_BAUD_9600;
    }
}

unsigned Em_RepParser_Q50::Decode_BinFrame(const uint8_t* data, int id, unsigned length) {
    ChangedMask = 0;
    if (!data) return 0;
    bool taken = false;
    switch (id >> 8) {
    case 0x00:
        if (id == P::ResponseStatus && length == P::ResponseStatus.reply) {
            records.responseStatus = ReadBE16(data);
            ChangedMask = B::Response;
            taken = true;
        }
        break;
    case 0x01:
        if (id == P::ComBaud && length == P::ComBaud.reply) {
            records.comBaud = ReadBE16(data);
            ChangedMask = B::ComBaud;
            taken = true;
        } else if (id == P::ComPort && length == P::ComPort.reply) {
            records.comPort = ReadBE16(data);
            ChangedMask = B::ComPort;
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
    case P::SystemPowerStatus:
        if (n != P::SystemPowerStatus.reply) return false;
        for (int i = 0; i < 3; ++i) records.powerStatus.words[i] = ReadBE32(v + 4 * i);
        ChangedMask = B::SystemPowerStatus;
        return true;
    case P::SystemHardwareInfo: {
        if (n != P::SystemHardwareInfo.reply) return false;
        OV_SYSTEM_HARDWARE_INFO_STRUCT& h = records.hardwareInfo;
        h.word0 = ReadBE32(v);
        std::memcpy(h.pair, v + 4, 2);
        std::memcpy(h.quad, v + 6, 4);
        std::memcpy(h.raw, v + 10, 13);
        for (int i = 0; i < 3; ++i) h.words[i] = ReadBE32(v + 23 + 4 * i);
        ChangedMask = B::SystemHardwareInfo;
        return true;
    }
    case P::SystemFirmwareInfo:
        if (n != P::SystemFirmwareInfo.reply) return false;
        std::memcpy(records.firmwareInfo.first, v, 50);
        std::memcpy(records.firmwareInfo.second, v + 50, 50);
        ChangedMask = B::SystemFirmwareInfo;
        return true;
    case P::SystemAdmin:
        // The administrator reply carries nothing to keep.
        ChangedMask = B::SystemAdmin;
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
    if (n != P::GnssPosition.reply) return false;
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
    case P::GnssDiffType:
        if (n != P::GnssDiffType.reply) return false;
        records.diffType = ReadBE16(v);
        ChangedMask = B::GnssDiffType;
        return true;
    case P::GnssTextA:
        if (!DecodeText(v, n)) return false;
        ChangedMask = B::GnssTextA;
        return true;
    case P::GnssTextB:
        if (!DecodeText(v, n)) return false;
        ChangedMask = B::GnssTextB;
        return true;
    case P::GnssTextC:
        if (!DecodeText(v, n)) return false;
        ChangedMask = B::GnssTextC;
        return true;
    case P::GnssTextD:
        if (!DecodeText(v, n)) return false;
        ChangedMask = B::GnssTextD;
        return true;
    case P::GnssSolution:
        if (n != P::GnssSolution.reply) return false;
        position.latitude = ReadBEDouble(v);
        position.longitude = ReadBEDouble(v + 8);
        position.height = ReadBEDouble(v + 16);
        position.status = int32_t(ReadBE32(v + 24));
        ChangedMask = B::GnssSolution;
        return true;
    case P::GnssGpsTime:
        if (n != P::GnssGpsTime.reply) return false;
        StoreGpsTime(ReadBE32(v), ReadBE32(v + 4));
        ChangedMask = B::GnssGpsTime;
        return true;
    case P::GnssDops:
        if (n != P::GnssDops.reply) return false;
        dops.pdop = ReadBEFloat(v);
        dops.hdop = ReadBEFloat(v + 4);
        dops.vdop = ReadBEFloat(v + 8);
        dops.tdop = ReadBEFloat(v + 12);
        dops.gdop = std::hypot(dops.pdop, dops.tdop);
        ChangedMask = B::GnssDops;
        return true;
    case P::GnssSatellites:
        if (!DecodeSatellites(v, n)) return false;
        ChangedMask = B::GnssSatellites;
        return true;
    case P::GnssPrecision:
        if (n != P::GnssPrecision.reply) return false;
        errors.heightError = ReadBEDouble(v);
        errors.horizontalError = ReadBEDouble(v + 8);
        errors.rms = ReadBEDouble(v + 16);
        ChangedMask = B::GnssPrecision;
        return true;
    case P::GnssBasePosition:
        if (n != P::GnssBasePosition.reply) return false;
        baseInfo.x = ReadBEDouble(v);
        baseInfo.y = ReadBEDouble(v + 8);
        baseInfo.z = ReadBEDouble(v + 16);
        ChangedMask = B::GnssBasePosition;
        return true;
    case P::GnssPosition:
        if (!DecodePosition(v, n)) return false;
        ChangedMask = B::GnssPosition;
        return true;
    case P::GnssBubble: {
        if (n != P::GnssBubble.reply) return false;
        Q50_Bubble& b = records.bubble;
        b.state = v[0];
        b.word = ReadBE32(v + 1);
        for (int i = 0; i < 3; ++i) b.angles[i] = ReadBE16(v + 5 + 2 * i);
        b.floatBits = ReadBE32(v + 11);
        ChangedMask = B::GnssBubble;
        return true;
    }
    case P::GnssPdopMask:
        if (n != P::GnssPdopMask.reply) return false;
        records.pdopMask = v[0];
        ChangedMask = B::GnssPdopMask;
        return true;
    case P::GnssElevMask:
        if (n != P::GnssElevMask.reply) return false;
        elevMask = v[0];
        ChangedMask = B::GnssElevMask;
        return true;
    case P::GnssBaseSet:
        if (n != P::GnssBaseSet.reply) return false;
        records.baseSet.mode = ReadBE16(v);
        records.baseSet.latitude = ReadBEDouble(v + 2);
        records.baseSet.longitude = ReadBEDouble(v + 10);
        records.baseSet.height = ReadBEDouble(v + 18);
        ChangedMask = B::GnssBaseSet;
        return true;
    case P::GnssSatEnable:
        if (n != P::GnssSatEnable.reply) return false;
        for (int i = 0; i < 5; ++i) records.satEnable.words[i] = ReadBE32(v + 4 * i);
        ChangedMask = B::GnssSatEnable;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeRadio(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case P::RadioFrequency:
        if (n != P::RadioFrequency.reply) return false;
        records.radioFrequencyBits = ReadBE32(v);
        ChangedMask = B::RadioFrequency;
        return true;
    case P::RadioPower:
        if (n != P::RadioPower.reply) return false;
        records.radioPower = ReadBE32(v);
        ChangedMask = B::RadioPower;
        return true;
    case P::RadioStepper:
        if (n != P::RadioStepper.reply) return false;
        records.radioStepper = ReadBE32(v);
        ChangedMask = B::RadioStepper;
        return true;
    case P::RadioAirBaud:
        if (n != P::RadioAirBaud.reply) return false;
        records.radioAirBaud = ReadBE32(v);
        ChangedMask = B::RadioAirBaud;
        return true;
    case P::RadioProtocol:
        if (n != P::RadioProtocol.reply) return false;
        records.radioProtocol = ReadBE16(v);
        ChangedMask = B::RadioProtocol;
        return true;
    case P::RadioInfoList: {
        if (n != P::RadioInfoList.reply) return false;
        OV_RADIO_INFOLIST_STRUCT& r = records.radioInfoList;
        r.first = ReadBE16(v);
        r.second = ReadBE16(v + 2);
        r.third = ReadBE32(v + 4);
        r.fourth = ReadBE32(v + 8);
        r.fifth = ReadBE16(v + 12);
        r.sixth = ReadBE32(v + 14);
        r.seventh = ReadBE32(v + 18);
        r.eighth = ReadBE32(v + 22);
        ChangedMask = B::RadioInfoList;
        return true;
    }
    case P::RadioAutoPowerOn:
        if (n != P::RadioAutoPowerOn.reply) return false;
        records.radioAutoPowerOn = v[0];
        ChangedMask = B::RadioAutoPowerOn;
        return true;
    case P::RadioModuleType:
        if (n != P::RadioModuleType.reply) return false;
        records.radioModuleType = ReadBE16(v);
        ChangedMask = B::RadioModuleType;
        return true;
    case P::RadioPowerStatus:
        if (n != P::RadioPowerStatus.reply) return false;
        records.radioPowerStatus = ReadBE16(v);
        ChangedMask = B::RadioPowerStatus;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeWifiAndRecording(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case P::WifiParamAp:
        if (n != P::WifiParamAp.reply) return false;
        std::memcpy(records.wifiAp.ssid, v, 20);
        records.wifiAp.security = ReadBE16(v + 20);
        std::memcpy(records.wifiAp.password, v + 22, 20);
        ChangedMask = B::WifiParamAp;
        return true;
    case P::WifiMode:
        if (n != P::WifiMode.reply) return false;
        records.wifiMode = ReadBE16(v);
        ChangedMask = B::WifiMode;
        return true;
    case P::WifiPowerStatus:
        if (n != P::WifiPowerStatus.reply) return false;
        records.wifiPowerStatus = ReadBE16(v);
        ChangedMask = B::WifiPowerStatus;
        return true;
    case P::WifiAutoOpen:
        if (n != P::WifiAutoOpen.reply) return false;
        records.wifiAutoOpen = v[0];
        ChangedMask = B::WifiAutoOpen;
        return true;
    case P::FileRecordAutoOpen:
        if (n != P::FileRecordAutoOpen.reply) return false;
        records.fileRecordAutoOpen = v[0];
        ChangedMask = B::FileRecordAutoOpen;
        return true;
    case P::FileRecordConfig: {
        if (n != P::FileRecordConfig.reply) return false;
        OV_FILE_RECORD_CONFIG_STRUCT& r = records.fileRecordConfig;
        std::memcpy(r.name, v, 20);
        r.byte20 = v[20];
        for (int i = 0; i < 3; ++i) r.words[i] = ReadBE32(v + 21 + 4 * i);
        std::memcpy(r.bytes, v + 33, 3);
        r.half = ReadBE16(v + 36);
        r.byte42 = v[38];
        r.lastWord = ReadBE32(v + 39);
        ChangedMask = B::FileRecordConfig;
        return true;
    }
    case P::FileRecordStatus:
        if (n != P::FileRecordStatus.reply) return false;
        records.fileRecordStatus = ReadBE16(v);
        ChangedMask = B::FileRecordStatus;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeNetLink(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case P::NetLinkWord:
        if (n != P::NetLinkWord.reply) return false;
        records.netLinkWord = ReadBE32(v);
        ChangedMask = B::NetLinkWord;
        return true;
    case P::NetLinkAddress:
        if (n != P::NetLinkAddress.reply) return false;
        records.netLinkAddress.address = ReadBE32(v);
        records.netLinkAddress.port = ReadBE16(v + 4);
        records.netLinkAddress.useHost = v[6];
        std::memcpy(records.netLinkAddress.host, v + 7, 50);
        ChangedMask = B::NetLinkAddress;
        return true;
    case P::NetLinkServerType:
        if (n != P::NetLinkServerType.reply) return false;
        records.netLinkServerType = ReadBE16(v);
        ChangedMask = B::NetLinkServerType;
        return true;
    case P::NetLinkStatus:
        if (n != P::NetLinkStatus.reply) return false;
        ReadStatusTriple(v, records.netLinkStatus);
        ChangedMask = B::NetLinkStatus;
        return true;
    case P::NetLinkSourceList: {
        if (n < kMinTextItem) return false;
        const uint32_t take = std::min({ReadBE32(v), Q50_Records::kSourceListSize, uint32_t(n - kTextHead)});
        std::memcpy(records.sourceList, v + kTextHead, take);
        records.sourceListLength = take;
        ChangedMask = B::NetLinkSourceList;
        return true;
    }
    case P::NetLinkAutoOpen:
        if (n != P::NetLinkAutoOpen.reply) return false;
        records.netLinkAutoOpen = v[0];
        ChangedMask = B::NetLinkAutoOpen;
        return true;
    case P::NetLinkMountPoint:
        if (n != P::NetLinkMountPoint.reply) return false;
        std::memcpy(records.dataSource.mountPoint, v, sizeof records.dataSource.mountPoint);
        ChangedMask = B::NetLinkMountPoint;
        return true;
    case P::NetLinkAccount:
        if (n != P::NetLinkAccount.reply) return false;
        std::memcpy(records.account.user, v, 50);
        std::memcpy(records.account.password, v + 50, 20);
        ChangedMask = B::NetLinkAccount;
        return true;
    default: return false;
    }
}

bool Em_RepParser_Q50::DecodeModemAndDataLink(const uint8_t* v, int id, unsigned n) {
    switch (id) {
    case P::ModemDialParam:
        if (n != P::ModemDialParam.reply) return false;
        std::memcpy(records.modemDialPara.texts, v, sizeof records.modemDialPara.texts);
        ChangedMask = B::ModemDialParam;
        return true;
    case P::ModemDialStatus:
        if (n != P::ModemDialStatus.reply) return false;
        ReadStatusTriple(v, records.modemDialStatus);
        ChangedMask = B::ModemDialStatus;
        return true;
    case P::ModemAutoDial:
        if (n != P::ModemAutoDial.reply) return false;
        records.modemAutoDial = v[0];
        ChangedMask = B::ModemAutoDial;
        return true;
    case P::ModemAutoPowerOn:
        if (n != P::ModemAutoPowerOn.reply) return false;
        records.modemAutoPowerOn = v[0];
        ChangedMask = B::ModemAutoPowerOn;
        return true;
    case P::ModemPowerStatus:
        if (n != P::ModemPowerStatus.reply) return false;
        records.modemPowerStatus = ReadBE16(v);
        ChangedMask = B::ModemPowerStatus;
        return true;
    case P::ModemBandMode:
        if (n != P::ModemBandMode.reply) return false;
        records.modemBandMode = ReadBE16(v);
        ChangedMask = B::ModemBandMode;
        return true;
    case P::ModemSignal:
        if (n != P::ModemSignal.reply) return false;
        records.modemSignal.value = ReadBE32(v);
        records.modemSignal.level = v[4];
        ChangedMask = B::ModemSignal;
        return true;
    case P::DataLinkMode:
        if (n != P::DataLinkMode.reply) return false;
        records.dataLinkMode = ReadBE16(v);
        ChangedMask = B::DataLinkMode;
        return true;
    case P::DataLinkDiffData:
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
