// GNSS board commands of the protocol object: each forwards to the format in
// use, which combines the board's own commands with the receiver's (the
// maker's old protocol) or passes the board's straight on (other makers).

#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/oldproto/Em_OldCommands.h"

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

// The elevation mask of the export goes to the format with these further
// values (the format does not read the double; the selector names both
// satellite systems).
constexpr double kElevSecond = 5.0;
constexpr int kElevSelector = 4;
// The position-rate command's value when the rate names no fixed rate: none.
constexpr int kNoRateValue = -1;

}  // namespace

void Em_Gnss::Get_Gnss_Inite(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Get_Gnss_Inite(out, 0);
}

void Em_Gnss::Get_Gnss_StartBase(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Get_Gnss_StartBase(out, 0);
}

void Em_Gnss::Get_Gnss_StartRover(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Get_Gnss_StartRover(out, 0);
}

void Em_Gnss::Set_Gnss_ElevDgre(unsigned degrees, std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Set_Gnss_ElevDgre(out, int(degrees), kElevSecond, kElevSelector);
}

void Em_Gnss::Set_Gnss_PosFrq(std::vector<_STR_CMD>& out, GNSS_FRQ rate) {
    if (Em_IFormat* format = Format()) format->Set_Gnss_PosFrq(out, rate);
}

void Em_Gnss::Send_Gnss_Obs(std::vector<_STR_CMD>& out, GNSS_FRQ rate) {
    if (Em_IFormat* format = Format()) format->Send_Gnss_Obs(out, rate);
}

void Em_Gnss::Send_Gnss_Ephemeris(std::vector<_STR_CMD>& out, GNSS_FRQ rate) {
    if (Em_IFormat* format = Format()) format->Send_Gnss_Ephemeris(out, rate);
}

void Em_Gnss::Send_Gnss_EphemSat(std::vector<_STR_CMD>& out, unsigned satellite) {
    if (Em_IFormat* format = Format()) format->Send_Gnss_EphemSat(out, satellite);
}

void Em_Gnss::Set_Gnss_Nmea(std::vector<_STR_CMD>& out, unsigned long sentences, GNSS_FRQ rate, int unused) {
    // The sentence bits are 32-bit words on every receiver.
    if (Em_IFormat* format = Format()) format->Set_Gnss_Nmea(out, uint32_t(sentences), rate, unused);
}

void Em_Gnss::Set_Gnss_SatUse(std::vector<_STR_CMD>& out, unsigned satellite, bool use, unsigned release) {
    if (Em_IFormat* format = Format()) format->Set_Gnss_SatUse(out, satellite, use, release);
}

void Em_Gnss::Get_Gnss_ElevMask(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Get_Gnss_ElevMask(out);
}

void Em_Gnss::Send_Gnss_UnlogData(std::vector<_STR_CMD>& out) {
    if (Em_IFormat* format = Format()) format->Send_Gnss_UnlogData(out);
}

unsigned Em_Gnss::GetInfo_Gnss_ElevMask() const {
    const Em_IFormat* format = Format();
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? board->Get_ElevMask() : 0u;
}

void Em_Gnss::Get_Cmd_Position_Frq(std::vector<_STR_CMD>& out, GNSS_FRQ rate) {
    if (const Em_IFormat* format = OldFormat(*this)) {
        AppendPositionRate(format->comStatus, out, rate, kNoRateValue);
        return;
    }
    // The new protocol sets the rate of its position item.
    Get_Cmd_Gnss_Data_Freq(out, DataFreq{OvParam::GnssPosition, GnssFrq_ToDataFrq(rate)});
}

void Em_Gnss::Set_Orvel_NMEA(std::vector<_STR_CMD>& out, const std::vector<_set_nmea>& sentences, int selector) {
    if (Em_Format_OrvelNav* format = OldNavFormat(*this)) format->Set_Orvel_NMEA(out, sentences, selector);
}

void Em_Gnss::Set_Orvel_NMEA(std::vector<_STR_CMD>& out, const std::vector<_set_nmea>& sentences, int selector,
                             bool on) {
    if (Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        format->Set_Orvel_NMEA(out, sentences, selector, on);
        return;
    }
    // Every other receiver of the maker takes the same selection with rates
    // in "$$" frames; its board (the new-protocol one, or none yet) gets no
    // command of its own.
    const Em_IFormat* format = MakerFormat(*this);
    if (!format) return;
    const EmIMainBoard* board = format->MainBoard();
    const OrvelNmeaSelection selection = OrvelNmeaWithRates(sentences, board ? board->Type() : MAINBD_ORVEL_NEW);
    AppendNmeaOutput(format->comStatus, out, selection.mask, selector);
    AppendNmeaRates(format->comStatus, out, selection, selector, on);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
