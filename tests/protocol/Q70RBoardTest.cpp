// The maker's own board: its binary logs (NovAtel framing, built here with
// their CRC-32) decoded into the store and into the RTK engine's records, and
// what the board does with bytes that are no log.
#include "NovAtelFixtures.h"
#include "protocol/boards/Em_MainBd_OrvelR.h"
#include "protocol/boards/Em_RepParser_Q70R.h"

#include "platform/Endian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace Fjarnis2011::FJParse;
using namespace novatel_fixtures;
namespace R = RtkRecords;

namespace {

constexpr double kDeg = 0.017453292519943295;

// Feeds one whole frame to a fresh buffer of the board; the result of
// Parse_NextFrame.
unsigned Feed(Em_MainBd_OrvelR& board, const Bytes& frame) {
    board.AppendReceived(frame.data(), unsigned(frame.size()));
    return board.Parse_NextFrame();
}

// Writes `len` bits of `v` from bit `pos` (bit 0 the top bit of byte 0).
void SetBits(uint8_t* buf, int pos, int len, uint64_t v) {
    for (int i = 0; i < len; ++i) {
        const int bit = pos + i;
        const bool one = (v >> (len - 1 - i)) & 1u;
        if (one)
            buf[bit / 8] |= uint8_t(0x80 >> (bit % 8));
        else
            buf[bit / 8] &= uint8_t(~(0x80 >> (bit % 8)));
    }
}

// The body of log 41: satellite, a reference week and seconds (not read),
// then subframes 1, 2 and 3 of 30 bytes each (ten 24-bit words). The
// telemetry and handover words (the first 6 bytes of each) are filled with
// `tlmHow`.
Bytes RawEphemBody(uint32_t sat, double sqrtA, uint8_t tlmHow) {
    uint8_t sf[3][30] = {};
    for (auto& s : sf) std::memset(s, tlmHow, 6);
    SetBits(sf[0], 48, 10, 1020);             // week (10 bits)
    SetBits(sf[0], 168, 8, 0x2D);             // IODC low bits
    SetBits(sf[0], 176, 16, 28800 / 16);      // toc
    SetBits(sf[1], 48, 8, 0x2D);              // IODE
    SetBits(sf[1], 136, 32, 0x00800000);      // e = 2^23 x 2^-33
    SetBits(sf[1], 184, 32, uint64_t(std::llround(sqrtA * 524288.0)));  // sqrt(A) x 2^19
    SetBits(sf[1], 216, 16, 28800 / 16);      // toe
    SetBits(sf[2], 48, 16, 0);
    Body b;
    b.U32(sat).U32(2062).U32(288000);
    for (auto& s : sf) b.Raw(Bytes(s, s + 30));
    return b.b;
}

// One 22-byte satellite entry of log 912.
Bytes ObsEntry(uint8_t id, bool l1, int32_t pr, int16_t c1, bool l2, int16_t prDiff, int16_t c2) {
    Body b;
    b.U8(id).U8(45).U16(270)          // id, elevation, azimuth
        .U8(l1).U8(47).I32(pr).U16(uint16_t(c1)).U8(0xEE).U8(0x11)  // L1 flag, SNR, PR, correction, unread, status
        .U8(l2).U8(39).U16(uint16_t(prDiff)).U16(uint16_t(c2)).U8(0xEE).U8(0x22);  // L2
    return b.b;
}

// The head of log 912: count, five bytes for the record, a signed word
// (x 1e-7), two bytes not read and a word.
Bytes ObsHead(uint8_t count) {
    Body b;
    b.U8(count).U8(1).U8(2).U8(3).U8(4).U8(5).I32(-12345678).U16(0).U32(0xCAFEBABE);
    return b.b;
}

// One 12-byte entry of log 911.
Bytes SatEntry(uint8_t id, uint16_t azimuth, uint8_t elevation, uint8_t used, uint8_t snr1, uint8_t snr2) {
    Body b;
    b.U8(id).U16(azimuth).U8(elevation).U8(used).U8(snr1).U8(0).U8(0).U8(0).U8(snr2).U8(0).U8(0);
    return b.b;
}

}  // namespace

