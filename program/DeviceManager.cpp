#include "program/DeviceManager.h"

#include "program/DeviceObserver.h"

#include "device/EmGnss_Receiver.h"
#include "fjcomm/IPort.h"

#include <QMetaObject>

#include <algorithm>
#include <array>
#include <cstring>

using namespace Fjarnis2011;
using FJDevice::EmGnss_Receiver;

namespace {

std::atomic<DeviceManager*> g_manager{nullptr};

}  // namespace

DeviceManager* DeviceManager::instance() {
    DeviceManager* manager = g_manager.load();
    if (!manager) {
        manager = new DeviceManager();
        g_manager.store(manager);
    }
    return manager;
}

DeviceManager* DeviceManager::existing() { return g_manager.load(); }

DeviceManager::DeviceManager()
    : QObject(nullptr), callbacks_{&DeviceManager::onReceiverEvent, &DeviceManager::onOemTypeResult},
      observer_(DeviceObserver::instance()),
      receiver_(std::make_unique<EmGnss_Receiver>(FJParse::GNSS_MNFCTR_NONE, FJParse::MAINBD_NOVATEL_OEM)) {
    retryTimer_.setSingleShot(true);
    retryTimer_.setTimerType(Qt::PreciseTimer);
    retryTimer_.setInterval(kRetryTimeoutMs);
    connect(&retryTimer_, &QTimer::timeout, this, &DeviceManager::onTryToConnectTimeOut);
}

DeviceManager::~DeviceManager() {
    retryTimer_.stop();
    autoRetryActive_ = false;
    // The device threads call back into this object: they end before the
    // receiver object and this object go.
    closeReceiver();
    receiver_.reset();
    DeviceManager* self = this;
    g_manager.compare_exchange_strong(self, nullptr);
}

// ---------------------------------------------------------------------------
// Announcing

void DeviceManager::announce(int code, int value) {
    pendingEvent_.store(code);
    if (observer_)
        observer_->dispatch(code, value);
}

void DeviceManager::announceState(int state) {
    state_.store(state);
    announce(DeviceObserver::EventWorkingStatus, state);
}

bool DeviceManager::moveState(int from, int to) {
    if (!state_.compare_exchange_strong(from, to))
        return false;
    announce(DeviceObserver::EventWorkingStatus, to);
    return true;
}

// ---------------------------------------------------------------------------
// Connection

void DeviceManager::setManufacturer(int code) { manufacturer_.store(code); }

void DeviceManager::setAutoConnect(bool on, const QList<int>& bauds) {
    autoConnect_ = on;
    candidates_ = bauds;
}

void DeviceManager::setDeviceType(int type) { deviceType_.store(type); }

void DeviceManager::closeReceiver() {
    // Port_Close joins the device threads and frees a protocol object left
    // by a failed open; on a closed object it does nothing.
    if (receiver_)
        receiver_->Port_Close();
}

