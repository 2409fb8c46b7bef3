// The new protocol's getters: reply items fed as bytes through the real
// new-protocol format come back through their getters, texts that fill
// their field are read within it, and on every other receiver each getter
// gives its default or leaves the caller's value alone.

#include "NewProtoFixtures.h"
#include "OldCmdFixtures.h"
#include "OldCmdRig.h"

#include "protocol/Em_Gnss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;
using namespace newproto_test;
using oldcmd_test::Hex;

struct NewReceiver {
    void Reply(uint16_t operation, const std::vector<Item>& items, uint32_t commandId = 0) {
        const Bytes frames = Links(Message(operation, items, commandId), sequence);
        gnss.RcvData(frames.data(), unsigned(frames.size()));
        gnss.ParseData();
    }
    Em_Gnss gnss{GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW};
    uint8_t sequence = 0;
};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(const std::string& s, size_t field) {
    Bytes b(s.begin(), s.end());
    b.resize(field, 0);
    return b;
}

TEST(NewProtoGetters, ValueItemsComeBackThroughTheirGetters) {
    NewReceiver rx;
    EXPECT_EQ(rx.gnss.Get_Gnss_Pdop_Mask(), 0);  // before any reply: the parser's zero
    rx.Reply(15, {{1104, Hex("07")}});           // 04 50 00 01 07
    EXPECT_EQ(rx.gnss.Get_Gnss_Pdop_Mask(), 7);
    rx.Reply(15, {{1105, Hex("0F")}, {1029, U16(5)}});
    EXPECT_EQ(rx.gnss.Get_Gnss_ElevMask(), 15);
    rx.Reply(23, {{1795, U32(std::bit_cast<uint32_t>(460.05f))},
                  {1796, U32(2)},
                  {1801, U32(125)},
                  {1803, U32(19200)},
                  {1804, U16(3)},
                  {1808, U8(1)},
                  {1809, U16(8)},
                  {1810, U16(1)}});
    EXPECT_EQ(rx.gnss.Get_Radio_Frequency(), 460.05f);
    EXPECT_EQ(rx.gnss.Get_Radio_Power_V2(), 2u);
    EXPECT_EQ(rx.gnss.Get_Radio_Stepper(), 125u);
    EXPECT_EQ(rx.gnss.Get_Radio_Air_Baud(), 19200u);
    EXPECT_EQ(rx.gnss.Get_Radio_Auto_Power_On(), 1);
    OV_RADIO_PROTOCOL_ENUM protocol{};
    OV_RADIO_MODULE_TYPE_ENUM module{};
    OV_RADIO_POWER_STATUS_ENUM power{};
    rx.gnss.Get_Radio_Protocol(protocol);
    rx.gnss.Get_Radio_Module_Type(module);
    rx.gnss.Get_Radio_Power_Status(power);
    EXPECT_EQ(int(protocol), 3);
    EXPECT_EQ(int(module), 8);
    EXPECT_EQ(int(power), 1);
    OV_GNSS_DIFF_TYPE_ENUM diff{};
    rx.gnss.Get_Gnss_Diff_Type(diff);
    EXPECT_EQ(int(diff), 5);

    rx.Reply(43, {{5129, U8(1)}, {5130, U8(2)}, {5131, U16(4)}, {5133, U16(6)}, {5124, Hex("00 01 00 00 00 02 00 03")}});
    EXPECT_EQ(rx.gnss.Get_Modem_Auto_Dial(), 1);
    EXPECT_EQ(rx.gnss.Get_Modem_Auto_Power_On(), 2);
    OV_MODEM_POWER_STATUS_ENUM modemPower{};
    OV_MODEM_BAND_MODE_ENUM band{};
    OV_MODEM_DIAL_STATUS_STRUCT dial{};
    rx.gnss.Get_Modem_Power_Status(modemPower);
    rx.gnss.Get_Modem_Band_Mode(band);
    rx.gnss.Get_Modem_Dial_Status(dial);
    EXPECT_EQ(int(modemPower), 4);
    EXPECT_EQ(int(band), 6);
    EXPECT_EQ(dial.first, 1);
    EXPECT_EQ(dial.second, 2u);
    EXPECT_EQ(dial.third, 3);

    rx.Reply(35, {{2564, U16(2)}, {2567, U8(1)}, {2568, U16(3)}});
    rx.Reply(39, {{2821, U8(1)}, {2823, U16(2)}});
    rx.Reply(51, {{5379, U16(4)}});
    rx.Reply(47, {{4361, U8(1)}, {4356, U16(2)}, {4357, Hex("00 02 00 00 01 00 00 07")}});
    OV_WIFI_MODE_ENUM wifiMode{};
    OV_WIFI_POWER_STATUS_ENUM wifiPower{};
    OV_FILE_RECORD_STATUS_ENUM fileStatus{};
    OV_DATALINK_MODE_ENUM link{};
    OV_NETLINK_SERVER_TYPE_ENUM server{};
    OV_NETLINK_STATUS_STRUCT status{};
    rx.gnss.Get_WIFI_Mode(wifiMode);
    rx.gnss.Get_WIFI_Power_Status(wifiPower);
    rx.gnss.Get_File_Record_Status(fileStatus);
    rx.gnss.Get_DataLink_Mode(link);
    rx.gnss.Get_NetLink_Server_Type(server);
    rx.gnss.Get_NetLink_Status(status);
    EXPECT_EQ(int(wifiMode), 2);
    EXPECT_EQ(rx.gnss.Get_WIFI_Auto_Open(), 1);
    EXPECT_EQ(int(wifiPower), 3);
    EXPECT_EQ(rx.gnss.Get_File_Record_Auto_Open(), 1);
    EXPECT_EQ(int(fileStatus), 2);
    EXPECT_EQ(int(link), 4);
    EXPECT_EQ(rx.gnss.Get_NetLink_Auto_Open(), 1);
    EXPECT_EQ(int(server), 2);
    EXPECT_EQ(status.first, 2);
    EXPECT_EQ(status.second, 256u);
    EXPECT_EQ(status.third, 7);

    rx.Reply(2, {{259, U16(9)}});
    OV_COM_BAUD_ENUM baud{};
    rx.gnss.Get_Com_Baudrate(baud);
    EXPECT_EQ(baud, OV_COM_BAUD_115200);
}

