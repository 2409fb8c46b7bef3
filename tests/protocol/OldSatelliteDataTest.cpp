// Satellite data of the maker's old-protocol receivers ("RH" replies): the
// record cut into 55-byte chunks, its four kinds, and what lands in the
// satellite tables that Get_Gnss_SatInfo reads. The satellite entries are
// packed: their fields are read through copies.
#include "OldCmdFixtures.h"
#include "OldFrameFixtures.h"
#include "protocol/Em_Gnss.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Fjarnis2011::FJParse;
using old_fixtures::Bytes;
using oldcmd_test::Hex;

namespace {

struct Call {
    int cls;
    uint32_t bits;
};

void Collect(int cls, unsigned bits, const void* context) {
    static_cast<std::vector<Call>*>(const_cast<void*>(context))->push_back({cls, bits});
}

// The maker's receiver with its NovAtel board (which holds back its GPS,
// GLONASS and BeiDou tables for the receiver's lists).
struct SatRig {
    SatRig() {
        gnss.Reg_Callbacks(&callbacks, &calls);
    }
    // The record as the receiver sends it: "RH" replies of 55 payload bytes,
    // the last one shorter (an empty one when the record is a multiple of 55).
    void Receive(const Bytes& record) {
        for (size_t at = 0;; at += 55) {
            const size_t n = std::min<size_t>(55, record.size() - at);
            Chunk(Bytes(record.begin() + long(at), record.begin() + long(at + n)));
            if (n < 55) break;
        }
    }
    void Chunk(const Bytes& payload) {
        const Bytes frame = old_fixtures::Dollar("RH", payload);
        gnss.RcvData(frame.data(), unsigned(frame.size()));
        gnss.ParseData();
    }
    std::vector<SATLLITE_STR> Sats(int system) const {
        std::vector<SATLLITE_STR> out(32);
        unsigned n = 99;
        gnss.Get_Gnss_SatInfo(system, &n, out.data());
        out.resize(n);
        return out;
    }
    Em_IRepParser& Parser() { return *gnss.Format()->MainBoard()->RepParser(); }
    Em_Format_OrvelNav& Format() { return *dynamic_cast<Em_Format_OrvelNav*>(gnss.Format()); }

    Em_Gnss gnss{GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM};
    std::vector<Call> calls;
    const _CALLBACKS_RECEIVER callbacks = {&Collect, nullptr};
};

// A kind-1 entry: id, elevation, azimuth (high byte first), two strengths in
// quarter steps, three unused bytes.
Bytes Entry1(uint8_t id, uint8_t elevation, uint16_t azimuth, uint8_t s1, uint8_t s2) {
    return {id, elevation, uint8_t(azimuth >> 8), uint8_t(azimuth), s1, s2, 0, 0, 0};
}
Bytes Entry1Padded(uint8_t id, uint8_t elevation, uint16_t azimuth, uint8_t s1, uint8_t s2) {
    Bytes e = Entry1(id, elevation, azimuth, s1, s2);
    e.resize(8);
    return e;
}

// A kind-1 record: count, kind 1, eight bytes not read, the entries.
Bytes Kind1(const std::vector<Bytes>& entries, uint8_t count) {
    Bytes r = {count, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const Bytes& e : entries) r.insert(r.end(), e.begin(), e.end());
    return r;
}

}  // namespace

// The record of the edge case: one GPS satellite, id 5, strengths 160 and 0.
TEST(OldSatelliteData, OneGpsSatelliteForTheBoard) {
    SatRig rig;
    // 01 (count) 01 (kind) 8 x 00 | 05 (id) 2D (45 degrees) 01 0E (azimuth 270) A0 (160: 40.0) 00 | 3 x 00
    rig.Receive(Hex("01 01 00 00 00 00 00 00 00 00 05 2D 01 0E A0 00 00 00 00"));
    ASSERT_EQ(rig.calls.size(), 1u);
    EXPECT_EQ(rig.calls[0].cls, 1);
    EXPECT_EQ(rig.calls[0].bits, 0x8000000u | 0x40000000u | 0x100u);
    const auto gps = rig.Sats(1);
    ASSERT_EQ(gps.size(), 1u);
    EXPECT_EQ(int64_t(gps[0].number), 5);
    EXPECT_EQ(int64_t(gps[0].elevation), 45);
    EXPECT_EQ(int64_t(gps[0].azimuth), 270);
    EXPECT_FLOAT_EQ(float(gps[0].snr[0]), 40.0f);
    EXPECT_FLOAT_EQ(float(gps[0].snr[1]), 0.0f);
    EXPECT_EQ(int64_t(gps[0].used), 1u);
    int systems = -1;
    rig.gnss.Get_Gnss_SatTypeNum(systems);
    EXPECT_EQ(systems, 1);
}

