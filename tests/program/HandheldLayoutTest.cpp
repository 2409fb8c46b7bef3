// The handheld's views at its 240 x 320 screen: the Connect page with the
// Bluetooth devices found, and a page that writes settings with its "SIP"
// soft key. Every visible soft key lies inside the window, shows its whole
// text and overlaps no other. With BRANTOR_SCREENSHOT_DIR set, each view is
// also saved there as a PNG for a person to look at.

#include "platform/Bluetooth.h"
#include "platform/ErrorCodes.h"
#include "program/pages/Connect.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QListWidget>

#include <memory>

namespace {

using guitest::ProgramGuiTest;

class HandheldLayoutTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        bluetooth_ = std::make_shared<platform::ScriptedBluetoothBackend>();
        platform::SetBluetoothBackend(bluetooth_);
        ProgramGuiTest::SetUp();
    }
    void TearDown() override {
        ProgramGuiTest::TearDown();
        platform::SetBluetoothBackend(nullptr);
    }

    void checkKeys(const QString& name) {
        QApplication::processEvents();
        QList<QToolButton*> keys;
        for (int i = 0; i < FatherWidget::kSoftKeys; ++i)
            if (QToolButton* key = window_->softKey(i); key && key->isVisible()) keys << key;
        ASSERT_FALSE(keys.isEmpty()) << name.toStdString();
        for (QToolButton* key : keys) {
            const QRect r(key->mapTo(window_, QPoint(0, 0)), key->size());
            const QString text = key->defaultAction()->text();
            EXPECT_TRUE(window_->rect().contains(r)) << name.toStdString() << " " << text.toStdString();
            EXPECT_GE(key->width(), key->fontMetrics().horizontalAdvance(text)) << text.toStdString() << " is cut";
            for (QToolButton* other : keys) {
                if (other == key) continue;
                const QRect o(other->mapTo(window_, QPoint(0, 0)), other->size());
                EXPECT_FALSE(r.intersects(o)) << text.toStdString() << " overlaps";
            }
        }
        const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            window_->grab().save(QStringLiteral("%1/handheld-%2.png").arg(QString::fromLocal8Bit(dir), name));
    }

    std::shared_ptr<platform::ScriptedBluetoothBackend> bluetooth_;
};

TEST_F(HandheldLayoutTest, ConnectWithDevicesAndAPageWithTheSipKey) {
    platform::BluetoothLookupResult rover;
    rover.hasName = true;
    rover.name = L"GNSS-Rover";
    rover.addresses.push_back({0x00A1B2C3D4E5ull, 0});
    platform::BluetoothLookupResult base = rover;
    base.name = L"GNSS-Base 0042";
    base.addresses[0].device = 0x001122334455ull;
    bluetooth_->SetResults({rover, base}, platform::wsaerr::kNoMore);

    startWindow();
    window_->resize(240, 320);
    window_->onCommand(QStringLiteral("Connection"));
    auto* methods = window_->findChild<QComboBox*>(QStringLiteral("comboBox_connect"));
    methods->setCurrentIndex(methods->findData(1));
    auto* list = window_->findChild<QListWidget*>(QStringLiteral("listWidget"));
    ASSERT_TRUE(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    ASSERT_TRUE(waitFor([&] { return watcher_.shown(QStringLiteral("No more devices around.")); }))
        << watcher_.describe().toStdString();
    ASSERT_EQ(list->count(), 3);
    list->setCurrentRow(1);
    checkKeys(QStringLiteral("connect-bluetooth"));
    window_->close();

    window_->onCommand(QStringLiteral("Add"));
    ASSERT_TRUE(window_->currentPage()->writesSettings());
    checkKeys(QStringLiteral("server-add-sip"));
    QAction* last = nullptr;
    for (int i = 0; i < FatherWidget::kSoftKeys; ++i)
        if (window_->softKey(i)->isVisible()) last = window_->softKey(i)->defaultAction();
    EXPECT_EQ(last, window_->sipAction());
}

}  // namespace
