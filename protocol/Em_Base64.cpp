#include "protocol/Em_Base64.h"

#include <cctype>

namespace Fjarnis2011 {
namespace FJParse {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    return 63;  // '/'
}
}  // namespace

bool Em_Base64::is_base64(unsigned char c) {
    return (c < 128 && std::isalnum(c)) || c == '+' || c == '/';
}

std::string Em_Base64::base64_encode(const unsigned char* p, unsigned int n) {
    std::string out;
    if (!p || n == 0) return out;
    out.reserve((n + 2) / 3 * 4);
    unsigned int i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const unsigned rest = n - i;
    if (rest == 1) {
        const unsigned v = p[i] << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string Em_Base64::base64_decode(const std::string& s) {
    std::string out;
    unsigned group[4];
    int k = 0;
    for (unsigned char c : s) {
        if (c == '=' || !is_base64(c)) break;
        group[k++] = static_cast<unsigned>(ValueOf(c));
        if (k == 4) {
            out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
            out += static_cast<char>(((group[1] & 15) << 4) | (group[2] >> 2));
            out += static_cast<char>(((group[2] & 3) << 6) | group[3]);
            k = 0;
        }
    }
    if (k >= 2) out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
    if (k == 3) out += static_cast<char>(((group[1] & 15) << 4) | (group[2] >> 2));
    return out;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
