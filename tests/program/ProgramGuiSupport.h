#pragma once

// Support for the program's GUI tests: each test runs the real program
// objects (Application, FatherWidget and its pages, DeviceManager, the
// receiver object and the port library) on the offscreen platform, in a
// program folder of its own that holds the icon and translations the build
// put beside the program. Message boxes and the exit dialog are answered by
// a watcher, as a user would.

#include "platform/ComPorts.h"
#include "platform/Paths.h"
#include "program/Application.h"
#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/FatherWidget.h"
#include "program/GlobalSettings.h"
#include "program/MenuManager.h"
#include "program/ServerStore.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace guitest {

struct ShownMessage {
    QString title;
    QString text;
    QRect frame;  // where the box stood on the screen, its frame included
};

// Answers every modal message box (OK, or the button a test asks for) and
// the exit dialog (with the choice a test sets), and keeps what was shown.
class ModalWatcher : public QObject {
public:
    ModalWatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    std::vector<ShownMessage> messages;
    // -1 leaves the exit dialog alone; 0 exit only, 1 power off,
    // 2 pass-through; cancelExit presses Cancel instead of OK.
    int exitChoice = 0;
    bool cancelExit = false;
    int exitDialogs = 0;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    bool shown(const QString& text) const {
        for (const auto& m : messages)
            if (m.text == text) return true;
        return false;
    }
    QString describe() const {
        QString all;
        for (const auto& m : messages) all += QStringLiteral("[%1: %2] ").arg(m.title, m.text);
        return all;
    }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || handled_.contains(modal)) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            remember(modal);
            messages.push_back({box->windowTitle(), box->text(), box->frameGeometry()});
            QAbstractButton* button = box->button(answer);
            if (!button) button = box->button(QMessageBox::Ok);
            if (button) button->click();
            return;
        }
        if (modal->objectName() == QLatin1String("CloseAppDialogClass")) {
            if (exitChoice < 0) return;
            remember(modal);
            ++exitDialogs;
            static const char* const kRadio[] = {"rbExit", "rbPowerOff", "rbPassThrough"};
            if (auto* radio = modal->findChild<QRadioButton*>(QLatin1String(kRadio[exitChoice % 3])))
                radio->click();
            const char* name = cancelExit ? "pushButton_cancel" : "pushButton_ok";
            if (auto* button = modal->findChild<QAbstractButton*>(QLatin1String(name))) button->click();
        }
    }

    // A box once answered is not answered again; a later box may be made at
    // the address of one that is gone, so each leaves the set when it dies.
    void remember(QWidget* modal) {
        handled_.insert(modal);
        QObject::connect(modal, &QObject::destroyed, &timer_, [this, modal] { handled_.remove(modal); });
    }

    QTimer timer_;
    QSet<QWidget*> handled_;
};

inline Application* App() { return static_cast<Application*>(qApp); }

// Types `text` into `field` key by key as a keyboard does, characters
// beyond ASCII included (which QTest::keyClicks does not take).
inline void TypeText(QWidget* field, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}

// True for a field the page marked red, as it marks a missing or refused one.
inline bool Marked(const QWidget* field) { return field->palette().color(QPalette::Base) == QColor(Qt::red); }

// The program's settings objects read their file once, on first use, for the
// program folder of that moment, and keep it for the run. A test binary run
// whole holds many program starts in one process: each case gets them made
// afresh for its own folder, as a fresh program would.
template <class T, class... Args>
void Remake(T* object, Args&&... args) {
    std::destroy_at(object);
    std::construct_at(object, std::forward<Args>(args)...);
}

