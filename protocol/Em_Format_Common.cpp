#include "protocol/Em_Format_Common.h"

#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_NoCommands.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <cstring>
#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {

std::unique_ptr<EmIMainBoard> CreateCommonBoard(MAINBD_OEM_TYPE t) {
    switch (t) {
    case MAINBD_NOVATEL_OEM:
        return std::make_unique<Em_MainBd_NovAt_OEM>();
    case MAINBD_NMEA_ONLY:
        return std::make_unique<Em_MainBd_Common>();
    case MAINBD_UNICORE:
        return std::make_unique<Em_MainBd_Unicore>();
    case MAINBD_TRIMBLE_BD:
    case MAINBD_HEMISPHERE:
        // Until their families join: a board of the type that takes no command.
        return std::make_unique<Em_MainBd_NoCommands>(t);
    default:
        return nullptr;
    }
}

namespace {

constexpr uint32_t kDiffDataDelayMs = 100;
constexpr unsigned kRecordBytes = sizeof(_STR_CMD::data);

// The options a board of another maker's receiver starts with.
void SetBoardOptions(EmIMainBoard& board, MAINBD_OEM_TYPE t) {
    Em_ICmdPaker* builder = board.CmdPaker();
    switch (t) {
    case MAINBD_TRIMBLE_BD:
    case MAINBD_NOVATEL_OEM:
        if (builder) builder->outputPortIndex = 0;
        break;
    case MAINBD_HEMISPHERE:
        if (builder) builder->outputPortIndex = 0;
        // GPS satellites-in-view cycles are completed by the board's own
        // channel report.
        if (Em_IRepParser* parser = board.RepParser()) parser->gpsHold = 1;
        break;
    case MAINBD_NMEA_ONLY:
        if (builder) builder->outputPortIndex = 1;
        break;
    default:
        break;
    }
    SetNovAtelBoardOptions(board, 0);
}

}  // namespace

Em_Format_Common::Em_Format_Common(RingBuffer& ring, BoardFactory factory)
    : Em_IFormat(ring), factory_(factory ? std::move(factory) : BoardFactory(&CreateCommonBoard)) {
    makerCode = GNSS_MNFCTR_OTHER;
    messageClass = MSG_TYPE_GNSS;
}

bool Em_Format_Common::Reset_GnsMd(MAINBD_OEM_TYPE t) {
    if (!IsCommonFormatBoardType(t)) return false;
    std::unique_ptr<EmIMainBoard> board = factory_(t);
    if (!board) return false;
    SetBoardOptions(*board, t);
    ReplaceMainBoard(std::move(board));
    return true;
}

void Em_Format_Common::Set_Gnss_SatUse(CmdList&, unsigned, bool, unsigned) {}

void Em_Format_Common::Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) {
    if (!data) return;
    for (unsigned at = 0; at < length; at += kRecordBytes) {
        _STR_CMD cmd{};
        const unsigned n = length - at < kRecordBytes ? length - at : kRecordBytes;
        std::memcpy(cmd.data, data + at, n);
        cmd.delay = kDiffDataDelayMs;
        cmd.length = n;
        out.push_back(cmd);
    }
}

// One attempt at the bytes at the first unconsumed position, with the receive
// buffer's lock held while the frame is cut, so that the reading thread never
// moves the bytes under the reader; the board decodes after the lock is gone.
//  - no board the format serves: every buffered byte is dropped (false);
//  - fewer than three bytes, or a frame not all there yet: false, nothing
//    consumed, the same head is examined again when more bytes have come;
//  - a whole frame: consumed and handed to the board (true);
//  - a head no reader knows, a false sync or an impossible length: the first
//    byte is skipped (true), so a real frame right behind it is never lost.
bool Em_Format_Common::ParseNextFrame() {
    changeMask = 0;
    EmIMainBoard* board = MainBoard();
    RingBuffer& ring = Ring();
    int length = 0;
    {
        std::lock_guard<platform::RecursiveLock> lock(ring.Lock());
        ring.Compact();
        if (!board || !IsCommonFormatBoardType(board->Type())) {
            ring.Clear();
            lastResult_ = FrameResult::NotRecognised;
            return false;
        }
        int available = 0;
        const uint8_t* p = ring.UnconsumedData(available);
        if (available < 3) {
            lastResult_ = FrameResult::Incomplete;
            return false;
        }
        const FrameReader reader = SelectFrameReader(board->Type(), p);
        const FrameCut cut = reader ? reader(p, available) : FrameCut{FrameResult::NotRecognised, 0};
        lastResult_ = cut.result;
        if (cut.result == FrameResult::Incomplete) return false;
        if (cut.result != FrameResult::Taken) {
            ring.SkipOne();
            return true;
        }
        length = cut.length;
        std::memcpy(frame_, p, size_t(length));
        ring.Consume(length);
    }
    board->AppendReceived(frame_, unsigned(length));
    if (board->Parse_NextFrame() == 0) {
        // Declined: nothing of it may stay to be joined with the next frame.
        board->ClearRecvBuffer();
        lastResult_ = FrameResult::BoardRejected;
        return true;
    }
    messageClass = MSG_TYPE_GNSS;
    if (const Em_IRepParser* parser = board->RepParser()) changeMask = parser->ChangedMask;
    return true;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
