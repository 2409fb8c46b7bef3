#include "protocol/boards/Em_ICmdPaker.h"

#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

bool Pak_SendBytes(CmdList& out, const uint8_t* data, uint32_t length, uint32_t delay) {
    if (!data || length == 0 || length > sizeof(_STR_CMD::data)) return false;
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof cmd);
    std::memcpy(cmd.data, data, length);
    cmd.delay = delay;
    cmd.length = length;
    out.push_back(cmd);
    return true;
}

bool Pak_SendText(CmdList& out, const char* text, uint32_t delay) {
    if (!text) return false;
    // Look no further than one byte past a record: a longer text is refused.
    const size_t n = strnlen(text, sizeof(_STR_CMD::data) + 1);
    return Pak_SendBytes(out, reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(n), delay);
}

Em_ICmdPaker::Em_ICmdPaker() {
    std::memset(&baseConfig, 0, sizeof baseConfig);
    baseConfig.stationId = 1;
    std::memcpy(baseConfig.stationName, "base", 5);
    baseConfig.obsInterval = 1;
    baseConfig.outputPort = 1;
    baseConfig.baudRate = 38400;
    baseConfig.correctionType = 3;
    baseConfig.latitude = 0.5441037837884196;
    baseConfig.longitude = 2.1187988500159314;
    baseConfig.height = 37.51200038008392;
    baseConfig.elevMask = 10;
    baseConfig.pdopMask = 95;
    baseConfig.outputRoute = 0;

    std::memset(&roverConfig, 0, sizeof roverConfig);
    roverConfig.elevMask = 5;
    roverConfig.pdopMask = 95;
    roverConfig.stationWord = 1;
    roverConfig.correctionType = 3;
    roverConfig.inputPort = 1;
    roverConfig.baudRate = 9600;
    roverConfig.ionoCondition = 0;
    roverConfig.diffSource = 2;
}

void Em_ICmdPaker::Cmd_Nmea_Ex(CmdList&, const std::vector<_set_nmea>&) {}

void Em_ICmdPaker::Cmd_PassCom(CmdList&, int) {}

}  // namespace FJParse
}  // namespace Fjarnis2011
