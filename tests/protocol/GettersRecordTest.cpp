// The record getters of the protocol object: the device information and
// battery of the maker's old-protocol receiver read inside the data callback
// after the "SI" and "SD" replies, the radio, static-survey and eBubble
// records after their replies, the board's ephemeris, observations, correction
// frame and pass-through operations, the new-protocol battery grade, and
// which receivers each getter reaches (where it does not, the caller's output
// stays as it was).

#include "OldCmdFixtures.h"
#include "OldCmdRig.h"

#include "protocol/Em_BatteryGrade.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_IFormat.h"
#include "protocol/boards/EmIMainBoard.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

template <typename T>
T Filled(uint8_t fill = 0xA5) {
    T record;
    std::memset(&record, fill, sizeof record);
    return record;
}
template <typename T>
bool Untouched(const T& record, uint8_t fill = 0xA5) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    for (size_t i = 0; i < sizeof record; ++i)
        if (p[i] != fill) return false;
    return true;
}

// The data callback of the device object: counts the calls and runs a check
// on the protocol object with the message class and change bits.
struct Callback {
    explicit Callback(Em_Gnss& g) : gnss(g) {
        const _CALLBACKS_RECEIVER cbs{&Callback::Data, nullptr};
        gnss.Reg_Callbacks(&cbs, this);
    }
    static void Data(int messageClass, unsigned bits, const void* context) {
        auto* self = static_cast<Callback*>(const_cast<void*>(context));
        ++self->calls;
        if (self->onFrame) self->onFrame(messageClass, bits);
    }
    Em_Gnss& gnss;
    int calls = 0;
    std::function<void(int, uint32_t)> onFrame;
};

// A 128-byte device-information record: byte i holds i + 1, the model text in
// bytes 0-9.
Bytes DeviceRecord(const char* model10) {
    Bytes r(128);
    for (size_t i = 0; i < r.size(); ++i) r[i] = uint8_t(i + 1);
    std::memcpy(r.data(), model10, 10);
    return r;
}

Bytes ModuleFrames(uint8_t id, const Bytes& data) { return ReplyFrame("VI", ModuleReply(id, data)); }

}  // namespace

// "SI" reply of two frames on an old-protocol receiver: the callback of the
// second one reads the device information, serial number, model and board
// type included, as DeviceManager does.
TEST(GettersOldProtocol, DeviceInformationInsideTheCallback) {
    Rig rig(Receiver::OldProtocol, MAINBD_TRIMBLE_BD);
    Callback cb(*rig.gnss);
    DEVICE_STR seen{};
    cb.onFrame = [&](int messageClass, uint32_t bits) {
        EXPECT_EQ(messageClass, MSG_TYPE_ORVEL);
        EXPECT_EQ(bits, OldReplyBits::DeviceInfo);
        cb.gnss.GetInfo_DevcInfo(seen);
    };
    const Bytes r = DeviceRecord("8427-52xyz");
    rig.Receive(ReplyFrame("SI", Bytes(r.begin(), r.begin() + 70)));
    EXPECT_EQ(cb.calls, 0);
    rig.Receive(ReplyFrame("SI", Bytes(r.begin() + 70, r.end())));
    ASSERT_EQ(cb.calls, 1);
    EXPECT_EQ(std::memcmp(seen.serialNumber, r.data() + 5, 6), 0);  // record bytes 5-10
    EXPECT_EQ(+seen.serialNumber[6], 0);
    EXPECT_EQ(std::string(seen.model), "8427");
    EXPECT_EQ(+seen.firmwareVersion[0], 53);  // record byte 52
    EXPECT_EQ(+seen.boardType, MAINBD_NOVATEL_OEM);
    EXPECT_EQ(std::memcmp(&seen, &rig.Old()->DeviceInfo(), sizeof seen), 0);
}

