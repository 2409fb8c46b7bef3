#include "fjcomm/FJCore/Mutex.h"

#include <cerrno>
#include <new>

namespace Fjarnis2011 {
namespace FJCore {

WindowsMutex::~WindowsMutex() {
    if (handle_) Close();
}

int WindowsMutex::Create() {
    if (handle_) return ERROR_OK;
    auto* m = new (std::nothrow) pthread_mutex_t;
    if (!m) return ERROR_MUTEX_CREATE;
    pthread_mutexattr_t attr;
    bool ok = pthread_mutexattr_init(&attr) == 0;
    if (ok) {
        ok = pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
             pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
             pthread_mutex_init(m, &attr) == 0;
        pthread_mutexattr_destroy(&attr);
    }
    if (!ok) {
        delete m;
        return ERROR_MUTEX_CREATE;
    }
    handle_ = m;
    return ERROR_OK;
}

int WindowsMutex::Lock() {
    if (!handle_) return ERROR_MUTEX_LOCK;
    const int r = pthread_mutex_lock(handle_);
    if (r != 0 && r != EOWNERDEAD) return ERROR_MUTEX_LOCK;
    // This thread owns it now; only the owner reads or changes the depth.
    owner_ = std::this_thread::get_id();
    ++depth_;
    if (r == EOWNERDEAD) {
        // Abandoned by a thread that ended while owning it: taken and usable
        // again, but the wait counts as failed.
        pthread_mutex_consistent(handle_);
        depth_ = 1;
        return ERROR_MUTEX_LOCK;
    }
    return ERROR_OK;
}

int WindowsMutex::Unlock() {
    // Only the owner releases it; anyone else is refused without touching it.
    if (!handle_ || owner_ != std::this_thread::get_id()) return ERROR_MUTEX_UNLOCK;
    if (--depth_ == 0) owner_ = std::thread::id();
    return pthread_mutex_unlock(handle_) == 0 ? ERROR_OK : ERROR_MUTEX_UNLOCK;
}

int WindowsMutex::Close() {
    if (!handle_) return ERROR_MUTEX_CLOSE;
    const int r = pthread_mutex_destroy(handle_);
    delete handle_;
    handle_ = nullptr;
    return r == 0 ? ERROR_OK : ERROR_MUTEX_CLOSE;
}

int CreateMutexInstance(IMutex** out) {
    if (!out) return ERROR_MUTEX_CREATE;
    *out = nullptr;
    auto* m = new (std::nothrow) WindowsMutex;
    if (!m) return ERROR_MUTEX_CREATE;
    const int code = m->Create();
    if (code != ERROR_OK) {
        delete m;
        return code;
    }
    *out = m;
    return ERROR_OK;
}

MutexHolder::MutexHolder() { code_ = CreateMutexInstance(&mutex_); }

MutexHolder::~MutexHolder() { Release(); }

int MutexHolder::Release() {
    if (code_ != ERROR_OK || mutex_ == nullptr) return ERROR_OK;
    const int code = mutex_->Close();
    delete mutex_;
    mutex_ = nullptr;
    code_ = ERROR_MUTEX_CREATE;
    return code;
}

ScopedLock::ScopedLock(const MutexHolder& holder) {
    if (!holder.IsValid()) return;
    mutex_ = holder.Get();
    mutex_->Lock();
}

ScopedLock::~ScopedLock() {
    // Also after a Lock that reported an abandoned mutex: the thread owns it.
    if (mutex_) mutex_->Unlock();
}

}  // namespace FJCore
}  // namespace Fjarnis2011
