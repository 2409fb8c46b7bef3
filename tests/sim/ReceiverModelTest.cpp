#include "tests/sim/ReceiverModel.h"
#include "tests/sim/SimTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace sim {
namespace {

// Requests as the command set writes them over a serial link (head 0x18, or
// 0x1B for module traffic). Layout: 24 24 | letters | head | n | payload | XOR | 0D 0A
const auto kSI = H("24 24 53 49 18 00 02 0D 0A");           // device information
const auto kSD = H("24 24 53 44 18 00 0F 0D 0A");           // battery
const auto kRGOn = H("24 24 52 47 18 01 C8 C4 0D 0A");      // "RG,B200": periodic data on
const auto kRGOff = H("24 24 52 47 18 01 00 0C 0D 0A");     // "RG,B0": periodic data off
const auto kSTPass = H("24 24 53 54 18 02 01 FE E2 0D 0A"); // "ST,B1,B254": pass-through
const auto kSTNormal = H("24 24 53 54 18 01 00 1E 0D 0A");  // "ST,B0": normal mode
const auto kSGOff = H("24 24 53 47 18 01 00 0D 0D 0A");     // "SG,B0": power off
// "VS," frames (class 11) carrying the module packet 40 | id | ~id | 00 00 | XOR:
const auto kVSVersion = H("24 24 56 53 1B 06 40 5F A0 00 00 BF 18 0D 0A");  // id 95
const auto kVSParamsA = H("24 24 56 53 1B 06 40 59 A6 00 00 BF 18 0D 0A");  // id 89
const auto kVSParamsB = H("24 24 56 53 1B 06 40 73 8C 00 00 BF 18 0D 0A");  // id 115

std::vector<uint8_t> Feed(ReceiverModel& m, const std::vector<uint8_t>& bytes, uint32_t baud = 9600) {
    return m.Receive(bytes.data(), bytes.size(), baud);
}

// The frames of a reply, checked as the reading side checks them.
std::vector<Frame> Frames(const std::vector<uint8_t>& bytes) {
    FrameCutter cut;
    cut.Append(bytes.data(), bytes.size());
    std::vector<Frame> out;
    Frame f;
    uint8_t b;
    bool bad;
    FrameCutter::Result r;
    while ((r = cut.Next(&f, &b, &bad)) != FrameCutter::Result::NeedMore) {
        EXPECT_EQ(r, FrameCutter::Result::Frame) << "stray byte in a reply";
        if (r == FrameCutter::Result::Frame) out.push_back(f);
    }
    EXPECT_EQ(cut.Buffered(), 0u);
    return out;
}

std::string Text(const std::vector<uint8_t>& v, size_t at, size_t n) {
    return std::string(v.begin() + long(at), v.begin() + long(at + n));
}

TEST(ReceiverModel, DeviceInformationReply) {
    ReceiverModel m;
    const auto out = Feed(m, kSI);
    ASSERT_EQ(out.size(), 128u + 9u);
    EXPECT_EQ(Text(out, 0, 2), "$$");
    EXPECT_EQ(Text(out, 2, 2), "SI");
    EXPECT_EQ(out[4], 0x18);  // head byte of the request
    EXPECT_EQ(out[5], 128);   // the whole record in one frame
    uint8_t x = 0;
    for (size_t i = 2; i < 134; ++i) x ^= out[i];
    EXPECT_EQ(out[134], x);
    EXPECT_EQ(out[135], 0x0D);
    EXPECT_EQ(out[136], 0x0A);

    // The record, field by field (offsets in the record = payload bytes).
    std::vector<uint8_t> r(out.begin() + 6, out.begin() + 134);
    std::vector<uint8_t> expected(128, 0);
    auto put = [&](size_t at, const std::string& s) { std::copy(s.begin(), s.end(), expected.begin() + long(at)); };
    put(0, "8427");        // model code
    put(5, "601234");      // serial number
    put(12, "2011-06-15"); // production date
    expected[40] = 0;      // output mode: normal
    expected[42] = 1;      // record type: auto
    expected[43] = 24;     // record period: 24 h
    expected[44] = 1;      // position rate: 1 Hz
    expected[49] = 5;      // record interval: 5 s
    expected[50] = 10;     // recording elevation mask
    put(52, "V8.1");       // firmware version
    expected[56] = 13;     // RTK elevation mask
    expected[58] = 1;      // memory: 4 GB
    expected[59] = 0;      // radio module: type 3
    expected[62] = 2;      // transmit port: GPRS or UHF
    expected[63] = 3;      // transmit format: RTCM3
    expected[96] = 0;      // start type: none
    expected[97] = 0;      // auto base distance, low byte
    expected[98] = 0;      //   high byte
    put(112, "FJ80427-01");  // part number
    expected[124] = 1;     // over-the-air baud set
    expected[126] = 0;     // radio module override: none
    EXPECT_EQ(Hex(r), Hex(expected));

    ASSERT_EQ(m.Commands().size(), 1u);
    EXPECT_TRUE(m.Commands()[0].Is("SI", {}));
    EXPECT_EQ(m.Commands()[0].head, 0x18);
    EXPECT_EQ(m.Commands()[0].lineBaud, 9600u);
}

TEST(ReceiverModel, DefaultModelCodeNamesNovAtelBoard) {
    // Model codes by group, searched group by group in the first 10 record
    // bytes; the first group found decides the board type.
    const std::vector<std::pair<std::vector<std::string>, int>> groups = {
        {{"Q70A", "8542", "8593", "8417", "Q71A"}, 1},
        {{"8631", "8447"}, 1},
        {{"8552"}, 3},
        {{"8427", "Q70E", "Q71E", "8572"}, 2},
        {{"8546", "Q22K"}, 4},
    };
    const auto rec = DeviceInfo{}.Record();
    const std::string head(rec.begin(), rec.begin() + 10);
    int board = 0;
    for (const auto& [codes, type] : groups) {
        if (std::any_of(codes.begin(), codes.end(), [&](const std::string& c) { return head.find(c) != std::string::npos; })) {
            board = type;
            break;
        }
    }
    EXPECT_EQ(board, 2);
}

TEST(ReceiverModel, DeviceInformationFieldsAreCutAndPadded) {
    SimSettings s;
    s.deviceInfo.serialNumber = "12345678";  // 6 places
    s.deviceInfo.firmware = "V8";            // 4 places, zero padded
    s.deviceInfo.partNumber = "PN-0123456789";
    s.deviceInfo.autoBaseDist = 0x1234;
    s.deviceInfo.radioModule = 3;
    s.deviceInfo.radioModuleExt = 5;
    ReceiverModel m(s);
    const auto f = Frames(Feed(m, kSI));
    ASSERT_EQ(f.size(), 1u);
    const auto& r = f[0].payload;
    EXPECT_EQ(Text(r, 5, 6), "123456");
    EXPECT_EQ(r[11], 0);  // the date's place begins after one zero byte
    EXPECT_EQ(Text(r, 52, 4), std::string("V8\0\0", 4));
    EXPECT_EQ(Text(r, 112, 10), "PN-0123456");
    EXPECT_EQ(r[122], 0);
    EXPECT_EQ(r[97], 0x34);  // low byte first
    EXPECT_EQ(r[98], 0x12);
    EXPECT_EQ(r[59], 3);
    EXPECT_EQ(r[126], 5);
}

TEST(ReceiverModel, DeviceInformationInSeveralFrames) {
    SimSettings s;
    s.deviceInfoChunk = 50;
    ReceiverModel m(s);
    const auto f = Frames(Feed(m, kSI));
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].payload.size(), 50u);
    EXPECT_EQ(f[1].payload.size(), 50u);
    EXPECT_EQ(f[2].payload.size(), 28u);
    std::vector<uint8_t> joined;
    for (const auto& x : f) joined.insert(joined.end(), x.payload.begin(), x.payload.end());
    const auto rec = DeviceInfo{}.Record();
    EXPECT_EQ(joined, std::vector<uint8_t>(rec.begin(), rec.end()));
}

