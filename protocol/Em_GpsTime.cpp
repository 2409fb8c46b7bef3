#include "protocol/Em_GpsTime.h"

#include "platform/Time.h"

#include <cmath>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr double kPi = 3.1415926535898;
constexpr double kGpsOrigin[6] = {1980, 1, 6, 0, 0, 0};

// Rows {year, month, day, hour, minute, second, UTC - GPS}, newest first.
constexpr double kLeapSeconds[][7] = {
    {2009, 1, 1, 0, 0, 0, -15}, {2006, 1, 1, 0, 0, 0, -14}, {1999, 1, 1, 0, 0, 0, -13}, {1997, 7, 1, 0, 0, 0, -12},
    {1996, 1, 1, 0, 0, 0, -11}, {1994, 7, 1, 0, 0, 0, -10}, {1993, 7, 1, 0, 0, 0, -9},  {1992, 7, 1, 0, 0, 0, -8},
    {1991, 1, 1, 0, 0, 0, -7},  {1990, 1, 1, 0, 0, 0, -6},  {1988, 1, 1, 0, 0, 0, -5},  {1985, 7, 1, 0, 0, 0, -4},
    {1983, 7, 1, 0, 0, 0, -3},  {1982, 7, 1, 0, 0, 0, -2},  {1981, 7, 1, 0, 0, 0, -1},
};

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// A whole number from a double that may be anything: truncated, 0 when it is
// not a number or too large to mean anything here.
int64_t WholePart(double v) {
    if (!std::isfinite(v) || v > 1e15 || v < -1e15) return 0;
    return static_cast<int64_t>(v);
}

GpsTime FromSeconds(int64_t whole, double fraction) {
    GpsTime t;
    t.time = static_cast<int32_t>(whole);
    t.sec = fraction;
    return t;
}

double Diff(GpsTime a, GpsTime b) { return (static_cast<double>(a.time) - b.time) + (a.sec - b.sec); }

GpsTime Add(GpsTime t, double seconds) {
    t.sec += seconds;
    const double whole = std::floor(t.sec);
    return FromSeconds(int64_t(t.time) + WholePart(whole), t.sec - whole);
}

}  // namespace

uint32_t Get_BitsUnsigned(const uint8_t* buf, int pos, int len) {
    uint32_t v = 0;
    for (int i = pos; i < pos + len; ++i) v = (v << 1) | ((buf[i / 8] >> (7 - i % 8)) & 1u);
    return v;
}

int32_t Get_BitsSigned(const uint8_t* buf, int pos, int len) {
    const uint32_t u = Get_BitsUnsigned(buf, pos, len);
    if (len <= 0 || len >= 32) return static_cast<int32_t>(u);
    const uint32_t sign = 1u << (len - 1);
    return (u & sign) ? static_cast<int32_t>(u | ~(sign * 2 - 1)) : static_cast<int32_t>(u);
}

GpsTime Epoch_ToTime(const double ep[6]) {
    double second = ep[5];
    int64_t carry = 0;
    if (second >= 60.0) {
        second -= 60.0;
        carry = 60;
    } else if (second < 0.0) {
        second += 60.0;
        carry = -60;
    }
    const double wholeSecond = std::floor(second);
    const int64_t days = DaysFromCivil(WholePart(ep[0]), WholePart(ep[1]), WholePart(ep[2]));
    const int64_t t = days * 86400 + WholePart(ep[3]) * 3600 + WholePart(ep[4]) * 60 + WholePart(wholeSecond) + carry;
    return FromSeconds(t, second - wholeSecond);
}

GpsTime GpsTime_FromWeekSec(int32_t week, double sec) {
    const GpsTime origin = Epoch_ToTime(kGpsOrigin);
    if (!(sec >= -1e9 && sec <= 1e9)) sec = 0.0;
    const double whole = std::floor(sec);
    return FromSeconds(int64_t(origin.time) + int64_t(week) * kSecondsPerWeek + int64_t(whole), sec - whole);
}

double GpsTime_ToWeekSec(GpsTime t, int32_t* week) {
    const GpsTime origin = Epoch_ToTime(kGpsOrigin);
    const uint32_t d = static_cast<uint32_t>(int64_t(t.time) - origin.time);
    if (week) *week = static_cast<int32_t>(d / uint32_t(kSecondsPerWeek));
    return double(d % uint32_t(kSecondsPerWeek)) + t.sec;
}

GpsTime Time_Now() {
    const platform::UtcTime now = platform::UtcNow();
    const double ep[6] = {double(now.year), double(now.month), double(now.day),
                          double(now.hour), double(now.minute), now.second + now.millisecond / 1000.0};
    return Add(Epoch_ToTime(ep), 0.0);
}

