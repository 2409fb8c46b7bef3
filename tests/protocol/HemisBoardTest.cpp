// The Hemisphere board family: the "$J" lines of every builder slot, the
// recognition of $BIN messages, sentences and "$>J" replies, the decoding of
// blocks 1, 2 and 99, and the real Crescent capture through the common format
// (cres_head64k.bin).
#include "protocol/boards/Em_MainBd_Hemis.h"

#include "FrameFixtures.h"
#include "TestData.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Gnss.h"
#include "protocol/RingBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;
using frame_fixtures::Bytes;
using frame_fixtures::Text;

namespace {

struct Line {
    std::string text;
    uint32_t delay;
    bool operator==(const Line&) const = default;
};
using Lines = std::vector<Line>;

void PrintTo(const Line& l, std::ostream* os) { *os << '"' << l.text << "\" +" << l.delay; }

Lines LinesOf(const CmdList& out) {
    Lines lines;
    for (const _STR_CMD& c : out) {
        for (size_t i = c.length; i < sizeof c.data; ++i) EXPECT_EQ(c.data[i], 0) << i;
        lines.push_back({std::string(reinterpret_cast<const char*>(c.data), c.length), c.delay});
    }
    return lines;
}

Lines L(std::initializer_list<const char*> texts) {
    Lines lines;
    for (const char* t : texts) lines.push_back({t, 50});
    return lines;
}

// A $BIN message: "$BIN", block id, data length, data, 16-bit sum of the data,
// CR LF (all little-endian).
// (Sized once and filled in place: g++ 12 at -O2 takes the growth of a
// vector begun from a short brace list for an overrun.)
Bytes Bin(uint16_t id, const Bytes& data) {
    const Bytes head = {'$', 'B', 'I', 'N', uint8_t(id), uint8_t(id >> 8), uint8_t(data.size()), uint8_t(data.size() >> 8)};
    Bytes f(head.size() + data.size() + 4);
    auto at = std::copy(head.begin(), head.end(), f.begin());
    at = std::copy(data.begin(), data.end(), at);
    uint16_t sum = 0;
    for (uint8_t b : data) sum = uint16_t(sum + b);
    at[0] = uint8_t(sum);
    at[1] = uint8_t(sum >> 8);
    at[2] = '\r';
    at[3] = '\n';
    return f;
}

void PutLE(Bytes& d, size_t at, const void* v, size_t n) { std::memcpy(d.data() + at, v, n); }

// Block 1 data (52 bytes as the board sends them): byte 1 satellites used,
// 12-19 latitude and 20-27 longitude (double, degrees), 28-31 height (float).
Bytes Block1(uint8_t sats, double lat, double lon, float height, size_t size = 52) {
    Bytes d(size, 0);
    d[1] = sats;
    if (size >= 32) {
        PutLE(d, 12, &lat, 8);
        PutLE(d, 20, &lon, 8);
        PutLE(d, 28, &height, 4);
    }
    return d;
}

struct Channel {
    uint8_t sat;
    uint8_t status;
    uint8_t elevation;
    uint8_t halfAzimuth;
};

// Block 99 data (304 bytes): 12 channel records of 24 bytes from offset 12.
Bytes Block99(const std::vector<Channel>& channels) {
    Bytes d(304, 0);
    for (size_t c = 0; c < channels.size() && c < 12; ++c) {
        uint8_t* r = d.data() + 12 + 24 * c;
        r[1] = channels[c].sat;
        r[2] = channels[c].status;
        r[8] = channels[c].elevation;
        r[9] = channels[c].halfAzimuth;
    }
    return d;
}

struct Board {
    Em_MainBd_Hemis board;
    Em_RepParser_Hemis& parser = *static_cast<Em_RepParser_Hemis*>(board.RepParser());
    unsigned Feed(const Bytes& f) {
        board.AppendReceived(f.data(), unsigned(f.size()));
        return board.Parse_NextFrame();
    }
    int Buffered() const { return board.RecvBuffer()->fill; }
};

}  // namespace

