// The command set of the maker's new binary protocol. Every command is one
// command block: the operation item (parameter 1 with the topic's set or
// query code) and the parameter items, packed into link frames. The
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

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

constexpr uint16_t kParamOperation = 1;

// Set codes of the topics (the query code follows each).
constexpr uint16_t kOpSystem = 10;
constexpr uint16_t kOpGnss = 14;
constexpr uint16_t kOpRadio = 22;
constexpr uint16_t kOpWifi = 34;
constexpr uint16_t kOpFileRecord = 38;
constexpr uint16_t kOpModem = 42;
constexpr uint16_t kOpNetLink = 46;
constexpr uint16_t kOpDataLink = 50;

// Data rates go out with the GNSS set code under this command id when
// several items (or one chosen by its id) are set together.
constexpr uint32_t kDataFreqCommandId = 14;

using Cmds = std::vector<_STR_CMD>;

// A parameter set with the value, or queried with none; the command carries
// the parameter id.
void SetOrQuery(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, const void* value) {
    const uint16_t op = value ? setOp : uint16_t(setOp + 1);
    PackNewCommand(gnss, out, {{kParamOperation, &op}, {id, value}}, id);
}

// A query of one parameter.
void Query(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint32_t commandId = 0) {
    const uint16_t op = uint16_t(setOp + 1);
    PackNewCommand(gnss, out, {{kParamOperation, &op}, {id, nullptr}}, commandId);
}

// An action or a switch: the parameter alone, with the set code.
void Action(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint32_t commandId) {
    PackNewCommand(gnss, out, {{kParamOperation, &setOp}, {id, nullptr}}, commandId);
}

// A parameter set to a u16 value.
void SetU16(const Em_Gnss& gnss, Cmds& out, uint16_t setOp, uint16_t id, uint16_t value, uint32_t commandId) {
    PackNewCommand(gnss, out, {{kParamOperation, &setOp}, {id, &value}}, commandId);
}

bool IsDataFreqId(uint16_t id) { return id >= kDataFreqFirstId && id <= kDataFreqLastId; }

}  // namespace

// ---- modem -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_Modem_Dial(Cmds& out, bool on) { Action(*this, out, kOpModem, on ? 5125 : 5126, 0); }
void Em_Gnss::Get_Cmd_Modem_Power(Cmds& out, bool on) { Action(*this, out, kOpModem, on ? 5127 : 5128, 0); }
void Em_Gnss::Get_Cmd_Modem_Auto_Dial(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, kOpModem, 5129, value);
}
void Em_Gnss::Get_Cmd_Modem_Auto_Power_On(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, kOpModem, 5130, value);
}
void Em_Gnss::Get_Cmd_Modem_Dial_Param(Cmds& out, const OV_MODEM_DIAL_PARA_STRUCT* value) {
    SetOrQuery(*this, out, kOpModem, 5123, value);
}
void Em_Gnss::Get_Cmd_Modem_Dial_Status_Query(Cmds& out) { Query(*this, out, kOpModem, 5124); }
void Em_Gnss::Get_Cmd_Modem_Power_Status_Query(Cmds& out) { Query(*this, out, kOpModem, 5131); }
void Em_Gnss::Get_Cmd_Modem_Signal_Intensity_Query(Cmds& out) { Query(*this, out, kOpModem, 5132); }
void Em_Gnss::Get_Cmd_Modem_Band_Mode(Cmds& out, const unsigned short* value) {
    SetOrQuery(*this, out, kOpModem, 5133, value);
}

// ---- GNSS ------------------------------------------------------------------

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, OV_DATA_FRQ_ENUM rate) {
    SetU16(*this, out, kOpGnss, kDataFreqFirstId, uint16_t(rate), kDataFreqFirstId);
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, const DataFreq& rate) {
    Get_Cmd_Gnss_Data_Freq(out, std::vector<DataFreq>{rate});
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmds& out, const std::vector<DataFreq>& rates) {
    if (!NewProtocolBoard(*this)) return;
    const uint16_t op = kOpGnss;
    std::vector<TlvItem> items;
    items.reserve(rates.size() + 1);
    items.push_back({kParamOperation, &op});
    for (const DataFreq& rate : rates) {
        // Only the rate items carry a u16: any other id would have its value
        // read as a record of another size.
        if (!IsDataFreqId(rate.dataId)) return;
        items.push_back({rate.dataId, &rate.rate});
    }
    PackTlvCommand(nullptr, out, items, kDataFreqCommandId);
}

