#include "protocol/newproto/Em_TlvPacker.h"

#include "platform/Endian.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/newproto/Em_OvTypes.h"

#include <atomic>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

std::atomic<uint8_t> g_linkSequence{0};

// Value length on the wire; kTlvItemUnencodable for a block without data.
uint64_t ValueLength(OvWire wire, const void* value) {
    if (value == nullptr) return 0;
    if (wire != OvWire::Block) return OvWireLength(wire);
    const auto* block = static_cast<const OV_BLOCK_DATA_STRUCT*>(value);
    if (block->length > 0 && block->data == nullptr) return kTlvItemUnencodable;
    return OvWireLength(OvWire::Block) + uint64_t(block->length);
}

template <typename T>
T Load(const void* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void WriteBEDouble(uint8_t* p, double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    platform::WriteBE32(p, uint32_t(u >> 32));
    platform::WriteBE32(p + 4, uint32_t(u));
}

// Writes the value of a non-null pointer in its wire form.
void WriteValue(uint8_t* p, OvWire wire, const void* value) {
    switch (wire) {
    case OvWire::None:
        break;
    case OvWire::Byte:
        p[0] = Load<uint8_t>(value);
        break;
    case OvWire::U16:
        platform::WriteBE16(p, Load<uint16_t>(value));
        break;
    case OvWire::U32:
        platform::WriteBE32(p, Load<uint32_t>(value));
        break;
    case OvWire::GSensor: {
        const auto r = Load<OV_GSENSOR_VALID_PERIOD_STRUCT>(value);
        p[0] = r.valid;
        platform::WriteBE16(p + 1, r.period);
        break;
    }
    case OvWire::SatEnable: {
        const auto r = Load<OV_GNSS_SATELLITE_ENABLE_STRUCT>(value);
        for (int i = 0; i < 5; ++i) platform::WriteBE32(p + 4 * i, r.words[i]);
        break;
    }
    case OvWire::Mount: {
        const auto r = Load<OV_CORS_DATA_SOURCE_STRUCT>(value);
        std::memcpy(p, r.mountPoint, 20);
        break;
    }
    case OvWire::BaseSet: {
        const auto r = Load<OV_GNSS_BASE_SET_STRUCT>(value);
        platform::WriteBE16(p, r.mode);
        WriteBEDouble(p + 2, r.latitude);
        WriteBEDouble(p + 10, r.longitude);
        WriteBEDouble(p + 18, r.height);
        break;
    }
    case OvWire::WifiAp: {
        const auto r = Load<OV_WIFI_PARA_AP_STRUCT>(value);
        std::memcpy(p, r.ssid, 20);
        platform::WriteBE16(p + 20, r.security);
        std::memcpy(p + 22, r.password, 20);
        break;
    }
    case OvWire::FileRecord: {
        const auto r = Load<OV_FILE_RECORD_CONFIG_STRUCT>(value);
        std::memcpy(p, r.name, 20);
        p[20] = r.byte20;
        for (int i = 0; i < 3; ++i) platform::WriteBE32(p + 21 + 4 * i, r.words[i]);
        std::memcpy(p + 33, r.bytes, 3);
        platform::WriteBE16(p + 36, r.half);
        p[38] = r.byte42;
        platform::WriteBE32(p + 39, r.lastWord);
        break;
    }
    case OvWire::IpAddress: {
        const auto r = Load<OV_IP_ADDRESS_STRUCT>(value);
        platform::WriteBE32(p, r.address);
        platform::WriteBE16(p + 4, r.port);
        p[6] = r.useHost;
        std::memcpy(p + 7, r.host, 50);
        break;
    }
    case OvWire::Account: {
        const auto r = Load<OV_ACCOUNT_STRUCT>(value);
        std::memcpy(p, r.user, 50);
        std::memcpy(p + 50, r.password, 20);
        break;
    }
    case OvWire::DialPara: {
        const auto r = Load<OV_MODEM_DIAL_PARA_STRUCT>(value);
        std::memcpy(p, r.texts, 100);
        break;
    }
    case OvWire::Block: {
        const auto r = Load<OV_BLOCK_DATA_STRUCT>(value);
        platform::WriteBE32(p, r.length);
        if (r.length > 0) std::memcpy(p + 4, r.data, r.length);
        break;
    }
    }
}

}  // namespace

