// Durations the program waits for the receiver are limits, not hints: an
// answer that arrives just inside one is taken. Qt's default coarse timers
// may fire up to 5 % early, which lost such answers; every limit is timed
// precisely. These cases run alone (nothing else loads the machine), since
// they place the simulated receiver's answers 60 ms before the limit.

#include "platform/Time.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/Info.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QLineEdit>

#include <algorithm>
#include <fstream>
#include <thread>

namespace {

using guitest::ReceiverGuiTest;

constexpr uint32_t kMarginMs = 60;

// The cases need the answer's 60 ms of headroom for the receiver's threads;
// on a machine that is running far more than it has cores for, they say so
// and skip instead of reporting the machine's load as a fault.
bool MachineIsOverloaded(double* load) {
    std::ifstream in("/proc/loadavg");
    *load = 0;
    if (!(in >> *load)) return false;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return *load > 2.0 * cores;
}

class TimerBoundaryTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        double load = 0;
        if (MachineIsOverloaded(&load)) GTEST_SKIP() << "load average " << load << " is more than twice the cores";
        ReceiverGuiTest::SetUp();
    }
};

// The automatic baud search gives each rate 1500 ms from its request; the
// receiver here answers at 9600 b/s 1440 ms after the step began.
TEST_F(TimerBoundaryTest, AnAnswerJustInsideTheBaudStepIsTaken) {
    startWindow();
    // State 2 is announced on the GUI thread just before the request goes out
    // and the step's timer starts.
    QObject::connect(
        DeviceObserver::instance(), &DeviceObserver::workingStatus, window_,
        [this](int status) {
            if (status == 2) sim_.HoldRepliesUntil(platform::TickCount() + DeviceManager::kRetryTimeoutMs - kMarginMs);
        },
        Qt::DirectConnection);
    connectThroughPage(true, 9600);
    ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->connectionState() == 4; }, 20000))
        << watcher_.describe().toStdString();
    EXPECT_EQ(DeviceManager::instance()->baudRate(), 9600);
    std::vector<uint32_t> bauds;
    for (const auto& c : sim_.Received("SI")) bauds.push_back(c.lineBaud);
    EXPECT_EQ(bauds, std::vector<uint32_t>{9600});
}

// The Info page waits 3000 ms for the device information, modem version and
// battery, counted from "Get".
TEST_F(TimerBoundaryTest, InfoRepliesJustInsideTheLimitAreTaken) {
    startWindow();
    connectThroughPage(false, 9600);
    ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->connectionState() == 4; }))
        << watcher_.describe().toStdString();
    ASSERT_EQ(window_->currentPage(), window_->menu());
    clickMenu("Info");
    auto* info = static_cast<Info*>(window_->page(QStringLiteral("Info")));
    ASSERT_EQ(window_->currentPage(), info);
    ASSERT_TRUE(waitFor([&] { return info->replyMask() == Info::kAllReplies && !info->reading(); }));

    sim_.HoldRepliesUntil(platform::TickCount() + Info::kReadTimeoutMs - kMarginMs);
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return !info->reading(); }));
    EXPECT_EQ(info->replyMask(), Info::kAllReplies);
    EXPECT_FALSE(watcher_.shown(QStringLiteral("Failed to get parameters!"))) << watcher_.describe().toStdString();
    EXPECT_EQ(window_->findChild<QLineEdit*>(QStringLiteral("lineEdit_SN"))->text(), QStringLiteral("601234"));
}

}  // namespace
