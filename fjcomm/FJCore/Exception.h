#pragma once

#include "fjcomm/FJCommExport.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace Fjarnis2011 {
namespace FJCore {

// A source location: file, function and line.
class FJCOMM_API Location {
public:
    Location() = default;
    Location(std::string file, std::string function, int32_t line);

    const std::string& file() const { return file_; }
    const std::string& function() const { return function_; }
    int32_t line() const { return line_; }

    // "file:function:line"
    std::string toString() const;

private:
    std::string file_;
    std::string function_;
    int32_t line_ = 0;
};

FJCOMM_API std::ostream& operator<<(std::ostream& os, const Location& l);

// The core error object: message lines and source locations. The log writers
// throw it by pointer; whoever catches it owns it and deletes it.
class FJCOMM_API Exception {
public:
    Exception() = default;
    Exception(const std::string& text, int32_t first, int32_t second);

    void addText(const std::string& line);
    std::string text(size_t i) const;
    size_t textCount() const { return texts_.size(); }

    void addLocation(const Location& location);
    Location location(size_t i) const;
    size_t locationCount() const { return locations_.size(); }

    int32_t firstNumber() const { return first_; }
    int32_t secondNumber() const { return second_; }

    // Character input: a newline or NUL ends the pending line (an empty one is
    // not kept); any other character is added to it.
    void put(char c);
    Exception& operator<<(char c) {
        put(c);
        return *this;
    }

    // "text i:line" per line, then "location i:file:function:line" per location.
    void print(std::ostream& os) const;
    std::string toString() const;

private:
    int32_t first_ = 0;
    std::vector<Location> locations_;
    int32_t second_ = 0;
    std::vector<std::string> texts_;
    std::string pending_;
};

FJCOMM_API std::ostream& operator<<(std::ostream& os, const Exception& e);

}  // namespace FJCore
}  // namespace Fjarnis2011
