// The old "$$" protocol's send side: text and byte frames, the letter
// wrappers, the module tunnel, the 55-byte splitters and the PPK point packet.

#include "protocol/oldproto/Em_DollarPacker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

using Bytes = std::vector<uint8_t>;

struct Frame {
    std::string letters;
    uint8_t head;
    Bytes payload;
};

// Reads one whole frame the way the receiver checks it, written from the
// frame layout: '$' '$', two letters, head, length n, n bytes, XOR of bytes
// 2 .. 5+n, CR LF, and nothing after it.
std::optional<Frame> ReadFrame(const uint8_t* p, unsigned size) {
    if (size < 9 || p[0] != '$' || p[1] != '$') return std::nullopt;
    const unsigned n = p[5];
    if (size != n + 9) return std::nullopt;
    uint8_t x = 0;
    for (unsigned i = 2; i < 6 + n; ++i) x ^= p[i];
    if (p[6 + n] != x || p[7 + n] != 0x0D || p[8 + n] != 0x0A) return std::nullopt;
    return Frame{std::string{char(p[2]), char(p[3])}, p[4], Bytes(p + 6, p + 6 + n)};
}

std::optional<Frame> ReadFrame(const _STR_CMD& cmd) { return ReadFrame(cmd.data, cmd.length); }

Bytes PackText(const std::string& text, int mode = 1, int cls = kDollarClassCommand) {
    uint8_t out[kDollarFrameMaxSize];
    unsigned n = 0;
    EXPECT_TRUE(PackTextCommand(text.c_str(), out, &n, mode, cls));
    EXPECT_LE(n, kDollarFrameMaxSize);
    return Bytes(out, out + n);
}

Bytes PayloadOf(const std::string& text) {
    const Bytes frame = PackText(text);
    const auto f = ReadFrame(frame.data(), unsigned(frame.size()));
    EXPECT_TRUE(f) << text;
    return f ? f->payload : Bytes{};
}

_STR_CMD Record(const Bytes& payload, uint32_t delay = 200) {
    _STR_CMD cmd{};
    if (!payload.empty()) std::memcpy(cmd.data, payload.data(), payload.size());
    cmd.length = uint32_t(payload.size());
    cmd.delay = delay;
    return cmd;
}

}  // namespace

TEST(DollarPackerText, GoldenFrames) {
    // 24 24 | 'R' 'G' | head 18 (class 8, serial mode 1) | length 01 | C8 | XOR C4 | CR LF
    EXPECT_EQ(PackText("RG,B200"), (Bytes{0x24, 0x24, 0x52, 0x47, 0x18, 0x01, 0xC8, 0xC4, 0x0D, 0x0A}));
    // Only the payload byte and the checksum differ for B0.
    EXPECT_EQ(PackText("RG,B0"), (Bytes{0x24, 0x24, 0x52, 0x47, 0x18, 0x01, 0x00, 0x0C, 0x0D, 0x0A}));
    // "SI" without tokens: the device-information request.
    EXPECT_EQ(PackText("SI"), (Bytes{0x24, 0x24, 0x53, 0x49, 0x18, 0x00, 0x02, 0x0D, 0x0A}));
    // Head byte: class + 16 x mode.
    EXPECT_EQ(PackText("SI", 3)[4], 0x38);
    EXPECT_EQ(PackText("SI", 1, kDollarClassModule)[4], 0x1B);
    EXPECT_EQ(PackText("SI", 3, kDollarClassModule)[4], 0x3B);
    // A text without command letters: "$$", a zero checksum, CR LF.
    EXPECT_EQ(PackText(",123"), (Bytes{0x24, 0x24, 0x00, 0x0D, 0x0A}));
}

