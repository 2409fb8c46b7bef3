// The Trimble BD board and its report parser: DCOL packet recognition, GSOF
// page joining and the records 1, 2, 3, 6, 9, 12 and 34, the options reply,
// and the family's satellites-in-view decoder. Records are written out in
// hex (big-endian numbers) with a comment per field.
#include "protocol/boards/Em_MainBd_Trim_BD.h"

#include "FrameFixtures.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/RingBuffer.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace Fjarnis2011::FJParse;
using frame_fixtures::Bytes;
using frame_fixtures::Cat;
using frame_fixtures::Text;

namespace {

// A DCOL packet around `payload`: STX, status 0, type, length, payload, the
// sum of status to payload modulo 256, ETX.
// (Sized once and filled in place: g++ 12 at -O2 takes the growth of a
// vector begun from a short brace list for an overrun.)
Bytes DcolPacket(uint8_t type, const Bytes& payload) {
    Bytes p(4 + payload.size() + 2);
    p[0] = 0x02;
    p[1] = 0x00;
    p[2] = type;
    p[3] = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), p.begin() + 4);
    const size_t end = 4 + payload.size();
    uint8_t sum = 0;
    for (size_t i = 1; i < end; ++i) sum = uint8_t(sum + p[i]);
    p[end] = sum;
    p[end + 1] = 0x03;
    return p;
}

// A GSOF page: transmission number, page index, last page index, records.
Bytes Page(uint8_t page, uint8_t last, const Bytes& records) {
    return DcolPacket(0x40, Cat(Bytes{0x07, page, last}, records));
}

Bytes BE(double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    Bytes b;
    for (int i = 7; i >= 0; --i) b.push_back(uint8_t(u >> (8 * i)));
    return b;
}
Bytes BE(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
}
Bytes Rec(uint8_t type, const Bytes& body) { return Cat(Bytes{type, uint8_t(body.size())}, body); }
Bytes Triple(uint8_t type, double a, double b, double c) { return Rec(type, Cat(Cat(BE(a), BE(b)), BE(c))); }

// Record 1: GPS ms of week 0x0A3E2A80 (171 846 272 ms), week 0x0834 (2100),
// 12 satellites, flags 1 0x00, flags 2 `flags2`, initialisation count 1.
Bytes PositionTime(uint8_t flags2) {
    return Rec(1, {0x0A, 0x3E, 0x2A, 0x80,  // ms of week
                   0x08, 0x34,              // week
                   0x0C,                    // satellites used
                   0x00, flags2,            // flags 1, flags 2
                   0x01});                  // initialisation count
}

// Record 12: position RMS 0.5, sigma east 3, north 4, covariance 0, up 9,
// semi-major 0, semi-minor 0, orientation 0, unit variance 1, epochs 10.
Bytes Sigma() {
    Bytes b;
    for (float f : {0.5f, 3.0f, 4.0f, 0.0f, 9.0f, 0.0f, 0.0f, 0.0f, 1.0f}) b = Cat(b, BE(f));
    return Rec(12, Cat(b, Bytes{0x00, 0x0A}));
}

Bytes Dops() { return Rec(9, Cat(Cat(BE(1.5f), BE(0.8f)), Cat(BE(1.2f), BE(2.0f)))); }

constexpr double kLat = 0.5441037837884196;
constexpr double kLon = 2.1187988500159314;

struct Board {
    Em_MainBd_Trim_BD board;
    Em_RepParser_BD& parser = *static_cast<Em_RepParser_BD*>(board.RepParser());
    unsigned Feed(const Bytes& f) {
        board.AppendReceived(f.data(), unsigned(f.size()));
        return board.Parse_NextFrame();
    }
    int Buffered() const { return board.RecvBuffer()->fill; }
};

// One GSOF 34 entry: PRN, system, flags 1, flags 2, elevation, azimuth (2),
// L1, L2, L5 signal.
Bytes Sat(uint8_t prn, uint8_t system, uint8_t flags1 = 0x40) {
    return {prn, system, flags1, 0x00, 35, 0x01, 0x0E, 180, 161, 0};
}

}  // namespace