TEST(NewProtoGetters, SettingResponseCarriesTheStatusAndCommandId) {
    NewReceiver rx;
    // Operation item, then 00 02 00 02 00 01: status 1, in a message with command id 1104.
    rx.Reply(14, {{2, U16(1)}}, 1104);
    OV_RESPONSE_STATUS_ENUM status{};
    unsigned commandId = 0;
    rx.gnss.Get_Cmd_Setting_Response(status, commandId);
    EXPECT_EQ(int(status), 1);
    EXPECT_EQ(commandId, 1104u);
}

TEST(NewProtoGetters, RecordsAndTextsThatFillTheirFields) {
    NewReceiver rx;
    const std::string full20(20, 'A');
    // five dial texts: one that fills its 20 bytes, one short, three empty
    const Bytes dial = Join({Text(full20, 20), Text("CMNET", 20), Bytes(60, 0)});
    rx.Reply(43, {{5123, dial}, {5132, Hex("00 00 00 1A 03")}});
    OV_MODEM_DIAL_PARA_STRUCT para;
    std::memset(&para, 0x5A, sizeof para);
    rx.gnss.Get_Modem_Dial_Param(para);
    EXPECT_EQ(std::string(para.texts[0], 20), full20);
    EXPECT_EQ(std::string(para.texts[1], 20), std::string("CMNET") + std::string(15, '\0'));
    EXPECT_EQ(std::string(para.texts[4], 20), std::string(20, '\0'));
    OV_MODEM_SIGNAL_INTENSITY_STRUCT signal{};
    rx.gnss.Get_Modem_Signal_Intensity(signal);
    EXPECT_EQ(signal.value, 26u);
    EXPECT_EQ(signal.level, 3);

    // address 10.0.0.2, port 2101, by name, host text of all 50 bytes
    const std::string host(50, 'h');
    rx.Reply(47, {{4355, Join({Hex("0A 00 00 02 08 35 01"), Text(host, 50)})},
                  {4362, Text(full20, 20)},
                  {4363, Join({Text("user", 50), Text(std::string(20, 'p'), 20)})}});
    OV_IP_ADDRESS_STRUCT address{};
    rx.gnss.Get_NetLink_Address(address);
    EXPECT_EQ(address.address, 0x0A000002u);
    EXPECT_EQ(address.port, 2101);
    EXPECT_EQ(address.useHost, 1);
    EXPECT_EQ(std::string(address.host, 50), host);
    OV_CORS_DATA_SOURCE_STRUCT source{};
    OV_ACCOUNT_STRUCT account{};
    rx.gnss.Get_NetLink_Data_Source(source);
    rx.gnss.Get_NetLink_Account(account);
    EXPECT_EQ(std::string(source.mountPoint, 20), full20);
    EXPECT_EQ(std::string(account.user), "user");
    EXPECT_EQ(std::string(account.password, 20), std::string(20, 'p'));

    // base position: mode 3, latitude 0.5, longitude and height 0
    rx.Reply(15, {{1106, Join({U16(3), Hex("3F E0 00 00 00 00 00 00"), Bytes(16, 0)})},
                  {1109, Join({U32(1), U32(2), U32(3), U32(4), U32(5)})}});
    OV_GNSS_BASE_SET_STRUCT base{};
    OV_GNSS_SATELLITE_ENABLE_STRUCT sats{};
    rx.gnss.Get_Gnss_Base_Position(base);
    rx.gnss.Get_Gnss_Sat_Enable(sats);
    EXPECT_EQ(base.mode, 3);
    EXPECT_EQ(base.latitude, 0.5);
    EXPECT_EQ(sats.words[4], 5u);

    rx.Reply(11, {{775, Join({Text(std::string(50, 'V'), 50), Text("B2", 50)})},
                  {772, Join({U32(1), U32(2), U32(3)})}});
    OV_SYSTEM_FIRMWARE_VERSION_STRUCT firmware{};
    OV_SYSTEM_POWER_STATUS_STRUCT power{};
    rx.gnss.Get_System_Firmware_Info(firmware);
    rx.gnss.Get_System_Power_Status(power);
    EXPECT_EQ(std::string(firmware.first, 50), std::string(50, 'V'));
    EXPECT_EQ(std::string(firmware.second), "B2");
    EXPECT_EQ(power.words[2], 3u);

    // The source list: its text handed back by pointer, not terminated.
    const std::string table = "SOURCETABLE 200 OK\r\n";
    rx.Reply(47, {{4358, Join({U32(uint32_t(table.size())), Bytes(table.begin(), table.end())})}});
    const unsigned char* text = nullptr;
    unsigned length = 0;
    rx.gnss.Get_NetLink_Source_List(text, length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text), length), table);

    // The sentence store of the board (items 1030..1033).
    const std::string gga = "$GPGGA,1*00";
    rx.Reply(14, {{1030, Join({U32(uint32_t(gga.size())), Bytes(gga.begin(), gga.end())})}});
    unsigned n = 0;
    const unsigned char* buffer = rx.gnss.Get_Gnss_Data_Buff(n);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer), n), gga);
}

