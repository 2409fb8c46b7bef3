// Device-level commands of the maker's receivers: the exact frames and delays
// of the old protocol, the new-protocol commands of the same exports, and
// which receivers each export reaches.
#include "OldCmdFixtures.h"
#include "OldCmdRig.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

using Export = std::function<void(Em_Gnss&, std::vector<_STR_CMD>&)>;

struct Expected {
    std::string hex;
    uint32_t delay;
};

void ExpectRecords(const std::vector<_STR_CMD>& out, const std::vector<Expected>& expected) {
    ASSERT_EQ(out.size(), expected.size());
    for (size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Data(out[i]), Hex(expected[i].hex));
        EXPECT_EQ(out[i].delay, expected[i].delay);
        // Nothing of an earlier command is left behind the frame.
        for (size_t b = out[i].length; b < sizeof out[i].data; ++b) ASSERT_EQ(out[i].data[b], 0) << b;
    }
}

const OV_COM_BAUD_ENUM kBaud9600 = OV_COM_BAUD_9600;
const OV_COM_BAUD_ENUM kBaud115200 = OV_COM_BAUD_115200;
const OV_COM_PORT_ENUM kPort1 = OV_COM_PORT_ENUM(1);

}  // namespace

// Every export of the old protocol on a serial link: frame bytes and delay.
TEST(OldCmdDevice, GoldenFramesOnTheOldProtocol) {
    const struct {
        const char* name;
        Export call;
        std::vector<Expected> records;
    } rows[] = {
        // $$ | S I | head 18 (class 8, mode 1) | length 0 | XOR 02 | CR LF
        {"Get_DeviceInfo", [](Em_Gnss& g, auto& v) { g.Get_DeviceInfo(v); }, {{"24 24 53 49 18 00 02 0D 0A", 200}}},
        {"Get_200Data on", [](Em_Gnss& g, auto& v) { g.Get_200Data(v, true); },
         {{"24 24 52 47 18 01 C8 C4 0D 0A", 100}}},
        {"Get_200Data off", [](Em_Gnss& g, auto& v) { g.Get_200Data(v, false); },
         {{"24 24 52 47 18 01 00 0C 0D 0A", 100}}},
        {"Get_Battery", [](Em_Gnss& g, auto& v) { g.Get_Battery(v); }, {{"24 24 53 44 18 00 0F 0D 0A", 200}}},
        {"Get_CloseReceiver", [](Em_Gnss& g, auto& v) { g.Get_CloseReceiver(v); },
         {{"24 24 53 47 18 01 00 0D 0D 0A", 200}}},
        {"Get_Cmd_Com_Baudrate 115200", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Com_Baudrate(v, &kBaud115200, kPort1); },
         {{"24 24 53 42 18 01 FD F5 0D 0A", 200}}},
        // ST, payload 01 FE (pass-through) / 00 (own working mode)
        {"Get_OvMdl 1", [](Em_Gnss& g, auto& v) { g.Get_OvMdl(v, 1); }, {{"24 24 53 54 18 02 01 FE E2 0D 0A", 100}}},
        {"Get_OvMdl 2", [](Em_Gnss& g, auto& v) { g.Get_OvMdl(v, 2); }, {{"24 24 53 54 18 01 00 1E 0D 0A", 100}}},
        {"Send_Gprs_DiffInfo", [](Em_Gnss& g, auto& v) { g.Send_Gprs_DiffInfo(v); },
         {{"24 24 52 58 18 00 12 0D 0A", 200}}},
        {"Send_DevcInfo_Update_Str", [](Em_Gnss& g, auto& v) { g.Send_DevcInfo_Update_Str(v); },
         {{"24 24 53 53 18 02 01 06 1D 0D 0A", 100}}},
        // SJ | code 61 | distance 0x1234 low byte first
        {"Set_DevcInfo_AutoBaseDist", [](Em_Gnss& g, auto& v) { g.Set_DevcInfo_AutoBaseDist(v, 0x1234); },
         {{"24 24 53 4A 18 03 61 34 12 45 0D 0A", 200}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::OldProtocol);
        std::vector<_STR_CMD> out;
        row.call(*rig.gnss, out);
        ExpectRecords(out, row.records);
    }
}

