#pragma once

// The GNSS board inside a receiver: a main board that owns a 2048-byte
// receive buffer and recognises frames in it, a command builder and a report
// parser of the same family. A frame format creates exactly one board for a
// MAINBD_OEM_TYPE, appends the bytes of each frame it cuts to the board's
// receive buffer, calls Parse_NextFrame and, when that returns non-zero, takes
// the parser's ChangedMask.

#include "protocol/Em_Types.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/Em_BoardTypes.h"
#include "protocol/boards/Em_ICmdPaker.h"
#include "protocol/boards/Em_IRepParser.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

// Outcome of one NMEA sentence in the board's receive buffer.
enum class NmeaOutcome {
    Wait,     // not complete yet: kept
    Done,     // handed to the parser: buffer cleared
    TooLong,  // longer than 300 bytes: buffer cleared
    TooShort, // complete but shorter than any sentence: buffer cleared
};

// Looks the five-character sentence address up (exact match); REPORT_UNKNOWN
// (-1) when it is not in the table.
int NmeaReportId(const uint8_t* address5);

class EmIMainBoard {
public:
    static constexpr int kMaxNmeaSentence = 300;
    // '$', a five-character address, '*', two checksum characters, CR, LF.
    static constexpr int kMinNmeaSentence = 11;

    virtual ~EmIMainBoard();
    EmIMainBoard(const EmIMainBoard&) = delete;
    EmIMainBoard& operator=(const EmIMainBoard&) = delete;

    // Recognises and decodes the buffered frame. 0: nothing decoded (the
    // frame is incomplete and kept, or it was rejected and cleared); any other
    // value: the buffer was consumed and the caller takes the parser's
    // ChangedMask. The base returns 1.
    virtual unsigned Parse_NextFrame();

    // Forwarding operations: each passes its arguments to the command builder
    // unchanged; nothing happens when the board has no builder.
    virtual void Cmd_StartBase(CmdList& out);
    virtual void Cmd_StartRover(CmdList& out);
    virtual void Cmd_Reset(CmdList& out);
    virtual void Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector);
    virtual void Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release);
    virtual void Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra);
    virtual void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list);
    virtual void Cmd_PosFrq(CmdList& out, GNSS_FRQ frq);
    virtual void Cmd_Obs(CmdList& out, GNSS_FRQ frq);
    virtual void Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq);
    virtual void Cmd_EphemSat(CmdList& out, unsigned satellite);
    virtual void Cmd_ElevMask(CmdList& out);
    virtual void Cmd_UnlogData(CmdList& out);
    virtual void Cmd_PassCom(CmdList& out, int port);

    // The parser's elevation-mask word (0 without a parser).
    virtual unsigned Get_ElevMask();

    // Hands a binary frame cut by the board (or by a format) to the parser.
    virtual unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) = 0;

    // Appends the bytes of one cut frame; when they do not fit, the whole
    // buffer is cleared and the new bytes are dropped.
    void AppendReceived(const uint8_t* data, unsigned length);
    // Appends one whole frame whose check the format has made, into an empty
    // buffer, and notes that, so that the recognisers do not compute the same
    // CRC again. Into a buffer that holds bytes already it is AppendReceived.
    void AppendCheckedFrame(const uint8_t* data, unsigned length);
    // Zeroes the data and sets read index and fill count to 0.
    void ClearRecvBuffer();

    MAINBD_OEM_TYPE Type() const { return type_; }
    Em_ICmdPaker* CmdPaker() const { return cmdPaker_.get(); }
    Em_IRepParser* RepParser() const { return repParser_.get(); }
    const MainBdRecvBuffer* RecvBuffer() const { return recv_.get(); }
    MainBdRecvBuffer* RecvBuffer() { return recv_.get(); }

protected:
    // Allocates and clears the receive buffer and sets the type id; the family
    // constructor then creates its parser and its builder (SetParts).
    explicit EmIMainBoard(MAINBD_OEM_TYPE type);
    void SetParts(std::unique_ptr<Em_IRepParser> parser, std::unique_ptr<Em_ICmdPaker> builder);

    // Bytes buffered from the read index (0 without a buffer).
    int Buffered() const;
    // True when the buffer holds, from its start, the one frame of `length`
    // bytes whose check the format has already made.
    bool FrameChecked(int length) const;
    // The shared recognisers. Each works on the whole buffered frame.
    unsigned ParseNmeaSentence();
    NmeaOutcome RecogniseNmea();
    unsigned Parse_Rtcm3Frame();
    unsigned Parse_CmrFrame();

private:
    std::unique_ptr<MainBdRecvBuffer> recv_;
    MAINBD_OEM_TYPE type_;
    std::unique_ptr<Em_ICmdPaker> cmdPaker_;
    std::unique_ptr<Em_IRepParser> repParser_;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
