// The board framework: the board's receive buffer, the shared recognisers
// (NMEA sentence, RTCM 3 frame, CMR frame), the forwarding operations, the
// NMEA-only and Unicore boards, and the command-builder base.

#include "TestData.h"

#include "protocol/Em_Checksum.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

// A parser that remembers every report handed to it, then decodes as the base.
class RecordingParser : public Em_IRepParser {
public:
    struct Report {
        int id;
        std::string bytes;
    };
    std::vector<Report> reports;

    unsigned Decode_BinFrame(const uint8_t* data, int, unsigned length) override {
        return (data && length) ? 1u : 0u;
    }
    unsigned Decode_Report(int id, const uint8_t* data, unsigned length) override {
        reports.push_back({id, std::string(reinterpret_cast<const char*>(data), length)});
        return Em_IRepParser::Decode_Report(id, data, length);
    }
    void DropHolder() { holder_.reset(); }
};

// A builder that writes down each call with its arguments.
class RecordingBuilder : public Em_ICmdPaker {
public:
    std::vector<std::string> calls;

    void Cmd_Inite(CmdList&, int e) override { calls.push_back("Inite " + std::to_string(e)); }
    void Cmd_PosFrq(CmdList&, GNSS_FRQ f) override { calls.push_back("PosFrq " + std::to_string(f)); }
    void Cmd_Obs(CmdList&, GNSS_FRQ f) override { calls.push_back("Obs " + std::to_string(f)); }
    void Cmd_Ephemeris(CmdList&, GNSS_FRQ f) override { calls.push_back("Ephemeris " + std::to_string(f)); }
    void Cmd_EphemSat(CmdList&, unsigned s) override { calls.push_back("EphemSat " + std::to_string(s)); }
    void Cmd_ElevMask_Set(CmdList&, int m, unsigned s) override {
        calls.push_back("ElevMask_Set " + std::to_string(m) + " " + std::to_string(s));
    }
    void Cmd_SatUse(CmdList&, unsigned s, bool u, unsigned r) override {
        calls.push_back("SatUse " + std::to_string(s) + " " + std::to_string(u) + " " + std::to_string(r));
    }
    void Cmd_Nmea(CmdList&, uint32_t m, GNSS_FRQ f, int e) override {
        calls.push_back("Nmea " + std::to_string(m) + " " + std::to_string(f) + " " + std::to_string(e));
    }
    void Cmd_Nmea_Ex(CmdList&, const std::vector<_set_nmea>& l) override {
        calls.push_back("Nmea_Ex " + std::to_string(l.size()));
    }
    void Cmd_ElevMask(CmdList&) override { calls.push_back("ElevMask"); }
    void Cmd_UnlogData(CmdList&) override { calls.push_back("UnlogData"); }
    void Cmd_StartBase(CmdList&) override { calls.push_back("StartBase"); }
    void Cmd_StartRover(CmdList&) override { calls.push_back("StartRover"); }
    void Cmd_Reset(CmdList&) override { calls.push_back("Reset"); }
    void Cmd_PassCom(CmdList&, int p) override { calls.push_back("PassCom " + std::to_string(p)); }
};

// A board that dispatches as the families carrying corrections do: sentences,
// RTCM 3 frames and CMR frames; anything else is dropped with result 0.
class CorrectionBoard : public EmIMainBoard {
public:
    CorrectionBoard() : EmIMainBoard(MAINBD_TRIMBLE_BD) {
        SetParts(std::make_unique<RecordingParser>(), std::make_unique<RecordingBuilder>());
    }
    unsigned Parse_NextFrame() override {
        if (Buffered() < 3) return 0;
        const uint8_t* p = RecvBuffer()->data;
        if (p[0] == '$') return ParseNmeaSentence();
        if (p[0] == 0xD3 && (p[1] & 0xFC) == 0) return Parse_Rtcm3Frame();
        if (p[0] == 0x02 && (p[2] == 0x93 || p[2] == 0x98)) return Parse_CmrFrame();
        ClearRecvBuffer();
        return 0;
    }
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override {
        return RepParser()->Decode_BinFrame(data, id, length);
    }
    RecordingParser& Parser() { return static_cast<RecordingParser&>(*RepParser()); }
    RecordingBuilder& Builder() { return static_cast<RecordingBuilder&>(*CmdPaker()); }
};

