#pragma once

// The NovAtel OEM board (MAINBD_OEM_TYPE 2): it recognises NovAtel binary logs
// (sync AA 44 12), NMEA sentences, RTCM 3 frames and CMR frames at the start of
// its receive buffer, and decodes them through its report parser.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_CmdPaker_NovAt.h"
#include "protocol/boards/Em_ReptParser_NovAt.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_MainBd_NovAt_OEM : public EmIMainBoard {
public:
    // The parser, then the builder with its RTCM 3 selector at 2.
    Em_MainBd_NovAt_OEM();

    // 0: nothing decoded (the frame waits for its rest, or it was dropped
    // with the whole buffer); 1: a frame was consumed and the parser's
    // ChangedMask tells what changed. A binary log must be the only thing in
    // the buffer: a log followed by further bytes is dropped.
    unsigned Parse_NextFrame() override;
    // Passes a whole binary log to the parser.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;

private:
    unsigned ParseBinaryLog();
};

// The options both frame formats give a NovAtel board right after creating
// it: its satellite tables are published by the observation log, not by the
// satellites-in-view sentences (the GPS, GLONASS and BeiDou hold flags); and,
// for `boardVariant` 1 or 2 (the old-protocol format's variant word from the
// device information), that RTCM 3 selector. Boards of other types are left
// alone.
void SetNovAtelBoardOptions(EmIMainBoard& board, uint32_t boardVariant);

}  // namespace FJParse
}  // namespace Fjarnis2011
