#pragma once

// The frame format of the maker's receivers that speak the new binary
// protocol (manufacturer 2, board type 0). Two layers come in:
//
//   link frame   24 24 | stream id | sequence 0..250 | L <= 250 | L payload bytes | 0D 0A
//   message      04 11 | header byte | command id (u32) | header word (u32) |
//                N (u16, 10..20480) | N body bytes | tail word (u32) | 09 24
//
// (numbers big-endian). The payloads of consecutive link frames of one stream
// are joined in the message store; messages are cut out of the store, and
// every item of a message body (id u16, length u16, value) after the leading
// operation item goes to the new-protocol board's Parse_BinFrame. Each
// ParseNextFrame hands over at most one message, so every message that
// changed data is announced by its own callback.
//
// Both cutters start again from the first unconsumed byte on every attempt:
// nothing read of an incomplete frame or message is carried between calls,
// so a cleared buffer can never meet a stale offset.

#include "platform/Lock.h"
#include "protocol/Em_IFormat.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

class Em_RepParser_Q50;

// The message class that the data callback gets for a reply's operation code.
int NewProtocolMessageClass(uint16_t operationCode);

class Em_Format_OrvelNew : public Em_IFormat {
public:
    static constexpr int kStoreSize = 20480;
    static constexpr uint8_t kNoSequence = 251;
    static constexpr uint32_t kMinBody = 10;
    static constexpr uint32_t kMaxBody = 20480;
    static constexpr uint32_t kMessageOverhead = 19;

    explicit Em_Format_OrvelNew(RingBuffer& ring);
    ~Em_Format_OrvelNew() override;

    // True after a message of which the board took at least one item
    // (messageClass and changeMask then describe it); false when neither the
    // message store nor the receive buffer holds a further complete one.
    bool ParseNextFrame() override;
    // Always the new-protocol board, whatever the type asked for; true.
    bool Reset_GnsMd(MAINBD_OEM_TYPE t) override;
    // One command: operation 50 with the data block item (5380); nothing for
    // no data or without a board.
    void Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) override;
    // Received bytes were dropped: a message begun before can no longer be
    // completed, so the store goes too, and the next link frame starts a new
    // sequence.
    void DataCleared() override;

    // Command id of the last message of which an item was taken.
    uint32_t CommandId() const { return commandId_; }
    // Positions of the message store (under its lock), for tests.
    void StorePositions(int& start, int& write);

private:
    enum class Cut { NeedMore, Frame };
    // Cuts the next link frame out of the receive buffer into linkFrame_.
    Cut CutLinkFrame();
    // Joins a link payload to the message store by the stream and sequence
    // rules.
    void AppendPayload(uint8_t stream, uint8_t sequence, const uint8_t* payload, unsigned length);
    void ClearStore();
    // Decodes messages from the store until one has an item taken (true) or
    // no complete message is left (false).
    bool ReadMessages();
    bool DecodeBody(const uint8_t* body, uint32_t n, uint32_t commandId);
    Em_RepParser_Q50* Parser() const;

    uint8_t lastStreamId_ = 0;
    uint8_t lastSequence_ = kNoSequence;
    uint32_t commandId_ = 0;

    platform::RecursiveLock storeLock_;
    uint8_t store_[kStoreSize];
    int storeStart_ = 0;
    int storeWrite_ = 0;

    // The link frame being handled: head, payload, line end.
    uint8_t linkFrame_[5 + 250 + 2];
};

}  // namespace FJParse
}  // namespace Fjarnis2011
