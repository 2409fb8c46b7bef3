#include "FJCommTestSupport.h"

#include "fjcomm/IPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace Fjarnis2011::FJComm;
using fjcomm_test::LoopbackListener;

namespace {

// Every peer of these tests listens on 127.0.0.1; no traffic leaves the machine.
class SockPortTest : public ::testing::Test {
protected:
    void Open(uint16_t tcpPort) {
        PARAM_SOCK p;
        p.address = fjcomm_test::Loopback();
        p.port = 0xABCD0000u | tcpPort;  // only the low 16 bits are the port
        p.reserved = 0xFFFFFFFFu;
        ASSERT_EQ(CreatePortInstance(PORT_TYPE_SOCK, &p, &port), PORT_OK);
    }
    void TearDown() override {
        if (port) {
            port->Uninitialize();
            ExitPortInstance(&port);
        }
        for (int fd : peers)
            if (fd >= 0) close(fd);
    }
    // Waits at most 10 s for a call that must have returned long before the
    // kernel would give up on its own.
    template <typename T>
    static bool Returned(std::future<T>& f) {
        return f.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    }

    IPort* port = nullptr;
    std::vector<int> peers;
};

TEST_F(SockPortTest, ConnectsOnFirstUseAndJoinsPartialSends) {
    LoopbackListener server;
    ASSERT_TRUE(server.ok());
    Open(server.port());
    EXPECT_FALSE(port->IsOpen()) << "no connection before the first read or write";

    // Far more than the socket buffers take at once while the peer is not
    // reading: the send goes out in many parts that must all arrive in order.
    std::vector<uint8_t> data(16u << 20);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7 + (i >> 13));
    auto received = std::async(std::launch::async, [&] {
        const int peer = server.Accept();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::vector<uint8_t> got = fjcomm_test::ReadSocket(peer, data.size());
        send(peer, "reply", 5, MSG_NOSIGNAL);
        return std::make_pair(peer, got);
    });
    EXPECT_EQ(port->WriteData(reinterpret_cast<const char*>(data.data()), unsigned(data.size())), data.size());
    EXPECT_TRUE(port->IsOpen());
    ASSERT_TRUE(Returned(received));
    auto [peer, got] = received.get();
    peers.push_back(peer);
    EXPECT_TRUE(got == data) << "received " << got.size() << " of " << data.size() << " bytes, or out of order";

    char buf[16];
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 5u);
    EXPECT_EQ(std::string(buf, 5), "reply");
    EXPECT_EQ(port->WriteData("x", 0), 0u);
}

TEST_F(SockPortTest, PeerThatClosesGivesZeroAndTheSocketStaysUntilUninitialize) {
    LoopbackListener server;
    ASSERT_TRUE(server.ok());
    Open(server.port());
    auto accepted = std::async(std::launch::async, [&] {
        const int peer = server.Accept();
        send(peer, "abc", 3, MSG_NOSIGNAL);
        close(peer);
        return peer >= 0;
    });
    char buf[8];
    unsigned got = 0;
    for (int i = 0; i < 10 && got < 3; ++i) got += port->ReadData(buf + got, sizeof buf - got);
    ASSERT_TRUE(Returned(accepted));
    ASSERT_TRUE(accepted.get());
    EXPECT_EQ(std::string(buf, got), "abc");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(port->ReadData(buf, sizeof buf), 0u);
    EXPECT_TRUE(port->IsOpen());

    // Writing to the closed peer fails sooner or later without a SIGPIPE
    // ending the process; the count is what was sent before the failure.
    const std::string chunk(4096, 'w');
    unsigned written = unsigned(chunk.size());
    for (int i = 0; i < 200 && written == chunk.size(); ++i) written = port->WriteData(chunk.data(), unsigned(chunk.size()));
    EXPECT_LT(written, chunk.size());

    port->Uninitialize();
    EXPECT_FALSE(port->IsOpen());
}

