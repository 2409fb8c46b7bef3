// The Connect page's form, its checks and its failures, through the real
// DeviceManager and port library but without a receiver.

#ifdef BRANTOR_HANDHELD
#include "platform/Bluetooth.h"
#endif
#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/pages/Connect.h"
#include "tests/program/OrdinaryUser.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QProgressDialog>

#include <memory>
#include <sys/stat.h>

namespace {

using guitest::ProgramGuiTest;

class ConnectPageTest : public ProgramGuiTest {
protected:
    void writeFile(const QString& relative, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Connect* openPage() {
        startWindow();
        window_->onCommand(QStringLiteral("Connection"));
        return static_cast<Connect*>(window_->currentPage());
    }
    QComboBox* combo(const char* name) const { return window_->findChild<QComboBox*>(QLatin1String(name)); }
    static QStringList texts(QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    }
};

TEST_F(ConnectPageTest, FirstRunFillsTheFormFromTheDefaults) {
    Connect* page = openPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->windowTitle(), QStringLiteral("Connection"));
    EXPECT_EQ(texts(combo("comboBox_connect")), (QStringList{"Port", "KVX BT", "Sys. BT"}));
    EXPECT_EQ(combo("comboBox_connect")->currentData().toInt(), 0);
    EXPECT_EQ(texts(combo("comboBox_manufacture")), (QStringList{"KVX", "Quarel"}));
    EXPECT_EQ(combo("comboBox_manufacture")->itemData(1).toInt(), 2);
    QComboBox* ports = combo("comboBox_port");
    ASSERT_EQ(ports->count(), 255);
    EXPECT_EQ(ports->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(ports->itemData(254).toInt(), 255);
    EXPECT_EQ(ports->currentData().toInt(), 1);
    EXPECT_EQ(texts(combo("comboBox_baud")),
              (QStringList{"9600 b/s", "19200 b/s", "38400 b/s", "57600 b/s", "115200 b/s"}));
    EXPECT_EQ(combo("comboBox_baud")->currentData().toInt(), 9600);
    EXPECT_EQ(texts(combo("cbDeviceType")), (QStringList{"Q22 Series", "GNSS RTK Series"}));
    EXPECT_EQ(combo("cbDeviceType")->currentData().toInt(), 0);

    auto* autoBox = window_->findChild<QCheckBox*>(QStringLiteral("cbAuto"));
    EXPECT_TRUE(autoBox->isChecked());
    EXPECT_FALSE(combo("comboBox_baud")->isEnabled());
    QTest::mouseClick(autoBox, Qt::LeftButton);
    EXPECT_TRUE(combo("comboBox_baud")->isEnabled());

    EXPECT_FALSE(window_->findChild<QWidget*>(QStringLiteral("toolButton"))->isVisible());
    EXPECT_FALSE(window_->findChild<QWidget*>(QStringLiteral("listWidget"))->isVisible());
    EXPECT_TRUE(page->backAction()->isEnabled());
    EXPECT_TRUE(page->connectAction()->isEnabled());
    EXPECT_FALSE(page->breakAction()->isEnabled());

    // Either manufacturer chooses 9600 b/s.
    combo("comboBox_baud")->setCurrentIndex(3);
    combo("comboBox_manufacture")->setCurrentIndex(1);
    EXPECT_EQ(combo("comboBox_baud")->currentData().toInt(), 9600);
}

class ConnectStoredTest : public ConnectPageTest {
protected:
    void prepareFolder() override {
        // A method no item has, a port and a baud rate the lists lack, and a
        // port number that does not fit the byte it travels in.
        writeFile(QStringLiteral("configs/connectionparams.brt"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                  "<connectionparams><connection type=\"group\"><type>7</type><port>300</port>"
                  "<baud>4800</baud></connection></connectionparams>\n");
        writeFile(QStringLiteral("configs/connectbauds.brt"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                  "<connectbauds><bauds type=\"array\"><size>1</size><a1><baud>9600</baud></a1></bauds>"
                  "<ports type=\"array\"><size>2</size><a1><port>3</port></a1><a2><port>300</port></a2></ports>"
                  "<devices type=\"array\"><size>1</size><a1><device>Q22 Series</device><data>2</data>"
                  "<supported>1</supported></a1></devices></connectbauds>\n");
    }
};

TEST_F(ConnectStoredTest, AnUnknownMethodFallsBackAndMissingItemsStayUnselected) {
    Connect* page = openPage();
    EXPECT_EQ(combo("comboBox_connect")->currentData().toInt(), 101);
    EXPECT_EQ(page->connectionMethod(), 101);
    EXPECT_EQ(texts(combo("comboBox_port")), (QStringList{"COM3"}));
    EXPECT_EQ(combo("comboBox_port")->currentIndex(), -1);
    EXPECT_EQ(page->portNumber(), 0);
    EXPECT_EQ(combo("comboBox_baud")->currentIndex(), -1);
    EXPECT_FALSE(window_->findChild<QWidget*>(QStringLiteral("toolButton"))->isVisible());
}

class ConnectBluetoothTest : public ConnectPageTest {
protected:
    void prepareFolder() override {
        writeFile(QStringLiteral("configs/connectionparams.brt"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                  "<connectionparams><connection type=\"group\"><type>1</type><port>1</port>"
                  "<baud>9600</baud></connection></connectionparams>\n");
        std::vector<std::wstring> names{L"Rover", L"GNSS-Base"};
        std::vector<uint64_t> addresses{0xA1B2C3ull, 0x10ull};
        platform::SetProgramFolder(folder_.path().toStdString());
        BtBindingsConfig().write(names, addresses);
#ifdef BRANTOR_HANDHELD
        // The handheld binds the chosen device first; behind it lies the
        // same missing line.
        bluetooth_ = std::make_shared<platform::ScriptedBluetoothBackend>();
        bluetooth_->SetDeviceLine(0x10ull, path(QStringLiteral("no-such-tty")).toStdString());
        platform::SetBluetoothBackend(bluetooth_);
#endif
    }
#ifdef BRANTOR_HANDHELD
    void TearDown() override {
        ConnectPageTest::TearDown();
        platform::SetBluetoothBackend(nullptr);
    }
    std::shared_ptr<platform::ScriptedBluetoothBackend> bluetooth_;
#endif
    QListWidget* list() const { return window_->findChild<QListWidget*>(QStringLiteral("listWidget")); }
};

TEST_F(ConnectBluetoothTest, BoundDevicesAreListedAndTheChosenOneMovesToTheFront) {
    Connect* page = openPage();
    ASSERT_EQ(page->connectionMethod(), 1);
    QListWidget* l = list();
    ASSERT_TRUE(l->isVisible());
    ASSERT_EQ(l->count(), 3);
    EXPECT_EQ(l->item(0)->text(), QStringLiteral("Search Device"));
    EXPECT_EQ(l->item(0)->data(Connect::kSearchStateRole).toInt(), 0);
    EXPECT_EQ(l->item(1)->text(), QStringLiteral("GNSS-Rover (a1b2c3)"));
    EXPECT_EQ(l->item(2)->text(), QStringLiteral("GNSS-Base (10)"));
    EXPECT_EQ(l->item(2)->data(Connect::kDeviceAddressRole).toULongLong(), 0x10ull);
    EXPECT_EQ(l->currentRow(), 1);
    EXPECT_EQ(l->item(1)->background().color(), QColor(Qt::lightGray));

    // Only the search row chosen: no connect attempt.
    l->setCurrentRow(0);
    clickSoftKey(QStringLiteral("Connect"));
    EXPECT_EQ(page->resultCode(), 2405);
    EXPECT_TRUE(watcher_.shown(QStringLiteral("No Device Selected."))) << watcher_.describe().toStdString();
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);

    // The second device: its binding goes first, stored without "GNSS-";
    // the port behind COM1 does not exist, so the attempt fails.
    platform::RegisterComPort(1, path(QStringLiteral("no-such-tty")).toStdString());
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(2)).center());
    ASSERT_EQ(l->currentRow(), 2);
    clickSoftKey(QStringLiteral("Connect"));
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Connection Failed!"))) << watcher_.describe().toStdString();
    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    BtBindingsConfig().read(names, addresses);
    EXPECT_EQ(addresses, (std::vector<uint64_t>{0x10ull, 0xA1B2C3ull}));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Base", L"Rover"}));
    EXPECT_EQ(l->item(2)->background().color(), QColor(Qt::lightGray));
    EXPECT_EQ(l->item(1)->background().style(), Qt::NoBrush);
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_TRUE(page->connectAction()->isEnabled());
}

TEST_F(ConnectPageTest, APortThatCannotBeOpenedFailsTheConnection) {
    Connect* page = openPage();
    platform::RegisterComPort(1, path(QStringLiteral("no-such-tty")).toStdString());
    QTest::mouseClick(window_->findChild<QCheckBox*>(QStringLiteral("cbAuto")), Qt::LeftButton);
    clickSoftKey(QStringLiteral("Connect"));
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Connection Failed!"))) << watcher_.describe().toStdString();
    ASSERT_FALSE(watcher_.messages.empty());
    EXPECT_EQ(watcher_.messages.back().title, QStringLiteral("Confirm"));
    EXPECT_EQ(DeviceManager::instance()->connectionState(), 0);
    EXPECT_EQ(window_->currentPage(), page);
    EXPECT_TRUE(page->connectAction()->isEnabled());
    EXPECT_FALSE(page->breakAction()->isEnabled());
}

// Qt's progress dialog brings itself up once its minimum duration (4 s) has
// passed since it was built or last set to its minimum; the connecting
// dialog must never do that over the page, before or after an attempt.
TEST_F(ConnectPageTest, NoProgressDialogAppearsOutsideAnAttempt) {
    auto visibleProgress = [this] {
        for (QProgressDialog* d : window_->findChildren<QProgressDialog*>())
            if (d->isVisible()) return true;
        return false;
    };
    Connect* page = openPage();
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(window_->findChildren<QProgressDialog*>().isEmpty());
    QTest::qWait(4600);
    EXPECT_FALSE(visibleProgress());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    platform::RegisterComPort(1, path(QStringLiteral("no-such-tty")).toStdString());
    clickSoftKey(QStringLiteral("Connect"));
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Connection Failed!"))) << watcher_.describe().toStdString();
    QTest::qWait(4600);
    EXPECT_FALSE(visibleProgress());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(page->connectAction()->isEnabled());
}

// A program folder whose "configs" cannot be written and holds none of the
// lists yet (an installation folder, read-only media): the page still
// offers the built-in lists, and the user is told once a run that the
// settings could not be saved, at start, and not again when the connection
// cannot be remembered for the same reason. The program runs as an ordinary user, to whom
// the folder's mode applies.
class ConnectReadOnlyFolderTest : public ConnectPageTest {
protected:
    void prepareFolder() override { QDir().mkpath(path(QStringLiteral("configs"))); }
};

// Swallows every paint event. The ordinary user's process is a fork of this
// one, without the threads Qt's painter hands large fills to when earlier
// cases of this run started them: a paint that waits for them would wait
// for ever. What the case checks is no pixel.
class NoPainting : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Paint; }
};

