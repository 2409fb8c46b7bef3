#pragma once

// Records and codes that the protocol object hands to the receiver device
// object and through it to the program: the current GNSS solution (position,
// time, satellite counts, dilutions, precisions) and the internal radio's
// call sign, range and offers, with the radio's setting codes. The device
// object passes them through unchanged; the layouts are fixed (packed,
// fixed-width fields, 8-byte values may lie at odd offsets) and checked below.

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// ---- radio setting codes (sent and received as they are) -----------------

// Radio protocol; one byte on the wire. The program offers 1, 5, 6, 8 and 9.
enum Rdo_Mdl : int32_t {};

// Transmit power. A reply value outside 1..5 is kept as 0.
enum Radio_Power : int32_t {
    RADIO_POWER_NONE = 0,
    RADIO_POWER_0W1 = 2,
    RADIO_POWER_0W5 = 3,
    RADIO_POWER_1W = 4,
    RADIO_POWER_2W = 5,
};

// Over-the-air baud rate.
enum Radio_Baudrate : int32_t {
    RADIO_BAUD_9600 = 0,
    RADIO_BAUD_4800 = 1,
    RADIO_BAUD_19200 = 2,
};

// Receive sensitivity.
enum Rdo_Sensitv : int32_t {
    RDO_SENSITV_HIGH = 0,
    RDO_SENSITV_MEDIUM = 1,
    RDO_SENSITV_LOW = 2,
};

// Channel spacing.
enum Channel_Space : int32_t {
    CHANNEL_SPACE_12K5 = 0,
    CHANNEL_SPACE_20K = 1,
    CHANNEL_SPACE_25K = 2,
};

#pragma pack(push, 1)

// The current solution (`Em_Gnss::Get_Gnss_Pos`). The satellite and time
// words (bytes 36-69) come from the board's report parser and are written only
// when there is a board.
struct POS_INFO {
    double latitude;             // radians
    double longitude;            // radians
    double height;               // metres, ellipsoidal
    int32_t status;              // solution status code
    double diffAge;              // age of differential data, s; -1.0 when absent
    uint32_t gpsWeek;            // GPS week of the solution (binary families)
    uint32_t gpsSeconds;         // whole seconds of week
    uint32_t satsTracked;        // satellites tracked
    uint32_t satsInSolution;     // satellites in the solution
    uint32_t usedSignals;        // used-signal flags
    uint32_t satsUsed;           // satellites used, as the GGA sentence says
    uint32_t satsListed;         // satellites listed
    uint32_t satsListedUsed;     // of them in use
    uint16_t satSystems;         // satellite systems with listed satellites
    double horizontalPrecision;  // metres
    double heightPrecision;      // metres
    double rmsPrecision;         // metres (the third precision value)
};
static_assert(sizeof(POS_INFO) == 94);
static_assert(offsetof(POS_INFO, status) == 24 && offsetof(POS_INFO, diffAge) == 28);
static_assert(offsetof(POS_INFO, gpsWeek) == 36 && offsetof(POS_INFO, satsUsed) == 56);
static_assert(offsetof(POS_INFO, satsListedUsed) == 64 && offsetof(POS_INFO, satSystems) == 68);
static_assert(offsetof(POS_INFO, horizontalPrecision) == 70 && offsetof(POS_INFO, rmsPrecision) == 86);

// Local date and time of the solution (`Em_Gnss::Get_Gnss_Time`): the
// receiver's UTC time plus the time-zone hours, the date carried. Seven
// 32-bit words: five for year..minute, two for the seconds.
struct Time_Str {
    int32_t year;
    int32_t month;
    int32_t day;
    int32_t hour;
    int32_t minute;
    double second;
};
static_assert(sizeof(Time_Str) == 28);
static_assert(offsetof(Time_Str, minute) == 16 && offsetof(Time_Str, second) == 20);

// Satellites listed and of them in use (`Em_Gnss::Get_Gnss_SatUse`).
struct SAT_USE {
    uint32_t listed;
    uint32_t used;
};
static_assert(sizeof(SAT_USE) == 8);

// Dilutions of precision (`Em_Gnss::Get_Gnss_Dops`).
struct Dops {
    double pdop;
    double hdop;
    double vdop;
    double tdop;
    double gdop;
};
static_assert(sizeof(Dops) == 40);
static_assert(offsetof(Dops, vdop) == 16 && offsetof(Dops, gdop) == 32);

// Precisions of the solution, metres (`Em_Gnss::Get_Gnss_Precision`).
struct Precisions {
    double horizontal;
    double height;
    double rms;
};
static_assert(sizeof(Precisions) == 24);

// The radio's call sign: on or off, the interval in minutes and the text,
// whose byte 14 holds the number of characters (at most 14).
struct Radio_Callsign {
    static constexpr unsigned kLengthByte = 14;
    static constexpr unsigned kMaxText = 14;
    uint32_t state;     // non-zero: call sign on
    uint32_t interval;  // minutes
    char message[16];   // Latin-1 characters; message[kLengthByte] is the length
};
static_assert(sizeof(Radio_Callsign) == 24);
static_assert(offsetof(Radio_Callsign, message) == 8);

// Feature bits of `Radio_Info::featureBits`.
constexpr uint32_t kRadioOffersPower = 0x08000000;
constexpr uint32_t kRadioOffersBaud = 0x00020000;
constexpr uint32_t kRadioOffersSensitivity = 0x00100000;
constexpr uint32_t kRadioOffersSpacing = 0x00010000;
constexpr uint32_t kRadioOffersFrequency = 0x01000000;
constexpr uint32_t kRadioOffersFec = 0x00400000;
constexpr uint32_t kRadioOffersCallsign = 0x00800000;

// What the internal radio module offers: its band, its channel step, its
// module code and the protocols, settings and powers it offers.
struct Radio_Info {
    double upperMHz;
    double lowerMHz;
    double channelStepKHz;
    uint32_t moduleCode;    // 1..8
    uint32_t reserved1;
    uint32_t protocolBits;  // radio protocols offered
    uint32_t reserved2;
    uint32_t featureBits;   // kRadioOffers... bits
    uint32_t powerBits;     // 1 0.1 W, 2 0.5 W, 4 1 W, 8 2 W
};
static_assert(sizeof(Radio_Info) == 48);
static_assert(offsetof(Radio_Info, moduleCode) == 24 && offsetof(Radio_Info, powerBits) == 44);

// The internal radio's band and channel step.
struct Radio_Range {
    double upperMHz;
    double lowerMHz;
    double channelStepKHz;
};
static_assert(sizeof(Radio_Range) == 24);

#pragma pack(pop)

}  // namespace FJParse
}  // namespace Fjarnis2011
