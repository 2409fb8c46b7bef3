// GPS time routines and the legacy navigation message, and the NovAtel raw
// ephemeris log that carries that message. Subframes are packed here bit by
// bit from the published field layout of the GPS navigation message (IS-GPS-200).
#include "protocol/Em_GpsTime.h"

#include "NovAtelFixtures.h"
#include "platform/Time.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

using namespace Fjarnis2011::FJParse;

namespace {

// One subframe: ten 24-bit words without parity, most significant bit first.
struct Subframe {
    uint8_t bytes[30] = {};
    Subframe& Set(int pos, int len, int64_t value) {
        for (int i = 0; i < len; ++i) {
            const int bit = pos + i;
            const bool on = (uint64_t(value) >> (len - 1 - i)) & 1u;
            if (on)
                bytes[bit / 8] |= uint8_t(0x80 >> (bit % 8));
            else
                bytes[bit / 8] &= uint8_t(~(0x80 >> (bit % 8)));
        }
        return *this;
    }
    // The hand-over word: time of week (in 6 s) and the subframe id.
    Subframe& How(uint32_t towCount, int id) { return Set(24, 17, towCount).Set(43, 3, id); }
};

struct Nav {
    Subframe sf1, sf2, sf3;
};

// Subframes 1, 2 and 3 of one satellite with known raw fields.
Nav MakeNav(uint32_t towCount, uint32_t week10, uint32_t iode, uint32_t toesCount) {
    Nav n;
    n.sf1.How(towCount, 1)
        .Set(48, 10, week10)
        .Set(58, 2, 1)      // codes on L2
        .Set(60, 4, 2)      // URA index
        .Set(64, 6, 0)      // health
        .Set(70, 2, 1)      // IODC high bits
        .Set(72, 1, 1)      // L2 P data flag
        .Set(160, 8, -10)   // tgd
        .Set(168, 8, iode)  // IODC low bits
        .Set(176, 16, toesCount)
        .Set(192, 8, 3)      // af2
        .Set(200, 16, -5)    // af1
        .Set(216, 22, 1000);  // af0
    n.sf2.How(towCount + 1, 2)
        .Set(48, 8, iode)
        .Set(56, 16, 100)       // crs
        .Set(72, 16, 12000)     // delta n
        .Set(88, 32, 123456789)  // M0
        .Set(120, 16, -200)     // cuc
        .Set(136, 32, 40000000)  // e
        .Set(168, 16, 300)      // cus
        .Set(184, 32, 2701970637u)  // square root of A
        .Set(216, 16, toesCount)
        .Set(232, 1, 1);  // fit interval
    n.sf3.How(towCount + 2, 3)
        .Set(48, 16, 5)             // cic
        .Set(64, 32, -1000000000)   // omega 0
        .Set(96, 16, -7)            // cis
        .Set(112, 32, 650000000)    // i0
        .Set(144, 16, 8000)         // crc
        .Set(160, 32, 200000000)    // omega
        .Set(192, 24, -20000)       // omega dot
        .Set(216, 8, iode)
        .Set(224, 14, -100);  // IDOT
    return n;
}

constexpr double kPi = 3.1415926535898;

// The wall clock at a fixed UTC time for one test.
struct ClockAt {
    ClockAt(int y, int mo, int d) {
        platform::SetUtcClock([y, mo, d] {
            platform::UtcTime t;
            t.year = y;
            t.month = mo;
            t.day = d;
            t.hour = 12;
            return t;
        });
    }
    ~ClockAt() { platform::SetUtcClock({}); }
};

}  // namespace

TEST(GpsTime, BitFields) {
    const uint8_t ff[] = {0xFF, 0x7F, 0x80, 0x01};
    EXPECT_EQ(Get_BitsSigned(ff, 0, 8), -1);
    EXPECT_EQ(Get_BitsSigned(ff, 8, 8), 127);
    EXPECT_EQ(Get_BitsSigned(ff, 16, 8), -128);
    EXPECT_EQ(Get_BitsUnsigned(ff, 16, 8), 0x80u);
    EXPECT_EQ(Get_BitsUnsigned(ff, 4, 8), 0xF7u);
    EXPECT_EQ(Get_BitsUnsigned(ff, 0, 32), 0xFF7F8001u);
    EXPECT_EQ(Get_BitsSigned(ff, 0, 32), int32_t(0xFF7F8001u));
    EXPECT_EQ(Get_BitsUnsigned(ff, 3, 0), 0u);
}

