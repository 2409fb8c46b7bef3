// libFuzzer target: the protocol object with the maker's new-protocol format
// and its real board, fed arbitrary bytes, sound link frames around arbitrary
// payloads, and sound messages around arbitrary item lists, with buffer
// clears, board resets and the format's own differential-data command fed
// back in between, as the device object's threads would call it.
//
// Input: a list of operations, each led by a control byte c:
//   c < 0xF0        feed the next c + 1 bytes (or what is left), then ParseData
//   0xF0            Data_Clear
//   0xF1 t          Reset_GnsMd(t % 8)
//   0xF2 s q L      one link frame of stream s % 3, sequence q (values from 251
//                   on: the next one in order) with the next L % 251 bytes
//   0xF3 n p        a message whose body is the operation item and the next
//                   n + 1 bytes (taken as items), cut into link frames of at
//                   most p % 250 + 1 bytes with sequence numbers in order
//   0xF4 n          pack the next n + 1 bytes as differential data and feed the
//                   command back
//   0xF5-0xFF       ParseData
//
// After every operation the message store's positions and the parser's
// stores must hold their bounds, and every callback carries bits.

#include "protocol/Em_Gnss.h"
#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_Format_OrvelNew.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace newformat_fuzz {

using namespace Fjarnis2011::FJParse;

inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

inline void OnData(int messageClass, unsigned bits, const void*) {
    Check(bits != 0);
    Check(messageClass >= 0 && messageClass <= 6);
}

inline void CheckBounds(Em_Gnss& g) {
    auto* format = dynamic_cast<Em_Format_OrvelNew*>(g.Format());
    Check(format != nullptr);
    int start = 0, write = 0;
    format->StorePositions(start, write);
    Check(start >= 0 && start <= write && write <= Em_Format_OrvelNew::kStoreSize);
    auto* board = dynamic_cast<Em_MainBd_Q50*>(format->MainBoard());
    Check(board != nullptr && board->Q50Parser() != nullptr);
    const Em_RepParser_Q50& p = *board->Q50Parser();
    Check(p.ggaLength <= Em_IRepParser::kGgaTextCapacity && p.ggaText[p.ggaLength] == 0);
    Check(p.records.sourceListLength <= Q50_Records::kSourceListSize);
    for (const SatList& list : p.satLists) Check(list.count <= SatList::kCapacity);
}

inline void Link(std::vector<uint8_t>& out, uint8_t stream, uint8_t sequence, const uint8_t* p, size_t n) {
    out.insert(out.end(), {0x24, 0x24, stream, sequence, uint8_t(n)});
    out.insert(out.end(), p, p + n);
    out.insert(out.end(), {0x0D, 0x0A});
}

inline int RunOne(const uint8_t* data, size_t size) {
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    uint8_t sequence = 0;
    auto feed = [&](const uint8_t* p, size_t n) {
        g.RcvData(p, unsigned(n));
        g.ParseData();
    };
    size_t at = 0;
    while (at < size) {
        const uint8_t c = data[at++];
        if (c < 0xF0) {
            const size_t n = std::min<size_t>(size_t(c) + 1, size - at);
            feed(data + at, n);
            at += n;
        } else if (c == 0xF0) {
            g.Data_Clear();
        } else if (c == 0xF1 && at < size) {
            g.Reset_GnsMd(MAINBD_OEM_TYPE(data[at++] % 8));
        } else if (c == 0xF2 && at + 3 <= size) {
            const uint8_t stream = data[at] % 3;
            const uint8_t q = data[at + 1] < 251 ? data[at + 1] : sequence;
            const size_t n = std::min<size_t>(data[at + 2] % 251, size - at - 3);
            at += 3;
            std::vector<uint8_t> frame;
            Link(frame, stream, q, data + at, n);
            at += n;
            sequence = uint8_t((q + 1) % 251);
            feed(frame.data(), frame.size());
        } else if (c == 0xF3 && at + 2 <= size) {
            const size_t n = std::min<size_t>(size_t(data[at]) + 1, size - at - 2);
            const size_t part = size_t(data[at + 1] % 250) + 1;
            at += 2;
            std::vector<uint8_t> m = {0x04, 0x11, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01};
            const size_t body = 6 + n;
            m.insert(m.end(), {uint8_t(body >> 8), uint8_t(body), 0x00, 0x01, 0x00, 0x02, 0x00, 0x0F});
            m.insert(m.end(), data + at, data + at + n);
            m.insert(m.end(), {0x00, 0x00, 0x00, 0x00, 0x09, 0x24});
            at += n;
            std::vector<uint8_t> frames;
            for (size_t k = 0; k < m.size(); k += part) {
                Link(frames, 1, sequence, m.data() + k, std::min(part, m.size() - k));
                sequence = uint8_t((sequence + 1) % 251);
            }
            feed(frames.data(), frames.size());
        } else if (c == 0xF4 && at < size) {
            const size_t want = size_t(data[at++]) + 1;
            const size_t n = std::min<size_t>(want, size - at);
            std::vector<_STR_CMD> out;
            g.Send_DiffDataToGnss(out, data + at, unsigned(n));
            Check(n == 0 || !out.empty());
            at += n;
            for (const _STR_CMD& cmd : out) {
                Check(cmd.length <= sizeof cmd.data && cmd.delay == 0);
                feed(cmd.data, cmd.length);
            }
        } else {
            g.ParseData();
        }
        CheckBounds(g);
    }
    return 0;
}

}  // namespace newformat_fuzz

#ifndef NEWFORMAT_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return newformat_fuzz::RunOne(data, size);
}
#endif
