#pragma once

#include <cstdint>

class QWidget;

// A settings failure as the stores give it: 0 none; the system's error
// number (errno) of a save that failed; or, for a file that exists but could
// not be read, that error number negated (SettingsReadFailure). A store
// never saves over a file it could not read, so a change refused for that
// reason comes back as a read failure.
constexpr int32_t SettingsReadFailure(int32_t error) { return error > 0 ? -error : error; }

// Tells the user that a change of the settings could not be written, with
// the system's reason (the error number a settings save gives), in a modal
// warning over `parent`. The pages that save call it in place of their
// confirmation, so that a page never claims a change that is not on disk.
// A read failure (a negative code) is told as one: the change was refused
// because the file could not be read.
void ShowSettingsSaveFailure(QWidget* parent, int32_t error);

// Tells the user that the server he edited had been deleted by another
// program meanwhile, and that his edit was kept as a new server.
void ShowServerKeptAsNew(QWidget* parent);

// Remembers the first failure of a reader that could not keep its built-in
// defaults in its file (a folder that cannot be written, a full disk) or
// could not read that file. The readers go on with their defaults; the user
// is told once a run, by ShowPendingSettingsFailure.
void NoteSettingsFailure(int32_t code);
// Shows the failure noted so far, over `parent`, unless one was shown
// already in this run.
void ShowPendingSettingsFailure(QWidget* parent);
// Tells the failure of a save the program makes on its own (the last
// connection, the Bluetooth devices bound), unless the same failure has
// been told already in this run: a folder that cannot be written fails
// every such save for one reason, and the user hears it once.
void ShowSettingsFailureOnce(QWidget* parent, int32_t error);
