// The command builder of the maker's own board: every slot, line for line,
// with the "IM" brackets the receiver needs around the board's lines.
#include "protocol/boards/Em_CmdPaker_NovAt.h"
#include "protocol/boards/Em_CmdPaker_Q70R.h"
#include "protocol/oldproto/Em_DollarPacker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

using Strings = std::vector<std::string>;

// "$$" | I M | head 18 (class 8, mode 1) | length 01 | 01 | XOR 1C | CR LF
const std::string kOpen("\x24\x24\x49\x4D\x18\x01\x01\x1C\x0D\x0A", 10);
// "$$" | I M | head 18 | length 01 | 02 | XOR 1F | CR LF
const std::string kClose("\x24\x24\x49\x4D\x18\x01\x02\x1F\x0D\x0A", 10);

// The records as texts, checking every record's shape: the delay 50, the
// length as the text and zeros after it.
Strings Records(const CmdList& out) {
    Strings lines;
    for (const _STR_CMD& c : out) {
        EXPECT_GT(c.length, 0u);
        EXPECT_EQ(c.delay, 50u);
        for (size_t i = c.length; i < sizeof c.data; ++i) EXPECT_EQ(c.data[i], 0) << i;
        lines.emplace_back(reinterpret_cast<const char*>(c.data), c.length);
    }
    return lines;
}

Strings Bracketed(Strings lines) {
    lines.insert(lines.begin(), kOpen);
    lines.push_back(kClose);
    return lines;
}

}  // namespace

// The two frames are what the receiver's own packer makes of "IM" with the
// payload 1 and 2 on a serial link.
TEST(Q70RCmdPaker, BracketsAreTheOldPacketsOwnFrames) {
    for (const auto& [payload, expected] : {std::pair<uint8_t, std::string>{1, kOpen}, {2, kClose}}) {
        uint8_t frame[kDollarFrameMaxSize] = {};
        unsigned n = 0;
        ASSERT_TRUE(PackBinaryCommand("IM", &payload, 1, frame, &n, DollarPackerMode(1)));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(frame), n), expected);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Em_CmdPaker_Q70R::kOpenFrame), 10), kOpen);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Em_CmdPaker_Q70R::kCloseFrame), 10), kClose);
}

TEST(Q70RCmdPaker, EverySlotButTheBaseStart) {
    Em_CmdPaker_Q70R p;
    const struct {
        const char* name;
        void (*call)(Em_CmdPaker_Q70R&, CmdList&);
        Strings expected;
    } rows[] = {
        {"1 initialise", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Inite(o, 2); },
         Bracketed({"unlogall\r\n", "log bestposb ontime 1\r\n", "log satmsgb ontime 5\r\n",
                    "log psrdopb ontime 5\r\n"})},
        {"3 observations", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Obs(o, GNSS_FRQ_1HZ); }, {}},
        {"4 ephemerides", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Ephemeris(o, GNSS_FRQ_1HZ); }, {}},
        {"5 ephemeris of one satellite", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_EphemSat(o, 7); }, {}},
        {"6 GPS cutoff", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_ElevMask_Set(o, 15, 1); },
         Bracketed({"ecutoff 15\r\n"})},
        {"6 selector 4: GLONASS cutoff only", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_ElevMask_Set(o, 5, 4); },
         Bracketed({"gloecutoff 5\r\n"})},
        {"6 selector 2", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_ElevMask_Set(o, -3, 2); },
         Bracketed({"gloecutoff -3\r\n"})},
        {"7 lockout", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_SatUse(o, 12, false, 0); }, {"lockout 12\r\n"}},
        {"7 release", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_SatUse(o, 12, true, 1); }, {"unlockout 12\r\n"}},
        {"8 NMEA", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Nmea(o, 0x101, GNSS_FRQ_1HZ, 9); }, {}},
        {"9 NMEA list", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Nmea_Ex(o, {{1, 3}}); }, {}},
        {"10 DOP query", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_ElevMask(o); }, Bracketed({"log psrdopb\r\n"})},
        {"11 stop output", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_UnlogData(o); }, Bracketed({"unlogall\r\n"})},
        {"14 reset", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_Reset(o); }, Bracketed({"freset\r\n"})},
        {"15 pass-through", [](Em_CmdPaker_Q70R& q, CmdList& o) { q.Cmd_PassCom(o, 1); }, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CmdList out;
        row.call(p, out);
        EXPECT_EQ(Records(out), row.expected);
    }
}

// The lockout is the NovAtel builder's line, byte for byte.
TEST(Q70RCmdPaker, LockoutIsTheNovAtelOne) {
    Em_CmdPaker_Q70R q;
    Em_CmdPaker_NovAt n;
    for (unsigned release : {0u, 1u, 7u}) {
        CmdList a, b;
        q.Cmd_SatUse(a, 31, false, release);
        n.Cmd_SatUse(b, 31, false, release);
        ASSERT_EQ(a.size(), 1u);
        ASSERT_EQ(b.size(), 1u);
        EXPECT_EQ(Records(a), Records(b));
    }
}

