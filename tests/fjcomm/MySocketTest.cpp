// The general socket class over loopback: every peer is on 127.0.0.1.

#include "FJCommTestSupport.h"

#include "fjcomm/MySocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJComm;
using fjcomm_test::LoopbackListener;

namespace {

// Records the events a socket reports; optionally consumes what it receives.
class Recorder : public ISocketReceiver {
public:
    explicit Recorder(bool consume = false) : consume_(consume) {}
    bool OnReceive(char* data, int length) override {
        std::lock_guard<std::mutex> lock(mu_);
        received_.append(data, size_t(length));
        cv_.notify_all();
        return consume_;
    }
    void OnConnect(int code) override { Push("connect", code); }
    void OnClose(int reason) override { Push("close", reason); }

    // Waits (at most 10 s) for an event of that name; its value, or -999.
    int WaitFor(const std::string& name) {
        std::unique_lock<std::mutex> lock(mu_);
        int value = -999;
        cv_.wait_for(lock, std::chrono::seconds(10), [&] {
            for (const auto& [n, v] : events_)
                if (n == name) {
                    value = v;
                    return true;
                }
            return false;
        });
        return value;
    }
    bool WaitForBytes(size_t count) {
        std::unique_lock<std::mutex> lock(mu_);
        return cv_.wait_for(lock, std::chrono::seconds(10), [&] { return received_.size() >= count; });
    }
    std::string Received() {
        std::lock_guard<std::mutex> lock(mu_);
        return received_;
    }

private:
    void Push(const char* name, int value) {
        std::lock_guard<std::mutex> lock(mu_);
        events_.emplace_back(name, value);
        cv_.notify_all();
    }
    const bool consume_;
    std::mutex mu_;
    std::condition_variable cv_;
    std::vector<std::pair<std::string, int>> events_;
    std::string received_;
};

// Polls a condition for at most 10 s.
template <typename F>
bool Eventually(F f) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!f()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::string Loopback() { return "127.0.0.1"; }

// A TCP client of ours, connected to a listener of the test.
struct ClientPair {
    LoopbackListener server;
    Recorder events;  // outlives the socket, whose last event it hears
    MySocket socket;
    int peer = -1;
    ~ClientPair() {
        if (peer >= 0) close(peer);
    }
    void Open() {
        ASSERT_TRUE(server.ok());
        socket.setDataReceiver(&events);
        ASSERT_TRUE(socket.Create(MySocket::SOCK_KIND_TCP, 0));
        std::string host = Loopback();
        ASSERT_TRUE(socket.Connect(host, server.port()));
        peer = server.Accept();
        ASSERT_GE(peer, 0);
        ASSERT_EQ(events.WaitFor("connect"), 0);
        EXPECT_EQ(socket.GetSocketState(), MySocket::SOCK_STATE_CONNECTED);
        EXPECT_TRUE(socket.IsOpen());
    }
    // The peer sends one piece and waits until it is queued as its own packet.
    void PeerSends(const std::string& bytes) {
        const int before = socket.GetDataSize();
        ASSERT_EQ(send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
        ASSERT_TRUE(Eventually([&] { return socket.GetDataSize() == before + int(bytes.size()); }));
    }
};

TEST(MySocket, TcpClientReadsByBytesLinesAndPackets) {
    ClientPair c;
    ASSERT_NO_FATAL_FAILURE(c.Open());

    // Two packets "ab" and "c\r\nd": one line across both, the d stays queued.
    c.PeerSends("ab");
    c.PeerSends("c\r\nd");
    EXPECT_EQ(c.socket.GetNumPackets(), 2u);
    std::string line = "old";
    ASSERT_TRUE(c.socket.ReadString(line));
    EXPECT_EQ(line, "abc\r\n");
    EXPECT_EQ(c.socket.GetDataSize(), 1);
    EXPECT_FALSE(c.socket.ReadString(line)) << "no whole line left";
    EXPECT_EQ(line, "");
    EXPECT_EQ(c.socket.GetDataSize(), 1) << "a failed ReadString takes nothing";

    // Packets "d" and "efgh": Read(3) takes the first whole and "ef" of the
    // second; GetPacket then hands out exactly the unread "gh".
    c.PeerSends("efgh");
    char buf[8] = {};
    EXPECT_EQ(c.socket.Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "def");
    EXPECT_EQ(c.socket.GetPacketSize(), 2);
    char* packet = nullptr;
    int length = 0;
    ASSERT_TRUE(c.socket.GetPacket(packet, &length));
    ASSERT_EQ(length, 2);
    EXPECT_EQ(std::string(packet, 2), "gh");
    delete[] packet;
    EXPECT_EQ(c.socket.GetDataSize(), 0);
    EXPECT_FALSE(c.socket.GetPacket(packet, &length));
    EXPECT_EQ(c.socket.Read(buf, 8), 0);
    EXPECT_EQ(c.socket.Read(nullptr, 8), 0);

    // A packet never read from is handed out whole, through the IPort side too.
    c.PeerSends("xyz");
    EXPECT_EQ(c.socket.ReadData(buf, sizeof buf), 3u);
    EXPECT_EQ(std::string(buf, 3), "xyz");
}

TEST(MySocket, SendLineWritesTheEndOfLineOfTheFormat) {
    ClientPair c;
    ASSERT_NO_FATAL_FAILURE(c.Open());
    std::string abc = "abc";
    EXPECT_EQ(c.socket.SendLine(abc), 5);  // CR LF by default
    c.socket.SetEolFormat(MySocket::emEOLNULL);
    EXPECT_EQ(c.socket.SendLine(abc), 4);
    c.socket.SetEolFormat(MySocket::emEOLLF);
    EXPECT_EQ(c.socket.SendLine(abc), 4);
    c.socket.SetEolFormat(static_cast<MySocket::eolFormat>(7));
    EXPECT_EQ(c.socket.SendLine(abc), 0);
    EXPECT_EQ(c.socket.WriteData("!", 1), 1u);
    const std::vector<uint8_t> got = fjcomm_test::ReadSocket(c.peer, 14);
    EXPECT_EQ(std::string(got.begin(), got.end()), std::string("abc\r\nabc\0abc\n!", 14));
}

TEST(MySocket, PeerCloseEndsTheConnectionAndAFailedWriteReportsZero) {
    ClientPair c;
    ASSERT_NO_FATAL_FAILURE(c.Open());
    close(c.peer);
    c.peer = -1;
    EXPECT_EQ(c.events.WaitFor("close"), 0);
    ASSERT_TRUE(Eventually([&] { return c.socket.GetSocketState() == MySocket::SOCK_STATE_NONE; }));
    EXPECT_FALSE(c.socket.IsOpen());
    EXPECT_EQ(c.socket.Send("x", 1), -1);
    EXPECT_EQ(c.socket.GetLastError(), 10057);
    EXPECT_EQ(c.socket.WriteData("x", 1), 0u) << "never 4294967295";
}

TEST(MySocket, RefusedConnectionReportsItsCode) {
    const uint16_t port = fjcomm_test::UnusedLoopbackPort();
    MySocket socket;
    Recorder events;
    socket.setDataReceiver(&events);
    PARAM_SOCK p;
    p.address = fjcomm_test::Loopback();
    p.port = port;
    EXPECT_EQ(socket.Initialize(&p), 0u) << "the read thread connects";
    EXPECT_EQ(events.WaitFor("connect"), 10061);
    EXPECT_EQ(socket.GetLastError(), 10061);
    EXPECT_EQ(socket.GetSocketState(), MySocket::SOCK_STATE_NONE);
    EXPECT_EQ(socket.Initialize(nullptr), MySocket::kConnectFailed);
}

TEST(MySocket, ErrorCodesOfMisuse) {
    MySocket s;
    std::string host = Loopback();
    EXPECT_FALSE(s.Connect(host, 1));
    EXPECT_EQ(s.GetLastError(), 10038) << "Connect without a socket";
    EXPECT_FALSE(s.Accept(1, 1));
    EXPECT_EQ(s.GetLastError(), 10038);
    EXPECT_FALSE(s.Create(3, 0));
    EXPECT_EQ(s.GetLastError(), 10022) << "no such kind";
    ASSERT_TRUE(s.Create(MySocket::SOCK_KIND_TCP, 0));
    EXPECT_FALSE(s.Create(MySocket::SOCK_KIND_TCP, 0));
    EXPECT_EQ(s.GetLastError(), 10013) << "a socket exists";
    EXPECT_FALSE(s.ReConnect(1));
    EXPECT_EQ(s.GetLastError(), 10041) << "ReConnect is for UDP";
    EXPECT_FALSE(s.Connect(host, 70000));
    EXPECT_EQ(s.GetLastError(), 10022);
    EXPECT_FALSE(s.Accept(70000, 1));
    EXPECT_EQ(s.GetLastError(), 10022);
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.GetLastError(), 10057) << "not connected";

