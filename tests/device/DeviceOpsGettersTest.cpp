// The receiver object's getters hand out what the protocol object parsed
// from the receiver's replies, exactly as the protocol object's own getters
// do; they work from inside the data callback, where the protocol lock is
// already held (and so do commands); the local setters keep their value in
// the protocol object; raw recording takes in what the port delivers.

#include "tests/device/DeviceOpsHarness.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace device_ops;

namespace {

// Replies that fill the modem record, the differential-information block and
// the firmware debug record, each with the change bit its callback carries.
const std::vector<std::pair<Bytes, unsigned>>& ModemReplies() {
    static const std::vector<std::pair<Bytes, unsigned>> replies = {
        {DeviceInfoReply(), 0x80000000},
        {ModemVersionReply(), 0x01000000},
        // 99 modem status: data byte 0 = 3 (connected to the caster)
        {ModuleReply(99, {0x03}), 0x08000000},
        // 104 modem error: data byte 1 = 5
        {ModuleReply(104, {0x00, 0x05}), 0x00100000},
        // 106 login mode: data byte 0 = 1
        {ModuleReply(106, {0x01}), 0x00400000},
        // 103 dial protocol: data byte 0 = 7
        {ModuleReply(103, {0x07}), 0x00800000},
        // 101 signal: the modem's text answer with "+CSQ:"
        {ModuleReply(101, Text("+CSQ: 23,99")), 0x00200000},
        // 108 NTRIP login read back: mount, NUL, 0x40 (automatic login 1), one
        // skipped byte, user, NUL, password, NUL
        {ModuleReply(108, [] {
             Bytes d = Text("RTCM32");
             d.push_back(0x00);
             d.push_back(0x40);
             d.push_back(0x00);
             for (uint8_t c : Text("surveyor")) d.push_back(c);
             d.push_back(0x00);
             for (uint8_t c : Text("secret")) d.push_back(c);
             d.push_back(0x00);
             return d;
         }()),
         0x00010000},
        // "VM" source-table chunk (class 11)
        {DollarFrame("VM", 0x1B, Text("STR;RTCM32;RTCM32;RTCM 3.2;")), 0x00001000},
        // "RX" differential information: five data bytes
        {DollarFrame("RX", 0x18, {0x01, 0x02, 0x03, 0x04, 0x05}), 0x00002000},
        // "VY" firmware debug: three bytes
        {DollarFrame("VY", 0x18, {0xDE, 0xAD, 0x01}), 0x00000100},
    };
    return replies;
}

template <class T>
std::string Bits(const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return Hex(Bytes(p, p + sizeof value));
}

template <class T>
T Filled() {
    T value;
    std::memset(&value, 0xCD, sizeof value);
    return value;
}

// One getter beside the protocol getter it wraps; each side renders what it
// read (out-parameters start filled with CD bytes, so "untouched" shows).
struct GetterRow {
    const char* name;
    std::function<std::string(EmGnss_Receiver&)> member;
    std::function<std::string(Em_Gnss&)> operation;
};

const std::vector<GetterRow>& Getters() {
    static const std::vector<GetterRow> rows = {
        {"GetInfo_Gprs_Info",
         [](EmGnss_Receiver& r) {
             auto v = Filled<WirelessInfo>();
             r.GetInfo_Gprs_Info(v);
             return Bits(v);
         },
         [](Em_Gnss& g) {
             auto v = Filled<WirelessInfo>();
             g.GetInfo_Gprs_Info(v);
             return Bits(v);
         }},
        {"GetInfo_Gprs_Signal", [](EmGnss_Receiver& r) { return std::to_string(r.GetInfo_Gprs_Signal()); },
         [](Em_Gnss& g) { return std::to_string(g.GetInfo_Gprs_Signa()); }},
        {"GetInfo_Gprs_Status", [](EmGnss_Receiver& r) { return std::to_string(r.GetInfo_Gprs_Status()); },
         [](Em_Gnss& g) { return std::to_string(g.GetInfo_Gprs_Status()); }},
        {"GetInfo_Gprs_Eroinfo", [](EmGnss_Receiver& r) { return std::to_string(r.GetInfo_Gprs_Eroinfo()); },
         [](Em_Gnss& g) { return std::to_string(g.GetInfo_Gprs_Eroinfo()); }},
        {"GetInfo_Gprs_CosMdl", [](EmGnss_Receiver& r) { return std::to_string(r.GetInfo_Gprs_CosMdl()); },
         [](Em_Gnss& g) { return std::to_string(g.GetInfo_Gprs_CosMdl()); }},
        {"GetInfo_Gprs_Version", [](EmGnss_Receiver& r) { return std::to_string(r.GetInfo_Gprs_Version()); },
         [](Em_Gnss& g) { return std::to_string(g.GetInfo_Gprs_Version()); }},
        {"Get_Dial_Prtl", [](EmGnss_Receiver& r) { return std::to_string(r.Get_Dial_Prtl()); },
         [](Em_Gnss& g) { return std::to_string(g.Get_Dial_Prtl()); }},
        {"Get_Cors_Info_Auto",
         [](EmGnss_Receiver& r) {
             auto v = Filled<cors_info>();
             int mode = -9;
             r.Get_Cors_Info_Auto(v, mode);
             return Bits(v) + " / " + std::to_string(mode);
         },
         [](Em_Gnss& g) {
             auto v = Filled<cors_info>();
             int mode = -9;
             g.Get_Cors_Info_Auto(v, mode);
             return Bits(v) + " / " + std::to_string(mode);
         }},
        {"Get_Gprs_GetList",
         [](EmGnss_Receiver& r) {
             std::vector<char> text(2048, char(0xCD));
             int n = -9;
             r.Get_Gprs_GetList(text.data(), &n);
             return std::string(text.begin(), text.end()) + " / " + std::to_string(n);
         },
         [](Em_Gnss& g) {
             std::vector<char> text(2048, char(0xCD));
             int n = -9;
             g.Get_Gprs_GetList(text.data(), &n);
             return std::string(text.begin(), text.end()) + " / " + std::to_string(n);
         }},
        {"Get_Gprs_DiffInfo",
         [](EmGnss_Receiver& r) {
             Bytes data(200, 0xCD);
             int n = -9;
             r.Get_Gprs_DiffInfo(data.data(), &n);
             return Hex(data) + " / " + std::to_string(n);
         },
         [](Em_Gnss& g) {
             Bytes data(200, 0xCD);
             int n = -9;
             g.Get_Gprs_DiffInfo(data.data(), &n);
             return Hex(data) + " / " + std::to_string(n);
         }},
        {"Get_FirmWare_Db",
         [](EmGnss_Receiver& r) {
             auto v = Filled<FIRMWARE_DEBUG>();
             r.Get_FirmWare_Db(256, v);
             return Bits(v);
         },
         [](Em_Gnss& g) {
             auto v = Filled<FIRMWARE_DEBUG>();
             g.Get_FirmWare_Db(256, v);
             return Bits(v);
         }},
        {"Get_Gnss_BsCfg",
         [](EmGnss_Receiver& r) {
             const Base_Config* c = r.Get_Gnss_BsCfg();
             return c ? Bits(*c) : std::string("none");
         },
         [](Em_Gnss& g) {
             const Base_Config* c = g.Get_Gnss_BsCfg();
             return c ? Bits(*c) : std::string("none");
         }},
        {"Get_Gnss_RvCfg",
         [](EmGnss_Receiver& r) {
             const Rover_Config* c = r.Get_Gnss_RvCfg();
             return c ? Bits(*c) : std::string("none");
         },
         [](Em_Gnss& g) {
             const Rover_Config* c = g.Get_Gnss_RvCfg();
             return c ? Bits(*c) : std::string("none");
         }},
    };
    return rows;
}

void CompareGetters(Rig& rig) {
    for (const GetterRow& row : Getters()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.member(*rig.rx), row.operation(*rig.twin));
    }
}

}  // namespace

