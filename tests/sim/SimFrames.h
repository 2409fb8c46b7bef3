#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The receiver's side of the maker's old "$$" line protocol: building the
// frames a receiver sends and cutting the frames it is sent. Written from the
// wire layout on its own, so that the simulated receiver and the protocol
// library check each other instead of sharing one encoder.
namespace sim {

// '$' '$' L1 L2 head n payload[n] xor CR LF
inline constexpr size_t kFrameOverhead = 9;
inline constexpr size_t kMaxPayload = 255;
inline constexpr uint8_t kDollar = 0x24;

// Head byte: class + 16 x mode. Class 8 for plain replies, 11 for module
// (tunnel) traffic; mode 1 on a serial link, 3 on Bluetooth.
inline constexpr uint8_t HeadByte(uint8_t cls, uint8_t mode) { return uint8_t(cls + 16 * mode); }
inline constexpr uint8_t kHeadSerial = HeadByte(8, 1);        // 0x18
inline constexpr uint8_t kHeadSerialModule = HeadByte(11, 1);  // 0x1B

// One "$$" frame. The checksum is the XOR of the letters, the head byte, the
// length byte and the payload. Empty when the payload exceeds 255 bytes.
std::vector<uint8_t> PackFrame(const char letters[2], uint8_t head, const uint8_t* payload, size_t n);
inline std::vector<uint8_t> PackFrame(const char letters[2], uint8_t head, const std::vector<uint8_t>& payload) {
    return PackFrame(letters, head, payload.data(), payload.size());
}

// The payload cut into frames of at most chunk bytes (1..255) with the same
// letters and head byte; an empty payload gives one empty frame.
std::vector<uint8_t> PackFrames(const char letters[2], uint8_t head, const std::vector<uint8_t>& payload,
                                size_t chunk);

// A module reply packet as the receiver relays it in "VI" frames:
// 0x40, id, 255 - id, data length m (4 bytes, low byte first), the data, a
// check byte that makes the XOR of the whole packet 0, and CR LF.
std::vector<uint8_t> PackModuleReply(uint8_t id, const std::vector<uint8_t>& data);

// A module request packet as it arrives inside a "VS" frame:
// 0x40, id, ~id, data length m (2 bytes, low byte first), the data, and the
// XOR of all preceding bytes. nullopt when the payload is not such a packet.
struct ModuleRequest {
    uint8_t id = 0;
    std::vector<uint8_t> data;
};
std::optional<ModuleRequest> ParseModuleRequest(const std::vector<uint8_t>& payload);

// A checked request frame.
struct Frame {
    char letters[2] = {0, 0};
    uint8_t head = 0;
    std::vector<uint8_t> payload;
};

// Cuts "$$" frames out of the received byte stream. Anything that is not the
// start of a whole, well-formed frame (second '$', checksum, CR LF) costs one
// byte, so a later '$' inside rejected bytes can still start a frame.
class FrameCutter {
public:
    enum class Result { NeedMore, Frame, Garbage };

    void Append(const uint8_t* data, size_t n);
    // One step: a frame (in *frame), one rejected byte (in *byte; *badFrame
    // tells whether it was the '$' of a frame that failed its checks), or
    // NeedMore when the buffered bytes cannot be decided yet.
    Result Next(Frame* frame, uint8_t* byte, bool* badFrame);
    void Clear() { buffer_.clear(); }
    size_t Buffered() const { return buffer_.size(); }

private:
    std::vector<uint8_t> buffer_;
};

// Bytes that look like a line at the wrong speed: never '$' nor 0xAA, so they
// can never start a frame on the other side.
class GarbageSource {
public:
    std::vector<uint8_t> Take(size_t n);

private:
    uint32_t state_ = 0x2545F491u;
};

// "xx xx xx" for test messages and the command-line tool.
std::string Hex(const uint8_t* data, size_t n);
inline std::string Hex(const std::vector<uint8_t>& v) { return Hex(v.data(), v.size()); }

}  // namespace sim