// Calendar times are UTC whatever the machine's time zone.
TEST(GpsTime, EpochsWeeksAndCalendar) {
    const char* tz = std::getenv("TZ");
    const std::string saved = tz ? tz : "";
    setenv("TZ", "America/New_York", 1);
    tzset();
    const double origin[6] = {1980, 1, 6, 0, 0, 0};
    EXPECT_EQ(Epoch_ToTime(origin).time, 315964800);
    const double summer[6] = {2009, 7, 1, 12, 30, 59.75};
    const GpsTime t = Epoch_ToTime(summer);
    EXPECT_EQ(t.time, 1246451459);
    EXPECT_DOUBLE_EQ(t.sec, 0.75);
    const double sixty[6] = {2009, 7, 1, 12, 30, 60.0};  // a leap second's worth
    EXPECT_EQ(Epoch_ToTime(sixty).time, 1246451460);
    if (tz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    const GpsTime w = GpsTime_FromWeekSec(1562, 515220.25);
    int32_t week = 0;
    EXPECT_DOUBLE_EQ(GpsTime_ToWeekSec(w, &week), 515220.25);
    EXPECT_EQ(week, 1562);
    EXPECT_EQ(GpsTime_FromWeekSec(1562, 5e9).time, GpsTime_FromWeekSec(1562, 0).time);
    EXPECT_EQ(GpsTime_FromWeekSec(1562, std::nan("")).time, GpsTime_FromWeekSec(1562, 0).time);

    const struct {
        uint32_t week, seconds;
        int32_t y, mo, d, h, mi;
        double s;
    } rows[] = {
        {1560, 0, 2009, 11, 29, 0, 0, 0.0},     {0, 0, 1980, 1, 6, 0, 0, 0.0},
        {1560, 86399, 2009, 11, 29, 23, 59, 59.0}, {1562, 515220, 2009, 12, 18, 23, 7, 0.0},
        {1677, 259200, 2012, 2, 29, 0, 0, 0.0},    {1677, 345599, 2012, 2, 29, 23, 59, 59.0},
        {1721, 0, 2012, 12, 30, 0, 0, 0.0},
    };
    for (const auto& r : rows) {
        int32_t y = 0, mo = 0, d = 0, h = 0, mi = 0;
        double s = -1;
        GpsWeekTow_ToCalendar(r.week, r.seconds, &y, &mo, &d, &h, &mi, &s);
        EXPECT_EQ((std::vector<int32_t>{y, mo, d, h, mi}), (std::vector<int32_t>{r.y, r.mo, r.d, r.h, r.mi}))
            << r.week << " " << r.seconds;
        EXPECT_EQ(s, r.s);
    }
    int32_t onlyYear = 0;
    GpsWeekTow_ToCalendar(1562, 0, &onlyYear, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(onlyYear, 2009);
}

TEST(GpsTime, LeapSecondsAndWeekRollover) {
    const double y2008[6] = {2008, 6, 1, 0, 0, 0};
    EXPECT_EQ(Utc_ToGpsTime(Epoch_ToTime(y2008)).time, Epoch_ToTime(y2008).time + 14);
    const double y2015[6] = {2015, 6, 1, 0, 0, 0};
    EXPECT_EQ(Utc_ToGpsTime(Epoch_ToTime(y2015)).time, Epoch_ToTime(y2015).time + 15);
    const double y1981[6] = {1981, 6, 30, 23, 59, 59};
    EXPECT_EQ(Utc_ToGpsTime(Epoch_ToTime(y1981)).time, Epoch_ToTime(y1981).time);

    {
        ClockAt clock(2026, 1, 7);  // GPS week 2400
        EXPECT_EQ(Adjust_GpsWeek(0), 2048);
        EXPECT_EQ(Adjust_GpsWeek(2400 % 1024), 2400);
    }
    {
        ClockAt clock(2009, 12, 18);  // week 1562
        EXPECT_EQ(Adjust_GpsWeek(538), 1562);
    }
    {
        ClockAt clock(2005, 1, 1);  // before week 1560: counts as 1560
        EXPECT_EQ(Adjust_GpsWeek(500), 1524);
        EXPECT_EQ(Adjust_GpsWeek(536), 1560);
    }
}

TEST(GpsNavMessage, SubframesMakeOneEphemeris) {
    ClockAt clock(2009, 12, 18);
    const Nav n = MakeNav(86000, 538, 0x55, 32400);
    em_eph_t e{};
    EXPECT_EQ(Decode_GpsSubframe1(n.sf1.bytes, &e), 1);
    EXPECT_EQ(Decode_GpsSubframe2(n.sf2.bytes, &e), 2);
    EXPECT_EQ(Decode_GpsSubframe3(n.sf3.bytes, &e), 3);
    EXPECT_EQ(e.week, 1562);
    EXPECT_EQ(e.code, 1);
    EXPECT_EQ(e.sva, 2);
    EXPECT_EQ(e.flag, 1);
    EXPECT_EQ(e.iodc, 0x155);
    EXPECT_EQ(e.iode, 0x55);
    EXPECT_EQ(e.tgd[0], -10 * std::ldexp(1.0, -31));
    EXPECT_EQ(e.f2, 3 * std::ldexp(1.0, -55));
    EXPECT_EQ(e.f1, -5 * std::ldexp(1.0, -43));
    EXPECT_EQ(e.f0, 1000 * std::ldexp(1.0, -31));
    EXPECT_EQ(e.crs, 100 * std::ldexp(1.0, -5));
    EXPECT_EQ(e.deln, 12000 * std::ldexp(1.0, -43) * kPi);
    EXPECT_EQ(e.M0, 123456789 * std::ldexp(1.0, -31) * kPi);
    EXPECT_EQ(e.cuc, -200 * std::ldexp(1.0, -29));
    EXPECT_EQ(e.e, 40000000 * std::ldexp(1.0, -33));
    EXPECT_EQ(e.cus, 300 * std::ldexp(1.0, -29));
    EXPECT_NEAR(e.A, 5153.6, 1e-6);  // the square root, unsquared
    EXPECT_EQ(e.toes, 518400.0);
    EXPECT_EQ(e.fit, 1.0);
    EXPECT_EQ(e.cic, 5 * std::ldexp(1.0, -29));
    EXPECT_EQ(e.OMG0, -1000000000 * std::ldexp(1.0, -31) * kPi);
    EXPECT_EQ(e.cis, -7 * std::ldexp(1.0, -29));
    EXPECT_EQ(e.i0, 650000000 * std::ldexp(1.0, -31) * kPi);
    EXPECT_EQ(e.crc, 8000 * std::ldexp(1.0, -5));
    EXPECT_EQ(e.omg, 200000000 * std::ldexp(1.0, -31) * kPi);
    EXPECT_EQ(e.OMGd, -20000 * std::ldexp(1.0, -43) * kPi);
    EXPECT_EQ(e.idot, -100 * std::ldexp(1.0, -43) * kPi);
    EXPECT_EQ(e.toe.time, GpsTime_FromWeekSec(1562, 518400).time);
    EXPECT_EQ(e.toc.time, GpsTime_FromWeekSec(1562, 518400).time);
    EXPECT_EQ(e.ttr.time, GpsTime_FromWeekSec(1562, 516000).time);

    // Sent late in a week for a reference time early in the next: the week
    // moves on with it.
    const Nav late = MakeNav(100666, 538, 0x56, 75);
    em_eph_t l{};
    Decode_GpsSubframe1(late.sf1.bytes, &l);
    Decode_GpsSubframe2(late.sf2.bytes, &l);
    ASSERT_EQ(Decode_GpsSubframe3(late.sf3.bytes, &l), 3);
    EXPECT_EQ(l.week, 1563);
    EXPECT_EQ(l.toe.time, GpsTime_FromWeekSec(1563, 1200).time);
    EXPECT_EQ(l.ttr.time, GpsTime_FromWeekSec(1562, 603996).time);
}

TEST(GpsNavMessage, MismatchedIssueAndOtherPages) {
    ClockAt clock(2009, 12, 18);
    const Nav n = MakeNav(86000, 538, 0x55, 32400);
    Subframe sf3 = n.sf3;
    sf3.Set(216, 8, 0x56);
    em_eph_t e{};
    Decode_GpsSubframe1(n.sf1.bytes, &e);
    Decode_GpsSubframe2(n.sf2.bytes, &e);
    const GpsTime toeBefore = e.toe;
    EXPECT_EQ(Decode_GpsSubframe3(sf3.bytes, &e), 0);
    EXPECT_EQ(e.crc, 8000 * std::ldexp(1.0, -5));  // orbital fields written
    EXPECT_EQ(e.toe.time, toeBefore.time);           // no time step
    EXPECT_EQ(e.week, 1562);

    Subframe page;
    page.How(86000, 4).Set(48, 2, 1).Set(50, 6, 55);
    double ion[8], utc[4];
    std::fill(ion, ion + 8, 7.0);
    std::fill(utc, utc + 4, 7.0);
    int32_t leaps = 99;
    EXPECT_EQ(Decode_GpsIonoUtc(page.bytes, ion, utc, &leaps), 0);
    EXPECT_EQ(ion[0], 7.0);
    EXPECT_EQ(utc[3], 7.0);
    EXPECT_EQ(leaps, 99);

    page.Set(50, 6, 56)
        .Set(56, 8, -3)      // alpha 0
        .Set(88, 8, 5)       // beta 0
        .Set(120, 24, -9)    // A1
        .Set(144, 32, 1000)  // A0
        .Set(176, 8, 10)     // tot
        .Set(184, 8, 26)     // WNt
        .Set(192, 8, 15);    // leap seconds
    EXPECT_EQ(Decode_GpsIonoUtc(page.bytes, ion, utc, &leaps), 9);
    EXPECT_EQ(ion[0], -3 * std::ldexp(1.0, -30));
    EXPECT_EQ(ion[4], 5 * std::ldexp(1.0, 11));
    EXPECT_EQ(utc[0], 1000 * std::ldexp(1.0, -30));
    EXPECT_EQ(utc[1], -9 * std::ldexp(1.0, -50));
    EXPECT_EQ(utc[2], 10 * 4096.0);
    EXPECT_EQ(utc[3], 1562.0);  // 26 is week 1562 modulo 256
    EXPECT_EQ(leaps, 15);
}

// RAWEPHEM carries the three subframes of one satellite; only a whole and
// consistent ephemeris replaces the stored one.
TEST(NovAtelParser, RawEphemerisFromSubframes) {
    using namespace novatel_fixtures;
    ClockAt clock(2009, 12, 18);
    const auto rawEphem = [](uint32_t prn, const Nav& n) {
        Body b;
        b.U32(prn).U32(1562).U32(518400);
        b.Raw(Bytes(n.sf1.bytes, n.sf1.bytes + 30)).Raw(Bytes(n.sf2.bytes, n.sf2.bytes + 30));
        b.Raw(Bytes(n.sf3.bytes, n.sf3.bytes + 30));
        return Log(41, b.b);
    };
    Em_MainBd_NovAt_OEM board;
    Em_IRepParser& p = *board.RepParser();
    const auto decode = [&board, &p](const Bytes& log) {
        board.AppendReceived(log.data(), unsigned(log.size()));
        return board.Parse_NextFrame() ? p.ChangedMask : 0xFFFFFFFFu;
    };
    const Nav n = MakeNav(86000, 538, 0x55, 32400);
    EXPECT_EQ(decode(rawEphem(9, n)), ChangeBits::Ephemeris);
    EXPECT_EQ(p.lastEphSat, 9);
    EXPECT_EQ(p.eph[8].sat, 9);
    EXPECT_EQ(p.eph[8].iode, 0x55);
    EXPECT_EQ(p.eph[8].week, 1562);
    EXPECT_NEAR(p.eph[8].A, 5153.6, 1e-6);
    // The same issue again: nothing new.
    EXPECT_EQ(decode(rawEphem(9, n)), 0u);

    // Subframe 3 of another issue: the ephemeris is not whole.
    Nav mixed = MakeNav(86100, 538, 0x60, 33000);
    mixed.sf3.Set(216, 8, 0x61);
    EXPECT_EQ(decode(rawEphem(9, mixed)), 0u);
    EXPECT_EQ(p.eph[8].iode, 0x55);
    // Only GPS satellites 1-32.
    EXPECT_EQ(decode(rawEphem(33, MakeNav(86000, 538, 0x57, 32400))), 0u);
    EXPECT_EQ(p.lastEphSat, 9);
}

TEST(GeodeticToEcef, EquatorPoleAndAKnownPoint) {
    using namespace Fjarnis2011::FJParse;
    constexpr double kPi = 3.14159265358979323846;
    struct Row {
        double lon, lat, h, x, y, z;
    };
    const Row rows[] = {
        {0, 0, 0, 6378137.0, 0, 0},
        {kPi / 2, 0, 100, 0, 6378237.0, 0},
        {0, kPi / 2, 0, 0, 0, 6356752.314245},
        // 116.3 E, 39.9 N, 50 m (computed independently in double precision)
        {116.3 * kPi / 180, 39.9 * kPi / 180, 50, -2170993.7343, 4392672.0209, 4069505.7480},
    };
    for (const Row& r : rows) {
        double xyz[3] = {};
        Geodetic_ToEcef(xyz, r.lon, r.lat, r.h);
        EXPECT_NEAR(xyz[0], r.x, 1e-3);
        EXPECT_NEAR(xyz[1], r.y, 1e-3);
        EXPECT_NEAR(xyz[2], r.z, 1e-3);
    }
    Geodetic_ToEcef(nullptr, 0, 0, 0);  // writes nothing, does not crash
}