void Append(EmIMainBoard& b, const std::string& s) {
    b.AppendReceived(reinterpret_cast<const uint8_t*>(s.data()), static_cast<unsigned>(s.size()));
}
void Append(EmIMainBoard& b, const std::vector<uint8_t>& v) {
    b.AppendReceived(v.data(), static_cast<unsigned>(v.size()));
}

bool BufferIsClear(const EmIMainBoard& b) {
    const MainBdRecvBuffer* r = b.RecvBuffer();
    if (r->fill != 0 || r->readIndex != 0) return false;
    for (uint8_t c : r->data)
        if (c != 0) return false;
    return true;
}

// An RTCM 3 message 1005 frame.
const std::vector<uint8_t> kRtcm1005 = {
    0xD3, 0x00, 0x13,                                      // preamble, 6 zero bits, length 19
    0x3E, 0xD0, 0x00, 0x03, 0x8A, 0x0E, 0xDE, 0xEF, 0x34,  // message number 1005 (0x3ED), station 0, ...
    0xB4, 0xBD, 0x62, 0xAC, 0x09, 0x41, 0x98, 0x6F, 0x33,  // ... antenna reference point ...
    0x36,                                                  // ... end of payload
    0x88, 0x91, 0xBA,                                      // CRC-24Q
};

// A CMR frame: STX, status, type 93h, length 4, four data bytes, checksum, ETX.
const std::vector<uint8_t> kCmr = {0x02, 0x00, 0x93, 0x04, 0x11, 0x22, 0x33, 0x44, 0x41, 0x03};

}  // namespace

TEST(BoardBuffer, AppendClearsOnOverflowAndHeaderNeedsThreeBytes) {
    Em_MainBd_Common b;
    ASSERT_NE(b.RecvBuffer(), nullptr);
    EXPECT_EQ(b.Type(), MAINBD_NMEA_ONLY);

    Append(b, std::string("$G"));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    EXPECT_EQ(b.RecvBuffer()->fill, 2);

    b.ClearRecvBuffer();
    Append(b, std::vector<uint8_t>(2000, 0x41));
    Append(b, std::vector<uint8_t>(100, 0x42));  // does not fit: all is lost
    EXPECT_TRUE(BufferIsClear(b));

    Append(b, std::vector<uint8_t>(2048, 0x43));  // exactly fits
    EXPECT_EQ(b.RecvBuffer()->fill, 2048);
    Append(b, std::vector<uint8_t>(1, 0x44));
    EXPECT_TRUE(BufferIsClear(b));

    b.AppendReceived(nullptr, 5);
    b.AppendReceived(reinterpret_cast<const uint8_t*>("x"), 0);
    EXPECT_EQ(b.RecvBuffer()->fill, 0);
}

