// Commands for the receiver's internal GSM/GPRS modem and the NTRIP login,
// and the getters of the modem record. On the old protocol each command is a
// module-tunnel packet that the receiver relays to the modem; the NTRIP
// request itself travels as text in "VL,S" frames. The network-link commands
// that the new-protocol board also answers send a new-protocol command there
// instead.

#include "platform/Endian.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include <algorithm>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

// Module-tunnel ids of the modem.
constexpr int kModemBaseId = 94;
constexpr int kModemCorsAutoQuery = 108;
constexpr int kModemCorsAutoSet = 107;
constexpr int kModemDialNumber = 88;
constexpr int kModemDialProtocolQuery = 103;
constexpr int kModemDialProtocolSet = 102;
constexpr int kModemError = 104;
constexpr int kModemLink = 113;  // 00 before a setting, 01 disconnects
constexpr int kModemLoginModeQuery = 106;
constexpr int kModemLoginModeSet = 105;
constexpr int kModemParameters = 89;
constexpr int kModemParametersB = 115;  // modems with the newer parameter layout
constexpr int kModemReset = 43;
constexpr int kModemServer = 82;
constexpr int kModemServerByName = 114;  // modems with the newer parameter layout
constexpr int kModemServiceApn = 86;
constexpr int kModemServiceUser = 87;
constexpr int kModemSignal = 101;
constexpr int kModemSourceTable = 116;
constexpr int kModemStatus = 99;
constexpr int kModemVersion = 95;
constexpr int kModemWorkMode = 93;

namespace P = OvParam;

// Texts taken from a caller are cut to the fields that hold them.
constexpr unsigned kDialNumberMax = sizeof(WirelessInfo::dialNumber);
constexpr unsigned kBaseIdMax = sizeof(WirelessInfo::baseId);
constexpr unsigned kServiceTextMax = sizeof(SvcInfo::userName);
constexpr unsigned kHostTextMax = sizeof(IP_ADRES::text);

void SendPacket(const Em_Format_OrvelNav* format, std::vector<_STR_CMD>& out, int id, const uint8_t* data = nullptr,
                unsigned m = 0, uint32_t delay = 200) {
    AppendModulePacket(format->comStatus, out, id, data, m, delay);
}

void SendPacketWithByte(const Em_Format_OrvelNav* format, std::vector<_STR_CMD>& out, int id, unsigned value,
                        uint32_t delay = 200) {
    const uint8_t byte = uint8_t(value);
    SendPacket(format, out, id, &byte, 1, delay);
}

// The modem takes a setting only after the link packet with 00.
void SendSettingPrefix(const Em_Format_OrvelNav* format, std::vector<_STR_CMD>& out) {
    SendPacketWithByte(format, out, kModemLink, 0x00, 2000);
}

// Bytes of the host text the address record really holds.
unsigned HostLength(const IP_ADRES& address) {
    const int32_t stated = int32_t(address.textLength);
    return stated <= 0 ? 0u : std::min<unsigned>(unsigned(stated), kHostTextMax);
}

// The account and mount point of a login in their new-protocol records.
struct NetLinkLogin {
    OV_ACCOUNT_STRUCT account{};
    OV_CORS_DATA_SOURCE_STRUCT source{};
};

NetLinkLogin ToNetLink(const cors_info& cors) {
    NetLinkLogin login;
    static_assert(sizeof login.account.user == sizeof cors.userName);
    static_assert(sizeof login.account.password == sizeof cors.password);
    static_assert(sizeof login.source.mountPoint == sizeof cors.mountPoint);
    // Each text up to its end; the rest of its field stays zero.
    std::memcpy(login.account.user, cors.userName, FieldLength(cors.userName, sizeof cors.userName));
    std::memcpy(login.account.password, cors.password, FieldLength(cors.password, sizeof cors.password));
    std::memcpy(login.source.mountPoint, cors.mountPoint, FieldLength(cors.mountPoint, sizeof cors.mountPoint));
    return login;
}

// A reply text into a fixed field: cut to leave room for the terminating
// zero, zeros after it.
template <size_t N>
void PutText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

bool Em_Gnss::Send_Gprs_Version(std::vector<_STR_CMD>& out) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    // The modem is asked only once the receiver has told what it is.
    if (!format || !format->DeviceInfoSeen()) return false;
    SendPacket(format, out, kModemVersion);
    return true;
}

void Em_Gnss::Get_Gprs_Info(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this))
        SendPacket(format, out, format->Modem().newLayout ? kModemParametersB : kModemParameters);
}

void Em_Gnss::Get_Gprs_Status(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemStatus);
}

void Em_Gnss::Get_Gprs_Signal(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemSignal);
}

void Em_Gnss::Get_Gprs_Eroinfo(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemError);
}

void Em_Gnss::Get_Gprs_Reset(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemReset);
}

void Em_Gnss::Get_Gprs_CosMdl(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemLoginModeQuery);
}

