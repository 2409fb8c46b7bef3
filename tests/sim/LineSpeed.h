#pragma once

#include <cstdint>

namespace sim {

// The output speed in baud that the terminal's settings hold, 0 when it
// cannot be read. On the master side of a pseudo-terminal this is the speed
// the opener of the slave side set.
uint32_t LineSpeed(int fd);

}  // namespace sim
