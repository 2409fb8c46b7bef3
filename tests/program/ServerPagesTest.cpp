// The correction-server pages as a user walks them: the list, the add and
// detail forms, the source dialog; and the main window's hand-over of the
// selected key.

#include "program/ServerStore.h"
#include "program/pages/ServerConfig.h"
#include "program/pages/ServerPages.h"
#include "program/pages/ServerWidget.h"
#include "program/pages/Source_Add.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <cstring>
#include <sys/resource.h>

namespace {

using guitest::ProgramGuiTest;

// What a mistyped dotted address is told, on this form and on the data link
// form alike.
constexpr const char* kDottedRule = "Address: four numbers 0 to 255 with no leading zero, such as 192.168.1.10";

class ServerPagesTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
        window_->onCommand(QStringLiteral("ServerConfig"));
        ASSERT_EQ(window_->currentPage(), list());
    }
    ServerConfig* list() const { return static_cast<ServerConfig*>(window_->page(QStringLiteral("ServerConfig"))); }
    ServerConfig_Add* addPage() const {
        return static_cast<ServerConfig_Add*>(window_->page(QStringLiteral("Add")));
    }
    ServerDetail* detailPage() const { return static_cast<ServerDetail*>(window_->page(QStringLiteral("Detail"))); }
    QTableWidget* table() const { return list()->findChild<QTableWidget*>(QStringLiteral("tableWidget_serverConfig")); }
    QStringList column(int c) const {
        QStringList texts;
        for (int r = 0; r < table()->rowCount(); ++r) texts << (table()->item(r, c) ? table()->item(r, c)->text() : QString());
        return texts;
    }
    // Fills the visible form as a user types.
    static void type(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
    }
    void addServer(const QString& name, int protocol, const QString& port) {
        clickSoftKey(QStringLiteral("New"));
        ASSERT_EQ(window_->currentPage(), addPage());
        ServerWidget* form = addPage()->form();
        type(form->nameField(), name);
        form->protocolField()->setCurrentIndex(form->protocolField()->findData(protocol));
        type(form->addressField(), QStringLiteral("192.168.1.10"));
        type(form->portField(), port);
        clickSoftKey(QStringLiteral("OK"));
    }
    static bool isRed(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(Qt::red); }
};