    ASSERT_TRUE(s.Accept(fjcomm_test::UnusedLoopbackPort(), 1));
    EXPECT_EQ(s.GetSocketState(), MySocket::SOCK_STATE_LISTENING);
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.GetLastError(), 10057) << "a listening TCP socket sends nothing";
    EXPECT_FALSE(s.Accept(1, 1));
    EXPECT_EQ(s.GetLastError(), 10056);
    EXPECT_FALSE(s.Connect(host, 1));
    EXPECT_EQ(s.GetLastError(), 10056);

    MySocket u;
    ASSERT_TRUE(u.Create(MySocket::SOCK_KIND_UDP, 0));
    ASSERT_TRUE(u.Connect(host, 9));
    EXPECT_EQ(u.Send(nullptr, 1), -1);
    EXPECT_EQ(u.GetLastError(), 10014);
    EXPECT_EQ(u.Send("x", 0), -1);
    EXPECT_EQ(u.GetLastError(), 10014);
}

// A UDP socket of the test on 127.0.0.1.
struct UdpPeer {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    uint16_t port = 0;
    UdpPeer() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = fjcomm_test::Loopback();
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~UdpPeer() { close(fd); }
    // One datagram within 10 s, and who sent it.
    std::string Receive(sockaddr_in* from) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) return {};
        char buf[512];
        socklen_t len = sizeof *from;
        const ssize_t n = recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(from), &len);
        return n > 0 ? std::string(buf, size_t(n)) : std::string();
    }
    void SendTo(const sockaddr_in& to, const std::string& s) {
        sendto(fd, s.data(), s.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
};

TEST(MySocket, UdpPeerAndBoundEndpoint) {
    UdpPeer peer;
    std::string host = Loopback();

    // A UDP peer: Connect names the destination; the first Send starts the reading.
    Recorder clientEvents;  // outlives the socket
    MySocket client;
    client.setDataReceiver(&clientEvents);
    ASSERT_TRUE(client.Create(MySocket::SOCK_KIND_UDP, 0));
    ASSERT_TRUE(client.Connect(host, peer.port));
    EXPECT_EQ(clientEvents.WaitFor("connect"), 0);
    EXPECT_EQ(client.Send("hello", 5), 5);
    sockaddr_in from{};
    EXPECT_EQ(peer.Receive(&from), "hello");
    peer.SendTo(from, "world");
    ASSERT_TRUE(Eventually([&] { return client.GetDataSize() == 5; }));
    char* data = nullptr;
    int length = 0;
    ASSERT_TRUE(client.GetPacket(data, &length));
    EXPECT_EQ(std::string(data, size_t(length)), "world");
    delete[] data;

    // A bound endpoint answers whoever sent last.
    const uint16_t port = fjcomm_test::UnusedLoopbackPort();
    MySocket bound;
    ASSERT_TRUE(bound.Create(MySocket::SOCK_KIND_UDP, 0));
    ASSERT_TRUE(bound.Accept(port, 0));
    EXPECT_EQ(bound.Send("early", 5), 0) << "nobody to answer yet";
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = fjcomm_test::Loopback();
    peer.SendTo(to, "ping");
    ASSERT_TRUE(Eventually([&] { return bound.GetDataSize() == 4; }));
    EXPECT_EQ(bound.Send("pong", 4), 4);
    EXPECT_EQ(peer.Receive(&from), "pong");
}

TEST(MySocket, AReceiverThatConsumesLeavesNothingQueued) {
    Recorder consumer(true);
    ClientPair c;
    ASSERT_NO_FATAL_FAILURE(c.Open());
    c.socket.setDataReceiver(&consumer);
    ASSERT_EQ(send(c.peer, "abc", 3, MSG_NOSIGNAL), 3);
    ASSERT_TRUE(consumer.WaitForBytes(3));
    EXPECT_EQ(consumer.Received(), "abc");
    EXPECT_EQ(c.socket.GetDataSize(), 0);
    EXPECT_EQ(c.socket.GetNumPackets(), 0u);
    c.socket.setDataReceiver(nullptr);
}

// A server that hands every accepted connection to a socket object of its own.
class Server : public MySocket {
public:
    ~Server() override {
        StopThreads();  // before the members the events use go
    }
    bool OnAccept(unsigned socket) override {
        auto conn = std::make_unique<MySocket>();
        conn->AcceptServiceSocket(socket);
        std::lock_guard<std::mutex> lock(mu_);
        connections_.push_back(std::move(conn));
        return true;
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mu_);
        return connections_.size();
    }
    MySocket* At(size_t i) {
        std::lock_guard<std::mutex> lock(mu_);
        return connections_[i].get();
    }

private:
    std::mutex mu_;
    std::vector<std::unique_ptr<MySocket>> connections_;
};

