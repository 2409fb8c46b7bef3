// The internal radio's commands and getters by module type, static
// recording, PPK points and the eBubble on old-protocol receivers: whole
// frames in hex, which module types and receivers each command reaches, and
// the radio record the getters read back.
#include "OldCmdFixtures.h"
#include "OldCmdRig.h"
#include "protocol/oldproto/Em_RadioFrequency.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

using Export = std::function<void(Em_Gnss&, std::vector<_STR_CMD>&)>;

// An old-protocol receiver whose device information and module version have
// come, with a radio of module type `type`.
struct RadioRig : Rig {
    explicit RadioRig(int type, Com_Status link = COM_STATUS_SERIAL) : Rig(Receiver::OldProtocol, MAINBD_NOVATEL_OEM, link) {
        Old()->radio.moduleType = type;
        SetRadioRanges(Old()->radio);
        Old()->deviceInfoSeen = 1;
        Old()->moduleVersionSeen = 1;
    }
};

void ExpectFrames(const std::vector<_STR_CMD>& out, const std::vector<std::string>& frames, uint32_t delay) {
    ASSERT_EQ(out.size(), frames.size());
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(Data(out[i]), Hex(frames[i])) << i;
        EXPECT_EQ(out[i].delay, delay) << i;
    }
}

Radio_Callsign Callsign(uint32_t on, uint32_t minutes, const std::string& text, unsigned length) {
    Radio_Callsign c{};
    c.state = on;
    c.interval = minutes;
    std::memcpy(c.message, text.data(), std::min<size_t>(text.size(), Radio_Callsign::kLengthByte));
    c.message[Radio_Callsign::kLengthByte] = char(length);
    return c;
}

}  // namespace

