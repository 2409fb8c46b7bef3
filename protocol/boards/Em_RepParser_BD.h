#pragma once

// The report parser of the Trimble BD board: decodes DCOL general-output
// (GSOF) messages, joined from their pages, and the options reply into the
// parsed-record store; NMEA sentences go through the base decoders, the
// satellites-in-view sentences through a decoder of this family that fills
// the GPS, SBAS and GLONASS lists from one talker. All numbers in GSOF records
// are big-endian.

#include "protocol/boards/Em_IRepParser.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// DCOL packet types the parser knows.
enum DCOL_REPLY_TYPE : uint8_t {
    DCOL_GSOF = 0x40,
    DCOL_OPTIONS = 0x4B,
};

// The fixed parts of a DCOL packet: STX, status, type, length, payload,
// checksum, ETX.
namespace Dcol {
inline constexpr unsigned kHeaderSize = 4;
inline constexpr unsigned kOverhead = 6;
inline constexpr unsigned kTypeAt = 2;
inline constexpr unsigned kLengthAt = 3;
// GSOF page: transmission number, page index, last page index, records.
inline constexpr unsigned kGsofPageHeader = 3;
}  // namespace Dcol

class Em_RepParser_BD : public Em_IRepParser {
public:
    static constexpr unsigned kJoinCapacity = 1000;

    // Record lengths the decoders read.
    static constexpr unsigned kPositionTimeSize = 10;
    static constexpr unsigned kTripleSize = 24;  // records 2, 3 and 6
    static constexpr unsigned kDopSize = 16;
    static constexpr unsigned kSigmaSize = 38;
    static constexpr unsigned kSatDetailEntry = 10;

    // Decodes one whole DCOL packet (`data` from its STX, `type` its packet
    // type, `length` its bytes). 0 for no packet, a packet shorter than its
    // frame and announced payload, a type the parser does not handle, a GSOF
    // page without its 3-byte page header or an options reply without its
    // byte; otherwise the change mask was cleared and the result is 1.
    unsigned Decode_BinFrame(const uint8_t* data, int type, unsigned length) override;
    // GGA, GSA, GST, RMC and ZDA through the base decoders; GPGSV and GLGSV
    // through Decode_GPGSV while NMEA parsing is on (1 either way); 0 for the
    // rest.
    unsigned Decode_Report(int id, const uint8_t* data, unsigned length) override;
    // Satellites in view of any constellation: the first satellite number
    // picks the list (1-32 GPS, 33-64 SBAS, 65-96 GLONASS). The first message
    // of a cycle empties the GPS, GLONASS, BeiDou and SBAS lists.
    void Decode_GPGSV(std::string_view text, int number) override;

    // The last packet handed over.
    int lastType = 0;
    unsigned lastLength = 0;

    // GSOF pages joined until the last one.
    uint32_t joinLength = 0;
    uint32_t joinPages = 0;  // pages before the last one received
    uint8_t join[kJoinCapacity] = {};

    // The current message's records, cleared at every page.
    struct Records {
        double ecef[3];
        double delta[3];
        bool deltaPresent;
    } records = {};
    // ECEF position is computed from latitude, longitude and height until a
    // message brings its own, and again after each base position.
    uint8_t ecefFromLlh = 1;

private:
    unsigned DecodeGsofPage(const uint8_t* payload, unsigned n);
    void DecodeJoined();
    void DecodePositionTime(const uint8_t* r);
    void DecodeLatLonHeight(const uint8_t* r);
    void DecodeDops(const uint8_t* r);
    void DecodeSigma(const uint8_t* r);
    void DecodeSatDetail(const uint8_t* r, unsigned length);
    void ResetJoin();
};

}  // namespace FJParse
}  // namespace Fjarnis2011
