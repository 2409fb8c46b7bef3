// The settings store under damaged files, large documents, links and
// programs saving the same file at once.
#include "program/ConfigFiles.h"
#include "program/JSettings.h"
#include "program/JSettingsImp.h"
#include "tests/program/TestSupport.h"

#include <QtGlobal>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace {

using Fjarnis2011::FJCore::JSettingsImp;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

class SettingsDamageTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        makeDir("configs");
    }
    std::string file() const { return path("configs/t.brt"); }
    std::wstring wfile() const { return wpath("configs/t.brt"); }

    std::vector<std::string> temporaries() const {
        std::vector<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(path("configs")))
            if (e.path().extension() == ".tmp") found.push_back(e.path().filename().string());
        return found;
    }
    static ino_t inode(const std::string& p) {
        struct stat st {};
        return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    int32_t probe(const std::wstring& p, const std::wstring& root) {
        JSettings s;
        return s.open(p, root);
    }
};

// Collects what the store logs while a test runs.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
            lines().push_back(m.toStdString());
        });
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& lines() {
        static std::vector<std::string> l;
        return l;
    }

private:
    QtMessageHandler previous_;
};

// A compact file that loads but whose indented text, as the store writes
// it, is larger than a settings file may be: a chain of 90 groups with
// 46,000 empty elements at its bottom, each of which prints as a line of
// 4 * 91 spaces and "<e />": 17 MB from 184 KB.
std::string GrowsPastTheLimitWhenIndented() {
    std::string s = kDecl + "<k>";
    for (int i = 0; i < 90; ++i) s += "<g>";
    for (int i = 0; i < 46000; ++i) s += "<e/>";
    for (int i = 0; i < 90; ++i) s += "</g>";
    return s + "</k>\n";
}

TEST_F(SettingsDamageTest, ADocumentTooLargeToReadBackIsNotSavedAndTheOldFileStays) {
    const std::string original = GrowsPastTheLimitWhenIndented();
    ASSERT_LT(original.size(), JSettingsImp::kLargestFile);
    writeFile(file(), original);
    LogCapture log;
    {
        JSettings s(wfile(), L"k");
        ASSERT_EQ(s.status(), 0);  // the file itself is fine and loads
        EXPECT_TRUE(s.setValue(L"v", int32_t(1)));
        EXPECT_EQ(s.save(), 1);  // refused: the reader would not take it
    }
    EXPECT_EQ(readFile(file()), original);
    EXPECT_FALSE(exists(file() + ".bak"));
    EXPECT_TRUE(temporaries().empty());
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(log.lines().front().find("Settings not saved"), std::string::npos) << log.lines().front();
    // Just read, the same file is neither rewritten nor refused.
    { JSettings s(wfile(), L"k"); }
    EXPECT_EQ(readFile(file()), original);
}

TEST_F(SettingsDamageTest, AnArrayCountsTheItemsItHoldsNotTheHighestNumber) {
    // Each array's "size" and its one item claim 2^31 - 1 items. Walked from
    // the first number to the size, and with every read creating the item it
    // looks for, reading this file would never end.
    const std::string damaged =
        kDecl +
        "<connectbauds>"
        "<bauds type=\"array\"><size>2147483647</size><a2147483647><baud>9600</baud></a2147483647></bauds>"
        "<ports type=\"array\"><size>2147483647</size><a2147483647><port>1</port></a2147483647></ports>"
        "<devices type=\"array\"><size>2147483647</size>"
        "<a2147483647><device>X</device><supported>1</supported></a2147483647></devices>"
        "</connectbauds>\n";
    const std::string file = path("configs/connectbauds.brt");
    writeFile(file, damaged);
    {
        JSettingsImp imp;
        ASSERT_EQ(imp.open(file, "connectbauds"), 0);
        const std::string before = imp.print();
        EXPECT_EQ(imp.beginReadArray("bauds"), 1);
        EXPECT_EQ(imp.arrayIndexes(), std::vector<int32_t>{2147483646});
        std::string text;
        for (int32_t i = 0; i < 3; ++i) {  // even past the count
            imp.setArrayIndex(i);
            EXPECT_FALSE(imp.value("baud", text));
            EXPECT_FALSE(imp.value("g/baud", text));
            EXPECT_TRUE(imp.childKeys().empty());
        }
        imp.setArrayIndex(2147483646);  // the item that is there
        EXPECT_TRUE(imp.value("baud", text));
        EXPECT_EQ(text, "9600");
        EXPECT_EQ(imp.print(), before);  // reading created no element
        imp.endArray();
        EXPECT_EQ(imp.print(), before);
    }
    // The program's reader: every array has an item, so no defaults are
    // written; the one item of each, within its size, is read at once; and
    // the file, only read, is not written.
    const ino_t before = inode(file);
    ConnectBaudsConfig config;
    std::vector<int32_t> bauds, ports, data;
    std::vector<std::wstring> names;
    config.read(bauds, ports, names, data);
    EXPECT_EQ(bauds, std::vector<int32_t>{9600});
    EXPECT_EQ(ports, std::vector<int32_t>{1});
    EXPECT_EQ(names, std::vector<std::wstring>{L"X"});
    EXPECT_EQ(inode(file), before);
    EXPECT_EQ(readFile(file), damaged);
}

