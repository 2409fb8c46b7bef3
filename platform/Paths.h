#pragma once

#include "platform/Export.h"

#include <string>

namespace platform {

// The folder of the running program (where the executable lies), unless a
// test or the environment variable BRANTOR_PROGRAM_DIR set another one.
PLATFORM_API std::string ProgramFolder();
PLATFORM_API void SetProgramFolder(const std::string& folder);

// Resolves a root-folder path of the original ("\x.log", "/configs/a.brt",
// "runtime.log") to a file inside the program folder; backslashes become
// slashes. An absolute path that already lies inside the program folder is
// returned unchanged.
PLATFORM_API std::string ResolveRootPath(const std::string& path);

}  // namespace platform