GpsTime Utc_ToGpsTime(GpsTime t) {
    for (const auto& row : kLeapSeconds)
        if (Diff(t, Epoch_ToTime(row)) >= 0.0) return Add(t, -row[6]);
    return t;
}

namespace {

// The GPS week of the wall clock, taken as at least 1560.
int32_t CurrentGpsWeek() {
    int32_t now = 0;
    GpsTime_ToWeekSec(Utc_ToGpsTime(Time_Now()), &now);
    return now < 1560 ? 1560 : now;
}

}  // namespace

int32_t Adjust_GpsWeek(int32_t week) { return week + ((CurrentGpsWeek() - week + 512) / 1024) * 1024; }

int Decode_GpsSubframe1(const uint8_t* sf, em_eph_t* eph) {
    const double tow = Get_BitsUnsigned(sf, 24, 17) * 6.0;
    const int32_t week = static_cast<int32_t>(Get_BitsUnsigned(sf, 48, 10));
    eph->code = static_cast<int32_t>(Get_BitsUnsigned(sf, 58, 2));
    eph->sva = static_cast<int32_t>(Get_BitsUnsigned(sf, 60, 4));
    eph->svh = static_cast<int32_t>(Get_BitsUnsigned(sf, 64, 6));
    const uint32_t iodcHigh = Get_BitsUnsigned(sf, 70, 2);
    eph->flag = static_cast<int32_t>(Get_BitsUnsigned(sf, 72, 1));
    eph->tgd[0] = Get_BitsSigned(sf, 160, 8) * std::ldexp(1.0, -31);
    const uint32_t iodcLow = Get_BitsUnsigned(sf, 168, 8);
    const double toc = Get_BitsUnsigned(sf, 176, 16) * 16.0;
    eph->f2 = Get_BitsSigned(sf, 192, 8) * std::ldexp(1.0, -55);
    eph->f1 = Get_BitsSigned(sf, 200, 16) * std::ldexp(1.0, -43);
    eph->f0 = Get_BitsSigned(sf, 216, 22) * std::ldexp(1.0, -31);
    eph->iodc = static_cast<int32_t>(iodcHigh * 256 + iodcLow);
    eph->week = Adjust_GpsWeek(week);
    eph->ttr = GpsTime_FromWeekSec(eph->week, tow);
    eph->toc = GpsTime_FromWeekSec(eph->week, toc);
    return 1;
}

int Decode_GpsSubframe2(const uint8_t* sf, em_eph_t* eph) {
    eph->iode = static_cast<int32_t>(Get_BitsUnsigned(sf, 48, 8));
    eph->crs = Get_BitsSigned(sf, 56, 16) * std::ldexp(1.0, -5);
    eph->deln = Get_BitsSigned(sf, 72, 16) * std::ldexp(1.0, -43) * kPi;
    eph->M0 = Get_BitsSigned(sf, 88, 32) * std::ldexp(1.0, -31) * kPi;
    eph->cuc = Get_BitsSigned(sf, 120, 16) * std::ldexp(1.0, -29);
    eph->e = Get_BitsUnsigned(sf, 136, 32) * std::ldexp(1.0, -33);
    eph->cus = Get_BitsSigned(sf, 168, 16) * std::ldexp(1.0, -29);
    // The square root of the semi-major axis, kept unsquared.
    eph->A = Get_BitsUnsigned(sf, 184, 32) * std::ldexp(1.0, -19);
    eph->toes = Get_BitsUnsigned(sf, 216, 16) * 16.0;
    eph->fit = Get_BitsUnsigned(sf, 232, 1) ? 1.0 : 0.0;
    return 2;
}

int Decode_GpsSubframe3(const uint8_t* sf, em_eph_t* eph) {
    eph->cic = Get_BitsSigned(sf, 48, 16) * std::ldexp(1.0, -29);
    eph->OMG0 = Get_BitsSigned(sf, 64, 32) * std::ldexp(1.0, -31) * kPi;
    eph->cis = Get_BitsSigned(sf, 96, 16) * std::ldexp(1.0, -29);
    eph->i0 = Get_BitsSigned(sf, 112, 32) * std::ldexp(1.0, -31) * kPi;
    eph->crc = Get_BitsSigned(sf, 144, 16) * std::ldexp(1.0, -5);
    eph->omg = Get_BitsSigned(sf, 160, 32) * std::ldexp(1.0, -31) * kPi;
    eph->OMGd = Get_BitsSigned(sf, 192, 24) * std::ldexp(1.0, -43) * kPi;
    const int32_t iode = static_cast<int32_t>(Get_BitsUnsigned(sf, 216, 8));
    eph->idot = Get_BitsSigned(sf, 224, 14) * std::ldexp(1.0, -43) * kPi;
    if (iode != eph->iode || iode != (eph->iodc & 0xFF)) return 0;

    // Reference times within half a week of the transmission time.
    int32_t week = 0;
    double tow = GpsTime_ToWeekSec(eph->ttr, &week);
    const double toc = GpsTime_ToWeekSec(eph->toc, nullptr);
    if (eph->toes < tow - 302400.0) {
        ++week;
        tow -= 604800.0;
    } else if (eph->toes > tow + 302400.0) {
        --week;
        tow += 604800.0;
    }
    eph->week = week;
    eph->toe = GpsTime_FromWeekSec(week, eph->toes);
    eph->toc = GpsTime_FromWeekSec(week, toc);
    eph->ttr = GpsTime_FromWeekSec(week, tow);
    return 3;
}

