#pragma once

// The command builder of the maker's new-protocol board: each command is one
// item list (operation item 14 for a setting, 15 for a query, then the
// parameter items) packed by the new protocol's TLV packer into link frames,
// with command id 0. The base and rover settings of the base class supply the
// values of the base and rover commands.

#include "protocol/boards/Em_ICmdPaker.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_CmdPaker_Q50 : public Em_ICmdPaker {
public:
    // Position and dilutions at 1 Hz; satellites, the outputs GnssTextC and
    // GnssOutput1044 and the base position every 5 s (OvParam names).
    void Cmd_Inite(CmdList& out, int extra) override;
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;  // OvParam::GnssPosition
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;     // OvParam::GnssTextB
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;  // OvParam::GnssElevMask
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    void Cmd_ElevMask(CmdList& out) override;    // query of OvParam::GnssElevMask
    void Cmd_UnlogData(CmdList& out) override;   // OvParam::GnssUnlog
    // Elevation and PDOP masks, base position (degrees), output port,
    // differential type, port and baud code, all from the base settings.
    void Cmd_StartBase(CmdList& out) override;
    // Elevation and PDOP masks of the rover settings.
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;       // OvParam::GnssReset
};

// The differential type the new-protocol board is told for a correction type
// code of the base settings: 3 -> 2; 4, 5, 8-11 -> 5; 6 -> 3; 7, 13, 14 -> 6;
// 12 -> 4; any other -> 1.
uint16_t Q50_DiffTypeOf(uint32_t correctionType);

}  // namespace FJParse
}  // namespace Fjarnis2011
