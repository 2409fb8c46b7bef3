// "VI" replies of the receiver's internal modem and radio module: collection
// over several frames, the reply table, both modem parameter layouts across
// module versions, the NTRIP login read-back, the call sign, and the radio
// frequency round trip for every module type.

#include "protocol/oldproto/Em_OldReplyDecoders.h"

#include "OldFrameFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace old_fixtures;

namespace {

Call Bit(uint32_t bits) { return {MSG_TYPE_ORVEL, bits}; }

std::vector<Call> Send(OldRig& rig, uint8_t id, const Bytes& data) { return rig.FeedAndPump(ViFrames(Module(id, data))); }

// Tells the module version; returns the callbacks.
std::vector<Call> SendVersion(OldRig& rig, const char* text4) { return Send(rig, 95, Text(text4)); }

// Data of a modem parameter reply in layout A (offsets in the packet; the data
// starts at packet offset 7).
Bytes LayoutA() {
    Bytes p(7 + 120, 0);
    p[7] = 192, p[8] = 168, p[9] = 1, p[10] = 20;  // address
    p[11] = 0x08, p[12] = 0x35;                     // port 2101, high byte first
    p[13] = 'T';                                    // NTRIP client
    p[23] = 5;
    std::memcpy(&p[24], "BASE1", 5);                // text5
    p[39] = 4;
    std::memcpy(&p[40], "user", 4);                 // text4
    p[71] = 1;                                      // online
    p[72] = 3;
    std::memcpy(&p[73], "apn", 3);                  // text1
    p[104] = 9;
    std::memcpy(&p[105], "pass\0dial", 9);          // text3, zero, text2
    return Bytes(p.begin() + 7, p.end());
}

// Layout B: the host text in place of the address.
Bytes LayoutB() {
    Bytes p(7 + 150, 0);
    p[7] = 15;
    std::memcpy(&p[8], "caster.example.", 15);     // host text
    p[39] = 0x1F, p[40] = 0x90;                     // port 8080
    p[41] = 'S';                                    // plain TCP
    p[51] = 2;
    std::memcpy(&p[52], "ID", 2);                   // text5
    p[67] = 3;
    std::memcpy(&p[68], "usr", 3);                  // text4
    p[99] = 0;                                      // offline
    p[100] = 4;
    std::memcpy(&p[101], "cmnet", 4);               // text1 (4 of 5 characters)
    p[132] = 6;
    std::memcpy(&p[133], "pw\0" "123", 6);             // text3, zero, text2
    return Bytes(p.begin() + 7, p.end());
}

}  // namespace

TEST(OldReplyModule, SimpleRepliesStoreTheirByte) {
    using Check = std::function<void(const Em_Format_OrvelNav&)>;
    const struct {
        uint8_t id;
        Bytes data;
        uint32_t bit;
        Check check;
    } rows[] = {
        {99, {0x03}, OldReplyBits::ModemStatus, [](auto& f) { EXPECT_EQ(f.modem.status, 3); }},
        {103, {0x05}, OldReplyBits::DialProtocol, [](auto& f) { EXPECT_EQ(f.modem.statusByte4, 5); }},
        {104, {0x00, 0x07}, OldReplyBits::ModemError, [](auto& f) { EXPECT_EQ(f.modem.error, 7); }},
        {106, {0x02}, OldReplyBits::LoginMode, [](auto& f) { EXPECT_EQ(f.modem.loginMode, 2); }},
        {118, {0x04}, OldReplyBits::RadioPower, [](auto& f) { EXPECT_EQ(f.radio.power, 4); }},
        {118, {0x06}, OldReplyBits::RadioPower, [](auto& f) { EXPECT_EQ(f.radio.power, 0); }},
        {121, {0x02}, OldReplyBits::RadioBaud, [](auto& f) { EXPECT_EQ(f.radio.baudCode, 2); }},
        {121, {0x03}, OldReplyBits::RadioBaud, [](auto& f) { EXPECT_EQ(f.radio.baudCode, -1); }},
        {129, {0x01}, OldReplyBits::Sensitivity, [](auto& f) { EXPECT_EQ(f.radio.sensitivity, 1); }},
        {129, {0x05}, OldReplyBits::Sensitivity, [](auto& f) { EXPECT_EQ(f.radio.sensitivity, 0); }},
        {131, {0x01}, OldReplyBits::Fec, [](auto& f) { EXPECT_EQ(f.radio.fec, 1); }},
        {131, {0x02}, OldReplyBits::Fec, [](auto& f) { EXPECT_EQ(f.radio.fec, 0); }},
        {137, {0x01}, OldReplyBits::ChannelSpacing,
         [](auto& f) { EXPECT_EQ(f.radio.spacing, 20.0); EXPECT_EQ(f.radio.spacingCode, 1); }},
        {137, {0x02}, OldReplyBits::ChannelSpacing,
         [](auto& f) { EXPECT_EQ(f.radio.spacing, 12.5); EXPECT_EQ(f.radio.spacingCode, 2); }},
        {137, {0x07}, OldReplyBits::ChannelSpacing,
         [](auto& f) { EXPECT_EQ(f.radio.spacing, 12.5); EXPECT_EQ(f.radio.spacingCode, 0); }},
        {116, Text("STR;A"), OldReplyBits::SourceTable,
         [](auto& f) {
             // Everything collected from the data on, less the 8 bytes around it:
             // the data, the check byte and one trailing byte.
             EXPECT_EQ(f.modem.sourceTableLength, 7u);
             EXPECT_EQ(std::memcmp(f.modem.sourceTable, "STR;A", 5), 0);
         }},
    };
    for (const auto& row : rows) {
        OldRig rig;
        EXPECT_EQ(Send(rig, row.id, row.data), std::vector<Call>{Bit(row.bit)}) << int(row.id);
        row.check(rig.format);
        EXPECT_EQ(rig.format.replyBuffer.fill, 0u);
    }
}