TEST(Q70RCmdPaker, PositionRates) {
    const struct {
        int code;
        const char* line;
    } rows[] = {
        {0, "log bestposb ontime 1\r\n"},  // no "unlog" for the position log on this board
        {1, "log bestposb ontime 1\r\n"},   {2, "log bestposb ontime 0.2\r\n"}, {3, "log bestposb ontime 1\r\n"},
        {4, "log bestposb ontime 2\r\n"},   {5, "log bestposb ontime 5\r\n"},   {6, "log bestposb ontime 10\r\n"},
        {11, "log bestposb ontime 0.5\r\n"}, {13, "log bestposb ontime 1\r\n"}, {255, "log bestposb ontime 1\r\n"},
    };
    Em_CmdPaker_Q70R p;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        CmdList out;
        p.Cmd_PosFrq(out, GNSS_FRQ(row.code));
        EXPECT_EQ(Records(out), Strings{row.line});
    }
}

TEST(Q70RCmdPaker, RoverStartByCorrectionType) {
    for (const auto& [type, source] : {std::pair<uint32_t, const char*>{3, "rtksource cmr\r\n"},
                                       {4, "rtksource rtcm\r\n"},
                                       {7, "rtksource rtcmv3\r\n"},
                                       {5, "rtksource rtcmv3\r\n"},
                                       {0, "rtksource rtcmv3\r\n"}}) {
        SCOPED_TRACE(type);
        Em_CmdPaker_Q70R p;
        p.roverConfig.correctionType = type;
        CmdList out;
        p.Cmd_StartRover(out);
        EXPECT_EQ(Records(out), Bracketed({source, "unlogall\r\n", "set diffmatchmode asynch\r\n",
                                            "log rawephemb onchanged\r\n", "log diffmsgb ontime 1\r\n",
                                            "log refstationb ontime 5\r\n"}));
    }
}

// Start base: the masks and the fixed position, the opening frame (and no
// closing one), "unlogall" on the port, then the correction logs of the type
// on the route.
TEST(Q70RCmdPaker, BaseStartByTypeAndRoute) {
    const std::string port = "log com2 ";
    const std::string gprs = "log gprs ";
    const struct {
        uint32_t type;
        const char* first;
        const char* second;
    } types[] = {
        {3, "cmrdatarefb ontime 5\r\n", "cmrdataobsb ontime 1\r\n"},
        {6, "cmrdatarefb ontime 5\r\n", "cmrdataobsb ontime 1\r\n"},
        {4, "rtcmdata3b ontime 5\r\n", "rtcmdata1819b ontime 1\r\n"},
        {7, "rtcmdata1004b ontime 1\r\n", "rtcmdata1005b ontime 5\r\n"},
    };
    const Strings head = {"ecutoff 10\r\n", "rtkelevmask user 10\r\n", "gloecutoff 5.0\r\n",
                          "fix position 31.17485043 121.39823174 37.512\r\n", kOpen, "unlogall com2\r\n"};
    const auto run = [](uint32_t type, uint32_t route) {
        Em_CmdPaker_Q70R p;  // the defaults: port index 1, mask 10, the default position
        p.baseConfig.correctionType = type;
        p.baseConfig.outputRoute = route;
        CmdList out;
        p.Cmd_StartBase(out);
        return Records(out);
    };
    for (const auto& t : types) {
        for (uint32_t route : {0u, 1u, 2u}) {
            SCOPED_TRACE(std::to_string(t.type) + " route " + std::to_string(route));
            Strings expected = head;
            if (route == 0 || route == 2) {
                expected.push_back(port + t.first);
                expected.push_back(port + t.second);
            }
            if (route == 1 || route == 2) {
                expected.push_back(gprs + t.first);
                expected.push_back(gprs + t.second);
            }
            EXPECT_EQ(run(t.type, route), expected);
        }
    }
    // Type 5 (RTCA) and a route this board does not have: no correction log.
    EXPECT_EQ(run(5, 0), head);
    EXPECT_EQ(run(7, 3), head);
}

// The base's own numbers: port index 0 is COM1, the mask is the base's, the
// position is printed in degrees whatever the user's locale.
TEST(Q70RCmdPaker, BaseStartNumbers) {
    Em_CmdPaker_Q70R p;
    p.baseConfig.outputPort = 0;
    p.baseConfig.elevMask = 15;
    p.baseConfig.latitude = -0.5;
    p.baseConfig.longitude = 0.25;
    p.baseConfig.height = -12.3456;
    p.baseConfig.correctionType = 7;
    CmdList out;
    p.Cmd_StartBase(out);
    EXPECT_EQ(Records(out), (Strings{"ecutoff 15\r\n", "rtkelevmask user 15\r\n", "gloecutoff 5.0\r\n",
                                     "fix position -28.64788976 14.32394488 -12.346\r\n", kOpen,
                                     "unlogall com1\r\n", "log com1 rtcmdata1004b ontime 1\r\n",
                                     "log com1 rtcmdata1005b ontime 5\r\n"}));
}
