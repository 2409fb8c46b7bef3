#include "protocol/oldproto/Em_RadioFrequency.h"

#include "platform/Endian.h"

#include <cmath>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

struct RadioBand {
    double lower;
    double upper;
    double grid;
    double step;
};

// Bands by module type 1..8.
constexpr RadioBand kBands[8] = {
    {455.0, 467.0, 50.0, 0.05},   {410.0, 430.0, 50.0, 0.05},   {450.0, 470.0, 12.5, 0.0125},
    {410.0, 430.0, 12.5, 0.0125}, {430.0, 450.0, 12.5, 0.0125}, {450.0, 470.0, 12.5, 0.0125},
    {455.0, 463.0, 12.5, 0.0125}, {403.0, 473.0, 12.5, 0.0125},
};

// Whole units of `unitKHz` in `mhz`, rounded down, back in MHz.
double SnapDown(double mhz, double unitKHz) { return std::trunc(mhz * 1000.0 / unitKHz) * unitKHz / 1000.0; }

double Clamp(const RadioRecord& radio, double mhz) {
    if (mhz < radio.lowerLimit) return radio.lowerLimit;
    if (mhz > radio.upperLimit) return radio.upperLimit;
    return mhz;
}

bool KnownType(const RadioRecord& radio) { return radio.moduleType >= 1 && radio.moduleType <= 8; }

bool StepsAboveLowerEdge(const RadioRecord& radio) { return radio.moduleType == 1 || radio.moduleType == 2; }

// Snaps to the grid, keeps within the band and stores.
void StoreOnGrid(RadioRecord& radio, double mhz) {
    radio.frequency = Clamp(radio, SnapDown(mhz, radio.grid));
}

}  // namespace

void SetRadioRanges(RadioRecord& radio) {
    if (!KnownType(radio)) return;
    const RadioBand& band = kBands[radio.moduleType - 1];
    radio.lowerLimit = band.lower;
    radio.upperLimit = band.upper;
    radio.grid = band.grid;
    radio.step = band.step;
}

void DecodeRadioFrequency1(RadioRecord& radio, const uint8_t* data) {
    if (data == nullptr || !KnownType(radio) || !(radio.grid > 0.0)) return;
    const double c = data[0];
    double mhz;
    if (StepsAboveLowerEdge(radio)) {
        mhz = c * radio.step + radio.lowerLimit;
    } else if (radio.moduleType == 8) {
        if (!(radio.spacing > 0.0)) return;
        mhz = Clamp(radio, SnapDown(c * radio.step, radio.spacing));
        radio.frequency = mhz;
    } else {
        mhz = c * radio.step;
    }
    StoreOnGrid(radio, mhz);
}

void DecodeRadioFrequency2(RadioRecord& radio, const uint8_t* data) {
    if (data == nullptr || !KnownType(radio) || !(radio.grid > 0.0)) return;
    const uint16_t raw = platform::ReadLE16(data);
    if (StepsAboveLowerEdge(radio)) {
        // Sign and magnitude: bit 15 the sign, bits 0-14 the number of steps.
        const double steps = (raw & 0x8000) ? -double(raw & 0x7FFF) : double(raw & 0x7FFF);
        StoreOnGrid(radio, steps * radio.step + radio.lowerLimit);
    } else if (radio.moduleType == 8) {
        if (!(radio.spacing > 0.0)) return;
        radio.frequency = Clamp(radio, raw * radio.spacing / 1000.0);
    } else {
        StoreOnGrid(radio, raw * radio.step);
    }
}

bool EncodeRadioFrequency(const RadioRecord& radio, char* letter, uint8_t code[2], unsigned* count, double mhz) {
    if (letter == nullptr || code == nullptr || count == nullptr) return false;
    if (!KnownType(radio) || !std::isfinite(mhz)) return false;
    const bool type8 = radio.moduleType == 8;
    const double unit = type8 ? radio.spacing : radio.grid;
    if (!(unit > 0.0)) return false;

    const double g = Clamp(radio, std::trunc((mhz * 1000.0 + 0.4) / unit) * unit / 1000.0);
    if (StepsAboveLowerEdge(radio)) {
        const double steps = std::trunc((g - radio.lowerLimit) * 20.0 + 0.00001);
        const double magnitude = std::fabs(steps);
        if (!(magnitude <= 0x7FFF)) return false;
        const unsigned m = unsigned(magnitude);
        *letter = 'a';
        code[0] = uint8_t(m % 256);
        code[1] = uint8_t(m / 256 + (steps < 0 ? 0x80 : 0));
    } else {
        const double channel = std::trunc(g / unit * 1000.0 + 0.00001);
        if (!(channel >= 0 && channel <= 0xFFFF)) return false;
        const unsigned c = unsigned(channel);
        *letter = 'm';
        code[0] = uint8_t(c % 256);
        code[1] = uint8_t(c / 256);
    }
    *count = 2;
    return true;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
