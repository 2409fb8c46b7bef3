// The receiver object's members for the maker's new protocol: each command
// member queues what one command operation of the protocol object builds
// (nothing for a receiver it does not apply to), each getter copies what the
// receiver reported last, both under the protocol lock. The composite
// members build all their commands under one lock into one list, so that
// they reach the queue whole or not at all: where the receiver takes every
// step, a step that builds nothing drops the whole list.

#include "device/CompositeCommands.h"
#include "device/EmGnss_Receiver_Ops.h"

namespace Fjarnis2011 {
namespace FJDevice {

using namespace FJParse;
using Commands = std::vector<_STR_CMD>;

// ---- modem -----------------------------------------------------------------

void EmGnss_Receiver::Send_Modem_Dial(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Dial(out, on); });
}
void EmGnss_Receiver::Send_Modem_Power(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Power(out, on); });
}
void EmGnss_Receiver::Send_Modem_Auto_Dial(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Auto_Dial(out, value); });
}
void EmGnss_Receiver::Send_Modem_Auto_Power_On(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Auto_Power_On(out, value); });
}
void EmGnss_Receiver::Send_Modem_Dial_Param(const OV_MODEM_DIAL_PARA_STRUCT* param) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Dial_Param(out, param); });
}
void EmGnss_Receiver::Send_Modem_Dial_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Dial_Status_Query(out); });
}
void EmGnss_Receiver::Send_Modem_Power_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Power_Status_Query(out); });
}
void EmGnss_Receiver::Send_Modem_Signal_Intensity_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Signal_Intensity_Query(out); });
}
void EmGnss_Receiver::Send_Modem_Band_Mode(const unsigned short* mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Modem_Band_Mode(out, mode); });
}

// ---- GNSS ------------------------------------------------------------------

void EmGnss_Receiver::Send_Gnss_Data_Freq(OV_DATA_FRQ_ENUM rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Data_Freq(out, rate); });
}
void EmGnss_Receiver::Send_Gnss_Data_Freq(const DataFreq& rate) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Data_Freq(out, rate); });
}
void EmGnss_Receiver::Send_Gnss_Data_Freq(const std::vector<DataFreq>& rates) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Data_Freq(out, rates); });
}
void EmGnss_Receiver::Send_Gnss_IO_ID(OV_GNSS_IO_ID_ENUM id) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_IO_ID(out, id); });
}
void EmGnss_Receiver::Send_Gnss_ElevMask(const unsigned char* degrees) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_ElevMask(out, degrees); });
}
void EmGnss_Receiver::Send_Gnss_Pdop_Mask(const unsigned char* pdop) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Pdop_Mask(out, pdop); });
}
void EmGnss_Receiver::Send_Gnss_Diff_Type(const unsigned short* type) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Diff_Type(out, type); });
}
void EmGnss_Receiver::Send_Gnss_Base_Position(const OV_GNSS_BASE_SET_STRUCT* base) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Base_Position(out, base); });
}
void EmGnss_Receiver::Send_Gnss_Sat_Enable(const OV_GNSS_SATELLITE_ENABLE_STRUCT* enable) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Gnss_Sat_Enable(out, enable); });
}

// ---- system ----------------------------------------------------------------

void EmGnss_Receiver::Send_System_Admin_Cmd(unsigned short command) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Admin(out, command); });
}
void EmGnss_Receiver::Send_System_Power_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Power_Status_Query(out); });
}
void EmGnss_Receiver::Send_System_Power_Off() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Power_Off(out); });
}
void EmGnss_Receiver::Send_System_Reboot() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Reboot(out); });
}
void EmGnss_Receiver::Send_System_Hardware_Info_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Hardware_Info_Query(out); });
}
void EmGnss_Receiver::Send_System_Firmware_Info_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_Firmware_Info_Query(out); });
}
void EmGnss_Receiver::Send_System_GSensor_Valid(OV_GSENSOR_VALID_PERIOD_STRUCT period) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_System_GSensor_Valid(out, period); });
}

// ---- network link ----------------------------------------------------------

void EmGnss_Receiver::Send_NetLink_Auto_Open(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Auto_Open(out, value); });
}
void EmGnss_Receiver::Send_NetLink_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Status_Query(out); });
}
void EmGnss_Receiver::Send_NetLink_Source_List_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Source_List_Query(out); });
}
void EmGnss_Receiver::Send_NetLink_Address(const OV_IP_ADDRESS_STRUCT* address) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Address(out, address); });
}
void EmGnss_Receiver::Send_NetLink_Server_Type(const unsigned short* type) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Server_Type(out, type); });
}
void EmGnss_Receiver::Send_NetLink_Data_Source(const OV_CORS_DATA_SOURCE_STRUCT* source) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Data_Source(out, source); });
}
void EmGnss_Receiver::Send_NetLink_Account(const OV_ACCOUNT_STRUCT* account) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Account(out, account); });
}
void EmGnss_Receiver::Send_NetLink_Connect(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_NetLink_Connect(out, on); });
}

