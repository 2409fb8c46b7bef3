#include "platform/ComPorts.h"

#include "platform/Numbers.h"

#include <cstdlib>

namespace platform {

static std::string VariableName(int n) { return "FJCOMM_COM" + FormatInt(n); }

std::string ComPortPath(int n) {
    if (n < 1) return {};
    if (const char* env = std::getenv(VariableName(n).c_str()); env && *env) return env;
    return "/dev/ttyS" + FormatInt(n - 1);
}

void RegisterComPort(int n, const std::string& path) {
    if (n < 1) return;
    if (path.empty())
        unsetenv(VariableName(n).c_str());
    else
        setenv(VariableName(n).c_str(), path.c_str(), 1);
}

}  // namespace platform
