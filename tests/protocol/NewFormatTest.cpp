// The new-protocol format: link frames cut out of the receive buffer, their
// payloads joined by stream and sequence, messages cut out of the joined
// store, and every item handed to the board, one callback per message.

#include "NewProtoFixtures.h"
#include "OldCmdFixtures.h"

#include "protocol/Em_Gnss.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_Format_OrvelNew.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;
using namespace newproto_test;

// One item handed to the board.
struct Call {
    int id;
    Bytes value;
    bool operator==(const Call&) const = default;
};

struct Seen {
    std::vector<Call> calls;
    std::vector<std::pair<int, uint32_t>> callbacks;  // (class, bits)
};

// A board that records every item and takes all but the ids the test names;
// the change bits of a taken item are its id.
class RecordingQ50Board : public EmIMainBoard {
public:
    RecordingQ50Board(Seen* seen, std::vector<int> declined) : EmIMainBoard(MAINBD_ORVEL_NEW), seen_(seen),
                                                                 declined_(std::move(declined)) {
        SetParts(std::make_unique<Em_RepParser_Q50>(), nullptr);
    }
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override {
        seen_->calls.push_back({id, Bytes(data, data + length)});
        for (int d : declined_)
            if (d == id) return 0;
        RepParser()->ChangedMask = uint32_t(id);
        return 1;
    }

private:
    Seen* seen_;
    std::vector<int> declined_;
};

class RecordingFormat : public Em_Format_OrvelNew {
public:
    RecordingFormat(RingBuffer& ring, Seen* seen, std::vector<int> declined)
        : Em_Format_OrvelNew(ring), seen_(seen), declined_(std::move(declined)) {}
    bool Reset_GnsMd(MAINBD_OEM_TYPE) override {
        ReplaceMainBoard(std::make_unique<RecordingQ50Board>(seen_, declined_));
        return true;
    }

private:
    Seen* seen_;
    std::vector<int> declined_;
};

void OnData(int messageClass, unsigned bits, const void* context) {
    static_cast<Seen*>(const_cast<void*>(context))->callbacks.push_back({messageClass, bits});
}

// A protocol object for the new protocol over the recording board.
struct Rig {
    explicit Rig(std::vector<int> declined = {})
        : gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW,
               [this, declined](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
                   return std::make_unique<RecordingFormat>(ring, &seen, declined);
               }) {
        const _CALLBACKS_RECEIVER callbacks{&OnData, nullptr};
        gnss.Reg_Callbacks(&callbacks, &seen);
    }
    void Feed(const Bytes& b) {
        gnss.RcvData(b.data(), unsigned(b.size()));
        gnss.ParseData();
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const Call& c : seen.calls) ids.push_back(c.id);
        return ids;
    }
    Seen seen;
    Em_Gnss gnss;
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A reply of operation 15 carrying one item of the given id.
Bytes Reply(uint16_t id, uint8_t tag = 7) { return Message(15, {{id, {tag}}}); }

TEST(NewFormat, LinkPayloadOf250IsAFrameAnd251IsNot) {
    // 19 bytes of message frame, 6 of operation item, 4 of item head: a
    // value of 221 bytes makes the message exactly one 250-byte payload.
    const Bytes message = Message(15, {{1104, Filled(221)}});
    ASSERT_EQ(message.size(), 250u);
    {
        Rig rig;
        rig.Feed(Link(1, 0, message));
        EXPECT_EQ(rig.Ids(), std::vector<int>{1104});
    }
    {
        // Head 24 24 01 00 FB: not a frame. One byte goes, the search goes on
        // and finds the good frame that follows.
        Rig rig;
        Bytes bad = {0x24, 0x24, 0x01, 0x00, 0xFB};
        bad.resize(5 + 251 + 2, 0x00);
        rig.Feed(Cat({bad, Link(1, 0, Reply(1105))}));
        EXPECT_EQ(rig.Ids(), std::vector<int>{1105});
    }
}