TEST_F(SettingsDamageTest, ReadingGroupsAndArraysThatAreMissingCreatesNothing) {
    writeFile(file(), kDecl + "<k>\n    <v>1</v>\n</k>\n");
    const ino_t before = inode(file());
    {
        JSettings s(wfile(), L"k");
        EXPECT_TRUE(s.beginGroup(L"g/h"));
        EXPECT_EQ(s.beginReadArray(L"arr"), 0);
        s.setArrayIndex(5);
        EXPECT_EQ(s.value(L"x/y", int32_t(7)), 7);
        EXPECT_TRUE(s.childGroups().empty());
        s.endArray();
        EXPECT_TRUE(s.endGroup());
    }
    // Not even written again: the same file, untouched.
    EXPECT_EQ(inode(file()), before);
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>1</v>\n</k>\n");
    // A group opened before anything is in it takes a write all the same.
    {
        JSettings s(wfile(), L"k");
        s.beginGroup(L"g/h");
        s.beginWriteArray(L"arr", -1);
        s.setArrayIndex(0);
        EXPECT_TRUE(s.setValue(L"x", int32_t(3)));
        s.endArray();
        s.endGroup();
    }
    JSettings s(wfile(), L"k");
    s.beginGroup(L"g/h");
    EXPECT_EQ(s.beginReadArray(L"arr"), 1);
    s.setArrayIndex(0);
    EXPECT_EQ(s.value(L"x", int32_t(0)), 3);
}

