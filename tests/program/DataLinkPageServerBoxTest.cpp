// The network link form's Server box as a read refills it from the server
// store: which servers it lists, in which order and with which keys, a list
// that opens as wide as the longest server name after every refill, and one
// listing per read for each list of protocols, the receiver's reply
// included.

#include "program/DeviceManager.h"
#include "program/ServerStore.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

using guitest::ProgramGuiTest;

class DataLinkPageServerBoxTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        page_ = new DataChain_Net;
        box_ = page_->findChild<QComboBox*>(QStringLiteral("comboBox_server"));
        ASSERT_NE(box_, nullptr);
    }
    void TearDown() override {
        delete page_;
        ProgramGuiTest::TearDown();
    }
    static int32_t save(const char* name, int32_t protocol) {
        ServerRecord r;
        r.name = QString::fromLatin1(name);
        r.address = QStringLiteral("10.1.2.3");
        r.port = 2101;
        r.protocol = protocol;
        EXPECT_EQ(ServerStore::instance()->append(r), 0);
        QStringList names;
        QList<int32_t> keys;
        ServerStore::instance()->list(names, keys, -1);
        return keys.isEmpty() ? -1 : keys.last();
    }
    void chooseMode(int mode) {
        auto* box = page_->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"));
        box->setCurrentIndex(box->findData(mode));
    }
    QList<QPair<QString, int>> listed() const {
        QList<QPair<QString, int>> out;
        for (int i = 0; i < box_->count(); ++i) out.append({box_->itemText(i), box_->itemData(i).toInt()});
        return out;
    }
    // Opens the list and checks that each server shows whole in it.
    void expectListShowsEachServerWhole() {
        box_->showPopup();
        QApplication::processEvents();
        QAbstractItemView* list = box_->view();
        ASSERT_TRUE(list->isVisible());
        for (int row = 0; row < box_->count(); ++row) {
            const QRect item = list->visualRect(list->model()->index(row, box_->modelColumn()));
            SCOPED_TRACE(box_->itemText(row).toStdString());
            EXPECT_GE(item.width(), list->fontMetrics().horizontalAdvance(box_->itemText(row))) << "the name is cut";
            EXPECT_LE(item.right(), list->viewport()->width()) << "the list is narrower than the name";
        }
        box_->hidePopup();
    }

    DataChain_Net* page_ = nullptr;
    QComboBox* box_ = nullptr;
};

// Counts how often a box is emptied: once for each time it is listed anew.
class EmptiedCounter {
public:
    explicit EmptiedCounter(QComboBox* box) {
        connection_ = QObject::connect(box->model(), &QAbstractItemModel::rowsRemoved,
                                       [this](const QModelIndex&, int first, int) { count += first == 0; });
    }
    ~EmptiedCounter() { QObject::disconnect(connection_); }
    int count = 0;

private:
    QMetaObject::Connection connection_;
};

// What a rover's form lists of the servers "Zelt" and "Ntrip".
QList<QPair<QString, int>> Rover(int32_t zelt, int32_t ntrip) {
    return {{QStringLiteral("<New>"), -1}, {QStringLiteral("Zelt"), zelt}, {QStringLiteral("Ntrip"), ntrip}};
}

// "<New>" first, then the live servers of each protocol the form offers, in
// the protocol box's order and, within a protocol, in store order, each
// with its key; nothing selected.
TEST_F(DataLinkPageServerBoxTest, AReadListsTheLiveServersOfEachOfferedProtocol) {
    const int32_t tcp = save("Tcp", 3);
    const int32_t zelt = save("Zelt", 0);
    const int32_t ntrip = save("Ntrip", 1);
    const int32_t gone = save("Gone", 0);
    const int32_t ntrip2 = save("Ntrip 2", 1);
    ASSERT_EQ(ServerStore::instance()->remove(gone), 0);

    chooseMode(1);  // a rover: protocols 0, 1, 3
    page_->read();
    const QList<QPair<QString, int>> rover = {
        {QStringLiteral("<New>"), -1}, {QStringLiteral("Zelt"), zelt},   {QStringLiteral("Ntrip"), ntrip},
        {QStringLiteral("Ntrip 2"), ntrip2}, {QStringLiteral("Tcp"), tcp},
    };
    EXPECT_EQ(listed(), rover);
    EXPECT_EQ(box_->currentIndex(), -1);

    chooseMode(0);  // a base: protocol 0 only, refilled at once
    const QList<QPair<QString, int>> base = {{QStringLiteral("<New>"), -1}, {QStringLiteral("Zelt"), zelt}};
    EXPECT_EQ(listed(), base);
    EXPECT_EQ(box_->currentIndex(), -1);
}

// The list opens as wide as the longest server; once that server is gone,
// the next refill makes the list narrower again.
TEST_F(DataLinkPageServerBoxTest, TheListFitsTheLongestServerAfterEachRefill) {
    const char* longName = "Landesvermessung Bayern VRS Muenchen Nord";
    save("Office", 1);
    const int32_t longKey = save(longName, 1);
    save("Field", 3);
    page_->show();
    chooseMode(1);
    page_->read();
    ASSERT_EQ(box_->count(), 4);
    const int longWidth = box_->view()->fontMetrics().horizontalAdvance(QString::fromLatin1(longName));
    EXPECT_GE(box_->view()->minimumWidth(), longWidth);
    expectListShowsEachServerWhole();

    ASSERT_EQ(ServerStore::instance()->remove(longKey), 0);
    page_->read();
    ASSERT_EQ(box_->count(), 3);
    EXPECT_LT(box_->view()->minimumWidth(), longWidth);
    expectListShowsEachServerWhole();
}

