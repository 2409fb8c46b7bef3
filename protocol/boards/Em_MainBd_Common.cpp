#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <new>

namespace Fjarnis2011 {
namespace FJParse {

// The receivers of these two families take no board command: every builder
// operation appends nothing.
#define EM_EMPTY_NMEA_BUILDER(Class)                                                    \
    void Class::Cmd_Inite(CmdList&, int) {}                                             \
    void Class::Cmd_PosFrq(CmdList&, GNSS_FRQ) {}                                       \
    void Class::Cmd_Obs(CmdList&, GNSS_FRQ) {}                                          \
    void Class::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}                                    \
    void Class::Cmd_EphemSat(CmdList&, unsigned) {}                                     \
    void Class::Cmd_ElevMask_Set(CmdList&, int, unsigned) {}                            \
    void Class::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}                       \
    void Class::Cmd_Nmea(CmdList&, uint32_t, GNSS_FRQ, int) {}                          \
    void Class::Cmd_ElevMask(CmdList&) {}                                               \
    void Class::Cmd_UnlogData(CmdList&) {}                                              \
    void Class::Cmd_StartBase(CmdList&) {}                                              \
    void Class::Cmd_StartRover(CmdList&) {}                                             \
    void Class::Cmd_Reset(CmdList&) {}

EM_EMPTY_NMEA_BUILDER(Em_CmdPaker_Common)
EM_EMPTY_NMEA_BUILDER(Em_CmdPaker_Unicore)

#undef EM_EMPTY_NMEA_BUILDER

namespace {

// A frame with bytes is taken; nothing in it is decoded.
unsigned TakeBinFrame(Em_IRepParser& parser, const uint8_t* data, unsigned length) {
    if (!data || length == 0) return 0;
    parser.ChangedMask = 0;
    return 1;
}

bool IsTalker(const uint8_t* p, char a, char b) { return p[1] == a && p[2] == b; }

}  // namespace

unsigned Em_RepParser_Common::Decode_BinFrame(const uint8_t* data, int, unsigned length) {
    return TakeBinFrame(*this, data, length);
}

unsigned Em_RepParser_Unicore::Decode_BinFrame(const uint8_t* data, int, unsigned length) {
    return TakeBinFrame(*this, data, length);
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

Em_MainBd_Unicore::Em_MainBd_Unicore() : EmIMainBoard(MAINBD_UNICORE) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_Unicore);
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_Unicore);
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_Unicore::Parse_NextFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (p[0] == '$' && (IsTalker(p, 'G', 'P') || IsTalker(p, 'G', 'L') || IsTalker(p, 'G', 'N') ||
                        IsTalker(p, 'B', 'D')))
        return ParseNmeaSentence();
    if (RepParser()) RepParser()->ChangedMask = 0;
    ClearRecvBuffer();
    return 1;
}

unsigned Em_MainBd_Unicore::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