// Every getter, on each kind of receiver, before any reply and after a reply
// for each value; the old-protocol receiver's values are also checked for
// what the replies said, so that the comparison is not one of defaults.
TEST(DeviceOpsGetters, EveryGetterReadsWhatItsProtocolGetterReads) {
    OpsCallbacks::Get().Reset();
    for (Kind kind : {Kind::OldSerial, Kind::NewProtocol, Kind::OtherMaker}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, true);
        ASSERT_TRUE(rig.opened);
        {
            SCOPED_TRACE("before any reply");
            CompareGetters(rig);
        }
        if (kind == Kind::OtherMaker) continue;
        for (const auto& [reply, bit] : ModemReplies()) rig.Feed(reply, bit);
        {
            SCOPED_TRACE("after the replies");
            CompareGetters(rig);
        }
        if (kind != Kind::OldSerial) continue;
        EXPECT_DOUBLE_EQ(rig.rx->GetInfo_Gprs_Version(), 2.9);
        EXPECT_EQ(rig.rx->GetInfo_Gprs_Status(), 3);
        EXPECT_EQ(rig.rx->GetInfo_Gprs_Eroinfo(), 5);
        EXPECT_EQ(rig.rx->GetInfo_Gprs_CosMdl(), 1);
        EXPECT_EQ(rig.rx->Get_Dial_Prtl(), 7u);
        EXPECT_NE(rig.rx->GetInfo_Gprs_Signal(), -1);
        cors_info login{};
        int mode = -1;
        rig.rx->Get_Cors_Info_Auto(login, mode);
        EXPECT_STREQ(login.mountPoint, "RTCM32");
        EXPECT_STREQ(login.userName, "surveyor");
        EXPECT_EQ(mode, 1);
        Bytes data(200, 0);
        int n = 0;
        rig.rx->Get_Gprs_DiffInfo(data.data(), &n);
        EXPECT_EQ(n, 5);
        EXPECT_EQ(data[4], 0x05);
    }
}

