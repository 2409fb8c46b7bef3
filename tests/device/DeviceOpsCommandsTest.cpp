// The receiver object's command operations write exactly what the protocol
// object builds for the attached receiver, record by record with each
// record's pause, for every kind of receiver and before and after the replies
// that change what a command looks like; a command that builds nothing still
// wakes the writer; the composite port-rate member maps the program's rate
// choice; commands from several threads reach the wire whole.

#include "tests/device/DeviceOpsHarness.h"

#include <array>
#include <cstring>
#include <latch>
#include <thread>

using namespace device_ops;

namespace {

// Arguments of the table below.
struct Args {
    std::array<unsigned char, 128> block{};
    IP_ADRES address{};
    SvcInfo service{};
    cors_info login{};
    char dialNumber[16] = "13800138000";
    unsigned char baseId[32] = {'0', '0', '4', '2'};
    OV_COM_BAUD_ENUM baud = OV_COM_BAUD_57600;

    Args() {
        for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(0x80 + i);
        address.ip[0] = 192;
        address.ip[1] = 168;
        address.ip[2] = 1;
        address.ip[3] = 10;
        address.textLength = 18;
        std::memcpy(address.text, "caster.example.net", 18);
        std::strcpy(service.userName, "surveyor");
        std::strcpy(service.password, "secret");
        std::strcpy(service.apn, "cmnet");
        std::strcpy(service.dialNumber, "*99***1#");
        std::strcpy(login.mountPoint, "RTCM32");
        std::strcpy(login.userName, "surveyor");
        std::strcpy(login.password, "secret");
    }
};

// One command member beside the protocol operation it wraps. The result of
// a member that has one is given back through `result` on both sides.
struct Row {
    const char* name;
    std::function<void(EmGnss_Receiver&, Args&, int& result)> member;
    std::function<void(Em_Gnss&, Commands&, Args&, int& result)> operation;
};

const std::vector<Row>& Table() {
    static const std::vector<Row> rows = {
        {"Send_DeviceInfo", [](auto& r, auto&, int&) { r.Send_DeviceInfo(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_DeviceInfo(v); }},
        {"Send_Battery", [](auto& r, auto&, int&) { r.Send_Battery(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Battery(v); }},
        {"Send_CloseReceiver", [](auto& r, auto&, int&) { r.Send_CloseReceiver(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_CloseReceiver(v); }},
        {"Send_Gprs_DiffInfo", [](auto& r, auto&, int&) { r.Send_Gprs_DiffInfo(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_Gprs_DiffInfo(v); }},
        {"Send_Gnss_Reset", [](auto& r, auto&, int&) { r.Send_Gnss_Reset(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Gnss_Reset(v); }},
        {"Send_DevcInfo_Update_Str", [](auto& r, auto&, int&) { r.Send_DevcInfo_Update_Str(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_DevcInfo_Update_Str(v); }},
        {"Send_DevcInfo_Update_Crs",
         [](auto& r, Args& a, int&) { r.Send_DevcInfo_Update_Crs(0x12345, a.block.data(), 128); },
         [](auto& g, auto& v, Args& a, int&) { g.Send_DevcInfo_Update_Crs(v, 0x12345, a.block.data(), 128); }},
        {"Set_DevcInfo_Mask", [](auto& r, auto&, int&) { r.Set_DevcInfo_Mask(0x10F); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_Mask(v, 0x10F); }},
        {"Set_DevcInfo_RrdTp", [](auto& r, auto&, int&) { r.Set_DevcInfo_RrdTp(2); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_RrdTp(v, 2); }},
        {"Set_DevcInfo_RrdTime", [](auto& r, auto&, int&) { r.Set_DevcInfo_RrdTime(24); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_RrdTime(v, 24); }},
        {"Set_DevcInfo_RrdFrq", [](auto& r, auto&, int&) { r.Set_DevcInfo_RrdFrq(15); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_RrdFrq(v, 15); }},
        {"Set_DevcInfo_OutPut", [](auto& r, auto&, int&) { r.Set_DevcInfo_OutPut(1); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_OutPut(v, 1); }},
        {"Set_DevcInfo_StrtTp", [](auto& r, auto&, int&) { r.Set_DevcInfo_StrtTp(2); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_StrtTp(v, 2); }},
        {"Set_DevcInfo_TrsmtPort", [](auto& r, auto&, int&) { r.Set_DevcInfo_TrsmtPort(3); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_TrsmtPort(v, 3); }},
        {"Set_DevcInfo_TrsmtFmat", [](auto& r, auto&, int&) { r.Set_DevcInfo_TrsmtFmat(6); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_TrsmtFmat(v, 6); }},
        {"Set_DevcInfo_AutoBaseDist", [](auto& r, auto&, int&) { r.Set_DevcInfo_AutoBaseDist(0x1234); },
         [](auto& g, auto& v, auto&, int&) { g.Set_DevcInfo_AutoBaseDist(v, 0x1234); }},
        {"Send_Com_Baudrate(rate, 2)", [](auto& r, Args& a, int&) { r.Send_Com_Baudrate(&a.baud, OV_COM_PORT_ENUM(2)); },
         [](auto& g, auto& v, Args& a, int&) { g.Get_Cmd_Com_Baudrate(v, &a.baud, OV_COM_PORT_ENUM(2)); }},
        {"Send_Com_Baudrate(null, 1)", [](auto& r, auto&, int&) { r.Send_Com_Baudrate(nullptr, OV_COM_PORT_ENUM(1)); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Cmd_Com_Baudrate(v, nullptr, OV_COM_PORT_ENUM(1)); }},
        {"Set_Com_Baudrate(115200, 2)",
         [](auto& r, auto&, int&) { r.Set_Com_Baudrate(OV_COM_BAUD_115200, OV_COM_PORT_ENUM(2)); },
         [](auto& g, auto& v, auto&, int&) {
             const OV_COM_BAUD_ENUM b = OV_COM_BAUD_115200;
             g.Get_Cmd_Com_Baudrate(v, &b, OV_COM_PORT_ENUM(2));
         }},
        {"Send_Gprs_Version", [](auto& r, auto&, int& res) { res = r.Send_Gprs_Version(); },
         [](auto& g, auto& v, auto&, int& res) { res = g.Send_Gprs_Version(v); }},
        {"Send_Gprs_Info", [](auto& r, auto&, int&) { r.Send_Gprs_Info(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Gprs_Info(v); }},
        {"Send_Gprs_Status", [](auto& r, auto&, int&) { r.Send_Gprs_Status(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Gprs_Status(v); }},
        {"Send_Gprs_Eroinfo", [](auto& r, auto&, int&) { r.Send_Gprs_Eroinfo(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Gprs_Eroinfo(v); }},
        {"Send_Gprs_Reset", [](auto& r, auto&, int&) { r.Send_Gprs_Reset(); },
         [](auto& g, auto& v, auto&, int&) { g.Get_Gprs_Reset(v); }},
        {"Send_Gprs_DisConct", [](auto& r, auto&, int&) { r.Send_Gprs_DisConct(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_Gprs_DisConct(v); }},
        {"Set_Gprs_Ip", [](auto& r, Args& a, int&) { r.Set_Gprs_Ip(a.address, 2101, PROTOCOL_NET_NTRIP_CLIENT); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Gprs_Ip(v, a.address, 2101, PROTOCOL_NET_NTRIP_CLIENT); }},
        {"Set_Gprs_SvcInfo", [](auto& r, Args& a, int&) { r.Set_Gprs_SvcInfo(a.service); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Gprs_SvcInfo(v, a.service); }},
        {"Set_GSM_NumInfo", [](auto& r, Args& a, int&) { r.Set_GSM_NumInfo(a.dialNumber); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_GSM_NumInfo(v, a.dialNumber); }},
        {"Set_Gprs_Modle", [](auto& r, auto&, int&) { r.Set_Gprs_Modle(GPRS_MODLE_ROVER); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Gprs_Modle(v, GPRS_MODLE_ROVER); }},
        {"Set_Gprs_Baseid", [](auto& r, Args& a, int&) { r.Set_Gprs_Baseid(a.baseId, 4); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Gprs_BaseId(v, a.baseId, 4); }},
        // A count beyond 32 bits is not cut down to a small one: the base id
        // goes out as long as its field, like with the largest 32-bit count.
        {"Set_Gprs_Baseid(2^32 + 4)", [](auto& r, Args& a, int&) { r.Set_Gprs_Baseid(a.baseId, (1UL << 32) + 4); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Gprs_BaseId(v, a.baseId, UINT32_MAX); }},
        {"Send_Dial_Prtl", [](auto& r, auto&, int&) { r.Send_Dial_Prtl(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_Dial_Prtl(v); }},
        {"Set_Dial_Prtl", [](auto& r, auto&, int&) { r.Set_Dial_Prtl(1); },
         [](auto& g, auto& v, auto&, int&) { g.Set_Dial_Prtl(v, 1); }},
        {"Set_Cors_Login", [](auto& r, Args& a, int&) { r.Set_Cors_Login(a.login); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Cors_Login(v, a.login); }},
        {"Set_Cors_Info_Auto", [](auto& r, Args& a, int&) { r.Set_Cors_Info_Auto(a.login, 1); },
         [](auto& g, auto& v, Args& a, int&) { g.Set_Cors_Info_Auto(v, a.login, 1); }},
        {"Send_Cors_Info_Auto", [](auto& r, auto&, int&) { r.Send_Cors_Info_Auto(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_Cors_Info_Auto(v); }},
        {"Send_Gprs_GetList", [](auto& r, auto&, int&) { r.Send_Gprs_GetList(); },
         [](auto& g, auto& v, auto&, int&) { g.Send_Gprs_GetList(v); }},
    };
    return rows;
}

// Runs every row on the rig and compares the receiver's writes and results
// with the twin's records and results. Returns how many rows wrote anything.
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

}  // namespace

// Every command member, on every kind of receiver, in three states: before
// any reply, after the device information (the modem commands open up), and
// after the modem's version (the newer modem layout changes the parameter
// commands). An empty expectation is compared as strictly as a full one.
TEST(DeviceOpsCommands, EveryMemberWritesWhatItsProtocolOperationBuilds) {
    OpsCallbacks::Get().Reset();
    for (Kind kind : kAllKinds) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, true);
        ASSERT_TRUE(rig.opened);
        {
            SCOPED_TRACE("before any reply");
            const size_t n = CompareTable(rig);
            if (kind == Kind::OtherMaker) EXPECT_EQ(n, 0u) << "another maker's receiver takes none of these";
            else EXPECT_GT(n, 0u);
        }
        if (kind == Kind::OtherMaker) continue;  // the maker's replies mean nothing to its format
        rig.Feed(DeviceInfoReply(), 0x80000000);
        {
            SCOPED_TRACE("after the device information");
            CompareTable(rig);
        }
        rig.Feed(ModemVersionReply(), 0x01000000);
        {
            SCOPED_TRACE("after the modem version");
            CompareTable(rig);
        }
    }
}

// The frames really differ between the states and the kinds, so that the
// comparison above is not one of empty lists: the old protocol asks for the
// modem version only after the device information, and its parameter request
// follows the modem's layout.
TEST(DeviceOpsCommands, TheStatesOfTheTableChangeWhatIsWritten) {
    OpsCallbacks::Get().Reset();
    Rig rig(Kind::OldSerial, true);
    ASSERT_TRUE(rig.opened);
    // The modem packet id sits in byte 7 of the "VS" frame ($$ V S head n 40 id).
    auto moduleId = [](const Written& w) { return w.writes.size() == 1 && w.writes[0].size() > 7 ? w.writes[0][7] : -1; };

    bool sent = true;
    EXPECT_TRUE(rig.Capture([&] { sent = rig.rx->Send_Gprs_Version(); }).writes.empty());
    EXPECT_FALSE(sent) << "no version request before the device information";
    EXPECT_EQ(moduleId(rig.Capture([&] { rig.rx->Send_Gprs_Info(); })), 89);

    rig.Feed(DeviceInfoReply(), 0x80000000);
    EXPECT_EQ(moduleId(rig.Capture([&] { sent = rig.rx->Send_Gprs_Version(); })), 95);
    EXPECT_TRUE(sent);

    rig.Feed(ModemVersionReply(), 0x01000000);
    EXPECT_EQ(moduleId(rig.Capture([&] { rig.rx->Send_Gprs_Info(); })), 115) << "the newer layout's request";
}

// The device-information request as it goes out on a serial line: one "SI"
// frame of class 8, mode 1, and its 200 ms pause.
TEST(DeviceOpsCommands, TheDeviceInformationRequestOnTheWire) {
    Rig rig(Kind::OldSerial);
    ASSERT_TRUE(rig.opened);
    const Written w = rig.Capture([&] { rig.rx->Send_DeviceInfo(); });
    ASSERT_EQ(w.writes.size(), 1u);
    // $  $  S  I  head 18 (class 8 + 16 x mode 1), length 0, XOR 53^49^18 = 02, CR LF
    EXPECT_EQ(Hex(w.writes[0]), "24 24 53 49 18 00 02 0D 0A");
    EXPECT_EQ(w.pauses, (std::vector<uint32_t>{200}));
}

// A command that builds nothing for the attached receiver still signals the
// writer. The writer is brought to wait with a record queued and no write
// signal pending: held inside a pause while three records are queued (their
// signal then stays pending), it writes the first and parks, takes the
// pending signal for the second and parks again. Only a new signal moves it
// on to the third.
TEST(DeviceOpsCommands, AnEmptyCommandListStillWakesTheWriter) {
    const struct {
        Kind kind;
        const char* name;
        std::function<void(EmGnss_Receiver&)> member;
        std::function<void(Em_Gnss&, Commands&)> operation;
    } rows[] = {
        {Kind::OtherMaker, "Send_DeviceInfo", [](EmGnss_Receiver& r) { r.Send_DeviceInfo(); },
         [](Em_Gnss& g, Commands& v) { g.Get_DeviceInfo(v); }},
        {Kind::OtherMaker, "Send_Cors_Info_Auto", [](EmGnss_Receiver& r) { r.Send_Cors_Info_Auto(); },
         [](Em_Gnss& g, Commands& v) { g.Send_Cors_Info_Auto(v); }},
        {Kind::OldSerial, "Send_Gprs_Version before the device information",
         [](EmGnss_Receiver& r) { EXPECT_FALSE(r.Send_Gprs_Version()); },
         [](Em_Gnss& g, Commands& v) { (void)g.Send_Gprs_Version(v); }},
        {Kind::NewProtocol, "Send_Gprs_Status", [](EmGnss_Receiver& r) { r.Send_Gprs_Status(); },
         [](Em_Gnss& g, Commands& v) { g.Get_Gprs_Status(v); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(row.kind);
        ASSERT_TRUE(rig.opened);
        ASSERT_TRUE(rig.Expect(Rig::Sequence(), row.operation).empty()) << "the member builds nothing here";
        OpsWorld& world = rig.world;
        const size_t w0 = world.With([&] { return rig.port->writes.size(); });

        world.With([&] { world.holdNextPause = true; });
        std::vector<_STR_CMD> hold{Record(1, 0, 0xB0)};
        rig.rx->Cmds_Write(hold);
        ASSERT_TRUE(world.WaitUntil([&] { return world.Count("held") == 1; }));
        std::vector<_STR_CMD> three{Record(1, 0, 0xB1), Record(1, 0, 0xB2), Record(1, 0, 0xB3)};
        world.With([&] { world.parkPauses = 2; });
        rig.rx->Cmds_Write(three);
        world.With([&] {
            world.releaseHold = true;
            world.changed.notify_all();
        });
        ASSERT_TRUE(world.WaitUntil([&] { return world.Count("parked") == 2; }));
        EXPECT_EQ(world.With([&] { return rig.port->writes.size(); }), w0 + 3) << "the writer waits with one record";

        row.member(*rig.rx);
        ASSERT_TRUE(world.WaitUntil([&] { return rig.port->writes.size() == w0 + 4; }))
            << "the empty command did not wake the writer";
        EXPECT_EQ(world.With([&] { return rig.port->writes.back(); }), Bytes{0xB3});
    }
}

// The program's rate choice: 1 -> 19200 (code 5), 2 -> 38400 (6), 3 -> 57600
// (8), 4 -> 115200 (9), anything else -> 9600 (3), always for port 1. The new
// protocol carries the code and the port as they are; the old one sends the
// "SB" command of the code.
TEST(DeviceOpsCommands, SetComBaudrateMapsTheRateChoice) {
    const struct {
        int choice;
        OV_COM_BAUD_ENUM code;
        const char* oldCommand;
    } rows[] = {
        {0, OV_COM_BAUD_9600, "SB,B220"},    {1, OV_COM_BAUD_19200, "SB,B238"},  {2, OV_COM_BAUD_38400, "SB,B247"},
        {3, OV_COM_BAUD_57600, "SB,B250"},   {4, OV_COM_BAUD_115200, "SB,B253"}, {5, OV_COM_BAUD_9600, "SB,B220"},
        {-1, OV_COM_BAUD_9600, "SB,B220"},   {9, OV_COM_BAUD_9600, "SB,B220"},
    };
    for (Kind kind : {Kind::OldSerial, Kind::NewProtocol}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind);
        ASSERT_TRUE(rig.opened);
        for (const auto& row : rows) {
            SCOPED_TRACE("choice " + std::to_string(row.choice));
            const uint8_t sequence = Rig::Sequence();
            const Written w =
                rig.Capture([&] { rig.rx->Set_Com_Baudrate(EmGnss_Receiver::Com_Baudrate(row.choice)); });
            const Commands expected = rig.Expect(sequence, [&](Em_Gnss& g, Commands& v) {
                g.Get_Cmd_Com_Baudrate(v, &row.code, OV_COM_PORT_ENUM(1));
            });
            ASSERT_FALSE(expected.empty());
            ExpectSame(w, expected);
            if (kind == Kind::OldSerial) {
                // "$$" frame of the text command: its tokens are the letters,
                // a B token of one byte: S B, then the byte of the rate.
                const Bytes& f = w.writes.at(0);
                ASSERT_GE(f.size(), 7u);
                EXPECT_EQ(f[2], 'S');
                EXPECT_EQ(f[3], 'B');
                const int byte = std::stoi(std::string(row.oldCommand + 4));
                EXPECT_EQ(f[6], byte) << row.oldCommand;
            }
        }
    }
}

// Commands from two threads are queued in whole-command units: the three
// modem packets of one service setting are never split by the other thread's
// packets.
TEST(DeviceOpsCommands, CommandsFromTwoThreadsReachTheWireWhole) {
    Rig rig(Kind::OldSerial);
    ASSERT_TRUE(rig.opened);
    Args a, b;
    std::strcpy(b.service.userName, "second");
    std::strcpy(b.service.apn, "other.apn");
    const Commands setA = rig.Expect(0, [&](Em_Gnss& g, Commands& v) { g.Set_Gprs_SvcInfo(v, a.service); });
    const Commands setB = rig.Expect(0, [&](Em_Gnss& g, Commands& v) { g.Set_Gprs_SvcInfo(v, b.service); });
    ASSERT_EQ(setA.size(), 3u);
    ASSERT_EQ(setB.size(), 3u);
    ASSERT_NE(Hex(Payload(setA[0])), Hex(Payload(setB[0])));
    constexpr int kRounds = 6;
    // Everything fits the queue of 40 at once: nothing is dropped while the
    // writer is held back.
    ASSERT_LE(kRounds * (setA.size() + setB.size()), EmGnss_Receiver::kMaxQueuedCommands);

    // Several runs: without the lock the two threads interleave now and then,
    // not every time.
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const Written w = rig.Capture([&] {
            rig.world.With([&] { rig.port->stallWrites = true; });
            std::latch start(2);
            auto producer = [&](const SvcInfo& service) {
                start.arrive_and_wait();
                for (int i = 0; i < kRounds; ++i) rig.rx->Set_Gprs_SvcInfo(service);
            };
            std::thread ta(producer, std::cref(a.service));
            std::thread tb(producer, std::cref(b.service));
            ta.join();
            tb.join();
            rig.world.With([&] {
                rig.port->stallWrites = false;
                rig.world.changed.notify_all();
            });
        });

        const Written wa = AsWritten(setA), wb = AsWritten(setB);
        size_t at = 0;
        int seenA = 0, seenB = 0;
        while (at < w.writes.size()) {
            const bool isA = w.writes[at] == wa.writes[0];
            const Written& next = isA ? wa : wb;
            (isA ? seenA : seenB)++;
            ASSERT_LE(at + next.writes.size(), w.writes.size()) << "a setting cut short at write " << at;
            for (size_t i = 0; i < next.writes.size(); ++i)
                ASSERT_EQ(Hex(w.writes[at + i]), Hex(next.writes[i])) << "packets interleaved at write " << at + i;
            at += next.writes.size();
        }
        EXPECT_EQ(seenA, kRounds);
        EXPECT_EQ(seenB, kRounds);
    }
}
