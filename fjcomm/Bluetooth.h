#pragma once

// The handheld's Bluetooth device search and binding (handheld build only).

#include "fjcomm/FJCommExport.h"
#include "fjcomm/ITask.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace platform {
class BluetoothBackend;
class BluetoothInquiry;
struct BluetoothGuid;
}  // namespace platform

namespace Fjarnis2011 {
namespace FJComm {

// A Bluetooth device address: 48 bits in a 64-bit value.
using BT_ADDR = uint64_t;

// Codes the search leaves besides 0 and the system's own.
constexpr int BT_ERROR_RADIO_OFF = 2206;

// Called on the searching thread for every device found: its name, its
// address, and the port field of its socket address (by pointer and again by
// value).
using BluetoothDeviceFound = void (*)(const wchar_t* name, BT_ADDR* address, uint32_t* port, uint32_t portValue);

// Searches for the Bluetooth devices around and binds a chosen one to a
// numbered serial port, which the port library then opens as COM <index>
// (type 1). A task: Start and Run on a worker thread, Stop from the
// controlling thread. The object may be deleted only once Run has returned;
// the destructor stops a running search and waits for that.
class FJCOMM_API Bluetooth : public ITask {
public:
    Bluetooth();
    ~Bluetooth() override;
    // Copies the name, the addresses, the port id, the error code and the
    // callback; a copy has no inquiry and no bound port of its own, so that
    // neither is ended or removed twice.
    Bluetooth(const Bluetooth& other);
    Bluetooth& operator=(const Bluetooth& other);

    // Reads the radio mode and begins an inquiry. False with the error code
    // set: the query's code, BT_ERROR_RADIO_OFF (the radio is never switched
    // on here), or the code of the inquiry's begin.
    bool Start() override;
    // Runs SearchBluetooth.
    void Run() override;
    // Sets the stop flag and ends the inquiry; a Run waiting for the next
    // device returns. Any thread.
    void Stop() override;
    void StopSearching() { Stop(); }

    // Reports every device with exactly one address to the callback until the
    // inquiry runs out, fails, or is stopped; ends the inquiry (once, whoever
    // comes first). Returns the count (modulo 256). Error code: 0 when a
    // device was reported or the search was stopped, else the inquiry's last
    // code (10110 when it ran out).
    unsigned char SearchBluetooth();

    // Switches the radio on (connectable) when it is off. The error code is
    // set to the last result, which is returned.
    int PowerOn();

    // Removes the port this object bound before, then makes COM <index> a
    // serial port to the device (the serial port service, channel chosen by
    // the device). 0, or the system's code (2404 when the index is in use,
    // 1413 when there is no such index). The third argument is not used.
    int BindBluetooth(BT_ADDR address, unsigned index, unsigned long unused);
    // Removes the bound port, when there is one.
    void DeleteBluetooth();

    int GetErrorCode() const { return error_; }
    int GetType() const { return 1; }

    void SetLocalAddress(BT_ADDR address) { localAddress_ = address; }
    BT_ADDR GetLocalAddress() const { return localAddress_; }
    void SetRemoteAddress(BT_ADDR address) { remoteAddress_ = address; }
    BT_ADDR GetRemoteAddress() const { return remoteAddress_; }
    void SetPortID(uint32_t port) { portId_ = port; }
    uint32_t GetPort() const { return portId_; }
    void SetName(const std::wstring& name) { name_ = name; }
    std::wstring GetName() const { return name_; }

    // Set by the caller before Run; called on the searching thread.
    BluetoothDeviceFound deviceFound = nullptr;

private:
    static bool StringToGUID(const char* text, platform::BluetoothGuid* guid);
    static bool GetBA(const char* text, BT_ADDR* address);
    // Ends the inquiry unless someone already did.
    void EndLookup();

    std::wstring name_;
    BT_ADDR localAddress_ = 0;
    BT_ADDR remoteAddress_ = 0;
    uint32_t portId_ = 0;
    std::shared_ptr<platform::BluetoothBackend> backend_;

    std::mutex mutex_;  // guards what follows
    uint64_t registration_ = 0;  // bound port, 0 when none
    std::shared_ptr<platform::BluetoothInquiry> lookup_;
    int running_ = 0;            // Runs in progress
    std::condition_variable runEnded_;

    std::atomic<uint8_t> stop_{0};
    std::atomic<int> error_{0};
};

}  // namespace FJComm
}  // namespace Fjarnis2011
