// The maker's receivers of the new protocol. Every receiver of the maker is
// first opened on the old protocol, whose device-information request they all
// answer; a model code of no old board gives board type 0, the new-protocol
// board. Such a receiver is then switched over: its protocol object takes the
// new-protocol format (a board reset to type 0 on the writing thread), the
// normal-mode switch goes out again (now the com-direct item) with a
// power-status query behind it, and the connection is complete only when the
// receiver answers in the new protocol, so that a receiver that does not
// speak it is never reported as connected. In the automatic baud search
// that reply is awaited as long as the device information is (1500 ms from
// the moment the query went out); without it the attempt counts as one that
// got no reply and the search moves on, so that a receiver which never
// answers on the new protocol ends the search as a silent one does.

#include "program/DeviceManager.h"

#include "program/DeviceObserver.h"

#include "device/EmGnss_Receiver.h"
#include "protocol/boards/Em_MainBd_Q50.h"

#include <QMetaObject>

#include <algorithm>
#include <cstring>

using namespace Fjarnis2011;
using FJParse::OV_ACCOUNT_STRUCT;
using FJParse::OV_CORS_DATA_SOURCE_STRUCT;

// The message classes of the new protocol's replies and the change bits of
// the items within each, as the protocol library names them.
namespace ReplyClass = FJParse::OvReplyClass;
namespace Bits = FJParse::Q50Bits;

// Processing thread, from the device-information report in state 2.
void DeviceManager::onNewProtocolBoard() {
    if (state_.load() != 2 || !receiver_)
        return;
    int expected = NoSwitch;
    if (!newProtocolStep_.compare_exchange_strong(expected, SwitchingFormat))
        return;  // already under way
    receiver_->ReSetGnsMd(FJParse::MAINBD_ORVEL_NEW);
}

// Writing thread, from the OEM-changed callback of that board reset. The
// mode switch sleeps with the protocol lock held while the writing thread
// sends it, so it runs on the GUI thread like every other request.
void DeviceManager::onNewProtocolFormatReady() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            int expected = SwitchingFormat;
            if (state_.load() != 2 || !receiver_ ||
                receiver_->Get_MAINBD_OEM_TYPE() != FJParse::MAINBD_ORVEL_NEW ||
                !newProtocolStep_.compare_exchange_strong(expected, AwaitingReply))
                return;
            setPassThrough(false);
            receiver_->Send_Battery();
            if (autoRetryActive_) {
                newProtocolWaitStarted_ = true;
                retryTimer_.start();
            }
        },
        Qt::QueuedConnection);
}

// GUI thread, from the automatic search's timeout after the device
// information named the new-protocol board. The wait for the device
// information may run out while the switch is still being made (the
// information came late, or the board reset is slow): the switch then gets a
// wait of its own first. True when the attempt has got no reply.
bool DeviceManager::onNewProtocolTimeout() {
    const int step = newProtocolStep_.load();
    if (step == NoSwitch)
        return false;
    if (!newProtocolWaitStarted_) {
        newProtocolWaitStarted_ = true;
        retryTimer_.start();
        return false;
    }
    // Whichever comes first wins: this, or the reply that completes the
    // connection (handleNewProtocolEvent), which then finds no switch under
    // way and completes nothing.
    int expected = step;
    return newProtocolStep_.compare_exchange_strong(expected, NoSwitch);
}