TEST(DollarPackerText, Tokens) {
    const struct {
        const char* text;
        Bytes payload;
    } cases[] = {
        {"RF,M258", {0x01, 0x02}},
        {"RF,W258", {0x02, 0x01}},
        {"RF,L258", {0x02, 0x01, 0x00, 0x00}},
        {"RF,B-1", {0xFF}},
        {"RF,B 7", {0x07}},                               // leading blank before the number
        {"RF,L4294967295", {0xFF, 0xFF, 0xFF, 0xFF}},     // the full unsigned range
        {"RF,L3000000000", {0x00, 0x5E, 0xD0, 0xB2}},     // above 2^31, sent as it is
        {"RF,L-2", {0xFE, 0xFF, 0xFF, 0xFF}},
        {"SW,B0,B1", {0x00, 0x01}},
        {"sw b0 m1", {0x00, 0x00, 0x01}},                 // either case, blank separators
        {"RF,M%d,B%d", {}},                               // unformatted: no numbers, nothing stored
        {"RGB5", {}},                                     // a token letter needs a separator
        {"RG,BxB5", {0x05}},                              // B without a number keeps the flag set
        {"RG,B5B6", {0x05}},                              // a stored token clears it
        {"RG,B", {}},                                     // a token letter at the end stores nothing
        {"RG,B99999999999999999999999", {}},              // past 64 bits: not a number
        {"VL,Sabc, d", {'a', 'b', 'c', ',', ' ', 'd'}},   // S takes the rest raw
        {"VL,S", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(PayloadOf(c.text), c.payload) << c.text;
}

TEST(DollarPackerText, TokensStopAtTheFramePayloadLimit) {
    std::string many = "RG";
    for (int i = 0; i < 300; ++i) many += ",B1";
    const Bytes frame = PackText(many);
    ASSERT_EQ(frame.size(), 259u);
    EXPECT_EQ(frame[5], 250);
    EXPECT_EQ(ReadFrame(frame.data(), 259)->payload, Bytes(250, 0x01));

    // A token that would straddle the limit is not stored: 249 bytes, then an
    // L that needs 4.
    std::string straddle = "RG";
    for (int i = 0; i < 249; ++i) straddle += ",B2";
    straddle += ",L7,B3";
    EXPECT_EQ(PayloadOf(straddle), Bytes(249, 0x02));

    // An S text is cut at the limit as well.
    EXPECT_EQ(PayloadOf("VL,S" + std::string(300, 'x')), Bytes(250, 'x'));
}

TEST(DollarPackerText, ReadsTheTextUpTo1023CharactersAndMayPackInPlace) {
    const std::string longText = "RG," + std::string(1020, ' ') + "B5";  // B5 lies past 1023
    EXPECT_EQ(PayloadOf(longText), Bytes{});

    _STR_CMD cmd{};
    std::strcpy(reinterpret_cast<char*>(cmd.data), "RG,B200");
    unsigned n = 0;
    ASSERT_TRUE(PackTextCommand(reinterpret_cast<const char*>(cmd.data), cmd.data, &n, 1, 8));
    EXPECT_EQ(Bytes(cmd.data, cmd.data + n), PackText("RG,B200"));

    EXPECT_FALSE(PackTextCommand(nullptr, cmd.data, &n, 1, 8));
    EXPECT_FALSE(PackTextCommand("RG", nullptr, &n, 1, 8));
}

TEST(DollarPackerBinary, PayloadUpTo255AndNothingBeyond) {
    uint8_t out[kDollarFrameMaxSize + 8];
    unsigned n = 0;
    const uint8_t payload[] = {0x01, 0x06};
    ASSERT_TRUE(PackBinaryCommand("SS", payload, 2, out, &n, 1));
    // 24 24 | 'S' 'S' | 18 | 02 | 01 06 | XOR | CR LF
    EXPECT_EQ(Bytes(out, out + n), (Bytes{0x24, 0x24, 0x53, 0x53, 0x18, 0x02, 0x01, 0x06,
                                          uint8_t(0x53 ^ 0x53 ^ 0x18 ^ 0x02 ^ 0x01 ^ 0x06), 0x0D, 0x0A}));

    const Bytes big(256, 0xA5);
    ASSERT_TRUE(PackBinaryCommand("RZ", big.data(), 255, out, &n, 3));
    EXPECT_EQ(n, kDollarFrameMaxSize);
    const auto f = ReadFrame(out, n);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->head, 0x38);
    EXPECT_EQ(f->payload, Bytes(255, 0xA5));

    std::memset(out, 0x77, sizeof out);
    n = 12345;
    EXPECT_FALSE(PackBinaryCommand("RZ", big.data(), 256, out, &n, 1)) << "the length byte cannot state 256";
    EXPECT_FALSE(PackBinaryCommand("RZ", nullptr, 2, out, &n, 1));
    EXPECT_EQ(n, 12345u);
    EXPECT_EQ(out[0], 0x77);
}

TEST(DollarPackerWrappers, WrapInPlaceKeepingTheDelay) {
    const struct {
        bool (*wrap)(int, _STR_CMD&);
        const char* letters;
    } wrappers[] = {{PackRzFrame, "RZ"}, {PackVdFrame, "VD"}, {PackSsFrame, "SS"},
                    {PackSxFrame, "SX"}, {PackSjFrame, "SJ"}};
    for (const auto& w : wrappers) {
        for (const int comStatus : {1, 2}) {
            _STR_CMD cmd = Record({0x28, 0x05}, 200);
            ASSERT_TRUE(w.wrap(comStatus, cmd)) << w.letters;
            const auto f = ReadFrame(cmd);
            ASSERT_TRUE(f) << w.letters;
            EXPECT_EQ(f->letters, w.letters);
            EXPECT_EQ(f->head, comStatus == 1 ? 0x18 : 0x38);
            EXPECT_EQ(f->payload, (Bytes{0x28, 0x05}));
            EXPECT_EQ(cmd.delay, 200u);
        }
    }
    _STR_CMD fy = Record({1, 2, 3}, 10);
    ASSERT_TRUE(PackLetterFrame(1, fy, "FY"));
    EXPECT_EQ(ReadFrame(fy)->letters, "FY");
}

TEST(DollarPackerWrappers, RefuseWhatCannotBeSent) {
    // A record above 255 bytes, and a com status that is neither serial nor
    // Bluetooth: the record is emptied, not sent half-framed.
    _STR_CMD big = Record(Bytes(256, 0x11));
    EXPECT_FALSE(PackRzFrame(1, big));
    EXPECT_EQ(big.length, 0u);
    EXPECT_EQ(big.data[0], 0);

    _STR_CMD garbage = Record({});
    garbage.length = 0xFFFFFFFF;
    EXPECT_FALSE(PackSjFrame(1, garbage));
    EXPECT_EQ(garbage.length, 0u);

    _STR_CMD cmd = Record({0x28, 0x05});
    EXPECT_FALSE(PackSjFrame(0, cmd));
    EXPECT_EQ(cmd.length, 0u);

    _STR_CMD text = Record({'a'});
    EXPECT_FALSE(PackVlFrame(5, text));
    EXPECT_EQ(text.length, 0u);

    _STR_CMD full = Record(Bytes(255, 0x22));
    EXPECT_TRUE(PackVdFrame(2, full));
    EXPECT_EQ(full.length, 264u);
}

TEST(DollarPackerWrappers, VlFrameCarriesTheTextUnchanged) {
    const std::string text = "GET /MOUNT HTTP/1.0\r\n";
    _STR_CMD cmd = Record(Bytes(text.begin(), text.end()), 100);
    ASSERT_TRUE(PackVlFrame(1, cmd));
    const auto f = ReadFrame(cmd);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->letters, "VL");
    EXPECT_EQ(f->head, 0x1B);
    EXPECT_EQ(std::string(f->payload.begin(), f->payload.end()), text);
    EXPECT_EQ(cmd.data[cmd.length], 0) << "a zero byte follows the frame";
    EXPECT_EQ(cmd.delay, 100u);

    _STR_CMD most = Record(Bytes(250, 'q'));
    ASSERT_TRUE(PackVlFrame(2, most));
    EXPECT_EQ(ReadFrame(most)->payload, Bytes(250, 'q'));
    _STR_CMD tooLong = Record(Bytes(251, 'q'));
    EXPECT_FALSE(PackVlFrame(2, tooLong));
    EXPECT_EQ(tooLong.length, 0u);
}

