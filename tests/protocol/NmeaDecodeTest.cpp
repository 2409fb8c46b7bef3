// The NMEA decoders of the report-parser base, through the NMEA-only and
// Unicore boards and directly: positions, status, time, dilutions, errors,
// satellite lists and the change bits they announce.

#include "TestData.h"

#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Unicore.h"
#include "protocol/boards/NmeaFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The comma fields of a sentence, without its checksum.
std::vector<std::string> Fields(const std::string& sentence) {
    std::string s = sentence.substr(0, sentence.find('*'));
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t c = s.find(',', start);
        out.push_back(s.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos) break;
        start = c + 1;
    }
    return out;
}

double Num(const std::string& s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

int Int(const std::string& s) { return static_cast<int>(Num(s)); }

// ddmm.mmmm / dddmm.mmmm with its hemisphere, in radians.
double Angle(const std::string& s, int degreeDigits, const std::string& hemisphere) {
    const double deg = Num(s.substr(0, degreeDigits)) + Num(s.substr(degreeDigits)) / 60.0;
    const double rad = deg * kPi / 180.0;
    return (hemisphere == "N" || hemisphere == "E") ? rad : -rad;
}

unsigned Feed(EmIMainBoard& b, const std::string& sentence) {
    b.AppendReceived(reinterpret_cast<const uint8_t*>(sentence.data()), static_cast<unsigned>(sentence.size()));
    return b.Parse_NextFrame();
}

unsigned Report(Em_IRepParser& p, int id, const std::string& sentence) {
    return p.Decode_Report(id, reinterpret_cast<const uint8_t*>(sentence.data()), static_cast<unsigned>(sentence.size()));
}

// Sets a locale for the scope of a test and puts "C" back.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : ok_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
    bool ok() const { return ok_; }

private:
    bool ok_;
};

struct RtkRun {
    const char* locale;
    bool unicore;
    bool parseNmea;
};

// Every sentence of nmea-rtk.log through a board: GGA positions, status,
// satellites, height, age and the stored sentence (with its HDOP and station
// id), RMC speed, course, date and time, and the change bits of each.
void RunRtkLog(const RtkRun& run) {
    SCOPED_TRACE(std::string(run.locale) + (run.unicore ? " Unicore" : " Common") +
                 (run.parseNmea ? " parsing on" : " parsing off"));
    std::unique_ptr<EmIMainBoard> board;
    if (run.unicore)
        board = std::make_unique<Em_MainBd_Unicore>();
    else
        board = std::make_unique<Em_MainBd_Common>();
    Em_IRepParser& p = *board->RepParser();
    p.parseNmea = run.parseNmea ? 1 : 0;

    const std::vector<std::string> lines = LoadLogLines("nmea-rtk.log");
    ASSERT_EQ(lines.size(), 244u);
    bool rmcBefore = false;
    int decoded = 0, rtkFixed = 0;
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        const std::string sentence = line + "\r\n";
        const double latBefore = p.position.latitude;
        ASSERT_EQ(Feed(*board, sentence), 1u);
        const std::string talker = line.substr(1, 2);
        const std::string kind = line.substr(3, 3);
        const std::vector<std::string> f = Fields(line);
        if (!(talker == "GP" || (run.unicore && talker == "GN"))) {
            EXPECT_EQ(p.ChangedMask, 0u);
            EXPECT_EQ(p.position.latitude, latBefore);
            continue;
        }
        ++decoded;
        if (kind == "GGA") {
            EXPECT_NEAR(p.position.latitude, Angle(f[2], 2, f[3]), 1e-12);
            EXPECT_NEAR(p.position.longitude, Angle(f[4], 3, f[5]), 1e-12);
            const int quality = Int(f[6]);
            EXPECT_EQ(p.position.status, quality == 4 ? 11 : quality == 2 ? 10 : quality == 1 ? 4 : -1);
            if (quality == 4) ++rtkFixed;
            EXPECT_EQ(p.satsUsed, Int(f[7]));
            EXPECT_NEAR(p.position.height, Num(f[9]) + Num(f[11]), 1e-9);
            EXPECT_DOUBLE_EQ(p.position.diffAge, Num(f[13]));
            EXPECT_EQ(p.time.hour, Int(f[1].substr(0, 2)));
            EXPECT_EQ(p.time.minute, Int(f[1].substr(2, 2)));
            EXPECT_DOUBLE_EQ(p.time.second, Num(f[1].substr(4)));
            ASSERT_EQ(p.ggaLength, sentence.size());
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.ggaText), p.ggaLength), sentence);
            uint32_t bits = ChangeBits::GgaText;
            if (run.parseNmea) bits |= ChangeBits::Position | ChangeBits::Status | (rmcBefore ? ChangeBits::Time : 0u);
            EXPECT_EQ(p.ChangedMask, bits);
            rmcBefore = false;
        } else {
            ASSERT_EQ(kind, "RMC");
            EXPECT_DOUBLE_EQ(p.speedKnots, Num(f[7]));
            EXPECT_NEAR(p.courseRad, Num(f[8]) * kPi / 180.0, 1e-12);
            EXPECT_EQ(p.time.day, Int(f[9].substr(0, 2)));
            EXPECT_EQ(p.time.month, Int(f[9].substr(2, 2)));
            EXPECT_EQ(p.time.year, 2000 + Int(f[9].substr(4, 2)));
            EXPECT_EQ(p.ChangedMask, ChangeBits::Rmc);
            rmcBefore = true;
        }
    }
    EXPECT_EQ(decoded, run.unicore ? 244 : 144);
    if (run.unicore) {
        EXPECT_GT(rtkFixed, 0);  // quality 4 comes with the "$GN" sentences
    }
}

}  // namespace

