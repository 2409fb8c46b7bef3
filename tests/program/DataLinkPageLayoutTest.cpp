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
#include <QAbstractItemView>
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

// At the window's own 240 x 320 the network form's source box shows a
// mount point of 20 characters whole, and from its start one too long for
// it; its list opens as wide as its longest name, none of them cut.
TEST_F(DataLinkPageLayoutTest, TheSourceBoxAndItsListShowEachMountPointWhole) {
    startWindow();
    ASSERT_EQ(window_->size(), QSize(240, 320));
    window_->onCommand(QStringLiteral("DataLink"));
    auto* page = static_cast<DataChain*>(window_->page(QStringLiteral("DataLink")));
    page->findChild<QComboBox*>(QStringLiteral("cbDataChain"))->setCurrentIndex(0);
    page->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"))->setCurrentIndex(1);
    auto* protocol = page->findChild<QComboBox*>(QStringLiteral("comboBox_protocol"));
    protocol->setCurrentIndex(protocol->findData(1));
    auto* box = page->findChild<QComboBox*>(QStringLiteral("comboBox_sourceList"));
    // Wide letters, as casters name their mount points.
    const QString twenty = QStringLiteral("RTCM3TEST_MSM7_WIDE");
    ASSERT_EQ(twenty.size() + 1, 20);
    const QStringList names = {QStringLiteral("RTCM3TEST"), twenty + QLatin1Char('M'),
                               QStringLiteral("VRS_RTCM32_GPS_GLONASS_GAL_BDS")};
    box->addItems(names);
    QLineEdit* editor = box->lineEdit();

    box->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(box->isVisible());
    const QRect text = editor->contentsRect().marginsRemoved(editor->textMargins());
    // The editor keeps two pixels beside its text on each side.
    EXPECT_GE(text.width() - 4, editor->fontMetrics().horizontalAdvance(box->currentText()))
        << "the 20-character mount point shows whole";
    EXPECT_EQ(editor->cursorPosition(), 0);
    EXPECT_EQ(window_->size(), QSize(240, 320));
    // One longer than the box shows from its start ("VRS_..."), not its end.
    box->setCurrentIndex(2);
    EXPECT_EQ(editor->cursorPosition(), 0);
    box->setCurrentIndex(0);
    EXPECT_EQ(editor->cursorPosition(), 0);

    box->showPopup();
    QApplication::processEvents();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(list->isVisible());
    for (int row = 0; row < box->count(); ++row) {
        const QRect item = list->visualRect(list->model()->index(row, box->modelColumn()));
        SCOPED_TRACE(box->itemText(row).toStdString());
        EXPECT_GE(item.width(), list->fontMetrics().horizontalAdvance(box->itemText(row))) << "the name is cut";
        EXPECT_LE(item.right(), list->viewport()->width()) << "the list is narrower than the name";
    }
    layoutcheck::SaveScreenshot(list->window(), QStringLiteral("source-list"));
    box->hidePopup();
    layoutcheck::SaveScreenshot(window_, QStringLiteral("source-box"));
}

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
