#include "protocol/newproto/Em_Format_OrvelNew.h"

#include "platform/Endian.h"
#include "protocol/FormatFactory.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/Em_CmdPaker_Q50.h"
#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <cstring>
#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr uint8_t kDollar = 0x24;
constexpr int kLinkHead = 5;
constexpr int kLinkTail = 2;
constexpr uint8_t kMagic0 = 0x04;
constexpr uint8_t kMagic1 = 0x11;
constexpr int kMessageHead = 13;

}  // namespace

int NewProtocolMessageClass(uint16_t operationCode) {
    switch (operationCode) {
    case OvOp::ComSet:
    case OvOp::ComQuery:
    case OvOp::SystemSet:
    case OvOp::SystemQuery:
    case OvOp::FileRecordSet:
    case OvOp::FileRecordQuery: return OvReplyClass::System;
    case OvOp::GnssSet:
    case OvOp::GnssQuery:
    case OvOp::GnssOther: return OvReplyClass::Gnss;
    case OvOp::RadioSet:
    case OvOp::RadioQuery:
    case OvOp::NetLinkSet:
    case OvOp::NetLinkQuery:
    case OvOp::DataLinkSet:
    case OvOp::DataLinkQuery: return OvReplyClass::Link;
    case OvOp::WifiSet:
    case OvOp::WifiQuery:
    case OvOp::ModemSet:
    case OvOp::ModemQuery: return OvReplyClass::Wireless;
    default: return OvReplyClass::None;
    }
}

std::unique_ptr<Em_IFormat> CreateFormat_OrvelNew(RingBuffer& ring) {
    return std::make_unique<Em_Format_OrvelNew>(ring);
}

Em_Format_OrvelNew::Em_Format_OrvelNew(RingBuffer& ring) : Em_IFormat(ring) {
    makerCode = GNSS_MNFCTR_ORVEL;
    std::memset(store_, 0, sizeof store_);
    std::memset(linkFrame_, 0, sizeof linkFrame_);
}

Em_Format_OrvelNew::~Em_Format_OrvelNew() { ClearStore(); }

bool Em_Format_OrvelNew::Reset_GnsMd(MAINBD_OEM_TYPE) {
    ReplaceMainBoard(nullptr);
    ReplaceMainBoard(std::make_unique<Em_MainBd_Q50>());
    return true;
}

Em_RepParser_Q50* Em_Format_OrvelNew::Parser() const {
    EmIMainBoard* board = MainBoard();
    return board ? dynamic_cast<Em_RepParser_Q50*>(board->RepParser()) : nullptr;
}

void Em_Format_OrvelNew::Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) {
    EmIMainBoard* board = MainBoard();
    if (!data || length == 0 || !board) return;
    const uint16_t op = OvOp::DataLinkSet;
    const OV_BLOCK_DATA_STRUCT block{length, data};
    const TlvItem items[] = {{OvParam::Operation, &op}, {OvParam::DataLinkDiffData, &block}};
    PackTlvCommand(dynamic_cast<Em_CmdPaker_Q50*>(board->CmdPaker()), out, items, 0);
}

void Em_Format_OrvelNew::DataCleared() {
    ClearStore();
    lastSequence_ = kNoSequence;
}

void Em_Format_OrvelNew::StorePositions(int& start, int& write) {
    std::lock_guard<platform::RecursiveLock> lock(storeLock_);
    start = storeStart_;
    write = storeWrite_;
}

void Em_Format_OrvelNew::ClearStore() {
    std::lock_guard<platform::RecursiveLock> lock(storeLock_);
    storeStart_ = storeWrite_ = 0;
}

bool Em_Format_OrvelNew::ParseNextFrame() {
    Ring().Compact();
    // Messages already joined go first: a link frame may have completed
    // more than one, and each is announced on its own.
    for (;;) {
        if (ReadMessages()) return true;
        if (CutLinkFrame() == Cut::NeedMore) return false;
        const uint8_t length = linkFrame_[4];
        AppendPayload(linkFrame_[2], linkFrame_[3], linkFrame_ + kLinkHead, length);
    }
}