TEST(NewFormat, SequenceAndStreamRules) {
    const Bytes message = Reply(1104);  // 30 bytes
    ASSERT_EQ(message.size(), 30u);
    const Bytes first(message.begin(), message.begin() + 12);
    const Bytes second(message.begin() + 12, message.end());
    struct Case {
        const char* what;
        Bytes stream;
        size_t calls;
    };
    const Case cases[] = {
        {"any first sequence", Link(1, 200, message), 1},
        {"7 then 8 joins", Cat({Link(1, 7, first), Link(1, 8, second)}), 1},
        {"7 then 9 loses the first part", Cat({Link(1, 7, first), Link(1, 9, second)}), 0},
        {"250 then 0 joins", Cat({Link(1, 250, first), Link(1, 0, second)}), 1},
        {"250 then 1 is a gap", Cat({Link(1, 250, first), Link(1, 1, second)}), 0},
        {"stream 2 after stream 1 empties the store", Cat({Link(1, 3, first), Link(2, 4, second)}), 0},
        {"a new stream starts afresh", Cat({Link(1, 3, first), Link(2, 4, message)}), 1},
        {"frame without its line end costs one byte",
         Cat({Bytes{0x24, 0x24, 0x01, 0x00, 0x02, 0xAA, 0xBB, 0x0D, 0x0B}, Link(1, 0, message)}), 1},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Feed(c.stream);
        EXPECT_EQ(rig.seen.calls.size(), c.calls) << c.what;
    }
}

TEST(NewFormat, BadMessageHeadsAreSkippedOneByteAtATime) {
    // The bad message carries a good one inside its body, and another good
    // one follows it: skipping one byte finds both, skipping the whole bad
    // message would lose the inner one.
    const Bytes good = Reply(1105);
    Bytes body = {0x00, 0x01, 0x00, 0x02, 0x00, 0x0F};
    const Bytes item = ItemBytes({1104, {5}});
    body.insert(body.end(), item.begin(), item.end());
    body.insert(body.end(), good.begin(), good.end());
    struct Case {
        const char* what;
        Bytes bad;
    };
    const Case cases[] = {
        {"body length 9", MessageAround(body, 0, 9)},
        {"body length 20481", MessageAround(body, 0, 20481)},
        {"trailer 09 23", MessageAround(body, 0, -1, 0x23)},
    };
    for (const Case& c : cases) {
        uint8_t sequence = 0;
        Rig rig;
        rig.Feed(Links(Cat({c.bad, good}), sequence));
        EXPECT_EQ(rig.Ids(), (std::vector<int>{1105, 1105})) << c.what;
    }
}

TEST(NewFormat, OperationCodeGivesTheMessageClass) {
    const std::pair<uint16_t, int> cases[] = {{2, 4},  {3, 4},  {10, 4}, {11, 4}, {38, 4}, {39, 4}, {14, 3},
                                              {15, 3}, {16, 3}, {22, 6}, {23, 6}, {46, 6}, {47, 6}, {50, 6},
                                              {51, 6}, {34, 5}, {35, 5}, {42, 5}, {43, 5}, {99, 0}, {0, 0}};
    for (const auto& [op, expected] : cases) {
        Rig rig;
        rig.Feed(Link(1, 0, Message(op, {{1104, {1}}})));
        ASSERT_EQ(rig.seen.callbacks.size(), 1u) << op;
        EXPECT_EQ(rig.seen.callbacks[0].first, expected) << op;
        EXPECT_EQ(rig.seen.callbacks[0].second, 1104u) << op;
    }
}

TEST(NewFormat, ItemsGoToTheBoardInOrderAndEmptyOnesAreSkipped) {
    Rig rig({1106});
    rig.Feed(Link(1, 0, Message(14, {{1104, {5}}, {1029, {}}, {1106, {1, 2}}, {1105, {9, 9}}}, 77)));
    EXPECT_EQ(rig.seen.calls,
              (std::vector<Call>{{1104, {5}}, {1106, {1, 2}}, {1105, {9, 9}}}));
    // Bits of the taken items only; one callback for the message.
    ASSERT_EQ(rig.seen.callbacks.size(), 1u);
    EXPECT_EQ(rig.seen.callbacks[0], std::make_pair(3, uint32_t(1104 | 1105)));
    auto* format = static_cast<Em_Format_OrvelNew*>(rig.gnss.Format());
    EXPECT_EQ(format->CommandId(), 77u);
}

TEST(NewFormat, AMessageWhoseItemsAreAllDeclinedGivesNoCallback) {
    Rig rig({1104});
    rig.Feed(Link(1, 0, Cat({Reply(1104), Reply(1105)})));
    EXPECT_EQ(rig.Ids(), (std::vector<int>{1104, 1105}));
    EXPECT_EQ(rig.seen.callbacks, (std::vector<std::pair<int, uint32_t>>{{3, 1105}}));
}

