#pragma once

#include <cstdint>

class QWidget;

// Tells the user that a change of the settings could not be written, with
// the system's reason (the error number a settings save gives), in a modal
// warning over `parent`. The pages that save call it in place of their
// confirmation, so that a page never claims a change that is not on disk.
void ShowSettingsSaveFailure(QWidget* parent, int32_t error);
