#pragma once

// The battery grade that the protocol object hands out for the maker's
// new-protocol receiver, worked out from the receiver's power record (item
// 772: the power-source indicator, then the two battery levels in percent as
// IEEE single-precision values). Internal to the protocol library.

#include "protocol/newproto/Em_OvTypes.h"

namespace Fjarnis2011 {
namespace FJParse {

// 12 when the power-source indicator is above 1 (the receiver runs on outside
// power); otherwise the mean of the two levels, each rounded to a whole
// percent, in tenths rounded half up: ((a + b) / 2 + 5) / 10 in integers, at
// most 10. A level that is not a number counts as 0; levels are taken within
// 0..100.
int NewProtocolBatteryGrade(const OV_SYSTEM_POWER_STATUS_STRUCT& power);

}  // namespace FJParse
}  // namespace Fjarnis2011
