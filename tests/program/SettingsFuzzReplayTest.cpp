// Builds the settings fuzz target into the program tests and replays its
// committed seeds (the program's files, read, saved, read back), so that
// every build compiles the target and runs it under that build's sanitizers.
#define SETTINGS_FUZZ_NO_ENTRY
#include "../../fuzz/fuzz_settings.cpp"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SettingsFuzzSeeds, EverySeedReadsBackTheSameAfterASave) {
    const auto dir = std::filesystem::path(BRANTOR_FUZZ_CORPUS_DIR) / "settings";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = settings_fuzz::Bytes(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string());
        ASSERT_FALSE(bytes.empty());
        // Each seed is a file the store takes: it gets to the comparison.
        const std::string folder = settings_fuzz::Folder();
        const auto& file = settings_fuzz::Files()[uint8_t(bytes[0]) % settings_fuzz::Files().size()];
        EXPECT_EQ(settings_fuzz::RunSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        EXPECT_TRUE(std::filesystem::exists(folder + "/" + file.name + ".again"));
        ++seeds;
    }
    EXPECT_GE(seeds, int(settings_fuzz::Files().size()));
    // A file the store refuses (not UTF-8) is replaced by one that loads.
    const std::string refused = std::string(1, '\0') + "<connectbauds>\xE9</connectbauds>";
    EXPECT_EQ(settings_fuzz::RunSettings(reinterpret_cast<const uint8_t*>(refused.data()), refused.size()), 0);
    EXPECT_TRUE(std::filesystem::exists(settings_fuzz::Folder() + "/connectbauds.brt.bak"));
}
