#include "tests/sim/LineSpeed.h"

// The kernel's own termios record carries the speed as a number, also for
// rates set through the Bxxx codes; <termios.h> cannot be included beside it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace sim {

uint32_t LineSpeed(int fd) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return t.c_ospeed;
}

}  // namespace sim
