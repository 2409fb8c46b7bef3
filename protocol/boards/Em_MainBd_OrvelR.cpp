#include "protocol/boards/Em_MainBd_OrvelR.h"

#include "platform/Endian.h"
#include "platform/RtkEngine.h"
#include "protocol/Em_Checksum.h"

#include <atomic>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// The result of the process's COM initialisation: it is tried again by each
// new board until one attempt fails.
std::atomic<platform::HRESULT> g_comInit{platform::kS_OK};

constexpr unsigned kHeaderSize = 28;
constexpr unsigned kCrcSize = 4;

}  // namespace

Em_MainBd_OrvelR::Em_MainBd_OrvelR() : EmIMainBoard(MAINBD_ORVEL_OLD) {
    std::unique_ptr<Em_IRepParser> parser(new (std::nothrow) Em_RepParser_Q70R);
    std::unique_ptr<Em_ICmdPaker> builder(new (std::nothrow) Em_CmdPaker_Q70R);
    SetParts(std::move(parser), std::move(builder));
    if (g_comInit.load() == platform::kS_OK)
        g_comInit.store(platform::CoInitializeEx(nullptr, platform::kCOINIT_MULTITHREADED));
#ifdef BRANTOR_HANDHELD
    // The handheld registers the engine server before the first use.
    platform::RtkEngine_RegisterServer();
#endif
}

unsigned Em_MainBd_OrvelR::Parse_NextFrame() {
    Em_RepParser_Q70R* parser = Parser();
    const bool solved = parser && parser->ApplyPendingSolution();
    const unsigned result = ParseFrame();
    if (!solved) return result;
    if (result == 0) parser->ChangedMask = 0;
    parser->ChangedMask |= Em_RepParser_Q70R::kSolutionBits;
    return 1;
}

unsigned Em_MainBd_OrvelR::ParseFrame() {
    if (Buffered() < 3) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    if (p[0] == 0xAA && p[1] == 0x44 && p[2] == 0x12) return ParseBinaryLog();
    if (p[0] == '$' && p[1] == 'G' && (p[2] == 'P' || p[2] == 'L')) return ParseNmeaSentence();
    if (Em_IRepParser* parser = RepParser()) parser->ChangedMask = 0;
    ClearRecvBuffer();
    return 1;
}

// The buffer holds exactly one log: header, body and CRC-32.
unsigned Em_MainBd_OrvelR::ParseBinaryLog() {
    const int n = Buffered();
    if (n < int(kHeaderSize)) return 0;
    const uint8_t* p = RecvBuffer()->data + RecvBuffer()->readIndex;
    const int headerLength = p[3];
    const int frame = headerLength + platform::ReadLE16(p + 8) + int(kCrcSize);
    // A log that could never fit the buffer, or of another header length,
    // would hold the buffer for ever.
    if (headerLength != int(kHeaderSize) || frame > MainBdRecvBuffer::kSize) {
        ClearRecvBuffer();
        return 0;
    }
    if (n < frame) return 0;
    if (n > frame || (!FrameChecked(frame) && !Check_Crc32(p, frame))) {
        ClearRecvBuffer();
        return 0;
    }
    const unsigned result = Parse_BinFrame(p, platform::ReadLE16(p + 4), unsigned(frame));
    ClearRecvBuffer();
    return result ? 1u : 0u;
}

unsigned Em_MainBd_OrvelR::Parse_BinFrame(const uint8_t* data, int id, unsigned length) {
    return RepParser() ? RepParser()->Decode_BinFrame(data, id, length) : 0u;
}

void Em_MainBd_OrvelR::Cmd_StartRover(CmdList& out) {
    EmIMainBoard::Cmd_StartRover(out);
    if (Em_RepParser_Q70R* parser = Parser()) parser->StartRtkEngine();
}

}  // namespace FJParse
}  // namespace Fjarnis2011