TEST_F(ServerPagesTest, AddDetailAndDuplicateNames) {
    EXPECT_EQ(window_->title(), QStringLiteral("Server Settings"));
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_FALSE(list()->deleteAction()->isEnabled());
    EXPECT_FALSE(list()->detailAction()->isEnabled());

    // An empty form is refused, the empty fields marked.
    clickSoftKey(QStringLiteral("New"));
    ServerWidget* form = addPage()->form();
    EXPECT_EQ(window_->title(), QStringLiteral("New Server"));
    EXPECT_EQ(form->protocolField()->currentText(), QStringLiteral("ZELT"));
    clickSoftKey(QStringLiteral("OK"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Please enter parameters."));
    EXPECT_TRUE(isRed(form->nameField()) && isRed(form->addressField()) && isRed(form->portField()));
    type(form->nameField(), QStringLiteral("x"));
    EXPECT_FALSE(isRed(form->nameField()));
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), list());

    addServer(QStringLiteral("Base"), 0, QStringLiteral("2101"));
    ASSERT_EQ(watcher_.messages.size(), 2u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[1].title, QStringLiteral("Information"));
    EXPECT_EQ(watcher_.messages[1].text, QStringLiteral("Success!"));
    ASSERT_EQ(window_->currentPage(), list());

    // An NTRIP server whose password is not to be kept.
    clickSoftKey(QStringLiteral("New"));
    EXPECT_TRUE(form->nameField()->text().isEmpty()) << "the add page starts empty";
    type(form->nameField(), QStringLiteral("Caster"));
    form->protocolField()->setCurrentIndex(form->protocolField()->findData(1));
    EXPECT_TRUE(form->userField()->isVisible());
    EXPECT_FALSE(form->baseIdField()->isVisible());
    type(form->addressField(), QStringLiteral("10.1.1.1"));
    type(form->portField(), QStringLiteral("10000"));
    type(form->userField(), QStringLiteral("user"));
    type(form->passwordField(), QStringLiteral("secret"));
    auto* savePassword = form->findChild<QCheckBox*>(QStringLiteral("cbSavePsw"));
    ASSERT_TRUE(savePassword && savePassword->isChecked());
    QTest::mouseClick(savePassword, Qt::LeftButton);
    clickSoftKey(QStringLiteral("OK"));
    ASSERT_EQ(window_->currentPage(), list()) << watcher_.describe().toStdString();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("Base"), QStringLiteral("Caster")}));
    EXPECT_EQ(column(1), (QStringList{QStringLiteral("ZELT"), QStringLiteral("Ntrip Client")}));
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("2101"), QStringLiteral("10000")}));
    ServerRecord stored;
    ASSERT_TRUE(ServerStore::instance()->read(stored, 1));
    EXPECT_EQ(stored.user, QStringLiteral("user"));
    EXPECT_TRUE(stored.password.isEmpty()) << "Save Password was not ticked";

    // A second "Base" is refused; the form keeps its contents.
    const size_t before = watcher_.messages.size();
    addServer(QStringLiteral("Base"), 3, QStringLiteral("80"));
    ASSERT_EQ(watcher_.messages.size(), before + 1);
    EXPECT_EQ(watcher_.messages.back().title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Server with the name exits."));
    EXPECT_EQ(window_->currentPage(), addPage());
    EXPECT_EQ(form->portField()->text(), QStringLiteral("80"));
    clickSoftKey(QStringLiteral("Back"));
    EXPECT_EQ(table()->rowCount(), 2);

    // Detail of "Caster": its own name is no duplicate, another's is.
    table()->setCurrentCell(1, 0);
    ASSERT_TRUE(list()->detailAction()->isEnabled());
    clickSoftKey(QStringLiteral("Detail"));
    ASSERT_EQ(window_->currentPage(), detailPage());
    EXPECT_EQ(detailPage()->key(), 1);
    ServerWidget* detail = detailPage()->form();
    EXPECT_EQ(detail->nameField()->text(), QStringLiteral("Caster"));
    EXPECT_EQ(detail->protocolField()->currentData().toInt(), 1);
    EXPECT_EQ(detail->portField()->text(), QStringLiteral("10000"));
    type(detail->nameField(), QStringLiteral("Base"));
    clickSoftKey(QStringLiteral("OK"));
    EXPECT_EQ(watcher_.messages.back().text, QStringLiteral("Server with the name exits."));
    EXPECT_EQ(window_->currentPage(), detailPage());
    type(detail->nameField(), QStringLiteral("Caster"));
    type(detail->portField(), QStringLiteral("2102"));
    clickSoftKey(QStringLiteral("OK"));
    ASSERT_EQ(window_->currentPage(), list()) << watcher_.describe().toStdString();
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("2101"), QStringLiteral("2102")}));

    // A double click is "Detail".
    const QRect cell = table()->visualItemRect(table()->item(0, 0));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(window_->currentPage(), detailPage());
    EXPECT_EQ(detailPage()->key(), 0);
    EXPECT_EQ(detail->nameField()->text(), QStringLiteral("Base"));
    EXPECT_TRUE(detail->baseIdField()->isVisible());
}

