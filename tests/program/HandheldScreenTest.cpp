// The handheld main window with a scripted soft keyboard: the "SIP" soft key
// on exactly the pages that write settings, the task-bar keyboard button
// hidden while the window lives, and the page area lifted by exactly the
// part of the focused field the keyboard covers, and moved back when it
// closes.

#include "platform/SoftInput.h"
#include "program/pages/Connect.h"
#include "program/pages/DataChain_Radio.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

namespace {

using guitest::ProgramGuiTest;

// A page that writes settings, with one field at its bottom edge: how any
// page opts in to the soft-keyboard key.
class FormPage : public Widget {
public:
    explicit FormPage(QWidget* parent) : Widget(parent) {
        createAction(QStringLiteral("Back"), this);
        auto* layout = new QVBoxLayout(this);
        top = new QLineEdit(this);
        field = new QLineEdit(this);
        layout->addWidget(top);
        layout->addStretch(1);
        layout->addWidget(field);
    }
    bool writesSettings() const override { return true; }
    QLineEdit* top;
    QLineEdit* field;
};

class HandheldScreenTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        keyboard_ = std::make_shared<platform::ScriptedSoftInputBackend>();
        keyboard_->AddSipButtonWindow(true);
        platform::SetSoftInputBackend(keyboard_);
        ProgramGuiTest::SetUp();
    }
    void TearDown() override {
        ProgramGuiTest::TearDown();
        FatherWidget::setScreenAreaSource({});
        platform::SetSoftInputBackend(nullptr);
    }

    // The visible soft keys' actions, left to right.
    QList<QAction*> shownKeys() const {
        QList<QAction*> keys;
        for (int i = 0; i < FatherWidget::kSoftKeys; ++i)
            if (QToolButton* key = window_->softKey(i); key && key->isVisible()) keys << key->defaultAction();
        return keys;
    }

    // Opens the form page with its bottom field focused.
    FormPage* openForm() {
        startWindow();
        window_->resize(240, 320);
        auto* page = new FormPage(window_);
        page->hide();
        window_->registerPage(QStringLiteral("Form"), page);
        window_->onCommand(QStringLiteral("Form"));
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_));
        QApplication::processEvents();
        page->field->setFocus();
        QApplication::processEvents();
        return page;
    }
    static int fieldBottom(QLineEdit* field) {
        return field->parentWidget()->mapToGlobal(QPoint(0, field->geometry().bottom())).y();
    }

    std::shared_ptr<platform::ScriptedSoftInputBackend> keyboard_;
};

