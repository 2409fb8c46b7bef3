// Real captures through the protocol object: the same stream fed in large
// blocks, byte by byte and in random chunks gives the same callbacks, and
// every whole frame of the capture is handed to the board once.
#include "protocol/Em_Gnss.h"

#include "RecordingBoard.h"
#include "TestData.h"
#include "protocol/Em_Format_Common.h"

#include <gtest/gtest.h>

#include <random>

using namespace Fjarnis2011::FJParse;
using board_test::Recorder;
using board_test::RecordingBoards;

namespace {

struct Call {
    int messageClass;
    uint32_t bits;
    bool operator==(const Call&) const = default;
};

struct Replayed {
    std::vector<Call> calls;
    std::vector<board_test::Bytes> frames;
};

void OnData(int messageClass, unsigned bits, const void* context) {
    static_cast<Replayed*>(const_cast<void*>(context))->calls.push_back({messageClass, bits});
}

// Feeds `data` in chunks of the sizes `next` gives, parsing after each.
template <typename NextSize>
Replayed Replay(const std::vector<uint8_t>& data, MAINBD_OEM_TYPE type, bool recording, NextSize next) {
    Replayed run;
    Recorder rec;
    Em_Gnss::FormatFactory formats;
    if (recording)
        formats = [&rec](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
            return std::make_unique<Em_Format_Common>(ring, RecordingBoards(&rec));
        };
    Em_Gnss g(GNSS_MNFCTR_OTHER, type, formats);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, &run);
    g.Format()->Set_GNSS_ParseNmea(true);
    for (size_t at = 0; at < data.size();) {
        const size_t n = std::min(next(), data.size() - at);
        g.RcvData(data.data() + at, unsigned(n));
        g.ParseData();
        at += n;
    }
    run.frames = rec.frames;
    return run;
}

struct Capture {
    const char* file;
    MAINBD_OEM_TYPE type;
    bool recording;  // a recording board, or the library's own
    size_t frames;   // whole frames of the capture that fit the frame area
};

void PrintTo(const Capture& c, std::ostream* os) { *os << c.file; }

class CaptureReplay : public ::testing::TestWithParam<Capture> {};

}  // namespace

TEST_P(CaptureReplay, SameCallbacksWhateverTheChunking) {
    const Capture& c = GetParam();
    const std::vector<uint8_t> data = LoadCapture(c.file);
    ASSERT_FALSE(data.empty()) << c.file;

    // Large blocks: as much as the receive buffer takes beside a partial frame.
    const Replayed whole = Replay(data, c.type, c.recording, [] { return size_t(16384); });
    const Replayed bytes = Replay(data, c.type, c.recording, [] { return size_t(1); });
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<size_t> size(1, 3000);
    const Replayed chunks = Replay(data, c.type, c.recording, [&] { return size(rng); });

    if (c.recording) {
        EXPECT_EQ(whole.frames.size(), c.frames);
        EXPECT_EQ(whole.calls.size(), c.frames);  // the recording board always announces
    } else {
        EXPECT_GE(whole.calls.size(), c.frames / 2);  // the real board announces what it decoded
    }
    EXPECT_EQ(bytes.frames, whole.frames);
    EXPECT_EQ(chunks.frames, whole.frames);
    EXPECT_EQ(bytes.calls, whole.calls);
    EXPECT_EQ(chunks.calls, whole.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Captures, CaptureReplay,
    ::testing::Values(
        // 244 sentences, $GN talkers.
        Capture{"nmea-rtk.log", MAINBD_UNICORE, true, 244},
        Capture{"nmea-rtk.log", MAINBD_UNICORE, false, 244},
        // 429 RTCM 3 frames.
        Capture{"testglo.rtcm3", MAINBD_NOVATEL_OEM, true, 429},
        // 79 whole logs, of which 24 (2248 bytes each) exceed the frame area;
        // the cut one at the end waits.
        Capture{"oemv_head64k.gps", MAINBD_NOVATEL_OEM, true, 55},
        // 470 whole $BIN blocks; the cut one at the end waits.
        Capture{"cres_head64k.bin", MAINBD_HEMISPHERE, true, 470}),
    [](const ::testing::TestParamInfo<Capture>& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name + (info.param.recording ? "_recording" : "_library_board");
    });
