// DeviceManager's requests of the RTK and Output pages: each forwards to the
// receiver object, which queues the commands and returns at once.

#include "program/DeviceManager.h"

#include <mutex>

using Fjarnis2011::FJParse::GNSS_FRQ;

namespace {
// The receiver's position rate in Hz ("SW,B0,B<hz>") for a rate code, as its
// device information reports it.
uint8_t PositionRateHz(GNSS_FRQ rate) {
    switch (rate) {
    case Fjarnis2011::FJParse::GNSS_FRQ_5HZ: return 5;
    case Fjarnis2011::FJParse::GNSS_FRQ_2HZ: return 2;
    default: return 1;
    }
}
}  // namespace

bool DeviceManager::makerReceiver() const {
    return receiver_ && receiver_->Get_Gnss_Manufacturer() == Fjarnis2011::FJParse::GNSS_MNFCTR_ORVEL;
}

// The maker's receiver with an old-protocol board: it knows no new-protocol
// items and takes its settings by its own commands.
bool DeviceManager::oldProtocolReceiver() const {
    return makerReceiver() && receiver_->Get_MAINBD_OEM_TYPE() != Fjarnis2011::FJParse::MAINBD_ORVEL_NEW;
}

void DeviceManager::setRtkParams(unsigned output, int startType, uint16_t autoBaseDistance, unsigned transmitPort,
                                 unsigned transmitFormat, unsigned elevationMask, GNSS_FRQ rate) {
    if (!receiver_)
        return;
    const bool oldProtocol = oldProtocolReceiver();
    // Only firmware from version 8 on knows the automatic base's distance.
    const bool sendsDistance = startType == Fjarnis2011::FJParse::START_TYPE_AUTO_BASE && versionFlag();
    // The elevation mask: an old-protocol receiver would drop the
    // new-protocol item, so it gets its own command.
    if (oldProtocol)
        receiver_->Set_Gnss_ElevDgre(elevationMask);
    else
        receiver_->Set_Gnss_ElevMask(elevationMask);
    receiver_->Set_DevcInfo_OutPut(output);
    receiver_->Set_DevcInfo_StrtTp(unsigned(startType));
    if (sendsDistance)
        receiver_->Set_DevcInfo_AutoBaseDist(autoBaseDistance);
    receiver_->Set_DevcInfo_TrsmtPort(transmitPort);
    receiver_->Set_DevcInfo_TrsmtFmat(transmitFormat);
    receiver_->Set_Position_Frq(rate);
    receiver_->Set_Gnss_PosFrq(rate);
    if (!oldProtocol)
        return;
    // Each setting as the receiver's device information reports it: one
    // byte, the rate in Hz.
    std::lock_guard<std::mutex> lock(cacheLock_);
    DEVICE_STR& info = cache_.deviceInfo;
    info.rtkElevMask = uint8_t(elevationMask);
    info.outputMode = uint8_t(output);
    info.startType = uint8_t(startType);
    if (sendsDistance)
        info.autoBaseDist = autoBaseDistance;
    info.transmitPort = uint8_t(transmitPort);
    info.transmitFormat = uint8_t(transmitFormat);
    info.positionRate = PositionRateHz(rate);
}

// What the receiver reported of its elevation mask last (the board's or the
// new protocol's report).
unsigned DeviceManager::elevationMask() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.elevationMask;
}

void DeviceManager::setOrvelNmea(std::vector<Fjarnis2011::FJParse::_set_nmea>& list, bool flag, int value) {
    if (!receiver_)
        return;
    receiver_->Set_Orvel_NMEA(list, value, flag);
    if (!makerReceiver())
        return;
    std::lock_guard<std::mutex> lock(cacheLock_);
    cache_.nmeaOutputSet = true;
    cache_.nmeaOutput = list;
    cache_.nmeaPort = value;
}

bool DeviceManager::nmeaOutput(std::vector<Fjarnis2011::FJParse::_set_nmea>& list, int& value) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    if (!cache_.nmeaOutputSet)
        return false;
    list = cache_.nmeaOutput;
    value = cache_.nmeaPort;
    return true;
}

int DeviceManager::comBaudrate() const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    return cache_.comBaudrate;
}
