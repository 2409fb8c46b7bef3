#pragma once

#include "platform/Lock.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// The store between the reading thread, which appends received bytes, and a
// frame cutter on the processing thread, which consumes whole frames. It is a
// linear buffer compacted toward its front; it never wraps. A cutter looks
// ahead with readPos and comes back to startPos when a frame is not complete.
class RingBuffer {
public:
    static constexpr int kSize = 20480;
    static constexpr int kCompactMark = 18480;  // compact when less than 2000 bytes are free

    RingBuffer();
    RingBuffer(const RingBuffer&) = delete;
    RingBuffer& operator=(const RingBuffer&) = delete;

    // Appends n bytes. When they do not fit, the bytes already consumed are
    // first compacted away; only when the unconsumed bytes and the new ones
    // still do not fit is everything dropped (all positions 0, new bytes lost).
    void Append(const uint8_t* p, unsigned n);
    bool Read(uint8_t* out, int n);
    bool Peek(uint8_t* out, int n);
    // Looks at n bytes at offset `offset` past readPos without moving it.
    bool PeekAt(int offset, uint8_t* out, int n);
    void SkipOne();
    void Rewind();
    void Commit();
    void Clear();
    void Compact();

    // Bytes between readPos and writePos.
    int Available();
    // Bytes between startPos and writePos.
    int Unconsumed();

    // For a cutter that holds Lock() for its whole attempt: the unconsumed
    // bytes (from startPos), valid until the lock is released.
    const uint8_t* UnconsumedData(int& n);
    // Consumes n bytes from startPos (at most the unconsumed ones); the cursor
    // follows.
    void Consume(int n);

    // Positions, for tests and diagnostics (taken under the lock).
    void Positions(int& start, int& read, int& write);

    platform::RecursiveLock& Lock() { return lock_; }

private:
    void CompactLocked();

    uint8_t data_[kSize];
    int readPos_ = 0;
    int writePos_ = 0;
    int startPos_ = 0;
    platform::RecursiveLock lock_;
};

// The 2048-byte receive buffer of a main board, with a read index and a fill
// count; no lock (only the processing thread touches it).
struct MainBdRecvBuffer {
    static constexpr int kSize = 2048;
    uint8_t data[kSize] = {};
    int readIndex = 0;
    int fill = 0;
};

// Appends n bytes; when they do not fit the whole buffer is cleared and the new
// bytes are dropped.
void AppendReceived(MainBdRecvBuffer& b, const uint8_t* p, unsigned n);
bool Peek_RecvBuffer(const MainBdRecvBuffer& b, uint8_t* out, int n);

}  // namespace FJParse
}  // namespace Fjarnis2011
