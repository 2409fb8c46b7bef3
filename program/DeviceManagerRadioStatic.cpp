// DeviceManager's part for static recording and the receiver's internal
// radio: the requests the Static, RTK and data-link pages make, the reports
// that fill the cache, and the accessors the pages read in their slots.

#include "program/DeviceManager.h"

#include "program/DeviceObserver.h"

#include <mutex>

using namespace Fjarnis2011;

namespace {

// The radio settings that the radio information says the module takes.
constexpr uint32_t kOffersPower = FJParse::kRadioOffersPower;
constexpr uint32_t kOffersBaud = FJParse::kRadioOffersBaud;
constexpr uint32_t kOffersSensitivity = FJParse::kRadioOffersSensitivity;
constexpr uint32_t kOffersSpacing = FJParse::kRadioOffersSpacing;
constexpr uint32_t kOffersFrequency = FJParse::kRadioOffersFrequency;
constexpr uint32_t kOffersFec = FJParse::kRadioOffersFec;
constexpr uint32_t kOffersCallsign = FJParse::kRadioOffersCallsign;

}  // namespace

// ---------------------------------------------------------------------------
// Reports (processing thread)

void DeviceManager::onStaticPoint() {
    Static_Point point{};
    receiver_->Get_Static_Point(point);
    storeAndAnnounce(&Cache::staticPoint, point, DeviceObserver::EventStaticPoint);
}

void DeviceManager::onRadioInfoAndRange() {
    // What the module offers is known once its version has come. Both
    // records start from the last reported ones: a getter that cannot fill
    // them yet leaves them as they were.
    Radio_Info info{};
    Radio_Range range{};
    {
        std::lock_guard<std::mutex> lock(cacheLock_);
        info = cache_.radioInfo;
        range = cache_.radioRange;
    }
    receiver_->Get_Radio_Info(info);
    storeAndAnnounce(&Cache::radioInfo, info, DeviceObserver::EventRadioInfo);
    receiver_->Get_Radio_Range(range);
    storeAndAnnounce(&Cache::radioRange, range, DeviceObserver::EventRadioFreqRange);
}

void DeviceManager::onRadioReports(unsigned bits) {
    Receiver* receiver = receiver_.get();
    if (bits & FJParse::OldReplyBits::RadioFrequency) {
        storeAndAnnounce(&Cache::radioFrequency, double(receiver->Get_Radio_Frq()),
                         DeviceObserver::EventRadioFreq);
        storeAndAnnounce(&Cache::radioProtocol, Rdo_Mdl(receiver->Get_Transmit_Mdl()),
                         DeviceObserver::EventRadioProtocol);
    }
    if (bits & FJParse::OldReplyBits::RadioPower) {
        storeAndAnnounce(&Cache::radioPower, Radio_Power(receiver->Get_Radio_Power()),
                         DeviceObserver::EventRadioPower);
    }
    if (bits & FJParse::OldReplyBits::RadioBaud) {
        storeAndAnnounce(&Cache::radioBaud, Radio_Baudrate(receiver->Get_Radio_Baudrate()),
                         DeviceObserver::EventRadioBaudrate);
    }
    // The record getters below leave their output alone when they do not
    // apply; each starts from the cached value so that nothing else is lost.
    if (bits & FJParse::OldReplyBits::Sensitivity) {
        Rdo_Sensitv sensitivity{};
        radioSensitivity(sensitivity);
        receiver->Get_Radio_Sensitivity(sensitivity);
        storeAndAnnounce(&Cache::radioSensitivity, sensitivity, DeviceObserver::EventRadioSensitive);
    }
    if (bits & FJParse::OldReplyBits::ChannelSpacing) {
        Channel_Space spacing{};
        radioChannelSpace(spacing);
        receiver->Get_Radio_ChannelSpace(spacing);
        storeAndAnnounce(&Cache::channelSpace, spacing, DeviceObserver::EventRadioFreqStep);
    }
    if (bits & FJParse::OldReplyBits::Fec) {
        bool fec = radioFec();
        receiver->Get_Radio_FEC(fec);
        storeAndAnnounce(&Cache::radioFec, fec, DeviceObserver::EventRadioFec);
    }
    if (bits & FJParse::OldReplyBits::Callsign) {
        Radio_Callsign callsign = radioCallsign();
        receiver->Get_Radio_Callsign(callsign);
        storeAndAnnounce(&Cache::callsign, callsign, DeviceObserver::EventRadioCallsign);
    }
}

// ---------------------------------------------------------------------------
// Requests (GUI thread)

void DeviceManager::sendStaticPoint() {
    if (receiver_)
        receiver_->Send_Static_Point();
}

