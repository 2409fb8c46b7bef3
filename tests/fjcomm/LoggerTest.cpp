#include "FJCommTestSupport.h"

#include "fjcomm/FJCore/Exception.h"
#include "fjcomm/Logger/Logger.h"
#include "platform/Paths.h"
#include "platform/Time.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <thread>

using namespace Fjarnis2011::FJCore;
using fjcomm_test::ReadFile;
using fjcomm_test::ScratchFolder;
using platform::UtcTime;

namespace {

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetProgramFolder(folder.path());
        platform::SetUtcClock([] { return UtcTime{2013, 5, 6, 17, 30, 5, 0, 1}; });
    }
    void TearDown() override { platform::SetUtcClock({}); }

    std::vector<std::string> Lines(const std::string& name) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(folder.file(name)));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ScratchFolder folder;
};

TEST_F(LoggerTest, LineFormatWithUtcPlusEightAndTheDateCarried) {
    struct Case {
        UtcTime utc;
        const char* text;
    };
    const Case cases[] = {
        {{2013, 5, 6, 17, 30, 5}, "2013-05-07 01:30:05"},   // hour 25 is 01 of the next day
        {{2013, 5, 6, 0, 10, 0}, "2013-05-06 08:10:00"},
        {{2012, 12, 31, 20, 0, 9}, "2013-01-01 04:00:09"},  // across the year
        {{2012, 2, 28, 16, 0, 0}, "2012-02-29 00:00:00"},   // onto a leap day
        {{2013, 5, 6, 15, 59, 59}, "2013-05-06 23:59:59"},
    };
    auto* logger = new Logger(5, "\\times.log", 0);
    for (const Case& c : cases) {
        platform::SetUtcClock([t = c.utc] { return t; });
        logger->Write("fix 4", 3);
    }
    logger->Close();
    const std::vector<std::string> lines = Lines("times.log");
    ASSERT_EQ(lines.size(), std::size(cases));
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], std::string(cases[i].text) + " fix 4 [3]");
}

TEST_F(LoggerTest, LevelsFormattingAndTruncation) {
    auto* logger = new Logger(6, "levels.log", 2);
    logger->Log(1, "below the minimum %d", 1);
    logger->Log(2, "port %d at %s", 3, "9600");
    logger->Log(5, "%s", std::string(2000, 'n').c_str());
    logger->Log(2, L"wide %ls %d", L"Gr\u00FC\u00DFe", 7);
    logger->Log(2, L"%ls", std::wstring(2000, L'w').c_str());
    logger->SetLevel(6);
    logger->Log(5, "now below");
    logger->WriteSeparator();
    logger->Close();

    const std::string prefix = "2013-05-07 01:30:05 ";
    const std::string text = ReadFile(folder.file("levels.log"));
    const std::string expected = prefix + "port 3 at 9600 [2]\n" +
                                 prefix + std::string(1023, 'n') + " [5]\n" +
                                 prefix + "wide Gr\xC3\xBC\xC3\x9F" "e 7 [2]\n" +
                                 prefix + std::string(1023, 'w') + " [2]\n" +
                                 "\n--------------------\n";
    EXPECT_EQ(text, expected);
}

TEST_F(LoggerTest, FileThatCannotBeOpenedThrowsTheCoreException) {
    Exception* caught = nullptr;
    try {
        new Logger(7, "no/such/folder/x.log", 0);
    } catch (Exception* e) {
        caught = e;
    }
    ASSERT_NE(caught, nullptr);
    EXPECT_EQ(caught->text(0), "fail to open log file");
    EXPECT_EQ(caught->textCount(), 1u);
    EXPECT_EQ(caught->firstNumber(), 0);
    EXPECT_EQ(caught->secondNumber(), 0);
    delete caught;

    // The library's own entry points catch it: no logger, nothing registered.
    EXPECT_EQ(CreateLogger("no/such/folder/socket.log", 1), nullptr);
    EXPECT_EQ(LoggerRegistry::Instance().Find(1), nullptr);
}