void Em_Gnss::Set_Gprs_CosMdl(std::vector<_STR_CMD>& out, unsigned mode) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    SendSettingPrefix(format, out);
    SendPacketWithByte(format, out, kModemLoginModeSet, mode);
}

void Em_Gnss::Send_Gprs_DisConct(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        SendPacketWithByte(format, out, kModemLink, 0x01, 2000);
        return;
    }
    const uint16_t op = OvOp::NetLinkSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::NetLinkDisconnect, nullptr}},
                   P::NetLinkDisconnect);
}

void Em_Gnss::Set_GSM_NumInfo(std::vector<_STR_CMD>& out, const char* number) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format || number == nullptr) return;
    SendSettingPrefix(format, out);
    SendPacket(format, out, kModemDialNumber, reinterpret_cast<const uint8_t*>(number),
               FieldLength(number, kDialNumberMax));
}

void Em_Gnss::Set_Gprs_Modle(std::vector<_STR_CMD>& out, Gprs_Modle mode) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this))
        SendPacketWithByte(format, out, kModemWorkMode, unsigned(mode));
}

void Em_Gnss::Set_Gprs_BaseId(std::vector<_STR_CMD>& out, const unsigned char* id, unsigned length) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format || (id == nullptr && length > 0)) return;
    SendPacket(format, out, kModemBaseId, id, std::min(length, kBaseIdMax));
}

void Em_Gnss::Set_Gprs_SvcInfo(std::vector<_STR_CMD>& out, SvcInfo info) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    auto bytes = [](const char* field) { return reinterpret_cast<const uint8_t*>(field); };
    SendPacket(format, out, kModemServiceApn, bytes(info.apn), FieldLength(info.apn, kServiceTextMax));
    SendPacket(format, out, kModemDialNumber, bytes(info.dialNumber), FieldLength(info.dialNumber, kServiceTextMax));
    // User name and password in one packet, a zero byte between them.
    const unsigned userLength = FieldLength(info.userName, kServiceTextMax);
    const unsigned passwordLength = FieldLength(info.password, kServiceTextMax);
    uint8_t account[2 * kServiceTextMax + 1];
    std::memcpy(account, info.userName, userLength);
    account[userLength] = 0;
    std::memcpy(account + userLength + 1, info.password, passwordLength);
    SendPacket(format, out, kModemServiceUser, account, userLength + 1 + passwordLength);
}

void Em_Gnss::Set_Gprs_Ip(std::vector<_STR_CMD>& out, IP_ADRES address, unsigned port, Protocol_Net protocol) {
    const unsigned hostLength = HostLength(address);
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        if (!format->Modem().newLayout) {
            const uint8_t data[7] = {address.ip[0],      address.ip[1], address.ip[2],     address.ip[3],
                                     uint8_t(port >> 8), uint8_t(port), uint8_t(protocol)};
            SendPacket(format, out, kModemServer, data, sizeof data);
            return;
        }
        // The newer modems take the server by name: the host text, 00, port, protocol.
        uint8_t data[kHostTextMax + 4];
        std::memcpy(data, address.text, hostLength);
        data[hostLength] = 0;
        data[hostLength + 1] = uint8_t(port >> 8);
        data[hostLength + 2] = uint8_t(port);
        data[hostLength + 3] = uint8_t(protocol);
        SendPacket(format, out, kModemServerByName, data, hostLength + 4);
        return;
    }
    OV_IP_ADDRESS_STRUCT server{};
    server.address = uint32_t(address.ip[0]) << 24 | uint32_t(address.ip[1]) << 16 | uint32_t(address.ip[2]) << 8 |
                     uint32_t(address.ip[3]);
    server.port = uint16_t(port);
    server.useHost = hostLength > 0 ? 1 : 0;
    std::memcpy(server.host, address.text, hostLength);
    const uint16_t op = OvOp::NetLinkSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::NetLinkAddress, &server}}, P::NetLinkAddress);
}

void Em_Gnss::Send_Dial_Prtl(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendPacket(format, out, kModemDialProtocolQuery);
}

void Em_Gnss::Set_Dial_Prtl(std::vector<_STR_CMD>& out, unsigned protocol) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this))
        SendPacketWithByte(format, out, kModemDialProtocolSet, protocol);
}

void Em_Gnss::Send_Cors_Info_Auto(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        SendPacket(format, out, kModemCorsAutoQuery);
        return;
    }
    const uint16_t op = OvOp::NetLinkQuery;
    PackNewCommand(*this, out,
                   {{P::Operation, &op},
                    {P::NetLinkAccount, nullptr},
                    {P::NetLinkMountPoint, nullptr},
                    {P::NetLinkAutoOpen, nullptr}},
                   0);
}

