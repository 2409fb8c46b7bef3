#pragma once

// The internal UHF radio module's state as the old-protocol format keeps it,
// and the frequency coding of that module in both directions. The module type
// (1..8) decides the band, the rounding grid and how a frequency is coded:
// types 1 and 2 count 50 kHz steps above the band's lower edge (letter 'a'),
// types 3 to 8 count channels from 0 MHz (letter 'm').

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// Radio record, owned by the old-protocol format; the values below are the
// ones it starts with.
struct RadioRecord {
    double frequency = 0.0;   // MHz, current channel frequency
    int32_t moduleType = 3;   // 1..8
    int32_t channelWord = -1; // first data byte of the last frequency reply
    int32_t sensitivity = 2;  // 0, 1 or 2
    int32_t fec = 0;          // 0 or 1
    int32_t callsignOn = 0;
    int32_t callsignValue = 0;
    char callsignText[14] = {};
    uint8_t callsignLength = 0;  // below 15
    int32_t power = 0;           // 0..5
    int32_t spacingCode = 0;     // 0, 1 or 2
    int32_t baudCode = -1;       // 0, 1, 2 or -1
    double upperLimit = 467.0;   // MHz
    double lowerLimit = 455.0;   // MHz
    double grid = 50.0;          // kHz, rounding grid of frequencies
    double step = 0.05;          // MHz per code unit
    double spacing = 12.5;       // kHz, channel spacing (12.5 or 20.0)
};
static_assert(sizeof(RadioRecord) == 104);
static_assert(offsetof(RadioRecord, callsignText) == 32 && offsetof(RadioRecord, power) == 48);
static_assert(offsetof(RadioRecord, upperLimit) == 64 && offsetof(RadioRecord, spacing) == 96);

// Sets the band, grid and step of the record's module type; types outside
// 1..8 leave the record unchanged.
void SetRadioRanges(RadioRecord& radio);

// Frequency from a reply: `DecodeRadioFrequency1` takes one code byte,
// `DecodeRadioFrequency2` a 16-bit code, low byte first (sign and magnitude
// for module types 1 and 2). The result is snapped to the grid and kept within
// the band. For a module type outside 1..8 the frequency stays unchanged.
void DecodeRadioFrequency1(RadioRecord& radio, const uint8_t* data);
void DecodeRadioFrequency2(RadioRecord& radio, const uint8_t* data);

// Code for a frequency in MHz: snapped down to the grid (the channel spacing
// for type 8), kept within the band, then coded; writes the letter, two code
// bytes (low byte first) and the count 2. Nothing is written for a module type
// outside 1..8, a record without a positive grid or spacing, or a frequency
// that is not a finite number. Returns whether it wrote.
bool EncodeRadioFrequency(const RadioRecord& radio, char* letter, uint8_t code[2], unsigned* count, double mhz);

}  // namespace FJParse
}  // namespace Fjarnis2011
