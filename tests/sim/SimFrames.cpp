#include "tests/sim/SimFrames.h"

#include "platform/Endian.h"

#include <algorithm>

namespace sim {

std::vector<uint8_t> PackFrame(const char letters[2], uint8_t head, const uint8_t* payload, size_t n) {
    if (n > kMaxPayload || (n > 0 && payload == nullptr)) return {};
    std::vector<uint8_t> f;
    f.reserve(n + kFrameOverhead);
    f.push_back(kDollar);
    f.push_back(kDollar);
    f.push_back(uint8_t(letters[0]));
    f.push_back(uint8_t(letters[1]));
    f.push_back(head);
    f.push_back(uint8_t(n));
    f.insert(f.end(), payload, payload + n);
    uint8_t x = 0;
    for (size_t i = 2; i < f.size(); ++i) x ^= f[i];
    f.push_back(x);
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

std::vector<uint8_t> PackFrames(const char letters[2], uint8_t head, const std::vector<uint8_t>& payload,
                                size_t chunk) {
    chunk = std::clamp<size_t>(chunk, 1, kMaxPayload);
    if (payload.empty()) return PackFrame(letters, head, nullptr, 0);
    std::vector<uint8_t> out;
    for (size_t at = 0; at < payload.size(); at += chunk) {
        const size_t n = std::min(chunk, payload.size() - at);
        const auto f = PackFrame(letters, head, payload.data() + at, n);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

std::vector<uint8_t> PackModuleReply(uint8_t id, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> p(7 + data.size());
    p[0] = 0x40;
    p[1] = id;
    p[2] = uint8_t(255 - id);
    platform::WriteLE32(&p[3], uint32_t(data.size()));
    std::copy(data.begin(), data.end(), p.begin() + 7);
    uint8_t x = 0;
    for (uint8_t b : p) x ^= b;
    p.push_back(x);
    p.push_back(0x0D);
    p.push_back(0x0A);
    return p;
}

std::optional<ModuleRequest> ParseModuleRequest(const std::vector<uint8_t>& payload) {
    if (payload.size() < 6 || payload[0] != 0x40) return std::nullopt;
    if (payload[2] != uint8_t(~payload[1])) return std::nullopt;
    const size_t m = platform::ReadLE16(&payload[3]);
    if (payload.size() != m + 6) return std::nullopt;
    uint8_t x = 0;
    for (size_t i = 0; i < m + 5; ++i) x ^= payload[i];
    if (x != payload[m + 5]) return std::nullopt;
    ModuleRequest r;
    r.id = payload[1];
    r.data.assign(payload.begin() + 5, payload.begin() + 5 + long(m));
    return r;
}

void FrameCutter::Append(const uint8_t* data, size_t n) {
    if (data && n) buffer_.insert(buffer_.end(), data, data + n);
}

FrameCutter::Result FrameCutter::Next(Frame* frame, uint8_t* byte, bool* badFrame) {
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
    if (buffer_.size() < 6) return Result::NeedMore;
    const size_t n = buffer_[5];
    if (buffer_.size() < n + kFrameOverhead) return Result::NeedMore;
    uint8_t x = 0;
    for (size_t i = 2; i < 6 + n; ++i) x ^= buffer_[i];
    if (x != buffer_[6 + n] || buffer_[7 + n] != 0x0D || buffer_[8 + n] != 0x0A) return reject(true);
    frame->letters[0] = char(buffer_[2]);
    frame->letters[1] = char(buffer_[3]);
    frame->head = buffer_[4];
    frame->payload.assign(buffer_.begin() + 6, buffer_.begin() + 6 + long(n));
    buffer_.erase(buffer_.begin(), buffer_.begin() + long(n + kFrameOverhead));
    return Result::Frame;
}

std::vector<uint8_t> GarbageSource::Take(size_t n) {
    std::vector<uint8_t> out(n);
    for (auto& b : out) {
        state_ = state_ * 1664525u + 1013904223u;
        b = uint8_t(state_ >> 24);
        if (b == kDollar || b == 0xAA) b ^= 0x01;
    }
    return out;
}

std::string Hex(const uint8_t* data, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += digits[data[i] >> 4];
        s += digits[data[i] & 15];
    }
    return s;
}

}  // namespace sim
