#include "fjcomm/MySocket.h"

#include "fjcomm/Logger/Logger.h"
#include "platform/ErrorCodes.h"
#include "platform/Numbers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJComm {

namespace {

using platform::SocketErrorFromErrno;
namespace wsaerr = platform::wsaerr;

// One lock for every socket's packet list, alive for the whole process: no
// object creates or deletes it under another's feet.
std::mutex& PacketLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// The socket the accept loop of this thread is offering to OnAccept: an
// AcceptServiceSocket of it takes it over, so the loop must not close it.
thread_local int t_offeredSocket = -1;

}  // namespace

// A socket descriptor with a wake-up: Cancel shuts the socket down and wakes
// every wait on it; the descriptor closes when the last holder lets go, so a
// thread still inside a call never meets a reused descriptor.
class MySocket::Handle {
public:
    explicit Handle(int fd) : fd_(fd) {
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    ~Handle() {
        if (fd_ >= 0) ::close(fd_);
        if (wake_ >= 0) ::close(wake_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    int fd() const { return fd_; }

    void Cancel() {
        cancelled_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        const uint64_t one = 1;
        if (wake_ >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
        }
    }

    bool IsCancelled() const { return cancelled_; }

    // 0 when the socket is ready, else the code (10004 once cancelled).
    uint32_t Wait(short events) {
        for (;;) {
            if (cancelled_) return wsaerr::kInterrupted;
            pollfd fds[2] = {{wake_, POLLIN, 0}, {fd_, events, 0}};
            const int r = ::poll(fds, wake_ >= 0 ? 2 : 1, -1);
            if (r < 0) {
                if (errno == EINTR) continue;
                return SocketErrorFromErrno(errno);
            }
            if (fds[0].revents) return wsaerr::kInterrupted;
            if (fds[1].revents) return 0;
        }
    }

    uint32_t Connect(const sockaddr_in& to) {
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return 0;
        if (errno != EINPROGRESS && errno != EINTR) return SocketErrorFromErrno(errno);
        const uint32_t code = Wait(POLLOUT);
        if (code != 0) return code;
        int soError = 0;
        socklen_t len = sizeof soError;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) return SocketErrorFromErrno(errno);
        if (soError != 0) return SocketErrorFromErrno(soError);
        return cancelled_ ? wsaerr::kInterrupted : 0;
    }

    // The count received, 0 when the peer closed, -1 with *error.
    long Receive(char* buffer, size_t size, sockaddr_in* from, uint32_t* error) {
        *error = 0;
        for (;;) {
            if (cancelled_) {
                *error = wsaerr::kInterrupted;
                return -1;
            }
            socklen_t len = sizeof(sockaddr_in);
            const ssize_t n = from ? ::recvfrom(fd_, buffer, size, 0, reinterpret_cast<sockaddr*>(from), &len)
                                   : ::recv(fd_, buffer, size, 0);
            if (n >= 0) return long(n);
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                *error = SocketErrorFromErrno(errno);
                return -1;
            }
            const uint32_t code = Wait(POLLIN);
            if (code != 0) {
                *error = code;
                return -1;
            }
        }
    }

    // Sends every byte (to `to` when given); 0 or the code that stopped it.
    uint32_t SendAll(const char* data, size_t size, const sockaddr_in* to) {
        size_t done = 0;
        while (done < size) {
            if (cancelled_) return wsaerr::kInterrupted;
            const ssize_t n = to ? ::sendto(fd_, data + done, size - done, MSG_NOSIGNAL,
                                            reinterpret_cast<const sockaddr*>(to), sizeof *to)
                                 : ::send(fd_, data + done, size - done, MSG_NOSIGNAL);
            if (n >= 0) {
                done += size_t(n);
                continue;
            }
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return SocketErrorFromErrno(errno);
            const uint32_t code = Wait(POLLOUT);
            if (code != 0) return code;
        }
        return 0;
    }

    // An accepted socket, or -1 with *error.
    int Accept(uint32_t* error) {
        for (;;) {
            if (cancelled_) {
                *error = wsaerr::kInterrupted;
                return -1;
            }
            const int s = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (s >= 0) return s;
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                *error = SocketErrorFromErrno(errno);
                return -1;
            }
            const uint32_t code = Wait(POLLIN);
            if (code != 0) {
                *error = code;
                return -1;
            }
        }
    }

private:
    int fd_;
    int wake_ = -1;
    std::atomic<bool> cancelled_{false};
};

MySocket::MySocket() {
    FJCore::CreateLogger("\\socket.log", 1);
    // Linux sockets need no start-up; the flag stays this object's own.
    winsockReady_ = true;
}

