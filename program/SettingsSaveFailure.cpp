#include "program/SettingsSaveFailure.h"

#include "program/JSettings.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// The readers and the pages run on the GUI thread; the atomics and the
// mutex only keep a stray use elsewhere harmless.
std::atomic<int32_t> g_pendingFailure{0};
std::atomic<bool> g_failureShown{false};

// The failures told so far in this run, by code.
std::mutex g_toldMutex;
std::vector<int32_t> g_told;

// True the first time a failure of this code is to be told in this run.
bool FirstTelling(int32_t code) {
    const std::lock_guard<std::mutex> hold(g_toldMutex);
    if (std::find(g_told.begin(), g_told.end(), code) != g_told.end()) return false;
    g_told.push_back(code);
    return true;
}

}  // namespace

void ShowSettingsSaveFailure(QWidget* parent, int32_t error) {
    const QString reason = QString::fromStdWString(JSettings::errorText(error < 0 ? -error : error));
    const QString text = error < 0
                             ? QCoreApplication::translate("SettingsSaveFailure", "The settings could not be read: %1")
                             : QCoreApplication::translate("SettingsSaveFailure", "The settings could not be saved: %1");
    QMessageBox::warning(parent, QCoreApplication::translate("SettingsSaveFailure", "Warning"), text.arg(reason),
                         QMessageBox::Ok);
}

void ShowServerKeptAsNew(QWidget* parent) {
    QMessageBox::information(
        parent, QCoreApplication::translate("SettingsSaveFailure", "Information"),
        QCoreApplication::translate("SettingsSaveFailure",
                                    "The server had been deleted by another program; your changes were saved "
                                    "as a new server."),
        QMessageBox::Ok);
}

void NoteSettingsFailure(int32_t code) {
    int32_t none = 0;
    if (code != 0) g_pendingFailure.compare_exchange_strong(none, code);
}

void ShowPendingSettingsFailure(QWidget* parent) {
    const int32_t code = g_pendingFailure.load();
    if (code == 0 || g_failureShown.exchange(true)) return;
    if (FirstTelling(code)) ShowSettingsSaveFailure(parent, code);
}

void ShowSettingsFailureOnce(QWidget* parent, int32_t error) {
    if (error != 0 && FirstTelling(error)) ShowSettingsSaveFailure(parent, error);
}
