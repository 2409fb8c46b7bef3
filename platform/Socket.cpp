#include "platform/Socket.h"

#include "platform/ErrorCodes.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

void SetError(uint32_t* error, uint32_t code) {
    if (error) *error = code;
}

// Waits until fd shows one of the events or the wake descriptor is signalled.
// Returns 1 when fd is ready, 0 when woken, -1 on a poll failure (errno set).
int WaitFor(int fd, short events, int wake) {
    for (;;) {
        pollfd fds[2] = {{wake, POLLIN, 0}, {fd, events, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (fds[0].revents) return 0;
        if (fds[1].revents) return 1;
    }
}

}  // namespace

TcpConnection::TcpConnection() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd_ < 0) {
        createError_ = SocketErrorFromErrno(errno);
        return;
    }
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0) {
        createError_ = SocketErrorFromErrno(errno);
        ::close(fd_);
        fd_ = -1;
    }
}

TcpConnection::~TcpConnection() {
    if (fd_ >= 0) ::close(fd_);
    if (wake_ >= 0) ::close(wake_);
}

uint32_t TcpConnection::Connect(uint32_t addressNetworkOrder, uint16_t port) {
    if (fd_ < 0) return createError_;
    if (cancelled_) return wsaerr::kInterrupted;
    if (connectStarted_.exchange(true)) return wsaerr::kIsConn;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = addressNetworkOrder;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) return 0;
    if (errno != EINPROGRESS && errno != EINTR) return SocketErrorFromErrno(errno);
    const int r = WaitFor(fd_, POLLOUT, wake_);
    if (r < 0) return SocketErrorFromErrno(errno);
    if (r == 0) return wsaerr::kInterrupted;
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) return SocketErrorFromErrno(errno);
    if (soError != 0) return SocketErrorFromErrno(soError);
    if (cancelled_) return wsaerr::kInterrupted;
    return 0;
}

long TcpConnection::Receive(void* buffer, size_t size, uint32_t* error) {
    SetError(error, 0);
    if (fd_ < 0) {
        SetError(error, wsaerr::kNotSocket);
        return -1;
    }
    if (size == 0) return 0;
    if (buffer == nullptr) {
        SetError(error, wsaerr::kFault);
        return -1;
    }
    for (;;) {
        if (cancelled_) {
            SetError(error, wsaerr::kInterrupted);
            return -1;
        }
        const ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n >= 0) return long(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            SetError(error, SocketErrorFromErrno(errno));
            return -1;
        }
        const int r = WaitFor(fd_, POLLIN, wake_);
        if (r < 0) {
            SetError(error, SocketErrorFromErrno(errno));
            return -1;
        }
        if (r == 0) {
            SetError(error, wsaerr::kInterrupted);
            return -1;
        }
    }
}

size_t TcpConnection::Send(const void* data, size_t size, uint32_t* error) {
    SetError(error, 0);
    if (fd_ < 0) {
        SetError(error, wsaerr::kNotSocket);
        return 0;
    }
    if (data == nullptr || size == 0) return 0;
    const auto* p = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        if (cancelled_) {
            SetError(error, wsaerr::kInterrupted);
            break;
        }
        const ssize_t n = ::send(fd_, p + done, size - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            SetError(error, SocketErrorFromErrno(errno));
            break;
        }
        const int r = WaitFor(fd_, POLLOUT, wake_);
        if (r < 0) {
            SetError(error, SocketErrorFromErrno(errno));
            break;
        }
        if (r == 0) {
            SetError(error, wsaerr::kInterrupted);
            break;
        }
    }
    return done;
}

void TcpConnection::Cancel() {
    cancelled_ = true;
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
    if (wake_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
    }
}

}  // namespace platform