// Every radio command, its whole frame and delay, and the module types that
// take it. A "VS" frame is 24 24 | 56 53 | head 1B (class 11, serial mode 1) |
// length | packet | XOR | 0D 0A; the packet is 40 | id | ~id | m (LE16) |
// data | XOR of the packet bytes before it.
TEST(RadioCmd, GoldenPacketsByModuleType) {
    const struct {
        const char* name;
        Export call;
        std::set<int> types;
        std::string frame;
        uint32_t delay;
    } rows[] = {
        // id 75 (117), ~id 8A, m 1, code 04 (1 W), XOR BA
        {"Set_Radio_Power", [](Em_Gnss& g, auto& v) { g.Set_Radio_Power(v, RADIO_POWER_1W); }, {6, 7, 8},
         "24 24 56 53 1B 07 40 75 8A 01 00 04 BA 19 0D 0A", 200},
        // id 76 (118), no data
        {"Get_Radio_Power", [](Em_Gnss& g, auto& v) { g.Get_Radio_Power(v); }, {6, 7, 8},
         "24 24 56 53 1B 06 40 76 89 00 00 BF 18 0D 0A", 200},
        // id 78 (120), code 02 (19200)
        {"Set_Radio_Baudrate", [](Em_Gnss& g, auto& v) { g.Set_Radio_Baudrate(v, RADIO_BAUD_19200); },
         {1, 2, 3, 4, 5, 6, 7}, "24 24 56 53 1B 07 40 78 87 01 00 02 BC 19 0D 0A", 200},
        // id 79 (121)
        {"Get_Cmd_Radio_Baudrate", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Radio_Baudrate(v); }, {1, 2, 3, 4, 5, 6, 7},
         "24 24 56 53 1B 06 40 79 86 00 00 BF 18 0D 0A", 200},
        // id 60 (96), protocol 09; every module type
        {"Set_Radio_Mdl", [](Em_Gnss& g, auto& v) { g.Set_Radio_Mdl(v, Rdo_Mdl(0x109)); }, {1, 2, 3, 4, 5, 6, 7, 8, 9},
         "24 24 56 53 1B 07 40 60 9F 01 00 09 B7 19 0D 0A", 200},
        // id 80 (128), 01 (medium)
        {"Set_Radio_Sensitivity", [](Em_Gnss& g, auto& v) { g.Set_Radio_Sensitivity(v, RDO_SENSITV_MEDIUM); }, {8},
         "24 24 56 53 1B 07 40 80 7F 01 00 01 BF 19 0D 0A", 200},
        // id 81 (129)
        {"Get_Cmd_Radio_Sensitivity", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Radio_Sensitivity(v); }, {8},
         "24 24 56 53 1B 06 40 81 7E 00 00 BF 18 0D 0A", 200},
        // id 82 (130), 01 (on)
        {"Set_Radio_FEC", [](Em_Gnss& g, auto& v) { g.Set_Radio_FEC(v, true); }, {8},
         "24 24 56 53 1B 07 40 82 7D 01 00 01 BF 19 0D 0A", 200},
        // id 83 (131)
        {"Get_Cmd_Radio_FEC", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Radio_FEC(v); }, {8},
         "24 24 56 53 1B 06 40 83 7C 00 00 BF 18 0D 0A", 200},
        // id 90 (144), m 5: on 01, interval 0A, "BX4"
        {"Set_Radio_Callsign", [](Em_Gnss& g, auto& v) { g.Set_Radio_Callsign(v, Callsign(7, 10, "BX4", 3)); },
         {8}, "24 24 56 53 1B 0B 40 90 6F 05 00 01 0A 42 58 34 9F 15 0D 0A", 200},
        // id 91 (145)
        {"Get_Cmd_Radio_Callsign", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Radio_Callsign(v); }, {8},
         "24 24 56 53 1B 06 40 91 6E 00 00 BF 18 0D 0A", 200},
        // id 88 (136), 01 (20 kHz)
        {"Set_Radio_ChannelSpace", [](Em_Gnss& g, auto& v) { g.Set_Radio_ChannelSpace(v, CHANNEL_SPACE_20K); }, {8},
         "24 24 56 53 1B 07 40 88 77 01 00 01 BF 19 0D 0A", 200},
        // id 89 (137)
        {"Get_Cmd_Radio_ChannelSpace", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Radio_ChannelSpace(v); }, {8},
         "24 24 56 53 1B 06 40 89 76 00 00 BF 18 0D 0A", 200},
    };
    for (const auto& row : rows) {
        for (int type = 1; type <= 9; ++type) {
            SCOPED_TRACE(std::string(row.name) + ", module type " + std::to_string(type));
            RadioRig rig(type);
            std::vector<_STR_CMD> out;
            row.call(*rig.gnss, out);
            if (row.types.count(type))
                ExpectFrames(out, {row.frame}, row.delay);
            else
                EXPECT_TRUE(out.empty());
        }
        // No receiver but the maker's old-protocol one is sent a radio
        // packet, except that the power and baud commands ask only for the
        // maker's old format: before its board is known it still has one,
        // with its first module type (3).
        const bool makerGated = std::string(row.name).find("Power") != std::string::npos ||
                                std::string(row.name).find("Baudrate") != std::string::npos;
        for (Receiver kind : {Receiver::OtherMaker, Receiver::NewProtocol, Receiver::NoBoard, Receiver::NoFormat}) {
            SCOPED_TRACE(std::string(row.name) + ", " + Name(kind));
            Rig rig(kind);
            std::vector<_STR_CMD> out;
            row.call(*rig.gnss, out);
            const bool sent = kind == Receiver::NoBoard && makerGated && row.types.count(3);
            EXPECT_EQ(out.size(), sent ? 1u : 0u);
        }
    }
}

TEST(RadioCmd, IntResultsFollowTheModuleType) {
    for (int type = 1; type <= 9; ++type) {
        SCOPED_TRACE(type);
        RadioRig rig(type);
        std::vector<_STR_CMD> out;
        const int power = type >= 6 && type <= 8 ? 1 : 0;
        const int baud = type <= 7 ? 1 : 0;
        EXPECT_EQ(rig.gnss->Set_Radio_Power(out, RADIO_POWER_2W), power);
        EXPECT_EQ(rig.gnss->Get_Radio_Power(out), power);
        EXPECT_EQ(rig.gnss->Set_Radio_Baudrate(out, RADIO_BAUD_9600), baud);
        EXPECT_EQ(rig.gnss->Get_Cmd_Radio_Baudrate(out), baud);
        EXPECT_EQ(out.size(), size_t(2 * power + 2 * baud));
    }
    // Another maker's receiver: the failure values, nothing appended.
    Rig other(Receiver::OtherMaker);
    std::vector<_STR_CMD> out;
    EXPECT_EQ(other.gnss->Set_Radio_Power(out, RADIO_POWER_2W), 0);
    EXPECT_EQ(other.gnss->Get_Cmd_Radio_Baudrate(out), 0);
    EXPECT_EQ(other.gnss->Get_Radio_Frq(out), -1);
    EXPECT_TRUE(out.empty());
}

