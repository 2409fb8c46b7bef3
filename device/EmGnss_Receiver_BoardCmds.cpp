// The receiver object's GNSS board work: each member asks the protocol object
// for the commands of one piece of board work (the board's own commands and
// the receiver's, as the attached receiver takes them) and queues them; the
// getter reads the elevation mask the board reported.

#include "device/EmGnss_Receiver_Ops.h"

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::_STR_CMD;
using FJParse::Em_Gnss;
using FJParse::GNSS_FRQ;
using Commands = std::vector<_STR_CMD>;

void EmGnss_Receiver::Send_Gnss_Init() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gnss_Inite(out); });
}

void EmGnss_Receiver::Send_Gnss_StartBs() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gnss_StartBase(out); });
}

void EmGnss_Receiver::Send_Gnss_StartRv() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gnss_StartRover(out); });
}

void EmGnss_Receiver::Set_Gnss_PosFrq(GNSS_FRQ rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gnss_PosFrq(out, rate); });
}

void EmGnss_Receiver::Send_Gnss_Obs(GNSS_FRQ rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Send_Gnss_Obs(out, rate); });
}

void EmGnss_Receiver::Send_Gnss_Ephemeris(GNSS_FRQ rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Send_Gnss_Ephemeris(out, rate); });
}

void EmGnss_Receiver::Send_Gnss_EphemSat(unsigned int satellite) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Send_Gnss_EphemSat(out, satellite); });
}

void EmGnss_Receiver::Set_Gnss_SatUse(unsigned int satellite, bool use, unsigned int release) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gnss_SatUse(out, satellite, use, release); });
}

void EmGnss_Receiver::Set_Gnss_Nmea(unsigned long sentences, GNSS_FRQ rate, int unused) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gnss_Nmea(out, sentences, rate, unused); });
}

void EmGnss_Receiver::Send_Gnss_UnlogData() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Gnss_UnlogData(out); });
}

void EmGnss_Receiver::Set_Position_Frq(GNSS_FRQ rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Position_Frq(out, rate); });
}

void EmGnss_Receiver::Set_Orvel_NMEA(const std::vector<FJParse::_set_nmea>& sentences, int selector) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Orvel_NMEA(out, sentences, selector); });
}

void EmGnss_Receiver::Set_Orvel_NMEA(const std::vector<FJParse::_set_nmea>& sentences, int selector, bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Orvel_NMEA(out, sentences, selector, on); });
}

void EmGnss_Receiver::Set_Gnss_ElevDgre(unsigned int degrees) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gnss_ElevDgre(degrees, out); });
}

unsigned int EmGnss_Receiver::GetInfo_Gnss_ElevMask() {
    unsigned int mask = 0;
    WithProtocol([&](Em_Gnss& g) { mask = g.GetInfo_Gnss_ElevMask(); });
    return mask;
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
