// The new protocol's command set: every command member read back from its
// link frames by the test's own reader (operation code, parameter items,
// command id), the members that go nowhere on other receivers, the data-rate
// list's bounds, the new-protocol forms of the position rate, eBubble and
// PPK points, and the NMEA selection of a new-protocol receiver.

#include "NewProtoFixtures.h"
#include "OldCmdFixtures.h"
#include "OldCmdRig.h"

#include "protocol/Em_Gnss.h"
#include "protocol/oldproto/Em_OldRecords.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;
using oldcmd_test::Hex;
using oldcmd_test::ReadTlv;
using oldcmd_test::TlvCommand;
using Cmds = std::vector<_STR_CMD>;
using Build = std::function<void(Em_Gnss&, Cmds&)>;

std::string HexOf(const std::vector<uint8_t>& b) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t x : b) {
        if (!s.empty()) s += ' ';
        s += digits[x >> 4];
        s += digits[x & 15];
    }
    return s;
}

// The items after the operation item, each as "id(hex4) len(hex4) value".
std::string ItemsAfterOperation(const TlvCommand& c) {
    std::string s;
    for (size_t i = 1; i < c.items.size(); ++i) {
        std::vector<uint8_t> b = {uint8_t(c.items[i].id >> 8), uint8_t(c.items[i].id),
                                  uint8_t(c.items[i].value.size() >> 8), uint8_t(c.items[i].value.size())};
        b.insert(b.end(), c.items[i].value.begin(), c.items[i].value.end());
        if (!s.empty()) s += " | ";
        s += HexOf(b);
    }
    return s;
}

// Values the pointer members are given.
struct Values {
    unsigned char byte = 5;
    unsigned short half = 0x0102;
    unsigned word = 0x01020304;
    float mhz = 460.05f;
    OV_MODEM_DIAL_PARA_STRUCT dial{};
    OV_GNSS_BASE_SET_STRUCT base{};
    OV_GNSS_SATELLITE_ENABLE_STRUCT sats{{1, 2, 3, 4, 5}};
    OV_IP_ADDRESS_STRUCT address{};
    OV_CORS_DATA_SOURCE_STRUCT source{};
    OV_ACCOUNT_STRUCT account{};
    uint8_t blockBytes[3] = {0xAA, 0xBB, 0xCC};
    OV_BLOCK_DATA_STRUCT block{3, blockBytes};
    OV_WIFI_PARA_AP_STRUCT ap{};
    OV_FILE_RECORD_CONFIG_STRUCT file{};
    Values() {
        std::memcpy(dial.texts[0], "CMNET", 5);
        base.mode = 3;
        base.latitude = 1.0;
        address.address = 0xC0A80001;  // 192.168.0.1
        address.port = 2101;
        std::memcpy(source.mountPoint, "MP1", 3);
        std::memcpy(account.user, "u", 1);
        std::memcpy(account.password, "p", 1);
        std::memcpy(ap.ssid, "NET", 3);
        std::memcpy(file.name, "F", 1);
    }
};

struct Row {
    const char* name;
    std::function<void(Em_Gnss&, Cmds&, const Values&)> build;
    uint16_t operation;
    const char* items;  // hex of the parameter items, "|" between items
    uint32_t commandId;
};

