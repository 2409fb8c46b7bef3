// libFuzzer target: NovAtel binary logs that pass the frame check, so that
// the fuzzer's bytes reach the log decoders behind it. Random bytes almost
// never carry a valid CRC-32; here the target builds each log around them
// (sync, 28-byte header with a real message id, body, CRC-32) and feeds the
// result to the protocol object as the receiver's reading thread would.
// Only the public protocol object and the CRC routine are used, so the target
// does not care how the frame reader is built.
//
// Input: byte 0, bit 0: the receiver's maker (0 another maker's receiver,
// 1 the maker's own) with a NovAtel main board; bit 1 set instead: the
// maker's own receiver with its own board (type 3) and that board's log ids
// (kOwnIds); then a list of records, each led by a control byte c:
//   c < 0xE0     one log: message id kIds[c % 13] (kOwnIds[c % 11] on the
//                own board; the last entry takes the
//                id from the next two bytes, little-endian), then body length
//                (u16 LE), message type (u8), week (u16 LE), milliseconds
//                (u32 LE), then the body bytes (as many as are left when the
//                length asks for more); the header says the length asked for
//                only when bit 4 of c is set, so short logs are fed too
//   0xE0-0xEF    raw bytes: the next (c & 15) * 16 + 1 bytes, fed as they are
//                (noise between logs, half logs)
//   0xF0         Data_Clear
//   0xF1 t       Reset_GnsMd(t % 8), then back to the board of byte 0
//   0xF2-0xFF    ParseData
// Every log is followed by a ParseData. corpus/novatel/ holds seeds made from
// the NovAtel capture of the test data by make_novatel_seeds.py.

#include "protocol/Em_Checksum.h"
#include "protocol/Em_Gnss.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace Fjarnis2011::FJParse;

namespace {

// The ids the NovAtel report parser decodes: GPSEPHEM, VERSION, RAWEPHEM,
// BESTPOS, RANGE, SATVIS, RANGECMP, PSRDOP, REFSTATION, BESTXYZ, 726, 1047.
constexpr uint16_t kIds[] = {7, 37, 41, 42, 43, 48, 140, 174, 175, 241, 726, 1047};
constexpr size_t kIdChoices = sizeof(kIds) / sizeof(kIds[0]) + 1;
// The logs of the maker's own board: VERSION, RAWEPHEM, BESTPOS, RANGE,
// SATVIS, PSRDOP, REFSTATION, satellites in view, observations and 913.
constexpr uint16_t kOwnIds[] = {37, 41, 42, 43, 48, 174, 175, 911, 912, 913};
constexpr size_t kOwnIdChoices = sizeof(kOwnIds) / sizeof(kOwnIds[0]) + 1;
constexpr size_t kHeaderSize = 28;

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), left_(size) {}
    bool empty() const { return left_ == 0; }
    size_t left() const { return left_; }
    uint8_t byte() {
        if (!left_) return 0;
        --left_;
        return *p_++;
    }
    uint32_t le(int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= uint32_t(byte()) << (8 * i);
        return v;
    }
    const uint8_t* take(size_t n) {
        const uint8_t* at = p_;
        p_ += n;
        left_ -= n;
        return at;
    }

private:
    const uint8_t* p_;
    size_t left_;
};

void PutLE(std::vector<uint8_t>& out, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> BuildLog(uint8_t c, Input& in, bool ownBoard) {
    const uint16_t* ids = ownBoard ? kOwnIds : kIds;
    const size_t choices = ownBoard ? kOwnIdChoices : kIdChoices;
    const size_t choice = c % choices;
    const uint16_t id = choice < choices - 1 ? ids[choice] : uint16_t(in.le(2));
    const uint16_t asked = uint16_t(in.le(2));
    const uint8_t messageType = in.byte();
    const uint16_t week = uint16_t(in.le(2));
    const uint32_t milliseconds = in.le(4);
    const size_t bodyLength = std::min<size_t>(asked, in.left());
    const uint8_t* body = in.take(bodyLength);

    std::vector<uint8_t> log(kHeaderSize + bodyLength + 4, 0);
    log[0] = 0xAA;
    log[1] = 0x44;
    log[2] = 0x12;
    log[3] = uint8_t(kHeaderSize);
    PutLE(log, 4, id, 2);
    log[6] = messageType;
    PutLE(log, 8, (c & 0x10) ? asked : uint16_t(bodyLength), 2);
    PutLE(log, 14, week, 2);
    PutLE(log, 16, milliseconds, 4);
    std::copy(body, body + bodyLength, log.begin() + kHeaderSize);
    const int covered = int(kHeaderSize + bodyLength);
    PutLE(log, size_t(covered), Calc_Crc32(log.data(), covered), 4);
    return log;
}

}  // namespace

namespace novatel_fuzz {

// Logs the protocol object reported as decoded (change bits set), summed over
// all inputs: the seed replay in the unit tests checks that logs get through.
size_t g_novatelDecodedLogs = 0;

int RunNovAtelLogs(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool ownBoard = (data[0] & 2) != 0;
    const GNSS_MANUFACTURER maker = (data[0] & 1) || ownBoard ? GNSS_MNFCTR_ORVEL : GNSS_MNFCTR_OTHER;
    const MAINBD_OEM_TYPE board = ownBoard ? MAINBD_ORVEL_OLD : MAINBD_NOVATEL_OEM;
    Em_Gnss g(maker, board);
    const _CALLBACKS_RECEIVER callbacks = {[](int, unsigned, const void*) { ++g_novatelDecodedLogs; }, nullptr};
    g.Reg_Callbacks(&callbacks, nullptr);
    Input in(data + 1, size - 1);
    while (!in.empty()) {
        const uint8_t c = in.byte();
        if (c < 0xE0) {
            const std::vector<uint8_t> log = BuildLog(c, in, ownBoard);
            g.RcvData(log.data(), unsigned(log.size()));
            g.ParseData();
        } else if (c < 0xF0) {
            const size_t n = std::min<size_t>(size_t(c & 15) * 16 + 1, in.left());
            g.RcvData(in.take(n), unsigned(n));
        } else if (c == 0xF0) {
            g.Data_Clear();
        } else if (c == 0xF1) {
            g.Reset_GnsMd(MAINBD_OEM_TYPE(in.byte() % 8));
            g.Reset_GnsMd(board);
        } else {
            g.ParseData();
        }
    }
    g.ParseData();
    return 0;
}

}  // namespace novatel_fuzz

#ifndef NOVATEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return novatel_fuzz::RunNovAtelLogs(data, size); }
#endif
