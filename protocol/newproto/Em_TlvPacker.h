#pragma once

// Send side of the maker's new binary protocol. A command is a list of typed
// items (parameter id and value) that becomes one command block
//
//   04 11 | 00 | command id (u32) | 00 00 00 01 | S (u16) | items (S) | tail word (u32) | 09 24
//
// (all numbers big-endian; every item is id (u16), value length (u16), value),
// and the block goes out cut into link frames
//
//   24 24 | stream id 01 | sequence 0..250 | payload length P <= 250 | payload | 0D 0A
//
// one `_STR_CMD` per frame, delay 0. The frame sequence number is one counter
// for the whole process: each frame takes the current value, which then
// advances modulo 251, so the frames of one command carry consecutive numbers
// and the next command continues the count.
//
// How each parameter id is written (and how long its value is) is fixed by
// the parameter table in Em_OvParams.h; an id not in the table is an item
// without a value. A null value pointer always gives an item of length 0 (a
// query). Every size is computed in a wide type: a command whose items do not
// fit one command block appends nothing.
//
// Callers run under the device object's protocol lock; the packer holds no
// lock of its own, and its sequence counter is atomic.

#include "protocol/Em_Types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

// The new-protocol board's command builder. The packer passes it through to
// the item encoder and reads nothing of it.
class Em_CmdPaker_Q50;

// One entry of a command's item list: the parameter id and a pointer to the
// caller's value (its wire form is given by the id), or null for a query.
// The first entry is the operation item: id 1 with a pointer to a u16
// operation code. Values of u16 items are read as `uint16_t`: callers pass a
// `uint16_t` copy of an enumeration.
struct TlvItem {
    uint16_t id;
    const void* value;
};

constexpr uint32_t kTlvHeaderSize = 13;     // up to the first item
constexpr uint32_t kTlvBlockOverhead = 19;  // header, tail word and trailer
constexpr uint64_t kTlvItemsMin = 10;       // the operation item and one item head
constexpr uint64_t kTlvItemsMax = 65280;    // the most items one command block carries
constexpr uint32_t kLinkPayloadMax = 250;
constexpr uint32_t kLinkFrameOverhead = 7;
constexpr unsigned kLinkSequenceModulus = 251;
constexpr uint8_t kLinkStreamId = 1;
// The size of an item that cannot be encoded (a data block whose data pointer
// is null): larger than any block, so a command holding it is refused.
constexpr uint64_t kTlvItemUnencodable = UINT64_MAX;

// Packs the list into one command block and appends its link frames to `out`.
// Appends nothing (false) when the list holds fewer than 2 items, the items
// add up to less than kTlvItemsMin or more than kTlvItemsMax bytes, or the
// block cannot be allocated.
bool PackTlvCommand(Em_CmdPaker_Q50* builder, std::vector<_STR_CMD>& out, std::span<const TlvItem> items,
                    uint32_t commandId);

// Sum of the encoded sizes (4 + value length) of all items, without wrapping;
// kTlvItemUnencodable when an item cannot be encoded.
uint64_t SizeTlvItems(std::span<const TlvItem> items);

// Encoded size of one item (4 + value length); writes the item to `dest` when
// `dest` is not null and the value length fits its 16-bit field. A data block
// with null data and a non-zero length gives kTlvItemUnencodable and writes
// nothing.
uint64_t EncodeTlvItem(Em_CmdPaker_Q50* builder, uint8_t* dest, uint16_t id, const void* value);

// A command block of `size` item bytes with the header, tail word and trailer
// written and the item area zero; null when it cannot be allocated.
std::unique_ptr<uint8_t[]> NewTlvCommandBuffer(uint16_t size, uint32_t commandId);

// Replaces `parts` with the payload lengths of the link frames that carry
// `length` bytes: one part below 250; parts of 250 for a multiple of 250;
// otherwise the fewest parts of nearly equal size, the larger ones last.
void SplitFrameLengths(std::vector<uint32_t>& parts, uint32_t length);

// Cuts `length` bytes of `block` into link frames and appends one `_STR_CMD`
// per frame (delay 0). Nothing for a null block or length 0. Returns the
// number of frames appended.
unsigned SendTlvFrames(std::vector<_STR_CMD>& out, const uint8_t* block, uint32_t length);

// The process-wide link-frame sequence counter: the next frame's number, the
// number taken by a frame (the counter then advances modulo 251), and a reset
// for tests (the value is taken modulo 251).
uint8_t PeekLinkSequence();
uint8_t NextLinkSequence();
void ResetLinkSequence(uint8_t value = 0);

}  // namespace FJParse
}  // namespace Fjarnis2011
