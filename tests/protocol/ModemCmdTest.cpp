// The internal modem's commands and getters: the module-tunnel packets of the
// old protocol with their delays, what the modem's replies change in them,
// the new-protocol commands of the network link, the modem record handed out
// as WirelessInfo, and which receivers each export reaches.
#include "OldCmdFixtures.h"
#include "OldCmdRig.h"
#include "protocol/newproto/Em_TlvPacker.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

using Export = std::function<void(Em_Gnss&, std::vector<_STR_CMD>&)>;

struct Packet {
    int id;
    Bytes data;
    uint32_t delay;
};

void ExpectPackets(const std::vector<_STR_CMD>& out, const std::vector<Packet>& expected) {
    ASSERT_EQ(out.size(), expected.size());
    for (size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        const Module m = ReadModule(out[i]);
        ASSERT_TRUE(m.ok);
        EXPECT_EQ(m.id, expected[i].id);
        EXPECT_EQ(m.data, expected[i].data);
        EXPECT_EQ(out[i].delay, expected[i].delay);
    }
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

cors_info Cors(const std::string& mount, const std::string& user, const std::string& password) {
    cors_info c{};
    Put(c.mountPoint, mount);
    Put(c.userName, user);
    Put(c.password, password);
    return c;
}

IP_ADRES Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d, const std::string& host = "") {
    IP_ADRES ip{};
    ip.ip[0] = a;
    ip.ip[1] = b;
    ip.ip[2] = c;
    ip.ip[3] = d;
    Put(ip.text, host);
    ip.textLength = uint32_t(host.size());
    return ip;
}

// The module's version reply ("VI" carrying packet 95 with four characters).
Bytes VersionReply(const std::string& version) { return ReplyFrame("VI", ModuleReply(95, Text(version))); }

void ExpectTlv(const std::vector<_STR_CMD>& out, uint32_t commandId, const std::vector<TlvItemRead>& items) {
    const TlvCommand c = ReadTlv(out);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.commandId, commandId);
    ASSERT_EQ(c.items.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(c.items[i].id, items[i].id) << i;
        EXPECT_EQ(c.items[i].value, items[i].value) << i;
    }
}

}  // namespace

TEST(ModemCmd, VersionRequestWaitsForTheDeviceInformation) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    EXPECT_FALSE(rig.gnss->Send_Gprs_Version(out));
    EXPECT_TRUE(out.empty());

    // Any device-information reply (here one with no known model code) opens it.
    rig.Receive(ReplyFrame("SI", Bytes(128, '0')));
    ASSERT_TRUE(rig.Old()->DeviceInfoSeen());
    EXPECT_TRUE(rig.gnss->Send_Gprs_Version(out));
    ASSERT_EQ(out.size(), 1u);
    // VS | head 1B (class 11, mode 1) | 6 bytes: 40 5F A0 00 00 BF | XOR 18
    EXPECT_EQ(Data(out[0]), Hex("24 24 56 53 1B 06 40 5F A0 00 00 BF 18 0D 0A"));
    EXPECT_EQ(out[0].delay, 200u);
}

