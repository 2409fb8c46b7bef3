// The new pages laid out in the main window at the desktop size and at the
// handheld's 240 x 320: every field, label and button visible on a page lies
// inside the page area, is at least as large as its content needs, and
// overlaps no other. With BRANTOR_SCREENSHOT_DIR set, each view is also saved
// there as a PNG for a person to look at.

#include "program/ServerStore.h"
#include "program/pages/ServerPages.h"
#include "program/pages/ServerWidget.h"
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
    // The widgets a user reads or works with; containers are left out.
    static bool IsLeaf(QWidget* w) {
        return qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
               qobject_cast<QAbstractButton*>(w) || qobject_cast<QListWidget*>(w) ||
               qobject_cast<QTableWidget*>(w);
    }

    void checkPage(const QString& command, const QString& name) {
        Widget* page = window_->page(command);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(window_->currentPage(), page);
        QApplication::processEvents();
        const QRect area(page->mapTo(window_, QPoint(0, 0)), page->size());
        const QRect windowRect = window_->rect();
        EXPECT_TRUE(windowRect.contains(area)) << name.toStdString();
        QList<QWidget*> leaves;
        const QList<QWidget*> all = page->findChildren<QWidget*>();
        for (QWidget* w : all) {
            if (!w->isVisibleTo(page) || !IsLeaf(w)) continue;
            // Parts of a compound widget (the combo box's own view, the
            // table's corner button) are the compound's business.
            bool inner = false;
            for (QWidget* p = w->parentWidget(); p && p != page; p = p->parentWidget())
                if (IsLeaf(p)) inner = true;
            if (!inner) leaves.push_back(w);
        }
        ASSERT_FALSE(leaves.isEmpty()) << name.toStdString();
        for (QWidget* w : std::as_const(leaves)) {
            const QRect r(w->mapTo(window_, QPoint(0, 0)), w->size());
            const std::string what = name.toStdString() + " " + w->objectName().toStdString();
            EXPECT_TRUE(area.contains(r)) << what << " lies outside the page";
            // A label or button is at least as wide as its text.
            QString text;
            if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
            if (!text.isEmpty()) {
                EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(text)) << what << " is cut";
                EXPECT_GE(w->height(), w->fontMetrics().height()) << what << " is cut";
            }
            for (QWidget* other : std::as_const(leaves)) {
                if (other <= w) continue;
                const QRect o(other->mapTo(window_, QPoint(0, 0)), other->size());
                EXPECT_FALSE(r.intersects(o)) << what << " overlaps " << other->objectName().toStdString();
            }
        }
        const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            window_->grab().save(QStringLiteral("%1/%2-%3x%4.png")
                                     .arg(QString::fromLocal8Bit(dir), name)
                                     .arg(window_->width())
                                     .arg(window_->height()));
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