TEST(BoardNmea, SentencesAreHandedOverWithTheirReportId) {
    struct Case {
        const char* sentence;
        int id;
    } cases[] = {
        {"$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n", REPORT_GPGGA},
        {"$GNGLL,5321.6802,N,00630.3372,W,092750.000,A,A*4E\r\n", REPORT_GNGLL},
        {"$GPGSV,1,1,00*79\r\n", REPORT_GPGSV},
        {"$GLGSV,1,1,00*65\r\n", REPORT_GLGSV},
        {"$BDGSV,1,1,00*68\r\n", REPORT_BDGSV},
        {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\r\n", REPORT_UNKNOWN},
        {"$GPXYZ,1,2*00\r\n", REPORT_UNKNOWN},
    };
    for (const Case& c : cases) {
        CorrectionBoard b;
        Append(b, std::string(c.sentence));
        EXPECT_EQ(b.Parse_NextFrame(), 1u) << c.sentence;
        ASSERT_EQ(b.Parser().reports.size(), 1u) << c.sentence;
        EXPECT_EQ(b.Parser().reports[0].id, c.id) << c.sentence;
        EXPECT_EQ(b.Parser().reports[0].bytes, c.sentence);
        EXPECT_TRUE(BufferIsClear(b)) << c.sentence;
    }
}

TEST(BoardNmea, IncompleteWaitsOverlongAndShortAreDropped) {
    CorrectionBoard b;
    const std::string gga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n";
    Append(b, gga.substr(0, 30));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    EXPECT_EQ(b.RecvBuffer()->fill, 30);
    Append(b, gga.substr(30));
    EXPECT_EQ(b.Parse_NextFrame(), 1u);
    ASSERT_EQ(b.Parser().reports.size(), 1u);
    EXPECT_EQ(b.Parser().reports[0].bytes, gga);

    // 301 bytes: too long for a sentence.
    std::string longOne = "$GPGSV," + std::string(289, '1') + "*00\r\n";
    ASSERT_EQ(longOne.size(), 301u);
    Append(b, longOne);
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    EXPECT_TRUE(BufferIsClear(b));

    // Complete but too short to hold an address and a checksum.
    for (const char* shortOne : {"$GP\r\n", "$GPG*\r\n", "$GPGG*0\r\n"}) {
        Append(b, std::string(shortOne));
        EXPECT_EQ(b.Parse_NextFrame(), 0u) << shortOne;
        EXPECT_TRUE(BufferIsClear(b)) << shortOne;
    }
    EXPECT_EQ(b.Parser().reports.size(), 1u);
}

TEST(BoardBoards, CommonTakesGpAndGlUnicoreAlsoGnAndBd) {
    const std::string gngga = "$GNGGA,132819.60,4134.49795459,N,09345.03431408,W,2,10,0.9,278.161,M,-31.442,M,6.6,0133*6A\r\n";
    const std::string bdgsv = "$BDGSV,1,1,01,05,27,090,33*50\r\n";
    const std::string gpgga = "$GPGGA,132820.60,4134.49821229,N,09345.03351845,W,2,09,1.0,278.020,M,-31.442,M,7.6,0133*7E\r\n";

    Em_MainBd_Common common;
    Append(common, gpgga);
    ASSERT_EQ(common.Parse_NextFrame(), 1u);
    EXPECT_EQ(common.RepParser()->ChangedMask, ChangeBits::GgaText);
    const double lat = common.RepParser()->position.latitude;
    // A "$GN" sentence is garbage here: dropped, result 1, and no change bit
    // of the frame before is announced again.
    Append(common, gngga);
    EXPECT_EQ(common.Parse_NextFrame(), 1u);
    EXPECT_EQ(common.RepParser()->ChangedMask, 0u);
    EXPECT_TRUE(BufferIsClear(common));
    EXPECT_EQ(common.RepParser()->position.latitude, lat);
    Append(common, std::string("\x41\x42\x43\x44"));
    EXPECT_EQ(common.Parse_NextFrame(), 1u);
    EXPECT_EQ(common.RepParser()->ChangedMask, 0u);

    Em_MainBd_Unicore unicore;
    EXPECT_EQ(unicore.Type(), MAINBD_UNICORE);
    Append(unicore, gngga);
    ASSERT_EQ(unicore.Parse_NextFrame(), 1u);
    EXPECT_EQ(unicore.RepParser()->ChangedMask, ChangeBits::GgaText);
    EXPECT_EQ(unicore.RepParser()->position.status, 10);
    Append(unicore, bdgsv);
    ASSERT_EQ(unicore.Parse_NextFrame(), 1u);
    EXPECT_EQ(unicore.RepParser()->ChangedMask, ChangeBits::BeidouList);
    EXPECT_EQ(unicore.RepParser()->satLists[SATLIST_BEIDOU].count, 1u);
    Append(unicore, kRtcm1005);  // no RTCM 3 on this board
    EXPECT_EQ(unicore.Parse_NextFrame(), 1u);
    EXPECT_EQ(unicore.RepParser()->ChangedMask, 0u);
}

TEST(BoardBoards, BinaryFramesAndBuilders) {
    Em_MainBd_Common common;
    const uint8_t frame[4] = {1, 2, 3, 4};
    EXPECT_EQ(common.Parse_BinFrame(nullptr, 0, 0), 1u);
    Em_MainBd_Unicore unicore;
    unicore.RepParser()->ChangedMask = 0x1234;
    EXPECT_EQ(unicore.Parse_BinFrame(nullptr, 5, 4), 0u);
    EXPECT_EQ(unicore.Parse_BinFrame(frame, 5, 0), 0u);
    EXPECT_EQ(unicore.RepParser()->ChangedMask, 0x1234u);
    EXPECT_EQ(unicore.Parse_BinFrame(frame, 5, 4), 1u);
    EXPECT_EQ(unicore.RepParser()->ChangedMask, 0u);

    // Neither family sends a board command.
    for (EmIMainBoard* b : std::initializer_list<EmIMainBoard*>{&common, &unicore}) {
        CmdList out;
        b->CmdPaker()->Cmd_Inite(out, 2);
        b->Cmd_StartBase(out);
        b->Cmd_StartRover(out);
        b->Cmd_Reset(out);
        b->Cmd_ElevMask_Set(out, 10, 4);
        b->Cmd_SatUse(out, 3, true, 1);
        b->Cmd_Nmea(out, 0x1FF, GNSS_FRQ_1HZ, 0);
        b->Cmd_Nmea_Ex(out, {{1, 3}});
        b->Cmd_PosFrq(out, GNSS_FRQ_5HZ);
        b->Cmd_Obs(out, GNSS_FRQ_1HZ);
        b->Cmd_Ephemeris(out, GNSS_FRQ_1HZ);
        b->Cmd_EphemSat(out, 5);
        b->Cmd_ElevMask(out);
        b->Cmd_UnlogData(out);
        b->Cmd_PassCom(out, 1);
        EXPECT_TRUE(out.empty());
    }
}

TEST(BoardBoards, ForwardingReachesTheBuilderWithItsArguments) {
    CorrectionBoard b;
    CmdList out;
    b.Cmd_StartBase(out);
    b.Cmd_StartRover(out);
    b.Cmd_Reset(out);
    b.Cmd_ElevMask_Set(out, 15, 4);
    b.Cmd_SatUse(out, 12, true, 1);
    b.Cmd_Nmea(out, 0x101, GNSS_FRQ_2HZ, 7);
    b.Cmd_Nmea_Ex(out, {{1, 3}, {2, 3}});
    b.Cmd_PosFrq(out, GNSS_FRQ_20HZ);
    b.Cmd_Obs(out, GNSS_FRQ_5S);
    b.Cmd_Ephemeris(out, GNSS_FRQ_10S);
    b.Cmd_EphemSat(out, 31);
    b.Cmd_ElevMask(out);
    b.Cmd_UnlogData(out);
    b.Cmd_PassCom(out, 2);
    const std::vector<std::string> expected = {
        "StartBase", "StartRover", "Reset", "ElevMask_Set 15 4", "SatUse 12 1 1", "Nmea 257 11 7",
        "Nmea_Ex 2", "PosFrq 13", "Obs 5", "Ephemeris 6", "EphemSat 31", "ElevMask", "UnlogData", "PassCom 2",
    };
    EXPECT_EQ(b.Builder().calls, expected);

    b.Parser().elevMask = 17;
    EXPECT_EQ(b.Get_ElevMask(), 17u);
}

TEST(BoardRtcm3, FrameIsPassedOnWithItsOwnLength) {
    CorrectionBoard b;
    // The frame followed by two bytes of the next one.
    std::vector<uint8_t> bytes = kRtcm1005;
    bytes.push_back(0xD3);
    bytes.push_back(0x00);
    b.Parser().ChangedMask = 0x1000;
    Append(b, bytes);
    ASSERT_EQ(b.Parse_NextFrame(), 1u);
    EXPECT_EQ(b.Parser().ChangedMask, ChangeBits::Correction);
    EXPECT_TRUE(BufferIsClear(b));
    TRSMT_INFO info;
    b.Parser().Holder()->Get_Info(info);
    EXPECT_EQ(info.length, kRtcm1005.size());
    EXPECT_EQ(info.messageNumber, 1005u);
    EXPECT_EQ(info.type, 1u);
    EXPECT_EQ(std::memcmp(info.data, kRtcm1005.data(), kRtcm1005.size()), 0);
}

TEST(BoardRtcm3, WaitsForTheRestAndDropsABadCrc) {
    CorrectionBoard b;
    Append(b, std::vector<uint8_t>(kRtcm1005.begin(), kRtcm1005.begin() + 2));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    Append(b, std::vector<uint8_t>(kRtcm1005.begin() + 2, kRtcm1005.end() - 1));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);  // one byte short: waits
    EXPECT_EQ(b.RecvBuffer()->fill, static_cast<int>(kRtcm1005.size()) - 1);
    Append(b, std::vector<uint8_t>(kRtcm1005.end() - 1, kRtcm1005.end()));
    EXPECT_EQ(b.Parse_NextFrame(), 1u);

    std::vector<uint8_t> bad = kRtcm1005;
    bad.back() ^= 0x01;
    b.Parser().ChangedMask = 0;
    Append(b, bad);
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    EXPECT_TRUE(BufferIsClear(b));
    EXPECT_EQ(b.Parser().ChangedMask, 0u);
}

