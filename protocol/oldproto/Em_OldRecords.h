#pragma once

// The records that the old "$$" protocol's reply decoders fill and the
// old-protocol command builders and getters read: the internal modem's state,
// the firmware debug record, the eBubble record, the "SS" record, and the
// collection buffer of replies that span several frames. The radio record
// lives beside its frequency coding (Em_RadioFrequency.h).

#include "protocol/Em_Types.h"
#include "protocol/boards/Em_BoardTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Fjarnis2011 {
namespace FJParse {

#pragma pack(push, 1)

// Firmware debug record of the "VY" reply: up to 200 payload bytes and their
// count.
struct FIRMWARE_DEBUG {
    uint8_t data[200];
    uint32_t length;
};
static_assert(sizeof(FIRMWARE_DEBUG) == 204);
static_assert(offsetof(FIRMWARE_DEBUG, length) == 200);

// eBubble record of the "FF" reply: word 0 the top four bits of the reply's
// first 32-bit value, word 1 its other 28 bits, words 2 and 3 the next two
// values, words 4 and 5 zero for the old protocol.
struct eBubble_info {
    uint32_t word[6];
};
static_assert(sizeof(eBubble_info) == 24);

#pragma pack(pop)

// Fields of the last "SS" reply, 15 words: word 0 holds payload bytes 0-3
// (little-endian), bytes 20-25 payload bytes 5-10, bytes 40-49 payload bytes
// 12-21; the rest is zero.
struct SsRecord {
    uint8_t bytes[60];
    uint32_t Word0() const;
};
static_assert(sizeof(SsRecord) == 60);

// One satellite array of the old-protocol format: a count and up to 32
// entries.
struct OldSatArray {
    uint32_t count = 0;
    SATLLITE_STR sats[32] = {};
};

// Network protocol codes of the modem parameter reply ('S', 'T', 'U', 'V').
int ModemProtocolFromLetter(uint8_t letter);

// The receiver's internal GSM/GPRS modem as its replies describe it. The
// values are the ones it starts with.
struct ModemRecord {
    static constexpr unsigned kApnTextSize = 32;
    static constexpr unsigned kSourceTableSize = 2048;

    int32_t signalLevel = 0;    // 0..6 from the "+CSQ:" value
    int32_t signalRaw = -1;     // the "+CSQ:" value itself
    // Server address of parameter layout A, in reply order: the first byte is
    // the first number of the dotted text (as in IP_ADRES).
    uint8_t address[4] = {};
    // Server host text of parameter layout B: its length (as the reply gave
    // it, at most kApnTextSize) and the text, zero-filled after it.
    uint8_t apnLength = 0;
    char apnText[kApnTextSize] = {};
    int32_t port = 0;           // 16-bit port
    int32_t onlineFlag = 0;     // 0 or 1
    int32_t protocol = 0;       // 3 'S', 1 'T', 0 'U', 2 'V', -1 any other letter
    int32_t status = -1;        // gprs_status
    int32_t error = -1;         // gprs_ero
    int32_t loginMode = -1;     // login mode byte
    int32_t statusByte4 = -1;   // the fourth status byte (dial protocol)
    std::string text1;          // parameter reply texts
    double version = -1.0;      // module firmware version
    int32_t versionMajor = 0;   // its integer part
    int32_t versionMinor = 0;   // its two digits after the point
    cors_info cors = {};        // NTRIP login read back from the module
    int32_t corsAuto = -1;      // 0, 1 or 2: auto-login kind
    uint8_t newLayout = 0;      // 1: the module speaks parameter layout B and the newer tunnel ids
    std::string text2, text3, text4, text5;
    uint8_t sourceTable[kSourceTableSize] = {};  // last source-table chunk
    uint32_t sourceTableLength = 0;
};

// Collects the payloads of a reply that spans several frames: 2048 data bytes,
// a read index and a fill count.
struct ReplyBuffer {
    static constexpr unsigned kSize = 2048;
    uint8_t data[kSize] = {};
    uint32_t readIndex = 0;
    uint32_t fill = 0;

    // Appends n bytes. When they would pass kSize the buffer is emptied
    // instead (the collection is dropped whole) and the result is false.
    bool Append(const uint8_t* p, unsigned n);
    // Data, read index and fill back to zero.
    void Clear();
};

}  // namespace FJParse
}  // namespace Fjarnis2011
