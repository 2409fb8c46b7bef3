// The yardstick of the Hemisphere figure in FacadeBench (cres_hemisphere_board):
// a plain byte-at-a-time $BIN decoder over the same capture, the way a
// receiver driver that syncs on each byte works: every byte goes through a
// small state machine, the data sum is kept as bytes arrive, and a whole
// block's latitude and longitude are read out. The library's path through
// the protocol object should run at least twice as fast.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Capture(const std::string& name) {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class ByteAtATimeBin {
public:
    // Returns true when `b` completed a sound block.
    bool Input(uint8_t b) {
        if (n_ == 0) {
            if (b == '$') buf_[n_++] = b;
            return false;
        }
        if (n_ < 4) {
            static const char kHead[] = "$BIN";
            if (b != uint8_t(kHead[n_])) {
                n_ = 0;
                return false;
            }
            buf_[n_++] = b;
            return false;
        }
        buf_[n_++] = b;
        if (n_ == 8) {
            length_ = size_t(buf_[6]) | size_t(buf_[7]) << 8;
            if (length_ + 12 > sizeof buf_) n_ = 0;
            sum_ = 0;
            return false;
        }
        if (n_ > 8 && n_ <= 8 + length_) sum_ = uint16_t(sum_ + b);
        if (n_ < length_ + 12) return false;
        n_ = 0;
        const uint16_t stated = uint16_t(buf_[8 + length_] | buf_[9 + length_] << 8);
        if (stated != sum_) return false;
        if ((buf_[4] | buf_[5] << 8) == 1 && length_ >= 32) {
            std::memcpy(&lat, buf_ + 8 + 12, 8);
            std::memcpy(&lon, buf_ + 8 + 20, 8);
        }
        return true;
    }
    double lat = 0, lon = 0;

private:
    uint8_t buf_[2048] = {};
    size_t n_ = 0;
    size_t length_ = 0;
    uint16_t sum_ = 0;
};

}  // namespace

static void BM_ByteAtATimeBinDecoder_cres(benchmark::State& state) {
    const std::vector<uint8_t> data = Capture("cres_head64k.bin");
    if (data.empty()) {
        state.SkipWithError("capture missing");
        return;
    }
    long blocks = 0;
    for (auto _ : state) {
        ByteAtATimeBin d;
        for (uint8_t b : data) blocks += d.Input(b);
        benchmark::DoNotOptimize(d.lat);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    state.counters["blocks_per_pass"] = double(blocks) / double(state.iterations());
}
BENCHMARK(BM_ByteAtATimeBinDecoder_cres);
