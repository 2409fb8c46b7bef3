#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_folder;

std::string ExecutableFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return ".";
    std::string exe(buf, static_cast<size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}
}  // namespace

std::string ProgramFolder() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_folder.empty()) return g_folder;
    if (const char* env = std::getenv("BRANTOR_PROGRAM_DIR"); env && *env) return env;
    return ExecutableFolder();
}

void SetProgramFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_folder = folder;
    while (g_folder.size() > 1 && g_folder.back() == '/') g_folder.pop_back();
}

std::string ResolveRootPath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    const std::string folder = ProgramFolder();
    if (p.compare(0, folder.size() + 1, folder + "/") == 0) return p;
    size_t start = 0;
    while (start < p.size() && p[start] == '/') ++start;
    if (p.compare(start, 2, "./") == 0) start += 2;
    return folder + "/" + p.substr(start);
}

}  // namespace platform