TEST_F(ServerPagesTest, SortsAsTextAndDeletesKeepingASelection) {
    for (const char* port : {"2101", "10000", "80"}) {
        ServerRecord r;
        r.name = QStringLiteral("S%1").arg(QLatin1String(port));
        r.address = QStringLiteral("1.2.3.4");
        r.port = QByteArray(port).toInt();
        r.protocol = 3;
        ServerStore::instance()->append(r);
    }
    list()->refresh();
    ASSERT_EQ(column(3), (QStringList{QStringLiteral("2101"), QStringLiteral("10000"), QStringLiteral("80")}));

    QHeaderView* header = table()->horizontalHeader();
    const int x = header->sectionViewportPosition(3) + header->sectionSize(3) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("10000"), QStringLiteral("2101"), QStringLiteral("80")}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("80"), QStringLiteral("2101"), QStringLiteral("10000")}));

    // Delete the last row: the new last row becomes current, and the store
    // lost the server at once.
    table()->setCurrentCell(2, 0);
    const int key = table()->item(2, 0)->data(ServerConfig::kKeyRole).toInt();
    clickSoftKey(QStringLiteral("Delete"));
    ServerRecord gone;
    EXPECT_FALSE(ServerStore::instance()->read(gone, key));
    EXPECT_EQ(table()->rowCount(), 2);
    EXPECT_EQ(table()->currentRow(), 1);
    // Delete the first: the row that moved up is current.
    table()->setCurrentCell(0, 0);
    const QString moved = table()->item(1, 0)->text();
    clickSoftKey(QStringLiteral("Delete"));
    EXPECT_EQ(table()->currentRow(), 0);
    EXPECT_EQ(table()->item(0, 0)->text(), moved);
    clickSoftKey(QStringLiteral("Delete"));
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_FALSE(list()->deleteAction()->isEnabled());
    EXPECT_FALSE(list()->detailAction()->isEnabled());
    QList<ServerRecord> all;
    ServerStore::instance()->readAll(all);
    EXPECT_TRUE(all.isEmpty());
}

// For as long as it lives, no file of this process can grow: every save
// fails as on a full disk (EFBIG), whoever runs the tests.
class DiskFull {
public:
    DiskFull() {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        struct rlimit none = previous_;
        none.rlim_cur = 0;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~DiskFull() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    bool ok() const { return ok_; }

private:
    struct rlimit previous_ {};
    void (*previousSignal_)(int) = SIG_DFL;
    bool ok_ = false;
};

// A change of the list that cannot be saved is never claimed: the user is
// told that the settings could not be saved and why; a new server's form
// stays as typed, for another try, and the list shows what the file holds.
TEST_F(ServerPagesTest, AChangeThatCannotBeSavedIsReportedAndNotClaimed) {
    addServer(QStringLiteral("Base"), 0, QStringLiteral("2101"));
    ASSERT_TRUE(watcher_.shown(QStringLiteral("Success!"))) << watcher_.describe().toStdString();
    const QString failure = QStringLiteral("The settings could not be saved: %1").arg(QString::fromLocal8Bit(std::strerror(EFBIG)));

    watcher_.messages.clear();
    {
        const DiskFull full;
        ASSERT_TRUE(full.ok());
        addServer(QStringLiteral("Rover"), 3, QStringLiteral("80"));
    }
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, failure);
    ASSERT_EQ(window_->currentPage(), addPage());
    EXPECT_EQ(addPage()->form()->nameField()->text(), QStringLiteral("Rover"));
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), list());
    EXPECT_EQ(column(0), QStringList{QStringLiteral("Base")});

    // An edit and a deletion that cannot be saved: the server stays as the
    // file holds it.
    table()->setCurrentCell(0, 0);
    clickSoftKey(QStringLiteral("Detail"));
    ASSERT_EQ(window_->currentPage(), detailPage());
    type(detailPage()->form()->portField(), QStringLiteral("2102"));
    {
        const DiskFull full;
        clickSoftKey(QStringLiteral("OK"));
    }
    ASSERT_EQ(watcher_.messages.size(), 2u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[1].text, failure);
    ASSERT_EQ(window_->currentPage(), detailPage());
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), list());
    table()->setCurrentCell(0, 0);
    {
        const DiskFull full;
        clickSoftKey(QStringLiteral("Delete"));
    }
    ASSERT_EQ(watcher_.messages.size(), 3u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[2].text, failure);
    EXPECT_EQ(column(0), QStringList{QStringLiteral("Base")});
    EXPECT_EQ(column(3), QStringList{QStringLiteral("2101")});
    ServerRecord stored;
    ASSERT_TRUE(ServerStore::instance()->read(stored, 0));
    EXPECT_EQ(stored.port, 2101);
}

