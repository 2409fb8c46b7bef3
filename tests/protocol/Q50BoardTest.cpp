// The new-protocol board: its report parser's item table (ids, exact lengths,
// change bits, stored values), the satellite list and position record, the
// text stores, the code maps, and its command builder.

#include "NewProtoFixtures.h"
#include "OldCmdFixtures.h"

#include "protocol/boards/Em_CmdPaker_Q50.h"
#include "protocol/boards/Em_MainBd_Q50.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;
using namespace newproto_test;

unsigned Decode(Em_RepParser_Q50& p, int id, const Bytes& value) {
    return p.Decode_BinFrame(value.data(), id, unsigned(value.size()));
}

TEST(Q50Parser, EveryItemIsTakenOnlyWithItsLength) {
    struct Row {
        int id;
        unsigned length;  // exact, or the least for the items marked `atLeast`
        uint32_t bit;
        bool atLeast = false;
    };
    const Row rows[] = {
        {2, 2, 0x80000000}, {259, 2, 0x80},     {260, 2, 0x100},    {772, 12, 0x1},     {774, 35, 0x2},
        {775, 100, 0x4},    {1029, 2, 0x1},     {1030, 5, 0x10, true}, {1031, 5, 0x20, true},
        {1032, 5, 0x8000, true}, {1033, 5, 0x10000, true}, {1034, 28, 0x40}, {1035, 8, 0x80},
        {1036, 16, 0x400},  {1038, 24, 0x100},  {1039, 24, 0x1000}, {1040, 64, 0x200},  {1041, 15, 0x2000},
        {1104, 1, 0x2},     {1105, 1, 0x4},     {1106, 26, 0x8},    {1109, 20, 0x4000}, {1795, 4, 0x1},
        {1796, 4, 0x2},     {1801, 4, 0x4},     {1803, 4, 0x8},     {1804, 2, 0x10},    {1805, 26, 0x20},
        {1808, 1, 0x40},    {1809, 2, 0x80},    {1810, 2, 0x100},   {2563, 42, 0x4},    {2564, 2, 0x2},
        {2567, 1, 0x1},     {2568, 2, 0x8},     {2821, 1, 0x20},    {2822, 43, 0x10},   {2823, 2, 0x40},
        {4354, 4, 0x200},   {4355, 57, 0x400},  {4356, 2, 0x800},   {4357, 8, 0x1000},
        {4358, 5, 0x2000, true}, {4361, 1, 0x4000}, {4362, 20, 0x8000}, {4363, 70, 0x10000},
        {5123, 100, 0x10},  {5124, 8, 0x20},    {5129, 1, 0x40},    {5130, 1, 0x80},    {5131, 2, 0x100},
        {5132, 5, 0x200},   {5133, 2, 0x400},   {5379, 2, 0x20000},
    };
    for (const Row& r : rows) {
        Em_RepParser_Q50 p;
        p.ChangedMask = 0x5A5A;
        // A wrong length: one byte short of the least (one more for exact ones).
        const unsigned wrong = r.atLeast ? r.length - 1 : r.length + 1;
        EXPECT_EQ(Decode(p, r.id, Filled(wrong, 0x01)), 0u) << r.id;
        EXPECT_EQ(p.ChangedMask, 0u) << r.id;
        EXPECT_EQ(Decode(p, r.id, Filled(r.length, 0x01)), 1u) << r.id;
        EXPECT_EQ(p.ChangedMask, r.bit) << r.id;
    }
    // Ids with any length, ids not in the table, and a null value.
    Em_RepParser_Q50 p;
    EXPECT_EQ(Decode(p, 776, Filled(3)), 1u);
    EXPECT_EQ(p.ChangedMask, 0x8u);
    EXPECT_EQ(Decode(p, 5380, Filled(40)), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    for (int id : {1, 3, 261, 1042, 1107, 0x0600, 0x1600, 4359})
        EXPECT_EQ(Decode(p, id, Filled(2)), 0u) << id;
    EXPECT_EQ(p.Decode_BinFrame(nullptr, 1104, 1), 0u);
}

TEST(Q50Parser, WrongLengthChangesNothing) {
    Em_RepParser_Q50 p;
    ASSERT_EQ(Decode(p, 1105, {0x0F}), 1u);
    EXPECT_EQ(p.elevMask, 15u);
    EXPECT_EQ(Decode(p, 1105, {0x20, 0x20}), 0u);
    EXPECT_EQ(p.elevMask, 15u);
    ASSERT_EQ(Decode(p, 772, Bytes(12, 0x00)), 1u);
    EXPECT_EQ(Decode(p, 772, Bytes(13, 0xFF)), 0u);
    EXPECT_EQ(p.records.powerStatus.words[0], 0u);
}

TEST(Q50Parser, ValuesAreStoredInHostOrder) {
    Em_RepParser_Q50 p;
    Decode(p, 2, {0x00, 0x01});
    EXPECT_EQ(p.records.responseStatus, 1u);
    EXPECT_EQ(p.ChangedMask, 0x80000000u);
    // 772: power source 2 (outside power), levels 54.6 and 61.2.
    Bytes power = U32(2);
    for (float f : {54.6f, 61.2f}) {
        const Bytes b = U32(std::bit_cast<uint32_t>(f));
        power.insert(power.end(), b.begin(), b.end());
    }
    Decode(p, 772, power);
    EXPECT_EQ(p.records.powerStatus.words[0], 2u);
    EXPECT_EQ(std::bit_cast<float>(p.records.powerStatus.words[1]), 54.6f);
    // 1106: mode 7, then 1.0, 2.0, 3.0.
    Decode(p, 1106, oldcmd_test::Hex("00 07 3F F0 00 00 00 00 00 00 40 00 00 00 00 00 00 00 "
                                     "40 08 00 00 00 00 00 00"));
    EXPECT_EQ(p.records.baseSet.mode, 7);
    EXPECT_EQ(p.records.baseSet.longitude, 2.0);
    EXPECT_EQ(p.records.baseSet.height, 3.0);
    // 4355: 192.168.1.2, port 2101, host flag, 50-byte host text.
    Bytes address = oldcmd_test::Hex("C0 A8 01 02 08 35 01");
    Bytes host(50, 0);
    std::memcpy(host.data(), "caster.example", 14);
    address.insert(address.end(), host.begin(), host.end());
    Decode(p, 4355, address);
    EXPECT_EQ(p.records.netLinkAddress.address, 0xC0A80102u);
    EXPECT_EQ(p.records.netLinkAddress.port, 2101);
    EXPECT_EQ(std::string(p.records.netLinkAddress.host), "caster.example");
    // 5132: signal value 23, level 4.
    Decode(p, 5132, oldcmd_test::Hex("00 00 00 17 04"));
    EXPECT_EQ(p.records.modemSignal.value, 23u);
    EXPECT_EQ(p.records.modemSignal.level, 4);
    // 1036: dilutions as floats; the fifth is the hypotenuse of P and T.
    Bytes dops;
    for (float f : {3.0f, 1.5f, 2.5f, 4.0f}) {
        const Bytes b = U32(std::bit_cast<uint32_t>(f));
        dops.insert(dops.end(), b.begin(), b.end());
    }
    Decode(p, 1036, dops);
    EXPECT_EQ(p.dops.hdop, 1.5);
    EXPECT_EQ(p.dops.gdop, 5.0);
}

// One 9-byte satellite record: number, system, elevation, azimuth, three
// signal-to-noise bytes, used flag.
Bytes Sat(uint8_t number, uint8_t system, bool used) {
    return {number, system, 45, 0x01, 0x0E, 40, 41, 42, uint8_t(used ? 1 : 0)};
}

TEST(Q50Parser, SatelliteList) {
    Em_RepParser_Q50 p;
    // Counts 2 GPS, 1 BeiDou (sum 3), three padding bytes, three records.
    Bytes item = {2, 0, 1, 0, 0, 0, 0, 0};
    for (const Bytes& s : {Sat(5, 0, true), Sat(12, 0, false), Sat(161, 2, true)}) item.insert(item.end(), s.begin(), s.end());
    ASSERT_EQ(item.size(), 35u);
    Bytes longer = item;
    longer.push_back(0);
    EXPECT_EQ(Decode(p, 1037, longer), 0u);
    EXPECT_EQ(p.satsListed, 0u);
    ASSERT_EQ(Decode(p, 1037, item), 1u);
    EXPECT_EQ(p.ChangedMask, 0x800u);
    EXPECT_EQ(p.satLists[0].count, 2u);
    EXPECT_EQ(p.satLists[2].count, 1u);
    EXPECT_EQ(+p.satLists[2].sats[0].number, 161);
    EXPECT_EQ(+p.satLists[0].sats[0].azimuth, 270);
    EXPECT_EQ(+p.satLists[0].sats[1].snr[2], 42.0f);
    EXPECT_EQ(p.satsListed, 3u);
    EXPECT_EQ(p.satsListedUsed, 2u);
    EXPECT_EQ(p.satSystems, 2u);

    // 40 GPS satellites and one of an unknown system: the list keeps 32, the
    // totals count them all, and the earlier lists are cleared.
    Bytes many = {40, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 40; ++i) {
        const Bytes s = Sat(uint8_t(i + 1), 0, i % 2 == 0);
        many.insert(many.end(), s.begin(), s.end());
    }
    const Bytes odd = Sat(99, 7, true);
    many.insert(many.end(), odd.begin(), odd.end());
    ASSERT_EQ(Decode(p, 1037, many), 1u);
    EXPECT_EQ(p.satLists[0].count, 32u);
    EXPECT_EQ(+p.satLists[0].sats[31].number, 32);
    EXPECT_EQ(p.satLists[2].count, 0u);
    EXPECT_EQ(p.satsListed, 41u);
    EXPECT_EQ(p.satsListedUsed, 21u);
    EXPECT_EQ(p.satSystems, 1u);
    // Counts that add to 0 are no list.
    EXPECT_EQ(Decode(p, 1037, Bytes(8, 0)), 0u);
}

TEST(Q50Parser, PositionRecord) {
    Em_RepParser_Q50 p;
    p.timeZone = 0;
    Bytes item;
    for (double d : {31.5, 121.25, 12.75}) {
        const Bytes hi = U32(uint32_t(std::bit_cast<uint64_t>(d) >> 32)), lo = U32(uint32_t(std::bit_cast<uint64_t>(d)));
        item.insert(item.end(), hi.begin(), hi.end());
        item.insert(item.end(), lo.begin(), lo.end());
    }
    for (uint32_t w : {4u, 1560u, 86399u}) {
        const Bytes b = U32(w);
        item.insert(item.end(), b.begin(), b.end());
    }
    for (double d : {0.02, 0.01, 0.015}) {
        const Bytes hi = U32(uint32_t(std::bit_cast<uint64_t>(d) >> 32)), lo = U32(uint32_t(std::bit_cast<uint64_t>(d)));
        item.insert(item.end(), hi.begin(), hi.end());
        item.insert(item.end(), lo.begin(), lo.end());
    }
    const Bytes age = U32(3);
    item.insert(item.end(), age.begin(), age.end());
    ASSERT_EQ(item.size(), 64u);
    ASSERT_EQ(Decode(p, 1040, item), 1u);
    EXPECT_EQ(p.ChangedMask, 0x200u);
    EXPECT_EQ(p.position.latitude, 31.5);
    EXPECT_EQ(p.position.height, 12.75);
    EXPECT_EQ(p.position.status, 4);
    EXPECT_EQ(p.errors.horizontalError, 0.01);
    EXPECT_EQ(p.errors.rms, 0.015);
    EXPECT_EQ(p.position.diffAge, 3.0);
    // Week 1560, second 86399: 29 November 2009, 23:59:59.
    EXPECT_EQ(p.time.year, 2009);
    EXPECT_EQ(p.time.month, 11);
    EXPECT_EQ(p.time.day, 29);
    EXPECT_EQ(p.time.hour, 23);
    EXPECT_EQ(p.time.second, 59.0);
}

TEST(Q50Parser, TextItemsAreBoundedByStoreAndItem) {
    Em_RepParser_Q50 p;
    // 2000 text bytes announced and present: 1024 kept, then a terminator.
    Bytes text = U32(2000);
    for (int i = 0; i < 2000; ++i) text.push_back(uint8_t('A' + i % 26));
    ASSERT_EQ(Decode(p, 1031, text), 1u);
    EXPECT_EQ(p.ggaLength, 1024u);
    EXPECT_EQ(p.ggaText[1023], uint8_t('A' + 1023 % 26));
    EXPECT_EQ(p.ggaText[1024], 0);
    // A count larger than the item: only what the item holds.
    Bytes shortText = U32(500);
    for (char c : std::string("$GPGGA")) shortText.push_back(uint8_t(c));
    ASSERT_EQ(Decode(p, 1030, shortText), 1u);
    EXPECT_EQ(p.ggaLength, 6u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.ggaText)), "$GPGGA");
    // Count 0: taken, nothing stored.
    Bytes empty = U32(0);
    empty.push_back('z');
    ASSERT_EQ(Decode(p, 1032, empty), 1u);
    EXPECT_EQ(p.ggaLength, 6u);
    // Source list: the count, the item and the 2048-byte store bound it.
    Bytes list = U32(3000);
    list.resize(4 + 2500, 'x');
    ASSERT_EQ(Decode(p, 4358, list), 1u);
    EXPECT_EQ(p.records.sourceListLength, 2048u);
}