TEST(BoardRtcm3, NoHolderMeansNoChangeBit) {
    CorrectionBoard b;
    b.Parser().DropHolder();
    b.Parser().ChangedMask = ChangeBits::GgaText | ChangeBits::Correction;  // left by the frame before
    Append(b, kRtcm1005);
    EXPECT_EQ(b.Parse_NextFrame(), 1u);
    EXPECT_EQ(b.Parser().ChangedMask, 0u);
    EXPECT_TRUE(BufferIsClear(b));
    Append(b, kCmr);
    EXPECT_EQ(b.Parse_NextFrame(), 1u);
    EXPECT_EQ(b.Parser().ChangedMask, 0u);
}

TEST(BoardCmr, FrameGoesToTheCmrProtocol) {
    CorrectionBoard b;
    std::vector<uint8_t> bytes = kCmr;
    Append(b, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 7));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);  // announced 10 bytes, 7 there
    Append(b, std::vector<uint8_t>(bytes.begin() + 7, bytes.end()));
    ASSERT_EQ(b.Parse_NextFrame(), 1u);
    EXPECT_EQ(b.Parser().ChangedMask, ChangeBits::Correction);
    TRSMT_INFO info;
    b.Parser().Holder()->Get_Info(info);
    EXPECT_EQ(info.type, 2u);
    EXPECT_EQ(info.length, kCmr.size());
    EXPECT_EQ(info.messageNumber, 0x041u);  // the 12 bits at bit 24: 04h and the high nibble of 11h
    EXPECT_TRUE(BufferIsClear(b));

    // Cut before its length byte, and again before its checksum and ETX:
    // it waits each time and is handed on whole.
    Append(b, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 3));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    EXPECT_EQ(b.RecvBuffer()->fill, 3);
    Append(b, std::vector<uint8_t>(bytes.begin() + 3, bytes.begin() + 8));
    EXPECT_EQ(b.Parse_NextFrame(), 0u);
    Append(b, std::vector<uint8_t>(bytes.begin() + 8, bytes.end()));
    b.Parser().ChangedMask = 0;
    EXPECT_EQ(b.Parse_NextFrame(), 1u);
    EXPECT_EQ(b.Parser().ChangedMask, ChangeBits::Correction);
    EXPECT_TRUE(BufferIsClear(b));
}

