#pragma once

// The launcher's own resources: its string table, its icon and its
// "METRICS" geometry, built into the library.

#include <cstddef>
#include <cstdint>

namespace today {

constexpr unsigned IDS_TITLE = 102;
constexpr unsigned IDS_PROGRAM = 103;
constexpr unsigned IDI_PROGRAM = 102;

// Copies string `id` into buffer (at most capacity - 1 characters and a
// terminating zero); returns the characters copied, 0 when there is none.
int LoadStringResource(unsigned id, wchar_t* buffer, int capacity);
// The PNG picture of icon `id`, or null.
const uint8_t* FindIconResource(unsigned id, size_t* size);
// A raw-data resource by name, or null.
const uint8_t* FindRawResource(const wchar_t* name, size_t* size);

}  // namespace today