// Choosing "GPRS" clears the form and reads it; the receiver's reply then
// sets the work mode it reports, as chooseMode does. The box is listed once
// for that: the reply's mode offers the same protocols the read listed.
// Another list of protocols (the user's choice of Base) lists it again, and
// so does the next read, with what another program stored meanwhile.
TEST_F(DataLinkPageServerBoxTest, EachReadListsTheServersOnceForEachListOfProtocols) {
    const int32_t zelt = save("Zelt", 0);
    const int32_t ntrip = save("Ntrip", 1);
    chooseMode(1);  // the form as a rover's earlier read left it
    page_->clearForm();
    EmptiedCounter emptied(box_);

    page_->read();
    box_->setCurrentIndex(1);  // a server the user chooses before the reply
    chooseMode(1);             // the reply: Rover
    EXPECT_EQ(emptied.count, 1);
    EXPECT_EQ(listed(), Rover(zelt, ntrip));
    EXPECT_EQ(box_->currentIndex(), -1) << "the reply's mode leaves no server chosen";

    chooseMode(0);
    EXPECT_EQ(emptied.count, 2);
    EXPECT_EQ(listed(), (QList<QPair<QString, int>>{{QStringLiteral("<New>"), -1}, {QStringLiteral("Zelt"), zelt}}));
    chooseMode(1);
    EXPECT_EQ(emptied.count, 3);
    EXPECT_EQ(listed(), Rover(zelt, ntrip));

    // Stored through the file, as another program on this folder stores it.
    const int32_t tcp = save("Tcp", 3);
    page_->clearForm();
    page_->read();
    chooseMode(1);
    EXPECT_EQ(emptied.count, 4);
    QList<QPair<QString, int>> withTcp = Rover(zelt, ntrip);
    withTcp.append({QStringLiteral("Tcp"), tcp});
    EXPECT_EQ(listed(), withTcp);
}

// A server file that exists but cannot be read (a link that loops, which
// even root cannot read) is told when the page reads, not shown as an empty
// list of servers; the file stays as it was.
TEST_F(DataLinkPageServerBoxTest, AServerFileThatCannotBeReadIsTold) {
    const std::string file = path(QStringLiteral("configs/netserver.brt")).toStdString();
    QFile::remove(QString::fromStdString(file));
    ASSERT_EQ(::symlink("netserver.brt", file.c_str()), 0);
    watcher_.messages.clear();
    chooseMode(1);
    EXPECT_TRUE(watcher_.messages.empty()) << "a change of mode refills the box without a word";
    page_->read();
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("The settings could not be read: %1").arg(QString::fromLocal8Bit(std::strerror(ELOOP))));
    EXPECT_EQ(listed(), (QList<QPair<QString, int>>{{QStringLiteral("<New>"), -1}}));
    char target[64] = {};
    ASSERT_EQ(::readlink(file.c_str(), target, sizeof target - 1), ssize_t(std::strlen("netserver.brt")));
    EXPECT_STREQ(target, "netserver.brt") << "the file is left as it was";
    QFile::remove(QString::fromStdString(file));
}

// The same through the data link page, the real libraries and the simulated
// receiver: the user chooses "Internal UHF", then "GPRS" again, and the
// rover's reply fills the form; the Server box is listed once on the way.
class DataLinkPageServerBoxSimTest : public guitest::ReceiverGuiTest {};

TEST_F(DataLinkPageServerBoxSimTest, ChoosingGprsWithTheRoversReplyListsTheServersOnce) {
    ServerRecord record;
    record.address = QStringLiteral("10.1.2.3");
    record.port = 2101;
    record.name = QStringLiteral("Zelt");
    record.protocol = 0;
    ASSERT_EQ(ServerStore::instance()->append(record), 0);
    record.name = QStringLiteral("Ntrip");
    record.protocol = 1;
    ASSERT_EQ(ServerStore::instance()->append(record), 0);
    startWindow();
    sim_.Update([](sim::SimSettings& s) {
        s.radio.protocol = 0;
        s.modem.protocol = 'U';
        s.modem.online = 1;  // a rover
    });
    connectThroughPage(false, 9600);
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    watcher_.messages.clear();  // "Successfully connected"
    clickMenu("DataLink");
    auto* page = static_cast<DataChain*>(window_->page(QStringLiteral("DataLink")));
    DataChain_Net* net = page->netPage();
    ASSERT_TRUE(waitFor([&] { return page->shownPage() == net && net->receivedMask() == DataChain_Net::kReadComplete; }));
    auto* link = page->findChild<QComboBox*>(QStringLiteral("cbDataChain"));
    auto* box = net->findChild<QComboBox*>(QStringLiteral("comboBox_server"));
    auto* mode = net->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"));
    ASSERT_TRUE(link && box && mode);
    ASSERT_TRUE(waitFor([&] { return link->isEnabled(); }));

    link->setCurrentIndex(link->findText(QStringLiteral("Internal UHF")));
    ASSERT_TRUE(waitFor([&] { return link->isEnabled(); }));
    EmptiedCounter emptied(box);
    link->setCurrentIndex(link->findText(QStringLiteral("GPRS")));
    ASSERT_TRUE(waitFor([&] { return net->receivedMask() == DataChain_Net::kReadComplete; }));
    EXPECT_EQ(mode->currentData().toInt(), 1);
    EXPECT_EQ(emptied.count, 1);
    QList<QString> names;
    for (int i = 0; i < box->count(); ++i) names.append(box->itemText(i));
    EXPECT_EQ(names, (QList<QString>{QStringLiteral("<New>"), QStringLiteral("Zelt"), QStringLiteral("Ntrip")}));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

}  // namespace
