#pragma once

#include <cstdint>
#include <cstring>

// Byte-order helpers: every multi-byte value on the wire or on disk is read and
// written byte by byte through these, never by casting a buffer to a struct.
namespace platform {

inline uint16_t ReadLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t ReadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t ReadBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t ReadBE24(const uint8_t* p) {
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
}
inline uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline float ReadLEFloat(const uint8_t* p) {
    const uint32_t u = ReadLE32(p);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}
inline double ReadLEDouble(const uint8_t* p) {
    const uint64_t u = uint64_t(ReadLE32(p)) | (uint64_t(ReadLE32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}
inline double ReadBEDouble(const uint8_t* p) {
    const uint64_t u = (uint64_t(ReadBE32(p)) << 32) | uint64_t(ReadBE32(p + 4));
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}
inline float ReadBEFloat(const uint8_t* p) {
    const uint32_t u = ReadBE32(p);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

inline void WriteLE16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void WriteLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void WriteBE16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void WriteBE24(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 16);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v);
}
inline void WriteBE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * (3 - i)));
}
inline void WriteLEFloat(uint8_t* p, float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    WriteLE32(p, u);
}
inline void WriteLEDouble(uint8_t* p, double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    WriteLE32(p, uint32_t(u));
    WriteLE32(p + 4, uint32_t(u >> 32));
}

}  // namespace platform
