// The simulated receiver's new-protocol side: its frames and messages byte by
// byte, the line that carries both protocols, and how it answers.

#include "tests/sim/ReceiverModel.h"
#include "tests/sim/SimNewProto.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

using namespace sim;

namespace {

// The com-direct switch to normal mode as a host sends it: one link frame.
const std::vector<uint8_t> kComDirectNormal = H(
    "24 24"        // link frame
    "01 00 1F"     // stream 1, sequence 0, 31 payload bytes
    "04 11 00"     // message magic, header byte
    "00 00 01 08"  // command id 264
    "00 00 00 01"  // header word
    "00 0C"        // body: 12 bytes
    "00 01 00 02 00 02"  // operation 2 (COM setting)
    "01 08 00 02 00 02"  // 264 com-direct = 2 (normal)
    "00 00 00 00 09 24"  // tail word, trailer
    "0D 0A");

// The power-status query (operation 11, item 772 without a value).
const std::vector<uint8_t> kPowerQuery = H(
    "24 24 01 01 1D"     // stream 1, sequence 1, 29 bytes
    "04 11 00 00 00 00 00 00 00 00 01 00 0A"  // command id 0, body 10 bytes
    "00 01 00 02 00 0B"  // operation 11 (system query)
    "03 04 00 00"        // 772, no value
    "00 00 00 00 09 24 0D 0A");

ReceiverModel NewReceiver() { return ReceiverModel(NewProtocolSettings()); }

std::vector<uint8_t> Feed(ReceiverModel& m, const std::vector<uint8_t>& bytes) {
    return m.Receive(bytes.data(), bytes.size(), m.Settings().baud);
}

// Cuts what the receiver sent back into its messages.
std::vector<NewMessage> Messages(const std::vector<uint8_t>& bytes) {
    MixedCutter cutter;
    MessageReader reader;
    cutter.Append(bytes.data(), bytes.size());
    std::vector<NewMessage> out;
    Frame old;
    LinkFrame link;
    uint8_t byte;
    bool bad;
    for (;;) {
        const auto r = cutter.Next(&old, &link, &byte, &bad);
        if (r == MixedCutter::Result::NeedMore) break;
        if (r != MixedCutter::Result::LinkFrame) continue;
        reader.Append(link);
        NewMessage m;
        while (reader.Next(&m)) out.push_back(m);
    }
    return out;
}

}  // namespace

TEST(SimNewProto, ResponseMessageByteByByte) {
    uint8_t sequence = 250;
    const auto frames = PackLinkFrames(PackMessage(264, 2, {{kItemResponse, BE16(1)}}), 1, sequence);
    EXPECT_EQ(Hex(frames), Hex(H("24 24 01 FA 1F"            // stream 1, sequence 250, 31 bytes
                                  "04 11 00 00 00 01 08"      // magic, header byte, command id 264
                                  "00 00 00 01 00 0C"         // header word, body 12 bytes
                                  "00 01 00 02 00 02"         // operation 2
                                  "00 02 00 02 00 01"         // response status 1
                                  "00 00 00 00 09 24 0D 0A")));
    EXPECT_EQ(sequence, 0) << "after 250 comes 0";
}

TEST(SimNewProto, LongMessagesSpanFramesAndGapsLoseThem) {
    std::vector<uint8_t> text(600, 'x');
    const auto block = PackMessage(7, 47, {{4358, text}});
    uint8_t sequence = 10;
    const auto frames = PackLinkFrames(block, 1, sequence);
    ASSERT_EQ(frames.size(), block.size() + 3 * kLinkOverhead) << "three frames of at most 250 bytes";
    EXPECT_EQ(sequence, 13);

    const auto messages = Messages(frames);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].commandId, 7u);
    EXPECT_EQ(messages[0].operation, 47);
    ASSERT_NE(messages[0].Find(4358), nullptr);
    EXPECT_EQ(messages[0].Find(4358)->value, text);

    // Without the middle frame the joined stream has a gap: the message is
    // lost, and the next one is read as usual.
    std::vector<uint8_t> gapped(frames.begin(), frames.begin() + 257);
    gapped.insert(gapped.end(), frames.begin() + 514, frames.end());
    uint8_t next = 13;
    const auto after = PackLinkFrames(PackMessage(8, 11, {{772, BE32(5)}}), 1, next);
    gapped.insert(gapped.end(), after.begin(), after.end());
    const auto survived = Messages(gapped);
    ASSERT_EQ(survived.size(), 1u);
    EXPECT_EQ(survived[0].commandId, 8u);
}

