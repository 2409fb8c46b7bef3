#pragma once

#include "platform/Export.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace platform {

// One TCP client connection over IPv4 whose waiting steps (connect, receive,
// send) another thread can cut short with Cancel: Cancel shuts the socket down
// and wakes every wait. The descriptor lives as long as the object, so owners
// share the object and a thread still inside a call never touches a reused
// descriptor. Sends never raise SIGPIPE. Codes are Windows Sockets codes of
// platform/ErrorCodes.h, never 0 on failure.
class PLATFORM_API TcpConnection {
public:
    TcpConnection();
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Connects to an IPv4 address given in network byte order and a port in
    // host order; waits until connected, refused, failed or cancelled.
    // 0 or an error code; a connection is made at most once per object.
    uint32_t Connect(uint32_t addressNetworkOrder, uint16_t port);

    // One receive: waits for data, the peer's close, an error or Cancel.
    // Returns the count received, 0 when the peer has closed (or size is 0),
    // or -1 with *error set.
    long Receive(void* buffer, size_t size, uint32_t* error = nullptr);

    // Sends every byte, waiting for room; returns the count sent before an
    // error or Cancel stopped it (error, when given, says which).
    size_t Send(const void* data, size_t size, uint32_t* error = nullptr);

    // Any thread: shuts the socket down in both directions and wakes every
    // call waiting on it; later calls fail at once.
    void Cancel();

    bool IsCancelled() const { return cancelled_; }

private:
    int fd_ = -1;
    int wake_ = -1;  // eventfd: readable once Cancel was called
    uint32_t createError_ = 0;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> connectStarted_{false};
};

}  // namespace platform
