#include "protocol/boards/Em_RepParser_BD.h"

#include "platform/Endian.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/boards/NmeaFields.h"

#include <cmath>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

using platform::ReadBE16;
using platform::ReadBE32;
using platform::ReadBEDouble;
using platform::ReadBEFloat;

constexpr double kPi = 3.14159265358979323846;

// GSOF record types.
constexpr uint8_t kRecPositionTime = 1;
constexpr uint8_t kRecLatLonHeight = 2;
constexpr uint8_t kRecEcef = 3;
constexpr uint8_t kRecEcefDelta = 6;
constexpr uint8_t kRecDops = 9;
constexpr uint8_t kRecSigma = 12;
constexpr uint8_t kRecAllSatellites = 34;

// Packets the board sends that carry nothing we keep.
bool IsAcceptedQuietly(int type) { return type == 0x07 || type == 0x09 || type == 0x55 || type == 0x57 || type == 0x6E; }

// Solution status code of the position flags 2.
int32_t StatusFromFlags(uint8_t flags2) {
    const unsigned v = flags2 & 0x0Fu;
    if (!(v & 1u)) return 4;
    switch (v) {
    case 1:
    case 3:
        return 6;
    case 7:
        return 11;
    case 15:
        return 8;
    default:
        return 0;
    }
}

constexpr int32_t kStatusRtkFixed = 11;
// Flag 1 bit 6 of an all-satellites entry: the satellite is used in the position.
constexpr uint8_t kSatUsedInPosition = 0x40;
constexpr uint32_t kGpsPendingBit = 8u;

}  // namespace

unsigned Em_RepParser_BD::Decode_BinFrame(const uint8_t* data, int type, unsigned length) {
    if (!data || length == 0) return 0;
    lastType = type;
    lastLength = length;
    ChangedMask = 0;
    if (length < Dcol::kOverhead) return 0;
    const unsigned n = data[Dcol::kLengthAt];
    if (n + Dcol::kOverhead > length) return 0;
    const uint8_t* payload = data + Dcol::kHeaderSize;
    switch (type) {
    case DCOL_GSOF:
        // A page without its page header holds nothing to join.
        if (n < Dcol::kGsofPageHeader) return 0;
        return DecodeGsofPage(payload, n);
    case DCOL_OPTIONS:
        if (n < 1) return 0;
        elevMask = payload[0];
        ChangedMask |= ChangeBits::ElevMask;
        return 1;
    default:
        return IsAcceptedQuietly(type) ? 1u : 0u;
    }
}

void Em_RepParser_BD::ResetJoin() {
    joinLength = 0;
    joinPages = 0;
}

unsigned Em_RepParser_BD::DecodeGsofPage(const uint8_t* payload, unsigned n) {
    records = {};
    const unsigned page = payload[1];
    const unsigned lastPage = payload[2];
    const unsigned m = n - Dcol::kGsofPageHeader;
    // A message longer than the join area loses its earlier pages.
    if (joinLength + m > kJoinCapacity) ResetJoin();
    std::memcpy(join + joinLength, payload + Dcol::kGsofPageHeader, m);
    joinLength += m;
    if (page < lastPage) {
        ++joinPages;
        return 1;
    }
    // A page lost or out of order: the message is dropped.
    if (joinPages == lastPage) {
        DecodeJoined();
        if (records.deltaPresent) {
            baseInfo.x = records.ecef[0] - records.delta[0];
            baseInfo.y = records.ecef[1] - records.delta[1];
            baseInfo.z = records.ecef[2] - records.delta[2];
            ChangedMask |= ChangeBits::BasePosition;
            ecefFromLlh = 1;
            records.deltaPresent = false;
        }
    }
    ResetJoin();
    constexpr uint32_t kFull = ChangeBits::Position | ChangeBits::Precision | ChangeBits::Time;
    if ((ChangedMask & kFull) == kFull) ChangedMask |= ChangeBits::FullSolution;
    return 1;
}