TEST(ReceiverModel, BatteryReply) {
    ReceiverModel m;
    // "SD" | head 18 | n 4 | 00 4B 00 00 (letter code 'K' in byte 1) | XOR 40 | CR LF
    EXPECT_EQ(Feed(m, kSD), H("24 24 53 44 18 04 00 4B 00 00 40 0D 0A"));
    m.Settings().battery = H("00 4B 00 00 D7");  // with the grade byte
    EXPECT_EQ(Feed(m, kSD), H("24 24 53 44 18 05 00 4B 00 00 D7 96 0D 0A"));
}

TEST(ReceiverModel, ModemVersionThroughTheModuleTunnel) {
    ReceiverModel m;
    // "VI" | head 1B | n 14 | module packet: 40 | id 5F | A0 | m = 4 (4 bytes) |
    // "2.90" | XOR AE | 0D 0A | frame XOR 0D | CR LF
    EXPECT_EQ(Feed(m, kVSVersion), H("24 24 56 49 1B 0E 40 5F A0 04 00 00 00 32 2E 39 30 AE 0D 0A 0D 0D 0A"));
    ASSERT_EQ(m.Commands().size(), 1u);
    EXPECT_EQ(m.Commands()[0].letters, "VS");
    EXPECT_EQ(m.Commands()[0].head, 0x1B);
    EXPECT_EQ(m.Commands()[0].moduleId, 95);
    EXPECT_TRUE(m.Commands()[0].moduleData.empty());

    m.Settings().modemVersion = "3.65";
    const auto f = Frames(Feed(m, kVSVersion));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(Text(f[0].payload, 7, 4), "3.65");
}

