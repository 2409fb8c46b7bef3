// The program as a surveyor uses it, against the simulated receiver on a
// pseudo-terminal: connect by hand and by the automatic baud search, break
// the connection, and leave the program by each road.

#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/Connect.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>

namespace {

using guitest::ReceiverGuiTest;

class ProgramEndToEndTest : public ReceiverGuiTest {
protected:
    MenuManager* menu() const { return window_->menu(); }
    Connect* connectPage() const { return static_cast<Connect*>(window_->page(QStringLiteral("Connection"))); }

    // Runs the program's event loop with the user's steps queued first, as
    // main does; returns when the last window has closed.
    int runProgram(const std::function<void()>& steps) {
        bool timedOut = false;
        QTimer::singleShot(0, steps);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            QApplication::closeAllWindows();
            QCoreApplication::exit(99);
        });
        guard.start(60000);
        const int rc = QApplication::exec();
        EXPECT_FALSE(timedOut) << "the program did not end; " << watcher_.describe().toStdString();
        return rc;
    }
};

TEST_F(ProgramEndToEndTest, ConnectByHandThenBreak) {
    startWindow();
    sim_.SetBaud(19200);
    connectThroughPage(false, 19200);
    DeviceManager* manager = DeviceManager::instance();
    ASSERT_EQ(manager->connectionState(), 4) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Successfully connected")));
    EXPECT_EQ(window_->currentPage(), window_->menu()) << "the page hands over to the menu";
    EXPECT_TRUE(menuButton("Info")->isEnabled());
    EXPECT_FALSE(lineIsFree(sim_.SlavePath())) << "the program holds the line";
    EXPECT_EQ(manager->baudRate(), 19200);

    // The connection is remembered.
    ConnectionParams saved;
    ConnectionParamsConfig().read(saved);
    EXPECT_EQ(saved.device, L"601234");
    EXPECT_EQ(saved.type, 0);
    EXPECT_EQ(saved.port, 1);
    EXPECT_EQ(saved.baud, 19200);
    EXPECT_EQ(saved.address, L"0");

    // Back on the Connect page the fields are locked until "Break".
    clickMenu("Connection");
    Connect* page = connectPage();
    EXPECT_FALSE(combo("comboBox_port")->isEnabled());
    EXPECT_FALSE(page->connectAction()->isEnabled());
    clickSoftKey(QStringLiteral("Break"));
    EXPECT_EQ(manager->connectionState(), 0);
    EXPECT_TRUE(lineIsFree(sim_.SlavePath()));
    EXPECT_TRUE(combo("comboBox_port")->isEnabled());
    EXPECT_TRUE(page->connectAction()->isEnabled());
    EXPECT_FALSE(page->breakAction()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    clickSoftKey(QStringLiteral("Back"));
    // The menu follows the connection state through its queued subscription:
    // the states 5 and 0 reach it once the event loop runs.
    EXPECT_TRUE(waitFor([&] { return !menuButton("Info")->isEnabled(); }));
    EXPECT_TRUE(menuButton("Connection")->isEnabled());
    EXPECT_TRUE(menuButton("Exit")->isEnabled());
}

TEST_F(ProgramEndToEndTest, AutomaticConnectFindsTheReceiversBaudRate) {
    startWindow();
    sim_.SetBaud(38400);
    // Each attempt announces state 2 on the GUI thread once its port is open.
    std::vector<int> tried;
    QObject::connect(
        DeviceObserver::instance(), &DeviceObserver::workingStatus, window_,
        [&](int s) {
            if (s == 2) tried.push_back(DeviceManager::instance()->baudRate());
        },
        Qt::DirectConnection);
    connectThroughPage(true, 0);
    DeviceManager* manager = DeviceManager::instance();
    ASSERT_EQ(manager->connectionState(), 4) << watcher_.describe().toStdString();
    EXPECT_EQ(manager->baudRate(), 38400);
    clickMenu("Connection");
    EXPECT_EQ(combo("comboBox_baud")->currentData().toInt(), 38400) << "the box shows the rate that answered";
    ConnectionParams saved;
    ConnectionParamsConfig().read(saved);
    EXPECT_EQ(saved.baud, 38400);
    // The search went through the list in order from the chosen 9600. The
    // receiver heard the attempts at the other rates only as noise, and
    // understood commands only at its own rate.
    EXPECT_EQ(tried, (std::vector<int>{9600, 19200, 38400}));
    EXPECT_GT(sim_.Status().mismatchedBytes, 0u);
    const auto commands = sim_.Received();
    ASSERT_FALSE(commands.empty());
    for (const auto& c : commands) EXPECT_EQ(c.lineBaud, 38400u) << c.Describe();
}

TEST_F(ProgramEndToEndTest, AutomaticConnectWithoutAnAnsweringRateFails) {
    startWindow();
    sim_.SetBehaviour(sim::Behaviour::Silent);
    connectThroughPage(true, 0);
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Connection Failed!"))) << watcher_.describe().toStdString();
    EXPECT_EQ(window_->currentPage(), connectPage());
    EXPECT_TRUE(connectPage()->connectAction()->isEnabled());
    EXPECT_TRUE(lineIsFree(sim_.SlavePath()));
}

TEST_F(ProgramEndToEndTest, CancellingAWaitingConnectionClosesThePort) {
    startWindow();
    sim_.SetBehaviour(sim::Behaviour::Silent);
    bool cancelled = false;
    QTimer::singleShot(1500, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!progress) return;
        EXPECT_FALSE(lineIsFree(sim_.SlavePath())) << "the port is open while the dialog waits";
        for (QPushButton* b : progress->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Cancel")) {
                cancelled = true;
                QTest::mouseClick(b, Qt::LeftButton);
            }
    });
    connectThroughPage(false, 9600);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(connectPage()->resultCode(), 2);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_TRUE(lineIsFree(sim_.SlavePath()));
    EXPECT_EQ(window_->currentPage(), connectPage());
    EXPECT_TRUE(connectPage()->connectAction()->isEnabled());
    EXPECT_TRUE(sim_.WaitForCommand("SI")) << "the device information was asked for";
}

