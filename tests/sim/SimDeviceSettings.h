#pragma once

#include "tests/sim/SimFrames.h"

// The receiver's own settings that travel in its device-information record:
// the one-byte "SJ" settings and the "SW" position rate change the record,
// so that the next "SI" reply carries what was set.
namespace sim {

struct DeviceInfo;

// "SJ" (code = record offset, value byte(s)) and "SW,B0,B<hz>" change
// `info`; neither is answered. True when the frame was one of them.
bool HandleDeviceSetting(DeviceInfo& info, const Frame& frame);

}  // namespace sim