// A record of 2 x 55 + 20 bytes arrives in three replies and is decoded once,
// after the last; every system lands in its table.
TEST(OldSatelliteData, ChunksAreJoinedAndDecodedOnceComplete) {
    SatRig rig;
    std::vector<Bytes> entries;
    // 15 satellites: GPS 1..6, GLONASS 40..43, SBAS 120 and 129, BeiDou 161..163.
    for (uint8_t id : {1, 2, 3, 4, 5, 6, 40, 41, 42, 43, 120, 129, 161, 162, 163})
        entries.push_back(Entry1Padded(id, uint8_t(id % 90), uint16_t(id * 2), 100, uint8_t(id == 2 ? 0 : 80)));
    Bytes record = Kind1(entries, 15);  // 10 + 15 x 8 = 130 bytes
    ASSERT_EQ(record.size(), 130u);
    rig.Chunk(Bytes(record.begin(), record.begin() + 55));
    rig.Chunk(Bytes(record.begin() + 55, record.begin() + 110));
    EXPECT_TRUE(rig.calls.empty());
    EXPECT_TRUE(rig.Sats(1).empty());
    rig.Chunk(Bytes(record.begin() + 110, record.end()));
    ASSERT_EQ(rig.calls.size(), 1u);
    EXPECT_EQ(rig.calls[0].bits, 0x8000000u | 0x100000u | 0x200000u | 0x400000u | 0x40000000u | 0x100u);
    EXPECT_EQ(rig.Sats(1).size(), 6u);
    EXPECT_EQ(rig.Sats(2).size(), 4u);
    EXPECT_EQ(rig.Sats(3).size(), 3u);
    ASSERT_EQ(rig.Sats(4).size(), 2u);
    EXPECT_EQ(int64_t(rig.Sats(4)[1].number), 129);
    EXPECT_EQ(int64_t(rig.Sats(3)[2].number), 163);
    EXPECT_FLOAT_EQ(float(rig.Sats(3)[2].snr[1]), 20.0f);
    EXPECT_EQ(int64_t(rig.Sats(1)[1].used), 1u);  // one strength is enough
    SAT_USE use{};
    rig.gnss.Get_Gnss_SatUse(0, &use);
    EXPECT_EQ(use.listed, 15u);
    int systems = 0;
    rig.gnss.Get_Gnss_SatTypeNum(systems);
    EXPECT_EQ(systems, 4);
}

// A record whose count promises more entries than it holds gives only the
// entries it holds; a count above 64 is no record; more than 32 satellites of
// one system fill the table and count in the total.
TEST(OldSatelliteData, CountsAreBoundedByTheRecordAndTheTables) {
    {
        SatRig rig;
        rig.Receive(Kind1({Entry1Padded(7, 10, 20, 40, 40)}, 60));  // count 60, one entry
        ASSERT_EQ(rig.Sats(1).size(), 1u);
        EXPECT_EQ(int64_t(rig.Sats(1)[0].number), 7);
    }
    {
        SatRig rig;
        rig.Receive(Kind1({Entry1Padded(7, 10, 20, 40, 40)}, 65));
        EXPECT_TRUE(rig.calls.empty());
        EXPECT_TRUE(rig.Sats(1).empty());
    }
    {
        SatRig rig;
        std::vector<Bytes> entries;
        for (int k = 0; k < 34; ++k) entries.push_back(Entry1Padded(uint8_t(1 + k % 32), 10, 20, 40, 40));
        rig.Receive(Kind1(entries, 34));  // 282 bytes: five full chunks and one of 7
        EXPECT_EQ(rig.Sats(1).size(), 32u);
        SAT_USE use{};
        rig.gnss.Get_Gnss_SatUse(0, &use);
        EXPECT_EQ(use.listed, 34u);
    }
}