// ---- data link -------------------------------------------------------------

void EmGnss_Receiver::Send_DataLink_Mode(const unsigned short* mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_DataLink_Mode(out, mode); });
}
void EmGnss_Receiver::Send_DataLink_Differential_Data(const OV_BLOCK_DATA_STRUCT* data) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_DataLink_Differential_Data(out, data); });
}

// ---- radio -----------------------------------------------------------------

void EmGnss_Receiver::Send_Radio_Frequency(const float* mhz) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Frequency(out, mhz); });
}
void EmGnss_Receiver::Send_Radio_Power(const unsigned int* power) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Power(out, power); });
}
void EmGnss_Receiver::Send_Radio_Stepper(const unsigned int* stepper) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Stepper(out, stepper); });
}
void EmGnss_Receiver::Send_Radio_Air_Baud(const unsigned int* baud) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Air_Baud(out, baud); });
}
void EmGnss_Receiver::Send_Radio_Protocol(const unsigned short* protocol) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Protocol(out, protocol); });
}
void EmGnss_Receiver::Send_Radio_Infolist_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Infolist_Query(out); });
}
void EmGnss_Receiver::Send_Radio_Power_On(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Power_On(out, on); });
}
void EmGnss_Receiver::Send_Radio_Auto_Power_On(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Auto_Power_On(out, value); });
}
void EmGnss_Receiver::Send_Radio_Module_Type_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Module_Type_Query(out); });
}
void EmGnss_Receiver::Send_Radio_Power_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_Radio_Power_Status_Query(out); });
}

// ---- Wi-Fi -----------------------------------------------------------------

void EmGnss_Receiver::Send_WIFI_Param_AP(const OV_WIFI_PARA_AP_STRUCT* ap) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_WIFI_Param_AP(out, ap); });
}
void EmGnss_Receiver::Send_WIFI_Mode(const unsigned short* mode) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_WIFI_Mode(out, mode); });
}
void EmGnss_Receiver::Send_WIFI_Auto_Open(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_WIFI_Auto_Open(out, value); });
}
void EmGnss_Receiver::Send_WIFI_Open(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_WIFI_Open(out, on); });
}
void EmGnss_Receiver::Send_WIFI_Power_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_WIFI_Power_Status_Query(out); });
}

// ---- file recording --------------------------------------------------------

void EmGnss_Receiver::Send_File_Record_Open(bool on) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_File_Record_Open(out, on); });
}
void EmGnss_Receiver::Send_File_Record_Auto_Open(const unsigned char* value) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_File_Record_Auto_Open(out, value); });
}
void EmGnss_Receiver::Send_File_Record_Status_Query() {
    QueueCommands([](Em_Gnss& g, Commands& out) { g.Get_Cmd_File_Record_Status_Query(out); });
}
void EmGnss_Receiver::Send_File_Record_Param(const OV_FILE_RECORD_CONFIG_STRUCT* config) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_File_Record_Param(out, config); });
}
void EmGnss_Receiver::Send_File_Record_PPK(const OV_BLOCK_DATA_STRUCT* block) {
    QueueCommands([&](Em_Gnss& g, Commands& out) { g.Get_Cmd_File_Record_PPK(out, block); });
}

// ---- built on the members above --------------------------------------------

void EmGnss_Receiver::Send_Gprs_Signal() { Send_Modem_Signal_Intensity_Query(); }

void EmGnss_Receiver::Send_Gprs_CosMdl() { Send_NetLink_Auto_Open(nullptr); }

void EmGnss_Receiver::Send_Gnss_ElevMask() { Send_Gnss_ElevMask(nullptr); }

void EmGnss_Receiver::Set_Gnss_ElevMask(unsigned int mask) {
    const unsigned char degrees = static_cast<unsigned char>(mask);
    Send_Gnss_ElevMask(&degrees);
}

