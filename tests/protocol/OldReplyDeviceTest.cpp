// Old-protocol replies of the receiver itself: device information into
// DEVICE_STR with the board type from the model code, battery, closing notice,
// the "SS", "FB", "FF", "FH", "RX", "VY" and "VM" records.

#include "protocol/oldproto/Em_OldReplyDecoders.h"

#include "OldFrameFixtures.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace old_fixtures;

namespace {

const Call kDeviceInfoCall{MSG_TYPE_ORVEL, OldReplyBits::DeviceInfo};

// A 128-byte device-information record: the model text in bytes 0-9, every
// other byte a distinct non-zero value (byte i holds i + 1), the radio bytes
// 59 and 126 as given.
Bytes DeviceRecord(const char* model10, uint8_t radio59 = 0, uint8_t radio126 = 0) {
    Bytes r(128);
    for (size_t i = 0; i < r.size(); ++i) r[i] = uint8_t(i + 1);
    std::memcpy(r.data(), model10, 10);
    r[59] = radio59;
    r[126] = radio126;
    return r;
}

Bytes Slice(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + long(from), b.begin() + long(to)); }

// DEVICE_STR as bytes.
Bytes Raw(const DEVICE_STR& d) {
    Bytes b(sizeof d);
    std::memcpy(b.data(), &d, sizeof d);
    return b;
}

}  // namespace

// Which record byte lands where in DEVICE_STR; every other byte is zero, and
// the board type fills bytes 111-114.
TEST(OldReplyDeviceInfo, RecordBytesLandInTheirFields) {
    const Bytes r = DeviceRecord("Q70A-1234x");
    const struct {
        size_t to, from, count;
    } fields[] = {
        {0, 5, 6},     // serial number
        {22, 0, 4},    // model
        {44, 12, 10},  // production date
        {66, 32, 9},   // eight unread bytes, output mode
        {75, 42, 3},   // record type, period, position rate
        {78, 48, 3},   // an unread byte, record interval, record elevation mask
        {81, 58, 1},   // memory size
        {82, 52, 4},   // firmware version
        {87, 56, 1},   // RTK elevation mask
        {88, 62, 2},   // transmit port and format
        {90, 112, 10}, // part number
        {107, 96, 1},  // start type
        {108, 97, 2},  // automatic base distance, low byte first
        {110, 124, 1}, // over-the-air baud set
    };
    Bytes expected(115, 0);
    for (const auto& f : fields) std::memcpy(expected.data() + f.to, r.data() + f.from, f.count);
    expected[111] = MAINBD_TRIMBLE_BD;

    OldRig rig;
    rig.format.textA = "a";
    rig.format.textB = "b";
    EXPECT_EQ(rig.FeedAndPump(Dollar("SI", r)), std::vector<Call>{kDeviceInfoCall});
    EXPECT_EQ(Raw(rig.format.deviceInfo), expected);
    EXPECT_EQ(int(rig.format.deviceInfo.autoBaseDist), 97 + 1 + (98 + 1) * 256);
    EXPECT_EQ(rig.format.deviceInfoSeen, 1);
    EXPECT_TRUE(rig.format.textA.empty());
    EXPECT_TRUE(rig.format.textB.empty());
    EXPECT_EQ(rig.format.boardVariant, 1u);
}

// Whole, byte by byte, or in two replies of 100 and 28 bytes: the record is
// decoded once, when its 128th byte is in.
TEST(OldReplyDeviceInfo, DecodedOnceHoweverItArrives) {
    const Bytes r = DeviceRecord("xxQ71Exxxx");
    Bytes expected;
    {
        OldRig whole;
        EXPECT_EQ(whole.FeedAndPump(Dollar("SI", r)), std::vector<Call>{kDeviceInfoCall});
        expected = Raw(whole.format.deviceInfo);
        EXPECT_EQ(int(whole.format.deviceInfo.boardType), MAINBD_NOVATEL_OEM);
    }
    {
        OldRig split;
        EXPECT_TRUE(split.FeedAndPump(Dollar("SI", Slice(r, 0, 100))).empty());
        EXPECT_EQ(split.format.deviceInfoSeen, 0);
        EXPECT_EQ(split.FeedAndPump(Dollar("SI", Slice(r, 100, 128))), std::vector<Call>{kDeviceInfoCall});
        EXPECT_EQ(Raw(split.format.deviceInfo), expected);
    }
    {
        OldRig bytewise;
        const Bytes stream = Cat(Dollar("SI", Slice(r, 0, 100)), Dollar("SI", Slice(r, 100, 128)));
        std::vector<Call> calls;
        for (uint8_t b : stream) {
            const std::vector<Call> c = bytewise.FeedAndPump({b});
            calls.insert(calls.end(), c.begin(), c.end());
        }
        EXPECT_EQ(calls, std::vector<Call>{kDeviceInfoCall});
        EXPECT_EQ(Raw(bytewise.format.deviceInfo), expected);
        EXPECT_EQ(bytewise.Unconsumed(), 0);
    }
}

