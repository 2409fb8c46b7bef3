// Frequency coding of the internal UHF radio module, both directions.

#include "protocol/oldproto/Em_RadioFrequency.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Fjarnis2011::FJParse;

namespace {

RadioRecord Radio(int type) {
    RadioRecord r;
    r.moduleType = type;
    SetRadioRanges(r);
    return r;
}

// The code a reply carries, low byte first.
struct Code {
    char letter = 0;
    uint8_t bytes[2] = {0, 0};
    unsigned count = 0;
};

Code Encode(const RadioRecord& r, double mhz) {
    Code c;
    EXPECT_TRUE(EncodeRadioFrequency(r, &c.letter, c.bytes, &c.count, mhz)) << mhz;
    return c;
}

double Decode2(RadioRecord r, const Code& c) {
    DecodeRadioFrequency2(r, c.bytes);
    return r.frequency;
}

}  // namespace

TEST(DollarPackerRadio, RangesByModuleType) {
    const struct {
        int type;
        double lower, upper, grid, step;
    } rows[] = {
        {1, 455.0, 467.0, 50.0, 0.05},   {2, 410.0, 430.0, 50.0, 0.05},   {3, 450.0, 470.0, 12.5, 0.0125},
        {4, 410.0, 430.0, 12.5, 0.0125}, {5, 430.0, 450.0, 12.5, 0.0125}, {6, 450.0, 470.0, 12.5, 0.0125},
        {7, 455.0, 463.0, 12.5, 0.0125}, {8, 403.0, 473.0, 12.5, 0.0125},
    };
    for (const auto& row : rows) {
        const RadioRecord r = Radio(row.type);
        EXPECT_EQ(r.lowerLimit, row.lower) << row.type;
        EXPECT_EQ(r.upperLimit, row.upper) << row.type;
        EXPECT_EQ(r.grid, row.grid) << row.type;
        EXPECT_EQ(r.step, row.step) << row.type;
    }
    RadioRecord unknown = Radio(4);
    unknown.moduleType = 9;
    SetRadioRanges(unknown);
    EXPECT_EQ(unknown.lowerLimit, 410.0);
}

TEST(DollarPackerRadio, GoldenCodes) {
    // Type 1: 50 kHz steps above 455.0 MHz, letter 'a'.
    RadioRecord r = Radio(1);
    const uint8_t forty = 40;
    DecodeRadioFrequency1(r, &forty);
    EXPECT_DOUBLE_EQ(r.frequency, 457.0);
    Code c = Encode(r, 457.0);
    EXPECT_EQ(c.letter, 'a');
    EXPECT_EQ(c.bytes[0], 40);
    EXPECT_EQ(c.bytes[1], 0);
    EXPECT_EQ(c.count, 2u);

    // Type 3: channels of 12.5 kHz from 0 MHz, letter 'm': 460.05 MHz = 36804 = 0x8FC4.
    c = Encode(Radio(3), 460.05);
    EXPECT_EQ(c.letter, 'm');
    EXPECT_EQ(c.bytes[0], 0xC4);
    EXPECT_EQ(c.bytes[1], 0x8F);
    EXPECT_DOUBLE_EQ(Decode2(Radio(3), c), 460.05);

    // Snapped down to the grid: 460.06 MHz is channel 460.05.
    EXPECT_EQ(Encode(Radio(3), 460.06).bytes[0], 0xC4);

    // Type 8 codes by the channel spacing: 12.5 kHz, then 20 kHz.
    RadioRecord t8 = Radio(8);
    c = Encode(t8, 403.0);
    EXPECT_EQ(c.bytes[0] | (c.bytes[1] << 8), 32240);
    t8.spacing = 20.0;
    c = Encode(t8, 410.02);
    EXPECT_EQ(c.bytes[0] | (c.bytes[1] << 8), 20501);
    EXPECT_DOUBLE_EQ(Decode2(t8, c), 410.02);
}

