// The radio link form and the radio channel page laid out in the main window
// at the desktop size and at the handheld's 240 x 320, filled from a
// simulated receiver with the three-band radio: every field, label and button
// shown lies inside the page, is as large as its text needs and overlaps no
// other. With BRANTOR_SCREENSHOT_DIR set, each view is also saved there as a
// PNG for a person to look at.

#include "program/DeviceManager.h"
#include "program/pages/DataChain_Radio.h"
#include "program/pages/RadioChannelWidget.h"
#include "tests/program/LayoutCheck.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/sim/SimRadioModules.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using guitest::ReceiverGuiTest;

// Stands in for the data link page: its link choice above the radio form,
// and its soft keys.
class RadioHost : public Widget {
public:
    explicit RadioHost(QWidget* parent) : Widget(parent) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* row = new QFormLayout;
        auto* mode = new QComboBox(this);
        mode->setObjectName(QStringLiteral("cbDataChain"));
        mode->addItem(QStringLiteral("Internal UHF"));
        row->addRow(new QLabel(QStringLiteral("Work Mode:"), this), mode);
        layout->addLayout(row);
        radio = new DataChain_Radio(this);
        layout->addWidget(radio);
        setWindowTitle(QStringLiteral("GPRS And Internal UHF"));
        // The data link page's soft keys take their row of the window.
        createAction(QStringLiteral("Back"), this);
        createAction(QStringLiteral("Get"), this);
        createAction(QStringLiteral("Set"), this);
    }
    bool writesSettings() const override { return true; }
    DataChain_Radio* radio;
};

class RadioPagesLayoutTest : public ReceiverGuiTest {
protected:
    static bool IsLeaf(QWidget* w) {
        return qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
               qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
               qobject_cast<QTableWidget*>(w);
    }

    void checkPage(Widget* page, const QString& name) {
        ASSERT_EQ(window_->currentPage(), page);
        layoutcheck::Rules rules;
        rules.comboText = true;  // the radio's lists show values that must be read whole
        layoutcheck::CheckPage(window_, page, IsLeaf, name, rules);
        layoutcheck::SaveScreenshot(window_, name);
    }

    void walkPages(RadioHost* host, const QString& size) {
        window_->onCommand(QStringLiteral("RadioLinkHost"));
        checkPage(host, QStringLiteral("radio-link-") + size);
        window_->close();
        window_->onCommand(QStringLiteral("RadioChannel"));
        checkPage(window_->page(QStringLiteral("RadioChannel")), QStringLiteral("radio-channels-") + size);
        window_->close();
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
};

TEST_F(RadioPagesLayoutTest, PagesFitAtDesktopSizeAndAt240x320) {
    sim_.Update([](sim::SimSettings& s) { sim::SetRadioModule(s, 8); s.radio.protocol = 8; });
    startWindow();
    DeviceManager* manager = DeviceManager::instance();
    manager->setManufacturer(2);
    manager->setDeviceType(0);
    ASSERT_TRUE(manager->connectDevice(0, 1, 9600));
    ASSERT_TRUE(waitFor([&] { return manager->connectionState() == 4; }));
    manager->sendRadioFrq();
    ASSERT_TRUE(waitFor([&] { return manager->radioFrq() > 0.0; }));

    auto* host = new RadioHost(window_);
    host->hide();
    window_->registerPage(QStringLiteral("RadioLinkHost"), host);
    DataChain_Radio* radio = host->radio;
    QSignalSpy got(radio, &DataChain_Radio::gotData);
    radio->resetForm();
    radio->watchReceiver(true);
    radio->load();
    radio->setProtocol(8);
    ASSERT_TRUE(waitFor([&] { return got.count() > 0; }));
    radio->watchReceiver(false);
    radio->setFieldsEnabled(true);

    window_->resize(640, 480);
    walkPages(host, QStringLiteral("desktop"));
    window_->setFixedSize(240, 320);
    walkPages(host, QStringLiteral("handheld"));
}

}  // namespace