bool DeviceManager::connectDevice(int portType, uint8_t port, int baud) {
    if (autoConnect_)
        autoRetryActive_ = true;
    if (state_.load() != 0)
        return false;
    ++attempt_;
    retryTimer_.stop();
    announceState(1);

    closeReceiver();
    receiver_.reset();
    const int manufacturer = manufacturer_.load();
    if (manufacturer == FJParse::GNSS_MNFCTR_ORVEL) {
        receiver_ = std::make_unique<EmGnss_Receiver>(FJParse::GNSS_MNFCTR_ORVEL, FJParse::MAINBD_NOVATEL_OEM);
        receiver_->RegisterCbs_Receiver(&callbacks_, nullptr);
    } else if (manufacturer == FJParse::GNSS_MNFCTR_OTHER) {
        // Another maker's receiver reports nothing to the manager.
        receiver_ = std::make_unique<EmGnss_Receiver>(FJParse::GNSS_MNFCTR_OTHER, FJParse::MAINBD_TRIMBLE_BD);
    }

    portType_ = portType;
    port_ = port;
    baud_.store(baud);
    versionFlag_.store(false);
    newProtocolStep_.store(NoSwitch);
    newProtocolWaitStarted_ = false;
    newProtocol_.store(false);
    {
        // The modem version belongs to the receiver that reported it, and
        // the output settings that no receiver reports to the one told them.
        std::lock_guard<std::mutex> lock(cacheLock_);
        cache_.gprsVersion = 0.0;
        cache_.gprsVersionKnown = false;
        cache_.nmeaOutputSet = false;
        cache_.nmeaOutput.clear();
        cache_.nmeaPort = 0;
        cache_.comBaudrate = -1;
    }

    bool opened = false;
    if (receiver_ && baud > 0) {
        if (portType == 0) {
            FJComm::PARAM_COM param;
            param.port = port;
            param.baud = static_cast<uint32_t>(baud);
            param.byteSize = 8;
            param.parity = 0;
            param.stopBits = 0;
            param.inQueueSize = 1024;
            param.outQueueSize = 1024;
            opened = receiver_->Port_Open(param);
        } else if (portType == 1) {
            FJComm::PARAM_BT param;
            param.port = port;
            param.baud = static_cast<uint32_t>(baud);
            param.byteSize = 8;
            param.parity = 0;
            param.stopBits = 0;
            param.inQueueSize = 1024;
            param.outQueueSize = 1024;
            opened = receiver_->Port_Open(param);
        }
    }

    if (!opened) {
        if (autoConnect_) {
            // The next rate is tried from the event loop, not from inside
            // this call.
            scheduleNextBaudStep();
            return true;
        }
        state_.store(0);
        return false;
    }

    if (manufacturer == FJParse::GNSS_MNFCTR_ORVEL) {
        setPassThrough(false);
        deviceInfoArrived_.store(false);
        // State 2 is in place before the request goes out, so that an early
        // answer on the processing thread finds it.
        moveState(1, 2);
        receiver_->Send_DeviceInfo();
        if (autoConnect_)
            retryTimer_.start();
        return true;
    }
    moveState(1, 4);
    return true;
}

void DeviceManager::scheduleNextBaudStep() {
    const uint64_t attempt = attempt_;
    QMetaObject::invokeMethod(
        this,
        [this, attempt] {
            if (attempt == attempt_ && autoRetryActive_)
                nextBaudStep();
        },
        Qt::QueuedConnection);
}

void DeviceManager::onTryToConnectTimeOut() {
    if (!autoRetryActive_)
        return;
    // A device information that named the new-protocol board is not yet an
    // answer: the first reply on the new protocol is (see
    // onNewProtocolTimeout).
    if (deviceInfoArrived_.load() && !onNewProtocolTimeout())
        return;
    nextBaudStep();
}

void DeviceManager::nextBaudStep() {
    candidates_.removeAll(baud_.load());
    if (candidates_.isEmpty()) {
        announce(DeviceObserver::EventConnectionFailed);
        return;
    }
    if (receiver_ && receiver_->IsPortOpen())
        receiver_->Port_Close();
    state_.store(0);
    connectDevice(portType_, port_, candidates_.first());
}

bool DeviceManager::disconnectDevice() {
    autoRetryActive_ = false;
    retryTimer_.stop();
    ++attempt_;
    const int state = state_.load();
    if (state == 0 || state == 5)
        return true;
    announceState(5);
    // Port_Close also frees a protocol object left by a failed open, and is
    // true when no port was open.
    const bool result = receiver_ ? receiver_->Port_Close() : true;
    announceState(0);
    return result;
}

void DeviceManager::capabilityMask(unsigned& mask) const {
    mask = devicemanager::CapabilityMaskFor(deviceType_.load(), versionFlag_.load());
}

// ---------------------------------------------------------------------------
// Receiver callbacks

void DeviceManager::onReceiverEvent(int messageClass, unsigned changeBits, const void*) {
    // Never creates the manager: a device thread only reaches the one that
    // owns it, which closes its receiver before it goes.
    if (DeviceManager* manager = g_manager.load())
        manager->handleReceiverEvent(messageClass, changeBits);
}