TEST_F(LoggerTest, RegistryAndTheDefaultLoggers) {
    LoggerRegistry& registry = LoggerRegistry::Instance();
    auto* first = new Logger(20, "", 0);
    auto* second = new Logger(20, "", 0);
    EXPECT_TRUE(registry.Add(20, first));
    EXPECT_FALSE(registry.Add(20, second)) << "number taken";
    EXPECT_EQ(registry.Find(20), first);
    second->Close();  // its creator frees it
    registry.Remove(second);  // absent: nothing
    EXPECT_EQ(registry.Find(20), first);
    registry.Remove(first);
    EXPECT_EQ(registry.Find(20), nullptr);
    first->Close();

    Logger* runtime = GetLogger();
    ASSERT_NE(runtime, nullptr);
    EXPECT_EQ(runtime->GetId(), 0);
    EXPECT_EQ(GetLogger(0), runtime);
    EXPECT_EQ(GetLogger(1), nullptr);
    EXPECT_EQ(GetActiveLogger(), runtime);
    runtime->Log(0, "started");
    EXPECT_EQ(Lines("runtime.log"), std::vector<std::string>{"2013-05-07 01:30:05 started [0]"});

    Logger* sockets = CreateLogger("\\socket.log", 1);
    ASSERT_NE(sockets, nullptr);
    EXPECT_EQ(sockets->GetId(), 1);
    EXPECT_EQ(sockets->GetPath(), "\\socket.log");
    EXPECT_EQ(CreateLogger("\\other.log", 0), sockets) << "logger 1 exists already";
    EXPECT_EQ(GetActiveLogger(), sockets);
    sockets->Log(0, "below its level");
    sockets->Log(1, "listening");
    EXPECT_EQ(Lines("socket.log"), std::vector<std::string>{"2013-05-07 01:30:05 listening [1]"});

    sockets->Close();
    EXPECT_EQ(GetLogger(1), nullptr);
    EXPECT_EQ(GetActiveLogger(), runtime);
}

TEST_F(LoggerTest, LoggerWithoutFileLeavesTheRegistryAtItsFirstWrite) {
    auto* logger = new Logger(21, "", 0);
    ASSERT_TRUE(LoggerRegistry::Instance().Add(21, logger));
    logger->Write("lost", 0);
    EXPECT_EQ(LoggerRegistry::Instance().Find(21), nullptr);
    // A thread that still holds it may go on using it: nothing is written.
    logger->Log(0, "later");
    logger->WriteSeparator();
    EXPECT_EQ(logger->GetId(), 21);
}

TEST_F(LoggerTest, FailedWriteClosesTheLoggerWhileOtherThreadsStillHoldIt) {
    // A log file on a full disk: writes succeed into the buffer, the flush fails.
    ASSERT_EQ(symlink("/dev/full", folder.file("full.log").c_str()), 0);
    auto* logger = new Logger(22, "full.log", 0);
    ASSERT_TRUE(LoggerRegistry::Instance().Add(22, logger));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([logger] {
            for (int i = 0; i < 200; ++i) logger->Log(0, "line %d", i);
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(LoggerRegistry::Instance().Find(22), nullptr);
}

TEST_F(LoggerTest, ConcurrentLinesNeverMix) {
    ASSERT_TRUE(LoggerRegistry::Instance().Add(23, new Logger(23, "\\busy.log", 0)));
    constexpr int kThreads = 8, kLines = 250;
    std::vector<std::thread> threads;
    // Every thread also reaches for the default logger, whose first use
    // creates it: one thread makes it, all get the same.
    std::vector<Logger*> defaults(kThreads);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &defaults] {
            defaults[t] = GetLogger();
            for (int i = 0; i < kLines; ++i) LoggerRegistry::Instance().Find(23)->Log(t, "thread %d line %d", t, i);
        });
    for (std::thread& t : threads) t.join();

    const std::vector<std::string> lines = Lines("busy.log");
    ASSERT_EQ(lines.size(), size_t(kThreads * kLines));
    // "2013-05-07 01:30:05 thread T line I [T]", whole and alone on its line.
    auto parse = [](const std::string& line, int& t, int& i, int& level) {
        const std::string head = "2013-05-07 01:30:05 thread ";
        if (line.compare(0, head.size(), head) != 0) return false;
        const char* p = line.data() + head.size();
        const char* end = line.data() + line.size();
        auto number = [&](int& v) {
            const auto r = std::from_chars(p, end, v);
            p = r.ptr;
            return r.ec == std::errc();
        };
        auto literal = [&](std::string_view s) {
            if (size_t(end - p) < s.size() || std::string_view(p, s.size()) != s) return false;
            p += s.size();
            return true;
        };
        return number(t) && literal(" line ") && number(i) && literal(" [") && number(level) && literal("]") &&
               p == end;
    };
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : lines) {
        int t = -1, i = -1, level = -1;
        ASSERT_TRUE(parse(line, t, i, level)) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(level, t);
        EXPECT_EQ(i, next[t]++) << "each thread's lines in order";
    }
    for (Logger* d : defaults) EXPECT_EQ(d, defaults[0]);
    LoggerRegistry::Instance().Find(23)->Close();
}

}  // namespace
