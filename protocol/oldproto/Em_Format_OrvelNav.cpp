#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include "protocol/FormatFactory.h"
#include "protocol/FrameReaders.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_OrvelR.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"
#include "protocol/boards/Em_MainBd_Trim_BD.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "protocol/oldproto/Em_OldCommands.h"
#include "protocol/oldproto/Em_OldReplyDecoders.h"

#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr uint8_t kDollar = 0x24;
constexpr uint8_t kNovAtelSync = 0xAA;
// '$' '$', two letters, head byte, length byte: the bytes before the payload.
constexpr int kDollarHead = 6;
// The head, the check byte, CR and LF.
constexpr int kDollarOverhead = 9;

struct LetterId {
    char first, second;
    int id;
};

constexpr LetterId kReplyIds[] = {
    {'R', 'G', OldReplyId::RG}, {'R', 'K', OldReplyId::RK}, {'R', 'Z', OldReplyId::RZ},
    {'R', 'X', OldReplyId::RX}, {'R', 'C', OldReplyId::RC}, {'R', 'R', OldReplyId::RR},
    {'R', 'S', OldReplyId::RS}, {'S', 'T', OldReplyId::ST}, {'V', 'S', OldReplyId::VS},
    {'V', 'D', OldReplyId::VD}, {'V', 'C', OldReplyId::VC}, {'V', 'F', OldReplyId::VF},
    {'V', 'R', OldReplyId::VR}, {'V', 'I', OldReplyId::VI}, {'V', 'L', OldReplyId::VL},
    {'R', 'H', OldReplyId::RH}, {'S', 'D', OldReplyId::SD}, {'S', 'I', OldReplyId::SI},
    {'S', 'C', OldReplyId::SC}, {'S', 'X', OldReplyId::SX}, {'S', 'S', OldReplyId::SS},
    {'V', 'Y', OldReplyId::VY}, {'F', 'B', OldReplyId::FB}, {'F', 'F', OldReplyId::FF},
    {'F', 'H', OldReplyId::FH}, {'V', 'M', OldReplyId::VM},
};

// The first byte after the one at p[0] that can start a frame of this format
// ('$' or the NovAtel sync); n when there is none.
int NextFrameStart(const uint8_t* p, int n) {
    int i = 1;
    while (i < n && p[i] != kDollar && p[i] != kNovAtelSync) ++i;
    return i;
}

}  // namespace

int OldReplyIdFromLetters(uint8_t first, uint8_t second) {
    for (const LetterId& e : kReplyIds)
        if (uint8_t(e.first) == first && uint8_t(e.second) == second) return e.id;
    return first * 256 + second;
}

DollarFrameCut ReadDollarFrame(const uint8_t* p, int n) {
    if (!p || n < kDollarHead) return {OldFrameResult::Incomplete, 0};
    const int length = p[5] + kDollarOverhead;
    if (n < length) return {OldFrameResult::Incomplete, 0};
    // Both '$' cancel out, so this is the XOR of the letters, the head byte,
    // the length byte and the payload against the check byte.
    uint8_t x = 0;
    for (int k = 0; k < length - 2; ++k) x ^= p[k];
    if (x != 0) return {OldFrameResult::BadChecksum, 0};
    return {OldFrameResult::Decoded, length};
}

std::unique_ptr<EmIMainBoard> CreateOrvelNavBoard(MAINBD_OEM_TYPE t) {
    switch (t) {
    case MAINBD_TRIMBLE_BD:
    case MAINBD_NOVATEL_OEM:
    case MAINBD_HEMISPHERE:
        // The OEM families are the same boards as in other makers' receivers.
        return CreateCommonBoard(t);
    case MAINBD_ORVEL_OLD:
        return std::make_unique<Em_MainBd_OrvelR>();
    default:
        return CreateCommonBoard(MAINBD_NOVATEL_OEM);
    }
}

std::unique_ptr<Em_IFormat> CreateFormat_OrvelNav(RingBuffer& ring) {
    return std::make_unique<Em_Format_OrvelNav>(ring);
}

Em_Format_OrvelNav::Em_Format_OrvelNav(RingBuffer& ring, BoardFactory factory)
    : Em_IFormat(ring), factory_(factory ? std::move(factory) : BoardFactory(&CreateOrvelNavBoard)) {
    makerCode = GNSS_MNFCTR_ORVEL;
    messageClass = MSG_TYPE_NONE;
}

Em_Format_OrvelNav::~Em_Format_OrvelNav() = default;

bool Em_Format_OrvelNav::Reset_GnsMd(MAINBD_OEM_TYPE t) {
    const bool known = t == MAINBD_TRIMBLE_BD || t == MAINBD_NOVATEL_OEM || t == MAINBD_ORVEL_OLD ||
                       t == MAINBD_HEMISPHERE;
    std::unique_ptr<EmIMainBoard> board = factory_(known ? t : MAINBD_NOVATEL_OEM);
    if (!board) return false;
    // Every board of these receivers answers through the receiver's own port:
    // the builder's leading word is 1. The Trimble and NovAtel families take
    // their variant from `boardVariant`.
    if (Em_ICmdPaker* builder = board->CmdPaker()) builder->outputPortIndex = 1;
    if (board->Type() == MAINBD_HEMISPHERE) {
        // GPS satellites-in-view cycles are completed by the board's own
        // channel report.
        if (Em_IRepParser* parser = board->RepParser()) parser->gpsHold = 1;
    }
    if (t == MAINBD_NOVATEL_OEM) SetNovAtelBoardOptions(*board, boardVariant);
    SetTrimbleBoardOptions(*board, boardVariant);
    ReplaceMainBoard(std::move(board));
    return true;
}