// "SD" replies: the grade handed out is the battery level of the reply.
TEST(GettersOldProtocol, BatteryGradeOfEachReply) {
    const struct {
        Bytes payload;
        int grade;
    } cases[] = {
        {{0x00, 0x4B, 0x00, 0x00}, 6},        // letter 'K': 55 %
        {{0x64, 0x30, 0x00, 0x00}, 10},       // no letter: byte 0 (100) + 5, capped at 100
        {{0x32, 0x4A, 0x00, 0x00, 215}, 5},   // five bytes: letter 'J', 49 %
        {{0x01, 0x00, 0x41, 0x00}, 0},        // byte 0 is 1: letter from byte 2 ('A')
    };
    for (const auto& c : cases) {
        Rig rig(Receiver::OldProtocol, MAINBD_HEMISPHERE);
        Callback cb(*rig.gnss);
        int seen = -7;
        cb.onFrame = [&](int, uint32_t bits) {
            EXPECT_TRUE(bits & OldReplyBits::Battery);
            seen = cb.gnss.Get_Battery_Grd();
        };
        rig.Receive(ReplyFrame("SD", c.payload));
        EXPECT_EQ(cb.calls, 1);
        EXPECT_EQ(seen, c.grade) << int(c.payload[0]);
    }
}

// The radio records after the module's replies, and the call sign with its
// length in byte 14.
TEST(GettersOldProtocol, RadioRecordsAfterTheirReplies) {
    Rig rig(Receiver::OldProtocol);
    Rdo_Sensitv sensitivity = Rdo_Sensitv(-1);
    rig.gnss->Get_Radio_Sensitivity(sensitivity);
    EXPECT_EQ(sensitivity, RDO_SENSITV_LOW);  // what the record starts with
    rig.Receive(ModuleFrames(129, {0x01}));
    rig.gnss->Get_Radio_Sensitivity(sensitivity);
    EXPECT_EQ(sensitivity, RDO_SENSITV_MEDIUM);

    bool fec = false;
    rig.Receive(ModuleFrames(131, {0x01}));
    rig.gnss->Get_Radio_FEC(fec);
    EXPECT_TRUE(fec);
    rig.Receive(ModuleFrames(131, {0x07}));
    rig.gnss->Get_Radio_FEC(fec);
    EXPECT_FALSE(fec);

    Channel_Space spacing = Channel_Space(-1);
    rig.Receive(ModuleFrames(137, {0x01}));
    rig.gnss->Get_Radio_ChannelSpace(spacing);
    EXPECT_EQ(spacing, CHANNEL_SPACE_20K);

    Radio_Callsign cs = Filled<Radio_Callsign>();
    rig.Receive(ModuleFrames(145, {0x01, 0x0A, 'B', 'R', '-', '7'}));
    rig.gnss->Get_Radio_Callsign(cs);
    EXPECT_EQ(+cs.state, 1u);
    EXPECT_EQ(+cs.interval, 10u);
    EXPECT_EQ(std::string(cs.message, 4), "BR-7");
    for (int i = 4; i < 14; ++i) EXPECT_EQ(+cs.message[i], 0) << i;
    EXPECT_EQ(+cs.message[Radio_Callsign::kLengthByte], 4);
    EXPECT_EQ(+cs.message[15], 0);

    // Fourteen characters fill the text; the length still sits in byte 14.
    rig.Receive(ModuleFrames(145, {0x00, 0x03, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N'}));
    rig.gnss->Get_Radio_Callsign(cs);
    EXPECT_EQ(+cs.state, 0u);
    EXPECT_EQ(std::string(cs.message, 14), "ABCDEFGHIJKLMN");
    EXPECT_EQ(+cs.message[14], 14);
}

// "FB", "FH" and "FF" replies: the static point, the static time words and
// the eBubble record.
TEST(GettersOldProtocol, StaticSurveyAndBubbleRecords) {
    Rig rig(Receiver::OldProtocol);
    // FB: name length 3, "P01", height 1.5 (00 00 C0 3F), antenna 9, code 2.
    rig.Receive(ReplyFrame("FB", {0x03, 'P', '0', '1', 0x00, 0x00, 0xC0, 0x3F, 0x09, 0x02}));
    Static_Point point = Filled<Static_Point>();
    rig.gnss->Get_Static_Point(point);
    EXPECT_EQ(+point.nameLength, 3);
    EXPECT_EQ(std::string(point.name), "P01");
    EXPECT_EQ(+point.antennaHeight, 1.5f);
    EXPECT_EQ(+point.antennaType, 9);
    EXPECT_EQ(+point.surveyTo, 2);

    // FH: 0x00000102, then 0x0000012C, low bytes first.
    rig.Receive(ReplyFrame("FH", {0x02, 0x01, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00}));
    unsigned a = 0, b = 0;
    rig.gnss->Get_Static_Time(a, b);
    EXPECT_EQ(a, 0x102u);
    EXPECT_EQ(b, 300u);

    // FF: first word 0x30000005 (top four bits 3), then 7 and 9.
    rig.Receive(ReplyFrame("FF", {0x05, 0x00, 0x00, 0x30, 0x07, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00}));
    eBubble_info bubble = Filled<eBubble_info>();
    rig.gnss->Get_eBubble_info(bubble);
    const uint32_t expected[6] = {3, 5, 7, 9, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(+bubble.word[i], expected[i]) << i;
}

// Which receivers each old-protocol getter reaches; elsewhere outputs stay as
// the caller had them and the battery grade is -1.
TEST(GettersOldProtocol, GateMatrix) {
    for (Receiver kind : kAllReceivers) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        Em_Gnss& g = *rig.gnss;
        const bool old = kind == Receiver::OldProtocol;
        // The static time record is the maker's format's, board or none.
        const bool makerOld = old || kind == Receiver::NoBoard;
        if (Em_Format_OrvelNav* f = rig.Old()) {
            f->batteryLevel = 4;
            f->fhValue1 = 11;
            f->fhValue2 = 12;
        }
        EXPECT_EQ(g.Get_Battery_Grd(), old ? 4 : -1);

        DEVICE_STR info = Filled<DEVICE_STR>();
        g.GetInfo_DevcInfo(info);
        EXPECT_EQ(Untouched(info), !old);
        Static_Point point = Filled<Static_Point>();
        g.Get_Static_Point(point);
        EXPECT_EQ(Untouched(point), !old);
        Radio_Callsign cs = Filled<Radio_Callsign>();
        g.Get_Radio_Callsign(cs);
        EXPECT_EQ(Untouched(cs), !old);
        eBubble_info bubble = Filled<eBubble_info>();
        g.Get_eBubble_info(bubble);
        EXPECT_EQ(Untouched(bubble), !old);
        Rdo_Sensitv sensitivity = Rdo_Sensitv(77);
        g.Get_Radio_Sensitivity(sensitivity);
        EXPECT_EQ(sensitivity == Rdo_Sensitv(77), !old);
        Channel_Space spacing = Channel_Space(77);
        g.Get_Radio_ChannelSpace(spacing);
        EXPECT_EQ(spacing == Channel_Space(77), !old);
        bool fec = true;
        g.Get_Radio_FEC(fec);
        EXPECT_EQ(fec, !old);
        unsigned a = 5, b = 6;
        g.Get_Static_Time(a, b);
        EXPECT_EQ(a, makerOld ? 11u : 5u);
        EXPECT_EQ(b, makerOld ? 12u : 6u);
    }
}

// The new-protocol receiver's grade from its power record: 12 on outside
// power; otherwise the mean of the two rounded levels, in tenths.
TEST(GettersNewProtocol, BatteryGradeFromThePowerRecord) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        uint32_t source;
        float a, b;
        int grade;
    } cases[] = {
        {0, 54.6f, 61.2f, 6},    // (55 + 61) / 2 = 58, (58 + 5) / 10 = 6
        {1, 54.6f, 61.2f, 6},    // indicator 1 is still the battery
        {2, 54.6f, 61.2f, 12},   // outside power
        {0, 100.0f, 100.0f, 10},
        {0, 0.0f, 0.0f, 0},
        {0, 4.4f, 4.4f, 0},
        {0, 4.5f, 4.5f, 1},      // each level rounds half up first
        {0, 250.0f, 250.0f, 10}, // taken as 100
        {0, -30.0f, 50.0f, 3},   // taken as 0: (0 + 50) / 2 = 25 -> 3
        {0, nan, 80.0f, 4},      // not a number counts as 0
    };
    for (const auto& c : cases) {
        const OV_SYSTEM_POWER_STATUS_STRUCT power{{c.source, std::bit_cast<uint32_t>(c.a), std::bit_cast<uint32_t>(c.b)}};
        EXPECT_EQ(NewProtocolBatteryGrade(power), c.grade) << c.source << " " << c.a << " " << c.b;
    }
}

namespace {

EmIMainBoard& Board(Rig& rig) { return *rig.gnss->Format()->MainBoard(); }
Em_IRepParser& Parser(Rig& rig) { return *Board(rig).RepParser(); }

}  // namespace

// The ephemeris of the satellite decoded last: GPS numbers give system 1,
// BeiDou numbers (161-196) system 4; any other number copies nothing.
TEST(GettersBoard, EphemerisOfTheLastSatellite) {
    Rig rig(Receiver::OtherMaker);
    Em_IRepParser& p = Parser(rig);
    for (int i = 0; i < Em_IRepParser::kEphCapacity; ++i) p.eph[i].iode = 1000 + i;
    const struct {
        int sat;
        unsigned system;  // 0: nothing
    } cases[] = {{5, 1}, {32, 1}, {161, 4}, {196, 4}, {0, 0}, {33, 0}, {40, 0}, {160, 0}, {197, 0}, {-3, 0}};
    for (const auto& c : cases) {
        p.lastEphSat = c.sat;
        unsigned system = 99;
        em_eph_t eph = Filled<em_eph_t>();
        rig.gnss->Get_Gnss_Ephemeris(&system, &eph);
        if (c.system == 0) {
            EXPECT_EQ(system, 99u) << c.sat;
            EXPECT_TRUE(Untouched(eph)) << c.sat;
        } else {
            EXPECT_EQ(system, c.system) << c.sat;
            EXPECT_EQ(eph.iode, 1000 + c.sat - 1) << c.sat;
        }
    }
    p.lastEphSat = 5;
    unsigned system = 99;
    rig.gnss->Get_Gnss_Ephemeris(&system, nullptr);
    EXPECT_EQ(system, 99u);
    em_eph_t eph = Filled<em_eph_t>();
    rig.gnss->Get_Gnss_Ephemeris(nullptr, &eph);
    EXPECT_TRUE(Untouched(eph));
}

// Observations: the count, the entries and zeros after them; the second word
// is the caller's; a count beyond the parser's table is cut to it.
TEST(GettersBoard, ObservationsOfTheLastEpoch) {
    Rig rig(Receiver::OtherMaker);
    Em_IRepParser& p = Parser(rig);
    for (int i = 0; i < Em_IRepParser::kObsCapacity; ++i) p.obs[i].sat = uint8_t(i + 1);
    p.obsCount = 3;
    auto obs = std::make_unique<em_obs_t>();
    std::memset(obs.get(), 0xA5, sizeof *obs);
    rig.gnss->Get_Gnss_Obs_t(obs.get());
    EXPECT_EQ(obs->n, 3u);
    EXPECT_EQ(obs->nmax, 0xA5A5A5A5u);
    EXPECT_EQ(obs->data[2].sat, 3);
    EXPECT_EQ(obs->data[3].sat, 0);
    EXPECT_EQ(obs->data[em_obs_t::kMaxEntries - 1].P[1], 0.0);

    p.obsCount = 5000;
    rig.gnss->Get_Gnss_Obs_t(obs.get());
    EXPECT_EQ(obs->n, uint32_t(Em_IRepParser::kObsCapacity));
    EXPECT_EQ(obs->data[Em_IRepParser::kObsCapacity - 1].sat, Em_IRepParser::kObsCapacity);
    EXPECT_EQ(obs->data[Em_IRepParser::kObsCapacity].sat, 0);
    rig.gnss->Get_Gnss_Obs_t(nullptr);
}

// The last correction frame, as the transmit holder keeps it.
TEST(GettersBoard, CorrectionFrame) {
    Rig rig(Receiver::OldProtocol);
    const uint8_t frame[] = {0xD3, 0x00, 0x02, 0x3E, 0xD0, 0x11, 0x22, 0x33};
    ASSERT_NE(Parser(rig).Holder(), nullptr);
    Parser(rig).Holder()->Transmit_ByType(1005, frame, sizeof frame, 1);
    auto info = std::make_unique<TRSMT_INFO>();
    rig.gnss->Get_Gnss_Trsinfo(*info);
    EXPECT_EQ(info->length, sizeof frame);
    EXPECT_EQ(info->messageNumber, 1005u);
    EXPECT_EQ(info->type, 1u);
    EXPECT_EQ(std::memcmp(info->data, frame, sizeof frame), 0);
}

// Pass-through operations reach the board of every format; the board-only
// getters leave their outputs alone where there is no board.
TEST(GettersBoard, PassThroughAndBoardlessReceivers) {
    for (Receiver kind : {Receiver::OtherMaker, Receiver::OldProtocol, Receiver::NewProtocol}) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Cmd_PassCom(out, 3);
        ASSERT_FALSE(rig.recorder.commands.empty());
        EXPECT_EQ(rig.recorder.commands.back(), "PassCom 3");
        rig.gnss->Set_GNSS_ParseNmea(true);
        EXPECT_EQ(Parser(rig).parseNmea, 1);
        rig.gnss->Set_GNSS_ParseNmea(false);
        EXPECT_EQ(Parser(rig).parseNmea, 0);
        Parser(rig).passComChar.bytes[0] = 0x42;
        Parser(rig).passComChar.bytes[83] = 0x43;
        PASSCOMCHAR chars = Filled<PASSCOMCHAR>();
        rig.gnss->Get_PassCom_Char(chars);
        EXPECT_EQ(+chars.bytes[0], 0x42);
        EXPECT_EQ(+chars.bytes[83], 0x43);
        EXPECT_EQ(+chars.bytes[1], 0);
    }
    for (Receiver kind : {Receiver::NoBoard, Receiver::NoFormat}) {
        SCOPED_TRACE(Name(kind));
        Rig rig(kind);
        std::vector<_STR_CMD> out;
        rig.gnss->Get_Cmd_PassCom(out, 3);
        rig.gnss->Set_GNSS_ParseNmea(true);
        EXPECT_TRUE(out.empty());
        EXPECT_TRUE(rig.recorder.commands.empty());
        PASSCOMCHAR chars = Filled<PASSCOMCHAR>();
        rig.gnss->Get_PassCom_Char(chars);
        EXPECT_TRUE(Untouched(chars));
        unsigned system = 99;
        em_eph_t eph = Filled<em_eph_t>();
        rig.gnss->Get_Gnss_Ephemeris(&system, &eph);
        EXPECT_EQ(system, 99u);
        auto info = std::make_unique<TRSMT_INFO>();
        std::memset(info.get(), 0xA5, sizeof *info);
        rig.gnss->Get_Gnss_Trsinfo(*info);
        EXPECT_TRUE(Untouched(*info));
        auto obs = std::make_unique<em_obs_t>();
        std::memset(obs.get(), 0xA5, sizeof *obs);
        rig.gnss->Get_Gnss_Obs_t(obs.get());
        EXPECT_TRUE(Untouched(*obs));
    }
}
