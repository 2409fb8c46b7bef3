// The common format over a recording board: what each reader hands to the
// board, what garbage, false syncs and declined frames cost, the board
// choice, the correction records and the board-level slots.
#include "protocol/Em_Format_Common.h"

#include "FrameFixtures.h"
#include "RecordingBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <gtest/gtest.h>

#include <map>

using namespace Fjarnis2011::FJParse;
using namespace frame_fixtures;
using board_test::Recorder;
using board_test::RecordingBoards;

namespace {

// A common format with a recording board of one type over its own buffer.
struct Rig {
    explicit Rig(MAINBD_OEM_TYPE type) : format(*ring, RecordingBoards(&rec)) {
        EXPECT_TRUE(format.Reset_GnsMd(type));
    }
    void Feed(const Bytes& b) { ring->Append(b.data(), unsigned(b.size())); }

    // Runs the format until it returns false; counts the outcomes and the
    // calls that announced change bits.
    void Pump() {
        for (int guard = 0; guard < 1000000; ++guard) {
            const bool again = format.ParseNextFrame();
            ++outcomes[format.LastResult()];
            if (again && format.changeMask != 0) ++announced;
            if (!again) return;
        }
        ADD_FAILURE() << "the format never stopped";
    }
    int Skips() const {
        int n = 0;
        for (auto r : {FrameResult::NotRecognised, FrameResult::BadChecksum, FrameResult::Malformed}) {
            auto it = outcomes.find(r);
            if (it != outcomes.end()) n += it->second;
        }
        return n;
    }
    int Unconsumed() { return ring->Unconsumed(); }

    Recorder rec;
    std::unique_ptr<RingBuffer> ring = std::make_unique<RingBuffer>();
    Em_Format_Common format;
    std::map<FrameResult, int> outcomes;
    int announced = 0;
};

}  // namespace