// Replies that store nothing, or are too short for their field, give no
// callback and leave the collection empty for the next reply.
TEST(OldReplyModule, NothingToStoreOrTooShort) {
    OldRig rig;
    EXPECT_TRUE(Send(rig, 113, {0x00}).empty());
    EXPECT_TRUE(Send(rig, 200, {0x01, 0x02}).empty());
    EXPECT_TRUE(rig.FeedAndPump(Dollar("VI", {0x40, 99, 156})).empty()) << "no data byte";
    EXPECT_TRUE(rig.FeedAndPump(Dollar("VI", {0x40, 104, 151, 1, 0, 0, 0, 0x00})).empty()) << "error is data byte 1";
    EXPECT_EQ(rig.format.modem.status, -1);
    EXPECT_EQ(rig.format.modem.error, -1);
    // A collection that does not open with 0x40, or a single byte, is dropped.
    EXPECT_TRUE(rig.FeedAndPump(Dollar("VI", {0x41, 99, 156, 1, 0, 0, 0, 0x05})).empty());
    EXPECT_TRUE(rig.FeedAndPump(Dollar("VI", {0x40})).empty());
    EXPECT_EQ(rig.format.replyBuffer.fill, 0u);
    EXPECT_EQ(Send(rig, 99, {0x09}), std::vector<Call>{Bit(OldReplyBits::ModemStatus)});
    EXPECT_EQ(rig.format.modem.status, 9);
}

TEST(OldReplyModule, SignalFromTheCsqText) {
    const struct {
        const char* text;
        int raw;        // -1: unchanged
        int level;
    } rows[] = {
        {"\r\n+CSQ: 99,99\r\n\r\nOK\r\n", 99, 0},
        {"+CSQ: 31,0", 31, 6},
        {"+CSQ: 12,0", 12, 1},
        {"+CSQ: 9,0", 9, 0},
        {"+CSQ: 20", 20, 3},
        {"+CSQ: 32", 32, 0},
        {"ERROR", -1, 0},
        {"+CSQ:", -1, 0},
    };
    for (const auto& row : rows) {
        OldRig rig;
        const std::vector<Call> calls = Send(rig, 101, Text(row.text));
        EXPECT_EQ(rig.format.modem.signalRaw, row.raw) << row.text;
        EXPECT_EQ(rig.format.modem.signalLevel, row.level) << row.text;
        EXPECT_EQ(calls.size(), row.raw == -1 ? 0u : 1u) << row.text;
    }
    for (int csq = 0; csq <= 99; ++csq) {
        const int expected = csq < 10 ? 0 : csq < 14 ? 1 : csq < 17 ? 2 : csq < 21 ? 3 : csq < 25 ? 4 : csq < 29 ? 5
                             : csq < 32 ? 6 : 0;
        EXPECT_EQ(SignalLevelFromCsq(csq), expected) << csq;
    }
}

