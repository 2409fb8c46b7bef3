#pragma once

// The comma-separated fields of one NMEA sentence, cut without copying. Field
// 0 is the address ("$GPGGA"); field 1 follows the first comma. The checksum
// ("*hh") and the line end are not part of any field.

#include "platform/Numbers.h"

#include <cstdint>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

class NmeaFields {
public:
    static constexpr int kMaxFields = 64;

    explicit NmeaFields(std::string_view sentence) {
        const size_t star = sentence.find('*');
        if (star != std::string_view::npos) sentence = sentence.substr(0, star);
        while (!sentence.empty() && (sentence.back() == '\r' || sentence.back() == '\n')) sentence.remove_suffix(1);
        size_t start = 0;
        for (;;) {
            const size_t comma = sentence.find(',', start);
            const size_t end = comma == std::string_view::npos ? sentence.size() : comma;
            if (count_ < kMaxFields) fields_[count_++] = sentence.substr(start, end - start);
            if (comma == std::string_view::npos) break;
            ++commas_;
            start = comma + 1;
        }
    }

    int Count() const { return count_; }
    // Commas in the sentence (fields past kMaxFields included).
    int Commas() const { return commas_; }
    // The field, or an empty text past the last one.
    std::string_view operator[](int i) const { return (i >= 0 && i < count_) ? fields_[i] : std::string_view(); }

    // Like atoi and atof on a non-empty field: false (and `out` untouched)
    // for an empty one.
    bool Int(int i, int32_t& out) const { return ToInt((*this)[i], out); }
    bool Double(int i, double& out) const { return ToDouble((*this)[i], out); }

    static bool ToInt(std::string_view s, int32_t& out) {
        if (s.empty()) return false;
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
    std::string_view fields_[kMaxFields];
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
