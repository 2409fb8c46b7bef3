#include "tests/sim/SimBoard.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

uint32_t Crc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

void PutLE(std::vector<uint8_t>& v, size_t at, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) v[at + size_t(k)] = uint8_t(value >> (8 * k));
}

void AppendFloat(std::vector<uint8_t>& v, float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    for (int k = 0; k < 4; ++k) v.push_back(uint8_t(bits >> (8 * k)));
}

}  // namespace

std::vector<uint8_t> NovAtelLog(uint16_t messageId, const std::vector<uint8_t>& body) {
    constexpr size_t kHeader = 28;
    // Sized once, header, body and CRC: g++ 12 at -O2 takes the growth of a
    // vector of a known short length for an overrun.
    std::vector<uint8_t> log(kHeader + body.size() + 4, 0);
    log[0] = 0xAA;
    log[1] = 0x44;
    log[2] = 0x12;
    log[3] = uint8_t(kHeader);
    PutLE(log, 4, messageId, 2);
    PutLE(log, 8, uint32_t(body.size()), 2);
    log[13] = 180;             // time status: fine
    PutLE(log, 14, 1600, 2);  // GPS week
    std::copy(body.begin(), body.end(), log.begin() + kHeader);
    const size_t end = kHeader + body.size();
    const uint32_t crc = Crc32(log.data(), end);
    for (size_t k = 0; k < 4; ++k) log[end + k] = uint8_t(crc >> (8 * k));
    return log;
}

std::vector<uint8_t> NovAtelPsrDopLog(float elevationCutoff) {
    std::vector<uint8_t> body;
    for (float dop : {2.5f, 1.8f, 1.1f, 1.2f, 0.9f}) AppendFloat(body, dop);
    AppendFloat(body, elevationCutoff);
    body.insert(body.end(), 4, 0);  // no satellites listed
    return NovAtelLog(174, body);
}

std::vector<uint8_t> PackSatelliteData(uint8_t head, const std::vector<uint8_t>& record) {
    constexpr size_t kChunk = 55;
    std::vector<uint8_t> out;
    size_t at = 0;
    for (;;) {
        const size_t n = std::min(kChunk, record.size() - at);
        const auto frame = PackFrame("RH", head, record.data() + at, n);
        out.insert(out.end(), frame.begin(), frame.end());
        at += n;
        if (n < kChunk) break;
    }
    return out;
}

std::vector<std::string> BoardRelay::Append(const std::vector<uint8_t>& bytes) {
    pending_.append(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    for (size_t end; (end = pending_.find("\r\n")) != std::string::npos;) {
        lines.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 2);
    }
    // A relay that never ends its line must not grow without bound.
    if (pending_.size() > 4096) pending_.clear();
    return lines;
}

}  // namespace sim
