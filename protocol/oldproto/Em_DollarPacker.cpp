#include "protocol/oldproto/Em_DollarPacker.h"

#include "platform/Endian.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// Offset of the payload in a frame; the command letters sit at 2 and 3.
constexpr unsigned kPayloadOffset = 6;

uint8_t HeadByte(int cls, int mode) { return uint8_t(cls + 16 * mode); }

// Writes the XOR of out[2 .. end-1] at out[end], then CR LF; returns the
// frame length.
unsigned CloseFrame(uint8_t* out, unsigned end) {
    uint8_t x = 0;
    for (unsigned i = 2; i < end; ++i) x ^= out[i];
    out[end] = x;
    out[end + 1] = 0x0D;
    out[end + 2] = 0x0A;
    return end + 3;
}

// A whole frame from letters, head byte and a payload of at most
// kDollarPayloadMax bytes (which may not overlap `out`).
unsigned WriteFrame(uint8_t* out, char first, char second, uint8_t head, const uint8_t* payload, unsigned n) {
    out[0] = '$';
    out[1] = '$';
    out[2] = uint8_t(first);
    out[3] = uint8_t(second);
    out[4] = head;
    out[5] = uint8_t(n);
    if (n > 0) std::memcpy(out + kPayloadOffset, payload, n);
    return CloseFrame(out, kPayloadOffset + n);
}

