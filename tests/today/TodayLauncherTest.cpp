// The home-screen launcher as the shell uses it: loaded into the Qt host
// that plays the home screen, sent its paint, tap and refresh messages, and
// made to start a stub program from the test's program folder. A few of the
// host's calls are recorded on the way (launches, message boxes, text).

#include "platform/Paths.h"
#include "platform/Time.h"
#include "today/TodayMetrics.h"
#include "today/host/TodayScreen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

using namespace today;

namespace {

struct Launch {
    std::wstring file;
    uint32_t mask;
    int show;
    uintptr_t process;
};
struct Box {
    QString text;
    QString caption;
};
struct TextCall {
    RECT rect;
    uint32_t format;
};

// What the test's table records and how it differs from the host's.
std::vector<Launch> g_launches;
std::vector<Box> g_boxes;
std::vector<TextCall> g_texts;
bool g_realLaunch = true;
int g_createX = CW_USEDEFAULT;

TodayPlatform g_table;

bool RecordedShellExecute(SHELLEXECUTEINFO* info) {
    bool ok = true;
    if (g_realLaunch)
        ok = todayhost::QtTodayPlatform().ShellExecuteEx(info);
    g_launches.push_back({info->lpFile ? info->lpFile : L"", info->fMask, info->nShow, ok ? info->hProcess : 0});
    return ok;
}

int RecordedMessageBox(HWND, const wchar_t* text, const wchar_t* caption, uint32_t) {
    g_boxes.push_back({QString::fromWCharArray(text), QString::fromWCharArray(caption)});
    return 1;
}

int RecordedDrawText(HDC dc, const wchar_t* text, int length, RECT* rect, uint32_t format) {
    const int height = todayhost::QtTodayPlatform().DrawText(dc, text, length, rect, format);
    g_texts.push_back({*rect, format});
    return height;
}

HWND PlacedCreateWindow(uint32_t exStyle, const wchar_t* cls, const wchar_t* title, uint32_t style, int x, int y,
                        int width, int height, HWND parent, HINSTANCE instance) {
    if (x == CW_USEDEFAULT) x = g_createX;
    return todayhost::QtTodayPlatform().CreateWindowEx(exStyle, cls, title, style, x, y, width, height, parent,
                                                       instance);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const TodayPlatform* TodayHostPlatform() {
    g_table = todayhost::QtTodayPlatform();
    g_table.ShellExecuteEx = &RecordedShellExecute;
    g_table.MessageBox = &RecordedMessageBox;
    g_table.DrawText = &RecordedDrawText;
    g_table.CreateWindowEx = &PlacedCreateWindow;
    return &g_table;
}

namespace {

// Each case starts from the host's first state and the recorded calls empty,
// so that the cases pass run whole as well as one per process.
void ResetRecordings() {
    g_launches.clear();
    g_boxes.clear();
    g_texts.clear();
    g_realLaunch = true;
    g_createX = CW_USEDEFAULT;
    todayhost::TodayScreen::setShellReady(false);
}

class TodayLauncherTest : public testing::Test {
protected:
    void SetUp() override {
        ResetRecordings();
        ASSERT_TRUE(folder_.isValid());
        platform::SetProgramFolder(folder_.path().toStdString());
        platform::SetUtcClock([] {
            platform::UtcTime t;
            t.year = 2026;
            t.month = 3;
            t.day = 5;
            return t;
        });
    }
    void TearDown() override {
        delete screen_;
        ResetRecordings();
        platform::SetUtcClock(nullptr);
        platform::SetProgramFolder(std::string());
    }
    void load() {
        screen_ = new todayhost::TodayScreen();
        QString error;
        ASSERT_TRUE(screen_->loadItem(QStringLiteral(TODAY_LIBRARY_PATH), &error)) << error.toStdString();
        screen_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(screen_));
        ASSERT_NE(screen_->item(), nullptr);
    }
    HWND itemHandle() const { return screen_->record().hwndCustom; }
    LRESULT send(uint32_t message, WPARAM wParam, LPARAM lParam) {
        return g_table.SendMessage(itemHandle(), message, wParam, lParam);
    }
    static LPARAM at(int x, int y) { return LPARAM((uint32_t(uint16_t(y)) << 16) | uint16_t(x)); }
    void writeProgram(const QByteArray& body, QFile::Permissions permissions) {
        QFile f(folder_.path() + QStringLiteral("/Brantor"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(body);
        f.close();
        ASSERT_TRUE(f.setPermissions(permissions));
    }

    QTemporaryDir folder_;
    todayhost::TodayScreen* screen_ = nullptr;
};

TEST_F(TodayLauncherTest, AReleaseStartsTheProgramOnlyInsideTheRowLessItsEdgeColumns) {
    g_realLaunch = false;
    load();
    EXPECT_EQ(screen_->item()->width(), 240);
    struct Case {
        int x;
        int y;
        bool starts;
    };
    const Case cases[] = {
        {0, 20, false},   {1, 20, false},  {2, 20, true},    {120, 0, true},  {120, 39, true},
        {120, 300, true},  // the height is not looked at
        {238, 20, true},  {239, 20, false}, {240, 20, false}, {1000, 20, false},
    };
    for (const Case& c : cases) {
        g_launches.clear();
        send(WM_LBUTTONDOWN, 1, at(c.x, c.y));
        EXPECT_TRUE(g_launches.empty()) << "a press starts nothing";
        send(WM_LBUTTONUP, 0, at(c.x, c.y));
        EXPECT_EQ(g_launches.size(), c.starts ? 1u : 0u) << "x " << c.x << " y " << c.y;
    }
    g_launches.clear();
    QTest::mouseClick(screen_->item(), Qt::LeftButton, {}, QPoint(60, 10));
    ASSERT_EQ(g_launches.size(), 1u) << "a tap on the row";
    EXPECT_EQ(g_launches[0].file, L"\\Program Files\\Brantor\\Brantor.exe");
    EXPECT_EQ(g_launches[0].mask, 0x440u);
    EXPECT_EQ(g_launches[0].show, 5);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(TodayLauncherTest, TapsCountInTheItemsOwnCoordinatesWhereverItWasPlaced) {
    g_realLaunch = false;
    g_createX = 30;  // a shell that places the item 30 pixels in
    load();
    send(WM_LBUTTONUP, 0, at(10, 20));
    EXPECT_EQ(g_launches.size(), 1u) << "x 10 lies on the row of the item's own pixels 0..239";
    g_launches.clear();
    send(WM_LBUTTONUP, 0, at(239, 20));
    EXPECT_TRUE(g_launches.empty());
}

TEST_F(TodayLauncherTest, ATapStartsTheProgramFromTheProgramFolderAndReapsIt) {
    writeProgram("#!/bin/sh\necho started > \"$0.ran\"\n",
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    load();
    QTest::mouseClick(screen_->item(), Qt::LeftButton, {}, QPoint(120, 20));
    ASSERT_EQ(g_launches.size(), 1u);
    const pid_t pid = pid_t(g_launches[0].process);
    ASSERT_GT(pid, 0) << "the new process is kept";
    const QString ran = folder_.path() + QStringLiteral("/Brantor.ran");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(ran); }, 10000)) << "the program ran";
    // Reaped: no zombie is left behind, the process is gone entirely.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(pid, 0) == -1 && errno == ESRCH; }, 10000));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(TodayLauncherTest, AFailedLaunchShowsTheBoxForItsCode) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        QString text;
        QString caption;
    };
    const QString notDir = folder_.path() + QStringLiteral("/plain-file");
    const std::vector<Case> cases = {
        {"missing program", [] {}, "File Not Found!", "File Not Found!"},
        {"program folder is a file",
         [&] {
             QFile f(notDir);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             platform::SetProgramFolder(notDir.toStdString());
         },
         "Path Not Found!", "Path Not Found!"},
        {"not executable",
         [&] {
             platform::SetProgramFolder(folder_.path().toStdString());
             writeProgram("#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner);
         },
         "Access Denied!", "Acess Denied!"},
    };
    load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        g_boxes.clear();
        send(WM_LBUTTONUP, 0, at(120, 20));
        ASSERT_EQ(g_boxes.size(), 1u);
        EXPECT_EQ(g_boxes[0].text, c.text);
        EXPECT_EQ(g_boxes[0].caption, c.caption);
    }
    // The row stays usable.
    writeProgram("#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    g_boxes.clear();
    send(WM_LBUTTONUP, 0, at(120, 20));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(TodayLauncherTest, TheFirstRefreshQueryAfterTheShellIsReadyReportsTheHeight) {
    load();
    todayhost::TodayScreen::setShellReady(false);
    TODAYLISTITEM& record = screen_->record();
    record.cyp = 0;
    EXPECT_EQ(send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, WPARAM(&record), 0), 0) << "shell not ready";
    EXPECT_EQ(record.cyp, 0u);
    EXPECT_EQ(send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, 0), 0) << "no record";
    todayhost::TodayScreen::setShellReady(true);
    EXPECT_EQ(screen_->queryRefresh(), 1);
    EXPECT_EQ(record.cyp, 40u);
    EXPECT_EQ(screen_->item()->height(), 40);
    EXPECT_EQ(screen_->queryRefresh(), 0);
    EXPECT_EQ(send(WM_TODAYCUSTOM_QUERYREFRESHCACHE, WPARAM(&record), 0), 0);
}

TEST_F(TodayLauncherTest, TheRowShowsTheIconAndTheCentredTitle) {
    load();
    QWidget* item = screen_->item();
    g_texts.clear();
    const QImage shot = item->grab().toImage();
    ASSERT_EQ(g_texts.size(), 2u);
    const TextCall measure = g_texts[0];
    const TextCall draw = g_texts[1];
    EXPECT_EQ(measure.format, DT_CALCRECT);
    EXPECT_EQ(measure.rect.left, 40) << "the title starts after the icon cell";
    EXPECT_EQ(measure.rect.top, 0);
    const int height = measure.rect.bottom - measure.rect.top;
    ASSERT_GT(height, 0);
    ASSERT_LT(height, 40);
    EXPECT_EQ(draw.format, DT_LEFT);
    EXPECT_EQ(draw.rect.top, (40 - height) / 2);
    EXPECT_EQ(draw.rect.left, 40);

    // The icon covers its 32 x 32 square at (4, 4); the watermark around it
    // is smooth, so the icon's square differs from the row's left edge.
    int differing = 0;
    const QColor edge = shot.pixelColor(1, 20);
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 36; ++x)
            if (shot.pixelColor(x, y) != edge) ++differing;
    EXPECT_GT(differing, 200);

    // A title taller than the row is drawn from the row's top.
    QFont big = item->font();
    big.setPixelSize(60);
    item->setFont(big);
    g_texts.clear();
    item->grab();
    ASSERT_EQ(g_texts.size(), 2u);
    EXPECT_GE(g_texts[0].rect.bottom - g_texts[0].rect.top, 40);
    EXPECT_EQ(g_texts[1].rect.top, 0);
    item->setFont(QFont());

    const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) screen_->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/today-host.png"));
}

