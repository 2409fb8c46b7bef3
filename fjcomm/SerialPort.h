#pragma once

#include "fjcomm/IPort.h"
#include "platform/Serial.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>

namespace Fjarnis2011 {
namespace FJComm {

// The two serial trace files, shared by every serial port of the process and
// closed when the last port that opened them is gone. A file that could not
// be opened is null and is never closed.
struct SerialTraceFiles {
    SerialTraceFiles();
    ~SerialTraceFiles();
    SerialTraceFiles(const SerialTraceFiles&) = delete;
    SerialTraceFiles& operator=(const SerialTraceFiles&) = delete;

    FILE* write = nullptr;  // "serial_w.log"
    FILE* read = nullptr;   // "serial_r.log"
    std::mutex lock;        // ports on several lines share the two files
};

// One trace line: the tick count as twelve zero-filled digits, ": ", then the
// bytes, printable ASCII (0x21-0x7E) as itself and any other byte, the space
// included, as "[hh]", then a line feed. A null file writes nothing.
void SerialTraceLine(FILE* file, const uint8_t* bytes, size_t count);

// A serial COM port, also used for a Bluetooth virtual COM port. COM n is the
// device path platform::ComPortPath(n). One reading and one writing thread may
// use the port while a third uninitialises it or changes its baud rate.
class SerialPort : public IPort {
public:
    // Opens (or shares) the two trace files.
    SerialPort();
    // Stores the port number and baud rate; no trace files.
    SerialPort(int port, int baud);
    // Closes the line when the owner did not uninitialise it first.
    ~SerialPort() override;

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // param: PARAM_COM or PARAM_BT. 0; 4 when param is null or the line cannot
    // be opened (absent, or held by another open); the system error code when
    // the line set-up is refused (the line is then closed again).
    unsigned Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override;
    // At most min(size, bytes the driver has queued); 0 at once when none.
    unsigned ReadData(char* buffer, unsigned size) override;
    // Waits on the line itself; Uninitialize ends the wait.
    int WaitForData(uint32_t timeoutMs) override;
    // One write of all bytes, waiting for room no longer than the write
    // time-out (1000 ms + 10 ms per byte); the count written.
    unsigned WriteData(const char* data, unsigned size) override;
    unsigned GetType() const override { return PORT_TYPE_COM; }

    // Stores the rate and applies the whole line set-up again (see SetBaud).
    unsigned ChangeBaud(unsigned baud);

    // Settings, copied without opening anything.
    void SetParam(const PARAM_COM& param);
    int32_t GetPort() const;
    void SetPort(int32_t v);
    int32_t GetBaud() const;
    void SetBaudRate(int32_t v);
    int32_t GetParity() const;
    void SetParity(int32_t v);
    int32_t GetByteSize() const;
    void SetByteSize(int32_t v);
    int32_t GetStopBits() const;
    void SetStopBits(int32_t v);
    int32_t GetInQueueSize() const;
    void SetInQueueSize(int32_t v);
    int32_t GetOutQueueSize() const;
    void SetOutQueueSize(int32_t v);

    // The trace files this port shares (null without them).
    FILE* WriteTraceFile() const { return trace_ ? trace_->write : nullptr; }
    FILE* ReadTraceFile() const { return trace_ ? trace_->read : nullptr; }

private:
    std::shared_ptr<platform::SerialLine> Line() const;
    // Speed, data bits, parity, stop bits, raw mode, then both queues purged.
    unsigned ApplyLineSettings(platform::SerialLine& line) const;
    platform::SerialSettings SettingsLocked() const;  // caller holds mutex_

    mutable std::mutex mutex_;  // guards the line pointer and the settings
    std::shared_ptr<platform::SerialLine> line_;
    int32_t port_ = 1;
    int32_t baud_ = 9600;
    int32_t parity_ = 0;
    int32_t byteSize_ = 8;
    int32_t stopBits_ = 0;
    int32_t inQueueSize_ = 1024;
    int32_t outQueueSize_ = 1024;
    std::shared_ptr<SerialTraceFiles> trace_;
};

}  // namespace FJComm
}  // namespace Fjarnis2011