TEST_F(ServerPagesTest, SourceDialogRefusesEmptyAndDuplicateNames) {
    Source_Add dialog(window_);
    dialog.setSources({QStringLiteral("MNT1")});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Source"));
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "empty";
    QTest::keyClicks(dialog.field(), QStringLiteral("MNT1"));
    ASSERT_TRUE(dialog.okButton()->isEnabled());
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.prompt(), QStringLiteral("Already existed..."));
    EXPECT_TRUE(dialog.field()->text().isEmpty());
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    // A differently cased name is new; 31 characters fit. A 32nd, and
    // characters a mount point cannot hold, stay as typed and are refused on
    // "OK", the field marked until it is edited.
    QTest::keyClicks(dialog.field(), QStringLiteral("mnt1") + QString(27, QLatin1Char('x')));
    EXPECT_EQ(dialog.prompt(), QStringLiteral("Enter source:"));
    for (const QString& extra : {QStringLiteral("x"), QStringLiteral("/?")}) {
        QTest::keyClicks(dialog.field(), extra);
        EXPECT_EQ(dialog.field()->text().size(), 31 + extra.size()) << "kept as typed";
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << extra.toStdString();
        EXPECT_TRUE(guitest::Marked(dialog.field()));
        for (int i = 0; i < extra.size(); ++i) QTest::keyClick(dialog.field(), Qt::Key_Backspace);
        EXPECT_FALSE(guitest::Marked(dialog.field()));
    }
    EXPECT_EQ(dialog.field()->text().size(), 31);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.source(), QStringLiteral("mnt1") + QString(27, QLatin1Char('x')));
}

// A mount point with white space or a control character, which a caster's
// request line cannot carry, is refused on "OK" with the rule's words and
// marked; one without is taken.
TEST_F(ServerPagesTest, SourceDialogRefusesWhiteSpaceAndControlCharacters) {
    Source_Add dialog(window_);
    dialog.show();
    for (const QString& name : {QStringLiteral("MNT EMU42"), QStringLiteral("MNT\tEMU42"), QStringLiteral(" MNT")}) {
        SCOPED_TRACE(name.toStdString());
        dialog.field()->setText(name);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.prompt(), QStringLiteral("Mount point: no spaces or control characters, Latin-1 only, "
                                                  "none of \\ / < > * ? : \" |"));
        EXPECT_TRUE(guitest::Marked(dialog.field()));
    }
    dialog.field()->setText(QStringLiteral("MNT_EMU42"));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.source(), QStringLiteral("MNT_EMU42"));
}

