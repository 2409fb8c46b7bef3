// The server store: keys that stay put, deletion by mark, which sources each
// protocol keeps across a reopen, and a save after every change.

#include "program/ServerStore.h"
#include "tests/program/TestSupport.h"

#include <memory>

namespace {

class ServerStoreTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        makeDir("configs");
        reopen();
    }
    void reopen() {
        store_.reset();
        store_ = std::make_unique<ServerStore>(wpath("configs/netserver.brt"));
    }
    std::string file() const { return readFile(path("configs/netserver.brt")); }

    static ServerRecord Server(const char* name, int32_t protocol) {
        ServerRecord r;
        r.name = QString::fromUtf8(name);
        r.address = QStringLiteral("10.0.0.1");
        r.port = 2101;
        r.protocol = protocol;
        return r;
    }

    std::unique_ptr<ServerStore> store_;
};

TEST_F(ServerStoreTest, KeysStayPutAcrossDeleteAndAppend) {
    store_->append(Server("one", 0));
    store_->append(Server("two", 1));
    store_->append(Server("three", 3));
    store_->remove(1);
    QStringList names;
    QList<int32_t> keys;
    store_->list(names, keys, -1);
    EXPECT_EQ(names, (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    EXPECT_EQ(keys, (QList<int32_t>{0, 2}));

    store_->append(Server("four", 1));
    // Saved at once: the file holds the change before the store goes.
    EXPECT_NE(file().find("<size>4</size>"), std::string::npos) << file();
    reopen();
    store_->list(names, keys, -1);
    EXPECT_EQ(keys, (QList<int32_t>{0, 2, 3}));
    store_->list(names, keys, 1);
    EXPECT_EQ(names, QStringList{QStringLiteral("four")});
    EXPECT_EQ(keys, QList<int32_t>{3});

    ServerRecord r;
    EXPECT_FALSE(store_->read(r, 1)) << "a deleted entry is no record";
    EXPECT_FALSE(store_->read(r, -1));
    ASSERT_TRUE(store_->read(r, 3));
    EXPECT_EQ(r.name, QStringLiteral("four"));
    EXPECT_EQ(r.key, 3);
    EXPECT_FALSE(store_->read(r, 3, 3)) << "the only entry with key 3 is skipped";

    QList<ServerRecord> all;
    store_->readAll(all);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[1].name, QStringLiteral("three"));

    // Unknown keys change nothing.
    store_->remove(42);
    ServerRecord ghost = Server("ghost", 0);
    ghost.key = 1;
    store_->update(ghost);
    reopen();
    QList<ServerRecord> after;
    store_->readAll(after);
    ASSERT_EQ(after.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(after[i].key, all[i].key);
        EXPECT_EQ(after[i].name, all[i].name);
    }
    EXPECT_EQ(file().find("ghost"), std::string::npos);
}

TEST_F(ServerStoreTest, NameExistsSkipsTheEntryItselfAndDeletedEntries) {
    store_->append(Server("Base", 0));
    store_->append(Server("Rover", 1));
    EXPECT_TRUE(store_->nameExists(QStringLiteral("Base"), -1));
    EXPECT_TRUE(store_->nameExists(QStringLiteral("Base"), 1));
    EXPECT_FALSE(store_->nameExists(QStringLiteral("Base"), 0)) << "the entry itself";
    EXPECT_FALSE(store_->nameExists(QStringLiteral("base"), -1)) << "case-sensitive";
    store_->remove(0);
    EXPECT_FALSE(store_->nameExists(QStringLiteral("Base"), -1)) << "a deleted entry";
}

// What each protocol keeps of user, password and sources, in the file and
// after a reopen.
TEST_F(ServerStoreTest, SourcesKeptByProtocolAcrossAReopen) {
    ServerRecord zelt = Server("zelt", 0);
    zelt.source = QString();  // an empty source is still kept
    zelt.sources = {QStringLiteral("ignored")};
    zelt.user = QStringLiteral("ignored");
    ServerRecord ntrip = Server("ntrip", 1);
    ntrip.user = QStringLiteral("user\u00e9");
    ntrip.password = QStringLiteral("pw<&>");
    ntrip.sources = {QStringLiteral("MNT1"), QStringLiteral("MNT2")};
    ntrip.source = QStringLiteral("ignored");
    ServerRecord tcp = Server("tcp", 3);
    tcp.source = QStringLiteral("ignored");
    tcp.sources = {QStringLiteral("ignored")};
    tcp.user = QStringLiteral("ignored");
    store_->append(zelt);
    store_->append(ntrip);
    store_->append(tcp);
    EXPECT_EQ(file().find("ignored"), std::string::npos) << file();
    EXPECT_NE(file().find("<source></source>"), std::string::npos) << file();

    reopen();
    ServerRecord r;
    ASSERT_TRUE(store_->read(r, 0));
    EXPECT_EQ(r.protocol, 0);
    EXPECT_TRUE(r.source.isEmpty());
    EXPECT_TRUE(r.sources.isEmpty());
    EXPECT_TRUE(r.user.isEmpty());
    ASSERT_TRUE(store_->read(r, 1));
    EXPECT_EQ(r.user, ntrip.user);
    EXPECT_EQ(r.password, ntrip.password);
    EXPECT_EQ(r.sources, ntrip.sources);
    EXPECT_TRUE(r.source.isEmpty());
    EXPECT_EQ(r.address, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(r.port, 2101);
    ASSERT_TRUE(store_->read(r, 2));
    EXPECT_EQ(r.protocol, 3);
    EXPECT_TRUE(r.source.isEmpty());
    EXPECT_TRUE(r.sources.isEmpty());
    EXPECT_TRUE(r.user.isEmpty());
}

// An update replaces the whole entry: what the user emptied stays empty.
TEST_F(ServerStoreTest, UpdateReplacesTheWholeEntry) {
    ServerRecord ntrip = Server("ntrip", 1);
    ntrip.user = QStringLiteral("user");
    ntrip.password = QStringLiteral("secret");
    ntrip.sources = {QStringLiteral("MNT1"), QStringLiteral("MNT2")};
    store_->append(ntrip);

    ServerRecord edited = ntrip;
    edited.key = 0;
    edited.name = QStringLiteral("renamed");
    edited.password.clear();
    edited.sources.clear();
    store_->update(edited);
    reopen();
    ServerRecord r;
    ASSERT_TRUE(store_->read(r, 0));
    EXPECT_EQ(r.name, QStringLiteral("renamed"));
    EXPECT_EQ(r.user, QStringLiteral("user"));
    EXPECT_TRUE(r.password.isEmpty());
    EXPECT_TRUE(r.sources.isEmpty());

    edited.protocol = 3;
    edited.user = QStringLiteral("gone");
    edited.sources = {QStringLiteral("gone")};
    store_->update(edited);
    reopen();
    ASSERT_TRUE(store_->read(r, 0));
    EXPECT_EQ(r.protocol, 3);
    EXPECT_TRUE(r.user.isEmpty());
    EXPECT_TRUE(r.sources.isEmpty());
    EXPECT_EQ(file().find("gone"), std::string::npos) << file();
    EXPECT_EQ(file().find("MNT"), std::string::npos) << file();
}

TEST_F(ServerStoreTest, AForeignOrBrokenFileGivesAnEmptyStore) {
    for (const char* content : {"<other><common type=\"group\"/></other>", "<netserver><unclosed"}) {
        store_.reset();
        writeFile(path("configs/netserver.brt"), content);
        reopen();
        QList<ServerRecord> all;
        store_->readAll(all);
        EXPECT_TRUE(all.isEmpty()) << content;
        store_->append(Server("first", 0));
        QStringList names;
        QList<int32_t> keys;
        store_->list(names, keys, -1);
        EXPECT_EQ(keys, QList<int32_t>{0}) << content;
    }
}

}  // namespace
