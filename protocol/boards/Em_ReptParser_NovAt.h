#pragma once

// The report parser of the NovAtel OEM board: decodes the board's binary logs
// (OEM4 binary format: 28-byte header, body, CRC-32; numbers little-endian)
// into the parsed-record store, and its GPS, GLONASS and BeiDou
// satellites-in-view sentences into the satellite tables.

#include "protocol/boards/Em_IRepParser.h"

#include <cstdint>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

// Message ids of the logs this parser knows.
enum NOVATEL_LOG_ID : int32_t {
    NOVATEL_GPSEPHEM = 7,
    NOVATEL_VERSION = 37,
    NOVATEL_RAWEPHEM = 41,
    NOVATEL_BESTPOS = 42,
    NOVATEL_RANGE = 43,
    NOVATEL_SATVIS = 48,
    NOVATEL_RANGECMP = 140,
    NOVATEL_PSRDOP = 174,
    NOVATEL_REFSTATION = 175,
    NOVATEL_BESTXYZ = 241,
    NOVATEL_LOG_726 = 726,
    NOVATEL_EPHEM_1047 = 1047,
};

// The fixed parts of a binary log.
namespace NovAtelLog {
inline constexpr unsigned kHeaderSize = 28;
inline constexpr unsigned kCrcSize = 4;
inline constexpr uint8_t kSync[3] = {0xAA, 0x44, 0x12};
// Header fields.
inline constexpr unsigned kHeaderLengthAt = 3;   // u8
inline constexpr unsigned kMessageIdAt = 4;      // u16
inline constexpr unsigned kMessageTypeAt = 6;    // u8, bit 7: a response
inline constexpr unsigned kBodyLengthAt = 8;     // u16
inline constexpr unsigned kWeekAt = 14;          // u16
inline constexpr unsigned kMillisecondsAt = 16;  // u32
inline constexpr uint8_t kResponseBit = 0x80;
}  // namespace NovAtelLog

class Em_ReptParser_NovAt : public Em_IRepParser {
public:
    // Highest satellite number of the stores (BeiDou PRN 36 + 160).
    static constexpr int kMaxSatNumber = 196;

    // Sizes of the logs and bodies kept as received.
    static constexpr unsigned kVersionComponentSize = 108;
    static constexpr unsigned kRefStationLogSize = 69;
    static constexpr unsigned kRawEphemBodySize = 102;
    static constexpr unsigned kPsrDopBodySize = 28;
    static constexpr unsigned kBestPosBodySize = 72;
    static constexpr unsigned kBestXyzLogSize = 140;
    static constexpr unsigned kLog726Size = 108;

    // Decodes one whole binary log (`data` from its sync bytes, `length` the
    // bytes of the frame) by its message id. 0 when there is no frame, the id
    // is 0 or the frame is shorter than its header; else the change mask is
    // cleared, the log is decoded (when the parser knows its id and its body
    // holds what the decoder reads) and the result is 1.
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;

    // GPS and SBAS satellites of a GPGSV sentence (PRN 1-32 and 33-64).
    void Decode_GPGSV(std::string_view text, int number) override;
    // BeiDou satellites (numbers PRN + 160 once a cycle is complete).
    void Decode_BDGSV(std::string_view text) override;

    // ---- NovAtel stores ----
    uint8_t lastHeader[NovAtelLog::kHeaderSize] = {};    // of ids 7, 1047, 37, 41, 42, 174
    uint8_t rangeHeader[NovAtelLog::kHeaderSize] = {};   // of the last RANGE
    uint8_t rangeCmpHeader[NovAtelLog::kHeaderSize] = {};  // of the last RANGECMP
    uint8_t versionComponent[kVersionComponentSize] = {};
    uint8_t refStationLog[kRefStationLogSize] = {};
    uint8_t rawEphemBody[kRawEphemBodySize] = {};
    uint8_t psrDopBody[kPsrDopBodySize] = {};
    uint8_t bestPosBody[kBestPosBodySize] = {};
    bool bestPosKept = false;  // a BESTPOS body has been kept
    uint8_t bestXyzLog[kBestXyzLogSize] = {};
    uint8_t log726[kLog726Size] = {};

    GpsTime obsEpoch = {};        // epoch of the observation list
    GpsTime prevCmpEpoch = {};    // epoch of the previous RANGECMP
    bool havePrevCmpEpoch = false;
    // Per satellite number and frequency index, what the last RANGECMP said.
    double lastLockTime[kMaxSatNumber + 1][2] = {};
    uint8_t lastHalfCycle[kMaxSatNumber + 1][2] = {};

private:
    void DecodeEphemeris(const uint8_t* body, unsigned bodyLength);
    void DecodeRawEphem(const uint8_t* body, unsigned bodyLength);
    void DecodeVersion(const uint8_t* body, unsigned bodyLength);
    void DecodeBestPos(const uint8_t* header, const uint8_t* body, unsigned bodyLength);
    void DecodeRange(const uint8_t* header, const uint8_t* body, unsigned bodyLength);
    void DecodeRangeCmp(const uint8_t* header, const uint8_t* body, unsigned bodyLength);
    void MergeSatTables();
    void DecodePsrDop(const uint8_t* body, unsigned bodyLength);
    void DecodeRefStation(const uint8_t* frame, unsigned frameLength, const uint8_t* body, unsigned bodyLength);

    // GPGSV: the first satellite of a cycle empties its table (GPS, SBAS);
    // these say whether that has happened yet in this cycle.
    bool gpsTableStarted_ = true;
    bool sbasTableStarted_ = true;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
