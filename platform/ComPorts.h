#pragma once

#include "platform/Export.h"

#include <string>

namespace platform {

// COM port n resolves to the path in the environment variable FJCOMM_COM<n>
// when set, else to /dev/ttyS<n-1>. Empty for n < 1.
PLATFORM_API std::string ComPortPath(int n);

// Points COM port n at a device path for this process (tests register the
// slave side of a pseudo-terminal); an empty path removes the registration.
PLATFORM_API void RegisterComPort(int n, const std::string& path);

}  // namespace platform
