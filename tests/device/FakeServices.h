#pragma once

// A receiver object's outside world under the test's control: fake ports
// that record every read and write and can stall, block or feed bytes, and
// services that record port creation, baud changes, thread starts, pauses and
// sleeps in one ordered log. Everything is guarded by one mutex; the test
// waits for conditions on it, never for a time.

#include "device/ReceiverServices.h"
#include "fjcomm/IPort.h"
#include "tests/device/StandInBoards.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace device_fakes {

using Bytes = std::vector<uint8_t>;

// How long a test waits for a condition that must come before it fails.
constexpr std::chrono::seconds kPatience{20};

struct FakeWorld;

class FakePort : public Fjarnis2011::FJComm::IPort {
public:
    FakePort(FakeWorld& world, int type) : world_(world), type_(type) {}

    unsigned Initialize(void*) override { return 0; }
    void Uninitialize() override;
    bool IsOpen() override;
    unsigned ReadData(char* buffer, unsigned size) override;
    unsigned WriteData(const char* data, unsigned size) override;
    unsigned GetType() const override { return type_ == 1 ? 0u : unsigned(type_); }
    int WaitForData(uint32_t timeoutMs) override;

    // All guarded by the world's mutex.
    bool uninitialised = false;
    bool freed = false;
    bool blockReads = false;    // a read waits until Uninitialize (like a TCP receive)
    bool gateReads = false;     // each read waits for a granted pass
    int grantedPasses = 0;
    bool stallWrites = false;   // a write waits until released or Uninitialize
    int readsEntered = 0;
    int writesEntered = 0;
    unsigned lastReadSize = 0;
    // WaitForData: without lineWaits the port has no wait of its own (-1);
    // with it, each wait is recorded and ends at once as if timed out, or,
    // with blockLineWaits, only at Uninitialize (1), like a quiet serial line.
    bool lineWaits = false;
    bool blockLineWaits = false;
    // Without lineWaits: milliseconds the calling thread loses inside the
    // call, as on a loaded machine.
    uint32_t lostMsWithoutWait = 0;
    std::vector<uint32_t> lineWaitTimeouts;
    std::deque<uint8_t> incoming;  // bytes the next reads hand out
    std::vector<Bytes> writes;     // every completed write, in order

private:
    FakeWorld& world_;
    int type_;
};

struct FakeWorld : Fjarnis2011::FJDevice::ReceiverServices {
    std::mutex mutex;
    std::condition_variable changed;

    // Settings of the services, set by the test.
    bool standInBoards = false;  // protocol objects with stand-in boards
    bool gateNewPorts = false;   // ports start with gated reads (no pass without a grant)
    unsigned createResult = 0;   // what CreatePort answers
    int failThreadStart = -1;    // the index (counted over all starts) that is refused
    bool realPauses = false;     // wait out the writer's pauses on the exit event
    std::function<void()> onSleep;  // runs in Sleep (without the mutex)

    // What happened.
    std::vector<std::string> log;
    std::vector<std::unique_ptr<FakePort>> ports;
    std::vector<Bytes> createSettings;  // the settings record (or path) of each creation
    std::vector<uint32_t> pauses;
    std::vector<bool> pauseEndedByExit;
    int pausesStarted = 0;
    int threadStarts = 0;
    Fjarnis2011::FJParse::Em_Gnss* lastProtocol = nullptr;  // owned by the receiver object

    // The port made last (null before the first).
    FakePort* Port() {
        std::lock_guard<std::mutex> lock(mutex);
        return ports.empty() ? nullptr : ports.back().get();
    }

