#include "tests/sim/SimFrames.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sim {
namespace {

TEST(SimFrames, PackFrameLayout) {
    // "RG,B200" over a serial link, as the command set writes it:
    // '$' '$' | 'R' 'G' | head 0x18 | length 1 | C8 | XOR C4 | CR LF
    const uint8_t b200 = 0xC8;
    EXPECT_EQ(PackFrame("RG", kHeadSerial, &b200, 1), H("24 24 52 47 18 01 C8 C4 0D 0A"));
    // An empty payload: the device-information request.
    EXPECT_EQ(PackFrame("SI", kHeadSerial, nullptr, 0), H("24 24 53 49 18 00 02 0D 0A"));
    // 255 bytes fit the length byte; 256 do not and build nothing.
    EXPECT_EQ(PackFrame("RG", kHeadSerial, std::vector<uint8_t>(255, 1)).size(), 255u + kFrameOverhead);
    EXPECT_TRUE(PackFrame("RG", kHeadSerial, std::vector<uint8_t>(256, 1)).empty());
}

TEST(SimFrames, PackFramesSplitsIntoChunks) {
    std::vector<uint8_t> payload(128);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(i);
    const auto out = PackFrames("SI", kHeadSerial, payload, 55);
    FrameCutter cut;
    cut.Append(out.data(), out.size());
    std::vector<size_t> sizes;
    std::vector<uint8_t> joined;
    Frame f;
    uint8_t b;
    bool bad;
    while (cut.Next(&f, &b, &bad) == FrameCutter::Result::Frame) {
        sizes.push_back(f.payload.size());
        joined.insert(joined.end(), f.payload.begin(), f.payload.end());
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{55, 55, 18}));
    EXPECT_EQ(joined, payload);
    EXPECT_EQ(cut.Buffered(), 0u);
}

TEST(SimFrames, ModuleReplyPacket) {
    // Module version "2.90":
    // 40 | id 5F | FF-id A0 | m = 4 (4 bytes, low first) | "2.90" | XOR AE | CR LF
    EXPECT_EQ(PackModuleReply(95, {'2', '.', '9', '0'}), H("40 5F A0 04 00 00 00 32 2E 39 30 AE 0D 0A"));
}

TEST(SimFrames, ModuleRequestPacket) {
    // 40 | id 5F | ~id A0 | m = 0 (2 bytes) | XOR BF
    auto r = ParseModuleRequest(H("40 5F A0 00 00 BF"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->id, 95);
    EXPECT_TRUE(r->data.empty());
    // id 105 with one data byte 02: 40 69 96 01 00 02 XOR
    r = ParseModuleRequest(H("40 69 96 01 00 02 BC"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->id, 105);
    EXPECT_EQ(r->data, H("02"));

    const char* broken[] = {
        "41 5F A0 00 00 BE",     // does not open with 0x40
        "40 5F A1 00 00 BE",     // complement wrong
        "40 5F A0 00 00 BE",     // XOR wrong
        "40 5F A0 01 00 BF",     // length says one data byte, none there
        "40 5F A0 00 00 BF 00",  // a byte more than the length says
        "40 5F A0",              // cut short
    };
    for (const char* hex : broken) EXPECT_FALSE(ParseModuleRequest(H(hex)).has_value()) << hex;
}

struct CutOutcome {
    std::vector<std::string> frames;  // letters of the frames cut, in order
    size_t rejected = 0;
    size_t badFrames = 0;
    size_t left = 0;
};

CutOutcome CutAll(const std::vector<std::vector<uint8_t>>& pieces) {
    FrameCutter cut;
    CutOutcome o;
    for (const auto& p : pieces) {
        cut.Append(p.data(), p.size());
        Frame f;
        uint8_t b;
        bool bad;
        for (;;) {
            const auto r = cut.Next(&f, &b, &bad);
            if (r == FrameCutter::Result::NeedMore) break;
            if (r == FrameCutter::Result::Frame) o.frames.emplace_back(f.letters, 2);
            if (r == FrameCutter::Result::Garbage) {
                ++o.rejected;
                o.badFrames += bad;
            }
        }
    }
    o.left = cut.Buffered();
    return o;
}

TEST(SimFrames, CutterTable) {
    const auto si = H("24 24 53 49 18 00 02 0D 0A");
    const auto sd = H("24 24 53 44 18 00 0F 0D 0A");
    struct Case {
        const char* name;
        std::vector<std::vector<uint8_t>> pieces;
        std::vector<std::string> frames;
        size_t rejected, badFrames, left;
    } cases[] = {
        {"one frame", {si}, {"SI"}, 0, 0, 0},
        {"two frames back to back", {Cat(si, sd)}, {"SI", "SD"}, 0, 0, 0},
        {"split in the header", {H("24 24 53"), H("49 18 00 02 0D 0A")}, {"SI"}, 0, 0, 0},
        {"one byte at a time",
         {H("24"), H("24"), H("53"), H("49"), H("18"), H("00"), H("02"), H("0D"), H("0A")},
         {"SI"},
         0, 0, 0},
        {"incomplete frame waits", {H("24 24 53 49 18 00")}, {}, 0, 0, 6},
        {"noise before a frame", {Cat(H("00 FF 31 0D 0A"), si)}, {"SI"}, 5, 0, 0},
        {"bad checksum costs one byte", {Cat(H("24 24 53 49 18 00 03 0D 0A"), sd)}, {"SD"}, 9, 1, 0},
        {"missing CR LF", {Cat(H("24 24 53 49 18 00 02 0D 0B"), sd)}, {"SD"}, 9, 1, 0},
        {"lone dollar before a frame", {Cat(H("24 41"), si)}, {"SI"}, 2, 0, 0},
    };
    for (const auto& c : cases) {
        const auto o = CutAll(c.pieces);
        EXPECT_EQ(o.frames, c.frames) << c.name;
        EXPECT_EQ(o.rejected, c.rejected) << c.name;
        EXPECT_EQ(o.badFrames, c.badFrames) << c.name;
        EXPECT_EQ(o.left, c.left) << c.name;
    }
}

TEST(SimFrames, GarbageNeverStartsAFrame) {
    GarbageSource g;
    const auto bytes = g.Take(100000);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), uint8_t(0x24)), 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), uint8_t(0xAA)), 0);
    // Not a constant: it looks like a line at the wrong speed.
    EXPECT_GT(std::count(bytes.begin(), bytes.end(), bytes[0]), 0);
    EXPECT_LT(std::count(bytes.begin(), bytes.end(), bytes[0]), 2000);
}

}  // namespace
}  // namespace sim
