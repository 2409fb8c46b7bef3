#pragma once

#include "fjcomm/FJCore/Mutex.h"
#include "fjcomm/IPort.h"

#include <memory>
#include <mutex>

namespace platform {
class TcpConnection;
}

namespace Fjarnis2011 {
namespace FJComm {

// A TCP client port that connects on its first read or write. The reading and
// writing threads share one connection (never two connects); Uninitialize on
// a third thread cuts short a connect, receive or send in progress and leaves
// the port closed until it is initialised again.
class SockPort : public IPort {
public:
    SockPort();
    ~SockPort() override;  // closes the connection when still open

    SockPort(const SockPort&) = delete;
    SockPort& operator=(const SockPort&) = delete;

    // param: PARAM_SOCK; stores the address only. 0; 4 when param is null.
    unsigned Initialize(void* param) override;
    void Uninitialize() override;
    // True while a connection exists.
    bool IsOpen() override;
    // Connects when needed, then one receive: the count, 0 when the peer has
    // closed (the connection stays until Uninitialize), 0 on an error (the
    // connection is dropped and the next call connects again).
    unsigned ReadData(char* buffer, unsigned size) override;
    // Connects when needed, then sends until all is sent or an error; the
    // count sent.
    unsigned WriteData(const char* data, unsigned size) override;
    unsigned GetType() const override { return PORT_TYPE_SOCK; }

private:
    // The connection, made when there is none; null when it cannot be made.
    std::shared_ptr<platform::TcpConnection> Connection();
    void Drop(const std::shared_ptr<platform::TcpConnection>& connection);

    FJCore::MutexHolder mutex_;  // guards everything below
    uint32_t address_ = 0;       // network byte order
    uint16_t port_ = 0;          // host order
    bool closed_ = true;         // not initialised, or uninitialised
    std::shared_ptr<platform::TcpConnection> connection_;  // connected
    std::shared_ptr<platform::TcpConnection> connecting_;  // connect in progress
    std::mutex connectMutex_;    // one connect at a time
};

}  // namespace FJComm
}  // namespace Fjarnis2011
