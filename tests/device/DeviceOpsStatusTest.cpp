// The receiver object's solution, status and record getters hand out what the
// protocol object decoded, exactly as the protocol object's own getters do:
// the maker's old-protocol replies (device information, battery, radio,
// static survey, eBubble) and real NMEA captures (nmea-rtk.log for position
// and time, bu353-glonass.log for dilutions and satellites). They work from inside the data callback; the position and
// time getters given no record return without waiting for the protocol lock;
// the pass-through command is what the board builds; and with no protocol
// object every member does nothing.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/protocol/TestData.h"

#include <cstring>
#include <mutex>
#include <string>
#include <thread>

using namespace device_ops;

namespace {

constexpr unsigned kDeviceInfo = 0x80000000u;
constexpr unsigned kBattery = 0x40000000u;
constexpr unsigned kSensitivity = 0x00000800u;
constexpr unsigned kStaticPoint = 0x00000400u;
constexpr unsigned kBubble = 0x00000080u;
constexpr unsigned kSpacing = 0x00000040u;
constexpr unsigned kCallsign = 0x00000020u;
constexpr unsigned kFec = 0x00000010u;

constexpr uint8_t kFill = 0xCD;

template <class T>
std::string Bits(const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return Hex(Bytes(p, p + sizeof value));
}

template <class T>
T Filled() {
    T value;
    std::memset(&value, kFill, sizeof value);
    return value;
}

template <class T>
bool Untouched(const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return std::all_of(p, p + sizeof value, [](uint8_t b) { return b == kFill; });
}

// The old-protocol replies that fill the records, each with its change bit.
const std::vector<std::pair<Bytes, unsigned>>& RecordReplies() {
    static const std::vector<std::pair<Bytes, unsigned>> replies = {
        {DeviceInfoReply(), kDeviceInfo},
        // "SD" battery: 00, 'K' (level (10 x 5.56 + 5) / 10 = 6), 00, 00
        {DollarFrame("SD", 0x18, {0x00, 0x4B, 0x00, 0x00}), kBattery},
        // module 129 sensitivity: 2 (low)
        {ModuleReply(129, {0x02}), kSensitivity},
        // module 131 FEC: 1 (on)
        {ModuleReply(131, {0x01}), kFec},
        // module 137 channel spacing: 2 (25 kHz)
        {ModuleReply(137, {0x02}), kSpacing},
        // module 145 call sign: on, every 10 minutes, "BR1"
        {ModuleReply(145, {0x01, 0x0A, 'B', 'R', '1'}), kCallsign},
        // "FB" static point: name length 3, "P01", antenna height 1.5 m
        // (float, low byte first), antenna type 7, measured-to code 1
        // (vertical)
        {DollarFrame("FB", 0x18, {0x03, 'P', '0', '1', 0x00, 0x00, 0xC0, 0x3F, 0x07, 0x01}), kStaticPoint},
        // "FF" eBubble: three 32-bit values, low byte first
        {DollarFrame("FF", 0x18, {0x21, 0x43, 0x65, 0x87, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}), kBubble},
        // "FH" static time: 3600 and 86400, low byte first
        {DollarFrame("FH", 0x18, {0x10, 0x0E, 0x00, 0x00, 0x80, 0x51, 0x01, 0x00}), kBubble},
    };
    return replies;
}

// One getter beside the protocol getter it wraps: both sides run the same
// generic reader, which renders what it read (out-parameters start filled
// with CD bytes, so "untouched" shows).
struct GetterRow {
    const char* name;
    std::function<std::string(EmGnss_Receiver&)> member;
    std::function<std::string(Em_Gnss&)> operation;
};

template <class Read>
GetterRow Row(const char* name, Read read) {
    return {name, [read](EmGnss_Receiver& r) { return read(r); }, [read](Em_Gnss& g) { return read(g); }};
}

template <class T, class Call>
auto OutRecord(Call call) {
    return [call](auto& o) {
        T v = Filled<T>();
        call(o, v);
        return Bits(v);
    };
}

const std::vector<GetterRow>& Getters() {
    static const std::vector<GetterRow> rows = {
        Row("GetInfo_DevcInfo", OutRecord<DEVICE_STR>([](auto& o, DEVICE_STR& v) { o.GetInfo_DevcInfo(v); })),
        Row("Get_Battery_Grd", [](auto& o) { return std::to_string(o.Get_Battery_Grd()); }),
        Row("GetInfo_Gnss_Solutions", [](auto& o) { return std::to_string(o.GetInfo_Gnss_Solutions()); }),
        Row("Get_TimeZone", [](auto& o) { return std::to_string(o.Get_TimeZone()); }),
        Row("Get_Gnss_Pos", OutRecord<POS_INFO>([](auto& o, POS_INFO& v) { o.Get_Gnss_Pos(&v); })),
        Row("Get_Gnss_Time", OutRecord<Time_Str>([](auto& o, Time_Str& v) { o.Get_Gnss_Time(&v); })),
        Row("Get_Gnss_SatInfo",
            [](auto& o) {
                std::string s;
                for (int system = 0; system <= 6; ++system) {
                    SATLLITE_STR sats[32];
                    std::memset(sats, kFill, sizeof sats);
                    unsigned count = 0xCDCDCDCD;
                    o.Get_Gnss_SatInfo(system, &count, sats);
                    s += std::to_string(count) + ":" + Bits(sats) + " ";
                }
                return s;
            }),
        Row("Get_Gnss_SatUse", OutRecord<SAT_USE>([](auto& o, SAT_USE& v) { o.Get_Gnss_SatUse(0, &v); })),
        Row("Get_Gnss_SatTypeNum",
            [](auto& o) {
                int systems = -9;
                o.Get_Gnss_SatTypeNum(systems);
                return std::to_string(systems);
            }),
        Row("Get_Gnss_Dops", OutRecord<Dops>([](auto& o, Dops& v) { o.Get_Gnss_Dops(&v); })),
        Row("Get_Gnss_Precision", OutRecord<Precisions>([](auto& o, Precisions& v) { o.Get_Gnss_Precision(&v); })),
        Row("Get_Gnss_Gpgga",
            [](auto& o) {
                Bytes text(1024, kFill);
                unsigned length = 0xCDCDCDCD;
                o.Get_Gnss_Gpgga(text.data(), &length);
                return Hex(text) + " / " + std::to_string(length);
            }),
        Row("Get_Gnss_Gprmc",
            [](auto& o) {
                double speed = -9, course = -9;
                o.Get_Gnss_Gprmc(speed, course);
                return std::to_string(speed) + " " + std::to_string(course);
            }),
        Row("Get_Gnss_Baseinfo", OutRecord<BASEINFO>([](auto& o, BASEINFO& v) { o.Get_Gnss_Baseinfo(v); })),
        Row("Get_Gnss_Ephemeris",
            [](auto& o) {
                unsigned system = 0xCDCDCDCD;
                em_eph_t eph = Filled<em_eph_t>();
                o.Get_Gnss_Ephemeris(&system, &eph);
                return std::to_string(system) + " " + Bits(eph);
            }),
        Row("Get_Gnss_Obs_t", [](auto& o) {
            auto obs = std::make_unique<em_obs_t>();
            std::memset(obs.get(), kFill, sizeof *obs);
            o.Get_Gnss_Obs_t(obs.get());
            return Bits(*obs);
        }),
        Row("Get_Gnss_Trsinfo", OutRecord<TRSMT_INFO>([](auto& o, TRSMT_INFO& v) { o.Get_Gnss_Trsinfo(v); })),
        Row("Get_PassCom_Char", OutRecord<PASSCOMCHAR>([](auto& o, PASSCOMCHAR& v) { o.Get_PassCom_Char(v); })),
        Row("Get_Radio_Sensitivity",
            OutRecord<Rdo_Sensitv>([](auto& o, Rdo_Sensitv& v) { o.Get_Radio_Sensitivity(v); })),
        Row("Get_Radio_FEC",
            [](auto& o) {
                bool on = false;
                o.Get_Radio_FEC(on);
                bool off = true;
                o.Get_Radio_FEC(off);
                return std::to_string(on) + std::to_string(off);
            }),
        Row("Get_Radio_Callsign",
            OutRecord<Radio_Callsign>([](auto& o, Radio_Callsign& v) { o.Get_Radio_Callsign(v); })),
        Row("Get_Radio_ChannelSpace",
            OutRecord<Channel_Space>([](auto& o, Channel_Space& v) { o.Get_Radio_ChannelSpace(v); })),
        Row("Get_Static_Point", OutRecord<Static_Point>([](auto& o, Static_Point& v) { o.Get_Static_Point(v); })),
        Row("Get_Static_Time",
            [](auto& o) {
                unsigned first = 0xCDCDCDCD, second = 0xCDCDCDCD;
                o.Get_Static_Time(first, second);
                return std::to_string(first) + " " + std::to_string(second);
            }),
        Row("Get_eBubble_info", OutRecord<eBubble_info>([](auto& o, eBubble_info& v) { o.Get_eBubble_info(v); })),
    };
    return rows;
}

void CompareGetters(Rig& rig) {
    for (const GetterRow& row : Getters()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.member(*rig.rx), row.operation(*rig.twin));
    }
}

