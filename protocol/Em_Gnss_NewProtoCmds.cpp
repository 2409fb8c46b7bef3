// The command set of the maker's new binary protocol. Every command is one
// command block: the operation item (OvParam::Operation with the topic's set
// or query code, OvOp) and the parameter items, packed into link frames. The
// parameter ids of a topic share their high byte, and each topic's query
// code is its set code plus one:
//
//   COM 01xxh: 2 | system 03xxh: 10/11 | GNSS 04xxh: 14/15 | radio 07xxh: 22/23
//   Wi-Fi 0Axxh: 34/35 | file recording 0Bxxh: 38/39 | network link 11xxh: 46/47
//   modem 14xxh: 42/43 | data link 15xxh: 50/51
//
// Only the maker's new-protocol receiver with its board gets them; every
// other receiver gets nothing (the network link's auto-open alone has an
// old-protocol form).

#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/newproto/Em_OvParams.h"

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

namespace P = OvParam;

// Data rates go out with the GNSS set code under this command id when
// several items (or one chosen by its id) are set together.
constexpr uint32_t kDataFreqCommandId = 14;

using Cmds = std::vector<_STR_CMD>;

// A parameter set with the value, or queried with none; the command carries
// the parameter id.
void SetOrQuery(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, const void* value) {
    const uint16_t op = value ? setOp : uint16_t(setOp + 1);
    PackNewCommand(gnss, out, {{P::Operation, &op}, {id, value}}, id);
}

// A query of one parameter.
void Query(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint32_t commandId = 0) {
    const uint16_t op = uint16_t(setOp + 1);
    PackNewCommand(gnss, out, {{P::Operation, &op}, {id, nullptr}}, commandId);
}

// An action or a switch: the parameter alone, with the set code.
void Action(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint32_t commandId) {
    PackNewCommand(gnss, out, {{P::Operation, &setOp}, {id, nullptr}}, commandId);
}

// A parameter set to a u16 value.
void SetU16(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint16_t value, uint32_t commandId) {
    PackNewCommand(gnss, out, {{P::Operation, &setOp}, {id, &value}}, commandId);
}

bool IsDataFreqId(uint16_t id) { return id >= kDataFreqFirstId && id <= kDataFreqLastId; }

}  // namespace

// ---- modem -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_Modem_Dial(Cmds& out, bool on) {
    Action(*this, out, OvOp::ModemSet, on ? P::ModemDial : P::ModemHangUp, 0);
}
void Em_Gnss::Get_Cmd_Modem_Power(Cmds& out, bool on) {
    Action(*this, out, OvOp::ModemSet, on ? P::ModemPowerOn : P::ModemPowerOff, 0);
}
void Em_Gnss::Get_Cmd_Modem_Auto_Dial(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, OvOp::ModemSet, P::ModemAutoDial, value);
}
void Em_Gnss::Get_Cmd_Modem_Auto_Power_On(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, OvOp::ModemSet, P::ModemAutoPowerOn, value);
}
void Em_Gnss::Get_Cmd_Modem_Dial_Param(Cmds& out, const OV_MODEM_DIAL_PARA_STRUCT* value) {
    SetOrQuery(*this, out, OvOp::ModemSet, P::ModemDialParam, value);
}
void Em_Gnss::Get_Cmd_Modem_Dial_Status_Query(Cmds& out) { Query(*this, out, OvOp::ModemSet, P::ModemDialStatus); }
void Em_Gnss::Get_Cmd_Modem_Power_Status_Query(Cmds& out) { Query(*this, out, OvOp::ModemSet, P::ModemPowerStatus); }
void Em_Gnss::Get_Cmd_Modem_Signal_Intensity_Query(Cmds& out) { Query(*this, out, OvOp::ModemSet, P::ModemSignal); }
void Em_Gnss::Get_Cmd_Modem_Band_Mode(Cmds& out, const unsigned short* value) {
    SetOrQuery(*this, out, OvOp::ModemSet, P::ModemBandMode, value);
}

// ---- GNSS ------------------------------------------------------------------

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, OV_DATA_FRQ_ENUM rate) {
    SetU16(*this, out, OvOp::GnssSet, kDataFreqFirstId, uint16_t(rate), kDataFreqFirstId);
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, const DataFreq& rate) {
    Get_Cmd_Gnss_Data_Freq(out, std::vector<DataFreq>{rate});
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, const std::vector<DataFreq>& rates) {
    if (!NewProtocolBoard(*this)) return;
    const uint16_t op = OvOp::GnssSet;
    std::vector<TlvItem> items;
    items.reserve(rates.size() + 1);
    items.push_back({P::Operation, &op});
    for (const DataFreq& rate : rates) {
        // Only the rate items carry a u16: any other id would have its value
        // read as a record of another size.
        if (!IsDataFreqId(rate.dataId)) return;
        items.push_back({rate.dataId, &rate.rate});
    }
    PackTlvCommand(nullptr, out, items, kDataFreqCommandId);
}

