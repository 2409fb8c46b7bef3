// The data link page with each of its forms, and the source-fetch method
// dialog, laid out at the desktop size and at the handheld's 240 x 320:
// every field, label and button shown lies inside the page, is at least as
// large as its content needs, and overlaps no other. With
// BRANTOR_SCREENSHOT_DIR set, each view is also saved there as a PNG.

#include "program/pages/DataChain.h"
#include "program/pages/SelectGetSourceMethod.h"
#include "tests/program/LayoutCheck.h"
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
    void checkPage(const QString& command, const QString& name) {
        layoutcheck::CheckCurrentPage(window_, command, name);
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
        layoutcheck::SaveScreenshot(&dialog, name);
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