TEST(Q50Codes, RateAndBaudMaps) {
    const std::pair<int, int> rates[] = {{0, 1}, {1, 6}, {2, 7}, {3, 9}, {4, 10}, {5, 11},
                                         {6, 12}, {11, 8}, {255, 2}, {13, 9}, {7, 9}};
    for (const auto& [frq, code] : rates) EXPECT_EQ(GnssFrq_ToDataFrq(GNSS_FRQ(frq)), code) << frq;
    const std::pair<uint32_t, int> bauds[] = {{2400, 1},   {4800, 2},    {9600, 3},    {14400, 4}, {19200, 5},
                                              {38400, 6},  {56000, 7},   {57600, 8},   {115200, 9}, {128000, 10},
                                              {256000, 11}, {512000, 12}, {4000, 3}};
    for (const auto& [baud, code] : bauds) EXPECT_EQ(BaudRate_ToCode(baud), code) << baud;
}

TEST(Q50Builder, BaseStartWithTheDefaultSettings) {
    Em_CmdPaker_Q50 builder;
    std::vector<_STR_CMD> out;
    builder.Cmd_StartBase(out);
    const oldcmd_test::TlvCommand c = oldcmd_test::ReadTlv(out);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.commandId, 0u);
    std::vector<uint16_t> ids;
    for (const auto& item : c.items) ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{1, 1105, 1104, 1106, 1028, 1029, 260, 259}));
    EXPECT_EQ(c.items[0].value, U16(14));
    EXPECT_EQ(c.items[1].value, U8(10));
    EXPECT_EQ(c.items[2].value, U8(95));
    const Bytes& base = c.items[3].value;
    ASSERT_EQ(base.size(), 26u);
    auto be = [&](size_t at) {
        uint64_t u = 0;
        for (int i = 0; i < 8; ++i) u = (u << 8) | base[at + i];
        return std::bit_cast<double>(u);
    };
    EXPECT_EQ(base[1], 3);
    EXPECT_NEAR(be(2), 31.174850, 1e-6);
    EXPECT_NEAR(be(10), 121.398232, 1e-6);
    EXPECT_NEAR(be(18), 37.512, 1e-6);
    EXPECT_EQ(c.items[4].value, U16(2));
    EXPECT_EQ(c.items[5].value, U16(2));
    EXPECT_EQ(c.items[6].value, U16(2));
    EXPECT_EQ(c.items[7].value, U16(6));
}