void DeviceManager::onOemTypeResult(bool changed, const void*) {
    if (DeviceManager* manager = g_manager.load())
        manager->handleOemTypeResult(changed);
}

void DeviceManager::handleReceiverEvent(int messageClass, unsigned bits) {
    Receiver* receiver = receiver_.get();
    if (!receiver)
        return;
    if (messageClass != FJParse::MSG_TYPE_ORVEL && messageClass != FJParse::MSG_TYPE_GNSS) {
        handleNewProtocolEvent(messageClass, bits);
        return;
    }
    // Of what the GNSS board reports, only its elevation mask is kept.
    if (messageClass == FJParse::MSG_TYPE_GNSS) {
        if (bits & FJParse::ChangeBits::ElevMask) {
            storeAndAnnounce(&Cache::elevationMask, unsigned(receiver->GetInfo_Gnss_ElevMask()),
                             DeviceObserver::EventElevMask);
        }
        return;
    }

    if (bits & FJParse::OldReplyBits::DeviceInfo)
        onDeviceInformation();
    if (bits & FJParse::OldReplyBits::StaticPoint)
        onStaticPoint();
    if (bits & FJParse::OldReplyBits::Battery) {
        const int grade = receiver->Get_Battery_Grd();
        storeAndAnnounce(&Cache::batteryGrade, grade, DeviceObserver::EventBatteryLife, grade);
    }
    if (bits & FJParse::OldReplyBits::ModemInfo) {
        WirelessInfo info{};
        receiver->GetInfo_Gprs_Info(info);
        storeAndAnnounce(&Cache::wireless, info, DeviceObserver::EventWirelessParams);
    }
    if (bits & FJParse::OldReplyBits::ModemVersion) {
        const double version = receiver->GetInfo_Gprs_Version();
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.gprsVersion = version;
            cache_.gprsVersionKnown = true;
        }
        announce(DeviceObserver::EventGprsVersion);
        onRadioInfoAndRange();
        moveState(3, 4);
    }
    if (bits & FJParse::OldReplyBits::ModemStatus) {
        storeAndAnnounce(&Cache::status, gprs_status(receiver->GetInfo_Gprs_Status()),
                         DeviceObserver::EventWirelessStatus);
    }
    if (bits & FJParse::OldReplyBits::ModemError) {
        storeAndAnnounce(&Cache::error, gprs_ero(receiver->GetInfo_Gprs_Eroinfo()),
                         DeviceObserver::EventWirelessError);
    }
    if (bits & FJParse::OldReplyBits::LoginMode) {
        storeAndAnnounce(&Cache::loginMode, int(receiver->GetInfo_Gprs_CosMdl()),
                         DeviceObserver::EventLoginMode);
    }
    if (bits & FJParse::OldReplyBits::NtripLogin) {
        cors_info cors{};
        int autoFlag = 0;
        receiver->Get_Cors_Info_Auto(cors, autoFlag);
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.cors = cors;
            cache_.corsAuto = autoFlag;
        }
        announce(DeviceObserver::EventCorsInfo);
    }
    onRadioReports(bits);
    if (bits & FJParse::OldReplyBits::SourceTable)
        onSourceTableChunk();
    if (bits & FJParse::OldReplyBits::Closing)
        announce(DeviceObserver::EventDeviceClosed);
}

void DeviceManager::onDeviceInformation() {
    deviceInfoArrived_.store(true);
    DEVICE_STR info{};
    receiver_->GetInfo_DevcInfo(info);
    {
        std::lock_guard<std::mutex> lock(cacheLock_);
        cache_.deviceInfo = info;
    }
    versionFlag_.store(devicemanager::FirmwareVersionFlag(info.firmwareVersion, sizeof(info.firmwareVersion)));
    const int board = info.boardType;
    boardType_.store(board);
    announce(DeviceObserver::EventDeviceInfo);
    if (board != 0) {
        const int next = deviceType_.load() == 2 ? 4 : 3;
        if (moveState(2, next))
            receiver_->ReSetGnsMd(static_cast<FJParse::MAINBD_OEM_TYPE>(board));
    } else {
        onNewProtocolBoard();
    }
}