// Bytes for the receiver's port without waiting for what they bring (the
// data callback may be held by the test).
void FeedPort(Rig& rig, const Bytes& bytes) {
    rig.world.With([&] {
        rig.port->incoming.insert(rig.port->incoming.end(), bytes.begin(), bytes.end());
        ++rig.port->grantedPasses;
        rig.world.changed.notify_all();
    });
}

bool WaitForCalls(size_t count) {
    OpsCallbacks& c = OpsCallbacks::Get();
    std::unique_lock<std::mutex> lock(c.mutex);
    return c.changed.wait_for(lock, kPatience, [&] { return c.calls.size() >= count; });
}

// A capture's lines with CR LF, in blocks of whole lines that one read of
// the receiver's reading thread takes in whole.
std::vector<Bytes> CaptureBlocks(const std::string& name) {
    std::vector<Bytes> blocks(1);
    for (const std::string& line : LoadLogLines(name)) {
        if (blocks.back().size() + line.size() + 2 > 1500) blocks.emplace_back();
        blocks.back().insert(blocks.back().end(), line.begin(), line.end());
        blocks.back().push_back('\r');
        blocks.back().push_back('\n');
    }
    return blocks;
}

// Counts the twin's data callbacks: the receiver has parsed a block when its
// own count has caught up.
void CountTwinCall(int, unsigned, const void* context) { ++*static_cast<size_t*>(const_cast<void*>(context)); }

}  // namespace

