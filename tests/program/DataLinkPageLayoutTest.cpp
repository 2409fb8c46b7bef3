// The data link page with each of its forms, and the source-fetch method
// dialog, laid out at the desktop size and at the handheld's 240 x 320:
// every field, label and button shown lies inside the page, is at least as
// large as its content needs, and overlaps no other. With
// BRANTOR_SCREENSHOT_DIR set, each view is also saved there as a PNG.

#include "program/pages/DataChain.h"
#include "program/pages/SelectGetSourceMethod.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

namespace {

using guitest::ProgramGuiTest;

class DataLinkPageLayoutTest : public ProgramGuiTest {
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
        window_->onCommand(QStringLiteral("DataLink"));
        auto* page = static_cast<DataChain*>(window_->page(QStringLiteral("DataLink")));
        auto* link = page->findChild<QComboBox*>(QStringLiteral("cbDataChain"));
        link->setCurrentIndex(0);
        // A rover on an NTRIP caster shows every field of the network form.
        page->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"))->setCurrentIndex(1);
        auto* protocol = page->findChild<QComboBox*>(QStringLiteral("comboBox_protocol"));
        protocol->setCurrentIndex(protocol->findData(1));
        page->findChild<QLineEdit*>(QStringLiteral("lineEdit_address"))->setText(QStringLiteral("192.168.100.200"));
        page->findChild<QLineEdit*>(QStringLiteral("lineEdit_port"))->setText(QStringLiteral("2101"));
        checkPage(QStringLiteral("DataLink"), QStringLiteral("datalink-net-") + size);
        protocol->setCurrentIndex(protocol->findData(0));
        checkPage(QStringLiteral("DataLink"), QStringLiteral("datalink-net-zelt-") + size);
        link->setCurrentIndex(1);
        checkPage(QStringLiteral("DataLink"), QStringLiteral("datalink-radio-") + size);
        window_->close();
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }

    void checkDialog(const QString& name, int width) {
        SelectGetSourceMethod dialog(window_);
        dialog.show();
        if (width > 0) dialog.resize(width, dialog.sizeHint().height());
        QApplication::processEvents();
        for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
            const QRect r(b->mapTo(&dialog, QPoint(0, 0)), b->size());
            EXPECT_TRUE(dialog.rect().contains(r)) << b->objectName().toStdString();
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
        }
        const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            dialog.grab().save(QStringLiteral("%1/%2-%3x%4.png")
                                   .arg(QString::fromLocal8Bit(dir), name)
                                   .arg(dialog.width())
                                   .arg(dialog.height()));
    }
};

TEST_F(DataLinkPageLayoutTest, FormsFitAtDesktopSizeAndAt240x320) {
    startWindow();
    window_->resize(640, 480);
    walkPages(QStringLiteral("desktop"));
    checkDialog(QStringLiteral("method-desktop"), 0);
    window_->setFixedSize(240, 320);
    walkPages(QStringLiteral("handheld"));
    checkDialog(QStringLiteral("method-handheld"), 236);
}

}  // namespace