// Each multi-frame reply collects on its own: a module reply between the two
// halves of the device information lands in neither.
TEST(OldReplyDeviceInfo, OtherRepliesBetweenThePiecesDoNotMix) {
    const Bytes r = DeviceRecord("8552xxxxxx");
    OldRig rig;
    const Bytes stream = Cat(Cat(Dollar("SI", Slice(r, 0, 100)), ViFrames(Module(99, {0x03}))),
                             Dollar("SI", Slice(r, 100, 128)));
    EXPECT_EQ(rig.FeedAndPump(stream),
              (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::ModemStatus}, kDeviceInfoCall}));
    EXPECT_EQ(rig.format.modem.status, 3);
    EXPECT_EQ(int(rig.format.deviceInfo.boardType), MAINBD_ORVEL_OLD);
    EXPECT_EQ(std::memcmp(rig.format.deviceInfo.serialNumber, r.data() + 5, 6), 0);
}

// A collection that passes 128 bytes is not a record: it is dropped whole and
// the device information stays as it was; the next record decodes.
TEST(OldReplyDeviceInfo, MoreThan128BytesIsDropped) {
    OldRig rig;
    const Bytes r = DeviceRecord("Q70Axxxxxx");
    EXPECT_TRUE(rig.FeedAndPump(Cat(Dollar("SI", Slice(r, 0, 100)), Dollar("SI", Slice(r, 0, 100)))).empty());
    EXPECT_EQ(rig.format.deviceInfoSeen, 0);
    EXPECT_EQ(rig.FeedAndPump(Dollar("SI", r)), std::vector<Call>{kDeviceInfoCall});
}

TEST(OldReplyDeviceInfo, BoardTypeFromTheModelCode) {
    const struct {
        const char* head;
        int type;
        uint32_t variant;
    } rows[] = {
        {"Q70A      ", 1, 1}, {"  8542    ", 1, 1}, {"8593xxxxxx", 1, 1}, {"xxxxxx8417", 1, 1},
        {"Q71A......", 1, 1}, {"8631......", 1, 2}, {"..8447....", 1, 2}, {"8552......", 3, 0},
        {"8427......", 2, 2}, {"Q70E......", 2, 2}, {"Q71E......", 2, 2}, {"8572......", 2, 2},
        {"8546......", 4, 0}, {"Q22K......", 4, 0},
        // The first group with a code decides, wherever the codes stand.
        {"8427 Q70A ", 1, 1}, {"Q22K8447..", 1, 2},
        // No code: no board type. A code cut by the tenth byte does not count.
        {"Q70B......", 0, 0}, {"xxxxxxxQ70", 0, 0},
    };
    for (const auto& row : rows) {
        uint32_t variant = 99;
        EXPECT_EQ(BoardTypeFromModel(reinterpret_cast<const uint8_t*>(row.head), &variant), row.type) << row.head;
        EXPECT_EQ(variant, row.variant) << row.head;
    }
}

// A model of no old board gives board type 0 (the new-protocol board) and is
// announced like any other, leaving the variant as it was; a group that
// leaves the variant keeps the one before.
TEST(OldReplyDeviceInfo, ModelOfNoOldBoardGivesBoardTypeZeroAndGroupsKeepTheVariant) {
    OldRig rig;
    rig.format.boardVariant = 7;
    EXPECT_EQ(rig.FeedAndPump(Dollar("SI", DeviceRecord("ABCDEFGHIJ"))), std::vector<Call>{kDeviceInfoCall});
    EXPECT_EQ(rig.format.deviceInfoSeen, 1);
    EXPECT_EQ(int(rig.format.deviceInfo.boardType), 0);
    EXPECT_EQ(std::memcmp(rig.format.deviceInfo.model, "ABCD", 4), 0);
    EXPECT_EQ(rig.format.boardVariant, 7u);

    const struct {
        const char* model;
        uint32_t variant;
    } steps[] = {{"8631xxxxxx", 2}, {"8546xxxxxx", 2}, {"Q70Axxxxxx", 1}, {"8552xxxxxx", 1}, {"8427xxxxxx", 2}};
    for (const auto& s : steps) {
        EXPECT_EQ(rig.FeedAndPump(Dollar("SI", DeviceRecord(s.model))), std::vector<Call>{kDeviceInfoCall});
        EXPECT_EQ(rig.format.boardVariant, s.variant) << s.model;
    }
}