// Frames of every kind a board type speaks, with garbage before, between and
// after them: the board gets exactly the frames, one announcement each, and
// each run of garbage is passed over in one skip.
TEST(FormatCommon, EachReaderHandsOverExactlyItsFrames) {
    const Bytes junk = {'j', 'u', 'n', 'k', 0x00, 0xFF, 0x41};
    const struct {
        MAINBD_OEM_TYPE type;
        std::vector<Bytes> frames;
    } rows[] = {
        {MAINBD_TRIMBLE_BD, {kStx, kGga, kGlGsv, kRtcm1005, Rtcm3(256), kTxtNoSum}},
        {MAINBD_NOVATEL_OEM, {NovAtel(72), kGnGga, kBdGsv, kRtcm1005, kCmr, kGpGsv, NovAtel(0)}},
        {MAINBD_HEMISPHERE, {kBin, kReply, kGga, kGlGsv}},
        {MAINBD_NMEA_ONLY, {kGga, kGlGsv, kGpGsv}},
        {MAINBD_UNICORE, {kGnGga, kBdGsv, kGga, kGlGsv}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        Rig rig(row.type);
        Bytes stream = junk;
        for (const Bytes& f : row.frames) stream = Cat(Cat(stream, f), junk);
        rig.Feed(stream);
        rig.Pump();
        EXPECT_EQ(rig.rec.frames, row.frames);
        EXPECT_EQ(rig.announced, int(row.frames.size()));
        // No byte of the junk can start a frame: nothing of it waits.
        EXPECT_EQ(rig.Skips(), int(row.frames.size() + 1));
        EXPECT_EQ(rig.Unconsumed(), 0);
        EXPECT_EQ(rig.format.messageClass, 1);
    }
}

TEST(FormatCommon, AStrayByteIsSkippedWithoutAnnouncement) {
    Rig rig(MAINBD_NOVATEL_OEM);
    rig.Feed(Cat({0x41}, kGga));
    EXPECT_TRUE(rig.format.ParseNextFrame());
    EXPECT_EQ(rig.format.LastResult(), FrameResult::NotRecognised);
    EXPECT_EQ(rig.format.changeMask, 0u);
    EXPECT_TRUE(rig.rec.frames.empty());
    EXPECT_TRUE(rig.format.ParseNextFrame());
    EXPECT_EQ(rig.format.LastResult(), FrameResult::Taken);
    EXPECT_NE(rig.format.changeMask, 0u);
    ASSERT_EQ(rig.rec.frames.size(), 1u);
    EXPECT_EQ(rig.rec.frames[0], kGga);
    EXPECT_FALSE(rig.format.ParseNextFrame());
}

// A frame that is not all there waits without consuming anything; the rest
// completes it.
TEST(FormatCommon, AnIncompleteFrameWaitsForItsRest) {
    Rig rig(MAINBD_TRIMBLE_BD);
    const Bytes frame = Rtcm3(300);
    rig.Feed(Bytes(frame.begin(), frame.begin() + 200));
    EXPECT_FALSE(rig.format.ParseNextFrame());
    EXPECT_EQ(rig.format.LastResult(), FrameResult::Incomplete);
    EXPECT_EQ(rig.Unconsumed(), 200);
    rig.Feed(Bytes(frame.begin() + 200, frame.end()));
    rig.Pump();
    EXPECT_EQ(rig.rec.frames, std::vector<Bytes>{frame});
}

// A head that turns out to be no frame costs one byte and the bytes behind it
// that start nothing: the frame that its claimed length would have covered is
// still found.
TEST(FormatCommon, AFalseSyncNeverSwallowsTheFrameBehindIt) {
    const struct {
        const char* name;
        MAINBD_OEM_TYPE type;
        Bytes falseStart;
        Bytes real;
    } rows[] = {
        // STX claiming five data bytes, whose checksum cannot match.
        {"stx", MAINBD_TRIMBLE_BD, {0x02, 0x00, 0x40, 0x05}, kGga},
        // D3 with a length of 19 and no valid CRC.
        {"rtcm3", MAINBD_NOVATEL_OEM, {0xD3, 0x00, 0x13}, kGga},
        {"rtcm3_before_rtcm3", MAINBD_TRIMBLE_BD, {0xD3, 0x00, 0x05}, kRtcm1005},
        // NovAtel sync with a header length of 27, one announcing a message
        // longer than the frame area (checked when all there, and broken), and
        // one announcing more than the format would wait for.
        {"novatel_header", MAINBD_NOVATEL_OEM, {0xAA, 0x44, 0x12, 0x1B}, NovAtel(16)},
        // (message length 0x0808: 2088 bytes, more than the frame area)
        {"novatel_oversize", MAINBD_NOVATEL_OEM, {0xAA, 0x44, 0x12, 0x1C, 0x2A, 0x00, 0x00, 0x20, 0x08, 0x08},
         NovAtel(16)},
        {"novatel_beyond", MAINBD_NOVATEL_OEM, {0xAA, 0x44, 0x12, 0x1C, 0x2A, 0x00, 0x00, 0x20, 0xFF, 0xFF},
         NovAtel(16)},
        // $BIN whose data length covers the real block, with no valid sum.
        {"bin", MAINBD_HEMISPHERE, {'$', 'B', 'I', 'N', 0x01, 0x00, 0x08, 0x00}, kBin},
        // A sentence cut short runs into the next one.
        {"nmea_cut", MAINBD_NMEA_ONLY, Text("$GPGGA,0927"), kGpGsv},
        // Sentences too short to hold an address.
        {"nmea_empty", MAINBD_NMEA_ONLY, Text("$GP\r\n"), kGpGsv},
        {"nmea_two_bytes", MAINBD_UNICORE, Text("$GNAB\r\n"), kGnGga},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(row.type);
        // Enough behind it for the longest claimed length to be all there.
        rig.Feed(Cat(Cat(row.falseStart, row.real), Bytes(2100, 'x')));
        rig.Pump();
        EXPECT_EQ(rig.rec.frames, std::vector<Bytes>{row.real});
        EXPECT_EQ(rig.announced, 1);
        EXPECT_EQ(rig.Unconsumed(), 0);
    }
}

// A sound NovAtel log longer than the frame area (a TRACKSTAT or SATVIS) is a
// real log: it is passed over whole, so a sentence that its body happens to
// hold is no frame, while the frames on both sides of it reach the board,
// however the bytes arrive.
TEST(FormatCommon, ALongSoundLogIsPassedOverWhole) {
    Bytes log = NovAtel(2216);  // 2248 bytes
    std::copy(kGga.begin(), kGga.end(), log.begin() + 500);
    const uint32_t crc = Calc_Crc32(log.data(), int(log.size()) - 4);
    for (int i = 0; i < 4; ++i) log[log.size() - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
    const Bytes stream = Cat(Cat(kGnGga, log), kBdGsv);
    for (size_t chunk : {stream.size(), size_t(1), size_t(700)}) {
        SCOPED_TRACE(chunk);
        Rig rig(MAINBD_NOVATEL_OEM);
        for (size_t at = 0; at < stream.size(); at += chunk) {
            rig.Feed(Bytes(stream.begin() + long(at), stream.begin() + long(std::min(stream.size(), at + chunk))));
            rig.Pump();
        }
        EXPECT_EQ(rig.rec.frames, (std::vector<Bytes>{kGnGga, kBdGsv}));
        EXPECT_EQ(rig.outcomes[FrameResult::PassedOver], 1);
        EXPECT_EQ(rig.Skips(), 0);
        EXPECT_EQ(rig.Unconsumed(), 0);
    }
    // Broken anywhere, it is a false sync: the sentence inside is found.
    Bytes broken = log;
    broken[2000] ^= 1;
    Rig rig(MAINBD_NOVATEL_OEM);
    rig.Feed(Cat(broken, kBdGsv));
    rig.Pump();
    EXPECT_EQ(rig.rec.frames, (std::vector<Bytes>{kGga, kBdGsv}));
}

// A frame the board declines is consumed, announces nothing, does not end
// the pass, and leaves nothing in the board's buffer to join the next one.
TEST(FormatCommon, AFrameTheBoardDeclinesIsConsumedQuietly) {
    Rig rig(MAINBD_NMEA_ONLY);
    rig.rec.rejects = [](const Bytes& f) { return f == kGpGsv; };
    rig.Feed(Cat(Cat(kGpGsv, kGga), kGlGsv));
    rig.Pump();
    EXPECT_EQ(rig.rec.frames, (std::vector<Bytes>{kGpGsv, kGga, kGlGsv}));
    EXPECT_EQ(rig.outcomes[FrameResult::BoardRejected], 1);
    EXPECT_EQ(rig.announced, 2);
    EXPECT_EQ(rig.Unconsumed(), 0);
}

// A frame that changed nothing gives a true result with no change bits.
TEST(FormatCommon, AFrameThatChangedNothingAnnouncesNothing) {
    Rig rig(MAINBD_UNICORE);
    rig.rec.maskFor = [](const Bytes& f) { return f == kGga ? 0u : 0x1000u; };
    rig.Feed(Cat(kGga, kGnGga));
    rig.Pump();
    EXPECT_EQ(rig.rec.frames.size(), 2u);
    EXPECT_EQ(rig.announced, 1);
}

TEST(FormatCommon, BoardChoiceKeepsTheBoardForTypesItCannotServe) {
    Recorder rec;
    auto ring = std::make_unique<RingBuffer>();
    Em_Format_Common format(*ring, RecordingBoards(&rec));
    EXPECT_EQ(format.makerCode, 1);
    for (int t : {1, 2, 4, 5, 6}) {
        EXPECT_TRUE(format.Reset_GnsMd(MAINBD_OEM_TYPE(t))) << t;
        ASSERT_NE(format.MainBoard(), nullptr);
        EXPECT_EQ(format.MainBoard()->Type(), t);
    }
    EXPECT_EQ(rec.boardsMade, 5);
    for (int t : {0, 3, 7, -1}) {
        EXPECT_FALSE(format.Reset_GnsMd(MAINBD_OEM_TYPE(t))) << t;
        EXPECT_EQ(format.MainBoard()->Type(), MAINBD_UNICORE);
    }
    EXPECT_EQ(rec.boardsMade, 5);
}

// Without a board the format cannot tell frames apart: every call drops all
// buffered bytes.
TEST(FormatCommon, WithoutABoardEveryCallEmptiesTheBuffer) {
    auto ring = std::make_unique<RingBuffer>();
    Em_Format_Common format(*ring);
    EXPECT_FALSE(format.Reset_GnsMd(MAINBD_ORVEL_OLD));
    ring->Append(kGga.data(), unsigned(kGga.size()));
    EXPECT_FALSE(format.ParseNextFrame());
    EXPECT_EQ(ring->Unconsumed(), 0);
    EXPECT_FALSE(format.ParseNextFrame());
}

TEST(FormatCommon, TheBoardFactoryMakesTheBoardsThatExist) {
    EXPECT_NE(dynamic_cast<Em_MainBd_Common*>(CreateCommonBoard(MAINBD_NMEA_ONLY).get()), nullptr);
    EXPECT_NE(dynamic_cast<Em_MainBd_Unicore*>(CreateCommonBoard(MAINBD_UNICORE).get()), nullptr);
    for (int t : {0, 3, 7}) EXPECT_EQ(CreateCommonBoard(MAINBD_OEM_TYPE(t)), nullptr) << t;

    // The options the format sets on the boards it makes.
    auto ring = std::make_unique<RingBuffer>();
    Em_Format_Common format(*ring);
    ASSERT_TRUE(format.Reset_GnsMd(MAINBD_NMEA_ONLY));
    EXPECT_EQ(format.MainBoard()->CmdPaker()->outputPortIndex, 1u);
    ASSERT_TRUE(format.Reset_GnsMd(MAINBD_UNICORE));
    EXPECT_EQ(format.MainBoard()->CmdPaker()->outputPortIndex, 0u);

    Recorder rec;
    Em_Format_Common hemis(*ring, RecordingBoards(&rec));
    ASSERT_TRUE(hemis.Reset_GnsMd(MAINBD_HEMISPHERE));
    EXPECT_EQ(hemis.MainBoard()->RepParser()->gpsHold, 1u);
    EXPECT_EQ(hemis.MainBoard()->CmdPaker()->outputPortIndex, 0u);
}

TEST(FormatCommon, CorrectionBytesGoOutInRecordsOfAtMost512) {
    const struct {
        unsigned n;
        std::vector<uint32_t> lengths;
    } rows[] = {{0, {}}, {1, {1}}, {512, {512}}, {513, {512, 1}}, {1100, {512, 512, 76}}, {1024, {512, 512}}};
    auto ring = std::make_unique<RingBuffer>();
    Em_Format_Common format(*ring);
    Bytes data(1100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 13 + 1);
    for (const auto& row : rows) {
        CmdList out;
        format.Send_DiffDataToGnss(out, data.data(), row.n);
        ASSERT_EQ(out.size(), row.lengths.size()) << row.n;
        Bytes sent;
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].length, row.lengths[i]);
            EXPECT_EQ(out[i].delay, 100u);
            sent.insert(sent.end(), out[i].data, out[i].data + out[i].length);
        }
        EXPECT_EQ(sent, Bytes(data.begin(), data.begin() + row.n));
    }
    CmdList out;
    format.Send_DiffDataToGnss(out, nullptr, 10);
    EXPECT_TRUE(out.empty());
}

