// Every capture of the shared test data through the protocol object, under
// every frame format and board it can meet, compared with a recorded table:
// how many frames each board was handed and which (a digest of their bytes, in
// order), and how many data callbacks came and with which arguments. The table
// was recorded from the byte-at-a-time cutter; a faster cutter must find the
// same frames in the same order and announce the same changes, whatever the
// chunking of the reads.
//
// To print the table of the current code instead of comparing it:
//   BRANTOR_PRINT_CAPTURE_TABLE=1 test_protocol --gtest_filter='CaptureTable.*'
#include "protocol/Em_Gnss.h"

#include "RecordingBoard.h"
#include "TestData.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;
using board_test::Bytes;
using board_test::Recorder;
using board_test::RecordingBoards;

namespace {

enum class Rig {
    CommonRecording,  // other makers' format, a recording board of the type
    CommonLibrary,    // other makers' format, the library's own board
    OldRecording,     // the maker's old "$$" format, a recording board
};

struct Row {
    const char* file;
    Rig rig;
    MAINBD_OEM_TYPE type;
    unsigned frames;       // frames handed to the board (recording boards only)
    uint32_t frameDigest;  // over the lengths and bytes of those frames, in order
    unsigned calls;        // data callbacks
    uint32_t callDigest;   // over their message classes and change bits, in order
};

struct Outcome {
    unsigned frames = 0, calls = 0;
    uint32_t frameDigest = 2166136261u, callDigest = 2166136261u;
};

void Mix(uint32_t& h, uint32_t v) {
    for (int k = 0; k < 4; ++k) h = (h ^ ((v >> (8 * k)) & 0xFFu)) * 16777619u;
}

void OnData(int messageClass, unsigned bits, const void* context) {
    auto* out = static_cast<Outcome*>(const_cast<void*>(context));
    ++out->calls;
    Mix(out->callDigest, uint32_t(messageClass));
    Mix(out->callDigest, bits);
}

// Feeds the capture in reads of the sizes `next` gives, parsing after each.
template <typename NextSize>
Outcome Replay(const std::vector<uint8_t>& data, Rig rig, MAINBD_OEM_TYPE type, NextSize next) {
    Outcome out;
    Recorder rec;
    Em_Gnss::FormatFactory formats;
    GNSS_MANUFACTURER maker = GNSS_MNFCTR_OTHER;
    if (rig == Rig::CommonRecording)
        formats = [&rec](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
            return std::make_unique<Em_Format_Common>(ring, RecordingBoards(&rec));
        };
    if (rig == Rig::OldRecording) {
        maker = GNSS_MNFCTR_ORVEL;
        formats = [&rec](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
            return std::make_unique<Em_Format_OrvelNav>(ring, RecordingBoards(&rec));
        };
    }
    Em_Gnss g(maker, type, formats);
    EXPECT_EQ(g.Get_GnsMd(), type);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, &out);
    g.Format()->Set_GNSS_ParseNmea(true);
    for (size_t at = 0; at < data.size();) {
        const size_t n = std::min(next(), data.size() - at);
        g.RcvData(data.data() + at, unsigned(n));
        g.ParseData();
        at += n;
    }
    for (const Bytes& f : rec.frames) {
        ++out.frames;
        Mix(out.frameDigest, uint32_t(f.size()));
        for (uint8_t b : f) out.frameDigest = (out.frameDigest ^ b) * 16777619u;
    }
    return out;
}

const char* RigName(Rig r) {
    switch (r) {
    case Rig::CommonRecording: return "Rig::CommonRecording";
    case Rig::CommonLibrary: return "Rig::CommonLibrary";
    case Rig::OldRecording: return "Rig::OldRecording";
    }
    return "?";
}