// ---- Command builder ----

TEST(HemisCmdPaker, EverySlot) {
    Em_CmdPaker_Hemis p;
    const struct {
        const char* name;
        void (*build)(Em_CmdPaker_Hemis&, CmdList&);
        Lines lines;
    } rows[] = {
        {"inite", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_Inite(o, 0); },
         L({"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JASC,GPGSA,1\r\n", "$JASC,GPRMC,1\r\n", "$JASC,GPGST,1\r\n",
            "$JBIN,96,1\r\n", "$JBIN,99,1\r\n", "$JSHOW\r\n"})},
        {"posfrq 10 Hz", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_PosFrq(o, GNSS_FRQ_10HZ); },
         L({"$JASC,GPGGA,10\r\n"})},
        {"posfrq 5 Hz", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_PosFrq(o, GNSS_FRQ_5HZ); },
         L({"$JASC,GPGGA,5\r\n"})},
        {"posfrq 2 Hz", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_PosFrq(o, GNSS_FRQ_2HZ); },
         L({"$JASC,GPGGA,2\r\n"})},
        {"posfrq 20 Hz is 1", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_PosFrq(o, GNSS_FRQ_20HZ); },
         L({"$JASC,GPGGA,1\r\n"})},
        {"obs, ephemeris, one satellite: nothing",
         [](Em_CmdPaker_Hemis& b, CmdList& o) {
             b.Cmd_Obs(o, GNSS_FRQ_1HZ);
             b.Cmd_Ephemeris(o, GNSS_FRQ_1HZ);
             b.Cmd_EphemSat(o, 5);
         },
         {}},
        {"elevation mask 15", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_ElevMask_Set(o, 15, 0); },
         L({"$JMASK,15\r\n"})},
        {"elevation mask -5", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_ElevMask_Set(o, -5, 0); },
         L({"$JMASK,-5\r\n"})},
        {"satellite use: nothing", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_SatUse(o, 3, true, 0); }, {}},
        {"nmea GGA+GNS at 5 Hz", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_Nmea(o, 0x10001, GNSS_FRQ_5HZ, 9); },
         L({"$JASC,GPGGA,5\r\n", "$JASC,GPGNS,5\r\n"})},
        {"nmea every sentence, table order, unknown bits ignored",
         [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_Nmea(o, 0xFFFFFFFF, GNSS_FRQ_1HZ, 0); },
         L({"$JASC,GPGGA,1\r\n", "$JASC,GPGLL,1\r\n", "$JASC,GPGRS,1\r\n", "$JASC,GPGSA,1\r\n",
            "$JASC,GPGST,1\r\n", "$JASC,GPGSV,1\r\n", "$JASC,GPRMC,1\r\n", "$JASC,GPVTG,1\r\n",
            "$JASC,GPZDA,1\r\n", "$JASC,GPGNS,1\r\n", "$JASC,GPRRE,1\r\n"})},
        {"nmea list", [](Em_CmdPaker_Hemis& b, CmdList& o) {
             b.Cmd_Nmea_Ex(o, {{0x0003, GNSS_FRQ_10HZ}, {0x4000, GNSS_FRQ_1HZ}, {0x20000, GNSS_FRQ_2HZ}});
         },
         L({"$JASC,GPGGA,10\r\n", "$JASC,GPGLL,10\r\n", "$JASC,GPRRE,2\r\n"})},
        {"query", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_ElevMask(o); }, L({"$JSHOW\r\n"})},
        {"stop output", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_UnlogData(o); }, L({"$JOFF\r\n"})},
        {"start base: nothing", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_StartBase(o); }, {}},
        {"reset", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_Reset(o); }, L({"$JRESET\r\n"})},
        {"pass-through: nothing", [](Em_CmdPaker_Hemis& b, CmdList& o) { b.Cmd_PassCom(o, 1); }, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CmdList out;
        row.build(p, out);
        EXPECT_EQ(LinesOf(out), row.lines);
    }
}