TEST(OldCmdDevice, BluetoothLinkPacksInMode3) {
    Rig rig(Receiver::OldProtocol, MAINBD_NOVATEL_OEM, COM_STATUS_BLUETOOTH);
    std::vector<_STR_CMD> out;
    rig.gnss->Get_DeviceInfo(out);
    rig.gnss->Set_DevcInfo_AutoBaseDist(out, 0x1234);
    // head byte 38: class 8, mode 3
    ExpectRecords(out, {{"24 24 53 49 38 00 22 0D 0A", 200}, {"24 24 53 4A 38 03 61 34 12 65 0D 0A", 200}});
}

TEST(OldCmdDevice, PortRateCommandByBaudCode) {
    const struct {
        int32_t code;
        uint8_t index;
    } rows[] = {{3, 220}, {5, 238}, {6, 247}, {8, 250}, {9, 253},
                // codes without a command of their own get the 9600 command
                {4, 220}, {12, 220}, {0, 220}, {-1, 220}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        Rig rig(Receiver::OldProtocol);
        std::vector<_STR_CMD> out;
        const OV_COM_BAUD_ENUM baud = OV_COM_BAUD_ENUM(row.code);
        rig.gnss->Get_Cmd_Com_Baudrate(out, &baud, kPort1);
        ASSERT_EQ(out.size(), 1u);
        const Dollar d = ReadDollar(out[0]);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.letters, "SB");
        EXPECT_EQ(d.payload, Bytes{row.index});
        EXPECT_EQ(out[0].delay, 200u);
    }
    // The old protocol cannot ask for the rate: no command at all.
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Get_Cmd_Com_Baudrate(out, nullptr, kPort1);
    EXPECT_TRUE(out.empty());
}

TEST(OldCmdDevice, OneByteSettingsSendCodeAndLowByte) {
    const struct {
        const char* name;
        void (Em_Gnss::*set)(std::vector<_STR_CMD>&, unsigned);
        uint8_t code;
    } rows[] = {
        {"OutPut", &Em_Gnss::Set_DevcInfo_OutPut, 0x28},       {"RrdTp", &Em_Gnss::Set_DevcInfo_RrdTp, 0x2A},
        {"RrdTime", &Em_Gnss::Set_DevcInfo_RrdTime, 0x2B},     {"RrdFrq", &Em_Gnss::Set_DevcInfo_RrdFrq, 0x31},
        {"Mask", &Em_Gnss::Set_DevcInfo_Mask, 0x32},           {"TrsmtPort", &Em_Gnss::Set_DevcInfo_TrsmtPort, 0x3E},
        {"TrsmtFmat", &Em_Gnss::Set_DevcInfo_TrsmtFmat, 0x3F}, {"StrtTp", &Em_Gnss::Set_DevcInfo_StrtTp, 0x60},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::OldProtocol);
        std::vector<_STR_CMD> out;
        (rig.gnss.get()->*row.set)(out, 0x1234);
        ASSERT_EQ(out.size(), 1u);
        // SJ | code | 34 (the low byte of 0x1234) | XOR
        const uint8_t x = uint8_t(0x53 ^ 0x4A ^ 0x18 ^ 0x02 ^ row.code ^ 0x34);
        EXPECT_EQ(Data(out[0]), Bytes({0x24, 0x24, 0x53, 0x4A, 0x18, 0x02, row.code, 0x34, x, 0x0D, 0x0A}));
        EXPECT_EQ(out[0].delay, 200u);
    }
}

TEST(OldCmdDevice, FirmwareUpdateBlock) {
    Rig rig(Receiver::OldProtocol);
    Bytes block(128);
    for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i * 7 + 1);
    std::vector<_STR_CMD> out;
    rig.gnss->Send_DevcInfo_Update_Crs(out, 0x12345, block.data(), 128);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].delay, 100u);
    const Dollar d = ReadDollar(out[0]);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.letters, "SX");
    EXPECT_EQ(d.head, 0x18);
    // 00 00 00 | index bits 8-15 (23) | bits 0-7 (45) | the 128 block bytes
    Bytes expected = {0x00, 0x00, 0x00, 0x23, 0x45};
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(d.payload, expected);
}

