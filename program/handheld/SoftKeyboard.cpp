#include "program/handheld/SoftKeyboard.h"

#include "platform/SoftInput.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace SoftKeyboard {

namespace {

std::function<QRect(int)>& ScreenSource() {
    static std::function<QRect(int)> source;
    return source;
}

QRect ScreenArea(int screen) {
    if (ScreenSource()) return ScreenSource()(screen);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screen < 0 || screen >= screens.size()) return QRect();
    return screens[screen]->availableGeometry();
}

// The keyboard's record; false when the query failed.
bool Query(platform::SIPINFO* info) {
    *info = platform::SIPINFO{};
    info->cbSize = sizeof(platform::SIPINFO);
    return platform::CurrentSoftInputBackend()->SipGetInfo(info);
}

void ShowWindowAndChild(platform::SoftInputBackend& backend, int command) {
    const platform::WindowHandle button = backend.FindWindowW(L"MS_SIPBUTTON", L"MS_SIPBUTTON");
    if (!button || !backend.IsWindow(button)) return;
    backend.ShowWindow(button, command);
    const platform::WindowHandle child = backend.GetWindow(button, platform::GW_CHILD);
    if (!child || !backend.IsWindow(child)) return;
    backend.ShowWindow(child, command);
}

}  // namespace

bool isShown() {
    platform::SIPINFO info;
    if (!Query(&info)) return true;
    return (info.fdwFlags & platform::SIPF_ON) != 0;
}

void show(bool on) { platform::CurrentSoftInputBackend()->SipShowIM(on ? platform::SIPF_ON : platform::SIPF_OFF); }

void setTaskBarButtonVisible(bool visible) {
    ShowWindowAndChild(*platform::CurrentSoftInputBackend(), visible ? platform::SW_SHOW : platform::SW_HIDE);
}

int workAreaBottom(int screen) {
    const QRect area = ScreenArea(screen);
    int bottom = area.bottom();
    platform::SIPINFO info;
    if (screen == 0 && Query(&info) && (info.fdwFlags & platform::SIPF_ON) != 0 && !info.rcSipRect.isEmpty())
        bottom = std::min(bottom, int(info.rcSipRect.top) - 1);
    return bottom;
}

void setScreenAreaSource(std::function<QRect(int)> source) { ScreenSource() = std::move(source); }

}  // namespace SoftKeyboard
