// The NovAtel board in the library's own formats: a real NovAtel OEMV capture
// (oemv_head64k.gps) through the common format and the protocol object, and a
// receiver of the maker's old protocol whose main board is a NovAtel board.
#include "protocol/Em_Gnss.h"

#include "NovAtelFixtures.h"
#include "OldFrameFixtures.h"
#include "TestData.h"
#include "platform/Time.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace Fjarnis2011::FJParse;

namespace {

constexpr double kDeg = 0.017453292519943295;
constexpr double kL1 = 0.1902936727984;
constexpr double kL2 = 0.2442102134246;

// The capture's logs, from its start: 79 whole logs, of which 24 (GLOEPHEMERIS
// and the long SATVIS ones) are longer than the 2048-byte frame area and are
// passed over; the cut one at the end is one of those.
constexpr int kLogsThatFit = 55;
constexpr int kBestPos = 14;
constexpr int kRangeCmp = 11;
constexpr int kRawEphem = 7;  // satellites 11, 16, 7, 19, 6, 13, 3

// The receiver's clock in the week of the capture, for the navigation
// message's 10-bit week numbers.
struct CaptureClock {
    CaptureClock() {
        platform::SetUtcClock([] {
            platform::UtcTime t;
            t.year = 2009;
            t.month = 12;
            t.day = 18;
            return t;
        });
    }
    ~CaptureClock() { platform::SetUtcClock({}); }
};

// The common format with the library's NovAtel board.
struct CommonRig {
    RingBuffer ring;
    Em_Format_Common format{ring};
    std::map<FrameResult, int> results;
    std::vector<uint32_t> masks;  // of every frame the board took

    CommonRig() { EXPECT_TRUE(format.Reset_GnsMd(MAINBD_NOVATEL_OEM)); }
    Em_ReptParser_NovAt& Parser() { return *static_cast<Em_ReptParser_NovAt*>(format.MainBoard()->RepParser()); }

    // Feeds the bytes and cuts frames until the format waits; `each` runs
    // after every frame the board took.
    template <typename Each>
    void Feed(const uint8_t* p, size_t n, Each each) {
        ring.Append(p, unsigned(n));
        for (int guard = 0; guard < 200000; ++guard) {
            if (!format.ParseNextFrame()) return;
            ++results[format.LastResult()];
            if (format.LastResult() == FrameResult::Taken) {
                masks.push_back(format.changeMask);
                each();
            }
        }
        ADD_FAILURE() << "the format never waited";
    }
    void Feed(const std::vector<uint8_t>& data, size_t chunk) {
        for (size_t at = 0; at < data.size(); at += chunk)
            Feed(data.data() + at, std::min(chunk, data.size() - at), [] {});
    }
};

}  // namespace

