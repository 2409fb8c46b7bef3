// The correction-transmit holder: the record it keeps of the last frame, the
// protocol it passes the frame to, and the parser's CMR entry.

#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/TransmitHolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + i);
    return v;
}

uint32_t RecordWord(const TransmitHolder& h, size_t offset) {
    const uint8_t* r = h.Record() + offset;
    return uint32_t(r[0]) | uint32_t(r[1]) << 8 | uint32_t(r[2]) << 16 | uint32_t(r[3]) << 24;
}

}  // namespace

TEST(TransmitHolder, StartsEmptyWithBothProtocols) {
    TransmitHolder h;
    for (unsigned i = 0; i < TransmitHolder::kRecordSize; ++i) ASSERT_EQ(h.Record()[i], 0u) << i;
    ASSERT_NE(h.Rtcm(), nullptr);
    ASSERT_NE(h.Cmr(), nullptr);
    EXPECT_EQ(h.Rtcm()->protocolType, 1u);
    EXPECT_EQ(h.Cmr()->protocolType, 2u);
}

TEST(TransmitHolder, RtcmFrameIsRecordedLittleEndian) {
    TransmitHolder h;
    const std::vector<uint8_t> frame = Bytes(40, 0xD3);
    EXPECT_EQ(h.Transmit_ByType(1005, frame.data(), 40, TRSMT_RTCM), 1u);
    // Record: length 40 (28 00 00 00), number 1005 (ED 03 00 00), bytes, type 1.
    const uint8_t head[8] = {0x28, 0x00, 0x00, 0x00, 0xED, 0x03, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(h.Record(), head, 8), 0);
    EXPECT_EQ(std::memcmp(h.Record() + 8, frame.data(), 40), 0);
    EXPECT_EQ(RecordWord(h, 2056), 1u);

    TRSMT_INFO info;
    h.Get_Info(info);
    EXPECT_EQ(info.length, 40u);
    EXPECT_EQ(info.messageNumber, 1005u);
    EXPECT_EQ(info.type, 1u);
    EXPECT_EQ(std::memcmp(info.data, frame.data(), 40), 0);
}

TEST(TransmitHolder, ShorterFrameLeavesTheTailOfTheLongerOne) {
    TransmitHolder h;
    const std::vector<uint8_t> rtcm = Bytes(60, 0x10);
    const std::vector<uint8_t> cmr = Bytes(20, 0x80);
    ASSERT_EQ(h.Transmit_ByType(1004, rtcm.data(), 60, TRSMT_RTCM), 1u);
    EXPECT_EQ(h.Transmit_Cmr(7, cmr.data(), 20), 1u);
    EXPECT_EQ(RecordWord(h, 0), 20u);
    EXPECT_EQ(RecordWord(h, 4), 7u);
    EXPECT_EQ(RecordWord(h, 2056), 2u);
    EXPECT_EQ(std::memcmp(h.Record() + 8, cmr.data(), 20), 0);
    EXPECT_EQ(std::memcmp(h.Record() + 8 + 20, rtcm.data() + 20, 40), 0);
}

TEST(TransmitHolder, RefusesWhatDoesNotFitAndUnknownTypes) {
    TransmitHolder h;
    const std::vector<uint8_t> big = Bytes(2049, 1);
    const std::vector<uint8_t> frame = Bytes(12, 0x40);
    ASSERT_EQ(h.Transmit_ByType(1, frame.data(), 12, TRSMT_RTCM), 1u);

    // Above the 2048-byte frame area: refused, record untouched.
    EXPECT_EQ(h.Transmit_ByType(2, big.data(), 2049, TRSMT_RTCM), 0u);
    // A length with no bytes behind it: refused.
    EXPECT_EQ(h.Transmit_ByType(3, nullptr, 5, TRSMT_CMR), 0u);
    EXPECT_EQ(RecordWord(h, 0), 12u);
    EXPECT_EQ(RecordWord(h, 4), 1u);

    // Exactly 2048 fits.
    EXPECT_EQ(h.Transmit_ByType(4, big.data(), 2048, TRSMT_RTCM), 1u);
    EXPECT_EQ(RecordWord(h, 0), 2048u);
    EXPECT_EQ(h.Record()[8 + 2047], big[2047]);

    // An unknown type is stored and not passed on.
    EXPECT_EQ(h.Transmit_ByType(5, frame.data(), 12, 9), 0u);
    EXPECT_EQ(RecordWord(h, 2056), 9u);
    EXPECT_EQ(RecordWord(h, 0), 12u);

    // A null frame of length 0 reaches the RTCM protocol, which refuses it.
    EXPECT_EQ(h.Transmit_ByType(6, nullptr, 0, TRSMT_RTCM), 0u);
    EXPECT_EQ(h.Transmit_ByType(6, nullptr, 0, TRSMT_CMR), 1u);
}

TEST(TransmitHolder, ParserCmrEntrySetsTheCorrectionBit) {
    Em_RepParser_Common parser;
    const std::vector<uint8_t> frame = Bytes(30, 2);
    parser.ChangedMask = 0xFFFFFFFFu;
    EXPECT_EQ(parser.Transmit_Cmr(9, nullptr, 30), 0u);
    EXPECT_EQ(parser.Transmit_Cmr(9, frame.data(), 0), 0u);
    EXPECT_EQ(parser.ChangedMask, 0xFFFFFFFFu);  // nothing taken, nothing touched

    EXPECT_EQ(parser.Transmit_Cmr(9, frame.data(), 30), 1u);
    EXPECT_EQ(parser.ChangedMask, ChangeBits::Correction);
    TRSMT_INFO info;
    parser.Holder()->Get_Info(info);
    EXPECT_EQ(info.type, 2u);
    EXPECT_EQ(info.messageNumber, 9u);
    EXPECT_EQ(info.length, 30u);
}
