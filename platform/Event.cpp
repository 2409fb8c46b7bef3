#include "platform/Event.h"

#include <algorithm>
#include <chrono>

namespace platform {

// One waiting thread. Set() bumps the generation under the waiter's own mutex,
// so a signal that arrives between the waiter's check and its sleep is seen.
struct Event::Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    uint64_t generation = 0;
};

Event::Event(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
    for (Waiter* w : waiters_) {
        std::lock_guard<std::mutex> wl(w->mutex);
        ++w->generation;
        w->cv.notify_all();
    }
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return set_;
}

bool Event::TryTake() {
    if (!set_) return false;
    if (!manual_) set_ = false;
    return true;
}

void Event::AddWaiter(Waiter* w) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiters_.push_back(w);
}

void Event::RemoveWaiter(Waiter* w) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), w), waiters_.end());
}

bool Event::Wait(uint32_t timeoutMs) {
    Event* self = this;
    return WaitAny(&self, 1, timeoutMs) == 0;
}

int Event::WaitAny(Event* const* events, int count, uint32_t timeoutMs) {
    if (!events || count < 1) return kWaitTimeout;
    using Clock = std::chrono::steady_clock;
    const bool infinite = timeoutMs == kInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);

    Waiter waiter;
    for (int i = 0; i < count; ++i) events[i]->AddWaiter(&waiter);
    int result = kWaitTimeout;
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard<std::mutex> wl(waiter.mutex);
            seen = waiter.generation;
        }
        for (int i = 0; i < count && result == kWaitTimeout; ++i) {
            std::lock_guard<std::mutex> lock(events[i]->mutex_);
            if (events[i]->TryTake()) result = i;
        }
        if (result != kWaitTimeout) break;
        std::unique_lock<std::mutex> wl(waiter.mutex);
        if (infinite) {
            waiter.cv.wait(wl, [&] { return waiter.generation != seen; });
        } else if (!waiter.cv.wait_until(wl, deadline, [&] { return waiter.generation != seen; })) {
            // Timed out: one last look, the lowest signalled index still wins.
            wl.unlock();
            for (int i = 0; i < count && result == kWaitTimeout; ++i) {
                std::lock_guard<std::mutex> lock(events[i]->mutex_);
                if (events[i]->TryTake()) result = i;
            }
            break;
        }
    }
    for (int i = 0; i < count; ++i) events[i]->RemoveWaiter(&waiter);
    return result;
}

}  // namespace platform
