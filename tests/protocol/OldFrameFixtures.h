#pragma once

// "$$" reply frames and module packets for the old-protocol format tests,
// built here from the wire layout (not by the library's packers), and a rig
// that runs the format over its own receive buffer with recording boards.

#include "RecordingBoard.h"
#include "protocol/RingBuffer.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace old_fixtures {

using namespace Fjarnis2011::FJParse;
using Bytes = std::vector<uint8_t>;

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// '$' '$', the two letters, head byte, payload length, payload, XOR of
// letters..payload, CR LF. Replies carry head byte 0x18 (class 8, mode 1).
// The frame is sized once and filled in place: g++ 12 at -O2 takes the
// growth of a vector begun from a short brace list for an overrun.
inline Bytes Dollar(const char* letters, const Bytes& payload, uint8_t head = 0x18) {
    Bytes f(6 + payload.size() + 3);
    f[0] = 0x24;
    f[1] = 0x24;
    f[2] = uint8_t(letters[0]);
    f[3] = uint8_t(letters[1]);
    f[4] = head;
    f[5] = uint8_t(payload.size());
    const size_t end = 6 + payload.size();
    for (size_t k = 6; k < end; ++k) f[k] = payload[k - 6];
    uint8_t x = 0;
    for (size_t k = 2; k < end; ++k) x ^= f[k];
    f[end] = x;
    f[end + 1] = 0x0D;
    f[end + 2] = 0x0A;
    return f;
}

// A module reply packet: 0x40, id, 255 - id, data length (4 bytes LE), data,
// XOR of everything before it, two trailing bytes (CR LF).
inline Bytes Module(uint8_t id, const Bytes& data) {
    const uint32_t m = uint32_t(data.size());
    Bytes p = {0x40, id, uint8_t(255 - id), uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16), uint8_t(m >> 24)};
    p.insert(p.end(), data.begin(), data.end());
    uint8_t x = 0;
    for (uint8_t b : p) x ^= b;
    p.push_back(x);
    p.push_back(0x0D);
    p.push_back(0x0A);
    return p;
}

// The "VI" frames that carry a packet, in pieces of at most `piece` bytes.
inline Bytes ViFrames(const Bytes& packet, size_t piece = 255) {
    Bytes out;
    for (size_t at = 0; at < packet.size(); at += piece) {
        const size_t n = std::min(piece, packet.size() - at);
        out = Cat(out, Dollar("VI", Bytes(packet.begin() + long(at), packet.begin() + long(at + n))));
    }
    return out;
}

// One callback as ParseData would make it.
struct Call {
    int messageClass;
    uint32_t bits;
    bool operator==(const Call& o) const { return messageClass == o.messageClass && bits == o.bits; }
};
inline std::ostream& operator<<(std::ostream& os, const Call& c) {
    return os << "{class " << c.messageClass << ", bits 0x" << std::hex << c.bits << std::dec << "}";
}

// The old-protocol format over its own buffer, with recording boards.
struct OldRig {
    explicit OldRig(MAINBD_OEM_TYPE type = MAINBD_NOVATEL_OEM, bool withBoard = true)
        : format(*ring, board_test::RecordingBoards(&rec)) {
        if (withBoard) {
            EXPECT_TRUE(format.Reset_GnsMd(type));
        }
    }
    void Feed(const Bytes& b) { ring->Append(b.data(), unsigned(b.size())); }
    // Runs the format until it returns false, as ParseData does; returns the
    // callbacks it would have made.
    std::vector<Call> Pump() {
        std::vector<Call> calls;
        for (int guard = 0; guard < 1000000; ++guard) {
            if (!format.ParseNextFrame()) return calls;
            if (format.changeMask != 0) calls.push_back({format.messageClass, format.changeMask});
        }
        ADD_FAILURE() << "the format never stopped";
        return calls;
    }
    std::vector<Call> FeedAndPump(const Bytes& b) {
        Feed(b);
        return Pump();
    }
    int Unconsumed() { return ring->Unconsumed(); }

    board_test::Recorder rec;
    std::unique_ptr<RingBuffer> ring = std::make_unique<RingBuffer>();
    Em_Format_OrvelNav format;
};

}  // namespace old_fixtures
