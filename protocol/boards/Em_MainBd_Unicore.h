#pragma once

// The Unicore board (MAINBD_OEM_TYPE 6): driven by NMEA only, like the
// generic board, but it also recognises the "$GN" and "$BD" talkers.

#include "protocol/boards/Em_MainBd_Common.h"

namespace Fjarnis2011 {
namespace FJParse {

// The receiver takes no board command either: the generic NMEA builder.
class Em_CmdPaker_Unicore : public Em_CmdPaker_Common {};

// Decodes as the generic NMEA parser.
class Em_RepParser_Unicore : public Em_RepParser_Common {};

class Em_MainBd_Unicore : public EmIMainBoard {
public:
    Em_MainBd_Unicore();
    // "$GP", "$GL", "$GN" and "$BD" sentences go to the NMEA recogniser;
    // anything else is dropped with the buffer (result 1, no change bits).
    unsigned Parse_NextFrame() override;
    // Passes the frame to the parser's Decode_BinFrame.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
