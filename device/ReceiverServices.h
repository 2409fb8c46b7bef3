#pragma once

// What a receiver object asks of the world outside it: the protocol object it
// talks through, ports and the baud call of the port library, threads, the
// writer's pause after a command and the settling sleep of a mode switch. The
// system's services are the default; tests hand a receiver object their own to
// watch and steer it.

#include "device/FJDeviceExport.h"
#include "fjcomm/IPort.h"
#include "platform/Event.h"
#include "protocol/Em_Gnss.h"

#include <cstdint>
#include <functional>
#include <thread>

namespace Fjarnis2011 {
namespace FJDevice {

class FJDEVICE_API ReceiverServices {
public:
    virtual ~ReceiverServices();

    // A new protocol object for the two codes, which the receiver object then
    // owns and deletes. Null, or an exception of the allocator, fails the open.
    virtual FJParse::Em_Gnss* NewProtocolObject(FJParse::GNSS_MANUFACTURER manufacturer,
                                                FJParse::MAINBD_OEM_TYPE board);

    // The port library's CreatePortInstance: 0 and *port set on success.
    virtual unsigned CreatePort(int type, void* settings, FJComm::IPort** port);
    // The port library's ExitPortInstance: frees *port and clears it.
    virtual void ExitPort(FJComm::IPort** port);
    // The port library's SetBaud on its current serial port. A rate the line
    // refuses is not reported: the receiver object goes on at the old rate.
    virtual void SetBaud(unsigned baud);
    // Runs body on a new thread held by `thread`; false when the system
    // refuses a thread (nothing is started then).
    virtual bool StartThread(std::thread& thread, std::function<void()> body);
    // The writer's pause after a command: waits up to ms on the exit event;
    // true when the exit event (or a failed wait) ended it.
    virtual bool Pause(platform::Event& exitEvent, uint32_t ms);
    // The sleep that lets a mode-switch command go out before anything else
    // changes.
    virtual void Sleep(uint32_t ms);

    // The port library and the system; lives as long as the process.
    static ReceiverServices& System();
};

}  // namespace FJDevice
}  // namespace Fjarnis2011