MySocket::~MySocket() {
    StopThreads();
    FreePackets();
}

void MySocket::StopThreads() {
    if (winsockReady_) Disconnect();
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (readThread_.joinable()) threads.push_back(std::move(readThread_));
        if (acceptThread_.joinable()) threads.push_back(std::move(acceptThread_));
        for (auto& t : retired_) threads.push_back(std::move(t));
        retired_.clear();
    }
    for (auto& t : threads) {
        if (t.get_id() == std::this_thread::get_id())
            t.detach();  // destroyed from its own event: the loop ends on its own
        else
            t.join();
    }
}

std::shared_ptr<MySocket::Handle> MySocket::CurrentHandle() {
    std::lock_guard<std::mutex> lock(mutex_);
    return socket_;
}

bool MySocket::Create(int kind, int bufferSize) {
    if (!winsockReady_) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (socket_) {
            lastError_ = int(wsaerr::kAccess);
            return false;
        }
    }
    if (kind != SOCK_KIND_TCP && kind != SOCK_KIND_UDP) {
        lastError_ = int(wsaerr::kInvalid);
        return false;
    }
    const int fd = ::socket(AF_INET, (kind == SOCK_KIND_TCP ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC,
                            kind == SOCK_KIND_TCP ? IPPROTO_TCP : IPPROTO_UDP);
    if (fd < 0) {
        lastError_ = int(SocketErrorFromErrno(errno));
        return false;
    }
    if (kind == SOCK_KIND_TCP) {
        // Closing never waits for unsent data.
        linger off{0, 0};
        if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off) != 0) {
            lastError_ = int(SocketErrorFromErrno(errno));
            ::close(fd);
            return false;
        }
    }
    bufferSize_ = bufferSize != 0 ? bufferSize : (kind == SOCK_KIND_TCP ? 1024 : 2048);
    if (kind == SOCK_KIND_UDP) peerKnown_ = false;
    FreePackets();
    std::lock_guard<std::mutex> lock(mutex_);
    if (socket_) {  // another thread created one meanwhile
        ::close(fd);
        lastError_ = int(wsaerr::kAccess);
        return false;
    }
    socket_ = std::make_shared<Handle>(fd);
    adopted_ = false;
    kind_ = kind;
    state_ = SOCK_STATE_CREATED;
    return true;
}

bool MySocket::Connect(std::string& host, unsigned port) {
    if (!winsockReady_) return false;
    if (!CurrentHandle()) {
        lastError_ = int(wsaerr::kNotSocket);
        return false;
    }
    const int kind = kind_;
    if ((kind == SOCK_KIND_TCP && state_ > SOCK_STATE_CREATED) || (kind == SOCK_KIND_UDP && state_ > SOCK_STATE_CONNECTED)) {
        lastError_ = int(wsaerr::kIsConn);
        return false;
    }
    if (port > 65535) {
        lastError_ = int(wsaerr::kInvalid);
        return false;
    }
    const std::string name = host.substr(0, 259);
    in_addr address{};
    if (::inet_aton(name.c_str(), &address) == 0) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        const int r = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
        if (r != 0 || !found) {
            lastError_ = int(r == EAI_SYSTEM ? SocketErrorFromErrno(errno) : wsaerr::kHostNotFound);
            return false;
        }
        address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        ::freeaddrinfo(found);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        remote_ = sockaddr_in{};
        remote_.sin_family = AF_INET;
        remote_.sin_port = htons(uint16_t(port));
        remote_.sin_addr = address;
    }
    if (kind == SOCK_KIND_TCP) {
        StartThread(false);
        return true;
    }
    peerKnown_ = true;
    state_ = SOCK_STATE_CONNECTED;
    OnConnect(0);
    return true;
}

bool MySocket::ReConnect(unsigned port) {
    if (!winsockReady_) return false;
    if (kind_ == SOCK_KIND_TCP) {
        lastError_ = int(wsaerr::kProtoType);
        return false;
    }
    if (!CurrentHandle()) {
        lastError_ = int(wsaerr::kNotSocket);
        return false;
    }
    if (port > 65535) {
        lastError_ = int(wsaerr::kInvalid);
        return false;
    }
    if (state_ != SOCK_STATE_CONNECTED) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    remote_.sin_port = htons(uint16_t(port));
    return true;
}

