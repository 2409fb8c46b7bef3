#include "protocol/boards/EmIMainBoard.h"

#include "platform/Endian.h"
#include "protocol/Em_Checksum.h"

#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// The len bits (at most 32) that start at bit pos, bit 0 being the most
// significant bit of p[0]. The caller makes sure the bytes are there.
uint32_t FrameBits(const uint8_t* p, int pos, int len) {
    uint32_t v = 0;
    for (int i = pos; i < pos + len; ++i) v = (v << 1) | ((p[i / 8] >> (7 - i % 8)) & 1u);
    return v;
}

struct NmeaAddress {
    char text[6];
    int id;
};

constexpr NmeaAddress kNmeaAddresses[] = {
    {"GPGGA", REPORT_GPGGA}, {"GPGSA", REPORT_GPGSA}, {"GPGST", REPORT_GPGST}, {"GPGSV", REPORT_GPGSV},
    {"GPRMC", REPORT_GPRMC}, {"GPZDA", REPORT_GPZDA}, {"GLGSV", REPORT_GLGSV}, {"GNGGA", REPORT_GNGGA},
    {"GNGLL", REPORT_GNGLL}, {"GNGSA", REPORT_GNGSA}, {"GNRMC", REPORT_GNRMC}, {"BDGSV", REPORT_BDGSV},
};

}  // namespace

int NmeaReportId(const uint8_t* address5) {
    if (!address5) return REPORT_UNKNOWN;
    for (const NmeaAddress& a : kNmeaAddresses)
        if (std::memcmp(a.text, address5, 5) == 0) return a.id;
    return REPORT_UNKNOWN;
}

EmIMainBoard::EmIMainBoard(MAINBD_OEM_TYPE type) : recv_(new (std::nothrow) MainBdRecvBuffer), type_(type) {}

EmIMainBoard::~EmIMainBoard() {
    cmdPaker_.reset();
    repParser_.reset();
    recv_.reset();
}

void EmIMainBoard::SetParts(std::unique_ptr<Em_IRepParser> parser, std::unique_ptr<Em_ICmdPaker> builder) {
    repParser_ = std::move(parser);
    cmdPaker_ = std::move(builder);
}

unsigned EmIMainBoard::Parse_NextFrame() { return 1; }

void EmIMainBoard::Cmd_StartBase(CmdList& out) {
    if (cmdPaker_) cmdPaker_->Cmd_StartBase(out);
}
void EmIMainBoard::Cmd_StartRover(CmdList& out) {
    if (cmdPaker_) cmdPaker_->Cmd_StartRover(out);
}
void EmIMainBoard::Cmd_Reset(CmdList& out) {
    if (cmdPaker_) cmdPaker_->Cmd_Reset(out);
}
void EmIMainBoard::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) {
    if (cmdPaker_) cmdPaker_->Cmd_ElevMask_Set(out, mask, selector);
}
void EmIMainBoard::Cmd_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) {
    if (cmdPaker_) cmdPaker_->Cmd_SatUse(out, satellite, use, release);
}
void EmIMainBoard::Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) {
    if (cmdPaker_) cmdPaker_->Cmd_Nmea(out, sentenceMask, frq, extra);
}
void EmIMainBoard::Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) {
    if (cmdPaker_) cmdPaker_->Cmd_Nmea_Ex(out, list);
}
void EmIMainBoard::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    if (cmdPaker_) cmdPaker_->Cmd_PosFrq(out, frq);
}
void EmIMainBoard::Cmd_Obs(CmdList& out, GNSS_FRQ frq) {
    if (cmdPaker_) cmdPaker_->Cmd_Obs(out, frq);
}
void EmIMainBoard::Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) {
    if (cmdPaker_) cmdPaker_->Cmd_Ephemeris(out, frq);
}
void EmIMainBoard::Cmd_EphemSat(CmdList& out, unsigned satellite) {
    if (cmdPaker_) cmdPaker_->Cmd_EphemSat(out, satellite);
}
void EmIMainBoard::Cmd_ElevMask(CmdList& out) {
    if (cmdPaker_) cmdPaker_->Cmd_ElevMask(out);
}
void EmIMainBoard::Cmd_UnlogData(CmdList& out) {
    if (cmdPaker_) cmdPaker_->Cmd_UnlogData(out);
}
void EmIMainBoard::Cmd_PassCom(CmdList& out, int port) {
    if (cmdPaker_) cmdPaker_->Cmd_PassCom(out, port);
}

unsigned EmIMainBoard::Get_ElevMask() { return repParser_ ? repParser_->elevMask : 0u; }

void EmIMainBoard::AppendReceived(const uint8_t* data, unsigned length) {
    if (recv_) FJParse::AppendReceived(*recv_, data, length);
}

