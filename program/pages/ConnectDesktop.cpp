// The desktop build's Connect page has no Bluetooth search of its own: it
// lists the devices bound before and reaches a Bluetooth receiver through a
// serial port the system has bound already.

#include "program/pages/Connect.h"

void Connect::createBluetoothSearch() {}

void Connect::releaseSearchObjects() {}

void Connect::onSearch() {}

void Connect::onStop() {}

bool Connect::bindSelectedDevice() { return resultCode_ == 0; }
