#pragma once

// The Hemisphere board (MAINBD_OEM_TYPE 4): it recognises $BIN binary
// messages, "$GP" and "$GL" NMEA sentences and "$>J" command replies at the
// start of its receive buffer, and decodes them through its report parser.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_CmdPaker_Hemis.h"
#include "protocol/boards/Em_RepParser_Hemis.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_MainBd_Hemis : public EmIMainBoard {
public:
    // The parser, then the builder.
    Em_MainBd_Hemis();

    // 0: nothing decoded (the frame waits for its rest, or it was dropped
    // with the whole buffer); any other value: the buffer was consumed and
    // the parser's ChangedMask tells what changed. Bytes that start no frame
    // of this board are dropped with the buffer (result 1, no change bits).
    // Every decoded frame empties the whole buffer.
    unsigned Parse_NextFrame() override;
    // Passes a whole $BIN message to the parser.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;

private:
    unsigned ParseBinMessage();
    unsigned ParseReply();
};

}  // namespace FJParse
}  // namespace Fjarnis2011