// More than 275 bytes collected before the last chunk: the collection is
// dropped with the chunk that finds it so, and the next record starts afresh.
TEST(OldSatelliteData, AnOverlongCollectionIsDropped) {
    SatRig rig;
    const Bytes full(55, 0x01);
    for (int k = 0; k < 6; ++k) rig.Chunk(full);  // 330 bytes collected
    rig.Chunk(full);                              // finds more than 275: all dropped
    EXPECT_EQ(rig.Format().satelliteBuffer.fill, 0u);
    rig.Receive(Hex("01 01 00 00 00 00 00 00 00 00 05 2D 01 0E A0 00 00 00 00"));
    ASSERT_EQ(rig.calls.size(), 1u);
    EXPECT_EQ(rig.Sats(1).size(), 1u);
    // A payload longer than a chunk is not satellite data.
    rig.Chunk(Bytes(56, 0x01));
    EXPECT_EQ(rig.Format().satelliteBuffer.fill, 0u);
}

// Kind 0: pairs of entries per satellite. The format's arrays take the list;
// a held table of the board that waits for it keeps the satellites the list
// has, with the list's signal values; a held table that does not wait is left
// alone; a table that is not held is announced as it stands.
TEST(OldSatelliteData, SatelliteListMergesIntoTheBoardsTables) {
    SatRig rig;
    Em_IRepParser& p = rig.Parser();
    // The board's tables as its own reports left them: GPS 3, 7, 9 (held,
    // waiting); GLONASS 40 (held, not waiting); BeiDou 161 (not held).
    auto put = [](SatList& list, std::initializer_list<int> numbers) {
        list.count = 0;
        for (int n : numbers) {
            list.sats[list.count] = SATLLITE_STR{};
            list.sats[list.count].number = n;
            list.sats[list.count].elevation = 30 + n;
            ++list.count;
        }
    };
    put(p.satLists[SATLIST_GPS], {3, 7, 9});
    put(p.satLists[SATLIST_GLONASS], {40});
    put(p.satLists[SATLIST_BEIDOU], {161});
    p.gpsHold = 1;
    p.gpsPending = 8;
    p.gloHold = 1;
    p.gloPending = 0;
    p.bdsHold = 0;
    rig.Receive(Hex(
        // 0A (ten entries) 00 (kind 0) | entries: id, flags (signal kind in bits 0-4, bit 6), strength
        "0A 00"
        " 09 41 2C"   // GPS 9, first signal (kind 1, bit 6 set), 44
        " 09 08 26"   // GPS 9, second signal (kind 8), 38: GPS 9 counts
        " 03 02 20"   // GPS 3, first signal, 32 ...
        " 05 02 21"   // GPS 5, first signal: GPS 3 had no second, it is overwritten
        " 05 09 1E"   // GPS 5, second signal, 30: GPS 5 counts
        " 28 01 2A"   // GLONASS 40 first
        " 28 08 2B"   // GLONASS 40 second
        " A1 01 30"   // BeiDou 161 first
        " A2 01 31"   // BeiDou 162: not the second of 161, skipped
        " A1 01 32"));  // BeiDou 161 second (by order)
    ASSERT_EQ(rig.calls.size(), 1u);
    // GPS (merged) and BeiDou (not held); GLONASS held without waiting: no bit.
    EXPECT_EQ(rig.calls[0].bits, 0x8000000u | 0x200000u | 0x100u);
    const auto gps = rig.Sats(1);
    ASSERT_EQ(gps.size(), 1u);  // of 3, 7, 9 only 9 is in the list
    EXPECT_EQ(int64_t(gps[0].number), 9);
    EXPECT_EQ(int64_t(gps[0].elevation), 39);  // the board's own value stays
    EXPECT_FLOAT_EQ(float(gps[0].snr[0]), 44.0f);
    EXPECT_FLOAT_EQ(float(gps[0].snr[1]), 38.0f);
    EXPECT_EQ(int64_t(gps[0].used), 0x40000001u);
    EXPECT_EQ(p.gpsPending, 0u);
    EXPECT_EQ(float(rig.Sats(2)[0].snr[0]), 0.0f);  // left alone
    // The receiver's own arrays: GPS 9 and 5, GLONASS 40, BeiDou 161.
    const Em_Format_OrvelNav& f = rig.Format();
    EXPECT_EQ(f.satellites[0].count, 2u);
    EXPECT_EQ(int64_t(f.satellites[0].sats[1].number), 5);
    EXPECT_EQ(f.satellites[1].count, 1u);
    EXPECT_EQ(f.satellites[2].count, 1u);
    EXPECT_FLOAT_EQ(float(f.satellites[2].sats[0].snr[1]), 50.0f);
    int systems = 0;
    rig.gnss.Get_Gnss_SatTypeNum(systems);
    EXPECT_EQ(systems, 2);
}

