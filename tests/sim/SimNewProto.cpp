#include "tests/sim/SimNewProto.h"

#include "platform/Endian.h"

#include <algorithm>
#include <bit>

namespace sim {

namespace {

constexpr uint8_t kMagic0 = 0x04;
constexpr uint8_t kMagic1 = 0x11;
constexpr uint8_t kTrailer0 = 0x09;
constexpr uint8_t kTrailer1 = 0x24;
constexpr size_t kHeaderSize = 13;  // magic .. body length

void PutItem(std::vector<uint8_t>& out, uint16_t id, const std::vector<uint8_t>& value) {
    const auto a = BE16(id);
    const auto b = BE16(uint16_t(value.size()));
    out.insert(out.end(), a.begin(), a.end());
    out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), value.begin(), value.end());
}

}  // namespace

const NewItem* NewMessage::Find(uint16_t id) const {
    for (const auto& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

std::vector<uint8_t> BE16(uint16_t v) { return {uint8_t(v >> 8), uint8_t(v)}; }

std::vector<uint8_t> BE32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

std::vector<uint8_t> BEFloat(float v) { return BE32(std::bit_cast<uint32_t>(v)); }

std::vector<uint8_t> FixedText(const std::string& text, size_t width) {
    std::vector<uint8_t> out(width, 0);
    std::copy_n(text.begin(), std::min(width, text.size()), out.begin());
    return out;
}

std::vector<uint8_t> PackMessage(uint32_t commandId, uint16_t operation, const std::vector<NewItem>& items) {
    std::vector<uint8_t> body;
    PutItem(body, kItemOperation, BE16(operation));
    for (const auto& item : items) {
        if (item.value.size() > 0xFFFF) return {};
        PutItem(body, item.id, item.value);
    }
    if (body.size() > kMaxMessageBody) return {};
    std::vector<uint8_t> m = {kMagic0, kMagic1, 0x00};
    const auto id = BE32(commandId);
    m.insert(m.end(), id.begin(), id.end());
    m.insert(m.end(), {0x00, 0x00, 0x00, 0x01});
    const auto n = BE16(uint16_t(body.size()));
    m.insert(m.end(), n.begin(), n.end());
    m.insert(m.end(), body.begin(), body.end());
    m.insert(m.end(), {0x00, 0x00, 0x00, 0x00, kTrailer0, kTrailer1});
    return m;
}

std::vector<uint8_t> PackLinkFrames(const std::vector<uint8_t>& block, uint8_t streamId, uint8_t& sequence) {
    std::vector<uint8_t> out;
    for (size_t at = 0; at < block.size(); at += kMaxLinkPayload) {
        const size_t n = std::min(kMaxLinkPayload, block.size() - at);
        out.insert(out.end(), {kDollar, kDollar, streamId, sequence, uint8_t(n)});
        out.insert(out.end(), block.begin() + long(at), block.begin() + long(at + n));
        out.insert(out.end(), {0x0D, 0x0A});
        sequence = uint8_t((sequence + 1) % kLinkSequenceModulo);
    }
    return out;
}

void MixedCutter::Append(const uint8_t* data, size_t n) {
    if (data && n) buffer_.insert(buffer_.end(), data, data + n);
}

MixedCutter::Result MixedCutter::Next(Frame* old, LinkFrame* link, uint8_t* byte, bool* badFrame) {
    *badFrame = false;
    if (buffer_.empty()) return Result::NeedMore;
    auto reject = [&](bool bad) {
        *byte = buffer_.front();
        *badFrame = bad;
        buffer_.erase(buffer_.begin());
        return Result::Garbage;
    };
    if (buffer_[0] != kDollar) return reject(false);
    if (buffer_.size() < 2) return Result::NeedMore;
    if (buffer_[1] != kDollar) return reject(false);

    // Each reading: -1 failed, 0 undecided, 1 whole and sound.
    int oldState = 0;
    size_t oldLength = 0;
    if (buffer_.size() >= 6) {
        const size_t n = buffer_[5];
        oldLength = n + kFrameOverhead;
        if (buffer_.size() >= oldLength) {
            uint8_t x = 0;
            for (size_t i = 2; i < 6 + n; ++i) x ^= buffer_[i];
            oldState = x == buffer_[6 + n] && buffer_[7 + n] == 0x0D && buffer_[8 + n] == 0x0A ? 1 : -1;
        }
    }
    int linkState = 0;
    size_t linkLength = 0;
    if (buffer_.size() >= 5) {
        const size_t n = buffer_[4];
        linkLength = n + kLinkOverhead;
        if (n > kMaxLinkPayload)
            linkState = -1;
        else if (buffer_.size() >= linkLength)
            linkState = buffer_[5 + n] == 0x0D && buffer_[6 + n] == 0x0A ? 1 : -1;
    }

    if (oldState == 1) {
        const size_t n = buffer_[5];
        old->letters[0] = char(buffer_[2]);
        old->letters[1] = char(buffer_[3]);
        old->head = buffer_[4];
        old->payload.assign(buffer_.begin() + 6, buffer_.begin() + 6 + long(n));
        buffer_.erase(buffer_.begin(), buffer_.begin() + long(oldLength));
        return Result::OldFrame;
    }
    if (linkState == 1) {
        const size_t n = buffer_[4];
        link->stream = buffer_[2];
        link->sequence = buffer_[3];
        link->payload.assign(buffer_.begin() + 5, buffer_.begin() + 5 + long(n));
        buffer_.erase(buffer_.begin(), buffer_.begin() + long(linkLength));
        return Result::LinkFrame;
    }
    if (oldState == -1 && linkState == -1) return reject(true);
    return Result::NeedMore;
}

void MessageReader::Clear() {
    stream_.clear();
    seen_ = false;
}

void MessageReader::Append(const LinkFrame& frame) {
    if (seen_ && (frame.stream != lastStream_ || frame.sequence != (lastSequence_ + 1) % kLinkSequenceModulo))
        stream_.clear();
    seen_ = true;
    lastStream_ = frame.stream;
    lastSequence_ = frame.sequence;
    stream_.insert(stream_.end(), frame.payload.begin(), frame.payload.end());
}

bool MessageReader::Next(NewMessage* message) {
    for (;;) {
        if (stream_.size() < 2) return false;
        auto skip = [&] {
            stream_.erase(stream_.begin());
            ++skipped_;
        };
        if (stream_[0] != kMagic0 || stream_[1] != kMagic1) {
            skip();
            continue;
        }
        if (stream_.size() < kHeaderSize) return false;
        const size_t n = platform::ReadBE16(&stream_[11]);
        if (n < kMinMessageBody) {
            skip();
            continue;
        }
        if (stream_.size() < kHeaderSize + n + 6) return false;
        const uint8_t* body = &stream_[kHeaderSize];
        if (stream_[kHeaderSize + n + 4] != kTrailer0 || stream_[kHeaderSize + n + 5] != kTrailer1) {
            skip();
            continue;
        }
        // The items must fill the body exactly, the operation item first.
        NewMessage m;
        m.commandId = platform::ReadBE32(&stream_[3]);
        bool sound = platform::ReadBE16(body) == kItemOperation && platform::ReadBE16(body + 2) == 2;
        size_t at = 0;
        while (sound && at < n) {
            if (n - at < 4) {
                sound = false;
                break;
            }
            const uint16_t id = platform::ReadBE16(body + at);
            const size_t length = platform::ReadBE16(body + at + 2);
            if (n - at - 4 < length) {
                sound = false;
                break;
            }
            if (at == 0)
                m.operation = platform::ReadBE16(body + 4);
            else
                m.items.push_back(NewItem{id, std::vector<uint8_t>(body + at + 4, body + at + 4 + length)});
            at += 4 + length;
        }
        if (!sound) {
            skip();
            continue;
        }
        stream_.erase(stream_.begin(), stream_.begin() + long(kHeaderSize + n + 6));
        *message = std::move(m);
        return true;
    }
}

}  // namespace sim