TEST(HemisCmdPaker, StartRoverByDifferentialSource) {
    const struct {
        uint32_t source;
        Lines lines;
    } rows[] = {
        {0, L({"$JDIFF,NONE\r\n", "$JDIFF,RTK\r\n"})},
        {1, L({"$JDIFF,NONE\r\n", "$JDIFF,WASS\r\n"})},
        {2, L({"$JDIFF,NONE\r\n", "$JDIFF,BEACON\r\n"})},
        {7, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.source);
        Em_CmdPaker_Hemis p;
        p.roverConfig.diffSource = row.source;
        CmdList out;
        p.Cmd_StartRover(out);
        EXPECT_EQ(LinesOf(out), row.lines);
    }
}

// A 60-element list: each element's bits in table order, each record its own.
TEST(HemisCmdPaker, LongNmeaListEveryElementSent) {
    std::vector<_set_nmea> list(60, _set_nmea{NMEA_BIT_GPGGA, GNSS_FRQ_5HZ});
    Em_CmdPaker_Hemis p;
    CmdList out;
    p.Cmd_Nmea_Ex(out, list);
    ASSERT_EQ(out.size(), 60u);
    EXPECT_EQ(LinesOf(out).back(), (Line{"$JASC,GPGGA,5\r\n", 50}));
}

// ---- Board: recognition ----

TEST(HemisBoard, MadeWithItsFamily) {
    Em_MainBd_Hemis board;
    EXPECT_EQ(board.Type(), MAINBD_HEMISPHERE);
    EXPECT_NE(dynamic_cast<Em_CmdPaker_Hemis*>(board.CmdPaker()), nullptr);
    EXPECT_NE(dynamic_cast<Em_RepParser_Hemis*>(board.RepParser()), nullptr);
}

