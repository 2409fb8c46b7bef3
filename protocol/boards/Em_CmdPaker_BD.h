#pragma once

// The command builder of the Trimble BD board (MAINBD_OEM_TYPE 1): every
// operation appends Trimble Data Collector (DCOL) packets, one packet per
// `_STR_CMD` record. Most send one application file (packet 0x64): a 7-byte
// header and a list of configuration records; a few send raw requests.

#include "protocol/boards/Em_ICmdPaker.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// DCOL packet types this builder sends.
enum DCOL_PACKET_TYPE : uint8_t {
    DCOL_APPFILE = 0x64,       // application file
    DCOL_OPTIONS_REQ = 0x4A,   // receiver options request (answered by 0x4B)
    DCOL_EPHEMERIS_REQ = 0x54,
    DCOL_RESET = 0x58,
};

// Appends one DCOL packet: STX, status 0, type, the payload length, the
// payload, the sum modulo 256 of status, type, length and payload, ETX. A
// payload of more than 255 bytes appends nothing (false).
bool MakeDcolPacket(CmdList& out, uint8_t type, const uint8_t* payload, unsigned length, uint32_t delay);

class Em_CmdPaker_BD : public Em_ICmdPaker {
public:
    static constexpr uint32_t kDelay = 100;
    static constexpr uint32_t kShortDelay = 50;
    static constexpr uint32_t kSettleDelay = 500;
    // The payload length byte of a packet.
    static constexpr unsigned kMaxPayload = 255;

    // The serial-port baud code of a baud rate (0 for a rate the board lacks).
    static uint8_t BaudCode(uint32_t baud);

    void Cmd_Inite(CmdList& out, int extra) override;
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;
    // One request for each GPS satellite 1 to 32.
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    // Nothing for a satellite number outside 1 to 32.
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;
    // Nothing: the board takes no satellite lockout from us.
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    // One output record per element; the records stop where one more would
    // not fit the packet (41 records).
    void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) override;
    void Cmd_ElevMask(CmdList& out) override;
    void Cmd_UnlogData(CmdList& out) override;
    // Sets the base settings' output port to 1 and baud rate to 38400 first.
    void Cmd_StartBase(CmdList& out) override;
    // Sets the rover settings' input port to 1 first.
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;

    // BD variant flag, set by the old-protocol format from the receiver's
    // model: it picks a byte of the raw-output record and adds a packet to
    // start rover.
    uint32_t bdVariant = 0;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
