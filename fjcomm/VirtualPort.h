#pragma once

#include "fjcomm/IPort.h"

#include <string>

namespace Fjarnis2011 {
namespace FJComm {

// Replays a recorded file as the receiver's byte stream: at most 200 bytes per
// read, each read followed by a 500 ms pause. The open file and the read
// position are the library's, shared by every replay port, so one replay runs
// at a time; reads and Uninitialize on different threads are safe.
class VirtualPort : public IPort {
public:
    VirtualPort() = default;
    ~VirtualPort() override = default;

    // param: zero-terminated file path. Opens it (binary) from its start;
    // 1 when the path is null or the file cannot be opened.
    unsigned Initialize(void* param) override;
    // Closes the file and rewinds the replay.
    void Uninitialize() override;
    bool IsOpen() override { return true; }
    // Reopens the file when it was closed, reads min(size, 200) bytes from the
    // saved position, then pauses 500 ms; 0 at the end of the file (still
    // pausing) or at once when the file cannot be opened again.
    unsigned ReadData(char* buffer, unsigned size) override;
    // The data is dropped.
    unsigned WriteData(const char*, unsigned) override { return 0; }
    unsigned GetType() const override { return PORT_TYPE_VIRTUAL; }

    std::string GetPath() const { return path_; }
    void SetPath(const std::string& path) { path_ = path; }

private:
    std::string path_;
};

}  // namespace FJComm
}  // namespace Fjarnis2011
