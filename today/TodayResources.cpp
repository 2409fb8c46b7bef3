#include "today/TodayResources.h"

#include "today/TodayIconData.h"

#include <cwchar>

namespace today {

namespace {

struct StringEntry {
    unsigned id;
    const wchar_t* text;
};

const StringEntry kStrings[] = {
    {IDS_TITLE, L"Brantor"},
    {IDS_PROGRAM, L"\\Program Files\\Brantor\\Brantor.exe"},
};

// Window width 240, window height 40, icon cell width 40, item height 40,
// icon size 32: each 16 bits, low byte first.
const uint8_t kMetrics[10] = {
    0xF0, 0x00,  // window width 240
    0x28, 0x00,  // window height 40
    0x28, 0x00,  // icon cell width 40
    0x28, 0x00,  // item height 40
    0x20, 0x00,  // icon size 32
};

}  // namespace

int LoadStringResource(unsigned id, wchar_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    for (const StringEntry& e : kStrings) {
        if (e.id != id) continue;
        const size_t n = std::wcslen(e.text);
        const size_t copied = n < size_t(capacity - 1) ? n : size_t(capacity - 1);
        std::wmemcpy(buffer, e.text, copied);
        buffer[copied] = L'\0';
        return int(copied);
    }
    return 0;
}

const uint8_t* FindIconResource(unsigned id, size_t* size) {
    if (id != IDI_PROGRAM || !size) return nullptr;
    *size = kTodayIconPngSize;
    return kTodayIconPng;
}

const uint8_t* FindRawResource(const wchar_t* name, size_t* size) {
    if (!name || !size || std::wcscmp(name, L"METRICS") != 0) return nullptr;
    *size = sizeof(kMetrics);
    return kMetrics;
}

}  // namespace today
