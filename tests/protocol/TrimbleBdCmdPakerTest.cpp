// The Trimble BD command builder: the exact DCOL packets of every slot, in
// hex, with their delays. The expected packets were written out from the
// packet and record layouts, not from the builder.
#include "protocol/boards/Em_CmdPaker_BD.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

struct Packet {
    std::string hex;
    uint32_t delay;
    bool operator==(const Packet&) const = default;
};
using Packets = std::vector<Packet>;

void PrintTo(const Packet& p, std::ostream* os) { *os << p.hex << " +" << p.delay; }

// Each record as upper-case hex bytes separated by spaces; the bytes past the
// record's length must be zero.
Packets PacketsOf(const CmdList& out) {
    Packets packets;
    for (const _STR_CMD& c : out) {
        std::string hex;
        for (uint32_t i = 0; i < c.length && i < sizeof c.data; ++i) {
            char b[4];
            std::snprintf(b, sizeof b, i ? " %02X" : "%02X", c.data[i]);
            hex += b;
        }
        for (size_t i = c.length; i < sizeof c.data; ++i) EXPECT_EQ(c.data[i], 0) << i;
        packets.push_back({hex, c.delay});
    }
    return packets;
}

// Initialise outputs on port 0: 02 00 64 5D, header 00 00 00 03 06 01 01 (defaults),
// raw record 07 08 04 00 05 00 07 01 00 00, GSOF 1, 3, 6, 9, 2, 12 at 1 Hz
// (07 08 0A 00 03 00 ss 00 00 00), GSOF 34 every 5 s, ZDA on port 1 at 1 Hz
// (07 04 08 01 03 00), checksum 0C, ETX.
const char* const kIniteCommon =
    "02 00 64 5D 00 00 00 03 06 01 01 07 08 04 00 05 00 07 01 00 00 07 08 0A 00 03 00 01 00 00 00 07 08 0A 00 03 "
    "00 03 00 00 00 07 08 0A 00 03 00 06 00 00 00 07 08 0A 00 03 00 09 00 00 00 07 08 0A 00 03 00 02 00 00 00 07 "
    "08 0A 00 03 00 0C 00 00 00 07 08 0A 00 05 00 22 00 00 00 07 04 08 01 03 00 0C 03";
// The same on port 1 (the old-protocol format's boards).
const char* const kIniteOld =
    "02 00 64 5D 00 00 00 03 06 01 01 07 08 04 01 05 00 07 01 00 00 07 08 0A 01 03 00 01 00 00 00 07 08 0A 01 03 "
    "00 03 00 00 00 07 08 0A 01 03 00 06 00 00 00 07 08 0A 01 03 00 09 00 00 00 07 08 0A 01 03 00 02 00 00 00 07 "
    "08 0A 01 03 00 0C 00 00 00 07 08 0A 01 05 00 22 00 00 00 07 04 08 01 03 00 14 03";
// Port 0 with the BD variant flag 1: the raw record's flag byte is 0.
const char* const kIniteVariant1 =
    "02 00 64 5D 00 00 00 03 06 01 01 07 08 04 00 05 00 07 00 00 00 07 08 0A 00 03 00 01 00 00 00 07 08 0A 00 03 "
    "00 03 00 00 00 07 08 0A 00 03 00 06 00 00 00 07 08 0A 00 03 00 09 00 00 00 07 08 0A 00 03 00 02 00 00 00 07 "
    "08 0A 00 03 00 0C 00 00 00 07 08 0A 00 05 00 22 00 00 00 07 04 08 01 03 00 0B 03";

std::string Repeat(const char* hex, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? " " : "") + std::string(hex);
    return s;
}

}  // namespace

