#pragma once

#include "platform/Numbers.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

// How numbers are written into and read from the settings files. Everything
// here is independent of the C locale: a German desktop writes and reads
// "456.0500000000000000", never "456,05...".

// A text made of decimal digits only, without overflow.
inline bool ParseDecimalDigits(std::string_view s, int32_t& out) {
    if (s.empty()) return false;
    int32_t v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (ec != std::errc() || ptr != s.data() + s.size() || v < 0) return false;
    out = v;
    return true;
}

// The leading decimal integer of a value text, read the way the C library's
// text-to-integer conversion reads it: white space, an optional sign, digits,
// anything after them ignored; a text without digits reads as 0.
struct LeadingInteger {
    bool negative = false;
    uint64_t magnitude = 0;
    bool overflow = false;  // more than 64 bits of magnitude
};

inline LeadingInteger ReadLeadingInteger(std::string_view s) {
    LeadingInteger r;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) r.negative = s[i++] == '-';
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const uint64_t digit = static_cast<uint64_t>(s[i] - '0');
        if (r.magnitude > (UINT64_MAX - digit) / 10) {
            r.overflow = true;
            return r;
        }
        r.magnitude = r.magnitude * 10 + digit;
    }
    if (r.magnitude == 0) r.negative = false;
    return r;
}

// Reads a signed integer of type T; false when the number does not fit T.
template <typename T>
bool ParseSettingsInteger(std::string_view s, T& out) {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);
    const LeadingInteger r = ReadLeadingInteger(s);
    if (r.overflow) return false;
    const uint64_t limit = r.negative ? uint64_t(std::numeric_limits<T>::max()) + 1
                                      : uint64_t(std::numeric_limits<T>::max());
    if (r.magnitude > limit) return false;
    out = r.negative ? static_cast<T>(-static_cast<int64_t>(r.magnitude - 1) - 1) : static_cast<T>(r.magnitude);
    return true;
}

// Reads an unsigned integer of type T. The file may hold it in either form,
// signed (how the 32-bit writer stores it: 4294967295 as -1) or unsigned, so
// every number from the smallest signed to the largest unsigned value of T
// is taken modulo 2^bits; false beyond that.
template <typename T>
bool ParseSettingsUnsigned(std::string_view s, T& out) {
    static_assert(std::is_integral_v<T> && std::is_unsigned_v<T>);
    const LeadingInteger r = ReadLeadingInteger(s);
    if (r.overflow) return false;
    const uint64_t limit = r.negative ? uint64_t(std::numeric_limits<std::make_signed_t<T>>::max()) + 1
                                      : uint64_t(std::numeric_limits<T>::max());
    if (r.magnitude > limit) return false;
    out = r.negative ? static_cast<T>(T(0) - static_cast<T>(r.magnitude)) : static_cast<T>(r.magnitude);
    return true;
}

template <typename T>
std::string FormatSettingsInteger(T v) {
    return platform::FormatInt(v);
}

// "%12.16lf": sixteen digits after the point, at least twelve characters.
inline std::string FormatSettingsDouble(double v) {
    std::string text = platform::FormatFixed(v, 16);
    if (text.size() < 12) text.insert(0, 12 - text.size(), ' ');
    return text;
}

// Scans a double like "%lf ": white space, then the longest number. False
// when the text does not begin with a number or the number is out of range.
inline bool ParseSettingsDouble(std::string_view s, double& out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    s.remove_prefix(i);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return false;
    }
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || ptr == s.data()) return false;
    out = v;
    return true;
}
