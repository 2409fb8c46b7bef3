#include "program/DeviceManagerSupport.h"
#include "program/SourceTableText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sourcetable::CappedText;

TEST(SourceTableTextTest, TextStopsAtTheLimitButTheEndIsStillFound) {
    CappedText t(32);
    EXPECT_FALSE(t.append("STR;A;x\r\nSTR;B;x\r\nSTR;C;x\r\n0", 28));
    EXPECT_FALSE(t.cut());
    EXPECT_FALSE(t.append("123STR;DDDD;", 12));  // 4 of 12 bytes fit
    EXPECT_TRUE(t.cut());
    // The line cut in two goes: no name is taken from half a line.
    EXPECT_EQ(t.text(), QByteArray("STR;A;x\r\nSTR;B;x\r\nSTR;C;x\r\n"));
    // Past the limit nothing more is kept, not even what would fit now;
    // the end, split over two pieces, still counts.
    EXPECT_FALSE(t.append("xxENDSOURCE", 11));
    EXPECT_TRUE(t.append("TABLE\r\n", 7));
    EXPECT_EQ(t.text(), QByteArray("STR;A;x\r\nSTR;B;x\r\nSTR;C;x\r\n"));
    EXPECT_TRUE(t.cut());
    EXPECT_TRUE(t.append("more", 4));  // stays ended
    t.clear();
    EXPECT_FALSE(t.ended());
    EXPECT_FALSE(t.cut());
    EXPECT_TRUE(t.text().isEmpty());
    // Nothing and negative lengths add nothing.
    EXPECT_FALSE(t.append(nullptr, 5));
    EXPECT_FALSE(t.append("x", -1));
    EXPECT_TRUE(t.text().isEmpty());
}

// Where the end marker lies against the limit decides whether the table
// was cut: bytes dropped after a marker kept whole cut nothing.
TEST(SourceTableTextTest, ATableIsCutOnlyWhenItsEndDoesNotFit) {
    const struct {
        const char* what;
        std::vector<std::string> pieces;
        bool ended, cut;
        std::string kept;
    } cases[] = {
        {"marker ends at the limit, more follows in the same piece",
         {"A\r\nENDSOURCETABLE\r\nxx"}, true, false, "A\r\nENDSOURCETABLE"},
        {"marker kept in an earlier piece", {"A\r\nENDSOURCETABLE", "\r\nmore"}, true, false, "A\r\nENDSOURCETABLE"},
        {"marker one byte past the limit", {"AB\r\nENDSOURCETABLE"}, true, true, "AB\r\n"},
        {"marker in a later piece", {"AB\r\nSTR;", "x\r\nSTR;yyyy", "ENDSOURCETABLE"}, true, true, "AB\r\nSTR;x\r\n"},
        {"no line end in the kept part", {"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, false, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CappedText t(17);  // "A\r\nENDSOURCETABLE" is 17 bytes
        bool ended = false;
        for (const std::string& p : c.pieces) ended = t.append(p.data(), qsizetype(p.size()));
        EXPECT_EQ(t.cut(), c.cut);
        EXPECT_EQ(t.text().toStdString(), c.kept);
        EXPECT_EQ(ended, c.ended);
    }
}

// A modem that sends a header and then table lines without end: the
// gatherer keeps at most the program's limit, and the end marker that
// finally comes still completes the fetch with the names gathered.
TEST(SourceTableTextTest, GathererHoldsNoMoreThanTheLimitOfAnEndlessTable) {
    devicemanager::SourceTableGatherer g;
    constexpr int kChunk = devicemanager::SourceTableGatherer::kChunkSize;
    std::string chunk = "SOURCETABLE 200 OK\r\n";
    int lines = 0;
    while (chunk.size() + 40 < size_t(kChunk)) chunk += "\r\nSTR;M" + std::to_string(lines++) + ";x;RTCM 3;;2;";
    EXPECT_FALSE(g.addChunk(chunk.data(), int(chunk.size())));
    std::string body(kChunk, 'y');
    for (size_t i = 0; i + 6 < body.size(); i += 100) body.replace(i, 6, "\r\nSTR;");
    const int chunks = int(2 * sourcetable::kLargestTable / kChunk);  // twice the limit
    for (int i = 0; i < chunks; ++i) ASSERT_FALSE(g.addChunk(body.data(), kChunk));
    // Kept up to the limit, less the line cut in two.
    EXPECT_LE(g.text().size(), sourcetable::kLargestTable);
    EXPECT_GT(g.text().size(), sourcetable::kLargestTable - 100);
    EXPECT_TRUE(g.text().endsWith('\n'));
    EXPECT_TRUE(g.cut());
    EXPECT_TRUE(g.addChunk("ENDSOURCETABLE\r\n", 16));
    EXPECT_TRUE(g.cut()) << "the end came after the limit";
    QString text = QString::fromLatin1(g.text());
    QStringList names;
    devicemanager::ParseSourceTable(text, names);
    ASSERT_GE(names.size(), lines);
    EXPECT_EQ(names.first(), QStringLiteral("M0"));
    EXPECT_EQ(names[lines - 1], QStringLiteral("M") + QString::number(lines - 1));
}

}  // namespace
