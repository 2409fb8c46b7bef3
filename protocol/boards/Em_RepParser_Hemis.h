#pragma once

// The report parser of the Hemisphere board: decodes the board's $BIN blocks
// 1 (position), 2 (satellite masks and dilutions) and 99 (channel status)
// into the parsed-record store; NMEA sentences go through the base decoders.
// With the GPS hold word set (both formats set it), a GPS satellites-in-view
// cycle is published by the next block 99, with its used flags merged in.

#include "protocol/boards/Em_IRepParser.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// The fixed parts of a $BIN message (numbers little-endian).
namespace HemisBin {
inline constexpr unsigned kHeaderSize = 8;   // "$BIN", block id, data length
inline constexpr unsigned kTrailerSize = 4;  // 16-bit sum of the data bytes, CR LF
inline constexpr unsigned kBlockIdAt = 4;
inline constexpr unsigned kDataLengthAt = 6;
// The data each decoded block must hold before it is read.
inline constexpr unsigned kBlock1Data = 32;
inline constexpr unsigned kBlock2Data = 14;
inline constexpr unsigned kBlock99Data = 300;
// Block 99: 12 channel records of 24 bytes from data offset 12.
inline constexpr unsigned kChannels = 12;
inline constexpr unsigned kChannelAt = 12;
inline constexpr unsigned kChannelSize = 24;
}  // namespace HemisBin

class Em_RepParser_Hemis : public Em_IRepParser {
public:
    // Decodes one whole $BIN message (`data` from its '$', `id` its block id,
    // `length` the bytes of the message). 0 for no message, block id 0, a
    // message shorter than its header and its announced data, or a decoded
    // block whose data is shorter than what it is read for; otherwise the
    // change mask is cleared, the block decoded (other ids are taken as they
    // are) and the result is 1.
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;

    // The channels of the last block 99 with a satellite number 1 to 37.
    SatList channels;
    // The value of the last "MASK" in a JSHOW reply.
    int32_t lastMask = 0;

private:
    void DecodePosition(const uint8_t* d);
    void DecodeSatMasks(const uint8_t* d);
    void DecodeChannels(const uint8_t* d);
};

}  // namespace FJParse
}  // namespace Fjarnis2011