void DeviceManager::onSourceTableChunk() {
    std::array<char, devicemanager::SourceTableGatherer::kChunkSize> chunk{};
    int length = 0;
    receiver_->Get_Gprs_GetList(chunk.data(), &length);
    bool complete = false;
    {
        std::lock_guard<std::mutex> lock(cacheLock_);
        complete = cache_.sourceTable.addChunk(chunk.data(), length);
    }
    if (complete)
        announce(DeviceObserver::EventSourceTable);
}

void DeviceManager::handleOemTypeResult(bool changed) {
    if (!changed) {
        announce(DeviceObserver::EventOemNotChanged);
        return;
    }
    announce(DeviceObserver::EventOemChanged);
    if (state_.load() == 3 && receiver_)
        receiver_->Send_Gprs_Version();
    if (newProtocolStep_.load() == SwitchingFormat)
        onNewProtocolFormatReady();
}

// ---------------------------------------------------------------------------
// Requests

void DeviceManager::sendInfoRequests() {
    if (!receiver_)
        return;
    // A receiver switched over to the new protocol answers neither the
    // device-information nor the modem-version request of the old one: what
    // was read before the switch is announced again from the cache, and only
    // the battery is asked for.
    if (receiver_->Get_MAINBD_OEM_TYPE() == FJParse::MAINBD_ORVEL_NEW) {
        announce(DeviceObserver::EventDeviceInfo);
        announce(DeviceObserver::EventGprsVersion);
        receiver_->Send_Battery();
        return;
    }
    receiver_->Send_DeviceInfo();
    receiver_->Send_Gprs_Version();
    receiver_->Send_Battery();
}

void DeviceManager::sendDeviceInfo() {
    if (receiver_)
        receiver_->Send_DeviceInfo();
}

void DeviceManager::sendBattery() {
    if (receiver_)
        receiver_->Send_Battery();
}

void DeviceManager::sendGnssReset() {
    if (receiver_)
        receiver_->Send_Gnss_Reset();
}

void DeviceManager::sendGprsInfo() {
    if (receiver_)
        receiver_->Send_Gprs_Info();
}

void DeviceManager::sendGprsStatus() {
    if (receiver_)
        receiver_->Send_Gprs_Status();
}

void DeviceManager::sendGprsEroinfo() {
    if (receiver_)
        receiver_->Send_Gprs_Eroinfo();
}

void DeviceManager::sendGprsGetList() {
    {
        std::lock_guard<std::mutex> lock(cacheLock_);
        cache_.sourceTable.clear();
    }
    if (receiver_)
        receiver_->Send_Gprs_GetList();
}

void DeviceManager::send200Data(bool on) {
    if (receiver_)
        receiver_->Send_200Data(on);
}

void DeviceManager::setPassThrough(bool on) {
    if (receiver_)
        receiver_->Send_OvMdl(on ? 1u : 2u);
}

void DeviceManager::powerOffReceiver() {
    if (receiver_)
        receiver_->Send_CloseReceiver();
}

void DeviceManager::setRecording(uint8_t recordType, uint8_t recordTime, uint8_t recordFrequency, unsigned mask) {
    if (!receiver_)
        return;
    receiver_->Set_DevcInfo_RrdTp(recordType);
    receiver_->Set_DevcInfo_RrdTime(recordTime);
    receiver_->Set_DevcInfo_RrdFrq(recordFrequency);
    receiver_->Set_DevcInfo_Mask(mask);
    if (!oldProtocolReceiver())
        return;
    // As the device information reports them: one byte each.
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.deviceInfo.recordType = recordType;
    cache_.deviceInfo.recordPeriod = recordTime;
    cache_.deviceInfo.recordInterval = recordFrequency;
    cache_.deviceInfo.recordElevMask = uint8_t(mask);
}