// Recorded from the byte-at-a-time cutter, reads of 2048 bytes.
const std::vector<Row> kTable = {
    {"nmea-rtk.log", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 144, 0x04D6914Eu, 144, 0xB6A8B247u},
    {"nmea-rtk.log", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 244, 0x848EAE93u, 244, 0xB2E7E9FBu},
    {"nmea-rtk.log", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 144, 0x04D6914Eu, 144, 0xB6A8B247u},
    {"nmea-rtk.log", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 144, 0x04D6914Eu, 144, 0xB6A8B247u},
    {"nmea-rtk.log", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 244, 0x848EAE93u, 244, 0xB2E7E9FBu},
    {"nmea-rtk.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 244, 0x6449D7C6u},
    {"nmea-rtk.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 144, 0x23969A6Au},
    {"nmea-rtk.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 244, 0x6449D7C6u},
    {"nmea-rtk.log", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"nmea-fuzzy-cases.log", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 14, 0xB2DA2072u, 14, 0x5D847735u},
    {"nmea-fuzzy-cases.log", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 28, 0xE69CEBA7u, 28, 0x2C4608E5u},
    {"nmea-fuzzy-cases.log", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 14, 0xB2DA2072u, 14, 0x5D847735u},
    {"nmea-fuzzy-cases.log", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 14, 0xB2DA2072u, 14, 0x5D847735u},
    {"nmea-fuzzy-cases.log", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 28, 0xE69CEBA7u, 28, 0x2C4608E5u},
    {"nmea-fuzzy-cases.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 28, 0xE17BDB5Eu},
    {"nmea-fuzzy-cases.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 14, 0x259DAD3Bu},
    {"nmea-fuzzy-cases.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 28, 0xE17BDB5Eu},
    {"nmea-fuzzy-cases.log", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"beidou-bd.log", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 22, 0x8215E87Cu, 22, 0xA36AB4FEu},
    {"beidou-bd.log", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 68, 0xE4D44CD4u, 68, 0x9ACA5822u},
    {"beidou-bd.log", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 22, 0x8215E87Cu, 22, 0xA36AB4FEu},
    {"beidou-bd.log", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 22, 0x8215E87Cu, 22, 0xA36AB4FEu},
    {"beidou-bd.log", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 68, 0xE4D44CD4u, 68, 0x9ACA5822u},
    {"beidou-bd.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 30, 0x9E1959F2u},
    {"beidou-bd.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 12, 0x75068E85u},
    {"beidou-bd.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 34, 0x53DEE8F2u},
    {"beidou-bd.log", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"bu353-glonass.log", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 55, 0x517272A1u, 55, 0x672E8ADEu},
    {"bu353-glonass.log", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 112, 0x85DFCB5Fu, 112, 0x9280EAB5u},
    {"bu353-glonass.log", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 55, 0x517272A1u, 55, 0x672E8ADEu},
    {"bu353-glonass.log", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 55, 0x517272A1u, 55, 0x672E8ADEu},
    {"bu353-glonass.log", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 112, 0x85DFCB5Fu, 112, 0x9280EAB5u},
    {"bu353-glonass.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 75, 0x8BD4D9C8u},
    {"bu353-glonass.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 24, 0x159956FDu},
    {"bu353-glonass.log", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 81, 0x1D8C3600u},
    {"bu353-glonass.log", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 429, 0xBCF992ABu, 429, 0x230FA6B4u},
    {"testglo.rtcm3", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 429, 0xBCF992ABu, 429, 0x230FA6B4u},
    {"testglo.rtcm3", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 429, 0xDC81BFC4u},
    {"testglo.rtcm3", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"testglo.rtcm3", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 55, 0x5A5A369Eu, 55, 0x485A0499u},
    {"oemv_head64k.gps", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 32, 0x6FD47B05u},
    {"oemv_head64k.gps", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"oemv_head64k.gps", Rig::OldRecording, MAINBD_OEM_TYPE(3), 55, 0x5A5A369Eu, 55, 0x485A0499u},
    {"cres_head64k.bin", Rig::CommonRecording, MAINBD_OEM_TYPE(1), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonRecording, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonRecording, MAINBD_OEM_TYPE(4), 470, 0x124105CEu, 470, 0x5B9336A3u},
    {"cres_head64k.bin", Rig::CommonRecording, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonRecording, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonLibrary, MAINBD_OEM_TYPE(2), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonLibrary, MAINBD_OEM_TYPE(5), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::CommonLibrary, MAINBD_OEM_TYPE(6), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
    {"cres_head64k.bin", Rig::OldRecording, MAINBD_OEM_TYPE(3), 0, 0x811C9DC5u, 0, 0x811C9DC5u},
};

const char* const kCaptures[] = {"nmea-rtk.log",  "nmea-fuzzy-cases.log", "beidou-bd.log",   "bu353-glonass.log",
                                 "testglo.rtcm3", "oemv_head64k.gps",     "cres_head64k.bin"};

struct Config {
    Rig rig;
    MAINBD_OEM_TYPE type;
};
const Config kConfigs[] = {
    {Rig::CommonRecording, MAINBD_TRIMBLE_BD}, {Rig::CommonRecording, MAINBD_NOVATEL_OEM},
    {Rig::CommonRecording, MAINBD_HEMISPHERE}, {Rig::CommonRecording, MAINBD_NMEA_ONLY},
    {Rig::CommonRecording, MAINBD_UNICORE},    {Rig::CommonLibrary, MAINBD_NOVATEL_OEM},
    {Rig::CommonLibrary, MAINBD_NMEA_ONLY},    {Rig::CommonLibrary, MAINBD_UNICORE},
    {Rig::OldRecording, MAINBD_ORVEL_OLD},
};

}  // namespace

TEST(CaptureTable, FramesAndCallbacksMatchTheRecordedTable) {
    const bool print = std::getenv("BRANTOR_PRINT_CAPTURE_TABLE") != nullptr;
    size_t row = 0;
    for (const char* file : kCaptures) {
        const std::vector<uint8_t> data = LoadCapture(file);
        ASSERT_FALSE(data.empty()) << file;
        for (const Config& c : kConfigs) {
            SCOPED_TRACE(std::string(file) + " " + RigName(c.rig) + " type " + std::to_string(c.type));
            const Outcome reads = Replay(data, c.rig, c.type, [] { return size_t(2048); });
            if (print) {
                std::printf("    {\"%s\", %s, MAINBD_OEM_TYPE(%d), %u, 0x%08Xu, %u, 0x%08Xu},\n", file,
                            RigName(c.rig), int(c.type), reads.frames, reads.frameDigest, reads.calls,
                            reads.callDigest);
                continue;
            }
            ASSERT_LT(row, kTable.size());
            const Row& r = kTable[row++];
            ASSERT_STREQ(r.file, file);
            ASSERT_EQ(r.rig, c.rig);
            ASSERT_EQ(r.type, c.type);
            EXPECT_EQ(reads.frames, r.frames);
            EXPECT_EQ(reads.frameDigest, r.frameDigest);
            EXPECT_EQ(reads.calls, r.calls);
            EXPECT_EQ(reads.callDigest, r.callDigest);

            // Any chunking, down to single bytes, gives the same table row.
            std::mt19937 rng(20261210);
            std::uniform_int_distribution<size_t> size(1, 3000);
            const Outcome chunks = Replay(data, c.rig, c.type, [&] { return size(rng); });
            EXPECT_EQ(chunks.frames, r.frames);
            EXPECT_EQ(chunks.frameDigest, r.frameDigest);
            EXPECT_EQ(chunks.calls, r.calls);
            EXPECT_EQ(chunks.callDigest, r.callDigest);
        }
    }
    if (!print) {
        EXPECT_EQ(row, kTable.size());
    }
}

// The table is not trivial: the captures reach the boards, and the library's
// boards announce changes.
TEST(CaptureTable, RecordedTableCoversRealTraffic) {
    unsigned frames = 0, libraryCalls = 0;
    for (const Row& r : kTable) {
        frames += r.frames;
        if (r.rig == Rig::CommonLibrary) libraryCalls += r.calls;
    }
    EXPECT_GT(frames, 1000u);
    EXPECT_GT(libraryCalls, 500u);
}