// Exit with a ready receiver: the dialog's three choices.
struct ExitCase {
    int choice;
    const char* name;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ProgramExitTest : public ProgramEndToEndTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ProgramExitTest, ExitSendsTheChosenCommandAndEndsWithThePortClosed) {
    startWindow();
    bool connected = false;
    const int rc = runProgram([&] {
        connectThroughPage(false, 9600);
        connected = DeviceManager::instance()->connectionState() == 4;
        if (!connected) {
            QApplication::closeAllWindows();
            return;
        }
        sim_.ClearReceived();
        watcher_.exitChoice = GetParam().choice;
        clickMenu("Exit");
    });
    ASSERT_TRUE(connected) << watcher_.describe().toStdString();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(watcher_.exitDialogs, 1);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_TRUE(lineIsFree(sim_.SlavePath())) << "the port is closed";

    const auto powerOff = sim_.Received("SG");
    std::vector<sim::ReceivedCommand> passThrough;
    for (const auto& c : sim_.Received("ST"))
        if (!c.payload.empty() && c.payload[0] == 1) passThrough.push_back(c);
    switch (GetParam().choice) {
    case 1:
        ASSERT_EQ(powerOff.size(), 1u);
        EXPECT_TRUE(powerOff[0].Is("SG", {0x00})) << powerOff[0].Describe();
        EXPECT_TRUE(passThrough.empty());
        EXPECT_TRUE(sim_.Status().poweredOff);
        break;
    case 2:
        EXPECT_TRUE(powerOff.empty());
        EXPECT_EQ(passThrough.size(), 1u);
        EXPECT_EQ(sim_.Status().mode, sim::WorkMode::PassThrough);
        break;
    default:
        EXPECT_TRUE(powerOff.empty());
        EXPECT_TRUE(passThrough.empty());
        EXPECT_EQ(sim_.Status().mode, sim::WorkMode::Normal);
        EXPECT_FALSE(sim_.Status().poweredOff);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, ProgramExitTest,
                         testing::Values(ExitCase{0, "ExitOnly"}, ExitCase{1, "PowerOff"},
                                         ExitCase{2, "PassThrough"}),
                         [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST_F(ProgramEndToEndTest, CancelInTheExitDialogKeepsTheConnection) {
    startWindow();
    connectThroughPage(false, 9600);
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    watcher_.cancelExit = true;
    clickMenu("Exit");
    EXPECT_EQ(watcher_.exitDialogs, 1);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 4);
    EXPECT_FALSE(menu()->exitPending());
}

TEST_F(ProgramEndToEndTest, ASecondExitDuringTheWaitSendsNothingMore) {
    startWindow();
    connectThroughPage(false, 9600);
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    sim_.ClearReceived();
    watcher_.exitChoice = 2;
    clickMenu("Exit");
    ASSERT_TRUE(menu()->exitPending());
    menu()->onStartCloseDialog();
    EXPECT_EQ(watcher_.exitDialogs, 1);
    ASSERT_TRUE(waitFor([&] { return !window_->isVisible(); }, 5000));
    size_t modeSwitches = 0;
    for (const auto& c : sim_.Received("ST"))
        if (!c.payload.empty() && c.payload[0] == 1) ++modeSwitches;
    EXPECT_EQ(modeSwitches, 1u);
    EXPECT_TRUE(lineIsFree(sim_.SlavePath()));
}

TEST_F(ProgramEndToEndTest, ClosingTheWindowLetsTheReceiverGoFirst) {
    startWindow();
    connectThroughPage(false, 9600);
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    const int rc = runProgram([&] { window_->close(); });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_TRUE(lineIsFree(sim_.SlavePath()));
    // The pages go with the window; the device access ends with them.
    delete window_;
    window_ = nullptr;
    EXPECT_EQ(DeviceManager::existing(), nullptr);
}

}  // namespace