// Reads a module reply packet by its wire layout and checks its
// frame: id, complement, 4-byte length, XOR over the m + 8 bytes, total m + 10.
std::vector<uint8_t> ModulePacket(const std::vector<uint8_t>& reply, uint8_t id) {
    const auto f = Frames(reply);
    EXPECT_EQ(f.size(), 1u);
    if (f.size() != 1) return {};
    EXPECT_EQ(std::string(f[0].letters, 2), "VI");
    const auto& p = f[0].payload;
    EXPECT_EQ(p[0], 0x40);
    EXPECT_EQ(p[1], id);
    EXPECT_EQ(p[2], 255 - id);
    const size_t m = p[3] | (p[4] << 8) | (p[5] << 16) | (size_t(p[6]) << 24);
    EXPECT_EQ(p.size(), m + 10);
    uint8_t x = 0;
    for (size_t i = 0; i < m + 8 && i < p.size(); ++i) x ^= p[i];
    EXPECT_EQ(x, 0);
    return p;
}

// The counted text at packet offset at: a length byte, then the characters.
std::string Counted(const std::vector<uint8_t>& p, size_t at) { return Text(p, at + 1, p[at]); }

TEST(ReceiverModel, ModemParametersOlderLayout) {
    ReceiverModel m;
    const auto p = ModulePacket(Feed(m, kVSParamsA), 89);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(Hex(&p[7], 4), "C0 A8 01 0A");  // server address 192.168.1.10
    EXPECT_EQ(p[11] * 256 + p[12], 2101);      // port, high byte first
    EXPECT_EQ(p[13], 'T');                     // NTRIP client
    EXPECT_EQ(Counted(p, 23), "*99***1#");     // dial number
    EXPECT_EQ(Counted(p, 39), "cmnet");        // APN
    EXPECT_EQ(p[71], 1);                       // online
    EXPECT_EQ(Counted(p, 72), "0001");         // base id
    const size_t j = p[104];                   // user, 0, password
    EXPECT_EQ(Text(p, 105, j), std::string("surveyor\0secret", 15));
    EXPECT_EQ(p.size(), 105 + j + 3);
}

TEST(ReceiverModel, ModemParametersNewerLayout) {
    ReceiverModel m;
    const auto p = ModulePacket(Feed(m, kVSParamsB), 115);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(Counted(p, 7), "caster.example.net");  // server address text
    EXPECT_EQ(p[39] * 256 + p[40], 2101);
    EXPECT_EQ(p[41], 'T');
    EXPECT_EQ(Counted(p, 51), "*99***1#");
    EXPECT_EQ(Counted(p, 67), "cmnet");
    EXPECT_EQ(p[99], 1);
    EXPECT_EQ(Counted(p, 100), "0001");
    const size_t j = p[132];
    EXPECT_EQ(Text(p, 133, j), std::string("surveyor\0secret", 15));
    EXPECT_EQ(p.size(), 133 + j + 3);
}

TEST(ReceiverModel, ModemTextsAreCutToTheirPlaces) {
    ReceiverModel m;
    m.Settings().modem.dialNumber = std::string(40, 'd');
    m.Settings().modem.apn = std::string(40, 'a');
    m.Settings().modem.baseId = std::string(40, 'b');
    m.Settings().modem.user = std::string(80, 'u');
    const auto p = ModulePacket(Feed(m, kVSParamsA), 89);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(Counted(p, 23), std::string(15, 'd'));
    EXPECT_EQ(Counted(p, 39), std::string(31, 'a'));
    EXPECT_EQ(p[71], 1);  // not overwritten by the long APN
    EXPECT_EQ(Counted(p, 72), std::string(31, 'b'));
    EXPECT_EQ(p[104], 55 + 1 + 6);
}