TEST(NewFormat, TwoMessagesCompletedByOneFrameAreAnnouncedEach) {
    // The first frame holds the head of message A; the second its end, all
    // of B and the head of C; the third the rest of C.
    const Bytes a = Reply(1104), b = Message(50, {{5379, {0, 2}}}), c = Reply(1105);
    const Bytes all = Cat({a, b, c});
    Rig rig;
    rig.Feed(Link(1, 0, Bytes(all.begin(), all.begin() + 10)));
    rig.Feed(Link(1, 1, Bytes(all.begin() + 10, all.end() - 5)));
    rig.Feed(Link(1, 2, Bytes(all.end() - 5, all.end())));
    EXPECT_EQ(rig.seen.callbacks, (std::vector<std::pair<int, uint32_t>>{{3, 1104}, {6, 5379}, {3, 1105}}));
}

TEST(NewFormat, DataClearDropsAMessageBegunBefore) {
    const Bytes a = Reply(1104);
    Rig rig;
    rig.Feed(Link(1, 0, Bytes(a.begin(), a.begin() + 20)));
    rig.gnss.Data_Clear();
    int start = -1, write = -1;
    static_cast<Em_Format_OrvelNew*>(rig.gnss.Format())->StorePositions(start, write);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(write, 0);
    // The rest of the old message joined to a new one would make garbage; a
    // new message after the clear is read whole, with any sequence number.
    rig.Feed(Link(1, 9, Reply(1105)));
    EXPECT_EQ(rig.Ids(), std::vector<int>{1105});
}

// A stream of many replies, each with its own item id, cut in link frames of
// varying size.
Bytes ManyReplies(int count, std::vector<int>& ids, std::mt19937& random) {
    Bytes stream;
    for (int i = 0; i < count; ++i) {
        const int id = 2000 + i;
        ids.push_back(id);
        const Bytes m = Message(uint16_t(14 + i % 3), {{uint16_t(id), Filled(20 + random() % 80, uint8_t(i))}});
        stream.insert(stream.end(), m.begin(), m.end());
    }
    Bytes out;
    uint8_t sequence = 17;
    for (size_t at = 0; at < stream.size();) {
        const size_t n = std::min<size_t>(1 + random() % 250, stream.size() - at);
        const Bytes f = Link(1, sequence, Bytes(stream.begin() + long(at), stream.begin() + long(at + n)));
        out.insert(out.end(), f.begin(), f.end());
        sequence = uint8_t((sequence + 1) % 251);
        at += n;
    }
    return out;
}

TEST(NewFormat, WholeChunkedAndByteByByteGiveTheSameCalls) {
    std::mt19937 random(18);
    std::vector<int> ids;
    Bytes stream = ManyReplies(40, ids, random);
    // Garbage between frames, including lone dollar signs.
    stream.insert(stream.begin() + 300, {0x24, 0x41, 0x24, 0x24, 0x01});
    Rig whole;
    whole.Feed(stream);
    Rig chunked;
    for (size_t at = 0; at < stream.size();) {
        const size_t n = std::min<size_t>(1 + random() % 97, stream.size() - at);
        chunked.Feed(Bytes(stream.begin() + long(at), stream.begin() + long(at + n)));
        at += n;
    }
    Rig bytewise;
    for (uint8_t b : stream) bytewise.Feed({b});
    ASSERT_FALSE(whole.seen.calls.empty());
    EXPECT_EQ(chunked.seen.calls, whole.seen.calls);
    EXPECT_EQ(bytewise.seen.calls, whole.seen.calls);
    EXPECT_EQ(chunked.seen.callbacks, whole.seen.callbacks);
    EXPECT_EQ(bytewise.seen.callbacks, whole.seen.callbacks);
}

