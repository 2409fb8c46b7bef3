// Getters of what the maker's new-protocol receiver reported: each copies
// the record one parameter's reply item left in the new-protocol board's
// report parser. On any other receiver, or before the board is known, a
// getter with a result gives its stated default and an out-parameter is left
// as it was, so a caller's own value survives.

#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"

#include <bit>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

// The new-protocol records, or null when the receiver is not on that
// protocol.
const Q50_Records* Records(const Em_Gnss& gnss) {
    const Em_RepParser_Q50* parser = NewParser(gnss);
    return parser ? &parser->records : nullptr;
}

// A getter of one value with a default.
template <class T, class Read>
T ReadOr(const Em_Gnss& gnss, T fallback, Read&& read) {
    const Q50_Records* r = Records(gnss);
    return r ? T(read(*r)) : fallback;
}

// A getter that fills its out-parameter only on the new protocol.
template <class Out, class Read>
void ReadInto(const Em_Gnss& gnss, Out& out, Read&& read) {
    if (const Q50_Records* r = Records(gnss)) out = Out(read(*r));
}

constexpr unsigned kDefaultAirBaud = 4800;

}  // namespace

void Em_Gnss::Get_Cmd_Setting_Response(OV_RESPONSE_STATUS_ENUM& status, unsigned& commandId) const {
    const Em_RepParser_Q50* parser = NewParser(*this);
    if (!parser) return;
    status = OV_RESPONSE_STATUS_ENUM(parser->records.responseStatus);
    commandId = parser->commandId;
}

unsigned char Em_Gnss::Get_Modem_Auto_Dial() const {
    return ReadOr<unsigned char>(*this, 0, [](const Q50_Records& r) { return r.modemAutoDial; });
}

unsigned char Em_Gnss::Get_Modem_Auto_Power_On() const {
    return ReadOr<unsigned char>(*this, 0, [](const Q50_Records& r) { return r.modemAutoPowerOn; });
}

void Em_Gnss::Get_Modem_Dial_Param(OV_MODEM_DIAL_PARA_STRUCT& param) const {
    const Q50_Records* r = Records(*this);
    if (!r) return;
    // Each text up to its end within its 20 bytes (a full field has no
    // terminator), NUL bytes after it.
    for (int i = 0; i < 5; ++i) {
        const char* text = r->modemDialPara.texts[i];
        const size_t n = strnlen(text, sizeof param.texts[i]);
        std::memset(param.texts[i], 0, sizeof param.texts[i]);
        std::memcpy(param.texts[i], text, n);
    }
}

void Em_Gnss::Get_Modem_Dial_Status(OV_MODEM_DIAL_STATUS_STRUCT& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.modemDialStatus; });
}

void Em_Gnss::Get_Modem_Power_Status(OV_MODEM_POWER_STATUS_ENUM& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.modemPowerStatus; });
}

void Em_Gnss::Get_Modem_Signal_Intensity(OV_MODEM_SIGNAL_INTENSITY_STRUCT& signal) const {
    ReadInto(*this, signal, [](const Q50_Records& r) { return r.modemSignal; });
}

void Em_Gnss::Get_Modem_Band_Mode(OV_MODEM_BAND_MODE_ENUM& mode) const {
    ReadInto(*this, mode, [](const Q50_Records& r) { return r.modemBandMode; });
}

int Em_Gnss::Get_Gnss_ElevMask() const {
    // Whatever board the receiver has answers from its own report.
    const Em_IFormat* format = Format();
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    return board ? int(board->Get_ElevMask()) : 0;
}

int Em_Gnss::Get_Gnss_Pdop_Mask() const {
    return ReadOr<int>(*this, -1, [](const Q50_Records& r) { return r.pdopMask; });
}

const unsigned char* Em_Gnss::Get_Gnss_Data_Buff(unsigned& length) const {
    const Em_IFormat* format = Format();
    EmIMainBoard* board = format ? format->MainBoard() : nullptr;
    Em_IRepParser* parser = board ? board->RepParser() : nullptr;
    if (!parser) return nullptr;
    length = std::min<uint32_t>(parser->ggaLength, Em_IRepParser::kGgaTextCapacity);
    return parser->ggaText;
}

void Em_Gnss::Get_Gnss_Diff_Type(OV_GNSS_DIFF_TYPE_ENUM& type) const {
    ReadInto(*this, type, [](const Q50_Records& r) { return r.diffType; });
}

void Em_Gnss::Get_Gnss_Base_Position(OV_GNSS_BASE_SET_STRUCT& base) const {
    ReadInto(*this, base, [](const Q50_Records& r) { return r.baseSet; });
}

void Em_Gnss::Get_Gnss_Sat_Enable(OV_GNSS_SATELLITE_ENABLE_STRUCT& enable) const {
    ReadInto(*this, enable, [](const Q50_Records& r) { return r.satEnable; });
}

void Em_Gnss::Get_System_Power_Status(OV_SYSTEM_POWER_STATUS_STRUCT& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.powerStatus; });
}

void Em_Gnss::Get_System_Hardware_Info(OV_SYSTEM_HARDWARE_INFO_STRUCT& info) const {
    ReadInto(*this, info, [](const Q50_Records& r) { return r.hardwareInfo; });
}

void Em_Gnss::Get_System_Firmware_Info(OV_SYSTEM_FIRMWARE_VERSION_STRUCT& info) const {
    ReadInto(*this, info, [](const Q50_Records& r) { return r.firmwareInfo; });
}

