// The maker's receivers of the new protocol. Every receiver of the maker is
// first opened on the old protocol, whose device-information request they all
// answer; a model code of no old board gives board type 0, the new-protocol
// board. Such a receiver is then switched over: its protocol object takes the
// new-protocol format (a board reset to type 0 on the writing thread), the
// normal-mode switch goes out again (now the com-direct item) with a
// power-status query behind it, and the connection is complete only when the
// receiver answers in the new protocol, so that a receiver that does not
// speak it is never reported as connected.

#include "program/DeviceManager.h"

#include "program/DeviceObserver.h"

#include "device/EmGnss_Receiver.h"

#include <QMetaObject>

using namespace Fjarnis2011;

namespace {

// Message class of the new protocol's system and port replies (operation
// codes 2, 3, 10, 11, 38 and 39), and its bit for the power-status item
// (772) that carries the battery levels.
constexpr int kSystemReplyClass = 4;
constexpr unsigned kPowerStatusBit = 0x1;
// Message class of the network-link, radio and data-link replies (operation
// codes 22, 23, 46, 47, 50 and 51), and its bit for the source list (4358).
constexpr int kLinkReplyClass = 6;
constexpr unsigned kSourceListBit = 0x2000;

}  // namespace

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
        },
        Qt::QueuedConnection);
}

// Processing thread: a reply of the new protocol (message classes 0 and 3 to
// 6, by operation code).
void DeviceManager::handleNewProtocolEvent(int messageClass, unsigned bits) {
    if (bits == 0)
        return;
    int expected = AwaitingReply;
    if (newProtocolStep_.compare_exchange_strong(expected, NoSwitch))
        moveState(2, 4);
    if (messageClass == kSystemReplyClass && (bits & kPowerStatusBit)) {
        const int grade = receiver_->Get_Battery_Grd();
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.batteryGrade = grade;
        }
        announce(DeviceObserver::EventBatteryLife, grade);
    }
    // The receiver's modem fetches the caster's source table and hands it
    // over whole; it is gathered like the old protocol's chunks.
    if (messageClass == kLinkReplyClass && (bits & kSourceListBit))
        onSourceTableChunk();
}
