// The receiver object's GNSS board work writes exactly what the protocol
// object builds for the attached receiver, record by record with each
// record's pause: with the library's own boards (the NovAtel board's lines
// relayed by the maker's receiver), on a Bluetooth link, on the new protocol
// and on another maker's receiver. The board's elevation mask and the radio
// protocol are read back from what the receiver reported.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/protocol/NovAtelFixtures.h"

using namespace device_ops;

namespace {

const std::vector<_set_nmea> kSentences = {{0x1, 3}, {0x40, 4}, {0x800, 5}};

struct BoardRow {
    const char* name;
    std::function<void(EmGnss_Receiver&)> member;
    std::function<void(Em_Gnss&, Commands&)> operation;
};

const std::vector<BoardRow>& BoardTable() {
    static const std::vector<BoardRow> rows = {
        {"Send_Gnss_Init", [](auto& r) { r.Send_Gnss_Init(); }, [](auto& g, auto& v) { g.Get_Gnss_Inite(v); }},
        {"Send_Gnss_StartBs", [](auto& r) { r.Send_Gnss_StartBs(); },
         [](auto& g, auto& v) { g.Get_Gnss_StartBase(v); }},
        {"Send_Gnss_StartRv", [](auto& r) { r.Send_Gnss_StartRv(); },
         [](auto& g, auto& v) { g.Get_Gnss_StartRover(v); }},
        {"Set_Gnss_PosFrq", [](auto& r) { r.Set_Gnss_PosFrq(GNSS_FRQ_2HZ); },
         [](auto& g, auto& v) { g.Set_Gnss_PosFrq(v, GNSS_FRQ_2HZ); }},
        {"Send_Gnss_Obs", [](auto& r) { r.Send_Gnss_Obs(GNSS_FRQ_1HZ); },
         [](auto& g, auto& v) { g.Send_Gnss_Obs(v, GNSS_FRQ_1HZ); }},
        {"Send_Gnss_Ephemeris", [](auto& r) { r.Send_Gnss_Ephemeris(GNSS_FRQ_10S); },
         [](auto& g, auto& v) { g.Send_Gnss_Ephemeris(v, GNSS_FRQ_10S); }},
        {"Send_Gnss_EphemSat", [](auto& r) { r.Send_Gnss_EphemSat(9); },
         [](auto& g, auto& v) { g.Send_Gnss_EphemSat(v, 9); }},
        {"Set_Gnss_SatUse", [](auto& r) { r.Set_Gnss_SatUse(14, false, 1); },
         [](auto& g, auto& v) { g.Set_Gnss_SatUse(v, 14, false, 1); }},
        {"Set_Gnss_Nmea", [](auto& r) { r.Set_Gnss_Nmea(0x41, GNSS_FRQ_5HZ, 0); },
         [](auto& g, auto& v) { g.Set_Gnss_Nmea(v, 0x41, GNSS_FRQ_5HZ, 0); }},
        {"Send_Gnss_UnlogData", [](auto& r) { r.Send_Gnss_UnlogData(); },
         [](auto& g, auto& v) { g.Send_Gnss_UnlogData(v); }},
        {"Set_Position_Frq", [](auto& r) { r.Set_Position_Frq(GNSS_FRQ_5HZ); },
         [](auto& g, auto& v) { g.Get_Cmd_Position_Frq(v, GNSS_FRQ_5HZ); }},
        {"Set_Orvel_NMEA", [](auto& r) { r.Set_Orvel_NMEA(kSentences, 1); },
         [](auto& g, auto& v) { g.Set_Orvel_NMEA(v, kSentences, 1); }},
        {"Set_Orvel_NMEA with rates", [](auto& r) { r.Set_Orvel_NMEA(kSentences, 3, true); },
         [](auto& g, auto& v) { g.Set_Orvel_NMEA(v, kSentences, 3, true); }},
        {"Send_Gnss_Reset", [](auto& r) { r.Send_Gnss_Reset(); }, [](auto& g, auto& v) { g.Get_Gnss_Reset(v); }},
        // The maker's elevation-mask command is the new protocol's (the low
        // 8 bits of 300: 44); the old-protocol receivers take none.
        {"Set_Gnss_ElevMask", [](auto& r) { r.Set_Gnss_ElevMask(300); },
         [](auto& g, auto& v) {
             const unsigned char mask = 44;
             g.Get_Cmd_Gnss_ElevMask(v, &mask);
         }},
    };
    return rows;
}

size_t CompareBoardTable(Rig& rig) {
    size_t nonEmpty = 0;
    for (const BoardRow& row : BoardTable()) {
        SCOPED_TRACE(row.name);
        const uint8_t sequence = Rig::Sequence();
        const Written written = rig.Capture([&] { row.member(*rig.rx); });
        const Commands expected = rig.Expect(sequence, row.operation);
        ExpectSame(written, expected);
        nonEmpty += !expected.empty();
    }
    return nonEmpty;
}

}  // namespace