// The maker's old-protocol replies on each kind of receiver: every getter
// reads what its protocol getter reads, before any reply and after them; on
// the old-protocol receiver the values are also those the replies carried,
// so that the comparison is not one of defaults.
TEST(DeviceOpsStatus, EveryGetterReadsWhatItsProtocolGetterReads) {
    OpsCallbacks::Get().Reset();
    for (Kind kind : {Kind::OldSerial, Kind::NewProtocol, Kind::OtherMaker}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, true);
        ASSERT_TRUE(rig.opened);
        {
            SCOPED_TRACE("before any reply");
            CompareGetters(rig);
        }
        if (kind == Kind::OtherMaker) continue;  // the maker's replies are not its own
        for (const auto& [reply, bit] : RecordReplies()) rig.Feed(reply, bit);
        {
            SCOPED_TRACE("after the replies");
            CompareGetters(rig);
        }
        if (kind != Kind::OldSerial) continue;
        DEVICE_STR info{};
        rig.rx->GetInfo_DevcInfo(info);
        EXPECT_STREQ(info.serialNumber, "601234");
        EXPECT_STREQ(info.firmwareVersion, "V8.1");
        EXPECT_EQ(info.rtkElevMask, 13);
        EXPECT_EQ(+info.boardType, int32_t(MAINBD_NOVATEL_OEM));
        EXPECT_EQ(rig.rx->Get_Battery_Grd(), 6);
        Rdo_Sensitv sensitivity = RDO_SENSITV_HIGH;
        rig.rx->Get_Radio_Sensitivity(sensitivity);
        EXPECT_EQ(sensitivity, RDO_SENSITV_LOW);
        Radio_Callsign callsign{};
        rig.rx->Get_Radio_Callsign(callsign);
        EXPECT_EQ(std::string(callsign.message, 3), "BR1");
        EXPECT_EQ(+callsign.interval, 10u);
        Static_Point point{};
        rig.rx->Get_Static_Point(point);
        EXPECT_STREQ(point.name, "P01");
        EXPECT_FLOAT_EQ(+point.antennaHeight, 1.5f);
        unsigned first = 0, second = 0;
        rig.rx->Get_Static_Time(first, second);
        EXPECT_EQ(first, 3600u);
        EXPECT_EQ(second, 86400u);
    }
}