TEST(NmeaCapture, RtkLogThroughBothBoards) {
    for (bool unicore : {false, true})
        for (bool parse : {false, true}) RunRtkLog({"C", unicore, parse});
}

TEST(NmeaCapture, RtkLogUnderAGermanLocale) {
    ScopedLocale german("de_DE.UTF-8");
    if (!german.ok()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    // The C library now reads "278.161" as 278: the decoders must not.
    ASSERT_EQ(std::strtod("278.161", nullptr), 278.0);
    RunRtkLog({"de_DE.UTF-8", false, true});
    RunRtkLog({"de_DE.UTF-8", true, false});
}

// The satellites-in-view cycles of a capture: after each complete cycle the
// list holds the cycle's satellites in order, with the count in view.
struct GsvExpect {
    std::vector<std::vector<std::string>> blocks;  // number, elevation, azimuth, SNR
    int inView = 0;
};

static void CheckList(const SatList& list, const GsvExpect& e, int numberShift, bool gps) {
    ASSERT_EQ(list.count, static_cast<uint32_t>(e.inView));
    ASSERT_EQ(e.blocks.size(), static_cast<size_t>(e.inView));
    for (size_t i = 0; i < e.blocks.size(); ++i) {
        SCOPED_TRACE(i);
        const SATLLITE_STR& s = list.sats[i];
        EXPECT_EQ(+s.number, Int(e.blocks[i][0]) + numberShift);
        EXPECT_EQ(+s.elevation, Int(e.blocks[i][1]));
        EXPECT_EQ(+s.azimuth, Int(e.blocks[i][2]));
        EXPECT_FLOAT_EQ(+s.snr[0], static_cast<float>(Num(e.blocks[i][3])));
        if (gps) {
            const bool used = s.elevation >= 14 && s.snr[0] > 30.0f && s.azimuth != 0;
            EXPECT_EQ(+s.used, used ? 1u : 0u);
        }
    }
}

static void RunGsvCapture(const char* file, EmIMainBoard& board, int cycles[3]) {
    Em_IRepParser& p = *board.RepParser();
    GsvExpect gp, gl, bd;
    for (const std::string& line : LoadLogLines(file)) {
        SCOPED_TRACE(line);
        Feed(board, line + "\r\n");
        const std::string addr = line.substr(0, 6);
        GsvExpect* e = addr == "$GPGSV" ? &gp : addr == "$GLGSV" ? &gl : addr == "$BDGSV" ? &bd : nullptr;
        if (!e) continue;
        const std::vector<std::string> f = Fields(line);
        const int messages = Int(f[1]), message = Int(f[2]);
        if (message == 1) e->blocks.clear();
        e->inView = Int(f[3]);
        auto field = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
        for (size_t i = 4; i < f.size(); i += 4) e->blocks.push_back({f[i], field(i + 1), field(i + 2), field(i + 3)});
        if (message != messages) continue;
        ++cycles[e == &gp ? 0 : e == &gl ? 1 : 2];
        if (e == &gp) {
            EXPECT_TRUE(p.ChangedMask & ChangeBits::GpsList);
            CheckList(p.satLists[SATLIST_GPS], gp, 0, true);
        } else if (e == &gl) {
            EXPECT_EQ(p.ChangedMask, ChangeBits::GlonassList);
            CheckList(p.satLists[SATLIST_GLONASS], gl, -27, false);
        } else {
            EXPECT_EQ(p.ChangedMask, ChangeBits::BeidouList);
            CheckList(p.satLists[SATLIST_BEIDOU], bd, 0, false);
        }
    }
}

TEST(NmeaCapture, GsvCyclesFillTheSatelliteLists) {
    int cycles[3] = {0, 0, 0};  // GPS, GLONASS, BeiDou
    Em_MainBd_Unicore unicore;  // "$BD" sentences need the Unicore board
    RunGsvCapture("beidou-bd.log", unicore, cycles);
    Em_MainBd_Common common;
    RunGsvCapture("bu353-glonass.log", common, cycles);
    EXPECT_EQ(cycles[0], 5);
    EXPECT_EQ(cycles[1], 3);
    EXPECT_EQ(cycles[2], 2);
    // The first GLONASS slot of the capture's last cycle, 79, is kept as 52.
    EXPECT_EQ(+common.RepParser()->satLists[SATLIST_GLONASS].sats[0].number, 52);
}

TEST(NmeaGsv, CycleOfThreeFillsItsEntriesAndOnlyTheLastRaisesTheBit) {
    Em_RepParser_Common p;
    const std::string m1 = "$GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,22,228,45*70";
    const std::string m2 = "$GPGSV,3,2,10,05,40,083,31,06,17,308,30,07,13,344,39,08,22,000,45*70";
    const std::string m3 = "$GPGSV,3,3,10,09,45,100,,10,60,200,35*70";
    EXPECT_EQ(Report(p, REPORT_GPGSV, m1), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(p.satLists[SATLIST_GPS].count, 10u);
    EXPECT_EQ(Report(p, REPORT_GPGSV, m2), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(Report(p, REPORT_GPGSV, m3), 1u);
    EXPECT_EQ(p.ChangedMask, ChangeBits::GpsList);
    const SatList& l = p.satLists[SATLIST_GPS];
    for (int i = 0; i < 10; ++i) EXPECT_EQ(+l.sats[i].number, i + 1);
    // Used: elevation 14 or more, SNR above 30 and an azimuth.
    const uint32_t used[10] = {1, 1, 0, 1, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(+l.sats[i].used, used[i]) << i;
    EXPECT_EQ(+l.sats[10].number, 0);

    // With the GPS hold word set, the end of the cycle is only marked pending.
    p.gpsHold = 1;
    Report(p, REPORT_GPGSV, m1);
    Report(p, REPORT_GPGSV, m2);
    Report(p, REPORT_GPGSV, m3);
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(p.gpsPending, 8u);
}

TEST(NmeaGsv, GlonassNeedsItsSlotRange) {
    Em_RepParser_Common p;
    Report(p, REPORT_GLGSV, "$GLGSV,1,1,02,70,47,307,30,71,06,339,25*65");
    ASSERT_EQ(p.satLists[SATLIST_GLONASS].count, 2u);
    EXPECT_EQ(+p.satLists[SATLIST_GLONASS].sats[0].number, 43);
    EXPECT_EQ(p.ChangedMask, ChangeBits::GlonassList);

    // First satellite 10: message 1 still empties the list and sets the count.
    EXPECT_EQ(Report(p, REPORT_GLGSV, "$GLGSV,1,1,03,10,47,307,30,71,06,339,25*65"), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(p.satLists[SATLIST_GLONASS].count, 3u);
    EXPECT_EQ(+p.satLists[SATLIST_GLONASS].sats[0].number, 0);
    EXPECT_EQ(+p.satLists[SATLIST_GLONASS].sats[1].number, 0);

    p.gloHold = 1;
    Report(p, REPORT_GLGSV, "$GLGSV,1,1,01,96,10,100,20*65");
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(p.gloPending, 16u);
    EXPECT_EQ(+p.satLists[SATLIST_GLONASS].sats[0].number, 69);
}

// Malformed cycles leave memory intact (run under AddressSanitizer) and the
// lists within their 32 entries, for every list.
TEST(NmeaGsv, MalformedSentencesStayInBounds) {
    struct ListCase {
        int id;
        const char* talker;
        SAT_LIST_INDEX list;
        int firstSat;
        int shift;
    } lists[] = {
        {REPORT_GPGSV, "$GPGSV", SATLIST_GPS, 1, 0},
        {REPORT_GLGSV, "$GLGSV", SATLIST_GLONASS, 65, -27},
        {REPORT_BDGSV, "$BDGSV", SATLIST_BEIDOU, 1, 0},
    };
    for (const ListCase& c : lists) {
        SCOPED_TRACE(c.talker);
        Em_RepParser_Common p;
        auto msg = [&](int messages, int message, int inView, int sat) {
            std::string s = std::string(c.talker) + "," + std::to_string(messages) + "," + std::to_string(message) +
                            "," + std::to_string(inView);
            for (int k = 0; k < 4; ++k) s += "," + std::to_string(sat + k) + ",45,100,40";
            return s + "*00\r\n";
        };
        // A proper cycle first.
        Report(p, c.id, msg(1, 1, 4, c.firstSat));
        ASSERT_EQ(p.satLists[c.list].count, 4u);

        // Message number 0: ignored, the list stays as it was.
        p.ChangedMask = 0;
        EXPECT_EQ(Report(p, c.id, msg(3, 0, 12, c.firstSat + 10)), 1u);
        EXPECT_EQ(p.ChangedMask, 0u);
        EXPECT_EQ(p.satLists[c.list].count, 4u);
        EXPECT_EQ(+p.satLists[c.list].sats[0].number, c.firstSat + c.shift);

        // 40 satellites in view over ten messages: 32 are kept.
        for (int m = 1; m <= 10; ++m) Report(p, c.id, msg(10, m, 40, c.firstSat + ((m - 1) * 4) % 28));
        EXPECT_EQ(p.satLists[c.list].count, 32u);
        // Entry 31 is the fourth satellite of message 8.
        EXPECT_EQ(+p.satLists[c.list].sats[31].number, c.firstSat + 3 + c.shift);

        // Absurd message numbers and counts.
        Report(p, c.id, std::string(c.talker) + ",99999999999,99999999999,99999999999,1,2,3,4*00\r\n");
        Report(p, c.id, std::string(c.talker) + ",-5,-5,-40,1,2,3,4*00\r\n");
        Report(p, c.id, std::string(c.talker) + ",2,2,40,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21*00\r\n");
        EXPECT_LE(p.satLists[c.list].count, 32u);
        // Too few fields: ignored.
        p.ChangedMask = 0;
        Report(p, c.id, std::string(c.talker) + ",1,1,03,01,40*00\r\n");
        EXPECT_EQ(p.ChangedMask, 0u);
    }
}

TEST(NmeaGga, QualityToSolutionStatus) {
    const struct {
        const char* quality;
        int32_t status;
    } table[] = {{"0", 3}, {"1", 4}, {"2", 10}, {"3", 11}, {"4", 11}, {"5", 6},
                 {"6", 0}, {"7", 1}, {"8", 0},  {"9", 7},  {"X", 0}};
    Em_RepParser_Common p;
    for (const auto& row : table) {
        p.position.status = -1;
        Report(p, REPORT_GPGGA, std::string("$GPGGA,120000.00,3110.4910,S,12123.8944,E,") + row.quality +
                                    ",08,1.0,10.0,M,5.0,M,,*00\r\n");
        EXPECT_EQ(p.position.status, row.status) << row.quality;
    }
    // An empty quality leaves the status as it was.
    p.position.status = 11;
    Report(p, REPORT_GPGGA, "$GPGGA,120000.00,3110.4910,S,12123.8944,E,,08,1.0,10.0,M,5.0,M,,*00\r\n");
    EXPECT_EQ(p.position.status, 11);
}

TEST(NmeaGga, PositionTimeAgeAndTextBound) {
    Em_RepParser_Common p;
    Report(p, REPORT_GPGGA, "$GPGGA,123519.25,3110.4910,S,12123.8944,W,4,12,0.9,37.5,M,-12.5,M,2.0,0001*00\r\n");
    EXPECT_DOUBLE_EQ(p.position.latitude, -(31 * 0.017453292519943295 + 10.4910 * 0.0002908882086657216));
    EXPECT_DOUBLE_EQ(p.position.longitude, -(121 * 0.017453292519943295 + 23.8944 * 0.0002908882086657216));
    EXPECT_DOUBLE_EQ(p.position.height, 25.0);
    EXPECT_DOUBLE_EQ(p.position.diffAge, 2.0);
    EXPECT_EQ(p.satsUsed, 12);
    EXPECT_EQ(p.time.hour, 12);
    EXPECT_EQ(p.time.minute, 35);
    EXPECT_DOUBLE_EQ(p.time.second, 19.25);

    // No age: -1. A time field shorter than six characters: time unchanged.
    // Empty position fields: position unchanged.
    Report(p, REPORT_GNGGA, "$GNGGA,1235,,,,,4,12,0.9,,M,,M,,*00\r\n");
    EXPECT_DOUBLE_EQ(p.position.diffAge, -1.0);
    EXPECT_EQ(p.time.hour, 12);
    EXPECT_EQ(p.time.minute, 35);
    EXPECT_DOUBLE_EQ(p.position.latitude, -(31 * 0.017453292519943295 + 10.4910 * 0.0002908882086657216));
    EXPECT_DOUBLE_EQ(p.position.height, 25.0);

    // The stored copy of the sentence is bounded by the store.
    const std::string huge = "$GPGGA," + std::string(1500, '1');
    EXPECT_EQ(Report(p, REPORT_GPGGA, huge), 1u);
    EXPECT_EQ(p.ggaLength, 1024u);
    EXPECT_EQ(p.ggaText[1024], 0);
    EXPECT_EQ(std::memcmp(p.ggaText, huge.data(), 1024), 0);
}

TEST(NmeaGga, TimeZoneCarriesIntoTheNextDay) {
    Em_RepParser_Common p;
    p.timeZone = 8;
    // No date known yet: the hour still wraps (never 28).
    Report(p, REPORT_GPGGA, "$GPGGA,200000.00,3110.4910,N,12123.8944,E,1,08,1.0,10.0,M,5.0,M,,*00\r\n");
    EXPECT_EQ(p.time.hour, 4);

    // RMC dated 9 March 2012, 20:00 UTC: 04:00 on the 10th.
    Report(p, REPORT_GPRMC, "$GPRMC,200000.00,A,3110.4910,N,12123.8944,E,0.5,90.0,090312,,,A*00\r\n");
    EXPECT_EQ(p.time.year, 2012);
    EXPECT_EQ(p.time.month, 3);
    EXPECT_EQ(p.time.day, 10);
    EXPECT_EQ(p.time.hour, 4);
    // A GGA a second later stays on the 10th.
    Report(p, REPORT_GPGGA, "$GPGGA,200001.00,3110.4910,N,12123.8944,E,1,08,1.0,10.0,M,5.0,M,,*00\r\n");
    EXPECT_EQ(p.time.day, 10);
    EXPECT_EQ(p.time.hour, 4);
    EXPECT_DOUBLE_EQ(p.time.second, 1.0);
    // The receiver passes midnight UTC before its next dated sentence.
    Report(p, REPORT_GPGGA, "$GPGGA,000000.50,3110.4910,N,12123.8944,E,1,08,1.0,10.0,M,5.0,M,,*00\r\n");
    EXPECT_EQ(p.time.day, 10);
    EXPECT_EQ(p.time.hour, 8);
    // Across a month and a year.
    Report(p, REPORT_GPZDA, "$GPZDA,230000.00,31,12,2019,,*00\r\n");
    EXPECT_EQ(p.time.year, 2020);
    EXPECT_EQ(p.time.month, 1);
    EXPECT_EQ(p.time.day, 1);
    EXPECT_EQ(p.time.hour, 7);

    // Without a time zone the receiver's time is stored as it is.
    Em_RepParser_Common utc;
    Report(utc, REPORT_GPZDA, "$GPZDA,081411.000,26,05,2014,,*5D\r\n");
    EXPECT_EQ(utc.time.year, 2014);
    EXPECT_EQ(utc.time.month, 5);
    EXPECT_EQ(utc.time.day, 26);
    EXPECT_EQ(utc.time.hour, 8);
    EXPECT_EQ(utc.time.minute, 14);
    EXPECT_DOUBLE_EQ(utc.time.second, 11.0);
}

TEST(NmeaRmc, DateSpeedCourseAndShortFields) {
    Em_RepParser_Common p;
    EXPECT_EQ(Report(p, REPORT_GNRMC, "$GNRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,090312,003.1,W*6A\r\n"), 1u);
    EXPECT_EQ(p.ChangedMask, ChangeBits::Rmc);
    EXPECT_EQ(p.time.day, 9);
    EXPECT_EQ(p.time.month, 3);
    EXPECT_EQ(p.time.year, 2012);
    EXPECT_EQ(p.time.hour, 12);
    EXPECT_DOUBLE_EQ(p.speedKnots, 22.4);
    EXPECT_NEAR(p.courseRad, 84.4 * kPi / 180.0, 1e-12);
    EXPECT_EQ(p.sentenceSeen, 2u);

    // A time of six characters and a date too short to be one leave both.
    Report(p, REPORT_GPRMC, "$GPRMC,134500,A,4807.038,N,01131.000,E,1.0,10.0,0903,003.1,W*6A\r\n");
    EXPECT_EQ(p.time.hour, 12);
    EXPECT_EQ(p.time.day, 9);
    EXPECT_EQ(p.time.year, 2012);
}

TEST(NmeaGsaGst, DilutionsErrorsAndTheFullSolutionBit) {
    Em_RepParser_Common p;
    Report(p, REPORT_GPGSA, "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n");
    EXPECT_EQ(p.gsaMode, 'A');
    EXPECT_EQ(p.gsaFixType, 3);
    const int32_t sats[12] = {4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(p.gsaSats, sats, sizeof sats), 0);
    EXPECT_DOUBLE_EQ(p.dops.pdop, 2.5);
    EXPECT_DOUBLE_EQ(p.dops.hdop, 1.3);
    EXPECT_DOUBLE_EQ(p.dops.vdop, 2.1);
    EXPECT_EQ(p.ChangedMask, 0u);  // NMEA parsing off
    p.parseNmea = 1;
    Report(p, REPORT_GNGSA, "$GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n");
    EXPECT_EQ(p.ChangedMask, ChangeBits::Dops);

    Report(p, REPORT_GPGST, "$GPGST,172814.0,0.006,0.023,0.020,273.6,0.030,0.040,0.031*6A\r\n");
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_DOUBLE_EQ(p.errors.rms, 0.006);
    EXPECT_DOUBLE_EQ(p.errors.latError, 0.030);
    EXPECT_DOUBLE_EQ(p.errors.lonError, 0.040);
    EXPECT_DOUBLE_EQ(p.errors.heightError, 0.031);
    EXPECT_DOUBLE_EQ(p.errors.horizontalError, 0.05);

    // GST and RMC seen, then GGA with NMEA parsing on: the whole set.
    Report(p, REPORT_GPRMC, "$GPRMC,172814.00,A,4807.038,N,01131.000,E,022.4,084.4,090312,003.1,W*6A\r\n");
    Report(p, REPORT_GPGGA, "$GPGGA,172814.00,4807.038,N,01131.000,E,4,12,0.9,545.4,M,46.9,M,1.0,0001*00\r\n");
    EXPECT_EQ(p.ChangedMask, ChangeBits::GgaText | ChangeBits::Position | ChangeBits::Status |
                                 ChangeBits::Precision | ChangeBits::Time | ChangeBits::FullSolution);
    EXPECT_EQ(p.sentenceSeen, 0u);
    // The next GGA alone: no time, precision or full-set bit.
    Report(p, REPORT_GPGGA, "$GPGGA,172815.00,4807.038,N,01131.000,E,4,12,0.9,545.4,M,46.9,M,1.0,0001*00\r\n");
    EXPECT_EQ(p.ChangedMask, ChangeBits::GgaText | ChangeBits::Position | ChangeBits::Status);
}

TEST(NmeaDispatch, ReportIds) {
    Em_RepParser_Common p;
    const uint8_t any[] = "$GNGLL,1*00\r\n";
    EXPECT_EQ(p.Decode_Report(REPORT_GNGLL, nullptr, 10), 0u);
    EXPECT_EQ(p.Decode_Report(REPORT_GNGLL, any, 0), 0u);
    EXPECT_EQ(p.Decode_Report(REPORT_GNGLL, any, sizeof any - 1), 1u);
    for (int id : std::initializer_list<int>{REPORT_UNKNOWN, 45, 50, 53, 54, 200}) {
        p.ChangedMask = 0xFFFF;
        EXPECT_EQ(p.Decode_Report(id, any, sizeof any - 1), 0u) << id;
        EXPECT_EQ(p.ChangedMask, 0u) << id;
    }
}

// The field cut reads several bytes a step: at every length and every place of
// the commas, the '*' and the line end it cuts as a plain split of the text
// before the first '*' without its trailing CR and LF.
TEST(NmeaFieldCut, AgreesWithAPlainSplitAtEveryLength) {
    const char alphabet[] = {',', ',', ',', '*', '\r', '\n', 'A', '1'};
    uint64_t state = 0x2545F4914F6CDD1Dull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int n = 0; n < 20000; ++n) {
        std::string text(size_t(next() % 160), 'x');
        for (char& c : text) c = alphabet[next() % sizeof alphabet];
        std::string_view body(text);
        body = body.substr(0, body.find('*'));
        while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.remove_suffix(1);
        std::vector<std::string_view> expected;
        int commas = 0;
        for (size_t start = 0;;) {
            const size_t c = body.find(',', start);
            expected.push_back(body.substr(start, c == std::string_view::npos ? std::string_view::npos : c - start));
            if (c == std::string_view::npos) break;
            ++commas;
            start = c + 1;
        }
        const NmeaFields f(text);
        EXPECT_EQ(f.Commas(), commas) << text;
        ASSERT_EQ(f.Count(), std::min<int>(int(expected.size()), NmeaFields::kMaxFields)) << text;
        for (int i = 0; i < f.Count(); ++i) EXPECT_EQ(f[i], expected[size_t(i)]) << text << " field " << i;
        EXPECT_EQ(f[f.Count()], std::string_view());
    }
}
