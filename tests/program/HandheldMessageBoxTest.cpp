// The handheld's message boxes at its 240 x 320 screen, which the main
// window fills: each box of the program lies within the window, its text
// wrapped to the width there is, even where the platform's screen is wider
// (Qt sizes a box for the platform's screen, up to half its width).

#include "platform/Bluetooth.h"
#include "platform/ErrorCodes.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QLabel>
#include <QListWidget>

#include <memory>

namespace {

using guitest::ProgramGuiTest;

class HandheldMessageBoxTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        bluetooth_ = std::make_shared<platform::ScriptedBluetoothBackend>();
        platform::SetBluetoothBackend(bluetooth_);
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
        window_->resize(240, 320);
        QApplication::processEvents();
    }
    void TearDown() override {
        ProgramGuiTest::TearDown();
        platform::SetBluetoothBackend(nullptr);
    }

    // Every box shown so far stood within the window.
    void expectAllFit() {
        ASSERT_FALSE(watcher_.messages.empty());
        const QRect screen = window_->frameGeometry();
        for (const auto& m : watcher_.messages) {
            SCOPED_TRACE(m.text.toStdString());
            EXPECT_TRUE(screen.contains(m.frame)) << "box at " << m.frame.x() << "," << m.frame.y() << " "
                                                  << m.frame.width() << "x" << m.frame.height();
        }
    }
    // Searches for Bluetooth devices from the Connect page and waits for
    // the message that ends the search.
    void search(uint32_t endCode) {
        window_->onCommand(QStringLiteral("Connection"));
        auto* methods = window_->findChild<QComboBox*>(QStringLiteral("comboBox_connect"));
        methods->setCurrentIndex(methods->findData(1));
        bluetooth_->SetResults({}, endCode);
        auto* list = window_->findChild<QListWidget*>(QStringLiteral("listWidget"));
        const size_t before = watcher_.messages.size();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        ASSERT_TRUE(waitFor([&] { return watcher_.messages.size() > before; })) << watcher_.describe().toStdString();
        window_->close();
    }

    std::shared_ptr<platform::ScriptedBluetoothBackend> bluetooth_;
};

TEST_F(HandheldMessageBoxTest, EveryBoxFitsTheScreen) {
    search(platform::wsaerr::kNoMore);
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Bluetooth closed or no device around !"));
    search(10022);
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Failed to search device!\nError Code: 10022"));

    // Questions with two buttons.
    watcher_.answer = QMessageBox::No;
    window_->onCommand(QStringLiteral("Static"));
    clickSoftKey(QStringLiteral("Start"));
    clickSoftKey(QStringLiteral("Stop"));
    ASSERT_EQ(watcher_.messages.size(), 4u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[2].text, QStringLiteral("Begin collecting static data?"));
    window_->close();

    // The longest text the program has.
    const QString longest = QStringLiteral(
        "Begin start the new search behavior, you must stop the current search, do you want to do so?");
    QMessageBox::warning(window_, QStringLiteral("Warning"), longest, QMessageBox::Ok);
    EXPECT_EQ(watcher_.messages.back().text, longest);
    expectAllFit();
}

// A box that fits is left where Qt put it, at its own size.
TEST_F(HandheldMessageBoxTest, ABoxThatFitsIsLeftAsItIs) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Info"), QStringLiteral("OK"), QMessageBox::Ok,
                    window_);
    box.show();
    QApplication::processEvents();
    const QSize own = box.size();
    EXPECT_TRUE(window_->frameGeometry().contains(box.frameGeometry()));
    EXPECT_FALSE(box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->wordWrap());
    EXPECT_LE(own.width(), window_->width());
    box.close();
}

}  // namespace
