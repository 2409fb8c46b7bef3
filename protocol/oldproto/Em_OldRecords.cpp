#include "protocol/oldproto/Em_OldRecords.h"

#include "platform/Endian.h"

#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

uint32_t SsRecord::Word0() const { return platform::ReadLE32(bytes); }

int ModemProtocolFromLetter(uint8_t letter) {
    switch (letter) {
    case 'S':
        return 3;
    case 'T':
        return 1;
    case 'U':
        return 0;
    case 'V':
        return 2;
    default:
        return -1;
    }
}

bool ReplyBuffer::Append(const uint8_t* p, unsigned n) {
    if (n > kSize - fill) {
        Clear();
        return false;
    }
    if (n) std::memcpy(data + fill, p, n);
    fill += n;
    return true;
}

void ReplyBuffer::Clear() {
    std::memset(data, 0, sizeof data);
    readIndex = 0;
    fill = 0;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
