// Builds the new-protocol format's fuzz target into the unit tests and replays
// its committed seed corpus, so that every build compiles the target and runs
// it over its seeds under the sanitizers of that build.
#define NEWFORMAT_FUZZ_NO_ENTRY
#include "../../fuzz/fuzz_newformat.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

TEST(NewFormatFuzzSeeds, EverySeedRunsClean) {
    const auto dir = std::filesystem::path(BRANTOR_FUZZ_CORPUS_DIR) / "newformat";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream f(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(newformat_fuzz::RunOne(bytes.data(), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 4);
}
