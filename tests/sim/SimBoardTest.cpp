#include "tests/sim/ReceiverModel.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace sim {
namespace {

std::vector<uint8_t> Feed(ReceiverModel& m, const std::vector<uint8_t>& bytes) {
    return m.Receive(bytes.data(), bytes.size(), 9600);
}

std::vector<Frame> Frames(const std::vector<uint8_t>& bytes) {
    FrameCutter cut;
    cut.Append(bytes.data(), bytes.size());
    std::vector<Frame> out;
    Frame f;
    uint8_t b;
    bool bad;
    while (cut.Next(&f, &b, &bad) == FrameCutter::Result::Frame) out.push_back(f);
    EXPECT_EQ(cut.Buffered(), 0u) << "stray bytes in the output";
    return out;
}

std::vector<uint8_t> Relay(const std::string& text) {
    return PackFrame("RZ", kHeadSerial, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

// The board's query comes in two relayed pieces; once its line is whole the
// receiver hands back the board's PSRDOP log in one "RG" frame.
TEST(SimBoard, RelayedDopQueryIsAnsweredWithThePsrDopLog) {
    SimSettings settings;
    settings.elevationCutoff = 12.5f;
    ReceiverModel m(settings);
    EXPECT_TRUE(Feed(m, Relay("log psrdopb ")).empty());
    const auto f = Frames(Feed(m, Relay("ontime 5\r\n")));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(std::string(f[0].letters, 2), "RG");
    const auto& log = f[0].payload;
    // AA 44 12 | 1C header length | AE 00 message 174 | .. | 1C 00 body of 28 bytes
    ASSERT_EQ(log.size(), 28u + 28u + 4u);
    EXPECT_EQ(Hex(std::vector<uint8_t>(log.begin(), log.begin() + 6)), "AA 44 12 1C AE 00");
    EXPECT_EQ(log[8], 28);
    EXPECT_EQ(log[9], 0);
    float cutoff = 0;
    std::memcpy(&cutoff, &log[28 + 20], 4);
    EXPECT_FLOAT_EQ(cutoff, 12.5f);
    EXPECT_EQ(m.Status().boardLines, (std::vector<std::string>{"log psrdopb ontime 5"}));

    // Other board lines are only recorded.
    EXPECT_TRUE(Feed(m, Relay("log bestposb ontime 1\r\n")).empty());
    EXPECT_EQ(m.Status().boardLines.back(), "log bestposb ontime 1");

    // The GPS cutoff line sets what the next log reports.
    EXPECT_TRUE(Feed(m, Relay("ecutoff 20\r\n")).empty());
    const auto again = Frames(Feed(m, Relay("log psrdopb ontime 5\r\n")));
    ASSERT_EQ(again.size(), 1u);
    std::memcpy(&cutoff, &again[0].payload[28 + 20], 4);
    EXPECT_FLOAT_EQ(cutoff, 20.0f);
}

// The maker's own board takes plain lines, but only between the receiver's
// "IM" opening and closing frames; lines outside them are noise to the
// receiver, and neither bracket is answered.
TEST(SimBoard, OwnBoardLinesBetweenTheImBrackets) {
    ReceiverModel m;
    const auto text = [](const std::string& t) { return std::vector<uint8_t>(t.begin(), t.end()); };
    // "$$" | I M | head 18 | length 01 | payload | XOR | CR LF
    const std::vector<uint8_t> open = {0x24, 0x24, 0x49, 0x4D, 0x18, 0x01, 0x01, 0x1C, 0x0D, 0x0A};
    const std::vector<uint8_t> close = {0x24, 0x24, 0x49, 0x4D, 0x18, 0x01, 0x02, 0x1F, 0x0D, 0x0A};
    EXPECT_TRUE(Feed(m, text("ecutoff 10\r\n")).empty());
    EXPECT_TRUE(Feed(m, open).empty());
    EXPECT_TRUE(m.Status().ownBoardOpen);
    EXPECT_TRUE(Feed(m, text("rtksource cmr\r\nunlog")).empty());
    EXPECT_TRUE(Feed(m, text("all\r\n")).empty());
    EXPECT_TRUE(Feed(m, close).empty());
    EXPECT_FALSE(m.Status().ownBoardOpen);
    EXPECT_TRUE(Feed(m, text("freset\r\n")).empty());
    EXPECT_EQ(m.Status().ownBoardLines, (std::vector<std::string>{"rtksource cmr", "unlogall"}));
    EXPECT_EQ(m.Status().garbageBytes, 12u + 8u);
    ASSERT_EQ(m.Commands().size(), 2u);
    EXPECT_EQ(m.Commands()[0].Describe(), "IM 18 01");
}

// A satellite record follows the periodic output in "RH" frames of 55 bytes;
// a shorter frame ends it, an empty one when the record fills its last frame.
TEST(SimBoard, SatelliteRecordFollowsThePeriodicOutput) {
    const struct {
        size_t size;
        std::vector<size_t> frames;
    } cases[] = {{60, {55, 5}}, {110, {55, 55, 0}}, {19, {19}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        SimSettings settings;
        settings.satelliteRecord.assign(c.size, 0x11);
        ReceiverModel m(settings);
        Feed(m, H("24 24 52 47 18 01 C8 C4 0D 0A"));  // "RG,B200": periodic data on
        const auto f = Frames(m.PeriodicOutput(9600));
        ASSERT_EQ(f.size(), 1 + c.frames.size());
        EXPECT_EQ(std::string(f[0].letters, 2), "RG");
        for (size_t i = 0; i < c.frames.size(); ++i) {
            EXPECT_EQ(std::string(f[1 + i].letters, 2), "RH");
            EXPECT_EQ(f[1 + i].payload.size(), c.frames[i]);
        }
    }
}

}  // namespace sim
