#pragma once

// The frame readers of the common format: each looks at the unconsumed bytes
// of the receive buffer, whose first three bytes are the head it was chosen
// for, and tells whether a whole, sound frame starts there and how long it is.
// They read nothing beyond the bytes they are given and never declare a frame
// longer than the format's 2048-byte frame area.

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// What one attempt at the bytes at the first unconsumed position came to.
enum class FrameResult : int {
    BoardRejected = 0,  // a sound frame that the main board declined: consumed
    Incomplete = 1,     // the frame is not all there yet: wait, consume nothing
    Taken = 2,          // a whole frame of `length` bytes
    NotRecognised = 3,  // no known head: skip one byte
    BadChecksum = 5,    // the head was a false sync: skip one byte
    Malformed = 6,      // impossible length or no end in reach: skip one byte
    PassedOver = 7,     // a sound log too long for the frame area: consumed whole, not handed over
};

struct FrameCut {
    FrameResult result;
    int length;  // bytes of the frame when Taken, else 0
};

// The frame area of the common format: no frame is longer.
constexpr int kFrameAreaSize = 2048;

// The longest NovAtel log that the common format waits for in order to check
// it and pass it over whole. Half the receive buffer: the reads that arrive
// while it waits still fit beside it.
constexpr int kLongestPassedLog = 10240;

// The readers; p[0..n) are the unconsumed bytes, n >= 3, p[0..2] the head.
FrameCut ReadNmeaFrame(const uint8_t* p, int n);         // "$GP", "$GL", "$GN", "$BD"
FrameCut ReadStxFrame(const uint8_t* p, int n);          // 0x02: Trimble packet
FrameCut ReadRtcm3Frame(const uint8_t* p, int n);        // 0xD3 and six zero bits
FrameCut ReadNovAtelFrame(const uint8_t* p, int n);      // 0xAA 0x44 0x12
// As ReadNovAtelFrame, except that a log longer than the frame area (up to
// kLongestPassedLog bytes) with a sound CRC-32 is PassedOver with its length:
// it is a real log, only too long to decode, and nothing inside it is a frame.
FrameCut ReadNovAtelLog(const uint8_t* p, int n);        // 0xAA 0x44 0x12
FrameCut ReadHemisBinFrame(const uint8_t* p, int n);     // "$BI": $BIN block
FrameCut ReadHemisReplyFrame(const uint8_t* p, int n);   // "$>J": command reply

using FrameReader = FrameCut (*)(const uint8_t* p, int n);

// The reader that a board type uses for a three-byte head; null when the head
// is none of that board's (or the type is not one the common format serves).
FrameReader SelectFrameReader(int boardType, const uint8_t* head);

// True when byte b is the first byte of a head that SelectFrameReader knows
// for the board type.
bool CanStartFrame(int boardType, uint8_t b);
// The offset of the first byte at or after `from` in p[0..n) that can start a
// frame of the board type (CanStartFrame); n when there is none. Garbage is
// passed over with this scan, so that no byte that could start a frame is
// ever skipped and no byte that cannot costs a reader's attempt.
int FindFrameStart(int boardType, const uint8_t* p, int n, int from);

// The board types the common format serves: 1 Trimble BD, 2 NovAtel OEM,
// 4 Hemisphere, 5 NMEA-only, 6 Unicore.
bool IsCommonFormatBoardType(int boardType);

}  // namespace FJParse
}  // namespace Fjarnis2011
