#include "protocol/boards/Em_MainBd_Unicore.h"

#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

bool IsTalker(const uint8_t* p, char a, char b) { return p[1] == a && p[2] == b; }

}  // namespace

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
