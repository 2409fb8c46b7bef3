#pragma once

// The Trimble BD board (MAINBD_OEM_TYPE 1): it recognises DCOL packets, CMR
// frames, "$GP" and "$GL" NMEA sentences and RTCM 3 frames at the start of its
// receive buffer, and decodes them through its report parser.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_CmdPaker_BD.h"
#include "protocol/boards/Em_RepParser_BD.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_MainBd_Trim_BD : public EmIMainBoard {
public:
    // The builder (BD variant flag 0), then the parser.
    Em_MainBd_Trim_BD();

    // 0: nothing decoded (the frame waits for its rest, or it was dropped
    // with the whole buffer); 1: a frame was consumed and the parser's
    // ChangedMask tells what changed. A DCOL packet empties the whole buffer,
    // bytes that followed it included.
    unsigned Parse_NextFrame() override;
    // Passes a whole DCOL packet to the parser.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;

private:
    unsigned ParseDcolPacket();
};

// The options the old-protocol format gives a Trimble BD board: no
// satellite-detail records, and the BD variant flag from the format's variant
// word (1 -> 1, 2 -> 0, any other value leaves it). Boards of other types are
// left alone.
void SetTrimbleBoardOptions(EmIMainBoard& board, uint32_t boardVariant);

}  // namespace FJParse
}  // namespace Fjarnis2011