TEST(SimNewProto, TheLineCarriesBothProtocolsWithoutStalling) {
    MixedCutter cutter;
    // An old "SI" request, a noise byte, then a link frame whose first
    // payload byte (0xF0) read as an old length would wait for 249 bytes.
    const auto bytes = Cat(Cat(H("24 24 53 49 18 00 02 0D 0A"  // "$$SI", head 18, no payload, XOR 02
                                 "5A"),                         // noise
                               H("24 24 01 05 03 F0 F1 F2 0D 0A")),  // stream 1, seq 5, 3 bytes
                           H("24 24 01 06 02 AA"));                // a frame still arriving
    cutter.Append(bytes.data(), bytes.size());
    Frame old;
    LinkFrame link;
    uint8_t byte = 0;
    bool bad = false;
    ASSERT_EQ(cutter.Next(&old, &link, &byte, &bad), MixedCutter::Result::OldFrame);
    EXPECT_EQ(std::string(old.letters, 2), "SI");
    ASSERT_EQ(cutter.Next(&old, &link, &byte, &bad), MixedCutter::Result::Garbage);
    EXPECT_EQ(byte, 0x5A);
    ASSERT_EQ(cutter.Next(&old, &link, &byte, &bad), MixedCutter::Result::LinkFrame);
    EXPECT_EQ(link.sequence, 5);
    EXPECT_EQ(Hex(link.payload), "F0 F1 F2");
    EXPECT_EQ(cutter.Next(&old, &link, &byte, &bad), MixedCutter::Result::NeedMore);
}

TEST(SimNewProto, BadMessagesAreSkippedByteByByte) {
    MessageReader reader;
    // Wrong trailer (09 23), then a body whose item overruns it, then a sound
    // message.
    const auto bad1 = H("04 11 00 00 00 00 01 00 00 00 01 00 06 00 01 00 02 00 0B 00 00 00 00 09 23");
    const auto bad2 = H("04 11 00 00 00 00 02 00 00 00 01 00 0A 00 01 00 02 00 0B 03 04 00 09 00 00 00 00 09 24");
    const auto good = PackMessage(3, 11, {{772, BE32(1)}});
    LinkFrame f;
    f.stream = 1;
    f.sequence = 0;
    f.payload = Cat(Cat(bad1, bad2), good);
    reader.Append(f);
    NewMessage m;
    ASSERT_TRUE(reader.Next(&m));
    EXPECT_EQ(m.commandId, 3u);
    EXPECT_EQ(reader.SkippedBytes(), bad1.size() + bad2.size());
    EXPECT_FALSE(reader.Next(&m));
}

TEST(SimNewProtoReceiver, AnswersComDirectPowerStatusAndDeviceInformation) {
    auto m = NewReceiver();
    const auto reply = Messages(Feed(m, kComDirectNormal));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].commandId, 264u) << "the reply names the command";
    EXPECT_EQ(reply[0].operation, 2);
    ASSERT_NE(reply[0].Find(kItemResponse), nullptr);
    EXPECT_EQ(Hex(reply[0].Find(kItemResponse)->value), "00 01");
    ASSERT_EQ(m.Commands().size(), 1u);
    EXPECT_TRUE(m.Commands()[0].linkMessage);
    EXPECT_EQ(m.Commands()[0].Describe(), "NEW 264 op 2: 01 08=00 02");

    const auto power = Messages(Feed(m, kPowerQuery));
    ASSERT_EQ(power.size(), 1u);
    EXPECT_EQ(power[0].operation, 11);
    ASSERT_NE(power[0].Find(772), nullptr);
    EXPECT_EQ(Hex(power[0].Find(772)->value), "00 00 00 01 42 90 00 00 42 88 00 00")
        << "mains indicator 1, levels 72.0 and 68.0";

    // The old device-information request still has its old answer, with a
    // model code of no old board.
    const auto si = Feed(m, H("24 24 53 49 18 00 02 0D 0A"));
    ASSERT_GE(si.size(), 9u + 128u);
    EXPECT_EQ(Hex(std::vector<uint8_t>(si.begin(), si.begin() + 10)), "24 24 53 49 18 80 51 35 30 41")
        << "\"SI\", 128 payload bytes, model Q50A";
}