// An address or port the form's rules do not accept stays as typed, is
// refused with its field and rule and marked, and nothing is stored: each
// part of an address is 0 to 255 with no leading zero, a port 1 to 65535. A host name, as the
// data link form saves one for a modem that takes names, is an address.
TEST_F(ServerPagesTest, AddressesAndPortsTheFormDoesNotAcceptAreNotStored) {
    QList<ServerRecord> before;
    ServerStore::instance()->readAll(before);
    clickSoftKey(QStringLiteral("New"));
    ServerWidget* form = addPage()->form();
    const struct {
        QLineEdit* field;
        const char* typed;
        const char* message;
    } refused[] = {
        {form->addressField(), "300.1.1.1", kDottedRule}, {form->addressField(), "10.1.1", kDottedRule},
        {form->addressField(), "10.1.1.1.1", kDottedRule}, {form->addressField(), "1.2.3.04", kDottedRule},
        {form->portField(), "99999", "Port: 1 to 65535"},  {form->portField(), "0", "Port: 1 to 65535"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        type(form->nameField(), QStringLiteral("Hilltop caster"));
        type(form->addressField(), QStringLiteral("10.1.1.1"));
        type(form->portField(), QStringLiteral("2101"));
        type(r.field, QLatin1String(r.typed));
        EXPECT_EQ(r.field->text(), QLatin1String(r.typed)) << "kept as typed";
        watcher_.messages.clear();
        clickSoftKey(QStringLiteral("OK"));
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
        EXPECT_EQ(watcher_.messages[0].text, QLatin1String(r.message));
        EXPECT_TRUE(isRed(r.field));
        EXPECT_EQ(window_->currentPage(), addPage());
        QList<ServerRecord> stored;
        ServerStore::instance()->readAll(stored);
        EXPECT_EQ(stored.size(), before.size()) << "nothing is stored";
    }
    type(form->portField(), QStringLiteral("2101"));
    type(form->addressField(), QStringLiteral("caster.example.net"));
    watcher_.messages.clear();
    clickSoftKey(QStringLiteral("OK"));
    ASSERT_EQ(window_->currentPage(), list()) << watcher_.describe().toStdString();
    QList<ServerRecord> stored;
    ServerStore::instance()->readAll(stored);
    ASSERT_EQ(stored.size(), before.size() + 1);
    EXPECT_EQ(stored.last().name, QStringLiteral("Hilltop caster"));
    EXPECT_EQ(stored.last().address, QStringLiteral("caster.example.net"));
    EXPECT_EQ(stored.last().port, 2101);
}

// "+" on the form runs the dialog with the names of the list; "-" keeps a
// current row.
TEST_F(ServerPagesTest, FormSourceListThroughTheDialog) {
    clickSoftKey(QStringLiteral("New"));
    ServerWidget* form = addPage()->form();
    form->protocolField()->setCurrentIndex(form->protocolField()->findData(1));
    auto* plus = form->findChild<QAbstractButton*>(QStringLiteral("source_addButton"));
    auto* minus = form->findChild<QAbstractButton*>(QStringLiteral("source_minButton"));
    ASSERT_TRUE(plus && minus);
    EXPECT_FALSE(minus->isEnabled());
    QStringList seen;
    for (const QString& name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}) {
        QTimer::singleShot(50, [&seen, name] {
            auto* dialog = qobject_cast<Source_Add*>(QApplication::activeModalWidget());
            if (!dialog) return;
            QTest::keyClicks(dialog->field(), name);
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            if (dialog->isVisible()) {  // refused: leave it
                seen << dialog->prompt();
                dialog->reject();
            }
        });
        QTest::mouseClick(plus, Qt::LeftButton);
    }
    EXPECT_EQ(seen, QStringList{QStringLiteral("Already existed...")});
    QListWidget* sources = form->sourceList();
    ASSERT_EQ(sources->count(), 3);
    sources->setCurrentRow(2);
    EXPECT_TRUE(minus->isEnabled());
    QTest::mouseClick(minus, Qt::LeftButton);
    EXPECT_EQ(sources->currentRow(), 1);
    QTest::mouseClick(minus, Qt::LeftButton);
    QTest::mouseClick(minus, Qt::LeftButton);
    EXPECT_EQ(sources->count(), 0);
    EXPECT_FALSE(minus->isEnabled());
}

// Another Brantor deleted the server while this one had it open for an
// edit: OK does not claim a change of a server that is gone, nor loses the
// edit; the edit is kept as a new server, and the user is told so.
TEST_F(ServerPagesTest, AnEditOfAServerDeletedElsewhereIsKeptAsANewServer) {
    addServer(QStringLiteral("Base"), 0, QStringLiteral("2101"));
    addServer(QStringLiteral("Rover"), 3, QStringLiteral("80"));
    ASSERT_EQ(column(0), (QStringList{QStringLiteral("Base"), QStringLiteral("Rover")}));
    table()->setCurrentCell(0, 0);
    clickSoftKey(QStringLiteral("Detail"));
    ASSERT_EQ(window_->currentPage(), detailPage());
    type(detailPage()->form()->portField(), QStringLiteral("2102"));

    ServerStore other(CommonHelper::netServerPath());  // the other program's store
    ASSERT_EQ(other.remove(0), 0);
    watcher_.messages.clear();
    clickSoftKey(QStringLiteral("OK"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Information"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("The server had been deleted by another program; your "
                                                        "changes were saved as a new server."));
    ASSERT_EQ(window_->currentPage(), list());
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("Rover"), QStringLiteral("Base")}));
    EXPECT_EQ(column(3), (QStringList{QStringLiteral("80"), QStringLiteral("2102")}));
}