// The frequency query waits for both replies that tell the module type.
TEST(RadioCmd, FrequencyQuery) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    EXPECT_EQ(rig.gnss->Get_Radio_Frq(out), 0);  // no device information yet
    rig.Old()->deviceInfoSeen = 1;
    EXPECT_EQ(rig.gnss->Get_Radio_Frq(out), 1);  // no module version yet
    EXPECT_TRUE(out.empty());

    const struct {
        int type;
        int result;
        std::string frame;
    } rows[] = {
        {1, 2, "24 24 56 53 1B 06 40 62 9D 00 00 BF 18 0D 0A"},  // id 62 (98)
        {2, 2, "24 24 56 53 1B 06 40 62 9D 00 00 BF 18 0D 0A"},
        {3, 2, "24 24 56 53 1B 06 40 6E 91 00 00 BF 18 0D 0A"},  // id 6E (110)
        {8, 2, "24 24 56 53 1B 06 40 6E 91 00 00 BF 18 0D 0A"},
        {9, -1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        RadioRig r(row.type);
        std::vector<_STR_CMD> frames;
        EXPECT_EQ(r.gnss->Get_Radio_Frq(frames), row.result);
        if (row.frame.empty())
            EXPECT_TRUE(frames.empty());
        else
            ExpectFrames(frames, {row.frame}, 200);
    }
}

TEST(RadioCmd, FrequencySetSnapsClampsAndCodes) {
    const struct {
        int type;
        double mhz;
        std::string frame;
    } rows[] = {
        // type 3, grid 12.5 kHz: 463.1125 MHz is channel 37049 = 90B9: id 6D (109), code B9 90
        {3, 463.1234, "24 24 56 53 1B 08 40 6D 92 02 00 B9 90 94 16 0D 0A"},
        // type 1: 500 MHz is held at 467, 240 steps of 50 kHz above 455: id 61 (97), code F0 00
        {1, 500.0, "24 24 56 53 1B 08 40 61 9E 02 00 F0 00 4D 16 0D 0A"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        RadioRig rig(row.type);
        std::vector<_STR_CMD> out;
        rig.gnss->Set_Radio_Frq(out, row.mhz);
        ExpectFrames(out, {row.frame}, 100);
    }
    // A module type without a coding, and another maker's receiver: nothing.
    RadioRig unknown(9);
    Rig other(Receiver::OtherMaker);
    std::vector<_STR_CMD> out;
    unknown.gnss->Set_Radio_Frq(out, 460.0);
    other.gnss->Set_Radio_Frq(out, 460.0);
    EXPECT_TRUE(out.empty());
}

// Type 8 codes its channels by the spacing the spacing command last chose.
TEST(RadioCmd, ChannelSpacingSetsTheCodingOfType8) {
    const struct {
        Channel_Space code;
        uint8_t sent;
        double kept;
    } rows[] = {{CHANNEL_SPACE_12K5, 0, 12.5}, {CHANNEL_SPACE_20K, 1, 20.0}, {CHANNEL_SPACE_25K, 2, 12.5},
                {Channel_Space(7), 0, 12.5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.code));
        RadioRig rig(8);
        rig.Old()->radio.spacing = 99.0;
        std::vector<_STR_CMD> out;
        rig.gnss->Set_Radio_ChannelSpace(out, row.code);
        ASSERT_EQ(out.size(), 1u);
        const Module m = ReadModule(out[0]);
        EXPECT_EQ(m.id, 136);
        EXPECT_EQ(m.data, Bytes{row.sent});
        EXPECT_DOUBLE_EQ(rig.Old()->radio.spacing, row.kept);
    }
    RadioRig rig(8);
    std::vector<_STR_CMD> out;
    rig.gnss->Set_Radio_ChannelSpace(out, CHANNEL_SPACE_20K);
    rig.gnss->Set_Radio_Frq(out, 410.02);
    ASSERT_EQ(out.size(), 2u);
    // 410.02 MHz in 20 kHz channels: 20501 = 5015, low byte first
    EXPECT_EQ(ReadModule(out[1]).data, Hex("15 50"));
    EXPECT_EQ(ReadModule(out[1]).id, 109);
}

