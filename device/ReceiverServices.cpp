#include "device/ReceiverServices.h"

#include "platform/Time.h"

#include <exception>

namespace Fjarnis2011 {
namespace FJDevice {

ReceiverServices::~ReceiverServices() = default;

FJParse::Em_Gnss* ReceiverServices::NewProtocolObject(FJParse::GNSS_MANUFACTURER manufacturer,
                                                      FJParse::MAINBD_OEM_TYPE board) {
    return new FJParse::Em_Gnss(manufacturer, board);
}

unsigned ReceiverServices::CreatePort(int type, void* settings, FJComm::IPort** port) {
    return FJComm::CreatePortInstance(type, settings, port);
}

void ReceiverServices::ExitPort(FJComm::IPort** port) { FJComm::ExitPortInstance(port); }

void ReceiverServices::SetBaud(unsigned baud) {
    // The port library reports a refused rate by its result; nothing of it
    // may escape into the caller of the receiver object.
    try {
        (void)FJComm::SetBaud(baud);
    } catch (...) {
    }
}

bool ReceiverServices::StartThread(std::thread& thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
        return true;
    } catch (const std::exception&) {
        return false;  // no thread, or no memory for its start
    }
}

bool ReceiverServices::Pause(platform::Event& exitEvent, uint32_t ms) { return exitEvent.Wait(ms); }

void ReceiverServices::Sleep(uint32_t ms) { platform::SleepMs(ms); }

ReceiverServices& ReceiverServices::System() {
    // Never destroyed: a receiver object that lives into the process's end
    // still reaches it.
    static ReceiverServices* const services = new ReceiverServices;
    return *services;
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
