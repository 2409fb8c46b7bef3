#include "tests/sim/SimReceiver.h"
#include "tests/sim/SimTestUtil.h"

#include "platform/ComPorts.h"
#include "platform/Time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace sim {
namespace {

const auto kSI = H("24 24 53 49 18 00 02 0D 0A");       // device information request
const auto kSD = H("24 24 53 44 18 00 0F 0D 0A");       // battery request
const auto kRGOn = H("24 24 52 47 18 01 C8 C4 0D 0A");  // "RG,B200"
const auto kRGOff = H("24 24 52 47 18 01 00 0C 0D 0A"); // "RG,B0"
const auto kVSVersion = H("24 24 56 53 1B 06 40 5F A0 00 00 BF 18 0D 0A");  // module version request

// The opener's side of the line: the slave, raw, at a chosen speed.
class Line {
public:
    Line(const std::string& path, speed_t speed) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ >= 0) SetSpeed(speed);
    }
    ~Line() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void SetSpeed(speed_t speed) {
        termios t{};
        ASSERT_EQ(tcgetattr(fd_, &t), 0);
        cfmakeraw(&t);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        ASSERT_EQ(tcsetattr(fd_, TCSANOW, &t), 0);
    }
    void Write(const std::vector<uint8_t>& b) {
        ASSERT_EQ(::write(fd_, b.data(), b.size()), ssize_t(b.size())) << std::strerror(errno);
    }
    // Reads until want bytes are in or the (generous) deadline passes.
    std::vector<uint8_t> Read(size_t want, uint32_t timeoutMs = 5000) {
        std::vector<uint8_t> out;
        const uint32_t start = platform::TickCount();
        while (out.size() < want) {
            const int32_t left = int32_t(timeoutMs - (platform::TickCount() - start));
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, left) <= 0) continue;
            uint8_t buf[512];
            const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, want - out.size()));
            if (n > 0) out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

private:
    int fd_ = -1;
};

std::vector<uint8_t> ExpectedReply(const std::vector<uint8_t>& request) {
    ReceiverModel m;
    return m.Receive(request.data(), request.size(), m.Settings().baud);
}

TEST(SimReceiver, HoldsAConversationOnThePseudoTerminal) {
    SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    Line line(sim.SlavePath(), B9600);
    ASSERT_TRUE(line.ok());

    line.Write(kSI);
    const auto si = ExpectedReply(kSI);
    EXPECT_EQ(Hex(line.Read(si.size())), Hex(si));
    line.Write(kSD);
    EXPECT_EQ(line.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
    line.Write(kVSVersion);
    EXPECT_EQ(line.Read(23), H("24 24 56 49 1B 0E 40 5F A0 04 00 00 00 32 2E 39 30 AE 0D 0A 0D 0D 0A"));

    ASSERT_TRUE(sim.WaitForModuleRequest(95));
    const auto cmds = sim.Received();
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_TRUE(cmds[0].Is("SI", {}));
    EXPECT_TRUE(cmds[1].Is("SD", {}));
    EXPECT_EQ(cmds[2].moduleId, 95);
    for (const auto& c : cmds) EXPECT_EQ(c.lineBaud, 9600u);
    EXPECT_EQ(sim.Received("SD").size(), 1u);
    sim.ClearReceived();
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_EQ(sim.Status().garbageBytes, 0u);
}

TEST(SimReceiver, WrongLineSpeedGetsNoise) {
    SimReceiver sim;  // 9600
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B19200);
    ASSERT_TRUE(line.ok());

    line.Write(kSI);
    const auto noise = line.Read(kSI.size());
    EXPECT_EQ(noise.size(), kSI.size());
    EXPECT_EQ(std::count(noise.begin(), noise.end(), uint8_t('$')), 0);
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_EQ(sim.Status().lineBaud, 19200u);

    // The opener finds the right speed.
    line.SetSpeed(B9600);
    line.Write(kSI);
    EXPECT_EQ(Hex(line.Read(137)), Hex(ExpectedReply(kSI)));

    // The receiver changes its speed.
    sim.SetBaud(38400);
    line.Write(kSD);
    const auto noise2 = line.Read(kSD.size());
    EXPECT_EQ(noise2.size(), kSD.size());
    EXPECT_EQ(std::count(noise2.begin(), noise2.end(), uint8_t('$')), 0);
    line.SetSpeed(B38400);
    line.Write(kSD);
    EXPECT_EQ(line.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
}

TEST(SimReceiver, WrongLineSpeedCanBeSilent) {
    SimSettings s;
    s.onBaudMismatch = MismatchReply::Silence;
    SimReceiver sim(s);
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B115200);
    ASSERT_TRUE(line.ok());
    line.Write(kSI);
    ASSERT_TRUE(sim.WaitUntil([](const ReceiverModel& m) { return m.Status().mismatchedBytes >= 9; }));
    line.SetSpeed(B9600);
    line.Write(kSD);
    // The first bytes on the line are the battery reply: nothing came before it.
    EXPECT_EQ(line.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
}

TEST(SimReceiver, SilentReceiverSaysNothing) {
    SimReceiver sim;
    sim.SetBehaviour(Behaviour::Silent);
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B9600);
    line.Write(kSI);
    ASSERT_TRUE(sim.WaitForCommand("SI"));
    sim.SetBehaviour(Behaviour::Answer);
    line.Write(kSD);
    EXPECT_EQ(line.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
}

TEST(SimReceiver, PeriodicOutputFollowsTheSwitch) {
    SimSettings s;
    s.periodicIntervalMs = 20;
    SimReceiver sim(s);
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B9600);
    line.Write(kRGOn);
    const auto frame = PackFrame("RG", kHeadSerial, DefaultBoardOutput());
    EXPECT_EQ(Hex(line.Read(frame.size())), Hex(frame));
    EXPECT_EQ(Hex(line.Read(frame.size())), Hex(frame));
    line.Write(kRGOff);
    EXPECT_TRUE(sim.WaitUntil([](const ReceiverModel& m) { return !m.WantsPeriodic(); }));
    EXPECT_TRUE(sim.Received().back().Is("RG", {0}));
}