TEST(RadioCmd, CallsignOfFifteenOrMoreIsNotSent) {
    for (unsigned length : {14u, 15u, 200u}) {
        SCOPED_TRACE(length);
        RadioRig rig(8);
        std::vector<_STR_CMD> out;
        rig.gnss->Set_Radio_Callsign(out, Callsign(0, 3, "ABCDEFGHIJKLMNOP", length));
        if (length == 14) {
            ASSERT_EQ(out.size(), 1u);
            // off 00, interval 03, the fourteen characters
            EXPECT_EQ(ReadModule(out[0]).data, Hex("00 03 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E"));
        } else {
            EXPECT_TRUE(out.empty());
        }
        // Setting never changes the record of what the module reported.
        Radio_Callsign back{};
        rig.gnss->Get_Radio_Callsign(back);
        EXPECT_EQ(back.message[Radio_Callsign::kLengthByte], 0);
    }
}

TEST(RadioGetters, RecordValuesAndTheirGates) {
    RadioRig rig(7);
    RadioRecord& radio = rig.Old()->radio;
    radio.power = 4;
    radio.baudCode = 2;
    radio.frequency = 460.125;
    radio.channelWord = 9;
    EXPECT_EQ(rig.gnss->Get_Radio_Power(), RADIO_POWER_1W);
    EXPECT_EQ(rig.gnss->Get_Radio_Baudrate(), RADIO_BAUD_19200);
    EXPECT_DOUBLE_EQ(rig.gnss->Get_Radio_Frq(), 460.125);
    EXPECT_EQ(int(rig.gnss->Get_Transmit_Mdl()), 9);

    // Receivers without the old format's radio record give the failure
    // values instead of reading a record they do not have.
    for (Receiver kind : {Receiver::OtherMaker, Receiver::NewProtocol, Receiver::NoBoard, Receiver::NoFormat}) {
        SCOPED_TRACE(Name(kind));
        Rig r(kind);
        EXPECT_EQ(int(r.gnss->Get_Radio_Power()), 0);
        EXPECT_EQ(int(r.gnss->Get_Radio_Frq() * 10), -10);
        EXPECT_EQ(int(r.gnss->Get_Transmit_Mdl()), -1);
        Radio_Range range{1, 2, 3};
        EXPECT_EQ(r.gnss->Get_Radio_Range(range), -1);
        EXPECT_DOUBLE_EQ(range.upperMHz, 1);
    }
    // The maker's receiver before its board is known still has the old
    // format's record: the maker-gated getters read it.
    Rig noBoard(Receiver::NoBoard);
    noBoard.Old()->radio.baudCode = 1;
    EXPECT_EQ(noBoard.gnss->Get_Radio_Baudrate(), RADIO_BAUD_4800);
    Rig other(Receiver::OtherMaker);
    EXPECT_EQ(int(other.gnss->Get_Radio_Baudrate()), -1);
}

