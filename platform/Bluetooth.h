#pragma once

// The handheld's Bluetooth services (handheld build only): the radio mode, a
// device inquiry that returns one device at a time, and binding a remote
// device to a numbered serial port. One interface, two backends: BlueZ on
// Linux, and a scripted one that tests fill with devices, codes and serial
// lines. Codes are those of platform/ErrorCodes.h, never 0 for a failure.

#include "platform/Export.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Radio modes of the system's Bluetooth utility.
constexpr int kRadioOff = 0;
constexpr int kRadioConnectable = 1;
constexpr int kRadioDiscoverable = 2;

// One result of an inquiry, as the system lookup hands it out: an optional
// name and the address entries (a device has exactly one).
struct BluetoothLookupResult {
    struct Address {
        uint64_t device = 0;  // the 48-bit device address
        uint32_t port = 0;    // the port field of the Bluetooth socket address
    };
    bool hasName = false;
    std::wstring name;
    std::vector<Address> addresses;
};

// A device inquiry in progress. Next runs on the searching thread; End may be
// called from any thread at any time, also while Next waits.
class PLATFORM_API BluetoothInquiry {
public:
    virtual ~BluetoothInquiry() = default;
    // Waits for the next result: 0 with *result filled, wsaerr::kNoMore when
    // the inquiry has run out, wsaerr::kCancelled once it was ended, or the
    // code of a failure.
    virtual uint32_t Next(BluetoothLookupResult* result) = 0;
    // Ends the inquiry and wakes a waiting Next. Idempotent.
    virtual void End() = 0;
};

// The service class as the system writes a GUID.
struct BluetoothGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
    bool operator==(const BluetoothGuid&) const = default;
};

// What the Bluetooth serial driver needs to make a virtual serial port.
struct BluetoothSerialPortParams {
    uint64_t device = 0;        // remote device address (48 bits)
    BluetoothGuid serviceClass; // the service to reach on it
    uint8_t channel = 0;        // 254: the channel the device offers for the service
    bool local = false;         // false: a client port
    uint32_t flags = 0;
};

constexpr uint8_t kBluetoothChannelFromService = 0xFE;

class PLATFORM_API BluetoothBackend {
public:
    virtual ~BluetoothBackend() = default;
    // 0 with *mode set, or the code of a failure.
    virtual uint32_t GetRadioMode(int* mode) = 0;
    virtual uint32_t SetRadioMode(int mode) = 0;
    // Begins an inquiry for devices: 0 with *inquiry set, or a socket code.
    virtual uint32_t BeginInquiry(std::shared_ptr<BluetoothInquiry>* inquiry) = 0;
    // Makes COM <index> a serial port to the device: 0 with a non-zero
    // *handle, or a system code (winerr::kDeviceInUse when the index is
    // taken, winerr::kInvalidIndex when there is no such index).
    virtual uint32_t RegisterSerialPort(unsigned index, const BluetoothSerialPortParams& params,
                                        uint64_t* handle) = 0;
    // Removes a port made by RegisterSerialPort. 0 or a system code.
    virtual uint32_t DeregisterSerialPort(uint64_t handle) = 0;
};

// The backend the port library uses: BlueZ, unless a test set another.
PLATFORM_API std::shared_ptr<BluetoothBackend> CurrentBluetoothBackend();
// Tests: replaces the backend; null restores BlueZ.
PLATFORM_API void SetBluetoothBackend(std::shared_ptr<BluetoothBackend> backend);

// The Linux backend: the first HCI adapter's state is the radio (none, or one
// that is down, is off), inquiries run on the HCI socket with the remote names
// asked for, and a bound port is an RFCOMM serial device /dev/rfcomm<index>
// registered as COM <index>.
PLATFORM_API std::shared_ptr<BluetoothBackend> MakeBlueZBackend();

// The test backend. The test sets the radio, the codes of each step, the
// devices an inquiry returns, and for each device the serial line a bound
// port opens (for example the simulated receiver's pseudo-terminal); binding
// registers COM <index> to that line. Thread-safe.
class PLATFORM_API ScriptedBluetoothBackend : public BluetoothBackend {
public:
    ScriptedBluetoothBackend();
    ~ScriptedBluetoothBackend() override;  // removes the COM ports it registered

    // --- the script ---
    // Mode reported by GetRadioMode, or the failure code of the query.
    void SetRadio(int mode, uint32_t queryCode = 0);
    // Code of SetRadioMode; on 0 the radio takes the mode.
    void SetRadioSwitchCode(uint32_t code);
    void SetBeginCode(uint32_t code);
    // What each inquiry returns: the results in order, then endCode; with
    // holdOpen the inquiry waits after the last result until it is ended, as
    // a long inquiry does.
    void SetResults(std::vector<BluetoothLookupResult> results, uint32_t endCode = 10110,
                    bool holdOpen = false);
    // The serial line behind a device; binding a device without one fails
    // with winerr::kDeviceNotConnected.
    void SetDeviceLine(uint64_t device, const std::string& path);
    // An index another program holds: binding it fails with kDeviceInUse.
    void SetIndexTaken(unsigned index);

    // --- what happened ---
    int InquiriesBegun() const;
    int InquiriesEnded() const;  // End calls that ended an inquiry (a repeated End is not counted again)
    int EndCalls() const;        // every End call
    // Waits (at most timeoutMs) until a Next waits on a held-open inquiry.
    bool WaitUntilInquiryWaits(uint32_t timeoutMs);
    struct Registration {
        unsigned index = 0;
        BluetoothSerialPortParams params;
        std::string path;
    };
    std::vector<Registration> Registrations() const;  // the ports registered now
    int Deregistrations() const;

    // --- BluetoothBackend ---
    uint32_t GetRadioMode(int* mode) override;
    uint32_t SetRadioMode(int mode) override;
    uint32_t BeginInquiry(std::shared_ptr<BluetoothInquiry>* inquiry) override;
    uint32_t RegisterSerialPort(unsigned index, const BluetoothSerialPortParams& params,
                                uint64_t* handle) override;
    uint32_t DeregisterSerialPort(uint64_t handle) override;

private:
    class Inquiry;
    struct State;
    std::shared_ptr<State> state_;  // shared with the inquiries, which may outlive a call
};

}  // namespace platform
