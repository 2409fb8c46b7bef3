#include "protocol/boards/Em_IRepParser.h"

#include "platform/Endian.h"
#include "platform/Time.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/boards/NmeaFields.h"

#include <cmath>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kArcMinToRad = 0.0002908882086657216;
constexpr int kSecondsPerDay = 86400;

// NMEA latitude or longitude: `degreeDigits` digits of degrees, then minutes.
bool AngleField(std::string_view s, int degreeDigits, double& radians) {
    if (s.empty()) return false;
    const std::string_view deg = s.substr(0, static_cast<size_t>(degreeDigits));
    const std::string_view min = s.size() > deg.size() ? s.substr(deg.size()) : std::string_view();
    int32_t d = 0;
    double m = 0.0;
    NmeaFields::ToInt(deg, d);
    NmeaFields::ToDouble(min, m);
    radians = d * kDegToRad + m * kArcMinToRad;
    return true;
}

// hhmmss[.ss]: hour, minute and the five characters of seconds from the fifth.
bool TimeField(std::string_view s, int32_t& hour, int32_t& minute, double& second) {
    if (s.size() < 6) return false;
    hour = 0;
    minute = 0;
    second = 0.0;
    NmeaFields::ToInt(s.substr(0, 2), hour);
    NmeaFields::ToInt(s.substr(2, 2), minute);
    NmeaFields::ToDouble(s.substr(4, 5), second);
    return true;
}

int32_t QualityToStatus(char q) {
    switch (q) {
    case '0': return 3;
    case '1': return 4;
    case '2': return 10;
    case '3':
    case '4': return 11;
    case '5': return 6;
    case '7': return 1;
    case '9': return 7;
    default: return 0;
    }
}

bool ValidDate(int year, int month, int day) {
    return year > 0 && month >= 1 && month <= 12 && day >= 1 && day <= platform::DaysInMonth(year, month);
}

}  // namespace

void SatList::Clear() {
    count = 0;
    std::memset(sats, 0, sizeof sats);
}

Em_IRepParser::Em_IRepParser() : holder_(new (std::nothrow) TransmitHolder) {
    std::memset(eph, 0, sizeof eph);
    for (em_eph_t& e : eph) {
        e.iode = -1;
        e.iodc = -1;
    }
    std::memset(gloEph, 0, sizeof gloEph);
    for (em_geph_t& e : gloEph) e.iode = -1;
    std::memset(sbasEph, 0, sizeof sbasEph);
    std::memset(obs, 0, sizeof obs);
}

Em_IRepParser::~Em_IRepParser() = default;

unsigned Em_IRepParser::Transmit_Cmr(unsigned messageNumber, const uint8_t* data, unsigned length) {
    if (!data || length < 1 || !holder_) return 0;
    ChangedMask = 0;
    const unsigned r = holder_->Transmit_Cmr(messageNumber, data, length);
    if (r) ChangedMask |= ChangeBits::Correction;
    return r;
}

unsigned Em_IRepParser::Decode_Report(int id, const uint8_t* data, unsigned length) {
    if (!data || length < 1) return 0;
    ChangedMask = 0;
    const std::string_view text(reinterpret_cast<const char*>(data), length);
    switch (id) {
    case REPORT_GPGGA:
    case REPORT_GNGGA:
        Decode_GGA(text);
        return 1;
    case REPORT_GPGSA:
    case REPORT_GNGSA:
        Decode_GSA(text);
        return 1;
    case REPORT_GPGST:
        Decode_GST(text);
        return 1;
    case REPORT_GPGSV:
        Decode_GPGSV(text, 6);
        return 1;
    case REPORT_GPRMC:
    case REPORT_GNRMC:
        Decode_RMC(text);
        return 1;
    case REPORT_GPZDA:
        Decode_ZDA(text);
        return 1;
    case REPORT_GLGSV:
        Decode_GLGSV(text);
        return 1;
    case REPORT_GNGLL:
        return 1;
    case REPORT_BDGSV:
        Decode_BDGSV(text);
        return 1;
    default:
        return 0;
    }
}

void Em_IRepParser::ApplyLocalTime() {
    const bool dateKnown = ValidDate(utcYear_, utcMonth_, utcDay_);
    time.minute = utcMinute_;
    time.second = utcSecond_;
    if (dateKnown) {
        // The time zone moves the hour and, past midnight, the date.
        platform::UtcTime t;
        t.year = utcYear_;
        t.month = utcMonth_;
        t.day = utcDay_;
        t.hour = utcHour_;
        if (timeZone != 0) t = platform::AddHours(t, timeZone);
        time.year = t.year;
        time.month = t.month;
        time.day = t.day;
        time.hour = t.hour;
    } else {
        // No date yet to carry into: the hour still stays within the day.
        time.hour = ((utcHour_ + timeZone) % 24 + 24) % 24;
    }
}