// The program's data callback reads values and sends the next request from
// inside the callback, on the processing thread with the protocol lock held:
// the lock is re-entered, nothing waits.
TEST(DeviceOpsGetters, GettersAndCommandsWorkFromInsideTheDataCallback) {
    Rig rig(Kind::OldSerial, true);
    ASSERT_TRUE(rig.opened);
    bool versionRequested = false;
    double version = 0;
    WirelessInfo modem{};
    std::thread::id callbackThread;
    OpsCallbacks::Get().Reset([&](int messageClass, unsigned bits) {
        if (messageClass != 2) return;
        callbackThread = std::this_thread::get_id();
        // As the program does: the device information came, ask the modem.
        if (bits & 0x80000000) versionRequested = rig.rx->Send_Gprs_Version();
        if (bits & 0x01000000) {
            version = rig.rx->GetInfo_Gprs_Version();
            rig.rx->GetInfo_Gprs_Info(modem);
        }
    });
    const Written w = rig.Capture([&] { rig.Feed(DeviceInfoReply(), 0x80000000); });
    EXPECT_TRUE(versionRequested);
    const Commands expected = rig.Expect(0, [](Em_Gnss& g, Commands& v) { (void)g.Send_Gprs_Version(v); });
    ExpectSame(w, expected);

    rig.Feed(ModemVersionReply(), 0x01000000);
    EXPECT_DOUBLE_EQ(version, 2.9);
    WirelessInfo twinModem{};
    rig.twin->GetInfo_Gprs_Info(twinModem);
    EXPECT_EQ(Bits(modem), Bits(twinModem));
    EXPECT_NE(modem.linkOptions, 0u) << "the version reply's capabilities";
    EXPECT_NE(callbackThread, std::this_thread::get_id());
    OpsCallbacks::Get().Reset();
}

// The base and rover settings are kept in the protocol object: what is set
// is what is read back, through a pointer that stays valid while the port is
// open; the twin, given the same settings, holds the same record.
TEST(DeviceOpsGetters, LocalSettersKeepTheirValueInTheProtocolObject) {
    for (Kind kind : {Kind::OldSerial, Kind::OtherMaker}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind);
        ASSERT_TRUE(rig.opened);
        const Base_Config* base = rig.rx->Get_Gnss_BsCfg();
        const Rover_Config* rover = rig.rx->Get_Gnss_RvCfg();
        ASSERT_NE(base, nullptr);
        ASSERT_NE(rover, nullptr);
        Base_Config b = *base;
        b.stationId = 42;
        b.elevMask = 15;
        Rover_Config r = *rover;
        r.elevMask = 7;
        r.baudRate = 19200;
        const Written w = rig.Capture([&] {
            rig.rx->Set_Gnss_BsCfg(b);
            rig.rx->Set_Gnss_RvCfg(r);
        });
        EXPECT_TRUE(w.writes.empty() && w.pauses.empty()) << "nothing is sent";
        rig.twin->Set_Gnss_BsCfg(b);
        rig.twin->Set_Gnss_RvCfg(r);
        EXPECT_EQ(rig.rx->Get_Gnss_BsCfg(), base) << "the same record";
        EXPECT_EQ(base->stationId, 42u);
        EXPECT_EQ(rover->baudRate, 19200u);
        EXPECT_EQ(Bits(*base), Bits(*rig.twin->Get_Gnss_BsCfg()));
        EXPECT_EQ(Bits(*rover), Bits(*rig.twin->Get_Gnss_RvCfg()));
    }
}

// Raw recording writes every byte the port delivers to the named file, from
// switching on to switching off.
TEST(DeviceOpsGetters, RawRecordingTakesInWhatThePortDelivers) {
    char path[] = "/tmp/brantor-devops-record-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    OpsCallbacks::Get().Reset();
    {
        Rig rig(Kind::OldSerial, true);
        ASSERT_TRUE(rig.opened);
        const Bytes reply = DollarFrame("RX", 0x18, {0x0A, 0x0B});
        rig.rx->Set_RcrdData(true, path);
        rig.Feed(reply, 0x2000);
        rig.rx->Set_RcrdData(false, nullptr);
        rig.Feed(DollarFrame("RX", 0x18, {0x0C}), 0x2000);  // after the end: not recorded
        std::ifstream in(path, std::ios::binary);
        const Bytes recorded((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(Hex(recorded), Hex(reply));
    }
    std::remove(path);
}
