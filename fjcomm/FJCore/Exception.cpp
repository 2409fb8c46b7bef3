#include "fjcomm/FJCore/Exception.h"

#include <sstream>

namespace Fjarnis2011 {
namespace FJCore {

Location::Location(std::string file, std::string function, int32_t line)
    : file_(std::move(file)), function_(std::move(function)), line_(line) {}

std::string Location::toString() const { return file_ + ":" + function_ + ":" + std::to_string(line_); }

std::ostream& operator<<(std::ostream& os, const Location& l) { return os << l.toString(); }

Exception::Exception(const std::string& text, int32_t first, int32_t second)
    : first_(first), second_(second), texts_{text} {}

void Exception::addText(const std::string& line) { texts_.push_back(line); }

std::string Exception::text(size_t i) const { return i < texts_.size() ? texts_[i] : std::string(); }

void Exception::addLocation(const Location& location) { locations_.push_back(location); }

Location Exception::location(size_t i) const { return i < locations_.size() ? locations_[i] : Location(); }

void Exception::put(char c) {
    if (c == '\n' || c == '\0') {
        if (!pending_.empty()) {
            texts_.push_back(pending_);
            pending_.clear();
        }
        return;
    }
    pending_ += c;
}

void Exception::print(std::ostream& os) const {
    for (size_t i = 0; i < texts_.size(); ++i) os << "text " << i << ":" << texts_[i] << std::endl;
    for (size_t i = 0; i < locations_.size(); ++i)
        os << "location " << i << ":" << locations_[i].toString() << std::endl;
}

std::string Exception::toString() const {
    std::ostringstream os;
    print(os);
    return os.str();
}

std::ostream& operator<<(std::ostream& os, const Exception& e) {
    e.print(os);
    return os;
}

}  // namespace FJCore
}  // namespace Fjarnis2011