void Em_Gnss::Set_Cors_Info_Auto(std::vector<_STR_CMD>& out, const cors_info& cors, unsigned mode) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        uint8_t payload[kCorsAutoPayloadMax];
        // A login the modem cannot hold is not sent at all.
        if (const unsigned n = BuildCorsAutoPayload(cors, mode, payload))
            SendPacket(format, out, kModemCorsAutoSet, payload, n);
        return;
    }
    const NetLinkLogin login = ToNetLink(cors);
    const uint16_t op = OvOp::NetLinkSet;
    const uint8_t autoOpen = 1;
    PackNewCommand(*this, out,
                   {{P::Operation, &op},
                    {P::NetLinkAccount, &login.account},
                    {P::NetLinkMountPoint, &login.source},
                    {P::NetLinkAutoOpen, &autoOpen}},
                   P::NetLinkAutoOpen);
}

void Em_Gnss::Send_Gprs_GetList(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        SendPacket(format, out, kModemSourceTable);
        AppendTextCommand(format->comStatus, out, "VM,B1", 200, kDollarClassModule);
        return;
    }
    Get_Cmd_NetLink_Source_List_Query(out);
}

void Em_Gnss::Set_Cors_Login(std::vector<_STR_CMD>& out, const cors_info& cors) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) {
        AppendNtripLogin(format->comStatus, out, cors);
        return;
    }
    const NetLinkLogin login = ToNetLink(cors);
    const uint16_t op = OvOp::NetLinkSet;
    PackNewCommand(*this, out,
                   {{P::Operation, &op},
                    {P::NetLinkAccount, &login.account},
                    {P::NetLinkMountPoint, &login.source},
                    {P::NetLinkConnect, nullptr}},
                   P::NetLinkConnect);
}

// ---- getters of the modem record ----------------------------------------

void Em_Gnss::GetInfo_Gprs_Info(WirelessInfo& info) const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    const ModemRecord& modem = format->Modem();
    std::memset(&info, 0, sizeof info);
    // The address record field by field: the four address bytes, then the
    // host text of the newer layout with its length.
    std::memcpy(info.address.ip, modem.address, sizeof info.address.ip);
    info.address.textLength = std::min<uint32_t>(modem.apnLength, sizeof info.address.text);
    static_assert(sizeof info.address.text == ModemRecord::kApnTextSize);
    std::memcpy(info.address.text, modem.apnText, sizeof info.address.text);
    info.port = uint32_t(modem.port);
    info.protocol = uint32_t(modem.protocol);
    info.workMode = uint32_t(modem.onlineFlag);
    PutText(info.baseId, modem.text1);
    PutText(info.userName, modem.text3);
    PutText(info.password, modem.text2);
    PutText(info.apn, modem.text4);
    PutText(info.dialNumber, modem.text5);

    // What the modem offers follows from its firmware version.
    uint32_t options = 0;
    uint32_t offers = kOfferZelt | kOfferNtripClient;
    if (format->ModuleVersionSeen()) {
        const int major = modem.versionMajor;
        const int minor = modem.versionMinor;
        if ((major == 2 && minor >= 88) || (major > 2 && minor >= 59)) {
            options = 0x00140000;
            offers |= kOfferTcpDirect;
        }
        if (major > 2 && minor >= 69) options |= kLinkSourceTable;
        options |= modem.newLayout ? 0x00E90000u : 0x00690000u;
    }
    info.linkOptions = options;
    info.protocolOffers = offers;
}

int Em_Gnss::GetInfo_Gprs_Signa() const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) return format->Modem().signalRaw;
    // The new-protocol board keeps the modem's signal record (5132).
    if (const Em_RepParser_Q50* parser = NewParser(*this)) return int(parser->records.modemSignal.value);
    return -1;
}

gprs_status Em_Gnss::GetInfo_Gprs_Status() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? gprs_status(format->Modem().status) : GPRS_STATUS_NONE;
}

gprs_ero Em_Gnss::GetInfo_Gprs_Eroinfo() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? gprs_ero(format->Modem().error) : GPRS_ERO_NONE;
}

int Em_Gnss::GetInfo_Gprs_CosMdl() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? format->Modem().loginMode : -1;
}

double Em_Gnss::GetInfo_Gprs_Version() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? format->Modem().version : -1.0;
}

unsigned Em_Gnss::Get_Dial_Prtl() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? unsigned(format->Modem().statusByte4) : 0u;
}

void Em_Gnss::Get_Cors_Info_Auto(cors_info& cors, int& mode) const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    cors = format->Modem().cors;
    mode = format->Modem().corsAuto;
}

void Em_Gnss::Get_Gprs_GetList(char* text, int* length) const {
    if (text == nullptr || length == nullptr) return;
    if (const Em_RepParser_Q50* parser = NewParser(*this)) {
        // The source list of the new-protocol board (4358).
        const Q50_Records& r = parser->records;
        const uint32_t n = std::min<uint32_t>(r.sourceListLength, Q50_Records::kSourceListSize);
        std::memcpy(text, r.sourceList, n);
        *length = int(n);
        return;
    }
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    const ModemRecord& modem = format->Modem();
    const uint32_t n = std::min<uint32_t>(modem.sourceTableLength, ModemRecord::kSourceTableSize);
    std::memcpy(text, modem.sourceTable, n);
    *length = int(n);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