TEST(RadioGetters, RangeAndInfoByModuleType) {
    const struct {
        int type;
        Radio_Range range;
        uint32_t word7, protocols, word9, features, powers;
    } rows[] = {
        {1, {467, 455, 50}, 0, 0x72000000, 0x01000000, 0x03220000, 0},
        {2, {430, 410, 50}, 0, 0x72000000, 0x01000000, 0x03220000, 0},
        {3, {470, 450, 12.5}, 0, 0x72000000, 0x01000000, 0x03220000, 0},
        {4, {430, 410, 12.5}, 0, 0x72000000, 0x01000000, 0x03220000, 0},
        {5, {450, 430, 12.5}, 0, 0x72000000, 0x01000000, 0x03220000, 0},
        {6, {470, 450, 12.5}, 1, 0x70000000, 0x03000000, 0x0B000000, 15},
        // offered with a 25 kHz step though its record rounds to 12.5 kHz
        {7, {463, 455, 25}, 1, 0x10000000, 0x03000000, 0x0B000000, 15},
        {8, {473, 403, 12.5}, 1, 0xE1000000, 0x03000000, 0x0BD10000, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        RadioRig rig(row.type);
        Radio_Range range{};
        EXPECT_EQ(rig.gnss->Get_Radio_Range(range), 2);
        EXPECT_EQ(std::memcmp(&range, &row.range, sizeof range), 0);
        Radio_Info info{};
        EXPECT_EQ(rig.gnss->Get_Radio_Info(info), 2);
        EXPECT_EQ(std::memcmp(&info, &row.range, sizeof range), 0);
        EXPECT_EQ(info.moduleCode, uint32_t(row.type));
        EXPECT_EQ(info.reserved1, row.word7);
        EXPECT_EQ(info.protocolBits, row.protocols);
        EXPECT_EQ(info.reserved2, row.word9);
        EXPECT_EQ(info.featureBits, row.features);
        EXPECT_EQ(info.powerBits, row.powers);
    }
    // A type outside 1..8: the offer words of "any other type", the band
    // words untouched, -1.
    RadioRig unknown(9);
    Radio_Info info{};
    info.upperMHz = 1.0;
    info.moduleCode = 77;
    EXPECT_EQ(unknown.gnss->Get_Radio_Info(info), -1);
    EXPECT_DOUBLE_EQ(info.upperMHz, 1.0);
    EXPECT_EQ(info.moduleCode, 77u);
    EXPECT_EQ(info.featureBits, 0x03220000u);
    Radio_Range range{5, 6, 7};
    EXPECT_EQ(unknown.gnss->Get_Radio_Range(range), -1);
    EXPECT_DOUBLE_EQ(range.lowerMHz, 6);

    // Before either reply: 0, then 1, and the records stay as they were.
    Rig rig(Receiver::OldProtocol);
    Radio_Info before{};
    before.featureBits = 123;
    EXPECT_EQ(rig.gnss->Get_Radio_Info(before), 0);
    rig.Old()->deviceInfoSeen = 1;
    EXPECT_EQ(rig.gnss->Get_Radio_Info(before), 1);
    EXPECT_EQ(rig.gnss->Get_Radio_Range(range), 1);
    EXPECT_EQ(before.featureBits, 123u);
    EXPECT_DOUBLE_EQ(range.lowerMHz, 6);
}

// ---- static recording, eBubble ----------------------------------------------

TEST(StaticCmd, GoldenFrames) {
    Static_Point point{};
    point.nameLength = 3;
    Put(point.name, "P01");
    point.antennaHeight = 1.5f;
    point.antennaType = 0x107;
    point.surveyTo = 4;
    const struct {
        const char* name;
        Export call;
        std::vector<std::string> frames;
        uint32_t delay;
    } rows[] = {
        // FA | head 18 | 0A bytes: length 03, "P01", 1.5f (00 00 C0 3F), antenna 07, slant 03 | XOR BC
        {"Set_Static_Point", [&](Em_Gnss& g, auto& v) { g.Set_Static_Point(v, &point); },
         {"24 24 46 41 18 0A 03 50 30 31 00 00 C0 3F 07 03 BC 0D 0A"}, 10},
        // FB, no payload
        {"Get_Cmd_Static_Point", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Static_Point(v); }, {"24 24 46 42 18 00 1C 0D 0A"},
         10},
        // FD 00: begin
        {"Set_Static_Begin(true)", [](Em_Gnss& g, auto& v) { g.Set_Static_Begin(v, true); },
         {"24 24 46 44 18 01 00 1B 0D 0A"}, 100},
        // FD 01: end
        {"Set_Static_Begin(false)", [](Em_Gnss& g, auto& v) { g.Set_Static_Begin(v, false); },
         {"24 24 46 44 18 01 01 1A 0D 0A"}, 100},
        // interval 258 = 0102: SJ 2A 00, SJ 5C 02 (low byte), SJ 5D 01 (high byte), FD 00, FH 01
        {"Set_Static_Begin(true, 258)", [](Em_Gnss& g, auto& v) { g.Set_Static_Begin(v, true, 258); },
         {"24 24 53 4A 18 02 2A 00 29 0D 0A", "24 24 53 4A 18 02 5C 02 5D 0D 0A", "24 24 53 4A 18 02 5D 01 5F 0D 0A",
          "24 24 46 44 18 01 00 1B 0D 0A", "24 24 46 48 18 01 01 16 0D 0A"},
         100},
        // end: SJ 2A 01, FD 01, FH 00
        {"Set_Static_Begin(false, 258)", [](Em_Gnss& g, auto& v) { g.Set_Static_Begin(v, false, 258); },
         {"24 24 53 4A 18 02 2A 01 28 0D 0A", "24 24 46 44 18 01 01 1A 0D 0A", "24 24 46 48 18 01 00 17 0D 0A"}, 100},
        // FF 0A: 10 Hz
        {"Set_eBubble_frq(10 Hz)", [](Em_Gnss& g, auto& v) { g.Set_eBubble_frq(v, GNSS_FRQ_10HZ); },
         {"24 24 46 46 18 01 0A 13 0D 0A"}, 100},
        // FF 05: 5 Hz for every rate but 10 Hz and 1 Hz
        {"Set_eBubble_frq(5 Hz)", [](Em_Gnss& g, auto& v) { g.Set_eBubble_frq(v, GNSS_FRQ_5HZ); },
         {"24 24 46 46 18 01 05 1C 0D 0A"}, 100},
        {"Set_eBubble_frq(2 s)", [](Em_Gnss& g, auto& v) { g.Set_eBubble_frq(v, GNSS_FRQ_2S); },
         {"24 24 46 46 18 01 05 1C 0D 0A"}, 100},
        // FF 01: 1 Hz
        {"Set_eBubble_frq(1 Hz)", [](Em_Gnss& g, auto& v) { g.Set_eBubble_frq(v, GNSS_FRQ_1HZ); },
         {"24 24 46 46 18 01 01 18 0D 0A"}, 100},
        // FG: on 01, 300 = 012C low byte first
        {"Set_eBubble_calibration", [](Em_Gnss& g, auto& v) { g.Set_eBubble_calibration(v, true, 300); },
         {"24 24 46 47 18 03 01 2C 01 36 0D 0A"}, 10},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig(Receiver::OldProtocol);
        std::vector<_STR_CMD> out;
        row.call(*rig.gnss, out);
        ExpectFrames(out, row.frames, row.delay);
        // Only the interval form of the static begin reaches receivers of the
        // maker without an old-protocol board as it is; the eBubble rate and
        // calibration reach the new-protocol receiver as one command of its
        // own; none reaches other makers'.
        for (Receiver kind : {Receiver::OtherMaker, Receiver::NoFormat, Receiver::NewProtocol}) {
            Rig other(kind);
            std::vector<_STR_CMD> none;
            row.call(*other.gnss, none);
            const bool interval = std::string(row.name).find(", 258") != std::string::npos;
            const bool bubble = std::string(row.name).rfind("Set_eBubble", 0) == 0;
            const size_t want = kind != Receiver::NewProtocol ? 0u : interval ? row.frames.size() : bubble ? 1u : 0u;
            EXPECT_EQ(none.size(), want) << Name(kind);
        }
    }
}

