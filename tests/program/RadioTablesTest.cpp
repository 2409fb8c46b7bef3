// The radio channel table and the antenna list: their defaults on disk,
// lookups by band and frequency, and hand-edited files.

#include "program/RadioTables.h"
#include "tests/program/TestSupport.h"

namespace {

class RadioTablesTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        makeDir("configs");
    }
};

TEST_F(RadioTablesTest, DefaultChannelsSurviveTheDiskRoundTrip) {
    RadioChannelStore writer;
    const std::string text = readFile(path("configs/radiochannels.brt"));
    EXPECT_NE(text.find("<middle>430.0000000000000000</middle>"), std::string::npos) << text;
    EXPECT_NE(text.find("<size>10</size>"), std::string::npos);

    RadioChannelStore store;  // reads what the first one wrote
    const std::vector<double> high{0.0, 456.05, 456.55, 457.05, 458.05, 459.05, 460.05, 461.05, 462.05, 462.55};
    const std::vector<double> middle{0.0, 430.0, 432.5, 435.0, 437.5, 440.0, 442.5, 445.0, 447.5, 450.0};
    const std::vector<double> low{0.0, 415.05, 416.05, 417.05, 418.05, 419.05, 420.05, 421.05, 422.05, 423.05};
    std::vector<double> list;
    store.frequencies(0, list);
    EXPECT_EQ(list, high);
    store.frequencies(1, list);
    EXPECT_EQ(list, middle);
    store.frequencies(2, list);
    EXPECT_EQ(list, low);
    // Bands without a key give zeros, one per channel.
    for (int32_t band : {3, 4, -1}) {
        store.frequencies(band, list);
        EXPECT_EQ(list, std::vector<double>(10, 0.0)) << band;
    }

    EXPECT_EQ(store.channelOfFrequency(447.5), 8);
    EXPECT_EQ(store.channelOfFrequency(447.50000001), 0);
    EXPECT_EQ(store.channelOfFrequency(462.55), 9);
    EXPECT_EQ(store.channelOfFrequency(415.05), 1);
    EXPECT_EQ(store.channelOfFrequency(0.0), 0);
}

TEST_F(RadioTablesTest, BandsOfCodesAndFrequencies) {
    const struct {
        int32_t code, band;
    } codes[] = {{1, 0}, {3, 0}, {7, 0}, {2, 2}, {4, 2}, {5, 1}, {6, 1}, {8, 3}, {0, 4}, {9, 4}, {-1, 4}};
    for (const auto& c : codes) EXPECT_EQ(RadioChannelStore::bandOfRadioCode(c.code), c.band) << c.code;
    const struct {
        double f;
        int32_t band;
    } freqs[] = {{429.99, 2}, {430.0, 1}, {450.0, 1}, {450.0001, 0}, {0.0, 2}, {470.0, 0}};
    for (const auto& f : freqs) EXPECT_EQ(RadioChannelStore::bandOfFrequency(f.f), f.band) << f.f;
}

TEST_F(RadioTablesTest, AMissingValueRepeatsTheChannelBefore) {
    // Three channels; the second lacks "middle" and "high".
    writeFile(path("configs/radiochannels.brt"),
              "<radio><channel type=\"array\"><size>3</size>"
              "<a1><number>0</number><high>0</high><middle>0</middle><low>0</low></a1>"
              "<a2><number>1</number><low>400.5</low></a2>"
              "<a3><number>2</number><high>460</high><middle>440</middle><low>401</low></a3>"
              "</channel></radio>");
    RadioChannelStore store;
    std::vector<double> list;
    store.frequencies(1, list);
    EXPECT_EQ(list, (std::vector<double>{0.0, 0.0, 440.0}));
    store.frequencies(2, list);
    EXPECT_EQ(list, (std::vector<double>{0.0, 400.5, 401.0}));
    EXPECT_EQ(store.channelOfFrequency(400.5), 1);
    EXPECT_EQ(store.channelOfFrequency(440.0), 2);
}

// A channel taken out of a hand-made table keeps the place of the others:
// the list's place is the channel number, the missing channel reads as the
// one before it, and the last channel is still there.
TEST_F(RadioTablesTest, AMissingChannelKeepsTheNumbersOfTheOthers) {
    writeFile(path("configs/radiochannels.brt"),
              "<radio><channel type=\"array\"><size>5</size>"
              "<a1><number>0</number><high>0</high><middle>0</middle><low>0</low></a1>"
              "<a2><number>1</number><high>456.05</high><middle>430</middle><low>415.05</low></a2>"
              "<a4><number>3</number><high>457.05</high><middle>435</middle><low>417.05</low></a4>"
              "<a5><number>4</number><high>458.05</high><middle>437.5</middle><low>418.05</low></a5>"
              "</channel></radio>");
    RadioChannelStore store;
    std::vector<double> list;
    store.frequencies(1, list);
    EXPECT_EQ(list, (std::vector<double>{0.0, 430.0, 430.0, 435.0, 437.5}));
    store.frequencies(7, list);
    EXPECT_EQ(list, (std::vector<double>(5, 0.0)));
    EXPECT_EQ(store.channelOfFrequency(437.5), 4);
    EXPECT_EQ(store.channelOfFrequency(417.05), 3);

    // One channel of a huge number: the list does not grow to it.
    writeFile(path("configs/radiochannels.brt"),
              "<radio><channel type=\"array\"><size>2147483647</size>"
              "<a1><middle>430</middle></a1><a2147483647><middle>440</middle></a2147483647>"
              "</channel></radio>");
    store.frequencies(1, list);
    EXPECT_EQ(list, std::vector<double>{430.0});
    EXPECT_EQ(store.channelOfFrequency(440.0), 2147483646);
}

TEST_F(RadioTablesTest, AntennaRowsInOrderAndNamelessRowsSkipped) {
    AntennaTypeList defaults;
    std::vector<std::wstring> names;
    std::vector<int32_t> codes;
    defaults.read(names, codes);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Q70A-Vento", L"Q70 Built-in", L"Q71G", L"Q71S", L"Q71 Built-in",
                                                L"Q700G", L"Q700S", L"Q22 Built-in", L"Q330 Built-in", L"CORS Ant.",
                                                L"P40", L"P60 GNSS", L"T310TM KVXD"}));
    EXPECT_EQ(codes, (std::vector<int32_t>{5, 10, 6, 7, 11, 3, 4, 8, 12, 13, 9, 1, 2}));

    writeFile(path("configs/antennatype.brt"),
              "<antennatype><antenna type=\"array\"><size>3</size>"
              "<a1><type>A</type><data>7</data></a1>"
              "<a2><type></type><data>8</data></a2>"
              "<a3><type>C</type></a3>"
              "</antenna></antennatype>");
    AntennaTypeList edited;
    names.clear();
    codes.clear();
    edited.read(names, codes);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(codes, (std::vector<int32_t>{7, 0}));
}

}  // namespace
