// The NovAtel command builder: the exact command lines of every operation,
// one record per line, with their delays.
#include "protocol/boards/Em_CmdPaker_NovAt.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

// The lines of the records, checking each record's shape on the way: length
// as the text, zeros after it, the delay given.
std::vector<std::string> Lines(const CmdList& out, uint32_t delay = Em_CmdPaker_NovAt::kDelay) {
    std::vector<std::string> lines;
    for (const _STR_CMD& c : out) {
        EXPECT_GT(c.length, 0u);
        EXPECT_LE(c.length, sizeof c.data);
        EXPECT_EQ(c.delay, delay);
        for (size_t i = c.length; i < sizeof c.data; ++i) EXPECT_EQ(c.data[i], 0) << i;
        lines.emplace_back(reinterpret_cast<const char*>(c.data), c.length);
    }
    return lines;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(NovAtelCmdPaker, InitialiseResetAndSimpleLines) {
    Em_CmdPaker_NovAt p;
    CmdList out;
    p.Cmd_Inite(out, 7);
    EXPECT_EQ(Lines(out), (Strings{"fix none\r\n", "log bestposb ontime 1\r\n", "nmeatalker auto\r\n",
                                   "log rangecmpb ontime 5\r\n", "log psrdopb ontime 5\r\n", "log gpgsv ontime 5\r\n",
                                   "log gpgga ontime 1\r\n", "log refstationb onchanged\r\n"}));
    out.clear();
    p.Cmd_Reset(out);
    EXPECT_EQ(Lines(out), (Strings{"nvmrestore\r\n", "freset\r\n"}));
    out.clear();
    p.Cmd_ElevMask(out);
    p.Cmd_UnlogData(out);
    p.Cmd_PassCom(out, 1);
    p.Cmd_PassCom(out, 3);
    p.Cmd_SatUse(out, 12, true, 0);
    p.Cmd_SatUse(out, 12, true, 1);
    p.Cmd_EphemSat(out, 5);  // nothing
    EXPECT_EQ(Lines(out), (Strings{"log psrdopb ontime 5\r\n", "unlogall\r\n", "log passcom1b onchanged\r\n",
                                   "log passcom3b onchanged\r\n", "lockout 12\r\n", "unlockout 12\r\n"}));
}

TEST(NovAtelCmdPaker, RatesOfPositionObservationsAndEphemerides) {
    const struct {
        int code;
        const char* position;
        const char* observations;
        const char* ephemerides;
    } rows[] = {
        {0, "unlog bestposb\r\n", "unlog rangecmpb\r\n", "unlog rawephemb\r\n"},
        // 10 Hz: the board's position log stays at 1 Hz.
        {1, "log bestposb ontime 1\r\n", "log rangecmpb ontime 1.000000\r\n", "log rawephemb ontime 1.000000\r\n"},
        {2, "log bestposb ontime 0.2\r\n", "log rangecmpb ontime 0.200000\r\n", "log rawephemb ontime 0.200000\r\n"},
        {3, "log bestposb ontime 1\r\n", "log rangecmpb ontime 1.000000\r\n", "log rawephemb ontime 1.000000\r\n"},
        {4, "log bestposb ontime 2\r\n", "log rangecmpb ontime 2.000000\r\n", "log rawephemb ontime 2.000000\r\n"},
        {5, "log bestposb ontime 5\r\n", "log rangecmpb ontime 5.000000\r\n", "log rawephemb ontime 5.000000\r\n"},
        {6, "log bestposb ontime 10\r\n", "log rangecmpb ontime 10.000000\r\n", "log rawephemb ontime 10.000000\r\n"},
        {11, "log bestposb ontime 0.5\r\n", "log rangecmpb ontime 0.500000\r\n", "log rawephemb ontime 0.500000\r\n"},
        {13, "log bestposb ontime 1\r\n", "log rangecmpb ontime 1.000000\r\n", "log rawephemb ontime 1.000000\r\n"},
    };
    for (const auto& row : rows) {
        Em_CmdPaker_NovAt p;
        CmdList out;
        p.Cmd_PosFrq(out, GNSS_FRQ(row.code));
        p.Cmd_Obs(out, GNSS_FRQ(row.code));
        p.Cmd_Ephemeris(out, GNSS_FRQ(row.code));
        EXPECT_EQ(Lines(out), (Strings{row.position, row.observations, row.ephemerides})) << row.code;
    }
}

// Numbers are written the same whatever locale the program runs under.
TEST(NovAtelCmdPaker, NumbersIgnoreTheLocale) {
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    Em_CmdPaker_NovAt p;
    CmdList out;
    p.Cmd_Obs(out, GNSS_FRQ_5HZ);
    p.Cmd_Nmea(out, NMEA_BIT_GPGGA, GNSS_FRQ_2HZ, 0);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(Lines(out), (Strings{"log rangecmpb ontime 0.200000\r\n", "LOG GPGGA ONTIME 0.5\r\n"}))
        << (german ? "under de_DE" : "de_DE not installed");
}

TEST(NovAtelCmdPaker, ElevationMaskBySelector) {
    const struct {
        unsigned selector;
        Strings lines;
    } rows[] = {
        {0, {"ecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
        {1, {"ecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
        {2, {"gloecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
        {3, {"ecutoff 15\r\n", "gloecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
        {4, {"ecutoff 15\r\n", "gloecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
        {5, {"ecutoff 15\r\n", "log psrdopb ontime 5\r\n"}},
    };
    for (const auto& row : rows) {
        Em_CmdPaker_NovAt p;
        CmdList out;
        p.Cmd_ElevMask_Set(out, 15, row.selector);
        EXPECT_EQ(Lines(out), row.lines) << row.selector;
    }
}

TEST(NovAtelCmdPaker, NmeaByMaskAndByList) {
    Em_CmdPaker_NovAt p;
    CmdList out;
    p.Cmd_Nmea(out, 0xFFFFFFFFu, GNSS_FRQ_10HZ, 0);
    EXPECT_EQ(Lines(out), (Strings{"LOG GPGGA ONTIME 0.1\r\n", "LOG GPGLL ONTIME 0.1\r\n", "LOG GPGRS ONTIME 0.1\r\n",
                                   "LOG GPGSA ONTIME 0.1\r\n", "LOG GPGST ONTIME 0.1\r\n", "LOG GPGSV ONTIME 0.1\r\n",
                                   "LOG GPRMC ONTIME 0.1\r\n", "LOG GPVTG ONTIME 0.1\r\n", "LOG GPZDA ONTIME 0.1\r\n",
                                   "LOG GPALM ONTIME 0.1\r\n", "LOG GPRMB ONTIME 0.1\r\n"}));

    const struct {
        int code;
        const char* line;
    } rates[] = {{0, "UNLOG GPZDA\r\n"},
                 {2, "LOG GPZDA ONTIME 0.2\r\n"},
                 {3, "LOG GPZDA ONTIME 1.0\r\n"},
                 {4, "LOG GPZDA ONTIME 2.0\r\n"},
                 {5, "LOG GPZDA ONTIME 5.0\r\n"},
                 {6, "LOG GPZDA ONTIME 10.0\r\n"},
                 {11, "LOG GPZDA ONTIME 0.5\r\n"},
                 {255, "LOG GPZDA ONTIME 1.0\r\n"}};
    for (const auto& r : rates) {
        out.clear();
        p.Cmd_Nmea(out, NMEA_BIT_GPZDA, GNSS_FRQ(r.code), 0);
        EXPECT_EQ(Lines(out), Strings{r.line}) << r.code;
    }

    // The list form: one line per element, named by its first bit in an order
    // that puts GPRMB before GPVTG.
    out.clear();
    p.Cmd_Nmea_Ex(out, {{NMEA_BIT_GPRMB | NMEA_BIT_GPVTG, GNSS_FRQ_1HZ},
                        {NMEA_BIT_PTNL_PJK, GNSS_FRQ_1HZ},
                        {NMEA_BIT_GPGGA | NMEA_BIT_GPRMC, GNSS_FRQ_OFF},
                        {NMEA_BIT_GPVTG, GNSS_FRQ_5S}});
    EXPECT_EQ(Lines(out), (Strings{"LOG GPRMB ONTIME 1.0\r\n", "UNLOG GPGGA\r\n", "LOG GPVTG ONTIME 5.0\r\n"}));
}

TEST(NovAtelCmdPaker, StartRoverByCorrectionType) {
    const Strings head = {"ecutoff 5\r\n", "rtkelevmask user 5\r\n", "ionocondition quiet\r\n", "gloecutoff 5.0\r\n"};
    const struct {
        uint32_t type;
        uint32_t selector;
        Strings tail;
    } rows[] = {
        {3, 2, {"rtksource cmr any\r\n", "psrdiffsource cmr any\r\n", "INTERFACEMODE COM2 CMR NOVATEL\r\n"}},
        {4, 2, {"rtksource rtcm any\r\n", "psrdiffsource rtcm any\r\n", "INTERFACEMODE COM2 RTCM NOVATEL\r\n"}},
        {5, 2, {"rtksource rtca any\r\n", "psrdiffsource rtca any\r\n", "INTERFACEMODE COM2 RTCA NOVATEL\r\n"}},
        {7, 2, {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n", "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}},
        {7, 1, {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n", "INTERFACEMODE COM2 RTCMV3 NOVATEL\r\n"}},
        {14, 0, {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n", "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}},
        {13, 2,
         {"interfacemode com2 novatelx none\r\n", "log com2 novatelxgpsobsb ontime 1\r\n",
          "log com2 novatelxgloobsb ontime 1\r\n", "log com2 novatelxbdsobsb ontime 1\r\n",
          "log com2 novatelxrefb  ontime 10\r\n"}},
        {6, 2, {"rtksource auto any\r\n", "psrdiffsource auto any\r\n", "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}},
        {11, 2, {"rtksource auto any\r\n", "psrdiffsource auto any\r\n", "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}},
    };
    for (const auto& row : rows) {
        Em_CmdPaker_NovAt p;
        p.roverConfig.correctionType = row.type;
        p.rtcm3Selector = row.selector;
        CmdList out;
        p.Cmd_StartRover(out);
        Strings expected = head;
        expected.insert(expected.end(), row.tail.begin(), row.tail.end());
        EXPECT_EQ(Lines(out), expected) << row.type << " selector " << row.selector;
    }

    // Mask, ionosphere and input port as set.
    Em_CmdPaker_NovAt p;
    p.roverConfig.elevMask = 12;
    p.roverConfig.ionoCondition = 2;
    p.roverConfig.inputPort = 0;
    CmdList out;
    p.Cmd_StartRover(out);
    EXPECT_EQ(Lines(out), (Strings{"ecutoff 12\r\n", "rtkelevmask user 12\r\n", "ionocondition disturbed\r\n",
                                   "gloecutoff 5.0\r\n", "rtksource cmr any\r\n", "psrdiffsource cmr any\r\n",
                                   "INTERFACEMODE COM1 CMR NOVATEL\r\n"}));
    p.roverConfig.ionoCondition = 1;
    out.clear();
    p.Cmd_StartRover(out);
    EXPECT_EQ(Lines(out)[2], "ionocondition normal\r\n");
    p.roverConfig.ionoCondition = 3;  // no such condition: no line
    out.clear();
    p.Cmd_StartRover(out);
    EXPECT_EQ(Lines(out)[2], "gloecutoff 5.0\r\n");
}

// The default base settings: station 1, interval 1, COM2 at 38400, CMR,
// mask 10, 31.17485043 N 121.39823174 E 37.512 m.
TEST(NovAtelCmdPaker, StartBaseWithTheDefaults) {
    Em_CmdPaker_NovAt p;
    CmdList out;
    p.Cmd_StartBase(out);
    EXPECT_EQ(Lines(out, Em_CmdPaker_NovAt::kBaseDelay),
              (Strings{"log bestposb ontime 1\r\n", "ecutoff 10\r\n", "rtkelevmask user 10\r\n", "gloecutoff 5.0\r\n",
                       "fix position 31.17485043 121.39823174 37.512\r\n", "unlogall com2\r\n",
                       "log com2 bestposb ontime 5\r\n", "LOG COM2,RAWEPHEMB,ONTIME 60\r\n",
                       "LOG COM2 GLORAWEPHEMB,ONTIME 80\r\n", "log com2,rangecmpb,ontime 5\r\n",
                       "LOG COM2,TIMEB,ONTIME 1\r\n", "LOG COM2,GPGGA,ONTIME 1\r\n", "dgpstxid cmr 1\r\n",
                       "log com2 cmrobsb ontime 1\r\n", "log com2 cmrrefb ontime 10\r\n",
                       "log com2 cmrdescb ontime 10 5\r\n", "com com2 38400\r\n", "saveconfig\r\n"}));
}

TEST(NovAtelCmdPaker, StartBaseCorrectionSets) {
    const struct {
        uint32_t type;
        uint32_t selector;
        Strings logs;
    } rows[] = {
        {6, 2,
         {"dgpstxid cmr 7\r\n", "log com1 cmrobsb ontime 2\r\n", "log com1 cmrplusb ontime 10\r\n",
          "log com1 cmrdescb ontime 10 5\r\n"}},
        {4, 2,
         {"dgpstxid rtcm 7\r\n", "log com1 rtcm3b ontime 10\r\n", "log com1 rtcm22b ontime 10 7\r\n",
          "log com1 rtcm1 ontime 5\r\n", "log com1 rtcm1819b ontime 3\r\n", "log com1 rtcm31b ontime 2\r\n",
          "log com1 rtcm32b ontime 2\r\n"}},
        {11, 2, {"dgpstxid rtcm 7\r\n", "log com1 rtcm1 ontime 1\r\n"}},
        // The RTCA station id is the port number.
        {5, 2,
         {"dgpstxid rtca 1\r\n", "log com1 rtcaobsb ontime 2\r\n", "log com1 rtcaobs2b ontime 3\r\n",
          "log com1 rtcarefb ontime 10\r\n", "log com1 rtca1b ontime 10 3\r\n"}},
        {7, 1, {"dgpstxid rtcmv3 7\r\n", "log com1 rtcm1004b ontime 2\r\n", "log com1 rtcm1005b ontime 10\r\n"}},
        {7, 0, {"dgpstxid rtcmv3 7\r\n", "log com1 rtcm1004b ontime 2\r\n", "log com1 rtcm1005b ontime 10\r\n"}},
        {7, 2,
         {"dgpstxid rtcmv3 7\r\n", "log com1 rtcm1004b ontime 2\r\n", "log com1 rtcm1012b ontime 1\r\n",
          "log com1 rtcm1006b ontime 10\r\n", "log com1 rtcm1008b ontime 10\r\n", "log com1 rtcm1033b ontime 10\r\n"}},
        {12, 2, {"log com2 novatelxobsb ontime 1\r\n", "log com2 novatelxrefb  ontime 10\r\n"}},
        {13, 2, {"log com2 novatelxobsb ontime 1\r\n", "log com2 novatelxrefb  ontime 10\r\n"}},
        {14, 2,
         {"interfacemode com1 novatel rtcmv3\r\n", "dgpstxid rtcmv3 7\r\n", "log com1 rtcm1074b ontime 2\r\n",
          "log com1 rtcm1084b ontime 1\r\n", "log com1 rtcm1124b ontime 1\r\n", "log com1 rtcm1005b ontime 10\r\n",
          "log com1 rtcm1033b ontime 10\r\n"}},
        {8, 2, {}},
        {9, 2, {}},
        {10, 2, {}},
        {99, 2, {}},
    };
    for (const auto& row : rows) {
        Em_CmdPaker_NovAt p;
        // COM1: no COM2 data logs between the position log and the set.
        p.baseConfig.outputPort = 0;
        p.baseConfig.stationId = 7;
        p.baseConfig.obsInterval = 2;
        p.baseConfig.baudRate = 115200;
        p.baseConfig.elevMask = 15;
        p.baseConfig.latitude = -0.5;
        p.baseConfig.longitude = -1.0;
        p.baseConfig.height = -12.3456;
        p.baseConfig.correctionType = row.type;
        p.rtcm3Selector = row.selector;
        CmdList out;
        p.Cmd_StartBase(out);
        Strings expected = {"log bestposb ontime 1\r\n", "ecutoff 15\r\n", "rtkelevmask user 15\r\n",
                            "gloecutoff 5.0\r\n", "fix position -28.64788976 -57.29577951 -12.346\r\n",
                            "unlogall com1\r\n", "log com1 bestposb ontime 5\r\n"};
        expected.insert(expected.end(), row.logs.begin(), row.logs.end());
        expected.push_back("com com1 115200\r\n");
        expected.push_back("saveconfig\r\n");
        EXPECT_EQ(Lines(out, Em_CmdPaker_NovAt::kBaseDelay), expected) << row.type << " selector " << row.selector;
    }
}

// A position no receiver can have would make a line longer than the line
// buffer: that line is left out and the others still go.
TEST(NovAtelCmdPaker, AnAbsurdLineIsLeftOut) {
    Em_CmdPaker_NovAt p;
    p.baseConfig.latitude = 1e300;
    CmdList out;
    p.Cmd_StartBase(out);
    const Strings lines = Lines(out, Em_CmdPaker_NovAt::kBaseDelay);
    EXPECT_EQ(lines.size(), 17u);
    for (const std::string& l : lines) EXPECT_EQ(l.find("fix position"), std::string::npos);
    EXPECT_EQ(lines.back(), "saveconfig\r\n");
}