// Every whole log that fits the frame area reaches the board and is decoded;
// the observations of every RANGECMP are physically consistent.
TEST(NovAtelCapture, EveryWholeLogIsDecoded) {
    CaptureClock clock;
    const std::vector<uint8_t> data = LoadCapture("oemv_head64k.gps");
    ASSERT_EQ(data.size(), 65536u);
    CommonRig rig;
    int rangeCmps = 0, gpsChecked = 0;
    for (size_t at = 0; at < data.size(); at += 1000) {
        rig.Feed(data.data() + at, std::min<size_t>(1000, data.size() - at), [&] {
            if (!(rig.format.changeMask & ChangeBits::Observations)) return;
            ++rangeCmps;
            const Em_ReptParser_NovAt& p = rig.Parser();
            EXPECT_EQ(p.obsCount, 16u);  // 9 GPS, 5 GLONASS, 2 SBAS satellites
            for (uint32_t i = 0; i < p.obsCount; ++i) {
                const em_obsd_t& o = p.obs[i];
                EXPECT_GE(o.SNR[0], 20);
                if (o.sat < 1 || o.sat > 32) continue;
                // GPS: carrier phase in metres within a few metres of the
                // pseudorange on both frequencies.
                EXPECT_NEAR(o.L[0] * kL1, o.P[0], 20.0) << int(o.sat);
                EXPECT_NEAR(o.L[1] * kL2, o.P[1], 20.0) << int(o.sat);
                EXPECT_GT(o.P[0], 1.9e7);
                EXPECT_LT(o.P[0], 2.6e7);
                EXPECT_EQ(o.code[0], 1);
                EXPECT_EQ(o.code[1], 19);
                // Tracked all along: no slip from one log to the next.
                EXPECT_EQ(o.LLI[0], 0);
                ++gpsChecked;
            }
        });
    }
    EXPECT_EQ(rig.results[FrameResult::Taken], kLogsThatFit);
    EXPECT_EQ(rig.results[FrameResult::BoardRejected], 0);
    EXPECT_EQ(rangeCmps, kRangeCmp);
    EXPECT_EQ(gpsChecked, kRangeCmp * 9);

    // The last BESTPOS: SBAS solution at week 1562, 515230 s.
    const Em_ReptParser_NovAt& p = rig.Parser();
    EXPECT_DOUBLE_EQ(p.position.latitude, 35.87299463408952 * kDeg);
    EXPECT_DOUBLE_EQ(p.position.longitude, 138.3896621469082 * kDeg);
    EXPECT_NEAR(p.position.height, 964.5390954846516 + 39.25025939941406, 1e-9);
    EXPECT_EQ(p.position.status, 7);
    EXPECT_EQ(p.solution.gpsWeek, 1562u);
    EXPECT_EQ(p.solution.gpsSeconds, 515230u);
    EXPECT_EQ(p.solution.satsTracked, 16u);
    EXPECT_EQ(p.solution.satsInSolution, 9u);
    EXPECT_EQ((std::vector<int>{p.time.year, p.time.month, p.time.day, p.time.hour, p.time.minute}),
              (std::vector<int>{2009, 12, 18, 23, 7}));
    EXPECT_DOUBLE_EQ(p.time.second, 10.0);

    // Seven raw ephemerides, each stored under its satellite.
    int ephemerides = 0;
    for (uint32_t m : rig.masks) ephemerides += (m & ChangeBits::Ephemeris) ? 1 : 0;
    EXPECT_EQ(ephemerides, kRawEphem);
    for (int prn : {11, 16, 7, 19, 6, 13, 3}) {
        const em_eph_t& e = p.eph[prn - 1];
        EXPECT_EQ(e.sat, prn);
        EXPECT_EQ(e.week, 1562) << prn;
        EXPECT_EQ(e.iode, e.iodc & 0xFF) << prn;
        EXPECT_GT(e.A, 5100.0) << prn;  // square root of the semi-major axis
        EXPECT_LT(e.A, 5200.0) << prn;
        EXPECT_LT(e.e, 0.03) << prn;
        EXPECT_EQ(e.toe.sec, 0.0) << prn;
    }
    EXPECT_EQ(p.lastEphSat, 3);
}

// A capture cut inside a log: the cut log waits, nothing of it is consumed,
// and it is decoded once its rest arrives.
TEST(NovAtelCapture, ACutLogWaitsForItsRest) {
    const std::vector<uint8_t> data = LoadCapture("oemv_head64k.gps");
    ASSERT_FALSE(data.empty());
    const size_t lastBestPos = 65115;  // its 104 bytes end at 65219
    const size_t cut = lastBestPos + 50;
    CommonRig rig;
    rig.Feed(std::vector<uint8_t>(data.begin(), data.begin() + long(cut)), 4096);
    EXPECT_EQ(rig.results[FrameResult::Taken], kLogsThatFit - 1);
    EXPECT_EQ(rig.ring.Unconsumed(), 50);
    rig.Feed(data.data() + cut, 54, [] {});
    EXPECT_EQ(rig.results[FrameResult::Taken], kLogsThatFit);
    EXPECT_EQ(rig.Parser().solution.gpsSeconds, 515230u);
}

namespace {

struct Calls {
    std::vector<std::pair<int, uint32_t>> list;
};
void Collect(int messageClass, unsigned bits, const void* context) {
    static_cast<Calls*>(const_cast<void*>(context))->list.push_back({messageClass, bits});
}

}  // namespace

// Another maker's receiver with a NovAtel board: the protocol object makes
// the board and announces what each log changed, whatever the chunking.
TEST(NovAtelCapture, ThroughTheProtocolObject) {
    CaptureClock clock;
    const std::vector<uint8_t> data = LoadCapture("oemv_head64k.gps");
    const auto run = [&data](size_t chunk) {
        Calls calls;
        Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM);
        EXPECT_EQ(g.GetMainBdType(), MAINBD_NOVATEL_OEM);
        const _CALLBACKS_RECEIVER cbs = {&Collect, nullptr};
        g.Reg_Callbacks(&cbs, &calls);
        for (size_t at = 0; at < data.size(); at += chunk) {
            g.RcvData(data.data() + at, unsigned(std::min(chunk, data.size() - at)));
            g.ParseData();
        }
        EXPECT_DOUBLE_EQ(g.Format()->Pos_Latitude(), 35.87299463408952 * kDeg);
        EXPECT_EQ(g.Format()->Pos_Status(), 7);
        return calls.list;
    };
    const auto whole = run(16384);
    std::map<uint32_t, int> byMask;
    for (const auto& [cls, bits] : whole) {
        EXPECT_EQ(cls, 1);
        ++byMask[bits];
    }
    EXPECT_EQ(byMask[0x71830000u], kBestPos);  // position, time, status, signals
    EXPECT_EQ(byMask[ChangeBits::Observations], kRangeCmp);
    EXPECT_EQ(byMask[ChangeBits::Ephemeris], kRawEphem);
    EXPECT_EQ(whole.size(), size_t(kBestPos + kRangeCmp + kRawEphem));
    EXPECT_EQ(run(1), whole);
    EXPECT_EQ(run(777), whole);
}