TEST(OldReplyModule, VersionRules) {
    const struct {
        const char* text;
        double version;
        int major, minor;
        int newLayout;
        int type1Becomes;  // what radio module type 1 becomes
    } rows[] = {
        {"2.50", 2.5, 2, 50, 0, 1},   {"2.87", 2.87, 2, 87, 0, 1}, {"2.88", 2.88, 2, 88, 1, 1},
        {"2.97", 2.97, 2, 97, 1, 1},  {"2.98", 2.98, 2, 98, 0, 1}, {"3.54", 3.54, 3, 54, 0, 1},
        {"3.55", 3.55, 3, 55, 0, 3},  {"3.59", 3.59, 3, 59, 1, 3}, {"3.68", 3.68, 3, 68, 1, 3},
        {"3.69", 3.69, 3, 69, 0, 3},  {"4.69", 4.69, 4, 69, 1, 3}, {"4.99", 4.99, 4, 99, 1, 3},
        {"5.60", 5.6, 5, 60, 1, 3},   {"6.60", 6.6, 6, 60, 0, 3},
    };
    for (const auto& row : rows) {
        OldRig rig;
        rig.format.radio.moduleType = 1;
        SetRadioRanges(rig.format.radio);
        EXPECT_EQ(SendVersion(rig, row.text), std::vector<Call>{Bit(OldReplyBits::ModemVersion)}) << row.text;
        const ModemRecord& m = rig.format.modem;
        EXPECT_DOUBLE_EQ(m.version, row.version) << row.text;
        EXPECT_EQ(m.versionMajor, row.major) << row.text;
        EXPECT_EQ(m.versionMinor, row.minor) << row.text;
        EXPECT_EQ(m.newLayout, row.newLayout) << row.text;
        EXPECT_EQ(rig.format.moduleVersionSeen, 1) << row.text;
        EXPECT_EQ(rig.format.radio.moduleType, row.type1Becomes) << row.text;
        EXPECT_EQ(rig.format.radio.lowerLimit, row.type1Becomes == 3 ? 450.0 : 455.0) << row.text;
    }
    // Type 2 becomes 4; types 3 to 8 stay.
    OldRig rig;
    rig.format.radio.moduleType = 2;
    SendVersion(rig, "3.60");
    EXPECT_EQ(rig.format.radio.moduleType, 4);
    rig.format.radio.moduleType = 8;
    SendVersion(rig, "3.60");
    EXPECT_EQ(rig.format.radio.moduleType, 8);
    // Four bytes are needed.
    OldRig shortVersion;
    EXPECT_TRUE(shortVersion.FeedAndPump(Dollar("VI", {0x40, 95, 160, 3, 0, 0, 0, '3', '.', '6'})).empty());
    EXPECT_EQ(shortVersion.format.moduleVersionSeen, 0);
}

// The parameter reply comes in several frames and is decoded once it is all
// there, in the layout the module version chose.
TEST(OldReplyModule, ModemParametersInBothLayouts) {
    OldRig rig;
    const Bytes a = ViFrames(Module(89, LayoutA()), 50);
    // All but the last frame: still collecting.
    const size_t lastFrame = a.size() - (130 - 100 + 9);
    EXPECT_TRUE(rig.FeedAndPump(Bytes(a.begin(), a.begin() + long(lastFrame))).empty());
    EXPECT_EQ(rig.format.replyBuffer.fill, 100u);
    EXPECT_EQ(rig.FeedAndPump(Bytes(a.begin() + long(lastFrame), a.end())), std::vector<Call>{Bit(OldReplyBits::ModemInfo)});
    const ModemRecord& m = rig.format.modem;
    EXPECT_EQ(Bytes(m.address, m.address + 4), (Bytes{192, 168, 1, 20}));
    EXPECT_EQ(m.port, 2101);
    EXPECT_EQ(m.protocol, 1);
    EXPECT_EQ(m.text5, "BASE1");
    EXPECT_EQ(m.text4, "user");
    EXPECT_EQ(m.onlineFlag, 1);
    EXPECT_EQ(m.text1, "apn");
    EXPECT_EQ(m.text3, "pass");
    EXPECT_EQ(m.text2, "dial");

    SendVersion(rig, "3.60");
    ASSERT_EQ(m.newLayout, 1);
    EXPECT_EQ(Send(rig, 115, LayoutB()), std::vector<Call>{Bit(OldReplyBits::ModemInfo)});
    EXPECT_EQ(m.apnLength, 15);
    EXPECT_EQ(std::string(m.apnText, 15), "caster.example.");
    EXPECT_EQ(m.apnText[15], 0);
    EXPECT_EQ(m.port, 8080);
    EXPECT_EQ(m.protocol, 3);
    EXPECT_EQ(m.text5, "ID");
    EXPECT_EQ(m.text4, "usr");
    EXPECT_EQ(m.onlineFlag, 0);
    EXPECT_EQ(m.text1, "cmne");
    EXPECT_EQ(m.text3, "pw");
    EXPECT_EQ(m.text2, "123");
    EXPECT_EQ(Bytes(m.address, m.address + 4), (Bytes{192, 168, 1, 20})) << "layout B leaves the address";
}

