// The network link form's Server box as a read refills it from the server
// store: which servers it lists, in which order and with which keys, and a
// list that opens as wide as the longest server name after every refill.

#include "program/ServerStore.h"
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

}  // namespace
