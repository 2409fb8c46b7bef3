#include "fjcomm/VirtualPort.h"

#include "platform/Time.h"

#include <cstdint>
#include <cstdio>
#include <mutex>

namespace Fjarnis2011 {
namespace FJComm {

namespace {

constexpr unsigned kChunk = 200;
constexpr uint32_t kPauseMs = 500;

// The replayed file and how far it has been read, shared by every replay port.
std::mutex g_mutex;
FILE* g_file = nullptr;
int64_t g_position = 0;

}  // namespace

unsigned VirtualPort::Initialize(void* param) {
    if (param == nullptr) return PORT_FILE_OPEN_FAILED;
    path_ = static_cast<const char*>(param);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_file) std::fclose(g_file);
    g_file = std::fopen(path_.c_str(), "rb");
    // A new replay starts at the beginning of its file.
    g_position = 0;
    if (!g_file) return PORT_FILE_OPEN_FAILED;
    std::fseek(g_file, 0, SEEK_SET);
    return PORT_OK;
}

void VirtualPort::Uninitialize() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_file) std::fclose(g_file);
    g_file = nullptr;
    g_position = 0;
}

unsigned VirtualPort::ReadData(char* buffer, unsigned size) {
    size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_file) {
            g_file = std::fopen(path_.c_str(), "rb");
            if (!g_file) return 0;
        }
        if (!std::feof(g_file) && buffer != nullptr && size > 0) {
            if (fseeko(g_file, off_t(g_position), SEEK_SET) == 0) {
                count = std::fread(buffer, 1, size < kChunk ? size : kChunk, g_file);
                g_position += int64_t(count);
            }
        }
    }
    // Paces the replay: at most 200 bytes per half second.
    platform::SleepMs(kPauseMs);
    return unsigned(count);
}

}  // namespace FJComm
}  // namespace Fjarnis2011