void EmptyRecord(_STR_CMD& cmd) {
    std::memset(cmd.data, 0, sizeof cmd.data);
    cmd.length = 0;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool IsScanfSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads a decimal number the way "%d" finds one (leading white space, an
// optional sign, at least one digit) and gives its two's-complement bits.
// False when there is no number or its magnitude passes 64 bits.
bool ReadDecimal(const char* s, const char* end, uint64_t& bits) {
    while (s < end && IsScanfSpace(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) {
        negative = *s == '-';
        ++s;
    }
    if (s >= end || *s < '0' || *s > '9') return false;
    uint64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(s, end, magnitude, 10);
    if (ec != std::errc()) return false;
    (void)ptr;
    bits = negative ? uint64_t(0) - magnitude : magnitude;
    return true;
}

bool IsTokenLetter(char upper) {
    return upper == 'B' || upper == 'M' || upper == 'W' || upper == 'L' || upper == 'S';
}

unsigned SplitWith(bool (*wrap)(int, _STR_CMD&), int comStatus, std::vector<_STR_CMD>& out,
                   std::vector<_STR_CMD>& in) {
    unsigned appended = 0;
    for (_STR_CMD& rec : in) {
        const unsigned length = std::min<uint32_t>(rec.length, sizeof rec.data);
        if (length <= kDollarChunk) {
            // Short enough for one frame: wrapped where it stands, own delay kept.
            if (wrap(comStatus, rec)) {
                out.push_back(rec);
                ++appended;
            }
            continue;
        }
        for (unsigned offset = 0; offset < length; offset += kDollarChunk) {
            const unsigned chunk = std::min(kDollarChunk, length - offset);
            _STR_CMD piece{};
            std::memcpy(piece.data, rec.data + offset, chunk);
            piece.length = chunk;
            piece.delay = 100;
            if (wrap(comStatus, piece)) {
                out.push_back(piece);
                ++appended;
            }
        }
    }
    return appended;
}

}  // namespace

int DollarPackerMode(int comStatus) {
    switch (comStatus) {
    case COM_STATUS_SERIAL:
        return 1;
    case COM_STATUS_BLUETOOTH:
        return 3;
    default:
        return 0;
    }
}

bool PackTextCommand(const char* text, uint8_t* out, unsigned* outLength, int mode, int cls) {
    if (text == nullptr || out == nullptr) return false;
    // The text is copied first: `out` may be the buffer that holds it.
    char buf[kDollarTextMax + 1];
    const size_t len = strnlen(text, kDollarTextMax);
    std::memcpy(buf, text, len);
    buf[len] = '\0';
    const char* const textEnd = buf + len;

    out[0] = '$';
    out[1] = '$';
    unsigned p = 2;
    const unsigned limit = kPayloadOffset + kDollarTextPayloadMax;
    bool separator = false;
    for (size_t i = 0; i < len && p < limit; ++i) {
        const char c = buf[i];
        if (p < kPayloadOffset) {
            // Command letters; everything else before them is skipped.
            if (IsAsciiLetter(c)) {
                out[p++] = uint8_t(c);
                if (p == 4) p = kPayloadOffset;  // head and length bytes come later
            }
            continue;
        }
        if (c == ',' || c == ' ') {
            separator = true;
            continue;
        }
        const char token = ToUpperAscii(c);
        if (!separator || !IsTokenLetter(token)) continue;  // ordinary character: skipped
        if (token == 'S') {
            // The rest of the text raw, cut at the payload limit; the scan ends.
            const size_t take = std::min<size_t>(len - (i + 1), limit - p);
            std::memcpy(out + p, buf + i + 1, take);
            p += unsigned(take);
            break;
        }
        uint64_t value = 0;
        if (!ReadDecimal(buf + i + 1, textEnd, value)) continue;  // no number: nothing, flag stays
        const unsigned size = token == 'B' ? 1 : token == 'L' ? 4 : 2;
        if (p + size > limit) break;  // the token does not fit one frame: the text is cut here
        switch (token) {
        case 'B':
            out[p] = uint8_t(value);
            break;
        case 'M':
            platform::WriteBE16(out + p, uint16_t(value));
            break;
        case 'W':
            platform::WriteLE16(out + p, uint16_t(value));
            break;
        default:
            platform::WriteLE32(out + p, uint32_t(value));
            break;
        }
        p += size;
        separator = false;
        // The scan goes on right after the token letter; the number's digits
        // are then skipped as ordinary characters.
    }
    if (p >= kPayloadOffset) {
        out[4] = HeadByte(cls, mode);
        out[5] = uint8_t(p - kPayloadOffset);
    }
    const unsigned total = CloseFrame(out, p);
    if (outLength != nullptr) *outLength = total;
    return true;
}

bool PackBinaryCommand(const char letters[2], const uint8_t* payload, unsigned n, uint8_t* out,
                       unsigned* outLength, int mode) {
    if (letters == nullptr || payload == nullptr || out == nullptr || n > kDollarPayloadMax) return false;
    uint8_t copy[kDollarPayloadMax];
    std::memcpy(copy, payload, n);  // the payload may lie inside `out`
    const unsigned total = WriteFrame(out, letters[0], letters[1], HeadByte(kDollarClassCommand, mode), copy, n);
    if (outLength != nullptr) *outLength = total;
    return true;
}

bool PackLetterFrame(int comStatus, _STR_CMD& cmd, const char letters[2]) {
    const int mode = DollarPackerMode(comStatus);
    if (mode == 0 || letters == nullptr || cmd.length > kDollarPayloadMax) {
        EmptyRecord(cmd);
        return false;
    }
    uint8_t frame[kDollarFrameMaxSize];
    unsigned total = 0;
    PackBinaryCommand(letters, cmd.data, cmd.length, frame, &total, mode);
    std::memcpy(cmd.data, frame, total);
    cmd.length = total;
    return true;
}

bool PackRzFrame(int comStatus, _STR_CMD& cmd) { return PackLetterFrame(comStatus, cmd, "RZ"); }
bool PackVdFrame(int comStatus, _STR_CMD& cmd) { return PackLetterFrame(comStatus, cmd, "VD"); }
bool PackSsFrame(int comStatus, _STR_CMD& cmd) { return PackLetterFrame(comStatus, cmd, "SS"); }
bool PackSxFrame(int comStatus, _STR_CMD& cmd) { return PackLetterFrame(comStatus, cmd, "SX"); }
bool PackSjFrame(int comStatus, _STR_CMD& cmd) { return PackLetterFrame(comStatus, cmd, "SJ"); }

bool PackVlFrame(int comStatus, _STR_CMD& cmd) {
    const int mode = DollarPackerMode(comStatus);
    if (mode == 0 || cmd.length > kDollarTextPayloadMax) {
        EmptyRecord(cmd);
        return false;
    }
    // "VL,S" in front: the S token carries the record's bytes unchanged.
    char text[4 + kDollarTextPayloadMax + 1];
    std::memcpy(text, "VL,S", 4);
    std::memcpy(text + 4, cmd.data, cmd.length);
    text[4 + cmd.length] = '\0';
    unsigned total = 0;
    PackTextCommand(text, cmd.data, &total, mode, kDollarClassModule);
    cmd.data[total] = 0;
    cmd.length = total;
    return true;
}

bool PackModuleTunnel(int comStatus, int id, uint8_t* out, unsigned* outLength, int m, const uint8_t* data) {
    const int mode = DollarPackerMode(comStatus);
    constexpr int kMaxData = int(kDollarTextPayloadMax) - 6;
    if (mode == 0 || out == nullptr || m < 0 || m > kMaxData || (m > 0 && data == nullptr)) return false;
    // The packet is exactly what the text "VS,B64 B<id> B<~id> ..." carries,
    // one "B" token per byte; it is written directly so that a packet of a
    // whole frame is not lost to the length of that text.
    uint8_t packet[kDollarTextPayloadMax];
    packet[0] = 0x40;
    packet[1] = uint8_t(id);
    packet[2] = uint8_t(~unsigned(id));
    platform::WriteLE16(packet + 3, uint16_t(m));
    if (m > 0) std::memcpy(packet + 5, data, unsigned(m));
    uint8_t x = 0;
    for (int i = 0; i < 5 + m; ++i) x ^= packet[i];
    packet[5 + m] = x;
    const unsigned total = WriteFrame(out, 'V', 'S', HeadByte(kDollarClassModule, mode), packet, unsigned(m) + 6);
    if (outLength != nullptr) *outLength = total;
    return true;
}

unsigned PackDiffDataFrames(int comStatus, std::vector<_STR_CMD>& out, const uint8_t* data, unsigned n) {
    if (DollarPackerMode(comStatus) == 0 || (n > 0 && data == nullptr)) return 0;
    unsigned appended = 0;
    unsigned offset = 0;
    do {
        const unsigned chunk = std::min(kDollarChunk, n - offset);
        _STR_CMD cmd{};
        if (chunk > 0) std::memcpy(cmd.data, data + offset, chunk);
        cmd.length = chunk;
        cmd.delay = 10;
        if (PackVdFrame(comStatus, cmd)) {
            out.push_back(cmd);
            ++appended;
        }
        offset += chunk;
    } while (offset < n);
    return appended;
}

unsigned SplitToRzFrames(int comStatus, std::vector<_STR_CMD>& out, std::vector<_STR_CMD>& in) {
    return SplitWith(&PackRzFrame, comStatus, out, in);
}

unsigned SplitToVlFrames(int comStatus, std::vector<_STR_CMD>& out, std::vector<_STR_CMD>& in) {
    return SplitWith(&PackVlFrame, comStatus, out, in);
}

int PackPointRecord(const void* point, uint8_t* out, int kind) {
    if (point == nullptr || out == nullptr) return -1;
    const uint8_t* src = static_cast<const uint8_t*>(point);
    constexpr unsigned kCommonEnd = 41;  // head, kind and the common part
    unsigned end = kCommonEnd;
    if (kind == 6) {
        const unsigned k = src[40];
        if (kCommonEnd + 1 + k + 2 > kPointRecordBlockSize) return 0;  // the text would overflow the block
        end = kCommonEnd + 1 + k;
    } else if (kind == 7) {
        end = kCommonEnd + 4;
    } else if (kind == 12) {
        end = kCommonEnd + 17;
    }

    out[0] = 0x01;
    out[1] = 0x0B;
    out[2] = 0xF4;
    // An unlisted kind keeps the kind-8 layout and a length byte of 0.
    out[3] = (kind == 6 || kind == 7 || kind == 8 || kind == 12) ? uint8_t(end - 4) : 0;
    out[4] = uint8_t(kind);
    uint32_t word = 0;
    std::memcpy(&word, src, 4);
    platform::WriteLE32(out + 5, word);
    out[9] = src[8];
    std::memcpy(out + 10, src + 9, 30);
    out[40] = src[39];
    if (kind == 6) {
        const unsigned k = src[40];
        out[41] = uint8_t(k);
        std::memcpy(out + 42, src + 41, k);
    } else if (kind == 7) {
        std::memcpy(&word, src + 40, 4);
        platform::WriteLE32(out + 41, word);
    } else if (kind == 12) {
        out[41] = src[80];
        std::memcpy(&word, src + 84, 4);
        platform::WriteLE32(out + 42, word);
        std::memset(out + 46, 0, 12);
    }
    uint16_t sum = 0;
    for (unsigned i = 0; i < end; ++i) sum = uint16_t(sum + out[i]);
    platform::WriteLE16(out + end, sum);
    return int(end + 2);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