// The byte a caller's record is filled with before a getter that must leave
// it alone.
constexpr uint8_t kMarker = 0x5A;

// True when every byte of one field still holds the marker.
bool Marked(const void* field, size_t size) {
    const auto* p = static_cast<const uint8_t*>(field);
    return std::all_of(p, p + size, [](uint8_t b) { return b == kMarker; });
}

TEST(NewProtoGetters, OtherReceiversGiveDefaultsAndLeaveOutputsAlone) {
    using oldcmd_test::Receiver;
    for (Receiver kind : {Receiver::OtherMaker, Receiver::OldProtocol, Receiver::NoBoard, Receiver::NoFormat}) {
        SCOPED_TRACE(oldcmd_test::Name(kind));
        oldcmd_test::Rig rig(kind);
        const Em_Gnss& g = *rig.gnss;
        EXPECT_EQ(g.Get_Gnss_Pdop_Mask(), -1);
        EXPECT_EQ(g.Get_Radio_Air_Baud(), 4800u);
        EXPECT_EQ(g.Get_Radio_Frequency(), 0.0f);
        EXPECT_EQ(g.Get_Radio_Power_V2(), 0u);
        EXPECT_EQ(g.Get_Radio_Stepper(), 0u);
        EXPECT_EQ(g.Get_Radio_Auto_Power_On(), 0);
        EXPECT_EQ(g.Get_Modem_Auto_Dial(), 0);
        EXPECT_EQ(g.Get_Modem_Auto_Power_On(), 0);
        EXPECT_EQ(g.Get_WIFI_Auto_Open(), 0);
        EXPECT_EQ(g.Get_File_Record_Auto_Open(), 0);
        if (kind != Receiver::OldProtocol) {
            EXPECT_EQ(g.Get_NetLink_Auto_Open(), 0);
        }

        // Every record out-parameter keeps the caller's values. The records
        // are filled with a marker byte and their fields checked one by one:
        // padding between fields belongs to no value, and an optimised build
        // need not keep it.
        auto fill = [](auto& record) { std::memset(static_cast<void*>(&record), kMarker, sizeof record); };
        OV_IP_ADDRESS_STRUCT address;
        OV_MODEM_DIAL_PARA_STRUCT dial;
        OV_MODEM_DIAL_STATUS_STRUCT dialStatus;
        OV_MODEM_SIGNAL_INTENSITY_STRUCT signal;
        OV_GNSS_BASE_SET_STRUCT base;
        OV_GNSS_SATELLITE_ENABLE_STRUCT sats;
        OV_SYSTEM_POWER_STATUS_STRUCT power;
        OV_SYSTEM_HARDWARE_INFO_STRUCT hardware;
        OV_SYSTEM_FIRMWARE_VERSION_STRUCT firmware;
        OV_NETLINK_STATUS_STRUCT status;
        OV_CORS_DATA_SOURCE_STRUCT source;
        OV_ACCOUNT_STRUCT account;
        OV_RADIO_INFOLIST_STRUCT info;
        OV_WIFI_PARA_AP_STRUCT ap;
        OV_FILE_RECORD_CONFIG_STRUCT file;
        fill(address), fill(dial), fill(dialStatus), fill(signal), fill(base), fill(sats), fill(power);
        fill(hardware), fill(firmware), fill(status), fill(source), fill(account), fill(info), fill(ap), fill(file);
        g.Get_NetLink_Address(address);
        g.Get_Modem_Dial_Param(dial);
        g.Get_Modem_Dial_Status(dialStatus);
        g.Get_Modem_Signal_Intensity(signal);
        g.Get_Gnss_Base_Position(base);
        g.Get_Gnss_Sat_Enable(sats);
        g.Get_System_Power_Status(power);
        g.Get_System_Hardware_Info(hardware);
        g.Get_System_Firmware_Info(firmware);
        g.Get_NetLink_Status(status);
        g.Get_NetLink_Data_Source(source);
        g.Get_NetLink_Account(account);
        g.Get_Radio_Infolist(info);
        g.Get_WIFI_Param_AP(ap);
        g.Get_File_Record_Param(file);
#define FIELD(record, member) Marked(&(record).member, sizeof (record).member)
        const std::pair<const char*, bool> kept[] = {
            {"address", FIELD(address, address) && FIELD(address, port) && FIELD(address, useHost) &&
                            FIELD(address, host)},
            {"dial", FIELD(dial, texts)},
            {"dialStatus", FIELD(dialStatus, first) && FIELD(dialStatus, second) && FIELD(dialStatus, third)},
            {"signal", FIELD(signal, value) && FIELD(signal, level)},
            {"base", FIELD(base, mode) && FIELD(base, latitude) && FIELD(base, longitude) && FIELD(base, height)},
            {"sats", FIELD(sats, words)},
            {"power", FIELD(power, words)},
            {"hardware", FIELD(hardware, word0) && FIELD(hardware, pair) && FIELD(hardware, quad) &&
                             FIELD(hardware, raw) && FIELD(hardware, words)},
            {"firmware", FIELD(firmware, first) && FIELD(firmware, second)},
            {"status", FIELD(status, first) && FIELD(status, second) && FIELD(status, third)},
            {"source", FIELD(source, mountPoint)},
            {"account", FIELD(account, user) && FIELD(account, password)},
            {"info", FIELD(info, first) && FIELD(info, second) && FIELD(info, third) && FIELD(info, fourth) &&
                         FIELD(info, fifth) && FIELD(info, sixth) && FIELD(info, seventh) && FIELD(info, eighth)},
            {"ap", FIELD(ap, ssid) && FIELD(ap, security) && FIELD(ap, password)},
            {"file", FIELD(file, name) && FIELD(file, byte20) && FIELD(file, words) && FIELD(file, bytes) &&
                         FIELD(file, half) && FIELD(file, byte42) && FIELD(file, lastWord)},
        };
#undef FIELD
        for (const auto& [name, ok] : kept) EXPECT_TRUE(ok) << name;

        // Codes: a value no reply could leave stays.
        const int32_t sentinel = 0x5A5A;
        OV_RESPONSE_STATUS_ENUM response = OV_RESPONSE_STATUS_ENUM(sentinel);
        unsigned commandId = 77;
        OV_MODEM_POWER_STATUS_ENUM modemPower = OV_MODEM_POWER_STATUS_ENUM(sentinel);
        OV_MODEM_BAND_MODE_ENUM band = OV_MODEM_BAND_MODE_ENUM(sentinel);
        OV_GNSS_DIFF_TYPE_ENUM diff = OV_GNSS_DIFF_TYPE_ENUM(sentinel);
        OV_NETLINK_SERVER_TYPE_ENUM server = OV_NETLINK_SERVER_TYPE_ENUM(sentinel);
        OV_DATALINK_MODE_ENUM link = OV_DATALINK_MODE_ENUM(sentinel);
        OV_RADIO_PROTOCOL_ENUM protocol = OV_RADIO_PROTOCOL_ENUM(sentinel);
        OV_RADIO_MODULE_TYPE_ENUM module = OV_RADIO_MODULE_TYPE_ENUM(sentinel);
        OV_RADIO_POWER_STATUS_ENUM radioPower = OV_RADIO_POWER_STATUS_ENUM(sentinel);
        OV_WIFI_MODE_ENUM wifiMode = OV_WIFI_MODE_ENUM(sentinel);
        OV_WIFI_POWER_STATUS_ENUM wifiPower = OV_WIFI_POWER_STATUS_ENUM(sentinel);
        OV_FILE_RECORD_STATUS_ENUM fileStatus = OV_FILE_RECORD_STATUS_ENUM(sentinel);
        OV_COM_BAUD_ENUM baud = OV_COM_BAUD_ENUM(sentinel);
        g.Get_Cmd_Setting_Response(response, commandId);
        g.Get_Modem_Power_Status(modemPower);
        g.Get_Modem_Band_Mode(band);
        g.Get_Gnss_Diff_Type(diff);
        g.Get_NetLink_Server_Type(server);
        g.Get_DataLink_Mode(link);
        g.Get_Radio_Protocol(protocol);
        g.Get_Radio_Module_Type(module);
        g.Get_Radio_Power_Status(radioPower);
        g.Get_WIFI_Mode(wifiMode);
        g.Get_WIFI_Power_Status(wifiPower);
        g.Get_File_Record_Status(fileStatus);
        g.Get_Com_Baudrate(baud);
        EXPECT_EQ(commandId, 77u);
        for (int32_t v : {int32_t(response), int32_t(modemPower), int32_t(band), int32_t(diff), int32_t(server),
                          int32_t(link), int32_t(protocol), int32_t(module), int32_t(radioPower), int32_t(wifiMode),
                          int32_t(wifiPower), int32_t(fileStatus), int32_t(baud)})
            EXPECT_EQ(v, sentinel);

        // The source list: length 0, the caller's pointer kept.
        const unsigned char marker = 0;
        const unsigned char* text = &marker;
        unsigned length = 99;
        g.Get_NetLink_Source_List(text, length);
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(text, &marker);
    }
    // Without a board there is neither an elevation mask nor a sentence store.
    for (Receiver kind : {Receiver::NoBoard, Receiver::NoFormat}) {
        oldcmd_test::Rig rig(kind);
        EXPECT_EQ(rig.gnss->Get_Gnss_ElevMask(), 0);
        unsigned length = 99;
        EXPECT_EQ(rig.gnss->Get_Gnss_Data_Buff(length), nullptr);
        EXPECT_EQ(length, 99u);
    }
}

}  // namespace