void Em_IRepParser::StoreUtcTime(int hour, int minute, double second) {
    const double before = utcHour_ * 3600.0 + utcMinute_ * 60.0 + utcSecond_;
    const double now = hour * 3600.0 + minute * 60.0 + second;
    // The receiver's clock passed midnight since its last dated sentence.
    if (ValidDate(utcYear_, utcMonth_, utcDay_) && now < before - kSecondsPerDay / 2) {
        platform::UtcTime t;
        t.year = utcYear_;
        t.month = utcMonth_;
        t.day = utcDay_;
        t = platform::AddHours(t, 24);
        utcYear_ = t.year;
        utcMonth_ = t.month;
        utcDay_ = t.day;
    }
    utcHour_ = hour;
    utcMinute_ = minute;
    utcSecond_ = second;
    ApplyLocalTime();
}

void Em_IRepParser::StoreUtcDate(int year, int month, int day) {
    if (!ValidDate(year, month, day)) return;
    utcYear_ = year;
    utcMonth_ = month;
    utcDay_ = day;
    ApplyLocalTime();
}

void Em_IRepParser::StoreGpsTime(uint32_t week, uint32_t secondsOfWeek) {
    solution.gpsWeek = week;
    solution.gpsSeconds = secondsOfWeek;
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    GpsWeekTow_ToCalendar(week, secondsOfWeek, &year, &month, &day, &hour, &minute, &second);
    // Time first: a time of day past midnight must not move the new date.
    StoreUtcTime(hour, minute, second);
    StoreUtcDate(year, month, day);
}

void Em_IRepParser::StoreBestPosLog(uint32_t week, uint32_t secondsOfWeek, const uint8_t* b) {
    using platform::ReadLE32;
    using platform::ReadLEDouble;
    using platform::ReadLEFloat;
    const uint32_t solutionStatus = ReadLE32(b);
    const uint32_t positionType = ReadLE32(b + 4);
    const double lat = ReadLEDouble(b + 8);
    const double lon = ReadLEDouble(b + 16);
    const double hgt = ReadLEDouble(b + 24);
    float latSigma = ReadLEFloat(b + 40);
    float lonSigma = ReadLEFloat(b + 44);
    float hgtSigma = ReadLEFloat(b + 48);
    const float diffAge = ReadLEFloat(b + 56);
    const uint8_t signalMask = b[71];

    // Fresh corrections: the board's deviations are taken as more cautious
    // than they are. The kept body stays as received.
    if (diffAge > 0.0f && diffAge < 5.0f) {
        latSigma = float(latSigma * 0.6);
        lonSigma = float(lonSigma * 0.6);
        hgtSigma = float(hgtSigma * 0.6);
    }

    StoreGpsTime(week, secondsOfWeek);
    ChangedMask |= ChangeBits::Time;

    errors.latError = latSigma;
    errors.lonError = lonSigma;
    errors.horizontalError = std::hypot(double(latSigma), double(lonSigma));
    errors.heightError = hgtSigma;
    errors.rms = 0.68 * errors.horizontalError;

    position.latitude = lat * kDegToRad;
    position.longitude = lon * kDegToRad;
    position.height = hgt;
    position.diffAge = diffAge;
    ChangedMask |= ChangeBits::Precision | ChangeBits::Position;

    // The solution status by the position type; corrections older than 20 s
    // leave an RTK solution a single-point one.
    const bool recent = diffAge <= 20.0f;
    switch (positionType) {
    case 0:  // no solution
        if (diffAge != 60.0f) position.status = 3;
        break;
    case 1:  // fixed position
        position.status = (solutionStatus == 0 || solutionStatus == 13) ? 1 : 2;
        break;
    case 16: position.status = 4; break;   // single point
    case 17: position.status = 5; break;   // pseudorange differential
    case 18: position.status = 7; break;   // SBAS
    case 19:
    case 20: break;                        // propagated, OmniSTAR: as it was
    case 32:
    case 33:
    case 34: position.status = recent ? 6 : 4; break;   // RTK float
    case 48:
    case 49:
    case 50: position.status = recent ? 11 : 4; break;  // RTK fixed
    default: position.status = 0; break;
    }
    ChangedMask |= ChangeBits::Status;

    // The signals used in the solution, as the used-signal flags.
    uint32_t used = 0;
    if (signalMask & 0x01) used |= 0x10000000u;
    if (signalMask & 0x02) used |= 0x20000000u;
    if (signalMask & 0x04) used |= 0x40000000u;
    if (signalMask & 0x10) used |= 0x80000000u;
    if (signalMask & 0x20) used |= 0x01000000u;
    solution.usedSignals = used;
    solutions = used;
    ChangedMask |= ChangeBits::UsedSignals;

    constexpr uint32_t kSet = ChangeBits::Position | ChangeBits::Precision | ChangeBits::Time;
    if ((ChangedMask & kSet) == kSet) ChangedMask |= ChangeBits::FullSolution;
}

