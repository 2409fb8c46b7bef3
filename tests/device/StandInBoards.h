#pragma once

// Protocol objects whose main board is a stand-in of the requested type. The
// maker's frame formats choose their commands by the board type alone (old
// protocol for types 1 to 4, new for 0), and the OEM board families that
// would sit behind those types are not needed to test what the receiver
// object does with the commands. The stand-in decodes NMEA only and builds no
// board command.

#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Gnss.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <memory>
#include <vector>

namespace device_fakes {

using namespace Fjarnis2011::FJParse;

class StandInBoard : public EmIMainBoard {
public:
    explicit StandInBoard(MAINBD_OEM_TYPE t) : EmIMainBoard(t) {
        SetParts(std::make_unique<Em_RepParser_Common>(), std::make_unique<Em_CmdPaker_Common>());
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }
};

inline std::unique_ptr<EmIMainBoard> MakeStandInBoard(MAINBD_OEM_TYPE t) {
    return std::make_unique<StandInBoard>(t);
}

// Formats as the library chooses them, every one with stand-in boards; the
// maker's new-protocol receiver is stood in for by the old format whose board
// is always of type 0, which is what makes the receiver object treat it as new.
inline std::unique_ptr<Em_IFormat> StandInFormats(GNSS_MANUFACTURER m, bool newProtocol, RingBuffer& ring) {
    if (m == GNSS_MNFCTR_OTHER) return std::make_unique<Em_Format_Common>(ring, &MakeStandInBoard);
    if (newProtocol)
        return std::make_unique<Em_Format_OrvelNav>(ring, [](MAINBD_OEM_TYPE) { return MakeStandInBoard(MAINBD_ORVEL_NEW); });
    return std::make_unique<Em_Format_OrvelNav>(ring, &MakeStandInBoard);
}

inline Em_Gnss* NewStandInProtocolObject(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t) {
    return new Em_Gnss(m, t, &StandInFormats);
}

// The records a protocol object of the same build makes for a command: what
// the receiver object must write.
template <class F>
std::vector<_STR_CMD> Expected(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t, Com_Status link, F build) {
    std::unique_ptr<Em_Gnss> gnss(NewStandInProtocolObject(m, t));
    gnss->Set_Com_Status(link);
    std::vector<_STR_CMD> out;
    build(*gnss, out);
    return out;
}

}  // namespace device_fakes
