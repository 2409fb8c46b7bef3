#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32 like the
// tick count the receiver code was written for.
PLATFORM_API uint32_t TickCount();

PLATFORM_API void SleepMs(uint32_t ms);

// A broken-down calendar time (the fields of the system time record).
struct UtcTime {
    int year = 1970;
    int month = 1;      // 1..12
    int day = 1;        // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4;  // 0 Sunday; 1970-01-01 was a Thursday
};

// The current UTC time, from the system clock or from the clock a test set.
PLATFORM_API UtcTime UtcNow();

// Replaces the wall clock (tests); an empty function restores the system clock.
PLATFORM_API void SetUtcClock(std::function<UtcTime()> clock);

// Adds whole hours and carries into the date: hour 28 on the 9th becomes
// 04 on the 10th, across months, years and leap days.
PLATFORM_API UtcTime AddHours(const UtcTime& t, int hours);

// The local time the receiver software shows: UTC + 8 h, date carried.
inline UtcTime LocalDisplayTime() { return AddHours(UtcNow(), 8); }

PLATFORM_API bool IsLeapYear(int year);
PLATFORM_API int DaysInMonth(int year, int month);

}  // namespace platform
