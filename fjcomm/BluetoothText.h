#pragma once

// The text forms the Bluetooth binding goes through: a GUID as the system
// writes it, and a 48-bit device address as 12 hexadecimal digits. Parsed
// without the C locale; every field is checked against its width before it
// is stored.

#include "platform/Bluetooth.h"

#include <cstdint>
#include <string>

namespace Fjarnis2011 {
namespace FJComm {

// "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x": each field one to its
// width of hexadecimal digits, all eleven present; trailing white space (or
// anything after the last field) is ignored. False for a null text or a
// missing field; *guid is written only on success.
bool ParseGuidText(const char* text, platform::BluetoothGuid* guid);

// Leading spaces, exactly 12 hexadecimal digits (either case, most
// significant first), then a space or the end. *address is written only on
// success.
bool ParseDeviceAddressText(const char* text, uint64_t* address);

// The address as the binding writes it: the upper 32 bits with "%04x" and the
// lower 32 bits with "%08x", after masking to 48 bits (so always 12 digits).
std::string DeviceAddressText(uint64_t address);

}  // namespace FJComm
}  // namespace Fjarnis2011
