#include "fjcomm/PortFactory.h"

#include "fjcomm/SerialPort.h"
#include "fjcomm/SockPort.h"
#include "fjcomm/VirtualPort.h"

#include <mutex>
#include <new>

namespace Fjarnis2011 {
namespace FJComm {

namespace {

// Guards the current-instance record. SetBaud holds it while it works on the
// port, so ExitPortInstance cannot free the port under it.
std::mutex g_currentMutex;
IPort* g_current = nullptr;

IPort* NewPort(int type) {
    try {
        switch (type) {
        case PORT_TYPE_COM:
        case PORT_TYPE_BT: return new (std::nothrow) SerialPort();
        case PORT_TYPE_SOCK: return new (std::nothrow) SockPort();
        case PORT_TYPE_VIRTUAL: return new (std::nothrow) VirtualPort();
        default: return nullptr;
        }
    } catch (...) {
        return nullptr;  // a member that could not get its memory
    }
}

}  // namespace

IPort* CurrentPortInstance() {
    std::lock_guard<std::mutex> lock(g_currentMutex);
    return g_current;
}

unsigned CreatePortInstance(int type, void* param, IPort** port) {
    if (type < PORT_TYPE_COM || type > PORT_TYPE_VIRTUAL) return PORT_TYPE_NOT_SUPPORTED;
    // Nowhere to hand the port back: make none.
    if (port == nullptr) return PORT_BAD_PARAMETER;

    IPort* instance = NewPort(type);
    if (!instance) {
        std::lock_guard<std::mutex> lock(g_currentMutex);
        g_current = nullptr;
        return PORT_OUT_OF_MEMORY;
    }
    unsigned code;
    try {
        code = instance->Initialize(param);
    } catch (const std::bad_alloc&) {
        code = PORT_OUT_OF_MEMORY;
    } catch (...) {
        code = PORT_BAD_PARAMETER;
    }
    if (code != PORT_OK) {
        delete instance;
        std::lock_guard<std::mutex> lock(g_currentMutex);
        g_current = nullptr;
        return code;
    }
    {
        std::lock_guard<std::mutex> lock(g_currentMutex);
        g_current = instance;
    }
    *port = instance;
    return PORT_OK;
}

void ExitPortInstance(IPort** port) {
    if (port == nullptr || *port == nullptr) return;
    IPort* instance = *port;
    {
        std::lock_guard<std::mutex> lock(g_currentMutex);
        if (g_current == instance) g_current = nullptr;
    }
    delete instance;
    *port = nullptr;
}

unsigned SetBaud(unsigned baud) {
    try {
        std::lock_guard<std::mutex> lock(g_currentMutex);
        if (g_current == nullptr) return PORT_BAD_PARAMETER;
        auto* serial = dynamic_cast<SerialPort*>(g_current);
        if (serial == nullptr) return PORT_TYPE_NOT_SUPPORTED;
        return serial->ChangeBaud(baud);
    } catch (...) {
        return PORT_BAD_PARAMETER;
    }
}

}  // namespace FJComm
}  // namespace Fjarnis2011
