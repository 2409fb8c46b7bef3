#pragma once

// The command builder of the Hemisphere board (MAINBD_OEM_TYPE 4): every
// operation appends "$J" text commands, one line per `_STR_CMD` record, each
// ending in CR LF and followed by a 50 ms pause. Of the settings it reads only
// the rover's differential source.

#include "protocol/boards/Em_ICmdPaker.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_CmdPaker_Hemis : public Em_ICmdPaker {
public:
    static constexpr uint32_t kDelay = 50;

    // Output rate of a GNSS_FRQ code in the "$JASC" commands: 10 Hz, 5 Hz,
    // 2 Hz, and 1 Hz for every other code.
    static int Rate(uint32_t frq);

    void Cmd_Inite(CmdList& out, int extra) override;
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    // The board keeps no raw observations or ephemerides for us: nothing.
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;
    // Nothing: the board takes no satellite lockout from us.
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) override;
    void Cmd_ElevMask(CmdList& out) override;
    void Cmd_UnlogData(CmdList& out) override;
    // Nothing: a Hemisphere board is never a base here.
    void Cmd_StartBase(CmdList& out) override;
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
