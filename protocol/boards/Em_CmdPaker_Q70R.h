#pragma once

// The command builder of the maker's own main board (MAINBD_OEM_TYPE 3),
// which only the maker's old-protocol receivers carry. The board reads the
// NovAtel command language with the maker's own log names; the receiver hands
// the lines to it only between an opening and a closing "IM" frame of its own
// "$$" protocol, so most groups of lines are bracketed by those two records.
// The format passes the caller's vector straight through: the records go to
// the port as built. Every record carries the delay kDelay.

#include "protocol/boards/Em_ICmdPaker.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

class Em_CmdPaker_Q70R : public Em_ICmdPaker {
public:
    static constexpr uint32_t kDelay = 50;
    // "$$" | I M | head 18 (class 8, mode 1) | length 01 | payload | XOR | CR LF
    static constexpr uint8_t kOpenFrame[10] = {0x24, 0x24, 0x49, 0x4D, 0x18, 0x01, 0x01, 0x1C, 0x0D, 0x0A};
    static constexpr uint8_t kCloseFrame[10] = {0x24, 0x24, 0x49, 0x4D, 0x18, 0x01, 0x02, 0x1F, 0x0D, 0x0A};

    // `extra` is not read.
    void Cmd_Inite(CmdList& out, int extra) override;
    // One line, no brackets; the board has no "unlog" for the position log,
    // so every rate it does not know (off included) is once a second.
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    // The board's raw logs are chosen by the rover start: these append nothing.
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    // Selector 1 the GPS cutoff, any other the GLONASS cutoff.
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;
    // The NovAtel lockout line itself, without brackets.
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    // NMEA output is the receiver's own business on this board.
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) override;
    // Asks for the dilutions once.
    void Cmd_ElevMask(CmdList& out) override;
    void Cmd_UnlogData(CmdList& out) override;
    // Masks, the fixed position, then the opening frame and the correction
    // logs; no closing frame follows (the base keeps the board's port).
    void Cmd_StartBase(CmdList& out) override;
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;
    void Cmd_PassCom(CmdList& out, int port) override;

private:
    static void Open(CmdList& out);
    static void Close(CmdList& out);
    void CorrectionLogs(CmdList& out, int portNumber);
};

}  // namespace FJParse
}  // namespace Fjarnis2011
