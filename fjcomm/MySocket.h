#pragma once

#include "fjcomm/FJCommExport.h"
#include "fjcomm/FJCore/Mutex.h"
#include "fjcomm/IPort.h"
#include "fjcomm/containers.h"

#include <netinet/in.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Fjarnis2011 {
namespace FJComm {

// Takes what a MySocket receives before it is queued, and hears of its
// connect and close. Called on the socket's read thread.
class FJCOMM_API ISocketReceiver {
public:
    virtual ~ISocketReceiver() = default;
    // True when the bytes were consumed (nothing is queued then).
    virtual bool OnReceive(char* data, int length) = 0;
    // 0, or the code of a failed connect.
    virtual void OnConnect(int code) = 0;
    // 0 the connection closed, 1 the UDP endpoint closed (or was reset),
    // 2 the TCP server stopped listening.
    virtual void OnClose(int reason) = 0;
};

// A TCP or UDP socket with its own read thread (and, for a TCP server, an
// accept thread). What it receives is queued as packets, read back by bytes,
// by line or by packet, or handed to an attached receiver. It is also an
// IPort (a TCP client from a PARAM_SOCK).
//
// Results go through bool or int returns and GetLastError (the Windows
// Sockets codes). The destructor stops and joins both threads; a class that
// overrides the events stops them first in its own destructor
// (StopThreads), since the events are virtual.
class FJCOMM_API MySocket : public IPort {
public:
    enum SocketKind { SOCK_KIND_TCP = 1, SOCK_KIND_UDP = 2 };
    enum SocketState {
        SOCK_STATE_NONE = 0,
        SOCK_STATE_CLOSING = 1,
        SOCK_STATE_CREATED = 2,
        SOCK_STATE_CONNECTED = 3,
        SOCK_STATE_LISTENING = 5,  // a bound UDP endpoint or a listening TCP server
    };
    enum eolFormat { emEOLNULL = 0, emEOLCRLF = 1, emEOLLF = 2 };

    // Results of Initialize besides 0.
    static constexpr unsigned kNoSocket = 2000;
    static constexpr unsigned kConnectFailed = 2001;

    // The bytes of one receive call. The packet owns its block; cursor points
    // at the next unread byte and length counts the unread bytes.
    struct DataPacket {
        int length = 0;
        char* bytes = nullptr;   // new[]
        char* cursor = nullptr;
        DataPacket() = default;
        DataPacket(const DataPacket&) = delete;
        DataPacket& operator=(const DataPacket&) = delete;
        ~DataPacket() { delete[] bytes; }
    };

    MySocket();
    ~MySocket() override;
    MySocket(const MySocket&) = delete;
    MySocket& operator=(const MySocket&) = delete;

    // kind 1 TCP, 2 UDP; bufferSize 0 takes 1024 (TCP) or 2048 (UDP).
    bool Create(int kind, int bufferSize);
    // TCP: the read thread connects (the result arrives as OnConnect); UDP:
    // the destination of Send, at once.
    bool Connect(std::string& host, unsigned port);
    // A connected UDP socket sends to another port from now on.
    bool ReConnect(unsigned port);
    // Binds the port on every local address: UDP receives there, TCP listens
    // and accepts.
    bool Accept(unsigned port, int backlog);
    // For an OnAccept: this object takes over an accepted socket (after
    // disconnecting its own) and reads from it.
    void AcceptServiceSocket(unsigned socket);
    void Disconnect();

    // The count sent, 0 for a UDP socket without a destination, -1 on an
    // error (see GetLastError).
    int Send(const char* data, int length);
    int Send(std::string& data);
    // The text and the end-of-line bytes in one Send; 0 for an unknown format.
    int SendLine(std::string& line);

    // Queued bytes, at most length; 0 when none.
    int Read(char* data, int length);
    // One line up to and including its terminator (LF, or NUL for format 0),
    // cut at its first NUL byte; false (line empty) when no whole line is queued.
    bool ReadString(std::string& line);
    // The unread bytes of the head packet in a block the caller frees with
    // delete[]; false when nothing is queued.
    bool GetPacket(char*& data, int* length);
    int GetPacketSize();
    unsigned GetNumPackets();
    int GetDataSize();

    int GetLastError() const { return lastError_; }
    int GetSocketState() const { return state_; }
    int GetSocketType() const { return kind_; }
    void SetBufferSize(int size);
    void SetEolFormat(eolFormat format) { eol_ = format; }
    void setDataReceiver(ISocketReceiver* receiver);

    // IPort: a TCP client to a PARAM_SOCK: 0 (connecting on the read
    // thread), kNoSocket or kConnectFailed.
    unsigned Initialize(void* param) override;
    void Uninitialize() override {}
    bool IsOpen() override { return state_ == SOCK_STATE_CONNECTED; }
    unsigned ReadData(char* buffer, unsigned size) override;
    // Bytes sent; 0 when the send failed.
    unsigned WriteData(const char* data, unsigned size) override;
    unsigned GetType() const override { return PORT_TYPE_SOCK; }

    // Events, called on the read or accept thread.
    virtual void OnConnect(int code);
    virtual void OnReceive() {}
    virtual bool OnReceive(char* data, int length);
    // False closes the accepted socket, unless it was adopted.
    virtual bool OnAccept(unsigned socket);
    virtual void OnClose(int reason);

    class Handle;  // one socket descriptor shared by the object and its threads

protected:
    // Disconnects and joins the read and accept threads. Idempotent; not to
    // be called from those threads.
    void StopThreads();

private:
    void StartThread(bool acceptLoop);
    void ReadThread(std::shared_ptr<Handle> handle, bool adopted, uint64_t generation);
    void AcceptThread(std::shared_ptr<Handle> handle, uint64_t generation);
    std::shared_ptr<Handle> CurrentHandle();
    // Disconnects only while the object still holds this socket: a loop that
    // ends never closes a socket that replaced the one it served.
    bool DisconnectIf(const std::shared_ptr<Handle>& handle);
    void QueuePacket(const char* data, int length);
    void FreePackets();
    int TakeBytes(char* data, int length);  // packet lock held

    std::mutex mutex_;                // guards socket_, the addresses and the thread objects
    std::shared_ptr<Handle> socket_;  // null when none
    std::atomic<int> kind_{SOCK_KIND_TCP};
    std::atomic<int> state_{SOCK_STATE_NONE};
    sockaddr_in remote_{};
    sockaddr_in local_{};             // bound address, then the sender of the last datagram
    std::atomic<bool> peerKnown_{false};
    bool adopted_ = false;            // socket_ came from AcceptServiceSocket
    std::thread readThread_;
    std::thread acceptThread_;
    std::vector<std::thread> retired_;  // loops replaced from their own thread, joined at the end
    std::atomic<int> readRun_{0};     // 2 running, 1 ending, 0 ended
    std::atomic<int> acceptRun_{0};
    std::atomic<uint64_t> readGeneration_{0};    // counts the read loops started
    std::atomic<uint64_t> acceptGeneration_{0};
    std::atomic<int> eol_{emEOLCRLF};
    std::atomic<int> lastError_{0};
    std::atomic<int> bufferSize_{0};
    CTList<DataPacket*> packets_;     // guarded by the process-wide packet lock
    int dataSize_ = 0;                // likewise
    ISocketReceiver* receiver_ = nullptr;  // guarded by receiverMutex_
    FJCore::MutexHolder receiverMutex_;
    bool winsockReady_ = false;       // this object's own; never cleared by another
};

extern template class CTList<MySocket::DataPacket*>;

}  // namespace FJComm
}  // namespace Fjarnis2011
