#pragma once

// Command records of the maker's old "$$" protocol as the device-level and
// modem exports of the protocol object send them: a text command, a
// fixed-letter frame around a byte payload, a module-tunnel packet for the
// receiver's internal modem, and the NTRIP login request that travels to the
// modem as "VL,S" text frames.
//
// Each routine appends whole `_STR_CMD` records (data cleared, the frame, its
// delay) to the caller's vector and reads nothing of the format but its com
// status (1 serial COM gives packer mode 1, 2 Bluetooth mode 3). With a com
// status that gives no mode the record is still appended, empty (length 0):
// the order and pacing of a command sequence stay as they are, and nothing
// unframed ever reaches the receiver.

#include "protocol/Em_Types.h"
#include "protocol/boards/Em_BoardTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

// The text command ("SB,B220", "RG,B0") packed into one frame of class `cls`.
void AppendTextCommand(int comStatus, std::vector<_STR_CMD>& out, const char* text, uint32_t delay,
                       int cls = 8);

// A frame with the letters "SJ", "SS" or "SX" (any two letters) around an
// n-byte payload. A payload longer than one frame holds appends nothing.
bool AppendLetterCommand(int comStatus, std::vector<_STR_CMD>& out, const char letters[2], const uint8_t* payload,
                         unsigned n, uint32_t delay);

// One module-tunnel packet (id, m data bytes) in a "VS" frame. A packet longer
// than one frame carries, or null data with m above 0, appends nothing.
bool AppendModulePacket(int comStatus, std::vector<_STR_CMD>& out, int id, const uint8_t* data, unsigned m,
                        uint32_t delay);

// The port-rate command for a new-protocol baud code: "SB,B220" for 9600
// (and every code without a command of its own), "SB,B238" 19200,
// "SB,B247" 38400, "SB,B250" 57600, "SB,B253" 115200.
const char* BaudRateCommand(int32_t baudCode);

// Length of a text field that need not be terminated.
unsigned FieldLength(const char* field, unsigned size);

// The NTRIP request for a login: the mount point, the fixed header lines and
// the Basic authorisation of user:password (only when both are given), then
// the blank line. Each field is read up to its first zero byte or its end.
std::string BuildNtripRequest(const cors_info& cors);

// The request in one record (delay 100), carried to the modem in "VL,S"
// frames of at most 55 bytes each. Returns the number of frames appended.
unsigned AppendNtripLogin(int comStatus, std::vector<_STR_CMD>& out, const cors_info& cors);

// Payload of the automatic-login packet: mount, 00, mode byte ('M' for mode
// 1, 'm' for 2, '-' otherwise), 00, user, 00, password, 00. Written to `out`
// (which holds kCorsAutoPayloadMax bytes) and its length returned; 0 when the
// three texts reach kCorsAutoTextLimit characters together (the modem does
// not take such a login).
constexpr unsigned kCorsAutoTextLimit = 50;
constexpr unsigned kCorsAutoPayloadMax = kCorsAutoTextLimit + 5;
unsigned BuildCorsAutoPayload(const cors_info& cors, unsigned mode, uint8_t* out);

// ---- GNSS board work ---------------------------------------------------

// The receiver's position-rate command "SW" (delay 200). With a rate other
// than 0: "SW,B0,B5" for 5 Hz, "SW,B0,B2" for 2 Hz and "SW,B0,B1" for 1 Hz and
// every other rate. With rate 0: "SW,B1,B<value>" when the value is 0 or more,
// nothing when it is negative. False when nothing was appended.
bool AppendPositionRate(int comStatus, std::vector<_STR_CMD>& out, int32_t rate, int64_t value);

// What the receiver's NMEA selection ("RF" and, with rates, "RD") carries for
// a list of sentences: the receiver's own output mask, and in the form with
// rates the rate of each sentence (the low byte of the element's rate word) in
// its place of groups A and B (four bytes each, byte 0 first), value C and
// value D (low and high byte).
struct OrvelNmeaSelection {
    uint16_t mask = 0;
    uint8_t groupA[4] = {};
    uint8_t groupB[4] = {};
    uint8_t valueC = 0;
    uint8_t valueDLow = 0;
    uint8_t valueDHigh = 0;
};
// The mask alone: each element adds the output bit of the first of its
// sentence bits in the receiver's order; an element with none adds nothing.
uint16_t OrvelNmeaMask(const std::vector<_set_nmea>& list);
// The mask and the rates. The board's own sentences (GPALM and GPRMB of the
// NovAtel board, the two PTNL sentences of the Trimble BD board, GPGNS and
// GPRRE of the Hemisphere board) count only on their board type: an element
// whose first sentence bit is another board's adds nothing. A later element
// that sets the same place overwrites it.
OrvelNmeaSelection OrvelNmeaWithRates(const std::vector<_set_nmea>& list, int boardType);
// "RF,M<mask>,B<rate>" (delay 100).
void AppendNmeaOutput(int comStatus, std::vector<_STR_CMD>& out, uint16_t mask, int rate);
// "RD,B<on>,M<mask>,B<rate>,L<A>,L<B>,B<C>,M<D>" (delay 100): A and B are the
// groups as little-endian words, D is high byte D-high, low byte D-low.
void AppendNmeaRates(int comStatus, std::vector<_STR_CMD>& out, const OrvelNmeaSelection& s, int rate, bool on);

}  // namespace FJParse
}  // namespace Fjarnis2011
