#include "protocol/FrameReaders.h"

#include "platform/Endian.h"
#include "protocol/Em_Checksum.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr FrameCut Wait{FrameResult::Incomplete, 0};
constexpr FrameCut BadSum{FrameResult::BadChecksum, 0};
constexpr FrameCut Bad{FrameResult::Malformed, 0};
constexpr FrameCut Take(int length) { return FrameCut{FrameResult::Taken, length}; }

// An NMEA sentence ends within this many bytes of its '$', or it is no sentence.
constexpr int kNmeaWindow = 300;
// "$" + five address characters + CR LF: anything that ends sooner is no sentence.
constexpr int kShortestNmea = 8;
// A Hemisphere command reply ends with CR LF within this many bytes.
constexpr int kReplyWindow = 100;
constexpr int kNovAtelHeader = 28;
// $BIN: "$BIN", block id, data length, data, 16-bit sum, CR LF.
constexpr int kBinOverhead = 12;

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Head(const uint8_t* p, char a, char b, char c) {
    return p[0] == uint8_t(a) && p[1] == uint8_t(b) && p[2] == uint8_t(c);
}

bool IsNmeaHead(const uint8_t* p, bool withGnBd) {
    if (Head(p, '$', 'G', 'P') || Head(p, '$', 'G', 'L')) return true;
    return withGnBd && (Head(p, '$', 'G', 'N') || Head(p, '$', 'B', 'D'));
}

bool IsRtcm3Head(const uint8_t* p) { return p[0] == 0xD3 && (p[1] & 0xFC) == 0; }

}  // namespace

// The sentence ends at the first position i where byte i is '*', byte i + 3 is
// CR or byte i + 4 is LF: that covers "*hh" CR LF as well as a sentence
// without a checksum. It is taken as soon as its end is buffered, whatever
// follows. A "*hh" that does not match the exclusive-or of the bytes between
// '$' and '*' makes the head a false start.
FrameCut ReadNmeaFrame(const uint8_t* p, int n) {
    // The positions examined: i + 5 < kNmeaWindow, and i + 4 < n (a position
    // beyond that means waiting for more bytes). Each of the three end marks is
    // looked for with one scan over those positions.
    const int positions = std::min(kNmeaWindow - 5, n - 4);
    int end = -1;
    if (positions > 0) {
        const auto first = [p](uint8_t c, int from, int count) {
            const void* hit = std::memchr(p + from, c, size_t(count));
            return hit ? int(static_cast<const uint8_t*>(hit) - p) - from : count;
        };
        const int at = std::min({first('*', 0, positions), first('\r', 3, positions), first('\n', 4, positions)});
        if (at < positions) end = at;
    }
    if (end < 0) return n - 4 < kNmeaWindow - 5 ? Wait : Bad;
    const int length = end + 5;
    if (length < kShortestNmea) return Bad;
    if (p[end] == '*') {
        const int hi = HexDigit(p[end + 1]);
        const int lo = HexDigit(p[end + 2]);
        uint8_t sum = 0;
        for (int k = 1; k < end; ++k) sum ^= p[k];
        if (hi < 0 || lo < 0 || sum != uint8_t(hi * 16 + lo)) return BadSum;
    }
    return Take(length);
}

// 02, status, type, length L, L data bytes, checksum, 03. The checksum is the
// sum modulo 256 of status, type, length and data.
FrameCut ReadStxFrame(const uint8_t* p, int n) {
    if (n < 4) return Wait;
    const int dataLength = p[3];
    const int length = dataLength + 6;
    if (n < length) return Wait;
    uint8_t sum = 0;
    for (int k = 1; k < dataLength + 4; ++k) sum = uint8_t(sum + p[k]);
    if (sum != p[dataLength + 4] || p[dataLength + 5] != 0x03) return BadSum;
    return Take(length);
}

// D3, six zero bits and a 10-bit payload length L, the payload, CRC-24Q over
// everything before it (big-endian, 3 bytes).
FrameCut ReadRtcm3Frame(const uint8_t* p, int n) {
    if (!IsRtcm3Head(p)) return Bad;
    const int payload = ((p[1] & 0x03) << 8) | p[2];
    const int length = payload + 6;
    if (n < length) return Wait;
    if (Calc_Crc24q(p, payload + 3) != platform::ReadBE24(p + payload + 3)) return BadSum;
    return Take(length);
}

// AA 44 12, header length (always 28), ..., message length M at bytes 8-9
// (little-endian), then the message and a CRC-32 over header and message.
FrameCut ReadNovAtelFrame(const uint8_t* p, int n) {
    if (n < 4) return Wait;
    if (p[3] != kNovAtelHeader) return Bad;
    if (n < 10) return Wait;
    const int length = kNovAtelHeader + platform::ReadLE16(p + 8) + 4;
    if (length > kFrameAreaSize) return Bad;
    if (n < length) return Wait;
    if (!Check_Crc32(p, length)) return BadSum;
    return Take(length);
}

