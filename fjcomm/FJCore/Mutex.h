#pragma once

#include <atomic>
#include <pthread.h>
#include <thread>

namespace Fjarnis2011 {
namespace FJCore {

// Result codes of the mutex operations.
constexpr int ERROR_OK = 0;
constexpr int ERROR_MUTEX_CREATE = 5001;  // no mutex was created
constexpr int ERROR_MUTEX_LOCK = 5002;    // waiting for it failed (an abandoned mutex included)
constexpr int ERROR_MUTEX_UNLOCK = 5003;  // releasing it failed (e.g. not the owner)
constexpr int ERROR_MUTEX_CLOSE = 5004;   // closing it failed

// A mutex behind four operations, each returning one of the codes above.
class IMutex {
public:
    virtual int Create() = 0;
    virtual int Lock() = 0;
    virtual int Unlock() = 0;
    virtual int Close() = 0;
    // Declared after the four operations so that they keep their slots; the
    // holder frees a mutex through this interface.
    virtual ~IMutex() = default;
};

// The system mutex: owned by one thread at a time, which may take it again
// (every Lock matched by one Unlock); a thread that ends while owning it leaves
// it abandoned, which the next Lock reports as a failure while taking it.
class WindowsMutex : public IMutex {
public:
    WindowsMutex() = default;
    ~WindowsMutex() override;
    WindowsMutex(const WindowsMutex&) = delete;
    WindowsMutex& operator=(const WindowsMutex&) = delete;

    int Create() override;
    int Lock() override;
    int Unlock() override;
    int Close() override;

private:
    pthread_mutex_t* handle_ = nullptr;
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;  // times the owner has taken it
};

// The mutex factory: *out = null, then a new WindowsMutex that is stored in
// *out when its Create succeeded (and freed otherwise). Returns the code.
int CreateMutexInstance(IMutex** out);

// Owns one mutex made by the factory, with the code of its creation.
class MutexHolder {
public:
    MutexHolder();
    ~MutexHolder();  // Release()
    MutexHolder(const MutexHolder&) = delete;
    MutexHolder& operator=(const MutexHolder&) = delete;

    bool IsValid() const { return code_ == ERROR_OK && mutex_ != nullptr; }
    int Code() const { return code_; }
    IMutex* Get() const { return mutex_; }
    // Closes and frees the mutex; returns the result of Close (ERROR_OK when
    // there was none to close).
    int Release();

private:
    IMutex* mutex_ = nullptr;
    int code_ = ERROR_MUTEX_CREATE;
};

// Takes the holder's mutex for the life of the object (when the holder has
// one) and releases it on the way out, also during unwinding.
class ScopedLock {
public:
    explicit ScopedLock(const MutexHolder& holder);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    IMutex* mutex_ = nullptr;
};

}  // namespace FJCore
}  // namespace Fjarnis2011
