#include "protocol/Em_Checksum.h"

#include <array>
#include <cstddef>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

// Built at compile time: a first use from two threads can never see a
// partly built table.
constexpr std::array<uint32_t, 256> MakeCrc24qTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 16;
        for (int k = 0; k < 8; ++k) {
            c <<= 1;
            if (c & 0x1000000u) c ^= 0x1864CFBu;
        }
        t[i] = c & 0xFFFFFFu;
    }
    return t;
}

constexpr auto kCrc32Table = MakeCrc32Table();
constexpr auto kCrc24qTable = MakeCrc24qTable();
static_assert(kCrc24qTable[1] != 0);

// Four tables per CRC let the loops take four bytes per step; the checked
// values are those of the one-byte table algorithm.
using Tables4 = std::array<std::array<uint32_t, 256>, 4>;

constexpr Tables4 MakeCrc32Slices() {
    Tables4 t{};
    t[0] = MakeCrc32Table();
    for (int k = 1; k < 4; ++k)
        for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

// CRC-24Q with the register in the top 24 bits of a 32-bit word.
constexpr Tables4 MakeCrc24qSlices() {
    Tables4 t{};
    const auto base = MakeCrc24qTable();
    for (std::size_t i = 0; i < 256; ++i) t[0][i] = base[i] << 8;
    for (int k = 1; k < 4; ++k)
        for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
    return t;
}

constexpr Tables4 kCrc32Slices = MakeCrc32Slices();
constexpr Tables4 kCrc24qSlices = MakeCrc24qSlices();

}  // namespace

uint32_t Calc_Crc32(const uint8_t* p, int n) {
    uint32_t crc = 0;
    if (!p) return crc;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        crc ^= uint32_t(p[i]) | (uint32_t(p[i + 1]) << 8) | (uint32_t(p[i + 2]) << 16) | (uint32_t(p[i + 3]) << 24);
        crc = kCrc32Slices[3][crc & 0xFF] ^ kCrc32Slices[2][(crc >> 8) & 0xFF] ^
              kCrc32Slices[1][(crc >> 16) & 0xFF] ^ kCrc32Slices[0][crc >> 24];
    }
    for (; i < n; ++i) crc = kCrc32Table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

bool Check_Crc32(const uint8_t* p, int n) {
    if (n < 1 || !p) return true;
    return Calc_Crc32(p, n) == 0;
}

uint32_t Calc_Crc24q(const uint8_t* p, int n) {
    if (n < 1 || !p) return 0;
    uint32_t crc = 0;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        crc ^= (uint32_t(p[i]) << 24) | (uint32_t(p[i + 1]) << 16) | (uint32_t(p[i + 2]) << 8) | uint32_t(p[i + 3]);
        crc = kCrc24qSlices[3][crc >> 24] ^ kCrc24qSlices[2][(crc >> 16) & 0xFF] ^
              kCrc24qSlices[1][(crc >> 8) & 0xFF] ^ kCrc24qSlices[0][crc & 0xFF];
    }
    for (; i < n; ++i) crc = kCrc24qSlices[0][(crc >> 24) ^ p[i]] ^ (crc << 8);
    return crc >> 8;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