TEST(Q50Builder, CommandsAndTheirItems) {
    using Build = std::function<void(Em_CmdPaker_Q50&, std::vector<_STR_CMD>&)>;
    struct Row {
        const char* what;
        Build build;
        std::vector<std::pair<uint16_t, Bytes>> items;  // empty: nothing appended
    };
    const Row rows[] = {
        {"Inite", [](auto& b, auto& v) { b.Cmd_Inite(v, 0); },
         {{1, U16(14)}, {1040, U16(9)}, {1036, U16(9)}, {1037, U16(11)}, {1032, U16(11)}, {1044, U16(11)},
          {1039, U16(11)}}},
        {"PosFrq 20 Hz falls to 1 Hz", [](auto& b, auto& v) { b.Cmd_PosFrq(v, GNSS_FRQ(13)); },
         {{1, U16(14)}, {1040, U16(9)}}},
        {"Obs 2 Hz", [](auto& b, auto& v) { b.Cmd_Obs(v, GNSS_FRQ_2HZ); }, {{1, U16(14)}, {1031, U16(8)}}},
        {"ElevMask_Set", [](auto& b, auto& v) { b.Cmd_ElevMask_Set(v, 15, 3); }, {{1, U16(14)}, {1105, U8(15)}}},
        {"ElevMask query", [](auto& b, auto& v) { b.Cmd_ElevMask(v); }, {{1, U16(15)}, {1105, {}}}},
        {"UnlogData", [](auto& b, auto& v) { b.Cmd_UnlogData(v); }, {{1, U16(14)}, {1108, {}}}},
        {"Reset", [](auto& b, auto& v) { b.Cmd_Reset(v); }, {{1, U16(14)}, {1107, {}}}},
        {"StartRover", [](auto& b, auto& v) { b.Cmd_StartRover(v); }, {{1, U16(14)}, {1105, U8(5)}, {1104, U8(95)}}},
        {"Ephemeris", [](auto& b, auto& v) { b.Cmd_Ephemeris(v, GNSS_FRQ_1HZ); }, {}},
        {"EphemSat", [](auto& b, auto& v) { b.Cmd_EphemSat(v, 3); }, {}},
        {"SatUse", [](auto& b, auto& v) { b.Cmd_SatUse(v, 3, true, 0); }, {}},
        {"Nmea", [](auto& b, auto& v) { b.Cmd_Nmea(v, 1, GNSS_FRQ_1HZ, 0); }, {}},
        {"PassCom", [](auto& b, auto& v) { b.Cmd_PassCom(v, 1); }, {}},
    };
    for (const Row& r : rows) {
        Em_CmdPaker_Q50 builder;
        std::vector<_STR_CMD> out;
        r.build(builder, out);
        if (r.items.empty()) {
            EXPECT_TRUE(out.empty()) << r.what;
            continue;
        }
        const oldcmd_test::TlvCommand c = oldcmd_test::ReadTlv(out);
        ASSERT_TRUE(c.ok) << r.what;
        std::vector<std::pair<uint16_t, Bytes>> items;
        for (const auto& item : c.items) items.push_back({item.id, item.value});
        EXPECT_EQ(items, r.items) << r.what;
    }
}

TEST(Q50Builder, DifferentialTypeMap) {
    const std::pair<uint32_t, int> rows[] = {{3, 2},  {4, 5},  {5, 5},  {8, 5},  {11, 5}, {6, 3},
                                             {7, 6},  {13, 6}, {14, 6}, {12, 4}, {0, 1},  {15, 1}};
    for (const auto& [type, code] : rows) EXPECT_EQ(Q50_DiffTypeOf(type), code) << type;
}

}  // namespace
