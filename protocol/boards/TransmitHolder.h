#pragma once

// Correction-transmit protocols. When a board's receive stream carries
// corrections (RTCM 3 or CMR frames), the board hands each whole frame to its
// report parser's transmit holder, which keeps a copy of the last frame (the
// TRSMT_INFO record) and passes it to the protocol object of its type.

#include "protocol/boards/Em_BoardTypes.h"

#include <cstdint>
#include <memory>

namespace Fjarnis2011 {
namespace FJParse {

// Protocol types of the transmit record.
enum TRSMT_PROTOCOL : uint32_t {
    TRSMT_NONE = 0,
    TRSMT_RTCM = 1,
    TRSMT_CMR = 2,
};

class Em_ITrsmitPrtcl {
public:
    explicit Em_ITrsmitPrtcl(uint32_t type) : protocolType(type) {}
    virtual ~Em_ITrsmitPrtcl() = default;
    Em_ITrsmitPrtcl(const Em_ITrsmitPrtcl&) = delete;
    Em_ITrsmitPrtcl& operator=(const Em_ITrsmitPrtcl&) = delete;

    // Passes one frame on; non-zero when the protocol accepted it.
    virtual unsigned Transmit(unsigned messageNumber, const uint8_t* data, unsigned length) = 0;

    uint32_t protocolType;
};

class Em_TrsMtPrlRTCM final : public Em_ITrsmitPrtcl {
public:
    Em_TrsMtPrlRTCM() : Em_ITrsmitPrtcl(TRSMT_RTCM) {}
    // 1 for a frame with bytes, 0 for a null frame or length 0.
    unsigned Transmit(unsigned messageNumber, const uint8_t* data, unsigned length) override;
};

class Em_TrsMtPrlCmr final : public Em_ITrsmitPrtcl {
public:
    Em_TrsMtPrlCmr() : Em_ITrsmitPrtcl(TRSMT_CMR) {}
    // Always accepts.
    unsigned Transmit(unsigned messageNumber, const uint8_t* data, unsigned length) override;
};

class TransmitHolder {
public:
    static constexpr unsigned kRecordSize = 2060;
    static constexpr unsigned kMaxFrame = 2048;

    // Creates the RTCM protocol, then the CMR protocol (either may be null when
    // its allocation failed), and zeroes the record.
    TransmitHolder();
    ~TransmitHolder();
    TransmitHolder(const TransmitHolder&) = delete;
    TransmitHolder& operator=(const TransmitHolder&) = delete;

    // Stores length, message number, frame bytes and type into the record, then
    // passes the frame to the protocol of that type and returns its result.
    // An unknown type stores the frame and returns 0. A null frame with a
    // length, or a length above the 2048-byte frame area, is refused: the
    // record is left unchanged and the result is 0.
    unsigned Transmit_ByType(unsigned messageNumber, const uint8_t* data, unsigned length, unsigned type);

    // The parser's entry for CMR frames: Transmit_ByType with type 2.
    unsigned Transmit_Cmr(unsigned messageNumber, const uint8_t* data, unsigned length);

    // The record as stored: numbers little-endian, byte by byte.
    const uint8_t* Record() const { return record_; }
    // The record decoded into its fields.
    void Get_Info(TRSMT_INFO& out) const;

    Em_ITrsmitPrtcl* Rtcm() const { return rtcm_.get(); }
    Em_ITrsmitPrtcl* Cmr() const { return cmr_.get(); }

private:
    uint8_t record_[kRecordSize];
    std::unique_ptr<Em_ITrsmitPrtcl> rtcm_;
    std::unique_ptr<Em_ITrsmitPrtcl> cmr_;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