// A GPS satellite that has only its first signal in the list does not count.
TEST(OldSatelliteData, AFirstSignalAloneDoesNotCount) {
    SatRig rig;
    rig.Receive(Hex("01 00 07 01 2A"));  // one entry: GPS 7, first signal only
    EXPECT_EQ(rig.Format().satellites[0].count, 0u);
}

// Kind 2/1 puts positions into the receiver's arrays and the counts into the
// board's tables; kind 2/0 then gives strengths by id and the arrays replace
// the tables. A GLONASS id of 35 is outside the range these records use.
TEST(OldSatelliteData, PositionsThenStrengths) {
    SatRig rig;
    rig.Receive(Hex(
        // 03 (three entries) 02 01 (positions) | id, elevation, azimuth (low byte first)
        "03 02 01"
        " 0C 3C 2C 01"    // GPS 12, 60 degrees, 300
        " 26 14 5A 00"    // GLONASS 38, 20 degrees, 90
        " 23 14 5A 00"));  // 35: no system here
    EXPECT_TRUE(rig.calls.empty());  // positions alone announce nothing
    rig.Receive(Hex(
        // 03 (three entries) 02 00 (strengths) | id, strength, signal code
        "03 02 00"
        " 0C 2D 10"    // GPS 12, 45 on the first signal (code 16)
        " 0C 21 11"    // GPS 12, 33 on the second
        " 23 30 10"));  // 35: nothing
    ASSERT_EQ(rig.calls.size(), 1u);
    EXPECT_EQ(rig.calls[0].cls, 1);
    EXPECT_EQ(rig.calls[0].bits, 0x8000000u | 0x100000u);
    const auto gps = rig.Sats(1);
    ASSERT_EQ(gps.size(), 1u);
    EXPECT_EQ(int64_t(gps[0].number), 12);
    EXPECT_EQ(int64_t(gps[0].elevation), 60);
    EXPECT_EQ(int64_t(gps[0].azimuth), 300);
    EXPECT_FLOAT_EQ(float(gps[0].snr[0]), 45.0f);
    EXPECT_FLOAT_EQ(float(gps[0].snr[1]), 33.0f);
    const auto glo = rig.Sats(2);
    ASSERT_EQ(glo.size(), 1u);
    EXPECT_EQ(int64_t(glo[0].number), 38);
    EXPECT_EQ(rig.Sats(3).size(), 0u);
}

// Without a main board the replies are consumed and nothing is announced.
TEST(OldSatelliteData, WithoutABoardNothingHappens) {
    SatRig rig;
    rig.gnss.Reset_Mnfctr(GNSS_MNFCTR_ORVEL);  // no board until told
    rig.Receive(Hex("01 01 00 00 00 00 00 00 00 00 05 2D 01 0E A0 00 00 00 00"));
    EXPECT_TRUE(rig.calls.empty());
    unsigned n = 9;
    rig.gnss.Get_Gnss_SatInfo(1, &n, nullptr);
    EXPECT_EQ(n, 0u);
}