TEST(Q70RBoard, PositionLog) {
    const struct {
        uint32_t positionType;
        uint32_t solutionStatus;
        float diffAge;
        int32_t status;
        bool scaled;
    } rows[] = {
        {50, 0, 25.0f, 4, false},  // old corrections: single point
        {50, 0, 3.0f, 11, true},   // fixed with fresh corrections
        {48, 0, 20.0f, 11, false},
        {32, 0, 21.0f, 4, false},
        {34, 0, 4.99f, 6, true},
        {16, 0, 0.0f, 4, false},
        {17, 0, 5.0f, 5, false},
        {18, 0, 0.0f, 7, false},
        {1, 13, 0.0f, 1, false},
        {1, 2, 0.0f, 2, false},
        {0, 0, 0.0f, 3, false},
        {0, 0, 60.0f, 0, false},   // unchanged: the status a new log starts with
        {19, 0, 0.0f, 0, false},
        {99, 0, 0.0f, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.positionType);
        SCOPED_TRACE(row.diffAge);
        Em_MainBd_OrvelR board;
        Em_RepParser_Q70R& p = *board.Parser();
        BestPos pos;
        pos.positionType = row.positionType;
        pos.solutionStatus = row.solutionStatus;
        pos.diffAge = row.diffAge;
        pos.latSigma = 3.0f;
        pos.lonSigma = 4.0f;
        pos.hgtSigma = 2.0f;
        pos.signalMask = 0x37;
        ASSERT_EQ(Feed(board, Log(42, pos.Encode())), 1u);
        EXPECT_EQ(p.position.status, row.status);
        EXPECT_DOUBLE_EQ(p.position.latitude, 31.5 * kDeg);
        EXPECT_DOUBLE_EQ(p.position.longitude, 121.25 * kDeg);
        EXPECT_DOUBLE_EQ(p.position.height, 10.0);  // as the log has it
        const double f = row.scaled ? 0.6 : 1.0;
        EXPECT_NEAR(p.errors.horizontalError, 5.0 * f, 1e-5);
        EXPECT_NEAR(p.errors.heightError, 2.0 * f, 1e-5);
        EXPECT_NEAR(p.errors.rms, 5.0 * f * 0.68, 1e-5);
        // Week 1562, 515220 s: Friday 2009-12-18 23:07:00 GPS time.
        EXPECT_EQ(p.solution.gpsWeek, 1562u);
        EXPECT_EQ(p.solution.gpsSeconds, 515220u);
        // bits 0, 1, 2, 4, 5 of the signal mask
        EXPECT_EQ(p.solutions, 0xF1000000u);
        EXPECT_EQ(p.ChangedMask, 0x31830000u);
    }
}

// A response repeats the kept solution; without one kept it reports nothing.
TEST(Q70RBoard, PositionResponseUsesTheKeptLog) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    BestPos pos;
    ASSERT_EQ(Feed(board, Log(42, pos.Encode(), kWeek, kMilliseconds, kResponseType)), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    ASSERT_EQ(Feed(board, Log(42, pos.Encode())), 1u);
    pos.lat = 10.0;
    ASSERT_EQ(Feed(board, Log(42, pos.Encode(), kWeek, kMilliseconds, kResponseType)), 1u);
    EXPECT_DOUBLE_EQ(p.position.latitude, 31.5 * kDeg);
    EXPECT_NE(p.ChangedMask & ChangeBits::Position, 0u);
}