TEST(TrimbleBdCmdPaker, EverySlot) {
    const struct {
        const char* name;
        uint32_t port;
        void (*build)(Em_CmdPaker_BD&, CmdList&);
        Packets packets;
    } rows[] = {
        {"inite, common format", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Inite(o, 0); }, {{kIniteCommon, 100}}},
        {"inite, old format", 1, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Inite(o, 0); }, {{kIniteOld, 100}}},
        {"position rate 20 Hz: raw record at 5, six GSOF records at 13", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_PosFrq(o, GNSS_FRQ_20HZ); },
         {{"02 00 64 4D 00 00 00 03 06 01 00 07 08 04 00 05 00 07 01 00 00 07 08 0A 00 0D 00 01 00 00 00 07 08 0A "
           "00 0D 00 03 00 00 00 07 08 0A 00 0D 00 06 00 00 00 07 08 0A 00 0D 00 09 00 00 00 07 08 0A 00 0D 00 02 "
           "00 00 00 07 08 0A 00 0D 00 0C 00 00 00 E0 03",
           100}}},
        {"raw observations", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Obs(o, GNSS_FRQ_10HZ); },
         {{"02 00 64 11 00 00 00 03 06 01 00 07 08 04 00 05 00 07 01 00 00 9F 03", 100}}},
        {"one satellite's ephemeris", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_EphemSat(o, 1); },
         {{"02 00 54 03 01 01 00 59 03", 100}}},
        {"satellites 0 and 33: nothing", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) {
             b.Cmd_EphemSat(o, 0);
             b.Cmd_EphemSat(o, 33);
         },
         {}},
        {"elevation mask 300 sends its low byte 44", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_ElevMask_Set(o, 300, 0); },
         {{"02 00 64 11 00 00 00 03 06 01 00 01 08 2C 01 5F 00 00 00 00 00 14 03", 500}}},
        {"satellite use: nothing", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_SatUse(o, 3, true, 0); }, {}},
        {"nmea: every known sentence at 5 Hz, table order", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Nmea(o, 0xFFFFFFFF, GNSS_FRQ_5HZ, 7); },
         {{"02 00 64 49 00 00 00 03 06 01 00 07 04 06 00 02 00 07 04 2C 00 02 00 07 04 2D 00 02 00 07 04 26 00 02 "
           "00 07 04 0D 00 02 00 07 04 12 00 02 00 07 04 28 00 02 00 07 04 0C 00 02 00 07 04 08 00 02 00 07 04 0E "
           "00 02 00 07 04 0F 00 02 00 43 03",
           100}}},
        {"nmea: no known bit still sends the header", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Nmea(o, 0x10000, GNSS_FRQ_1HZ, 0); },
         {{"02 00 64 07 00 00 00 03 06 01 00 75 03", 100}}},
        {"nmea list: bits 0x0001 and 0x0011 give two GGA records", 0,
         [](Em_CmdPaker_BD& b, CmdList& o) {
             b.Cmd_Nmea_Ex(o, {{0x0001, GNSS_FRQ_10HZ}, {0x10000, GNSS_FRQ_1HZ}, {0x0011, GNSS_FRQ_1HZ}});
         },
         {{"02 00 64 13 00 00 00 03 06 01 01 07 04 06 00 01 00 07 04 06 00 03 00 A8 03", 100}}},
        {"settings query", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_ElevMask(o); },
         {{"02 00 4A 00 4A 03", 100}}},
        {"stop output", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_UnlogData(o); },
         {{"02 00 64 0D 00 00 00 03 06 01 00 07 04 FF 00 00 00 85 03", 100}}},
        {"reset", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_Reset(o); },
         {{"02 00 58 07 FF 03 52 45 53 45 54 E4 03", 100}}},
        {"pass-through: nothing", 0, [](Em_CmdPaker_BD& b, CmdList& o) { b.Cmd_PassCom(o, 1); }, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Em_CmdPaker_BD p;
        p.outputPortIndex = row.port;
        CmdList out;
        row.build(p, out);
        EXPECT_EQ(PacketsOf(out), row.packets);
    }
}