// Each command's packets (id, data, delay) on an old-protocol receiver whose
// modem has not told its version.
TEST(ModemCmd, PacketsOfEachCommand) {
    SvcInfo svc{};
    Put(svc.userName, "user");
    Put(svc.password, "pw");
    Put(svc.apn, "cmnet");
    Put(svc.dialNumber, "*99#");
    const uint8_t baseId[] = {'0', '0', '4', '2'};
    const struct {
        const char* name;
        Export call;
        std::vector<Packet> packets;
    } rows[] = {
        {"Get_Gprs_Info", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Info(v); }, {{89, {}, 200}}},
        {"Get_Gprs_Status", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Status(v); }, {{99, {}, 200}}},
        {"Get_Gprs_Signal", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Signal(v); }, {{101, {}, 200}}},
        {"Get_Gprs_Eroinfo", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Eroinfo(v); }, {{104, {}, 200}}},
        {"Get_Gprs_Reset", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Reset(v); }, {{43, {}, 200}}},
        {"Get_Gprs_CosMdl", [](Em_Gnss& g, auto& v) { g.Get_Gprs_CosMdl(v); }, {{106, {}, 200}}},
        {"Set_Gprs_CosMdl", [](Em_Gnss& g, auto& v) { g.Set_Gprs_CosMdl(v, 0x102); },
         {{113, {0x00}, 2000}, {105, {0x02}, 200}}},
        {"Send_Gprs_DisConct", [](Em_Gnss& g, auto& v) { g.Send_Gprs_DisConct(v); }, {{113, {0x01}, 2000}}},
        {"Set_GSM_NumInfo", [](Em_Gnss& g, auto& v) { g.Set_GSM_NumInfo(v, "13800138000"); },
         {{113, {0x00}, 2000}, {88, Text("13800138000"), 200}}},
        {"Set_Gprs_Modle", [](Em_Gnss& g, auto& v) { g.Set_Gprs_Modle(v, GPRS_MODLE_ROVER); }, {{93, {0x01}, 200}}},
        {"Set_Gprs_BaseId", [&](Em_Gnss& g, auto& v) { g.Set_Gprs_BaseId(v, baseId, sizeof baseId); },
         {{94, Text("0042"), 200}}},
        // APN, then dial number, then user 00 password
        {"Set_Gprs_SvcInfo", [&](Em_Gnss& g, auto& v) { g.Set_Gprs_SvcInfo(v, svc); },
         {{86, Text("cmnet"), 200}, {88, Text("*99#"), 200}, {87, Text(std::string("user\0pw", 7)), 200}}},
        // address bytes, port 2101 high byte first (08 35), protocol
        {"Set_Gprs_Ip",
         [](Em_Gnss& g, auto& v) { g.Set_Gprs_Ip(v, Address(58, 1, 2, 3), 2101, PROTOCOL_NET_NTRIP_CLIENT); },
         {{82, Hex("3A 01 02 03 08 35 01"), 200}}},
        {"Send_Dial_Prtl", [](Em_Gnss& g, auto& v) { g.Send_Dial_Prtl(v); }, {{103, {}, 200}}},
        {"Set_Dial_Prtl", [](Em_Gnss& g, auto& v) { g.Set_Dial_Prtl(v, 0x301); }, {{102, {0x01}, 200}}},
        {"Send_Cors_Info_Auto", [](Em_Gnss& g, auto& v) { g.Send_Cors_Info_Auto(v); }, {{108, {}, 200}}},
        // mount 00 mode 00 user 00 password 00; mode 3 is '-'
        {"Set_Cors_Info_Auto", [](Em_Gnss& g, auto& v) { g.Set_Cors_Info_Auto(v, Cors("MP", "u", "p"), 3); },
         {{107, Text(std::string("MP\0-\0u\0p\0", 9)), 200}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::OldProtocol);
        std::vector<_STR_CMD> out;
        row.call(*rig.gnss, out);
        ExpectPackets(out, row.packets);
    }
}

TEST(ModemCmd, SourceTableRequestIsAPacketAndAVmFrame) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Send_Gprs_GetList(out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(ReadModule(out[0]).id, 116);
    EXPECT_EQ(out[0].delay, 200u);
    // VM | head 1B (class 11) | 01 | XOR 00
    EXPECT_EQ(Data(out[1]), Hex("24 24 56 4D 1B 01 01 00 0D 0A"));
    EXPECT_EQ(out[1].delay, 200u);
}

