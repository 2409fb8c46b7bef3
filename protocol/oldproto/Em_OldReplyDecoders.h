#pragma once

// Decoders of the old "$$" protocol's replies. The format's reply dispatch
// calls one of them per checked frame (the frame is in the format's `frame`,
// its payload at offset 6); each fills the format's records and, when it
// stored something, sets `messageClass` (2 for the old protocol's replies,
// 1 for board output) and the change bits in `changeMask`. Every decoder
// checks that the reply holds the fields it reads; a reply too short for its
// fields changes nothing. Multi-byte values are little-endian unless said
// otherwise.

#include <cstdint>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

class Em_Format_OrvelNav;
struct ModemRecord;

// "RG": board output; the payload goes to the main board's receive buffer and
// the board cuts what it can (class 1, the board parser's change bits).
void DecodeBoardOutput(Em_Format_OrvelNav& f);
// "RX": the payload (at most 200 bytes) and its length (bit 0x2000).
void DecodeRawReply(Em_Format_OrvelNav& f);
// "ST": the receiver's closing notice (bit 0x200) when it reads as one.
void DecodeClosing(Em_Format_OrvelNav& f);
// "SD": battery grade (five-byte reply, bit 0x4000000) and level 0..10
// (bit 0x40000000).
void DecodeBattery(Em_Format_OrvelNav& f);
// "SI": collects the 128-byte device-information record, which may come in
// several replies, and decodes it once it is whole.
void CollectDeviceInfo(Em_Format_OrvelNav& f);
// Decodes a whole 128-byte device-information record into DEVICE_STR, the
// radio module type and the board type (bit 0x80000000 when the model code is
// known).
void DecodeDeviceInfo(Em_Format_OrvelNav& f, const uint8_t* record);
// "SS" (bit 0x20000), "FB" static point (bit 0x400), "FF" eBubble (bit 0x80),
// "FH" two values (bit 0x80), "VY" firmware debug (bit 0x100), "VM" source
// table (bit 0x1000).
void DecodeSsRecord(Em_Format_OrvelNav& f);
void DecodeStaticPoint(Em_Format_OrvelNav& f);
void DecodeBubble(Em_Format_OrvelNav& f);
void DecodeFhReply(Em_Format_OrvelNav& f);
void DecodeFirmwareDebug(Em_Format_OrvelNav& f);
void DecodeSourceTable(Em_Format_OrvelNav& f);
// "RH": satellite data, collected from chunks of 55 payload bytes (a shorter
// chunk ends the record; more than 275 bytes collected before it drop the
// collection) and decoded by its kind into the format's satellite arrays and
// the main board's satellite tables (class 1): a satellite list (merged into
// the tables), satellite records for the tables, a signal-strength update or
// satellite positions. Bits: 0x8000000 GPS, 0x100000 GLONASS, 0x200000
// BeiDou, 0x400000 SBAS, 0x40000000 satellites listed, 0x100 tables updated.
// Nothing without a main board.
void DecodeSatelliteData(Em_Format_OrvelNav& f);
// "VI": a module packet of the internal modem or radio, collected over one or
// more replies and decoded by its reply id.
void DecodeModuleReply(Em_Format_OrvelNav& f);

// The board type (MAINBD_OEM_TYPE 1..4) of the first model-code group found
// in the first ten bytes of a device-information record, and the board
// variant it implies (1 or 2; 0 when the group leaves it unchanged). 0 when
// no model code is found.
int BoardTypeFromModel(const uint8_t* first10, uint32_t* variant);
// Signal level 0..6 of a "+CSQ:" value.
int SignalLevelFromCsq(int csq);
// The module-version rules: the parameter layout flag of a version.
bool UsesNewParameterLayout(int major, int minor);

}  // namespace FJParse
}  // namespace Fjarnis2011