TEST(OldReplyDeviceInfo, RadioModuleTypeFromTheRecord) {
    const struct {
        uint8_t b59, b126;
        int type;
        double lower;
    } rows[] = {
        {0, 0, 3, 450.0}, {3, 0, 4, 410.0}, {4, 0, 5, 430.0}, {3, 3, 7, 455.0},
        {0, 4, 6, 450.0}, {4, 5, 8, 403.0}, {9, 6, 3, 450.0},
    };
    for (const auto& row : rows) {
        OldRig rig;
        rig.format.radio.moduleType = 1;
        SetRadioRanges(rig.format.radio);
        rig.FeedAndPump(Dollar("SI", DeviceRecord("Q70Axxxxxx", row.b59, row.b126)));
        EXPECT_EQ(rig.format.radio.moduleType, row.type) << int(row.b59) << " " << int(row.b126);
        EXPECT_EQ(rig.format.radio.lowerLimit, row.lower) << row.type;
    }
}

TEST(OldReplyBattery, LevelAndGrade) {
    const uint32_t both = OldReplyBits::Battery | OldReplyBits::BatteryGrade;
    const struct {
        Bytes payload;
        uint32_t level;
        uint32_t grade;  // 0: not changed
        uint32_t bits;
    } rows[] = {
        {{0x00, 0x4B, 0x00, 0x00}, 6, 0, OldReplyBits::Battery},         // letter 'K': 55
        {{0x64, 0x30, 0x00, 0x00}, 10, 0, OldReplyBits::Battery},        // no letter: 100 + 5, capped
        {{0x01, 0x30, 0x50, 0x00}, 8, 0, OldReplyBits::Battery},         // byte 0 = 1: letter in byte 2
        {{0x00, 0x41, 0x00, 0x07}, 0, 0, OldReplyBits::Battery},         // byte 3 set: letter in byte 1
        {{0x00, 0xFF, 0x00, 0x00}, 3, 0, OldReplyBits::Battery},         // 1055 narrowed to 31
        {{0xFF, 0x30, 0x00, 0x00}, 0, 0, OldReplyBits::Battery},         // 255 + 5 wraps to 4
        {{0x00, 0x4B, 0x00, 0x00, 215}, 6, 3, both},
        {{0x00, 0x4B, 0x00, 0x00, 199}, 6, 1, both},
        {{0x00, 0x4B, 0x00, 0x00, 200}, 6, 2, both},
        {{0x00, 0x4B, 0x00, 0x00, 239}, 6, 5, both},
        {{0x00, 0x4B, 0x00, 0x00, 240}, 6, 6, both},
    };
    for (const auto& row : rows) {
        OldRig rig;
        EXPECT_EQ(rig.FeedAndPump(Dollar("SD", row.payload)), (std::vector<Call>{{MSG_TYPE_ORVEL, row.bits}}));
        EXPECT_EQ(rig.format.batteryLevel, row.level);
        EXPECT_EQ(rig.format.batteryGrade, row.grade);
    }
    OldRig rig;
    rig.format.batteryLevel = 7;
    EXPECT_TRUE(rig.FeedAndPump(Dollar("SD", {0x00, 0x4B, 0x00})).empty()) << "too short for its fields";
    EXPECT_EQ(rig.format.batteryLevel, 7u);
}

TEST(OldReplyClosing, RecognisedByItsText) {
    const Bytes closing = Cat(Text("Close the receiver"), {'!', 0x0D, 0x0A, 0x83, 0x0D, 0x0A});
    ASSERT_EQ(closing.size(), 24u);
    OldRig rig;
    EXPECT_EQ(rig.FeedAndPump(Dollar("ST", closing)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::Closing}}));
    Bytes other = closing;
    other[8] = 'X';  // bytes 8-17 are not examined
    EXPECT_EQ(rig.FeedAndPump(Dollar("ST", other)).size(), 1u);
    other[21] = 0x84;
    EXPECT_TRUE(rig.FeedAndPump(Dollar("ST", other)).empty());
    EXPECT_TRUE(rig.FeedAndPump(Dollar("ST", Slice(closing, 0, 23))).empty());
    EXPECT_TRUE(rig.FeedAndPump(Dollar("ST", Text("Close th"))).empty());
}