TEST(DeviceOpsBoard, EveryMemberWritesWhatItsProtocolOperationBuilds) {
    OpsCallbacks::Get().Reset();
    const struct {
        Kind kind;
        bool standIns;
        size_t writing;  // rows that write anything
    } cases[] = {
        // Every row but the elevation mask and the NovAtel board's satellite
        // ephemeris (the board has no such command).
        {Kind::OldSerial, false, 13},
        {Kind::OldBluetooth, false, 13},
        // A board without commands: only the receiver's own commands, as
        // the board's type (2) chooses them: base and rover start, position
        // rate, both NMEA selections.
        {Kind::OldSerial, true, 5},
        // The stand-in of the new-protocol receiver (the old format with a
        // board of type 0): the reset with the receiver's own command, the
        // position rate as the new protocol's data rate, the NMEA selection
        // with rates in the receiver's "$$" frames and the elevation mask.
        {Kind::NewProtocol, true, 4},
        // Another maker's NovAtel board: its own lines, straight; nothing of
        // the maker's receiver.
        {Kind::OtherNovAtel, false, 9},
        {Kind::OtherMaker, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << Info(c.kind).name << (c.standIns ? ", stand-in board" : ""));
        Rig rig(c.kind, false, c.standIns);
        ASSERT_TRUE(rig.opened);
        EXPECT_EQ(CompareBoardTable(rig), c.writing);
    }
}

// The NovAtel board's reset as the receiver writes it: each line relayed in
// its "RZ" frame, with the board's 50 ms pause.
TEST(DeviceOpsBoard, TheRelayedResetOnTheWire) {
    Rig rig(Kind::OldSerial, false, false);
    ASSERT_TRUE(rig.opened);
    const Written w = rig.Capture([&] { rig.rx->Send_Gnss_Reset(); });
    ASSERT_EQ(w.writes.size(), 2u);
    // $$ | R Z | head 18 | length 0C | "nvmrestore" CR LF | XOR 06 | CR LF
    EXPECT_EQ(Hex(w.writes[0]), "24 24 52 5A 18 0C 6E 76 6D 72 65 73 74 6F 72 65 0D 0A 06 0D 0A");
    // $$ | R Z | head 18 | length 08 | "freset" CR LF | XOR 0C | CR LF
    EXPECT_EQ(Hex(w.writes[1]), "24 24 52 5A 18 08 66 72 65 73 65 74 0D 0A 0C 0D 0A");
    EXPECT_EQ(w.pauses, (std::vector<uint32_t>{50, 50}));
}

// The elevation mask comes back in the NovAtel board's DOP log, relayed in an
// "RG" reply (class 1, bit 0x4000000); the radio protocol is the old-protocol
// radio record's, -1 before any reply of another receiver.
TEST(DeviceOpsBoard, TheBoardsElevationMaskAndTheRadioProtocol) {
    OpsCallbacks::Get().Reset();
    Rig rig(Kind::OldSerial, true, false);
    ASSERT_TRUE(rig.opened);
    EXPECT_EQ(rig.rx->GetInfo_Gnss_ElevMask(), 0u);
    rig.Feed(DollarFrame("RG", 0x18, novatel_fixtures::Log(174, novatel_fixtures::PsrDop(2, 1.5f, 0.9f, 1, 15))),
             0x04000000);
    EXPECT_EQ(rig.rx->GetInfo_Gnss_ElevMask(), 15u);
    EXPECT_EQ(rig.rx->Get_Transmit_Mdl(), rig.twin->Get_Transmit_Mdl());

    Rig other(Kind::OtherMaker, false, false);
    ASSERT_TRUE(other.opened);
    EXPECT_EQ(other.rx->Get_Transmit_Mdl(), Rdo_Mdl(-1));
    EXPECT_EQ(other.rx->GetInfo_Gnss_ElevMask(), 0u);

    EmGnss_Receiver closed;
    EXPECT_EQ(closed.Get_Transmit_Mdl(), Rdo_Mdl(-1));
    EXPECT_EQ(closed.GetInfo_Gnss_ElevMask(), 0u);
}