// Runs the program's start in a fresh program folder that holds copies of
// the build's "Resources" and "translates". Each case leaves the process as
// it found it (application font and icon, translators, working folder, the
// program's singletons, COM ports), so that the binary passes run whole as
// well as one case per process.
class ProgramGuiTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        font_ = QApplication::font();
        icon_ = QApplication::windowIcon();
        workingFolder_ = QDir::currentPath();
        translationsBefore_ = App()->translations().size();
        started_ = true;
        const QString bin = QCoreApplication::applicationDirPath();
        copyTree(bin + QStringLiteral("/Resources"), folder_.path() + QStringLiteral("/Resources"));
        copyTree(bin + QStringLiteral("/translates"), folder_.path() + QStringLiteral("/translates"));
        prepareFolder();
        platform::SetProgramFolder(folder_.path().toStdString());
        settingsForThisFolder();
        App()->init();
    }

    void TearDown() override {
        delete window_;
        window_ = nullptr;
        if (!started_) return;
        // The Info page ends the device access with the window; a case
        // without a window may still have started it.
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
        // Tests run one per process under CTest; when they share one, the
        // next test starts untranslated.
        for (Application::TranslationFile* t : App()->translations())
            QCoreApplication::removeTranslator(t->translator);
        // The program's start makes the font one point larger each time.
        QApplication::setFont(font_);
        QApplication::setWindowIcon(icon_);
        QApplication::restoreOverrideCursor();
        QDir::setCurrent(workingFolder_);
        CommonHelper::instance()->setConnection(0, 0);
        // The server store saves what it holds when it goes: it is left with
        // no file, so that nothing is written into this case's folder once it
        // has been removed.
        if (settingsMade()) Remake(ServerStore::instance(), std::wstring());
        platform::RegisterComPort(1, std::string());
        platform::SetProgramFolder(std::string());
    }

    // The settings objects, made here for this case's folder: the first
    // case of the process makes them, every later one makes them again.
    static bool& settingsMade() {
        static bool made = false;
        return made;
    }
    static void settingsForThisFolder() {
        if (!settingsMade()) {
            GlobalSettings::instance();
            ValidityCheckSettings::instance();
            ServerStore::instance();
            settingsMade() = true;
            return;
        }
        Remake(GlobalSettings::instance());
        Remake(ValidityCheckSettings::instance());
        Remake(ServerStore::instance(), CommonHelper::netServerPath());
    }

    // The translations this case's program start installed.
    QList<Application::TranslationFile*> startedTranslations() const {
        return App()->translations().mid(translationsBefore_);
    }

    // Files a test wants in the program folder before the program starts.
    virtual void prepareFolder() {}

    QString path(const QString& relative) const { return folder_.path() + QLatin1Char('/') + relative; }

    static void copyTree(const QString& from, const QString& to) {
        QDir source(from);
        if (!source.exists()) return;
        QDir().mkpath(to);
        const QFileInfoList entries = source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QFileInfo& e : entries) {
            if (e.isDir())
                copyTree(e.filePath(), to + QLatin1Char('/') + e.fileName());
            else
                QFile::copy(e.filePath(), to + QLatin1Char('/') + e.fileName());
        }
    }

    FatherWidget* startWindow() {
        window_ = new FatherWidget();
        window_->show();
        return window_;
    }

    QToolButton* menuButton(const char* command) const {
        return window_->findChild<QToolButton*>(QStringLiteral("menuButton_%1").arg(QLatin1String(command)));
    }
    // Clicks a main-menu button as the user does.
    void clickMenu(const char* command) {
        QToolButton* button = menuButton(command);
        ASSERT_NE(button, nullptr) << command;
        ASSERT_TRUE(button->isEnabled()) << command << " is disabled";
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Clicks the soft key that shows this text.
    void clickSoftKey(const QString& text) {
        for (int i = 0; i < FatherWidget::kSoftKeys; ++i) {
            QToolButton* key = window_->softKey(i);
            if (key && key->isVisible() && key->defaultAction() && key->defaultAction()->text() == text) {
                ASSERT_TRUE(key->isEnabled()) << text.toStdString() << " is disabled";
                QTest::mouseClick(key, Qt::LeftButton);
                return;
            }
        }
        FAIL() << "no soft key " << text.toStdString();
    }

    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
        return QTest::qWaitFor(done, timeoutMs);
    }

    // True when the serial line at `path` can be locked, i.e. no port of
    // this process holds it open.
    static bool lineIsFree(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }

    QTemporaryDir folder_;
    FatherWidget* window_ = nullptr;
    ModalWatcher watcher_;

private:
    bool started_ = false;
    QFont font_;
    QIcon icon_;
    QString workingFolder_;
    qsizetype translationsBefore_ = 0;
};


// A receiver at the far end of COM1, and the road a user takes to it: the
// main menu's "Connection", the form, "Connect".
class ReceiverGuiTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        std::string error;
        ASSERT_TRUE(sim_.Start(&error)) << error;
        sim_.RegisterAsCom(1);
    }
    void TearDown() override {
        ProgramGuiTest::TearDown();
        sim_.Stop();
    }

    QComboBox* combo(const char* name) const { return window_->findChild<QComboBox*>(QLatin1String(name)); }

    // Opens the Connect page and connects on COM1; autoBaud leaves the baud
    // search on, otherwise `baud` is chosen by hand.
    void connectThroughPage(bool autoBaud, int baud) {
        clickMenu("Connection");
        ASSERT_EQ(window_->currentPage(), window_->page(QStringLiteral("Connection")));
        QComboBox* port = combo("comboBox_port");
        QComboBox* bauds = combo("comboBox_baud");
        auto* autoBox = window_->findChild<QCheckBox*>(QStringLiteral("cbAuto"));
        ASSERT_TRUE(port && bauds && autoBox);
        port->setCurrentIndex(port->findData(1));
        if (autoBox->isChecked() != autoBaud) QTest::mouseClick(autoBox, Qt::LeftButton);
        ASSERT_EQ(autoBox->isChecked(), autoBaud);
        if (!autoBaud) bauds->setCurrentIndex(bauds->findData(baud));
        clickSoftKey(QStringLiteral("Connect"));
    }

    sim::SimReceiver sim_;
};

}  // namespace guitest
