#include "protocol/boards/Em_MainBd_NovAt_OEM.h"

#include "platform/Endian.h"
#include "protocol/Em_Checksum.h"

#include <new>

namespace Fjarnis2011 {
namespace FJParse {

Em_MainBd_NovAt_OEM::Em_MainBd_NovAt_OEM() : EmIMainBoard(MAINBD_NOVATEL_OEM) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_ReptParser_NovAt);
    std::unique_ptr<Em_CmdPaker_NovAt> builder(new (std::nothrow) Em_CmdPaker_NovAt);
    if (builder) builder->rtcm3Selector = 2;
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_NovAt_OEM::Parse_NextFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (p[0] == NovAtelLog::kSync[0] && p[1] == NovAtelLog::kSync[1] && p[2] == NovAtelLog::kSync[2])
        return ParseBinaryLog();
    if (p[0] == '$' && ((p[1] == 'G' && (p[2] == 'P' || p[2] == 'L' || p[2] == 'N')) || (p[1] == 'B' && p[2] == 'D')))
        return ParseNmeaSentence();
    // D3 and six zero bits: an RTCM 3 frame of any length up to 1023 bytes.
    if (p[0] == 0xD3 && (p[1] & 0xFC) == 0) return Parse_Rtcm3Frame();
    if (p[0] == 0x02 && (p[2] == 0x98 || p[2] == 0x93)) return Parse_CmrFrame();
    ClearRecvBuffer();
    return 0;
}

// The buffer holds exactly one log: its 28-byte header, the body and the CRC.
unsigned Em_MainBd_NovAt_OEM::ParseBinaryLog() {
    const int n = Buffered();
    if (n < int(NovAtelLog::kHeaderSize)) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    const int headerLength = p[NovAtelLog::kHeaderLengthAt];
    const int frame = headerLength + platform::ReadLE16(p + NovAtelLog::kBodyLengthAt) + int(NovAtelLog::kCrcSize);
    // A header of another length, or a log that could never fit the buffer,
    // is no log this board can take: waiting for it would hold the buffer.
    if (headerLength != int(NovAtelLog::kHeaderSize) || frame > MainBdRecvBuffer::kSize) {
        ClearRecvBuffer();
        return 0;
    }
    if (n < frame) return 0;  // wait for the rest
    if (n > frame || (!FrameChecked(frame) && !Check_Crc32(p, frame))) {
        ClearRecvBuffer();
        return 0;
    }
    const int id = platform::ReadLE16(p + NovAtelLog::kMessageIdAt);
    const unsigned result = Parse_BinFrame(p, id, unsigned(frame));
    ClearRecvBuffer();
    return result ? 1u : 0u;
}

unsigned Em_MainBd_NovAt_OEM::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

void SetNovAtelBoardOptions(EmIMainBoard& board, uint32_t boardVariant) {
    if (board.Type() != MAINBD_NOVATEL_OEM) return;
    if (Em_IRepParser* parser = board.RepParser()) {
        parser->gpsHold = 1;
        parser->gloHold = 1;
        parser->bdsHold = 1;
    }
    if (boardVariant == 1 || boardVariant == 2)
        if (auto* builder = dynamic_cast<Em_CmdPaker_NovAt*>(board.CmdPaker())) builder->rtcm3Selector = boardVariant;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
