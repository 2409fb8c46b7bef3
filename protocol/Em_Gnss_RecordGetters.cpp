// Records handed out as they were decoded: the board's ephemeris,
// observations, correction frame and pass-through characters, and the
// old-protocol records of the internal radio, the static survey and the
// eBubble. Each opens with the gate of its record; where the gate fails the
// caller's output stays as it was.

#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/Em_IFormat.h"
#include "protocol/boards/EmIMainBoard.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

Em_IRepParser* Parser(const Em_Gnss& gnss) {
    const Em_IFormat* format = gnss.Format();
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? board->RepParser() : nullptr;
}

// Satellite-number ranges of the ephemeris table and their systems.
constexpr int kGpsFirst = 1, kGpsLast = 32;
constexpr int kBeidouFirst = 161, kBeidouLast = 196;
constexpr unsigned kSystemGps = 1;
constexpr unsigned kSystemBeidou = 4;
static_assert(kBeidouLast <= Em_IRepParser::kEphCapacity);

}  // namespace

void Em_Gnss::Get_Gnss_Ephemeris(unsigned* system, em_eph_t* eph) const {
    const Em_IRepParser* p = Parser(*this);
    if (!p || !system || !eph) return;
    const int n = p->lastEphSat;
    if (n >= kGpsFirst && n <= kGpsLast)
        *system = kSystemGps;
    else if (n >= kBeidouFirst && n <= kBeidouLast)
        *system = kSystemBeidou;
    else
        return;
    *eph = p->eph[n - 1];
}

void Em_Gnss::Get_Gnss_Obs_t(em_obs_t* obs) const {
    const Em_IRepParser* p = Parser(*this);
    if (!p || !obs) return;
    // Never more entries than the handed-out record or the parser's own
    // table hold.
    const uint32_t count = std::min<uint32_t>(
        {p->obsCount, uint32_t(em_obs_t::kMaxEntries), uint32_t(Em_IRepParser::kObsCapacity)});
    obs->n = count;
    std::memset(obs->data, 0, sizeof obs->data);
    std::memcpy(obs->data, p->obs, count * sizeof(em_obsd_t));
}

void Em_Gnss::Get_Gnss_Trsinfo(TRSMT_INFO& info) const {
    const Em_IRepParser* p = Parser(*this);
    if (p && p->Holder()) p->Holder()->Get_Info(info);
}

void Em_Gnss::Get_PassCom_Char(PASSCOMCHAR& chars) const {
    if (Em_IFormat* format = Format()) format->Get_PassCom_Char(chars);
}

void Em_Gnss::Get_Cmd_PassCom(std::vector<_STR_CMD>& out, int port) {
    if (Em_IFormat* format = Format()) format->Get_Cmd_PassCom(out, port);
}

void Em_Gnss::Set_GNSS_ParseNmea(bool on) {
    if (Em_IFormat* format = Format()) format->Set_GNSS_ParseNmea(on);
}

void Em_Gnss::Get_Radio_Sensitivity(Rdo_Sensitv& sensitivity) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) sensitivity = Rdo_Sensitv(format->Radio().sensitivity);
}

void Em_Gnss::Get_Radio_FEC(bool& on) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) on = format->Radio().fec != 0;
}

void Em_Gnss::Get_Radio_Callsign(Radio_Callsign& callsign) const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    const RadioRecord& radio = format->Radio();
    static_assert(sizeof radio.callsignText == Radio_Callsign::kLengthByte);
    callsign.state = uint32_t(radio.callsignOn);
    callsign.interval = uint32_t(radio.callsignValue);
    std::memset(callsign.message, 0, sizeof callsign.message);
    std::memcpy(callsign.message, radio.callsignText, sizeof radio.callsignText);
    callsign.message[Radio_Callsign::kLengthByte] = char(radio.callsignLength);
}

void Em_Gnss::Get_Radio_ChannelSpace(Channel_Space& spacing) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) spacing = Channel_Space(format->Radio().spacingCode);
}

void Em_Gnss::Get_Static_Point(Static_Point& point) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) point = format->staticPoint;
}

void Em_Gnss::Get_Static_Time(unsigned& first, unsigned& second) const {
    // Any receiver of the maker whose format keeps the record.
    const auto* format = dynamic_cast<const Em_Format_OrvelNav*>(MakerFormat(*this));
    if (!format) return;
    first = format->fhValue1;
    second = format->fhValue2;
}

void Em_Gnss::Get_eBubble_info(eBubble_info& info) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        info = format->bubble;
        return;
    }
    // The new-protocol board's eBubble item (1041): the state and the word as
    // they came, the three angles (signed) times 360, the last value (a
    // single-precision number) times 3600, truncated.
    const Em_RepParser_Q50* parser = NewParser(*this);
    if (!parser) return;
    const Q50_Bubble& b = parser->records.bubble;
    info.word[0] = b.state;
    info.word[1] = b.word;
    for (int i = 0; i < 3; ++i) info.word[2 + i] = uint32_t(int32_t(int16_t(b.angles[i])) * 360);
    const double scaled = double(std::bit_cast<float>(b.floatBits)) * 3600.0;
    // Out of range (or not a number), the value cannot be an integer.
    info.word[5] = std::isfinite(scaled) && std::fabs(scaled) < 2147483648.0 ? uint32_t(int32_t(scaled)) : 0u;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
