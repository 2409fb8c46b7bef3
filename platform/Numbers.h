#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

// Numbers as text without the C locale: Qt sets the user's locale, and a
// German desktop must not turn "456.05" into 456.
namespace platform {

// Parses the whole text (leading '+' and surrounding spaces allowed) as an
// integer of type T; false on anything else or on overflow.
template <typename T>
bool ParseInt(std::string_view s, T& out, int base = 10) {
    static_assert(std::is_integral_v<T>);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    T v{};
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

// Parses the whole text as a decimal floating-point number; false otherwise.
inline bool ParseDouble(std::string_view s, double& out) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

// Like atof: parses the longest leading number, 0 when there is none.
inline double LeadingDouble(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    return v;
}

// Like atoi: the longest leading integer, 0 when there is none, clamped to int.
inline long long LeadingInt(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (ec == std::errc::result_out_of_range) return s.front() == '-' ? INT64_MIN : INT64_MAX;
    return v;
}

template <typename T>
std::string FormatInt(T v) {
    static_assert(std::is_integral_v<T>);
    char buf[32];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    return std::string(buf, ptr);
}

// Fixed notation with the given number of decimals ("430.0000000000000000").
inline std::string FormatFixed(double v, int decimals) {
    char buf[512];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buf, ptr);
}

// Shortest text that reads back to the same double.
inline std::string FormatShortest(double v) {
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc()) return "0";
    return std::string(buf, ptr);
}

}  // namespace platform
