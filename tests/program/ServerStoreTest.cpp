// The server store: keys that stay put, deletion by mark, which sources each
// protocol keeps across a reopen, a save after every change, two programs
// on one folder, a file kept to its owner, changes that cannot be saved, a
// file that cannot be read, the folder's lock held elsewhere, and an edit of
// a server another program deleted.

#include "program/JSettings.h"
#include "program/ServerStore.h"
#include "tests/program/OrdinaryUser.h"
#include "tests/program/TestSupport.h"

#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <memory>
#include <pthread.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

    mode_t mode(const std::string& relative) const {
        struct stat st {};
        return ::stat(path(relative).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    QStringList names(ServerStore& store) const {
        QStringList n;
        QList<int32_t> keys;
        store.list(n, keys, -1);
        return n;
    }

    std::unique_ptr<ServerStore> store_;
};

// Another Brantor on the same program folder: `work` runs in a process of
// its own, beside this one, and result() waits for it and gives what it
// returned, or "(exit N)" when it did not end well. The process leaves
// without running this one's destructors.
class OtherProgram {
public:
    explicit OtherProgram(const std::function<std::string()>& work) {
        if (::pipe(out_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(out_[0]);
            const std::string out = work();
            const bool written = ::write(out_[1], out.data(), out.size()) == ssize_t(out.size());
            ::_exit(written ? 0 : 3);
        }
        ::close(out_[1]);
    }
    ~OtherProgram() { result(); }

    std::string result() {
        if (pid_ <= 0) return pid_ < 0 ? "(no process)" : result_;
        char buf[4096];
        for (ssize_t n; (n = ::read(out_[0], buf, sizeof buf)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            result_.append(buf, size_t(n));
        }
        ::close(out_[0]);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            result_ = "(exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) +
                      ")";
        return result_;
    }

private:
    int out_[2] = {-1, -1};
    pid_t pid_ = -1;
    std::string result_;
};

// Two processes taking turns: each hands the turn over and waits for it.
// Once both have dropped the other's ends, a wait on a process that ended
// returns at once (false) instead of waiting for ever.
struct Turns {
    Turns() { ok = ::pipe(toChild) == 0 && ::pipe(toParent) == 0; }
    ~Turns() {
        for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
            if (fd >= 0) ::close(fd);
    }
    void parentSide() { drop(toChild[0], toParent[1]); }
    void childSide() { drop(toChild[1], toParent[0]); }
    static void drop(int& a, int& b) {
        ::close(a);
        ::close(b);
        a = b = -1;
    }
    static bool pass(int fd) {
        const char c = 1;
        return ::write(fd, &c, 1) == 1;
    }
    static bool wait(int fd) {
        char c = 0;
        return ::read(fd, &c, 1) == 1;
    }
    bool childsTurn() { return pass(toChild[1]) && wait(toParent[0]); }  // parent side
    bool parentsTurn() { return pass(toParent[1]) && wait(toChild[0]); }  // child side
    bool ok = false;
    int toChild[2] = {-1, -1};
    int toParent[2] = {-1, -1};
};

std::string Joined(const QStringList& list) { return list.join(QLatin1Char('|')).toStdString(); }

// Sets the process's file-creation mask for one test.
struct Umask {
    explicit Umask(mode_t mask) : previous(::umask(mask)) {}
    ~Umask() { ::umask(previous); }
    mode_t previous;
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

    // An unknown key removes nothing, and a negative one updates nothing.
    store_->remove(42);
    ServerRecord ghost = Server("ghost", 0);
    ghost.key = -1;
    int32_t keptAs = 7;
    EXPECT_EQ(store_->update(ghost, &keptAs), 0);
    EXPECT_EQ(keptAs, -1);
    reopen();
    QList<ServerRecord> after;
    store_->readAll(after);
    ASSERT_EQ(after.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(after[i].key, all[i].key);
        EXPECT_EQ(after[i].name, all[i].name);
    }
    EXPECT_EQ(file().find("ghost"), std::string::npos);

    // An edit of a deleted entry is not lost: it becomes a new entry, and
    // the caller learns its key.
    ghost.key = 1;
    EXPECT_EQ(store_->update(ghost, &keptAs), 0);
    EXPECT_EQ(keptAs, 4);
    ASSERT_TRUE(store_->read(r, 4));
    EXPECT_EQ(r.name, QStringLiteral("ghost"));
    EXPECT_FALSE(store_->read(r, 1)) << "the deleted entry stays deleted";
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
    // An empty source element: with its empty text as written, or without
    // any once the file has been read and saved again (the XML reader keeps
    // no empty text).
    EXPECT_TRUE(file().find("<source></source>") != std::string::npos ||
                file().find("<source />") != std::string::npos)
        << file();

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

// Two Brantors on one program folder, each with its store from its start:
// what one adds, edits or deletes is never lost by the other's next change,
// whether they take turns or change the file at the same moment.
TEST_F(ServerStoreTest, TwoProgramsOnOneFolderKeepEachOthersServers) {
    const std::wstring shared = wpath("configs/netserver.brt");
    ASSERT_EQ(store_->append(Server("A0", 0)), 0);
    Turns turns;
    ASSERT_TRUE(turns.ok);
    OtherProgram b([&] {
        turns.childSide();
        ServerStore mine(shared);
        std::string seen = Joined(names(mine));
        if (!turns.parentsTurn()) return std::string("(no turn)");
        ServerRecord edited = Server("A0 edited by B", 0);
        edited.key = 0;
        const int32_t appended = mine.append(Server("B2", 1));
        const int32_t updated = mine.update(edited);
        if (!turns.parentsTurn()) return std::string("(no turn)");
        return seen + " / " + std::to_string(appended) + std::to_string(updated) + " / " + Joined(names(mine));
    });
    turns.parentSide();
    ASSERT_TRUE(Turns::wait(turns.toParent[0]));  // B has started and read
    ASSERT_EQ(store_->append(Server("A1", 3)), 0);
    ASSERT_TRUE(turns.childsTurn());  // B appends and edits
    EXPECT_EQ(store_->remove(1), 0);
    ASSERT_TRUE(Turns::pass(turns.toChild[1]));  // B lists and ends
    EXPECT_EQ(b.result(), "A0 / 00 / A0 edited by B|B2");

    reopen();
    QStringList n;
    QList<int32_t> keys;
    store_->list(n, keys, -1);
    EXPECT_EQ(Joined(n), "A0 edited by B|B2");
    EXPECT_EQ(keys, (QList<int32_t>{0, 2}));

    // At the same moment: each adds its servers and then deletes every
    // other one of its own, as fast as it can.
    constexpr int kEach = 25;
    auto busy = [&](const char* who) {
        ServerStore mine(shared);
        for (int i = 0; i < kEach; ++i)
            if (mine.append(Server((std::string(who) + std::to_string(i)).c_str(), 1)) != 0) return;
        QList<ServerRecord> all;
        mine.readAll(all);
        for (const ServerRecord& r : all)
            if (r.name.startsWith(QLatin1String(who)) && r.name.mid(1).toInt() % 2 == 0) mine.remove(r.key);
    };
    OtherProgram other([&] {
        busy("Y");
        return std::string("done");
    });
    busy("X");
    ASSERT_EQ(other.result(), "done");
    reopen();
    QList<ServerRecord> all;
    store_->readAll(all);
    QStringList live;
    for (const ServerRecord& r : all) live << r.name;
    live.sort();
    QStringList expected{QStringLiteral("A0 edited by B"), QStringLiteral("B2")};
    for (int i = 1; i < kEach; i += 2) expected << QStringLiteral("X%1").arg(i) << QStringLiteral("Y%1").arg(i);
    expected.sort();
    EXPECT_EQ(live, expected);
    // Every key is still its entry's index: 3 entries before, 2 * kEach now.
    for (const ServerRecord& r : all) {
        ServerRecord again;
        EXPECT_TRUE(store_->read(again, r.key)) << r.key;
        EXPECT_EQ(again.name, r.name);
    }
    EXPECT_NE(file().find("<size>" + std::to_string(3 + 2 * kEach) + "</size>"), std::string::npos) << file();
}

// "configs/netserver.brt" holds the caster passwords as plain text: it is
// made, and kept on every save, readable and writable by its owner only,
// whatever the umask, and a file an earlier version left readable by all is
// narrowed as soon as the store reads it.
TEST_F(ServerStoreTest, TheFileWithThePasswordsIsReadableByItsOwnerOnly) {
    const Umask open(0);  // a new file would otherwise be readable by all
    const std::string name = "configs/netserver.brt";
    ServerRecord caster = Server("caster", 1);
    caster.password = QStringLiteral("secret");
    ASSERT_EQ(store_->append(caster), 0);
    EXPECT_EQ(mode(name), 0600u);
    caster.key = 0;
    caster.password = QStringLiteral("other");
    ASSERT_EQ(store_->update(caster), 0);
    EXPECT_EQ(mode(name), 0600u);

    ASSERT_EQ(::chmod(path(name).c_str(), 0644), 0);
    EXPECT_EQ(Joined(names(*store_)), "caster");  // only read
    EXPECT_EQ(mode(name), 0600u);
    ASSERT_EQ(::chmod(path(name).c_str(), 0644), 0);
    ASSERT_EQ(store_->remove(0), 0);
    EXPECT_EQ(mode(name), 0600u);

    // An unusable file is kept as ".bak", with the passwords it may hold.
    writeFile(path(name), "<netserver><common type=\"group\"><password>x</password>");
    ASSERT_EQ(::chmod(path(name).c_str(), 0644), 0);
    ASSERT_EQ(store_->append(Server("fresh", 0)), 0);
    EXPECT_EQ(mode(name), 0600u);
    EXPECT_EQ(mode(name + ".bak"), 0600u);
    EXPECT_EQ(readFile(path(name + ".bak")), "<netserver><common type=\"group\"><password>x</password>");
    EXPECT_EQ(Joined(names(*store_)), "fresh");
}

// A change that cannot be written: a read-only "configs" folder or a full
// disk. Another Brantor makes the change (so that the folder can be made
// read-only for it even where the tests run as root, and the disk full for
// it alone); each change gives the reason, reading still works, and the
// file keeps the servers it had, with no temporary file left behind.
TEST_F(ServerStoreTest, AChangeThatCannotBeSavedSaysWhyAndTheFileKeepsItsServers) {
    ServerRecord kept = Server("kept", 1);
    kept.password = QStringLiteral("pw");
    ASSERT_EQ(store_->append(kept), 0);
    const std::string before = file();
    const std::wstring netserver = wpath("configs/netserver.brt");
    auto tryChanges = [&](const std::function<std::string()>& prepare) {
        OtherProgram other([&] {
            const std::string refused = prepare();
            if (!refused.empty()) return refused;
            ServerStore mine(netserver);
            ServerRecord edited = Server("edited", 0);
            edited.key = 0;
            return std::to_string(mine.append(Server("new", 0))) + " " + std::to_string(mine.update(edited)) +
                   " " + std::to_string(mine.remove(0)) + " " + std::to_string(mine.remove(42)) + " " +
                   Joined(names(mine));
        });
        return other.result();
    };
    auto expectUnchanged = [&] {
        EXPECT_EQ(file(), before);
        for (const auto& e : std::filesystem::directory_iterator(path("configs")))
            EXPECT_NE(e.path().extension(), ".tmp") << e.path();
        reopen();
        EXPECT_EQ(Joined(names(*store_)), "kept");
    };
    auto expected = [](int error) {
        const std::string e = std::to_string(error);
        return e + " " + e + " " + e + " 0 kept";  // a key that is not there needs no save
    };

    {
        SCOPED_TRACE("full disk");
        const std::string got = tryChanges([] {
            // Room for the first bytes of a save only; the rest fails as on
            // a full disk (a process over its file size limit gets EFBIG).
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 100;
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? std::string() : std::string("(no file size limit)");
        });
        EXPECT_EQ(got, expected(EFBIG));
        expectUnchanged();
    }
    {
        SCOPED_TRACE("read-only folder");
        // Root writes into a read-only folder all the same: as root, the
        // folder goes to an ordinary user, whom the other Brantor runs as.
        const bool root = ::geteuid() == 0;
        constexpr uid_t kNobody = 65534;
        if (root) {
            ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
            for (const std::string& p : {folder_, path("configs"), path("configs/netserver.brt")})
                ASSERT_EQ(::chown(p.c_str(), kNobody, kNobody), 0) << p;
        }
        ASSERT_EQ(::chmod(path("configs").c_str(), 0555), 0);
        const std::string got = tryChanges([&] {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                return std::string("(cannot run as an ordinary user: ") + std::strerror(errno) + ")";
            return std::string();
        });
        ASSERT_EQ(::chmod(path("configs").c_str(), 0755), 0);
        if (got.rfind("(cannot run", 0) == 0) GTEST_SKIP() << got;
        EXPECT_EQ(got, expected(EACCES));
        expectUnchanged();
    }
}

}  // namespace

namespace {

using ordinaryuser::kNobody;

std::string AsOrdinaryUser(const std::function<std::string()>& work) { return ordinaryuser::Run(work); }

uid_t OwnerOf(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_uid : uid_t(-1);
}

gid_t GroupOf(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_gid : gid_t(-1);
}

}  // namespace

// A save by another user (root through sudo, say) leaves the file to its
// owner: owner, group and mode stay, and the owner still reads his servers.
TEST_F(ServerStoreTest, ASaveByAnotherUserKeepsTheFilesOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may save a file for another owner";
    const std::string name = path("configs/netserver.brt");
    ASSERT_EQ(store_->append(Server("owners", 0)), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    for (const std::string& p : {path("configs"), name}) ASSERT_EQ(::chown(p.c_str(), kNobody, kNobody), 0) << p;

    ASSERT_EQ(store_->append(Server("roots", 1)), 0);  // this process is root
    EXPECT_EQ(OwnerOf(name), kNobody);
    EXPECT_EQ(GroupOf(name), gid_t(kNobody));
    EXPECT_EQ(mode("configs/netserver.brt"), 0600u);
    const std::string seen = AsOrdinaryUser([&] {
        ServerStore mine(wpath("configs/netserver.brt"));
        return Joined(names(mine));
    });
    if (seen.rfind("(cannot run", 0) == 0) GTEST_SKIP() << seen;
    EXPECT_EQ(seen, "owners|roots");
}

// The first save into another user's folder (the program started once with
// sudo on his folder) gives him the file: it takes the folder's owner and
// group, the server list as an owner-only file, a plain settings file with
// the mode the umask gives, and he reads both.
TEST_F(ServerStoreTest, AFirstSaveByRootIntoAnotherUsersFolderGivesHimTheFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may save a file for another owner";
    constexpr gid_t kGroup = 100;  // not the owner's number, so that the two are not mixed up
    const Umask usual(022);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chown(path("configs").c_str(), kNobody, kGroup), 0);
    const std::string servers = path("configs/netserver.brt");
    const std::string plain = path("configs/plain.brt");
    ASSERT_FALSE(exists(servers));

    ASSERT_EQ(store_->append(Server("roots", 1)), 0);  // this process is root
    {
        JSettings settings(wpath("configs/plain.brt"), L"plain");
        settings.setValue(L"v", int32_t(7));
        ASSERT_EQ(settings.save(), 0);
    }
    for (const std::string& p : {servers, plain}) {
        EXPECT_EQ(OwnerOf(p), kNobody) << p;
        EXPECT_EQ(GroupOf(p), kGroup) << p;
    }
    EXPECT_EQ(mode("configs/netserver.brt"), 0600u);
    EXPECT_EQ(mode("configs/plain.brt"), 0644u);
    const std::string seen = AsOrdinaryUser([&] {
        ServerStore mine(wpath("configs/netserver.brt"));
        JSettings settings;
        settings.setReadOnly(true);
        const int32_t opened = settings.open(wpath("configs/plain.brt"), L"plain");
        return Joined(names(mine)) + " " + std::to_string(opened) + " " +
               std::to_string(settings.value(L"v", int32_t(0)));
    });
    if (seen.rfind("(cannot run", 0) == 0) GTEST_SKIP() << seen;
    EXPECT_EQ(seen, "roots 0 7");
}

// A file that is there but that this user may not read is no empty list:
// reading says why, and no change is saved over it (a fresh list written
// from that empty view would lose every server in it).
TEST_F(ServerStoreTest, AFileThatCannotBeReadIsToldAndNeverOverwritten) {
    const std::string name = path("configs/netserver.brt");
    ASSERT_EQ(store_->append(Server("hidden", 0)), 0);
    const std::string before = file();
    if (::geteuid() == 0) {
        // The folder is the ordinary user's, the file root's (mode 0600).
        ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
        ASSERT_EQ(::chown(path("configs").c_str(), kNobody, kNobody), 0);
    } else {
        ASSERT_EQ(::chmod(name.c_str(), 0), 0);
    }
    const std::string got = AsOrdinaryUser([&] {
        ServerStore mine(wpath("configs/netserver.brt"));
        QStringList n{QStringLiteral("stale")};
        QList<int32_t> keys;
        QList<ServerRecord> all;
        ServerRecord edited = Server("edited", 0);
        edited.key = 0;
        int32_t keptAs = 5;
        const int32_t listed = mine.list(n, keys, -1);
        const int32_t read = mine.readAll(all);
        const int32_t appended = mine.append(Server("new", 0));
        const int32_t updated = mine.update(edited, &keptAs);
        const int32_t removed = mine.remove(0);
        return std::to_string(listed) + " " + std::to_string(n.size() + all.size()) + " " + std::to_string(read) +
               " " + std::to_string(appended) + " " + std::to_string(updated) + " " + std::to_string(keptAs) +
               " " + std::to_string(removed);
    });
    ::chmod(name.c_str(), 0600);
    if (got.rfind("(cannot run", 0) == 0) GTEST_SKIP() << got;
    const std::string unread = std::to_string(-EACCES);
    EXPECT_EQ(got, unread + " 0 " + unread + " " + unread + " " + unread + " -1 " + unread);
    EXPECT_EQ(file(), before);
    for (const auto& e : std::filesystem::directory_iterator(path("configs")))
        EXPECT_EQ(e.path().filename(), "netserver.brt") << "nothing beside the file: " << e.path();
}

// Another Brantor stopped inside a change holds the folder's lock: a change
// here waits a bounded time, is not made, and says why; once the lock is
// free, changes go through again.
TEST_F(ServerStoreTest, AChangeDoesNotWaitForEverForTheFoldersLock) {
    ASSERT_EQ(store_->append(Server("first", 0)), 0);
    const std::string before = file();
    Turns turns;
    ASSERT_TRUE(turns.ok);
    OtherProgram holder([&] {
        turns.childSide();
        const int fd = ::open(path("configs").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) return std::string("(no lock)");
        // Holds the lock until the other side has tried.
        if (!turns.parentsTurn()) return std::string("(no turn)");
        return std::string("held");
    });
    turns.parentSide();
    ASSERT_TRUE(Turns::wait(turns.toParent[0]));  // the lock is held
    // The signal dispositions and this thread's signal mask, as the waits
    // must leave them. The C library marks every action it installs with
    // its own return path (SA_RESTORER, 0x04000000), one never installed
    // has none: that mark alone is no change.
    auto dispositions = [] {
        constexpr int kRestorer = 0x04000000;
        std::string all;
        for (int sig = 1; sig <= SIGRTMAX; ++sig) {
            struct sigaction action {};
            const int got = ::sigaction(sig, nullptr, &action);
            all += std::to_string(sig) + ":" + std::to_string(got) + ":" +
                   std::to_string(reinterpret_cast<uintptr_t>(action.sa_handler)) + ":" +
                   std::to_string(action.sa_flags & ~kRestorer) + " ";
        }
        sigset_t mask;
        ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        for (int sig = 1; sig <= SIGRTMAX; ++sig) all += sigismember(&mask, sig) ? "1" : "0";
        return all;
    };
    const std::string signalsBefore = dispositions();
    // Changes on several threads at once wait side by side, each bounded.
    ServerRecord edited = Server("first edited", 0);
    edited.key = 0;
    int32_t updated = 0, removed = 0;
    std::thread updating([&] { updated = store_->update(edited); });
    std::thread removing([&] { removed = store_->remove(0); });
    EXPECT_EQ(store_->append(Server("second", 0)), EWOULDBLOCK);
    updating.join();
    removing.join();
    EXPECT_EQ(updated, EWOULDBLOCK);
    EXPECT_EQ(removed, EWOULDBLOCK);
    EXPECT_EQ(file(), before);
    // A signal of the wait left behind would end this process now.
    ::usleep(50 * 1000);
    EXPECT_EQ(dispositions(), signalsBefore);
    ASSERT_TRUE(Turns::pass(turns.toChild[1]));
    EXPECT_EQ(holder.result(), "held");
    EXPECT_EQ(store_->append(Server("second", 0)), 0);
    EXPECT_EQ(Joined(names(*store_)), "first|second");
}

// Three Brantors each adding servers as fast as they can: each change waits
// its turn for the folder's lock, however often the others take it again,
// so none is refused and none is lost.
TEST_F(ServerStoreTest, ThreeProgramsAddingAtOnceAreNeverRefused) {
    constexpr int kPrograms = 3;
    constexpr int kEach = 200;
    const std::wstring shared = wpath("configs/netserver.brt");
    // All start together, once every one is ready.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<std::unique_ptr<OtherProgram>> programs;
    for (int p = 0; p < kPrograms; ++p)
        programs.push_back(std::make_unique<OtherProgram>([&, p] {
            ::close(go[1]);
            ::alarm(250);  // a program that hangs ends (before the test runner gives up), and the test fails
            char c = 0;
            while (::read(go[0], &c, 1) < 0 && errno == EINTR) {
            }
            ServerStore mine(shared);
            std::string refused;
            for (int i = 0; i < kEach; ++i) {
                const std::string name = "P" + std::to_string(p) + "-" + std::to_string(i);
                if (const int32_t error = mine.append(Server(name.c_str(), 0)))
                    refused += " " + std::to_string(i) + ":" + std::to_string(error);
            }
            return "refused:" + refused;
        }));
    ::close(go[0]);
    ::close(go[1]);  // the start
    for (auto& program : programs) EXPECT_EQ(program->result(), "refused:");

    reopen();
    QList<ServerRecord> all;
    ASSERT_EQ(store_->readAll(all), 0);
    QStringList got, expected;
    for (const ServerRecord& r : all) got << r.name;
    for (int p = 0; p < kPrograms; ++p)
        for (int i = 0; i < kEach; ++i) expected << QStringLiteral("P%1-%2").arg(p).arg(i);
    got.sort();
    expected.sort();
    EXPECT_EQ(got.size(), kPrograms * kEach);
    EXPECT_EQ(got, expected);
}

// Two Brantors: one deletes a server while the other has it open for an
// edit. The edit is not lost and not claimed as a change of a server that
// is gone: it is kept as a new entry, under a key the editor learns.
TEST_F(ServerStoreTest, AnEditOfAServerAnotherProgramDeletedIsKeptAsANewEntry) {
    ASSERT_EQ(store_->append(Server("base", 0)), 0);
    ASSERT_EQ(store_->append(Server("rover", 1)), 0);
    OtherProgram other([&] {
        ServerStore theirs(wpath("configs/netserver.brt"));
        return std::to_string(theirs.remove(0));
    });
    ASSERT_EQ(other.result(), "0");
    ServerRecord edited = Server("base", 0);
    edited.key = 0;
    edited.port = 2102;
    int32_t keptAs = -1;
    ASSERT_EQ(store_->update(edited, &keptAs), 0);
    EXPECT_EQ(keptAs, 2);
    reopen();
    QList<ServerRecord> all;
    store_->readAll(all);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].name, QStringLiteral("rover"));
    EXPECT_EQ(all[1].name, QStringLiteral("base"));
    EXPECT_EQ(all[1].key, 2);
    EXPECT_EQ(all[1].port, 2102);
}