TEST(OldReplyModule, ModemParametersThatFailTheirChecksChangeNothing) {
    const auto unchanged = [](const ModemRecord& m) {
        EXPECT_EQ(m.port, 0);
        EXPECT_TRUE(m.text1.empty());
    };
    {
        OldRig rig;
        Bytes packet = Module(89, LayoutA());
        packet[50] ^= 0x01;  // XOR no longer 0
        EXPECT_TRUE(rig.FeedAndPump(ViFrames(packet)).empty());
        unchanged(rig.format.modem);
        EXPECT_EQ(rig.format.replyBuffer.fill, 0u);
    }
    {
        OldRig rig;
        Bytes packet = Module(89, LayoutA());
        packet[2] = 0x00;  // does not name itself
        packet[7 + 120] ^= 0xA6;
        EXPECT_TRUE(rig.FeedAndPump(ViFrames(packet)).empty());
        unchanged(rig.format.modem);
    }
    {
        // A packet whose XOR comes to 0x40 passes.
        OldRig rig;
        Bytes packet = Module(89, LayoutA());
        packet[7 + 120] ^= 0x40;
        EXPECT_EQ(rig.FeedAndPump(ViFrames(packet)).size(), 1u);
        EXPECT_EQ(rig.format.modem.port, 2101);
    }
    {
        // Too short for the layout's fixed fields.
        OldRig rig;
        EXPECT_TRUE(Send(rig, 89, Bytes(90, 0x31)).empty());
        unchanged(rig.format.modem);
    }
    {
        // A length that could never be collected is dropped at once.
        OldRig rig;
        EXPECT_TRUE(rig.FeedAndPump(Dollar("VI", {0x40, 89, 166, 0xFF, 0xFF, 0xFF, 0xFF, 0x00})).empty());
        EXPECT_EQ(rig.format.replyBuffer.fill, 0u);
        EXPECT_EQ(Send(rig, 89, LayoutA()).size(), 1u);
    }
}

// Text lengths in the reply are bounded by the bytes received and by the
// fields they fill.
TEST(OldReplyModule, ParameterTextsAreBoundedByTheReply) {
    OldRig rig;
    Bytes data = LayoutA();
    data[104 - 7] = 200;                  // j beyond the data: the split runs to its end
    data[72 - 7] = 250;                   // text1 longer than the data
    EXPECT_EQ(Send(rig, 89, data).size(), 1u);
    EXPECT_EQ(rig.format.modem.text1.size(), 120u - (73 - 7));
    EXPECT_EQ(rig.format.modem.text3, "pass");

    SendVersion(rig, "2.90");
    Bytes b = LayoutB();
    b[0] = 60;                            // host text longer than its 32-byte field
    EXPECT_EQ(Send(rig, 115, b).size(), 1u);
    EXPECT_EQ(rig.format.modem.apnLength, 32);
}

TEST(OldReplyModule, NtripLoginReadBack) {
    const struct {
        Bytes data;
        const char *mount, *user, *password;
        int corsAuto;
    } rows[] = {
        {Cat(Text("RTCM32"), Cat({0x00, 0x4D, 0x00}, Text(std::string("me\0secret\0", 10)))), "RTCM32", "me", "secret", 1},
        {Cat(Text("M"), Cat({0x00, 0x7F, 0x00}, Text(std::string("u\0p\0", 4)))), "M", "u", "p", 2},
        {Cat(Text("M"), Cat({0x00, 0x2D, 0x00}, Text(std::string("u\0p\0", 4)))), "M", "u", "p", 0},
        // A text without its zero byte ends the decoding there.
        {Cat(Text("M"), Cat({0x00, 0x4D, 0x00}, Text("user"))), "M", "", "", 1},
        {Text("MOUNT"), "", "", "", -1},
    };
    for (const auto& row : rows) {
        OldRig rig;
        std::strcpy(rig.format.modem.cors.password, "old");
        EXPECT_EQ(Send(rig, 108, row.data), std::vector<Call>{Bit(OldReplyBits::NtripLogin)});
        const cors_info& c = rig.format.modem.cors;
        EXPECT_STREQ(c.mountPoint, row.mount);
        EXPECT_STREQ(c.userName, row.user);
        EXPECT_STREQ(c.password, row.password);
        EXPECT_EQ(rig.format.modem.corsAuto, row.corsAuto);
    }
    // Longer than its field: cut to it and ended with a zero byte.
    OldRig rig;
    Send(rig, 108, Cat(Text(std::string(30, 'm')), Cat({0x00, 0x4D, 0x00}, Text(std::string(60, 'u') + '\0' + "p" + '\0'))));
    EXPECT_EQ(std::string(rig.format.modem.cors.mountPoint), std::string(19, 'm'));
    EXPECT_EQ(std::string(rig.format.modem.cors.userName), std::string(49, 'u'));
    EXPECT_STREQ(rig.format.modem.cors.password, "p");
}