// A module whose version uses the newer parameter layout is asked with the
// newer ids, and takes the server by name.
TEST(ModemCmd, NewerModuleLayoutAfterTheVersionReply) {
    Rig rig(Receiver::OldProtocol);
    rig.Receive(VersionReply("3.60"));
    ASSERT_EQ(rig.Old()->Modem().newLayout, 1);
    std::vector<_STR_CMD> out;
    rig.gnss->Get_Gprs_Info(out);
    rig.gnss->Set_Gprs_Ip(out, Address(0, 0, 0, 0, "caster.example"), 2101, PROTOCOL_NET_NTRIP_CLIENT);
    Bytes byName = Text("caster.example");
    for (uint8_t b : {0x00, 0x08, 0x35, 0x01}) byName.push_back(b);
    ExpectPackets(out, {{115, {}, 200}, {114, byName, 200}});

    // An older version keeps the first layout.
    Rig older(Receiver::OldProtocol);
    older.Receive(VersionReply("2.87"));
    ASSERT_TRUE(older.Old()->ModuleVersionSeen());
    out.clear();
    older.gnss->Get_Gprs_Info(out);
    ExpectPackets(out, {{89, {}, 200}});
}

TEST(ModemCmd, HostTextIsBoundedByItsLength) {
    const struct {
        uint32_t stated;
        size_t sent;
    } rows[] = {{0, 0}, {5, 5}, {32, 32}, {33, 32}, {1000, 32}, {0xFFFFFFFFu, 0} /* a negative length */};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stated);
        Rig rig(Receiver::OldProtocol);
        rig.Old()->modem.newLayout = 1;
        IP_ADRES ip{};
        std::memset(ip.text, 'h', sizeof ip.text);  // a full field, no terminator
        ip.textLength = row.stated;
        std::vector<_STR_CMD> out;
        rig.gnss->Set_Gprs_Ip(out, ip, 80, PROTOCOL_NET_TCP_DIRECT);
        ASSERT_EQ(out.size(), 1u);
        const Module m = ReadModule(out[0]);
        ASSERT_TRUE(m.ok);
        Bytes expected(row.sent, 'h');
        for (uint8_t b : {0x00, 0x00, 0x50, 0x03}) expected.push_back(b);
        EXPECT_EQ(m.data, expected);
    }
}

// Texts from a caller are cut to the fields that hold them.
TEST(ModemCmd, CallerTextsAreCutToTheirFields) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    const std::string number(80, '7');
    rig.gnss->Set_GSM_NumInfo(out, number.c_str());
    const Bytes id(300, 'B');
    rig.gnss->Set_Gprs_BaseId(out, id.data(), unsigned(id.size()));
    SvcInfo svc;
    std::memset(&svc, 'x', sizeof svc);  // four full fields, none terminated
    rig.gnss->Set_Gprs_SvcInfo(out, svc);
    ExpectPackets(out, {{113, {0x00}, 2000},
                        {88, Bytes(55, '7'), 200},
                        {94, Bytes(20, 'B'), 200},
                        {86, Bytes(55, 'x'), 200},
                        {88, Bytes(55, 'x'), 200},
                        {87, [] {
                             Bytes b(55, 'x');
                             b.push_back(0);
                             b.insert(b.end(), 55, 'x');
                             return b;
                         }(),
                         200}});

    // Missing texts send nothing.
    out.clear();
    rig.gnss->Set_GSM_NumInfo(out, nullptr);
    rig.gnss->Set_Gprs_BaseId(out, nullptr, 4);
    EXPECT_TRUE(out.empty());
}

TEST(ModemCmd, AutoLoginTooLongForTheModemIsNotSent) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Set_Cors_Info_Auto(out, Cors(std::string(20, 'm'), std::string(10, 'u'), std::string(20, 'p')), 1);
    EXPECT_TRUE(out.empty());
    rig.gnss->Set_Cors_Info_Auto(out, Cors(std::string(19, 'm'), std::string(10, 'u'), std::string(20, 'p')), 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(ReadModule(out[0]).data.size(), 54u);
}

// The login through the protocol object: the request split over VL frames
// joins back to exactly the text of the login.
TEST(ModemCmd, NtripLoginOnTheOldProtocol) {
    Rig rig(Receiver::OldProtocol);
    const cors_info c = Cors("RTCM3_MAX", "field", "secret");
    std::vector<_STR_CMD> out;
    rig.gnss->Set_Cors_Login(out, c);
    std::string joined;
    for (const _STR_CMD& f : out) {
        const Dollar d = ReadDollar(f);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.letters, "VL");
        EXPECT_LE(d.payload.size(), 55u);
        EXPECT_EQ(f.delay, 100u);
        joined.append(d.payload.begin(), d.payload.end());
    }
    EXPECT_EQ(joined, BuildNtripRequest(c));
    EXPECT_EQ(joined.substr(0, 15), "GET /RTCM3_MAX ");
    // "field:secret" is ZmllbGQ6c2VjcmV0 in Base64.
    EXPECT_NE(joined.find("Authorization: Basic ZmllbGQ6c2VjcmV0\r\n\r\n"), std::string::npos);
}

