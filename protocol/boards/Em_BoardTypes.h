#pragma once

// Records and codes of the receiver board families: the settings the command
// builders read, the satellite entry the report parsers fill, the correction
// record of the transmit holder, the navigation records of the parsed-record
// store, and the change bits that the board decoders announce.

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// Output-rate codes of the board commands.
enum GNSS_FRQ : int32_t {
    GNSS_FRQ_OFF = 0,
    GNSS_FRQ_10HZ = 1,
    GNSS_FRQ_5HZ = 2,
    GNSS_FRQ_1HZ = 3,
    GNSS_FRQ_2S = 4,   // one every 2 s
    GNSS_FRQ_5S = 5,   // one every 5 s
    GNSS_FRQ_10S = 6,  // one every 10 s
    GNSS_FRQ_2HZ = 11,
    GNSS_FRQ_20HZ = 13,
    GNSS_FRQ_ONCE = 255,
};

// NMEA sentence bits of a selection (`_set_nmea::sentence`).
enum NMEA_SENTENCE_BIT : uint32_t {
    NMEA_BIT_GPGGA = 0x00001,
    NMEA_BIT_GPGLL = 0x00002,
    NMEA_BIT_GPGSA = 0x00010,
    NMEA_BIT_GPGST = 0x00020,
    NMEA_BIT_GPGSV = 0x00040,
    NMEA_BIT_GPRMC = 0x00100,
    NMEA_BIT_GPVTG = 0x00200,
    NMEA_BIT_GPZDA = 0x00400,
    NMEA_BIT_GPALM = 0x00800,
    NMEA_BIT_GPRMB = 0x01000,
    NMEA_BIT_GPGRS = 0x02000,
    NMEA_BIT_PTNL_PJK = 0x04000,
    NMEA_BIT_PTNL_PJT = 0x08000,
    NMEA_BIT_GPGNS = 0x10000,
    NMEA_BIT_GPRRE = 0x20000,
};

// One element of an NMEA selection: the sentence bit(s) and a GNSS_FRQ code.
struct _set_nmea {
    uint32_t sentence;
    uint32_t rate;
};
static_assert(sizeof(_set_nmea) == 8);

#pragma pack(push, 1)

// Base station settings held by the command builder (`Get_Gnss_BsCfg`).
struct Base_Config {
    uint32_t stationId;       // 1
    char stationName[10];     // "base", NUL-terminated within the field
    uint32_t obsInterval;     // seconds, 1
    uint32_t outputPort;      // 0-based port index, 1
    uint32_t baudRate;        // 38400
    uint32_t correctionType;  // 3
    double latitude;          // radians
    double longitude;         // radians
    double height;            // metres
    uint8_t elevMask;         // degrees, 10
    uint8_t pdopMask;         // 95
    uint32_t outputRoute;     // 0 the port, 1 the network modem, 2 both
};
static_assert(sizeof(Base_Config) == 60);
static_assert(offsetof(Base_Config, obsInterval) == 14);
static_assert(offsetof(Base_Config, outputPort) == 18);
static_assert(offsetof(Base_Config, correctionType) == 26);
static_assert(offsetof(Base_Config, latitude) == 30);
static_assert(offsetof(Base_Config, elevMask) == 54);
static_assert(offsetof(Base_Config, outputRoute) == 56);

// Rover settings held by the command builder (`Get_Gnss_RvCfg`).
struct Rover_Config {
    uint8_t elevMask;          // degrees, 5
    uint8_t pdopMask;          // 95
    char stationId[10];        // "ANY" or decimal digits; empty by default
    uint32_t stationWord;      // 1
    uint32_t correctionType;   // 3
    uint32_t inputPort;        // 0-based port index, 1
    uint32_t baudRate;         // 9600
    uint32_t ionoCondition;    // 0 quiet, 1 normal, 2 disturbed
    uint32_t diffSource;       // 0 RTK, 1 SBAS, 2 beacon
};
static_assert(sizeof(Rover_Config) == 36);
static_assert(offsetof(Rover_Config, stationWord) == 12);
static_assert(offsetof(Rover_Config, correctionType) == 16);
static_assert(offsetof(Rover_Config, diffSource) == 32);

// One satellite of a satellite list.
struct SATLLITE_STR {
    int32_t number;
    int32_t elevation;   // degrees
    uint16_t azimuth;    // degrees
    float snr[3];        // signal-to-noise ratios of up to three signals
    uint32_t used;       // used in the solution
};
static_assert(sizeof(SATLLITE_STR) == 26);
static_assert(offsetof(SATLLITE_STR, azimuth) == 8);
static_assert(offsetof(SATLLITE_STR, snr) == 10);
static_assert(offsetof(SATLLITE_STR, used) == 22);

// The last correction frame handed to the transmit holder, as copied out by
// `Get_Gnss_Trsinfo`.
struct TRSMT_INFO {
    uint32_t length;         // bytes of the frame, at most 2048
    uint32_t messageNumber;  // the 12-bit number read from the frame
    uint8_t data[2048];      // bytes past `length` keep an earlier frame's
    uint32_t type;           // 1 RTCM, 2 CMR, 0 before the first frame
};
static_assert(sizeof(TRSMT_INFO) == 2060);
static_assert(offsetof(TRSMT_INFO, data) == 8 && offsetof(TRSMT_INFO, type) == 2056);

// Base position (ECEF x, y, z in metres) reported by binary board families.
struct BASEINFO {
    double x;
    double y;
    double z;
};
static_assert(sizeof(BASEINFO) == 24);

