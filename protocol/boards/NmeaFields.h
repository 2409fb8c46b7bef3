#pragma once

// The comma-separated fields of one NMEA sentence, cut without copying. Field
// 0 is the address ("$GPGGA"); field 1 follows the first comma. The checksum
// ("*hh") and the line end are not part of any field.

#include "platform/Numbers.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

class NmeaFields {
public:
    static constexpr int kMaxFields = 64;

    // The decoders cut every sentence they read, so the cut looks at eight
    // bytes a step for the commas and the '*' that ends the fields, with its
    // counts in locals that can stay in registers.
    explicit NmeaFields(std::string_view sentence) : text_(sentence.data()) {
        const char* const p = sentence.data();
        const size_t n = sentence.size();
        int count = 0;
        int commas = 0;
        size_t start = 0;
        const auto add = [&](size_t end) {
            if (count < kMaxFields) ends_[count++] = end;
            start = end + 1;
        };
        size_t i = 0;
        bool starFound = false;
        if constexpr (std::endian::native == std::endian::little) {
            for (; i + 8 <= n; i += 8) {
                uint64_t word;
                std::memcpy(&word, p + i, 8);
                uint64_t marks = ByteMarks(word ^ Repeat(','));
                const uint64_t stars = ByteMarks(word ^ Repeat('*'));
                // Only the commas before the first '*' count.
                if (stars) marks &= (stars & (0 - stars)) - 1;
                for (; marks; marks &= marks - 1, ++commas) add(i + size_t(std::countr_zero(marks) / 8));
                if (stars) {
                    i += size_t(std::countr_zero(stars) / 8);
                    starFound = true;
                    break;
                }
            }
        }
        for (; !starFound && i < n && p[i] != '*'; ++i) {
            if (p[i] != ',') continue;
            add(i);
            ++commas;
        }
        // The line end belongs to no field; it can only trail the last one.
        while (i > start && (p[i - 1] == '\r' || p[i - 1] == '\n')) --i;
        add(i);
        count_ = count;
        commas_ = commas;
    }

    int Count() const { return count_; }
    // Commas in the sentence (fields past kMaxFields included).
    int Commas() const { return commas_; }
    // The field, or an empty text past the last one.
    std::string_view operator[](int i) const {
        if (i < 0 || i >= count_) return std::string_view();
        const size_t start = i == 0 ? 0 : ends_[i - 1] + 1;
        return std::string_view(text_ + start, ends_[i] - start);
    }

    // Like atoi and atof on a non-empty field: false (and `out` untouched)
    // for an empty one.
    bool Int(int i, int32_t& out) const { return ToInt((*this)[i], out); }
    bool Double(int i, double& out) const { return ToDouble((*this)[i], out); }

    static bool ToInt(std::string_view s, int32_t& out) {
        if (s.empty()) return false;
        // Nearly every field is bare digits; up to nine of them fit without
        // clamping, and atoi stops at the first byte that is no digit.
        if (s.size() <= 9 && IsDigit(s[0])) {
            uint32_t v = 0;
            for (const char c : s) {
                if (!IsDigit(c)) break;
                v = v * 10 + static_cast<uint32_t>(c - '0');
            }
            out = static_cast<int32_t>(v);
            return true;
        }
        long long v = platform::LeadingInt(s);
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < INT32_MIN) v = INT32_MIN;
        out = static_cast<int32_t>(v);
        return true;
    }
    static bool ToDouble(std::string_view s, double& out) {
        if (s.empty()) return false;
        out = platform::LeadingDouble(s);
        return true;
    }

private:
    static bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
    static constexpr uint64_t Repeat(char c) { return 0x0101010101010101ull * static_cast<unsigned char>(c); }
    // The top bit of every zero byte of `x`, and no other bit.
    static constexpr uint64_t ByteMarks(uint64_t x) {
        constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
        return ~(((x & kLow7) + kLow7) | x | kLow7);
    }

    const char* text_;
    // Where each field ends (its comma, or the end of the last one); a field
    // starts after the end of the one before. Left uninitialised: only the
    // first count_ entries are ever written or read.
    size_t ends_[kMaxFields];
    int count_ = 0;
    int commas_ = 0;
};

// Header of a satellites-in-view sentence (messages, message number, in view).
// False when the sentence is to be ignored: too few fields, or no message
// number.
inline bool GsvHeader(const NmeaFields& f, int32_t& messages, int32_t& message, int32_t& inView) {
    if (f.Commas() < 7) return false;
    messages = 0;
    message = 0;
    inView = 0;
    f.Int(1, messages);
    f.Int(2, message);
    f.Int(3, inView);
    return message >= 1;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