TEST_F(ConnectReadOnlyFolderTest, TheDefaultsAreOfferedAndTheFailureIsToldOnce) {
    // What the start wrote as root goes; the folder is then the ordinary
    // user's, and read-only for him.
    for (const char* name : {"connectmethods.brt", "connectbauds.brt"})
        QFile::remove(path(QStringLiteral("configs/") + QLatin1String(name)));
    const std::string configs = path(QStringLiteral("configs")).toStdString();
    ASSERT_EQ(::chmod(folder_.path().toLocal8Bit().constData(), 0755), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(configs.c_str(), ordinaryuser::kNobody, ordinaryuser::kNobody), 0);
    }
    ASSERT_EQ(::chmod(configs.c_str(), 0555), 0);
    const QStringList before = QDir(path(QStringLiteral("configs"))).entryList(QDir::Files);

    const std::string got = ordinaryuser::Run([&] {
        auto lists = [&] {
            return QStringLiteral("%1 %2 %3 %4 | ")
                .arg(combo("comboBox_connect")->count())
                .arg(combo("comboBox_port")->count())
                .arg(combo("comboBox_baud")->count())
                .arg(combo("cbDeviceType")->count());
        };
        NoPainting noPainting;
        qApp->installEventFilter(&noPainting);
        QString seen;
        openPage();
        waitFor([&] { return !watcher_.messages.empty(); }, 5000);
        seen += lists();
        // The program's window made again: its page reads the lists again,
        // and nothing more is said.
        delete window_;
        window_ = nullptr;
        openPage();
        QTest::qWait(300);
        seen += lists();
        // A connection, whose remembering fails for the same reason: the
        // user has been told that already.
        sim::SimReceiver receiver;
        std::string error;
        if (!receiver.Start(&error)) return "(failed: no receiver: " + error + ")";
        receiver.RegisterAsCom(1);
        combo("comboBox_port")->setCurrentIndex(combo("comboBox_port")->findData(1));
        auto* autoBaud = window_->findChild<QCheckBox*>(QStringLiteral("cbAuto"));
        if (autoBaud->isChecked()) QTest::mouseClick(autoBaud, Qt::LeftButton);
        combo("comboBox_baud")->setCurrentIndex(combo("comboBox_baud")->findData(9600));
        clickSoftKey(QStringLiteral("Connect"));
        waitFor([&] { return watcher_.shown(QStringLiteral("Successfully connected")); }, 20000);
        QTest::qWait(300);
        for (const auto& m : watcher_.messages) seen += m.title + QStringLiteral(": ") + m.text + QStringLiteral(" | ");
        return seen.toStdString();
    });
    ::chmod(configs.c_str(), 0755);
    if (ordinaryuser::CannotRun(got)) GTEST_SKIP() << got;
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    EXPECT_EQ(got, QStringLiteral("3 255 5 2 | 3 255 5 2 | Warning: The settings could not be saved: %1 | "
                                  "Information: Successfully connected | ")
                       .arg(denied)
                       .toStdString());
    EXPECT_EQ(QDir(path(QStringLiteral("configs"))).entryList(QDir::Files), before) << "nothing written";
}

}  // namespace