TEST(DollarPackerTunnel, GoldenPacketAndTheTextItStandsFor) {
    uint8_t out[kDollarFrameMaxSize];
    unsigned n = 0;
    ASSERT_TRUE(PackModuleTunnel(1, 95, out, &n, 0, nullptr));
    const auto f = ReadFrame(out, n);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->letters, "VS");
    EXPECT_EQ(f->head, 0x1B);
    // 40 | id 5F | ~id A0 | length 00 00 | XOR BF
    EXPECT_EQ(f->payload, (Bytes{0x40, 0x5F, 0xA0, 0x00, 0x00, 0xBF}));
    EXPECT_EQ(Bytes(out, out + n), PackText("VS,B64 B95 B160 B0 B0 B191 ", 1, kDollarClassModule));

    // With data, the frame equals the "B%d " text route for every packet that
    // the text can carry, on both links.
    for (const int m : {1, 7, 55, 198}) {
        Bytes data(m);
        for (int i = 0; i < m; ++i) data[i] = uint8_t(i * 37 + 11);
        for (const int comStatus : {1, 2}) {
            ASSERT_TRUE(PackModuleTunnel(comStatus, 114, out, &n, m, data.data()));
            std::string text = "VS,";
            uint8_t packet[6 + 198] = {0x40, 114, uint8_t(~114), uint8_t(m), uint8_t(m >> 8)};
            std::memcpy(packet + 5, data.data(), m);
            uint8_t x = 0;
            for (int i = 0; i < 5 + m; ++i) x ^= packet[i];
            packet[5 + m] = x;
            for (int i = 0; i < m + 6; ++i) text += "B" + std::to_string(packet[i]) + " ";
            EXPECT_EQ(Bytes(out, out + n), PackText(text, comStatus == 1 ? 1 : 3, kDollarClassModule)) << m;
        }
    }
}