TEST(StaticCmd, PointEdges) {
    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Set_Static_Point(out, nullptr);
    EXPECT_TRUE(out.empty());

    // A stated name length past the 35-byte name sends the 35 bytes only;
    // survey-to 5 is sent as 1 (vertical).
    Static_Point point{};
    point.nameLength = 200;
    std::memset(point.name, 'N', sizeof point.name);
    point.surveyTo = 5;
    rig.gnss->Set_Static_Point(out, &point);
    ASSERT_EQ(out.size(), 1u);
    const Dollar d = ReadDollar(out[0]);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.letters, "FA");
    ASSERT_EQ(d.payload.size(), 35u + 7u);
    EXPECT_EQ(d.payload[0], 35);
    EXPECT_EQ(d.payload[35], 'N');
    EXPECT_EQ(d.payload[41], 1);

    // Over Bluetooth the frames carry mode 3 in the head byte.
    Rig bt(Receiver::OldProtocol, MAINBD_NOVATEL_OEM, COM_STATUS_BLUETOOTH);
    std::vector<_STR_CMD> frames;
    bt.gnss->Get_Cmd_Static_Point(frames);
    ExpectFrames(frames, {"24 24 46 42 38 00 3C 0D 0A"}, 10);  // head 38 = class 8 + 16 x 3
}

