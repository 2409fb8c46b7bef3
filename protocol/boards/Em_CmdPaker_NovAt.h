#pragma once

// The command builder of the NovAtel OEM board (MAINBD_OEM_TYPE 2): every
// operation appends lines of the NovAtel ASCII command language, one line per
// `_STR_CMD` record, ending in CR LF. It reads the base and rover settings of
// the builder base; its one word of its own selects the RTCM 3 set.

#include "protocol/boards/Em_ICmdPaker.h"

#include <string>

namespace Fjarnis2011 {
namespace FJParse {

class Em_CmdPaker_NovAt : public Em_ICmdPaker {
public:
    // Delays of the records: 200 ms for a base start, 50 ms for the rest.
    static constexpr uint32_t kDelay = 50;
    static constexpr uint32_t kBaseDelay = 200;
    // A command line is formatted into a buffer of this size; a longer one
    // (only absurd settings make one) is not sent.
    static constexpr size_t kLineBuffer = 200;

    void Cmd_Inite(CmdList& out, int extra) override;
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Obs(CmdList& out, GNSS_FRQ frq) override;
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) override;
    // Appends nothing.
    void Cmd_EphemSat(CmdList& out, unsigned satellite) override;
    // Selector 1 GPS cutoff, 2 GLONASS cutoff, 3 or 4 both, any other the GPS
    // cutoff; then the DOP log.
    void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) override;
    // Locks the satellite out, or releases it when `release` is not 0.
    void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) override;
    void Cmd_ElevMask(CmdList& out) override;
    void Cmd_UnlogData(CmdList& out) override;
    void Cmd_StartBase(CmdList& out) override;
    void Cmd_StartRover(CmdList& out) override;
    void Cmd_Reset(CmdList& out) override;
    void Cmd_PassCom(CmdList& out, int port) override;

    // RTCM 3 message-set selector: 1 rover interface mode RTCMV3 and base set
    // A; 2 rover AUTO and base set B; any other rover AUTO and base set A.
    uint32_t rtcm3Selector = 2;

private:
    void CorrectionLogs(CmdList& out, int port);
};

// Appends one command line (the text as it stands) with the delay, when it is
// 1 to kLineBuffer - 1 bytes long. Shared with the builders that speak the
// same command language.
bool Pak_NovAtelLine(CmdList& out, const std::string& line, uint32_t delay);

// The satellite lockout of the NovAtel command language, one line with the
// delay kDelay: "unlockout <n>" when `release` is not 0, else "lockout <n>".
// The maker's own board takes the very same line, so both builders call this.
void Pak_NovAtelLockout(CmdList& out, unsigned satellite, unsigned release);

}  // namespace FJParse
}  // namespace Fjarnis2011