TEST(DollarPackerTunnel, APacketLongerThanOneFrameWritesNothing) {
    const Bytes data(300, 0x5A);
    uint8_t out[kDollarFrameMaxSize];
    unsigned n = 0;
    ASSERT_TRUE(PackModuleTunnel(1, 88, out, &n, 244, data.data()));
    EXPECT_EQ(n, 259u);
    EXPECT_EQ(ReadFrame(out, n)->payload.size(), 250u);

    std::memset(out, 0x77, sizeof out);
    n = 7;
    EXPECT_FALSE(PackModuleTunnel(1, 88, out, &n, 245, data.data()));
    EXPECT_FALSE(PackModuleTunnel(1, 88, out, &n, -1, data.data()));
    EXPECT_FALSE(PackModuleTunnel(1, 88, out, &n, 3, nullptr));
    EXPECT_FALSE(PackModuleTunnel(0, 88, out, &n, 0, nullptr));
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(out[0], 0x77);
}

TEST(DollarPackerSplit, DifferentialDataIn55BytePieces) {
    const struct {
        unsigned n;
        std::vector<unsigned> pieces;
    } cases[] = {{0, {0}}, {1, {1}}, {55, {55}}, {110, {55, 55}}, {111, {55, 55, 1}}, {300, {55, 55, 55, 55, 55, 25}}};
    for (const auto& c : cases) {
        Bytes data(c.n);
        for (unsigned i = 0; i < c.n; ++i) data[i] = uint8_t(i);
        std::vector<_STR_CMD> out;
        EXPECT_EQ(PackDiffDataFrames(1, out, data.data(), c.n), c.pieces.size());
        ASSERT_EQ(out.size(), c.pieces.size()) << c.n;
        Bytes joined;
        for (size_t i = 0; i < out.size(); ++i) {
            const auto f = ReadFrame(out[i]);
            ASSERT_TRUE(f);
            EXPECT_EQ(f->letters, "VD");
            EXPECT_EQ(f->payload.size(), c.pieces[i]);
            EXPECT_EQ(out[i].delay, 10u);
            joined.insert(joined.end(), f->payload.begin(), f->payload.end());
        }
        EXPECT_EQ(joined, data);
    }
    std::vector<_STR_CMD> out;
    EXPECT_EQ(PackDiffDataFrames(1, out, nullptr, 5), 0u);
    EXPECT_EQ(PackDiffDataFrames(3, out, Bytes(5).data(), 5), 0u);
    EXPECT_TRUE(out.empty());
}