// The geometry resource and the centring rule on their own.
TEST(TodayMetricsTest, TheResourceIsReadOnlyWhenItIsWhole) {
    const uint8_t bytes[10] = {
        0xF0, 0x00,  // window width 240
        0x28, 0x00,  // window height 40
        0x28, 0x00,  // icon cell width 40
        0x2A, 0x00,  // item height 42
        0x20, 0x01,  // icon size 288 (high byte second)
    };
    TodayMetrics m;
    ASSERT_TRUE(ReadTodayMetrics(bytes, sizeof bytes, &m));
    EXPECT_EQ(m.windowWidth, 240);
    EXPECT_EQ(m.windowHeight, 40);
    EXPECT_EQ(m.iconCellWidth, 40);
    EXPECT_EQ(m.itemHeight, 42);
    EXPECT_EQ(m.iconSize, 288);

    TodayMetrics untouched;
    untouched.itemHeight = 7;
    EXPECT_FALSE(ReadTodayMetrics(bytes, 9, &untouched)) << "one byte short";
    EXPECT_EQ(untouched.itemHeight, 7);
    EXPECT_FALSE(ReadTodayMetrics(nullptr, 10, &untouched));
    EXPECT_EQ(untouched.windowWidth, 0);
}

TEST(TodayMetricsTest, IconOffsetsAndTitleCentring) {
    TodayMetrics m;
    m.iconCellWidth = 40;
    m.itemHeight = 40;
    m.iconSize = 32;
    EXPECT_EQ(IconLeftOffset(m), 4);
    EXPECT_EQ(IconTopOffset(m), 4);
    struct Case {
        int height;
        int top;
    };
    for (const Case c : {Case{16, 12}, Case{15, 12}, Case{39, 0}, Case{40, 0}, Case{55, 0}}) {
        const RECT r = CentreTitle(RECT{40, 0, 100, c.height}, m);
        EXPECT_EQ(r.top, c.top) << c.height;
        EXPECT_EQ(r.bottom - r.top, c.height);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
