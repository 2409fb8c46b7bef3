// The main menu on a receiver of the maker's new protocol, through the real
// libraries and the simulated receiver: only the pages that read and write
// such a receiver are offered (Device Info, the data link page with its
// network form, and the program's own server list); the others, which reach
// the receiver only through requests of the old protocol, are not. An
// old-protocol receiver connected afterwards, or before, gets the whole
// menu. With BRANTOR_SCREENSHOT_DIR set, the menu is also saved as an image
// for a person to look at.

#include "program/DeviceManager.h"
#include "program/MenuManager.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/sim/SimNewProto.h"

#include <QAction>

#include <utility>
#include <vector>

namespace {

using guitest::ReceiverGuiTest;

// Every entry of the menu and whether a new-protocol receiver gets it.
const std::vector<std::pair<const char*, bool>> kOnNewProtocol = {
    {"Connection", true},  {"Info", true},          {"Static", false},     {"RTK", false},
    {"DataLink", true},    {"APNConfig", false},    {"0183OutPut", false}, {"RadioChannel", false},
    {"ServerConfig", true}, {"Exit", true},
};

class NewProtocolMenuTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
    }
    // Connects on COM1 at 9600 b/s and comes back to the menu.
    void connectReceiver() {
        watcher_.messages.clear();
        connectThroughPage(false, 9600);
        ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->connectionState() == 4; }))
            << watcher_.describe().toStdString();
        ASSERT_TRUE(waitFor([&] { return window_->currentPage() == window_->menu(); }))
            << watcher_.describe().toStdString();
    }
    // The entry is enabled and so is its button, which the user presses.
    bool offered(const char* command) const {
        QAction* entry = window_->menu()->entry(QLatin1String(command));
        QToolButton* button = menuButton(command);
        EXPECT_TRUE(entry && button) << command;
        return entry && button && entry->isEnabled() && button->isEnabled();
    }
};

TEST_F(NewProtocolMenuTest, OffersOnlyThePagesThatWorkThere) {
    // An old-protocol receiver first: the whole menu.
    connectReceiver();
    ASSERT_FALSE(DeviceManager::instance()->newProtocol());
    for (const auto& [command, onNew] : kOnNewProtocol) EXPECT_TRUE(offered(command)) << command;
    // Its modem reports its parameters, and with them what it offers.
    DeviceManager* manager = DeviceManager::instance();
    manager->sendGprsInfo();
    DeviceManager::WirelessInfo modem{};
    ASSERT_TRUE(waitFor([&] {
        manager->gprsInfo(modem);
        return modem.protocolOffers != 0 && modem.linkOptions != 0;
    }));

    // Break, and a receiver of the new protocol on the same line.
    clickMenu("Connection");
    clickSoftKey(QStringLiteral("Break"));
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 0);
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), window_->menu());
    sim_.Update([](sim::SimSettings& s) { s = sim::NewProtocolSettings(); });
    connectReceiver();
    ASSERT_TRUE(DeviceManager::instance()->newProtocol());
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Successfully connected"))) << watcher_.describe().toStdString();
    for (const auto& [command, onNew] : kOnNewProtocol) EXPECT_EQ(offered(command), onNew) << command;
    // What the old receiver's modem offered is not offered by this one (the
    // network form would offer a source-table fetch by the receiver).
    manager->gprsInfo(modem);
    EXPECT_EQ(modem.linkOptions, 0u);
    EXPECT_EQ(modem.protocolOffers, 0u);

    const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window_->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/menu-new-protocol.png"));

    // The offered pages open; a page that is not offered cannot be reached.
    for (const char* command : {"Info", "DataLink", "ServerConfig"}) {
        clickMenu(command);
        EXPECT_EQ(window_->currentPage(), window_->page(QLatin1String(command))) << command;
        clickSoftKey(QStringLiteral("Back"));
        ASSERT_EQ(window_->currentPage(), window_->menu()) << command;
    }
    QTest::mouseClick(menuButton("RTK"), Qt::LeftButton);
    EXPECT_EQ(window_->currentPage(), window_->menu());

    // After the receiver goes, and an old-protocol one comes again, the
    // whole menu is back.
    clickMenu("Connection");
    clickSoftKey(QStringLiteral("Break"));
    clickSoftKey(QStringLiteral("Back"));
    sim_.Update([](sim::SimSettings& s) { s = sim::SimSettings(); });
    connectReceiver();
    EXPECT_FALSE(DeviceManager::instance()->newProtocol());
    for (const auto& [command, onNew] : kOnNewProtocol) EXPECT_TRUE(offered(command)) << command;
}

}  // namespace
