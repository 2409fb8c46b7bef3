// The Info page against the simulated receiver in its new-protocol mode,
// connected through the Connect page as a user does: the device information
// read on the old protocol at connection, and the battery from the new
// protocol's power status. With BRANTOR_SCREENSHOT_DIR set, the page is also
// saved as an image for a person to look at.

#include "program/DeviceManager.h"
#include "program/pages/Info.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QLineEdit>

namespace {

using guitest::ReceiverGuiTest;

class InfoPageNewProtocolTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        sim_.Update([](sim::SimSettings& s) { s = sim::NewProtocolSettings(); });
        startWindow();
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    }
    QString field(const char* name) const {
        auto* edit = window_->findChild<QLineEdit*>(QLatin1String(name));
        return edit ? edit->text() : QStringLiteral("<missing>");
    }
};

TEST_F(InfoPageNewProtocolTest, ShowsTheDeviceInformationAndTheBattery) {
    ASSERT_EQ(window_->currentPage(), window_->menu());
    sim_.ClearReceived();
    clickMenu("Info");
    ASSERT_TRUE(waitFor([&] { return !field("lineEdit_Baterry").isEmpty(); })) << watcher_.describe().toStdString();
    EXPECT_EQ(field("lineEdit_style"), QStringLiteral("Q50A"));
    EXPECT_EQ(field("lineEdit_SN"), QStringLiteral("601234"));
    EXPECT_EQ(field("lineEdit_PN"), QStringLiteral("FJ80427-01"));
    EXPECT_EQ(field("lineEdit_produceDate"), QStringLiteral("2011-06-15"));
    EXPECT_EQ(field("lineEdit_version"), QStringLiteral("V8.1"));
    // Power status: battery levels 72.0 and 68.0, grade 7.
    EXPECT_EQ(field("lineEdit_Baterry"), QStringLiteral("70%"));
    // The battery was asked for on the new protocol.
    ASSERT_TRUE(sim_.WaitForNewItem(772));
    EXPECT_EQ(sim_.ReceivedItem(772).front().operation, 11);
    EXPECT_TRUE(sim_.Received("SD").empty());
    // The receiver never reported a modem version: none is shown.
    EXPECT_EQ(field("lineEdit_GPRSVersion"), QString());

    const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window_->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/info-new-protocol.png"));
}

// "Get" on a receiver of the new protocol: the device information it cannot
// give again stays as read at connection, and the battery is asked for anew.
TEST_F(InfoPageNewProtocolTest, GetKeepsTheDeviceInformationAndRefreshesTheBattery) {
    clickMenu("Info");
    auto* info = static_cast<Info*>(window_->page(QStringLiteral("Info")));
    ASSERT_EQ(window_->currentPage(), info);
    ASSERT_TRUE(waitFor([&] { return !field("lineEdit_Baterry").isEmpty(); })) << watcher_.describe().toStdString();
    const size_t messagesBefore = watcher_.messages.size();

    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(sim_.WaitForNewItem(772));
    ASSERT_TRUE(waitFor([&] { return info->replyMask() == Info::kAllReplies && !info->reading(); }))
        << watcher_.describe().toStdString();
    EXPECT_EQ(field("lineEdit_style"), QStringLiteral("Q50A"));
    EXPECT_EQ(field("lineEdit_SN"), QStringLiteral("601234"));
    EXPECT_EQ(field("lineEdit_PN"), QStringLiteral("FJ80427-01"));
    EXPECT_EQ(field("lineEdit_produceDate"), QStringLiteral("2011-06-15"));
    EXPECT_EQ(field("lineEdit_version"), QStringLiteral("V8.1"));
    EXPECT_EQ(field("lineEdit_GPRSVersion"), QString());
    EXPECT_EQ(field("lineEdit_Baterry"), QStringLiteral("70%"));
    // No old-protocol request went out, and nothing was reported as failed.
    EXPECT_TRUE(sim_.Received("SI").empty());
    EXPECT_TRUE(sim_.Received("SD").empty());
    EXPECT_EQ(watcher_.messages.size(), messagesBefore) << watcher_.describe().toStdString();
    for (QAction* key : info->actions()) EXPECT_TRUE(key->isEnabled());
}

}  // namespace
