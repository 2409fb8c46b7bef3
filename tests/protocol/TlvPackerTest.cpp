// The new protocol's send side: the parameter table, the command block, its
// cutting into link frames and the process-wide frame sequence.

#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

using Bytes = std::vector<uint8_t>;

// Link frames read back as the receiver reads them (written from the frame
// layout): 24 24, stream id, sequence, length P <= 250, P bytes, 0D 0A.
struct Joined {
    bool wellFormed = true;
    Bytes stream;
    std::vector<uint8_t> sequences;
    std::vector<uint32_t> parts;
};

Joined Join(const std::vector<_STR_CMD>& frames, size_t from = 0) {
    Joined j;
    for (size_t i = from; i < frames.size(); ++i) {
        const _STR_CMD& f = frames[i];
        const uint32_t p = f.data[4];
        if (f.length < 7 || f.data[0] != 0x24 || f.data[1] != 0x24 || f.data[2] != 0x01 || p > 250 ||
            f.length != p + 7 || f.data[5 + p] != 0x0D || f.data[6 + p] != 0x0A || f.delay != 0) {
            j.wellFormed = false;
            continue;
        }
        j.sequences.push_back(f.data[3]);
        j.parts.push_back(p);
        j.stream.insert(j.stream.end(), f.data + 5, f.data + 5 + p);
    }
    return j;
}

struct Item {
    uint16_t id;
    Bytes value;
};

// Parses a command block: header, items, tail word, trailer.
bool ParseBlock(const Bytes& b, uint32_t& commandId, std::vector<Item>& items) {
    if (b.size() < 19 || b[0] != 0x04 || b[1] != 0x11 || b[2] != 0 || b[7] != 0 || b[8] != 0 || b[9] != 0 ||
        b[10] != 1)
        return false;
    commandId = (uint32_t(b[3]) << 24) | (uint32_t(b[4]) << 16) | (uint32_t(b[5]) << 8) | b[6];
    const size_t s = (size_t(b[11]) << 8) | b[12];
    if (b.size() != s + 19 || b[s + 17] != 0x09 || b[s + 18] != 0x24) return false;
    items.clear();
    size_t pos = 13;
    while (pos < 13 + s) {
        if (pos + 4 > 13 + s) return false;
        const uint16_t id = uint16_t((b[pos] << 8) | b[pos + 1]);
        const size_t len = (size_t(b[pos + 2]) << 8) | b[pos + 3];
        if (pos + 4 + len > 13 + s) return false;
        items.push_back({id, Bytes(b.begin() + long(pos) + 4, b.begin() + long(pos + 4 + len))});
        pos += 4 + len;
    }
    return true;
}

// The wire form of one item alone.
Bytes ItemBytes(uint16_t id, const void* value) {
    const uint64_t size = EncodeTlvItem(nullptr, nullptr, id, value);
    Bytes out(size_t(size), 0xEE);
    EXPECT_EQ(EncodeTlvItem(nullptr, out.data(), id, value), size);
    return out;
}

class TlvPacker : public ::testing::Test {
protected:
    void SetUp() override { ResetLinkSequence(0); }
    void TearDown() override { ResetLinkSequence(0); }
};

}  // namespace

TEST_F(TlvPacker, GoldenQueryFrame) {
    ResetLinkSequence(42);
    const uint16_t op = 15;
    const TlvItem items[] = {{1, &op}, {1104, nullptr}};
    std::vector<_STR_CMD> out;
    ASSERT_TRUE(PackTlvCommand(nullptr, out, items, 1104));
    ASSERT_EQ(out.size(), 1u);
    const Bytes expected = {
        0x24, 0x24, 0x01, 42, 0x1D,                    // link: $$, stream 1, sequence 42, 29 payload bytes
        0x04, 0x11, 0x00,                              // block magic, header byte
        0x00, 0x00, 0x04, 0x50,                        // command id 1104
        0x00, 0x00, 0x00, 0x01,                        // header word
        0x00, 0x0A,                                    // S = 10
        0x00, 0x01, 0x00, 0x02, 0x00, 0x0F,            // operation item: query (15)
        0x04, 0x50, 0x00, 0x00,                        // 1104 without a value
        0x00, 0x00, 0x00, 0x00,                        // tail word
        0x09, 0x24,                                    // trailer
        0x0D, 0x0A,                                    // link end
    };
    EXPECT_EQ(Bytes(out[0].data, out[0].data + out[0].length), expected);
    EXPECT_EQ(out[0].length, 36u);
    EXPECT_EQ(out[0].delay, 0u);
    EXPECT_EQ(PeekLinkSequence(), 43);
}