// ---- PPK points ---------------------------------------------------------------

TEST(PpkCmd, PointsInFiftyFiveBytePieces) {
    StartPointInfo start{};
    start.head.value = 0x12345678;
    start.head.code = 0xA5;
    for (int i = 0; i < 30; ++i) start.head.field[i] = uint8_t('0' + i % 10);
    start.head.flag = 0x5A;
    start.textLength = 20;
    for (int i = 0; i < 20; ++i) start.text[i] = char('A' + i);

    Rig rig(Receiver::OldProtocol);
    std::vector<_STR_CMD> out;
    rig.gnss->Get_Cmd_StartPPKpt(out, &start);
    ASSERT_EQ(out.size(), 2u);
    Bytes packet;
    for (const _STR_CMD& cmd : out) {
        const Dollar d = ReadDollar(cmd);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.letters, "FY");
        EXPECT_EQ(cmd.delay, 10u);
        packet.insert(packet.end(), d.payload.begin(), d.payload.end());
    }
    EXPECT_EQ(ReadDollar(out[0]).payload.size(), 55u);
    // The last piece whole: FY | head 18 | 9 bytes: text "NOPQRST", sum 0F60 (LE) | XOR 34
    EXPECT_EQ(Data(out[1]), Hex("24 24 46 59 18 09 4E 4F 50 51 52 53 54 60 0F 34 0D 0A"));
    const Bytes expected = Hex(
        "01 0B F4"                     // packet head
        " 3A"                          // 58 bytes from the kind up to the sum
        " 06"                          // kind: start point
        " 78 56 34 12"                 // value, little-endian
        " A5"                          // code
        " 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39"
        " 5A"                          // flag
        " 14"                          // 20 text bytes
        " 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54"
        " 60 0F");                     // 16-bit sum, little-endian
    EXPECT_EQ(packet, expected);

    // An end point: 47 bytes in one frame.
    EndPointInfo end{};
    end.head.value = 1;
    end.endValue = 0x40302010;
    out.clear();
    rig.gnss->Get_Cmd_EndPPKpt(&end, out);
    ASSERT_EQ(out.size(), 1u);
    const Dollar e = ReadDollar(out[0]);
    ASSERT_EQ(e.payload.size(), 47u);
    // kind 07 after a length of 29 (41); the value 10 20 30 40; sum 01D1
    EXPECT_EQ(Bytes(e.payload.begin(), e.payload.begin() + 5), Hex("01 0B F4 29 07"));
    EXPECT_EQ(Bytes(e.payload.end() - 6, e.payload.end()), Hex("10 20 30 40 D1 01"));

    // An antenna point: 60 bytes, 55 and 5.
    AntPointInfo ant{};
    ant.head.value = 2;
    ant.antennaCode = 9;
    ant.antennaValue = 1000;
    out.clear();
    rig.gnss->Get_Cmd_AntPPKpt(&ant, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Data(out[0]).size(), 55u + 9u);
    // the last five: four of the twelve zero bytes, sum 0238
    EXPECT_EQ(Data(out[1]), Hex("24 24 46 59 18 05 00 00 00 38 02 38 0D 0A"));
    EXPECT_EQ(ReadDollar(out[0]).payload[41], 9);  // antenna code after the head

    // Null points, a text longer than the packet holds, and other makers'
    // receivers: nothing (the new protocol's form has its own test).
    out.clear();
    rig.gnss->Get_Cmd_StartPPKpt(out, nullptr);
    rig.gnss->Get_Cmd_EndPPKpt(nullptr, out);
    rig.gnss->Get_Cmd_AntPPKpt(nullptr, out);
    start.textLength = 107;
    rig.gnss->Get_Cmd_StartPPKpt(out, &start);
    EXPECT_TRUE(out.empty());
    start.textLength = 20;
    for (Receiver kind : {Receiver::OtherMaker, Receiver::NoFormat}) {
        Rig other(kind);
        other.gnss->Get_Cmd_StartPPKpt(out, &start);
        other.gnss->Get_Cmd_EndPPKpt(&end, out);
        EXPECT_TRUE(out.empty()) << Name(kind);
    }
}