// A short last block: only `length` bytes are read (ASan sees any read past
// the 10-byte buffer), the rest of the block is zero.
TEST(OldCmdDevice, ShortFirmwareBlockIsPaddedNotOverread) {
    Rig rig(Receiver::OldProtocol);
    const auto last = std::make_unique<uint8_t[]>(10);
    for (int i = 0; i < 10; ++i) last[i] = uint8_t(0xA0 + i);
    std::vector<_STR_CMD> out;
    rig.gnss->Send_DevcInfo_Update_Crs(out, 7, last.get(), 10);
    ASSERT_EQ(out.size(), 1u);
    const Dollar d = ReadDollar(out[0]);
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.payload.size(), 133u);
    EXPECT_EQ(Bytes(d.payload.begin(), d.payload.begin() + 15),
              Hex("00 00 00 00 07 A0 A1 A2 A3 A4 A5 A6 A7 A8 A9"));
    for (size_t i = 15; i < 133; ++i) EXPECT_EQ(d.payload[i], 0) << i;

    // A length above 128 still reads 128 bytes; a missing block sends nothing.
    Bytes full(128, 0x55);
    out.clear();
    rig.gnss->Send_DevcInfo_Update_Crs(out, 1, full.data(), 4096);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(ReadDollar(out[0]).payload.size(), 133u);
    out.clear();
    rig.gnss->Send_DevcInfo_Update_Crs(out, 1, nullptr, 128);
    EXPECT_TRUE(out.empty());
}

// The same exports on the new-protocol board: one new-protocol command each.
TEST(OldCmdDevice, NewProtocolCommandsOfTheSameExports) {
    const struct {
        const char* name;
        Export call;
        uint32_t commandId;
        std::vector<TlvItemRead> items;
    } rows[] = {
        // operation item 00 01 (u16 value), then the parameter item
        {"Get_Battery", [](Em_Gnss& g, auto& v) { g.Get_Battery(v); }, 0, {{1, {0x00, 11}}, {772, {}}}},
        {"Get_CloseReceiver", [](Em_Gnss& g, auto& v) { g.Get_CloseReceiver(v); }, 771, {{1, {0x00, 10}}, {771, {}}}},
        {"Get_OvMdl", [](Em_Gnss& g, auto& v) { g.Get_OvMdl(v, 1); }, 264, {{1, {0x00, 2}}, {264, {0x00, 1}}}},
        {"Get_Cmd_Com_Baudrate set", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Com_Baudrate(v, &kBaud9600, kPort1); }, 259,
         {{1, {0x00, 2}}, {260, {0x00, 1}}, {259, {0x00, 3}}}},
        {"Get_Cmd_Com_Baudrate query", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Com_Baudrate(v, nullptr, kPort1); }, 259,
         {{1, {0x00, 3}}, {260, {0x00, 1}}, {259, {}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::NewProtocol);
        std::vector<_STR_CMD> out;
        row.call(*rig.gnss, out);
        ASSERT_EQ(out.size(), 1u);
        const TlvCommand c = ReadTlv(out);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(c.commandId, row.commandId);
        ASSERT_EQ(c.items.size(), row.items.size());
        for (size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ(c.items[i].id, row.items[i].id) << i;
            EXPECT_EQ(c.items[i].value, row.items[i].value) << i;
        }
    }
}

TEST(OldCmdDevice, NewProtocolCommandsContinueTheFrameSequence) {
    ResetLinkSequence(249);
    Rig rig(Receiver::NewProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Get_Battery(out);
    rig.gnss->Get_CloseReceiver(out);
    rig.gnss->Get_OvMdl(out, 2);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].data[3], 249);
    EXPECT_EQ(out[1].data[3], 250);
    EXPECT_EQ(out[2].data[3], 0);
}

