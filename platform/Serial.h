#pragma once

#include "platform/Export.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The line settings of a serial port, in the codes of the original platform:
// parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and a
// half (5 data bits only), 2 two (not with 5 data bits).
struct SerialSettings {
    uint32_t baud = 9600;
    uint8_t byteSize = 8;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
};

// One open serial line: raw (no echo, no CR/LF or flow-control translation),
// held exclusively (flock) and non-blocking. Reads take only what the driver
// has already queued; writes wait for room up to a deadline. The descriptor
// lives as long as the object, so a thread still inside Read or Write never
// touches a reused descriptor: owners share the object and drop it.
// All results are 0 or an error code of platform/ErrorCodes.h (never 0 on failure).
class PLATFORM_API SerialLine {
public:
    SerialLine();
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens the device path for reading and writing and locks it; a line that
    // another open already holds fails with the sharing-violation code.
    uint32_t Open(const std::string& path);

    // Puts the line in raw mode with the given speed, data bits, parity and
    // stop bits on top of the state the driver reports. A setting the line
    // cannot take fails with the invalid-parameter code and changes nothing.
    uint32_t Configure(const SerialSettings& settings);

    // Drops what waits in both directions.
    uint32_t Purge();

    // Bytes waiting in the receive queue; 0 when none, on error or when closed.
    size_t Waiting(uint32_t* error = nullptr) const;

    // Reads at most min(size, bytes waiting) without blocking; 0 when nothing
    // was read (error, when given, tells a failure from a quiet line).
    size_t Read(void* buffer, size_t size, uint32_t* error = nullptr);

    // Writes the bytes, waiting for room until timeoutMs has passed or Cancel
    // is called; returns the count written.
    size_t Write(const void* data, size_t size, uint32_t timeoutMs, uint32_t* error = nullptr);

    // Waits until the line says it is readable, Cancel is called or
    // timeoutMs has passed: false only at the time-out. A line that hung up
    // with nothing left to read is quiet: the wait lasts until the time-out
    // or Cancel. A reader that finds nothing after a true result paces
    // itself.
    bool WaitReadable(uint32_t timeoutMs);

    // Wakes a Write that waits for room, and a WaitReadable, and makes later
    // Writes return at once.
    void Cancel();

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

private:
    void Close();

    int fd_ = -1;
    int wake_ = -1;  // eventfd: readable once Cancel was called
    std::atomic<bool> cancelled_{false};
};

}  // namespace platform
