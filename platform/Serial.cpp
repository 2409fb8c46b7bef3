#include "platform/Serial.h"

#include "platform/ErrorCodes.h"
#include "platform/Time.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

struct SpeedEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},
    {150, B150},       {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedFor(uint32_t baud, speed_t& speed) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.baud == baud) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

void SetError(uint32_t* error, uint32_t code) {
    if (error) *error = code;
}

}  // namespace

SerialLine::SerialLine() = default;

SerialLine::~SerialLine() { Close(); }

uint32_t SerialLine::Open(const std::string& path) {
    Close();
    if (path.empty()) return winerr::kFileNotFound;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SystemErrorFromErrno(errno);
    // flock rather than TIOCEXCL: the exclusive-tty flag does not stop root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const uint32_t code = SystemErrorFromErrno(errno);
        ::close(fd);
        return code;
    }
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        const uint32_t code = SystemErrorFromErrno(errno);
        ::close(fd);
        return code;
    }
    fd_ = fd;
    wake_ = wake;
    cancelled_ = false;
    return 0;
}

uint32_t SerialLine::Configure(const SerialSettings& s) {
    if (fd_ < 0) return winerr::kInvalidHandle;
    speed_t speed;
    if (!SpeedFor(s.baud, speed)) return winerr::kInvalidParameter;
    tcflag_t size;
    switch (s.byteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return winerr::kInvalidParameter;
    }
    tcflag_t parity;
    switch (s.parity) {
    case 0: parity = 0; break;
    case 1: parity = PARENB | PARODD; break;
    case 2: parity = PARENB; break;
    case 3: parity = PARENB | CMSPAR | PARODD; break;
    case 4: parity = PARENB | CMSPAR; break;
    default: return winerr::kInvalidParameter;
    }
    // One and a half stop bits exist only with 5 data bits and two only
    // without; a UART sends 1.5 when asked for two at 5 data bits.
    tcflag_t stop;
    switch (s.stopBits) {
    case 0: stop = 0; break;
    case 1:
        if (s.byteSize != 5) return winerr::kInvalidParameter;
        stop = CSTOPB;
        break;
    case 2:
        if (s.byteSize == 5) return winerr::kInvalidParameter;
        stop = CSTOPB;
        break;
    default: return winerr::kInvalidParameter;
    }

    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return SystemErrorFromErrno(errno);
    ::cfmakeraw(&t);
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= size | parity | stop | CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0)
        return SystemErrorFromErrno(errno);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return SystemErrorFromErrno(errno);
    return 0;
}

uint32_t SerialLine::Purge() {
    if (fd_ < 0) return winerr::kInvalidHandle;
    if (::tcflush(fd_, TCIOFLUSH) != 0) return SystemErrorFromErrno(errno);
    return 0;
}

size_t SerialLine::Waiting(uint32_t* error) const {
    SetError(error, 0);
    if (fd_ < 0) {
        SetError(error, winerr::kInvalidHandle);
        return 0;
    }
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        SetError(error, SystemErrorFromErrno(errno));
        return 0;
    }
    return n > 0 ? size_t(n) : 0;
}

size_t SerialLine::Read(void* buffer, size_t size, uint32_t* error) {
    const size_t waiting = Waiting(error);
    if (waiting == 0 || size == 0 || buffer == nullptr) return 0;
    const size_t want = size < waiting ? size : waiting;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, want);
        if (n >= 0) return size_t(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        SetError(error, SystemErrorFromErrno(errno));
        return 0;
    }
}

size_t SerialLine::Write(const void* data, size_t size, uint32_t timeoutMs, uint32_t* error) {
    SetError(error, 0);
    if (fd_ < 0) {
        SetError(error, winerr::kInvalidHandle);
        return 0;
    }
    if (data == nullptr || size == 0) return 0;
    const auto* p = static_cast<const uint8_t*>(data);
    size_t done = 0;
    const uint32_t start = TickCount();
    while (done < size) {
        if (cancelled_) {
            SetError(error, winerr::kOperationAborted);
            break;
        }
        const ssize_t n = ::write(fd_, p + done, size - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            SetError(error, SystemErrorFromErrno(errno));
            break;
        }
        // The driver's queue is full: wait for room until the deadline.
        const uint32_t spent = TickCount() - start;
        if (spent >= timeoutMs) {
            SetError(error, winerr::kTimeout);
            break;
        }
        pollfd fds[2] = {{fd_, POLLOUT, 0}, {wake_, POLLIN, 0}};
        const uint32_t left = timeoutMs - spent;
        const int r = ::poll(fds, 2, left > 0x7FFFFFFFu ? 0x7FFFFFFF : int(left));
        if (r < 0 && errno != EINTR) {
            SetError(error, SystemErrorFromErrno(errno));
            break;
        }
        if (r > 0 && (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) && !(fds[0].revents & POLLOUT)) {
            SetError(error, winerr::kDeviceNotConnected);
            break;
        }
    }
    return done;
}

bool SerialLine::WaitReadable(uint32_t timeoutMs) {
    if (fd_ < 0 || cancelled_.load()) return true;
    auto clamp = [](uint32_t ms) { return ms > 0x7FFFFFFFu ? 0x7FFFFFFF : int(ms); };
    const uint32_t start = TickCount();
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
    const nfds_t count = wake_ >= 0 ? 2 : 1;
    const int r = ::poll(fds, count, clamp(timeoutMs));
    // Data, Cancel or an interrupted wait send the caller to read and look
    // again; the time-out is quiet.
    if (r <= 0) return r != 0;
    if (count == 2 && (fds[1].revents & POLLIN)) return true;
    // A line that hung up (an adapter pulled, the far end of a
    // pseudo-terminal closed) reports itself readable on every wait and
    // never gives a byte: with nothing queued it is waited on like a quiet
    // line, until the time-out or Cancel, so that its reader does not spin.
    if ((fds[0].revents & (POLLHUP | POLLERR)) && Waiting() == 0) {
        if (wake_ < 0) return true;
        const uint32_t spent = TickCount() - start;
        pollfd wake{wake_, POLLIN, 0};
        return ::poll(&wake, 1, spent >= timeoutMs ? 0 : clamp(timeoutMs - spent)) != 0;
    }
    return true;
}

void SerialLine::Cancel() {
    cancelled_ = true;
    if (wake_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
    }
}

void SerialLine::Close() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
    if (wake_ >= 0) {
        ::close(wake_);
        wake_ = -1;
    }
}

}  // namespace platform
