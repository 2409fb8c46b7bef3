#include "platform/Bluetooth.h"

#include "platform/ComPorts.h"
#include "platform/ErrorCodes.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

namespace platform {

// ---------------------------------------------------------------------------
// Backend selection

namespace {

std::mutex& BackendMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<BluetoothBackend>& BackendSlot() {
    static std::shared_ptr<BluetoothBackend> backend;
    return backend;
}

}  // namespace

std::shared_ptr<BluetoothBackend> CurrentBluetoothBackend() {
    std::lock_guard<std::mutex> lock(BackendMutex());
    if (!BackendSlot()) BackendSlot() = MakeBlueZBackend();
    return BackendSlot();
}

void SetBluetoothBackend(std::shared_ptr<BluetoothBackend> backend) {
    std::lock_guard<std::mutex> lock(BackendMutex());
    BackendSlot() = std::move(backend);
}

// ---------------------------------------------------------------------------
// The scripted backend

struct ScriptedBluetoothBackend::State {
    std::mutex mu;
    std::condition_variable changed;
    int mode = kRadioConnectable;
    uint32_t queryCode = 0;
    uint32_t switchCode = 0;
    uint32_t beginCode = 0;
    std::vector<BluetoothLookupResult> results;
    uint32_t endCode = wsaerr::kNoMore;
    bool holdOpen = false;
    std::map<uint64_t, std::string> lines;
    std::set<unsigned> taken;
    std::map<uint64_t, Registration> registered;  // by handle
    uint64_t nextHandle = 1;
    int begun = 0;
    int ended = 0;
    int endCalls = 0;
    int waiting = 0;
    int deregistrations = 0;
};

class ScriptedBluetoothBackend::Inquiry : public BluetoothInquiry {
public:
    Inquiry(std::shared_ptr<State> state, std::vector<BluetoothLookupResult> results, uint32_t endCode,
            bool holdOpen)
        : state_(std::move(state)), results_(std::move(results)), endCode_(endCode), holdOpen_(holdOpen) {}

    uint32_t Next(BluetoothLookupResult* result) override {
        std::unique_lock<std::mutex> lock(state_->mu);
        if (ended_) return wsaerr::kCancelled;
        if (next_ < results_.size()) {
            if (result) *result = results_[next_];
            ++next_;
            return 0;
        }
        if (holdOpen_) {
            ++state_->waiting;
            state_->changed.notify_all();
            state_->changed.wait(lock, [&] { return ended_; });
            --state_->waiting;
            return wsaerr::kCancelled;
        }
        return endCode_;
    }

    void End() override {
        std::lock_guard<std::mutex> lock(state_->mu);
        ++state_->endCalls;
        if (!ended_) ++state_->ended;
        ended_ = true;
        state_->changed.notify_all();
    }

private:
    std::shared_ptr<State> state_;
    const std::vector<BluetoothLookupResult> results_;
    const uint32_t endCode_;
    const bool holdOpen_;
    size_t next_ = 0;     // guarded by state_->mu
    bool ended_ = false;  // guarded by state_->mu
};

ScriptedBluetoothBackend::ScriptedBluetoothBackend() : state_(std::make_shared<State>()) {}

ScriptedBluetoothBackend::~ScriptedBluetoothBackend() {
    std::lock_guard<std::mutex> lock(state_->mu);
    for (const auto& [handle, reg] : state_->registered) RegisterComPort(int(reg.index), "");
    state_->registered.clear();
}

void ScriptedBluetoothBackend::SetRadio(int mode, uint32_t queryCode) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->mode = mode;
    state_->queryCode = queryCode;
}

void ScriptedBluetoothBackend::SetRadioSwitchCode(uint32_t code) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->switchCode = code;
}

void ScriptedBluetoothBackend::SetBeginCode(uint32_t code) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->beginCode = code;
}

void ScriptedBluetoothBackend::SetResults(std::vector<BluetoothLookupResult> results, uint32_t endCode,
                                          bool holdOpen) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->results = std::move(results);
    state_->endCode = endCode;
    state_->holdOpen = holdOpen;
}

void ScriptedBluetoothBackend::SetDeviceLine(uint64_t device, const std::string& path) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->lines[device] = path;
}

void ScriptedBluetoothBackend::SetIndexTaken(unsigned index) {
    std::lock_guard<std::mutex> lock(state_->mu);
    state_->taken.insert(index);
}

int ScriptedBluetoothBackend::InquiriesBegun() const {
    std::lock_guard<std::mutex> lock(state_->mu);
    return state_->begun;
}

int ScriptedBluetoothBackend::InquiriesEnded() const {
    std::lock_guard<std::mutex> lock(state_->mu);
    return state_->ended;
}

int ScriptedBluetoothBackend::EndCalls() const {
    std::lock_guard<std::mutex> lock(state_->mu);
    return state_->endCalls;
}

bool ScriptedBluetoothBackend::WaitUntilInquiryWaits(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(state_->mu);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->waiting > 0; });
}

std::vector<ScriptedBluetoothBackend::Registration> ScriptedBluetoothBackend::Registrations() const {
    std::lock_guard<std::mutex> lock(state_->mu);
    std::vector<Registration> out;
    for (const auto& [handle, reg] : state_->registered) out.push_back(reg);
    return out;
}

int ScriptedBluetoothBackend::Deregistrations() const {
    std::lock_guard<std::mutex> lock(state_->mu);
    return state_->deregistrations;
}

uint32_t ScriptedBluetoothBackend::GetRadioMode(int* mode) {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (state_->queryCode != 0) return state_->queryCode;
    if (mode) *mode = state_->mode;
    return 0;
}

uint32_t ScriptedBluetoothBackend::SetRadioMode(int mode) {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (state_->switchCode != 0) return state_->switchCode;
    state_->mode = mode;
    return 0;
}

uint32_t ScriptedBluetoothBackend::BeginInquiry(std::shared_ptr<BluetoothInquiry>* inquiry) {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (state_->mode == kRadioOff) return wsaerr::kNetDown;
    if (state_->beginCode != 0) return state_->beginCode;
    if (!inquiry) return wsaerr::kFault;
    ++state_->begun;
    *inquiry = std::make_shared<Inquiry>(state_, state_->results, state_->endCode, state_->holdOpen);
    return 0;
}

uint32_t ScriptedBluetoothBackend::RegisterSerialPort(unsigned index, const BluetoothSerialPortParams& params,
                                                      uint64_t* handle) {
    std::lock_guard<std::mutex> lock(state_->mu);
    if (index < 1 || index > 255) return winerr::kInvalidIndex;  // COM 1..255 exist here
    if (state_->taken.count(index)) return winerr::kDeviceInUse;
    for (const auto& [h, reg] : state_->registered)
        if (reg.index == index) return winerr::kDeviceInUse;
    const auto line = state_->lines.find(params.device);
    if (line == state_->lines.end()) return winerr::kDeviceNotConnected;
    if (!handle) return winerr::kInvalidParameter;
    const uint64_t h = state_->nextHandle++;
    state_->registered[h] = Registration{index, params, line->second};
    RegisterComPort(int(index), line->second);
    *handle = h;
    return 0;
}

uint32_t ScriptedBluetoothBackend::DeregisterSerialPort(uint64_t handle) {
    std::lock_guard<std::mutex> lock(state_->mu);
    const auto it = state_->registered.find(handle);
    if (it == state_->registered.end()) return winerr::kInvalidHandle;
    RegisterComPort(int(it->second.index), "");
    state_->registered.erase(it);
    ++state_->deregistrations;
    return 0;
}

}  // namespace platform