uint64_t EncodeTlvItem([[maybe_unused]] Em_CmdPaker_Q50* builder, uint8_t* dest, uint16_t id, const void* value) {
    const OvWire wire = OvWireOf(id);
    const uint64_t length = ValueLength(wire, value);
    if (length == kTlvItemUnencodable) return kTlvItemUnencodable;
    if (dest != nullptr && length <= 0xFFFF) {
        platform::WriteBE16(dest, id);
        platform::WriteBE16(dest + 2, uint16_t(length));
        if (length > 0) WriteValue(dest + 4, wire, value);
    }
    return 4 + length;
}

uint64_t SizeTlvItems(std::span<const TlvItem> items) {
    uint64_t total = 0;
    for (const TlvItem& item : items) {
        const uint64_t size = EncodeTlvItem(nullptr, nullptr, item.id, item.value);
        if (size == kTlvItemUnencodable || size > kTlvItemUnencodable - total) return kTlvItemUnencodable;
        total += size;
    }
    return total;
}

std::unique_ptr<uint8_t[]> NewTlvCommandBuffer(uint16_t size, uint32_t commandId) {
    const uint32_t total = uint32_t(size) + kTlvBlockOverhead;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[total]());
    if (!block) return nullptr;
    uint8_t* p = block.get();
    p[0] = 0x04;
    p[1] = 0x11;
    p[2] = 0x00;
    platform::WriteBE32(p + 3, commandId);
    platform::WriteBE32(p + 7, 1);
    platform::WriteBE16(p + 11, size);
    // The tail word stays 0: the receiving side keeps it without testing it.
    p[total - 2] = 0x09;
    p[total - 1] = 0x24;
    return block;
}

bool PackTlvCommand(Em_CmdPaker_Q50* builder, std::vector<_STR_CMD>& out, std::span<const TlvItem> items,
                    uint32_t commandId) {
    if (items.size() < 2) return false;
    const uint64_t size = SizeTlvItems(items);
    if (size < kTlvItemsMin || size > kTlvItemsMax) return false;
    std::unique_ptr<uint8_t[]> block = NewTlvCommandBuffer(uint16_t(size), commandId);
    if (!block) return false;
    uint64_t offset = kTlvHeaderSize;
    for (const TlvItem& item : items) offset += EncodeTlvItem(builder, block.get() + offset, item.id, item.value);
    return SendTlvFrames(out, block.get(), uint32_t(size) + kTlvBlockOverhead) > 0;
}

void SplitFrameLengths(std::vector<uint32_t>& parts, uint32_t length) {
    parts.clear();
    if (length < kLinkPayloadMax) {
        parts.push_back(length);
        return;
    }
    if (length % kLinkPayloadMax == 0) {
        parts.assign(length / kLinkPayloadMax, kLinkPayloadMax);
        return;
    }
    const uint32_t k = length / kLinkPayloadMax + 1;
    const uint32_t q = length / k;
    const uint32_t rest = length - (k - 1) * q;
    if (rest <= kLinkPayloadMax) {
        parts.assign(k - 1, q);
        parts.push_back(rest);
        return;
    }
    // Spread the remainder: the length - k*q larger parts come last.
    const uint32_t larger = length - k * q;
    parts.assign(k - larger, q);
    parts.insert(parts.end(), larger, q + 1);
}

unsigned SendTlvFrames(std::vector<_STR_CMD>& out, const uint8_t* block, uint32_t length) {
    if (block == nullptr || length == 0) return 0;
    std::vector<uint32_t> parts;
    SplitFrameLengths(parts, length);
    uint32_t offset = 0;
    for (const uint32_t part : parts) {
        _STR_CMD cmd{};
        cmd.data[0] = 0x24;
        cmd.data[1] = 0x24;
        cmd.data[2] = kLinkStreamId;
        cmd.data[3] = NextLinkSequence();
        cmd.data[4] = uint8_t(part);
        std::memcpy(cmd.data + 5, block + offset, part);
        cmd.data[5 + part] = 0x0D;
        cmd.data[6 + part] = 0x0A;
        cmd.length = part + kLinkFrameOverhead;
        cmd.delay = 0;
        out.push_back(cmd);
        offset += part;
    }
    return unsigned(parts.size());
}

uint8_t PeekLinkSequence() { return g_linkSequence.load(std::memory_order_relaxed); }

uint8_t NextLinkSequence() {
    uint8_t current = g_linkSequence.load(std::memory_order_relaxed);
    while (!g_linkSequence.compare_exchange_weak(current, uint8_t((current + 1) % kLinkSequenceModulus),
                                                 std::memory_order_relaxed)) {
    }
    return current;
}

void ResetLinkSequence(uint8_t value) { g_linkSequence.store(uint8_t(value % kLinkSequenceModulus)); }

}  // namespace FJParse
}  // namespace Fjarnis2011
