#pragma once

// The board of a type whose family this build does not have yet (the
// maker's own board, and the Trimble BD and Hemisphere boards until their
// families join). It reports the type the receiver named, so that the formats
// choose their commands and frame readers by the real board, yet its builder
// appends nothing: a receiver's own commands still work, and no command of
// another family's board ever reaches it. It decodes the "$GP" and "$GL"
// sentences it is handed, as the NMEA-only board does. A family that joins
// makes its own board instead, and this one is no longer made for its type.

#include "protocol/boards/Em_MainBd_Common.h"

namespace Fjarnis2011 {
namespace FJParse {

class Em_MainBd_NoCommands : public Em_MainBd_Common {
public:
    explicit Em_MainBd_NoCommands(MAINBD_OEM_TYPE reportedType) : Em_MainBd_Common(reportedType) {}
};

}  // namespace FJParse
}  // namespace Fjarnis2011
