#include "protocol/RingBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {
struct Pos { int start, read, write; };
Pos PositionsOf(RingBuffer& rb) {
    Pos p{};
    rb.Positions(p.start, p.read, p.write);
    return p;
}
}  // namespace

TEST(RingBuffer, FillsToCapacityThenAnOverflowEmptiesIt) {
    auto rb = std::make_unique<RingBuffer>();
    std::vector<uint8_t> big(RingBuffer::kSize, 0x5A);
    rb->Append(big.data(), unsigned(big.size()));
    EXPECT_EQ(PositionsOf(*rb).write, RingBuffer::kSize);
    const uint8_t one = 1;
    rb->Append(&one, 1);  // nothing consumed, nothing to reclaim: reset
    const Pos p = PositionsOf(*rb);
    EXPECT_EQ(p.start + p.read + p.write, 0);
    rb->Append(nullptr, 4);
    rb->Append(&one, 0);
    EXPECT_EQ(PositionsOf(*rb).write, 0);
}

TEST(RingBuffer, OverflowFirstReclaimsConsumedBytes) {
    auto rb = std::make_unique<RingBuffer>();
    std::vector<uint8_t> chunk(RingBuffer::kSize - 10);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = uint8_t(i);
    rb->Append(chunk.data(), unsigned(chunk.size()));
    std::vector<uint8_t> out(100);
    ASSERT_TRUE(rb->Read(out.data(), 100));
    rb->Commit();  // 100 bytes consumed
    const uint8_t more[50] = {0xEE};
    rb->Append(more, 50);  // 20470 + 50 > 20480, but 100 bytes are reclaimable
    const Pos p = PositionsOf(*rb);
    EXPECT_EQ(p.start, 0);
    EXPECT_EQ(p.write, RingBuffer::kSize - 10 - 100 + 50);
    uint8_t first = 0;
    ASSERT_TRUE(rb->Peek(&first, 1));
    EXPECT_EQ(first, uint8_t(100)) << "received data kept, in order";
}

TEST(RingBuffer, CompactionThreshold) {
    auto rb = std::make_unique<RingBuffer>();
    std::vector<uint8_t> bytes(20000, 7);
    rb->Append(bytes.data(), 20000);
    rb->Compact();  // startPos 0: nothing to move
    EXPECT_EQ(PositionsOf(*rb).write, 20000);

    rb->Clear();
    rb->Append(bytes.data(), 18481);
    std::vector<uint8_t> out(100);
    rb->Read(out.data(), 100);
    rb->Commit();
    rb->Compact();
    Pos p = PositionsOf(*rb);
    EXPECT_EQ(p.start, 0);
    EXPECT_EQ(p.read, 0);
    EXPECT_EQ(p.write, 18381);

    rb->Clear();
    rb->Append(bytes.data(), 18480);
    rb->Read(out.data(), 100);
    rb->Commit();
    rb->Compact();  // not above the mark
    EXPECT_EQ(PositionsOf(*rb).start, 100);
}

TEST(RingBuffer, CursorOperations) {
    auto rb = std::make_unique<RingBuffer>();
    rb->SkipOne();  // empty: nothing
    EXPECT_EQ(PositionsOf(*rb).start, 0);
    const uint8_t in[5] = {1, 2, 3, 4, 5};
    rb->Append(in, 5);
    uint8_t out[5] = {};
    EXPECT_FALSE(rb->Read(out, 0));
    EXPECT_FALSE(rb->Peek(out, 0));
    EXPECT_FALSE(rb->Peek(nullptr, 1));
    EXPECT_FALSE(rb->Read(out, 6));
    EXPECT_TRUE(rb->Peek(out, 5));
    EXPECT_EQ(PositionsOf(*rb).read, 0);
    EXPECT_TRUE(rb->Read(out, 2));
    EXPECT_EQ(out[1], 2);
    rb->Rewind();
    EXPECT_EQ(PositionsOf(*rb).read, 0);
    rb->SkipOne();
    rb->Rewind();
    EXPECT_TRUE(rb->Read(out, 1));
    EXPECT_EQ(out[0], 2);
    rb->Commit();
    EXPECT_EQ(PositionsOf(*rb).start, 2);
    EXPECT_TRUE(rb->PeekAt(2, out, 1));
    EXPECT_EQ(out[0], 5);
    EXPECT_FALSE(rb->PeekAt(3, out, 1));
}

TEST(RingBuffer, ConcurrentProducerAndConsumerKeepEveryByteInOrder) {
    // The reading thread appends while the cutter reads, commits and compacts;
    // as long as the consumer keeps up, no byte is lost or reordered.
    auto rb = std::make_unique<RingBuffer>();
    constexpr int kTotal = 400000;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        uint8_t chunk[97];
        int sent = 0;
        while (sent < kTotal) {
            const int n = std::min<int>(97, kTotal - sent);
            for (int i = 0; i < n; ++i) chunk[i] = uint8_t((sent + i) * 31);
            while (rb->Unconsumed() + n > RingBuffer::kSize) std::this_thread::yield();
            rb->Append(chunk, unsigned(n));
            sent += n;
        }
        done = true;
    });
    int got = 0;
    bool inOrder = true;
    uint8_t b[13];
    while (got < kTotal) {
        rb->Compact();
        rb->Rewind();
        const int want = std::min(13, kTotal - got);
        if (rb->Read(b, want)) {
            for (int i = 0; i < want; ++i) inOrder &= b[i] == uint8_t((got + i) * 31);
            rb->Commit();
            got += want;
        } else if (done && rb->Available() == 0 && got < kTotal) {
            break;
        }
    }
    producer.join();
    EXPECT_EQ(got, kTotal);
    EXPECT_TRUE(inOrder);
}

TEST(BoardRecvBuffer, AppendAndPeek) {
    auto b = std::make_unique<MainBdRecvBuffer>();
    std::vector<uint8_t> bytes(2048, 3);
    AppendReceived(*b, bytes.data(), 2048);
    EXPECT_EQ(b->fill, 2048);
    uint8_t out[4];
    EXPECT_TRUE(Peek_RecvBuffer(*b, out, 4));
    EXPECT_FALSE(Peek_RecvBuffer(*b, out, 0));
    const uint8_t one = 9;
    AppendReceived(*b, &one, 1);
    EXPECT_EQ(b->fill, 0);
    EXPECT_EQ(b->data[0], 0) << "the overflow clears the data too";
    EXPECT_FALSE(Peek_RecvBuffer(*b, out, 1));
}
