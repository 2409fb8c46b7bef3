// DeviceManager's part for the receiver's network link: the reads and the
// write of the network-link page.

#include "program/DeviceManager.h"

#include "device/EmGnss_Receiver.h"

#include <algorithm>
#include <cstring>
#include <mutex>

using namespace Fjarnis2011;

namespace {

// The base id's field in the modem record: a longer stated length is held
// to it, so that nothing behind the field is ever sent.
constexpr unsigned kBaseIdField = sizeof(FJParse::WirelessInfo::baseId);
// The radio protocol that leaves the data link to the modem.
constexpr int kRadioModeOff = 0;
// The NTRIP login's automatic flag as the network-link page sends it.
constexpr unsigned kCorsManual = 0;
// The host name's field in the new protocol's server item.
constexpr size_t kNetLinkHostField = sizeof(FJParse::OV_IP_ADDRESS_STRUCT::host);

}  // namespace

void DeviceManager::sendNetRequests() {
    if (!receiver_)
        return;
    // A receiver on the new protocol keeps the server address as an item of
    // its network link; the old one's modem reports it with its parameters.
    // Its server type (the protocol) is asked for first: its answer then
    // reaches the page before the address's, after which the page fills in
    // the source list.
    if (receiver_->Get_MAINBD_OEM_TYPE() == FJParse::MAINBD_ORVEL_NEW) {
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.netLinkReported = 0;
        }
        receiver_->Send_NetLink_Server_Type(nullptr);
        receiver_->Send_NetLink_Address(nullptr);
    } else
        receiver_->Send_Gprs_Info();
    receiver_->Send_Gprs_CosMdl();
    receiver_->Send_Cors_Info_Auto();
}

unsigned DeviceManager::netLinkReported() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.netLinkReported;
}

void DeviceManager::markAddressAsText(WirelessInfo& link, bool asText) {
    if (asText)
        link.linkOptions |= FJParse::kLinkAddressAsText;
    else
        link.linkOptions &= ~FJParse::kLinkAddressAsText;
}

std::string DeviceManager::setNetLinkServer(const IP_ADRES& address, unsigned port, std::string_view hostName) {
    // Without a whole name the record's text is the host, as many bytes as it
    // states within its field, exactly as the old command would send them.
    std::string host;
    if (!hostName.empty()) {
        host.assign(hostName.substr(0, kNetLinkHostField));
    } else if (int32_t(address.textLength) > 0) {
        host.assign(address.text, std::min<size_t>(address.textLength, sizeof address.text));
    }
    FJParse::OV_IP_ADDRESS_STRUCT server{};
    server.address = uint32_t(address.ip[0]) << 24 | uint32_t(address.ip[1]) << 16 |
                     uint32_t(address.ip[2]) << 8 | uint32_t(address.ip[3]);
    server.port = uint16_t(port);
    server.useHost = host.empty() ? 0 : 1;
    std::memcpy(server.host, host.data(), host.size());
    receiver_->Send_NetLink_Address(&server);
    return host;
}

void DeviceManager::setGprsParams(Gprs_Modle mode, unsigned baseIdLength, WirelessInfo info, unsigned loginMode,
                                  cors_info cors, std::string_view hostName, unsigned parts) {
    if (!receiver_)
        return;
    const bool newProtocolBoard = makerReceiver() && !oldProtocolReceiver();
    // The old modem takes its server, protocol and work mode in one request;
    // its login mode and NTRIP login go by requests of their own.
    if (!newProtocolBoard)
        parts |= NetLinkAddress | NetLinkServerType;
    setRadioMdl(static_cast<Rdo_Mdl>(kRadioModeOff));
    receiver_->Set_Gprs_Modle(mode);
    // The new protocol's server item has room for a longer host name than
    // the address record: it goes out whole.
    std::string hostSent;
    if (!newProtocolBoard)
        receiver_->Set_Gprs_Ip(info.address, info.port, static_cast<Protocol_Net>(info.protocol));
    else if (parts & NetLinkAddress)
        hostSent = setNetLinkServer(info.address, info.port, hostName);
    // The new protocol keeps the server's protocol as an item of its own.
    const unsigned short serverType = static_cast<unsigned short>(info.protocol);
    if (newProtocolBoard && (parts & NetLinkServerType))
        receiver_->Send_NetLink_Server_Type(&serverType);
    receiver_->Set_Gprs_Baseid(reinterpret_cast<unsigned char*>(info.baseId),
                               std::min<unsigned>(baseIdLength, kBaseIdField));
    if (parts & NetLinkLoginMode)
        receiver_->Set_Gprs_CosMdl(loginMode);
    // On the new protocol the automatic login record also switches the
    // link's auto-open on, whatever the login mode just sent: with a login
    // mode of 0, or one not written, the login goes as its two items alone,
    // so that the receiver keeps the login mode it has.
    const bool loginModeKept = !(parts & NetLinkLoginMode) || loginMode == 0;
    if (!(parts & NetLinkLogin)) {
        // The receiver keeps its login.
    } else if (newProtocolBoard && loginModeKept) {
        FJParse::OV_CORS_DATA_SOURCE_STRUCT source{};
        FJParse::OV_ACCOUNT_STRUCT account{};
        std::memcpy(source.mountPoint, cors.mountPoint, std::min(sizeof source.mountPoint, sizeof cors.mountPoint));
        std::memcpy(account.user, cors.userName, std::min(sizeof account.user, sizeof cors.userName));
        std::memcpy(account.password, cors.password, std::min(sizeof account.password, sizeof cors.password));
        receiver_->Send_NetLink_Account(&account);
        receiver_->Send_NetLink_Data_Source(&source);
    } else {
        receiver_->Set_Cors_Info_Auto(cors, kCorsManual);
    }
    if (!makerReceiver())
        return;
    // The link as the receiver's reports would bring it back. The new
    // protocol takes the server, its type, the login mode and the NTRIP login
    // only; the base id is what went out of its field, the rest of the field
    // zero. Its work mode is what the program last chose, which a report of
    // the server type may correct.
    // A part left unwritten keeps what the cache holds for it.
    const bool oldProtocol = oldProtocolReceiver();
    const unsigned baseIdSent = std::min<unsigned>(baseIdLength, kBaseIdField);
    std::lock_guard<std::mutex> lock(cacheLock_);
    WirelessInfo& modem = cache_.wireless;
    if (parts & NetLinkAddress) {
        modem.address = info.address;
        modem.port = info.port;
    }
    if (parts & NetLinkServerType) {
        modem.workMode = uint32_t(mode);
        modem.protocol = info.protocol;
    }
    if (oldProtocol) {
        std::memset(modem.baseId, 0, sizeof modem.baseId);
        std::memcpy(modem.baseId, info.baseId, baseIdSent);
    } else if (parts & NetLinkAddress) {
        markAddressAsText(modem, !hostSent.empty());
        cache_.netLinkHost = hostSent;
    }
    if (parts & NetLinkLoginMode)
        cache_.loginMode = int(loginMode);
    if (parts & NetLinkLogin) {
        cache_.cors = cors;
        cache_.corsAuto = int(kCorsManual);
    }
}