FrameCut ReadNovAtelLog(const uint8_t* p, int n) {
    if (n < 10 || p[3] != kNovAtelHeader) return ReadNovAtelFrame(p, n);
    const int length = kNovAtelHeader + platform::ReadLE16(p + 8) + 4;
    if (length <= kFrameAreaSize || length > kLongestPassedLog) return ReadNovAtelFrame(p, n);
    if (n < length) return Wait;
    if (!Check_Crc32(p, length)) return BadSum;
    return FrameCut{FrameResult::PassedOver, length};
}

// "$BIN", block id (u16), data length D (u16), D data bytes, the 16-bit sum
// of the data bytes (little-endian), CR LF.
FrameCut ReadHemisBinFrame(const uint8_t* p, int n) {
    if (n < 8) return Wait;
    const int dataLength = platform::ReadLE16(p + 6);
    const int length = dataLength + kBinOverhead;
    if (length > kFrameAreaSize) return Bad;
    if (n < length) return Wait;
    uint16_t sum = 0;
    for (int k = 8; k < 8 + dataLength; ++k) sum = uint16_t(sum + p[k]);
    if (sum != platform::ReadLE16(p + 8 + dataLength) || p[length - 2] != '\r' || p[length - 1] != '\n')
        return BadSum;
    return Take(length);
}

// "$>J..." up to and including the first CR LF.
FrameCut ReadHemisReplyFrame(const uint8_t* p, int n) {
    for (int i = 0; i + 1 < kReplyWindow; ++i) {
        if (i + 1 >= n) return Wait;
        if (p[i] == '\r' && p[i + 1] == '\n') return Take(i + 2);
    }
    return Bad;
}

FrameReader SelectFrameReader(int boardType, const uint8_t* p) {
    switch (boardType) {
    case 1:  // Trimble BD
        if (p[0] == 0x02) return &ReadStxFrame;
        if (IsNmeaHead(p, false)) return &ReadNmeaFrame;
        if (IsRtcm3Head(p)) return &ReadRtcm3Frame;
        return nullptr;
    case 2:  // NovAtel OEM
        if (p[0] == 0xAA && p[1] == 0x44 && p[2] == 0x12) return &ReadNovAtelLog;
        if (IsNmeaHead(p, true)) return &ReadNmeaFrame;
        if (IsRtcm3Head(p)) return &ReadRtcm3Frame;
        if (p[0] == 0x02 && (p[2] == 0x98 || p[2] == 0x93)) return &ReadStxFrame;
        return nullptr;
    case 4:  // Hemisphere
        if (Head(p, '$', 'B', 'I')) return &ReadHemisBinFrame;
        if (Head(p, '$', '>', 'J')) return &ReadHemisReplyFrame;
        if (IsNmeaHead(p, false)) return &ReadNmeaFrame;
        return nullptr;
    case 5:  // NMEA only
        return IsNmeaHead(p, false) ? &ReadNmeaFrame : nullptr;
    case 6:  // Unicore
        return IsNmeaHead(p, true) ? &ReadNmeaFrame : nullptr;
    default:
        return nullptr;
    }
}

// Kept beside SelectFrameReader: a head added there adds its first byte here.
bool CanStartFrame(int boardType, uint8_t b) {
    switch (boardType) {
    case 1:  // Trimble BD: STX, NMEA, RTCM 3
        return b == 0x02 || b == '$' || b == 0xD3;
    case 2:  // NovAtel OEM: binary log, NMEA, RTCM 3, CMR
        return b == 0xAA || b == '$' || b == 0xD3 || b == 0x02;
    case 4:  // Hemisphere: $BIN, $>J, NMEA
    case 5:
    case 6:
        return b == '$';
    default:
        return false;
    }
}

int FindFrameStart(int boardType, const uint8_t* p, int n, int from) {
    if (from >= n) return n;
    if (from < 0) from = 0;
    if (boardType == 4 || boardType == 5 || boardType == 6) {
        const void* hit = std::memchr(p + from, '$', size_t(n - from));
        return hit ? int(static_cast<const uint8_t*>(hit) - p) : n;
    }
    // One table per board type, so that the scan is a load and a test a byte.
    static const auto starts = [] {
        std::array<std::array<bool, 256>, 8> t{};
        for (int type = 0; type < 8; ++type)
            for (int b = 0; b < 256; ++b) t[size_t(type)][size_t(b)] = CanStartFrame(type, uint8_t(b));
        return t;
    }();
    if (boardType < 0 || boardType >= 8) return n;
    const std::array<bool, 256>& start = starts[size_t(boardType)];
    int i = from;
    while (i < n && !start[p[i]]) ++i;
    return i;
}

bool IsCommonFormatBoardType(int boardType) {
    return boardType == 1 || boardType == 2 || boardType == 4 || boardType == 5 || boardType == 6;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