TEST(SimNewProtoReceiver, StoresSettingsAndObeysOnlyComDirectInPassThrough) {
    auto m = NewReceiver();
    uint8_t seq = 0;
    // Set the PDOP mask (operation 14, 1104 = 7), then ask for it back.
    auto set = Feed(m, PackLinkFrames(PackMessage(1104, 14, {{1104, {7}}}), 1, seq));
    ASSERT_EQ(Messages(set).size(), 1u);
    auto query = Messages(Feed(m, PackLinkFrames(PackMessage(1104, 15, {{1104, {}}}), 1, seq)));
    ASSERT_EQ(query.size(), 1u);
    EXPECT_EQ(Hex(query[0].Find(1104)->value), "07");
    // A query of something it has no value for goes unanswered.
    EXPECT_TRUE(Feed(m, PackLinkFrames(PackMessage(0, 23, {{1805, {}}}), 1, seq)).empty());

    // Pass-through (264 = 1): answered, then only the switch back is heard.
    EXPECT_EQ(Messages(Feed(m, PackLinkFrames(PackMessage(264, 2, {{264, BE16(1)}}), 1, seq))).size(), 1u);
    EXPECT_EQ(m.Status().mode, WorkMode::PassThrough);
    EXPECT_TRUE(Feed(m, PackLinkFrames(PackMessage(0, 11, {{772, {}}}), 1, seq)).empty());
    EXPECT_EQ(Messages(Feed(m, PackLinkFrames(PackMessage(264, 2, {{264, BE16(2)}}), 1, seq))).size(), 1u);
    EXPECT_EQ(m.Status().mode, WorkMode::Normal);

    // The power-off action is answered, and then nothing is.
    EXPECT_EQ(Messages(Feed(m, PackLinkFrames(PackMessage(771, 10, {{771, {}}}), 1, seq))).size(), 1u);
    EXPECT_TRUE(m.Status().poweredOff);
    EXPECT_TRUE(Feed(m, PackLinkFrames(PackMessage(0, 11, {{772, {}}}), 1, seq)).empty());
}

TEST(SimNewProtoReceiver, KeepsNoPeriodicOutputForTheOldKeepAlive) {
    auto m = NewReceiver();
    Feed(m, PackFrame("RG", kHeadSerial, H("C8")));
    EXPECT_FALSE(m.WantsPeriodic());
}

// A receiver that answers the old device-information request with its
// new-protocol model code but goes silent once the host has switched over:
// it records the com-direct switch and the power-status query and answers
// neither, nor does it obey the switch.
TEST(SimNewProtoReceiver, SilentOnTheNewProtocolAfterTheSwitch) {
    auto settings = NewProtocolSettings();
    settings.answersLinkMessages = false;
    ReceiverModel m(settings);
    const auto si = Feed(m, H("24 24 53 49 18 00 02 0D 0A"));
    ASSERT_GE(si.size(), 9u + 128u);
    EXPECT_EQ(Hex(std::vector<uint8_t>(si.begin(), si.begin() + 10)), "24 24 53 49 18 80 51 35 30 41");

    EXPECT_TRUE(Feed(m, kComDirectNormal).empty());
    EXPECT_TRUE(Feed(m, kPowerQuery).empty());
    uint8_t seq = 2;
    EXPECT_TRUE(Feed(m, PackLinkFrames(PackMessage(264, 2, {{264, BE16(1)}}), 1, seq)).empty());
    EXPECT_EQ(m.Status().mode, WorkMode::Normal) << "the switch to pass-through is not obeyed either";
    ASSERT_EQ(m.Commands().size(), 4u);
    EXPECT_EQ(m.Commands()[1].Describe(), "NEW 264 op 2: 01 08=00 02");
    EXPECT_EQ(m.Commands()[2].Describe(), "NEW 0 op 11: 03 04=");
    EXPECT_EQ(m.Commands()[3].Describe(), "NEW 264 op 2: 01 08=00 01");
    EXPECT_EQ(m.Status().repliesSent, 1u) << "only the device information";
}

