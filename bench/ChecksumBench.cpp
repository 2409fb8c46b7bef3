#include "protocol/Em_Checksum.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {
std::vector<uint8_t> MiB() {
    std::vector<uint8_t> v(1 << 20);
    uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    return v;
}
}  // namespace

static void BM_Crc24q_1MiB(benchmark::State& state) {
    const auto data = MiB();
    for (auto _ : state) benchmark::DoNotOptimize(Calc_Crc24q(data.data(), int(data.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_Crc24q_1MiB);

static void BM_Crc32_1MiB(benchmark::State& state) {
    const auto data = MiB();
    for (auto _ : state) benchmark::DoNotOptimize(Check_Crc32(data.data(), int(data.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_Crc32_1MiB);
