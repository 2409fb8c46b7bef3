#include "protocol/Em_Gnss.h"

#include "platform/Endian.h"
#include "protocol/Em_IFormat.h"
#include "protocol/FormatFactory.h"
#include "protocol/RawRecordFile.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"

#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// Runs a format factory; running out of memory leaves no format rather than
// letting the exception out of the library.
std::unique_ptr<Em_IFormat> MakeFormat(const Em_Gnss::FormatFactory& factory, GNSS_MANUFACTURER m,
                                       bool newProtocol, RingBuffer& ring) {
    try {
        return factory(m, newProtocol, ring);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The format's own board replacement (slot 2).
bool ResetBoard(Em_IFormat* format, MAINBD_OEM_TYPE t) {
    if (!format) return false;
    try {
        return format->Reset_GnsMd(t);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

Em_ICmdPaker* Builder(const Em_IFormat* format) {
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? board->CmdPaker() : nullptr;
}

}  // namespace

Em_Gnss::Em_Gnss(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t) : Em_Gnss(m, t, FormatFactory()) {}

Em_Gnss::Em_Gnss(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t, FormatFactory factory)
    : factory_(factory ? std::move(factory) : FormatFactory(&CreateFormat)), ring_(new RingBuffer) {
    const bool newProtocol = m == GNSS_MNFCTR_ORVEL && t == MAINBD_ORVEL_NEW;
    ReplaceFormat(MakeFormat(factory_, m, newProtocol, *ring_));
    newProtocolFormat_ = newProtocol && Format() != nullptr;
    Reset_GnsMd(t);
}

Em_Gnss::~Em_Gnss() {
    if (recordOn_.load()) RawRecordFile::Close();
    ReplaceFormat(nullptr);
}

void Em_Gnss::ReplaceFormat(std::unique_ptr<Em_IFormat> format) {
    if (format) format->comStatus = comStatus_;
    delete format_.exchange(format.release(), std::memory_order_acq_rel);
}

void Em_Gnss::Reset_Mnfctr(GNSS_MANUFACTURER m) {
    if (const Em_IFormat* old = Format()) comStatus_ = Com_Status(old->comStatus);
    std::unique_ptr<Em_IFormat> format = MakeFormat(factory_, m, false, *ring_);
    // A new format starts on an empty buffer; the reading thread keeps
    // appending to the same buffer throughout.
    ring_->Clear();
    ReplaceFormat(std::move(format));
    newProtocolFormat_ = false;
}

bool Em_Gnss::Reset_GnsMd(MAINBD_OEM_TYPE t) { return ResetBoard(Format(), t); }

bool Em_Gnss::SwitchProtocolFor(MAINBD_OEM_TYPE t) {
    const Em_IFormat* format = Format();
    if (!format || format->makerCode != GNSS_MNFCTR_ORVEL) return false;
    // A receiver of the maker is first reached through the old protocol; when
    // its device information names the new-protocol board (type 0), only the
    // new-protocol format can read it, and the other way round.
    const bool wantNew = t == MAINBD_ORVEL_NEW;
    if (wantNew == newProtocolFormat_) return true;
    comStatus_ = Com_Status(format->comStatus);
    std::unique_ptr<Em_IFormat> next = MakeFormat(factory_, GNSS_MNFCTR_ORVEL, wantNew, *ring_);
    if (!next) return false;
    ring_->Clear();
    ReplaceFormat(std::move(next));
    newProtocolFormat_ = wantNew;
    return true;
}

GNSS_MANUFACTURER Em_Gnss::Get_Mnfctr() const {
    const Em_IFormat* format = Format();
    return format ? GNSS_MANUFACTURER(format->makerCode) : GNSS_MNFCTR_NONE;
}

MAINBD_OEM_TYPE Em_Gnss::Get_GnsMd() const {
    const Em_IFormat* format = Format();
    const EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? board->Type() : MAINBD_ORVEL_NEW;
}

MAINBD_OEM_TYPE Em_Gnss::GetMainBdType() const { return Get_GnsMd(); }

bool Em_Gnss::IsOrvelManufacturer() const {
    const Em_IFormat* format = Format();
    return format && format->makerCode == GNSS_MNFCTR_ORVEL;
}

bool Em_Gnss::IsOrvelNewProtocolReceiver() const {
    const Em_IFormat* format = Format();
    if (!format || format->makerCode != GNSS_MNFCTR_ORVEL) return false;
    const EmIMainBoard* board = format->MainBoard();
    return !board || board->Type() == MAINBD_ORVEL_NEW;
}

bool Em_Gnss::IsOrvelOldProtocolReceiver() const {
    const Em_IFormat* format = Format();
    if (!format || format->makerCode != GNSS_MNFCTR_ORVEL) return false;
    const EmIMainBoard* board = format->MainBoard();
    return board && board->Type() != MAINBD_ORVEL_NEW;
}

void Em_Gnss::RcvData(const unsigned char* data, unsigned int n) {
    if (!data || n == 0 || !Format()) return;
    ring_->Append(data, n);
    // The record copy is made whether or not the buffer took the bytes.
    if (recordOn_.load(std::memory_order_relaxed)) RawRecordFile::Write(data, n);
}

void Em_Gnss::ParseData() {
    // The format is looked up again after every callback: a callback may have
    // switched the manufacturer.
    for (Em_IFormat* format = Format(); format && format->ParseNextFrame(); format = Format()) {
        if (dataCallback_ && format->changeMask != 0)
            dataCallback_(format->messageClass, format->changeMask, callbackContext_);
    }
}

void Em_Gnss::IsOemChanged(bool changed) {
    if (oemCallback_) oemCallback_(changed, callbackContext_);
}

void Em_Gnss::Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* context) {
    dataCallback_ = callbacks ? callbacks->dataCallback : nullptr;
    oemCallback_ = callbacks ? callbacks->oemCallback : nullptr;
    if (context) callbackContext_ = context;
}

void Em_Gnss::Data_Clear() {
    ring_->Clear();
    if (Em_IFormat* format = Format()) format->DataCleared();
}

void Em_Gnss::Get_RevMsg(Msg_Type* kind, uint32_t* bits) const {
    const Em_IFormat* format = Format();
    if (!format) return;
    if (kind) *kind = Msg_Type(format->messageClass);
    if (bits) *bits = format->changeMask;
}

void Em_Gnss::Set_Com_Status(Com_Status s) {
    comStatus_ = s;
    if (Em_IFormat* format = Format()) format->comStatus = s;
}

Com_Status Em_Gnss::Get_Com_Status() const {
    const Em_IFormat* format = Format();
    return format ? Com_Status(format->comStatus) : Com_Status(0);
}

const Base_Config* Em_Gnss::Get_Gnss_BsCfg() const {
    const Em_ICmdPaker* builder = Builder(Format());
    return builder ? &builder->baseConfig : nullptr;
}

void Em_Gnss::Set_Gnss_BsCfg(const Base_Config& config) {
    Em_IFormat* format = Format();
    if (!format) return;
    if (Em_ICmdPaker* builder = Builder(format)) builder->baseConfig = config;
    uint8_t bytes[sizeof(Base_Config)];
    std::memcpy(bytes, &config, sizeof bytes);
    format->baseConfigWord = platform::ReadLE32(bytes + offsetof(Base_Config, outputPort));
}

const Rover_Config* Em_Gnss::Get_Gnss_RvCfg() const {
    const Em_ICmdPaker* builder = Builder(Format());
    return builder ? &builder->roverConfig : nullptr;
}

void Em_Gnss::Set_Gnss_RvCfg(const Rover_Config& config) {
    if (Em_ICmdPaker* builder = Builder(Format())) builder->roverConfig = config;
}

void Em_Gnss::Send_DiffDataToGnss(std::vector<_STR_CMD>& out, const unsigned char* data, unsigned int n) {
    if (Em_IFormat* format = Format()) format->Send_DiffDataToGnss(out, data, n);
}

void Em_Gnss::Get_Gnss_Reset(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Get_Gnss_Reset(out, 0);
}

void Em_Gnss::SetRcrdData(bool on, const char* name) {
    if (on) {
        RawRecordFile::Open(name);  // keeps a file that is open already
        recordOn_.store(true);
    } else {
        RawRecordFile::Close();
        recordOn_.store(false);
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