TEST_F(HandheldScreenTest, TheSipKeyIsLastOnExactlyThePagesThatWriteSettings) {
    startWindow();
    QAction* sip = window_->sipAction();
    ASSERT_NE(sip, nullptr);
    EXPECT_EQ(sip->text(), QStringLiteral("SIP"));
    EXPECT_FALSE(shownKeys().contains(sip)) << "the main menu";

    const QStringList commands{"Connection", "Info",    "Static", "RTK",          "DataLink", "APNConfig",
                               "0183OutPut", "ServerConfig", "Add", "Detail", "RadioChannel", "Callsign"};
    // The pages where the surveyor types settings in; every other page only
    // reads or picks.
    const QStringList writers{"Static", "RTK", "DataLink", "APNConfig", "Add", "Detail", "Callsign"};
    int withKey = 0;
    for (const QString& command : commands) {
        Widget* page = window_->page(command);
        if (!page) continue;  // not built into this program
        EXPECT_EQ(page->writesSettings(), writers.contains(command)) << command.toStdString();
        window_->onCommand(command);
        ASSERT_EQ(window_->currentPage(), page) << command.toStdString();
        const QList<QAction*> keys = shownKeys();
        const QList<QAction*> own = page->actions();
        if (page->writesSettings() && own.size() < FatherWidget::kSoftKeys) {
            ++withKey;
            ASSERT_FALSE(keys.isEmpty());
            EXPECT_EQ(keys.last(), sip) << command.toStdString();
            EXPECT_EQ(keys.mid(0, keys.size() - 1), own.mid(0, keys.size() - 1)) << command.toStdString();
        } else {
            EXPECT_FALSE(keys.contains(sip)) << command.toStdString();
        }
        window_->close();  // back to the menu
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
    EXPECT_GE(withKey, 2) << "the call sign and server pages write settings";
    EXPECT_FALSE(window_->page(QStringLiteral("Connection"))->writesSettings());
}

TEST_F(HandheldScreenTest, TheTaskBarKeyboardButtonIsHiddenWhileTheWindowLives) {
    ASSERT_TRUE(keyboard_->ButtonVisible());
    startWindow();
    EXPECT_FALSE(keyboard_->ButtonVisible());
    EXPECT_FALSE(keyboard_->ButtonChildVisible());
    // The wireless manager's button shows it for a moment and hides it again.
    window_->page(QStringLiteral("Connection"))->showSipButton();
    EXPECT_TRUE(keyboard_->ButtonVisible());
    window_->page(QStringLiteral("Connection"))->hideSipButton();
    EXPECT_FALSE(keyboard_->ButtonVisible());
    delete window_;
    window_ = nullptr;
    EXPECT_TRUE(keyboard_->ButtonVisible());
    EXPECT_TRUE(keyboard_->ButtonChildVisible());
}

TEST_F(HandheldScreenTest, TheKeyboardLiftsTheFieldByExactlyTheOverlapAndBack) {
    FormPage* page = openForm();
    ASSERT_EQ(QApplication::focusWidget(), page->field);
    const int y0 = fieldBottom(page->field);
    FatherWidget::setScreenAreaSource([](int) { return QRect(0, 0, 4000, 4000); });
    // The keyboard's top edge 30 rows above the field's last row: 31 rows
    // of the field lie under it.
    keyboard_->SetKeyboardRect({0, y0 - 30, 240, y0 + 100});

    clickSoftKey(QStringLiteral("SIP"));
    EXPECT_EQ(keyboard_->ShowCalls().back(), platform::SIPF_ON);
    ASSERT_TRUE(waitFor([&] { return window_->scrollOffset() != 0; }));
    EXPECT_EQ(window_->scrollOffset(), -31);
    EXPECT_EQ(fieldBottom(page->field), y0 - 31);

    // Another screen's work area changes nothing.
    window_->desktopResized(1);
    EXPECT_EQ(fieldBottom(page->field), y0 - 31);

    clickSoftKey(QStringLiteral("SIP"));
    EXPECT_EQ(keyboard_->ShowCalls().back(), platform::SIPF_OFF);
    ASSERT_TRUE(waitFor([&] { return window_->scrollOffset() == 0; }));
    EXPECT_EQ(fieldBottom(page->field), y0);
    // Further work-area changes with the keyboard closed leave the page where
    // it is: it never drifts.
    window_->desktopResized(0);
    window_->desktopResized(0);
    EXPECT_EQ(fieldBottom(page->field), y0);

    // A field above the keyboard moves nothing.
    page->top->setFocus();
    const int top0 = fieldBottom(page->top);
    keyboard_->SipShowIM(platform::SIPF_ON);
    QTest::qWait(50);
    EXPECT_EQ(window_->scrollOffset(), 0);
    EXPECT_EQ(fieldBottom(page->top), top0);
}

TEST_F(HandheldScreenTest, AFailedKeyboardQueryCountsAsShown) {
    FormPage* page = openForm();
    const int y0 = fieldBottom(page->field);
    // No keyboard rectangle to go by: the screen's work area ends 10 rows
    // above the field's last row.
    FatherWidget::setScreenAreaSource([y0](int) { return QRect(0, 0, 240, y0 - 10 + 1); });
    keyboard_->SetGetInfoFails(true);
    window_->onSip();
    EXPECT_EQ(keyboard_->ShowCalls().back(), platform::SIPF_OFF);
    window_->desktopResized(0);
    EXPECT_EQ(window_->scrollOffset(), -10);
    EXPECT_EQ(fieldBottom(page->field), y0 - 10);
}

TEST_F(HandheldScreenTest, ReturningToTheMenuClosesTheKeyboard) {
    openForm();
    clickSoftKey(QStringLiteral("SIP"));
    ASSERT_TRUE(keyboard_->Shown());
    window_->close();
    ASSERT_EQ(window_->currentPage(), window_->menu());
    EXPECT_FALSE(keyboard_->Shown());
    EXPECT_EQ(keyboard_->ShowCalls().back(), platform::SIPF_OFF);
}

}  // namespace

namespace {

TEST_F(HandheldScreenTest, ATapBesideTheRadioFieldsTakesTheFocusAway) {
    startWindow();
    auto* radio = new DataChain_Radio(window_);
    radio->setGeometry(0, 0, 240, 300);
    radio->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    QWidget* field = nullptr;
    for (QWidget* w : radio->findChildren<QWidget*>())
        if (w->isVisible() && w->focusPolicy() != Qt::NoFocus && w->isEnabled()) {
            field = w;
            break;
        }
    ASSERT_NE(field, nullptr);
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    // A point of the page that no field covers.
    QPoint beside(-1, -1);
    for (int y = 0; y < radio->height() && beside.x() < 0; y += 2)
        for (int x = 0; x < radio->width(); x += 2)
            if (radio->childAt(x, y) == nullptr) {
                beside = QPoint(x, y);
                break;
            }
    ASSERT_GE(beside.x(), 0);
    QTest::mouseClick(radio, Qt::LeftButton, {}, beside);
    EXPECT_NE(QApplication::focusWidget(), field);
    EXPECT_FALSE(field->hasFocus());
}

}  // namespace
