#include "program/DeviceManagerSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace devicemanager;

namespace {

struct ParseCase {
    const char* what;
    QString text;
    QStringList names;
    QString rest;  // what the text keeps
};

TEST(DeviceManagerSourceTableTest, ParseTable) {
    const std::vector<ParseCase> cases = {
        {"two mount points",
         "SOURCETABLE 200 OK\r\nServer: x\r\nSTR;MP1;Here;RTCM 3\r\nSTR;MP2;There;RTCM 3\r\nENDSOURCETABLE\r\n",
         {"MP1", "MP2"},
         "MP2;There;RTCM 3\r\nENDSOURCETABLE"},
        {"junk before the header and after the end",
         "\r\nSTR;JUNK;\r\nxyzSOURCETABLE 200 OK\r\n\r\nSTR;RTCM32;a\r\nENDSOURCETABLE\r\nSTR;AFTER;\r\n",
         {"RTCM32"},
         "RTCM32;a\r\nENDSOURCETABLE"},
        {"no STR line", "SOURCETABLE 200 OK\r\nCAS;caster;2101\r\nNET;net\r\nENDSOURCETABLE", {},
         "SOURCETABLE 200 OK\r\nCAS;caster;2101\r\nNET;net\r\nENDSOURCETABLE"},
        {"a line without ';' ends its name at the line end",
         "SOURCETABLE 200 OK\r\nSTR;ONLYNAME\r\nSTR;NEXT;x\r\nENDSOURCETABLE", {"ONLYNAME", "NEXT"},
         "NEXT;x\r\nENDSOURCETABLE"},
        {"last name at the end of the text", "SOURCETABLE 200 OK\r\nSTR;TAIL", {"TAIL"}, "TAIL"},
        {"no header: the whole text is searched", "\r\nSTR;A;\r\nSTR;B;", {"A", "B"}, "B;"},
        {"markers are case-sensitive", "sourcetable 200 ok\r\n\r\nstr;LOW;\r\nSTR;UP;\r\nendsourcetable",
         {"UP"}, "UP;\r\nendsourcetable"},
        {"an empty name is kept", "SOURCETABLE 200 OK\r\nSTR;;x\r\nENDSOURCETABLE", {""}, ";x\r\nENDSOURCETABLE"},
        {"empty text", "", {}, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        QString text = c.text;
        QStringList names = {"kept"};
        ParseSourceTable(text, names);
        QStringList expected = QStringList{"kept"} + c.names;
        EXPECT_EQ(names, expected);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(DeviceManagerSourceTableTest, GathererKeepsChunksFromTheHeaderOn) {
    SourceTableGatherer g;
    EXPECT_FALSE(g.addChunk("\r\nSTR;EARLY;x\r\n", 15));  // before the header: dropped
    EXPECT_TRUE(g.text().isEmpty());
    EXPECT_FALSE(g.addChunk("junkSOURCETABLE 200 OK\r\n\r\nSTR;MP1;", 35));
    EXPECT_FALSE(g.addChunk("a\r\nSTR;MP2;b\r\n", 14));
    EXPECT_TRUE(g.addChunk("ENDSOURCETABLE\r\n", 16));
    EXPECT_TRUE(g.addChunk("\r\n", 2));  // and again while the text holds the end
    QString text = QString::fromLatin1(g.text());
    QStringList names;
    ParseSourceTable(text, names);
    EXPECT_EQ(names, (QStringList{"MP1", "MP2"}));

    g.clear();
    EXPECT_TRUE(g.text().isEmpty());
    EXPECT_FALSE(g.addChunk("\r\nSTR;AFTERCLEAR;\r\nENDSOURCETABLE", 33));
    EXPECT_TRUE(g.text().isEmpty());
}

// Markers split between two chunks at every position are still found.
TEST(DeviceManagerSourceTableTest, GathererFindsMarkersSplitAcrossChunks) {
    const std::string table = "noiseSOURCETABLE 200 OK\r\n\r\nSTR;MP1;a\r\nENDSOURCETABLE\r\n";
    for (size_t cut = 1; cut < table.size(); ++cut) {
        SCOPED_TRACE(cut);
        SourceTableGatherer g;
        const bool first = g.addChunk(table.data(), static_cast<int>(cut));
        const bool second = g.addChunk(table.data() + cut, static_cast<int>(table.size() - cut));
        EXPECT_FALSE(first && cut < table.size() - 2);
        EXPECT_TRUE(second);
        QString text = QString::fromLatin1(g.text());
        QStringList names;
        ParseSourceTable(text, names);
        EXPECT_EQ(names, QStringList{"MP1"});
    }
    // The header split over three small chunks, after many dropped ones.
    SourceTableGatherer g;
    for (int i = 0; i < 50; ++i)
        g.addChunk("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 40);
    g.addChunk("SOURCE", 6);
    g.addChunk("TABLE 200", 9);
    g.addChunk(" OK\r\n\r\nSTR;X;\r\nENDSOURCETABLE", 29);
    QString text = QString::fromLatin1(g.text());
    QStringList names;
    ParseSourceTable(text, names);
    EXPECT_EQ(names, QStringList{"X"});
}

TEST(DeviceManagerSourceTableTest, GathererClampsChunkLengths) {
    std::vector<char> big(3000, 'A');
    const char header[] = "SOURCETABLE 200 OK\r\n";
    std::memcpy(big.data(), header, sizeof(header) - 1);
    SourceTableGatherer g;
    g.addChunk(big.data(), 3000);
    EXPECT_EQ(g.text().size(), SourceTableGatherer::kChunkSize);
    g.addChunk(big.data(), -5);
    g.addChunk(nullptr, 100);
    EXPECT_EQ(g.text().size(), SourceTableGatherer::kChunkSize);
}

TEST(DeviceManagerChoiceListTest, OutputRatesByBoardType) {
    QStringList names = {"stale"};
    QList<int> codes = {99};
    OutputRatesFor(2, names, codes);
    EXPECT_EQ(names, (QStringList{"10 s", "5 s", "2 s", "1 Hz", "2 Hz", "5 Hz"}));
    EXPECT_EQ(codes, (QList<int>{6, 5, 4, 3, 11, 2}));
    OutputRatesFor(1, names, codes);
    EXPECT_EQ(names, (QStringList{"10 s", "5 s", "2 s", "1 Hz", "2 Hz", "5 Hz", "10 Hz", "20 Hz"}));
    EXPECT_EQ(codes, (QList<int>{6, 5, 4, 3, 11, 2, 1, 13}));
    OutputRatesFor(4, names, codes);
    EXPECT_EQ(names, (QStringList{"10 s", "5 s", "2 s", "1 Hz"}));
    EXPECT_EQ(codes, (QList<int>{6, 5, 4, 3}));
    for (int board : {0, 3, 5, 6, -1}) {
        OutputRatesFor(board, names, codes);
        EXPECT_TRUE(names.isEmpty() && codes.isEmpty()) << board;
    }
}

TEST(DeviceManagerChoiceListTest, NmeaMessagesByBoardType) {
    const QStringList common = {"GPGGA", "GPGSV", "GPGSA", "GPGST", "GPRMC", "GPGLL", "GPVTG", "GPZDA", "GPGRS"};
    const QList<uint32_t> commonMasks = {0x1, 0x40, 0x10, 0x20, 0x100, 0x2, 0x200, 0x400, 0x2000};
    struct Case {
        int board;
        QStringList extra;
        QList<uint32_t> extraMasks;
    };
    const std::vector<Case> cases = {
        {2, {"GPALM", "GPRMB"}, {0x800, 0x1000}},
        {1, {"PTNL,PJK", "PTNL,PJT"}, {0x4000, 0x8000}},
        {4, {"GPGNS", "GPRRE"}, {0x10000, 0x20000}},
        {0, {}, {}},
        {3, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.board);
        QStringList names = {"stale"};
        QList<uint32_t> masks = {7};
        NmeaMessagesFor(c.board, names, masks);
        EXPECT_EQ(names, common + c.extra);
        EXPECT_EQ(masks, commonMasks + c.extraMasks);
    }
}

TEST(DeviceManagerVersionTest, VersionFlagFromFirmwareText) {
    struct Case {
        const char* text;
        size_t size;
        bool flag;
    };
    const Case cases[] = {
        {"V8.1", 5, true},  {"10.2", 5, true},  {"8", 5, true},      {"V12", 5, true},
        {"7.90", 5, false}, {".8AB", 5, false}, {"ABCD", 5, false},  {"", 5, false},
        {"V7.9", 5, false}, {"1-2.", 5, false}, {"V 9.", 5, false},  {"-9.0", 5, false},
        {"V899999", 5, true},  // only four characters count: "V899" is 899
        {"9", 0, false},       // an empty field
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirmwareVersionFlag(c.text, c.size), c.flag) << c.text;
    // A full field without a terminating zero is read only within the field.
    const char field[5] = {'V', '9', '.', '0', 'X'};
    EXPECT_TRUE(FirmwareVersionFlag(field, sizeof(field)));
    EXPECT_FALSE(FirmwareVersionFlag(nullptr, 5));
}

TEST(DeviceManagerVersionTest, CapabilityMask) {
    EXPECT_EQ(CapabilityMaskFor(0, false), 31u);
    EXPECT_EQ(CapabilityMaskFor(1, true), 63u);
    EXPECT_EQ(CapabilityMaskFor(2, false), 7u);
    EXPECT_EQ(CapabilityMaskFor(2, true), 39u);
}

}  // namespace