// Pass-through characters of a board.
struct PASSCOMCHAR {
    uint8_t bytes[84];
};
static_assert(sizeof(PASSCOMCHAR) == 84);

#pragma pack(pop)

// Navigation records of the parsed-record store. They are in-memory records
// with the natural layout of the receiver software (time values of 16 bytes).

// A time value: whole seconds from the calendar conversion and a fraction.
struct GpsTime {
    int32_t time;
    double sec;
};
static_assert(sizeof(GpsTime) == 16);

// One GPS broadcast ephemeris.
struct em_eph_t {
    int32_t sat, iode, iodc, sva, svh, week, code, flag;
    GpsTime toe, toc, ttr;
    double A, e, i0, OMG0, omg, M0, deln, OMGd, idot;
    double crc, crs, cuc, cus, cic, cis;
    double toes, fit, f0, f1, f2;
    double tgd[4];
};
static_assert(sizeof(em_eph_t) == 272);
static_assert(offsetof(em_eph_t, toe) == 32 && offsetof(em_eph_t, A) == 80);

// One GLONASS broadcast ephemeris.
struct em_geph_t {
    int32_t sat, iode, frq, svh, sva, age;
    GpsTime toe, tof;
    double pos[3], vel[3], acc[3];
    double taun, gamn;
};
static_assert(sizeof(em_geph_t) == 144);

// One SBAS ephemeris.
struct em_seph_t {
    int32_t sat;
    GpsTime t0, tof;
    int32_t sva, svh;
    double pos[3], vel[3], acc[3];
    double af0, af1;
};
static_assert(sizeof(em_seph_t) == 136);

// One satellite's observation of one epoch, two frequencies.
struct em_obsd_t {
    GpsTime time;
    uint8_t sat, rcv;
    uint8_t SNR[2], LLI[2], code[2];
    double L[2];  // carrier phase, cycles
    double P[2];  // pseudorange, m
    float D[2];   // Doppler, Hz
};
static_assert(sizeof(em_obsd_t) == 64);
static_assert(offsetof(em_obsd_t, L) == 24 && offsetof(em_obsd_t, D) == 56);

// Observations as handed out by `Get_Gnss_Obs_t`.
struct em_obs_t {
    static constexpr int kMaxEntries = 118;
    uint32_t n;
    uint32_t nmax;
    em_obsd_t data[kMaxEntries];
};
static_assert(sizeof(em_obs_t) == 8 + 118 * 64);

// NMEA report ids that the sentence recogniser hands to `Decode_Report`.
enum NMEA_REPORT_ID : int32_t {
    REPORT_UNKNOWN = -1,
    REPORT_GPGGA = 25,
    REPORT_GPGSA = 29,
    REPORT_GPGST = 30,
    REPORT_GPGSV = 31,
    REPORT_GPRMC = 33,
    REPORT_GPZDA = 35,
    REPORT_GLGSV = 44,
    REPORT_GNGGA = 51,
    REPORT_GNGLL = 52,
    REPORT_GNGSA = 55,
    REPORT_GNRMC = 59,
    REPORT_BDGSV = 128,
};

// Change bits of the report parsers' `ChangedMask` (message class 1). A bit
// means what the decoder that set it says; the common ones are named here.
namespace ChangeBits {
inline constexpr uint32_t GgaText = 0x00001000u;       // GGA sentence stored
inline constexpr uint32_t Rmc = 0x00002000u;           // RMC decoded
inline constexpr uint32_t Correction = 0x00004000u;    // correction frame handed to the transmit holder
inline constexpr uint32_t UsedSignals = 0x00010000u;   // used-signal flags (position logs of binary families)
inline constexpr uint32_t Position = 0x00020000u;      // position (GGA with NMEA parsing on)
inline constexpr uint32_t Observations = 0x00040000u;  // observation list
inline constexpr uint32_t Ephemeris = 0x00080000u;     // ephemeris stored
inline constexpr uint32_t GlonassList = 0x00100000u;   // GLONASS satellite list complete
inline constexpr uint32_t BeidouList = 0x00200000u;    // BeiDou satellite list complete
inline constexpr uint32_t SbasList = 0x00400000u;      // fourth (SBAS) satellite list complete
inline constexpr uint32_t Precision = 0x00800000u;     // errors (GGA after a GST)
inline constexpr uint32_t Time = 0x01000000u;          // time (GGA after an RMC)
inline constexpr uint32_t BasePosition = 0x02000000u;  // base position
inline constexpr uint32_t ElevMask = 0x04000000u;      // elevation mask
inline constexpr uint32_t GpsList = 0x08000000u;       // GPS satellite list complete
inline constexpr uint32_t FullSolution = 0x10000000u;  // position, precision, time and status together
inline constexpr uint32_t Status = 0x20000000u;        // solution status
inline constexpr uint32_t SatCount = 0x40000000u;      // number of listed satellites
inline constexpr uint32_t Dops = 0x80000000u;          // dilutions (GSA)
}  // namespace ChangeBits

// Satellite lists of the parsed-record store, in their order.
enum SAT_LIST_INDEX : int32_t {
    SATLIST_GPS = 0,
    SATLIST_GLONASS = 1,
    SATLIST_BEIDOU = 2,
    SATLIST_FOURTH = 3,  // SBAS, filled by binary families
    SATLIST_FIFTH = 4,   // filled by binary families
    SATLIST_COUNT = 5,
};

}  // namespace FJParse
}  // namespace Fjarnis2011
