#pragma once

// The PPK point records the program hands to the protocol object to mark the
// start, the end and the antenna of a post-processed kinematic survey in the
// receiver's record file. The three share one head (bytes 0-39); the receiver
// takes every byte of it as it is, so the layouts are fixed and checked below.

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

#pragma pack(push, 1)

// Bytes 0-39, common to every point record.
struct PpkPointHead {
    uint32_t value;        // sent little-endian
    uint8_t reserved[4];   // not sent
    uint8_t code;          // sent as it is
    uint8_t field[30];     // sent as it is
    uint8_t flag;          // sent as it is
};
static_assert(sizeof(PpkPointHead) == 40);
static_assert(offsetof(PpkPointHead, code) == 8 && offsetof(PpkPointHead, flag) == 39);

// Start point: the head, then a counted text. The point packet holds at most
// kMaxText text bytes; a longer count is refused whole.
struct StartPointInfo {
    static constexpr unsigned kMaxText = 106;
    PpkPointHead head;
    uint8_t textLength;
    char text[kMaxText];
};
static_assert(sizeof(StartPointInfo) == 147);
static_assert(offsetof(StartPointInfo, textLength) == 40 && offsetof(StartPointInfo, text) == 41);

// End point: the head and one 32-bit value.
struct EndPointInfo {
    PpkPointHead head;
    uint32_t endValue;  // sent little-endian
};
static_assert(sizeof(EndPointInfo) == 44);
static_assert(offsetof(EndPointInfo, endValue) == 40);

// Antenna point: the head, an antenna code and a 32-bit value; bytes 40-79
// and 81-83 are not sent.
struct AntPointInfo {
    PpkPointHead head;
    uint8_t reserved[40];
    uint8_t antennaCode;
    uint8_t reserved2[3];
    uint32_t antennaValue;  // sent little-endian
};
static_assert(sizeof(AntPointInfo) == 88);
static_assert(offsetof(AntPointInfo, antennaCode) == 80 && offsetof(AntPointInfo, antennaValue) == 84);

#pragma pack(pop)

}  // namespace FJParse
}  // namespace Fjarnis2011