// Processing thread: a reply of the new protocol (message classes 0 and 3 to
// 6, by operation code).
void DeviceManager::handleNewProtocolEvent(int messageClass, unsigned bits) {
    if (bits == 0)
        return;
    int expected = AwaitingReply;
    if (newProtocolStep_.compare_exchange_strong(expected, NoSwitch)) {
        {
            // This receiver has no modem record of the old protocol: what
            // one reported before (its options among them) is not its own.
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.wireless = WirelessInfo{};
            cache_.netLinkHost.clear();
            cache_.netLinkReported = 0;
        }
        // Known before state 4 is announced: the menu offers its pages by it.
        newProtocol_.store(true);
        moveState(2, 4);
    }
    if (messageClass == ReplyClass::System && (bits & Bits::SystemPowerStatus)) {
        const int grade = receiver_->Get_Battery_Grd();
        storeAndAnnounce(&Cache::batteryGrade, grade, DeviceObserver::EventBatteryLife, grade);
    }
    if (messageClass == ReplyClass::Gnss && (bits & Bits::GnssElevMask)) {
        storeAndAnnounce(&Cache::elevationMask, unsigned(receiver_->GetInfo_Gnss_ElevMask()),
                         DeviceObserver::EventElevMask);
    }
    if (messageClass != ReplyClass::Link)
        return;
    if (bits & Bits::RadioFrequency) {
        storeAndAnnounce(&Cache::radioFrequency, double(receiver_->Get_Radio_Frq()),
                         DeviceObserver::EventRadioFreq);
    }
    // The link's server address is what the old protocol's modem reports
    // with its parameters: it lands in the same record, whose other fields
    // this receiver does not report and which stay as they were.
    if (bits & Bits::NetLinkAddress) {
        FJParse::OV_IP_ADDRESS_STRUCT reported{};
        receiver_->Get_NetLink_Address(reported);
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            IP_ADRES& address = cache_.wireless.address;
            address = IP_ADRES{};
            for (int i = 0; i < 4; ++i)
                address.ip[i] = uint8_t(reported.address >> (24 - 8 * i));
            cache_.netLinkHost.clear();
            if (reported.useHost) {
                // The host name whole within its field; the record's text,
                // which the old protocol's modem fills, takes its first part.
                cache_.netLinkHost.assign(reported.host, ::strnlen(reported.host, sizeof reported.host));
                const size_t length = std::min(cache_.netLinkHost.size(), sizeof address.text);
                std::memcpy(address.text, reported.host, length);
                address.textLength = uint32_t(length);
            }
            // A server held by its host name is shown and sent back as that
            // name; one held by its address as the four numbers.
            markAddressAsText(cache_.wireless, address.textLength > 0);
            cache_.wireless.port = reported.port;
            cache_.netLinkReported |= NetLinkAddress;
        }
        announce(DeviceObserver::EventWirelessParams);
    }
    // The server type is the protocol the old modem reports with its server.
    // Only a rover speaks another protocol than the relay one, so that type
    // also tells the work mode, which this receiver does not keep.
    if (bits & Bits::NetLinkServerType) {
        FJParse::OV_NETLINK_SERVER_TYPE_ENUM type{};
        receiver_->Get_NetLink_Server_Type(type);
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.wireless.protocol = uint32_t(type);
            if (type != FJParse::OV_NETLINK_SERVER_ZELT)
                cache_.wireless.workMode = uint32_t(FJParse::GPRS_MODLE_ROVER);
            cache_.netLinkReported |= NetLinkServerType;
        }
        announce(DeviceObserver::EventWirelessParams);
    }
    // The link's auto-open is this receiver's login mode; with the mount
    // point and the account it is the NTRIP login the old protocol's modem
    // reports, and it lands in the same place.
    if (bits & Bits::NetLinkAutoOpen) {
        const int autoOpen = int(receiver_->Get_NetLink_Auto_Open());
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.loginMode = autoOpen;
            cache_.netLinkReported |= NetLinkLoginMode;
        }
        announce(DeviceObserver::EventLoginMode);
    }
    if (bits & (Bits::NetLinkMountPoint | Bits::NetLinkAccount)) {
        OV_CORS_DATA_SOURCE_STRUCT source{};
        OV_ACCOUNT_STRUCT account{};
        receiver_->Get_NetLink_Data_Source(source);
        receiver_->Get_NetLink_Account(account);
        const int autoOpen = receiver_->Get_NetLink_Auto_Open();
        // Each text is read within its field, which it may fill.
        cors_info cors{};
        std::memcpy(cors.mountPoint, source.mountPoint, std::min(sizeof cors.mountPoint, sizeof source.mountPoint));
        std::memcpy(cors.userName, account.user, std::min(sizeof cors.userName, sizeof account.user));
        std::memcpy(cors.password, account.password, std::min(sizeof cors.password, sizeof account.password));
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.cors = cors;
            cache_.corsAuto = autoOpen;
            cache_.netLinkReported |= NetLinkLogin;
        }
        announce(DeviceObserver::EventCorsInfo);
    }
    // The receiver's modem fetches the caster's source table and hands it
    // over whole; it is gathered like the old protocol's chunks.
    if (bits & Bits::NetLinkSourceList)
        onSourceTableChunk();
}