void Em_Gnss::Get_Cmd_Gnss_IO_ID(Cmds& out, OV_GNSS_IO_ID_ENUM id) {
    SetU16(*this, out, OvOp::GnssSet, P::GnssIoId, uint16_t(id), 0);
}
void Em_Gnss::Get_Cmd_Gnss_ElevMask(Cmds& out, const unsigned char* degrees) {
    SetOrQuery(*this, out, OvOp::GnssSet, P::GnssElevMask, degrees);
}
void Em_Gnss::Get_Cmd_Gnss_Pdop_Mask(Cmds& out, const unsigned char* pdop) {
    SetOrQuery(*this, out, OvOp::GnssSet, P::GnssPdopMask, pdop);
}
void Em_Gnss::Get_Cmd_Gnss_Diff_Type(Cmds& out, const unsigned short* type) {
    SetOrQuery(*this, out, OvOp::GnssSet, P::GnssDiffType, type);
}
void Em_Gnss::Get_Cmd_Gnss_Base_Position(Cmds& out, const OV_GNSS_BASE_SET_STRUCT* base) {
    SetOrQuery(*this, out, OvOp::GnssSet, P::GnssBaseSet, base);
}
void Em_Gnss::Get_Cmd_Gnss_Sat_Enable(Cmds& out, const OV_GNSS_SATELLITE_ENABLE_STRUCT* enable) {
    SetOrQuery(*this, out, OvOp::GnssSet, P::GnssSatEnable, enable);
}

// ---- system ----------------------------------------------------------------

void Em_Gnss::Get_Cmd_System_Admin(Cmds& out, unsigned short command) {
    SetU16(*this, out, OvOp::SystemSet, P::SystemAdmin, command, P::SystemAdmin);
}
void Em_Gnss::Get_Cmd_System_Power_Off(Cmds& out) {
    Action(*this, out, OvOp::SystemSet, P::SystemPowerOff, P::SystemPowerOff);
}
void Em_Gnss::Get_Cmd_System_Power_Status_Query(Cmds& out) { Query(*this, out, OvOp::SystemSet, P::SystemPowerStatus); }
void Em_Gnss::Get_Cmd_System_Reboot(Cmds& out) {
    Action(*this, out, OvOp::SystemSet, P::SystemReboot, P::SystemReboot);
}
void Em_Gnss::Get_Cmd_System_Hardware_Info_Query(Cmds& out) {
    Query(*this, out, OvOp::SystemSet, P::SystemHardwareInfo);
}
void Em_Gnss::Get_Cmd_System_Firmware_Info_Query(Cmds& out) {
    Query(*this, out, OvOp::SystemSet, P::SystemFirmwareInfo);
}
void Em_Gnss::Get_Cmd_System_GSensor_Valid(Cmds& out, OV_GSENSOR_VALID_PERIOD_STRUCT period) {
    const uint16_t op = OvOp::SystemSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::SystemGSensorValid, &period}}, P::SystemGSensorValid);
}

// ---- network link ----------------------------------------------------------

void Em_Gnss::Get_Cmd_NetLink_Auto_Open(Cmds& out, const unsigned char* value) {
    // The old-protocol receivers open their link by the modem's login mode.
    if (IsOrvelOldProtocolReceiver()) {
        if (value)
            Set_Gprs_CosMdl(out, *value);
        else
            Get_Gprs_CosMdl(out);
        return;
    }
    SetOrQuery(*this, out, OvOp::NetLinkSet, P::NetLinkAutoOpen, value);
}
void Em_Gnss::Get_Cmd_NetLink_Status_Query(Cmds& out) { Query(*this, out, OvOp::NetLinkSet, P::NetLinkStatus); }
void Em_Gnss::Get_Cmd_NetLink_Source_List_Query(Cmds& out) {
    Query(*this, out, OvOp::NetLinkSet, P::NetLinkSourceList, P::NetLinkSourceList);
}
void Em_Gnss::Get_Cmd_NetLink_Address(Cmds& out, const OV_IP_ADDRESS_STRUCT* address) {
    SetOrQuery(*this, out, OvOp::NetLinkSet, P::NetLinkAddress, address);
}
void Em_Gnss::Get_Cmd_NetLink_Server_Type(Cmds& out, const unsigned short* type) {
    SetOrQuery(*this, out, OvOp::NetLinkSet, P::NetLinkServerType, type);
}
void Em_Gnss::Get_Cmd_NetLink_Data_Source(Cmds& out, const OV_CORS_DATA_SOURCE_STRUCT* source) {
    SetOrQuery(*this, out, OvOp::NetLinkSet, P::NetLinkMountPoint, source);
}
void Em_Gnss::Get_Cmd_NetLink_Account(Cmds& out, const OV_ACCOUNT_STRUCT* account) {
    SetOrQuery(*this, out, OvOp::NetLinkSet, P::NetLinkAccount, account);
}
void Em_Gnss::Get_Cmd_NetLink_Connect(Cmds& out, bool on) {
    const uint16_t id = on ? P::NetLinkConnect : P::NetLinkDisconnect;
    Action(*this, out, OvOp::NetLinkSet, id, id);
}