unsigned char Em_Gnss::Get_NetLink_Auto_Open() const {
    if (const Q50_Records* r = Records(*this)) return r->netLinkAutoOpen;
    // The old-protocol receivers open their link by the modem's login mode.
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) return uint8_t(format->Modem().loginMode);
    return 0;
}

void Em_Gnss::Get_NetLink_Status(OV_NETLINK_STATUS_STRUCT& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.netLinkStatus; });
}

void Em_Gnss::Get_NetLink_Source_List(const unsigned char*& text, unsigned& length) const {
    const Q50_Records* r = Records(*this);
    if (!r) {
        length = 0;
        return;
    }
    text = r->sourceList;
    length = std::min<uint32_t>(r->sourceListLength, Q50_Records::kSourceListSize);
}

void Em_Gnss::Get_NetLink_Address(OV_IP_ADDRESS_STRUCT& address) const {
    ReadInto(*this, address, [](const Q50_Records& r) { return r.netLinkAddress; });
}

void Em_Gnss::Get_NetLink_Server_Type(OV_NETLINK_SERVER_TYPE_ENUM& type) const {
    ReadInto(*this, type, [](const Q50_Records& r) { return r.netLinkServerType; });
}

void Em_Gnss::Get_NetLink_Data_Source(OV_CORS_DATA_SOURCE_STRUCT& source) const {
    ReadInto(*this, source, [](const Q50_Records& r) { return r.dataSource; });
}

void Em_Gnss::Get_NetLink_Account(OV_ACCOUNT_STRUCT& account) const {
    ReadInto(*this, account, [](const Q50_Records& r) { return r.account; });
}

void Em_Gnss::Get_DataLink_Mode(OV_DATALINK_MODE_ENUM& mode) const {
    ReadInto(*this, mode, [](const Q50_Records& r) { return r.dataLinkMode; });
}

float Em_Gnss::Get_Radio_Frequency() const {
    return ReadOr<float>(*this, 0.0f,
                         [](const Q50_Records& r) { return std::bit_cast<float>(r.radioFrequencyBits); });
}

unsigned Em_Gnss::Get_Radio_Power_V2() const {
    return ReadOr<unsigned>(*this, 0, [](const Q50_Records& r) { return r.radioPower; });
}

unsigned Em_Gnss::Get_Radio_Stepper() const {
    return ReadOr<unsigned>(*this, 0, [](const Q50_Records& r) { return r.radioStepper; });
}

unsigned Em_Gnss::Get_Radio_Air_Baud() const {
    return ReadOr<unsigned>(*this, kDefaultAirBaud, [](const Q50_Records& r) { return r.radioAirBaud; });
}

void Em_Gnss::Get_Radio_Protocol(OV_RADIO_PROTOCOL_ENUM& protocol) const {
    ReadInto(*this, protocol, [](const Q50_Records& r) { return r.radioProtocol; });
}

void Em_Gnss::Get_Radio_Infolist(OV_RADIO_INFOLIST_STRUCT& info) const {
    ReadInto(*this, info, [](const Q50_Records& r) { return r.radioInfoList; });
}

unsigned char Em_Gnss::Get_Radio_Auto_Power_On() const {
    return ReadOr<unsigned char>(*this, 0, [](const Q50_Records& r) { return r.radioAutoPowerOn; });
}

void Em_Gnss::Get_Radio_Module_Type(OV_RADIO_MODULE_TYPE_ENUM& type) const {
    ReadInto(*this, type, [](const Q50_Records& r) { return r.radioModuleType; });
}

void Em_Gnss::Get_Radio_Power_Status(OV_RADIO_POWER_STATUS_ENUM& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.radioPowerStatus; });
}

void Em_Gnss::Get_WIFI_Param_AP(OV_WIFI_PARA_AP_STRUCT& ap) const {
    ReadInto(*this, ap, [](const Q50_Records& r) { return r.wifiAp; });
}

void Em_Gnss::Get_WIFI_Mode(OV_WIFI_MODE_ENUM& mode) const {
    ReadInto(*this, mode, [](const Q50_Records& r) { return r.wifiMode; });
}

unsigned char Em_Gnss::Get_WIFI_Auto_Open() const {
    return ReadOr<unsigned char>(*this, 0, [](const Q50_Records& r) { return r.wifiAutoOpen; });
}

void Em_Gnss::Get_WIFI_Power_Status(OV_WIFI_POWER_STATUS_ENUM& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.wifiPowerStatus; });
}

unsigned char Em_Gnss::Get_File_Record_Auto_Open() const {
    return ReadOr<unsigned char>(*this, 0, [](const Q50_Records& r) { return r.fileRecordAutoOpen; });
}

void Em_Gnss::Get_File_Record_Status(OV_FILE_RECORD_STATUS_ENUM& status) const {
    ReadInto(*this, status, [](const Q50_Records& r) { return r.fileRecordStatus; });
}

void Em_Gnss::Get_File_Record_Param(OV_FILE_RECORD_CONFIG_STRUCT& config) const {
    ReadInto(*this, config, [](const Q50_Records& r) { return r.fileRecordConfig; });
}

void Em_Gnss::Get_Com_Baudrate(OV_COM_BAUD_ENUM& baud) const {
    ReadInto(*this, baud, [](const Q50_Records& r) { return r.comBaud; });
}

}  // namespace FJParse
}  // namespace Fjarnis2011