TEST(DollarPackerSplit, BoardCommandsInRzFrames) {
    std::vector<_STR_CMD> in = {Record(Bytes(55, 0xAB), 2000), Record(Bytes(56, 0xCD), 2000)};
    std::vector<_STR_CMD> out;
    EXPECT_EQ(SplitToRzFrames(2, out, in), 3u);
    ASSERT_EQ(out.size(), 3u);
    // 55 bytes: wrapped whole (the input record too), own delay.
    EXPECT_EQ(ReadFrame(out[0])->payload, Bytes(55, 0xAB));
    EXPECT_EQ(out[0].delay, 2000u);
    EXPECT_EQ(in[0].length, 64u);
    EXPECT_EQ(std::memcmp(in[0].data, out[0].data, 64), 0);
    // 56 bytes: pieces of 55 and 1 with delay 100; the input stays.
    for (int i = 1; i < 3; ++i) {
        const auto f = ReadFrame(out[i]);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->letters, "RZ");
        EXPECT_EQ(f->head, 0x38);
        EXPECT_EQ(out[i].delay, 100u);
    }
    EXPECT_EQ(ReadFrame(out[1])->payload, Bytes(55, 0xCD));
    EXPECT_EQ(ReadFrame(out[2])->payload, Bytes(1, 0xCD));
    EXPECT_EQ(in[1].length, 56u);

    // A record whose length passes its data area is read as 512 bytes.
    _STR_CMD huge = Record(Bytes(512, 0x01));
    huge.length = 100000;
    std::vector<_STR_CMD> hugeIn = {huge};
    out.clear();
    EXPECT_EQ(SplitToRzFrames(1, out, hugeIn), 10u);  // 9 x 55 + 17

    out.clear();
    std::vector<_STR_CMD> again = {Record(Bytes(60, 1))};
    EXPECT_EQ(SplitToRzFrames(0, out, again), 0u);
    EXPECT_TRUE(out.empty());
}

TEST(DollarPackerSplit, ModemTextInVlFramesJoinsBack) {
    std::string request = "GET /RTCM32 HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.5\r\n"
                          "Connection: Keep-Alive\r\nAccept: */*\r\nAuthorization: Basic dXNlcjpwYXNz\r\n\r\n";
    std::vector<_STR_CMD> in = {Record(Bytes(request.begin(), request.end()), 100)};
    std::vector<_STR_CMD> out;
    const unsigned expected = unsigned((request.size() + 54) / 55);
    EXPECT_EQ(SplitToVlFrames(1, out, in), expected);
    std::string joined;
    for (const _STR_CMD& cmd : out) {
        const auto f = ReadFrame(cmd);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->letters, "VL");
        EXPECT_EQ(f->head, 0x1B);
        EXPECT_LE(f->payload.size(), 55u);
        EXPECT_EQ(cmd.delay, 100u);
        joined.append(f->payload.begin(), f->payload.end());
    }
    EXPECT_EQ(joined, request);
}