TEST_F(TlvPacker, GoldenTwoItemSetting) {
    const uint16_t op = 14;
    const uint8_t pdop = 5;
    const TlvItem items[] = {{1, &op}, {1104, &pdop}};
    std::vector<_STR_CMD> out;
    ASSERT_TRUE(PackTlvCommand(nullptr, out, items, 1104));
    const Joined j = Join(out);
    ASSERT_TRUE(j.wellFormed);
    uint32_t id = 0;
    std::vector<Item> parsed;
    ASSERT_TRUE(ParseBlock(j.stream, id, parsed));
    EXPECT_EQ(id, 1104u);
    EXPECT_EQ(j.stream[12], 11) << "S = 11";
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0].value, (Bytes{0x00, 0x0E}));
    EXPECT_EQ(ItemBytes(1104, &pdop), (Bytes{0x04, 0x50, 0x00, 0x01, 0x05}));

    // Differential data: operation 50 and a three-byte data block, command id 0.
    const uint16_t diffOp = 50;
    const uint8_t data[] = {0xAA, 0xBB, 0xCC};
    const OV_BLOCK_DATA_STRUCT block{3, data};
    const TlvItem diff[] = {{1, &diffOp}, {5380, &block}};
    out.clear();
    ASSERT_TRUE(PackTlvCommand(nullptr, out, diff, 0));
    ASSERT_EQ(out.size(), 1u);
    const Joined d = Join(out);
    ASSERT_TRUE(d.wellFormed);
    EXPECT_EQ(Bytes(d.stream.begin() + 3, d.stream.begin() + 7), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Bytes(d.stream.begin() + 13, d.stream.end() - 6),
              (Bytes{0x00, 0x01, 0x00, 0x02, 0x00, 0x32,                            // operation 50
                     0x15, 0x04, 0x00, 0x07, 0x00, 0x00, 0x00, 0x03, 0xAA, 0xBB, 0xCC}));  // 5380, n = 3
}

