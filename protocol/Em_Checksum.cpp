#include "protocol/Em_Checksum.h"

#include <array>

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
static_assert(kCrc32Table[1] == 0x77073096u);

}  // namespace

uint32_t Calc_Crc32(const uint8_t* p, int n) {
    uint32_t crc = 0;
    if (!p) return crc;
    for (int i = 0; i < n; ++i) crc = kCrc32Table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

bool Check_Crc32(const uint8_t* p, int n) {
    if (n < 1 || !p) return true;
    return Calc_Crc32(p, n) == 0;
}

uint32_t Calc_Crc24q(const uint8_t* p, int n) {
    if (n < 1 || !p) return 0;
    uint32_t crc = 0;
    for (int i = 0; i < n; ++i) crc = kCrc24qTable[((crc >> 16) ^ p[i]) & 0xFF] ^ ((crc & 0xFFFF) << 8);
    return crc & 0xFFFFFFu;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