TEST(Q70RBoard, DilutionsAndReferenceStation) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    // GDOP, PDOP 2.5, HDOP 1.5, HTDOP, TDOP, cutoff 0.2 rad
    ASSERT_EQ(Feed(board, Log(174, PsrDop(3.0f, 2.5f, 1.5f, 0.75f, 0.2f))), 1u);
    EXPECT_NEAR(p.dops.gdop, 3.0, 1e-6);
    EXPECT_NEAR(p.dops.pdop, 2.5, 1e-6);
    EXPECT_NEAR(p.dops.hdop, 1.5, 1e-6);
    EXPECT_NEAR(p.dops.vdop, 2.0, 1e-6);
    EXPECT_NEAR(p.dops.tdop, 0.75, 1e-6);
    EXPECT_EQ(p.elevMask, 11u);  // 0.2 rad = 11.46 degrees
    EXPECT_EQ(p.ChangedMask, 0x84000000u);
    // A PDOP below the HDOP leaves no vertical part (not a NaN); a cutoff
    // that is no number gives 0.
    ASSERT_EQ(Feed(board, Log(174, PsrDop(3.0f, 1.0f, 1.5f, 0.75f, NAN))), 1u);
    EXPECT_EQ(p.dops.vdop, 0.0);
    EXPECT_EQ(p.elevMask, 0u);

    const Bytes ref = Log(175, RefStation(1.0, 2.0, 3.0));
    ASSERT_EQ(Feed(board, ref), 1u);
    EXPECT_EQ(p.ChangedMask, ChangeBits::BasePosition);
    EXPECT_EQ(Bytes(p.refStationLog, p.refStationLog + 41), Bytes(ref.begin(), ref.begin() + 41));
}

TEST(Q70RBoard, SatellitesInViewGpsAndBeidou) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    p.satLists[SATLIST_GLONASS].count = 5;
    Body b;
    b.U8(4).Zeros(5);  // count, five bytes not read
    b.Raw(SatEntry(7, 300, 40, 1, 45, 38));   // GPS 7
    b.Raw(SatEntry(141, 90, 60, 0, 41, 0));   // BeiDou 1
    b.Raw(SatEntry(65, 10, 5, 1, 30, 30));    // GLONASS: skipped
    b.Raw(SatEntry(170, 181, 12, 1, 33, 29)); // BeiDou 30
    ASSERT_EQ(Feed(board, Log(911, b.b)), 1u);
    EXPECT_EQ(p.ChangedMask, ChangeBits::GpsList | ChangeBits::BeidouList);
    EXPECT_EQ(p.satLists[SATLIST_GLONASS].count, 0u);
    ASSERT_EQ(p.satLists[SATLIST_GPS].count, 1u);
    const SATLLITE_STR& g = p.satLists[SATLIST_GPS].sats[0];
    EXPECT_EQ(+g.number, 7);
    EXPECT_EQ(+g.elevation, 40);
    EXPECT_EQ(+g.azimuth, 300);
    EXPECT_EQ(+g.snr[0], 45.0f);
    EXPECT_EQ(+g.snr[1], 38.0f);
    EXPECT_EQ(+g.used, 1u);
    ASSERT_EQ(p.satLists[SATLIST_BEIDOU].count, 2u);
    EXPECT_EQ(+p.satLists[SATLIST_BEIDOU].sats[0].number, 1);
    EXPECT_EQ(+p.satLists[SATLIST_BEIDOU].sats[1].number, 30);
    EXPECT_EQ(+p.satLists[SATLIST_BEIDOU].sats[1].azimuth, 181);

    // A count above 24 is no log of satellites: the lists stay.
    Body many;
    many.U8(25).Zeros(5 + 25 * 12);
    ASSERT_EQ(Feed(board, Log(911, many.b)), 1u);
    EXPECT_EQ(p.satLists[SATLIST_GPS].count, 1u);
    EXPECT_EQ(p.ChangedMask, 0u);

    // A count larger than the entries the body holds: only those are read.
    Body cut;
    cut.U8(3).Zeros(5).Raw(SatEntry(12, 1, 2, 1, 40, 40));
    ASSERT_EQ(Feed(board, Log(911, cut.b)), 1u);
    ASSERT_EQ(p.satLists[SATLIST_GPS].count, 1u);
    EXPECT_EQ(+p.satLists[SATLIST_GPS].sats[0].number, 12);
    EXPECT_EQ(p.satLists[SATLIST_BEIDOU].count, 0u);
}

