#include "protocol/boards/TransmitHolder.h"

#include "platform/Endian.h"

#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

unsigned Em_TrsMtPrlRTCM::Transmit(unsigned, const uint8_t* data, unsigned length) {
    return (data && length != 0) ? 1u : 0u;
}

unsigned Em_TrsMtPrlCmr::Transmit(unsigned, const uint8_t*, unsigned) { return 1u; }

TransmitHolder::TransmitHolder()
    : rtcm_(new (std::nothrow) Em_TrsMtPrlRTCM), cmr_(new (std::nothrow) Em_TrsMtPrlCmr) {
    std::memset(record_, 0, sizeof record_);
}

TransmitHolder::~TransmitHolder() {
    rtcm_.reset();
    cmr_.reset();
}

unsigned TransmitHolder::Transmit_ByType(unsigned messageNumber, const uint8_t* data, unsigned length,
                                         unsigned type) {
    // The frame area holds 2048 bytes: a longer frame cannot be kept whole, and
    // a length without bytes behind it cannot be copied.
    if (length > kMaxFrame || (!data && length != 0)) return 0;
    platform::WriteLE32(record_ + 0, length);
    platform::WriteLE32(record_ + 4, messageNumber);
    if (length != 0) std::memcpy(record_ + 8, data, length);
    platform::WriteLE32(record_ + 2056, type);
    switch (type) {
    case TRSMT_RTCM:
        return rtcm_ ? rtcm_->Transmit(messageNumber, data, length) : 0u;
    case TRSMT_CMR:
        return cmr_ ? cmr_->Transmit(messageNumber, data, length) : 0u;
    default:
        return 0u;
    }
}

unsigned TransmitHolder::Transmit_Cmr(unsigned messageNumber, const uint8_t* data, unsigned length) {
    return Transmit_ByType(messageNumber, data, length, TRSMT_CMR);
}

void TransmitHolder::Get_Info(TRSMT_INFO& out) const {
    out.length = platform::ReadLE32(record_ + 0);
    out.messageNumber = platform::ReadLE32(record_ + 4);
    std::memcpy(out.data, record_ + 8, sizeof out.data);
    out.type = platform::ReadLE32(record_ + 2056);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