Em_Format_OrvelNew::Cut Em_Format_OrvelNew::CutLinkFrame() {
    RingBuffer& ring = Ring();
    std::lock_guard<platform::RecursiveLock> lock(ring.Lock());
    int n = 0;
    const uint8_t* p = ring.UnconsumedData(n);
    int i = 0;
    for (;;) {
        // Only a '$' can begin a frame: everything before the next one goes.
        const void* hit = i < n ? std::memchr(p + i, kDollar, size_t(n - i)) : nullptr;
        if (!hit) {
            ring.Consume(n);
            return Cut::NeedMore;
        }
        i = int(static_cast<const uint8_t*>(hit) - p);
        if (n - i < kLinkHead) {
            // The second '$' or the head is not in yet: wait for it here.
            if (n - i >= 2 && p[i + 1] != kDollar) {
                ++i;
                continue;
            }
            ring.Consume(i);
            return Cut::NeedMore;
        }
        const int payload = p[i + 4];
        if (p[i + 1] != kDollar || payload > int(kLinkPayloadMax)) {
            ++i;
            continue;
        }
        const int total = kLinkHead + payload + kLinkTail;
        if (n - i < total) {
            ring.Consume(i);
            return Cut::NeedMore;
        }
        if (p[i + total - 2] != 0x0D || p[i + total - 1] != 0x0A) {
            ++i;
            continue;
        }
        std::memcpy(linkFrame_, p + i, size_t(total));
        ring.Consume(i + total);
        return Cut::Frame;
    }
}

void Em_Format_OrvelNew::AppendPayload(uint8_t stream, uint8_t sequence, const uint8_t* payload,
                                       unsigned length) {
    std::lock_guard<platform::RecursiveLock> lock(storeLock_);
    if (lastStreamId_ == 0) {
        lastStreamId_ = stream;
    } else if (lastStreamId_ != stream) {
        lastStreamId_ = stream;
        ClearStore();
    }
    if (lastSequence_ < kNoSequence && sequence != (lastSequence_ + 1) % kLinkSequenceModulus) ClearStore();
    lastSequence_ = sequence;
    if (length == 0) return;
    if (storeWrite_ + int(length) > kStoreSize && storeStart_ > 0) {
        // Consumed bytes make room before anything is refused.
        std::memmove(store_, store_ + storeStart_, size_t(storeWrite_ - storeStart_));
        storeWrite_ -= storeStart_;
        storeStart_ = 0;
    }
    if (storeWrite_ + int(length) > kStoreSize) {
        ClearStore();
        return;
    }
    std::memcpy(store_ + storeWrite_, payload, length);
    storeWrite_ += int(length);
}

bool Em_Format_OrvelNew::ReadMessages() {
    std::lock_guard<platform::RecursiveLock> lock(storeLock_);
    for (;;) {
        const uint8_t* p = store_ + storeStart_;
        const int n = storeWrite_ - storeStart_;
        const void* hit = n > 0 ? std::memchr(p, kMagic0, size_t(n)) : nullptr;
        if (!hit) {
            // Everything appended has been read: the store starts over.
            storeStart_ = storeWrite_ = 0;
            return false;
        }
        const int at = int(static_cast<const uint8_t*>(hit) - p);
        storeStart_ += at;
        p += at;
        const int left = n - at;
        if (left < 2) return false;
        if (p[1] != kMagic1) {
            ++storeStart_;
            continue;
        }
        if (left < kMessageHead) return false;
        const uint32_t body = platform::ReadBE16(p + 11);
        // A body the store could never hold whole is no message either.
        if (body < kMinBody || body > kMaxBody || body + kMessageOverhead > uint32_t(kStoreSize)) {
            ++storeStart_;
            continue;
        }
        const uint32_t total = body + kMessageOverhead;
        if (uint32_t(left) < total) return false;
        if (p[total - 2] != 0x09 || p[total - 1] != 0x24) {
            ++storeStart_;
            continue;
        }
        const uint32_t commandId = platform::ReadBE32(p + 3);
        const bool taken = DecodeBody(p + kMessageHead, body, commandId);
        storeStart_ += int(total);
        if (storeStart_ == storeWrite_) storeStart_ = storeWrite_ = 0;
        if (taken) return true;
    }
}

bool Em_Format_OrvelNew::DecodeBody(const uint8_t* body, uint32_t n, uint32_t commandId) {
    // Bytes 0-3 are the operation item's head; the reader takes its value.
    messageClass = NewProtocolMessageClass(platform::ReadBE16(body + 4));
    changeMask = 0;
    EmIMainBoard* board = MainBoard();
    Em_RepParser_Q50* parser = Parser();
    bool taken = false;
    uint32_t id = platform::ReadBE16(body + 6);
    uint32_t length = platform::ReadBE16(body + 8);
    uint32_t consumed = 10;
    while (consumed + length <= n) {
        if (length > 0 && board) {
            if (board->Parse_BinFrame(body + consumed, int(id), length) != 0) {
                if (const Em_IRepParser* p = board->RepParser()) changeMask |= p->ChangedMask;
                commandId_ = commandId;
                if (parser) parser->commandId = commandId;
                taken = true;
            }
        }
        consumed += length + 4;
        if (consumed > n) break;
        id = platform::ReadBE16(body + consumed - 4);
        length = platform::ReadBE16(body + consumed - 2);
    }
    return taken;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
