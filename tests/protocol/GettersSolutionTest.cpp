// The solution getters of the protocol object, read as the device object
// reads them: inside the data callback after each decoded frame of a real
// capture (nmea-rtk.log, bu353-glonass.log through another maker's Unicore
// receiver), compared with the sentences themselves; the parser's words that
// only binary families fill, set in the store; and what each getter does
// without a board or a format.

#include "OldCmdRig.h"
#include "TestData.h"

#include "protocol/Em_Gnss.h"
#include "protocol/Em_IFormat.h"
#include "protocol/boards/EmIMainBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<std::string> Fields(const std::string& sentence) {
    const std::string s = sentence.substr(0, sentence.find('*'));
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t c = s.find(',', start);
        out.push_back(s.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos) return out;
        start = c + 1;
    }
}

double Num(const std::string& s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}
int Int(const std::string& s) { return int(Num(s)); }

double Angle(const std::string& s, int degreeDigits, const std::string& hemisphere) {
    const double deg = Num(s.substr(0, size_t(degreeDigits))) + Num(s.substr(size_t(degreeDigits))) / 60.0;
    return (hemisphere == "N" || hemisphere == "E" ? 1 : -1) * deg * kPi / 180.0;
}

// Every byte of a record still holds the fill it was given.
template <typename T>
bool Untouched(const T& record, uint8_t fill = 0xA5) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    for (size_t i = 0; i < sizeof record; ++i)
        if (p[i] != fill) return false;
    return true;
}
template <typename T>
T Filled(uint8_t fill = 0xA5) {
    T record;
    std::memset(&record, fill, sizeof record);
    return record;
}

