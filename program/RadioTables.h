#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The radio channel table of "/configs/radiochannels.brt": the frequency in
// MHz of channels 0 to 9 in each of the three UHF bands (0 high, 1 middle,
// 2 low). Channel 0 stands for no channel. The user may edit the file by
// hand; the defaults are written when it holds no channel, and read from
// memory while the file holds none (one that could not be written).
class RadioChannelStore {
public:
    static constexpr double kFrequencyTolerance = 1e-10;

    RadioChannelStore();
    explicit RadioChannelStore(const std::wstring& path);

    // One frequency per channel item, in item order; a missing value repeats
    // the item before it. A band without a key (not 0, 1 or 2) gives one 0.0
    // per item.
    void frequencies(int32_t band, std::vector<double>& list) const;
    // The band of a radio code: 1, 3, 7 high (0); 2, 4 low (2); 5, 6 middle
    // (1); 8 gives 3 and every other code 4, bands without frequencies.
    static int32_t bandOfRadioCode(int32_t code);
    // Below 430 MHz low (2), 430 to 450 MHz middle (1), above high (0).
    static int32_t bandOfFrequency(double f);
    // The first channel that has this frequency in any band; 0 when none.
    int32_t channelOfFrequency(double f) const;

private:
    std::wstring path_;
};

// The antenna names and the codes sent for them, from
// "/configs/antennatype.brt"; the defaults are written when it holds none.
class AntennaTypeList {
public:
    AntennaTypeList();
    explicit AntennaTypeList(const std::wstring& path);

    // Appends the name and code of every antenna that has a name.
    void read(std::vector<std::wstring>& names, std::vector<int32_t>& codes) const;

private:
    std::wstring path_;
};
