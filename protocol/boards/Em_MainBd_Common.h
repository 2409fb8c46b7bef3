#pragma once

// The board of another maker's receiver that is driven by NMEA only
// (MAINBD_OEM_TYPE 5): it sends no command of its own and decodes the
// "$GP" and "$GL" sentences it recognises.

#include "protocol/boards/EmIMainBoard.h"

namespace Fjarnis2011 {
namespace FJParse {

// Every operation appends nothing: the receiver takes no board command.
class Em_CmdPaker_Common : public Em_ICmdPaker {
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

// Decodes NMEA through the base dispatch; a binary frame is taken without
// decoding (0 for no frame, else the mask cleared and 1).
class Em_RepParser_Common : public Em_IRepParser {
public:
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;
};

class Em_MainBd_Common : public EmIMainBoard {
public:
    Em_MainBd_Common();
    // "$GP" and "$GL" sentences go to the NMEA recogniser; anything else is
    // dropped with the buffer (result 1, no change bits).
    unsigned Parse_NextFrame() override;
    // Returns 1: this board has no binary frames.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;

protected:
    // The same board reporting another type (the NMEA-driven families).
    explicit Em_MainBd_Common(MAINBD_OEM_TYPE reportedType);
};

}  // namespace FJParse
}  // namespace Fjarnis2011
