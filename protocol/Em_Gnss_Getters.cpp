// The current solution and the receiver's status as the device object reads
// them after each decoded frame: position, time, satellites, dilutions,
// precisions, the last GGA and RMC values, base position, solutions word,
// time zone, device information and battery grade. The solution values come
// from the format's value operations, which every format answers (from its
// board's report parser, or with their defaults without a board); the rest
// comes from the report parser itself or from the old-protocol format's
// records.

#include "protocol/Em_BatteryGrade.h"
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

// The board's report parser, or null without a format, a board or a parser.
Em_IRepParser* Parser(const Em_Gnss& gnss) {
    const Em_IFormat* format = gnss.Format();
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? board->RepParser() : nullptr;
}

constexpr int kSatelliteLists = SATLIST_COUNT;
constexpr int kDefaultTimeZone = 8;
constexpr unsigned kMaxTimeZone = 24;

int LevelPercent(float level) {
    if (std::isnan(level)) return 0;
    return int(std::clamp(level, 0.0f, 100.0f) + 0.5f);
}

}  // namespace

int NewProtocolBatteryGrade(const OV_SYSTEM_POWER_STATUS_STRUCT& power) {
    if (power.words[0] > 1) return 12;
    const int a = LevelPercent(std::bit_cast<float>(power.words[1]));
    const int b = LevelPercent(std::bit_cast<float>(power.words[2]));
    return std::min(((a + b) / 2 + 5) / 10, 10);
}

void Em_Gnss::Get_Gnss_Pos(POS_INFO* pos) const {
    Em_IFormat* format = Format();
    if (!pos || !format) return;
    pos->latitude = format->Pos_Latitude();
    pos->longitude = format->Pos_Longitude();
    pos->height = format->Pos_Height();
    pos->status = format->Pos_Status();
    pos->diffAge = format->Pos_DiffAge();
    if (Em_IRepParser* p = Parser(*this)) {
        pos->gpsWeek = p->solution.gpsWeek;
        pos->gpsSeconds = p->solution.gpsSeconds;
        pos->satsTracked = p->solution.satsTracked;
        pos->satsInSolution = p->solution.satsInSolution;
        pos->usedSignals = p->solution.usedSignals;
        pos->satsUsed = uint32_t(p->satsUsed);
        pos->satsListed = p->satsListed;
        pos->satsListedUsed = p->satsListedUsed;
        pos->satSystems = uint16_t(p->satSystems);
    }
    pos->horizontalPrecision = format->Prec_Horizontal();
    pos->heightPrecision = format->Prec_Height();
    pos->rmsPrecision = format->Prec_Rms();
}

void Em_Gnss::Get_Gnss_Time(Time_Str* time) const {
    const Em_IRepParser* p = Parser(*this);
    if (!time || !p) return;
    time->year = p->time.year;
    time->month = p->time.month;
    time->day = p->time.day;
    time->hour = p->time.hour;
    time->minute = p->time.minute;
    time->second = p->time.second;
}

void Em_Gnss::Get_Gnss_SatInfo(int system, unsigned* count, SATLLITE_STR* out) const {
    if (!count) return;
    const Em_IRepParser* p = Parser(*this);
    if (!p || system < 1 || system > kSatelliteLists) {
        *count = 0;
        return;
    }
    const SatList& list = p->satLists[system - 1];
    // A count the table cannot hold says the list is not sound: none is given.
    *count = list.count <= SatList::kCapacity ? list.count : 0;
    if (out && *count > 0) std::memcpy(out, list.sats, *count * sizeof(SATLLITE_STR));
}

void Em_Gnss::Get_Gnss_SatUse(int system, SAT_USE* use) {
    Em_IRepParser* p = Parser(*this);
    if (!p || !use || system != 0) return;
    if (p->satsListed < p->satsListedUsed) p->satsListed = p->satsListedUsed;
    use->listed = p->satsListed;
    use->used = p->satsListedUsed;
}

void Em_Gnss::Get_Gnss_SatTypeNum(int& systems) const {
    if (const Em_IRepParser* p = Parser(*this)) systems = int(p->satSystems);
}

void Em_Gnss::Get_Gnss_Dops(Dops* dops) const {
    Em_IFormat* format = Format();
    if (!dops || !format) return;
    dops->pdop = format->Dop_P();
    dops->hdop = format->Dop_H();
    dops->vdop = format->Dop_V();
    dops->tdop = format->Dop_T();
    dops->gdop = format->Dop_G();
}

void Em_Gnss::Get_Gnss_Precision(Precisions* precisions) const {
    Em_IFormat* format = Format();
    if (!precisions || !format) return;
    precisions->horizontal = format->Prec_Horizontal();
    precisions->height = format->Prec_Height();
    precisions->rms = format->Prec_Rms();
}

void Em_Gnss::Get_Gnss_Gpgga(unsigned char* text, unsigned* length) const {
    if (Em_IFormat* format = Format()) format->Get_Gnss_Gpgga(1, text, length);
}

void Em_Gnss::Get_Gnss_Gprmc(double& speed, double& course) const {
    Em_IFormat* format = Format();
    if (!format) return;
    speed = format->Rmc_Speed();
    course = format->Rmc_Course();
}

void Em_Gnss::Get_Gnss_Baseinfo(BASEINFO& base) const {
    if (Em_IFormat* format = Format()) format->Get_Gnss_Baseinfo(base);
}

uint32_t Em_Gnss::GetInfo_Gnss_Solutions() const {
    const Em_IRepParser* p = Parser(*this);
    return p ? p->solution.usedSignals : 0;
}

void Em_Gnss::Set_TimeZone(int hours) {
    Em_IRepParser* p = Parser(*this);
    if (!p) return;
    // Read unsigned, as the receiver software does: a negative value is out
    // of range like 25.
    p->timeZone = unsigned(hours) <= kMaxTimeZone ? hours : kDefaultTimeZone;
}

int Em_Gnss::Get_TimeZone() const {
    const Em_IRepParser* p = Parser(*this);
    return p ? p->timeZone : 0;
}

void Em_Gnss::GetInfo_DevcInfo(DEVICE_STR& info) const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) info = format->DeviceInfo();
}

int Em_Gnss::Get_Battery_Grd() const {
    if (!IsOrvelManufacturer()) return -1;
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) return int(format->batteryLevel);
    // The new-protocol receiver's grade comes from the power record (772)
    // its board's parser keeps; without that board there is none to give.
    if (const Em_RepParser_Q50* parser = NewParser(*this)) return NewProtocolBatteryGrade(parser->records.powerStatus);
    return -1;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
