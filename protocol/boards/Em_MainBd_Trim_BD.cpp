#include "protocol/boards/Em_MainBd_Trim_BD.h"

#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;

}  // namespace

Em_MainBd_Trim_BD::Em_MainBd_Trim_BD() : EmIMainBoard(MAINBD_TRIMBLE_BD) {
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_BD);
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_BD);
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_Trim_BD::Parse_NextFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (p[0] == kStx && (p[2] == 0x93 || p[2] == 0x98)) return Parse_CmrFrame();
    if (p[0] == kStx) return ParseDcolPacket();
    if (p[0] == '$' && p[1] == 'G' && (p[2] == 'P' || p[2] == 'L')) return ParseNmeaSentence();
    // D3 and six zero bits: an RTCM 3 frame.
    if (p[0] == 0xD3 && (p[1] & 0xFC) == 0) return Parse_Rtcm3Frame();
    // Not a frame of this board: dropped, and the mask of the frame before
    // must not be announced again.
    if (RepParser()) RepParser()->ChangedMask = 0;
    ClearRecvBuffer();
    return 0;
}

// STX, status, type, length L, L payload bytes, checksum, ETX. The checksum
// and the ETX are checked before the parser sees any of it.
unsigned Em_MainBd_Trim_BD::ParseDcolPacket() {
    const int n = Buffered();
    if (n < int(Dcol::kHeaderSize)) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    const int payload = p[Dcol::kLengthAt];
    const int total = payload + int(Dcol::kOverhead);
    if (n < total) return 0;  // wait for the rest
    uint8_t sum = 0;
    for (int k = 1; k < payload + 4; ++k) sum = uint8_t(sum + p[k]);
    if (sum != p[payload + 4] || p[payload + 5] != kEtx) {
        if (RepParser()) RepParser()->ChangedMask = 0;
        ClearRecvBuffer();
        return 0;
    }
    const unsigned result = Parse_BinFrame(p, p[Dcol::kTypeAt], unsigned(total));
    ClearRecvBuffer();
    return result ? 1u : 0u;
}

unsigned Em_MainBd_Trim_BD::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

void SetTrimbleBoardOptions(EmIMainBoard& board, uint32_t boardVariant) {
    if (board.Type() != MAINBD_TRIMBLE_BD) return;
    if (Em_IRepParser* parser = board.RepParser()) parser->satDetail = 0;
    if (auto* builder = dynamic_cast<Em_CmdPaker_BD*>(board.CmdPaker())) {
        if (boardVariant == 1) builder->bdVariant = 1;
        if (boardVariant == 2) builder->bdVariant = 0;
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
