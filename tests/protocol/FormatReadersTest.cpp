// The common format's frame readers on small byte-level fixtures: each finds
// exactly its frame, waits on every cut of it, and turns a false sync or an
// impossible length into a skip, and pass a sound log too long for the frame
// area over whole.
#include "protocol/FrameReaders.h"

#include "FrameFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

using namespace frame_fixtures;

struct Case {
    const char* name;
    FrameReader reader;
    Bytes bytes;
    FrameResult result;
    int length;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class FrameReaderCases : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(FrameReaderCases, GivesItsResultAndLength) {
    const Case& c = GetParam();
    const FrameCut cut = c.reader(c.bytes.data(), int(c.bytes.size()));
    EXPECT_EQ(cut.result, c.result);
    EXPECT_EQ(cut.length, c.result == FrameResult::Taken || c.result == FrameResult::PassedOver ? c.length : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, FrameReaderCases,
    ::testing::Values(
        Case{"nmea_with_checksum", &ReadNmeaFrame, kGga, FrameResult::Taken, int(kGga.size())},
        Case{"nmea_followed_by_more", &ReadNmeaFrame, Cat(kGga, kGga), FrameResult::Taken, int(kGga.size())},
        Case{"nmea_without_checksum", &ReadNmeaFrame, kTxtNoSum, FrameResult::Taken, int(kTxtNoSum.size())},
        Case{"nmea_lower_case_checksum", &ReadNmeaFrame, Text("$GPGSV,1,1,00*79\r\n$GP"), FrameResult::Taken, 18},
        Case{"nmea_wrong_checksum", &ReadNmeaFrame, Text("$GPGSV,1,1,00*78\r\n"), FrameResult::BadChecksum, 0},
        Case{"nmea_checksum_not_hex", &ReadNmeaFrame, Text("$GPGSV,1,1,00*7G\r\n"), FrameResult::BadChecksum, 0},
        // A sentence cut short runs into the next one: the sum covers both.
        Case{"nmea_cut_into_next", &ReadNmeaFrame, Text("$GPGGA,0927$GPGSV,1,1,00*79\r\n"),
             FrameResult::BadChecksum, 0},
        Case{"nmea_empty_sentence", &ReadNmeaFrame, Text("$GP\r\n$GPGSV"), FrameResult::Malformed, 0},
        Case{"nmea_two_byte_sentence", &ReadNmeaFrame, Text("$GPAB\r\n$GPGSV"), FrameResult::Malformed, 0},
        Case{"nmea_no_end_in_300", &ReadNmeaFrame, Cat(Text("$GP"), Bytes(297, 'A')), FrameResult::Malformed, 0},
        Case{"nmea_no_end_yet", &ReadNmeaFrame, Cat(Text("$GP"), Bytes(295, 'A')), FrameResult::Incomplete, 0},
        Case{"stx", &ReadStxFrame, Cat(kStx, {0x02}), FrameResult::Taken, 9},
        Case{"stx_wrong_checksum", &ReadStxFrame, {0x02, 0x00, 0x40, 0x03, 0x01, 0x02, 0x03, 0x48, 0x03},
             FrameResult::BadChecksum, 0},
        Case{"stx_no_etx", &ReadStxFrame, {0x02, 0x00, 0x40, 0x03, 0x01, 0x02, 0x03, 0x49, 0x04},
             FrameResult::BadChecksum, 0},
        Case{"rtcm3_1005", &ReadRtcm3Frame, kRtcm1005, FrameResult::Taken, 25},
        Case{"rtcm3_256_byte_payload", &ReadRtcm3Frame, Rtcm3(256), FrameResult::Taken, 262},
        Case{"rtcm3_1023_byte_payload", &ReadRtcm3Frame, Rtcm3(1023), FrameResult::Taken, 1029},
        Case{"rtcm3_crc_wrong", &ReadRtcm3Frame,
             {0xD3, 0x00, 0x13, 0x3E, 0xD0, 0x00, 0x02, 0x36, 0xFD, 0xB8, 0x0D, 0xDE, 0x08,
              0x00, 0x5B, 0x2B, 0xC1, 0x08, 0xA7, 0xB9, 0x8D, 0x3D, 0xD8, 0xAB, 0x38},
             FrameResult::BadChecksum, 0},
        Case{"novatel", &ReadNovAtelFrame, NovAtel(72), FrameResult::Taken, 28 + 72 + 4},
        Case{"novatel_largest", &ReadNovAtelFrame, NovAtel(2048 - 32), FrameResult::Taken, 2048},
        Case{"novatel_too_long", &ReadNovAtelFrame, NovAtel(2048 - 31), FrameResult::Malformed, 0},
        Case{"novatel_header_not_28", &ReadNovAtelFrame, NovAtel(8, 0x1B), FrameResult::Malformed, 0},
        Case{"novatel_header_huge", &ReadNovAtelFrame, Bytes{0xAA, 0x44, 0x12, 0xFF}, FrameResult::Malformed, 0},
        Case{"novatel_crc_wrong", &ReadNovAtelFrame,
             [] { Bytes f = NovAtel(8); f[30] ^= 1; return f; }(), FrameResult::BadChecksum, 0},
        // The common format's NovAtel reader: a sound log longer than the frame
        // area is passed over whole (2248 bytes: a TRACKSTAT of a real OEMV);
        // a broken one is a false sync; one it could not hold is malformed.
        Case{"novatel_log_short", &ReadNovAtelLog, NovAtel(72), FrameResult::Taken, 28 + 72 + 4},
        Case{"novatel_log_long", &ReadNovAtelLog, Cat(NovAtel(2216), Text("$GP")), FrameResult::PassedOver, 2248},
        Case{"novatel_log_longest", &ReadNovAtelLog, NovAtel(10240 - 32), FrameResult::PassedOver, 10240},
        Case{"novatel_log_beyond", &ReadNovAtelLog, NovAtel(10240 - 31), FrameResult::Malformed, 0},
        Case{"novatel_log_long_crc_wrong", &ReadNovAtelLog,
             [] { Bytes f = NovAtel(2216); f[1000] ^= 1; return f; }(), FrameResult::BadChecksum, 0},
        Case{"novatel_log_header_not_28", &ReadNovAtelLog, NovAtel(2216, 0x1B), FrameResult::Malformed, 0},
        Case{"bin", &ReadHemisBinFrame, Cat(kBin, Text("$GP")), FrameResult::Taken, 16},
        Case{"bin_sum_wrong", &ReadHemisBinFrame,
             [] { Bytes f = kBin; f[12] = 0x0B; return f; }(), FrameResult::BadChecksum, 0},
        Case{"bin_no_crlf", &ReadHemisBinFrame,
             [] { Bytes f = kBin; f[15] = 'X'; return f; }(), FrameResult::BadChecksum, 0},
        // Data length 2037: 2049 bytes, more than the frame area.
        Case{"bin_too_long", &ReadHemisBinFrame, Bytes{'$', 'B', 'I', 'N', 0x01, 0x00, 0xF5, 0x07},
             FrameResult::Malformed, 0},
        Case{"bin_largest", &ReadHemisBinFrame,
             [] {
                 // Sized once: g++ 12 at -O2 takes the growth of a vector
                 // begun from a short brace list for an overrun.
                 Bytes f(8 + 2036 + 4, 0x01);
                 const Bytes head = {'$', 'B', 'I', 'N', 0x01, 0x00, 0xF4, 0x07};  // data length 2036
                 const Bytes tail = {0xF4, 0x07, '\r', '\n'};                        // sum 2036 = 0x07F4
                 std::copy(head.begin(), head.end(), f.begin());
                 std::copy(tail.begin(), tail.end(), f.end() - 4);
                 return f;
             }(),
             FrameResult::Taken, 2048},
        Case{"reply", &ReadHemisReplyFrame, Cat(kReply, Text("$GPGGA")), FrameResult::Taken, int(kReply.size())},
        Case{"reply_no_end_in_100", &ReadHemisReplyFrame, Cat(Text("$>J"), Bytes(97, 'x')),
             FrameResult::Malformed, 0}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Every cut of a whole frame waits; none is mistaken for a frame or skipped.
TEST(FrameReaders, EveryCutOfAFrameWaits) {
    const struct {
        FrameReader reader;
        Bytes frame;
    } frames[] = {{&ReadNmeaFrame, kGga},         {&ReadNmeaFrame, kTxtNoSum}, {&ReadStxFrame, kStx},
                  {&ReadRtcm3Frame, Rtcm3(300)},  {&ReadNovAtelFrame, NovAtel(40)},
                  {&ReadNovAtelLog, NovAtel(40)}, {&ReadNovAtelLog, NovAtel(2500)},
                  {&ReadHemisBinFrame, kBin},     {&ReadHemisReplyFrame, kReply}};
    for (const auto& f : frames) {
        for (size_t n = 3; n < f.frame.size(); ++n) {
            const FrameCut cut = f.reader(f.frame.data(), int(n));
            EXPECT_EQ(cut.result, FrameResult::Incomplete) << "cut at " << n << " of " << f.frame.size();
        }
        EXPECT_EQ(f.reader(f.frame.data(), int(f.frame.size())).length, int(f.frame.size()));
    }
}

TEST(FrameReaders, HeadsChooseTheBoardsReaders) {
    const auto pick = [](int type, const std::string& head) {
        return SelectFrameReader(type, reinterpret_cast<const uint8_t*>(head.data()));
    };
    const std::string stx = {0x02, 0x00, 0x40}, stxCmr = {0x02, 0x00, char(0x93)};
    const std::string rtcm = {char(0xD3), 0x00, 0x13}, rtcmLong = {char(0xD3), 0x03, char(0xFF)};
    const std::string rtcmFalse = {char(0xD3), 0x04, 0x00}, nov = {char(0xAA), 0x44, 0x12};
    // Trimble BD: any STX, GP/GL sentences, RTCM 3 by its six zero bits.
    EXPECT_EQ(pick(1, stx), &ReadStxFrame);
    EXPECT_EQ(pick(1, "$GP"), &ReadNmeaFrame);
    EXPECT_EQ(pick(1, "$GL"), &ReadNmeaFrame);
    EXPECT_EQ(pick(1, "$GN"), nullptr);
    EXPECT_EQ(pick(1, rtcm), &ReadRtcm3Frame);
    EXPECT_EQ(pick(1, rtcmLong), &ReadRtcm3Frame);
    EXPECT_EQ(pick(1, rtcmFalse), nullptr);
    EXPECT_EQ(pick(1, nov), nullptr);
    // NovAtel: binary logs, four talkers, RTCM 3, CMR packets only.
    EXPECT_EQ(pick(2, nov), &ReadNovAtelLog);
    EXPECT_EQ(pick(2, "$GN"), &ReadNmeaFrame);
    EXPECT_EQ(pick(2, "$BD"), &ReadNmeaFrame);
    EXPECT_EQ(pick(2, rtcmLong), &ReadRtcm3Frame);
    EXPECT_EQ(pick(2, stxCmr), &ReadStxFrame);
    EXPECT_EQ(pick(2, stx), nullptr);
    // Hemisphere: $BIN, $>J replies, GP/GL sentences.
    EXPECT_EQ(pick(4, "$BI"), &ReadHemisBinFrame);
    EXPECT_EQ(pick(4, "$>J"), &ReadHemisReplyFrame);
    EXPECT_EQ(pick(4, "$GL"), &ReadNmeaFrame);
    EXPECT_EQ(pick(4, "$BD"), nullptr);
    EXPECT_EQ(pick(4, rtcm), nullptr);
    // NMEA-only: GP/GL; Unicore: GP/GL/GN/BD.
    EXPECT_EQ(pick(5, "$GP"), &ReadNmeaFrame);
    EXPECT_EQ(pick(5, "$GN"), nullptr);
    EXPECT_EQ(pick(6, "$GN"), &ReadNmeaFrame);
    EXPECT_EQ(pick(6, "$BD"), &ReadNmeaFrame);
    EXPECT_EQ(pick(6, "$BI"), nullptr);
    // Types the common format does not serve recognise nothing.
    for (int type : {0, 3, 7, -1}) {
        EXPECT_EQ(pick(type, "$GP"), nullptr);
        EXPECT_FALSE(IsCommonFormatBoardType(type));
    }
}

// The scan that passes garbage over stops at every byte that a head of the
// board type could begin with: a head added to the selection without its
// first byte here would make the format skip real frames.
TEST(FrameReaders, ScanStopsAtEveryByteAHeadBeginsWith) {
    // Every byte that appears in a head, and a few that do not.
    const uint8_t follow[] = {0x00, 0x02, 0x03, 0x12, 0x13, 0x44, 0x93, 0x98, 0xFF, '$', '>',
                              'B',  'D',  'G',  'I',  'J',  'L',  'N',  'P',  'x'};
    for (int type = 0; type <= 7; ++type) {
        for (int b = 0; b < 256; ++b) {
            bool opens = false;
            for (uint8_t x : follow)
                for (uint8_t y : follow) {
                    const uint8_t head[] = {uint8_t(b), x, y};
                    opens = opens || SelectFrameReader(type, head) != nullptr;
                }
            if (opens) {
                EXPECT_TRUE(CanStartFrame(type, uint8_t(b))) << "type " << type << " byte " << b;
            }
            // The scan finds it behind any run of bytes that open nothing.
            const uint8_t run[] = {'j', 0x00, uint8_t(b), 'k'};
            EXPECT_EQ(FindFrameStart(type, run, 4, 0), CanStartFrame(type, uint8_t(b)) ? 2 : 4)
                << "type " << type << " byte " << b;
        }
    }
    // A head the run begins with is found where the scan starts, not skipped.
    const uint8_t nmea[] = {'$', 'G', 'P'};
    EXPECT_EQ(FindFrameStart(5, nmea, 3, 0), 0);
    EXPECT_EQ(FindFrameStart(5, nmea, 3, 1), 3);
    EXPECT_EQ(FindFrameStart(2, nmea, 3, 5), 3);
}