// Every frame of the capture, each fed in random pieces, is recognised once,
// with its message number, and reaches the transmit holder; a frame with a
// flipped bit is dropped alone. Capture: testglo.rtcm3.
TEST(BoardRtcm3, CaptureInRandomPieces) {
    const std::vector<uint8_t> capture = LoadCapture("testglo.rtcm3");
    ASSERT_FALSE(capture.empty());

    // The frames of the capture, found by their preamble, length and CRC.
    std::vector<std::vector<uint8_t>> frames;
    for (size_t i = 0; i + 6 <= capture.size();) {
        const uint8_t* p = capture.data() + i;
        const size_t len = ((p[1] & 3u) << 8) | p[2];
        if (p[0] == 0xD3 && (p[1] & 0xFC) == 0 && i + len + 6 <= capture.size()) {
            const uint32_t crc = uint32_t(p[len + 3]) << 16 | uint32_t(p[len + 4]) << 8 | p[len + 5];
            if (Calc_Crc24q(p, static_cast<int>(len + 3)) == crc) {
                frames.emplace_back(p, p + len + 6);
                i += len + 6;
                continue;
            }
        }
        ++i;
    }
    ASSERT_EQ(frames.size(), 429u);

    const size_t flipped = 100;
    std::mt19937 rng(2011);
    CorrectionBoard b;
    size_t recognised = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        std::vector<uint8_t> frame = frames[k];
        if (k == flipped) frame[5] ^= 0x10;
        size_t at = 0;
        unsigned result = 0;
        while (at < frame.size()) {
            const size_t piece = std::min<size_t>(frame.size() - at, 1 + rng() % 64);
            b.AppendReceived(frame.data() + at, static_cast<unsigned>(piece));
            at += piece;
            result = b.Parse_NextFrame();
            if (at < frame.size()) {
                ASSERT_EQ(result, 0u) << "frame " << k << " taken before its end";
            }
        }
        ASSERT_TRUE(BufferIsClear(b)) << k;
        TRSMT_INFO info;
        b.Parser().Holder()->Get_Info(info);
        if (k == flipped) {
            EXPECT_EQ(result, 0u);
            EXPECT_EQ(info.length, frames[k - 1].size());  // the holder still has the frame before
            continue;
        }
        ASSERT_EQ(result, 1u) << k;
        ++recognised;
        const unsigned number = (unsigned(frame[3]) << 4) | (frame[4] >> 4);
        EXPECT_EQ(info.messageNumber, number) << k;
        ASSERT_EQ(info.length, frame.size()) << k;
        EXPECT_EQ(std::memcmp(info.data, frame.data(), frame.size()), 0) << k;
        EXPECT_EQ(b.Parser().ChangedMask, ChangeBits::Correction) << k;
    }
    EXPECT_EQ(recognised, frames.size() - 1);
}

