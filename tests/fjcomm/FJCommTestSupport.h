#pragma once

// Helpers of the port library tests: a scratch program folder, pseudo-terminals
// standing in for COM ports, and loopback TCP peers.

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace fjcomm_test {

// A fresh folder under /tmp, removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        char tmpl[] = "/tmp/fjcomm-test-XXXXXX";
        const char* p = mkdtemp(tmpl);
        path_ = p ? p : "/tmp";
    }
    ~ScratchFolder() {
        const std::string cmd = "rm -rf '" + path_ + "'";
        [[maybe_unused]] const int r = std::system(cmd.c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A pseudo-terminal: the test plays the receiver on the master side and the
// port under test opens the slave by its path. The test keeps its own slave
// descriptor so that the line stays up and its settings can be read.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = name;
            fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() {
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }
    bool ok() const { return master_ >= 0 && !path_.empty(); }
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& path() const { return path_; }

    // Closes the master side: the line hangs up, as when a USB adapter is
    // pulled.
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

    bool WriteMaster(const std::vector<uint8_t>& bytes) {
        return write(master_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }

    // Reads from the master until count bytes arrived or waitMs passed.
    std::vector<uint8_t> ReadMaster(size_t count, int waitMs = 5000) {
        std::vector<uint8_t> got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now()).count();
            if (left <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, int(left)) <= 0) continue;
            uint8_t buf[4096];
            const ssize_t n = read(master_, buf, std::min(sizeof buf, count - got.size()));
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

    // Bytes waiting for the slave side (what the port would find queued).
    int SlaveQueued() const {
        int n = 0;
        ioctl(slave_, FIONREAD, &n);
        return n;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

inline uint32_t Loopback() { return htonl(INADDR_LOOPBACK); }

// A listening TCP socket on 127.0.0.1 with a port chosen by the system.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 8, uint16_t port = 0) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = Loopback();
        a.sin_port = htons(port);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, backlog) != 0) {
            close(fd_);
            fd_ = -1;
            return;
        }
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackListener() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    uint16_t port() const { return port_; }

    // Accepts one connection within waitMs; -1 when none came.
    int Accept(int waitMs = 5000) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0) return -1;
        return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};

// A loopback port number on which nothing listens (at the time of the call).
inline uint16_t UnusedLoopbackPort() {
    LoopbackListener l;
    return l.port();
}

// Reads from a socket until count bytes arrived, the peer closed or waitMs passed.
inline std::vector<uint8_t> ReadSocket(int fd, size_t count, int waitMs = 10000) {
    std::vector<uint8_t> got;
    got.reserve(count);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::vector<uint8_t> buf(65536);
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0) continue;
        const ssize_t n = recv(fd, buf.data(), std::min(buf.size(), count - got.size()), 0);
        if (n <= 0) break;
        got.insert(got.end(), buf.begin(), buf.begin() + n);
    }
    return got;
}

}  // namespace fjcomm_test
