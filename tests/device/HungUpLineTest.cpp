// The reading thread on a serial line that hangs up (a USB adapter pulled;
// here the far end of a pseudo-terminal closed). The line then reports
// itself readable on every poll and never gives a byte; the thread must wait
// on it as on a quiet line, not spin on it. The real serial port is used,
// wrapped so that the test counts the thread's reads: counted, not timed.

#include "device/EmGnss_Receiver.h"
#include "device/ReceiverServices.h"
#include "fjcomm/IPort.h"
#include "platform/ComPorts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Fjarnis2011;

namespace {

constexpr int kCom = 41;

// The port counts; it forwards everything to the real serial port.
struct Counts {
    std::atomic<int> reads{0};
    std::atomic<int> waits{0};
};

class CountingPort : public FJComm::IPort {
public:
    CountingPort(FJComm::IPort* inner, Counts& counts) : inner_(inner), counts_(counts) {}
    FJComm::IPort* inner() const { return inner_; }

    unsigned Initialize(void* param) override { return inner_->Initialize(param); }
    void Uninitialize() override { inner_->Uninitialize(); }
    bool IsOpen() override { return inner_->IsOpen(); }
    unsigned ReadData(char* buffer, unsigned size) override {
        ++counts_.reads;
        return inner_->ReadData(buffer, size);
    }
    unsigned WriteData(const char* data, unsigned size) override { return inner_->WriteData(data, size); }
    unsigned GetType() const override { return inner_->GetType(); }
    int WaitForData(uint32_t timeoutMs) override {
        ++counts_.waits;
        return inner_->WaitForData(timeoutMs);
    }

private:
    FJComm::IPort* inner_;
    Counts& counts_;
};

// The system's services, with the port wrapped.
struct CountingServices : FJDevice::ReceiverServices {
    Counts counts;
    unsigned CreatePort(int type, void* settings, FJComm::IPort** port) override {
        FJComm::IPort* real = nullptr;
        const unsigned code = ReceiverServices::CreatePort(type, settings, &real);
        if (code != 0 || !real) return code;
        *port = new CountingPort(real, counts);
        return 0;
    }
    void ExitPort(FJComm::IPort** port) override {
        if (!port || !*port) return;
        auto* counting = static_cast<CountingPort*>(*port);
        FJComm::IPort* real = counting->inner();
        ReceiverServices::ExitPort(&real);
        delete counting;
        *port = nullptr;
    }
};

class HungUpLineTest : public testing::Test {
protected:
    void SetUp() override {
        termios t{};
        cfmakeraw(&t);
        char name[128] = {};
        ASSERT_EQ(openpty(&master_, &slave_, name, &t, nullptr), 0);
        platform::RegisterComPort(kCom, name);
    }
    void TearDown() override {
        platform::RegisterComPort(kCom, std::string());
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }

    // The thread's reads over one second of wall time.
    static int ReadsOverASecond(const Counts& counts) {
        const int before = counts.reads.load();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return counts.reads.load() - before;
    }

    int master_ = -1;
    int slave_ = -1;
};

// Another maker's receiver sends nothing of its own, so on a quiet line the
// thread looks at the line once per keep-alive period (170 passes of 1 ms)
// at most. After the hang-up it keeps that pace: a few reads per second
// where a spin on the hung-up line makes hundreds. The close still ends the
// thread that waits on the line.
TEST_F(HungUpLineTest, TheReadingThreadWaitsOnAHungUpLineAsOnAQuietOne) {
    CountingServices services;
    FJDevice::EmGnss_Receiver rx(FJParse::GNSS_MNFCTR_OTHER, FJParse::MAINBD_NMEA_ONLY, &services);
    FJComm::PARAM_COM com;
    com.port = kCom;
    com.baud = 115200;
    ASSERT_TRUE(rx.Port_Open(com));
    // The thread is running and waits on the line.
    for (int i = 0; i < 2000 && services.counts.waits.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GT(services.counts.waits.load(), 0);

    const int quiet = ReadsOverASecond(services.counts);
    ::close(master_);
    master_ = -1;
    const int hungUp = ReadsOverASecond(services.counts);
    // One read per 170 ms wait comes to six a second; leave room for a
    // few extra passes, far below a spin.
    EXPECT_LE(quiet, 30);
    EXPECT_LE(hungUp, 30) << "quiet line: " << quiet << " reads a second";
    EXPECT_GT(hungUp, 0) << "the thread goes on looking at the line";

    EXPECT_TRUE(rx.Port_Close());
}

}  // namespace
