#include <cstdio>

#include "fjcomm/FJCore/Exception.h"
#include "program/AppLogger.h"
#include "platform/Time.h"
#include "tests/program/TestSupport.h"

namespace {

class AppLoggerTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        AppLogger::instance(std::string(), 0)->close();
    }
    void TearDown() override {
        AppLogger::instance(std::string(), 0)->close();
        platform::SetUtcClock({});
        ProgramFolderTest::TearDown();
    }
    static void fixClock(int year, int month, int day, int hour, int minute, int second) {
        platform::SetUtcClock([=] {
            platform::UtcTime t;
            t.year = year;
            t.month = month;
            t.day = day;
            t.hour = hour;
            t.minute = minute;
            t.second = second;
            return t;
        });
    }
};

TEST_F(AppLoggerTest, TimeTextIsUtcPlusEightWithTheDateCarried) {
    struct Case {
        int y, mo, d, h, mi, s;
        const char* text;
    };
    const Case cases[] = {
        {2026, 3, 5, 20, 15, 7, "2026-3-6  4:15:7"},
        {2026, 3, 5, 2, 0, 0, "2026-3-5 10:0:0"},
        {2025, 12, 31, 23, 59, 59, "2026-1-1  7:59:59"},
        {2024, 2, 28, 16, 0, 0, "2024-2-29  0:0:0"},
        {2023, 2, 28, 16, 0, 0, "2023-3-1  0:0:0"},
    };
    for (const Case& c : cases) {
        fixClock(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(AppLogger::timeText(), c.text);
    }
}

TEST_F(AppLoggerTest, WritesFormattedLinesAtOrAboveTheThreshold) {
    fixClock(2026, 3, 5, 20, 15, 7);
    const std::string file = path("app.log");
    {
        AppLogger log(file, 2);
        log.write(1, L"dropped %d", 1);
        log.write(2, L"%ls has %d items, %ls", L"list", 3, L"gr\u00fc\u00df");
        log.writeMessage(3, L"50% %d as it is");
        log.setLevel(5);
        log.write(4, L"dropped too");
        EXPECT_EQ(log.path(), file);
    }
    EXPECT_EQ(readFile(file),
              "2026-3-6  4:15:7 list has 3 items, gr\xC3\xBC\xC3\x9F [2]\n"
              "2026-3-6  4:15:7 50% %d as it is [3]\n");
    {
        AppLogger log(file, 0);  // appends
        log.write(0, L"third");
    }
    EXPECT_NE(readFile(file).find("\n2026-3-6  4:15:7 third [0]\n"), std::string::npos);
}

TEST_F(AppLoggerTest, ALongFormattedMessageIsCutAt1023Characters) {
    // The stamp pads single-digit hours with a space, so the clock is fixed
    // at both widths and the whole line compared.
    struct Case {
        int hour;
        const char* stamp;
    };
    const Case cases[] = {{20, "2026-3-6  4:15:7"}, {2, "2026-3-5 10:15:7"}};
    for (const Case& c : cases) {
        fixClock(2026, 3, 5, c.hour, 15, 7);
        const std::string file = path("app.log");
        std::remove(file.c_str());
        {
            AppLogger log(file, 0);
            log.write(1, L"%ls", std::wstring(5000, L'x').c_str());
        }
        EXPECT_EQ(readFile(file), std::string(c.stamp) + " " + std::string(1023, 'x') + " [1]\n");
    }
}

TEST_F(AppLoggerTest, AFileThatCannotBeOpenedThrowsAnException) {
    try {
        AppLogger log(path("missing/app.log"), 0);
        FAIL() << "no exception";
    } catch (Fjarnis2011::FJCore::Exception* e) {
        EXPECT_EQ(e->textCount(), 1u);
        EXPECT_EQ(e->text(0), "fail to open log file");
        EXPECT_EQ(e->firstNumber(), 0);
        EXPECT_EQ(e->secondNumber(), 0);
        delete e;
    }
    // An empty path opens nothing and throws nothing.
    AppLogger quiet(std::string(), 0);
    quiet.write(9, L"nowhere");
}

TEST_F(AppLoggerTest, AFailedWriteClosesAndTheNextInstanceIsNew) {
    // Every write to /dev/full fails when it is flushed.
    AppLogger* full = AppLogger::instance("/dev/full", 0);
    EXPECT_EQ(AppLogger::instance("ignored", 5), full);
    full->writeMessage(1, L"lost");  // closes and deletes the process-wide logger
    AppLogger* next = AppLogger::instance(path("next.log"), 0);
    EXPECT_EQ(next->path(), path("next.log"));
    next->writeMessage(1, L"kept");
    EXPECT_NE(readFile(path("next.log")).find(" kept [1]\n"), std::string::npos);
}

}  // namespace
