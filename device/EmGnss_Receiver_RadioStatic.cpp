// The receiver object's operations for the maker's old-protocol internal
// radio, static recording, PPK points and the eBubble: each wraps one
// protocol-object operation in the protocol lock and queues what it builds.

#include "device/EmGnss_Receiver_Ops.h"

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::_STR_CMD;
using FJParse::Em_Gnss;
using Commands = std::vector<_STR_CMD>;

// ---------------------------------------------------------------- radio

int EmGnss_Receiver::Send_Radio_Frq() {
    int result = -1;
    QueueCommands([&](Em_Gnss& g, Commands& out) { result = g.Get_Radio_Frq(out); });
    return result;
}

int EmGnss_Receiver::Send_Radio_Power() {
    int result = 0;
    QueueCommands([&](Em_Gnss& g, Commands& out) { result = g.Get_Radio_Power(out); });
    return result;
}

int EmGnss_Receiver::Set_Radio_Power(FJParse::Radio_Power power) {
    int result = 0;
    QueueCommands([&](Em_Gnss& g, Commands& out) { result = g.Set_Radio_Power(out, power); });
    return result;
}

int EmGnss_Receiver::Send_Radio_Baudrate() {
    int result = 0;
    QueueCommands([&](Em_Gnss& g, Commands& out) { result = g.Get_Cmd_Radio_Baudrate(out); });
    return result;
}

int EmGnss_Receiver::Set_Radio_Baudrate(FJParse::Radio_Baudrate baud) {
    int result = 0;
    QueueCommands([&](Em_Gnss& g, Commands& out) { result = g.Set_Radio_Baudrate(out, baud); });
    return result;
}

void EmGnss_Receiver::Set_Radio_Frq(double mhz) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_Frq(out, mhz); });
}

void EmGnss_Receiver::Set_Radio_Mdl(FJParse::Rdo_Mdl mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_Mdl(out, mode); });
}

void EmGnss_Receiver::Set_Radio_Sensitivity(FJParse::Rdo_Sensitv sensitivity) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_Sensitivity(out, sensitivity); });
}

void EmGnss_Receiver::Send_Radio_Sensitivity() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Sensitivity(out); });
}

void EmGnss_Receiver::Set_Radio_FEC(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_FEC(out, on); });
}

void EmGnss_Receiver::Send_Radio_FEC() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_FEC(out); });
}

void EmGnss_Receiver::Set_Radio_Callsign(FJParse::Radio_Callsign callsign) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_Callsign(out, callsign); });
}

void EmGnss_Receiver::Send_Radio_Callsign() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Callsign(out); });
}

void EmGnss_Receiver::Set_Radio_ChannelSpace(FJParse::Channel_Space spacing) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Radio_ChannelSpace(out, spacing); });
}

void EmGnss_Receiver::Send_Radio_ChannelSpace() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_ChannelSpace(out); });
}

FJParse::Radio_Power EmGnss_Receiver::Get_Radio_Power() {
    FJParse::Radio_Power value = FJParse::RADIO_POWER_NONE;
    WithProtocol([&](Em_Gnss& g) { value = g.Get_Radio_Power(); });
    return value;
}

FJParse::Radio_Baudrate EmGnss_Receiver::Get_Radio_Baudrate() {
    FJParse::Radio_Baudrate value = FJParse::Radio_Baudrate(-1);
    WithProtocol([&](Em_Gnss& g) { value = g.Get_Radio_Baudrate(); });
    return value;
}

double EmGnss_Receiver::Get_Radio_Frq() {
    double value = -1.0;
    WithProtocol([&](Em_Gnss& g) { value = g.Get_Radio_Frq(); });
    return value;
}

FJParse::Rdo_Mdl EmGnss_Receiver::Get_Transmit_Mdl() {
    FJParse::Rdo_Mdl value = FJParse::Rdo_Mdl(-1);
    WithProtocol([&](Em_Gnss& g) { value = g.Get_Transmit_Mdl(); });
    return value;
}

int EmGnss_Receiver::Get_Radio_Range(FJParse::Radio_Range& range) {
    int result = -1;
    WithProtocol([&](Em_Gnss& g) { result = g.Get_Radio_Range(range); });
    return result;
}

int EmGnss_Receiver::Get_Radio_Info(FJParse::Radio_Info& info) {
    int result = -1;
    WithProtocol([&](Em_Gnss& g) { result = g.Get_Radio_Info(info); });
    return result;
}

// ---------------------------------------------------------------- PPK points

void EmGnss_Receiver::Send_StartPPKpt(FJParse::StartPointInfo* point) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_StartPPKpt(out, point); });
}

void EmGnss_Receiver::Send_EndPPKpt(FJParse::EndPointInfo* point) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_EndPPKpt(point, out); });
}

void EmGnss_Receiver::Send_AntHeightSettedPPKpt(FJParse::AntPointInfo* point) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_AntPPKpt(point, out); });
}

// ---------------------------------------------------------------- static recording, eBubble

void EmGnss_Receiver::Set_Static_Point(FJParse::Static_Point* point) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Static_Point(out, point); });
}

void EmGnss_Receiver::Send_Static_Point() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Static_Point(out); });
}

void EmGnss_Receiver::Set_Static_Begin(bool begin) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Static_Begin(out, begin); });
}

void EmGnss_Receiver::Set_Static_Begin(bool begin, unsigned short interval) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Static_Begin(out, begin, interval); });
}

void EmGnss_Receiver::Set_eBubble_frq(FJParse::GNSS_FRQ rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_eBubble_frq(out, rate); });
}

void EmGnss_Receiver::Set_eBubble_calibration(bool on, int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_eBubble_calibration(out, on, value); });
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
