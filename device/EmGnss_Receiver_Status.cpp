// The receiver object's solution, status and record getters: each copies one
// value the protocol object decoded from the receiver's output, under the
// protocol lock, and sends nothing (but Send_PassCom_Char, which queues the
// board's pass-through command). They are called on the owner's thread and
// from inside the data callback, which already holds the lock; the lock is
// recursive. Without a protocol object a getter answers as the protocol
// object does for a receiver the value does not apply to: its failure value,
// or the caller's output left as it was.

#include "device/EmGnss_Receiver_Ops.h"

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::_STR_CMD;
using FJParse::Em_Gnss;
using Commands = std::vector<_STR_CMD>;

// ---------------------------------------------------------------- device

void EmGnss_Receiver::GetInfo_DevcInfo(FJParse::DEVICE_STR& info) {
    WithProtocol([&](Em_Gnss& g) { g.GetInfo_DevcInfo(info); });
}

int EmGnss_Receiver::Get_Battery_Grd() {
    int grade = -1;
    WithProtocol([&](Em_Gnss& g) { grade = g.Get_Battery_Grd(); });
    return grade;
}

unsigned long EmGnss_Receiver::GetInfo_Gnss_Solutions() {
    unsigned long flags = 0;
    WithProtocol([&](Em_Gnss& g) { flags = g.GetInfo_Gnss_Solutions(); });
    return flags;
}

int EmGnss_Receiver::Get_TimeZone() {
    int hours = 0;
    WithProtocol([&](Em_Gnss& g) { hours = g.Get_TimeZone(); });
    return hours;
}

void EmGnss_Receiver::Set_TimeZone(int hours) {
    WithProtocol([&](Em_Gnss& g) { g.Set_TimeZone(hours); });
}

// ---------------------------------------------------------------- solution

// Position and time are asked for in a tight loop by callers that may pass
// no record at all; such a call has nothing to fill and must not wait for a
// frame being parsed.
void EmGnss_Receiver::Get_Gnss_Pos(FJParse::POS_INFO* pos) {
    if (!pos) return;
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Pos(pos); });
}

void EmGnss_Receiver::Get_Gnss_Time(FJParse::Time_Str* time) {
    if (!time) return;
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Time(time); });
}

void EmGnss_Receiver::Get_Gnss_SatInfo(int system, unsigned int* count, FJParse::SATLLITE_STR* sats) {
    // The caller walks `sats` by the count: without a protocol object there
    // is no list, as without a board, and the count says so rather than
    // leaving whatever the caller's variable held.
    if (!WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_SatInfo(system, count, sats); }) && count) *count = 0;
}

void EmGnss_Receiver::Get_Gnss_SatUse(int system, FJParse::SAT_USE* use) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_SatUse(system, use); });
}

void EmGnss_Receiver::Get_Gnss_SatTypeNum(int& systems) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_SatTypeNum(systems); });
}

void EmGnss_Receiver::Get_Gnss_Dops(FJParse::Dops* dops) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Dops(dops); });
}

void EmGnss_Receiver::Get_Gnss_Precision(FJParse::Precisions* precisions) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Precision(precisions); });
}

void EmGnss_Receiver::Get_Gnss_Gpgga(unsigned char* text, unsigned int* length) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Gpgga(text, length); });
}

void EmGnss_Receiver::Get_Gnss_Gprmc(double& speed, double& course) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Gprmc(speed, course); });
}

void EmGnss_Receiver::Get_Gnss_Baseinfo(FJParse::BASEINFO& base) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Baseinfo(base); });
}

// ---------------------------------------------------------------- board records

// The board's records and switches are taken under the lock as well: the
// processing thread rewrites them while it parses, and a caller outside the
// data callback would otherwise copy a record half old and half new.

void EmGnss_Receiver::Get_Gnss_Ephemeris(unsigned int* system, FJParse::em_eph_t* eph) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Ephemeris(system, eph); });
}

void EmGnss_Receiver::Get_Gnss_Obs_t(FJParse::em_obs_t* obs) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Obs_t(obs); });
}

void EmGnss_Receiver::Get_Gnss_Trsinfo(FJParse::TRSMT_INFO& info) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Trsinfo(info); });
}

void EmGnss_Receiver::Get_PassCom_Char(FJParse::PASSCOMCHAR& chars) {
    WithProtocol([&](Em_Gnss& g) { g.Get_PassCom_Char(chars); });
}

void EmGnss_Receiver::Send_PassCom_Char(int port) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_PassCom(out, port); });
}

void EmGnss_Receiver::Set_GNSS_ParseNmea(bool on) {
    WithProtocol([&](Em_Gnss& g) { g.Set_GNSS_ParseNmea(on); });
}

// ---------------------------------------------------------------- old-protocol records

void EmGnss_Receiver::Get_Radio_Sensitivity(FJParse::Rdo_Sensitv& sensitivity) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Sensitivity(sensitivity); });
}

void EmGnss_Receiver::Get_Radio_FEC(bool& on) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_FEC(on); });
}

void EmGnss_Receiver::Get_Radio_Callsign(FJParse::Radio_Callsign& callsign) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Callsign(callsign); });
}

void EmGnss_Receiver::Get_Radio_ChannelSpace(FJParse::Channel_Space& spacing) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_ChannelSpace(spacing); });
}

void EmGnss_Receiver::Get_Static_Point(FJParse::Static_Point& point) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Static_Point(point); });
}

void EmGnss_Receiver::Get_Static_Time(unsigned int& first, unsigned int& second) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Static_Time(first, second); });
}

void EmGnss_Receiver::Get_eBubble_info(FJParse::eBubble_info& info) {
    WithProtocol([&](Em_Gnss& g) { g.Get_eBubble_info(info); });
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
