// The receiver object's members for the maker's new protocol write exactly
// what their protocol operations build, on the new-protocol receiver and on
// the others (where only the network link's auto-open has a form); the
// composite members queue their commands in the documented order, or
// nothing; the getters read what the receiver's replies left.

#include "device/CompositeCommands.h"
#include "tests/device/DeviceOpsHarness.h"
#include "tests/protocol/NewProtoFixtures.h"

#include <cstring>

using namespace device_ops;
using Fjarnis2011::FJDevice::BuildWhole;

namespace {

struct Values {
    unsigned char byte = 7;
    unsigned short half = 3;
    unsigned int word = 25;
    float mhz = 463.125f;
    OV_MODEM_DIAL_PARA_STRUCT dial{};
    OV_GNSS_BASE_SET_STRUCT base{3, 0.5, 2.0, 40.0};
    OV_GNSS_SATELLITE_ENABLE_STRUCT sats{{1, 2, 3, 4, 5}};
    OV_IP_ADDRESS_STRUCT address{0x0A000001, 2101, 0, {}};
    OV_CORS_DATA_SOURCE_STRUCT source{};
    OV_ACCOUNT_STRUCT account{};
    uint8_t bytes[4] = {1, 2, 3, 4};
    OV_BLOCK_DATA_STRUCT block{4, bytes};
    OV_WIFI_PARA_AP_STRUCT ap{};
    OV_FILE_RECORD_CONFIG_STRUCT file{};
    std::vector<DataFreq> rates{{1040, 9}, {1041, 6}};
    Values() {
        std::memcpy(dial.texts[0], "CMNET", 5);
        std::memcpy(source.mountPoint, "RTCM32", 6);
        std::memcpy(account.user, "surveyor", 8);
        std::memcpy(ap.ssid, "FIELD", 5);
    }
};

struct Row {
    const char* name;
    std::function<void(EmGnss_Receiver&, Values&)> member;
    std::function<void(Em_Gnss&, Commands&, Values&)> operation;
};

// Each command member with a value and, where it takes a pointer, with
// none (the query).
const std::vector<Row>& Table() {
    using R = EmGnss_Receiver;
    using G = Em_Gnss;
    using V = Values;
    static const std::vector<Row> rows = {
        {"Send_Modem_Dial", [](R& r, V&) { r.Send_Modem_Dial(true); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Dial(o, true); }},
        {"Send_Modem_Power", [](R& r, V&) { r.Send_Modem_Power(false); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Power(o, false); }},
        {"Send_Modem_Auto_Dial", [](R& r, V& v) { r.Send_Modem_Auto_Dial(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Modem_Auto_Dial(o, &v.byte); }},
        {"Send_Modem_Auto_Dial(null)", [](R& r, V&) { r.Send_Modem_Auto_Dial(nullptr); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Auto_Dial(o, nullptr); }},
        {"Send_Modem_Auto_Power_On", [](R& r, V& v) { r.Send_Modem_Auto_Power_On(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Modem_Auto_Power_On(o, &v.byte); }},
        {"Send_Modem_Dial_Param", [](R& r, V& v) { r.Send_Modem_Dial_Param(&v.dial); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Modem_Dial_Param(o, &v.dial); }},
        {"Send_Modem_Dial_Status_Query", [](R& r, V&) { r.Send_Modem_Dial_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Dial_Status_Query(o); }},
        {"Send_Modem_Power_Status_Query", [](R& r, V&) { r.Send_Modem_Power_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Power_Status_Query(o); }},
        {"Send_Modem_Signal_Intensity_Query", [](R& r, V&) { r.Send_Modem_Signal_Intensity_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Signal_Intensity_Query(o); }},
        {"Send_Modem_Band_Mode", [](R& r, V& v) { r.Send_Modem_Band_Mode(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Modem_Band_Mode(o, &v.half); }},
        {"Send_Gnss_Data_Freq(enum)", [](R& r, V&) { r.Send_Gnss_Data_Freq(OV_DATA_FRQ_1HZ); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Gnss_Data_Freq(o, OV_DATA_FRQ_1HZ); }},
        {"Send_Gnss_Data_Freq(one)", [](R& r, V& v) { r.Send_Gnss_Data_Freq(v.rates[0]); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_Data_Freq(o, v.rates[0]); }},
        {"Send_Gnss_Data_Freq(list)", [](R& r, V& v) { r.Send_Gnss_Data_Freq(v.rates); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_Data_Freq(o, v.rates); }},
        {"Send_Gnss_IO_ID", [](R& r, V&) { r.Send_Gnss_IO_ID(OV_GNSS_IO_ID_ENUM(2)); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Gnss_IO_ID(o, OV_GNSS_IO_ID_ENUM(2)); }},
        {"Send_Gnss_ElevMask", [](R& r, V& v) { r.Send_Gnss_ElevMask(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_ElevMask(o, &v.byte); }},
        {"Send_Gnss_Pdop_Mask(null)", [](R& r, V&) { r.Send_Gnss_Pdop_Mask(nullptr); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Gnss_Pdop_Mask(o, nullptr); }},
        {"Send_Gnss_Diff_Type", [](R& r, V& v) { r.Send_Gnss_Diff_Type(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_Diff_Type(o, &v.half); }},
        {"Send_Gnss_Base_Position", [](R& r, V& v) { r.Send_Gnss_Base_Position(&v.base); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_Base_Position(o, &v.base); }},
        {"Send_Gnss_Sat_Enable", [](R& r, V& v) { r.Send_Gnss_Sat_Enable(&v.sats); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Gnss_Sat_Enable(o, &v.sats); }},
        {"Send_System_Admin_Cmd", [](R& r, V&) { r.Send_System_Admin_Cmd(9); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Admin(o, 9); }},
        {"Send_System_Power_Status_Query", [](R& r, V&) { r.Send_System_Power_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Power_Status_Query(o); }},
        {"Send_System_Power_Off", [](R& r, V&) { r.Send_System_Power_Off(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Power_Off(o); }},
        {"Send_System_Reboot", [](R& r, V&) { r.Send_System_Reboot(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Reboot(o); }},
        {"Send_System_Hardware_Info_Query", [](R& r, V&) { r.Send_System_Hardware_Info_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Hardware_Info_Query(o); }},
        {"Send_System_Firmware_Info_Query", [](R& r, V&) { r.Send_System_Firmware_Info_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_Firmware_Info_Query(o); }},
        {"Send_System_GSensor_Valid", [](R& r, V&) { r.Send_System_GSensor_Valid({1, 60}); }, [](G& g, Commands& o, V&) { g.Get_Cmd_System_GSensor_Valid(o, {1, 60}); }},
        {"Send_NetLink_Auto_Open", [](R& r, V& v) { r.Send_NetLink_Auto_Open(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_NetLink_Auto_Open(o, &v.byte); }},
        {"Send_NetLink_Auto_Open(null)", [](R& r, V&) { r.Send_NetLink_Auto_Open(nullptr); }, [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Auto_Open(o, nullptr); }},
        {"Send_NetLink_Status_Query", [](R& r, V&) { r.Send_NetLink_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Status_Query(o); }},
        {"Send_NetLink_Source_List_Query", [](R& r, V&) { r.Send_NetLink_Source_List_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Source_List_Query(o); }},
        {"Send_NetLink_Address", [](R& r, V& v) { r.Send_NetLink_Address(&v.address); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_NetLink_Address(o, &v.address); }},
        {"Send_NetLink_Server_Type", [](R& r, V& v) { r.Send_NetLink_Server_Type(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_NetLink_Server_Type(o, &v.half); }},
        {"Send_NetLink_Data_Source", [](R& r, V& v) { r.Send_NetLink_Data_Source(&v.source); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_NetLink_Data_Source(o, &v.source); }},
        {"Send_NetLink_Account", [](R& r, V& v) { r.Send_NetLink_Account(&v.account); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_NetLink_Account(o, &v.account); }},
        {"Send_NetLink_Connect", [](R& r, V&) { r.Send_NetLink_Connect(true); }, [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Connect(o, true); }},
        {"Send_DataLink_Mode", [](R& r, V& v) { r.Send_DataLink_Mode(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_DataLink_Mode(o, &v.half); }},
        {"Send_DataLink_Differential_Data", [](R& r, V& v) { r.Send_DataLink_Differential_Data(&v.block); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_DataLink_Differential_Data(o, &v.block); }},
        {"Send_Radio_Frequency", [](R& r, V& v) { r.Send_Radio_Frequency(&v.mhz); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Radio_Frequency(o, &v.mhz); }},
        {"Send_Radio_Power(value)", [](R& r, V& v) { r.Send_Radio_Power(&v.word); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Radio_Power(o, &v.word); }},
        {"Send_Radio_Stepper", [](R& r, V& v) { r.Send_Radio_Stepper(&v.word); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Radio_Stepper(o, &v.word); }},
        {"Send_Radio_Air_Baud(null)", [](R& r, V&) { r.Send_Radio_Air_Baud(nullptr); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Air_Baud(o, nullptr); }},
        {"Send_Radio_Protocol", [](R& r, V& v) { r.Send_Radio_Protocol(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Radio_Protocol(o, &v.half); }},
        {"Send_Radio_Infolist_Query", [](R& r, V&) { r.Send_Radio_Infolist_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Infolist_Query(o); }},
        {"Send_Radio_Power_On", [](R& r, V&) { r.Send_Radio_Power_On(true); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Power_On(o, true); }},
        {"Send_Radio_Auto_Power_On", [](R& r, V& v) { r.Send_Radio_Auto_Power_On(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_Radio_Auto_Power_On(o, &v.byte); }},
        {"Send_Radio_Module_Type_Query", [](R& r, V&) { r.Send_Radio_Module_Type_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Module_Type_Query(o); }},
        {"Send_Radio_Power_Status_Query", [](R& r, V&) { r.Send_Radio_Power_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Power_Status_Query(o); }},
        {"Send_WIFI_Param_AP", [](R& r, V& v) { r.Send_WIFI_Param_AP(&v.ap); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_WIFI_Param_AP(o, &v.ap); }},
        {"Send_WIFI_Mode", [](R& r, V& v) { r.Send_WIFI_Mode(&v.half); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_WIFI_Mode(o, &v.half); }},
        {"Send_WIFI_Auto_Open", [](R& r, V& v) { r.Send_WIFI_Auto_Open(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_WIFI_Auto_Open(o, &v.byte); }},
        {"Send_WIFI_Open", [](R& r, V&) { r.Send_WIFI_Open(false); }, [](G& g, Commands& o, V&) { g.Get_Cmd_WIFI_Open(o, false); }},
        {"Send_WIFI_Power_Status_Query", [](R& r, V&) { r.Send_WIFI_Power_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_WIFI_Power_Status_Query(o); }},
        {"Send_File_Record_Open", [](R& r, V&) { r.Send_File_Record_Open(true); }, [](G& g, Commands& o, V&) { g.Get_Cmd_File_Record_Open(o, true); }},
        {"Send_File_Record_Auto_Open", [](R& r, V& v) { r.Send_File_Record_Auto_Open(&v.byte); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_File_Record_Auto_Open(o, &v.byte); }},
        {"Send_File_Record_Status_Query", [](R& r, V&) { r.Send_File_Record_Status_Query(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_File_Record_Status_Query(o); }},
        {"Send_File_Record_Param", [](R& r, V& v) { r.Send_File_Record_Param(&v.file); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_File_Record_Param(o, &v.file); }},
        {"Send_File_Record_PPK", [](R& r, V& v) { r.Send_File_Record_PPK(&v.block); }, [](G& g, Commands& o, V& v) { g.Get_Cmd_File_Record_PPK(o, &v.block); }},
        // Table E, each with the operation(s) it stands for.
        {"Send_Gprs_Signal", [](R& r, V&) { r.Send_Gprs_Signal(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Modem_Signal_Intensity_Query(o); }},
        {"Send_Gprs_CosMdl", [](R& r, V&) { r.Send_Gprs_CosMdl(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Auto_Open(o, nullptr); }},
        {"Send_Gnss_ElevMask()", [](R& r, V&) { r.Send_Gnss_ElevMask(); }, [](G& g, Commands& o, V&) { g.Get_Cmd_Gnss_ElevMask(o, nullptr); }},
        // 300 is sent as its low 8 bits, 44.
        {"Set_Gnss_ElevMask(300)", [](R& r, V&) { r.Set_Gnss_ElevMask(300); },
         [](G& g, Commands& o, V&) { const unsigned char m = 44; g.Get_Cmd_Gnss_ElevMask(o, &m); }},
        {"Set_Gprs_CosMdl(0)", [](R& r, V&) { r.Set_Gprs_CosMdl(256); },
         [](G& g, Commands& o, V&) { const unsigned char v = 0; g.Get_Cmd_NetLink_Auto_Open(o, &v); }},
        {"Set_Gprs_CosMdl(1)", [](R& r, V&) { r.Set_Gprs_CosMdl(1); },
         [](G& g, Commands& o, V&) {
             const unsigned char v = 1;
             g.Get_Cmd_Modem_Auto_Power_On(o, &v);
             g.Get_Cmd_Modem_Auto_Dial(o, &v);
             g.Get_Cmd_NetLink_Auto_Open(o, &v);
         }},
        {"Disable_Other_DataLink(4)", [](R& r, V&) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(4)); },
         [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Connect(o, false); g.Get_Cmd_Radio_Power_On(o, false); }},
        {"Disable_Other_DataLink(1)", [](R& r, V&) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(1)); },
         [](G& g, Commands& o, V&) { g.Get_Cmd_NetLink_Connect(o, false); }},
        {"Disable_Other_DataLink(3)", [](R& r, V&) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(3)); },
         [](G& g, Commands& o, V&) { g.Get_Cmd_Radio_Power_On(o, false); }},
        {"Disable_Other_DataLink(5)", [](R& r, V&) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(5)); }, [](G&, Commands&, V&) {}},
        {"Disable_Other_DataLink(0)", [](R& r, V&) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(0)); }, [](G&, Commands&, V&) {}},
    };
    return rows;
}

// The parameter id of each written new-protocol command: the first item
// after the operation item (link head 5, block head 13, operation item 6).
std::vector<int> ParameterIds(const Written& w) {
    std::vector<int> ids;
    for (const Bytes& b : w.writes) ids.push_back(b.size() > 25 ? (b[24] << 8) | b[25] : -1);
    return ids;
}

}  // namespace

TEST(DeviceOpsNewProto, EveryMemberWritesWhatItsProtocolOperationBuilds) {
    OpsCallbacks::Get().Reset();
    for (Kind kind : {Kind::NewProtocol, Kind::OldSerial, Kind::OtherMaker}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, false, false);
        ASSERT_TRUE(rig.opened);
        size_t writing = 0;
        for (const Row& row : Table()) {
            SCOPED_TRACE(row.name);
            Values v;
            const uint8_t sequence = Rig::Sequence();
            const Written written = rig.Capture([&] { row.member(*rig.rx, v); });
            const Commands expected = rig.Expect(sequence, [&](Em_Gnss& g, Commands& o) { row.operation(g, o, v); });
            ExpectSame(written, expected);
            writing += !written.writes.empty();
        }
        // New protocol: all but the two modes that switch nothing off. Old
        // protocol: auto-open as the login mode (set, query, Send_Gprs_CosMdl
        // and both Set_Gprs_CosMdl).
        const size_t want = kind == Kind::NewProtocol ? Table().size() - 2 : kind == Kind::OldSerial ? 5 : 0;
        EXPECT_EQ(writing, want);
    }
}

TEST(DeviceOpsNewProto, CompositesQueueTheirCommandsInOrder) {
    OpsCallbacks::Get().Reset();
    Rig rig(Kind::NewProtocol, false, false);
    ASSERT_TRUE(rig.opened);
    struct Case {
        const char* name;
        std::function<void(EmGnss_Receiver&)> call;
        std::vector<int> ids;
    };
    const std::vector<Case> cases = {
        // only the network link's auto-open (4361)
        {"login mode 0", [](auto& r) { r.Set_Gprs_CosMdl(0); }, {4361}},
        // modem auto power-on (5130), auto dial (5129), then the link's auto-open
        {"login mode 1", [](auto& r) { r.Set_Gprs_CosMdl(1); }, {5130, 5129, 4361}},
        // network link off (4360) before the radio off (1807)
        {"neither link", [](auto& r) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(4)); }, {4360, 1807}},
        {"no radio", [](auto& r) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(2)); }, {1807}},
        {"unknown mode", [](auto& r) { r.Disable_Other_DataLink(OV_DATALINK_MODE_ENUM(-1)); }, {}},
    };
    for (const Case& c : cases) {
        const Written w = rig.Capture([&] { c.call(*rig.rx); });
        EXPECT_EQ(ParameterIds(w), c.ids) << c.name;
    }
}

TEST(DeviceOpsNewProto, ACompositeThatFailsHalfWaySendsNothing) {
    // Steps that build one record, or none (a block that could not be
    // allocated, or a command the receiver does not take).
    auto one = [](Commands& o) { o.push_back(_STR_CMD{}); };
    auto none = [](Commands&) {};
    struct Case {
        const char* name;
        bool everyStepBuilds;
        std::function<void(Commands&, bool)> build;
        size_t records;
    };
    const std::vector<Case> cases = {
        {"all built", true, [&](Commands& o, bool e) { BuildWhole(o, e, one, one, one); }, 3},
        {"last failed", true, [&](Commands& o, bool e) { BuildWhole(o, e, one, one, none); }, 0},
        {"first failed", true, [&](Commands& o, bool e) { BuildWhole(o, e, none, one); }, 0},
        // an old-protocol receiver takes only the last step
        {"steps that do not apply", false, [&](Commands& o, bool e) { BuildWhole(o, e, none, none, one); }, 1},
    };
    for (const Case& c : cases) {
        Commands out;
        c.build(out, c.everyStepBuilds);
        EXPECT_EQ(out.size(), c.records) << c.name;
    }
}

TEST(DeviceOpsNewProto, GettersReadTheRepliesOrGiveTheirDefaults) {
    using namespace newproto_test;
    OpsCallbacks::Get().Reset();
    {
        Rig rig(Kind::NewProtocol, true, false);
        ASSERT_TRUE(rig.opened);
        uint8_t sequence = 0;
        // pdop 7 (1104), elevation mask 12 (1105): class 3, bits 0x2 and 0x4
        rig.Feed(Links(Message(15, {{1104, U8(7)}, {1105, U8(12)}}), sequence), 0x2);
        EXPECT_EQ(rig.rx->Get_Gnss_Pdop_Mask(), 7);
        EXPECT_EQ(rig.rx->Get_Gnss_ElevMask(), 12);
        EXPECT_EQ(rig.rx->GetInfo_Gnss_ElevMask(), 12u);
        // radio frequency 463.125 and air baud 9600 (class of operation 23)
        rig.Feed(Links(Message(23, {{1795, U32(std::bit_cast<uint32_t>(463.125f))}, {1803, U32(9600)}}), sequence),
                 0x8);
        EXPECT_EQ(rig.rx->Get_Radio_Frequency(), 463.125f);
        EXPECT_EQ(rig.rx->Get_Radio_Air_Baud(), 9600u);
        // the account, as the receiver sent it
        Bytes account(70, 0);
        std::memcpy(account.data(), "surveyor", 8);
        rig.Feed(Links(Message(47, {{4363, account}, {4361, U8(1)}}), sequence), 0x4000);
        OV_ACCOUNT_STRUCT got{};
        rig.rx->Get_NetLink_Account(got);
        EXPECT_STREQ(got.user, "surveyor");
        EXPECT_EQ(rig.rx->Get_NetLink_Auto_Open(), 1);
        // a setting's answer: status 1 for command 1105
        rig.Feed(Links(Message(14, {{2, U16(1)}}, 1105), sequence), 0x80000000u);
        OV_RESPONSE_STATUS_ENUM status{};
        unsigned commandId = 0;
        rig.rx->Get_Cmd_Setting_Response(status, commandId);
        EXPECT_EQ(int(status), 1);
        EXPECT_EQ(commandId, 1105u);
    }
    Rig old(Kind::OldSerial, false, false);
    ASSERT_TRUE(old.opened);
    EXPECT_EQ(old.rx->Get_Radio_Air_Baud(), 4800u);
    EXPECT_EQ(old.rx->Get_Gnss_Pdop_Mask(), -1);
    OV_IP_ADDRESS_STRUCT address{0x01020304, 80, 1, {'x'}};
    old.rx->Get_NetLink_Address(address);
    EXPECT_EQ(address.address, 0x01020304u);
    EXPECT_EQ(address.host[0], 'x');
    const unsigned char* text = nullptr;
    unsigned length = 9;
    old.rx->Get_NetLink_Source_List(text, length);
    EXPECT_EQ(length, 0u);
    // Without a protocol object: the same defaults.
    old.rx->Port_Close();
    EXPECT_EQ(old.rx->Get_Radio_Air_Baud(), 4800u);
    EXPECT_EQ(old.rx->Get_Gnss_Pdop_Mask(), -1);
    length = 9;
    old.rx->Get_NetLink_Source_List(text, length);
    EXPECT_EQ(length, 0u);
}