TEST(TrimbleBdCmdPaker, EphemerisAsksForEachGpsSatellite) {
    Em_CmdPaker_BD p;
    CmdList out;
    p.Cmd_Ephemeris(out, GNSS_FRQ_1HZ);
    const Packets packets = PacketsOf(out);
    ASSERT_EQ(packets.size(), 32u);
    EXPECT_EQ(packets.front(), (Packet{"02 00 54 03 01 01 00 59 03", 100}));
    EXPECT_EQ(packets.back(), (Packet{"02 00 54 03 01 20 00 78 03", 100}));
}

// A 60-element list is cut where the length byte would pass 255: 41 records,
// payload 253 (FD).
TEST(TrimbleBdCmdPaker, LongNmeaListIsCutToOnePacket) {
    Em_CmdPaker_BD p;
    CmdList out;
    p.Cmd_Nmea_Ex(out, std::vector<_set_nmea>(60, _set_nmea{NMEA_BIT_GPGGA, GNSS_FRQ_1HZ}));
    const std::string expected =
        "02 00 64 FD 00 00 00 03 06 01 01 " + Repeat("07 04 06 00 03 00", 41) + " A0 03";
    EXPECT_EQ(PacketsOf(out), (Packets{{expected, 100}}));
}

TEST(TrimbleBdCmdPaker, StartBase) {
    // Header with defaults; general controls 01 08 0A 01 5F ...; serial port 1
    // at 38400 (02 04 01 05 00 00); reference station 03 25 00 00, the name
    // padded or cut to 8, latitude, longitude, height as big-endian doubles,
    // id AND 0x3FF (2 bytes), id AND 31; raw output on port 1; correction
    // output 07 05 kind 01 03 00 sub-kind.
    const char* const kPosition = "3F E1 69 4C 56 A0 09 27 40 00 F3 4C CF BC F7 78 40 42 C1 89 3A 7C 00 00";
    const struct {
        const char* name;
        const char* stationName;  // copied into the 10-byte field as it is (no terminator when 10 long)
        uint32_t stationId;
        uint32_t correctionType;
        std::string hex;
    } rows[] = {
        {"3-character name, RTCM (type 3)", "abc", 1, 3,
         std::string("02 00 64 4F 00 00 00 03 06 01 01 01 08 0A 01 5F 00 00 00 00 00 02 04 01 05 00 00 03 25 00 00 "
                     "61 62 63 20 20 20 20 20 ") +
             kPosition + " 00 01 01 07 08 04 01 05 00 07 01 00 00 07 05 02 01 03 00 02 58 03"},
        {"10-character name cut to 8, id 1030, CMR+ (type 7)", "station123", 1030, 7,
         std::string("02 00 64 4F 00 00 00 03 06 01 01 01 08 0A 01 5F 00 00 00 00 00 02 04 01 05 00 00 03 25 00 00 "
                     "73 74 61 74 69 6F 6E 31 ") +
             kPosition + " 00 06 06 07 08 04 01 05 00 07 01 00 00 07 05 03 01 03 00 21 EF 03"},
        {"unknown correction type", "base", 1, 5,
         std::string("02 00 64 4F 00 00 00 03 06 01 01 01 08 0A 01 5F 00 00 00 00 00 02 04 01 05 00 00 03 25 00 00 "
                     "62 61 73 65 20 20 20 20 ") +
             kPosition + " 00 01 01 07 08 04 01 05 00 07 01 00 00 07 05 02 01 03 00 00 AB 03"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Em_CmdPaker_BD p;
        p.baseConfig.outputPort = 3;
        p.baseConfig.baudRate = 9600;
        std::memset(p.baseConfig.stationName, 0, sizeof p.baseConfig.stationName);
        std::memcpy(p.baseConfig.stationName, row.stationName, strnlen(row.stationName, 10));
        p.baseConfig.stationId = row.stationId;
        p.baseConfig.correctionType = row.correctionType;
        CmdList out;
        p.Cmd_StartBase(out);
        EXPECT_EQ(PacketsOf(out), (Packets{{row.hex, 100}}));
        // The stored settings keep the port and rate the base was started with.
        EXPECT_EQ(+p.baseConfig.outputPort, 1u);
        EXPECT_EQ(+p.baseConfig.baudRate, 38400u);
    }
}

TEST(TrimbleBdCmdPaker, StartRover) {
    const struct {
        const char* name;
        uint32_t correctionType;
        const char* station;
        uint32_t variant;
        Packets packets;
    } rows[] = {
        {"correction type 4, any station, variant 0", 4, "ANY", 0,
         {{"02 00 4A 00 4A 03", 100},
          // general controls (rover mask 5, PDOP 95), station selection 10 06 00 03 0D 40 FF FF
          {"02 00 64 19 00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 10 06 00 03 0D 40 FF FF 59 03", 100},
          {"02 00 84 02 84 82 8C 03", 50},
          {"02 00 59 03 00 02 00 5E 03", 50},
          {"02 00 4E 07 01 05 00 0A 04 00 61 CA 03", 50},
          {"02 00 4E 09 02 00 02 00 00 00 00 00 00 5B 03", 50},
          {"02 00 49 06 02 01 05 00 01 00 58 03", 50},
          {"02 00 24 06 02 01 05 00 01 00 33 03", 500},
          {kIniteCommon, 100}}},
        {"correction type 3, station 12, variant 1", 3, "12", 1,
         {{"02 00 4A 00 4A 03", 100},
          // station selection 19 03 0C 00 00
          {"02 00 64 16 00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 19 03 0C 00 00 1A 03", 100},
          {"02 00 84 02 84 82 8C 03", 50},
          {"02 00 59 03 00 02 00 5E 03", 50},
          {"02 00 49 06 02 01 17 00 01 00 6A 03", 50},
          {"02 00 A3 03 00 00 00 A6 03", 50},
          {"02 00 A3 03 04 78 00 22 03", 50},
          {"02 00 A3 03 04 7A 00 24 03", 50},
          {"02 00 A3 03 04 7C 00 26 03", 50},
          {"02 00 A3 03 04 7E 00 28 03", 50},
          {"02 00 A3 03 04 83 00 2D 03", 50},
          {"02 00 A3 03 04 86 00 30 03", 50},
          {"02 00 53 03 0E 00 00 64 03", 500},
          {kIniteVariant1, 100}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Em_CmdPaker_BD p;
        p.bdVariant = row.variant;
        p.roverConfig.correctionType = row.correctionType;
        p.roverConfig.inputPort = 3;
        std::memset(p.roverConfig.stationId, 0, sizeof p.roverConfig.stationId);
        std::memcpy(p.roverConfig.stationId, row.station, std::strlen(row.station));
        CmdList out;
        p.Cmd_StartRover(out);
        EXPECT_EQ(PacketsOf(out), row.packets);
        EXPECT_EQ(+p.roverConfig.inputPort, 1u);
    }
}

// A station id text that fills the whole 10-byte field is read within it.
TEST(TrimbleBdCmdPaker, RoverStationTextReadWithItsBound) {
    Em_CmdPaker_BD p;
    std::memcpy(p.roverConfig.stationId, "0000000007", 10);
    CmdList out;
    p.Cmd_StartRover(out);
    ASSERT_GE(out.size(), 2u);
    // Record 19 03 07 00 00 after the general controls.
    EXPECT_EQ(out[1].data[4 + 17], 0x19);
    EXPECT_EQ(out[1].data[4 + 19], 0x07);
}

TEST(TrimbleBdCmdPaker, BaudCodes) {
    const std::pair<uint32_t, uint8_t> rows[] = {{2400, 1},  {4800, 2},   {9600, 3}, {19200, 4},
                                                 {38400, 5}, {57600, 6},  {115200, 7}, {300, 8},
                                                 {600, 9},   {1200, 10},  {14400, 0}};
    for (const auto& [baud, code] : rows) EXPECT_EQ(Em_CmdPaker_BD::BaudCode(baud), code) << baud;
}
