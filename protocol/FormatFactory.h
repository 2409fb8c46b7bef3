#pragma once

// The choice of frame format by manufacturer, the one place where the
// protocol object's formats are built.

#include "protocol/Em_Types.h"

#include <memory>

namespace Fjarnis2011 {
namespace FJParse {

class Em_IFormat;
class RingBuffer;

// Manufacturer 1: the format of other makers' receivers. Any other
// manufacturer: the maker's new-protocol format when `newProtocol`, else the
// maker's old-protocol format. The format has no main board yet. Null when
// the chosen format is not available.
std::unique_ptr<Em_IFormat> CreateFormat(GNSS_MANUFACTURER m, bool newProtocol, RingBuffer& ring);

// The maker's formats; each is defined beside its format (the old protocol's
// in oldproto/). One that is not in this build returns null: a protocol
// object for the maker's receiver then has no format (Get_Mnfctr() is 0,
// every gate is closed, received bytes are dropped, ParseData returns at once
// and Reset_GnsMd fails).
std::unique_ptr<Em_IFormat> CreateFormat_OrvelNav(RingBuffer& ring);
std::unique_ptr<Em_IFormat> CreateFormat_OrvelNew(RingBuffer& ring);

}  // namespace FJParse
}  // namespace Fjarnis2011
