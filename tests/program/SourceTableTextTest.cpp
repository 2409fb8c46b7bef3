#include "program/DeviceManagerSupport.h"
#include "program/SourceTableText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sourcetable::CappedText;

TEST(SourceTableTextTest, TextStopsAtTheLimitButTheEndIsStillFound) {
    CappedText t(32);
    EXPECT_FALSE(t.append("0123456789012345678901234567", 28));
    EXPECT_FALSE(t.cut());
    EXPECT_FALSE(t.append("abcdefgh", 8));  // 4 of 8 bytes kept
    EXPECT_TRUE(t.cut());
    EXPECT_EQ(t.text(), QByteArray("0123456789012345678901234567abcd"));
    // Past the limit, split over two pieces: nothing is kept, the end counts.
    EXPECT_FALSE(t.append("xxENDSOURCE", 11));
    EXPECT_TRUE(t.append("TABLE\r\n", 7));
    EXPECT_EQ(t.text().size(), 32);
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
    EXPECT_EQ(g.text().size(), sourcetable::kLargestTable);
    EXPECT_TRUE(g.addChunk("ENDSOURCETABLE\r\n", 16));
    QString text = QString::fromLatin1(g.text());
    QStringList names;
    devicemanager::ParseSourceTable(text, names);
    ASSERT_GE(names.size(), lines);
    EXPECT_EQ(names.first(), QStringLiteral("M0"));
    EXPECT_EQ(names[lines - 1], QStringLiteral("M") + QString::number(lines - 1));
}

}  // namespace
