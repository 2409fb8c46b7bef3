// The NovAtel OEM board: what it recognises in its receive buffer, how it
// waits for and drops binary logs, and what each log decoder stores and
// announces. Logs are built from the OEM4 binary layout (NovAtelFixtures.h).
#include "protocol/boards/Em_MainBd_NovAt_OEM.h"

#include "FrameFixtures.h"
#include "NovAtelFixtures.h"
#include "protocol/Em_GpsTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Fjarnis2011::FJParse;
using namespace novatel_fixtures;

namespace {

constexpr double kDeg = 0.017453292519943295;

struct Board {
    Em_MainBd_NovAt_OEM board;
    Em_ReptParser_NovAt& parser = *static_cast<Em_ReptParser_NovAt*>(board.RepParser());

    unsigned Feed(const Bytes& f) {
        board.AppendReceived(f.data(), unsigned(f.size()));
        return board.Parse_NextFrame();
    }
    int Buffered() const { return board.RecvBuffer()->fill; }
    // Decodes a log as the board would and returns the change bits (0 when
    // the board took nothing).
    uint32_t Decode(const Bytes& log) { return Feed(log) ? parser.ChangedMask : 0u; }
};

Bytes Cut(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + long(from), b.begin() + long(to)); }

}  // namespace

TEST(NovAtelBoard, MadeWithItsFamily) {
    Em_MainBd_NovAt_OEM board;
    EXPECT_EQ(board.Type(), MAINBD_NOVATEL_OEM);
    ASSERT_NE(dynamic_cast<Em_ReptParser_NovAt*>(board.RepParser()), nullptr);
    auto* builder = dynamic_cast<Em_CmdPaker_NovAt*>(board.CmdPaker());
    ASSERT_NE(builder, nullptr);
    EXPECT_EQ(builder->rtcm3Selector, 2u);
    EXPECT_EQ(board.RecvBuffer()->fill, 0);
}