// Each record is a type byte, a length byte and that many bytes; the walk
// stops at a record that would pass the joined bytes. A record of a known
// type but of another length than its own is skipped.
void Em_RepParser_BD::DecodeJoined() {
    unsigned off = 0;
    while (off + 2 <= joinLength) {
        const uint8_t type = join[off];
        const unsigned len = join[off + 1];
        if (off + 2 + len > joinLength) break;
        const uint8_t* r = join + off + 2;
        switch (type) {
        case kRecPositionTime:
            if (len == kPositionTimeSize) DecodePositionTime(r);
            break;
        case kRecLatLonHeight:
            if (len == kTripleSize) DecodeLatLonHeight(r);
            break;
        case kRecEcef:
            if (len == kTripleSize) {
                for (int i = 0; i < 3; ++i) records.ecef[i] = ReadBEDouble(r + 8 * i);
                ecefFromLlh = 0;
            }
            break;
        case kRecEcefDelta:
            if (len == kTripleSize) {
                for (int i = 0; i < 3; ++i) records.delta[i] = ReadBEDouble(r + 8 * i);
                records.deltaPresent = true;
            }
            break;
        case kRecDops:
            if (len == kDopSize) DecodeDops(r);
            break;
        case kRecSigma:
            if (len == kSigmaSize) DecodeSigma(r);
            break;
        case kRecAllSatellites:
            if (satDetail && len >= 1) DecodeSatDetail(r, len);
            break;
        default:
            break;
        }
        off += 2 + len;
    }
}

void Em_RepParser_BD::DecodePositionTime(const uint8_t* r) {
    const uint32_t seconds = ReadBE32(r) / 1000u;
    const uint32_t week = ReadBE16(r + 4);
    solution.gpsSeconds = seconds;
    solution.gpsWeek = week;
    satsListedUsed = r[6];
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    GpsWeekTow_ToCalendar(week, seconds, &year, &month, &day, &hour, &minute, &second);
    // Time first: a time of day past midnight must not move the new date.
    StoreUtcTime(hour, minute, second);
    StoreUtcDate(year, month, day);
    position.status = StatusFromFlags(r[8]);
    ChangedMask |= ChangeBits::Time | ChangeBits::Status;
}

void Em_RepParser_BD::DecodeLatLonHeight(const uint8_t* r) {
    const double lat = ReadBEDouble(r);
    const double lon = ReadBEDouble(r + 8);
    const double height = ReadBEDouble(r + 16);
    position.latitude = lat;
    position.longitude = lon;
    position.height = height;
    if (lat > -kPi / 2 && lat < kPi / 2 && lon > -kPi && lon < kPi && ecefFromLlh)
        Geodetic_ToEcef(records.ecef, lon, lat, height);
    ChangedMask |= ChangeBits::Position;
}

void Em_RepParser_BD::DecodeDops(const uint8_t* r) {
    const double pdop = ReadBEFloat(r);
    const double hdop = ReadBEFloat(r + 4);
    const double vdop = ReadBEFloat(r + 8);
    const double tdop = ReadBEFloat(r + 12);
    dops.pdop = pdop;
    dops.vdop = vdop;
    dops.hdop = hdop;
    dops.tdop = tdop;
    dops.gdop = std::hypot(pdop, tdop);
    ChangedMask |= ChangeBits::Dops;
}

void Em_RepParser_BD::DecodeSigma(const uint8_t* r) {
    float east = ReadBEFloat(r + 4);
    float north = ReadBEFloat(r + 8);
    float up = ReadBEFloat(r + 16);
    // An RTK fixed solution's sigmas are scaled to what the survey expects.
    if (position.status == kStatusRtkFixed) {
        east *= 0.2f;
        north *= 0.2f;
        up *= 0.22222222f;
    }
    const float horizontal = float(std::hypot(double(east), double(north)));
    errors.horizontalError = horizontal;
    errors.heightError = up;
    errors.rms = float(0.68 * std::hypot(double(horizontal), double(up)));
    ChangedMask |= ChangeBits::Precision;
}