// Its network link as the network form reads it (operation 47).
TEST(SimNewProtoReceiver, ReportsItsNetworkLink) {
    auto m = NewReceiver();
    uint8_t seq = 0;
    const auto reply =
        Messages(Feed(m, PackLinkFrames(PackMessage(0, 47, {{4355, {}}, {4361, {}}, {4362, {}}, {4363, {}}}), 1, seq)));
    ASSERT_EQ(reply.size(), 1u);
    ASSERT_NE(reply[0].Find(4355), nullptr);
    const auto& address = reply[0].Find(4355)->value;
    ASSERT_EQ(address.size(), 57u);
    EXPECT_EQ(Hex(std::vector<uint8_t>(address.begin(), address.begin() + 7)), "C0 A8 01 0A 08 35 00")
        << "192.168.1.10, port 2101, not by host name";
    EXPECT_EQ(Hex(reply[0].Find(4361)->value), "00");
    EXPECT_EQ(reply[0].Find(4362)->value, FixedText("RTCM32", 20));
    ASSERT_EQ(reply[0].Find(4363)->value.size(), 70u);
    EXPECT_EQ(reply[0].Find(4363)->value[50], 's') << "the password after the 50-byte user";
}

// Its server type and a caster held by host name, as it keeps them: a
// setting (operation 46) changes what the next query (47) reports.
TEST(SimNewProtoReceiver, KeepsAndReportsItsServerTypeAndHostName) {
    auto settings = NewProtocolSettings();
    SetNetLinkHost(settings, "caster.example.net", 2102);
    ReceiverModel m(settings);
    uint8_t seq = 0;
    auto query = [&] {
        const auto reply =
            Messages(Feed(m, PackLinkFrames(PackMessage(0, 47, {{4355, {}}, {4356, {}}}), 1, seq)));
        EXPECT_EQ(reply.size(), 1u);
        return reply.empty() ? NewMessage{} : reply[0];
    };
    NewMessage reply = query();
    ASSERT_NE(reply.Find(4356), nullptr);
    EXPECT_EQ(Hex(reply.Find(4356)->value), "00 01") << "an NTRIP client";
    ASSERT_NE(reply.Find(4355), nullptr);
    const auto& address = reply.Find(4355)->value;
    ASSERT_EQ(address.size(), 57u);
    // Address 0, port 2102, by name, the name in 50 bytes.
    EXPECT_EQ(Hex(std::vector<uint8_t>(address.begin(), address.begin() + 7)), "00 00 00 00 08 36 01");
    EXPECT_EQ(std::vector<uint8_t>(address.begin() + 7, address.end()), FixedText("caster.example.net", 50));

    const auto accepted = Messages(Feed(m, PackLinkFrames(PackMessage(4356, 46, {{4356, BE16(3)}}), 1, seq)));
    ASSERT_EQ(accepted.size(), 1u);
    ASSERT_NE(accepted[0].Find(kItemResponse), nullptr);
    reply = query();
    ASSERT_NE(reply.Find(4356), nullptr);
    EXPECT_EQ(Hex(reply.Find(4356)->value), "00 03") << "TCP direct, as it was set";
}

// An older firmware that does not know the server type (brantor-sim
// --no-server-type): a query of it alone gets no answer, one with the server
// address beside it the address alone; a setting of it is taken and kept,
// and still not reported.
TEST(SimNewProtoReceiver, LeavesTheServerTypeUnanswered) {
    auto settings = NewProtocolSettings();
    settings.unansweredItems.insert(4356);
    ReceiverModel m(settings);
    uint8_t seq = 0;
    auto query = [&](const std::vector<NewItem>& items) {
        return Messages(Feed(m, PackLinkFrames(PackMessage(0, 47, items), 1, seq)));
    };
    EXPECT_TRUE(query({{4356, {}}}).empty());
    auto reply = query({{4355, {}}, {4356, {}}});
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_NE(reply[0].Find(4355), nullptr);
    EXPECT_EQ(reply[0].Find(4356), nullptr);

    const auto accepted = Messages(Feed(m, PackLinkFrames(PackMessage(4356, 46, {{4356, BE16(3)}}), 1, seq)));
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_NE(accepted[0].Find(kItemResponse), nullptr);
    EXPECT_EQ(Hex(m.Settings().newParams.at(4356)), "00 03");
    EXPECT_TRUE(query({{4356, {}}}).empty());
    EXPECT_EQ(m.Commands().size(), 4u) << "every query is heard";
}