// Every head the board knows is decoded; anything else empties the buffer.
TEST(NovAtelBoard, RecognisesItsFramesAndDropsTheRest) {
    using namespace frame_fixtures;
    const struct {
        const char* name;
        Bytes frame;
        unsigned result;
        uint32_t bits;  // change bits expected (all of them)
    } rows[] = {
        {"psrdop", Log(174, PsrDop(2, 1.5f, 0.9f, 1, 10)), 1, 0x84000000u},
        {"gpgga", kGga, 1, ChangeBits::GgaText},
        {"gngga", Text("$GNGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*68\r\n"), 1,
         ChangeBits::GgaText},
        {"bdgsv", Text("$BDGSV,1,1,01,05,40,100,45*59\r\n"), 1, ChangeBits::BeidouList},
        {"glgsv", kGlGsv, 1, ChangeBits::GlonassList},
        {"rtcm 1005", kRtcm1005, 1, ChangeBits::Correction},
        // A payload of 256 bytes or more puts a 1 in the second byte.
        {"rtcm 300-byte payload", Rtcm3(300), 1, ChangeBits::Correction},
        {"cmr", kCmr, 1, ChangeBits::Correction},
        {"garbage", Text("XYZ123"), 0, 0},
        {"stx of another type", kStx, 0, 0},
        {"$GPTXT without a sum", kTxtNoSum, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Board b;
        EXPECT_EQ(b.Feed(row.frame), row.result);
        if (row.result) {
            EXPECT_EQ(b.parser.ChangedMask, row.bits);
        }
        EXPECT_EQ(b.Buffered(), 0);
    }
    Board b;
    b.Feed(kRtcm1005);
    TRSMT_INFO info;
    b.parser.Holder()->Get_Info(info);
    EXPECT_EQ(info.messageNumber, 1005u);
    EXPECT_EQ(info.length, kRtcm1005.size());

    // Two bytes: wait for the head.
    Board two;
    EXPECT_EQ(two.Feed({0xAA, 0x44}), 0u);
    EXPECT_EQ(two.Buffered(), 2);
}

// A log arriving in pieces (as the old-protocol format hands over board
// output) waits until it is whole; the buffer must then hold exactly one log.
TEST(NovAtelBoard, BinaryLogWaitsForItsRestAndMustStandAlone) {
    const Bytes log = Log(174, PsrDop(2, 1.5f, 0.9f, 1, 10));
    for (size_t split : {size_t(3), size_t(27), size_t(28), size_t(40), log.size() - 1}) {
        SCOPED_TRACE(split);
        Board b;
        EXPECT_EQ(b.Feed(Cut(log, 0, split)), 0u);
        EXPECT_EQ(b.Buffered(), int(split));
        EXPECT_EQ(b.Feed(Cut(log, split, log.size())), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0x84000000u);
        EXPECT_EQ(b.Buffered(), 0);
    }

    // A whole BESTPOS and the first byte of the next log: dropped undecoded.
    Board b;
    Bytes two = Log(42, BestPos().Encode());
    two.push_back(0xAA);
    b.parser.ChangedMask = 0x5A5A;
    EXPECT_EQ(b.Feed(two), 0u);
    EXPECT_EQ(b.Buffered(), 0);
    EXPECT_EQ(b.parser.position.latitude, 0.0);
}

// Logs that cannot be sound are dropped at once with the whole buffer; none
// of them holds the buffer waiting for bytes that cannot come.
TEST(NovAtelBoard, UnsoundLogsAreDroppedAtOnce) {
    const Bytes good = Log(174, PsrDop(2, 1.5f, 0.9f, 1, 10));
    // A whole log, never empty: said here so that the optimiser sees it too.
    ASSERT_GE(good.size(), 32u);
    Bytes badCrc = good;
    badCrc[good.size() - 1] ^= 0x01;
    Bytes badBody = good;
    badBody[30] ^= 0x40;
    Bytes header27 = frame_fixtures::NovAtel(40, 27);
    Bytes header29 = frame_fixtures::NovAtel(40, 29);
    // A header that announces a body the buffer could never hold.
    Bytes huge = Cut(good, 0, 28);
    huge[8] = 0xF0;
    huge[9] = 0x07;
    Bytes idZero = Log(0, PsrDop(2, 1.5f, 0.9f, 1, 10));

    for (const Bytes* bad : {&badCrc, &badBody, &header27, &header29, &huge, &idZero}) {
        Board b;
        EXPECT_EQ(b.Feed(*bad), 0u);
        EXPECT_EQ(b.Buffered(), 0);
        EXPECT_EQ(b.parser.dops.pdop, 0.0);
        // The next log is decoded as usual.
        EXPECT_EQ(b.Feed(good), 1u);
        EXPECT_FLOAT_EQ(float(b.parser.dops.pdop), 1.5f);
    }
}

// Decoding straight from a frame whose header announces more than is given,
// or logs too short for what their decoder reads: nothing is read beyond the
// frame (AddressSanitizer watches), nothing is announced.
TEST(NovAtelParser, ShortAndOverlongLogsAreReadWithinTheirBytes) {
    Em_ReptParser_NovAt parser;
    EXPECT_EQ(parser.Decode_BinFrame(nullptr, 42, 100), 0u);
    const Bytes full = Log(42, BestPos().Encode());
    EXPECT_EQ(parser.Decode_BinFrame(full.data(), 0, unsigned(full.size())), 0u);
    EXPECT_EQ(parser.Decode_BinFrame(full.data(), 42, 0), 0u);
    EXPECT_EQ(parser.Decode_BinFrame(full.data(), 42, 27), 0u);  // no whole header

    const int ids[] = {7, 37, 41, 42, 43, 48, 140, 174, 175, 241, 726, 1047};
    std::mt19937 rng(7);
    for (int id : ids) {
        for (unsigned body = 0; body < 260; ++body) {
            Bytes b(body);
            for (uint8_t& x : b) x = uint8_t(rng());
            // Counts of the list logs as large as they go.
            if (body >= 4 && (id == 43 || id == 140)) b[0] = b[1] = b[2] = b[3] = 0xFF;
            const Bytes log = Log(uint16_t(id), b);
            // Exactly the frame's bytes, on the heap, so that a read past them
            // is caught; the header's length field is left as it says.
            Bytes headerOnly(log.begin(), log.begin() + 28 + body);
            headerOnly[8] = 0xFF;  // announces far more than is given
            headerOnly[9] = 0x07;
            for (const Bytes* f : {&log, static_cast<const Bytes*>(&headerOnly)}) {
                std::vector<uint8_t> heap(*f);
                Em_ReptParser_NovAt p;
                EXPECT_EQ(p.Decode_BinFrame(heap.data(), id, unsigned(heap.size())), 1u);
                EXPECT_LE(p.obsCount, p.obsCapacity);
            }
        }
    }

    // Bodies one byte short of what the decoders read change nothing.
    const struct {
        int id;
        Bytes body;
    } shortRows[] = {
        {42, Cut(BestPos().Encode(), 0, 71)},
        {174, Cut(PsrDop(1, 1, 1, 1, 1), 0, 23)},
        {175, Cut(RefStation(1, 2, 3), 0, 27)},
        {7, Cut(GpsEphem(5, 10, 1562, 1000), 0, 203)},
    };
    for (const auto& row : shortRows) {
        Em_ReptParser_NovAt p;
        const Bytes log = Log(uint16_t(row.id), row.body);
        EXPECT_EQ(p.Decode_BinFrame(log.data(), row.id, unsigned(log.size())), 1u);
        EXPECT_EQ(p.ChangedMask, 0u) << row.id;
    }
}

// Random bytes, real log heads with random lengths and pieces of logs in any
// order: every call ends, none decodes out of bounds.
TEST(NovAtelBoard, NeverStallsOnAnyBytes) {
    std::mt19937 rng(2026);
    Board b;
    const Bytes good = Log(42, BestPos().Encode());
    for (int round = 0; round < 4000; ++round) {
        Bytes chunk;
        switch (rng() % 4) {
        case 0:
            chunk.resize(rng() % 64);
            for (uint8_t& x : chunk) x = uint8_t(rng());
            break;
        case 1:
            chunk = Cut(good, 0, rng() % good.size());
            break;
        case 2: {
            chunk = Cut(good, 0, 28);
            chunk[8] = uint8_t(rng());
            chunk[9] = uint8_t(rng() % 9);
            break;
        }
        default:
            chunk = good;
            break;
        }
        b.Feed(chunk);
        ASSERT_LE(b.Buffered(), MainBdRecvBuffer::kSize);
    }
    // Whatever came before, a cleared buffer takes the next log.
    b.board.ClearRecvBuffer();
    EXPECT_EQ(b.Feed(good), 1u);
}

TEST(NovAtelParser, BestPosStoresTheSolution) {
    Board b;
    BestPos bp;
    bp.diffAge = 3.0f;
    const uint32_t bits = b.Decode(Log(42, bp.Encode()));
    EXPECT_EQ(bits, 0x40000000u | 0x1000000u | 0x820000u | 0x20000000u | 0x10000u | 0x10000000u);
    const Em_IRepParser& p = b.parser;
    EXPECT_DOUBLE_EQ(p.position.latitude, 31.5 * kDeg);
    EXPECT_DOUBLE_EQ(p.position.longitude, 121.25 * kDeg);
    EXPECT_DOUBLE_EQ(p.position.height, 15.5);  // height above sea level + undulation
    EXPECT_DOUBLE_EQ(p.position.diffAge, 3.0);
    EXPECT_EQ(p.position.status, 11);  // RTK fixed with fresh corrections
    // Fresh corrections scale the deviations by 0.6.
    const double lat = float(0.03f * 0.6), lon = float(0.04f * 0.6);
    EXPECT_DOUBLE_EQ(p.errors.horizontalError, std::hypot(lat, lon));
    EXPECT_DOUBLE_EQ(p.errors.heightError, double(float(0.05f * 0.6)));
    EXPECT_DOUBLE_EQ(p.errors.rms, 0.68 * std::hypot(lat, lon));
    EXPECT_EQ(p.solution.gpsWeek, 1562u);
    EXPECT_EQ(p.solution.gpsSeconds, 515220u);
    EXPECT_EQ(p.solution.satsTracked, 16u);
    EXPECT_EQ(p.solution.satsInSolution, 12u);
    EXPECT_EQ(p.satsListed, 16u);
    EXPECT_EQ(p.satsListedUsed, 12u);
    EXPECT_EQ(p.solutions, 0xF1000000u);  // signal mask 0x37
    EXPECT_EQ(p.solution.usedSignals, 0xF1000000u);
    // Week 1562 + 515220 s: Friday 2009-12-18 23:07:00 (GPS time).
    EXPECT_EQ(p.time.year, 2009);
    EXPECT_EQ(p.time.month, 12);
    EXPECT_EQ(p.time.day, 18);
    EXPECT_EQ(p.time.hour, 23);
    EXPECT_EQ(p.time.minute, 7);
    EXPECT_DOUBLE_EQ(p.time.second, 0.0);

    // With the time zone at 8 hours the date carries into the next day.
    Board east;
    east.parser.timeZone = 8;
    east.Decode(Log(42, bp.Encode()));
    EXPECT_EQ(east.parser.time.day, 19);
    EXPECT_EQ(east.parser.time.hour, 7);
}

TEST(NovAtelParser, BestPosQualityByPositionTypeAndAge) {
    const struct {
        uint32_t type;
        uint32_t solutionStatus;
        float age;
        int32_t quality;  // types that keep the quality leave the 0 a new log starts with
    } rows[] = {
        {50, 0, 25.0f, 4}, {50, 0, 3.0f, 11}, {48, 0, 20.0f, 11}, {32, 0, 10.0f, 6}, {34, 0, 30.0f, 4},
        {16, 0, 0.0f, 4},  {17, 0, 0.0f, 5},  {18, 0, 0.0f, 7},   {1, 0, 0.0f, 1},   {1, 13, 0.0f, 1},
        {1, 5, 0.0f, 2},   {0, 0, 0.0f, 3},   {0, 0, 60.0f, 0},   {19, 0, 0.0f, 0},  {20, 0, 0.0f, 0},
        {99, 0, 0.0f, 0},
    };
    for (const auto& row : rows) {
        Board b;
        BestPos bp;
        bp.positionType = row.type;
        bp.solutionStatus = row.solutionStatus;
        bp.diffAge = row.age;
        // A new log starts from quality 0: "as it was" keeps that.
        b.parser.position.status = 7;
        EXPECT_NE(b.Decode(Log(42, bp.Encode())) & ChangeBits::Status, 0u);
        EXPECT_EQ(b.parser.position.status, row.quality) << row.type << " age " << row.age;
    }
}

// A response carries no body of its own: the kept solution is used again, as
// received (its deviations are not scaled a second time).
TEST(NovAtelParser, BestPosResponseReusesTheKeptBody) {
    Board b;
    BestPos other;
    other.lat = -12.0;
    EXPECT_EQ(b.Decode(Log(42, other.Encode(), kWeek, kMilliseconds, kResponseType)), 0u)
        << "nothing kept yet: nothing to report";
    EXPECT_EQ(b.parser.position.latitude, 0.0);

    BestPos kept;
    kept.diffAge = 2.0f;
    b.Decode(Log(42, kept.Encode()));
    const double horizontal = b.parser.errors.horizontalError;
    const uint32_t bits = b.Decode(Log(42, other.Encode(), kWeek, kMilliseconds + 1000, kResponseType));
    EXPECT_NE(bits & ChangeBits::Position, 0u);
    EXPECT_DOUBLE_EQ(b.parser.position.latitude, 31.5 * kDeg);
    EXPECT_DOUBLE_EQ(b.parser.errors.horizontalError, horizontal);
    EXPECT_EQ(b.parser.solution.gpsSeconds, 515221u);  // the response's own header
}

TEST(NovAtelParser, DopsAndReferenceStation) {
    Board b;
    EXPECT_EQ(b.Decode(Log(174, PsrDop(2.5f, 1.5f, 0.9f, 1.1f, 10.7f))), 0x84000000u);
    EXPECT_DOUBLE_EQ(b.parser.dops.gdop, 2.5);
    EXPECT_DOUBLE_EQ(b.parser.dops.pdop, 1.5);
    EXPECT_DOUBLE_EQ(b.parser.dops.hdop, double(0.9f));
    EXPECT_DOUBLE_EQ(b.parser.dops.tdop, double(1.1f));
    EXPECT_NEAR(b.parser.dops.vdop, 1.2, 1e-6);
    EXPECT_EQ(b.board.Get_ElevMask(), 10u);
    // HDOP above PDOP and a negative cutoff: VDOP 0 and mask 0, not garbage.
    b.Decode(Log(174, PsrDop(2.5f, 0.9f, 1.5f, 1.1f, -5.0f)));
    EXPECT_EQ(b.parser.dops.vdop, 0.0);
    EXPECT_EQ(b.board.Get_ElevMask(), 0u);

    const Bytes ref = Log(175, RefStation(-2850000.5, 4650000.25, 3290000.125));
    EXPECT_EQ(b.Decode(ref), ChangeBits::BasePosition);
    EXPECT_EQ(b.parser.baseInfo.x, -2850000.5);
    EXPECT_EQ(b.parser.baseInfo.y, 4650000.25);
    EXPECT_EQ(b.parser.baseInfo.z, 3290000.125);
    ASSERT_EQ(ref.size(), 73u);  // 69 bytes of log, then the CRC
    EXPECT_TRUE(std::equal(ref.begin(), ref.begin() + 69, b.parser.refStationLog));
}

// RANGE: the records of one satellite that follow one another are its two
// frequencies; a lone record is an entry of its own.
TEST(NovAtelParser, RangePairsFrequenciesOfOneSatellite) {
    Board b;
    const std::vector<Bytes> records = {
        RangeRecord(5, 2.1e7, -1.1e8, -500.0f, 45.7f), RangeRecord(5, 2.1e7 + 1, -8.6e7, -390.0f, 38.2f),
        RangeRecord(12, 2.3e7, -1.2e8, 800.0f, 41.0f), RangeRecord(12, 2.3e7 + 2, -9.3e7, 620.0f, 300.0f),
        RangeRecord(40, 1.9e7, -1.0e8, 100.0f, 50.0f),
    };
    EXPECT_EQ(b.Decode(Log(43, Range(records, 5))), ChangeBits::Observations);
    ASSERT_EQ(b.parser.obsCount, 3u);
    const em_obsd_t& first = b.parser.obs[0];
    EXPECT_EQ(first.sat, 5);
    EXPECT_EQ(first.SNR[0], 45);
    EXPECT_EQ(first.SNR[1], 38);
    EXPECT_EQ(first.P[0], 2.1e7);
    EXPECT_EQ(first.P[1], 2.1e7 + 1);
    EXPECT_EQ(first.L[1], -8.6e7);
    EXPECT_EQ(first.D[0], -500.0f);
    EXPECT_EQ(b.parser.obs[1].SNR[1], 255);  // held within its byte
    EXPECT_EQ(b.parser.obs[2].sat, 40);
    EXPECT_EQ(b.parser.obs[2].P[1], 0.0);
    const GpsTime epoch = GpsTime_FromWeekSec(kWeek, kMilliseconds * 0.001);
    EXPECT_EQ(first.time.time, epoch.time);

    EXPECT_EQ(b.Decode(Log(43, Range({}, 0))), ChangeBits::Observations);
    EXPECT_EQ(b.parser.obsCount, 0u);
    // A count beyond the records present reads only those present.
    b.Decode(Log(43, Range({records[4]}, 1000)));
    EXPECT_EQ(b.parser.obsCount, 1u);
}

TEST(NovAtelParser, RangeCmpDecodesRecords) {
    Board b;
    CmpRecord l1;  // GPS 7 L1: 21 000 000.5 m, phase lock, 45 dB-Hz
    l1.prn = 7;
    l1.psrUnits = uint64_t(21000000.5 * 128);
    l1.dopplerUnits = -1000 * 256 - 64;  // -1000.25 Hz
    l1.adrUnits = -int32_t(1000000 * 256);
    l1.lockUnits = 100 * 32;
    l1.cn0 = 25;
    CmpRecord l2 = l1;  // its L2 P codeless
    l2.signalType = 9;
    l2.cn0 = 18;
    CmpRecord l2c = l1;  // L2C of GPS 8: a quarter cycle added
    l2c.prn = 8;
    l2c.signalType = 17;
    CmpRecord noCode = l1;  // GPS 9 without code or phase lock
    noCode.prn = 9;
    noCode.codeLock = false;
    noCode.phaseLock = false;
    CmpRecord glonassNoParity = l1;
    glonassNoParity.system = 1;
    glonassNoParity.prn = 40;
    glonassNoParity.parityKnown = false;
    CmpRecord glonass = glonassNoParity;
    glonass.prn = 41;
    glonass.parityKnown = true;
    CmpRecord sbas = l1;
    sbas.system = 2;
    sbas.prn = 129;
    CmpRecord beidou = l1;
    beidou.system = 4;
    beidou.prn = 10;
    CmpRecord galileo = l1;  // another system's PRN 7 is not GPS 7
    galileo.system = 3;
    galileo.prn = 7;
    galileo.psrUnits = 1;
    CmpRecord unknownSignal = l1;
    unknownSignal.prn = 11;
    unknownSignal.signalType = 2;

    const uint32_t bits = b.Decode(
        Log(140, RangeCmp({l1, l2, l2c, noCode, glonassNoParity, glonass, sbas, beidou, galileo, unknownSignal})));
    EXPECT_EQ(bits, ChangeBits::Observations);
    const Em_ReptParser_NovAt& p = b.parser;
    ASSERT_EQ(p.obsCount, 6u);
    std::vector<int> sats;
    for (uint32_t i = 0; i < p.obsCount; ++i) sats.push_back(p.obs[i].sat);
    EXPECT_EQ(sats, (std::vector<int>{7, 8, 9, 41, 129, 170}));

    const em_obsd_t& g7 = p.obs[0];
    EXPECT_EQ(g7.P[0], 21000000.5);  // the Galileo record did not overwrite it
    EXPECT_EQ(g7.P[1], 21000000.5);
    EXPECT_EQ(g7.D[0], -1000.25f);
    EXPECT_EQ(g7.SNR[0], 45);
    EXPECT_EQ(g7.SNR[1], 38);
    EXPECT_EQ(g7.code[0], 1);
    EXPECT_EQ(g7.code[1], 19);
    EXPECT_EQ(g7.LLI[0], 0);  // no previous epoch
    // The carrier phase keeps the pseudorange's whole number of rollovers.
    EXPECT_NEAR(g7.L[0] * 0.1902936727984, g7.P[0], 0.19 * 8388608 / 2);
    EXPECT_DOUBLE_EQ(g7.L[0] - std::floor(g7.L[0]), 0.0);
    const em_obsd_t& g8 = p.obs[1];
    EXPECT_EQ(g8.code[1], 14);
    EXPECT_DOUBLE_EQ(g8.L[1] - g7.L[1], 0.25);
    const em_obsd_t& g9 = p.obs[2];
    EXPECT_EQ(g9.P[0], 0.0);
    EXPECT_EQ(g9.L[0], 0.0);
    EXPECT_EQ(g9.D[0], 0.0f);
    EXPECT_EQ(g9.SNR[0], 45);
}

// The loss-of-lock flag compares each record with the last log's: lock time
// that grew less than the interval, or a changed half-cycle flag, is a slip.
TEST(NovAtelParser, RangeCmpLossOfLock) {
    Board b;
    CmpRecord steady, reset, flip, noParity;
    steady.prn = 1;
    steady.lockUnits = 50 * 32;
    reset.prn = 2;
    reset.lockUnits = 50 * 32;
    flip.prn = 3;
    flip.lockUnits = 50 * 32;
    noParity.prn = 4;
    noParity.parityKnown = false;
    noParity.lockUnits = 50 * 32;
    b.Decode(Log(140, RangeCmp({steady, reset, flip, noParity}), kWeek, kMilliseconds));
    EXPECT_EQ(b.parser.obs[3].LLI[0], 2);  // parity unknown, no previous epoch

    steady.lockUnits = 51 * 32;  // one second later: locked all along
    reset.lockUnits = 2 * 32;    // lock lost and found again
    flip.lockUnits = 51 * 32;
    flip.halfCycle = true;
    noParity.lockUnits = 51 * 32;
    b.Decode(Log(140, RangeCmp({steady, reset, flip, noParity}), kWeek, kMilliseconds + 1000));
    EXPECT_EQ(b.parser.obs[0].LLI[0], 0);
    EXPECT_EQ(b.parser.obs[1].LLI[0], 1);
    EXPECT_EQ(b.parser.obs[2].LLI[0], 1);
    EXPECT_EQ(b.parser.obs[3].LLI[0], 2);
}

// More satellites than the list holds: the list stops at 64 entries, and a
// satellite already in it still gets its second frequency.
TEST(NovAtelParser, RangeCmpListHoldsSixtyFour) {
    std::vector<CmpRecord> records;
    for (int i = 0; i < 70; ++i) {
        CmpRecord r;
        r.system = i < 32 ? 0 : (i < 56 ? 1 : 2);
        r.prn = uint8_t(i < 32 ? i + 1 : (i < 56 ? i - 32 + 38 : i - 56 + 120));
        records.push_back(r);
    }
    CmpRecord secondOfFirst;
    secondOfFirst.prn = 1;
    secondOfFirst.signalType = 9;
    secondOfFirst.cn0 = 5;
    records.push_back(secondOfFirst);
    Board b;
    b.Decode(Log(140, RangeCmp(records)));
    EXPECT_EQ(b.parser.obsCount, 64u);
    EXPECT_EQ(b.parser.obs[0].SNR[1], 25);
}

TEST(NovAtelParser, GpsEphemerisStoredOncePerIssue) {
    Board b;
    EXPECT_EQ(b.Decode(Log(7, GpsEphem(5, 33, 1562, 518400.75))), ChangeBits::Ephemeris);
    const em_eph_t& e = b.parser.eph[4];
    EXPECT_EQ(e.sat, 5);
    EXPECT_EQ(e.iode, 33);
    EXPECT_EQ(e.iodc, 33);
    EXPECT_EQ(e.week, 1562);
    EXPECT_EQ(e.toes, 518400.75);
    EXPECT_EQ(e.toe.time, GpsTime_FromWeekSec(1562, 518400).time);
    EXPECT_EQ(e.toe.sec, 0.0);
    EXPECT_EQ(e.ttr.time, e.toe.time);
    EXPECT_EQ(e.A, 26560000.0);
    EXPECT_EQ(e.e, 0.01);
    EXPECT_EQ(e.crc, 200.0);
    EXPECT_EQ(e.f0, 1e-4);
    EXPECT_EQ(e.tgd[0], -1.1e-8);
    EXPECT_EQ(b.parser.lastEphSat, 5);

    // The same issue again: table and change mask untouched.
    b.parser.eph[4].e = 0.5;
    EXPECT_EQ(b.Decode(Log(7, GpsEphem(5, 33, 1562, 518400.75))), 0u);
    EXPECT_EQ(b.parser.eph[4].e, 0.5);
    // Log 1047 has the same layout and four more bytes.
    Bytes body = GpsEphem(6, 1, 1562, 7200);
    body.insert(body.end(), 4, 0);
    EXPECT_EQ(b.Decode(Log(1047, body)), ChangeBits::Ephemeris);
    EXPECT_EQ(b.parser.lastEphSat, 6);
    // Satellite numbers outside the table are not stored anywhere.
    EXPECT_EQ(b.Decode(Log(7, GpsEphem(0, 2, 1562, 0))), 0u);
    EXPECT_EQ(b.Decode(Log(7, GpsEphem(221, 2, 1562, 0))), 0u);
    EXPECT_EQ(b.parser.lastEphSat, 6);
}

// With the hold flags set (as both formats set them for this board), the end
// of a GPGSV cycle only marks the GPS table pending; the next RANGECMP gives
// the table its signal-to-noise ratios, marks the satellites in use and
// publishes it.
TEST(NovAtelParser, SatelliteTablesPublishedByTheObservationLog) {
    using frame_fixtures::Text;
    Board b;
    SetNovAtelBoardOptions(b.board, 0);
    ASSERT_EQ(b.parser.gpsHold, 1u);
    const Bytes gsv1 = Text("$GPGSV,2,1,05,07,40,100,10,08,13,120,50,09,60,000,50,33,30,200,40*7F\r\n");
    const Bytes gsv2 = Text("$GPGSV,2,2,05,12,50,250,44*4A\r\n");
    EXPECT_EQ(b.Feed(gsv1), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.Feed(gsv2), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.parser.gpsPending, 8u);
    const SatList& gps = b.parser.satLists[SATLIST_GPS];
    ASSERT_EQ(gps.count, 4u);
    EXPECT_EQ(b.parser.satLists[SATLIST_FOURTH].count, 1u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_FOURTH].sats[0].number, 120);  // SBAS 33 + 87

    CmpRecord g7;  // 45 dB-Hz on L1, 38 on L2
    g7.prn = 7;
    CmpRecord g7l2 = g7;
    g7l2.signalType = 9;
    g7l2.cn0 = 18;
    CmpRecord g12 = g7;
    g12.prn = 12;
    g12.cn0 = 5;  // 25 dB-Hz
    const uint32_t bits = b.Decode(Log(140, RangeCmp({g7, g7l2, g12})));
    EXPECT_EQ(bits, ChangeBits::Observations | ChangeBits::GpsList);
    EXPECT_EQ(b.parser.gpsPending, 0u);
    EXPECT_EQ(+gps.sats[0].snr[0], 45.0f);  // 7: from the observation
    EXPECT_EQ(+gps.sats[0].snr[1], 38.0f);
    EXPECT_EQ(+gps.sats[0].used, 1u);
    EXPECT_EQ(+gps.sats[1].used, 0u);  // 8: 13 degrees is too low
    EXPECT_EQ(+gps.sats[2].used, 0u);  // 9: azimuth 0
    EXPECT_EQ(+gps.sats[3].snr[0], 25.0f);
    EXPECT_EQ(+gps.sats[3].used, 0u);  // 12: too weak
    // Nothing pending: the next RANGECMP leaves the table alone.
    EXPECT_EQ(b.Decode(Log(140, RangeCmp({g7}))), ChangeBits::Observations);
}

