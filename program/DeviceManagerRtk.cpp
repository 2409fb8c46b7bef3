// DeviceManager's requests of the RTK and Output pages: each forwards to the
// receiver object, which queues the commands and returns at once.

#include "program/DeviceManager.h"

using Fjarnis2011::FJParse::GNSS_FRQ;

namespace {
// The maker's receiver with an old-protocol board: it knows no new-protocol
// items and takes its settings by its own commands.
bool IsOldProtocolReceiver(Fjarnis2011::FJDevice::EmGnss_Receiver& receiver) {
    return receiver.Get_Gnss_Manufacturer() == Fjarnis2011::FJParse::GNSS_MNFCTR_ORVEL &&
           receiver.Get_MAINBD_OEM_TYPE() != Fjarnis2011::FJParse::MAINBD_ORVEL_NEW;
}
}  // namespace

void DeviceManager::setRtkParams(unsigned output, int startType, uint16_t autoBaseDistance, unsigned transmitPort,
                                 unsigned transmitFormat, unsigned elevationMask, GNSS_FRQ rate) {
    if (!receiver_)
        return;
    // The elevation mask: an old-protocol receiver would drop the
    // new-protocol item, so it gets its own command.
    if (IsOldProtocolReceiver(*receiver_))
        receiver_->Set_Gnss_ElevDgre(elevationMask);
    else
        receiver_->Set_Gnss_ElevMask(elevationMask);
    receiver_->Set_DevcInfo_OutPut(output);
    receiver_->Set_DevcInfo_StrtTp(unsigned(startType));
    // Only firmware from version 8 on knows the automatic base's distance.
    if (startType == Fjarnis2011::FJParse::START_TYPE_AUTO_BASE && versionFlag())
        receiver_->Set_DevcInfo_AutoBaseDist(autoBaseDistance);
    receiver_->Set_DevcInfo_TrsmtPort(transmitPort);
    receiver_->Set_DevcInfo_TrsmtFmat(transmitFormat);
    receiver_->Set_Position_Frq(rate);
    receiver_->Set_Gnss_PosFrq(rate);
}

void DeviceManager::setOrvelNmea(std::vector<Fjarnis2011::FJParse::_set_nmea>& list, bool flag, int value) {
    if (receiver_)
        receiver_->Set_Orvel_NMEA(list, value, flag);
}