void EmIMainBoard::AppendCheckedFrame(const uint8_t* data, unsigned length) {
    if (!recv_) return;
    const bool empty = recv_->fill == 0 && recv_->readIndex == 0;
    FJParse::AppendReceived(*recv_, data, length);
    if (empty && recv_->fill == int(length)) recv_->checkedFrame = int(length);
}

void EmIMainBoard::ClearRecvBuffer() {
    if (!recv_) return;
    // Only the filled part can hold anything but zeros: every byte beyond the
    // fill count was zeroed by an earlier clear and never written since.
    const int filled = recv_->fill < 0 || recv_->fill > MainBdRecvBuffer::kSize ? MainBdRecvBuffer::kSize : recv_->fill;
    std::memset(recv_->data, 0, size_t(filled));
    recv_->readIndex = 0;
    recv_->fill = 0;
    recv_->checkedFrame = 0;
}

bool EmIMainBoard::FrameChecked(int length) const {
    return recv_ && length > 0 && recv_->readIndex == 0 && recv_->checkedFrame == length && recv_->fill == length;
}

int EmIMainBoard::Buffered() const {
    if (!recv_) return 0;
    const int fill = recv_->fill < 0 ? 0 : (recv_->fill > MainBdRecvBuffer::kSize ? MainBdRecvBuffer::kSize : recv_->fill);
    const int read = recv_->readIndex < 0 ? 0 : recv_->readIndex;
    return fill > read ? fill - read : 0;
}

NmeaOutcome EmIMainBoard::RecogniseNmea() {
    if (!recv_) return NmeaOutcome::Wait;
    const int n = Buffered();
    if (n > kMaxNmeaSentence) return NmeaOutcome::TooLong;
    const uint8_t* p = recv_->data + recv_->readIndex;
    // A sentence is complete once its '*', or the CR or LF that end it, is in;
    // a sentence the format has cut and checked is complete.
    bool complete = FrameChecked(n);
    for (int i = 0; i + 4 < n && !complete; ++i)
        complete = p[i] == '*' || p[i + 3] == '\r' || p[i + 4] == '\n';
    if (!complete) return NmeaOutcome::Wait;
    // Too short to hold an address, a checksum and its end: nothing to decode.
    if (n < kMinNmeaSentence) return NmeaOutcome::TooShort;
    if (repParser_) repParser_->Decode_Report(NmeaReportId(p + 1), p, static_cast<unsigned>(n));
    return NmeaOutcome::Done;
}

unsigned EmIMainBoard::ParseNmeaSentence() {
    switch (RecogniseNmea()) {
    case NmeaOutcome::Wait:
        return 0;
    case NmeaOutcome::Done:
        ClearRecvBuffer();
        return 1;
    case NmeaOutcome::TooLong:
    case NmeaOutcome::TooShort:
        break;
    }
    ClearRecvBuffer();
    return 0;
}

unsigned EmIMainBoard::Parse_Rtcm3Frame() {
    const int n = Buffered();
    // The length field lies in the first three bytes.
    if (n < 3) return 0;
    const uint8_t* p = recv_->data + recv_->readIndex;
    const int payload = static_cast<int>(FrameBits(p, 14, 10));
    const int frame = payload + 6;
    if (frame > n) return 0;  // wait for the rest of the frame
    if (!FrameChecked(frame) && Calc_Crc24q(p, payload + 3) != platform::ReadBE24(p + payload + 3)) {
        ClearRecvBuffer();
        return 0;
    }
    const unsigned messageNumber = FrameBits(p, 24, 12);
    if (repParser_) {
        // A frame that reaches no holder announces nothing, not the bits of
        // the frame before it.
        repParser_->ChangedMask = 0;
        if (TransmitHolder* holder = repParser_->Holder()) {
            if (holder->Transmit_ByType(messageNumber, p, static_cast<unsigned>(frame), TRSMT_RTCM))
                repParser_->ChangedMask |= ChangeBits::Correction;
        }
    }
    ClearRecvBuffer();
    return 1;
}

unsigned EmIMainBoard::Parse_CmrFrame() {
    // STX, status, type, length, then the data, a checksum and ETX.
    constexpr int kCmrShell = 6;
    const int n = Buffered();
    // The length byte and then the whole frame must be in before it is
    // handed on: board output may arrive in pieces.
    if (n < 4) return 0;
    const uint8_t* p = recv_->data + recv_->readIndex;
    const int frame = p[3] + kCmrShell;
    if (frame > n) return 0;
    const unsigned messageNumber = FrameBits(p, 24, 12);
    if (repParser_) {
        repParser_->ChangedMask = 0;
        repParser_->Transmit_Cmr(messageNumber, p, static_cast<unsigned>(frame));
    }
    ClearRecvBuffer();
    return 1;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