void Em_Format_OrvelNav::Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) {
    PackDiffDataFrames(comStatus, out, data, length);
}

// One attempt at the bytes at the first unconsumed position. The frame is cut
// and copied into `frame` with the receive buffer's lock held, so that the
// reading thread never moves the bytes under the reader; it is decoded after
// the lock is gone.
//  - nothing buffered, or a frame not all there yet: false, nothing consumed;
//    the next attempt starts at the same byte;
//  - a sound "$$" frame: consumed and dispatched (true);
//  - a '$' whose frame does not check: that one byte is skipped (true), so a
//    frame that starts inside it is still found, together with the bytes
//    behind it that start nothing;
//  - a forwarded binary board frame (AA 44 12, 28-byte header, CRC-32 sound,
//    at most 2048 bytes) while the main board is the maker's own: consumed and
//    handed to the board (true);
//  - any other byte: skipped with every byte behind it up to the next '$' or
//    AA (true); the buffer's lock is taken once for the whole run.
bool Em_Format_OrvelNav::ParseNextFrame() {
    RingBuffer& ring = Ring();
    EmIMainBoard* board = MainBoard();
    bool boardFrame = false;
    {
        RingBuffer::Hold held(ring);
        held.Compact();
        int available = 0;
        const uint8_t* p = held.Unconsumed(available);
        if (available < 1) {
            lastResult_ = OldFrameResult::Empty;
            return false;
        }
        int length = 0;
        OldFrameResult result = OldFrameResult::Garbage;
        if (p[0] == kDollar) {
            const DollarFrameCut cut = ReadDollarFrame(p, available);
            result = cut.result;
            length = cut.length;
        } else if (p[0] == kNovAtelSync) {
            if (available < 3) {
                lastResult_ = OldFrameResult::Incomplete;
                return false;
            }
            if (p[1] == 0x44 && p[2] == 0x12 && board && board->Type() == MAINBD_ORVEL_OLD) {
                const FrameCut cut = ReadNovAtelFrame(p, available);
                if (cut.result == FrameResult::Incomplete) {
                    result = OldFrameResult::Incomplete;
                } else if (cut.result == FrameResult::Taken) {
                    result = OldFrameResult::BoardFrame;
                    length = cut.length;
                }
            }
        }
        lastResult_ = result;
        if (result == OldFrameResult::Incomplete) return false;
        if (result == OldFrameResult::BadChecksum || result == OldFrameResult::Garbage) {
            messageClass = MSG_TYPE_NONE;
            changeMask = 0;
            held.Consume(NextFrameStart(p, available));
            return true;
        }
        // Both readers bound the frame by the frame area.
        std::memcpy(frame, p, size_t(length));
        frameLength = uint32_t(length);
        held.Consume(length);
        boardFrame = result == OldFrameResult::BoardFrame;
    }
    if (boardFrame) {
        changeMask = 0;
        board->AppendCheckedFrame(frame, frameLength);
        RunBoard(*board);
    } else {
        messageClass = MSG_TYPE_NONE;
        messageId = OldReplyIdFromLetters(frame[2], frame[3]);
        DispatchReply();
    }
    return true;
}

bool Em_Format_OrvelNav::RunBoard(EmIMainBoard& board) {
    if (board.Parse_NextFrame() == 0) return false;
    messageClass = MSG_TYPE_GNSS;
    const Em_IRepParser* parser = board.RepParser();
    changeMask = parser ? parser->ChangedMask : 0;
    return true;
}

void Em_Format_OrvelNav::DispatchReply() {
    changeMask = 0;
    switch (messageId) {
    case OldReplyId::RG:
        DecodeBoardOutput(*this);
        break;
    case OldReplyId::RX:
        DecodeRawReply(*this);
        break;
    case OldReplyId::ST:
        DecodeClosing(*this);
        break;
    case OldReplyId::VD:
    case OldReplyId::VL:
        break;
    case OldReplyId::VI:
        DecodeModuleReply(*this);
        break;
    case OldReplyId::RH:
        DecodeSatelliteData(*this);
        break;
    case OldReplyId::SD:
        DecodeBattery(*this);
        break;
    case OldReplyId::SI:
        CollectDeviceInfo(*this);
        break;
    case OldReplyId::SC:
        messageClass = MSG_TYPE_ORVEL;
        changeMask = OldReplyBits::SC;
        break;
    case OldReplyId::SX:
        messageClass = MSG_TYPE_ORVEL;
        changeMask = OldReplyBits::SX;
        break;
    case OldReplyId::SS:
        DecodeSsRecord(*this);
        break;
    case OldReplyId::VY:
        DecodeFirmwareDebug(*this);
        break;
    case OldReplyId::FB:
        DecodeStaticPoint(*this);
        break;
    case OldReplyId::FF:
        DecodeBubble(*this);
        break;
    case OldReplyId::FH:
        DecodeFhReply(*this);
        break;
    case OldReplyId::VM:
        DecodeSourceTable(*this);
        break;
    default:
        // A reply this format does not know ends every collection in progress.
        replyBuffer.Clear();
        deviceInfoBuffer.Clear();
        satelliteBuffer.Clear();
        messageClass = MSG_TYPE_NONE;
        break;
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