TEST(SimReceiver, PowerOffAndOn) {
    SimReceiver sim;
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B9600);
    line.Write(H("24 24 53 47 18 01 00 0D 0D 0A"));  // "SG,B0"
    const auto notice = line.Read(33);
    ASSERT_EQ(notice.size(), 33u);
    EXPECT_EQ(std::string(notice.begin() + 2, notice.begin() + 4), "ST");
    EXPECT_TRUE(sim.Status().poweredOff);
    sim.PowerOn();
    line.Write(kSD);
    EXPECT_EQ(line.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
}

TEST(SimReceiver, SendsUnsolicitedBytes) {
    SimReceiver sim;
    ASSERT_TRUE(sim.Start());
    Line line(sim.SlavePath(), B9600);
    sim.Send(H("01 02 03"));
    EXPECT_EQ(line.Read(3), H("01 02 03"));
}

TEST(SimReceiver, LineStaysUpAcrossOpeners) {
    SimReceiver sim;
    ASSERT_TRUE(sim.Start());
    {
        Line first(sim.SlavePath(), B9600);
        first.Write(kSD);
        EXPECT_EQ(first.Read(13).size(), 13u);
    }
    Line second(sim.SlavePath(), B9600);
    second.Write(kSD);
    EXPECT_EQ(second.Read(13), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
    EXPECT_EQ(sim.Received("SD").size(), 2u);
}

TEST(SimReceiver, RegistersAsComPort) {
    SimReceiver sim;
    EXPECT_TRUE(sim.SlavePath().empty());
    ASSERT_TRUE(sim.Start());
    sim.RegisterAsCom(7);
    EXPECT_EQ(platform::ComPortPath(7), sim.SlavePath());
    platform::RegisterComPort(7, "");
}

TEST(SimReceiver, StartStopLifecycle) {
    SimReceiver sim;
    sim.Stop();  // never started
    for (int i = 0; i < 20; ++i) {
        std::string error;
        ASSERT_TRUE(sim.Start(&error)) << error;
        EXPECT_TRUE(sim.Running());
        EXPECT_FALSE(sim.Start(&error));
        EXPECT_EQ(error, "already running");
        Line line(sim.SlavePath(), B9600);
        ASSERT_TRUE(line.ok()) << "cycle " << i << ": " << std::strerror(errno);
        line.Write(kSD);
        EXPECT_EQ(line.Read(13).size(), 13u);
        sim.Stop();
        sim.Stop();
        EXPECT_FALSE(sim.Running());
        EXPECT_TRUE(sim.SlavePath().empty());
    }
    // Destroyed while running and while an opener still holds the line.
    auto other = std::make_unique<SimReceiver>();
    ASSERT_TRUE(other->Start());
    Line held(other->SlavePath(), B9600);
    other.reset();
}

}  // namespace
}  // namespace sim
