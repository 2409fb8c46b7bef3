// The NMEA-only board over a 10 MiB mix of NMEA sentences and RTCM 3 frames
// built from the captures (nmea-rtk.log, bu353-glonass.log, beidou-bd.log,
// testglo.rtcm3). The frames are cut before timing, as a frame format would
// hand them over; the timed loop is the board's: append, recognise, decode.

#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

struct FrameMix {
    std::vector<uint8_t> bytes;
    std::vector<std::pair<size_t, size_t>> frames;  // offset, length
};

std::vector<std::string> Sentences(const char* name) {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(f, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty() || line[0] != '$') continue;
        out.push_back(line + "\r\n");
    }
    return out;
}

std::vector<std::vector<uint8_t>> RtcmFrames() {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/testglo.rtcm3", std::ios::binary);
    const std::vector<uint8_t> d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::vector<uint8_t>> out;
    for (size_t i = 0; i + 6 <= d.size();) {
        const size_t len = ((d[i + 1] & 3u) << 8) | d[i + 2];
        if (d[i] == 0xD3 && (d[i + 1] & 0xFC) == 0 && i + len + 6 <= d.size()) {
            out.emplace_back(d.begin() + i, d.begin() + i + len + 6);
            i += len + 6;
        } else {
            ++i;
        }
    }
    return out;
}

const FrameMix& Mix() {
    static const FrameMix mix = [] {
        FrameMix m;
        std::vector<std::string> nmea;
        for (const char* name : {"nmea-rtk.log", "bu353-glonass.log", "beidou-bd.log"})
            for (std::string& s : Sentences(name)) nmea.push_back(std::move(s));
        const std::vector<std::vector<uint8_t>> rtcm = RtcmFrames();
        if (nmea.empty() || rtcm.empty()) return m;
        // Four sentences, then one correction frame, until 10 MiB.
        const size_t target = size_t(10) << 20;
        size_t n = 0, r = 0;
        while (m.bytes.size() < target) {
            for (int k = 0; k < 4; ++k, ++n) {
                const std::string& s = nmea[n % nmea.size()];
                m.frames.emplace_back(m.bytes.size(), s.size());
                m.bytes.insert(m.bytes.end(), s.begin(), s.end());
            }
            const std::vector<uint8_t>& f = rtcm[r++ % rtcm.size()];
            m.frames.emplace_back(m.bytes.size(), f.size());
            m.bytes.insert(m.bytes.end(), f.begin(), f.end());
        }
        return m;
    }();
    return mix;
}

template <typename Board>
void RunBoard(benchmark::State& state) {
    const FrameMix& mix = Mix();
    if (mix.frames.empty()) {
        state.SkipWithError("test captures not found");
        return;
    }
    Board board;
    board.RepParser()->parseNmea = 1;
    for (auto _ : state) {
        unsigned taken = 0;
        for (const auto& [offset, length] : mix.frames) {
            board.AppendReceived(mix.bytes.data() + offset, static_cast<unsigned>(length));
            taken += board.Parse_NextFrame();
        }
        benchmark::DoNotOptimize(taken);
        benchmark::DoNotOptimize(board.RepParser()->position.latitude);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(mix.bytes.size()));
}

}  // namespace

static void BM_MainBdCommon_NmeaRtcmMix10MiB(benchmark::State& state) { RunBoard<Em_MainBd_Common>(state); }
BENCHMARK(BM_MainBdCommon_NmeaRtcmMix10MiB)->Unit(benchmark::kMillisecond);

// The same mix through the Unicore board, which also decodes "$GN" and "$BD".
static void BM_MainBdUnicore_NmeaRtcmMix10MiB(benchmark::State& state) { RunBoard<Em_MainBd_Unicore>(state); }
BENCHMARK(BM_MainBdUnicore_NmeaRtcmMix10MiB)->Unit(benchmark::kMillisecond);