TEST(HemisBoard, BinMessagesWholePartialOversizeCorruptShort) {
    const Bytes whole = Bin(1, Block1(9, 51.0, -114.0, 1100.5f));
    {
        SCOPED_TRACE("cut in three: waits for the header, then for the data");
        Board b;
        EXPECT_EQ(b.Feed(Bytes(whole.begin(), whole.begin() + 5)), 0u);
        EXPECT_EQ(b.Buffered(), 5);
        EXPECT_EQ(b.Feed(Bytes(whole.begin() + 5, whole.begin() + 40)), 0u);
        EXPECT_EQ(b.Buffered(), 40);
        EXPECT_EQ(b.Feed(Bytes(whole.begin() + 40, whole.end())), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Position);
        EXPECT_EQ(b.Buffered(), 0);
    }
    {
        SCOPED_TRACE("announces 2037 data bytes: could never fit, dropped at once");
        Board b;
        const Bytes head = {'$', 'B', 'I', 'N', 0x01, 0x00, 0xF5, 0x07};  // data length 2037
        EXPECT_EQ(b.Feed(head), 0u);
        EXPECT_EQ(b.Buffered(), 0);
    }
    {
        SCOPED_TRACE("one data byte changed: the sum does not match");
        Board b;
        Bytes bad = whole;
        bad[8 + 13] ^= 0x01;
        b.parser.position.latitude = 0.25;
        EXPECT_EQ(b.Feed(bad), 0u);
        EXPECT_EQ(b.Buffered(), 0);
        EXPECT_EQ(b.parser.position.latitude, 0.25);
    }
    {
        SCOPED_TRACE("blocks too short for what they are read for are not decoded");
        for (const Bytes& f : {Bin(1, Bytes(31, 0x11)), Bin(2, Bytes(13, 0x11)), Bin(99, Bytes(299, 0x11))}) {
            Board b;
            b.parser.satsUsed = 4;
            b.parser.satLists[SATLIST_GPS].count = 5;
            EXPECT_EQ(b.Feed(f), 0u);
            EXPECT_EQ(b.parser.satsUsed, 4);
            EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 5u);
            EXPECT_EQ(b.parser.channels.count, 0u);
            EXPECT_EQ(b.Buffered(), 0);
        }
    }
    {
        SCOPED_TRACE("another block (96) is taken without decoding");
        Board b;
        b.parser.ChangedMask = ChangeBits::Position;  // left by the frame before
        EXPECT_EQ(b.Feed(Bin(96, Bytes(300, 0x01))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
    }
}

TEST(HemisBoard, SentencesRepliesAndGarbage) {
    Board b;
    b.parser.parseNmea = 1;
    EXPECT_EQ(b.Feed(frame_fixtures::kGga), 1u);
    EXPECT_EQ(b.parser.satsUsed, 8);
    EXPECT_EQ(b.Buffered(), 0);

    // Garbage is dropped with result 1 and announces nothing, not the GGA's bits.
    ASSERT_NE(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.Feed(Text("XYZ123")), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.Buffered(), 0);

    // A "$GN" sentence is not this board's.
    EXPECT_EQ(b.Feed(frame_fixtures::kGnGga), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);

    // Two bytes wait.
    EXPECT_EQ(b.Feed(Text("$B")), 0u);
    EXPECT_EQ(b.Buffered(), 2);
}

TEST(HemisBoard, JshowMaskReplies) {
    const struct {
        const char* name;
        const char* reply;
        unsigned result;
        uint32_t bits;
        uint32_t elevMask;  // starts at 99
    } rows[] = {
        {"mask 10", "$>JSHOW,MASK,10\r\n", 1, ChangeBits::ElevMask, 10},
        {"negative mask is sign-extended", "$>JSHOW,MASK,-5\r\n", 1, ChangeBits::ElevMask, uint32_t(-5)},
        {"low 16 bits of a large value", "$>JSHOW,MASK,65546\r\n", 1, ChangeBits::ElevMask, 10},
        {"mask with nothing after its comma", "$>JSHOW,MASK,\r\n", 1, ChangeBits::ElevMask, 0},
        {"no MASK: consumed, nothing changes", "$>JSHOW,BAUD,19200\r\n", 1, 0, 99},
        {"acknowledgement", "$>JI,1234\r\n", 1, 0, 99},
        {"another reply", "$>JDIFF,OK\r\n", 0, 0, 99},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Board b;
        b.parser.elevMask = 99;
        b.parser.ChangedMask = ChangeBits::Position;
        EXPECT_EQ(b.Feed(Text(row.reply)), row.result);
        if (row.result) {
            EXPECT_EQ(b.parser.ChangedMask, row.bits);
        }
        EXPECT_EQ(b.parser.elevMask, row.elevMask);
        EXPECT_EQ(b.board.Get_ElevMask(), row.elevMask);
        EXPECT_EQ(b.Buffered(), 0);
    }
    // Fewer than seven bytes wait for the rest.
    Board b;
    EXPECT_EQ(b.Feed(Text("$>JSH")), 0u);
    EXPECT_EQ(b.Buffered(), 5);
    EXPECT_EQ(b.Feed(Text("OW,MASK,12\r\n")), 1u);
    EXPECT_EQ(b.parser.lastMask, 12);
    EXPECT_EQ(b.parser.elevMask, 12u);
}

// ---- Parser: blocks ----

TEST(HemisParser, Block1Position) {
    Board b;
    ASSERT_EQ(b.Feed(Bin(1, Block1(11, 51.0788, -114.1346, 1118.25f))), 1u);
    EXPECT_EQ(b.parser.ChangedMask, ChangeBits::Position);
    EXPECT_EQ(b.parser.satsUsed, 11);
    EXPECT_DOUBLE_EQ(b.parser.position.latitude, 51.0788 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(b.parser.position.longitude, -114.1346 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(b.parser.position.height, 1118.25);
}

TEST(HemisParser, Block2MasksAndDilutions) {
    Board b;
    b.parser.satLists[SATLIST_GPS].sats[0].number = 17;
    const Bytes data = {0x0F, 0x00, 0x00, 0x00,  // tracked: 4 satellites
                        0x07, 0x00, 0x01, 0x80,  // used: 5 satellites
                        0x00, 0x00,              // (not read)
                        0x0C, 0x00,              // HDOP x 10 = 12
                        0x17, 0x00};             // VDOP x 10 = 23
    ASSERT_EQ(b.Feed(Bin(2, data)), 1u);
    EXPECT_EQ(b.parser.ChangedMask, 0u);
    EXPECT_EQ(b.parser.satLists[SATLIST_GPS].count, 4u);
    EXPECT_EQ(+b.parser.satLists[SATLIST_GPS].sats[0].number, 17);  // entries untouched
    EXPECT_EQ(b.parser.satsUsed, 5);
    EXPECT_DOUBLE_EQ(b.parser.dops.hdop, 1.2000000000000002);
    EXPECT_DOUBLE_EQ(b.parser.dops.vdop, 2.3000000000000003);
}

TEST(HemisParser, Block99ChannelsAndHeldGpsCycle) {
    // Satellite numbers 0 and 40 are no GPS channel.
    const std::vector<Channel> ch = {{5, 0x40, 45, 60}, {0, 0x40, 10, 10}, {12, 0x00, 30, 100},
                                     {40, 0x40, 20, 20}, {37, 0x40, 5, 179}};
    {
        SCOPED_TRACE("no hold: published at once");
        Board b;
        ASSERT_EQ(b.Feed(Bin(99, Block99(ch))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList);
        ASSERT_EQ(b.parser.channels.count, 3u);
        const SATLLITE_STR& e = b.parser.channels.sats[0];
        EXPECT_EQ(+e.number, 5);
        EXPECT_EQ(+e.elevation, 45);
        EXPECT_EQ(+e.azimuth, 120);
        EXPECT_EQ(+e.used, 1u);
        EXPECT_EQ(+b.parser.channels.sats[1].used, 0u);
        EXPECT_EQ(+b.parser.channels.sats[2].number, 37);
        EXPECT_EQ(+b.parser.channels.sats[2].azimuth, 358);
    }
    {
        SCOPED_TRACE("held: waits for the satellites-in-view cycle, then merges the used flags");
        Board b;
        b.parser.gpsHold = 1;
        b.parser.parseNmea = 1;
        ASSERT_EQ(b.Feed(Bin(99, Block99(ch))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, 0u);
        ASSERT_EQ(b.Feed(Text("$GPGSV,1,1,02,05,45,120,44,12,30,200,40*7A\r\n")), 1u);
        EXPECT_EQ(b.parser.ChangedMask & ChangeBits::GpsList, 0u);
        EXPECT_EQ(b.parser.gpsPending, 8u);
        ASSERT_EQ(b.Feed(Bin(99, Block99(ch))), 1u);
        EXPECT_EQ(b.parser.ChangedMask, ChangeBits::GpsList);
        EXPECT_EQ(b.parser.gpsPending, 0u);
        EXPECT_EQ(+b.parser.satLists[SATLIST_GPS].sats[0].used, 1u);
        EXPECT_EQ(+b.parser.satLists[SATLIST_GPS].sats[1].used, 0u);
    }
    {
        SCOPED_TRACE("twelve valid channels");
        std::vector<Channel> twelve;
        for (uint8_t s = 1; s <= 12; ++s) twelve.push_back({s, 0, 10, 10});
        Board b;
        ASSERT_EQ(b.Feed(Bin(99, Block99(twelve))), 1u);
        EXPECT_EQ(b.parser.channels.count, 12u);
    }
}

// ---- The real capture ----

namespace {

// Counts the $BIN messages the board is handed by the format.
class CountingHemis : public Em_MainBd_Hemis {
public:
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override {
        ++handed;
        return Em_MainBd_Hemis::Parse_BinFrame(data, id, length);
    }
    unsigned handed = 0;
};

// The $BIN messages of the file whose data sum checks, found independently
// of the library: by their head, length, sum and CR LF.
size_t CountSoundBinMessages(const std::vector<uint8_t>& d, std::vector<double>* lats,
                             std::vector<double>* lons) {
    size_t count = 0;
    for (size_t i = 0; i + 8 <= d.size();) {
        if (std::memcmp(d.data() + i, "$BIN", 4) != 0) {
            ++i;
            continue;
        }
        const size_t n = size_t(d[i + 6]) | size_t(d[i + 7]) << 8;
        if (i + n + 12 > d.size()) break;
        unsigned sum = 0;
        for (size_t k = 0; k < n; ++k) sum += d[i + 8 + k];
        const unsigned stated = unsigned(d[i + 8 + n]) | unsigned(d[i + 9 + n]) << 8;
        if ((sum & 0xFFFF) != stated || d[i + 10 + n] != '\r' || d[i + 11 + n] != '\n') {
            ++i;
            continue;
        }
        ++count;
        if ((size_t(d[i + 4]) | size_t(d[i + 5]) << 8) == 1 && n >= 32) {
            double lat, lon;
            std::memcpy(&lat, d.data() + i + 8 + 12, 8);
            std::memcpy(&lon, d.data() + i + 8 + 20, 8);
            lats->push_back(lat);
            lons->push_back(lon);
        }
        i += n + 12;
    }
    return count;
}

}  // namespace

TEST(HemisCapture, CrescentBinStreamThroughTheCommonFormat) {
    const std::vector<uint8_t> capture = LoadCapture("cres_head64k.bin");
    ASSERT_FALSE(capture.empty());
    std::vector<double> lats, lons;
    const size_t expected = CountSoundBinMessages(capture, &lats, &lons);
    ASSERT_GT(expected, 400u);
    ASSERT_FALSE(lats.empty());
    double meanLat = 0, meanLon = 0;
    for (size_t i = 0; i < lats.size(); ++i) {
        meanLat += lats[i] / double(lats.size());
        meanLon += lons[i] / double(lons.size());
    }

    RingBuffer ring;
    CountingHemis* board = nullptr;
    Em_Format_Common format(ring, [&board](MAINBD_OEM_TYPE) {
        auto b = std::make_unique<CountingHemis>();
        board = b.get();
        return std::unique_ptr<EmIMainBoard>(std::move(b));
    });
    ASSERT_TRUE(format.Reset_GnsMd(MAINBD_HEMISPHERE));
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->RepParser()->gpsHold, 1u);

    // In the pieces a serial port would deliver; positions checked as they come.
    constexpr double kMetresPerRadian = 6371000.0;
    size_t positions = 0;
    for (size_t at = 0; at < capture.size(); at += 2048) {
        const size_t n = std::min<size_t>(2048, capture.size() - at);
        ring.Append(capture.data() + at, unsigned(n));
        for (int guard = 0; guard < 100000; ++guard) {
            const bool more = format.ParseNextFrame();
            if (format.changeMask & ChangeBits::Position) {
                ++positions;
                const RepPosition& p = board->RepParser()->position;
                const double north = (p.latitude - meanLat * 0.017453292519943295) * kMetresPerRadian;
                const double east = (p.longitude - meanLon * 0.017453292519943295) * kMetresPerRadian *
                                    std::cos(p.latitude);
                EXPECT_LT(std::hypot(north, east), 5.0);
                EXPECT_GT(p.height, -500.0);
                EXPECT_LT(p.height, 9000.0);
            }
            if (!more) break;
        }
    }
    EXPECT_EQ(board->handed, expected);
    EXPECT_EQ(positions, lats.size());
}
