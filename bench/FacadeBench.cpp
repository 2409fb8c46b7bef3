// The protocol object over the real captures: bytes fed in 2048-byte reads,
// as the reading thread delivers them, each followed by ParseData. With the
// "counting" board the figure is the facade and the frame cutting alone;
// with the library's own board it includes the board's decoding.
#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Gnss.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

std::vector<uint8_t> Capture(const std::string& name) {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Takes every frame and announces one change bit.
class CountingBoard : public EmIMainBoard {
public:
    explicit CountingBoard(MAINBD_OEM_TYPE t) : EmIMainBoard(t) {
        SetParts(std::make_unique<Em_RepParser_Common>(), std::make_unique<Em_CmdPaker_Common>());
    }
    unsigned Parse_NextFrame() override {
        RepParser()->ChangedMask = 1;
        ClearRecvBuffer();
        return 1;
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }
};

Em_Gnss::FormatFactory CountingBoards() {
    return [](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
        return std::make_unique<Em_Format_Common>(
            ring, [](MAINBD_OEM_TYPE t) -> std::unique_ptr<EmIMainBoard> { return std::make_unique<CountingBoard>(t); });
    };
}

long g_frames = 0;
void OnData(int, unsigned, const void*) { ++g_frames; }

void Replay(benchmark::State& state, const char* file, MAINBD_OEM_TYPE type, bool counting) {
    const std::vector<uint8_t> data = Capture(file);
    if (data.empty()) {
        state.SkipWithError("capture missing");
        return;
    }
    Em_Gnss g(GNSS_MNFCTR_OTHER, type, counting ? CountingBoards() : Em_Gnss::FormatFactory());
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    g_frames = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < data.size(); at += 2048) {
            const size_t n = std::min<size_t>(2048, data.size() - at);
            g.RcvData(data.data() + at, unsigned(n));
            g.ParseData();
        }
        g.Data_Clear();  // the capture ends mid-frame
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    state.counters["callbacks_per_pass"] = double(g_frames) / double(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(Replay, nmea_rtk_unicore_board, "nmea-rtk.log", MAINBD_UNICORE, false);
BENCHMARK_CAPTURE(Replay, nmea_rtk_counting, "nmea-rtk.log", MAINBD_UNICORE, true);
BENCHMARK_CAPTURE(Replay, testglo_rtcm3_counting, "testglo.rtcm3", MAINBD_NOVATEL_OEM, true);
BENCHMARK_CAPTURE(Replay, oemv_counting, "oemv_head64k.gps", MAINBD_NOVATEL_OEM, true);
BENCHMARK_CAPTURE(Replay, cres_counting, "cres_head64k.bin", MAINBD_HEMISPHERE, true);
// Every capture of the shared test data, with the library's own board of the
// type that speaks it: the Hemisphere capture has $BIN blocks 1, 2 and 99
// decoded, the others taken as they are.
BENCHMARK_CAPTURE(Replay, nmea_fuzzy_unicore_board, "nmea-fuzzy-cases.log", MAINBD_UNICORE, false);
BENCHMARK_CAPTURE(Replay, beidou_unicore_board, "beidou-bd.log", MAINBD_UNICORE, false);
BENCHMARK_CAPTURE(Replay, bu353_unicore_board, "bu353-glonass.log", MAINBD_UNICORE, false);
BENCHMARK_CAPTURE(Replay, testglo_rtcm3_novatel_board, "testglo.rtcm3", MAINBD_NOVATEL_OEM, false);
BENCHMARK_CAPTURE(Replay, oemv_novatel_board, "oemv_head64k.gps", MAINBD_NOVATEL_OEM, false);
BENCHMARK_CAPTURE(Replay, cres_hemisphere_board, "cres_head64k.bin", MAINBD_HEMISPHERE, false);