TEST(NewFormat, SoakOfFourHundredMessagesLosesNone) {
    std::mt19937 random(400);
    std::vector<int> ids;
    const Bytes stream = ManyReplies(400, ids, random);
    ASSERT_GT(stream.size(), 30000u);  // the store (20480 bytes) fills more than once
    Rig rig;
    for (size_t at = 0; at < stream.size();) {
        const size_t n = std::min<size_t>(1 + random() % 700, stream.size() - at);
        rig.Feed(Bytes(stream.begin() + long(at), stream.begin() + long(at + n)));
        at += n;
    }
    EXPECT_EQ(rig.Ids(), ids);
    ASSERT_EQ(rig.seen.callbacks.size(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(rig.seen.callbacks[i].second, uint32_t(ids[i])) << i;
}

TEST(NewFormat, DifferentialDataGoesOutAsOneDataLinkCommand) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    std::vector<_STR_CMD> out;
    const uint8_t data[] = {0xAA, 0xBB, 0xCC};
    gnss.Send_DiffDataToGnss(out, data, 3);
    ASSERT_EQ(out.size(), 1u);
    // Block: 04 11 00 | command id 0 | 00 00 00 01 | S = 17 | body | tail | 09 24.
    const Bytes body = oldcmd_test::Hex("00 01 00 02 00 32 15 04 00 07 00 00 00 03 AA BB CC");
    const Bytes block(out[0].data + 5, out[0].data + 5 + out[0].data[4]);
    ASSERT_EQ(block.size(), body.size() + 19);
    EXPECT_EQ(Bytes(block.begin() + 3, block.begin() + 7), Bytes(4, 0));
    EXPECT_EQ(Bytes(block.begin() + 13, block.begin() + 13 + long(body.size())), body);
    EXPECT_EQ(out[0].delay, 0u);
    gnss.Send_DiffDataToGnss(out, data, 0);
    gnss.Send_DiffDataToGnss(out, nullptr, 3);
    EXPECT_EQ(out.size(), 1u);
}

TEST(NewFormat, EveryBoardTypeGivesTheNewProtocolBoard) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    EXPECT_TRUE(gnss.IsOrvelNewProtocolReceiver());
    EXPECT_FALSE(gnss.IsOrvelOldProtocolReceiver());
    EXPECT_EQ(gnss.Get_Mnfctr(), GNSS_MNFCTR_ORVEL);
    for (int t : {1, 2, 0, 7}) {
        EXPECT_TRUE(gnss.Reset_GnsMd(MAINBD_OEM_TYPE(t)));
        ASSERT_NE(gnss.Format(), nullptr);
        EXPECT_NE(dynamic_cast<Em_MainBd_Q50*>(gnss.Format()->MainBoard()), nullptr) << t;
        EXPECT_EQ(gnss.Get_GnsMd(), MAINBD_ORVEL_NEW);
    }
}

// The format follows a board reset only through SwitchProtocolFor: the
// maker's receiver reached on the old protocol is moved to the new-protocol
// format for board type 0 (link kind kept, buffered bytes dropped) and back
// for any other type; other makers keep theirs.
TEST(NewFormat, SwitchProtocolForMovesTheMakersReceiverBetweenTheFormats) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    gnss.Set_Com_Status(COM_STATUS_BLUETOOTH);
    const uint8_t pending[] = {0x24, 0x24, 0x01, 0x00};  // a link frame's head
    gnss.RcvData(const_cast<uint8_t*>(pending), sizeof pending);

    ASSERT_TRUE(gnss.SwitchProtocolFor(MAINBD_ORVEL_NEW));
    ASSERT_NE(dynamic_cast<Em_Format_OrvelNew*>(gnss.Format()), nullptr);
    EXPECT_EQ(gnss.Format()->MainBoard(), nullptr) << "no board until Reset_GnsMd";
    EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_BLUETOOTH);
    ASSERT_TRUE(gnss.Reset_GnsMd(MAINBD_ORVEL_NEW));
    EXPECT_TRUE(gnss.IsOrvelNewProtocolReceiver());
    const Em_IFormat* same = gnss.Format();
    EXPECT_TRUE(gnss.SwitchProtocolFor(MAINBD_ORVEL_NEW));
    EXPECT_EQ(gnss.Format(), same) << "already the format for type 0";

    // The bytes buffered before the switch are gone: a whole reply parses
    // on its own.
    uint8_t sequence = 9;
    // Power status: mains indicator 1, battery levels 72.0 and 68.0.
    Bytes power = U32(1);
    for (uint32_t level : {0x42900000u, 0x42880000u}) {
        const Bytes b = U32(level);
        power.insert(power.end(), b.begin(), b.end());
    }
    auto reply = Links(Message(11, {{772, power}}), sequence);
    gnss.RcvData(reply.data(), unsigned(reply.size()));
    gnss.ParseData();
    EXPECT_EQ(gnss.Get_Battery_Grd(), 7);

    ASSERT_TRUE(gnss.SwitchProtocolFor(MAINBD_HEMISPHERE));
    ASSERT_TRUE(gnss.Reset_GnsMd(MAINBD_HEMISPHERE));
    EXPECT_TRUE(gnss.IsOrvelOldProtocolReceiver());
    EXPECT_EQ(gnss.Get_GnsMd(), MAINBD_HEMISPHERE);
    EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_BLUETOOTH);

    Em_Gnss other(GNSS_MNFCTR_OTHER, MAINBD_TRIMBLE_BD);
    const Em_IFormat* common = other.Format();
    EXPECT_FALSE(other.SwitchProtocolFor(MAINBD_ORVEL_NEW));
    EXPECT_EQ(other.Format(), common);
}

}  // namespace