// Real NMEA through another maker's receiver with the library's NovAtel
// board, which takes sentences of every talker: with NMEA parsing switched on through the receiver object, the
// position, time, dilutions and satellites follow each block of the capture
// as the twin's do; the time zone set through the receiver object shifts
// the local time alike. Inside the data callback the position is read too.
TEST(DeviceOpsStatus, CapturesGiveTheSameSolutionAsTheProtocolObject) {
    Rig rig(Kind::OtherNovAtel, true, false);
    ASSERT_TRUE(rig.opened);
    size_t twinCalls = 0;
    const _CALLBACKS_RECEIVER twinTable{&CountTwinCall, nullptr};
    rig.twin->Reg_Callbacks(&twinTable, &twinCalls);

    int positionsInCallback = 0;
    POS_INFO inCallback{};
    OpsCallbacks::Get().Reset([&](int, unsigned bits) {
        if (!(bits & ChangeBits::Position)) return;
        ++positionsInCallback;
        rig.rx->Get_Gnss_Pos(&inCallback);
    });
    rig.rx->Set_GNSS_ParseNmea(true);
    rig.twin->Set_GNSS_ParseNmea(true);
    rig.rx->Set_TimeZone(12);
    rig.twin->Set_TimeZone(12);
    EXPECT_EQ(rig.rx->Get_TimeZone(), 12);

    const size_t base = OpsCallbacks::Get().Count();
    for (const char* capture : {"nmea-rtk.log", "bu353-glonass.log"}) {
        SCOPED_TRACE(capture);
        const std::vector<Bytes> blocks = CaptureBlocks(capture);
        ASSERT_GT(blocks.size(), 2u);
        for (size_t i = 0; i < blocks.size(); ++i) {
            SCOPED_TRACE("block " + std::to_string(i));
            const size_t before = twinCalls;
            FeedPort(rig, blocks[i]);
            rig.twin->RcvData(blocks[i].data(), unsigned(blocks[i].size()));
            rig.twin->ParseData();
            // Every block ends sentences: the count moves, and the receiver's
            // catching up means it has taken the block in.
            ASSERT_GT(twinCalls, before);
            ASSERT_TRUE(WaitForCalls(base + twinCalls));
            CompareGetters(rig);
        }
        if (std::string(capture) == "nmea-rtk.log") {
            POS_INFO pos{};
            rig.rx->Get_Gnss_Pos(&pos);
            EXPECT_EQ(+pos.status, 11) << "the capture ends RTK-fixed";
            Time_Str time{};
            rig.rx->Get_Gnss_Time(&time);
            EXPECT_EQ(+time.year, 2020);
            EXPECT_EQ(+time.day, 19) << "13:28 UTC on 18 March plus 12 hours";
        }
    }
    Dops dops{};
    rig.rx->Get_Gnss_Dops(&dops);
    EXPECT_GT(+dops.pdop, 0.0);
    unsigned count = 0;
    SATLLITE_STR sats[32];
    rig.rx->Get_Gnss_SatInfo(1, &count, sats);
    EXPECT_GT(count, 0u);
    EXPECT_GT(positionsInCallback, 100);
    POS_INFO last{};
    rig.rx->Get_Gnss_Pos(&last);
    EXPECT_EQ(Bits(inCallback), Bits(last)) << "the callback read the latest position";
    OpsCallbacks::Get().Reset();
}

