#pragma once

#include "fjcomm/FJCommExport.h"

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJComm {

// Port type codes: the type argument of CreatePortInstance and what GetType
// reports. A Bluetooth virtual COM port is the serial class and reports 0.
enum PORT_TYPE : int32_t {
    PORT_TYPE_COM = 0,
    PORT_TYPE_BT = 1,
    PORT_TYPE_SOCK = 2,
    PORT_TYPE_VIRTUAL = 3,
};

// Results of the port library. Besides these, a serial line set-up that the
// system refuses returns the system error code of the call that failed.
constexpr unsigned PORT_OK = 0;
constexpr unsigned PORT_FILE_OPEN_FAILED = 1;     // replay file cannot be opened
constexpr unsigned PORT_TYPE_NOT_SUPPORTED = 2;   // type other than 0..3, or a serial call on another port
constexpr unsigned PORT_OUT_OF_MEMORY = 3;
constexpr unsigned PORT_BAD_PARAMETER = 4;        // no settings, or the port cannot be opened / is not open

// Serial line settings for a COM port (type 0). The port library reads the
// port number as one byte.
struct PARAM_COM {
    uint8_t port = 1;             // the n of COMn
    uint32_t baud = 9600;         // bits per second
    uint8_t byteSize = 8;         // data bits
    uint8_t parity = 0;           // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t stopBits = 0;         // 0 one, 1 one and a half, 2 two
    uint32_t inQueueSize = 1024;  // driver receive queue, bytes
    uint32_t outQueueSize = 1024; // driver transmit queue, bytes
};
static_assert(sizeof(PARAM_COM) == 20, "PARAM_COM is 20 bytes");
static_assert(offsetof(PARAM_COM, baud) == 4 && offsetof(PARAM_COM, byteSize) == 8 &&
                  offsetof(PARAM_COM, parity) == 9 && offsetof(PARAM_COM, stopBits) == 10 &&
                  offsetof(PARAM_COM, inQueueSize) == 12 && offsetof(PARAM_COM, outQueueSize) == 16,
              "PARAM_COM field offsets");

// The same settings for a Bluetooth virtual COM port (type 1), opened exactly
// like a serial port.
struct PARAM_BT {
    uint8_t port = 8;
    uint32_t baud = 9600;
    uint8_t byteSize = 8;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
    uint32_t inQueueSize = 1024;
    uint32_t outQueueSize = 1024;
};
static_assert(sizeof(PARAM_BT) == sizeof(PARAM_COM), "PARAM_BT shares the layout of PARAM_COM");
static_assert(offsetof(PARAM_BT, baud) == offsetof(PARAM_COM, baud) &&
                  offsetof(PARAM_BT, byteSize) == offsetof(PARAM_COM, byteSize) &&
                  offsetof(PARAM_BT, inQueueSize) == offsetof(PARAM_COM, inQueueSize) &&
                  offsetof(PARAM_BT, outQueueSize) == offsetof(PARAM_COM, outQueueSize),
              "PARAM_BT field offsets");

// A TCP client address (type 2).
struct PARAM_SOCK {
    uint32_t address = 0;   // IPv4 address in network byte order (first byte = first number)
    uint32_t port = 0;      // TCP port in host order; only the low 16 bits are used
    uint32_t reserved = 0;  // not read
};
static_assert(sizeof(PARAM_SOCK) == 12, "PARAM_SOCK is 12 bytes");
static_assert(offsetof(PARAM_SOCK, port) == 4 && offsetof(PARAM_SOCK, reserved) == 8,
              "PARAM_SOCK field offsets");

// One byte-stream port. Made only by CreatePortInstance, freed only by
// ExitPortInstance; the caller uninitialises before freeing.
class FJCOMM_API IPort {
public:
    virtual ~IPort() = default;
    // 0 on success, otherwise an error code (see the results above).
    virtual unsigned Initialize(void* param) = 0;
    // Releases the link; a read or write waiting on another thread returns.
    virtual void Uninitialize() = 0;
    virtual bool IsOpen() = 0;
    // Bytes read, at most size; 0 when nothing was read.
    virtual unsigned ReadData(char* buffer, unsigned size) = 0;
    // Bytes written.
    virtual unsigned WriteData(const char* data, unsigned size) = 0;
    virtual unsigned GetType() const = 0;
    // Waits until the link may have bytes to read, Uninitialize is called or
    // timeoutMs has passed: 1 for the first two, 0 at the time-out; -1 when
    // the port has no such wait (its ReadData waits or paces itself) and the
    // caller paces its reads.
    virtual int WaitForData(uint32_t timeoutMs) {
        (void)timeoutMs;
        return -1;
    }
};

// Makes a port of the given type and initialises it with param (PARAM_COM,
// PARAM_BT, PARAM_SOCK or a zero-terminated file path). On 0 *port is the new
// port, which becomes the library's current port; otherwise nothing is left
// behind, *port is not written and the code is returned.
FJCOMM_API unsigned CreatePortInstance(int type, void* param, IPort** port);

// Frees *port (without uninitialising it) and sets *port to null; nothing when
// either pointer is null. A freed port is no longer the current port.
FJCOMM_API void ExitPortInstance(IPort** port);

// Sets the baud rate of the current serial port and applies its line set-up
// again. 0 on success; PORT_BAD_PARAMETER when there is no current port or it
// is not open, PORT_TYPE_NOT_SUPPORTED when it is not a serial port, or the
// system error code of the set-up step that failed (a rate the line refuses
// is not stored).
FJCOMM_API unsigned SetBaud(unsigned baud);

}  // namespace FJComm
}  // namespace Fjarnis2011
