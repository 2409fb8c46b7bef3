#include "fjcomm/BluetoothText.h"

namespace Fjarnis2011 {
namespace FJComm {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one to width hexadecimal digits at *p into *value; false when there
// is none.
bool ReadHex(const char*& p, int width, uint32_t* value) {
    uint32_t v = 0;
    int n = 0;
    while (n < width) {
        const int d = HexDigit(*p);
        if (d < 0) break;
        v = (v << 4) | uint32_t(d);
        ++p;
        ++n;
    }
    if (n == 0) return false;
    *value = v;
    return true;
}

}  // namespace

bool ParseGuidText(const char* text, platform::BluetoothGuid* guid) {
    if (text == nullptr || guid == nullptr) return false;
    const char* p = text;
    uint32_t fields[11];
    static constexpr int kWidth[11] = {8, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2};
    for (int i = 0; i < 11; ++i) {
        if (!ReadHex(p, kWidth[i], &fields[i])) return false;
        if (i == 0 || i == 1 || i == 2 || i == 4) {
            if (*p != '-') return false;
            ++p;
        }
    }
    guid->data1 = fields[0];
    guid->data2 = uint16_t(fields[1]);
    guid->data3 = uint16_t(fields[2]);
    for (int i = 0; i < 8; ++i) guid->data4[i] = uint8_t(fields[3 + i]);
    return true;
}

bool ParseDeviceAddressText(const char* text, uint64_t* address) {
    if (text == nullptr || address == nullptr) return false;
    const char* p = text;
    while (*p == ' ') ++p;
    uint64_t v = 0;
    for (int i = 0; i < 12; ++i) {
        const int d = HexDigit(p[i]);
        if (d < 0) return false;
        v = (v << 4) | uint64_t(d);
    }
    if (p[12] != ' ' && p[12] != '\0') return false;
    *address = v;
    return true;
}

std::string DeviceAddressText(uint64_t address) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const uint64_t masked = address & 0xFFFFFFFFFFFFull;
    std::string out(12, '0');
    for (int i = 11; i >= 0; --i) out[size_t(i)] = kDigits[(masked >> (4 * (11 - i))) & 0xF];
    return out;
}

}  // namespace FJComm
}  // namespace Fjarnis2011
