#include "protocol/boards/Em_MainBd_Common.h"

#include <new>

namespace Fjarnis2011 {
namespace FJParse {

// The receiver takes no board command: every builder operation appends
// nothing.
void Em_CmdPaker_Common::Cmd_Inite(CmdList&, int) {}
void Em_CmdPaker_Common::Cmd_PosFrq(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Common::Cmd_Obs(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Common::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Common::Cmd_EphemSat(CmdList&, unsigned) {}
void Em_CmdPaker_Common::Cmd_ElevMask_Set(CmdList&, int, unsigned) {}
void Em_CmdPaker_Common::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}
void Em_CmdPaker_Common::Cmd_Nmea(CmdList&, uint32_t, GNSS_FRQ, int) {}
void Em_CmdPaker_Common::Cmd_ElevMask(CmdList&) {}
void Em_CmdPaker_Common::Cmd_UnlogData(CmdList&) {}
void Em_CmdPaker_Common::Cmd_StartBase(CmdList&) {}
void Em_CmdPaker_Common::Cmd_StartRover(CmdList&) {}
void Em_CmdPaker_Common::Cmd_Reset(CmdList&) {}

namespace {

bool IsTalker(const uint8_t* p, char a, char b) { return p[1] == a && p[2] == b; }

}  // namespace

// A frame with bytes is taken; nothing in it is decoded.
unsigned Em_RepParser_Common::Decode_BinFrame(const uint8_t* data, int, unsigned length) {
    if (!data || length == 0) return 0;
    ChangedMask = 0;
    return 1;
}

Em_MainBd_Common::Em_MainBd_Common() : Em_MainBd_Common(MAINBD_NMEA_ONLY) {}

Em_MainBd_Common::Em_MainBd_Common(MAINBD_OEM_TYPE reportedType) : EmIMainBoard(reportedType) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_Common);
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_Common);
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_Common::Parse_NextFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (p[0] == '$' && (IsTalker(p, 'G', 'P') || IsTalker(p, 'G', 'L'))) return ParseNmeaSentence();
    // Not a sentence of this board: dropped, and nothing is announced for it.
    if (RepParser()) RepParser()->ChangedMask = 0;
    ClearRecvBuffer();
    return 1;
}

unsigned Em_MainBd_Common::Parse_BinFrame(const uint8_t*, int, unsigned) { return 1; }

}  // namespace FJParse
}  // namespace Fjarnis2011
