// The program's start, main window, page base, main menu and exit dialog,
// without a receiver.

#include "program/CloseAppDialog.h"
#include "program/DeviceManager.h"
#include "program/pages/Connect.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <unistd.h>

namespace {

using guitest::App;
using guitest::ProgramGuiTest;

// A page with a given number of soft keys that keeps what it was handed.
class TestPage : public Widget {
public:
    TestPage(int keys, const QString& title = QString()) {
        for (int i = 0; i < keys; ++i) createAction(QStringLiteral("K%1").arg(i), this);
        setWindowTitle(title);
    }
    void refresh() override { ++refreshes; }
    void setParams(QHash<QString, QVariant>& p) override { received = p; }
    int refreshes = 0;
    QHash<QString, QVariant> received;
};

QLabel* TitleLabel(FatherWidget* w) { return w->findChild<QLabel*>(QStringLiteral("WindowTitle")); }

TEST_F(ProgramGuiTest, StartsWithTheMenuAndTheVersionTitle) {
    FatherWidget* w = startWindow();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Brantor"));
    EXPECT_EQ(w->stackDepth(), 1);
    EXPECT_EQ(w->currentPage(), w->menu());
    EXPECT_EQ(TitleLabel(w)->text(), QStringLiteral("Brantor-v1.0.1.608"));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowCloseButtonHint);
    // The menu offers no soft keys.
    for (int i = 0; i < FatherWidget::kSoftKeys; ++i) EXPECT_FALSE(w->softKey(i)->isVisible()) << i;
    // The form's object names.
    for (const char* name : {"verticalLayout", "horizontalLayout", "toolLayout"})
        EXPECT_NE(w->findChild<QLayout*>(QLatin1String(name)), nullptr) << name;
    for (const char* name : {"WindowTitle", "line", "widget", "line_2"})
        EXPECT_NE(w->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    // The first run writes the Connect page's configuration defaults.
    for (const char* file : {"configs/connectbauds.brt", "configs/connectmethods.brt", "configs/connectionparams.brt"})
        EXPECT_TRUE(QFileInfo(path(QLatin1String(file))).isFile()) << file;
}

TEST_F(ProgramGuiTest, MenuOffersOnlyWhatAReadyReceiverAndTheRegisteredPagesAllow) {
    FatherWidget* w = startWindow();
    MenuManager* menu = w->menu();
    ASSERT_EQ(menu->entry(0)->text(), QStringLiteral("Connection"));
    ASSERT_EQ(menu->entry(9)->text(), QStringLiteral("Exit"));
    auto enabled = [&] {
        QStringList on;
        for (int i = 0; i < MenuManager::kEntries; ++i)
            if (menu->entry(i)->isEnabled()) on << menu->entry(i)->data().toString();
        return on;
    };
    EXPECT_EQ(enabled(), (QStringList{"Connection", "Exit"}));
    // Ready: the functions the receiver can do come.
    DeviceManager::instance()->setDeviceType(0);
    menu->onWorkingStatus(4);
    // NMEA output also needs firmware from version 8 on, known only from a
    // receiver's device information.
    EXPECT_EQ(enabled(),
              (QStringList{"Connection", "Info", "Static", "RTK", "DataLink", "APNConfig", "RadioChannel", "ServerConfig",
                           "Exit"}));
    // A device without a modem offers neither modem nor server settings.
    DeviceManager::instance()->setDeviceType(2);
    menu->onWorkingStatus(4);
    EXPECT_EQ(enabled(), (QStringList{"Connection", "Info", "Static", "RTK", "Exit"}));
    DeviceManager::instance()->setDeviceType(0);
    menu->onWorkingStatus(5);
    EXPECT_EQ(enabled(), (QStringList{"Connection", "Exit"}));

    // Unregistered commands do nothing.
    w->onCommand(QStringLiteral("NoSuchPage"));
    EXPECT_EQ(w->stackDepth(), 1);
    EXPECT_EQ(w->page(QStringLiteral("NoSuchPage")), nullptr);
    ASSERT_NE(w->page(QStringLiteral("Connection")), nullptr);
    ASSERT_NE(w->page(QStringLiteral("Info")), nullptr);
}

TEST_F(ProgramGuiTest, SoftKeysFollowThePageOnScreen) {
    FatherWidget* w = startWindow();
    auto* one = new TestPage(1, QStringLiteral("One"));
    auto* seven = new TestPage(7);
    w->registerPage(QStringLiteral("T1"), one);
    w->registerPage(QStringLiteral("T7"), seven);
    auto* row = w->findChild<QHBoxLayout*>(QStringLiteral("toolLayout"));
    ASSERT_NE(row, nullptr);

    w->onCommand(QStringLiteral("T1"));
    ASSERT_EQ(w->currentPage(), one);
    EXPECT_TRUE(w->softKey(0)->isVisible());
    EXPECT_EQ(w->softKey(0)->defaultAction(), one->actions().at(0));
    EXPECT_EQ(w->softKey(0)->height(), int(w->height() * 0.08));
    for (int i = 1; i < FatherWidget::kSoftKeys; ++i) EXPECT_FALSE(w->softKey(i)->isVisible()) << i;
    // The filler stands between the first key and the rest.
    ASSERT_EQ(row->count(), FatherWidget::kSoftKeys + 1);
    EXPECT_NE(qobject_cast<QLabel*>(row->itemAt(1)->widget()), nullptr);
    EXPECT_EQ(TitleLabel(w)->text(), QStringLiteral("One"));

    w->onCommand(QStringLiteral("T7"));
    ASSERT_EQ(w->currentPage(), seven);
    EXPECT_FALSE(one->isVisible());
    for (int i = 0; i < FatherWidget::kSoftKeys; ++i) {
        EXPECT_TRUE(w->softKey(i)->isVisible()) << i;
        EXPECT_EQ(w->softKey(i)->defaultAction(), seven->actions().at(i)) << i;
    }
    EXPECT_EQ(row->count(), FatherWidget::kSoftKeys) << "no filler with six keys";
    EXPECT_EQ(TitleLabel(w)->text(), FatherWidget::versionTitle());

    EXPECT_FALSE(w->close());
    ASSERT_EQ(w->currentPage(), one);
    EXPECT_EQ(seven->actions().at(6)->associatedObjects().size(), 1) << "the seventh action never became a key";
    EXPECT_EQ(seven->actions().at(0)->associatedObjects().size(), 1) << "the key let go of its action";
    EXPECT_EQ(w->softKey(0)->defaultAction(), one->actions().at(0));
    EXPECT_EQ(row->count(), FatherWidget::kSoftKeys + 1);
}

TEST_F(ProgramGuiTest, ClosingWalksBackThroughTheStackThenEndsTheProgram) {
    FatherWidget* w = startWindow();
    w->onCommand(QStringLiteral("Connection"));
    Widget* connect = w->page(QStringLiteral("Connection"));
    ASSERT_EQ(w->currentPage(), connect);
    EXPECT_EQ(w->stackDepth(), 2);
    EXPECT_EQ(TitleLabel(w)->text(), QStringLiteral("Connection"));
    // The same page again is already on the stack.
    w->onCommand(QStringLiteral("Connection"));
    EXPECT_EQ(w->stackDepth(), 2);

    // "Back" closes the main window, which takes the page off instead.
    clickSoftKey(QStringLiteral("Back"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->stackDepth(), 1);
    EXPECT_EQ(w->currentPage(), w->menu());
    EXPECT_TRUE(w->menu()->isVisible());
    EXPECT_FALSE(connect->isVisible());

    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ProgramGuiTest, TheShownPageReceivesTheParamsOfThePageBefore) {
    FatherWidget* w = startWindow();
    auto* first = new TestPage(1);
    auto* second = new TestPage(2);
    w->registerPage(QStringLiteral("First"), first);
    w->registerPage(QStringLiteral("Second"), second);
    first->params.insert(QStringLiteral("CSState"), 1);
    w->onCommand(QStringLiteral("First"));
    EXPECT_EQ(first->refreshes, 1);
    w->onCommand(QStringLiteral("Second"));
    EXPECT_EQ(second->received.value(QStringLiteral("CSState")).toInt(), 1);
    // Closing the top page hands its params back down.
    second->params.insert(QStringLiteral("InSetting"), true);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(w->currentPage(), first);
    EXPECT_TRUE(first->received.value(QStringLiteral("InSetting")).toBool());
    EXPECT_EQ(first->refreshes, 2);
    EXPECT_EQ(w->stackDepth(), 2);
}

TEST_F(ProgramGuiTest, ExitWithoutAReceiverClosesWithoutAsking) {
    FatherWidget* w = startWindow();
    clickMenu("Exit");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(watcher_.exitDialogs, 0);
}

TEST_F(ProgramGuiTest, ExitDialogChoices) {
    CloseAppDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("CloseAppDialogClass"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Exit"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    auto* exitOnly = dialog.findChild<QRadioButton*>(QStringLiteral("rbExit"));
    auto* powerOff = dialog.findChild<QRadioButton*>(QStringLiteral("rbPowerOff"));
    auto* passThrough = dialog.findChild<QRadioButton*>(QStringLiteral("rbPassThrough"));
    ASSERT_TRUE(exitOnly && powerOff && passThrough);
    EXPECT_TRUE(exitOnly->isChecked());
    EXPECT_EQ(dialog.choice(), 0);
    powerOff->setChecked(true);
    EXPECT_EQ(dialog.choice(), 1);
    EXPECT_FALSE(exitOnly->isChecked());
    passThrough->setChecked(true);
    EXPECT_EQ(dialog.choice(), 2);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("pushButton_cancel")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ProgramGuiTest, BusyCursorIsBalancedPerPage) {
    TestPage a(0), b(0);
    a.setBusy(true);
    a.setBusy(true);
    b.setBusy(false);  // not busy: takes nothing away
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    a.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    b.setBusy(true);
    {
        TestPage gone(0);
        gone.setBusy(true);
    }
    b.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a page that dies busy gives its cursor back";
}

// The program folder, not the working directory, holds the icon and the
// translations; the language comes from the settings file.
class ProgramStartTest : public ProgramGuiTest {
protected:
    void prepareFolder() override {
        QDir().mkpath(path(QStringLiteral("configs")));
        QFile config(path(QStringLiteral("configs/config.brt")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                     "<global><Language type=\"group\"><CurrentType>3</CurrentType>"
                     "<Array type=\"array\"><size>2</size>"
                     "<a1><Type>0</Type><Name>English</Name><File>en</File></a1>"
                     "<a2><Type>3</Type><Name>Test</Name><File>zz_ZZ</File></a2></Array>"
                     "</Language></global>\n");
        config.close();
        ASSERT_TRUE(QFile::copy(QStringLiteral(BRANTOR_TEST_QM), path(QStringLiteral("translates/brantor_zz.qm"))));
        ASSERT_EQ(::chdir("/"), 0);
    }
};

TEST_F(ProgramStartTest, IconAndLanguageComeFromTheProgramFolder) {
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(Application::iconPath(), path(QStringLiteral("Resources/Images/brantor.png")));
    // "zz_ZZ" finds "brantor_zz.qm"; there is no Qt file for it.
    ASSERT_EQ(startedTranslations().size(), 1);
    EXPECT_EQ(startedTranslations().at(0)->file->fileName(), path(QStringLiteral("translates/brantor_zz.qm")));

    FatherWidget* w = startWindow();
    EXPECT_EQ(w->menu()->entry(0)->text(), QStringLiteral("Verbindung"));
    EXPECT_EQ(w->menu()->entry(9)->text(), QStringLiteral("Beenden"));
    EXPECT_EQ(w->menu()->entry(1)->text(), QStringLiteral("Device Info.")) << "untranslated texts stay";
    w->onCommand(QStringLiteral("Connection"));
    EXPECT_EQ(TitleLabel(w)->text(), QStringLiteral("Verbindung"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("label_connectMethod"))->text(), QStringLiteral("Art:"));
}

TEST_F(ProgramGuiTest, TranslationSuffixesStayInsideTheTranslationsFolder) {
    EXPECT_TRUE(Application::translationPath(QStringLiteral("brantor"), QStringLiteral("en_US"))
                    .endsWith(QStringLiteral("/translates/brantor_en.qm")));
    EXPECT_TRUE(Application::translationPath(QStringLiteral("brantor"), QStringLiteral("../x")).isEmpty());
    EXPECT_TRUE(Application::translationPath(QStringLiteral("brantor"), QString()).isEmpty());
    EXPECT_TRUE(Application::translationPath(QStringLiteral("qt"), QStringLiteral("xx_YY")).isEmpty());
}

}  // namespace