void EmGnss_Receiver::Set_Gprs_CosMdl(unsigned int mode) {
    const unsigned char v = static_cast<unsigned char>(mode);
    QueueCommands([&](Em_Gnss& g, Commands& out) {
        auto linkAutoOpen = [&](Commands& o) { g.Get_Cmd_NetLink_Auto_Open(o, &v); };
        if (v == 0) {
            linkAutoOpen(out);
            return;
        }
        // The old-protocol receivers take only the link's auto-open (as
        // their modem's login mode).
        BuildWhole(
            out, g.IsOrvelNewProtocolReceiver(), [&](Commands& o) { g.Get_Cmd_Modem_Auto_Power_On(o, &v); },
            [&](Commands& o) { g.Get_Cmd_Modem_Auto_Dial(o, &v); }, linkAutoOpen);
    });
}

void EmGnss_Receiver::Disable_Other_DataLink(OV_DATALINK_MODE_ENUM mode) {
    if (mode != OV_DATALINK_MODE_NO_NETLINK && mode != OV_DATALINK_MODE_NO_RADIO_A &&
        mode != OV_DATALINK_MODE_NO_RADIO_B && mode != OV_DATALINK_MODE_NEITHER)
        return;
    QueueCommands([&](Em_Gnss& g, Commands& out) {
        auto netLinkOff = [&](Commands& o) { g.Get_Cmd_NetLink_Connect(o, false); };
        auto radioOff = [&](Commands& o) { g.Get_Cmd_Radio_Power_On(o, false); };
        const bool newProtocol = g.IsOrvelNewProtocolReceiver();
        if (mode == OV_DATALINK_MODE_NO_NETLINK)
            netLinkOff(out);
        else if (mode == OV_DATALINK_MODE_NEITHER)
            BuildWhole(out, newProtocol, netLinkOff, radioOff);
        else
            radioOff(out);
    });
}

// ---- getters ---------------------------------------------------------------

