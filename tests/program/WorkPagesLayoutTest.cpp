// The static recording, RTK and NMEA output pages laid out in the main window
// at the desktop size and at the handheld's 240 x 320: every field, label and
// button visible on a page lies inside the page area, is at least as large as
// its text needs, and overlaps no other; the rows of a scrolled list are
// checked among themselves. With BRANTOR_SCREENSHOT_DIR set, each view is
// also saved there as a PNG for a person to look at.

#include "tests/program/LayoutCheck.h"
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

    void checkPage(const QString& command, const QString& name) {
        Widget* page = window_->page(command);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(window_->currentPage(), page);
        layoutcheck::Rules rules;
        rules.checkBoxRoom = 16;  // a check box also needs room for its box
        layoutcheck::CheckPage(window_, page, layoutcheck::IsFormLeaf, name, rules);
        layoutcheck::SaveScreenshot(window_, name);
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