TEST(TrimbleBdBoard, MadeWithItsFamily) {
    Em_MainBd_Trim_BD board;
    EXPECT_EQ(board.Type(), MAINBD_TRIMBLE_BD);
    auto* builder = dynamic_cast<Em_CmdPaker_BD*>(board.CmdPaker());
    ASSERT_NE(builder, nullptr);
    EXPECT_EQ(builder->bdVariant, 0u);
    auto* parser = dynamic_cast<Em_RepParser_BD*>(board.RepParser());
    ASSERT_NE(parser, nullptr);
    EXPECT_EQ(parser->ecefFromLlh, 1u);
}

TEST(TrimbleBdBoard, RecognisesItsFramesAndDropsTheRest) {
    const Bytes options = DcolPacket(0x4B, {0x0F});
    Bytes badSum = options;
    badSum[5] ^= 0x01;
    Bytes badEtx = options;
    badEtx.back() = 0x04;
    const struct {
        const char* name;
        Bytes frame;
        unsigned result;
        uint32_t bits;
    } rows[] = {
        {"options reply", options, 1, ChangeBits::ElevMask},
        {"accepted packet 0x55", DcolPacket(0x55, {0x01, 0x02}), 1, 0},
        {"unknown packet 0x41", DcolPacket(0x41, {0x01}), 0, 0},
        {"options reply without its byte", DcolPacket(0x4B, {}), 0, 0},
        {"GSOF page without its page header", DcolPacket(0x40, {0x07, 0x00}), 0, 0},
        {"checksum wrong", badSum, 0, 0},
        {"ETX wrong", badEtx, 0, 0},
        {"gpgga", frame_fixtures::kGga, 1, ChangeBits::GgaText},
        {"gngga is not this board's", frame_fixtures::kGnGga, 0, 0},
        {"rtcm 1005", frame_fixtures::kRtcm1005, 1, ChangeBits::Correction},
        {"cmr", frame_fixtures::kCmr, 1, ChangeBits::Correction},
        {"garbage", Text("XYZ123"), 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Board b;
        b.parser.ChangedMask = ChangeBits::Position;  // left by the frame before
        b.parser.elevMask = 7;
        EXPECT_EQ(b.Feed(row.frame), row.result);
        EXPECT_EQ(b.Buffered(), 0);
        // A dropped frame never leaves the old mask to be announced again.
        EXPECT_EQ(b.parser.ChangedMask, row.bits);
        EXPECT_EQ(b.parser.elevMask, row.bits == ChangeBits::ElevMask ? 15u : 7u);
    }
}

TEST(TrimbleBdBoard, WaitsForWholePacketsAndDropsWhatFollows) {
    const Bytes options = DcolPacket(0x4B, {0x0C});
    Board b;
    EXPECT_EQ(b.Feed(Bytes(options.begin(), options.begin() + 3)), 0u);
    EXPECT_EQ(b.Feed(Bytes(options.begin() + 3, options.begin() + 5)), 0u);
    EXPECT_EQ(b.Buffered(), 5);
    // The rest of the packet and the start of the next one: the packet is
    // decoded and the next one's bytes go with the buffer.
    EXPECT_EQ(b.Feed(Cat(Bytes(options.begin() + 5, options.end()), Bytes{0x02, 0x00, 0x4B})), 1u);
    EXPECT_EQ(b.board.Get_ElevMask(), 12u);
    EXPECT_EQ(b.Buffered(), 0);

    // A CMR frame waits for its length byte and its last byte.
    const Bytes& cmr = frame_fixtures::kCmr;
    EXPECT_EQ(b.Feed(Bytes(cmr.begin(), cmr.begin() + 3)), 0u);
    EXPECT_EQ(b.Feed(Bytes(cmr.begin() + 3, cmr.end() - 1)), 0u);
    EXPECT_EQ(b.Feed(Bytes(cmr.end() - 1, cmr.end())), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Correction);
}

TEST(TrimbleBdGsof, SinglePageSolution) {
    Board b;
    b.parser.timeZone = 8;
    const Bytes records = Cat(Cat(PositionTime(0x05), Triple(2, kLat, kLon, 37.5)), Cat(Dops(), Sigma()));
    ASSERT_EQ(b.Feed(Page(0, 0, records)), 1u);
    const uint32_t bits = ChangeBits::Time | ChangeBits::Status | ChangeBits::Position | ChangeBits::Dops |
                          ChangeBits::Precision | ChangeBits::FullSolution;
    EXPECT_EQ(b.parser.ChangedMask, bits);
    EXPECT_EQ(b.parser.solution.gpsWeek, 2100u);
    EXPECT_EQ(b.parser.solution.gpsSeconds, 171846u);
    EXPECT_EQ(b.parser.satsListedUsed, 12u);
    // Week 2100, 171 846 s: Monday 2020-04-06 23:44:06 GPS time; +8 h carries the date.
    EXPECT_EQ(b.parser.time.year, 2020);
    EXPECT_EQ(b.parser.time.month, 4);
    EXPECT_EQ(b.parser.time.day, 7);
    EXPECT_EQ(b.parser.time.hour, 7);
    EXPECT_EQ(b.parser.time.minute, 44);
    EXPECT_DOUBLE_EQ(b.parser.time.second, 6.0);
    EXPECT_EQ(b.parser.position.status, 0);  // flags 2 of 5
    EXPECT_DOUBLE_EQ(b.parser.position.latitude, kLat);
    EXPECT_DOUBLE_EQ(b.parser.position.longitude, kLon);
    EXPECT_DOUBLE_EQ(b.parser.position.height, 37.5);
    EXPECT_DOUBLE_EQ(b.parser.dops.pdop, 1.5);
    EXPECT_DOUBLE_EQ(b.parser.dops.hdop, double(0.8f));
    EXPECT_DOUBLE_EQ(b.parser.dops.vdop, double(1.2f));
    EXPECT_DOUBLE_EQ(b.parser.dops.tdop, 2.0);
    EXPECT_DOUBLE_EQ(b.parser.dops.gdop, 2.5);
    // Not scaled: sqrt(3^2 + 4^2) = 5, up 9, 0.68 x hypot(5, 9).
    EXPECT_DOUBLE_EQ(b.parser.errors.horizontalError, 5.0);
    EXPECT_DOUBLE_EQ(b.parser.errors.heightError, 9.0);
    EXPECT_DOUBLE_EQ(b.parser.errors.rms, double(float(0.68 * std::hypot(5.0, 9.0))));

    // Records 1 and 2 without a sigma record: no full-solution bit.
    ASSERT_EQ(b.Feed(Page(0, 0, Cat(PositionTime(0x05), Triple(2, kLat, kLon, 37.5)))), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Time | ChangeBits::Status | ChangeBits::Position);
}

TEST(TrimbleBdGsof, StatusFromFlagsAndSigmaScaling) {
    const struct {
        uint8_t flags2;
        int32_t status;
    } rows[] = {{0x00, 4}, {0x06, 4}, {0x01, 6}, {0x03, 6}, {0x05, 0}, {0x07, 11}, {0x0F, 8}, {0x0B, 0}, {0xF7, 11}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.flags2));
        Board b;
        ASSERT_EQ(b.Feed(Page(0, 0, Cat(PositionTime(row.flags2), Sigma()))), 1u);
        EXPECT_EQ(b.parser.position.status, row.status);
        if (row.status == 11) {
            // RTK fixed: east and north x 0.2, up x 0.22222222.
            const float up = 9.0f * 0.22222222f;
            EXPECT_DOUBLE_EQ(b.parser.errors.horizontalError, double(float(std::hypot(0.6, 0.8))));
            EXPECT_DOUBLE_EQ(b.parser.errors.heightError, double(up));
        } else {
            EXPECT_DOUBLE_EQ(b.parser.errors.horizontalError, 5.0);
        }
    }
}