// Another Brantor stopped inside a change holds the folder's lock: a new
// server is not saved, the page says so after a bounded wait, and the form
// keeps what was typed.
TEST_F(ServerPagesTest, AChangeThatCannotHaveTheLockIsToldAndNotMade) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const std::string configs = path(QStringLiteral("configs")).toStdString();
    QDir().mkpath(path(QStringLiteral("configs")));
    const pid_t holder = ::fork();
    if (holder == 0) {
        // Only the parent may hold the write end of "release": its closing
        // is what ends this process.
        ::close(release[1]);
        ::close(ready[0]);
        const int fd = ::open(configs.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const char c = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? 1 : 0;
        if (::write(ready[1], &c, 1) != 1) ::_exit(2);
        char done = 0;
        while (::read(release[0], &done, 1) < 0 && errno == EINTR) {
        }
        ::_exit(0);
    }
    ASSERT_GT(holder, 0);
    ::close(ready[1]);
    ::close(release[0]);
    char held = 0;
    const bool locked = ::read(ready[0], &held, 1) == 1 && held == 1;
    if (locked) {
        watcher_.messages.clear();
        addServer(QStringLiteral("Base"), 0, QStringLiteral("2101"));
    }
    ::close(release[1]);  // the holder ends and its lock goes with it
    ::close(ready[0]);
    int status = 0;
    ::waitpid(holder, &status, 0);
    ASSERT_TRUE(locked);
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("The settings could not be saved: %1")
                                             .arg(QString::fromLocal8Bit(std::strerror(EWOULDBLOCK))));
    ASSERT_EQ(window_->currentPage(), addPage());
    EXPECT_EQ(addPage()->form()->nameField()->text(), QStringLiteral("Base"));
    QList<ServerRecord> all;
    ServerStore::instance()->readAll(all);
    EXPECT_TRUE(all.isEmpty());
    // Free again, the same OK saves it.
    clickSoftKey(QStringLiteral("OK"));
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Success!"))) << watcher_.describe().toStdString();
}

// A server file that is there but cannot be read (another user's, left by a
// run with sudo; here a link that leads round in a circle, which not even
// root can follow) is no empty list: the list page says why, and adding a
// server is refused with the same reason rather than written over it.
TEST_F(ServerPagesTest, AServerFileThatCannotBeReadIsToldAndKept) {
    const std::string file = path(QStringLiteral("configs/netserver.brt")).toStdString();
    QFile::remove(QString::fromStdString(file));
    ASSERT_EQ(::symlink("netserver.brt", file.c_str()), 0);
    const QStringList before = QDir(path(QStringLiteral("configs"))).entryList(QDir::Files | QDir::System);
    watcher_.messages.clear();
    list()->refresh();
    EXPECT_EQ(table()->rowCount(), 0);
    addServer(QStringLiteral("Rover"), 3, QStringLiteral("80"));
    const QString told = QStringLiteral("The settings could not be read: %1").arg(QString::fromLocal8Bit(std::strerror(ELOOP)));
    ASSERT_EQ(watcher_.messages.size(), 2u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, told);
    EXPECT_EQ(watcher_.messages[1].text, told);
    EXPECT_EQ(window_->currentPage(), addPage()) << "the form stays, for another try";
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the file is left as it was";
    EXPECT_EQ(QDir(path(QStringLiteral("configs"))).entryList(QDir::Files | QDir::System), before);
    QFile::remove(QString::fromStdString(file));
}

}  // namespace