TEST(OldReplyModule, CallSign) {
    OldRig rig;
    // Data length 5 gives a call sign of 3 characters.
    EXPECT_EQ(Send(rig, 145, {0x01, 0x0A, 'B', 'R', 'T'}), std::vector<Call>{Bit(OldReplyBits::Callsign)});
    const RadioRecord& r = rig.format.radio;
    EXPECT_EQ(r.callsignOn, 1);
    EXPECT_EQ(r.callsignValue, 10);
    EXPECT_EQ(r.callsignLength, 3);
    EXPECT_EQ(std::string(r.callsignText, 3), "BRT");
    EXPECT_EQ(Send(rig, 145, Cat({0x00, 0x05}, Text("ABCDEFGHIJKLMN"))).size(), 1u);
    EXPECT_EQ(r.callsignLength, 14);
    EXPECT_EQ(r.callsignOn, 0);
    EXPECT_EQ(std::string(r.callsignText, 14), "ABCDEFGHIJKLMN");
    // 15 characters or more, or a length below 2, are not stored.
    EXPECT_TRUE(Send(rig, 145, Cat({0x01, 0x05}, Text("ABCDEFGHIJKLMNO"))).empty());
    EXPECT_TRUE(Send(rig, 145, {0x01}).empty());
    EXPECT_EQ(r.callsignLength, 14);
    // A length byte that claims more than was received is ignored.
    Bytes packet = Module(145, {0x01, 0x0A, 'B', 'R', 'T'});
    packet[3] = 9;
    EXPECT_TRUE(rig.FeedAndPump(ViFrames(packet)).empty());
    EXPECT_EQ(r.callsignLength, 14);
}

// The frequency the receiver reports in a module reply reads back as the
// frequency whose code the encoder made, for every module type, at the band
// edges and inside; one code byte works for the types that need no more.
TEST(OldReplyModule, RadioFrequencyRoundTripForEveryModuleType) {
    for (int type = 1; type <= 8; ++type) {
        OldRig rig;
        RadioRecord& radio = rig.format.radio;
        radio.moduleType = type;
        SetRadioRanges(radio);
        const double grid = type == 8 ? radio.spacing : radio.grid;
        const int channels = int((radio.upperLimit - radio.lowerLimit) * 1000 / grid + 0.5);
        for (int k : {0, 1, channels / 3, channels / 2, channels - 1, channels}) {
            const double mhz = radio.lowerLimit + k * grid / 1000;
            char letter = 0;
            uint8_t code[2] = {};
            unsigned count = 0;
            ASSERT_TRUE(EncodeRadioFrequency(radio, &letter, code, &count, mhz));
            radio.frequency = 0;
            EXPECT_EQ(Send(rig, k % 2 ? 110 : 98, {0x11, code[0], code[1]}),
                      std::vector<Call>{Bit(OldReplyBits::RadioFrequency)});
            EXPECT_NEAR(radio.frequency, mhz, 1e-9) << "type " << type << " channel " << k;
            EXPECT_EQ(radio.channelWord, 0x11);
        }
    }
    // One code byte: type 1, code 40 is 457.0 MHz.
    OldRig rig;
    rig.format.radio.moduleType = 1;
    SetRadioRanges(rig.format.radio);
    EXPECT_EQ(Send(rig, 98, {0x02, 40}).size(), 1u);
    EXPECT_DOUBLE_EQ(rig.format.radio.frequency, 457.0);
    EXPECT_EQ(rig.format.radio.channelWord, 2);
    // Other lengths leave the frequency as it was.
    EXPECT_EQ(Send(rig, 98, {0x03, 41, 0, 0}).size(), 1u);
    EXPECT_DOUBLE_EQ(rig.format.radio.frequency, 457.0);
    EXPECT_EQ(rig.format.radio.channelWord, 3);
}