bool MySocket::Accept(unsigned port, int backlog) {
    if (!winsockReady_) return false;
    const std::shared_ptr<Handle> handle = CurrentHandle();
    if (!handle) {
        lastError_ = int(wsaerr::kNotSocket);
        return false;
    }
    if (state_ > SOCK_STATE_CREATED) {
        lastError_ = int(wsaerr::kIsConn);
        return false;
    }
    if (port > 65535) {
        lastError_ = int(wsaerr::kInvalid);
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(uint16_t(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(handle->fd(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        lastError_ = int(SocketErrorFromErrno(errno));
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        local_ = local;
    }
    if (kind_ == SOCK_KIND_UDP) {
        state_ = SOCK_STATE_LISTENING;
        peerKnown_ = false;
        StartThread(false);
        return true;
    }
    if (::listen(handle->fd(), backlog) != 0) {
        lastError_ = int(SocketErrorFromErrno(errno));
        return false;
    }
    state_ = SOCK_STATE_LISTENING;
    StartThread(true);
    return true;
}

void MySocket::AcceptServiceSocket(unsigned socket) {
    const int fd = int(socket);
    if (fd < 0) return;
    if (t_offeredSocket == fd) t_offeredSocket = -1;  // ours now, whatever OnAccept returns
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) != 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        return;
    }
    Disconnect();
    auto handle = std::make_shared<Handle>(fd);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        socket_ = handle;
        remote_ = peer;
        adopted_ = true;
    }
    kind_ = SOCK_KIND_TCP;
    if (bufferSize_ == 0) bufferSize_ = 1024;
    state_ = SOCK_STATE_CONNECTED;
    StartThread(false);
}

void MySocket::Disconnect() {
    if (!winsockReady_) return;
    std::shared_ptr<Handle> handle;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!socket_) return;
        state_ = SOCK_STATE_CLOSING;
        handle.swap(socket_);
        adopted_ = false;
    }
    handle->Cancel();
    state_ = SOCK_STATE_NONE;
    lastError_ = 0;
    peerKnown_ = false;
}

bool MySocket::DisconnectIf(const std::shared_ptr<Handle>& handle) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (socket_ != handle) return false;
    }
    Disconnect();
    return true;
}

void MySocket::StartThread(bool acceptLoop) {
    std::thread& slot = acceptLoop ? acceptThread_ : readThread_;
    std::thread old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old = std::move(slot);
    }
    // The loop this one replaces served a socket that is gone: it is ending.
    if (old.joinable()) {
        if (old.get_id() == std::this_thread::get_id()) {
            std::lock_guard<std::mutex> lock(mutex_);
            retired_.push_back(std::move(old));
        } else {
            old.join();
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    std::atomic<int>& run = acceptLoop ? acceptRun_ : readRun_;
    std::atomic<uint64_t>& generation = acceptLoop ? acceptGeneration_ : readGeneration_;
    if (!socket_) {
        run = 0;
        return;
    }
    if (slot.joinable()) retired_.push_back(std::move(slot));
    const uint64_t mine = ++generation;
    run = 2;
    if (acceptLoop)
        slot = std::thread(&MySocket::AcceptThread, this, socket_, mine);
    else
        slot = std::thread(&MySocket::ReadThread, this, socket_, adopted_, mine);
}

void MySocket::ReadThread(std::shared_ptr<Handle> handle, bool adopted, uint64_t generation) {
    // A loop replaced from its own thread must not overwrite the run value of
    // the loop that replaced it.
    auto setRun = [&](int value) {
        if (readGeneration_ == generation) readRun_ = value;
    };
    const int kind = kind_;
    if (kind == SOCK_KIND_TCP && !adopted) {
        sockaddr_in to;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            to = remote_;
        }
        const uint32_t code = handle->Connect(to);
        if (code != 0) {
            DisconnectIf(handle);
            lastError_ = int(code);  // after the disconnect, which clears it
            OnConnect(int(code));
            setRun(0);
            return;
        }
        state_ = SOCK_STATE_CONNECTED;
        OnConnect(0);
    }
    const int size = bufferSize_ > 0 ? int(bufferSize_) : 1024;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size_t(size)]);
    setRun(buffer ? 2 : 1);
    while (buffer) {
        uint32_t error = 0;
        sockaddr_in from{};
        const long n = handle->Receive(buffer.get(), size_t(size), kind == SOCK_KIND_UDP ? &from : nullptr, &error);
        lastError_ = int(error);
        if (n < 1) {
            if (n == 0 && kind == SOCK_KIND_UDP && error == 0 && !handle->IsCancelled()) continue;  // an empty datagram
            peerKnown_ = false;
            if (kind == SOCK_KIND_UDP && state_ == SOCK_STATE_LISTENING && error == wsaerr::kConnReset) {
                OnClose(1);
                continue;
            }
            break;
        }
        if (kind == SOCK_KIND_UDP) {
            std::lock_guard<std::mutex> lock(mutex_);
            local_ = from;
        }
        peerKnown_ = true;
        if (OnReceive(buffer.get(), int(n))) continue;
        QueuePacket(buffer.get(), int(n));
        OnReceive();
    }
    buffer.reset();
    setRun(1);
    if (state_ < SOCK_STATE_CREATED) {
        OnClose(0);
    } else if (kind == SOCK_KIND_TCP) {
        DisconnectIf(handle);
        OnClose(0);
    } else {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (socket_ == handle) state_ = SOCK_STATE_CREATED;
        }
        DisconnectIf(handle);
        OnClose(1);
    }
    setRun(0);
}