TEST(Q70RBoard, ObservationsIntoTheEngineRecord) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    Body b;
    b.Raw(ObsHead(5));
    b.U8(0);                                               // empty channel: one byte
    b.Raw(ObsEntry(5, true, 160000000, 256, true, -42, -512));  // L1 and L2
    b.U8(70);                                              // id 63 and above: one byte
    b.Raw(ObsEntry(9, false, 1, 1, true, 1, 1));           // no L1: passed over
    b.Raw(ObsEntry(12, true, 120000000, 0, false, 99, 99)); // L1 only, zero correction
    ASSERT_EQ(Feed(board, Log(912, b.b, 2062, 345600500)), 1u);

    const uint8_t* r = p.obsRecord;
    EXPECT_EQ(platform::ReadLE32(r + R::kObsWeekAt), 2062u);
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(r + R::kObsSecondsAt), 345600.5);
    EXPECT_EQ(platform::ReadLE32(r + R::kObsCountAt), 2u);
    EXPECT_EQ(platform::ReadLE32(r + R::kObsFlagAt), 1u);
    EXPECT_EQ(Bytes(r + R::kObsHeadBytesAt, r + R::kObsHeadBytesAt + 5), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(r + R::kObsScaledAt), -12345678 * 1e-7);
    EXPECT_EQ(platform::ReadLE32(r + R::kObsWordAt), 0xCAFEBABEu);

    const uint8_t* e = r + R::kObsEntriesAt;
    const double p1 = 160000000 * 0.125 * 0.1902936727984;
    EXPECT_EQ(e[0], 5);
    EXPECT_EQ(e[1], 45);
    EXPECT_EQ(platform::ReadLE16(e + 2), 270);
    EXPECT_EQ(e[4], 47);
    EXPECT_EQ(e[5], 39);
    EXPECT_EQ(e[6], 0x11);
    EXPECT_EQ(e[7], 0x22);
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(e + R::kObsEntryP1At), -p1);
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(e + R::kObsEntryL1At), -(p1 * 5.255035468569757 + 1.0));
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(e + R::kObsEntryP2At), -(p1 - 42 * 0.0237867090998));
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(e + R::kObsEntryL2At), -(p1 * 4.094832832651982 - 2.0));
    const uint8_t* e2 = e + R::kObsEntrySize;
    EXPECT_EQ(e2[0], 12);
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(e2 + R::kObsEntryP1At), -(120000000 * 0.125 * 0.1902936727984));
    EXPECT_EQ(platform::ReadLEDouble(e2 + R::kObsEntryL1At), 0.0);  // a zero correction: no phase
    EXPECT_EQ(platform::ReadLEDouble(e2 + R::kObsEntryP2At), 0.0);  // no L2
    EXPECT_EQ(e2[5], 0);

    // The GPS list from the measured satellites; the header's epoch.
    ASSERT_EQ(p.satLists[SATLIST_GPS].count, 2u);
    EXPECT_EQ(+p.satLists[SATLIST_GPS].sats[0].number, 5);
    EXPECT_EQ(+p.satLists[SATLIST_GPS].sats[0].snr[0], 47.0f);
    EXPECT_EQ(+p.satLists[SATLIST_GPS].sats[0].snr[1], 39.0f);
    EXPECT_EQ(+p.satLists[SATLIST_GPS].sats[1].number, 12);
    EXPECT_EQ(platform::ReadLE16(p.lastHeader + 14), 2062);
    EXPECT_EQ(platform::ReadLE32(p.lastHeader + 16), 345600500u);
}

