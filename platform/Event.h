#pragma once

#include "platform/Export.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

constexpr uint32_t kInfinite = 0xFFFFFFFFu;
constexpr int kWaitTimeout = -1;

// An event in the manner of the kernel objects the receiver code was written
// for: manual-reset events stay signalled until Reset; auto-reset events are
// taken by exactly one successful wait.
class PLATFORM_API Event {
public:
    explicit Event(bool manualReset = false, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // True when the event was (or became) signalled within timeoutMs.
    bool Wait(uint32_t timeoutMs = kInfinite);

    // Waits until any of the events is signalled: returns the lowest index of a
    // signalled event (taking it when it is auto-reset), or kWaitTimeout.
    static int WaitAny(Event* const* events, int count, uint32_t timeoutMs = kInfinite);

private:
    struct Waiter;
    bool TryTake();  // caller holds mutex_
    void AddWaiter(Waiter* w);
    void RemoveWaiter(Waiter* w);

    mutable std::mutex mutex_;
    bool manual_;
    bool set_;
    std::vector<Waiter*> waiters_;
};

}  // namespace platform
