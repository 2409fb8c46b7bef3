#pragma once

// The command builder of a board family: packs the board's own commands as
// `_STR_CMD` records appended to the caller's vector, in sending order, and
// holds the base and rover settings that the protocol object hands out.

#include "protocol/Em_Types.h"
#include "protocol/boards/Em_BoardTypes.h"

#include <cstdint>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

using CmdList = std::vector<_STR_CMD>;

// Appends one record holding exactly the bytes of the NUL-terminated `text`
// (1 to 512 bytes; the rest of the data zeroed) with the given delay; a null,
// empty or longer text appends nothing. Returns true when a record was added.
bool Pak_SendText(CmdList& out, const char* text, uint32_t delay);

// The same for a text of known length (no terminator needed).
bool Pak_SendBytes(CmdList& out, const uint8_t* data, uint32_t length, uint32_t delay);

class Em_ICmdPaker {
public:
    // Fills the settings with their defaults; the leading word is 0.
    Em_ICmdPaker();
    virtual ~Em_ICmdPaker() = default;
    Em_ICmdPaker(const Em_ICmdPaker&) = delete;
    Em_ICmdPaker& operator=(const Em_ICmdPaker&) = delete;

    // Builder operations, in the order the boards forward them. `extra` of
    // Cmd_Inite is passed by the formats and read by no builder so far.
    virtual void Cmd_Inite(CmdList& out, int extra) = 0;
    virtual void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) = 0;
    virtual void Cmd_Obs(CmdList& out, GNSS_FRQ frq) = 0;
    virtual void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) = 0;
    virtual void Cmd_EphemSat(CmdList& out, unsigned satellite) = 0;
    virtual void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) = 0;
    virtual void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) = 0;
    virtual void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) = 0;
    // Nothing in the system calls it; the base appends nothing.
    virtual void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list);
    virtual void Cmd_ElevMask(CmdList& out) = 0;
    virtual void Cmd_UnlogData(CmdList& out) = 0;
    virtual void Cmd_StartBase(CmdList& out) = 0;
    virtual void Cmd_StartRover(CmdList& out) = 0;
    virtual void Cmd_Reset(CmdList& out) = 0;
    // The base appends nothing.
    virtual void Cmd_PassCom(CmdList& out, int port);

    // The leading word: the board's output port index for the families that
    // name a port in their commands (Trimble BD), the builder's mode word for
    // the formats (0 or 1). Set by the format that creates the board.
    uint32_t outputPortIndex = 0;
    Base_Config baseConfig;
    Rover_Config roverConfig;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
