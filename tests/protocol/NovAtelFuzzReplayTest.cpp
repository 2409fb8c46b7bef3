// Builds the NovAtel log fuzz target into the unit tests and replays its
// committed seeds, so that every build compiles the target, runs it under
// that build's sanitizers, and shows that its logs pass the frame check and
// reach the decoders (random bytes never would).
#define NOVATEL_FUZZ_NO_ENTRY
#include "../../fuzz/fuzz_novatel.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using novatel_fuzz::g_novatelDecodedLogs;
using novatel_fuzz::RunNovAtelLogs;

namespace {

std::vector<uint8_t> ReadSeed(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(NovAtelFuzzSeeds, EverySeedRunsCleanAndItsLogsAreDecoded) {
    const auto dir = std::filesystem::path(BRANTOR_FUZZ_CORPUS_DIR) / "novatel";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::vector<uint8_t> bytes = ReadSeed(entry.path());
        SCOPED_TRACE(entry.path().filename().string());
        const size_t before = g_novatelDecodedLogs;
        EXPECT_EQ(RunNovAtelLogs(bytes.data(), bytes.size()), 0);
        // The real BESTPOS, RANGECMP and RAWEPHEM logs of the capture change
        // what the parser holds, which the data callback reports, and so do
        // the own board's logs. (The made seeds hold zero bodies, which may
        // change nothing.)
        const std::string name = entry.path().filename().string();
        if (name == "capture-42" || name == "capture-140" || name == "capture-41" || name == "own-board") {
            EXPECT_GT(g_novatelDecodedLogs, before);
        }
        ++seeds;
    }
    EXPECT_GE(seeds, 12);
}

TEST(NovAtelFuzzSeeds, OnlyTheCrcMadeByTheTargetLetsALogThrough) {
    // One BESTPOS log built by the target around a zero body: decoded.
    std::vector<uint8_t> input = {
        0x00,                    // another maker's receiver, NovAtel board
        0x03,                    // a log; 3 % 13 = 3: BESTPOS (id 42)
        0x48, 0x00,              // body length 72
        0x00,                    // message type
        0xB5, 0x05,              // week 1461
        0x00, 0x00, 0x00, 0x00,  // milliseconds
    };
    input.resize(input.size() + 72, 0);  // the body
    size_t before = g_novatelDecodedLogs;
    RunNovAtelLogs(input.data(), input.size());
    EXPECT_EQ(g_novatelDecodedLogs, before + 1);

    // The same log made by hand with one body bit flipped after its CRC was
    // computed, fed as raw bytes (0xE0: one raw byte) and parsed (0xF2).
    std::vector<uint8_t> log(28 + 72 + 4, 0);
    log[0] = 0xAA;  // sync
    log[1] = 0x44;
    log[2] = 0x12;
    log[3] = 28;  // header length
    log[4] = 42;  // message id BESTPOS
    log[8] = 72;  // body length
    log[14] = 0xB5;  // week 1461
    log[15] = 0x05;
    const uint32_t crc = Calc_Crc32(log.data(), 28 + 72);
    for (size_t i = 0; i < 4; ++i) log[100 + i] = uint8_t(crc >> (8 * i));
    std::vector<uint8_t> raw = {0x00};
    for (uint8_t b : log) raw.insert(raw.end(), {0xE0, b});
    raw.push_back(0xF2);
    before = g_novatelDecodedLogs;
    RunNovAtelLogs(raw.data(), raw.size());
    EXPECT_EQ(g_novatelDecodedLogs, before + 1);  // intact: decoded

    raw[1 + 2 * 40 + 1] ^= 0x01;  // body byte 12 of the log
    before = g_novatelDecodedLogs;
    RunNovAtelLogs(raw.data(), raw.size());
    EXPECT_EQ(g_novatelDecodedLogs, before);  // broken CRC: refused
}
