#include "program/RadioTables.h"

#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/JSettings.h"

#include <cmath>

namespace {

const wchar_t* const kBandKeys[] = {L"high", L"middle", L"low"};
constexpr int32_t kBandCount = 3;
constexpr int32_t kChannelCount = 10;

bool LacksChannels(JSettings& settings) {
    const int32_t count = settings.beginReadArray(L"channel");
    settings.endArray();
    return count < 1;
}

void FillChannels(JSettings& settings) {
    // Channel 0 is no channel; the high band has extra channels at both ends
    // of its 1 MHz steps.
    static const double kHigh[kChannelCount] = {0.0,    456.05, 456.55, 457.05, 458.05,
                                                459.05, 460.05, 461.05, 462.05, 462.55};
    settings.beginWriteArray(L"channel", kChannelCount);
    for (int32_t i = 0; i < kChannelCount; ++i) {
        settings.setArrayIndex(i);
        settings.setValue(L"number", i);
        settings.setValue(L"high", kHigh[i]);
        settings.setValue(L"middle", i == 0 ? 0.0 : 430.0 + 2.5 * (i - 1));
        settings.setValue(L"low", i == 0 ? 0.0 : 415.05 + 1.0 * (i - 1));
    }
    settings.endArray();
}

bool LacksAntennas(JSettings& settings) {
    const int32_t count = settings.beginReadArray(L"antenna");
    settings.endArray();
    return count < 1;
}

void FillAntennas(JSettings& settings) {
    struct Antenna {
        const wchar_t* type;
        int32_t data;
    };
    static const Antenna kAntennas[] = {
        {L"Q70A-Vento", 5},    {L"Q70 Built-in", 10}, {L"Q71G", 6},         {L"Q71S", 7},
        {L"Q71 Built-in", 11}, {L"Q700G", 3},         {L"Q700S", 4},        {L"Q22 Built-in", 8},
        {L"Q330 Built-in", 12}, {L"CORS Ant.", 13},   {L"P40", 9},          {L"P60 GNSS", 1},
        {L"T310TM KVXD", 2},
    };
    constexpr int32_t count = int32_t(sizeof kAntennas / sizeof kAntennas[0]);
    settings.beginWriteArray(L"antenna", count);
    for (int32_t i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        settings.setValue(L"type", kAntennas[i].type);
        settings.setValue(L"data", kAntennas[i].data);
    }
    settings.endArray();
}

}  // namespace

// ---- radio channels --------------------------------------------------------

RadioChannelStore::RadioChannelStore() : RadioChannelStore(CommonHelper::radioChannelsPath()) {}

RadioChannelStore::RadioChannelStore(const std::wstring& path) : path_(path) {
    if (ConfigLacks(path_, L"radio", LacksChannels)) WriteConfigDefaults(path_, L"radio", FillChannels);
}

void RadioChannelStore::frequencies(int32_t band, std::vector<double>& list) const {
    list.clear();
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"radio", LacksChannels, FillChannels);
    settings.beginReadArray(L"channel");
    const std::vector<int32_t> items = settings.arrayIndexes();
    // The list's place is the channel number, so a channel missing from a
    // hand-made table still takes its place, with the frequency before it,
    // as its missing values would read. A table whose items are far apart
    // does not make the list grow past the items it holds and the ten
    // channels the pages know.
    const size_t longest = items.size() + size_t(kChannelCount);
    double last = 0.0;
    for (const int32_t i : items) {
        if (size_t(i) >= longest) break;
        while (list.size() < size_t(i)) list.push_back(last);
        if (band < 0 || band >= kBandCount) {
            list.push_back(0.0);
            continue;
        }
        settings.setArrayIndex(i);
        last = settings.value(kBandKeys[band], last);
        list.push_back(last);
    }
    settings.endArray();
}

int32_t RadioChannelStore::bandOfRadioCode(int32_t code) {
    switch (code) {
        case 1:
        case 3:
        case 7: return 0;
        case 2:
        case 4: return 2;
        case 5:
        case 6: return 1;
        case 8: return 3;
        default: return 4;
    }
}

int32_t RadioChannelStore::bandOfFrequency(double f) {
    if (f < 430.0) return 2;
    if (f <= 450.0) return 1;
    return 0;
}

int32_t RadioChannelStore::channelOfFrequency(double f) const {
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"radio", LacksChannels, FillChannels);
    settings.beginReadArray(L"channel");
    double last = 0.0;
    int32_t channel = 0;
    // A missing item would only repeat the value before it, which matched
    // nothing: the items that are there decide.
    for (const int32_t i : settings.arrayIndexes()) {
        if (channel != 0) break;
        settings.setArrayIndex(i);
        for (const wchar_t* key : kBandKeys) {
            last = settings.value(key, last);
            if (std::fabs(last - f) < kFrequencyTolerance) {
                channel = i;
                break;
            }
        }
    }
    settings.endArray();
    return channel;
}

// ---- antenna types ---------------------------------------------------------

AntennaTypeList::AntennaTypeList() : AntennaTypeList(CommonHelper::antennaTypePath()) {}

AntennaTypeList::AntennaTypeList(const std::wstring& path) : path_(path) {
    if (ConfigLacks(path_, L"antennatype", LacksAntennas)) WriteConfigDefaults(path_, L"antennatype", FillAntennas);
}

void AntennaTypeList::read(std::vector<std::wstring>& names, std::vector<int32_t>& codes) const {
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"antennatype", LacksAntennas, FillAntennas);
    settings.beginReadArray(L"antenna");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        std::wstring name;
        settings.value(L"type", name);
        if (name.empty()) continue;
        names.push_back(name);
        codes.push_back(settings.value(L"data", int32_t(0)));
    }
    settings.endArray();
}
