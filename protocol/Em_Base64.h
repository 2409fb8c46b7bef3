#pragma once

#include "protocol/FJParseExport.h"

#include <string>

namespace Fjarnis2011 {
namespace FJParse {

// Base64 with the standard alphabet and padding, no line breaks (NTRIP Basic
// authorisation).
class FJPARSE_API Em_Base64 {
public:
    Em_Base64() = default;
    static std::string base64_encode(const unsigned char* p, unsigned int n);
    // Decodes up to the end, the first '=' or the first character outside the
    // alphabet; a bad character simply ends the text, it is never an error.
    static std::string base64_decode(const std::string& s);

private:
    static bool is_base64(unsigned char c);
};

}  // namespace FJParse
}  // namespace Fjarnis2011
