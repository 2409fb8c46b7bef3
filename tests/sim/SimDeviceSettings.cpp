#include "tests/sim/SimDeviceSettings.h"

#include "tests/sim/ReceiverModel.h"

#include <string_view>

namespace sim {

bool HandleDeviceSetting(DeviceInfo& info, const Frame& frame) {
    const std::string_view letters(frame.letters, 2);
    const auto& p = frame.payload;
    if (letters == "SW") {
        // B0 then the rate in Hz; B1 with a value is the board's own rate
        // setting, which the record does not keep.
        if (p.size() == 2 && p[0] == 0) info.positionRate = p[1];
        return true;
    }
    if (letters != "SJ") return false;
    if (p.size() == 3 && p[0] == 97) {  // automatic base distance, low byte first
        info.autoBaseDist = uint16_t(p[1] | (p[2] << 8));
        return true;
    }
    if (p.size() != 2) return true;
    const uint8_t v = p[1];
    switch (p[0]) {  // the code is the byte's offset in the record
        case 40: info.outputMode = v; break;
        case 42: info.recordType = v; break;
        case 43: info.recordPeriod = v; break;
        case 49: info.recordInterval = v; break;
        case 50: info.recordElevMask = v; break;
        case 56: info.rtkElevMask = v; break;
        case 62: info.transmitPort = v; break;
        case 63: info.transmitFormat = v; break;
        case 96: info.startType = v; break;
        default: break;
    }
    return true;
}

}  // namespace sim
