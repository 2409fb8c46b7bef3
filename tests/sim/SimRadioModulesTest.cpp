// The simulated receiver's internal radio for the module types a receiver
// may carry: what the device information names, that every radio query is
// answered, and that what is set is what later queries report.

#include "tests/sim/ReceiverModel.h"
#include "tests/sim/SimRadioModules.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace sim {
namespace {

// "VS" frame, head 1B, payload: 40 | id 76 (power query) | ~id 89 | m = 0
// (00 00) | packet XOR BF | frame XOR 18 | CR LF.
const auto kPowerQuery = H("24 24 56 53 1B 06 40 76 89 00 00 BF 18 0D 0A");

// A module request as the command set writes it: 40 | id | ~id | m (2 bytes,
// low first) | data | XOR of the packet, in a "VS" frame.
std::vector<uint8_t> Request(uint8_t id, const std::vector<uint8_t>& data = {}) {
    std::vector<uint8_t> packet{0x40, id, uint8_t(~id), uint8_t(data.size()), uint8_t(data.size() >> 8)};
    packet.insert(packet.end(), data.begin(), data.end());
    uint8_t x = 0;
    for (uint8_t b : packet) x ^= b;
    packet.push_back(x);
    return PackFrame("VS", kHeadSerialModule, packet);
}

// The data of the one module reply packet (40 | id | 255 - id | m, 4 bytes |
// data | XOR | CR LF) in a "VI" reply; empty and a failure when there is none.
std::vector<uint8_t> ReplyData(ReceiverModel& m, const std::vector<uint8_t>& request, uint8_t id) {
    const auto out = m.Receive(request.data(), request.size(), 9600);
    FrameCutter cut;
    cut.Append(out.data(), out.size());
    Frame f;
    uint8_t b;
    bool bad;
    if (cut.Next(&f, &b, &bad) != FrameCutter::Result::Frame) {
        ADD_FAILURE() << "no reply to id " << int(id);
        return {};
    }
    const auto& p = f.payload;
    EXPECT_EQ(std::string(f.letters, 2), "VI");
    if (p.size() < 10 || p[1] != id || p[2] != 255 - id) {
        ADD_FAILURE() << "not the reply to id " << int(id) << ": " << Hex(p);
        return {};
    }
    const size_t n = p[3];
    return std::vector<uint8_t>(p.begin() + 7, p.begin() + 7 + long(std::min(n, p.size() - 10)));
}

TEST(SimRadioModules, DeviceInformationNamesTheModule) {
    const struct {
        int type;
        uint8_t byte59, byte126;
        double mhz;
    } cases[] = {
        {3, 0, 0, 460.125}, {4, 3, 0, 420.0}, {5, 4, 0, 440.0},
        {6, 0, 4, 460.125}, {7, 0, 3, 458.0}, {8, 0, 5, 460.125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        SimSettings s;
        s.deviceInfo.radioModuleExt = 9;
        ASSERT_TRUE(SetRadioModule(s, c.type));
        const auto record = s.deviceInfo.Record();
        EXPECT_EQ(record[59], c.byte59);
        EXPECT_EQ(record[126], c.byte126);
        EXPECT_DOUBLE_EQ(RadioFrequencyMHz(s.radio, c.type), c.mhz);
    }
    SimSettings s;
    const SimSettings before = s;
    EXPECT_FALSE(SetRadioModule(s, 1));
    EXPECT_FALSE(SetRadioModule(s, 9));
    EXPECT_EQ(s.deviceInfo.Record(), before.deviceInfo.Record());
}

// Each query answered for a single-band module (7), a three-band one (8) and
// one of the older types (3); each setting then read back.
TEST(SimRadioModules, EveryQueryAnsweredAndSettingsKept) {
    for (int type : {3, 7, 8}) {
        SCOPED_TRACE(type);
        SimSettings s;
        ASSERT_TRUE(SetRadioModule(s, type));
        ReceiverModel m(s);
        const SimRadio radio = m.Settings().radio;
        EXPECT_EQ(ReplyData(m, kPowerQuery, 118), std::vector<uint8_t>{radio.power});
        // Frequency: the protocol byte, then the channel code, low byte first.
        EXPECT_EQ(ReplyData(m, Request(110), 110),
                  (std::vector<uint8_t>{radio.protocol, uint8_t(radio.channel), uint8_t(radio.channel >> 8)}));
        EXPECT_EQ(ReplyData(m, Request(98), 98), (std::vector<uint8_t>{radio.protocol, uint8_t(radio.channel)}));
        EXPECT_EQ(ReplyData(m, Request(121), 121), std::vector<uint8_t>{radio.baud});
        EXPECT_EQ(ReplyData(m, Request(129), 129), std::vector<uint8_t>{radio.sensitivity});
        EXPECT_EQ(ReplyData(m, Request(131), 131), std::vector<uint8_t>{radio.fec});
        EXPECT_EQ(ReplyData(m, Request(137), 137), std::vector<uint8_t>{radio.spacing});
        EXPECT_EQ(ReplyData(m, Request(145), 145),
                  (std::vector<uint8_t>{radio.callsignOn, radio.callsignInterval, 'B', 'X', '4', 'A', 'B', 'C'}));

        // Settings are not answered, and later queries report them.
        const struct {
            uint8_t set, query;
            std::vector<uint8_t> data, reply;
        } settings[] = {
            {96, 110, {9}, {9, uint8_t(radio.channel), uint8_t(radio.channel >> 8)}},
            {109, 110, {0x15, 0x50}, {9, 0x15, 0x50}},
            {117, 118, {5}, {5}},
            {120, 121, {2}, {2}},
            {128, 129, {0}, {0}},
            {130, 131, {0}, {0}},
            {136, 137, {2}, {2}},
            {144, 145, {0, 30, 'C', 'Q', '7'}, {0, 30, 'C', 'Q', '7'}},
        };
        for (const auto& c : settings) {
            const auto set = Request(c.set, c.data);
            EXPECT_TRUE(m.Receive(set.data(), set.size(), 9600).empty()) << int(c.set);
            EXPECT_EQ(ReplyData(m, Request(c.query), c.query), c.reply) << int(c.set);
        }
    }
}

}  // namespace
}  // namespace sim