TEST(ReceiverModel, CommandsWithoutReply) {
    ReceiverModel m;
    // A module request the receiver does not serve: "VS", head 1B, 6 bytes:
    // 40 | id 2B (modem reset) | ~id D4 | m = 0 (00 00) | XOR BF; frame XOR 18.
    EXPECT_TRUE(Feed(m, H("24 24 56 53 1B 06 40 2B D4 00 00 BF 18 0D 0A")).empty());
    EXPECT_TRUE(Feed(m, H("24 24 5A 5A 18 00 18 0D 0A")).empty());  // unknown letters "ZZ"
    ASSERT_EQ(m.Commands().size(), 2u);
    EXPECT_EQ(m.Commands()[0].moduleId, 43);
    EXPECT_EQ(m.Commands()[1].letters, "ZZ");
    // A "VS" frame whose packet does not check out is recorded without an id.
    EXPECT_TRUE(Feed(m, H("24 24 56 53 1B 06 40 5F A0 00 00 BE 19 0D 0A")).empty());
    EXPECT_EQ(m.Commands().back().moduleId, -1);
}

// The receiver's own settings land in its device-information record: the
// next "SI" reply carries them. Neither setting is answered.
TEST(ReceiverModel, SettingsChangeTheDeviceInformation) {
    ReceiverModel m;
    // "SJ": code 0x28 (record byte 40, output mode), value 1
    EXPECT_TRUE(Feed(m, H("24 24 53 4A 18 02 28 01 2A 0D 0A")).empty());
    // "SJ": code 0x61 (bytes 97-98, automatic base distance), 0x1234 low byte first
    EXPECT_TRUE(Feed(m, H("24 24 53 4A 18 03 61 34 12 45 0D 0A")).empty());
    // "SW,B0,B5": the position rate, 5 Hz (record byte 44)
    EXPECT_TRUE(Feed(m, H("24 24 53 57 18 02 00 05 1B 0D 0A")).empty());
    const auto out = Feed(m, kSI);
    ASSERT_EQ(out.size(), 128u + 9u);
    const uint8_t* record = &out[6];
    EXPECT_EQ(record[40], 1);
    EXPECT_EQ(record[44], 5);
    EXPECT_EQ(record[97], 0x34);
    EXPECT_EQ(record[98], 0x12);
}

TEST(ReceiverModel, PeriodicDataSwitch) {
    ReceiverModel m;
    EXPECT_FALSE(m.WantsPeriodic());
    EXPECT_TRUE(m.PeriodicOutput(9600).empty());
    EXPECT_TRUE(Feed(m, kRGOn).empty());
    EXPECT_TRUE(m.WantsPeriodic());
    const auto f = Frames(m.PeriodicOutput(9600));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(std::string(f[0].letters, 2), "RG");
    const std::string gga(f[0].payload.begin(), f[0].payload.end());
    ASSERT_EQ(gga.substr(0, 7), "$GPGGA,");
    ASSERT_EQ(gga.substr(gga.size() - 2), "\r\n");
    uint8_t x = 0;
    const size_t star = gga.find('*');
    for (size_t i = 1; i < star; ++i) x ^= uint8_t(gga[i]);
    EXPECT_EQ(std::stoi(gga.substr(star + 1, 2), nullptr, 16), x);

    EXPECT_TRUE(Feed(m, kRGOff).empty());
    EXPECT_FALSE(m.WantsPeriodic());
    EXPECT_TRUE(m.PeriodicOutput(9600).empty());
    EXPECT_TRUE(m.Commands()[0].Is("RG", {200}));
    EXPECT_TRUE(m.Commands()[1].Is("RG", {0}));
}

TEST(ReceiverModel, PassThroughAndBack) {
    ReceiverModel m;
    Feed(m, kRGOn);
    EXPECT_TRUE(Feed(m, kSTPass).empty());
    EXPECT_EQ(m.Status().mode, WorkMode::PassThrough);
    // The receiver's own commands go to the board now: no answer.
    EXPECT_TRUE(Feed(m, kSI).empty());
    // Board commands arrive as they are.
    EXPECT_TRUE(Feed(m, H("4C 4F 47 0D 0A")).empty());  // "LOG" CR LF
    EXPECT_EQ(m.Status().passThroughBytes, H("4C 4F 47 0D 0A"));
    EXPECT_EQ(m.Status().garbageBytes, 0u);
    // The board's output reaches the line without "RG" frames.
    EXPECT_EQ(m.PeriodicOutput(9600), DefaultBoardOutput());

    EXPECT_TRUE(Feed(m, kSTNormal).empty());
    EXPECT_EQ(m.Status().mode, WorkMode::Normal);
    EXPECT_EQ(Feed(m, kSI).size(), 137u);
    EXPECT_TRUE(m.Commands()[1].Is("ST", {1, 254}));
    EXPECT_TRUE(m.Commands()[3].Is("ST", {0}));
}