TEST(CmdPakerBase, SendTextBounds) {
    CmdList out;
    EXPECT_FALSE(Pak_SendText(out, "", 10));
    EXPECT_FALSE(Pak_SendText(out, nullptr, 10));
    const std::string t513(513, 'a');
    EXPECT_FALSE(Pak_SendText(out, t513.c_str(), 10));
    EXPECT_TRUE(out.empty());

    const std::string t512(512, 'b');
    EXPECT_TRUE(Pak_SendText(out, t512.c_str(), 200));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].length, 512u);
    EXPECT_EQ(out[0].delay, 200u);
    EXPECT_EQ(std::memcmp(out[0].data, t512.data(), 512), 0);

    EXPECT_TRUE(Pak_SendText(out, "$JSHOW\r\n", 50));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].length, 8u);
    EXPECT_EQ(std::memcmp(out[1].data, "$JSHOW\r\n", 8), 0);
    for (int i = 8; i < 512; ++i) ASSERT_EQ(out[1].data[i], 0) << i;
}

TEST(CmdPakerBase, SettingsStartWithTheirDefaults) {
    Em_CmdPaker_Common c;
    EXPECT_EQ(c.outputPortIndex, 0u);
    const Base_Config& bs = c.baseConfig;
    EXPECT_EQ(+bs.stationId, 1u);
    EXPECT_STREQ(bs.stationName, "base");
    EXPECT_EQ(+bs.obsInterval, 1u);
    EXPECT_EQ(+bs.outputPort, 1u);
    EXPECT_EQ(+bs.baudRate, 38400u);
    EXPECT_EQ(+bs.correctionType, 3u);
    EXPECT_NEAR(+bs.latitude * 57.29577951308232, 31.17485043, 1e-8);
    EXPECT_NEAR(+bs.longitude * 57.29577951308232, 121.39823174, 1e-8);
    EXPECT_NEAR(+bs.height, 37.512, 1e-6);
    EXPECT_EQ(+bs.elevMask, 10);
    EXPECT_EQ(+bs.pdopMask, 95);
    EXPECT_EQ(+bs.outputRoute, 0u);

    // The rover record as bytes: mask 5, PDOP 95, empty station text, then
    // the words 1, 3, 1, 9600, 0, 2 little-endian.
    uint8_t raw[sizeof(Rover_Config)];
    std::memcpy(raw, &c.roverConfig, sizeof raw);
    const uint8_t expected[36] = {5, 95, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 0,
                                  0, 0, 1, 0, 0, 0, 0x80, 0x25, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(raw, expected, sizeof raw), 0);
}