// The Info page's road: the device information and battery are read inside
// the data callback that announces them, where the processing thread holds
// the protocol lock; the lock is re-entered and the values are the twin's.
TEST(DeviceOpsStatus, DeviceInformationAndBatteryAreReadInsideTheDataCallback) {
    Rig rig(Kind::OldSerial, true);
    ASSERT_TRUE(rig.opened);
    DEVICE_STR info = Filled<DEVICE_STR>();
    int grade = -9;
    OpsCallbacks::Get().Reset([&](int messageClass, unsigned bits) {
        if (messageClass != 2) return;
        if (bits & kDeviceInfo) rig.rx->GetInfo_DevcInfo(info);
        if (bits & kBattery) grade = rig.rx->Get_Battery_Grd();
    });
    rig.Feed(DeviceInfoReply(), kDeviceInfo);
    rig.Feed(DollarFrame("SD", 0x18, {0x00, 0x4B, 0x00, 0x00}), kBattery);
    DEVICE_STR twinInfo{};
    rig.twin->GetInfo_DevcInfo(twinInfo);
    EXPECT_EQ(Bits(info), Bits(twinInfo));
    EXPECT_STREQ(info.partNumber, "FJ80427-01");
    EXPECT_EQ(grade, rig.twin->Get_Battery_Grd());
    EXPECT_EQ(grade, 6);
    OpsCallbacks::Get().Reset();
}

// Position and time given no record return at once: here while the
// processing thread holds the protocol lock inside the data callback, which
// lets go only once both calls have returned. Were the lock taken, the
// callback would give up waiting and the test fail.
TEST(DeviceOpsStatus, PositionAndTimeWithoutARecordDoNotWaitForTheLock) {
    Rig rig(Kind::OldSerial, true);
    ASSERT_TRUE(rig.opened);
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false, returned = false, returnedWhileHeld = false;
    OpsCallbacks::Get().Reset([&](int, unsigned bits) {
        if (!(bits & kDeviceInfo)) return;
        std::unique_lock<std::mutex> lock(mutex);
        inside = true;
        changed.notify_all();
        returnedWhileHeld = changed.wait_for(lock, kPatience, [&] { return returned; });
    });
    const size_t from = OpsCallbacks::Get().Count();
    FeedPort(rig, DeviceInfoReply());
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, kPatience, [&] { return inside; }));
    }
    rig.rx->Get_Gnss_Pos(nullptr);
    rig.rx->Get_Gnss_Time(nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex);
        returned = true;
        changed.notify_all();
    }
    ASSERT_TRUE(OpsCallbacks::Get().WaitForBit(from, kDeviceInfo));
    EXPECT_TRUE(returnedWhileHeld);
    OpsCallbacks::Get().Reset();
}

// The pass-through command is the board's own, queued whole: a receiver with
// a NovAtel board (the maker's, in its frames, or another maker's) asks for
// it; receivers whose board has no pass-through log send nothing.
TEST(DeviceOpsStatus, PassThroughCommandIsWhatTheBoardBuilds) {
    for (Kind kind : {Kind::OldSerial, Kind::OldBluetooth, Kind::NewProtocol, Kind::OtherMaker, Kind::OtherNovAtel}) {
        SCOPED_TRACE(Info(kind).name);
        Rig rig(kind, false, false);
        ASSERT_TRUE(rig.opened);
        for (int port : {1, 3}) {
            const uint8_t sequence = Rig::Sequence();
            const Written w = rig.Capture([&] { rig.rx->Send_PassCom_Char(port); });
            const Commands expected =
                rig.Expect(sequence, [&](Em_Gnss& g, Commands& out) { g.Get_Cmd_PassCom(out, port); });
            ExpectSame(w, expected);
            if (kind == Kind::OldSerial || kind == Kind::OldBluetooth || kind == Kind::OtherNovAtel) {
                ASSERT_FALSE(w.writes.empty());
                const std::string text(w.writes[0].begin(), w.writes[0].end());
                EXPECT_NE(text.find("log passcom" + std::to_string(port) + "b onchanged"), std::string::npos) << text;
            }
        }
    }
}

