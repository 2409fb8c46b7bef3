#pragma once

// The frame format of other makers' receivers: it cuts the frames that the
// attached board speaks (NMEA, Trimble packets, RTCM 3, NovAtel binary logs,
// Hemisphere $BIN blocks and $>J replies) out of the receive buffer and hands
// each whole frame to the board, whose report parser decodes it.

#include "protocol/Em_IFormat.h"
#include "protocol/FrameReaders.h"

#include <functional>
#include <memory>

namespace Fjarnis2011 {
namespace FJParse {

// Makes the board of a type, or null when there is none for it.
using BoardFactory = std::function<std::unique_ptr<EmIMainBoard>(MAINBD_OEM_TYPE)>;

// The boards of other makers' receivers: 2 (NovAtel OEM), 5 (NMEA only) and
// 6 (Unicore); the Trimble BD (1) and Hemisphere (4) boards are boards without
// commands (Em_MainBd_NoCommands) until their families join here; null for any
// other type.
std::unique_ptr<EmIMainBoard> CreateCommonBoard(MAINBD_OEM_TYPE t);

class Em_Format_Common : public Em_IFormat {
public:
    // `factory` makes the boards (CreateCommonBoard when empty).
    explicit Em_Format_Common(RingBuffer& ring, BoardFactory factory = {});

    // One frame or one skipped byte per call (see the .cpp).
    bool ParseNextFrame() override;
    // Types 1, 2, 4, 5 and 6 when the factory has a board for them: the board
    // is replaced and its options set; any other type keeps the board (false).
    bool Reset_GnsMd(MAINBD_OEM_TYPE t) override;
    // Other makers' boards are not told which satellites to use.
    void Set_Gnss_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) override;
    // The correction bytes as they are, in records of at most 512 bytes, each
    // with a 100 ms pause.
    void Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) override;

    // What the last call of ParseNextFrame came to.
    FrameResult LastResult() const { return lastResult_; }

private:
    BoardFactory factory_;
    FrameResult lastResult_ = FrameResult::Incomplete;
    // The frame being handed to the board.
    uint8_t frame_[kFrameAreaSize] = {};
};

}  // namespace FJParse
}  // namespace Fjarnis2011