TEST(DollarPackerRadio, KeptWithinTheBand) {
    RadioRecord r = Radio(1);
    // Sign and magnitude: 80 01 is one step below the lower edge.
    const uint8_t below[2] = {0x01, 0x80};
    DecodeRadioFrequency2(r, below);
    EXPECT_DOUBLE_EQ(r.frequency, 455.0);
    const uint8_t above = 255;  // 455 + 12.75
    DecodeRadioFrequency1(r, &above);
    EXPECT_DOUBLE_EQ(r.frequency, 467.0);

    EXPECT_EQ(Encode(r, 300.0).bytes[0], 0);
    EXPECT_EQ(Encode(r, 900.0).bytes[0], 240);
    const uint8_t small = 10;  // type 3 reads it as 0.125 MHz
    RadioRecord t3 = Radio(3);
    DecodeRadioFrequency1(t3, &small);
    EXPECT_DOUBLE_EQ(t3.frequency, 450.0);
}

TEST(DollarPackerRadio, EveryChannelOfEveryModuleTypeRoundTrips) {
    for (int type = 1; type <= 8; ++type) {
        for (const double spacing : {12.5, 20.0}) {
            RadioRecord r = Radio(type);
            r.spacing = spacing;
            const double unit = type == 8 ? spacing : r.grid;
            const long first = std::lround(std::ceil(r.lowerLimit * 1000.0 / unit - 1e-9));
            const long last = std::lround(std::floor(r.upperLimit * 1000.0 / unit + 1e-9));
            for (long k = first; k <= last; ++k) {
                const double mhz = k * unit / 1000.0;
                const Code c = Encode(r, mhz);
                ASSERT_EQ(c.letter, type <= 2 ? 'a' : 'm');
                ASSERT_NEAR(Decode2(r, c), mhz, 1e-9) << "type " << type << " channel " << k;
                // The decoded value codes to the same bytes.
                const Code again = Encode(r, Decode2(r, c));
                ASSERT_EQ(again.bytes[0], c.bytes[0]) << "type " << type << " channel " << k;
                ASSERT_EQ(again.bytes[1], c.bytes[1]) << "type " << type << " channel " << k;
            }
        }
    }
}

TEST(DollarPackerRadio, EveryOneByteCodeOfTheStepTypesDecodesOnItsStep) {
    for (const int type : {1, 2}) {
        for (int c = 0; c <= 255; ++c) {
            RadioRecord r = Radio(type);
            const uint8_t byte = uint8_t(c);
            DecodeRadioFrequency1(r, &byte);
            const double expected = std::min(r.lowerLimit + c * 50 / 1000.0, r.upperLimit);
            ASSERT_NEAR(r.frequency, expected, 1e-9) << "type " << type << " code " << c;
        }
    }
}

TEST(DollarPackerRadio, UnknownTypeOrBadInputChangesNothing) {
    RadioRecord r = Radio(3);
    r.frequency = 451.0;
    r.moduleType = 0;
    const uint8_t bytes[2] = {1, 2};
    DecodeRadioFrequency1(r, bytes);
    DecodeRadioFrequency2(r, bytes);
    EXPECT_EQ(r.frequency, 451.0);

    Code c;
    c.letter = '?';
    EXPECT_FALSE(EncodeRadioFrequency(r, &c.letter, c.bytes, &c.count, 451.0));
    r.moduleType = 3;
    EXPECT_FALSE(EncodeRadioFrequency(r, &c.letter, c.bytes, &c.count, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(EncodeRadioFrequency(r, &c.letter, c.bytes, &c.count, std::numeric_limits<double>::infinity()));
    r.grid = 0.0;
    EXPECT_FALSE(EncodeRadioFrequency(r, &c.letter, c.bytes, &c.count, 451.0));
    DecodeRadioFrequency2(r, bytes);
    EXPECT_EQ(r.frequency, 451.0);
    EXPECT_EQ(c.letter, '?');
    EXPECT_EQ(c.count, 0u);
}
