#include "tests/sim/SimRadioModules.h"

namespace sim {

namespace {

struct Module {
    int type;
    uint8_t byte59;
    uint8_t byte126;
    uint16_t channel;  // a channel of 12.5 kHz inside the module's band
};

constexpr Module kModules[] = {
    {3, 0, 0, 36810},  // 450-470 MHz: 460.125 MHz
    {4, 3, 0, 33600},  // 410-430 MHz: 420.000 MHz
    {5, 4, 0, 35200},  // 430-450 MHz: 440.000 MHz
    {6, 0, 4, 36810},  // 450-470 MHz: 460.125 MHz
    {7, 0, 3, 36640},  // 455-463 MHz: 458.000 MHz
    {8, 0, 5, 36810},  // 403-473 MHz: 460.125 MHz
};

}  // namespace

bool SetRadioModule(SimSettings& settings, int type) {
    for (const Module& m : kModules) {
        if (m.type != type) continue;
        settings.deviceInfo.radioModule = m.byte59;
        settings.deviceInfo.radioModuleExt = m.byte126;
        settings.radio.channel = m.channel;
        settings.radio.spacing = 0;
        return true;
    }
    return false;
}

double RadioFrequencyMHz(const SimRadio& radio, int type) {
    if (type >= 3 && type <= 7) return radio.channel * 0.0125;
    if (type == 8) {
        const double spacingKHz = radio.spacing == 1 ? 20.0 : 12.5;
        return radio.channel * spacingKHz / 1000.0;
    }
    return -1.0;
}

}  // namespace sim
