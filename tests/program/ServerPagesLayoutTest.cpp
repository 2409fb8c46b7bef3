// The new pages laid out in the main window at the desktop size and at the
// handheld's 240 x 320: every field, label and button visible on a page lies
// inside the page area, is at least as large as its content needs, and
// overlaps no other. With BRANTOR_SCREENSHOT_DIR set, each view is also saved
// there as a PNG for a person to look at.

#include "program/ServerStore.h"
#include "program/pages/ServerPages.h"
#include "program/pages/ServerWidget.h"
#include "tests/program/LayoutCheck.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

namespace {

using guitest::ProgramGuiTest;

class ServerPagesLayoutTest : public ProgramGuiTest {
protected:
    void checkPage(const QString& command, const QString& name) {
        layoutcheck::CheckCurrentPage(window_, command, name);
    }

    void walkPages(const QString& size) {
        window_->onCommand(QStringLiteral("APNConfig"));
        checkPage(QStringLiteral("APNConfig"), QStringLiteral("apn-") + size);
        window_->close();

        window_->onCommand(QStringLiteral("ServerConfig"));
        checkPage(QStringLiteral("ServerConfig"), QStringLiteral("servers-") + size);
        window_->onCommand(QStringLiteral("Add"));
        auto* add = static_cast<ServerConfig_Add*>(window_->page(QStringLiteral("Add")));
        checkPage(QStringLiteral("Add"), QStringLiteral("add-zelt-") + size);
        QComboBox* protocol = add->form()->protocolField();
        protocol->setCurrentIndex(protocol->findData(1));
        add->form()->sourceList()->addItems({QStringLiteral("MNT1"), QStringLiteral("MNT2")});
        checkPage(QStringLiteral("Add"), QStringLiteral("add-ntrip-") + size);
        window_->close();
        window_->close();

        window_->onCommand(QStringLiteral("Callsign"));
        checkPage(QStringLiteral("Callsign"), QStringLiteral("callsign-") + size);
        window_->close();
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
};

TEST_F(ServerPagesLayoutTest, PagesFitAtDesktopSizeAndAt240x320) {
    startWindow();
    ServerRecord r;
    r.name = QStringLiteral("Caster of the office");
    r.address = QStringLiteral("192.168.100.200");
    r.port = 2101;
    r.protocol = 1;
    ServerStore::instance()->append(r);

    window_->resize(640, 480);
    walkPages(QStringLiteral("desktop"));
    window_->setFixedSize(240, 320);
    walkPages(QStringLiteral("handheld"));
}

}  // namespace
