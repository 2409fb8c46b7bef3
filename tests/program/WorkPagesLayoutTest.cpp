// The static recording, RTK and NMEA output pages laid out in the main window
// at the desktop size and at the handheld's 240 x 320: every field, label and
// button visible on a page lies inside the page area, is at least as large as
// its text needs, and overlaps no other; the rows of a scrolled list are
// checked among themselves. With BRANTOR_SCREENSHOT_DIR set, each view is
// also saved there as a PNG for a person to look at.

#include "tests/program/WorkPagesSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>

namespace {

using guitest::WorkPageTest;

class WorkPagesLayoutTest : public WorkPageTest {
protected:
    // A Trimble board (the longest sentence list), firmware 8 with an
    // automatic base, so that every row a page can show is shown.
    void configureSim(sim::SimSettings& s) override {
        s.deviceInfo.model = "Q70A";
        s.deviceInfo.startType = 1;
        s.deviceInfo.autoBaseDist = 65535;
    }

    static bool IsLeaf(QWidget* w) {
        return qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
               qobject_cast<QAbstractButton*>(w) || qobject_cast<QScrollArea*>(w);
    }
    // The visible leaves under `root`, not looking into leaves (a combo
    // box's own view, a scroll area's rows).
    static QList<QWidget*> Leaves(QWidget* root) {
        QList<QWidget*> leaves;
        const QList<QWidget*> all = root->findChildren<QWidget*>();
        for (QWidget* w : all) {
            if (!w->isVisibleTo(root) || !IsLeaf(w)) continue;
            bool inner = false;
            for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
                if (IsLeaf(p)) inner = true;
            if (!inner) leaves.push_back(w);
        }
        return leaves;
    }
    void checkLeaves(const QList<QWidget*>& leaves, const QRect& area, const std::string& name) {
        for (QWidget* w : leaves) {
            const QRect r(w->mapTo(window_, QPoint(0, 0)), w->size());
            const std::string what = name + " " + w->objectName().toStdString() + " " +
                                     (qobject_cast<QAbstractButton*>(w)
                                          ? qobject_cast<QAbstractButton*>(w)->text().toStdString()
                                          : std::string());
            EXPECT_TRUE(area.contains(r)) << what << " lies outside its area";
            QString text;
            if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
            if (!text.isEmpty()) {
                // A check box also needs room for its box.
                const int extra = qobject_cast<QCheckBox*>(w) ? 16 : 0;
                EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(text) + extra) << what << " is cut";
                EXPECT_GE(w->height(), w->fontMetrics().height()) << what << " is cut";
            }
            for (QWidget* other : leaves) {
                if (other <= w) continue;
                const QRect o(other->mapTo(window_, QPoint(0, 0)), other->size());
                EXPECT_FALSE(r.intersects(o)) << what << " overlaps " << other->objectName().toStdString();
            }
        }
    }
    void checkPage(const QString& command, const QString& name) {
        Widget* page = window_->page(command);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(window_->currentPage(), page);
        QApplication::processEvents();
        const QRect area(page->mapTo(window_, QPoint(0, 0)), page->size());
        EXPECT_TRUE(window_->rect().contains(area)) << name.toStdString();
        const QList<QWidget*> leaves = Leaves(page);
        ASSERT_FALSE(leaves.isEmpty()) << name.toStdString();
        checkLeaves(leaves, area, name.toStdString());
        for (QWidget* w : leaves) {
            auto* scroll = qobject_cast<QScrollArea*>(w);
            if (!scroll || !scroll->widget()) continue;
            const QRect inner(scroll->widget()->mapTo(window_, QPoint(0, 0)), scroll->widget()->size());
            checkLeaves(Leaves(scroll->widget()), inner, name.toStdString() + " (list)");
            // No sideways scrolling: the rows fit the width.
            EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width()) << name.toStdString();
        }
        const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            window_->grab().save(QStringLiteral("%1/%2-%3x%4.png")
                                     .arg(QString::fromLocal8Bit(dir), name)
                                     .arg(window_->width())
                                     .arg(window_->height()));
    }

    void walkPages(const QString& size) {
        clickMenu("Static");
        checkPage(QStringLiteral("Static"), QStringLiteral("static-") + size);
        auto* advance = window_->findChild<QCheckBox*>(QStringLiteral("checkBox_advance"));
        if (!advance->isChecked()) advance->click();
        edit("lineEdit_Point")->setText(QString(Static_kNameBytes, QLatin1Char('W')));
        checkPage(QStringLiteral("Static"), QStringLiteral("static-antenna-") + size);
        clickSoftKey(QStringLiteral("Back"));

        clickMenu("RTK");
        checkPage(QStringLiteral("RTK"), QStringLiteral("rtk-") + size);
        clickSoftKey(QStringLiteral("Back"));

        clickMenu("0183OutPut");
        checkPage(QStringLiteral("0183OutPut"), QStringLiteral("output-") + size);
        clickSoftKey(QStringLiteral("AllPick"));
        checkPage(QStringLiteral("0183OutPut"), QStringLiteral("output-picked-") + size);
        clickSoftKey(QStringLiteral("Back"));
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }

    static constexpr int Static_kNameBytes = 34;
};

TEST_F(WorkPagesLayoutTest, PagesFitAtDesktopSizeAndAt240x320) {
    window_->resize(640, 480);
    walkPages(QStringLiteral("desktop"));
    window_->setFixedSize(240, 320);
    walkPages(QStringLiteral("handheld"));
}

}  // namespace
