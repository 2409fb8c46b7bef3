#pragma once

// Readers for the command records the protocol object builds, written from
// the wire layouts (not from the packers): the "$$" frame, the module packet
// inside a "VS" frame, and the new protocol's link frames joined back into a
// command block with its items.

#include "protocol/Em_Types.h"

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace oldcmd_test {

using Fjarnis2011::FJParse::_STR_CMD;
using Bytes = std::vector<uint8_t>;

// "24 24 53 49" -> bytes.
inline Bytes Hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte) out.push_back(uint8_t(std::stoul(byte, nullptr, 16)));
    return out;
}

// Copies a text into a fixed field: cut at the field's end, zeros after it.
template <size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

inline Bytes Data(const _STR_CMD& cmd) {
    return Bytes(cmd.data, cmd.data + (cmd.length <= sizeof cmd.data ? cmd.length : sizeof cmd.data));
}

// '$' '$' | two letters | head byte | length n | n bytes | XOR of bytes 2..5+n | CR LF
struct Dollar {
    bool ok = false;
    std::string letters;
    uint8_t head = 0;
    Bytes payload;
};

inline Dollar ReadDollar(const _STR_CMD& cmd) {
    Dollar d;
    const Bytes b = Data(cmd);
    if (b.size() < 9 || b[0] != 0x24 || b[1] != 0x24) return d;
    const size_t n = b[5];
    if (b.size() != n + 9 || b[n + 7] != 0x0D || b[n + 8] != 0x0A) return d;
    uint8_t x = 0;
    for (size_t i = 2; i < 6 + n; ++i) x ^= b[i];
    if (x != b[6 + n]) return d;
    d.ok = true;
    d.letters = std::string(1, char(b[2])) + char(b[3]);
    d.head = b[4];
    d.payload.assign(b.begin() + 6, b.begin() + 6 + long(n));
    return d;
}

// A reply frame as the receiver sends it: $$, letters, head 18, length,
// payload, XOR of letters through payload, CR LF.
inline Bytes ReplyFrame(const char letters[2], const Bytes& payload) {
    Bytes f = {0x24, 0x24, uint8_t(letters[0]), uint8_t(letters[1]), 0x18, uint8_t(payload.size())};
    f.insert(f.end(), payload.begin(), payload.end());
    uint8_t x = 0;
    for (size_t i = 2; i < f.size(); ++i) x ^= f[i];
    f.push_back(x);
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

// A module reply packet (carried by "VI" frames): 40 | id | 255 - id |
// data length (4 bytes, low first) | data | XOR of everything before | two
// trailing bytes.
inline Bytes ModuleReply(uint8_t id, const Bytes& data) {
    Bytes p = {0x40, id, uint8_t(255 - id)};
    for (int i = 0; i < 4; ++i) p.push_back(uint8_t(data.size() >> (8 * i)));
    p.insert(p.end(), data.begin(), data.end());
    uint8_t x = 0;
    for (uint8_t b : p) x ^= b;
    p.push_back(x);
    p.push_back(0x0D);
    p.push_back(0x0A);
    return p;
}

// The module packet of a "VS" frame: 40 | id | ~id | m (LE16) | m bytes | XOR of all before.
struct Module {
    bool ok = false;
    int id = -1;
    Bytes data;
};

inline Module ReadModule(const _STR_CMD& cmd) {
    Module m;
    const Dollar d = ReadDollar(cmd);
    if (!d.ok || d.letters != "VS" || (d.head & 0x0F) != 11) return m;
    const Bytes& p = d.payload;
    if (p.size() < 6 || p[0] != 0x40 || uint8_t(p[1] ^ p[2]) != 0xFF) return m;
    const size_t len = size_t(p[3]) | (size_t(p[4]) << 8);
    if (p.size() != len + 6) return m;
    uint8_t x = 0;
    for (size_t i = 0; i < 5 + len; ++i) x ^= p[i];
    if (x != p[5 + len]) return m;
    m.ok = true;
    m.id = p[1];
    m.data.assign(p.begin() + 5, p.begin() + 5 + long(len));
    return m;
}

// A command of the new protocol read back from its link frames
// (24 24 | 01 | sequence | P | P bytes | 0D 0A, delay 0) and its block
// (04 11 | 00 | command id | 00 00 00 01 | S | items | tail word | 09 24).
struct TlvItemRead {
    uint16_t id;
    Bytes value;
};

struct TlvCommand {
    bool ok = false;
    uint32_t commandId = 0;
    std::vector<TlvItemRead> items;
    std::vector<uint8_t> sequences;
};

inline TlvCommand ReadTlv(const std::vector<_STR_CMD>& frames, size_t from = 0) {
    TlvCommand c;
    Bytes block;
    for (size_t i = from; i < frames.size(); ++i) {
        const _STR_CMD& f = frames[i];
        const uint32_t p = f.data[4];
        if (f.length != p + 7 || f.data[0] != 0x24 || f.data[1] != 0x24 || f.data[2] != 0x01 || p > 250 ||
            f.data[5 + p] != 0x0D || f.data[6 + p] != 0x0A || f.delay != 0)
            return c;
        c.sequences.push_back(f.data[3]);
        block.insert(block.end(), f.data + 5, f.data + 5 + p);
    }
    if (block.size() < 19 || block[0] != 0x04 || block[1] != 0x11 || block[2] != 0 || block[7] != 0 ||
        block[8] != 0 || block[9] != 0 || block[10] != 1)
        return c;
    c.commandId = (uint32_t(block[3]) << 24) | (uint32_t(block[4]) << 16) | (uint32_t(block[5]) << 8) | block[6];
    const size_t s = (size_t(block[11]) << 8) | block[12];
    if (block.size() != s + 19 || block[s + 17] != 0x09 || block[s + 18] != 0x24) return c;
    size_t pos = 13;
    while (pos < 13 + s) {
        if (pos + 4 > 13 + s) return c;
        const uint16_t id = uint16_t((block[pos] << 8) | block[pos + 1]);
        const size_t len = (size_t(block[pos + 2]) << 8) | block[pos + 3];
        if (pos + 4 + len > 13 + s) return c;
        c.items.push_back({id, Bytes(block.begin() + long(pos) + 4, block.begin() + long(pos + 4 + len))});
        pos += 4 + len;
    }
    c.ok = true;
    return c;
}

}  // namespace oldcmd_test
