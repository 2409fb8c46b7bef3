// The receiver object's command operations: each asks the protocol object for
// the records of one command for the attached receiver and queues them for
// the writing thread. What a command looks like (old "$$" frames, new-protocol
// link frames, or nothing when the receiver does not take it) is the protocol
// object's choice; here it is only locked, queued and paced.

#include "device/EmGnss_Receiver_Ops.h"

#include <algorithm>
#include <climits>

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::_STR_CMD;
using FJParse::Em_Gnss;
using Commands = std::vector<_STR_CMD>;

// ---------------------------------------------------------------- device

void EmGnss_Receiver::Send_DeviceInfo() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_DeviceInfo(out); });
}

void EmGnss_Receiver::Send_Battery() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Battery(out); });
}

void EmGnss_Receiver::Send_CloseReceiver() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_CloseReceiver(out); });
}

void EmGnss_Receiver::Send_Gprs_DiffInfo() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Gprs_DiffInfo(out); });
}

void EmGnss_Receiver::Send_Gnss_Reset() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gnss_Reset(out); });
}

void EmGnss_Receiver::Send_DevcInfo_Update_Str() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_DevcInfo_Update_Str(out); });
}

void EmGnss_Receiver::Send_DevcInfo_Update_Crs(unsigned int index, unsigned char* block, unsigned int length) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Send_DevcInfo_Update_Crs(out, index, block, length); });
}

void EmGnss_Receiver::Set_DevcInfo_Mask(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_Mask(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_RrdTp(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_RrdTp(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_RrdTime(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_RrdTime(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_RrdFrq(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_RrdFrq(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_OutPut(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_OutPut(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_StrtTp(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_StrtTp(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_TrsmtPort(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_TrsmtPort(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_TrsmtFmat(unsigned int value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_TrsmtFmat(out, value); });
}

void EmGnss_Receiver::Set_DevcInfo_AutoBaseDist(unsigned short distance) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_DevcInfo_AutoBaseDist(out, distance); });
}

// ---------------------------------------------------------------- port rate

void EmGnss_Receiver::Send_Com_Baudrate(FJParse::OV_COM_BAUD_ENUM* baud, FJParse::OV_COM_PORT_ENUM port) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Com_Baudrate(out, baud, port); });
}

void EmGnss_Receiver::Set_Com_Baudrate(FJParse::OV_COM_BAUD_ENUM baud, FJParse::OV_COM_PORT_ENUM port) {
    Send_Com_Baudrate(&baud, port);
}

void EmGnss_Receiver::Set_Com_Baudrate(Com_Baudrate choice) {
    FJParse::OV_COM_BAUD_ENUM baud;
    switch (choice) {
    case COM_BAUD_19200: baud = FJParse::OV_COM_BAUD_19200; break;
    case COM_BAUD_38400: baud = FJParse::OV_COM_BAUD_38400; break;
    case COM_BAUD_57600: baud = FJParse::OV_COM_BAUD_57600; break;
    case COM_BAUD_115200: baud = FJParse::OV_COM_BAUD_115200; break;
    default: baud = FJParse::OV_COM_BAUD_9600; break;
    }
    // The program's rate choice is for the receiver's first port.
    Send_Com_Baudrate(&baud, FJParse::OV_COM_PORT_ENUM(1));
}

// ---------------------------------------------------------------- modem

bool EmGnss_Receiver::Send_Gprs_Version() {
    bool appended = false;
    QueueCommands([&](Em_Gnss& g, Commands& out) { appended = g.Send_Gprs_Version(out); });
    return appended;
}

void EmGnss_Receiver::Send_Gprs_Info() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gprs_Info(out); });
}

void EmGnss_Receiver::Send_Gprs_Status() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gprs_Status(out); });
}

void EmGnss_Receiver::Send_Gprs_Eroinfo() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gprs_Eroinfo(out); });
}

void EmGnss_Receiver::Send_Gprs_Reset() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Gprs_Reset(out); });
}

void EmGnss_Receiver::Send_Gprs_DisConct() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Gprs_DisConct(out); });
}

void EmGnss_Receiver::Set_Gprs_Ip(FJParse::IP_ADRES address, unsigned int port, FJParse::Protocol_Net protocol) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gprs_Ip(out, address, port, protocol); });
}

void EmGnss_Receiver::Set_Gprs_SvcInfo(FJParse::SvcInfo info) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gprs_SvcInfo(out, info); });
}

void EmGnss_Receiver::Set_GSM_NumInfo(char* number) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_GSM_NumInfo(out, number); });
}

void EmGnss_Receiver::Set_Gprs_Modle(FJParse::Gprs_Modle mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gprs_Modle(out, mode); });
}

void EmGnss_Receiver::Set_Gprs_Baseid(unsigned char* id, unsigned long length) {
    // The protocol object takes a 32-bit length (and sends at most the base
    // id's field); a larger count must not wrap to a small one.
    const unsigned n = unsigned(std::min<unsigned long>(length, UINT_MAX));
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Gprs_BaseId(out, id, n); });
}

void EmGnss_Receiver::Send_Dial_Prtl() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Dial_Prtl(out); });
}

void EmGnss_Receiver::Set_Dial_Prtl(unsigned int protocol) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Dial_Prtl(out, protocol); });
}

// ---------------------------------------------------------------- NTRIP login

void EmGnss_Receiver::Set_Cors_Login(const FJParse::cors_info& login) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Cors_Login(out, login); });
}

void EmGnss_Receiver::Set_Cors_Info_Auto(const FJParse::cors_info& login, unsigned int mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Set_Cors_Info_Auto(out, login, mode); });
}

void EmGnss_Receiver::Send_Cors_Info_Auto() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Cors_Info_Auto(out); });
}

void EmGnss_Receiver::Send_Gprs_GetList() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Send_Gprs_GetList(out); });
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
