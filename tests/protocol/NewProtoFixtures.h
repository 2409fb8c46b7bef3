#pragma once

// The maker's new protocol as a receiver sends it, written from the wire
// layout for the tests (not with the library's packer): messages
//   04 11 | 00 | command id (u32) | 00 00 00 01 | N (u16) | body | tail (u32) | 09 24
// whose body is the operation item 00 01 00 02 op followed by items
// id (u16) | length (u16) | value, carried in link frames
//   24 24 | stream | sequence | L | L bytes | 0D 0A.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace newproto_test {

using Bytes = std::vector<uint8_t>;

inline void PutBE16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
inline void PutBE32(Bytes& b, uint32_t v) {
    PutBE16(b, v >> 16);
    PutBE16(b, v);
}

struct Item {
    uint16_t id;
    Bytes value;
};

// One item as it appears in a body.
inline Bytes ItemBytes(const Item& item) {
    Bytes b;
    PutBE16(b, item.id);
    PutBE16(b, uint32_t(item.value.size()));
    b.insert(b.end(), item.value.begin(), item.value.end());
    return b;
}

// A whole message around a body as given (the length field says what the
// body holds unless `bodyLength` overrides it).
inline Bytes MessageAround(const Bytes& body, uint32_t commandId, int bodyLength = -1,
                           uint8_t trailer1 = 0x24) {
    Bytes m = {0x04, 0x11, 0x00};
    PutBE32(m, commandId);
    PutBE32(m, 1);
    PutBE16(m, bodyLength < 0 ? uint32_t(body.size()) : uint32_t(bodyLength));
    m.insert(m.end(), body.begin(), body.end());
    PutBE32(m, 0xA5A5A5A5);  // tail word: kept, never tested
    m.push_back(0x09);
    m.push_back(trailer1);
    return m;
}

// A reply: operation item, then the items in order.
inline Bytes Message(uint16_t operation, const std::vector<Item>& items, uint32_t commandId = 0) {
    Bytes body = {0x00, 0x01, 0x00, 0x02};
    PutBE16(body, operation);
    for (const Item& item : items) {
        const Bytes b = ItemBytes(item);
        body.insert(body.end(), b.begin(), b.end());
    }
    return MessageAround(body, commandId);
}

inline Bytes Link(uint8_t stream, uint8_t sequence, const Bytes& payload) {
    Bytes f = {0x24, 0x24, stream, sequence, uint8_t(payload.size())};
    f.insert(f.end(), payload.begin(), payload.end());
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

// A byte stream cut into link frames of at most `part` payload bytes with
// consecutive sequence numbers from `sequence` (advanced past the last one).
inline Bytes Links(const Bytes& stream, uint8_t& sequence, size_t part = 250, uint8_t streamId = 1) {
    Bytes out;
    for (size_t at = 0; at < stream.size(); at += part) {
        const size_t n = std::min(part, stream.size() - at);
        const Bytes f = Link(streamId, sequence, Bytes(stream.begin() + long(at), stream.begin() + long(at + n)));
        out.insert(out.end(), f.begin(), f.end());
        sequence = uint8_t((sequence + 1) % 251);
    }
    return out;
}

inline Bytes U8(uint8_t v) { return {v}; }
inline Bytes U16(uint32_t v) {
    Bytes b;
    PutBE16(b, v);
    return b;
}
inline Bytes U32(uint32_t v) {
    Bytes b;
    PutBE32(b, v);
    return b;
}
inline Bytes Filled(size_t n, uint8_t value = 0x11) { return Bytes(n, value); }

}  // namespace newproto_test