void Em_Gnss::Get_Cmd_Gnss_IO_ID(Cmds& out, OV_GNSS_IO_ID_ENUM id) { SetU16(*this, out, kOpGnss, 1028, uint16_t(id), 0); }
void Em_Gnss::Get_Cmd_Gnss_ElevMask(Cmds& out, const unsigned char* degrees) {
    SetOrQuery(*this, out, kOpGnss, 1105, degrees);
}
void Em_Gnss::Get_Cmd_Gnss_Pdop_Mask(Cmds& out, const unsigned char* pdop) {
    SetOrQuery(*this, out, kOpGnss, 1104, pdop);
}
void Em_Gnss::Get_Cmd_Gnss_Diff_Type(Cmds& out, const unsigned short* type) {
    SetOrQuery(*this, out, kOpGnss, 1029, type);
}
void Em_Gnss::Get_Cmd_Gnss_Base_Position(Cmds& out, const OV_GNSS_BASE_SET_STRUCT* base) {
    SetOrQuery(*this, out, kOpGnss, 1106, base);
}
void Em_Gnss::Get_Cmd_Gnss_Sat_Enable(Cmds& out, const OV_GNSS_SATELLITE_ENABLE_STRUCT* enable) {
    SetOrQuery(*this, out, kOpGnss, 1109, enable);
}

// ---- system ----------------------------------------------------------------

void Em_Gnss::Get_Cmd_System_Admin(Cmds& out, unsigned short command) {
    SetU16(*this, out, kOpSystem, 776, command, 776);
}
void Em_Gnss::Get_Cmd_System_Power_Off(Cmds& out) { Action(*this, out, kOpSystem, 771, 771); }
void Em_Gnss::Get_Cmd_System_Power_Status_Query(Cmds& out) { Query(*this, out, kOpSystem, 772); }
void Em_Gnss::Get_Cmd_System_Reboot(Cmds& out) { Action(*this, out, kOpSystem, 773, 773); }
void Em_Gnss::Get_Cmd_System_Hardware_Info_Query(Cmds& out) { Query(*this, out, kOpSystem, 774); }
void Em_Gnss::Get_Cmd_System_Firmware_Info_Query(Cmds& out) { Query(*this, out, kOpSystem, 775); }
void Em_Gnss::Get_Cmd_System_GSensor_Valid(Cmds& out, OV_GSENSOR_VALID_PERIOD_STRUCT period) {
    const uint16_t op = kOpSystem;
    PackNewCommand(*this, out, {{kParamOperation, &op}, {777, &period}}, 777);
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
    SetOrQuery(*this, out, kOpNetLink, 4361, value);
}
void Em_Gnss::Get_Cmd_NetLink_Status_Query(Cmds& out) { Query(*this, out, kOpNetLink, 4357); }
void Em_Gnss::Get_Cmd_NetLink_Source_List_Query(Cmds& out) { Query(*this, out, kOpNetLink, 4358, 4358); }
void Em_Gnss::Get_Cmd_NetLink_Address(Cmds& out, const OV_IP_ADDRESS_STRUCT* address) {
    SetOrQuery(*this, out, kOpNetLink, 4355, address);
}
void Em_Gnss::Get_Cmd_NetLink_Server_Type(Cmds& out, const unsigned short* type) {
    SetOrQuery(*this, out, kOpNetLink, 4356, type);
}
void Em_Gnss::Get_Cmd_NetLink_Data_Source(Cmds& out, const OV_CORS_DATA_SOURCE_STRUCT* source) {
    SetOrQuery(*this, out, kOpNetLink, 4362, source);
}
void Em_Gnss::Get_Cmd_NetLink_Account(Cmds& out, const OV_ACCOUNT_STRUCT* account) {
    SetOrQuery(*this, out, kOpNetLink, 4363, account);
}
void Em_Gnss::Get_Cmd_NetLink_Connect(Cmds& out, bool on) {
    const uint16_t id = on ? 4359 : 4360;
    Action(*this, out, kOpNetLink, id, id);
}

// ---- data link -------------------------------------------------------------

