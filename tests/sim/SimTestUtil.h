#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// "24 24 53 49" -> bytes; fixtures are written out in hex.
inline std::vector<uint8_t> H(std::string_view hex) {
    std::vector<uint8_t> out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(uint8_t(nibble * 16 + v));
            nibble = -1;
        }
    }
    return out;
}

inline std::vector<uint8_t> Cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