void Em_IRepParser::Decode_GGA(std::string_view text) {
    const NmeaFields f(text);

    int32_t hour, minute;
    double second;
    if (TimeField(f[1], hour, minute, second)) StoreUtcTime(hour, minute, second);

    double angle;
    if (AngleField(f[2], 2, angle)) {
        const std::string_view h = f[3];
        position.latitude = (h == "N" || h == "n") ? angle : -angle;
    }
    if (AngleField(f[4], 3, angle)) {
        const std::string_view h = f[5];
        position.longitude = (h == "E" || h == "e") ? angle : -angle;
    }
    if (!f[6].empty()) position.status = QualityToStatus(f[6][0]);
    f.Int(7, satsUsed);
    double height;
    if (f.Double(9, height)) {
        double geoid = 0.0;
        f.Double(11, geoid);
        position.height = height + geoid;
    }
    if (!f.Double(13, position.diffAge)) position.diffAge = -1.0;

    if (sentenceSeen & 2u) sentenceSeen |= 1u;
    if ((sentenceSeen & 4u) && parseNmea) ChangedMask |= ChangeBits::Precision;
    if ((sentenceSeen & 2u) && (sentenceSeen & 1u)) {
        sentenceSeen = 0;
        if (parseNmea) ChangedMask |= ChangeBits::Time;
    }
    if (parseNmea) ChangedMask |= ChangeBits::Status | ChangeBits::Position;
    constexpr uint32_t kSet = ChangeBits::Position | ChangeBits::Precision | ChangeBits::Time | ChangeBits::Status;
    if ((ChangedMask & kSet) == kSet) ChangedMask |= ChangeBits::FullSolution;

    // The store keeps at most 1024 bytes of the sentence.
    const size_t n = text.size() < kGgaTextCapacity ? text.size() : kGgaTextCapacity;
    std::memcpy(ggaText, text.data(), n);
    ggaText[n] = 0;
    ggaLength = static_cast<uint32_t>(n);
    ChangedMask |= ChangeBits::GgaText;
}

void Em_IRepParser::Decode_GSA(std::string_view text) {
    if (text.empty()) return;
    const NmeaFields f(text);
    if (!f[1].empty()) gsaMode = f[1][0];
    f.Int(2, gsaFixType);
    for (int i = 0; i < 12; ++i) {
        int32_t sat = 0;
        f.Int(3 + i, sat);
        gsaSats[i] = sat;
    }
    f.Double(15, dops.pdop);
    f.Double(16, dops.hdop);
    f.Double(17, dops.vdop);
    dops.tdop = 0.0;
    dops.gdop = 0.0;
    if (parseNmea) ChangedMask |= ChangeBits::Dops;
}

void Em_IRepParser::Decode_GST(std::string_view text) {
    if (text.size() < 7) return;
    const NmeaFields f(text);
    f.Double(2, errors.rms);
    f.Double(6, errors.latError);
    f.Double(7, errors.lonError);
    f.Double(8, errors.heightError);
    errors.horizontalError = std::hypot(errors.latError, errors.lonError);
    sentenceSeen |= 4u;
}

void Em_IRepParser::Decode_RMC(std::string_view text) {
    if (text.empty()) return;
    const NmeaFields f(text);
    int32_t hour, minute;
    double second;
    if (f[1].size() > 6 && TimeField(f[1], hour, minute, second)) StoreUtcTime(hour, minute, second);
    f.Double(7, speedKnots);
    double course;
    if (f.Double(8, course)) courseRad = course * kDegToRad;
    // ddmmyy; a field too short to be a date leaves the date as it was.
    const std::string_view date = f[9];
    if (date.size() >= 6) {
        int32_t day = 0, month = 0, year = 0;
        NmeaFields::ToInt(date.substr(0, 2), day);
        NmeaFields::ToInt(date.substr(2, 2), month);
        NmeaFields::ToInt(date.substr(4, 2), year);
        StoreUtcDate(year + 2000, month, day);
    }
    ChangedMask |= ChangeBits::Rmc;
    sentenceSeen |= 2u;
}