void DeviceManager::setGprsSvcInfo(SvcInfo info) {
    if (!receiver_)
        return;
    receiver_->Set_Gprs_SvcInfo(info);
    if (!oldProtocolReceiver())
        return;
    // The service record's texts are the modem record's, field for field.
    static_assert(sizeof info.apn == sizeof cache_.wireless.apn &&
                  sizeof info.dialNumber == sizeof cache_.wireless.dialNumber &&
                  sizeof info.userName == sizeof cache_.wireless.userName &&
                  sizeof info.password == sizeof cache_.wireless.password);
    std::lock_guard<std::mutex> lock(cacheLock_);
    WirelessInfo& modem = cache_.wireless;
    std::memcpy(modem.apn, info.apn, sizeof modem.apn);
    std::memcpy(modem.dialNumber, info.dialNumber, sizeof modem.dialNumber);
    std::memcpy(modem.userName, info.userName, sizeof modem.userName);
    std::memcpy(modem.password, info.password, sizeof modem.password);
}

void DeviceManager::setGprsIp(IP_ADRES address, unsigned port, Protocol_Net protocol, std::string_view hostName) {
    if (!receiver_)
        return;
    // The new protocol's link item holds the server, not the protocol, and
    // takes the host name whole.
    const bool newProtocolBoard = makerReceiver() && !oldProtocolReceiver();
    std::string hostSent;
    if (newProtocolBoard)
        hostSent = setNetLinkServer(address, port, hostName);
    else
        receiver_->Set_Gprs_Ip(address, port, protocol);
    if (!makerReceiver())
        return;
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.wireless.address = address;
    cache_.wireless.port = port;
    if (newProtocolBoard) {
        markAddressAsText(cache_.wireless, !hostSent.empty());
        cache_.netLinkHost = hostSent;
    } else {
        cache_.wireless.protocol = uint32_t(protocol);
    }
}

void DeviceManager::setComBaudrate(Com_Baudrate rate) {
    if (!receiver_)
        return;
    receiver_->Set_Com_Baudrate(rate);
    if (!makerReceiver())
        return;
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.comBaudrate = int(rate);
}

// ---------------------------------------------------------------------------
// Cache

DeviceManager::DEVICE_STR DeviceManager::deviceInfo() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.deviceInfo;
}

int DeviceManager::batteryGrade() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.batteryGrade;
}

double DeviceManager::gprsVersion() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.gprsVersion;
}

bool DeviceManager::hasGprsVersion() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.gprsVersionKnown;
}

void DeviceManager::gprsInfo(WirelessInfo& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.wireless;
}

std::string DeviceManager::netLinkHost() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.netLinkHost;
}

void DeviceManager::corsInfo(cors_info& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.cors;
}

int DeviceManager::gprsCosMdl() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.loginMode;
}

DeviceManager::gprs_status DeviceManager::gprsStatus() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.status;
}

DeviceManager::gprs_ero DeviceManager::gprsEroinfo() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.error;
}

QStringList DeviceManager::sourceTableNames() {
    QStringList names;
    std::lock_guard<std::mutex> lock(cacheLock_);
    QString text = QString::fromLatin1(cache_.sourceTable.text());
    devicemanager::ParseSourceTable(text, names);
    cache_.sourceTable.setText(text.toLatin1());
    return names;
}

bool DeviceManager::sourceTableCut() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.sourceTable.cut();
}

// ---------------------------------------------------------------------------
// Choice lists

void DeviceManager::outputRates(QStringList& names, QList<int>& codes) const {
    devicemanager::OutputRatesFor(boardType_.load(), names, codes);
}

void DeviceManager::nmeaMessages(QStringList& names, QList<uint32_t>& masks) const {
    devicemanager::NmeaMessagesFor(boardType_.load(), names, masks);
}

void DeviceManager::parseSourceTable(QString& text, QStringList& names) {
    devicemanager::ParseSourceTable(text, names);
}