TEST(TrimbleBdGsof, PagesJoinedAndALostPageDropsTheMessage) {
    // The records of one message cut across three pages, a record split
    // between pages 0 and 1.
    const Bytes records = Cat(Cat(PositionTime(0x01), Triple(2, kLat, kLon, 37.5)), Sigma());
    const Bytes p0(records.begin(), records.begin() + 20);
    const Bytes p1(records.begin() + 20, records.begin() + 50);
    const Bytes p2(records.begin() + 50, records.end());
    {
        SCOPED_TRACE("all three pages");
        Board b;
        EXPECT_EQ(b.Feed(Page(0, 2, p0)), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        EXPECT_EQ(b.Feed(Page(1, 2, p1)), 1u);
        EXPECT_EQ(b.parser.joinPages, 2u);
        EXPECT_EQ(b.Feed(Page(2, 2, p2)), 1u);
        EXPECT_EQ(b.parser.ChangedMask & ChangeBits::FullSolution, ChangeBits::FullSolution);
        EXPECT_DOUBLE_EQ(b.parser.position.height, 37.5);
        EXPECT_EQ(b.parser.joinLength, 0u);
    }
    {
        SCOPED_TRACE("page 1 lost");
        Board b;
        EXPECT_EQ(b.Feed(Page(0, 2, p0)), 1u);
        EXPECT_EQ(b.Feed(Page(2, 2, p2)), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        EXPECT_EQ(b.parser.position.height, 0.0);
        EXPECT_EQ(b.parser.joinLength, 0u);
        EXPECT_EQ(b.parser.joinPages, 0u);
        // The next message decodes as if nothing had happened.
        EXPECT_EQ(b.Feed(Page(0, 0, records)), 1u);
        EXPECT_DOUBLE_EQ(b.parser.position.height, 37.5);
    }
    {
        SCOPED_TRACE("more than 1000 record bytes: earlier pages lost, message dropped");
        Board b;
        const Bytes filler = Rec(0x50, Bytes(200, 0xEE));  // 202 bytes of a record no one reads
        for (uint8_t page = 0; page < 5; ++page) EXPECT_EQ(b.Feed(Page(page, 5, filler)), 1u);
        // The fifth page would pass 1000 bytes: the four before it are gone.
        EXPECT_EQ(b.parser.joinLength, 202u);
        EXPECT_EQ(b.parser.joinPages, 1u);
        EXPECT_EQ(b.Feed(Page(5, 5, records)), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        EXPECT_EQ(b.parser.joinLength, 0u);
    }
}

TEST(TrimbleBdGsof, RecordWalkStopsAtTheEndAndSkipsWrongLengths) {
    Board b;
    b.parser.position.height = 1.0;
    // A latitude/longitude/height record of 23 bytes is skipped; the DOP record
    // after it is read; a last record claiming 40 bytes of which 3 are there
    // ends the walk.
    const Bytes records = Cat(Cat(Rec(2, Bytes(23, 0x41)), Dops()), Bytes{0x0C, 40, 0x01, 0x02, 0x03});
    ASSERT_EQ(b.Feed(Page(0, 0, records)), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Dops);
    EXPECT_EQ(b.parser.position.height, 1.0);
    // A record header cut after its type byte.
    ASSERT_EQ(b.Feed(Page(0, 0, Cat(Dops(), Bytes{0x01}))), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Dops);
}

TEST(TrimbleBdGsof, BasePositionFromTheSameMessage) {
    const double x = -2148744.0, y = 4426641.0, z = 4044655.0;
    const Bytes delta = Triple(6, 10.0, -20.0, 30.0);
    {
        SCOPED_TRACE("records 3 and 6");
        Board b;
        ASSERT_EQ(b.Feed(Page(0, 0, Cat(Triple(3, x, y, z), delta))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::BasePosition);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.x, x - 10.0);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.y, y + 20.0);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.z, z - 30.0);
        EXPECT_EQ(b.parser.ecefFromLlh, 1u);
        // Record 6 alone: the delta from a zero position, not the last message's.
        ASSERT_EQ(b.Feed(Page(0, 0, delta)), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::BasePosition);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.x, -10.0);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.y, 20.0);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.z, -30.0);
    }
    {
        SCOPED_TRACE("records 2 and 6: the ECEF position from latitude, longitude and height");
        Board b;
        ASSERT_EQ(b.Feed(Page(0, 0, Cat(Triple(2, kLat, kLon, 37.5), delta))), 1u);
        double ecef[3];
        Geodetic_ToEcef(ecef, kLon, kLat, 37.5);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Position | ChangeBits::BasePosition);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.x, ecef[0] - 10.0);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.z, ecef[2] - 30.0);
    }
    {
        SCOPED_TRACE("record 3 without a delta: no base position, and record 2 no longer computes");
        Board b;
        ASSERT_EQ(b.Feed(Page(0, 0, Triple(3, x, y, z))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        EXPECT_EQ(b.parser.ecefFromLlh, 0u);
        ASSERT_EQ(b.Feed(Page(0, 0, Cat(Triple(2, kLat, kLon, 37.5), delta))), 1u);
        EXPECT_DOUBLE_EQ(b.parser.baseInfo.x, -10.0);
    }
}

TEST(TrimbleBdGsof, AllSatellitesRecord) {
    const auto record = [](uint8_t count, const std::vector<Bytes>& sats) {
        Bytes body = {count};
        for (const Bytes& s : sats) body = Cat(body, s);
        return Rec(34, body);
    };
    {
        SCOPED_TRACE("3 GPS, 1 GLONASS PRN 1, 1 SBAS, 1 of another system");
        Board b;
        b.parser.satDetail = 1;
        b.parser.satLists[SATLIST_GLONASS].count = 9;
        const Bytes r =
            record(6, {Sat(5, 0), Sat(12, 0, 0x00), Sat(30, 0), Sat(1, 2), Sat(3, 3), Sat(20, 1)});
        ASSERT_EQ(b.Feed(Page(0, 0, r)), 1u);
        EXPECT_EQ(b.parser.ChangedMask,
                  ChangeBits::GpsList | ChangeBits::GlonassList | ChangeBits::SbasList | ChangeBits::SatCount);
        ASSERT_EQ(b.parser.satLists[SATLIST_GPS].count, 3u);
        const SATLLITE_STR& s = b.parser.satLists[SATLIST_GPS].sats[0];
        EXPECT_EQ(+s.number, 5);
        EXPECT_EQ(+s.elevation, 35);
        EXPECT_EQ(+s.azimuth, 270);  // 0x010E
        EXPECT_EQ(+s.snr[0], 45.0f);  // 180 / 4
        EXPECT_EQ(+s.snr[1], 40.0f);  // 161 / 4, whole
        EXPECT_EQ(+s.snr[2], 0.0f);
        EXPECT_EQ(+s.used, 1u);
        EXPECT_EQ(+b.parser.satLists[SATLIST_GPS].sats[1].used, 0u);
        ASSERT_EQ(b.parser.satLists[SATLIST_GLONASS].count, 1u);
        EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].number, 38);
        EXPECT_EQ(b.parser.satLists[SATLIST_FOURTH].count, 1u);
        EXPECT_EQ(b.parser.satsListed, 5u);
    }
    {
        SCOPED_TRACE("GPS only: the GLONASS count stays");
        Board b;
        b.parser.satDetail = 1;
        b.parser.satLists[SATLIST_GLONASS].count = 9;
        ASSERT_EQ(b.Feed(Page(0, 0, record(3, {Sat(5, 0), Sat(6, 0), Sat(7, 0)}))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList | ChangeBits::SatCount);
        EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 3u);
        EXPECT_EQ(b.parser.satLists[SATLIST_GLONASS].count, 9u);
        EXPECT_EQ(b.parser.satsListed, 3u);
    }
    {
        SCOPED_TRACE("a count above the entries present takes only those");
        Board b;
        b.parser.satDetail = 1;
        ASSERT_EQ(b.Feed(Page(0, 0, record(200, {Sat(5, 0), Sat(6, 0)}))), 1u);
        EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 2u);
    }
    {
        SCOPED_TRACE("satellite detail off: not decoded");
        Board b;
        b.parser.satDetail = 0;
        ASSERT_EQ(b.Feed(Page(0, 0, record(1, {Sat(5, 0)}))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 0u);
    }
}

