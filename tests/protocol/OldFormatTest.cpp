// The old-protocol frame format: the "$$" frame check, what the cutter does
// with incomplete frames, garbage, false syncs and forwarded board frames, the
// board choice, and the format behind the protocol object.

#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include "FrameFixtures.h"
#include "OldFrameFixtures.h"
#include "TestData.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/FrameReaders.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Hemis.h"
#include "protocol/boards/Em_MainBd_OrvelR.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"
#include "protocol/boards/Em_MainBd_Trim_BD.h"
#include "protocol/oldproto/Em_DollarPacker.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace old_fixtures;

namespace {

// "SC" with an empty payload: 53 ^ 43 ^ 18 ^ 00 = 08.
const Bytes kSc = {0x24, 0x24,  // "$$"
                   0x53, 0x43,  // "SC"
                   0x18,        // class 8, mode 1
                   0x00,        // no payload
                   0x08,        // XOR
                   0x0D, 0x0A};
const Call kScCall{MSG_TYPE_ORVEL, OldReplyBits::SC};

// A frame read back: its letters and payload.
struct ReadBack {
    OldFrameResult result;
    std::string letters;
    Bytes payload;
};

ReadBack ReadBackFrame(const uint8_t* p, unsigned n) {
    const DollarFrameCut cut = ReadDollarFrame(p, int(n));
    ReadBack r{cut.result, {}, {}};
    if (cut.result != OldFrameResult::Decoded) return r;
    EXPECT_EQ(unsigned(cut.length), n) << "the frame is exactly what the packer wrote";
    r.letters.assign(reinterpret_cast<const char*>(p + 2), 2);
    r.payload.assign(p + 6, p + 6 + p[5]);
    return r;
}

}  // namespace

TEST(OldFormatReader, ChecksTheFrameByItsXor) {
    EXPECT_EQ(ReadDollarFrame(kSc.data(), int(kSc.size())).result, OldFrameResult::Decoded);
    EXPECT_EQ(ReadDollarFrame(kSc.data(), int(kSc.size())).length, 9);
    for (size_t n = 0; n < kSc.size(); ++n)
        EXPECT_EQ(ReadDollarFrame(kSc.data(), int(n)).result, OldFrameResult::Incomplete) << n;
    // Any flipped bit from the letters through the check byte is caught; the
    // second '$' and CR LF are not examined.
    for (size_t at = 2; at <= 6; ++at) {
        Bytes bad = kSc;
        bad[at] ^= 0x01;
        if (at == 5) continue;  // a changed length asks for bytes that are not there
        EXPECT_EQ(ReadDollarFrame(bad.data(), int(bad.size())).result, OldFrameResult::BadChecksum) << at;
    }
    Bytes loose = kSc;
    loose[1] = 'x';
    loose[7] = loose[8] = 0;
    EXPECT_EQ(ReadDollarFrame(loose.data(), int(loose.size())).result, OldFrameResult::BadChecksum)
        << "the second '$' takes part in the XOR";
    loose[1] = '$';
    EXPECT_EQ(ReadDollarFrame(loose.data(), int(loose.size())).result, OldFrameResult::Decoded);
}