void DeviceManager::setRecordingAndPoint(uint8_t recordType, uint8_t recordTime, uint8_t recordFrequency,
                                         unsigned mask, Static_Point* point) {
    setRecording(recordType, recordTime, recordFrequency, mask);
    if (!receiver_)
        return;
    receiver_->Set_Static_Point(point);
    if (!point || !oldProtocolReceiver())
        return;
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.staticPoint = *point;
}

void DeviceManager::beginStatic() {
    if (receiver_)
        receiver_->Set_Static_Begin(true);
}

void DeviceManager::endStatic() {
    if (receiver_)
        receiver_->Set_Static_Begin(false);
}

void DeviceManager::setRadioMdl(Rdo_Mdl mode) {
    if (!receiver_)
        return;
    receiver_->Set_Radio_Mdl(mode);
    if (!oldProtocolReceiver())
        return;
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.radioProtocol = mode;
}

void DeviceManager::setRadioParams(Rdo_Mdl mode, double frequency, Radio_Power power, Radio_Baudrate baud,
                                   Rdo_Sensitv sensitivity, Channel_Space spacing, bool fec,
                                   Radio_Callsign callsign) {
    setRadioMdl(mode);
    if (!receiver_)
        return;
    Radio_Info info{};
    radioInfo(info);
    const uint32_t offers = info.featureBits;
    bool powerSent = false;
    bool baudSent = false;
    if (offers & kOffersPower)
        powerSent = receiver_->Set_Radio_Power(power) != 0;
    if (offers & kOffersBaud)
        baudSent = receiver_->Set_Radio_Baudrate(baud) != 0;
    if (offers & kOffersSensitivity)
        receiver_->Set_Radio_Sensitivity(sensitivity);
    if (offers & kOffersSpacing)
        receiver_->Set_Radio_ChannelSpace(spacing);
    if (offers & kOffersFrequency)
        receiver_->Set_Radio_Frq(frequency);
    if (offers & kOffersFec)
        receiver_->Set_Radio_FEC(fec);
    if (offers & kOffersCallsign)
        receiver_->Set_Radio_Callsign(callsign);
    if (!oldProtocolReceiver())
        return;
    // Each setting the radio was sent, as its reply would report it.
    std::lock_guard<std::mutex> lock(cacheLock_);
    if (powerSent)
        cache_.radioPower = power;
    if (baudSent)
        cache_.radioBaud = baud;
    if (offers & kOffersSensitivity)
        cache_.radioSensitivity = sensitivity;
    if (offers & kOffersSpacing)
        cache_.channelSpace = spacing;
    if (offers & kOffersFrequency)
        cache_.radioFrequency = frequency;
    if (offers & kOffersFec)
        cache_.radioFec = fec;
    // A call sign longer than the module takes is not sent.
    if ((offers & kOffersCallsign) &&
        uint8_t(callsign.message[Radio_Callsign::kLengthByte]) <= Radio_Callsign::kMaxText)
        cache_.callsign = callsign;
}

int DeviceManager::sendRadioFrq() { return receiver_ ? receiver_->Send_Radio_Frq() : -1; }

void DeviceManager::sendRadioPower() {
    if (receiver_)
        receiver_->Send_Radio_Power();
}

void DeviceManager::sendRadioBaudrate() {
    if (receiver_)
        receiver_->Send_Radio_Baudrate();
}

void DeviceManager::sendRadioSensitivity() {
    if (receiver_)
        receiver_->Send_Radio_Sensitivity();
}

void DeviceManager::sendRadioChannelSpace() {
    if (receiver_)
        receiver_->Send_Radio_ChannelSpace();
}

void DeviceManager::sendRadioCallsign() {
    if (receiver_)
        receiver_->Send_Radio_Callsign();
}

void DeviceManager::sendRadioFec() {
    if (receiver_)
        receiver_->Send_Radio_FEC();
}

// ---------------------------------------------------------------------------
// Cache

DeviceManager::Static_Point DeviceManager::staticPoint() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.staticPoint;
}

void DeviceManager::radioInfo(Radio_Info& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.radioInfo;
}

void DeviceManager::radioRange(double& lower, double& upper, double& step) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    lower = cache_.radioRange.lowerMHz;
    upper = cache_.radioRange.upperMHz;
    step = cache_.radioRange.channelStepKHz * 0.001;
}

double DeviceManager::radioFrq() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.radioFrequency;
}

void DeviceManager::transmitMdl(Rdo_Mdl& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.radioProtocol;
}

void DeviceManager::radioPower(Radio_Power& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.radioPower;
}

void DeviceManager::radioBaudrate(Radio_Baudrate& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.radioBaud;
}

void DeviceManager::radioSensitivity(Rdo_Sensitv& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.radioSensitivity;
}

void DeviceManager::radioChannelSpace(Channel_Space& out) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    out = cache_.channelSpace;
}

bool DeviceManager::radioFec() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.radioFec;
}

DeviceManager::Radio_Callsign DeviceManager::radioCallsign() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.callsign;
}