TEST(TrimbleBdNmea, SatellitesInViewOfEveryConstellation) {
    Board b;
    b.parser.parseNmea = 1;
    ASSERT_EQ(b.Feed(Text("$GPGSV,2,1,06,05,45,120,44,12,30,200,40,20,10,300,35,33,20,100,30*7F\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 4u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GPS].sats[3].number, 120);  // 33 + 87
    ASSERT_EQ(b.Feed(Text("$GLGSV,2,2,06,65,50,90,41,70,10,45,32*5A\r\n")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList | ChangeBits::GlonassList);
    ASSERT_EQ(b.parser.satLists[SATLIST_GLONASS].count, 2u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].number, 38);  // 65 - 27
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].elevation, 50);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].azimuth, 90);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GLONASS].sats[0].snr[0], 41.0f);

    // A new cycle empties the lists; with NMEA parsing off nothing is decoded.
    b.parser.parseNmea = 0;
    ASSERT_EQ(b.Feed(Text("$GPGSV,1,1,01,07,10,20,30*4B\r\n")), 1u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 4u);
    b.parser.parseNmea = 1;
    ASSERT_EQ(b.Feed(Text("$GPGSV,1,1,01,07,10,20,30*4B\r\n")), 1u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 1u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GLONASS].count, 0u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList);

    // A cycle of nine messages of four satellites: the list keeps 32.
    for (int m = 1; m <= 9; ++m) {
        std::string s = "$GPGSV,9," + std::to_string(m) + ",36";
        for (int k = 0; k < 4; ++k) s += "," + std::to_string(k + 1) + ",10,20,30";
        ASSERT_EQ(b.Feed(Text(s + "\r\n")), 1u);
    }
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 32u);

    // Too few commas: ignored.
    ASSERT_EQ(b.Feed(Text("$GPGSV,1,1,00*79\r\n")), 1u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 32u);
}

