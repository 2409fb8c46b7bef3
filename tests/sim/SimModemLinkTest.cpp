// The simulated receiver's modem link: its state and error answers, the
// login and settings it keeps (the server, the base id and the APN
// service settings among them), and the source table it hands back in pieces.

#include "tests/sim/ReceiverModel.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace sim {
namespace {

// 40 | id | ~id | m (2 bytes, low first) | data | XOR, in a "VS" frame.
std::vector<uint8_t> Request(uint8_t id, const std::vector<uint8_t>& data = {}) {
    std::vector<uint8_t> packet{0x40, id, uint8_t(~id), uint8_t(data.size()), uint8_t(data.size() >> 8)};
    packet.insert(packet.end(), data.begin(), data.end());
    uint8_t x = 0;
    for (uint8_t b : packet) x ^= b;
    packet.push_back(x);
    return PackFrame("VS", kHeadSerialModule, packet);
}

std::vector<Frame> Frames(const std::vector<uint8_t>& out) {
    FrameCutter cut;
    cut.Append(out.data(), out.size());
    std::vector<Frame> frames;
    Frame f;
    uint8_t b;
    bool bad;
    while (cut.Next(&f, &b, &bad) == FrameCutter::Result::Frame) frames.push_back(f);
    return frames;
}

// The data of a module reply: packet bytes 7 .. 7 + m.
std::vector<uint8_t> Data(const Frame& f) {
    const auto& p = f.payload;
    if (p.size() < 10) return {};
    return std::vector<uint8_t>(p.begin() + 7, p.begin() + 7 + p[3]);
}

TEST(SimModemLink, StateErrorAndLoginAnswers) {
    SimSettings s;
    s.modemLink.status = 3;
    s.modemLink.error = 5;
    ReceiverModel m(s);
    auto ask = [&](uint8_t id, const std::vector<uint8_t>& data = {}) {
        const auto r = Request(id, data);
        return Frames(m.Receive(r.data(), r.size(), 9600));
    };
    // Packet 99: 40 | id 63 | 255 - id 9C | m = 1 (01 00 00 00) | state 03 |
    // XOR BD | CR LF.
    auto f = ask(99);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(std::string(f[0].letters, 2), "VI");
    EXPECT_EQ(f[0].payload, H("40 63 9C 01 00 00 00 03 BD 0D 0A"));
    // Packet 104: the error in data byte 1.
    f = ask(104);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(Data(f[0]), H("00 05"));

    // A login set by 107 (mount, mode 'M', user, password) comes back by 108.
    const auto login = SimModemLink::Login("MNT", "u", "pw", 'M');
    EXPECT_EQ(login, H("4D 4E 54 00 4D 00 75 00 70 77 00"));
    EXPECT_TRUE(ask(107, login).empty());
    f = ask(108);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(Data(f[0]), login);
    // 105 sets the login mode that 106 reports.
    EXPECT_TRUE(ask(105, {1}).empty());
    EXPECT_EQ(Data(ask(106)[0]), H("01"));

    // The server: 82 (address bytes, port 2101 = 08 35, protocol 1), the work
    // mode (93) and the base id (94) change the parameter reply.
    EXPECT_TRUE(ask(82, H("0A 01 02 03 08 35 01")).empty());
    EXPECT_TRUE(ask(93, {0}).empty());
    EXPECT_TRUE(ask(94, H("42 30 37")).empty());
    EXPECT_EQ(m.Settings().modem.address, (std::array<uint8_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(m.Settings().modem.port, 2101);
    EXPECT_EQ(m.Settings().modem.protocol, 'T');
    EXPECT_EQ(m.Settings().modem.online, 0);
    EXPECT_EQ(m.Settings().modem.baseId, "B07");
    // 114: the host text, 00, the port and protocol 3.
    EXPECT_TRUE(ask(114, H("68 6F 73 74 00 08 35 03")).empty());
    EXPECT_EQ(m.Settings().modem.host, "host");
    EXPECT_EQ(m.Settings().modem.protocol, 'S');

    // The service settings: the APN (86), the dial number (88), and user
    // name and password with a zero byte between them (87); a user packet
    // without that byte changes nothing.
    EXPECT_TRUE(ask(86, H("61 70 6E")).empty());
    EXPECT_TRUE(ask(88, H("2A 39 39 23")).empty());
    EXPECT_TRUE(ask(87, H("75 31 00 70 31")).empty());
    EXPECT_TRUE(ask(87, H("75 32")).empty());
    EXPECT_EQ(m.Settings().modem.apn, "apn");
    EXPECT_EQ(m.Settings().modem.dialNumber, "*99#");
    EXPECT_EQ(m.Settings().modem.user, "u1");
    EXPECT_EQ(m.Settings().modem.password, "p1");
}

// The service settings a write sends (86 APN, 88 dial number, 87 user 00
// password) come back in the parameter reply, as a read after a write shows.
TEST(SimModemLink, ServiceSettingsComeBackInTheParameterReply) {
    ReceiverModel m{SimSettings{}};
    auto ask = [&](uint8_t id, const std::vector<uint8_t>& data = {}) {
        const auto r = Request(id, data);
        return Frames(m.Receive(r.data(), r.size(), 9600));
    };
    EXPECT_TRUE(ask(86, H("69 6E 65 74")).empty());              // "inet"
    EXPECT_TRUE(ask(88, H("2A 39 39 23")).empty());              // "*99#"
    EXPECT_TRUE(ask(87, H("75 31 00 70 77 32")).empty());        // "u1", 00, "pw2"
    EXPECT_TRUE(ask(87, H("6E 6F 20 7A 65 72 6F")).empty());     // no 00: not a login, ignored
    EXPECT_EQ(m.Settings().modem.apn, "inet");
    EXPECT_EQ(m.Settings().modem.dialNumber, "*99#");
    EXPECT_EQ(m.Settings().modem.user, "u1");
    EXPECT_EQ(m.Settings().modem.password, "pw2");

    // Older layout (89): dial number counted at 16, APN counted at 32, the
    // login from 97: length 6, "u1", 00, "pw2".
    const auto f = ask(89);
    ASSERT_EQ(f.size(), 1u);
    const auto d = Data(f[0]);
    ASSERT_GE(d.size(), 104u);
    EXPECT_EQ(std::vector<uint8_t>(d.begin() + 16, d.begin() + 21), H("04 2A 39 39 23"));
    EXPECT_EQ(std::vector<uint8_t>(d.begin() + 32, d.begin() + 37), H("04 69 6E 65 74"));
    EXPECT_EQ(std::vector<uint8_t>(d.begin() + 97, d.begin() + 104), H("06 75 31 00 70 77 32"));
}

TEST(SimModemLink, TheSourceTableComesInThePiecesAsked) {
    SimSettings s;
    s.modemLink.sourceTable = std::string(300, 'x');
    s.modemLink.tableCuts = {10, 0, 20};
    ReceiverModel m(s);
    // "VM" request: head 1B, payload "B1" as the command set writes it.
    const auto request = PackFrame("VM", kHeadSerialModule, H("2C 42 31"));
    const auto f = Frames(m.Receive(request.data(), request.size(), 9600));
    // 10, 20, then the rest in frames of at most 255 bytes: 255 and 15.
    ASSERT_EQ(f.size(), 4u);
    const size_t sizes[] = {10, 20, 255, 15};
    for (size_t i = 0; i < f.size(); ++i) {
        EXPECT_EQ(std::string(f[i].letters, 2), "VM");
        EXPECT_EQ(f[i].head, kHeadSerialModule);
        EXPECT_EQ(f[i].payload.size(), sizes[i]);
    }
    // No table: no answer.
    ReceiverModel none{SimSettings{}};
    EXPECT_TRUE(none.Receive(request.data(), request.size(), 9600).empty());
}

}  // namespace
}  // namespace sim