// Which receiver each export reaches. Where it does not apply, nothing is
// appended and what the vector held stays as it was.
TEST(OldCmdDevice, GateMatrix) {
    using R = Receiver;
    const struct {
        const char* name;
        Export call;
        std::set<Receiver> reaches;
    } rows[] = {
        {"Get_DeviceInfo", [](Em_Gnss& g, auto& v) { g.Get_DeviceInfo(v); },
         {R::OldProtocol, R::NewProtocol, R::NoBoard}},
        {"Get_200Data", [](Em_Gnss& g, auto& v) { g.Get_200Data(v, true); }, {R::OldProtocol}},
        {"Get_Battery", [](Em_Gnss& g, auto& v) { g.Get_Battery(v); }, {R::OldProtocol, R::NewProtocol}},
        {"Get_CloseReceiver", [](Em_Gnss& g, auto& v) { g.Get_CloseReceiver(v); }, {R::OldProtocol, R::NewProtocol}},
        {"Get_Cmd_Com_Baudrate", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Com_Baudrate(v, &kBaud9600, kPort1); },
         {R::OldProtocol, R::NewProtocol}},
        {"Get_Cmd_Com_Baudrate query", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Com_Baudrate(v, nullptr, kPort1); },
         {R::NewProtocol}},
        {"Get_OvMdl", [](Em_Gnss& g, auto& v) { g.Get_OvMdl(v, 1); }, {R::OldProtocol, R::NewProtocol}},
        {"Send_Gprs_DiffInfo", [](Em_Gnss& g, auto& v) { g.Send_Gprs_DiffInfo(v); }, {R::OldProtocol}},
        {"Send_DevcInfo_Update_Str", [](Em_Gnss& g, auto& v) { g.Send_DevcInfo_Update_Str(v); }, {R::OldProtocol}},
        {"Send_DevcInfo_Update_Crs",
         [](Em_Gnss& g, auto& v) {
             const Bytes block(128, 1);
             g.Send_DevcInfo_Update_Crs(v, 0, block.data(), 128);
         },
         {R::OldProtocol}},
        {"Set_DevcInfo_OutPut", [](Em_Gnss& g, auto& v) { g.Set_DevcInfo_OutPut(v, 1); }, {R::OldProtocol}},
        {"Set_DevcInfo_StrtTp", [](Em_Gnss& g, auto& v) { g.Set_DevcInfo_StrtTp(v, 1); }, {R::OldProtocol}},
        {"Set_DevcInfo_AutoBaseDist", [](Em_Gnss& g, auto& v) { g.Set_DevcInfo_AutoBaseDist(v, 100); },
         {R::OldProtocol, R::NewProtocol, R::NoBoard}},
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
            // The maker's old-protocol exports reach every old-protocol board.
            EXPECT_TRUE(rig.recorder.commands.empty());
        }
    }
}

TEST(OldCmdDevice, OldGateHoldsForEveryOldBoardType) {
    for (MAINBD_OEM_TYPE t : {MAINBD_TRIMBLE_BD, MAINBD_NOVATEL_OEM, MAINBD_ORVEL_OLD, MAINBD_HEMISPHERE}) {
        SCOPED_TRACE(t);
        Rig rig(Receiver::OldProtocol, t);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_200Data(out, false);
        rig.gnss->Get_Battery(out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(ReadDollar(out[1]).letters, "SD");
    }
}

// The replies the raw-data and firmware requests bring back, read once they
// are decoded.
TEST(OldCmdDevice, DifferentialInformationAndFirmwareDebugReadBack) {
    Rig rig(Receiver::OldProtocol);
    rig.Receive(ReplyFrame("RX", Hex("01 02 03 04 05")));
    rig.Receive(ReplyFrame("VY", Hex("AA BB CC")));

    uint8_t raw[200];
    std::memset(raw, 0xEE, sizeof raw);
    int n = -1;
    rig.gnss->Get_Gprs_DiffInfo(raw, &n);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(Bytes(raw, raw + 6), Hex("01 02 03 04 05 EE"));

    FIRMWARE_DEBUG debug;
    std::memset(&debug, 0xEE, sizeof debug);
    rig.gnss->Get_FirmWare_Db(255, debug);  // no other key is kept
    EXPECT_EQ(debug.length, 0xEEEEEEEEu);
    rig.gnss->Get_FirmWare_Db(256, debug);
    EXPECT_EQ(debug.length, 3u);
    EXPECT_EQ(Bytes(debug.data, debug.data + 3), Hex("AA BB CC"));
    // Handed out once: then an empty record until the next reply.
    rig.gnss->Get_FirmWare_Db(256, debug);
    EXPECT_EQ(debug.length, 0u);
    EXPECT_EQ(debug.data[0], 0);

    // Null outputs are left alone.
    rig.gnss->Get_Gprs_DiffInfo(nullptr, &n);
    rig.gnss->Get_Gprs_DiffInfo(raw, nullptr);
}

TEST(OldCmdDevice, RecordReadersOnReceiversTheyDoNotApplyTo) {
    for (Receiver kind : {Receiver::OtherMaker, Receiver::NewProtocol, Receiver::NoFormat}) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        FIRMWARE_DEBUG debug;
        std::memset(&debug, 0xEE, sizeof debug);
        rig.gnss->Get_FirmWare_Db(256, debug);
        EXPECT_EQ(debug.length, 0xEEEEEEEEu);
        uint8_t raw[4] = {1, 2, 3, 4};
        int n = 42;
        rig.gnss->Get_Gprs_DiffInfo(raw, &n);
        EXPECT_EQ(n, 42);
        EXPECT_EQ(raw[0], 1);
    }
}

