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

namespace detail {

// Receivers send their numbers as plain decimals ("5541.1955", "-12", "1.00"),
// and the decoders read several per sentence, so those take a short path. Its
// result is the one from_chars gives: a mantissa up to 2^53 and a power of ten
// up to 10^22 are both exact doubles, and one IEEE division rounds their
// quotient correctly. Anything else (exponents, more digits, no leading digit)
// is left to from_chars.
inline bool PlainDecimal(const char* p, const char* end, double& out) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    uint64_t mantissa = 0;
    int digits = 0;
    const char* const intStart = p;
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p, ++digits) {
        if (digits == 19) return false;
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    if (p == intStart) return false;
    int decimals = 0;
    if (p != end && *p == '.') {
        for (++p; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p, ++digits, ++decimals) {
            if (digits == 19) return false;
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    if (p != end && (*p == 'e' || *p == 'E')) return false;
    if (mantissa > (uint64_t(1) << 53) || decimals > 22) return false;
    double v = static_cast<double>(mantissa);
    if (decimals) v /= kPow10[decimals];
    out = negative ? -v : v;
    return true;
}

// Where the number of atof or atoi starts: after blanks and one '+'.
inline const char* NumberStart(const char* p, const char* end) {
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p != end && *p == '+') ++p;
    return p;
}

}  // namespace detail

// Like atof: parses the longest leading number, 0 when there is none.
inline double LeadingDouble(std::string_view s) {
    const char* const end = s.data() + s.size();
    const char* const p = detail::NumberStart(s.data(), end);
    double v = 0;
    if (detail::PlainDecimal(p, end, v)) return v;
    std::from_chars(p, end, v, std::chars_format::general);
    return v;
}

// Like atoi: the longest leading integer, 0 when there is none, clamped to int.
inline long long LeadingInt(std::string_view s) {
    const char* const end = s.data() + s.size();
    const char* const start = detail::NumberStart(s.data(), end);
    // Up to 18 digits cannot overflow: read them here, the rest by from_chars.
    const char* p = start;
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    const char* const limit = end - p > 18 ? p + 18 : end;
    long long v = 0;
    for (; p != limit && static_cast<unsigned char>(*p - '0') < 10; ++p) v = v * 10 + (*p - '0');
    if (p == end || static_cast<unsigned char>(*p - '0') >= 10) return negative ? -v : v;
    v = 0;
    const auto [ptr, ec] = std::from_chars(start, end, v, 10);
    if (ec == std::errc::result_out_of_range) return *start == '-' ? INT64_MIN : INT64_MAX;
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
