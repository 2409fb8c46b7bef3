#pragma once

// The task interface lives in the port library, whose Bluetooth search is a
// task the program runs on its WorkerThread.
#include "fjcomm/ITask.h"