void Em_IRepParser::Decode_ZDA(std::string_view text) {
    if (text.empty()) return;
    const NmeaFields f(text);
    int32_t hour, minute;
    double second;
    if (TimeField(f[1], hour, minute, second)) StoreUtcTime(hour, minute, second);
    int32_t day = utcDay_, month = utcMonth_, year = utcYear_;
    // Each field is read on its own: a missing day still lets month and year in.
    const bool gotDay = f.Int(2, day);
    const bool gotMonth = f.Int(3, month);
    const bool gotYear = f.Int(4, year);
    if (gotDay || gotMonth || gotYear) StoreUtcDate(year, month, day);
}


static uint32_t ClampCount(int32_t inView) {
    if (inView < 0) return 0;
    return inView > static_cast<int32_t>(SatList::kCapacity) ? SatList::kCapacity : static_cast<uint32_t>(inView);
}

void Em_IRepParser::FillGsvBlocks(SatList& list, const NmeaFields& f, int messageNumber, int messageCount) {
    // Message m carries entries 4(m-1) .. 4m-1; the last one ends at the count.
    const int64_t first = (static_cast<int64_t>(messageNumber) - 1) * 4;
    int64_t end = messageNumber == messageCount ? static_cast<int64_t>(list.count)
                                                : static_cast<int64_t>(messageNumber) * 4;
    if (end > static_cast<int64_t>(SatList::kCapacity)) end = SatList::kCapacity;
    for (int64_t entry = first, field = 4; entry < end && field < f.Count(); ++entry, field += 4) {
        // The entry is packed: its fields are written by value, never bound.
        SATLLITE_STR& s = list.sats[entry];
        const int fi = static_cast<int>(field);
        int32_t v;
        if (f.Int(fi, v)) s.number = v;
        if (f.Int(fi + 1, v)) s.elevation = v;
        if (f.Int(fi + 2, v)) s.azimuth = static_cast<uint16_t>(v);
        double snr;
        if (f.Double(fi + 3, snr)) s.snr[0] = static_cast<float>(snr);
    }
}

void Em_IRepParser::Decode_GPGSV(std::string_view text, int) {
    const NmeaFields f(text);
    int32_t messages, message, inView;
    if (!GsvHeader(f, messages, message, inView)) return;
    SatList& list = satLists[SATLIST_GPS];
    if (message == 1) list.Clear();
    list.count = ClampCount(inView);
    if (message <= messages) FillGsvBlocks(list, f, message, messages);
    if (message >= messages) {
        if (gpsHold == 0) {
            for (uint32_t i = 0; i < list.count; ++i) {
                SATLLITE_STR& s = list.sats[i];
                s.used = (s.elevation < 14 || s.snr[0] <= 30.0f || s.azimuth == 0) ? 0u : 1u;
            }
            ChangedMask |= ChangeBits::GpsList;
        } else {
            gpsPending |= 8u;
        }
    }
}

void Em_IRepParser::Decode_GLGSV(std::string_view text) {
    const NmeaFields f(text);
    int32_t messages, message, inView;
    if (!GsvHeader(f, messages, message, inView)) return;
    SatList& list = satLists[SATLIST_GLONASS];
    if (message == 1) list.Clear();
    list.count = ClampCount(inView);
    int32_t firstSat = 0;
    f.Int(4, firstSat);
    if (firstSat < 65 || firstSat > 96) return;
    if (message <= messages) FillGsvBlocks(list, f, message, messages);
    if (message >= messages) {
        // GLONASS slots 65..96 are kept as 38..69. Only numbers still in the
        // slot range are moved, so an entry is never moved twice.
        for (uint32_t i = 0; i < list.count; ++i) {
            SATLLITE_STR& s = list.sats[i];
            if (s.number >= 65 && s.number <= 96) s.number -= 27;
        }
        if (gloHold == 0)
            ChangedMask |= ChangeBits::GlonassList;
        else
            gloPending |= 16u;
    }
}

void Em_IRepParser::Decode_BDGSV(std::string_view text) {
    const NmeaFields f(text);
    int32_t messages, message, inView;
    if (!GsvHeader(f, messages, message, inView)) return;
    SatList& list = satLists[SATLIST_BEIDOU];
    if (message == 1) list.Clear();
    list.count = ClampCount(inView);
    if (message <= messages) FillGsvBlocks(list, f, message, messages);
    if (message >= messages) ChangedMask |= ChangeBits::BeidouList;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
