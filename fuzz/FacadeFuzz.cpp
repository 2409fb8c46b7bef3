// libFuzzer target: the protocol object fed arbitrary bytes under every
// (manufacturer, board type), with board and manufacturer switches and
// buffer clears in between, as the device object's threads would call it.
//
// Input: byte 0 picks the manufacturer (0, 1, 2, 5), byte 1 the board type
// (0-7); then a list of operations, each led by a control byte c:
//   c < 0xF0   feed the next c + 1 bytes (or what is left), then ParseData
//   0xF0       Data_Clear
//   0xF1 t     Reset_GnsMd(t % 8)
//   0xF2 m     Reset_Mnfctr(m), then Reset_GnsMd with the board type before
//   0xF3 n     feed the next n + 1 bytes twenty times without parsing
//              (overflows the receive buffer)
//   0xF4-0xFF  ParseData
//
// Under another maker's receivers every board is checked before it decodes:
// the frame handed to it must be exactly one whole frame of that board's
// kinds, as its reader cuts it. Types without a board of the library are
// stood in for by a board that only checks (and declines every seventh
// frame); the library's boards, Trimble BD and Hemisphere among them, then
// decode the frame as they would.

#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Gnss.h"
#include "protocol/FormatFactory.h"
#include "protocol/FrameReaders.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Hemis.h"
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"
#include "protocol/boards/Em_MainBd_Trim_BD.h"
#include "protocol/boards/Em_MainBd_Unicore.h"

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace Fjarnis2011::FJParse;

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Whole frames only, each exactly as its reader cuts it.
void CheckWholeFrame(const EmIMainBoard& board) {
    const MainBdRecvBuffer* b = board.RecvBuffer();
    Check(b->fill >= 3 && b->fill <= kFrameAreaSize);
    const FrameReader reader = SelectFrameReader(board.Type(), b->data);
    Check(reader != nullptr);
    const FrameCut cut = reader(b->data, b->fill);
    Check(cut.result == FrameResult::Taken && cut.length == b->fill);
}

class CheckingBoard : public EmIMainBoard {
public:
    explicit CheckingBoard(MAINBD_OEM_TYPE t) : EmIMainBoard(t) {
        SetParts(std::make_unique<Em_RepParser_Common>(), std::make_unique<Em_CmdPaker_Common>());
    }
    unsigned Parse_NextFrame() override {
        CheckWholeFrame(*this);
        RepParser()->ChangedMask = uint32_t(RecvBuffer()->fill);
        ClearRecvBuffer();
        // Decline every seventh frame so that path is covered too.
        return (++frames_ % 7) ? 1u : 0u;
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }

private:
    unsigned frames_ = 0;
};

// A board of the library that checks each frame before decoding it.
template <typename Board>
class Checked : public Board {
public:
    unsigned Parse_NextFrame() override {
        CheckWholeFrame(*this);
        return Board::Parse_NextFrame();
    }
};

std::unique_ptr<EmIMainBoard> Boards(MAINBD_OEM_TYPE t) {
    switch (t) {
    case MAINBD_TRIMBLE_BD:
        return std::make_unique<Checked<Em_MainBd_Trim_BD>>();
    case MAINBD_NOVATEL_OEM:
        return std::make_unique<Checked<Em_MainBd_NovAt_OEM>>();
    case MAINBD_HEMISPHERE:
        return std::make_unique<Checked<Em_MainBd_Hemis>>();
    case MAINBD_NMEA_ONLY:
        return std::make_unique<Checked<Em_MainBd_Common>>();
    case MAINBD_UNICORE:
        return std::make_unique<Checked<Em_MainBd_Unicore>>();
    default:
        return std::make_unique<CheckingBoard>(t);
    }
}

std::unique_ptr<Em_IFormat> Formats(GNSS_MANUFACTURER m, bool newProtocol, RingBuffer& ring) {
    if (m == GNSS_MNFCTR_OTHER) return std::make_unique<Em_Format_Common>(ring, &Boards);
    return CreateFormat(m, newProtocol, ring);
}

GNSS_MANUFACTURER Manufacturer(uint8_t b) {
    static const GNSS_MANUFACTURER kChoices[] = {GNSS_MANUFACTURER(0), GNSS_MNFCTR_OTHER, GNSS_MNFCTR_ORVEL,
                                                 GNSS_MANUFACTURER(5)};
    return kChoices[b & 3];
}

void OnData(int, unsigned bits, const void*) { Check(bits != 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Em_Gnss g(Manufacturer(data[0]), MAINBD_OEM_TYPE(data[1] % 8), &Formats);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    size_t at = 2;
    while (at < size) {
        const uint8_t c = data[at++];
        if (c < 0xF0) {
            const size_t n = std::min<size_t>(size_t(c) + 1, size - at);
            g.RcvData(data + at, unsigned(n));
            at += n;
            g.ParseData();
        } else if (c == 0xF0) {
            g.Data_Clear();
        } else if (c == 0xF1 && at < size) {
            g.Reset_GnsMd(MAINBD_OEM_TYPE(data[at++] % 8));
        } else if (c == 0xF2 && at < size) {
            const MAINBD_OEM_TYPE board = g.Get_GnsMd();
            g.Reset_Mnfctr(Manufacturer(data[at++]));
            g.Reset_GnsMd(board);
        } else if (c == 0xF3 && at < size) {
            const size_t want = size_t(data[at++]) + 1;
            const size_t n = std::min<size_t>(want, size - at);
            for (int i = 0; i < 20; ++i) g.RcvData(data + at, unsigned(n));
            at += n;
        } else {
            g.ParseData();
        }
    }
    g.ParseData();
    return 0;
}