TEST_F(SockPortTest, RefusedConnectReturnsZeroAndTheNextCallTriesAgain) {
    const uint16_t tcpPort = fjcomm_test::UnusedLoopbackPort();
    Open(tcpPort);
    char buf[8];
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 0u);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(port->WriteData("abc", 3), 0u);
    EXPECT_FALSE(port->IsOpen());

    LoopbackListener server(8, tcpPort);
    if (!server.ok()) GTEST_SKIP() << "the free port was taken meanwhile";
    auto accepted = std::async(std::launch::async, [&] {
        const int peer = server.Accept();
        send(peer, "z", 1, MSG_NOSIGNAL);
        return peer;
    });
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 1u);
    EXPECT_TRUE(port->IsOpen());
    ASSERT_TRUE(Returned(accepted));
    peers.push_back(accepted.get());
}

TEST_F(SockPortTest, UninitializeUnblocksAReadOnAnotherThreadAndStaysClosed) {
    LoopbackListener server;
    ASSERT_TRUE(server.ok());
    Open(server.port());
    auto reader = std::async(std::launch::async, [&] {
        char buf[8];
        return port->ReadData(buf, sizeof buf);
    });
    const int peer = server.Accept();  // connected; the peer sends nothing
    ASSERT_GE(peer, 0);
    peers.push_back(peer);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(reader.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout) << "the read waits";

    port->Uninitialize();
    ASSERT_TRUE(Returned(reader));
    EXPECT_EQ(reader.get(), 0u);
    EXPECT_FALSE(port->IsOpen());

    // A late read of a closing reader thread does not connect again.
    char buf[8];
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 0u);
    EXPECT_EQ(server.Accept(100), -1);
    EXPECT_FALSE(port->IsOpen());
}

TEST_F(SockPortTest, UninitializeCancelsAConnectToAPeerThatDoesNotAnswer) {
    // A listener that never accepts and whose queue is full drops further
    // connection requests: a connect to it waits as for a silent host.
    LoopbackListener server(0);
    ASSERT_TRUE(server.ok());
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = fjcomm_test::Loopback();
    a.sin_port = htons(server.port());
    bool full = false;
    for (int i = 0; i < 16 && !full; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        peers.push_back(fd);
        connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        pollfd p{fd, POLLOUT, 0};
        full = poll(&p, 1, 300) == 0;
    }
    if (!full) GTEST_SKIP() << "this system completes connects to a full listener";

    Open(server.port());
    const auto start = std::chrono::steady_clock::now();
    auto reader = std::async(std::launch::async, [&] {
        char buf[8];
        return port->ReadData(buf, sizeof buf);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_EQ(reader.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout) << "the connect waits";
    port->Uninitialize();
    ASSERT_TRUE(Returned(reader)) << "the connect was not cancelled";
    EXPECT_EQ(reader.get(), 0u);
    EXPECT_FALSE(port->IsOpen());
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    RecordProperty("connect_cancelled_after_ms", std::to_string(ms.count()));
}

TEST_F(SockPortTest, ReaderAndWriterShareOneConnection) {
    LoopbackListener server;
    ASSERT_TRUE(server.ok());
    Open(server.port());
    std::atomic<bool> stop{false};
    auto reader = std::async(std::launch::async, [&] {
        std::string got;
        char buf[64];
        while (!stop && got.size() < 4) got.append(buf, port->ReadData(buf, sizeof buf));
        return got;
    });
    auto writer = std::async(std::launch::async, [&] { return port->WriteData("ping", 4); });
    const int peer = server.Accept();
    ASSERT_GE(peer, 0);
    peers.push_back(peer);
    EXPECT_EQ(fjcomm_test::ReadSocket(peer, 4), (std::vector<uint8_t>{'p', 'i', 'n', 'g'}));
    send(peer, "pong", 4, MSG_NOSIGNAL);
    ASSERT_TRUE(Returned(writer));
    EXPECT_EQ(writer.get(), 4u);
    ASSERT_TRUE(Returned(reader));
    EXPECT_EQ(reader.get(), "pong");
    EXPECT_EQ(server.Accept(100), -1) << "only one connection was made";
}

}  // namespace
