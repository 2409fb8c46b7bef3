#pragma once

// A small stand-in for the handheld's home screen, on Qt: it loads the
// launcher library, lets it make its item window, and sends that window the
// shell's messages (creation, background, paint, taps, the refresh query),
// answering the launcher's calls through the table of QtTodayPlatform().

#include "today/TodayPlatform.h"

#include <QString>
#include <QWidget>

namespace todayhost {

// The calls the launcher makes, carried out on Qt widgets; the program
// named by a launch is looked for in the program folder.
const today::TodayPlatform& QtTodayPlatform();

class TodayScreen : public QWidget {
public:
    // Where the item row sits on the screen, below the date band.
    static constexpr int kItemTop = 64;

    TodayScreen();
    ~TodayScreen() override;

    // Loads the launcher and has it make its item; false with a reason.
    bool loadItem(const QString& library, QString* error);
    today::HWND handle() const { return handle_; }
    QWidget* item() const;
    today::TODAYLISTITEM& record() { return record_; }

    // The shell's ready event ("SYSTEM/ShellAPIReady").
    static void setShellReady(bool ready);
    // Asks the item whether its height changed and applies the answer.
    today::LRESULT queryRefresh();

    // The shell's messages that reach the screen window itself.
    today::LRESULT handleMessage(uint32_t message, today::WPARAM wParam, today::LPARAM lParam);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void paintWatermark(class QPainter& painter, const QRect& area, const QPoint& origin) const;

    today::HWND handle_ = 0;
    today::HWND itemHandle_ = 0;
    void* library_ = nullptr;
    today::TODAYLISTITEM record_{};
    int refreshTimer_ = 0;

    void timerEvent(QTimerEvent* event) override;
};

}  // namespace todayhost
