#pragma once

#include <mutex>

namespace platform {

// The recursive critical section of the original: the owning thread may enter
// again, every enter is matched by one leave.
class RecursiveLock {
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Enter() { mutex_.lock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Leave() { mutex_.unlock(); }

    // BasicLockable, so std::lock_guard and std::unique_lock work too.
    void lock() { Enter(); }
    bool try_lock() { return TryEnter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace platform