void Em_RepParser_BD::DecodeSatDetail(const uint8_t* r, unsigned length) {
    unsigned entries = r[0];
    const unsigned present = (length - 1) / kSatDetailEntry;
    if (entries > present) entries = present;
    SatList* lists[3] = {&satLists[SATLIST_GPS], &satLists[SATLIST_FOURTH], &satLists[SATLIST_GLONASS]};
    uint32_t received[3] = {0, 0, 0};
    for (unsigned i = 0; i < entries; ++i) {
        const uint8_t* e = r + 1 + i * kSatDetailEntry;
        const uint8_t system = e[1];
        if (system > 2) continue;
        SATLLITE_STR s = {};
        s.number = e[0] + (system == 2 ? 37 : 0);
        s.elevation = e[4];
        s.azimuth = ReadBE16(e + 5);
        s.snr[0] = float(e[7] / 4);
        s.snr[1] = float(e[8] / 4);
        s.snr[2] = 0.0f;
        s.used = (e[2] & kSatUsedInPosition) ? 1u : 0u;
        // Each list holds 32 satellites; the rest are not stored.
        if (received[system] < SatList::kCapacity) lists[system]->sats[received[system]++] = s;
    }
    const uint32_t bits[3] = {ChangeBits::GpsList, ChangeBits::SbasList, ChangeBits::GlonassList};
    uint32_t total = 0;
    for (int k = 0; k < 3; ++k) {
        total += received[k];
        if (received[k] == 0) continue;
        lists[k]->count = received[k];
        ChangedMask |= bits[k];
    }
    satsListed = total;
    ChangedMask |= ChangeBits::SatCount;
}

unsigned Em_RepParser_BD::Decode_Report(int id, const uint8_t* data, unsigned length) {
    if (!data || length < 1) return 0;
    ChangedMask = 0;
    const std::string_view text(reinterpret_cast<const char*>(data), length);
    switch (id) {
    case REPORT_GPGGA:
        Decode_GGA(text);
        return 1;
    case REPORT_GPGSA:
        Decode_GSA(text);
        return 1;
    case REPORT_GPGST:
        Decode_GST(text);
        return 1;
    case REPORT_GPRMC:
        Decode_RMC(text);
        return 1;
    case REPORT_GPZDA:
        Decode_ZDA(text);
        return 1;
    case REPORT_GPGSV:
    case REPORT_GLGSV:
        if (parseNmea) Decode_GPGSV(text, 0);
        return 1;
    default:
        return 0;
    }
}

void Em_RepParser_BD::Decode_GPGSV(std::string_view text, int) {
    const NmeaFields f(text);
    if (f.Commas() < 7) return;
    int32_t messages = 0, message = 0, firstPrn = 0;
    f.Int(1, messages);
    f.Int(2, message);
    f.Int(4, firstPrn);
    int n = (f.Commas() - 3) / 4;
    // Only the fields that were cut can be read.
    const int cut = (f.Count() - 4) / 4;
    if (n > cut) n = cut;

    SatList* list = nullptr;
    if (firstPrn >= 1 && firstPrn <= 32) list = &satLists[SATLIST_GPS];
    if (firstPrn >= 33 && firstPrn <= 64) list = &satLists[SATLIST_FOURTH];
    if (firstPrn >= 65 && firstPrn <= 96) list = &satLists[SATLIST_GLONASS];

    if (message == 1)
        for (int k : {SATLIST_GPS, SATLIST_GLONASS, SATLIST_BEIDOU, SATLIST_FOURTH}) satLists[k].Clear();

    if (list) {
        for (int i = 0; i < n && list->count < SatList::kCapacity; ++i) {
            const int at = 4 + 4 * i;
            SATLLITE_STR s = {};
            int32_t number = 0, elevation = 0, azimuth = 0;
            double snr = 0.0;
            f.Int(at, number);
            f.Int(at + 1, elevation);
            f.Int(at + 2, azimuth);
            f.Double(at + 3, snr);
            if (number >= 33 && number <= 64) number += 87;
            else if (number >= 65 && number <= 96) number -= 27;
            s.number = number;
            s.elevation = elevation;
            s.azimuth = uint16_t(azimuth);
            s.snr[0] = float(snr);
            list->sats[list->count++] = s;
        }
    }

    if (message >= messages) {
        if (gpsHold == 0) {
            if (satLists[SATLIST_GPS].count) ChangedMask |= ChangeBits::GpsList;
            if (satLists[SATLIST_GLONASS].count) ChangedMask |= ChangeBits::GlonassList;
            if (satLists[SATLIST_FOURTH].count) ChangedMask |= ChangeBits::SbasList;
        } else {
            gpsPending |= kGpsPendingBit;
        }
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