TEST(ReceiverModel, PowerOff) {
    ReceiverModel m;
    Feed(m, kRGOn);
    // Closing notice "ST": "Close the receiver!" CR LF 83 CR LF (24 bytes)
    EXPECT_EQ(Feed(m, kSGOff),
              H("24 24 53 54 18 18 43 6C 6F 73 65 20 74 68 65 20 72 65 63 65 69 76 65 72 21 0D 0A 83 0D 0A 93 0D 0A"));
    EXPECT_TRUE(m.Status().poweredOff);
    EXPECT_FALSE(m.WantsPeriodic());
    EXPECT_TRUE(Feed(m, kSI).empty());
    EXPECT_TRUE(Feed(m, kSTNormal).empty());
    EXPECT_TRUE(m.Status().poweredOff);
    // "SG" with another value is not the power-off command.
    m.PowerOn();
    EXPECT_TRUE(Feed(m, H("24 24 53 47 18 01 01 0C 0D 0A")).empty());
    EXPECT_FALSE(m.Status().poweredOff);
    EXPECT_EQ(Feed(m, kSI).size(), 137u);
}

TEST(ReceiverModel, SilenceAndGarbageOnDemand) {
    ReceiverModel m;
    m.Settings().behaviour = Behaviour::Silent;
    EXPECT_TRUE(Feed(m, kSI).empty());
    EXPECT_TRUE(Feed(m, kRGOn).empty());
    EXPECT_TRUE(m.PeriodicOutput(9600).empty());
    EXPECT_EQ(m.Commands().size(), 2u);

    m.Settings().behaviour = Behaviour::Garbage;
    const auto noise = Feed(m, kSI);
    EXPECT_EQ(noise.size(), 137u);
    EXPECT_EQ(std::count(noise.begin(), noise.end(), uint8_t('$')), 0);
    EXPECT_EQ(m.PeriodicOutput(9600).size(), DefaultBoardOutput().size() + 9);
}

TEST(ReceiverModel, BaudMismatch) {
    ReceiverModel m;  // 9600
    const auto noise = Feed(m, kSI, 19200);
    EXPECT_EQ(noise.size(), kSI.size());
    EXPECT_EQ(std::count(noise.begin(), noise.end(), uint8_t('$')), 0);
    EXPECT_TRUE(m.Commands().empty());
    EXPECT_EQ(m.Status().mismatchedBytes, kSI.size());
    EXPECT_EQ(m.Status().lineBaud, 19200u);

    // A frame begun at the wrong speed is not finished at the right one.
    const std::vector<uint8_t> head(kSI.begin(), kSI.begin() + 4), tail(kSI.begin() + 4, kSI.end());
    Feed(m, head, 4800);
    EXPECT_TRUE(Feed(m, tail, 9600).empty());
    EXPECT_TRUE(m.Commands().empty());

    m.Settings().onBaudMismatch = MismatchReply::Silence;
    EXPECT_TRUE(Feed(m, kSI, 115200).empty());
    Feed(m, kRGOn, 9600);
    EXPECT_TRUE(m.PeriodicOutput(115200).empty());
    m.Settings().onBaudMismatch = MismatchReply::Garbage;
    EXPECT_EQ(m.PeriodicOutput(115200).size(), DefaultBoardOutput().size() + 9);

    m.Settings().baud = 115200;
    EXPECT_EQ(Feed(m, kSI, 115200).size(), 137u);
}

TEST(ReceiverModel, DamagedInputIsCountedNotAnswered) {
    ReceiverModel m;
    // Noise, a frame with a wrong checksum, then a good one.
    const auto in = Cat(Cat(H("00 55 0D"), H("24 24 53 49 18 00 03 0D 0A")), kSD);
    const auto f = Frames(Feed(m, in));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(std::string(f[0].letters, 2), "SD");
    EXPECT_EQ(m.Status().garbageBytes, 3u + 9u);
    EXPECT_EQ(m.Status().badFrames, 1u);
    ASSERT_EQ(m.Commands().size(), 1u);
}

TEST(ReceiverModel, RepliesFollowTheRequestHead) {
    ReceiverModel m;
    // Over Bluetooth the head is 8 + 16 x 3 = 0x38.
    const auto f = Frames(Feed(m, H("24 24 53 49 38 00 22 0D 0A")));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].head, 0x38);
}

}  // namespace
}  // namespace sim