TEST_F(TlvPacker, RecordsOnTheWire) {
    const OV_GNSS_BASE_SET_STRUCT base{7, 1.0, 2.0, 3.0};
    EXPECT_EQ(ItemBytes(1106, &base),
              (Bytes{0x04, 0x52, 0x00, 0x1A, 0x00, 0x07,                   // 1106, 26 bytes, u16 7
                     0x3F, 0xF0, 0, 0, 0, 0, 0, 0,                          // 1.0
                     0x40, 0x00, 0, 0, 0, 0, 0, 0,                          // 2.0
                     0x40, 0x08, 0, 0, 0, 0, 0, 0}));                       // 3.0

    const uint8_t three[] = {0xAA, 0xBB, 0xCC};
    const OV_BLOCK_DATA_STRUCT block{3, three};
    EXPECT_EQ(ItemBytes(5380, &block), (Bytes{0x15, 0x04, 0x00, 0x07, 0x00, 0x00, 0x00, 0x03, 0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(ItemBytes(2824, &block).size(), 11u);

    const float frequency = 460.05f;
    uint32_t bits;
    std::memcpy(&bits, &frequency, 4);
    EXPECT_EQ(ItemBytes(1795, &frequency), (Bytes{0x07, 0x03, 0x00, 0x04, uint8_t(bits >> 24), uint8_t(bits >> 16),
                                                  uint8_t(bits >> 8), uint8_t(bits)}));

    const OV_GSENSOR_VALID_PERIOD_STRUCT gsensor{1, 0x0102};
    EXPECT_EQ(ItemBytes(777, &gsensor), (Bytes{0x03, 0x09, 0x00, 0x03, 0x01, 0x01, 0x02}));

    OV_IP_ADDRESS_STRUCT ip{};
    ip.address = 0xC0A80001;  // 192.168.0.1
    ip.port = 2101;
    ip.useHost = 1;
    std::memcpy(ip.host, "caster", 6);
    const Bytes ipWire = ItemBytes(4355, &ip);
    ASSERT_EQ(ipWire.size(), 61u);
    EXPECT_EQ(Bytes(ipWire.begin(), ipWire.begin() + 15),
              (Bytes{0x11, 0x03, 0x00, 0x39, 0xC0, 0xA8, 0x00, 0x01, 0x08, 0x35, 0x01, 'c', 'a', 's', 't'}));

    OV_FILE_RECORD_CONFIG_STRUCT file{};
    std::memcpy(file.name, "POINT", 5);
    file.byte20 = 0x21;
    file.words[0] = 0x01020304;
    file.words[1] = 0x05060708;
    file.words[2] = 0x090A0B0C;
    file.bytes[0] = 0x31;
    file.bytes[1] = 0x32;
    file.bytes[2] = 0x33;
    file.half = 0x4142;
    file.byte42 = 0x51;
    file.lastWord = 0x61626364;
    const Bytes fileWire = ItemBytes(2822, &file);
    ASSERT_EQ(fileWire.size(), 47u);
    EXPECT_EQ(Bytes(fileWire.begin() + 24, fileWire.end()),
              (Bytes{0x21, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x31, 0x32, 0x33, 0x41, 0x42, 0x51, 0x61, 0x62, 0x63,
                     0x64}));

    OV_WIFI_PARA_AP_STRUCT wifi{};
    std::memset(wifi.ssid, 's', 20);  // full fields, no terminator: copied as stored
    wifi.security = 0x0304;
    std::memset(wifi.password, 'p', 20);
    const Bytes wifiWire = ItemBytes(2563, &wifi);
    ASSERT_EQ(wifiWire.size(), 46u);
    EXPECT_EQ(wifiWire[24], 0x03);
    EXPECT_EQ(wifiWire[25], 0x04);
    EXPECT_EQ(wifiWire[26], 'p');

    const OV_GNSS_SATELLITE_ENABLE_STRUCT sats{{1, 2, 3, 4, 0x80000000}};
    const Bytes satWire = ItemBytes(1109, &sats);
    ASSERT_EQ(satWire.size(), 24u);
    EXPECT_EQ(Bytes(satWire.begin() + 20, satWire.end()), (Bytes{0x80, 0, 0, 0}));
}

TEST_F(TlvPacker, ValueLengthByParameterId) {
    // A value large enough for every record; the id decides how much is read.
    alignas(8) uint8_t value[128] = {};
    const struct {
        std::vector<uint16_t> ids;
        uint16_t length;
    } rows[] = {
        {{1, 259, 260, 264, 776, 1027, 1040, 1041, 1050, 1804, 2564, 4356, 5133, 5379}, 2},
        {{1104, 1105, 1808, 2567, 2821, 4361, 5129, 5130}, 1},
        {{777}, 3},
        {{1795, 1796, 1801, 1803, 4354}, 4},
        {{1109, 4362}, 20},
        {{1106}, 26},
        {{2563}, 42},
        {{2822}, 43},
        {{4355}, 57},
        {{4363}, 70},
        {{5123}, 100},
        {{0, 2, 771, 1026, 1051, 1108, 4359, 9999}, 0},  // not in the table: no value
    };
    for (const auto& row : rows) {
        for (const uint16_t id : row.ids) {
            const Bytes wire = ItemBytes(id, value);
            ASSERT_EQ(wire.size(), 4u + row.length) << id;
            EXPECT_EQ(wire[0], id >> 8);
            EXPECT_EQ(wire[1], id & 0xFF);
            EXPECT_EQ((wire[2] << 8) | wire[3], row.length) << id;
            // A null value is a query item of length 0, for every id.
            EXPECT_EQ(ItemBytes(id, nullptr), (Bytes{uint8_t(id >> 8), uint8_t(id), 0, 0})) << id;
        }
    }
}

TEST_F(TlvPacker, CommandsThatCannotBeCarriedAppendNothing) {
    std::vector<_STR_CMD> out;
    const uint16_t op = 50;
    const uint8_t pdop = 5;

    const TlvItem one[] = {{1, &op}};
    EXPECT_FALSE(PackTlvCommand(nullptr, out, one, 0));
    const TlvItem nine[] = {{1, nullptr}, {1104, &pdop}};  // 4 + 5 bytes
    EXPECT_FALSE(PackTlvCommand(nullptr, out, nine, 0));

    // Items beyond one command block: refused before anything is read or
    // written (the data buffer is far smaller than the lengths claim).
    const uint8_t tiny[4] = {1, 2, 3, 4};
    const OV_BLOCK_DATA_STRUCT huge{0xFFFFFFFF, tiny};
    const TlvItem hugeItems[] = {{1, &op}, {5380, &huge}};
    EXPECT_FALSE(PackTlvCommand(nullptr, out, hugeItems, 5380));
    const OV_BLOCK_DATA_STRUCT justOver{65280 - 6 - 8 + 1, tiny};
    const TlvItem overItems[] = {{1, &op}, {5380, &justOver}};
    EXPECT_FALSE(PackTlvCommand(nullptr, out, overItems, 5380));
    // Two blocks whose sum would wrap a 16-bit total to a small number.
    const OV_BLOCK_DATA_STRUCT half{32766, tiny};
    const TlvItem wrapItems[] = {{1, &op}, {5380, &half}, {5380, &half}};
    EXPECT_EQ(SizeTlvItems(wrapItems), 6u + 2 * (8 + 32766));
    EXPECT_FALSE(PackTlvCommand(nullptr, out, wrapItems, 5380));
    // A block without data.
    const OV_BLOCK_DATA_STRUCT noData{3, nullptr};
    const TlvItem noDataItems[] = {{1, &op}, {5380, &noData}};
    EXPECT_EQ(SizeTlvItems(noDataItems), kTlvItemUnencodable);
    EXPECT_FALSE(PackTlvCommand(nullptr, out, noDataItems, 5380));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(PeekLinkSequence(), 0) << "no frame took a sequence number";

    // The largest block that fits is carried whole.
    Bytes data(65280 - 6 - 8, 0x5C);
    const OV_BLOCK_DATA_STRUCT most{uint32_t(data.size()), data.data()};
    const TlvItem mostItems[] = {{1, &op}, {5380, &most}};
    ASSERT_TRUE(PackTlvCommand(nullptr, out, mostItems, 5380));
    const Joined j = Join(out);
    ASSERT_TRUE(j.wellFormed);
    ASSERT_EQ(j.stream.size(), 65280u + 19);
    uint32_t id = 0;
    std::vector<Item> parsed;
    ASSERT_TRUE(ParseBlock(j.stream, id, parsed));
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(Bytes(parsed[1].value.begin() + 4, parsed[1].value.end()), data);
}

TEST_F(TlvPacker, SplitTable) {
    const struct {
        uint32_t length;
        std::vector<uint32_t> parts;
    } rows[] = {
        {1, {1}},
        {249, {249}},
        {250, {250}},
        {251, {125, 126}},
        {499, {249, 250}},
        {500, {250, 250}},
        {749, {249, 250, 250}},
        {751, {187, 187, 187, 190}},
        {1000, {250, 250, 250, 250}},
        {1001, {200, 200, 200, 200, 201}},
    };
    std::vector<uint32_t> parts = {99};
    for (const auto& row : rows) {
        SplitFrameLengths(parts, row.length);
        EXPECT_EQ(parts, row.parts) << row.length;
    }
}

TEST_F(TlvPacker, EveryLengthSplitsIntoTheFewestFramesThatAddUp) {
    std::vector<uint32_t> parts;
    for (uint32_t length = 1; length <= 65299; ++length) {
        SplitFrameLengths(parts, length);
        ASSERT_EQ(parts.size(), (length + 249) / 250) << length;
        ASSERT_EQ(std::accumulate(parts.begin(), parts.end(), uint64_t(0)), length);
        for (const uint32_t p : parts) ASSERT_TRUE(p >= 1 && p <= 250) << length;
    }
}

TEST_F(TlvPacker, AnyCommandJoinsBackFromItsFrames) {
    std::mt19937 rng(20240611);
    const uint16_t op = 38;
    for (int round = 0; round < 200; ++round) {
        // An operation item and a mix of records, queries and data blocks.
        const size_t dataSize = std::uniform_int_distribution<size_t>(0, 3000)(rng);
        Bytes data(dataSize);
        for (auto& b : data) b = uint8_t(rng());
        const OV_BLOCK_DATA_STRUCT block{uint32_t(data.size()), data.data()};
        OV_ACCOUNT_STRUCT account{};
        for (auto& c : account.user) c = char('a' + rng() % 26);
        const uint32_t word = rng();
        const uint16_t half = uint16_t(rng());
        std::vector<TlvItem> items = {{1, &op}};
        const size_t count = 1 + rng() % 6;
        for (size_t i = 0; i < count; ++i) {
            switch (rng() % 5) {
            case 0: items.push_back({2824, &block}); break;
            case 1: items.push_back({4363, &account}); break;
            case 2: items.push_back({4354, &word}); break;
            case 3: items.push_back({5379, &half}); break;
            default: items.push_back({uint16_t(rng()), nullptr}); break;
            }
        }
        const uint32_t commandId = rng();
        const uint8_t firstSequence = PeekLinkSequence();
        std::vector<_STR_CMD> out;
        ASSERT_TRUE(PackTlvCommand(nullptr, out, items, commandId));
        const Joined j = Join(out);
        ASSERT_TRUE(j.wellFormed);
        for (size_t i = 0; i < j.sequences.size(); ++i)
            ASSERT_EQ(j.sequences[i], (firstSequence + i) % 251) << "consecutive sequence numbers";
        std::vector<uint32_t> expectedParts;
        SplitFrameLengths(expectedParts, uint32_t(j.stream.size()));
        EXPECT_EQ(j.parts, expectedParts);
        uint32_t id = 0;
        std::vector<Item> parsed;
        ASSERT_TRUE(ParseBlock(j.stream, id, parsed));
        EXPECT_EQ(id, commandId);
        ASSERT_EQ(parsed.size(), items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(parsed[i].id, items[i].id);
            const Bytes wire = ItemBytes(items[i].id, items[i].value);
            EXPECT_EQ(parsed[i].value, Bytes(wire.begin() + 4, wire.end()));
        }
    }
}

TEST_F(TlvPacker, SequenceContinuesAcrossCommandsAndWrapsAfter250) {
    ResetLinkSequence(249);
    const uint16_t op = 50;
    Bytes data(600, 0x11);  // a block of 633 bytes: three frames
    const OV_BLOCK_DATA_STRUCT block{uint32_t(data.size()), data.data()};
    const TlvItem items[] = {{1, &op}, {5380, &block}};
    std::vector<_STR_CMD> out;
    ASSERT_TRUE(PackTlvCommand(nullptr, out, items, 0));
    ASSERT_TRUE(PackTlvCommand(nullptr, out, items, 0));
    const Joined j = Join(out);
    ASSERT_TRUE(j.wellFormed);
    EXPECT_EQ(j.sequences, (std::vector<uint8_t>{249, 250, 0, 1, 2, 3}));
    EXPECT_EQ(PeekLinkSequence(), 4);

    ResetLinkSequence(255);  // taken modulo 251
    EXPECT_EQ(NextLinkSequence(), 4);
    EXPECT_EQ(NextLinkSequence(), 5);
}

TEST_F(TlvPacker, BlockBufferAndFrameEdges) {
    const auto block = NewTlvCommandBuffer(10, 0x01020304);
    ASSERT_TRUE(block);
    EXPECT_EQ(Bytes(block.get(), block.get() + 13),
              (Bytes{0x04, 0x11, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x0A}));
    EXPECT_EQ(Bytes(block.get() + 13, block.get() + 29), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x09, 0x24}));

    std::vector<_STR_CMD> out;
    EXPECT_EQ(SendTlvFrames(out, nullptr, 10), 0u);
    EXPECT_EQ(SendTlvFrames(out, block.get(), 0), 0u);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(SendTlvFrames(out, block.get(), 29), 1u);
    EXPECT_EQ(Join(out).stream, Bytes(block.get(), block.get() + 29));
}
