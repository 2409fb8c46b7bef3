#pragma once

// The Unicore board (MAINBD_OEM_TYPE 6): driven by NMEA only, like the
// generic board, but it also recognises the "$GN" and "$BD" talkers.

#include "protocol/boards/EmIMainBoard.h"

namespace Fjarnis2011 {
namespace FJParse {

// Every operation appends nothing, as the generic NMEA builder.
class Em_CmdPaker_Unicore : public Em_ICmdPaker {
public:
    void Cmd_Inite(CmdList& out, int extra) override;
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    void Cmd_ElevMask(CmdList& out) override;
    void Cmd_UnlogData(CmdList& out) override;
    void Cmd_StartBase(CmdList& out) override;
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;
};

// Decodes as the generic NMEA parser.
class Em_RepParser_Unicore : public Em_IRepParser {
public:
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;
};

class Em_MainBd_Unicore : public EmIMainBoard {
public:
    Em_MainBd_Unicore();
    // "$GP", "$GL", "$GN" and "$BD" sentences go to the NMEA recogniser;
    // anything else is dropped with the buffer (result 1, no change bits).
    unsigned Parse_NextFrame() override;
    // Passes the frame to the parser's Decode_BinFrame.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