TEST(OldReplyRecords, SsStaticPointBubbleAndFh) {
    OldRig rig;
    Bytes ss(22);
    for (size_t i = 0; i < ss.size(); ++i) ss[i] = uint8_t(i + 1);
    EXPECT_EQ(rig.FeedAndPump(Dollar("SS", ss)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::SsRecord}}));
    Bytes record(60, 0);
    std::memcpy(record.data(), ss.data(), 4);
    std::memcpy(record.data() + 20, ss.data() + 5, 6);
    std::memcpy(record.data() + 40, ss.data() + 12, 10);
    EXPECT_EQ(Bytes(rig.format.ssRecord.bytes, rig.format.ssRecord.bytes + 60), record);
    EXPECT_EQ(rig.format.ssRecord.Word0(), 0x04030201u);
    EXPECT_TRUE(rig.FeedAndPump(Dollar("SS", Slice(ss, 0, 21))).empty());

    // "FB": name length 4, "PT01", height 1.5 (00 00 C0 3F), antenna 7, code.
    for (auto [code, surveyTo] : {std::pair{1, 3}, {2, 2}, {3, 4}, {9, -1}}) {
        const Bytes fb = {0x04, 'P', 'T', '0', '1', 0x00, 0x00, 0xC0, 0x3F, 0x07, uint8_t(code)};
        EXPECT_EQ(rig.FeedAndPump(Dollar("FB", fb)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::StaticPoint}}));
        const Static_Point& s = rig.format.staticPoint;
        EXPECT_EQ(s.nameLength, 4);
        EXPECT_STREQ(s.name, "PT01");
        EXPECT_EQ(float(s.antennaHeight), 1.5f);
        EXPECT_EQ(int(s.antennaType), 7);
        EXPECT_EQ(int(s.surveyTo), surveyTo);
    }
    // A name longer than its field is cut to it and ended with a zero byte.
    Bytes longName = {40};
    for (int i = 0; i < 40; ++i) longName.push_back(uint8_t('a' + i % 26));
    longName = Cat(longName, {0x00, 0x00, 0x80, 0x3F, 0x01, 0x02});
    EXPECT_EQ(rig.FeedAndPump(Dollar("FB", longName)).size(), 1u);
    EXPECT_EQ(rig.format.staticPoint.nameLength, 34);
    EXPECT_EQ(rig.format.staticPoint.name[34], 0);
    EXPECT_EQ(std::memcmp(rig.format.staticPoint.name, longName.data() + 1, 34), 0);
    // A reply too short for its name and fields changes nothing.
    EXPECT_TRUE(rig.FeedAndPump(Dollar("FB", {0x04, 'P', 'T', '0', '1', 0x00, 0x00, 0xC0, 0x3F, 0x07})).empty());
    EXPECT_EQ(rig.format.staticPoint.nameLength, 34);

    // "FF": A2345678 gives 0xA and 0x2345678; then 1 and 2.
    const Bytes ff = {0x78, 0x56, 0x34, 0xA2, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00};
    EXPECT_EQ(rig.FeedAndPump(Dollar("FF", ff)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::Bubble}}));
    const uint32_t words[6] = {0xA, 0x02345678, 1, 2, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rig.format.bubble.word[i], words[i]) << i;
    EXPECT_TRUE(rig.FeedAndPump(Dollar("FF", Slice(ff, 0, 11))).empty());

    EXPECT_EQ(rig.FeedAndPump(Dollar("FH", {0x01, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00})),
              (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::Bubble}}));
    EXPECT_EQ(rig.format.fhValue1, 1u);
    EXPECT_EQ(rig.format.fhValue2, 0x102u);
    EXPECT_TRUE(rig.FeedAndPump(Dollar("FH", {0x01, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00})).empty());
}

// "RX" and "VY" keep at most their 200-byte fields; "VM" stores the source
// table chunk (an empty one too).
TEST(OldReplyRecords, RawReplyFirmwareDebugAndSourceTable) {
    Bytes big(230);
    for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i);
    OldRig rig;
    EXPECT_EQ(rig.FeedAndPump(Dollar("RX", big)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::DiffInfo}}));
    EXPECT_EQ(rig.format.rawReplyLength, 200u);
    EXPECT_EQ(Bytes(rig.format.rawReply, rig.format.rawReply + 200), Slice(big, 0, 200));
    EXPECT_EQ(rig.FeedAndPump(Dollar("RX", {0x09})).size(), 1u);
    EXPECT_EQ(rig.format.rawReplyLength, 1u);

    EXPECT_EQ(rig.FeedAndPump(Dollar("VY", big)), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::FirmwareDebug}}));
    ASSERT_EQ(rig.format.firmwareDebug.size(), 1u);
    const FIRMWARE_DEBUG& d = rig.format.firmwareDebug.at(256);
    EXPECT_EQ(d.length, 200u);
    EXPECT_EQ(Bytes(d.data, d.data + 200), Slice(big, 0, 200));

    EXPECT_EQ(rig.FeedAndPump(Dollar("VM", Text("STR;MOUNT"))),
              (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::SourceTable}}));
    EXPECT_EQ(rig.format.modem.sourceTableLength, 9u);
    EXPECT_EQ(std::memcmp(rig.format.modem.sourceTable, "STR;MOUNT", 9), 0);
    EXPECT_EQ(rig.FeedAndPump(Dollar("VM", {})).size(), 1u);
    EXPECT_EQ(rig.format.modem.sourceTableLength, 0u);

    EXPECT_EQ(rig.FeedAndPump(Dollar("SX", {})), (std::vector<Call>{{MSG_TYPE_ORVEL, OldReplyBits::SX}}));
}
