#include "fjcomm/SockPort.h"

#include "platform/Socket.h"

#include <cstring>

namespace Fjarnis2011 {
namespace FJComm {

using FJCore::ScopedLock;

SockPort::SockPort() = default;

SockPort::~SockPort() { Uninitialize(); }

unsigned SockPort::Initialize(void* param) {
    if (param == nullptr) return PORT_BAD_PARAMETER;
    PARAM_SOCK p;
    std::memcpy(&p, param, sizeof p);
    Uninitialize();
    ScopedLock lock(mutex_);
    address_ = p.address;
    port_ = uint16_t(p.port & 0xFFFFu);
    closed_ = false;
    return PORT_OK;
}

void SockPort::Uninitialize() {
    std::shared_ptr<platform::TcpConnection> connection, connecting;
    {
        ScopedLock lock(mutex_);
        closed_ = true;
        connection.swap(connection_);
        connecting.swap(connecting_);
    }
    // Shuts the sockets down, which wakes a receive, send or connect waiting
    // on another thread; each socket closes once its last user lets go.
    if (connection) connection->Cancel();
    if (connecting) connecting->Cancel();
}

bool SockPort::IsOpen() {
    ScopedLock lock(mutex_);
    return connection_ != nullptr;
}

std::shared_ptr<platform::TcpConnection> SockPort::Connection() {
    {
        ScopedLock lock(mutex_);
        if (connection_ || closed_) return connection_;
    }
    // The reading and the writing thread may both find no connection: the
    // second waits here for the first one's connect and then uses it.
    std::lock_guard<std::mutex> connectLock(connectMutex_);
    std::shared_ptr<platform::TcpConnection> attempt;
    uint32_t address;
    uint16_t port;
    {
        ScopedLock lock(mutex_);
        if (connection_ || closed_) return connection_;
        attempt = std::make_shared<platform::TcpConnection>();
        connecting_ = attempt;
        address = address_;
        port = port_;
    }
    // Outside the lock, so that Uninitialize can cancel a connect to a host
    // that does not answer.
    const uint32_t code = attempt->Connect(address, port);
    ScopedLock lock(mutex_);
    if (connecting_ == attempt) connecting_.reset();
    if (code != 0 || closed_) {
        attempt->Cancel();
        return nullptr;
    }
    connection_ = attempt;
    return connection_;
}

void SockPort::Drop(const std::shared_ptr<platform::TcpConnection>& connection) {
    {
        ScopedLock lock(mutex_);
        if (connection_ == connection) connection_.reset();
    }
    connection->Cancel();
}

unsigned SockPort::ReadData(char* buffer, unsigned size) {
    const std::shared_ptr<platform::TcpConnection> connection = Connection();
    if (!connection || buffer == nullptr) return 0;
    const long n = connection->Receive(buffer, size);
    if (n >= 0) return unsigned(n);
    Drop(connection);
    return 0;
}

unsigned SockPort::WriteData(const char* data, unsigned size) {
    const std::shared_ptr<platform::TcpConnection> connection = Connection();
    if (!connection || size == 0 || data == nullptr) return 0;
    return unsigned(connection->Send(data, size));
}

}  // namespace FJComm
}  // namespace Fjarnis2011