TEST_F(SettingsDamageTest, AFileThatWouldNotReadBackTheSameIsRefusedOnceAndKeptAsBak) {
    struct Case {
        const char* name;
        std::string value;  // the bytes inside <v>...</v>
    };
    const Case cases[] = {
        {"Latin-1 byte", "caf\xE9"},                    // e-acute as one byte: not UTF-8
        {"lead byte before an entity", "\xC3&amp;x"},  // C3 swallows the '&'
        {"lone continuation byte", "a\x80z"},
        {"overlong slash", "\xC0\xAF"},
        {"surrogate as a reference", "&#xD800;"},      // reads as bytes that are not UTF-8
        {"zero byte", std::string("a\0b", 3)},
        // Parses, but is printed as nothing: the printed text loads as
        // another document, which would be printed differently again.
        {"declaration inside an element", "1<?xml version=\"1.0\" ?>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove((file() + ".bak").c_str());
        const std::string damaged = kDecl + "<k>\n    <v>" + c.value + "</v>\n    <w>2</w>\n</k>\n";
        writeFile(file(), damaged);
        EXPECT_EQ(probe(wfile(), L"k"), JSettings::kFileNotLoaded);
        EXPECT_EQ(readFile(file()), damaged);  // a probe writes nothing
        {
            JSettings s(wfile(), L"k");
            EXPECT_EQ(s.value(L"w", int32_t(0)), 0);  // a fresh document
            s.setValue(L"w", int32_t(3));
        }
        EXPECT_EQ(readFile(file() + ".bak"), damaged);
        // Refused once: what was written loads, and stays as it is.
        EXPECT_EQ(probe(wfile(), L"k"), JSettings::kOk);
        const std::string fresh = readFile(file());
        EXPECT_EQ(fresh, kDecl + "<k>\n    <w>3</w>\n</k>\n");
        { JSettings s(wfile(), L"k"); EXPECT_EQ(s.value(L"w", int32_t(0)), 3); }
        EXPECT_EQ(readFile(file()), fresh);
    }
}

// The check for UTF-8 goes over plain ASCII several bytes at a time: a
// foreign byte is found at every place among them, the file's last byte
// included, and a letter written in UTF-8 there is taken.
TEST_F(SettingsDamageTest, AByteThatIsNotUtf8IsFoundWhereverItStands) {
    for (size_t lead = 0; lead <= 17; ++lead) {
        SCOPED_TRACE(lead);
        const std::string before = kDecl + "<k>\n    <v>" + std::string(lead, 'x');
        const std::string after = "</v>\n</k>\n";
        writeFile(file(), before + "\xE9" + after);
        EXPECT_EQ(probe(wfile(), L"k"), JSettings::kFileNotLoaded);
        writeFile(file(), before + "\xC3\xA9" + after);
        JSettings s;
        ASSERT_EQ(s.open(wfile(), L"k"), JSettings::kOk);
        std::wstring value;
        s.value(L"v", value);
        EXPECT_EQ(value, std::wstring(lead, L'x') + L"\u00E9");
    }
    // The very last byte of a file.
    writeFile(file(), kDecl + "<k />\n\xE9");
    EXPECT_EQ(probe(wfile(), L"k"), JSettings::kFileNotLoaded);
}

TEST_F(SettingsDamageTest, TextsOutsideAsciiAndEntitiesRoundTripWithoutDrift) {
    // Valid UTF-8 of two, three and four bytes, references and an
    // ampersand that starts no entity: saved, loaded, saved again.
    writeFile(file(), kDecl + "<k>\n    <v>\xC3\xBC \xE6\x9D\xB1 \xF0\x9F\x98\x80 &#x41;&amp;b &x</v>\n</k>\n");
    std::wstring first;
    {
        JSettings s(wfile(), L"k");
        s.value(L"v", first);
        s.setValue(L"n", int32_t(1));
    }
    // The XML reader drops an ampersand that starts no entity: what it
    // read is what is saved, and that then stays.
    EXPECT_EQ(first, L"\u00fc \u6771 \U0001F600 A&b x");
    const std::string saved = readFile(file());
    for (int round = 0; round < 3; ++round) {
        JSettings s(wfile(), L"k");
        std::wstring again;
        s.value(L"v", again);
        EXPECT_EQ(again, first);
        s.setValue(L"n", int32_t(round));  // forces a save of the text read
        s.setValue(L"n", int32_t(1));
    }
    EXPECT_EQ(readFile(file()), saved);
}

TEST_F(SettingsDamageTest, TheDeclarationWrittenIsTheProgramsOwn) {
    // A declaration with a quote in its encoding, an unknown version and a
    // second declaration further down.
    writeFile(file(),
              "<?xml version='2.5' encoding='UT\"F' standalone='no' ?>\n<k>\n    <v>1</v>\n</k>\n"
              "<?xml version=\"1.0\" ?>\n");
    {
        JSettings s(wfile(), L"k");
        ASSERT_EQ(s.value(L"v", int32_t(0)), 1);
        s.setValue(L"v", int32_t(2));
    }
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>2</v>\n</k>\n");
    EXPECT_EQ(probe(wfile(), L"k"), JSettings::kOk);
}

TEST_F(SettingsDamageTest, ASaveGoesThroughALinkAndKeepsTheMode) {
    makeDir("real");
    writeFile(path("real/t.brt"), kDecl + "<k />\n");
    ASSERT_EQ(::chmod(path("real/t.brt").c_str(), 0604), 0);
    ASSERT_EQ(::symlink("../real/t.brt", file().c_str()), 0);
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"v", int32_t(5));
    }
    struct stat st {};
    ASSERT_EQ(::lstat(file().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(path("real/t.brt")), kDecl + "<k>\n    <v>5</v>\n</k>\n");
    ASSERT_EQ(::stat(path("real/t.brt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    // No temporary left beside the link nor beside the file.
    EXPECT_TRUE(temporaries().empty());
    for (const auto& e : std::filesystem::directory_iterator(path("real")))
        EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

TEST_F(SettingsDamageTest, StaleTemporariesGoOnTheNextSaveButOneInUseStays) {
    writeFile(file(), kDecl + "<k />\n");
    const std::string old = file() + ".tmp";                // an earlier version's fixed name
    const std::string stale = file() + ".4242-777.tmp";     // a save that was killed
    const std::string inUse = file() + ".4343-888.tmp";     // a save going on right now
    const std::string other = path("configs/other.brt.1-2.tmp");  // another file's
    for (const std::string& p : {old, stale, inUse, other}) writeFile(p, "half");
    const int held = ::open(inUse.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"v", int32_t(1));
        EXPECT_EQ(s.save(), 0);
    }
    EXPECT_FALSE(exists(old));
    EXPECT_FALSE(exists(stale));
    EXPECT_TRUE(exists(inUse));
    EXPECT_TRUE(exists(other));
    ::close(held);
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>1</v>\n</k>\n");
}

TEST_F(SettingsDamageTest, AReadDoesNotPutAnOlderStateOverAnotherSave) {
    writeFile(file(), kDecl + "<k>\n    <v>1</v>\n</k>\n");
    JSettings reader(wfile(), L"k");
    EXPECT_EQ(reader.value(L"v", int32_t(0)), 1);
    {
        JSettings writer(wfile(), L"k");
        writer.setValue(L"v", int32_t(2));
    }
    EXPECT_EQ(reader.save(), 0);  // nothing of its own changed: nothing written
    EXPECT_EQ(readFile(file()), kDecl + "<k>\n    <v>2</v>\n</k>\n");
}

// Two programs save the same file over and over; both are killed with
// SIGKILL at a different point of their saves in every round. The file left
// behind always loads and holds one of the two documents whole.
TEST_F(SettingsDamageTest, KillingTwoProgramsInTheMiddleOfTheirSavesLeavesAFileThatLoads) {
    constexpr int kRounds = 24;
    constexpr int kItems = 300;  // a document of some 20 KB, so a save takes a while
    auto saveForever = [&](int writer, int pipeFd) {
        for (int32_t n = 0;; ++n) {
            {
                JSettings s(wfile(), L"k");
                s.beginWriteArray(L"list", kItems);
                for (int32_t i = 0; i < kItems; ++i) {
                    s.setArrayIndex(i);
                    s.setValue(L"writer", int32_t(writer));
                    s.setValue(L"n", n);
                }
                s.endArray();
            }
            const char done = 1;
            if (::write(pipeFd, &done, 1) != 1) ::_exit(2);
        }
    };
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        pid_t children[2];
        for (int w = 0; w < 2; ++w) {
            children[w] = ::fork();
            ASSERT_GE(children[w], 0);
            if (children[w] == 0) {
                ::close(fds[0]);
                saveForever(w + 1, fds[1]);
                ::_exit(0);
            }
        }
        ::close(fds[1]);
        // Let a different number of saves finish in each round, then kill
        // both wherever they are.
        const int saves = 1 + round % 5;
        for (int got = 0; got < saves;) {
            char c;
            const ssize_t n = ::read(fds[0], &c, 1);
            if (n == 1) ++got;
            else if (n == 0) break;
        }
        for (pid_t child : children) ::kill(child, SIGKILL);
        for (pid_t child : children) ::waitpid(child, nullptr, 0);
        ::close(fds[0]);

        JSettings s;
        ASSERT_EQ(s.open(wfile(), L"k"), JSettings::kOk);
        ASSERT_EQ(s.beginReadArray(L"list"), kItems);
        s.setArrayIndex(0);
        const int32_t writer = s.value(L"writer", int32_t(0));
        const int32_t n = s.value(L"n", int32_t(-1));
        EXPECT_TRUE(writer == 1 || writer == 2);
        // Whole: every item is from the same save.
        s.setArrayIndex(kItems - 1);
        EXPECT_EQ(s.value(L"writer", int32_t(0)), writer);
        EXPECT_EQ(s.value(L"n", int32_t(-1)), n);
        s.endArray();
        EXPECT_FALSE(exists(file() + ".bak"));
    }
    // The temporaries of the killed saves go with the next save.
    {
        JSettings s(wfile(), L"k");
        s.setValue(L"after", int32_t(1));
    }
    EXPECT_TRUE(temporaries().empty());
}

}  // namespace