// ---- data link -------------------------------------------------------------

void Em_Gnss::Get_Cmd_DataLink_Mode(Cmds& out, const unsigned short* mode) {
    SetOrQuery(*this, out, OvOp::DataLinkSet, P::DataLinkMode, mode);
}
void Em_Gnss::Get_Cmd_DataLink_Differential_Data(Cmds& out, const OV_BLOCK_DATA_STRUCT* data) {
    const uint16_t op = OvOp::DataLinkSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::DataLinkDiffData, data}}, P::DataLinkDiffData);
}

// ---- radio -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_Radio_Frequency(Cmds& out, const float* mhz) {
    // The packer sends the value's 32 bits as a u32.
    static_assert(sizeof(float) == sizeof(uint32_t));
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioFrequency, mhz);
}
void Em_Gnss::Get_Cmd_Radio_Power(Cmds& out, const unsigned* power) {
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioPower, power);
}
void Em_Gnss::Get_Cmd_Radio_Stepper(Cmds& out, const unsigned* stepper) {
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioStepper, stepper);
}
void Em_Gnss::Get_Cmd_Radio_Air_Baud(Cmds& out, const unsigned* baud) {
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioAirBaud, baud);
}
void Em_Gnss::Get_Cmd_Radio_Protocol(Cmds& out, const unsigned short* protocol) {
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioProtocol, protocol);
}
void Em_Gnss::Get_Cmd_Radio_Infolist_Query(Cmds& out) { Query(*this, out, OvOp::RadioSet, P::RadioInfoList); }
void Em_Gnss::Get_Cmd_Radio_Power_On(Cmds& out, bool on) {
    Action(*this, out, OvOp::RadioSet, on ? P::RadioPowerOn : P::RadioPowerOff, 0);
}
void Em_Gnss::Get_Cmd_Radio_Auto_Power_On(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, OvOp::RadioSet, P::RadioAutoPowerOn, value);
}
void Em_Gnss::Get_Cmd_Radio_Module_Type_Query(Cmds& out) { Query(*this, out, OvOp::RadioSet, P::RadioModuleType); }
void Em_Gnss::Get_Cmd_Radio_Power_Status_Query(Cmds& out) { Query(*this, out, OvOp::RadioSet, P::RadioPowerStatus); }

// ---- Wi-Fi -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_WIFI_Param_AP(Cmds& out, const OV_WIFI_PARA_AP_STRUCT* ap) {
    SetOrQuery(*this, out, OvOp::WifiSet, P::WifiParamAp, ap);
}
void Em_Gnss::Get_Cmd_WIFI_Mode(Cmds& out, const unsigned short* mode) {
    SetOrQuery(*this, out, OvOp::WifiSet, P::WifiMode, mode);
}
void Em_Gnss::Get_Cmd_WIFI_Auto_Open(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, OvOp::WifiSet, P::WifiAutoOpen, value);
}
void Em_Gnss::Get_Cmd_WIFI_Open(Cmds& out, bool on) {
    Action(*this, out, OvOp::WifiSet, on ? P::WifiOpen : P::WifiClose, 0);
}
void Em_Gnss::Get_Cmd_WIFI_Power_Status_Query(Cmds& out) { Query(*this, out, OvOp::WifiSet, P::WifiPowerStatus); }

// ---- file recording --------------------------------------------------------

void Em_Gnss::Get_Cmd_File_Record_Open(Cmds& out, bool on) {
    Action(*this, out, OvOp::FileRecordSet, on ? P::FileRecordOpen : P::FileRecordClose, 0);
}
void Em_Gnss::Get_Cmd_File_Record_Auto_Open(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, OvOp::FileRecordSet, P::FileRecordAutoOpen, value);
}
void Em_Gnss::Get_Cmd_File_Record_Status_Query(Cmds& out) {
    Query(*this, out, OvOp::FileRecordSet, P::FileRecordStatus);
}
void Em_Gnss::Get_Cmd_File_Record_Param(Cmds& out, const OV_FILE_RECORD_CONFIG_STRUCT* config) {
    SetOrQuery(*this, out, OvOp::FileRecordSet, P::FileRecordConfig, config);
}
void Em_Gnss::Get_Cmd_File_Record_PPK(Cmds& out, const OV_BLOCK_DATA_STRUCT* block) {
    const uint16_t op = OvOp::FileRecordSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::FileRecordPpk, block}}, P::FileRecordPpk);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