int Decode_GpsIonoUtc(const uint8_t* sf, double ion[8], double utc[4], int32_t* leaps) {
    if (Get_BitsUnsigned(sf, 50, 6) != 56) return 0;
    ion[0] = Get_BitsSigned(sf, 56, 8) * std::ldexp(1.0, -30);
    ion[1] = Get_BitsSigned(sf, 64, 8) * std::ldexp(1.0, -27);
    ion[2] = Get_BitsSigned(sf, 72, 8) * std::ldexp(1.0, -24);
    ion[3] = Get_BitsSigned(sf, 80, 8) * std::ldexp(1.0, -24);
    ion[4] = Get_BitsSigned(sf, 88, 8) * std::ldexp(1.0, 11);
    ion[5] = Get_BitsSigned(sf, 96, 8) * std::ldexp(1.0, 14);
    ion[6] = Get_BitsSigned(sf, 104, 8) * std::ldexp(1.0, 16);
    ion[7] = Get_BitsSigned(sf, 112, 8) * std::ldexp(1.0, 16);
    utc[1] = Get_BitsSigned(sf, 120, 24) * std::ldexp(1.0, -50);
    utc[0] = Get_BitsSigned(sf, 144, 32) * std::ldexp(1.0, -30);
    utc[2] = Get_BitsSigned(sf, 176, 8) * std::ldexp(1.0, 12);
    // WNt is the week modulo 256: resolved to the full week nearest the
    // current one in steps of 256 weeks.
    const int32_t wnt = static_cast<int32_t>(Get_BitsUnsigned(sf, 184, 8));
    utc[3] = wnt + ((CurrentGpsWeek() - wnt + 128) / 256) * 256;
    if (leaps) *leaps = Get_BitsSigned(sf, 192, 8);
    return 9;
}

void GpsWeekTow_ToCalendar(uint32_t week, uint32_t secondsOfWeek, int32_t* year, int32_t* month, int32_t* day,
                           int32_t* hour, int32_t* minute, double* second) {
    const uint32_t secondOfDay = secondsOfWeek % 86400u;
    // Days since 1901-01-01 (the modified Julian day of the GPS origin is 44244).
    const int64_t dayNumber = int64_t(week) * 7 + secondsOfWeek / 86400u + 44244 - 15385;
    const int64_t cycles = dayNumber / 1461;
    const int64_t rest = dayNumber % 1461;
    const int64_t inCycle = rest / 365 - rest / 1460;
    const int32_t y = static_cast<int32_t>(1901 + 4 * cycles + inCycle);
    const int32_t dayOfYear = static_cast<int32_t>(rest - 365 * inCycle + 1);
    if (year) *year = y;

    const int32_t h = static_cast<int32_t>(secondOfDay / 3600u);
    const int32_t mi = static_cast<int32_t>(secondOfDay / 60u) - 60 * h;
    if (hour) *hour = h;
    if (minute) *minute = mi;
    if (second) *second = double(secondOfDay) - 3600.0 * h - 60.0 * mi;

    static constexpr int32_t kBefore[2][13] = {
        {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
        {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
    };
    const int32_t* s = kBefore[y % 4 == 0 ? 1 : 0];
    int32_t m = static_cast<int32_t>(dayOfYear * 0.032);
    if (m > 11) m = 11;
    const int32_t mo = dayOfYear > s[m + 1] ? m + 2 : m + 1;
    if (month) *month = mo;
    if (day) *day = dayOfYear - s[mo - 1];
}

void Geodetic_ToEcef(double* xyz, double longitude, double latitude, double height) {
    if (!xyz) return;
    constexpr double kSemiMajor = 6378137.0;
    constexpr double kEccentricitySquared = 0.0066943799901413165;
    const double sinLat = std::sin(latitude);
    const double n = kSemiMajor / std::sqrt(1.0 - kEccentricitySquared * sinLat * sinLat);
    xyz[0] = (n + height) * std::cos(latitude) * std::cos(longitude);
    xyz[1] = (n + height) * std::cos(latitude) * std::sin(longitude);
    xyz[2] = (n * (1.0 - kEccentricitySquared) + height) * sinLat;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
