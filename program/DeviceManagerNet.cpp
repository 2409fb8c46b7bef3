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

}  // namespace

void DeviceManager::sendNetRequests() {
    if (!receiver_)
        return;
    // A receiver on the new protocol keeps the server address as an item of
    // its network link; the old one's modem reports it with its parameters.
    if (receiver_->Get_MAINBD_OEM_TYPE() == FJParse::MAINBD_ORVEL_NEW)
        receiver_->Send_NetLink_Address(nullptr);
    else
        receiver_->Send_Gprs_Info();
    receiver_->Send_Gprs_CosMdl();
    receiver_->Send_Cors_Info_Auto();
}

void DeviceManager::setGprsParams(Gprs_Modle mode, unsigned baseIdLength, WirelessInfo info, unsigned loginMode,
                                  cors_info cors) {
    if (!receiver_)
        return;
    setRadioMdl(static_cast<Rdo_Mdl>(kRadioModeOff));
    receiver_->Set_Gprs_Modle(mode);
    receiver_->Set_Gprs_Ip(info.address, info.port, static_cast<Protocol_Net>(info.protocol));
    receiver_->Set_Gprs_Baseid(reinterpret_cast<unsigned char*>(info.baseId),
                               std::min<unsigned>(baseIdLength, kBaseIdField));
    receiver_->Set_Gprs_CosMdl(loginMode);
    receiver_->Set_Cors_Info_Auto(cors, kCorsManual);
    if (!makerReceiver())
        return;
    // The link as the receiver's reports would bring it back. The new
    // protocol takes the server, the login mode and the NTRIP login only;
    // the base id is what went out of its field, the rest of the field zero.
    const bool oldProtocol = oldProtocolReceiver();
    const unsigned baseIdSent = std::min<unsigned>(baseIdLength, kBaseIdField);
    std::lock_guard<std::mutex> lock(cacheLock_);
    WirelessInfo& modem = cache_.wireless;
    modem.address = info.address;
    modem.port = info.port;
    if (oldProtocol) {
        modem.workMode = uint32_t(mode);
        modem.protocol = info.protocol;
        std::memset(modem.baseId, 0, sizeof modem.baseId);
        std::memcpy(modem.baseId, info.baseId, baseIdSent);
    }
    cache_.loginMode = int(loginMode);
    cache_.cors = cors;
    cache_.corsAuto = int(kCorsManual);
}
