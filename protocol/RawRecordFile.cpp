#include "protocol/RawRecordFile.h"

#include "platform/Numbers.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {
namespace RawRecordFile {

namespace {
std::mutex g_lock;
FILE* g_file = nullptr;
}  // namespace

std::string DefaultName(const platform::UtcTime& t) {
    std::string hour = platform::FormatInt(t.hour);
    if (hour.size() < 2) hour.insert(hour.begin(), 2 - hour.size(), ' ');
    return platform::FormatInt(t.year) + platform::FormatInt(t.month) + platform::FormatInt(t.day) + hour +
           platform::FormatInt(t.minute) + platform::FormatInt(t.second) + ".bin";
}

bool Open(const char* name) {
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_file) return false;
    // The receiver software names the file after its local time, UTC + 8 h,
    // with the date carried into the next day.
    const std::string path =
        name ? std::string(name, strnlen(name, kMaxNameLength)) : DefaultName(platform::LocalDisplayTime());
    if (path.empty()) return false;
    g_file = std::fopen(path.c_str(), "wb");
    return g_file != nullptr;
}

void Close() {
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_file) return;
    std::fclose(g_file);
    g_file = nullptr;
}

bool IsOpen() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_file != nullptr;
}

void Write(const uint8_t* data, unsigned n) {
    if (!data || n == 0) return;
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_file) return;
    std::fwrite(data, 1, n, g_file);
    std::fflush(g_file);
}

}  // namespace RawRecordFile
}  // namespace FJParse
}  // namespace Fjarnis2011