    template <class Pred>
    bool WaitUntil(Pred pred) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kPatience, pred);
    }

    template <class F>
    auto With(F f) {
        std::lock_guard<std::mutex> lock(mutex);
        return f();
    }

    void Note(const std::string& entry) {  // caller holds the mutex
        log.push_back(entry);
        changed.notify_all();
    }

    Fjarnis2011::FJParse::Em_Gnss* NewProtocolObject(Fjarnis2011::FJParse::GNSS_MANUFACTURER m,
                                                     Fjarnis2011::FJParse::MAINBD_OEM_TYPE t) override {
        Fjarnis2011::FJParse::Em_Gnss* gnss =
            standInBoards ? NewStandInProtocolObject(m, t) : ReceiverServices::NewProtocolObject(m, t);
        std::lock_guard<std::mutex> lock(mutex);
        lastProtocol = gnss;
        return gnss;
    }

    unsigned CreatePort(int type, void* settings, Fjarnis2011::FJComm::IPort** port) override {
        std::lock_guard<std::mutex> lock(mutex);
        Bytes copy;
        if (type == 3 && settings) {
            const char* path = static_cast<const char*>(settings);
            copy.assign(path, path + std::strlen(path));
        } else if (type == 2 && settings) {
            copy.assign(static_cast<uint8_t*>(settings), static_cast<uint8_t*>(settings) + 12);
        } else if (settings) {
            copy.assign(static_cast<uint8_t*>(settings), static_cast<uint8_t*>(settings) + 20);
        }
        createSettings.push_back(copy);
        Note("create " + std::to_string(type));
        if (createResult != 0) return createResult;
        ports.push_back(std::make_unique<FakePort>(*this, type));
        ports.back()->gateReads = gateNewPorts;
        *port = ports.back().get();
        return 0;
    }

    void ExitPort(Fjarnis2011::FJComm::IPort** port) override {
        std::lock_guard<std::mutex> lock(mutex);
        if (!port || !*port) return;
        static_cast<FakePort*>(*port)->freed = true;
        *port = nullptr;
        Note("free");
    }

    void SetBaud(unsigned baud) override {
        std::lock_guard<std::mutex> lock(mutex);
        Note("baud " + std::to_string(baud));
    }

    bool StartThread(std::thread& thread, std::function<void()> body) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (threadStarts++ == failThreadStart) return false;
        }
        return ReceiverServices::StartThread(thread, std::move(body));
    }

    bool Pause(platform::Event& exitEvent, uint32_t ms) override {
        bool real;
        {
            std::lock_guard<std::mutex> lock(mutex);
            pauses.push_back(ms);
            ++pausesStarted;
            real = realPauses;
            changed.notify_all();
        }
        const bool byExit = exitEvent.Wait(real ? ms : 0);
        std::lock_guard<std::mutex> lock(mutex);
        pauseEndedByExit.push_back(byExit);
        changed.notify_all();
        return byExit;
    }

    void Sleep(uint32_t ms) override {
        if (onSleep) onSleep();
        std::lock_guard<std::mutex> lock(mutex);
        Note("slept " + std::to_string(ms));
    }
};

inline void FakePort::Uninitialize() {
    std::lock_guard<std::mutex> lock(world_.mutex);
    uninitialised = true;
    world_.changed.notify_all();
}

inline bool FakePort::IsOpen() {
    std::lock_guard<std::mutex> lock(world_.mutex);
    return !uninitialised;
}

inline unsigned FakePort::ReadData(char* buffer, unsigned size) {
    std::unique_lock<std::mutex> lock(world_.mutex);
    ++readsEntered;
    lastReadSize = size;
    world_.changed.notify_all();
    if (blockReads) world_.changed.wait(lock, [&] { return uninitialised; });
    if (gateReads) {
        world_.changed.wait(lock, [&] { return uninitialised || grantedPasses > 0; });
        if (uninitialised) return 0;
        --grantedPasses;
    }
    unsigned n = 0;
    while (n < size && !incoming.empty()) {
        buffer[n++] = char(incoming.front());
        incoming.pop_front();
    }
    return n;
}

inline int FakePort::WaitForData(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(world_.mutex);
    if (!lineWaits) {
        const uint32_t lost = lostMsWithoutWait;
        lock.unlock();
        if (lost) std::this_thread::sleep_for(std::chrono::milliseconds(lost));
        return -1;
    }
    lineWaitTimeouts.push_back(timeoutMs);
    world_.changed.notify_all();
    if (!blockLineWaits) return uninitialised ? 1 : 0;
    world_.changed.wait(lock, [&] { return uninitialised; });
    return 1;
}

inline unsigned FakePort::WriteData(const char* data, unsigned size) {
    std::unique_lock<std::mutex> lock(world_.mutex);
    ++writesEntered;
    world_.changed.notify_all();
    world_.changed.wait(lock, [&] { return !stallWrites || uninitialised; });
    writes.emplace_back(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data) + size);
    world_.Note("write " + std::to_string(size));
    return size;
}

}  // namespace device_fakes