void MySocket::AcceptThread(std::shared_ptr<Handle> handle, uint64_t generation) {
    auto setRun = [&](int value) {
        if (acceptGeneration_ == generation) acceptRun_ = value;
    };
    for (;;) {
        uint32_t error = 0;
        const int s = handle->Accept(&error);
        if (s < 0) {
            lastError_ = int(error);
            break;
        }
        t_offeredSocket = s;
        const bool kept = OnAccept(unsigned(s));
        if (!kept && t_offeredSocket == s) {
            ::shutdown(s, SHUT_RDWR);
            ::close(s);
        }
        t_offeredSocket = -1;
    }
    setRun(1);
    // An adopted connection has replaced the listening socket: it is not ours to close.
    if (state_ > SOCK_STATE_CLOSING && DisconnectIf(handle)) OnClose(2);
    setRun(0);
}

int MySocket::Send(const char* data, int length) {
    if (!winsockReady_) return -1;
    const int state = state_;
    const int kind = kind_;
    if (state < SOCK_STATE_CONNECTED || (kind == SOCK_KIND_TCP && state == SOCK_STATE_LISTENING)) {
        lastError_ = int(wsaerr::kNotConn);
        return -1;
    }
    if (data == nullptr || length < 1) {
        lastError_ = int(wsaerr::kFault);
        return -1;
    }
    const std::shared_ptr<Handle> handle = CurrentHandle();
    if (!handle) {
        lastError_ = int(wsaerr::kNotConn);
        return -1;
    }
    if (kind == SOCK_KIND_TCP) {
        const uint32_t code = handle->SendAll(data, size_t(length), nullptr);
        if (code != 0) {
            lastError_ = int(code);
            return -1;
        }
        return length;
    }
    if (!peerKnown_) return 0;
    sockaddr_in to;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        to = state == SOCK_STATE_LISTENING ? local_ : remote_;
    }
    const uint32_t code = handle->SendAll(data, size_t(length), &to);
    if (code != 0) {
        lastError_ = int(code);
        return -1;
    }
    // A UDP peer hears the answers from the first send on.
    int idle = 0;
    if (readRun_.compare_exchange_strong(idle, 2)) StartThread(false);
    return length;
}

int MySocket::Send(std::string& data) { return Send(data.data(), int(std::min<size_t>(data.size(), INT_MAX))); }

int MySocket::SendLine(std::string& line) {
    std::string out = line;
    switch (eol_) {
    case emEOLNULL: out.push_back('\0'); break;
    case emEOLCRLF: out += "\r\n"; break;
    case emEOLLF: out.push_back('\n'); break;
    default: return 0;
    }
    return Send(out);
}

void MySocket::QueuePacket(const char* data, int length) {
    auto* packet = new (std::nothrow) DataPacket;
    if (!packet) return;
    packet->bytes = new (std::nothrow) char[size_t(length)];
    if (!packet->bytes) {
        delete packet;
        return;
    }
    std::memcpy(packet->bytes, data, size_t(length));
    packet->cursor = packet->bytes;
    packet->length = length;
    std::lock_guard<std::mutex> lock(PacketLock());
    packets_.AddTail(packet);
    dataSize_ += length;
}

void MySocket::FreePackets() {
    std::lock_guard<std::mutex> lock(PacketLock());
    packets_.ClearData();
    dataSize_ = 0;
}

int MySocket::TakeBytes(char* data, int length) {
    int copied = 0;
    while (copied < length && !packets_.IsEmpty()) {
        DataPacket* p = packets_.GetHead();
        const int want = length - copied;
        if (p->length <= want) {
            std::memcpy(data + copied, p->cursor, size_t(p->length));
            copied += p->length;
            packets_.RemoveHead();
            delete p;
        } else {
            std::memcpy(data + copied, p->cursor, size_t(want));
            p->cursor += want;
            p->length -= want;
            copied += want;
        }
    }
    dataSize_ -= copied;
    return copied;
}

