#include "protocol/RingBuffer.h"

#include <cstring>
#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {

RingBuffer::RingBuffer() { std::memset(data_, 0, sizeof data_); }

void RingBuffer::Append(const uint8_t* p, unsigned n) {
    if (!p || n == 0) return;
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (static_cast<unsigned>(writePos_) + n > static_cast<unsigned>(kSize) && startPos_ > 0) {
        // Reclaim what the cutter has already consumed before giving up on
        // received data.
        std::memmove(data_, data_ + startPos_, static_cast<size_t>(writePos_ - startPos_));
        writePos_ -= startPos_;
        readPos_ -= startPos_;
        startPos_ = 0;
    }
    if (static_cast<unsigned>(writePos_) + n > static_cast<unsigned>(kSize)) {
        readPos_ = writePos_ = startPos_ = 0;
        return;
    }
    std::memcpy(data_ + writePos_, p, n);
    writePos_ += static_cast<int>(n);
}

bool RingBuffer::Read(uint8_t* out, int n) {
    if (!out || n < 1) return false;
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (writePos_ - readPos_ < n) return false;
    std::memcpy(out, data_ + readPos_, static_cast<size_t>(n));
    readPos_ += n;
    return true;
}

bool RingBuffer::Peek(uint8_t* out, int n) { return PeekAt(0, out, n); }

bool RingBuffer::PeekAt(int offset, uint8_t* out, int n) {
    if (!out || n < 1 || offset < 0) return false;
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (writePos_ - readPos_ - offset < n) return false;
    std::memcpy(out, data_ + readPos_ + offset, static_cast<size_t>(n));
    return true;
}

void RingBuffer::SkipOne() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (writePos_ - startPos_ >= 1) ++startPos_;
    if (readPos_ < startPos_) readPos_ = startPos_;
}

void RingBuffer::Rewind() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    readPos_ = startPos_;
}

void RingBuffer::Commit() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    startPos_ = readPos_;
}

void RingBuffer::Clear() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    readPos_ = writePos_ = startPos_ = 0;
}

void RingBuffer::Compact() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (writePos_ <= kCompactMark) return;
    CompactLocked();
}

void RingBuffer::CompactLocked() {
    if (startPos_ == 0) return;
    std::memmove(data_, data_ + startPos_, static_cast<size_t>(writePos_ - startPos_));
    writePos_ -= startPos_;
    readPos_ -= startPos_;
    startPos_ = 0;
}

int RingBuffer::Available() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    return writePos_ - readPos_;
}

int RingBuffer::Unconsumed() {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    return writePos_ - startPos_;
}

const uint8_t* RingBuffer::UnconsumedData(int& n) {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    n = writePos_ - startPos_;
    return data_ + startPos_;
}

void RingBuffer::Consume(int n) {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    if (n > 0) startPos_ += (n < writePos_ - startPos_) ? n : writePos_ - startPos_;
    readPos_ = startPos_;
}

void RingBuffer::Positions(int& start, int& read, int& write) {
    std::lock_guard<platform::RecursiveLock> lock(lock_);
    start = startPos_;
    read = readPos_;
    write = writePos_;
}

void AppendReceived(MainBdRecvBuffer& b, const uint8_t* p, unsigned n) {
    if (!p || n == 0) return;
    b.checkedFrame = 0;
    if (b.fill < 0 || static_cast<unsigned>(b.fill) + n > static_cast<unsigned>(MainBdRecvBuffer::kSize)) {
        std::memset(b.data, 0, sizeof b.data);
        b.readIndex = 0;
        b.fill = 0;
        b.checkedFrame = 0;
        return;
    }
    std::memcpy(b.data + b.fill, p, n);
    b.fill += static_cast<int>(n);
}

bool Peek_RecvBuffer(const MainBdRecvBuffer& b, uint8_t* out, int n) {
    if (!out || n < 1 || b.readIndex < 0 || b.readIndex + n > b.fill || b.fill > MainBdRecvBuffer::kSize)
        return false;
    std::memcpy(out, b.data + b.readIndex, static_cast<size_t>(n));
    return true;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
