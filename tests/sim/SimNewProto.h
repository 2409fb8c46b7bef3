#pragma once

#include "tests/sim/SimFrames.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The receiver's side of the maker's new binary protocol: link frames that
// carry a stream of messages, each message a header, typed items (id, length,
// value; big-endian) and a trailer. Written from the wire layout on its own,
// like SimFrames, so that the simulated receiver checks the protocol library
// instead of repeating it.
namespace sim {

// '$' '$' stream sequence L payload[L] CR LF
inline constexpr size_t kLinkOverhead = 7;
inline constexpr size_t kMaxLinkPayload = 250;
inline constexpr uint8_t kLinkSequenceModulo = 251;

// 04 11, header byte, command id (4), header word (4), body length (2),
// body, tail word (4), 09 24.
inline constexpr size_t kMessageOverhead = 19;
inline constexpr size_t kMinMessageBody = 6;       // the operation item alone
inline constexpr size_t kMaxMessageBody = 65280;

// Parameter 1 carries the operation code; parameter 2 the response status of
// a setting.
inline constexpr uint16_t kItemOperation = 1;
inline constexpr uint16_t kItemResponse = 2;

struct NewItem {
    uint16_t id = 0;
    std::vector<uint8_t> value;
};

struct NewMessage {
    uint32_t commandId = 0;
    uint16_t operation = 0;
    std::vector<NewItem> items;  // after the operation item, in wire order

    const NewItem* Find(uint16_t id) const;
};

// One message block with the operation item first. Empty when the body would
// exceed the largest length the header can carry.
std::vector<uint8_t> PackMessage(uint32_t commandId, uint16_t operation, const std::vector<NewItem>& items);

// The block cut into link frames of at most 250 payload bytes, each with the
// next sequence number (0..250, then 0 again).
std::vector<uint8_t> PackLinkFrames(const std::vector<uint8_t>& block, uint8_t streamId, uint8_t& sequence);

// Big-endian values as items carry them.
std::vector<uint8_t> BE16(uint16_t v);
std::vector<uint8_t> BE32(uint32_t v);
std::vector<uint8_t> BEFloat(float v);
// A text in a place of `width` bytes, cut to it and padded with zero bytes.
std::vector<uint8_t> FixedText(const std::string& text, size_t width);

struct LinkFrame {
    uint8_t stream = 0;
    uint8_t sequence = 0;
    std::vector<uint8_t> payload;
};

// Cuts the line of a receiver that hears both protocols: the old "$$" frames
// (some device commands still come that way) and link frames. Both begin with
// two dollar signs; a start is taken as whichever reading completes and checks
// out first (the old one when both do), and costs one byte when both readings
// fail. Nothing waits on a reading that has already failed.
class MixedCutter {
public:
    enum class Result { NeedMore, OldFrame, LinkFrame, Garbage };

    void Append(const uint8_t* data, size_t n);
    Result Next(Frame* old, LinkFrame* link, uint8_t* byte, bool* badFrame);
    void Clear() { buffer_.clear(); }

private:
    std::vector<uint8_t> buffer_;
};

// Joins link payloads into the message stream and cuts messages out of it.
// A change of stream or a gap in the sequence drops what was joined so far,
// as the receiver cannot tell what is missing.
class MessageReader {
public:
    void Append(const LinkFrame& frame);
    // The next whole, well-formed message; bytes that cannot start one are
    // skipped one at a time. False when none is complete yet.
    bool Next(NewMessage* message);
    uint64_t SkippedBytes() const { return skipped_; }
    void Clear();

private:
    std::vector<uint8_t> stream_;
    bool seen_ = false;
    uint8_t lastStream_ = 0;
    uint8_t lastSequence_ = 0;
    uint64_t skipped_ = 0;
};

}  // namespace sim