// The network-link commands on the new-protocol board.
TEST(ModemCmd, NewProtocolNetworkLinkCommands) {
    const cors_info c = Cors("MOUNT", "user", "pass");
    Bytes account = Text("user");
    account.resize(50);
    account.insert(account.end(), {'p', 'a', 's', 's'});
    account.resize(70);
    Bytes mount = Text("MOUNT");
    mount.resize(20);
    // 4355: address (58.1.2.3, first number most significant), port 2101, 1 (host text given), 50 bytes of host
    Bytes server = Hex("3A 01 02 03 08 35 01");
    Bytes host = Text("caster");
    host.resize(50);
    server.insert(server.end(), host.begin(), host.end());
    const struct {
        const char* name;
        Export call;
        uint32_t commandId;
        std::vector<TlvItemRead> items;
    } rows[] = {
        {"Set_Cors_Login", [&](Em_Gnss& g, auto& v) { g.Set_Cors_Login(v, c); }, 4359,
         {{1, {0, 46}}, {4363, account}, {4362, mount}, {4359, {}}}},
        {"Set_Cors_Info_Auto", [&](Em_Gnss& g, auto& v) { g.Set_Cors_Info_Auto(v, c, 2); }, 4361,
         {{1, {0, 46}}, {4363, account}, {4362, mount}, {4361, {1}}}},
        {"Send_Cors_Info_Auto", [](Em_Gnss& g, auto& v) { g.Send_Cors_Info_Auto(v); }, 0,
         {{1, {0, 47}}, {4363, {}}, {4362, {}}, {4361, {}}}},
        {"Set_Gprs_Ip",
         [](Em_Gnss& g, auto& v) {
             g.Set_Gprs_Ip(v, Address(58, 1, 2, 3, "caster"), 2101, PROTOCOL_NET_NTRIP_CLIENT);
         },
         4355, {{1, {0, 46}}, {4355, server}}},
        {"Send_Gprs_DisConct", [](Em_Gnss& g, auto& v) { g.Send_Gprs_DisConct(v); }, 4360, {{1, {0, 46}}, {4360, {}}}},
        {"Send_Gprs_GetList", [](Em_Gnss& g, auto& v) { g.Send_Gprs_GetList(v); }, 4358, {{1, {0, 47}}, {4358, {}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::NewProtocol);
        std::vector<_STR_CMD> out;
        row.call(*rig.gnss, out);
        ExpectTlv(out, row.commandId, row.items);
    }
}

// A full account and mount point go out whole; an address without host text
// says so.
TEST(ModemCmd, NewProtocolFieldsAtTheirLimits) {
    cors_info c;
    std::memset(c.mountPoint, 'M', sizeof c.mountPoint);
    std::memset(c.userName, 'U', sizeof c.userName);
    std::memset(c.password, 'P', sizeof c.password);
    Rig rig(Receiver::NewProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Set_Cors_Login(out, c);
    Bytes account(50, 'U');
    account.insert(account.end(), 20, 'P');
    ExpectTlv(out, 4359, {{1, {0, 46}}, {4363, account}, {4362, Bytes(20, 'M')}, {4359, {}}});

    out.clear();
    rig.gnss->Set_Gprs_Ip(out, Address(10, 0, 0, 1), 0x12345, PROTOCOL_NET_TCP_DIRECT);
    Bytes server = Hex("0A 00 00 01 23 45 00");  // the port's low 16 bits; no host text
    server.resize(57);
    ExpectTlv(out, 4355, {{1, {0, 46}}, {4355, server}});
}

// WirelessInfo from a modem-parameters reply of the first layout.
TEST(ModemCmd, WirelessInfoFromTheParameterReply) {
    Rig rig(Receiver::OldProtocol);
    // Packet offsets 7-10 address, 11-12 port, 13 protocol letter, 23/24 text5,
    // 39/40 text4, 71 online flag, 72/73 text1, 104/105 text3 00 text2.
    Bytes packet(120, 0);
    auto put = [&](size_t at, const std::string& s) { std::copy(s.begin(), s.end(), packet.begin() + long(at)); };
    packet[7] = 58;
    packet[8] = 1;
    packet[9] = 2;
    packet[10] = 3;
    packet[11] = 0x08;
    packet[12] = 0x35;
    packet[13] = 'T';  // NTRIP client
    packet[23] = 4;
    put(24, "*99#");
    packet[39] = 5;
    put(40, "cmnet");
    packet[71] = 1;
    packet[72] = 4;
    put(73, "0042");
    packet[104] = 10;
    put(105, std::string("user\0pass\0", 10));
    const Bytes data(packet.begin() + 7, packet.end());
    rig.Receive(ReplyFrame("VI", ModuleReply(89, data)));

    WirelessInfo info;
    std::memset(&info, 0xEE, sizeof info);
    rig.gnss->GetInfo_Gprs_Info(info);
    EXPECT_EQ(Bytes(info.address.ip, info.address.ip + 4), Hex("3A 01 02 03"));
    EXPECT_EQ(info.address.textLength, 0u);
    EXPECT_EQ(info.port, 2101u);
    EXPECT_EQ(info.protocol, uint32_t(PROTOCOL_NET_NTRIP_CLIENT));
    EXPECT_EQ(info.workMode, 1u);
    EXPECT_STREQ(info.baseId, "0042");
    EXPECT_STREQ(info.userName, "user");
    EXPECT_STREQ(info.password, "pass");
    EXPECT_STREQ(info.apn, "cmnet");
    EXPECT_STREQ(info.dialNumber, "*99#");
    // No version yet: nothing offered beyond the two first protocols.
    EXPECT_EQ(info.linkOptions, 0u);
    EXPECT_EQ(info.protocolOffers, 0x00030000u);
    // Every byte of the record is written: none of the 0xEE fill is left.
    const auto* raw = reinterpret_cast<const uint8_t*>(&info);
    for (size_t i = 0; i < sizeof info; ++i) ASSERT_NE(raw[i], 0xEE) << i;
}

TEST(ModemCmd, WirelessInfoOffersByModuleVersion) {
    const struct {
        const char* version;
        uint32_t options;
        uint32_t offers;
    } rows[] = {
        {"2.87", 0x00690000, 0x00030000},
        {"2.88", 0x00140000 | 0x00E90000, 0x00070000},  // 2.88 is of the newer layout
        {"2.98", 0x00140000 | 0x00690000, 0x00070000},
        {"3.58", 0x00690000, 0x00030000},
        {"3.59", 0x00140000 | 0x00E90000, 0x00070000},
        {"3.69", 0x00140000 | 0x00020000 | 0x00690000, 0x00070000},
        {"4.70", 0x00140000 | 0x00020000 | 0x00E90000, 0x00070000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.version);
        Rig rig(Receiver::OldProtocol);
        rig.Receive(VersionReply(row.version));
        ASSERT_TRUE(rig.Old()->ModuleVersionSeen());
        WirelessInfo info{};
        rig.gnss->GetInfo_Gprs_Info(info);
        EXPECT_EQ(info.linkOptions, row.options);
        EXPECT_EQ(info.protocolOffers, row.offers);
    }
}

TEST(ModemCmd, GettersReadTheModemRecord) {
    Rig rig(Receiver::OldProtocol);
    ModemRecord& m = rig.Old()->modem;
    m.signalRaw = 23;
    m.status = 3;
    m.error = 5;
    m.loginMode = 2;
    m.version = 3.6;
    m.statusByte4 = 7;
    m.cors = Cors("MP", "u", "p");
    m.corsAuto = 1;
    const std::string table = "SOURCETABLE 200 OK\r\nSTR;MP;";
    std::memcpy(m.sourceTable, table.data(), table.size());
    m.sourceTableLength = uint32_t(table.size());

    EXPECT_EQ(rig.gnss->GetInfo_Gprs_Signa(), 23);
    EXPECT_EQ(rig.gnss->GetInfo_Gprs_Status(), gprs_status(3));
    EXPECT_EQ(rig.gnss->GetInfo_Gprs_Eroinfo(), gprs_ero(5));
    EXPECT_EQ(rig.gnss->GetInfo_Gprs_CosMdl(), 2);
    EXPECT_EQ(rig.gnss->GetInfo_Gprs_Version(), 3.6);
    EXPECT_EQ(rig.gnss->Get_Dial_Prtl(), 7u);
    cors_info c{};
    int mode = -5;
    rig.gnss->Get_Cors_Info_Auto(c, mode);
    EXPECT_EQ(std::memcmp(&c, &m.cors, sizeof c), 0);
    EXPECT_EQ(mode, 1);
    std::vector<char> text(ModemRecord::kSourceTableSize, '#');
    int length = -1;
    rig.gnss->Get_Gprs_GetList(text.data(), &length);
    ASSERT_EQ(length, int(table.size()));
    EXPECT_EQ(std::string(text.data(), table.size()), table);
    EXPECT_EQ(text[table.size()], '#');

    // A stored length beyond the chunk buffer is cut to it.
    m.sourceTableLength = 100000;
    rig.gnss->Get_Gprs_GetList(text.data(), &length);
    EXPECT_EQ(length, int(ModemRecord::kSourceTableSize));
}

// Where a getter does not apply it returns its failure value and leaves its
// outputs as they were.
TEST(ModemCmd, GettersOnReceiversTheyDoNotApplyTo) {
    for (Receiver kind : {Receiver::OtherMaker, Receiver::NewProtocol, Receiver::NoBoard, Receiver::NoFormat}) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        EXPECT_EQ(rig.gnss->GetInfo_Gprs_Signa(), -1);
        EXPECT_EQ(rig.gnss->GetInfo_Gprs_Status(), gprs_status(-1));
        EXPECT_EQ(rig.gnss->GetInfo_Gprs_Eroinfo(), gprs_ero(-1));
        EXPECT_EQ(rig.gnss->GetInfo_Gprs_CosMdl(), -1);
        EXPECT_EQ(rig.gnss->GetInfo_Gprs_Version(), -1.0);
        EXPECT_EQ(rig.gnss->Get_Dial_Prtl(), 0u);
        WirelessInfo info;
        std::memset(&info, 0xA5, sizeof info);
        rig.gnss->GetInfo_Gprs_Info(info);
        const auto* raw = reinterpret_cast<const uint8_t*>(&info);
        for (size_t i = 0; i < sizeof info; ++i) ASSERT_EQ(raw[i], 0xA5) << i;
        cors_info c;
        std::memset(&c, 0xA5, sizeof c);
        int mode = 42;
        rig.gnss->Get_Cors_Info_Auto(c, mode);
        EXPECT_EQ(mode, 42);
        EXPECT_EQ(uint8_t(c.mountPoint[0]), 0xA5);
        char text[4] = {'a', 'b', 'c', 'd'};
        int length = 42;
        rig.gnss->Get_Gprs_GetList(text, &length);
        EXPECT_EQ(length, 42);
        EXPECT_EQ(text[0], 'a');
    }
}

// Which receiver each command reaches. Where it does not apply, nothing is
// appended and what the vector held stays as it was.
TEST(ModemCmd, GateMatrix) {
    using R = Receiver;
    const cors_info c = Cors("MP", "u", "p");
    const SvcInfo svc{};
    const uint8_t id[] = {'1'};
    const std::set<Receiver> oldOnly = {R::OldProtocol};
    const std::set<Receiver> bothProtocols = {R::OldProtocol, R::NewProtocol};
    const struct {
        const char* name;
        Export call;
        std::set<Receiver> reaches;
    } rows[] = {
        {"Get_Gprs_Info", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Info(v); }, oldOnly},
        {"Get_Gprs_Status", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Status(v); }, oldOnly},
        {"Get_Gprs_Signal", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Signal(v); }, oldOnly},
        {"Get_Gprs_Eroinfo", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Eroinfo(v); }, oldOnly},
        {"Get_Gprs_Reset", [](Em_Gnss& g, auto& v) { g.Get_Gprs_Reset(v); }, oldOnly},
        {"Get_Gprs_CosMdl", [](Em_Gnss& g, auto& v) { g.Get_Gprs_CosMdl(v); }, oldOnly},
        {"Set_Gprs_CosMdl", [](Em_Gnss& g, auto& v) { g.Set_Gprs_CosMdl(v, 1); }, oldOnly},
        {"Send_Gprs_DisConct", [](Em_Gnss& g, auto& v) { g.Send_Gprs_DisConct(v); }, bothProtocols},
        {"Set_GSM_NumInfo", [](Em_Gnss& g, auto& v) { g.Set_GSM_NumInfo(v, "1"); }, oldOnly},
        {"Set_Gprs_Modle", [](Em_Gnss& g, auto& v) { g.Set_Gprs_Modle(v, GPRS_MODLE_BASE); }, oldOnly},
        {"Set_Gprs_BaseId", [&](Em_Gnss& g, auto& v) { g.Set_Gprs_BaseId(v, id, 1); }, oldOnly},
        {"Set_Gprs_SvcInfo", [&](Em_Gnss& g, auto& v) { g.Set_Gprs_SvcInfo(v, svc); }, oldOnly},
        {"Set_Gprs_Ip", [](Em_Gnss& g, auto& v) { g.Set_Gprs_Ip(v, Address(1, 2, 3, 4), 1, PROTOCOL_NET_ZELT); },
         bothProtocols},
        {"Send_Dial_Prtl", [](Em_Gnss& g, auto& v) { g.Send_Dial_Prtl(v); }, oldOnly},
        {"Set_Dial_Prtl", [](Em_Gnss& g, auto& v) { g.Set_Dial_Prtl(v, 1); }, oldOnly},
        {"Send_Cors_Info_Auto", [](Em_Gnss& g, auto& v) { g.Send_Cors_Info_Auto(v); }, bothProtocols},
        {"Set_Cors_Info_Auto", [&](Em_Gnss& g, auto& v) { g.Set_Cors_Info_Auto(v, c, 1); }, bothProtocols},
        {"Send_Gprs_GetList", [](Em_Gnss& g, auto& v) { g.Send_Gprs_GetList(v); }, bothProtocols},
        {"Set_Cors_Login", [&](Em_Gnss& g, auto& v) { g.Set_Cors_Login(v, c); }, bothProtocols},
    };
    _STR_CMD queued{};
    queued.data[0] = 0x5A;
    queued.length = 1;
    queued.delay = 7;
    for (const auto& row : rows) {
        for (Receiver kind : kAllReceivers) {
            SCOPED_TRACE(std::string(row.name) + " on " + Name(kind));
            Rig rig(kind);
            std::vector<_STR_CMD> out(1, queued);
            row.call(*rig.gnss, out);
            ASSERT_GE(out.size(), 1u);
            EXPECT_EQ(std::memcmp(&out[0], &queued, sizeof queued), 0);
            EXPECT_EQ(out.size() > 1, row.reaches.count(kind) == 1);
        }
    }
    // The version request reaches the old protocol only, and only once the
    // device information has come.
    for (Receiver kind : kAllReceivers) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        if (Em_Format_OrvelNav* old = rig.Old()) old->deviceInfoSeen = 1;
        std::vector<_STR_CMD> out;
        EXPECT_EQ(rig.gnss->Send_Gprs_Version(out), kind == R::OldProtocol);
        EXPECT_EQ(out.size(), kind == R::OldProtocol ? 1u : 0u);
    }
}
