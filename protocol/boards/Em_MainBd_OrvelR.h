#pragma once

// The maker's own main board (MAINBD_OEM_TYPE 3), found only in the maker's
// old-protocol receivers. It sends binary logs in the NovAtel framing and NMEA
// sentences; its parser feeds the outside RTK engine, which the board starts
// together with the rover.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_CmdPaker_Q70R.h"
#include "protocol/boards/Em_RepParser_Q70R.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_MainBd_OrvelR : public EmIMainBoard {
public:
    // The parser (without an engine) and the builder; COM is initialised for
    // the engine (and, on the handheld, the engine server registered).
    Em_MainBd_OrvelR();

    // Applies a solution the engine has posted since the last call, then
    // decodes the buffered frame. 0: nothing decoded and no solution; 1: the
    // caller takes ChangedMask (a solution's bits are or-ed into those of the
    // frame). Bytes that start no log or "$GP"/"$GL" sentence are dropped with
    // the mask cleared, and the result is 1.
    unsigned Parse_NextFrame() override;
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;
    // The builder's rover start, then the engine's start (or restart).
    void Cmd_StartRover(CmdList& out) override;

    Em_RepParser_Q70R* Parser() const { return static_cast<Em_RepParser_Q70R*>(RepParser()); }

private:
    unsigned ParseFrame();
    unsigned ParseBinaryLog();
};

}  // namespace FJParse
}  // namespace Fjarnis2011