// More than 28 satellites: the record is emptied and the log ends there. A
// last entry cut short is not read; a record never holds more than 28.
TEST(Q70RBoard, ObservationCountsAndTruncation) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    Body over;
    over.Raw(ObsHead(29));
    for (int i = 0; i < 29; ++i) over.Raw(ObsEntry(uint8_t(1 + i % 32), true, 1000, 1, false, 0, 0));
    ASSERT_EQ(Feed(board, Log(912, over.b)), 1u);
    EXPECT_EQ(platform::ReadLE32(p.obsRecord + R::kObsCountAt), 0u);
    EXPECT_EQ(platform::ReadLE32(p.obsRecord + R::kObsFlagAt), 0u);

    Body full;
    full.Raw(ObsHead(28));
    for (int i = 0; i < 28; ++i) full.Raw(ObsEntry(uint8_t(1 + i), true, 1000, 1, false, 0, 0));
    ASSERT_EQ(Feed(board, Log(912, full.b)), 1u);
    EXPECT_EQ(platform::ReadLE32(p.obsRecord + R::kObsCountAt), 28u);

    Body cut;
    cut.Raw(ObsHead(2)).Raw(ObsEntry(3, true, 1000, 1, false, 0, 0));
    const Bytes second = ObsEntry(4, true, 1000, 1, false, 0, 0);
    cut.Raw(Bytes(second.begin(), second.begin() + 21));
    ASSERT_EQ(Feed(board, Log(912, cut.b)), 1u);
    EXPECT_EQ(platform::ReadLE32(p.obsRecord + R::kObsCountAt), 1u);
    EXPECT_EQ(p.satLists[SATLIST_GPS].count, 1u);
}

TEST(Q70RBoard, Log913Record) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    Body b;
    b.U32(0x11223344);
    for (uint8_t i = 0; i < 24; ++i) b.U8(uint8_t(0xA0 + i));
    b.U32(0xFFFFFFFF);  // past what is taken
    ASSERT_EQ(Feed(board, Log(913, b.b)), 1u);
    EXPECT_EQ(platform::ReadLE32(p.log913Record + R::kLog913WordAt), 0x11223344u);
    for (unsigned i = 0; i < 24; ++i) EXPECT_EQ(p.log913Record[R::kLog913BytesAt + i], 0xA0 + i) << i;
    EXPECT_EQ(p.log913Record[R::kLog913BytesAt + 24], 0);
}

// Log 41: subframes 1 to 3 in their order, the telemetry and handover words
// dropped (whatever they hold, the record is the same), and the validity of
// the semi-major axis.
TEST(Q70RBoard, RawEphemerisTlmAndHowDropped) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    ASSERT_EQ(Feed(board, Log(41, RawEphemBody(17, 5153.65, 0x00))), 1u);
    const Bytes clean(p.ephRecord, p.ephRecord + R::kEphSize);
    EXPECT_EQ(platform::ReadLE32(clean.data() + R::kEphSatAt), 17u);
    EXPECT_EQ(platform::ReadLE32(clean.data() + R::kEphValidAt), 1u);
    EXPECT_EQ(platform::ReadLE32(clean.data() + R::kEphIodeAt), 0x2Du);
    EXPECT_NEAR(platform::ReadLEDouble(clean.data() + R::kEphSqrtAAt), 5153.65, 1e-5);
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(clean.data() + R::kEphEAt), std::ldexp(1.0, -10));
    EXPECT_DOUBLE_EQ(platform::ReadLEDouble(clean.data() + R::kEphToeAt), 28800.0);

    ASSERT_EQ(Feed(board, Log(41, RawEphemBody(17, 5153.65, 0xFF))), 1u);
    EXPECT_EQ(Bytes(p.ephRecord, p.ephRecord + R::kEphSize), clean);

    for (const auto& [sqrtA, valid] : {std::pair{999.0, 0u}, {1000.0, 1u}, {8000.0, 1u}, {8001.0, 0u}}) {
        ASSERT_EQ(Feed(board, Log(41, RawEphemBody(3, sqrtA, 0))), 1u);
        EXPECT_EQ(platform::ReadLE32(p.ephRecord + R::kEphValidAt), valid) << sqrtA;
    }
    // Satellite numbers outside 1 to 62 are not taken.
    for (uint32_t sat : {0u, 63u}) {
        ASSERT_EQ(Feed(board, Log(41, RawEphemBody(sat, 5000.0, 0))), 1u);
        EXPECT_EQ(platform::ReadLE32(p.ephRecord + R::kEphSatAt), 3u) << sat;
    }
}

