#pragma once

// Send side of the maker's old "$$" protocol: one command text or byte payload
// becomes one frame
//
//   '$' '$' | letter letter | head byte | length n | payload (n) | XOR | CR LF
//
// where the head byte is class + 16 x mode and the XOR runs over the letters,
// the head byte, the length byte and the payload. Commands for the receiver's
// internal modem or radio travel as module packets inside "VS," frames.
//
// These routines belong to the old-protocol frame format but read nothing of
// it except its com status (1 serial COM, 2 Bluetooth). So that the format
// class can call them without this file knowing the class, each routine that
// needs it takes the com status as a plain `comStatus` argument: the format
// passes its own `comStatus` field. None of them touches a port, allocates
// beyond its stack and the caller's vector, or reports an error other than
// through its result.
//
// Everything that would not fit is refused rather than cut into a wrong frame:
// a payload never exceeds what the length byte holds, and the text tokens stop
// at the payload limit of one frame.

#include "protocol/Em_Types.h"

#include <cstdint>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

// Largest frame: 255 payload bytes and 9 bytes of framing. Every `out` buffer
// handed to a packer must hold at least this many bytes (a `_STR_CMD`'s data
// does).
constexpr unsigned kDollarFrameMaxSize = 264;
// Largest payload the length byte can state.
constexpr unsigned kDollarPayloadMax = 255;
// Text tokens (and so the module tunnel) stop at this many payload bytes.
constexpr unsigned kDollarTextPayloadMax = 250;
// A command text is read up to this many characters.
constexpr unsigned kDollarTextMax = 1023;
// Head-byte classes: 8 for byte payloads and most text commands, 11 for the
// module tunnel, the "VL,S" frames and the text commands that ask for it.
constexpr int kDollarClassCommand = 8;
constexpr int kDollarClassModule = 11;
// Long data goes out in pieces of this many bytes.
constexpr unsigned kDollarChunk = 55;

// Packer mode for a com status: 1 (serial) gives mode 1, 2 (Bluetooth) gives
// mode 3; any other status gives 0, for which no frame is built.
int DollarPackerMode(int comStatus);

// Builds one frame from a command text: two command letters, then tokens
// after a ',' or ' ' separator:
//   B<n> one byte, M<n> 16 bits high byte first, W<n> 16 bits low byte first,
//   L<n> 32 bits low byte first, S<rest> the rest of the text raw.
// Numbers are decimal with optional leading blanks and sign; the low bits of
// the value are stored, so L takes the whole unsigned 32-bit range. Tokens
// stop at kDollarTextPayloadMax payload bytes; a token that would pass that
// limit ends the scan (an S text is cut there). The text is read up to
// kDollarTextMax characters; `out` may be the buffer that holds `text`.
// Writes the frame length to `outLength` (when given). False (nothing written)
// when `text` or `out` is null.
bool PackTextCommand(const char* text, uint8_t* out, unsigned* outLength, int mode, int cls);

// Builds one class-8 frame from a byte payload. Refused (nothing written,
// false) when `payload` or `out` is null or `n` is above kDollarPayloadMax.
bool PackBinaryCommand(const char letters[2], const uint8_t* payload, unsigned n, uint8_t* out,
                       unsigned* outLength, int mode);

// Fixed-letter wrappers: the record's first `length` data bytes are the
// payload; the frame replaces the record's data in place and its length
// becomes the frame length; the delay is kept. When the com status gives no
// mode or the record holds more than kDollarPayloadMax bytes, the record is
// emptied (data zero, length 0) and the result is false.
bool PackLetterFrame(int comStatus, _STR_CMD& cmd, const char letters[2]);
bool PackRzFrame(int comStatus, _STR_CMD& cmd);  // "RZ" pass-through to the GNSS board
bool PackVdFrame(int comStatus, _STR_CMD& cmd);  // "VD" differential data
bool PackSsFrame(int comStatus, _STR_CMD& cmd);  // "SS"
bool PackSxFrame(int comStatus, _STR_CMD& cmd);  // "SX"
bool PackSjFrame(int comStatus, _STR_CMD& cmd);  // "SJ" one-byte settings

// Text for the modem in a "VL,S" frame of class 11, in place: the record's
// first `length` bytes (up to a zero byte among them) become the payload, a
// zero byte follows the frame. Records of more than kDollarTextPayloadMax bytes
// and a com status without a mode empty the record and give false.
bool PackVlFrame(int comStatus, _STR_CMD& cmd);

// Module tunnel: packs the module packet
//   0x40 | id | ~id | m (LE16) | data (m) | XOR of all preceding bytes
// as the payload of one "VS" frame of class 11, the frame that the text
// "VS,B64 B<id> ..." gives. A packet longer than one frame carries (m above
// kDollarTextPayloadMax - 6), a negative m, null data with m above 0, a null
// `out` or a com status without a mode write nothing and give false.
bool PackModuleTunnel(int comStatus, int id, uint8_t* out, unsigned* outLength, int m, const uint8_t* data);

// Differential correction data as "VD" frames of at most kDollarChunk bytes,
// delay 10 each, appended in order; n = 0 gives one frame with an empty
// payload. The old-protocol format's differential-data operation calls this.
// Nothing is appended for null data with n above 0 or a com status without a
// mode. Returns the number of records appended.
unsigned PackDiffDataFrames(int comStatus, std::vector<_STR_CMD>& out, const uint8_t* data, unsigned n);

// Wraps every record of `in` for the receiver: a record below 56 bytes is
// wrapped in place (the input record changes) and a copy appended with its own
// delay; a longer one is cut into kDollarChunk-byte pieces (the last one holds
// the rest), each a new record with delay 100. `SplitToRzFrames` wraps in "RZ"
// frames (commands of the main board's builder), `SplitToVlFrames` in "VL,S"
// frames (modem texts such as the NTRIP request). A length above 512 is read
// as 512. A piece that cannot be packed is not appended. Returns the number
// of records appended.
unsigned SplitToRzFrames(int comStatus, std::vector<_STR_CMD>& out, std::vector<_STR_CMD>& in);
unsigned SplitToVlFrames(int comStatus, std::vector<_STR_CMD>& out, std::vector<_STR_CMD>& in);

// PPK point packet, built into a block of kPointRecordBlockSize bytes:
//   01 0B F4 | length | kind | u32 (LE) | byte | 30 bytes | byte | kind part | sum (LE16)
// from a source record laid out as
//   0: u32, 8: byte, 9..38: 30 bytes, 39: byte,
//   kind 6: 40: text length k, 41: k text bytes;
//   kind 7: 40: u32;  kind 12: 80: byte, 84: u32;  kind 8: nothing more.
// The source must hold the bytes its kind reads. An unlisted kind gives the
// kind-8 layout with length byte 0. Returns the packet length; -1 when `point`
// or `out` is null; 0 (nothing written) when a kind-6 text would not fit the
// block.
constexpr unsigned kPointRecordBlockSize = 150;
int PackPointRecord(const void* point, uint8_t* out, int kind);

}  // namespace FJParse
}  // namespace Fjarnis2011