std::vector<uint8_t> CaptureBytes(const std::vector<std::string>& lines) {
    std::vector<uint8_t> out;
    for (const std::string& l : lines) {
        out.insert(out.end(), l.begin(), l.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

std::deque<std::string> LinesOf(const std::vector<std::string>& lines, const std::string& prefix) {
    std::deque<std::string> out;
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    return out;
}

// A receiver of another maker with a Unicore board, parsing NMEA, whose data
// callback runs `onFrame` with the change bits, as the device object's would.
struct CaptureRun {
    explicit CaptureRun(std::function<void(uint32_t)> onFrame) : onFrame_(std::move(onFrame)) {
        gnss.Set_GNSS_ParseNmea(true);
        const _CALLBACKS_RECEIVER cbs{&CaptureRun::Data, nullptr};
        gnss.Reg_Callbacks(&cbs, this);
    }
    void Feed(const std::vector<uint8_t>& bytes) {
        // In read-sized blocks, parsed after each as the processing thread does.
        for (size_t at = 0; at < bytes.size(); at += 512) {
            const size_t n = std::min<size_t>(512, bytes.size() - at);
            gnss.RcvData(bytes.data() + at, unsigned(n));
            gnss.ParseData();
        }
    }
    static void Data(int messageClass, unsigned bits, const void* context) {
        auto* self = static_cast<CaptureRun*>(const_cast<void*>(context));
        EXPECT_EQ(messageClass, MSG_TYPE_GNSS);
        ++self->callbacks;
        self->onFrame_(bits);
    }

    Em_Gnss gnss{GNSS_MNFCTR_OTHER, MAINBD_UNICORE};
    int callbacks = 0;

private:
    std::function<void(uint32_t)> onFrame_;
};

}  // namespace

// nmea-rtk.log: after each GGA the position record matches the sentence that
// Get_Gnss_Gpgga hands out; after each RMC the speed and course match it; and
// with the time zone at 12 hours the local time of a GGA that follows an RMC
// carries into the next day.
TEST(GettersCapture, RtkLogPositionTimeAndRmc) {
    const std::vector<std::string> lines = LoadLogLines("nmea-rtk.log");
    ASSERT_EQ(lines.size(), 244u);
    std::deque<std::string> rmcInOrder;
    for (const std::string& l : lines)
        if (l.compare(3, 3, "RMC") == 0) rmcInOrder.push_back(l);

    int ggas = 0, rmcSeen = 0, times = 0, rtkFixed = 0;
    std::string lastRmc;
    CaptureRun* self = nullptr;
    CaptureRun run([&](uint32_t bits) {
        Em_Gnss& g = self->gnss;
        if (bits & ChangeBits::GgaText) {
            ++ggas;
            std::vector<unsigned char> text(1024, 0);
            unsigned length = 0;
            g.Get_Gnss_Gpgga(text.data(), &length);
            ASSERT_GT(length, 2u);
            const std::string sentence(reinterpret_cast<const char*>(text.data()), length);
            ASSERT_EQ(sentence.substr(length - 2), "\r\n");
            SCOPED_TRACE(sentence);
            const std::vector<std::string> f = Fields(sentence);
            POS_INFO pos = Filled<POS_INFO>();
            g.Get_Gnss_Pos(&pos);
            EXPECT_NEAR(pos.latitude, Angle(f[2], 2, f[3]), 1e-12);
            EXPECT_NEAR(pos.longitude, Angle(f[4], 3, f[5]), 1e-12);
            EXPECT_NEAR(pos.height, Num(f[9]) + Num(f[11]), 1e-9);
            const int quality = Int(f[6]);
            EXPECT_EQ(+pos.status, quality == 4 ? 11 : quality == 2 ? 10 : quality == 1 ? 4 : -1);
            if (quality == 4) ++rtkFixed;
            EXPECT_DOUBLE_EQ(pos.diffAge, Num(f[13]));
            EXPECT_EQ(+pos.satsUsed, uint32_t(Int(f[7])));
            // No GST in this capture: no precisions; no binary solution words.
            EXPECT_EQ(+pos.horizontalPrecision, 0.0);
            EXPECT_EQ(+pos.heightPrecision, 0.0);
            EXPECT_EQ(+pos.rmsPrecision, 0.0);
            EXPECT_EQ(+pos.gpsWeek, 0u);
            EXPECT_EQ(+pos.satSystems, 0u);
            if (bits & ChangeBits::Time) {
                ++times;
                ASSERT_FALSE(lastRmc.empty());
                const std::vector<std::string> r = Fields(lastRmc);
                Time_Str t = Filled<Time_Str>();
                g.Get_Gnss_Time(&t);
                // 13:28 UTC on 18 March 2020 plus 12 hours.
                EXPECT_EQ(+t.hour, Int(f[1].substr(0, 2)) + 12 - 24);
                EXPECT_EQ(+t.minute, Int(f[1].substr(2, 2)));
                EXPECT_DOUBLE_EQ(t.second, Num(f[1].substr(4)));
                EXPECT_EQ(+t.day, Int(r[9].substr(0, 2)) + 1);
                EXPECT_EQ(+t.month, Int(r[9].substr(2, 2)));
                EXPECT_EQ(+t.year, 2000 + Int(r[9].substr(4, 2)));
            }
        }
        if (bits & ChangeBits::Rmc) {
            ++rmcSeen;
            ASSERT_FALSE(rmcInOrder.empty());
            lastRmc = rmcInOrder.front();
            rmcInOrder.pop_front();
            const std::vector<std::string> r = Fields(lastRmc);
            double speed = -1, course = -1;
            g.Get_Gnss_Gprmc(speed, course);
            EXPECT_DOUBLE_EQ(speed, Num(r[7])) << lastRmc;
            EXPECT_NEAR(course, Num(r[8]) * kPi / 180.0, 1e-12) << lastRmc;
        }
    });
    self = &run;
    run.gnss.Set_TimeZone(12);
    ASSERT_EQ(run.gnss.Get_TimeZone(), 12);
    run.Feed(CaptureBytes(lines));
    // The cutter waits for 300 bytes behind an RMC, so the last few sentences
    // stay buffered; every other one was read.
    EXPECT_GE(ggas, 118);
    EXPECT_GE(rmcSeen, 118);
    EXPECT_GE(times, 117);
    EXPECT_GT(rtkFixed, 0);
    EXPECT_EQ(run.callbacks, ggas + rmcSeen);
}

// bu353-glonass.log: after each GSA the dilutions match it; after each
// complete GPS and GLONASS satellites-in-view cycle the lists handed out hold
// the cycle's satellites (GLONASS numbered 38 onwards); the other lists are
// empty.
TEST(GettersCapture, GlonassLogDopsAndSatellites) {
    const std::vector<std::string> lines = LoadLogLines("bu353-glonass.log");
    std::deque<std::string> gsas = LinesOf(lines, "$GNGSA");
    ASSERT_FALSE(gsas.empty());
    // The satellite blocks of each complete cycle, in order.
    auto cycles = [&](const std::string& address) {
        std::deque<std::vector<std::vector<std::string>>> out;
        std::vector<std::vector<std::string>> blocks;
        for (const std::string& l : lines) {
            if (l.compare(0, 6, address) != 0) continue;
            const std::vector<std::string> f = Fields(l);
            if (Int(f[2]) == 1) blocks.clear();
            for (size_t i = 4; i + 3 < f.size(); i += 4) blocks.push_back({f[i], f[i + 1], f[i + 2], f[i + 3]});
            if (Int(f[2]) == Int(f[1])) out.push_back(blocks);
        }
        return out;
    };
    auto gpsCycles = cycles("$GPGSV");
    auto gloCycles = cycles("$GLGSV");
    ASSERT_FALSE(gpsCycles.empty());
    ASSERT_FALSE(gloCycles.empty());

    int dops = 0, gpsLists = 0, gloLists = 0;
    double lastDop[3] = {0, 0, 0};
    CaptureRun* self = nullptr;
    auto checkList = [&](int system, const std::vector<std::vector<std::string>>& blocks, int shift) {
        SATLLITE_STR sats[32];
        std::memset(sats, 0xA5, sizeof sats);
        unsigned count = 99;
        self->gnss.Get_Gnss_SatInfo(system, &count, sats);
        ASSERT_EQ(count, blocks.size());
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(+sats[i].number, Int(blocks[i][0]) + shift);
            EXPECT_EQ(+sats[i].elevation, Int(blocks[i][1]));
            EXPECT_EQ(int(sats[i].azimuth), Int(blocks[i][2]));
            EXPECT_FLOAT_EQ(sats[i].snr[0], float(Num(blocks[i][3])));
            if (system == 1) {
                const bool used = sats[i].elevation >= 14 && sats[i].snr[0] > 30.0f && sats[i].azimuth != 0;
                EXPECT_EQ(+sats[i].used, used ? 1u : 0u);
            }
        }
        EXPECT_EQ(uint8_t(sats[count].number), 0xA5) << "nothing is written past the count";
    };
    CaptureRun run([&](uint32_t bits) {
        Em_Gnss& g = self->gnss;
        if (bits & ChangeBits::Dops) {
            ++dops;
            ASSERT_FALSE(gsas.empty());
            const std::vector<std::string> f = Fields(gsas.front());
            SCOPED_TRACE(gsas.front());
            gsas.pop_front();
            // An empty field keeps the value before it.
            for (int k = 0; k < 3; ++k)
                if (!f[size_t(15 + k)].empty()) lastDop[k] = Num(f[size_t(15 + k)]);
            Dops d = Filled<Dops>();
            g.Get_Gnss_Dops(&d);
            EXPECT_DOUBLE_EQ(d.pdop, lastDop[0]);
            EXPECT_DOUBLE_EQ(d.hdop, lastDop[1]);
            EXPECT_DOUBLE_EQ(d.vdop, lastDop[2]);
            EXPECT_EQ(+d.tdop, 0.0);
            EXPECT_EQ(+d.gdop, 0.0);
        }
        if (bits & ChangeBits::GpsList) {
            ++gpsLists;
            ASSERT_FALSE(gpsCycles.empty());
            checkList(1, gpsCycles.front(), 0);
            gpsCycles.pop_front();
        }
        if (bits & ChangeBits::GlonassList) {
            ++gloLists;
            ASSERT_FALSE(gloCycles.empty());
            checkList(2, gloCycles.front(), -27);
            gloCycles.pop_front();
        }
    });
    self = &run;
    run.Feed(CaptureBytes(lines));
    EXPECT_GE(dops, 30);
    EXPECT_GE(gpsLists, 2);
    EXPECT_GE(gloLists, 2);
    for (int system : {0, 3, 4, 5, 6, -1}) {
        unsigned count = 99;
        run.gnss.Get_Gnss_SatInfo(system, &count, nullptr);
        EXPECT_EQ(count, 0u) << system;
    }
}

namespace {

// Another maker's NMEA-only receiver with recording boards, its parser's
// store at hand.
struct StoreRig {
    oldcmd_test::Rig rig{oldcmd_test::Receiver::OtherMaker};
    Em_IRepParser& p = *rig.gnss->Format()->MainBoard()->RepParser();
    Em_Gnss& g = *rig.gnss;
};

}  // namespace

// The position record's words that binary families fill, and its layout:
// every value lands at its offset.
TEST(GettersStore, PositionRecordFromTheSolutionBlock) {
    StoreRig s;
    s.p.position = {0.5, -1.25, 37.5, 11, 2.5};
    s.p.errors.rms = 0.03;
    s.p.errors.horizontalError = 0.01;
    s.p.errors.heightError = 0.02;
    s.p.solution = {2100, 345600, 21, 17, 0x30000000};
    s.p.satsUsed = 16;
    s.p.satsListed = 25;
    s.p.satsListedUsed = 14;
    s.p.satSystems = 3;
    POS_INFO pos = Filled<POS_INFO>();
    s.g.Get_Gnss_Pos(&pos);
    uint8_t raw[sizeof pos];
    std::memcpy(raw, &pos, sizeof pos);
    auto d = [&](size_t at) {
        double v;
        std::memcpy(&v, raw + at, 8);
        return v;
    };
    auto u = [&](size_t at) { return uint32_t(raw[at] | raw[at + 1] << 8 | raw[at + 2] << 16 | uint32_t(raw[at + 3]) << 24); };
    EXPECT_EQ(d(0), 0.5);
    EXPECT_EQ(d(8), -1.25);
    EXPECT_EQ(d(16), 37.5);
    EXPECT_EQ(u(24), 11u);
    EXPECT_EQ(d(28), 2.5);
    const uint32_t words[] = {2100, 345600, 21, 17, 0x30000000, 16, 25, 14};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(u(36 + 4 * i), words[i]) << i;
    EXPECT_EQ(raw[68] | raw[69] << 8, 3);
    EXPECT_EQ(d(70), 0.01);
    EXPECT_EQ(d(78), 0.02);
    EXPECT_EQ(d(86), 0.03);

    Precisions pr = Filled<Precisions>();
    s.g.Get_Gnss_Precision(&pr);
    EXPECT_EQ(+pr.horizontal, 0.01);
    EXPECT_EQ(+pr.height, 0.02);
    EXPECT_EQ(+pr.rms, 0.03);
    EXPECT_EQ(s.g.GetInfo_Gnss_Solutions(), 0x30000000u);
    int systems = -1;
    s.g.Get_Gnss_SatTypeNum(systems);
    EXPECT_EQ(systems, 3);

    s.p.baseInfo = {-2.5e6, 4.5e6, 3.1e6};
    BASEINFO base = Filled<BASEINFO>();
    s.g.Get_Gnss_Baseinfo(base);
    EXPECT_EQ(+base.x, -2.5e6);
    EXPECT_EQ(+base.z, 3.1e6);
}

// Listed and used satellites: only system 0; a listed count below the used
// count is first raised to it in the store.
TEST(GettersStore, SatelliteUse) {
    StoreRig s;
    s.p.satsListed = 9;
    s.p.satsListedUsed = 12;
    SAT_USE use = Filled<SAT_USE>();
    s.g.Get_Gnss_SatUse(1, &use);
    EXPECT_TRUE(Untouched(use));
    EXPECT_EQ(s.p.satsListed, 9u);
    s.g.Get_Gnss_SatUse(0, nullptr);
    s.g.Get_Gnss_SatUse(0, &use);
    EXPECT_EQ(+use.listed, 12u);
    EXPECT_EQ(+use.used, 12u);
    EXPECT_EQ(s.p.satsListed, 12u);
    s.p.satsListed = 20;
    s.g.Get_Gnss_SatUse(0, &use);
    EXPECT_EQ(+use.listed, 20u);
    EXPECT_EQ(+use.used, 12u);
}

// Each list is handed out from its own table; a count past the table's 32
// entries gives 0 and copies nothing.
TEST(GettersStore, SatelliteListsByTheirOwnCounts) {
    StoreRig s;
    for (int l = 0; l < SATLIST_COUNT; ++l)
        for (int i = 0; i < 32; ++i) s.p.satLists[l].sats[i].number = 100 * (l + 1) + i;
    s.p.satLists[0].count = 8;
    s.p.satLists[1].count = 12;
    s.p.satLists[4].count = 32;
    s.p.satLists[3].count = 33;
    SATLLITE_STR out[33];
    std::memset(out, 0, sizeof out);
    unsigned count = 0;
    s.g.Get_Gnss_SatInfo(2, &count, out);
    ASSERT_EQ(count, 12u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(+out[i].number, 200 + i);
    EXPECT_EQ(+out[12].number, 0);
    s.g.Get_Gnss_SatInfo(5, &count, out);
    ASSERT_EQ(count, 32u);
    EXPECT_EQ(+out[31].number, 531);
    std::memset(out, 0, sizeof out);
    s.g.Get_Gnss_SatInfo(4, &count, out);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(+out[0].number, 0);
    s.g.Get_Gnss_SatInfo(1, nullptr, out);  // no count to write: nothing
    EXPECT_EQ(+out[0].number, 0);
}

// Hours 0 to 24 are taken; anything else, negatives included, gives 8.
TEST(GettersStore, TimeZoneRange) {
    StoreRig s;
    const struct {
        int given, stored;
    } cases[] = {{0, 0}, {7, 7}, {24, 24}, {25, 8}, {-1, 8}, {-24, 8}, {1000, 8}};
    for (const auto& c : cases) {
        s.g.Set_TimeZone(c.given);
        EXPECT_EQ(s.g.Get_TimeZone(), c.stored) << c.given;
        EXPECT_EQ(s.p.timeZone, c.stored);
    }
}

// Without a board the solution values are the format's defaults and the
// board-only parts stay as the caller had them; without a format nothing is
// written at all; a null record is never written.
TEST(GettersStore, WithoutBoardOrFormat) {
    using oldcmd_test::Receiver;
    {
        oldcmd_test::Rig rig(Receiver::NoBoard);
        Em_Gnss& g = *rig.gnss;
        POS_INFO pos = Filled<POS_INFO>();
        g.Get_Gnss_Pos(&pos);
        EXPECT_EQ(+pos.latitude, 0.0);
        EXPECT_EQ(+pos.status, 0);
        EXPECT_EQ(+pos.diffAge, -1.0);
        EXPECT_EQ(+pos.rmsPrecision, 0.0);
        uint8_t raw[sizeof pos];
        std::memcpy(raw, &pos, sizeof pos);
        for (size_t i = 36; i < 70; ++i) ASSERT_EQ(raw[i], 0xA5) << i;
        Time_Str t = Filled<Time_Str>();
        g.Get_Gnss_Time(&t);
        EXPECT_TRUE(Untouched(t));
        Dops d = Filled<Dops>();
        g.Get_Gnss_Dops(&d);
        EXPECT_EQ(+d.pdop, 0.0);
        EXPECT_EQ(+d.gdop, 0.0);
        unsigned count = 7;
        g.Get_Gnss_SatInfo(1, &count, nullptr);
        EXPECT_EQ(count, 0u);
        int systems = 42;
        g.Get_Gnss_SatTypeNum(systems);
        EXPECT_EQ(systems, 42);
        SAT_USE use = Filled<SAT_USE>();
        g.Get_Gnss_SatUse(0, &use);
        EXPECT_TRUE(Untouched(use));
        EXPECT_EQ(g.GetInfo_Gnss_Solutions(), 0u);
        g.Set_TimeZone(5);
        EXPECT_EQ(g.Get_TimeZone(), 0);
        BASEINFO base = Filled<BASEINFO>();
        g.Get_Gnss_Baseinfo(base);
        EXPECT_TRUE(Untouched(base));
        unsigned char text[4] = {1, 2, 3, 4};
        unsigned length = 42;
        g.Get_Gnss_Gpgga(text, &length);
        EXPECT_EQ(length, 42u);
        double speed = 9, course = 9;
        g.Get_Gnss_Gprmc(speed, course);
        EXPECT_EQ(speed, 0.0);
        g.Get_Gnss_Pos(nullptr);
        g.Get_Gnss_Time(nullptr);
        g.Get_Gnss_Dops(nullptr);
        g.Get_Gnss_Precision(nullptr);
    }
    {
        oldcmd_test::Rig rig(Receiver::NoFormat);
        Em_Gnss& g = *rig.gnss;
        POS_INFO pos = Filled<POS_INFO>();
        g.Get_Gnss_Pos(&pos);
        EXPECT_TRUE(Untouched(pos));
        Dops d = Filled<Dops>();
        g.Get_Gnss_Dops(&d);
        EXPECT_TRUE(Untouched(d));
        Precisions pr = Filled<Precisions>();
        g.Get_Gnss_Precision(&pr);
        EXPECT_TRUE(Untouched(pr));
        double speed = 9, course = 9;
        g.Get_Gnss_Gprmc(speed, course);
        EXPECT_EQ(speed, 9.0);
        EXPECT_EQ(course, 9.0);
        unsigned count = 7;
        g.Get_Gnss_SatInfo(1, &count, nullptr);
        EXPECT_EQ(count, 0u);
    }
}