// A link kind that gives no packer mode builds no frame: the records keep
// their place and delay in the sequence, empty.
TEST(OldCmdDevice, LinkWithoutPackerModeAppendsEmptyRecords) {
    Rig rig(Receiver::OldProtocol, MAINBD_NOVATEL_OEM, Com_Status(0));
    std::vector<_STR_CMD> out;
    rig.gnss->Get_DeviceInfo(out);
    rig.gnss->Set_DevcInfo_Mask(out, 10);
    rig.gnss->Set_Gprs_CosMdl(out, 1);
    ASSERT_EQ(out.size(), 4u);
    const uint32_t delays[] = {200, 200, 2000, 200};
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(out[i].length, 0u) << i;
        EXPECT_EQ(out[i].delay, delays[i]) << i;
        for (uint8_t b : out[i].data) ASSERT_EQ(b, 0);
    }
}

// The GNSS board's reset goes to the board the receiver carries: the NovAtel
// board's own lines relayed in "RZ" frames, nothing more.
TEST(OldCmdDevice, ResetRelaysTheNovAtelBoardsLines) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    std::vector<_STR_CMD> out;
    gnss.Get_Gnss_Reset(out);
    ExpectRecords(out, {
                           // $$ | R Z | head 18 | length 0C | "nvmrestore" CR LF | XOR 06 | CR LF
                           {"24 24 52 5A 18 0C 6E 76 6D 72 65 73 74 6F 72 65 0D 0A 06 0D 0A", 50},
                           // $$ | R Z | head 18 | length 08 | "freset" CR LF | XOR 0C | CR LF
                           {"24 24 52 5A 18 08 66 72 65 73 65 74 0D 0A 0C 0D 0A", 50},
                       });
}

// The maker's own board takes its reset records as they are, then the
// receiver's own reset; a receiver whose board is not known yet gets the
// receiver's reset alone; another maker's receiver gets its board's reset.
TEST(OldCmdDevice, ResetByBoardType) {
    // $$ | R K | head 18 | length 01 | FF | XOR FF | CR LF
    const Expected receiverReset{"24 24 52 4B 18 01 FF FF 0D 0A", 3000};
    {
        Rig rig(Receiver::OldProtocol, MAINBD_ORVEL_OLD);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Gnss_Reset(out);
        EXPECT_EQ(rig.recorder.commands, std::vector<std::string>{"Reset"});
        ExpectRecords(out, {receiverReset});
    }
    {
        Rig rig(Receiver::NoBoard);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Gnss_Reset(out);
        EXPECT_TRUE(rig.recorder.commands.empty());
        ExpectRecords(out, {receiverReset});
    }
    {
        Rig rig(Receiver::OtherMaker);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Gnss_Reset(out);
        EXPECT_EQ(rig.recorder.commands, std::vector<std::string>{"Reset"});
        EXPECT_TRUE(out.empty());
    }
    {
        Rig rig(Receiver::NoFormat);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Gnss_Reset(out);
        EXPECT_TRUE(out.empty());
    }
}