// The program holds a receiver object before any port is open and after it
// closed: every member of this block then does nothing, answering as for a
// receiver the value does not apply to (a satellite count of 0). With a
// protocol object, null out-pointers are taken without harm.
TEST(DeviceOpsStatus, EveryMemberIsSafeWithoutAProtocolObjectAndWithNullRecords) {
    auto sweep = [](EmGnss_Receiver& rx) {
        for (const GetterRow& row : Getters()) {
            SCOPED_TRACE(row.name);
            const std::string got = row.member(rx);
            if (std::string(row.name) == "Get_Gnss_SatInfo") {
                EXPECT_EQ(got.substr(0, 2), "0:");
            } else if (std::string(row.name) == "Get_Battery_Grd") {
                EXPECT_EQ(got, "-1");
            } else if (std::string(row.name) == "GetInfo_Gnss_Solutions" || std::string(row.name) == "Get_TimeZone") {
                EXPECT_EQ(got, "0");
            }
        }
        // Untouched out-parameters, spelled out for the records.
        DEVICE_STR info = Filled<DEVICE_STR>();
        rx.GetInfo_DevcInfo(info);
        EXPECT_TRUE(Untouched(info));
        POS_INFO pos = Filled<POS_INFO>();
        rx.Get_Gnss_Pos(&pos);
        EXPECT_TRUE(Untouched(pos));
        unsigned count = 99;
        rx.Get_Gnss_SatInfo(1, &count, nullptr);
        EXPECT_EQ(count, 0u);
        Static_Point point = Filled<Static_Point>();
        rx.Get_Static_Point(point);
        EXPECT_TRUE(Untouched(point));
        rx.Set_TimeZone(5);
        EXPECT_EQ(rx.Get_TimeZone(), 0);
        rx.Set_GNSS_ParseNmea(true);
        rx.Send_PassCom_Char(1);
    };
    {
        SCOPED_TRACE("never opened");
        OpsWorld world;
        TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &world);
        sweep(rx);
    }
    {
        SCOPED_TRACE("after the port closed");
        Rig rig(Kind::OldSerial, true, false);
        ASSERT_TRUE(rig.opened);
        const size_t writes = rig.world.With([&] { return rig.port->writes.size(); });
        ASSERT_TRUE(rig.rx->Port_Close());
        sweep(*rig.rx);
        EXPECT_EQ(rig.world.With([&] { return rig.port->writes.size(); }), writes);
    }
    {
        SCOPED_TRACE("null records with a protocol object");
        Rig rig(Kind::OldSerial, true, false);
        ASSERT_TRUE(rig.opened);
        EmGnss_Receiver& rx = *rig.rx;
        rx.Get_Gnss_Pos(nullptr);
        rx.Get_Gnss_Time(nullptr);
        rx.Get_Gnss_SatInfo(1, nullptr, nullptr);
        unsigned count = 99;
        rx.Get_Gnss_SatInfo(1, &count, nullptr);
        EXPECT_EQ(count, 0u) << "no satellites yet";
        rx.Get_Gnss_SatUse(0, nullptr);
        rx.Get_Gnss_Dops(nullptr);
        rx.Get_Gnss_Precision(nullptr);
        rx.Get_Gnss_Gpgga(nullptr, nullptr);
        rx.Get_Gnss_Ephemeris(nullptr, nullptr);
        rx.Get_Gnss_Obs_t(nullptr);
        rx.Set_TimeZone(30);
        EXPECT_EQ(rx.Get_TimeZone(), 8) << "out of range: the receiver's usual 8 hours";
    }
}