int ConnectClient(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = fjcomm_test::Loopback();
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

TEST(MySocket, ServerAcceptsTwoClientsEachOnItsOwnSocket) {
    const uint16_t port = fjcomm_test::UnusedLoopbackPort();
    Server server;
    ASSERT_TRUE(server.Create(MySocket::SOCK_KIND_TCP, 0));
    ASSERT_TRUE(server.Accept(port, 4));
    const int one = ConnectClient(port);
    const int two = ConnectClient(port);
    ASSERT_GE(one, 0);
    ASSERT_GE(two, 0);
    ASSERT_TRUE(Eventually([&] { return server.Count() == 2; }));
    EXPECT_EQ(server.GetSocketState(), MySocket::SOCK_STATE_LISTENING) << "the server keeps listening";

    ASSERT_EQ(send(one, "one", 3, MSG_NOSIGNAL), 3);
    ASSERT_EQ(send(two, "two!", 4, MSG_NOSIGNAL), 4);
    // The accept order is the connect order; each adopted socket reads its own client.
    ASSERT_TRUE(Eventually([&] { return server.At(0)->GetDataSize() == 3 && server.At(1)->GetDataSize() == 4; }));
    for (size_t i = 0; i < 2; ++i) {
        MySocket* conn = server.At(i);
        EXPECT_EQ(conn->GetSocketState(), MySocket::SOCK_STATE_CONNECTED);
        std::string reply = "ack" + std::to_string(i);
        EXPECT_EQ(conn->Send(reply), 4);
    }
    EXPECT_EQ(fjcomm_test::ReadSocket(one, 4), (std::vector<uint8_t>{'a', 'c', 'k', '0'}));
    EXPECT_EQ(fjcomm_test::ReadSocket(two, 4), (std::vector<uint8_t>{'a', 'c', 'k', '1'}));

    // A client leaving closes only its own connection.
    close(one);
    ASSERT_TRUE(Eventually([&] { return server.At(0)->GetSocketState() == MySocket::SOCK_STATE_NONE; }));
    EXPECT_EQ(server.At(1)->GetSocketState(), MySocket::SOCK_STATE_CONNECTED);
    EXPECT_EQ(server.At(1)->Send("x", 1), 1);
    close(two);
}

TEST(MySocket, DestroyingWhileThreadsBlockJoinsThem) {
    LoopbackListener listener;
    ASSERT_TRUE(listener.ok());
    Recorder events;
    auto client = std::make_unique<MySocket>();
    auto server = std::make_unique<MySocket>();
    auto udp = std::make_unique<MySocket>();
    client->setDataReceiver(&events);
    std::string host = Loopback();
    ASSERT_TRUE(client->Create(MySocket::SOCK_KIND_TCP, 0));
    ASSERT_TRUE(client->Connect(host, listener.port()));
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);
    ASSERT_EQ(events.WaitFor("connect"), 0);  // now blocked in its receive
    ASSERT_TRUE(server->Create(MySocket::SOCK_KIND_TCP, 0));
    ASSERT_TRUE(server->Accept(fjcomm_test::UnusedLoopbackPort(), 1));  // blocked in accept
    ASSERT_TRUE(udp->Create(MySocket::SOCK_KIND_UDP, 0));
    ASSERT_TRUE(udp->Accept(fjcomm_test::UnusedLoopbackPort(), 0));     // blocked in its receive

    auto gone = std::async(std::launch::async, [&] {
        client.reset();
        server.reset();
        udp.reset();
    });
    EXPECT_EQ(gone.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(events.WaitFor("close"), 0);
    // The peer sees the connection end.
    char b;
    EXPECT_EQ(recv(peer, &b, 1, 0), 0);
    close(peer);
}

}  // namespace