void EmGnss_Receiver::Get_Cmd_Setting_Response(OV_RESPONSE_STATUS_ENUM& status, unsigned int& commandId) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Cmd_Setting_Response(status, commandId); });
}
unsigned char EmGnss_Receiver::Get_Modem_Auto_Dial() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Modem_Auto_Dial(); });
    return v;
}
unsigned char EmGnss_Receiver::Get_Modem_Auto_Power_On() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Modem_Auto_Power_On(); });
    return v;
}
void EmGnss_Receiver::Get_Modem_Dial_Param(OV_MODEM_DIAL_PARA_STRUCT& param) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Modem_Dial_Param(param); });
}
void EmGnss_Receiver::Get_Modem_Dial_Status(OV_MODEM_DIAL_STATUS_STRUCT& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Modem_Dial_Status(status); });
}
void EmGnss_Receiver::Get_Modem_Power_Status(OV_MODEM_POWER_STATUS_ENUM& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Modem_Power_Status(status); });
}
void EmGnss_Receiver::Get_Modem_Signal_Intensity(OV_MODEM_SIGNAL_INTENSITY_STRUCT& signal) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Modem_Signal_Intensity(signal); });
}
void EmGnss_Receiver::Get_Modem_Band_Mode(OV_MODEM_BAND_MODE_ENUM& mode) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Modem_Band_Mode(mode); });
}
int EmGnss_Receiver::Get_Gnss_ElevMask() {
    int v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Gnss_ElevMask(); });
    return v;
}
int EmGnss_Receiver::Get_Gnss_Pdop_Mask() {
    int v = -1;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Gnss_Pdop_Mask(); });
    return v;
}
const unsigned char* EmGnss_Receiver::Get_Gnss_Data_Buff(unsigned int& length) {
    const unsigned char* text = nullptr;
    WithProtocol([&](Em_Gnss& g) { text = g.Get_Gnss_Data_Buff(length); });
    return text;
}
void EmGnss_Receiver::Get_Gnss_Diff_Type(OV_GNSS_DIFF_TYPE_ENUM& type) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Diff_Type(type); });
}
void EmGnss_Receiver::Get_Gnss_Base_Position(OV_GNSS_BASE_SET_STRUCT& base) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Base_Position(base); });
}
void EmGnss_Receiver::Get_Gnss_Sat_Enable(OV_GNSS_SATELLITE_ENABLE_STRUCT& enable) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gnss_Sat_Enable(enable); });
}
void EmGnss_Receiver::Get_System_Power_Status(OV_SYSTEM_POWER_STATUS_STRUCT& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_System_Power_Status(status); });
}
void EmGnss_Receiver::Get_System_Hardware_Info(OV_SYSTEM_HARDWARE_INFO_STRUCT& info) {
    WithProtocol([&](Em_Gnss& g) { g.Get_System_Hardware_Info(info); });
}
void EmGnss_Receiver::Get_System_Firmware_Info(OV_SYSTEM_FIRMWARE_VERSION_STRUCT& info) {
    WithProtocol([&](Em_Gnss& g) { g.Get_System_Firmware_Info(info); });
}
unsigned char EmGnss_Receiver::Get_NetLink_Auto_Open() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_NetLink_Auto_Open(); });
    return v;
}
void EmGnss_Receiver::Get_NetLink_Status(OV_NETLINK_STATUS_STRUCT& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Status(status); });
}
void EmGnss_Receiver::Get_NetLink_Source_List(const unsigned char*& text, unsigned int& length) {
    if (!WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Source_List(text, length); })) length = 0;
}
void EmGnss_Receiver::Get_NetLink_Address(OV_IP_ADDRESS_STRUCT& address) {
    WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Address(address); });
}
void EmGnss_Receiver::Get_NetLink_Server_Type(OV_NETLINK_SERVER_TYPE_ENUM& type) {
    WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Server_Type(type); });
}
void EmGnss_Receiver::Get_NetLink_Data_Source(OV_CORS_DATA_SOURCE_STRUCT& source) {
    WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Data_Source(source); });
}
void EmGnss_Receiver::Get_NetLink_Account(OV_ACCOUNT_STRUCT& account) {
    WithProtocol([&](Em_Gnss& g) { g.Get_NetLink_Account(account); });
}
void EmGnss_Receiver::Get_DataLink_Mode(OV_DATALINK_MODE_ENUM& mode) {
    WithProtocol([&](Em_Gnss& g) { g.Get_DataLink_Mode(mode); });
}
float EmGnss_Receiver::Get_Radio_Frequency() {
    float v = 0.0f;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Radio_Frequency(); });
    return v;
}
unsigned int EmGnss_Receiver::Get_Radio_Power_V2() {
    unsigned int v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Radio_Power_V2(); });
    return v;
}
unsigned int EmGnss_Receiver::Get_Radio_Stepper() {
    unsigned int v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Radio_Stepper(); });
    return v;
}
unsigned int EmGnss_Receiver::Get_Radio_Air_Baud() {
    unsigned int v = 4800;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Radio_Air_Baud(); });
    return v;
}
void EmGnss_Receiver::Get_Radio_Protocol(OV_RADIO_PROTOCOL_ENUM& protocol) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Protocol(protocol); });
}
void EmGnss_Receiver::Get_Radio_Infolist(OV_RADIO_INFOLIST_STRUCT& info) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Infolist(info); });
}
unsigned char EmGnss_Receiver::Get_Radio_Auto_Power_On() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_Radio_Auto_Power_On(); });
    return v;
}
void EmGnss_Receiver::Get_Radio_Module_Type(OV_RADIO_MODULE_TYPE_ENUM& type) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Module_Type(type); });
}
void EmGnss_Receiver::Get_Radio_Power_Status(OV_RADIO_POWER_STATUS_ENUM& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Radio_Power_Status(status); });
}
void EmGnss_Receiver::Get_WIFI_Param_AP(OV_WIFI_PARA_AP_STRUCT& ap) {
    WithProtocol([&](Em_Gnss& g) { g.Get_WIFI_Param_AP(ap); });
}
void EmGnss_Receiver::Get_WIFI_Mode(OV_WIFI_MODE_ENUM& mode) {
    WithProtocol([&](Em_Gnss& g) { g.Get_WIFI_Mode(mode); });
}
unsigned char EmGnss_Receiver::Get_WIFI_Auto_Open() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_WIFI_Auto_Open(); });
    return v;
}
void EmGnss_Receiver::Get_WIFI_Power_Status(OV_WIFI_POWER_STATUS_ENUM& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_WIFI_Power_Status(status); });
}
unsigned char EmGnss_Receiver::Get_File_Record_Auto_Open() {
    unsigned char v = 0;
    WithProtocol([&](Em_Gnss& g) { v = g.Get_File_Record_Auto_Open(); });
    return v;
}
void EmGnss_Receiver::Get_File_Record_Status(OV_FILE_RECORD_STATUS_ENUM& status) {
    WithProtocol([&](Em_Gnss& g) { g.Get_File_Record_Status(status); });
}
void EmGnss_Receiver::Get_File_Record_Param(OV_FILE_RECORD_CONFIG_STRUCT& config) {
    WithProtocol([&](Em_Gnss& g) { g.Get_File_Record_Param(config); });
}
void EmGnss_Receiver::Get_Com_Baudrate(OV_COM_BAUD_ENUM& baud) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Com_Baudrate(baud); });
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
