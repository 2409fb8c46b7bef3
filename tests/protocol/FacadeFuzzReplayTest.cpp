// Builds the fuzz target's entry point into the unit tests and replays the
// committed seed corpus through it, so that every build compiles the target
// and runs it over its seeds under the sanitizers of that build.
#include "../../fuzz/FacadeFuzz.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

TEST(FacadeFuzzSeeds, EverySeedRunsClean) {
    const auto dir = std::filesystem::path(BRANTOR_FUZZ_CORPUS_DIR) / "facade";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream f(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 10);
    // Inputs too short to pick a receiver are ignored.
    const uint8_t one = 1;
    EXPECT_EQ(LLVMFuzzerTestOneInput(&one, 1), 0);
}
