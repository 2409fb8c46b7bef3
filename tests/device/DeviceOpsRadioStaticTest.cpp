// The receiver object's members for the internal radio, static recording,
// PPK points and the eBubble write exactly what the protocol object builds and
// give back its results, on every kind of receiver, before and after the
// replies that tell the radio's module type; the radio getters read what the
// module's replies left.

#include "tests/device/DeviceOpsHarness.h"

#include <cstring>

using namespace device_ops;

namespace {

struct Args {
    Static_Point point{};
    StartPointInfo start{};
    EndPointInfo end{};
    AntPointInfo antenna{};
    Radio_Callsign callsign{};

    Args() {
        point.nameLength = 4;
        std::memcpy(point.name, "BM01", 4);
        point.antennaHeight = 1.75f;
        point.surveyTo = 2;
        start.head.value = 77;
        start.textLength = 30;  // a packet of more than 55 bytes
        std::memset(start.text, 'T', 30);
        end.endValue = 9;
        antenna.antennaCode = 4;
        callsign.state = 1;
        callsign.interval = 5;
        std::memcpy(callsign.message, "BX4ABC", 6);
        callsign.message[Radio_Callsign::kLengthByte] = 6;
    }
};

struct Row {
    const char* name;
    std::function<void(EmGnss_Receiver&, Args&, int& result)> member;
    std::function<void(Em_Gnss&, Commands&, Args&, int& result)> operation;
};

const std::vector<Row>& Table() {
    static const std::vector<Row> rows = {
        {"Send_Radio_Frq", [](auto& r, auto&, int& res) { res = r.Send_Radio_Frq(); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Get_Radio_Frq(v); }},
        {"Send_Radio_Power", [](auto& r, auto&, int& res) { res = r.Send_Radio_Power(); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Get_Radio_Power(v); }},
        {"Set_Radio_Power", [](auto& r, auto&, int& res) { res = r.Set_Radio_Power(RADIO_POWER_2W); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Set_Radio_Power(v, RADIO_POWER_2W); }},
        {"Send_Radio_Baudrate", [](auto& r, auto&, int& res) { res = r.Send_Radio_Baudrate(); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Get_Cmd_Radio_Baudrate(v); }},
        {"Set_Radio_Baudrate", [](auto& r, auto&, int& res) { res = r.Set_Radio_Baudrate(RADIO_BAUD_4800); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Set_Radio_Baudrate(v, RADIO_BAUD_4800); }},
        {"Set_Radio_Frq", [](auto& r, auto&, int&) { r.Set_Radio_Frq(455.125); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Radio_Frq(v, 455.125); }},
        {"Set_Radio_Mdl", [](auto& r, auto&, int&) { r.Set_Radio_Mdl(Rdo_Mdl(6)); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Radio_Mdl(v, Rdo_Mdl(6)); }},
        {"Set_Radio_Sensitivity", [](auto& r, auto&, int&) { r.Set_Radio_Sensitivity(RDO_SENSITV_LOW); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Radio_Sensitivity(v, RDO_SENSITV_LOW); }},
        {"Send_Radio_Sensitivity", [](auto& r, auto&, int&) { r.Send_Radio_Sensitivity(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Radio_Sensitivity(v); }},
        {"Set_Radio_FEC", [](auto& r, auto&, int&) { r.Set_Radio_FEC(true); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Radio_FEC(v, true); }},
        {"Send_Radio_FEC", [](auto& r, auto&, int&) { r.Send_Radio_FEC(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Radio_FEC(v); }},
        {"Set_Radio_Callsign", [](auto& r, Args& a, int&) { r.Set_Radio_Callsign(a.callsign); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Radio_Callsign(v, a.callsign); }},
        {"Send_Radio_Callsign", [](auto& r, auto&, int&) { r.Send_Radio_Callsign(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Radio_Callsign(v); }},
        {"Set_Radio_ChannelSpace", [](auto& r, auto&, int&) { r.Set_Radio_ChannelSpace(CHANNEL_SPACE_20K); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Radio_ChannelSpace(v, CHANNEL_SPACE_20K); }},
        {"Send_Radio_ChannelSpace", [](auto& r, auto&, int&) { r.Send_Radio_ChannelSpace(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Radio_ChannelSpace(v); }},
        {"Send_StartPPKpt", [](auto& r, Args& a, int&) { r.Send_StartPPKpt(&a.start); },
         [](auto& g, auto& v, Args& a, int&) { g.Get_Cmd_StartPPKpt(v, &a.start); }},
        {"Send_EndPPKpt", [](auto& r, Args& a, int&) { r.Send_EndPPKpt(&a.end); },
         [](auto& g, auto& v, Args& a, int&) { g.Get_Cmd_EndPPKpt(&a.end, v); }},
        {"Send_AntHeightSettedPPKpt", [](auto& r, Args& a, int&) { r.Send_AntHeightSettedPPKpt(&a.antenna); },
         [](auto& g, auto& v, Args& a, int&) { g.Get_Cmd_AntPPKpt(&a.antenna, v); }},
        {"Set_Static_Point", [](auto& r, Args& a, int&) { r.Set_Static_Point(&a.point); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Static_Point(v, &a.point); }},
        {"Send_Static_Point", [](auto& r, auto&, int&) { r.Send_Static_Point(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Static_Point(v); }},
        {"Set_Static_Begin(true)", [](auto& r, auto&, int&) { r.Set_Static_Begin(true); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Static_Begin(v, true); }},
        {"Set_Static_Begin(false)", [](auto& r, auto&, int&) { r.Set_Static_Begin(false); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Static_Begin(v, false); }},
        {"Set_Static_Begin(true, 600)", [](auto& r, auto&, int&) { r.Set_Static_Begin(true, 600); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Static_Begin(v, true, 600); }},
        {"Set_eBubble_frq", [](auto& r, auto&, int&) { r.Set_eBubble_frq(GNSS_FRQ_10HZ); },
         [](auto& g, auto& v, auto&, int&) { g.Set_eBubble_frq(v, GNSS_FRQ_10HZ); }},
        {"Set_eBubble_calibration", [](auto& r, auto&, int&) { r.Set_eBubble_calibration(true, 1234); },
         [](auto& g, auto& v, auto&, int&) { g.Set_eBubble_calibration(v, true, 1234); }},
    };
    return rows;
}

size_t CompareTable(Rig& rig) {
    Args args;
    size_t nonEmpty = 0;
    for (const Row& row : Table()) {
        SCOPED_TRACE(row.name);
        int got = -7, want = -7;
        const uint8_t sequence = Rig::Sequence();
        const Written written = rig.Capture([&] { row.member(*rig.rx, args, got); });
        const Commands expected = rig.Expect(sequence, [&](Em_Gnss& g, Commands& v) { row.operation(g, v, args, want); });
        ExpectSame(written, expected);
        EXPECT_EQ(got, want) << "result";
        nonEmpty += !expected.empty();
    }
    return nonEmpty;
}

// The device information of a receiver whose radio is module type 8 (byte
// 126 = 5): every radio setting applies to it.
Bytes DeviceInfoWithFullRadio() {
    Bytes frame = DeviceInfoReply();
    // "SI" frame: $$ S I head length, then the record; byte 126 of the record
    // and the XOR after the record change together.
    frame[6 + 126] = 0x05;
    frame[6 + 128] ^= 0x05;
    return frame;
}

}  // namespace

TEST(DeviceOpsRadioStatic, EveryMemberWritesWhatItsProtocolOperationBuilds) {
    OpsCallbacks::Get().Reset();
    for (Kind kind : kAllKinds) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, true);
        ASSERT_TRUE(rig.opened);
        {
            SCOPED_TRACE("before any reply");
            const size_t n = CompareTable(rig);
            if (kind == Kind::OtherMaker) {
                EXPECT_EQ(n, 0u) << "another maker's receiver takes none of these";
            }
        }
        if (kind == Kind::OtherMaker) continue;
        rig.Feed(DeviceInfoWithFullRadio(), 0x80000000);
        {
            SCOPED_TRACE("after the device information");
            CompareTable(rig);
        }
        rig.Feed(ModemVersionReply(), 0x01000000);
        {
            SCOPED_TRACE("after the module version");
            const size_t n = CompareTable(rig);
            // On the old protocol every row is written by now but the two
            // air-baud ones, which module type 8 does not take.
            if (kind != Kind::NewProtocol) {
                EXPECT_EQ(n, Table().size() - 2);
            }
        }
    }
}

// What the module's replies leave in the radio record is what the getters
// give, and the results say how far the module type is known.
TEST(DeviceOpsRadioStatic, GettersReadTheRadioRecord) {
    OpsCallbacks::Get().Reset();
    Rig rig(Kind::OldSerial, true);
    ASSERT_TRUE(rig.opened);
    Radio_Range range{};
    Radio_Info info{};
    EXPECT_EQ(rig.rx->Get_Radio_Range(range), 0);
    EXPECT_EQ(rig.rx->Get_Radio_Info(info), 0);
    EXPECT_EQ(rig.rx->Get_Radio_Baudrate(), Radio_Baudrate(-1));

    rig.Feed(DeviceInfoWithFullRadio(), 0x80000000);
    EXPECT_EQ(rig.rx->Get_Radio_Range(range), 1);
    rig.Feed(ModemVersionReply(), 0x01000000);
    EXPECT_EQ(rig.rx->Get_Radio_Range(range), 2);
    EXPECT_DOUBLE_EQ(range.upperMHz, 473.0);
    EXPECT_DOUBLE_EQ(range.lowerMHz, 403.0);
    EXPECT_EQ(rig.rx->Get_Radio_Info(info), 2);
    EXPECT_EQ(info.featureBits, 0x0BD10000u);

    // Power reply (module 118, 02), baud reply (121, 01), frequency reply
    // (110, first byte 05, channel 36810 = 8FCA low byte first: 460.125 MHz).
    rig.Feed(ModuleReply(118, {0x02}), 0x00004000);
    rig.Feed(ModuleReply(121, {0x01}), 0x00008000);
    rig.Feed(ModuleReply(110, {0x05, 0xCA, 0x8F}), 0x02000000);
    EXPECT_EQ(rig.rx->Get_Radio_Power(), RADIO_POWER_0W1);
    EXPECT_EQ(rig.rx->Get_Radio_Baudrate(), RADIO_BAUD_4800);
    EXPECT_DOUBLE_EQ(rig.rx->Get_Radio_Frq(), 460.125);
    EXPECT_EQ(int(rig.rx->Get_Transmit_Mdl()), 5);
}