TEST(NovAtelParser, GsvCyclesWithoutHold) {
    using frame_fixtures::Text;
    Board b;
    EXPECT_EQ(b.Feed(Text("$GPGSV,1,1,02,07,40,100,45,40,30,200,40*78\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList | ChangeBits::SbasList);
    EXPECT_EQ(+b.parser.satLists[SATLIST_FOURTH].sats[0].number, 127);
    // The next cycle has no SBAS satellite: that table is empty after it.
    EXPECT_EQ(b.Feed(Text("$GPGSV,1,1,01,07,40,100,45*75\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 1u);
    EXPECT_EQ(b.parser.satLists[SATLIST_FOURTH].count, 0u);

    // GLONASS: a first PRN outside 65-96 empties the table and sets the count.
    EXPECT_EQ(b.Feed(Text("$GLGSV,1,1,01,65,10,100,40*53\r\n")), 1u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].number, 38);
    EXPECT_EQ(b.Feed(Text("$GLGSV,1,1,02,12,10,100,40*55\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GLONASS].count, 2u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].number, 0);

    // BeiDou numbers move by 160 once the cycle is complete, and only once:
    // a last message that comes again leaves the moved entries as they are.
    const SatList& bds = b.parser.satLists[SATLIST_BEIDOU];
    EXPECT_EQ(b.Feed(Text("$BDGSV,2,1,05,01,40,100,45,02,40,110,45,03,40,120,45,04,40,130,45*6C\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(+bds.sats[0].number, 1);
    const Bytes last = Text("$BDGSV,2,2,05,09,40,100,45*5C\r\n");
    EXPECT_EQ(b.Feed(last), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::BeidouList);
    EXPECT_EQ(+bds.sats[0].number, 161);
    EXPECT_EQ(+bds.sats[4].number, 169);
    EXPECT_EQ(b.Feed(last), 1u);
    EXPECT_EQ(+bds.sats[0].number, 161);
    EXPECT_EQ(+bds.sats[4].number, 169);
    b.parser.bdsHold = 1;
    EXPECT_EQ(b.Feed(Text("$BDGSV,1,1,01,05,40,100,45*59\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.parser.bdsPending, 32u);
}

// The options the formats set: the three hold flags, and the RTCM 3 selector
// from the old-protocol format's board variant.
TEST(NovAtelBoard, FormatOptions) {
    for (uint32_t variant : {0u, 1u, 2u, 3u}) {
        Em_MainBd_NovAt_OEM board;
        SetNovAtelBoardOptions(board, variant);
        EXPECT_EQ(board.RepParser()->gpsHold, 1u);
        EXPECT_EQ(board.RepParser()->gloHold, 1u);
        EXPECT_EQ(board.RepParser()->bdsHold, 1u);
        EXPECT_EQ(static_cast<Em_CmdPaker_NovAt*>(board.CmdPaker())->rtcm3Selector, variant == 1 ? 1u : 2u);
    }
}