// The value slots read the board's parsed-record store; the command slots
// reach the board's builder with their arguments; none does anything without
// a board.
TEST(FormatCommon, BoardSlotsReachTheParserAndTheBuilder) {
    Recorder rec;
    auto ring = std::make_unique<RingBuffer>();
    Em_Format_Common format(*ring, RecordingBoards(&rec));

    CmdList out;
    BASEINFO base{1.0, 2.0, 3.0};
    PASSCOMCHAR pass{};
    pass.bytes[0] = 0x55;
    unsigned char gga[1024] = {};
    unsigned ggaLength = 7;
    EXPECT_EQ(format.Pos_Latitude(), 0.0);
    EXPECT_EQ(format.Dop_G(), 0.0);
    EXPECT_EQ(format.Pos_Status(), 0);
    EXPECT_EQ(format.Pos_DiffAge(), -1.0);
    format.Get_Gnss_Baseinfo(base);
    format.Get_PassCom_Char(pass);
    format.Get_Gnss_Gpgga(1, gga, &ggaLength);
    format.Get_Gnss_Inite(out, 0);
    format.Get_Cmd_PassCom(out, 1);
    format.Set_GNSS_ParseNmea(true);
    EXPECT_EQ(base.z, 3.0);
    EXPECT_EQ(pass.bytes[0], 0x55);
    EXPECT_EQ(ggaLength, 7u);
    EXPECT_TRUE(rec.commands.empty());

    ASSERT_TRUE(format.Reset_GnsMd(MAINBD_NOVATEL_OEM));
    Em_IRepParser& p = *format.MainBoard()->RepParser();
    p.position = {0.1, 0.2, 30.0, 4, 2.5};
    p.errors = {0.7, 0.01, 0.02, 0.03, 0.04};
    p.dops = {1.1, 1.2, 1.3, 1.4, 1.5};
    p.speedKnots = 3.5;
    p.courseRad = 1.25;
    p.baseInfo = {10.0, 20.0, 30.0};
    p.passComChar.bytes[83] = 0x7E;
    const std::string text = "$GPGGA,1*00\r\n";
    std::copy(text.begin(), text.end(), p.ggaText);
    p.ggaLength = unsigned(text.size());

    EXPECT_EQ(format.Pos_Latitude(), 0.1);
    EXPECT_EQ(format.Pos_Longitude(), 0.2);
    EXPECT_EQ(format.Pos_Height(), 30.0);
    EXPECT_EQ(format.Pos_Status(), 4);
    EXPECT_EQ(format.Pos_DiffAge(), 2.5);
    EXPECT_EQ(format.Prec_Rms(), 0.7);
    EXPECT_EQ(format.Prec_Horizontal(), 0.04);
    EXPECT_EQ(format.Prec_Height(), 0.03);
    EXPECT_EQ(format.Dop_P(), 1.1);
    EXPECT_EQ(format.Dop_V(), 1.2);
    EXPECT_EQ(format.Dop_H(), 1.3);
    EXPECT_EQ(format.Dop_T(), 1.4);
    EXPECT_EQ(format.Dop_G(), 1.5);
    EXPECT_EQ(format.Rmc_Speed(), 3.5);
    EXPECT_EQ(format.Rmc_Course(), 1.25);
    format.Get_Gnss_Baseinfo(base);
    EXPECT_EQ(base.x, 10.0);
    format.Get_PassCom_Char(pass);
    EXPECT_EQ(pass.bytes[83], 0x7E);
    format.Get_Gnss_Gpgga(1, gga, &ggaLength);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(gga), ggaLength), text);
    p.ggaLength = 5000;  // never more than the store holds
    format.Get_Gnss_Gpgga(1, gga, &ggaLength);
    EXPECT_EQ(ggaLength, 1024u);
    format.Set_GNSS_ParseNmea(true);
    EXPECT_EQ(p.parseNmea, 1);

    format.Get_Gnss_Inite(out, 7);
    format.Get_Gnss_StartBase(out, 0);
    format.Get_Gnss_StartRover(out, 0);
    format.Get_Gnss_Reset(out, 0);
    format.Set_Gnss_ElevDgre(out, 15, 5.0, 4);
    format.Set_Gnss_PosFrq(out, GNSS_FRQ_5HZ);
    format.Send_Gnss_Obs(out, GNSS_FRQ_1HZ);
    format.Send_Gnss_Ephemeris(out, GNSS_FRQ_10S);
    format.Send_Gnss_EphemSat(out, 12);
    format.Set_Gnss_Nmea(out, 0x101, GNSS_FRQ_1HZ, 9);
    format.Set_Gnss_SatUse(out, 3, true, 1);  // other makers' boards: nothing
    format.Get_Gnss_ElevMask(out);
    format.Send_Gnss_UnlogData(out);
    format.Get_Cmd_PassCom(out, 2);
    EXPECT_EQ(rec.commands,
              (std::vector<std::string>{"Inite 7", "StartBase", "StartRover", "Reset", "ElevMask_Set 15 4",
                                        "PosFrq 2", "Obs 3", "Ephemeris 6", "EphemSat 12", "Nmea 257 3 9",
                                        "ElevMask", "UnlogData", "PassCom 2"}));
}