int MySocket::Read(char* data, int length) {
    if (data == nullptr || length < 1) return 0;
    std::lock_guard<std::mutex> lock(PacketLock());
    return TakeBytes(data, length);
}

bool MySocket::ReadString(std::string& line) {
    const char terminator = eol_ != emEOLNULL ? '\n' : '\0';
    std::lock_guard<std::mutex> lock(PacketLock());
    int total = 0;
    bool found = false;
    if (!packets_.IsEmpty()) {
        for (DataPacket* p = packets_.GetHead();; p = packets_.GetNext()) {
            const void* hit = std::memchr(p->cursor, terminator, size_t(p->length));
            if (hit) {
                total += int(static_cast<const char*>(hit) - p->cursor) + 1;
                found = true;
                break;
            }
            total += p->length;
            if (packets_.IsLast()) break;
        }
    }
    if (!found) {
        line.clear();
        return false;
    }
    std::string bytes(size_t(total), '\0');
    TakeBytes(bytes.data(), total);
    line.assign(bytes.c_str());  // a zero-terminated text: it ends at its first NUL
    return true;
}

bool MySocket::GetPacket(char*& data, int* length) {
    std::lock_guard<std::mutex> lock(PacketLock());
    if (dataSize_ == 0 || packets_.IsEmpty()) return false;
    DataPacket* p = packets_.GetHead();
    char* out;
    if (p->cursor == p->bytes) {
        out = p->bytes;  // never read from: hand over the block itself
        p->bytes = nullptr;
    } else {
        // Partly read: a block of exactly the unread bytes, which the caller can free.
        out = new (std::nothrow) char[size_t(p->length)];
        if (!out) return false;
        std::memcpy(out, p->cursor, size_t(p->length));
    }
    data = out;
    if (length) *length = p->length;
    dataSize_ -= p->length;
    packets_.RemoveHead();
    delete p;
    return true;
}

int MySocket::GetPacketSize() {
    std::lock_guard<std::mutex> lock(PacketLock());
    if (dataSize_ == 0 || packets_.IsEmpty()) return 0;
    return packets_.GetHead()->length;
}

unsigned MySocket::GetNumPackets() {
    std::lock_guard<std::mutex> lock(PacketLock());
    return packets_.GetNumEntries();
}

int MySocket::GetDataSize() {
    std::lock_guard<std::mutex> lock(PacketLock());
    return dataSize_;
}

void MySocket::SetBufferSize(int size) {
    if (size > 0) bufferSize_ = size;
}

void MySocket::setDataReceiver(ISocketReceiver* receiver) {
    FJCore::ScopedLock lock(receiverMutex_);
    receiver_ = receiver;
}

unsigned MySocket::Initialize(void* param) {
    if (param == nullptr) return kConnectFailed;
    PARAM_SOCK p;
    std::memcpy(&p, param, sizeof p);
    uint8_t a[4];
    std::memcpy(a, &p.address, 4);  // network order: the first byte is the first number
    std::string host = platform::FormatInt(int(a[0])) + "." + platform::FormatInt(int(a[1])) + "." +
                       platform::FormatInt(int(a[2])) + "." + platform::FormatInt(int(a[3]));
    if (!Create(SOCK_KIND_TCP, 0)) return kNoSocket;
    if (!Connect(host, p.port & 0xFFFFu)) return kConnectFailed;
    return 0;
}

unsigned MySocket::ReadData(char* buffer, unsigned size) {
    const int n = Read(buffer, int(std::min<unsigned>(size, INT_MAX)));
    return n > 0 ? unsigned(n) : 0;
}

unsigned MySocket::WriteData(const char* data, unsigned size) {
    const int n = Send(data, int(std::min<unsigned>(size, INT_MAX)));
    return n > 0 ? unsigned(n) : 0;
}

void MySocket::OnConnect(int code) {
    FJCore::ScopedLock lock(receiverMutex_);
    if (receiver_) receiver_->OnConnect(code);
}

bool MySocket::OnReceive(char* data, int length) {
    FJCore::ScopedLock lock(receiverMutex_);
    return receiver_ ? receiver_->OnReceive(data, length) : false;
}

bool MySocket::OnAccept(unsigned /*socket*/) { return false; }

void MySocket::OnClose(int reason) {
    FJCore::ScopedLock lock(receiverMutex_);
    if (receiver_) receiver_->OnClose(reason);
}

template class CTList<MySocket::DataPacket*>;

}  // namespace FJComm
}  // namespace Fjarnis2011
