#pragma once

// The handheld program's view of the soft keyboard and of the task-bar
// button that opens it, over the platform's soft-input backend.

#include <QRect>

#include <functional>

namespace SoftKeyboard {

// True when the keyboard is up. A query that fails counts as up, so that a
// field is rather lifted once too often than left under the keyboard.
bool isShown();
// Shows (true) or hides the keyboard.
void show(bool on);
// Hides or shows the task-bar keyboard button and its first child window;
// a window that is not there is skipped quietly.
void setTaskBarButtonVisible(bool visible);

// The lowest pixel row of the work area of a screen: the screen's available
// geometry, cut off above the keyboard while the keyboard covers it.
int workAreaBottom(int screen);
// Tests: where a screen's available geometry comes from (empty function:
// the screens themselves).
void setScreenAreaSource(std::function<QRect(int)> source);

}  // namespace SoftKeyboard