// clang-format off
const std::vector<Row>& CallTable() {
    using G = Em_Gnss;
    using V = Values;
    static const std::vector<Row> rows = {
        // modem (42 / 43)
        {"Modem_Dial on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Dial(o, true); }, 42, "14 05 00 00", 0},
        {"Modem_Dial off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Dial(o, false); }, 42, "14 06 00 00", 0},
        {"Modem_Power on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Power(o, true); }, 42, "14 07 00 00", 0},
        {"Modem_Power off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Power(o, false); }, 42, "14 08 00 00", 0},
        {"Modem_Auto_Dial set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Modem_Auto_Dial(o, &v.byte); }, 42, "14 09 00 01 05", 5129},
        {"Modem_Auto_Dial query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Auto_Dial(o, nullptr); }, 43, "14 09 00 00", 5129},
        {"Modem_Auto_Power_On set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Modem_Auto_Power_On(o, &v.byte); }, 42, "14 0A 00 01 05", 5130},
        {"Modem_Auto_Power_On query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Auto_Power_On(o, nullptr); }, 43, "14 0A 00 00", 5130},
        {"Modem_Dial_Param query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Dial_Param(o, nullptr); }, 43, "14 03 00 00", 5123},
        {"Modem_Dial_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Dial_Status_Query(o); }, 43, "14 04 00 00", 0},
        {"Modem_Power_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Power_Status_Query(o); }, 43, "14 0B 00 00", 0},
        {"Modem_Signal_Intensity_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Signal_Intensity_Query(o); }, 43, "14 0C 00 00", 0},
        {"Modem_Band_Mode set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Modem_Band_Mode(o, &v.half); }, 42, "14 0D 00 02 01 02", 5133},
        {"Modem_Band_Mode query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Modem_Band_Mode(o, nullptr); }, 43, "14 0D 00 00", 5133},
        // GNSS (14 / 15)
        {"Gnss_Data_Freq enum", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Data_Freq(o, OV_DATA_FRQ_5HZ); }, 14, "04 03 00 02 00 07", 1027},
        {"Gnss_Data_Freq one", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Data_Freq(o, DataFreq{1041, 9}); }, 14, "04 11 00 02 00 09", 14},
        {"Gnss_Data_Freq list", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Data_Freq(o, std::vector<DataFreq>{{1040, 9}, {1041, 6}}); },
         14, "04 10 00 02 00 09 | 04 11 00 02 00 06", 14},
        {"Gnss_IO_ID", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_IO_ID(o, OV_GNSS_IO_ID_ENUM(2)); }, 14, "04 04 00 02 00 02", 0},
        {"Gnss_ElevMask set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Gnss_ElevMask(o, &v.byte); }, 14, "04 51 00 01 05", 1105},
        {"Gnss_ElevMask query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_ElevMask(o, nullptr); }, 15, "04 51 00 00", 1105},
        {"Gnss_Pdop_Mask set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Gnss_Pdop_Mask(o, &v.byte); }, 14, "04 50 00 01 05", 1104},
        {"Gnss_Pdop_Mask query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Pdop_Mask(o, nullptr); }, 15, "04 50 00 00", 1104},
        {"Gnss_Diff_Type set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Gnss_Diff_Type(o, &v.half); }, 14, "04 05 00 02 01 02", 1029},
        {"Gnss_Diff_Type query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Diff_Type(o, nullptr); }, 15, "04 05 00 00", 1029},
        // mode 3, then latitude 1.0 (3F F0 ...), longitude and height 0
        {"Gnss_Base_Position set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Gnss_Base_Position(o, &v.base); }, 14,
         "04 52 00 1A 00 03 3F F0 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", 1106},
        {"Gnss_Base_Position query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Base_Position(o, nullptr); }, 15, "04 52 00 00", 1106},
        {"Gnss_Sat_Enable set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Gnss_Sat_Enable(o, &v.sats); }, 14,
         "04 55 00 14 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05", 1109},
        {"Gnss_Sat_Enable query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Gnss_Sat_Enable(o, nullptr); }, 15, "04 55 00 00", 1109},
        // system (10 / 11)
        {"System_Admin", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Admin(o, 0x0304); }, 10, "03 08 00 02 03 04", 776},
        {"System_Power_Off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Power_Off(o); }, 10, "03 03 00 00", 771},
        {"System_Power_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Power_Status_Query(o); }, 11, "03 04 00 00", 0},
        {"System_Reboot", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Reboot(o); }, 10, "03 05 00 00", 773},
        {"System_Hardware_Info_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Hardware_Info_Query(o); }, 11, "03 06 00 00", 0},
        {"System_Firmware_Info_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_Firmware_Info_Query(o); }, 11, "03 07 00 00", 0},
        // valid 1, period 300 (01 2C)
        {"System_GSensor_Valid", [](G& g, Cmds& o, const V&) { g.Get_Cmd_System_GSensor_Valid(o, {1, 300}); }, 10, "03 09 00 03 01 01 2C", 777},
        // network link (46 / 47)
        {"NetLink_Auto_Open set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_NetLink_Auto_Open(o, &v.byte); }, 46, "11 09 00 01 05", 4361},
        {"NetLink_Auto_Open query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Auto_Open(o, nullptr); }, 47, "11 09 00 00", 4361},
        {"NetLink_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Status_Query(o); }, 47, "11 05 00 00", 0},
        {"NetLink_Source_List_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Source_List_Query(o); }, 47, "11 06 00 00", 4358},
        {"Send_Gprs_GetList", [](G& g, Cmds& o, const V&) { g.Send_Gprs_GetList(o); }, 47, "11 06 00 00", 4358},
        {"NetLink_Address query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Address(o, nullptr); }, 47, "11 03 00 00", 4355},
        {"NetLink_Server_Type set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_NetLink_Server_Type(o, &v.half); }, 46, "11 04 00 02 01 02", 4356},
        {"NetLink_Server_Type query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Server_Type(o, nullptr); }, 47, "11 04 00 00", 4356},
        // "MP1" and 17 zero bytes
        {"NetLink_Data_Source set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_NetLink_Data_Source(o, &v.source); }, 46,
         "11 0A 00 14 4D 50 31 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", 4362},
        {"NetLink_Data_Source query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Data_Source(o, nullptr); }, 47, "11 0A 00 00", 4362},
        {"NetLink_Account query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Account(o, nullptr); }, 47, "11 0B 00 00", 4363},
        {"NetLink_Connect on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Connect(o, true); }, 46, "11 07 00 00", 4359},
        {"NetLink_Connect off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_NetLink_Connect(o, false); }, 46, "11 08 00 00", 4360},
        // data link (50 / 51)
        {"DataLink_Mode set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_DataLink_Mode(o, &v.half); }, 50, "15 03 00 02 01 02", 5379},
        {"DataLink_Mode query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_DataLink_Mode(o, nullptr); }, 51, "15 03 00 00", 5379},
        // length 3 (u32), then the three bytes
        {"DataLink_Differential_Data", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_DataLink_Differential_Data(o, &v.block); }, 50,
         "15 04 00 07 00 00 00 03 AA BB CC", 5380},
        // radio (22 / 23); 460.05 as single precision is 43 E6 06 66
        {"Radio_Frequency set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Frequency(o, &v.mhz); }, 22, "07 03 00 04 43 E6 06 66", 1795},
        {"Radio_Frequency query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Frequency(o, nullptr); }, 23, "07 03 00 00", 1795},
        {"Radio_Power set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Power(o, &v.word); }, 22, "07 04 00 04 01 02 03 04", 1796},
        {"Radio_Power query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Power(o, nullptr); }, 23, "07 04 00 00", 1796},
        {"Radio_Stepper set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Stepper(o, &v.word); }, 22, "07 09 00 04 01 02 03 04", 1801},
        {"Radio_Stepper query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Stepper(o, nullptr); }, 23, "07 09 00 00", 1801},
        {"Radio_Air_Baud set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Air_Baud(o, &v.word); }, 22, "07 0B 00 04 01 02 03 04", 1803},
        {"Radio_Air_Baud query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Air_Baud(o, nullptr); }, 23, "07 0B 00 00", 1803},
        {"Radio_Protocol set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Protocol(o, &v.half); }, 22, "07 0C 00 02 01 02", 1804},
        {"Radio_Protocol query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Protocol(o, nullptr); }, 23, "07 0C 00 00", 1804},
        {"Radio_Infolist_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Infolist_Query(o); }, 23, "07 0D 00 00", 0},
        {"Radio_Power_On on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Power_On(o, true); }, 22, "07 0E 00 00", 0},
        {"Radio_Power_On off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Power_On(o, false); }, 22, "07 0F 00 00", 0},
        {"Radio_Auto_Power_On set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Radio_Auto_Power_On(o, &v.byte); }, 22, "07 10 00 01 05", 1808},
        {"Radio_Auto_Power_On query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Auto_Power_On(o, nullptr); }, 23, "07 10 00 00", 1808},
        {"Radio_Module_Type_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Module_Type_Query(o); }, 23, "07 11 00 00", 0},
        {"Radio_Power_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_Radio_Power_Status_Query(o); }, 23, "07 12 00 00", 0},
        // Wi-Fi (34 / 35)
        {"WIFI_Param_AP query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Param_AP(o, nullptr); }, 35, "0A 03 00 00", 2563},
        {"WIFI_Mode set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_WIFI_Mode(o, &v.half); }, 34, "0A 04 00 02 01 02", 2564},
        {"WIFI_Mode query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Mode(o, nullptr); }, 35, "0A 04 00 00", 2564},
        {"WIFI_Auto_Open set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_WIFI_Auto_Open(o, &v.byte); }, 34, "0A 07 00 01 05", 2567},
        {"WIFI_Auto_Open query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Auto_Open(o, nullptr); }, 35, "0A 07 00 00", 2567},
        {"WIFI_Open on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Open(o, true); }, 34, "0A 06 00 00", 0},
        {"WIFI_Open off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Open(o, false); }, 34, "0A 05 00 00", 0},
        {"WIFI_Power_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_WIFI_Power_Status_Query(o); }, 35, "0A 08 00 00", 0},
        // file recording (38 / 39)
        {"File_Record_Open on", [](G& g, Cmds& o, const V&) { g.Get_Cmd_File_Record_Open(o, true); }, 38, "0B 03 00 00", 0},
        {"File_Record_Open off", [](G& g, Cmds& o, const V&) { g.Get_Cmd_File_Record_Open(o, false); }, 38, "0B 04 00 00", 0},
        {"File_Record_Auto_Open set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_File_Record_Auto_Open(o, &v.byte); }, 38, "0B 05 00 01 05", 2821},
        {"File_Record_Auto_Open query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_File_Record_Auto_Open(o, nullptr); }, 39, "0B 05 00 00", 2821},
        {"File_Record_Status_Query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_File_Record_Status_Query(o); }, 39, "0B 07 00 00", 0},
        {"File_Record_Param query", [](G& g, Cmds& o, const V&) { g.Get_Cmd_File_Record_Param(o, nullptr); }, 39, "0B 06 00 00", 2822},
        {"File_Record_PPK", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_File_Record_PPK(o, &v.block); }, 38,
         "0B 08 00 07 00 00 00 03 AA BB CC", 2824},
    };
    return rows;
}

// Record members whose value the packer writes field by field: the item's
// id, length and first bytes are checked here.
const std::vector<Row>& RecordTable() {
    using G = Em_Gnss;
    using V = Values;
    static const std::vector<Row> rows = {
        // "CMNET" then zeros: 100 bytes
        {"Modem_Dial_Param set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_Modem_Dial_Param(o, &v.dial); }, 42, "14 03 00 64 43 4D 4E 45 54", 5123},
        // address C0 A8 00 01, port 08 35, use-host 0, 50 text bytes
        {"NetLink_Address set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_NetLink_Address(o, &v.address); }, 46, "11 03 00 39 C0 A8 00 01 08 35 00", 4355},
        // "u" and 49 zeros, then "p"
        {"NetLink_Account set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_NetLink_Account(o, &v.account); }, 46, "11 0B 00 46 75 00", 4363},
        {"WIFI_Param_AP set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_WIFI_Param_AP(o, &v.ap); }, 34, "0A 03 00 2A 4E 45 54 00", 2563},
        {"File_Record_Param set", [](G& g, Cmds& o, const V& v) { g.Get_Cmd_File_Record_Param(o, &v.file); }, 38, "0B 06 00 2B 46 00", 2822},
    };
    return rows;
}
// clang-format on

TlvCommand BuildOn(Em_Gnss& gnss, const Row& row, size_t* records = nullptr) {
    Values v;
    Cmds out;
    row.build(gnss, out, v);
    if (records) *records = out.size();
    return ReadTlv(out);
}

TEST(NewProtoCmd, EveryCommandCarriesItsOperationItemsAndCommandId) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    for (const Row& row : CallTable()) {
        SCOPED_TRACE(row.name);
        size_t records = 0;
        const TlvCommand c = BuildOn(gnss, row, &records);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(records, 1u);
        ASSERT_GE(c.items.size(), 2u);
        EXPECT_EQ(c.items[0].id, 1);
        EXPECT_EQ(HexOf(c.items[0].value), HexOf(newproto_test::U16(row.operation)));
        EXPECT_EQ(ItemsAfterOperation(c), row.items);
        EXPECT_EQ(c.commandId, row.commandId);
    }
    for (const Row& row : RecordTable()) {
        SCOPED_TRACE(row.name);
        const TlvCommand c = BuildOn(gnss, row);
        ASSERT_TRUE(c.ok);
        ASSERT_EQ(c.items.size(), 2u);
        EXPECT_EQ(HexOf(c.items[0].value), HexOf(newproto_test::U16(row.operation)));
        const std::string items = ItemsAfterOperation(c);
        EXPECT_EQ(items.substr(0, std::string(row.items).size()), row.items);
        EXPECT_EQ(c.commandId, row.commandId);
    }
}

TEST(NewProtoCmd, PdopQueryIsOneRecordOfThirtySixBytes) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    Cmds out;
    gnss.Get_Cmd_Gnss_Pdop_Mask(out, nullptr);
    ASSERT_EQ(out.size(), 1u);
    // 7 link bytes around a 29-byte block: 13 head, op item 6, item 4, 6 tail.
    EXPECT_EQ(out[0].length, 36u);
}

TEST(NewProtoCmd, OtherReceiversGetNothingButTheOldAutoOpen) {
    for (oldcmd_test::Receiver kind : oldcmd_test::kAllReceivers) {
        if (kind == oldcmd_test::Receiver::NewProtocol) continue;
        oldcmd_test::Rig rig(kind);
        for (const auto* table : {&CallTable(), &RecordTable()}) {
            for (const Row& row : *table) {
                if (std::string(row.name).rfind("NetLink_Auto_Open", 0) == 0 && kind == oldcmd_test::Receiver::OldProtocol)
                    continue;
                if (std::string(row.name) == "Send_Gprs_GetList") continue;  // has an old-protocol form of its own
                Values v;
                Cmds out;
                row.build(*rig.gnss, out, v);
                EXPECT_TRUE(out.empty()) << oldcmd_test::Name(kind) << ": " << row.name;
            }
        }
    }
    // On the old protocol auto-open is the modem's login mode.
    oldcmd_test::Rig old(oldcmd_test::Receiver::OldProtocol);
    const unsigned char mode = 3;
    Cmds set, query;
    old.gnss->Get_Cmd_NetLink_Auto_Open(set, &mode);
    old.gnss->Get_Cmd_NetLink_Auto_Open(query, nullptr);
    // The link packet 00 first, then login mode 105 with the byte; the query is 106.
    ASSERT_EQ(set.size(), 2u);
    const oldcmd_test::Module prefix = oldcmd_test::ReadModule(set[0]);
    const oldcmd_test::Module login = oldcmd_test::ReadModule(set[1]);
    EXPECT_EQ(prefix.id, 113);
    EXPECT_EQ(login.id, 105);
    EXPECT_EQ(login.data, Hex("03"));
    ASSERT_EQ(query.size(), 1u);
    EXPECT_EQ(oldcmd_test::ReadModule(query[0]).id, 106);
}

TEST(NewProtoCmd, DataRatesOutsideTheRateItemsAreNotSent) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    const std::vector<std::vector<DataFreq>> refused = {
        {},                          // no item: no command
        {{1106, 9}},                 // base position: a 26-byte record
        {{1040, 9}, {1109, 6}},      // satellite enable: 20 bytes
        {{1026, 9}},                 // just below the rate items
        {{1051, 9}},                 // just above
    };
    for (const auto& list : refused) {
        Cmds out;
        gnss.Get_Cmd_Gnss_Data_Freq(out, list);
        EXPECT_TRUE(out.empty()) << list.size();
    }
    Cmds out;
    gnss.Get_Cmd_Gnss_Data_Freq(out, std::vector<DataFreq>{{1027, 1}, {1050, 2}});
    const TlvCommand c = ReadTlv(out);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(ItemsAfterOperation(c), "04 03 00 02 00 01 | 04 1A 00 02 00 02");
}

TEST(NewProtoCmd, PositionRateEBubbleAndPpkPointsTakeTheNewForms) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    struct Case {
        const char* name;
        Build build;
        const char* items;
        uint16_t operation;
        uint32_t commandId;
    };
    StartPointInfo start{};
    start.head.value = 77;
    const std::vector<Case> cases = {
        // GNSS_FRQ 3 (1 Hz) is rate code 9; 1 (10 Hz) is 6
        {"position rate", [](Em_Gnss& g, Cmds& o) { g.Get_Cmd_Position_Frq(o, GNSS_FRQ_1HZ); }, "04 10 00 02 00 09", 14, 14},
        {"eBubble rate", [](Em_Gnss& g, Cmds& o) { g.Set_eBubble_frq(o, GNSS_FRQ_10HZ); }, "04 11 00 02 00 06", 14, 14},
        // on, value 300 as u16
        {"eBubble calibration", [](Em_Gnss& g, Cmds& o) { g.Set_eBubble_calibration(o, true, 300); }, "03 09 00 03 01 01 2C",
         10, 777},
    };
    for (const Case& c : cases) {
        Cmds out;
        c.build(gnss, out);
        const TlvCommand t = ReadTlv(out);
        ASSERT_TRUE(t.ok) << c.name;
        EXPECT_EQ(HexOf(t.items[0].value), HexOf(newproto_test::U16(c.operation))) << c.name;
        EXPECT_EQ(ItemsAfterOperation(t), c.items) << c.name;
        EXPECT_EQ(t.commandId, c.commandId) << c.name;
    }
    // A PPK point: its packet (the same bytes an old receiver gets in "FY"
    // frames) as one data block of the record file.
    Cmds ppk, oldFrames;
    gnss.Get_Cmd_StartPPKpt(ppk, &start);
    const TlvCommand t = ReadTlv(ppk);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.commandId, 2824u);
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[1].id, 2824);
    oldcmd_test::Rig old(oldcmd_test::Receiver::OldProtocol);
    old.gnss->Get_Cmd_StartPPKpt(oldFrames, &start);
    std::vector<uint8_t> packet;
    for (const _STR_CMD& f : oldFrames) {
        const oldcmd_test::Dollar d = oldcmd_test::ReadDollar(f);
        ASSERT_EQ(d.letters, "FY");
        packet.insert(packet.end(), d.payload.begin(), d.payload.end());
    }
    std::vector<uint8_t> block = newproto_test::U32(uint32_t(packet.size()));
    block.insert(block.end(), packet.begin(), packet.end());
    EXPECT_EQ(HexOf(t.items[1].value), HexOf(block));
    Cmds none;
    gnss.Get_Cmd_StartPPKpt(none, nullptr);
    EXPECT_TRUE(none.empty());
}

TEST(NewProtoCmd, NmeaSelectionWithRatesReachesTheNewProtocolReceiver) {
    // GGA at rate byte 5 and RMC at 2: the receiver's own "RF" and "RD"
    // selection, the same frames an old-protocol receiver of the maker's own
    // board gets after its board's records.
    std::vector<_set_nmea> list(2);
    list[0].sentence = 0x1;
    list[0].rate = 5;
    list[1].sentence = 0x100;
    list[1].rate = 2;
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    Cmds got;
    gnss.Set_Orvel_NMEA(got, list, 1, true);
    oldcmd_test::Rig old(oldcmd_test::Receiver::OldProtocol, MAINBD_ORVEL_OLD);
    Cmds want;
    old.gnss->Set_Orvel_NMEA(want, list, 1, true);
    std::vector<std::string> gotFrames, wantFrames;
    for (const _STR_CMD& c : got) gotFrames.push_back(HexOf(oldcmd_test::Data(c)));
    for (const _STR_CMD& c : want) {
        const oldcmd_test::Dollar d = oldcmd_test::ReadDollar(c);
        if (d.ok && (d.letters == "RF" || d.letters == "RD")) wantFrames.push_back(HexOf(oldcmd_test::Data(c)));
    }
    ASSERT_FALSE(gotFrames.empty());
    EXPECT_EQ(oldcmd_test::ReadDollar(got[0]).letters, "RF");
    EXPECT_EQ(gotFrames, wantFrames);
    // Another maker's receiver gets none.
    Em_Gnss other(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY);
    Cmds none;
    other.Set_Orvel_NMEA(none, list, 1, true);
    EXPECT_TRUE(none.empty());
}

}  // namespace
