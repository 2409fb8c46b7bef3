#pragma once

#include "platform/Lock.h"

#include <cstdint>
#include <mutex>

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

    // The buffer held by a cutter for one attempt: the lock is taken once, and
    // the operations below do not take it again, so that passing over a run of
    // bytes costs one lock round trip, not one per byte.
    class Hold {
    public:
        explicit Hold(RingBuffer& ring) : ring_(ring), lock_(ring.lock_) {}
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        // As RingBuffer::Compact.
        void Compact() {
            if (ring_.writePos_ > kCompactMark) ring_.CompactLocked();
        }
        // The unconsumed bytes (from startPos), valid while held.
        const uint8_t* Unconsumed(int& n) const {
            n = ring_.writePos_ - ring_.startPos_;
            return ring_.data_ + ring_.startPos_;
        }
        // As RingBuffer::Consume.
        void Consume(int n) {
            if (n > 0) ring_.startPos_ += (n < ring_.writePos_ - ring_.startPos_) ? n : ring_.writePos_ - ring_.startPos_;
            ring_.readPos_ = ring_.startPos_;
        }
        void Clear() { ring_.readPos_ = ring_.writePos_ = ring_.startPos_ = 0; }

    private:
        RingBuffer& ring_;
        std::lock_guard<platform::RecursiveLock> lock_;
    };

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
    // Length of the one frame at the start of the buffer whose check (CRC or
    // sum) the format has already made, so that the board need not make it
    // again; 0 when none. Any other append or a clear resets it.
    int checkedFrame = 0;
};

// Appends n bytes; when they do not fit the whole buffer is cleared and the new
// bytes are dropped.
void AppendReceived(MainBdRecvBuffer& b, const uint8_t* p, unsigned n);
bool Peek_RecvBuffer(const MainBdRecvBuffer& b, uint8_t* out, int n);

}  // namespace FJParse
}  // namespace Fjarnis2011