// Both formats make this board and give it its options.
TEST(TrimbleBdFormats, BoardOptions) {
    RingBuffer ring;
    Em_Format_Common common(ring);
    ASSERT_TRUE(common.Reset_GnsMd(MAINBD_TRIMBLE_BD));
    ASSERT_NE(dynamic_cast<Em_MainBd_Trim_BD*>(common.MainBoard()), nullptr);
    EXPECT_EQ(common.MainBoard()->RepParser()->satDetail, 1u);
    EXPECT_EQ(common.MainBoard()->CmdPaker()->outputPortIndex, 0u);

    const struct {
        uint32_t variant;
        uint32_t bdVariant;
    } rows[] = {{0, 0}, {1, 1}, {2, 0}, {3, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.variant);
        RingBuffer r;
        Em_Format_OrvelNav old(r);
        old.boardVariant = row.variant;
        ASSERT_TRUE(old.Reset_GnsMd(MAINBD_TRIMBLE_BD));
        auto* board = dynamic_cast<Em_MainBd_Trim_BD*>(old.MainBoard());
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(board->RepParser()->satDetail, 0u);
        EXPECT_EQ(board->CmdPaker()->outputPortIndex, 1u);
        EXPECT_EQ(static_cast<Em_CmdPaker_BD*>(board->CmdPaker())->bdVariant, row.bdVariant);
    }
}