// Whatever the packers build, the reader takes back with the same command
// letters and payload.
TEST(OldFormatReader, EveryFrameThePackersMakeIsReadBack) {
    std::mt19937 rng(20260912);
    auto below = [&](unsigned n) { return unsigned(rng() % n); };
    std::vector<_STR_CMD> all;
    std::vector<std::pair<std::string, Bytes>> expected;

    for (int round = 0; round < 300; ++round) {
        const int comStatus = 1 + int(below(2));
        const int mode = DollarPackerMode(comStatus);
        const char letters[2] = {char('A' + below(26)), char('A' + below(26))};

        // Byte payloads of every length.
        Bytes payload(below(256));
        for (auto& b : payload) b = uint8_t(rng());
        _STR_CMD bin{};
        ASSERT_TRUE(PackBinaryCommand(letters, payload.data(), unsigned(payload.size()), bin.data, &bin.length, mode));
        all.push_back(bin);
        expected.push_back({std::string(letters, 2), payload});

        // Text commands of typed tokens, with the payload they stand for.
        std::string text = std::string(letters, 2);
        Bytes tokens;
        while (tokens.size() < 240) {
            const uint32_t v = uint32_t(rng());
            switch (below(5)) {
            case 0:
                text += ",B" + std::to_string(int(v % 384) - 128);
                tokens.push_back(uint8_t(int(v % 384) - 128));
                break;
            case 1:
                text += ",M" + std::to_string(v & 0xFFFF);
                tokens.insert(tokens.end(), {uint8_t(v >> 8), uint8_t(v)});
                break;
            case 2:
                text += " W" + std::to_string(v & 0xFFFF);
                tokens.insert(tokens.end(), {uint8_t(v), uint8_t(v >> 8)});
                break;
            case 3:
                text += ",L" + std::to_string(v);
                tokens.insert(tokens.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
                break;
            default:
                break;
            }
            if (below(8) == 0) break;
        }
        if (below(3) == 0 && tokens.size() < 230) {
            text += ",S a,b c";
            for (char c : std::string(" a,b c")) tokens.push_back(uint8_t(c));
        }
        _STR_CMD txt{};
        ASSERT_TRUE(PackTextCommand(text.c_str(), txt.data, &txt.length, mode, kDollarClassCommand)) << text;
        all.push_back(txt);
        expected.push_back({std::string(letters, 2), tokens});

        // Module packets through the tunnel.
        Bytes data(below(199));
        for (auto& b : data) b = uint8_t(rng());
        const int id = int(below(256));
        _STR_CMD vs{};
        ASSERT_TRUE(PackModuleTunnel(comStatus, id, vs.data, &vs.length, int(data.size()), data.data()));
        Bytes packet = {0x40, uint8_t(id), uint8_t(~id), uint8_t(data.size()), uint8_t(data.size() >> 8)};
        packet.insert(packet.end(), data.begin(), data.end());
        uint8_t x = 0;
        for (uint8_t b : packet) x ^= b;
        packet.push_back(x);
        EXPECT_EQ(vs.length, packet.size() + 9);
        all.push_back(vs);
        expected.push_back({"VS", packet});

        // Differential data in "VD" pieces.
        Bytes diff(below(300));
        for (auto& b : diff) b = uint8_t(rng());
        std::vector<_STR_CMD> vd;
        PackDiffDataFrames(comStatus, vd, diff.data(), unsigned(diff.size()));
        for (size_t k = 0; k < vd.size(); ++k) {
            const size_t from = k * kDollarChunk;
            const size_t to = std::min(diff.size(), from + kDollarChunk);
            all.push_back(vd[k]);
            expected.push_back({"VD", Bytes(diff.begin() + long(from), diff.begin() + long(to))});
        }
    }

    ASSERT_EQ(all.size(), expected.size());
    OldRig rig;
    size_t decoded = 0;
    for (size_t k = 0; k < all.size(); ++k) {
        const ReadBack r = ReadBackFrame(all[k].data, all[k].length);
        ASSERT_EQ(r.result, OldFrameResult::Decoded) << k;
        EXPECT_EQ(r.letters, expected[k].first) << k;
        EXPECT_EQ(r.payload, expected[k].second) << k;
        // The format cuts the same frames out of the joined stream, none
        // skipped; a frame may wait for the next one's bytes to be fed.
        rig.Feed(Bytes(all[k].data, all[k].data + all[k].length));
        while (rig.format.ParseNextFrame()) {
            ASSERT_EQ(rig.format.LastResult(), OldFrameResult::Decoded);
            ASSERT_LT(decoded, expected.size());
            const std::string& l = expected[decoded].first;
            EXPECT_EQ(rig.format.messageId, OldReplyIdFromLetters(uint8_t(l[0]), uint8_t(l[1])));
            ++decoded;
        }
    }
    EXPECT_EQ(decoded, expected.size());
    EXPECT_EQ(rig.Unconsumed(), 0);
}

TEST(OldFormatReader, ReplyIdsByLetters) {
    EXPECT_EQ(OldReplyIdFromLetters('S', 'I'), 147);
    EXPECT_EQ(OldReplyIdFromLetters('V', 'I'), 143);
    EXPECT_EQ(OldReplyIdFromLetters('V', 'M'), 1048);
    EXPECT_EQ(OldReplyIdFromLetters('F', 'H'), 155);
    EXPECT_EQ(OldReplyIdFromLetters('Z', 'Z'), 0x5A5A);
}

TEST(OldFormatCutter, IncompleteFramesWaitAndConsumeNothing) {
    OldRig rig;
    // The first six bytes of an "SI" reply: '$' '$' 'S' 'I', head, length 128.
    const Bytes head = {0x24, 0x24, 0x53, 0x49, 0x18, 0x80};
    EXPECT_TRUE(rig.FeedAndPump(head).empty());
    EXPECT_EQ(rig.format.LastResult(), OldFrameResult::Incomplete);
    EXPECT_EQ(rig.Unconsumed(), 6);
    EXPECT_EQ(rig.format.deviceInfoSeen, 0);

    // The sync of a forwarded board frame alone at the end waits too.
    OldRig board(MAINBD_ORVEL_OLD);
    EXPECT_TRUE(board.FeedAndPump({0xAA}).empty());
    EXPECT_EQ(board.Unconsumed(), 1);
    EXPECT_TRUE(board.FeedAndPump({0x44}).empty());
    EXPECT_EQ(board.Unconsumed(), 2);

    OldRig empty;
    EXPECT_FALSE(empty.format.ParseNextFrame());
    EXPECT_EQ(empty.format.LastResult(), OldFrameResult::Empty);
}

TEST(OldFormatCutter, UnknownRepliesAreConsumedWithoutACallback) {
    OldRig rig;
    rig.Feed(Dollar("ZZ", {0x01, 0x02}));
    EXPECT_TRUE(rig.format.ParseNextFrame());
    EXPECT_EQ(rig.format.LastResult(), OldFrameResult::Decoded);
    EXPECT_EQ(rig.format.messageId, 0x5A5A);
    EXPECT_EQ(rig.format.changeMask, 0u);
    EXPECT_EQ(rig.Unconsumed(), 0);
    // Replies that carry nothing to store: consumed, no callback.
    for (const char* l : {"VD", "VL", "RK"}) EXPECT_TRUE(rig.FeedAndPump(Dollar(l, {0x01})).empty()) << l;
    EXPECT_EQ(rig.Unconsumed(), 0);
}

TEST(OldFormatCutter, ABadChecksumClearsTheLastCallbackAndCostsOneByte) {
    OldRig rig;
    EXPECT_EQ(rig.FeedAndPump(kSc), std::vector<Call>{kScCall});
    EXPECT_EQ(rig.format.messageClass, MSG_TYPE_ORVEL);
    EXPECT_EQ(rig.format.changeMask, OldReplyBits::SC);

    Bytes bad = kSc;
    bad[6] ^= 0xFF;
    rig.Feed(bad);
    EXPECT_TRUE(rig.format.ParseNextFrame());
    EXPECT_EQ(rig.format.LastResult(), OldFrameResult::BadChecksum);
    EXPECT_EQ(rig.format.messageClass, 0);
    EXPECT_EQ(rig.format.changeMask, 0u);
    EXPECT_EQ(rig.Unconsumed(), int(bad.size()) - 1);
}

// A frame whose check fails but which holds a sound frame: the cutter moves on
// byte by byte and decodes the inner frame and everything after it.
TEST(OldFormatCutter, ResynchronisesOnAFrameInsideACorruptedOne) {
    const Bytes inner = kSc;
    Bytes outerPayload = inner;
    outerPayload.push_back(0x77);
    Bytes outer = Dollar("QQ", outerPayload);
    const struct {
        const char* what;
        size_t at;
    } corruptions[] = {{"letter", 2}, {"head byte", 4}, {"check byte", outer.size() - 3}, {"payload", 15}};
    // What follows gives every false sync inside the frame enough bytes to be
    // checked: 40 "SD" battery replies.
    Bytes after;
    for (int k = 0; k < 40; ++k) after = Cat(after, Dollar("SD", {0x64, 0x30, 0x00, 0x00}));
    for (const auto& c : corruptions) {
        Bytes bad = outer;
        bad[c.at] ^= 0x5A;
        OldRig rig;
        const std::vector<Call> calls = rig.FeedAndPump(Cat(Cat({0x13, 0x24}, bad), after));
        ASSERT_FALSE(calls.empty()) << c.what;
        EXPECT_EQ(calls.front(), kScCall) << c.what;
        EXPECT_EQ(calls.size(), 41u) << c.what;
        EXPECT_EQ(rig.format.batteryLevel, 10u);
        EXPECT_EQ(rig.Unconsumed(), 0) << c.what;
    }
}

TEST(OldFormatCutter, ForwardedBoardFramesGoToTheMakersOwnBoardOnly) {
    using frame_fixtures::NovAtel;
    const Bytes log = NovAtel(30);  // its body holds no '$'

    OldRig own(MAINBD_ORVEL_OLD);
    own.rec.maskFor = [](const Bytes&) { return 0x1234u; };
    EXPECT_EQ(own.FeedAndPump(Cat(log, kSc)), (std::vector<Call>{{MSG_TYPE_GNSS, 0x1234u}, kScCall}));
    ASSERT_EQ(own.rec.frames.size(), 1u);
    EXPECT_EQ(own.rec.frames[0], log);

    // Another board: the frame's bytes are garbage, dropped one at a time.
    OldRig other(MAINBD_NOVATEL_OEM);
    EXPECT_EQ(other.FeedAndPump(Cat(log, kSc)), std::vector<Call>{kScCall});
    EXPECT_TRUE(other.rec.frames.empty());

    // A frame the board declines is still consumed; the next one is decoded.
    OldRig declines(MAINBD_ORVEL_OLD);
    declines.rec.rejects = [](const Bytes&) { return true; };
    EXPECT_EQ(declines.FeedAndPump(Cat(log, kSc)), std::vector<Call>{kScCall});
    EXPECT_EQ(declines.rec.frames.size(), 1u);
}

// The hand-off never waits for a frame that cannot come: a header length other
// than 28, a frame longer than 2048 bytes, a wrong CRC or a false sync are
// garbage, and the cutter moves on.
TEST(OldFormatCutter, ForwardedFramesThatCannotBeSoundAreGarbage) {
    using frame_fixtures::NovAtel;
    Bytes wrongCrc = NovAtel(10);
    wrongCrc.back() ^= 1;
    Bytes tooLong = NovAtel(10);
    tooLong[8] = 0xFF;  // message length 0x07FF + 28 + 4 > 2048
    tooLong[9] = 0x07;
    const struct {
        const char* what;
        Bytes frame;
    } rows[] = {
        {"header length 27", NovAtel(10, 27)},
        {"longer than 2048 bytes", tooLong},
        {"wrong CRC", wrongCrc},
        {"44 13", {0xAA, 0x44, 0x13, 0x1C}},
    };
    for (const auto& row : rows) {
        OldRig rig(MAINBD_ORVEL_OLD);
        EXPECT_EQ(rig.FeedAndPump(Cat(row.frame, kSc)), std::vector<Call>{kScCall}) << row.what;
        EXPECT_TRUE(rig.rec.frames.empty()) << row.what;
        EXPECT_EQ(rig.Unconsumed(), 0) << row.what;
    }
    // A sound frame not all there yet waits, then goes whole to the board.
    const Bytes log = NovAtel(100);
    OldRig rig(MAINBD_ORVEL_OLD);
    EXPECT_TRUE(rig.FeedAndPump(Bytes(log.begin(), log.begin() + 60)).empty());
    EXPECT_EQ(rig.Unconsumed(), 60);
    rig.FeedAndPump(Bytes(log.begin() + 60, log.end()));
    ASSERT_EQ(rig.rec.frames.size(), 1u);
    EXPECT_EQ(rig.rec.frames[0], log);
}

// A real NovAtel OEMV stream (oemv_head64k.gps) forwarded by the receiver: the
// maker's own board gets exactly the frames that the common format's reader
// cuts from the same bytes, and the cut last frame waits.
TEST(OldFormatCutter, ForwardedNovAtelCaptureReachesTheBoardFrameByFrame) {
    const Bytes capture = LoadCapture("oemv_head64k.gps");
    ASSERT_FALSE(capture.empty());

    std::vector<Bytes> expected;
    for (size_t at = 0; at + 3 <= capture.size();) {
        const uint8_t* p = capture.data() + at;
        const int n = int(capture.size() - at);
        if (p[0] == 0xAA && p[1] == 0x44 && p[2] == 0x12) {
            const FrameCut cut = ReadNovAtelFrame(p, n);
            if (cut.result == FrameResult::Incomplete) break;
            if (cut.result == FrameResult::Taken) {
                expected.emplace_back(p, p + cut.length);
                at += size_t(cut.length);
                continue;
            }
        }
        ++at;
    }
    ASSERT_GT(expected.size(), 40u);

    OldRig rig(MAINBD_ORVEL_OLD);
    for (size_t at = 0; at < capture.size(); at += 1000) {
        rig.Feed(Bytes(capture.begin() + long(at), capture.begin() + long(std::min(capture.size(), at + 1000))));
        rig.Pump();
    }
    EXPECT_EQ(rig.rec.frames, expected);
    EXPECT_GT(rig.Unconsumed(), 0) << "the cut last frame waits";
}

TEST(OldFormatCutter, BoardOutputInRgRepliesGoesToTheBoard) {
    OldRig rig(MAINBD_NOVATEL_OEM);
    rig.rec.maskFor = [](const Bytes&) { return 0x20000u; };
    const Bytes gga = frame_fixtures::kGga;
    EXPECT_EQ(rig.FeedAndPump(Dollar("RG", gga)), (std::vector<Call>{{MSG_TYPE_GNSS, 0x20000u}}));
    ASSERT_EQ(rig.rec.frames.size(), 1u);
    EXPECT_EQ(rig.rec.frames[0], gga);

    // Without a board the output is consumed and nothing follows.
    OldRig none(MAINBD_NOVATEL_OEM, false);
    EXPECT_TRUE(none.FeedAndPump(Cat(Dollar("RG", gga), frame_fixtures::NovAtel(4))).empty());
    EXPECT_EQ(none.Unconsumed(), 0);
}

TEST(OldFormatBoards, BoardByTypeWithItsSettings) {
    const struct {
        MAINBD_OEM_TYPE asked;
        MAINBD_OEM_TYPE made;
    } rows[] = {
        {MAINBD_TRIMBLE_BD, MAINBD_TRIMBLE_BD}, {MAINBD_NOVATEL_OEM, MAINBD_NOVATEL_OEM},
        {MAINBD_ORVEL_OLD, MAINBD_ORVEL_OLD},   {MAINBD_HEMISPHERE, MAINBD_HEMISPHERE},
        {MAINBD_ORVEL_NEW, MAINBD_NOVATEL_OEM}, {MAINBD_NMEA_ONLY, MAINBD_NOVATEL_OEM},
        {MAINBD_UNICORE, MAINBD_NOVATEL_OEM},   {MAINBD_OEM_TYPE(9), MAINBD_NOVATEL_OEM},
    };
    for (const auto& row : rows) {
        OldRig rig(row.asked);
        ASSERT_NE(rig.format.MainBoard(), nullptr);
        EXPECT_EQ(rig.format.MainBoard()->Type(), row.made) << row.asked;
        EXPECT_EQ(rig.format.MainBoard()->CmdPaker()->outputPortIndex, 1u) << row.asked;
        // Hemisphere GPS tables and, for a board told to be NovAtel, all its
        // tables are completed by the board's own reports.
        const bool held = row.made == MAINBD_HEMISPHERE || row.asked == MAINBD_NOVATEL_OEM;
        EXPECT_EQ(rig.format.MainBoard()->RepParser()->gpsHold, held ? 1u : 0u) << row.asked;
        EXPECT_EQ(rig.format.MainBoard()->RepParser()->gloHold, row.asked == MAINBD_NOVATEL_OEM ? 1u : 0u);
        EXPECT_EQ(rig.format.MainBoard()->RepParser()->bdsHold, row.asked == MAINBD_NOVATEL_OEM ? 1u : 0u);
    }
    OldRig rig(MAINBD_TRIMBLE_BD);
    EXPECT_TRUE(rig.format.Reset_GnsMd(MAINBD_ORVEL_OLD));
    EXPECT_EQ(rig.rec.boardsMade, 2);
    EXPECT_EQ(rig.format.MainBoard()->Type(), MAINBD_ORVEL_OLD);
}

// A factory that has no board for a type leaves the format with the board it
// had; the library's own factory has a board for every type: the NovAtel
// family (which also stands for types these receivers do not carry), and the
// maker's own board for type 3.
TEST(OldFormatBoards, AFactoryWithoutABoardKeepsTheCurrentOne) {
    board_test::Recorder rec;
    RingBuffer ring;
    const BoardFactory partial = [&rec](MAINBD_OEM_TYPE t) -> std::unique_ptr<EmIMainBoard> {
        if (t == MAINBD_ORVEL_OLD) return nullptr;
        return std::make_unique<board_test::RecordingBoard>(t, &rec);
    };
    Em_Format_OrvelNav format(ring, partial);
    EXPECT_TRUE(format.Reset_GnsMd(MAINBD_HEMISPHERE));
    EXPECT_FALSE(format.Reset_GnsMd(MAINBD_ORVEL_OLD));
    ASSERT_NE(format.MainBoard(), nullptr);
    EXPECT_EQ(format.MainBoard()->Type(), MAINBD_HEMISPHERE);

    for (int t = 0; t <= 7; ++t) {
        const std::unique_ptr<EmIMainBoard> made = CreateOrvelNavBoard(MAINBD_OEM_TYPE(t));
        ASSERT_NE(made, nullptr) << t;
        if (t == MAINBD_ORVEL_OLD) {
            EXPECT_NE(dynamic_cast<Em_MainBd_OrvelR*>(made.get()), nullptr) << t;
            EXPECT_EQ(made->Type(), t);
        } else if (t == MAINBD_TRIMBLE_BD) {
            EXPECT_NE(dynamic_cast<Em_MainBd_Trim_BD*>(made.get()), nullptr) << t;
        } else if (t == MAINBD_HEMISPHERE) {
            EXPECT_NE(dynamic_cast<Em_MainBd_Hemis*>(made.get()), nullptr) << t;
        } else {
            EXPECT_NE(dynamic_cast<Em_MainBd_NovAt_OEM*>(made.get()), nullptr) << t;
            EXPECT_EQ(made->Type(), MAINBD_NOVATEL_OEM) << t;
        }
    }
    Em_Format_OrvelNav library(ring);
    EXPECT_TRUE(library.Reset_GnsMd(MAINBD_TRIMBLE_BD));
    ASSERT_NE(library.MainBoard(), nullptr);
    EXPECT_EQ(library.MainBoard()->Type(), MAINBD_TRIMBLE_BD);

    Em_Format_OrvelNav bare(ring, [](MAINBD_OEM_TYPE) { return std::unique_ptr<EmIMainBoard>(); });
    EXPECT_FALSE(bare.Reset_GnsMd(MAINBD_TRIMBLE_BD));
    EXPECT_EQ(bare.MainBoard(), nullptr);
    // Without a board the maker's replies are still decoded.
    ring.Append(kSc.data(), unsigned(kSc.size()));
    EXPECT_TRUE(bare.ParseNextFrame());
    EXPECT_EQ(bare.changeMask, OldReplyBits::SC);
}

TEST(OldFormatFacade, TheMakersOldReceiversGetThisFormat) {
    for (auto [m, t] : {std::pair{GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM}, std::pair{GNSS_MANUFACTURER(5), MAINBD_ORVEL_OLD},
                        std::pair{GNSS_MNFCTR_ORVEL, MAINBD_TRIMBLE_BD}}) {
        Em_Gnss gnss(m, t);
        EXPECT_EQ(gnss.Get_Mnfctr(), GNSS_MNFCTR_ORVEL);
        EXPECT_NE(dynamic_cast<Em_Format_OrvelNav*>(gnss.Format()), nullptr);
    }
    Em_Gnss gnss(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    gnss.Reset_Mnfctr(GNSS_MNFCTR_ORVEL);
    EXPECT_NE(dynamic_cast<Em_Format_OrvelNav*>(gnss.Format()), nullptr);
}

namespace {

std::vector<Call> g_calls;
void Collect(int messageClass, unsigned bits, const void*) { g_calls.push_back({messageClass, bits}); }

}  // namespace

// Through the protocol object, with recording boards: one callback per reply
// that changed data, in order, within one ParseData; the link kind reaches the
// differential-data frames.
TEST(OldFormatFacade, ParseDataAnnouncesEveryDecodedReply) {
    board_test::Recorder rec;
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM,
                 [&rec](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
                     return std::make_unique<Em_Format_OrvelNav>(ring, board_test::RecordingBoards(&rec));
                 });
    ASSERT_TRUE(gnss.IsOrvelOldProtocolReceiver());
    const _CALLBACKS_RECEIVER cbs{&Collect, nullptr};
    gnss.Reg_Callbacks(&cbs, nullptr);
    g_calls.clear();
    const Bytes stream = Cat(Cat(Cat(Cat(kSc, Text("garbage")), Dollar("ZZ", {})), Dollar("SX", {})),
                             Dollar("SD", {0x00, 0x4B, 0x00, 0x00}));
    gnss.RcvData(stream.data(), unsigned(stream.size()));
    gnss.ParseData();
    EXPECT_EQ(g_calls, (std::vector<Call>{kScCall, {MSG_TYPE_ORVEL, OldReplyBits::SX},
                                          {MSG_TYPE_ORVEL, OldReplyBits::Battery}}));

    gnss.Set_Com_Status(COM_STATUS_BLUETOOTH);
    std::vector<_STR_CMD> cmds;
    Bytes diff(111, 0x5A);
    gnss.Send_DiffDataToGnss(cmds, diff.data(), unsigned(diff.size()));
    ASSERT_EQ(cmds.size(), 3u);
    const unsigned sizes[] = {55, 55, 1};
    for (size_t k = 0; k < 3; ++k) {
        const ReadBack r = ReadBackFrame(cmds[k].data, cmds[k].length);
        EXPECT_EQ(r.letters, "VD");
        EXPECT_EQ(r.payload.size(), sizes[k]);
        EXPECT_EQ(cmds[k].data[4], 0x38) << "class 8, Bluetooth mode 3";
        EXPECT_EQ(cmds[k].delay, 10u);
    }
}
