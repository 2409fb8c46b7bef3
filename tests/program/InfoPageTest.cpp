// The Info page against the simulated receiver: what it shows, a full read,
// and a receiver that stays silent.

#include "program/DeviceManager.h"
#include "program/pages/Info.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QCursor>
#include <QLineEdit>

namespace {

using guitest::ReceiverGuiTest;

class InfoPageTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
    QString field(const char* name) const {
        auto* edit = window_->findChild<QLineEdit*>(QLatin1String(name));
        return edit ? edit->text() : QStringLiteral("<missing>");
    }
    Info* info() const { return static_cast<Info*>(window_->page(QStringLiteral("Info"))); }
    bool keysEnabled() const {
        for (QAction* a : info()->actions())
            if (!a->isEnabled()) return false;
        return true;
    }
    void expectReceiverValues() {
        EXPECT_EQ(field("lineEdit_style"), QStringLiteral("8427"));
        EXPECT_EQ(field("lineEdit_SN"), QStringLiteral("601234"));
        EXPECT_EQ(field("lineEdit_PN"), QStringLiteral("FJ80427-01"));
        EXPECT_EQ(field("lineEdit_produceDate"), QStringLiteral("2011-06-15"));
        EXPECT_EQ(field("lineEdit_version"), QStringLiteral("V8.1"));
        // Two decimals with a point, under the German locale too.
        EXPECT_EQ(field("lineEdit_GPRSVersion"), QStringLiteral("2.90"));
        EXPECT_EQ(field("lineEdit_Baterry"),
                  QStringLiteral("%1%").arg(DeviceManager::instance()->batteryGrade() * 10));
    }
};

TEST_F(InfoPageTest, ShowsWhatTheReceiverSaysAndReadsItAgainOnGet) {
    clickMenu("Info");
    ASSERT_EQ(window_->currentPage(), info());
    EXPECT_EQ(info()->windowTitle(), QStringLiteral("Device Info."));
    // Shown at once from the cache, the battery asked for anew.
    ASSERT_TRUE(waitFor([&] { return !field("lineEdit_Baterry").isEmpty(); })) << watcher_.describe().toStdString();
    EXPECT_GT(DeviceManager::instance()->batteryGrade(), 0);
    expectReceiverValues();
    for (const char* name : {"lineEdit_style", "lineEdit_SN", "lineEdit_Baterry"})
        EXPECT_TRUE(window_->findChild<QLineEdit*>(QLatin1String(name))->isReadOnly()) << name;

    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Get"));
    EXPECT_FALSE(keysEnabled());
    EXPECT_TRUE(field("lineEdit_SN").isEmpty());
    ASSERT_TRUE(waitFor([&] { return info()->replyMask() == Info::kAllReplies && !info()->reading(); }));
    expectReceiverValues();
    EXPECT_TRUE(keysEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(sim_.WaitForCommand("SI"));
    EXPECT_TRUE(sim_.WaitForCommand("SD"));
    EXPECT_TRUE(watcher_.messages.size() == 1) << watcher_.describe().toStdString();  // "Successfully connected"

    // Back to the menu and in again: the battery is asked for and shown again.
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), window_->menu());
    sim_.ClearReceived();
    clickMenu("Info");
    EXPECT_TRUE(sim_.WaitForCommand("SD"));
    ASSERT_TRUE(waitFor([&] { return info()->replyMask() == Info::kAllReplies; }));
    expectReceiverValues();
}

TEST_F(InfoPageTest, ASilentReceiverGivesFailedToGetParameters) {
    clickMenu("Info");
    ASSERT_TRUE(waitFor([&] { return !field("lineEdit_Baterry").isEmpty(); }));
    sim_.SetBehaviour(sim::Behaviour::Silent);
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(info()->reading());
    ASSERT_TRUE(waitFor([&] { return !info()->reading(); }, 10000));
    ASSERT_FALSE(watcher_.messages.empty());
    EXPECT_EQ(watcher_.messages.back().title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Failed to get parameters!"));
    EXPECT_TRUE(field("lineEdit_SN").isEmpty());
    EXPECT_TRUE(field("lineEdit_Baterry").isEmpty());
    EXPECT_EQ(info()->replyMask(), 0);
    EXPECT_TRUE(keysEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Replies that come after the read ended are not taken.
    sim_.SetBehaviour(sim::Behaviour::Answer);
    DeviceManager::instance()->sendInfoRequests();
    EXPECT_TRUE(sim_.WaitForCommand("SD"));
    QTest::qWait(500);
    EXPECT_TRUE(field("lineEdit_SN").isEmpty());
    EXPECT_EQ(info()->replyMask(), 0);
}

// "Reset" sends the receiver the reset of its GNSS board (the NovAtel board's
// own lines, relayed) and keeps the page busy while the receiver restarts.
TEST_F(InfoPageTest, ResetSendsTheBoardsResetAndKeepsThePageBusy) {
    clickMenu("Info");
    ASSERT_TRUE(waitFor([&] { return info()->replyMask() == Info::kAllReplies; }));
    ASSERT_TRUE(keysEnabled());
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Reset"));
    EXPECT_TRUE(info()->resetting());
    EXPECT_FALSE(keysEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ASSERT_TRUE(sim_.WaitForCommand("RZ", 2));
    const auto relayed = sim_.Received("RZ");
    ASSERT_EQ(relayed.size(), 2u);
    EXPECT_EQ(std::string(relayed[0].payload.begin(), relayed[0].payload.end()), "nvmrestore\r\n");
    EXPECT_EQ(std::string(relayed[1].payload.begin(), relayed[1].payload.end()), "freset\r\n");
    EXPECT_TRUE(sim_.Received("RK").empty()) << "a NovAtel board needs no reset of the receiver's own";
    // Nothing is awaited: the page stays busy whatever the receiver says.
    QTest::qWait(300);
    EXPECT_TRUE(info()->resetting());
    EXPECT_FALSE(keysEnabled());
    EXPECT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();  // "Successfully connected"
}

}  // namespace