// The maker's old-protocol receiver with a NovAtel board: the board exists, so
// the old-protocol commands are open; its output arrives in "RG" replies, a
// log split over several of them.
TEST(NovAtelOldProtocol, TheBoardOpensTheOldProtocolCommands) {
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    ASSERT_TRUE(g.IsOrvelOldProtocolReceiver());
    EXPECT_EQ(g.GetMainBdType(), MAINBD_NOVATEL_OEM);
    std::vector<_STR_CMD> out;
    g.Get_Battery(out);
    ASSERT_EQ(out.size(), 1u);
    const uint8_t sd[] = {0x24, 0x24, 0x53, 0x44, 0x18, 0x00, 0x0F, 0x0D, 0x0A};  // $$ SD, head, no payload
    ASSERT_EQ(out[0].length, sizeof sd);
    EXPECT_EQ(std::memcmp(out[0].data, sd, sizeof sd), 0);
    EXPECT_EQ(out[0].delay, 200u);

    // The maker's own board: the receiver's own commands go out as for every
    // board.
    Em_Gnss own(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_OLD);
    EXPECT_TRUE(own.IsOrvelOldProtocolReceiver());
    EXPECT_EQ(own.GetMainBdType(), MAINBD_ORVEL_OLD);
    std::vector<_STR_CMD> battery;
    own.Get_Battery(battery);
    ASSERT_EQ(battery.size(), 1u);
    EXPECT_EQ(std::memcmp(battery[0].data, sd, sizeof sd), 0);

    // The board's output: a BESTPOS log in two "RG" replies.
    Calls calls;
    const _CALLBACKS_RECEIVER cbs = {&Collect, nullptr};
    g.Reg_Callbacks(&cbs, &calls);
    const old_fixtures::Bytes log = novatel_fixtures::Log(42, novatel_fixtures::BestPos().Encode());
    const old_fixtures::Bytes first(log.begin(), log.begin() + 60), rest(log.begin() + 60, log.end());
    const old_fixtures::Bytes stream = old_fixtures::Cat(old_fixtures::Dollar("RG", first), old_fixtures::Dollar("RG", rest));
    g.RcvData(stream.data(), unsigned(stream.size()));
    g.ParseData();
    ASSERT_EQ(calls.list.size(), 1u);
    EXPECT_EQ(calls.list[0].first, 1);
    EXPECT_EQ(calls.list[0].second, 0x71830000u);
    EXPECT_DOUBLE_EQ(g.Format()->Pos_Latitude(), 31.5 * kDeg);
}

// The old-protocol format gives the board its options: held satellite tables
// and the RTCM 3 selector from the device information's board variant.
TEST(NovAtelOldProtocol, BoardVariantChoosesTheRtcm3Set) {
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    auto* format = dynamic_cast<Em_Format_OrvelNav*>(g.Format());
    ASSERT_NE(format, nullptr);
    for (uint32_t variant : {1u, 2u, 0u}) {
        format->boardVariant = variant;
        ASSERT_TRUE(format->Reset_GnsMd(MAINBD_NOVATEL_OEM));
        auto* builder = dynamic_cast<Em_CmdPaker_NovAt*>(format->MainBoard()->CmdPaker());
        ASSERT_NE(builder, nullptr);
        EXPECT_EQ(builder->rtcm3Selector, variant == 1 ? 1u : 2u);
        EXPECT_EQ(builder->outputPortIndex, 1u);
        const Em_IRepParser* parser = format->MainBoard()->RepParser();
        EXPECT_EQ(parser->gpsHold + parser->gloHold + parser->bdsHold, 3u);
    }
    // Another maker's receiver: the same holds, the builder's word 0.
    Em_Gnss other(GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM);
    EXPECT_EQ(other.Format()->MainBoard()->CmdPaker()->outputPortIndex, 0u);
    EXPECT_EQ(other.Format()->MainBoard()->RepParser()->bdsHold, 1u);
}