// Every log id with every shorter body: a body that announces more than the
// frame holds is read no further than the frame (ASan watches the reads).
TEST(Q70RBoard, TruncatedBodiesAreReadWithinTheFrame) {
    std::vector<std::pair<int, Bytes>> logs = {
        {37, Bytes(120, 0x31)},
        {41, RawEphemBody(5, 5153.0, 0)},
        {42, BestPos().Encode()},
        {174, PsrDop(1, 2, 1, 1, 0.1f)},
        {175, RefStation(1, 2, 3)},
    };
    Body sats;
    sats.U8(2).Zeros(5).Raw(SatEntry(3, 4, 5, 1, 40, 30)).Raw(SatEntry(150, 4, 5, 1, 40, 30));
    logs.push_back({911, sats.b});
    Body obs;
    obs.Raw(ObsHead(3)).U8(0).Raw(ObsEntry(5, true, 1000, 1, true, 1, 1)).Raw(ObsEntry(6, true, 1000, 1, true, 1, 1));
    logs.push_back({912, obs.b});
    logs.push_back({913, Bytes(40, 0x5A)});
    for (const auto& [id, body] : logs) {
        SCOPED_TRACE(id);
        for (size_t keep = 0; keep < body.size(); ++keep) {
            const Bytes whole = Log(uint16_t(id), body);
            // The header still announces the whole body; the frame ends early.
            auto frame = std::make_unique<uint8_t[]>(28 + keep);
            std::memcpy(frame.get(), whole.data(), 28 + keep);
            Em_RepParser_Q70R parser;
            EXPECT_EQ(parser.Decode_BinFrame(frame.get(), id, unsigned(28 + keep)), 1u);
        }
    }
    Em_RepParser_Q70R parser;
    const uint8_t header[27] = {0xAA, 0x44, 0x12, 28};
    EXPECT_EQ(parser.Decode_BinFrame(nullptr, 42, 100), 0u);
    EXPECT_EQ(parser.Decode_BinFrame(header, 0, sizeof header), 0u);
    EXPECT_EQ(parser.Decode_BinFrame(header, 42, 0), 0u);
    EXPECT_EQ(parser.Decode_BinFrame(header, 42, sizeof header), 0u);
}

// What is no log: other bytes are dropped with the change mask cleared
// (result 1); a log followed by a byte of the next one, a bad CRC and a log
// of another header length are dropped (result 0); a log not all there
// waits; "$GP" sentences go to the NMEA decoders.
TEST(Q70RBoard, FramesThatAreNoLog) {
    Em_MainBd_OrvelR board;
    Em_RepParser_Q70R& p = *board.Parser();
    ASSERT_EQ(Feed(board, Log(174, PsrDop(1, 2, 1, 1, 0.1f))), 1u);
    ASSERT_NE(p.ChangedMask, 0u);

    const Bytes noise = {0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(Feed(board, noise), 1u);
    EXPECT_EQ(p.ChangedMask, 0u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);

    Bytes two = Log(174, PsrDop(1, 2, 1, 1, 0.1f));
    two.push_back(0xAA);
    EXPECT_EQ(Feed(board, two), 0u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);

    Bytes bad = Log(174, PsrDop(1, 2, 1, 1, 0.1f));
    bad.back() ^= 0x01;
    EXPECT_EQ(Feed(board, bad), 0u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);

    Bytes header20 = Log(174, PsrDop(1, 2, 1, 1, 0.1f));
    header20[3] = 20;
    EXPECT_EQ(Feed(board, header20), 0u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);

    const Bytes whole = Log(42, BestPos().Encode());
    EXPECT_EQ(Feed(board, Bytes(whole.begin(), whole.begin() + 50)), 0u);
    EXPECT_EQ(board.RecvBuffer()->fill, 50);
    EXPECT_EQ(Feed(board, Bytes(whole.begin() + 50, whole.end())), 1u);
    EXPECT_DOUBLE_EQ(p.position.latitude, 31.5 * kDeg);

    const std::string gga = "$GPGGA,120000.00,3130.0000,N,12115.0000,E,4,12,0.9,10.0,M,5.5,M,1.0,0001*7E\r\n";
    const Bytes ggaBytes(gga.begin(), gga.end());
    p.parseNmea = 1;
    EXPECT_EQ(Feed(board, ggaBytes), 1u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);
}
