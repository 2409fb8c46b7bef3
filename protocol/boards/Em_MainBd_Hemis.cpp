#include "protocol/boards/Em_MainBd_Hemis.h"

#include "platform/Endian.h"
#include "platform/Numbers.h"

#include <new>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// "$>J" and at least the command name's first letters.
constexpr int kShortestReply = 7;

bool Head(const uint8_t* p, char a, char b, char c) {
    return p[0] == uint8_t(a) && p[1] == uint8_t(b) && p[2] == uint8_t(c);
}

}  // namespace

Em_MainBd_Hemis::Em_MainBd_Hemis() : EmIMainBoard(MAINBD_HEMISPHERE) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_Hemis);
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_Hemis);
    SetParts(std::move(parser), std::move(builder));
}

unsigned Em_MainBd_Hemis::Parse_NextFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (Head(p, '$', 'B', 'I')) return ParseBinMessage();
    if (Head(p, '$', 'G', 'P') || Head(p, '$', 'G', 'L')) return ParseNmeaSentence();
    if (Head(p, '$', '>', 'J')) return ParseReply();
    // Not a frame of this board: dropped, and nothing is announced for it
    // (the mask of the frame before must not be announced again).
    if (RepParser()) RepParser()->ChangedMask = 0;
    ClearRecvBuffer();
    return 1;
}

// The buffer holds one whole message: its header, the data, the 16-bit sum of
// the data bytes and CR LF.
unsigned Em_MainBd_Hemis::ParseBinMessage() {
    using namespace HemisBin;
    const int n = Buffered();
    if (n < int(kHeaderSize)) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    const int dataLength = platform::ReadLE16(p + kDataLengthAt);
    const int total = dataLength + int(kHeaderSize + kTrailerSize);
    // A message that could never fit the buffer would hold it for ever.
    if (total > MainBdRecvBuffer::kSize) {
        ClearRecvBuffer();
        return 0;
    }
    if (n < total) return 0;  // wait for the rest
    uint16_t sum = 0;
    for (int k = 0; k < dataLength; ++k) sum = uint16_t(sum + p[kHeaderSize + k]);
    if (sum != platform::ReadLE16(p + kHeaderSize + dataLength)) {
        ClearRecvBuffer();
        return 0;
    }
    const unsigned result = Parse_BinFrame(p, platform::ReadLE16(p + kBlockIdAt), unsigned(total));
    ClearRecvBuffer();
    return result ? 1u : 0u;
}

// A reply is everything buffered: "$>JSHOW,..." carries the elevation mask
// after its "MASK"; the acknowledgements of other commands carry nothing we
// keep.
unsigned Em_MainBd_Hemis::ParseReply() {
    const int n = Buffered();
    if (n < kShortestReply) return 0;
    const std::string_view text(reinterpret_cast<const char*>(RecvBuffer()->data + RecvBuffer()->readIndex),
                                size_t(n));
    const std::string_view head = text.substr(0, kShortestReply);
    bool decoded = false;
    Em_IRepParser* parser = RepParser();
    if (head.find("JSHOW") != std::string_view::npos) {
        if (parser) {
            parser->ChangedMask = 0;
            const size_t comma = text.rfind(',');
            if (text.find("MASK") != std::string_view::npos && comma != std::string_view::npos) {
                // After the last comma, up to the line end; clamped to the bytes present.
                const size_t from = comma + 1;
                const size_t to = text.size() >= 2 ? text.size() - 2 : 0;
                const std::string_view value = to > from ? text.substr(from, to - from) : std::string_view();
                long long v = platform::LeadingInt(value);
                if (v > INT32_MAX) v = INT32_MAX;
                if (v < INT32_MIN) v = INT32_MIN;
                if (auto* hemis = dynamic_cast<Em_RepParser_Hemis*>(parser)) hemis->lastMask = int32_t(v);
                parser->elevMask = uint32_t(int32_t(int16_t(uint16_t(v))));
                parser->ChangedMask |= ChangeBits::ElevMask;
            }
        }
        decoded = true;
    } else if (head.find("JI") != std::string_view::npos) {
        if (parser) parser->ChangedMask = 0;
        decoded = true;
    }
    ClearRecvBuffer();
    return decoded ? 1u : 0u;
}

unsigned Em_MainBd_Hemis::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
