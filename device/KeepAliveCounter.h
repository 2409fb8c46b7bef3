#pragma once

#include <atomic>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJDevice {

// The reading threads' pass counter for the keep-alive, shared by every
// receiver object of the process; 170 at start, so the first qualifying pass
// sends at once.
std::atomic<int32_t>& KeepAliveCounter();

}  // namespace FJDevice
}  // namespace Fjarnis2011
