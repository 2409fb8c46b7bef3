#include "protocol/FormatFactory.h"

#include "protocol/Em_Format_Common.h"

namespace Fjarnis2011 {
namespace FJParse {

std::unique_ptr<Em_IFormat> CreateFormat(GNSS_MANUFACTURER m, bool newProtocol, RingBuffer& ring) {
    if (m == GNSS_MNFCTR_OTHER) return std::make_unique<Em_Format_Common>(ring);
    return newProtocol ? CreateFormat_OrvelNew(ring) : CreateFormat_OrvelNav(ring);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