void Em_Gnss::Get_Cmd_DataLink_Mode(Cmds& out, const unsigned short* mode) {
    SetOrQuery(*this, out, kOpDataLink, 5379, mode);
}
void Em_Gnss::Get_Cmd_DataLink_Differential_Data(Cmds& out, const OV_BLOCK_DATA_STRUCT* data) {
    const uint16_t op = kOpDataLink;
    PackNewCommand(*this, out, {{kParamOperation, &op}, {5380, data}}, 5380);
}

// ---- radio -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_Radio_Frequency(Cmds& out, const float* mhz) {
    // The packer sends the value's 32 bits as a u32.
    static_assert(sizeof(float) == sizeof(uint32_t));
    SetOrQuery(*this, out, kOpRadio, 1795, mhz);
}
void Em_Gnss::Get_Cmd_Radio_Power(Cmds& out, const unsigned* power) { SetOrQuery(*this, out, kOpRadio, 1796, power); }
void Em_Gnss::Get_Cmd_Radio_Stepper(Cmds& out, const unsigned* stepper) {
    SetOrQuery(*this, out, kOpRadio, 1801, stepper);
}
void Em_Gnss::Get_Cmd_Radio_Air_Baud(Cmds& out, const unsigned* baud) { SetOrQuery(*this, out, kOpRadio, 1803, baud); }
void Em_Gnss::Get_Cmd_Radio_Protocol(Cmds& out, const unsigned short* protocol) {
    SetOrQuery(*this, out, kOpRadio, 1804, protocol);
}
void Em_Gnss::Get_Cmd_Radio_Infolist_Query(Cmds& out) { Query(*this, out, kOpRadio, 1805); }
void Em_Gnss::Get_Cmd_Radio_Power_On(Cmds& out, bool on) { Action(*this, out, kOpRadio, on ? 1806 : 1807, 0); }
void Em_Gnss::Get_Cmd_Radio_Auto_Power_On(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, kOpRadio, 1808, value);
}
void Em_Gnss::Get_Cmd_Radio_Module_Type_Query(Cmds& out) { Query(*this, out, kOpRadio, 1809); }
void Em_Gnss::Get_Cmd_Radio_Power_Status_Query(Cmds& out) { Query(*this, out, kOpRadio, 1810); }

// ---- Wi-Fi -----------------------------------------------------------------

void Em_Gnss::Get_Cmd_WIFI_Param_AP(Cmds& out, const OV_WIFI_PARA_AP_STRUCT* ap) {
    SetOrQuery(*this, out, kOpWifi, 2563, ap);
}
void Em_Gnss::Get_Cmd_WIFI_Mode(Cmds& out, const unsigned short* mode) { SetOrQuery(*this, out, kOpWifi, 2564, mode); }
void Em_Gnss::Get_Cmd_WIFI_Auto_Open(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, kOpWifi, 2567, value);
}
void Em_Gnss::Get_Cmd_WIFI_Open(Cmds& out, bool on) { Action(*this, out, kOpWifi, on ? 2566 : 2565, 0); }
void Em_Gnss::Get_Cmd_WIFI_Power_Status_Query(Cmds& out) { Query(*this, out, kOpWifi, 2568); }

// ---- file recording --------------------------------------------------------

void Em_Gnss::Get_Cmd_File_Record_Open(Cmds& out, bool on) {
    Action(*this, out, kOpFileRecord, on ? 2819 : 2820, 0);
}
void Em_Gnss::Get_Cmd_File_Record_Auto_Open(Cmds& out, const unsigned char* value) {
    SetOrQuery(*this, out, kOpFileRecord, 2821, value);
}
void Em_Gnss::Get_Cmd_File_Record_Status_Query(Cmds& out) { Query(*this, out, kOpFileRecord, 2823); }
void Em_Gnss::Get_Cmd_File_Record_Param(Cmds& out, const OV_FILE_RECORD_CONFIG_STRUCT* config) {
    SetOrQuery(*this, out, kOpFileRecord, 2822, config);
}
void Em_Gnss::Get_Cmd_File_Record_PPK(Cmds& out, const OV_BLOCK_DATA_STRUCT* block) {
    const uint16_t op = kOpFileRecord;
    PackNewCommand(*this, out, {{kParamOperation, &op}, {2824, block}}, 2824);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
