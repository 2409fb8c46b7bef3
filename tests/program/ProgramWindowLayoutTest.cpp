// The desktop main window at its own 240 x 320, connected to the simulated
// receiver, after each page has been opened in turn: the window keeps its
// size, the page shown fits it (every field, label and button inside the
// page, as large as its text needs, overlapping no other, scrolled areas
// without sideways scrolling), its soft keys fit their row, and nothing of a
// hidden page shows. With BRANTOR_SCREENSHOT_DIR set, each view is also
// saved there as a PNG for a person to look at.

#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "tests/program/LayoutCheck.h"
#include "tests/program/WorkPagesSupport.h"
#include "tests/sim/SimRadioModules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>

#include <functional>

namespace {

using guitest::WorkPageTest;

const QSize kWindowSize(240, 320);

class ProgramWindowLayoutTest : public WorkPageTest {
protected:
    // Every row a page can show: a Trimble board (the longest sentence
    // list), firmware 8 with an automatic base (the distance row), and the
    // three-band radio.
    void configureSim(sim::SimSettings& s) override {
        s.deviceInfo.model = "Q70A";
        s.deviceInfo.startType = 1;
        s.deviceInfo.autoBaseDist = 65535;
        ASSERT_TRUE(sim::SetRadioModule(s, 8));
        s.radio.protocol = 8;
    }

    // The page now shown and the window around it.
    void checkShown(const QString& name) {
        QApplication::processEvents();
        EXPECT_EQ(window_->size(), kWindowSize) << name.toStdString();
        Widget* page = window_->currentPage();
        ASSERT_NE(page, nullptr);
        layoutcheck::Rules rules;
        rules.checkBoxRoom = 16;  // a check box also needs room for its box
        layoutcheck::CheckPage(window_, page, layoutcheck::IsFormLeaf, name, rules);
        for (int i = 0; i < FatherWidget::kSoftKeys; ++i) {
            QToolButton* key = window_->softKey(i);
            if (!key || !key->isVisible()) continue;
            const QRect r(key->mapTo(window_, QPoint(0, 0)), key->size());
            EXPECT_TRUE(window_->rect().contains(r)) << name.toStdString() << " key " << key->text().toStdString();
            EXPECT_GE(key->width(), key->fontMetrics().horizontalAdvance(key->text()))
                << name.toStdString() << " key " << key->text().toStdString() << " is cut";
        }
        // Of the pages only the one on top shows, and nothing lies beyond
        // the window's edges.
        for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() || !child->isVisible()) continue;
            if (auto* other = qobject_cast<Widget*>(child)) {
                EXPECT_EQ(other, page) << name.toStdString() << ": " << other->metaObject()->className() << " shows";
            }
            EXPECT_TRUE(window_->rect().contains(child->geometry()))
                << name.toStdString() << ": " << child->objectName().toStdString() << " lies beyond the window";
        }
        layoutcheck::SaveScreenshot(window_, name);
    }

    // Opens the page, lets `fill` show what it can show, checks it, goes
    // back and checks the menu.
    void visit(const char* command, const std::function<void(Widget*)>& fill = {}) {
        SCOPED_TRACE(command);
        const QString name = QStringLiteral("window-") + QLatin1String(command);
        window_->onCommand(QLatin1String(command));
        Widget* page = window_->page(QLatin1String(command));
        ASSERT_EQ(window_->currentPage(), page);
        if (fill) fill(page);
        checkShown(name);
        while (window_->currentPage() != window_->menu()) window_->close();
        checkShown(name + QStringLiteral("-back"));
    }
};

TEST_F(ProgramWindowLayoutTest, TheWindowKeeps240x320AfterEveryPage) {
    ASSERT_EQ(window_->size(), kWindowSize);
    checkShown(QStringLiteral("window-menu"));
    visit("Connection");
    visit("Info");
    visit("Static", [this](Widget*) {
        auto* advance = window_->findChild<QCheckBox*>(QStringLiteral("checkBox_advance"));
        if (!advance->isChecked()) advance->click();
        edit("lineEdit_Point")->setText(QString(34, QLatin1Char('W')));
    });
    visit("RTK");
    visit("0183OutPut");
    visit("DataLink", [this](Widget* w) {
        auto* page = static_cast<DataChain*>(w);
        auto* link = page->findChild<QComboBox*>(QStringLiteral("cbDataChain"));
        ASSERT_TRUE(waitFor([&] { return link->currentIndex() >= 0; })) << "the link type is read";
        // A rover on an NTRIP caster shows every field of the network form.
        link->setCurrentIndex(0);
        ASSERT_TRUE(waitFor([&] { return page->netPage()->receivedMask() == DataChain_Net::kReadComplete; }));
        page->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"))->setCurrentIndex(1);
        auto* protocol = page->findChild<QComboBox*>(QStringLiteral("comboBox_protocol"));
        protocol->setCurrentIndex(protocol->findData(1));
        page->findChild<QComboBox*>(QStringLiteral("comboBox_sourceList"))->addItem(QString(20, QLatin1Char('M')));
        checkShown(QStringLiteral("window-DataLink-net"));
        // The radio form of the three-band radio.
        link->setCurrentIndex(1);
        ASSERT_TRUE(waitFor([&] {
            return page->radioPage()->receivedMask() == page->radioPage()->requestedMask();
        }));
    });
    visit("APNConfig");
    visit("ServerConfig");
    visit("Add", [](Widget* page) {
        auto* protocol = page->findChild<QComboBox*>(QStringLiteral("comboBox_protocol"));
        protocol->setCurrentIndex(protocol->findData(1));
    });
    visit("Detail");
    visit("RadioChannel");
    visit("Callsign");
    EXPECT_EQ(window_->size(), kWindowSize);
}

}  // namespace