TEST(DollarPackerPoint, LayoutsByKind) {
    // Source: u32 at 0, byte at 8, 30 bytes at 9, byte at 39, then the kind's part.
    uint8_t src[160] = {};
    const uint32_t word = 0x11223344;
    std::memcpy(src, &word, 4);
    src[8] = 0x55;
    for (int i = 0; i < 30; ++i) src[9 + i] = uint8_t('A' + i % 26);
    src[39] = 0x66;
    const uint32_t word40 = 0xA1B2C3D4;

    auto check = [&](int kind, int expectedLength, int lengthByte) {
        uint8_t out[kPointRecordBlockSize];
        std::memset(out, 0xEE, sizeof out);
        const int n = PackPointRecord(src, out, kind);
        ASSERT_EQ(n, expectedLength) << kind;
        EXPECT_EQ(out[0], 0x01);
        EXPECT_EQ(out[1], 0x0B);
        EXPECT_EQ(out[2], 0xF4);
        EXPECT_EQ(out[3], lengthByte);
        EXPECT_EQ(out[4], uint8_t(kind));
        EXPECT_EQ((Bytes{out[5], out[6], out[7], out[8]}), (Bytes{0x44, 0x33, 0x22, 0x11}));
        EXPECT_EQ(out[9], 0x55);
        EXPECT_EQ(std::memcmp(out + 10, src + 9, 30), 0);
        EXPECT_EQ(out[40], 0x66);
        uint16_t sum = 0;
        for (int i = 0; i < n - 2; ++i) sum = uint16_t(sum + out[i]);
        EXPECT_EQ(out[n - 2], uint8_t(sum));
        EXPECT_EQ(out[n - 1], uint8_t(sum >> 8));
        if (kind == 7) {
            EXPECT_EQ((Bytes{out[41], out[42], out[43], out[44]}), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
        }
        if (kind == 12) {
            EXPECT_EQ(out[41], 0x77);
            EXPECT_EQ((Bytes{out[42], out[43], out[44], out[45]}), (Bytes{0x04, 0x03, 0x02, 0x01}));
            EXPECT_EQ(Bytes(out + 46, out + 58), Bytes(12, 0));
        }
    };
    check(8, 43, 37);
    std::memcpy(src + 40, &word40, 4);
    check(7, 47, 41);  // an end point: 47 bytes
    src[80] = 0x77;
    const uint32_t word84 = 0x01020304;
    std::memcpy(src + 84, &word84, 4);
    check(12, 60, 54);
    check(9, 43, 0);  // unlisted kind: kind-8 layout, length byte 0

    src[40] = 20;  // a start point with a 20-byte text: 64 bytes
    for (int i = 0; i < 20; ++i) src[41 + i] = uint8_t('a' + i);
    check(6, 64, 58);
}

TEST(DollarPackerPoint, AStartPointThatWouldOverflowItsBlockWritesNothing) {
    uint8_t src[160] = {};
    uint8_t out[kPointRecordBlockSize];
    src[40] = 106;  // 41 + 1 + 106 + 2 = 150: fits exactly
    EXPECT_EQ(PackPointRecord(src, out, 6), 150);
    src[40] = 107;
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(PackPointRecord(src, out, 6), 0);
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(PackPointRecord(nullptr, out, 6), -1);
    EXPECT_EQ(PackPointRecord(src, nullptr, 6), -1);
}

TEST(DollarPackerMode, FromComStatus) {
    EXPECT_EQ(DollarPackerMode(1), 1);
    EXPECT_EQ(DollarPackerMode(2), 3);
    EXPECT_EQ(DollarPackerMode(0), 0);
    EXPECT_EQ(DollarPackerMode(3), 0);
}
