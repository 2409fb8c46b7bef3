#include "platform/Time.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace platform {

namespace {
std::mutex g_clockMutex;
std::function<UtcTime()> g_clock;

// Days since 1970-01-01 for a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

UtcTime FromSeconds(int64_t secs, int ms) {
    UtcTime t;
    int64_t days = secs / 86400;
    int64_t rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem % 3600 / 60);
    t.second = static_cast<int>(rem % 60);
    t.millisecond = ms;
    t.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // day 0 was a Thursday
    return t;
}
}  // namespace

uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

UtcTime UtcNow() {
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        if (g_clock) return g_clock();
    }
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const int64_t ms = duration_cast<milliseconds>(now).count();
    return FromSeconds(ms / 1000, static_cast<int>(ms % 1000));
}

void SetUtcClock(std::function<UtcTime()> clock) {
    std::lock_guard<std::mutex> lock(g_clockMutex);
    g_clock = std::move(clock);
}

UtcTime AddHours(const UtcTime& t, int hours) {
    const int64_t secs = DaysFromCivil(t.year, t.month, t.day) * 86400 +
                         int64_t(t.hour + hours) * 3600 + t.minute * 60 + t.second;
    return FromSeconds(secs, t.millisecond);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

}  // namespace platform
