#include "fjcomm/Bluetooth.h"

#include "fjcomm/BluetoothText.h"
#include "platform/Bluetooth.h"
#include "platform/ErrorCodes.h"

namespace Fjarnis2011 {
namespace FJComm {

namespace {

// The serial port profile's service class.
constexpr char kSerialPortService[] = "00001101-0000-1000-8000-00805F9B34FB";

}  // namespace

Bluetooth::Bluetooth() : backend_(platform::CurrentBluetoothBackend()) {}

Bluetooth::Bluetooth(const Bluetooth& other)
    : name_(other.name_),
      localAddress_(other.localAddress_),
      remoteAddress_(other.remoteAddress_),
      portId_(other.portId_),
      backend_(other.backend_) {
    deviceFound = other.deviceFound;
    error_ = other.error_.load();
}

Bluetooth& Bluetooth::operator=(const Bluetooth& other) {
    if (this == &other) return *this;
    name_ = other.name_;
    localAddress_ = other.localAddress_;
    remoteAddress_ = other.remoteAddress_;
    portId_ = other.portId_;
    deviceFound = other.deviceFound;
    error_ = other.error_.load();
    return *this;
}

Bluetooth::~Bluetooth() {
    // A search still running on another thread must not outlive the object.
    Stop();
    {
        std::unique_lock<std::mutex> lock(mutex_);
        runEnded_.wait(lock, [&] { return running_ == 0; });
    }
    DeleteBluetooth();
}

bool Bluetooth::Start() {
    stop_ = 0;
    error_ = 0;
    int mode = platform::kRadioOff;
    uint32_t code = backend_->GetRadioMode(&mode);
    if (code != 0) {
        error_ = int(code);
        return false;
    }
    if (mode == platform::kRadioOff) {
        error_ = BT_ERROR_RADIO_OFF;
        return false;
    }
    std::shared_ptr<platform::BluetoothInquiry> inquiry;
    code = backend_->BeginInquiry(&inquiry);
    if (code != 0 || !inquiry) {
        error_ = code != 0 ? int(code) : int(platform::wsaerr::kNetDown);
        return false;
    }
    std::shared_ptr<platform::BluetoothInquiry> previous;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        previous.swap(lookup_);
        lookup_ = inquiry;
    }
    if (previous) previous->End();  // a second Start without a search in between
    return true;
}

void Bluetooth::Run() { SearchBluetooth(); }

void Bluetooth::EndLookup() {
    std::shared_ptr<platform::BluetoothInquiry> inquiry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        inquiry.swap(lookup_);
    }
    if (inquiry) inquiry->End();
}

void Bluetooth::Stop() {
    stop_ = 1;
    EndLookup();
}

unsigned char Bluetooth::SearchBluetooth() {
    std::shared_ptr<platform::BluetoothInquiry> inquiry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++running_;
        inquiry = lookup_;
    }
    unsigned count = 0;
    for (;;) {
        if (stop_) {
            error_ = 0;
            break;
        }
        if (!inquiry) {
            // No inquiry to read: never started, or already ended.
            error_ = int(platform::winerr::kInvalidHandle);
            break;
        }
        platform::BluetoothLookupResult result;
        const uint32_t code = inquiry->Next(&result);
        if (code != 0) {
            error_ = (code == platform::wsaerr::kECancelled || code == platform::wsaerr::kCancelled) ? 0 : int(code);
            break;
        }
        if (result.addresses.size() != 1) continue;  // only a result with one address is a device
        const std::wstring name = result.hasName && !result.name.empty() ? result.name : L"Unnamed Device";
        BT_ADDR address = result.addresses[0].device;
        uint32_t port = result.addresses[0].port;
        if (deviceFound) deviceFound(name.c_str(), &address, &port, port);
        ++count;
    }
    inquiry.reset();
    EndLookup();
    if (count > 0) error_ = 0;
    {
        // Notified under the lock: once it is released the destructor may
        // free the object, and this thread touches nothing of it again.
        std::lock_guard<std::mutex> lock(mutex_);
        --running_;
        runEnded_.notify_all();
    }
    return static_cast<unsigned char>(count);
}

int Bluetooth::PowerOn() {
    int mode = platform::kRadioOff;
    uint32_t code = backend_->GetRadioMode(&mode);
    if (code == 0 && mode == platform::kRadioOff) code = backend_->SetRadioMode(platform::kRadioConnectable);
    error_ = int(code);
    return int(code);
}

int Bluetooth::BindBluetooth(BT_ADDR address, unsigned index, unsigned long /*unused*/) {
    DeleteBluetooth();
    platform::BluetoothSerialPortParams params;
    if (!GetBA(DeviceAddressText(address).c_str(), &params.device) ||
        !StringToGUID(kSerialPortService, &params.serviceClass))
        return int(platform::winerr::kInvalidParameter);
    params.channel = platform::kBluetoothChannelFromService;
    params.local = false;
    params.flags = 1;
    uint64_t handle = 0;
    const uint32_t code = backend_->RegisterSerialPort(index, params, &handle);
    if (code != 0) return int(code);
    std::lock_guard<std::mutex> lock(mutex_);
    registration_ = handle;
    return 0;
}

void Bluetooth::DeleteBluetooth() {
    uint64_t handle = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handle = registration_;
        registration_ = 0;
    }
    if (handle != 0) backend_->DeregisterSerialPort(handle);
}

bool Bluetooth::StringToGUID(const char* text, platform::BluetoothGuid* guid) { return ParseGuidText(text, guid); }

bool Bluetooth::GetBA(const char* text, BT_ADDR* address) { return ParseDeviceAddressText(text, address); }

}  // namespace FJComm
}  // namespace Fjarnis2011
