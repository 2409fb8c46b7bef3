#include "program/ServerStore.h"

#include "program/CommonHelper.h"
#include "program/SettingsSaveFailure.h"
#include "program/WideText.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

// The thread a timer's signal goes to (SIGEV_THREAD_ID); the C library's
// headers name the field only in the kernel's spelling.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace {

std::wstring Wide(const QString& text) { return text.toStdWString(); }

QString TextValue(JSettings& settings, const wchar_t* key) {
    std::wstring value;
    settings.value(key, value);
    return QString::fromStdWString(value);
}

// Protocols whose one source is kept as a one-entry source list.
bool KeepsOneSource(int32_t protocol) { return protocol == 0 || protocol == 2; }

// A wait for the folder's lock is a blocking flock, in the kernel's queue of
// waiters: a retry now and then would lose every time to programs that
// release the lock and take it again at once, and a change would be refused
// although the lock came free many times. Nothing bounds a blocking flock,
// so a timer of the waiting thread sends it a signal at the bound; the
// signal's handler does nothing and is installed without SA_RESTART, so
// the flock returns EINTR. The signal is one of the real-time ones, which
// neither Qt nor the C library use.
int WakeSignal() { return SIGRTMAX - 3; }

// After the bound the timer goes on firing at this interval, so that a
// signal that came just before the thread entered the flock (and so ended
// no wait) is followed by one that does.
constexpr long kWakeRepeatNs = 10 * 1000 * 1000;

void IgnoreWake(int) {}

// The handler is installed while any thread waits, and the handler found
// before is put back when the last one is done. Each thread has its own
// timer, aimed at that thread alone, and takes any signal of it still
// pending before it lets the handler go, so no signal outlives the handler.
struct WakeHandler {
    std::mutex mutex;
    int users = 0;
    struct sigaction previous {};
};

WakeHandler& Wake() {
    static WakeHandler wake;
    return wake;
}

int AcquireWakeHandler() {
    WakeHandler& wake = Wake();
    const std::lock_guard<std::mutex> hold(wake.mutex);
    if (wake.users == 0) {
        struct sigaction action {};
        action.sa_handler = IgnoreWake;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: the flock must end
        if (::sigaction(WakeSignal(), &action, &wake.previous) != 0) return errno != 0 ? errno : EINVAL;
    }
    ++wake.users;
    return 0;
}

void ReleaseWakeHandler() {
    WakeHandler& wake = Wake();
    const std::lock_guard<std::mutex> hold(wake.mutex);
    if (--wake.users == 0) ::sigaction(WakeSignal(), &wake.previous, nullptr);
}

timespec MonotonicNow() {
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

bool NotBefore(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec >= b.tv_nsec;
}

// Takes an exclusive flock on `fd`, waiting at most `waitMs`: 0, EWOULDBLOCK
// when another holder kept it past the bound, or the system's error number.
int32_t LockWithin(int fd, uint32_t waitMs) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno != EWOULDBLOCK) return errno;
    if (const int32_t error = AcquireWakeHandler()) return error;

    sigset_t wakeOnly, previousMask;
    sigemptyset(&wakeOnly);
    sigaddset(&wakeOnly, WakeSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &wakeOnly, &previousMask);

    timespec deadline = MonotonicNow();
    deadline.tv_sec += time_t(waitMs / 1000);
    deadline.tv_nsec += long(waitMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    sigevent event {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = WakeSignal();
    event.sigev_notify_thread_id = ::gettid();
    timer_t timer {};
    int32_t result = 0;
    bool timerMade = false;
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
        result = errno != 0 ? errno : EAGAIN;
    } else {
        timerMade = true;
        itimerspec when {};
        when.it_value = deadline;
        when.it_interval.tv_nsec = kWakeRepeatNs;
        if (::timer_settime(timer, TIMER_ABSTIME, &when, nullptr) != 0) result = errno != 0 ? errno : EINVAL;
    }
    while (result == 0 && ::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            result = errno;
        // Another signal of the program's may end the wait early: only the
        // bound ends it for good.
        else if (NotBefore(MonotonicNow(), deadline))
            result = EWOULDBLOCK;
    }

    // Put back as found: the signal blocked, the timer gone, any signal it
    // sent meanwhile taken, then the thread's own mask and the handler.
    ::pthread_sigmask(SIG_BLOCK, &wakeOnly, nullptr);
    if (timerMade) ::timer_delete(timer);
    const timespec none {};
    while (::sigtimedwait(&wakeOnly, nullptr, &none) == WakeSignal()) {
    }
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ReleaseWakeHandler();
    return result;
}

// Holds the lock on the folder of a file while one change reads, changes and
// saves it: another program's change waits, and then starts from what this
// one saved. The folder is created first, as a save would. The wait is
// bounded: a program stopped or hung inside its change must not freeze
// every other one; a change that does not get the lock is not made.
class FolderLock {
public:
    explicit FolderLock(const std::string& file) {
        const size_t slash = file.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : file.substr(0, slash + 1);
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        // Without the folder there is nothing to lock, and the save that
        // follows fails and says why.
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) return;
        error_ = LockWithin(fd_, ServerStore::kLockWaitMs);
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // The system's error number when the lock was not had; 0 when it was
    // (or there was no folder to lock).
    int32_t error() const { return error_; }

private:
    int fd_ = -1;
    int32_t error_ = 0;
};

// The record of the current item; false for a deleted entry.
bool ReadItem(JSettings& settings, ServerRecord& record) {
    const int32_t key = settings.value(L"key", int32_t(-1));
    if (key < 0) return false;
    record = ServerRecord();
    record.key = key;
    settings.beginGroup(L"server");
    record.name = TextValue(settings, L"name");
    record.address = TextValue(settings, L"address");
    record.protocol = settings.value(L"protocol", int32_t(-1));
    record.port = settings.value(L"port", int32_t(0));
    record.user = TextValue(settings, L"user");
    record.password = TextValue(settings, L"password");
    QStringList sources;
    settings.beginReadArray(L"sources");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        sources.push_back(TextValue(settings, L"source"));
    }
    settings.endArray();
    settings.endGroup();
    if (!sources.isEmpty()) {
        if (KeepsOneSource(record.protocol))
            record.source = sources.front();
        else
            record.sources = sources;
    }
    return true;
}

void WriteItem(JSettings& settings, const ServerRecord& record, int32_t key) {
    settings.setValue(L"key", key);
    // The whole group is written anew: a field the record no longer keeps
    // (a password, a source list) must not come back from an older version.
    settings.remove(L"server");
    settings.beginGroup(L"server");
    settings.setValue(L"name", Wide(record.name));
    settings.setValue(L"address", Wide(record.address));
    settings.setValue(L"protocol", record.protocol);
    settings.setValue(L"port", record.port);
    QStringList sources;
    if (record.protocol == 1) {
        settings.setValue(L"user", Wide(record.user));
        settings.setValue(L"password", Wide(record.password));
        sources = record.sources;
    } else if (KeepsOneSource(record.protocol)) {
        sources.push_back(record.source);
    }
    if (!sources.isEmpty()) {
        settings.beginWriteArray(L"sources", int32_t(sources.size()));
        for (int32_t i = 0; i < int32_t(sources.size()); ++i) {
            settings.setArrayIndex(i);
            settings.setValue(L"source", Wide(sources[i]));
        }
        settings.endArray();
    }
    settings.endGroup();
}

}  // namespace

ServerStore* ServerStore::instance() {
    static ServerStore store;
    return &store;
}

ServerStore::ServerStore(const std::wstring& path) : path_(path) {}

ServerStore::~ServerStore() = default;

std::wstring ServerStore::path() const { return path_.empty() ? CommonHelper::netServerPath() : path_; }

int32_t ServerStore::openToRead(JSettings& settings) const {
    settings.setOwnerOnly(true);
    // A reader changes nothing, so it does not print the whole document
    // again when it goes only to find that there is nothing to write.
    settings.setReadOnly(true);
    // A store that failed to open writes nothing when it goes.
    if (settings.open(path(), L"netserver") == JSettings::kOk) return 0;
    return settings.readError() != 0 ? SettingsReadFailure(settings.readError()) : kNotUsable;
}

template <typename Visit>
void ServerStore::forEachItem(JSettings& settings, Visit visit) const {
    settings.beginGroup(L"common");
    settings.beginReadArray(L"servers");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        if (!visit(i)) break;
    }
    settings.endArray();
    settings.endGroup();
}

template <typename Change>
int32_t ServerStore::changeFile(Change change) {
    const std::wstring file = path();
    const FolderLock lock(WideToLocalPath(file));
    // Without the lock another program may be saving: a change made now
    // could undo its change, so none is made.
    if (lock.error() != 0) return lock.error();
    JSettings settings;
    settings.setOwnerOnly(true);
    // A missing or unusable file starts a fresh document, which the save
    // puts in its place (an unusable file is kept as "<name>.bak"). A file
    // that could not be read is not replaced: what it holds was never seen.
    if (settings.open(file, L"netserver") != JSettings::kOk) {
        if (settings.readError() != 0) return SettingsReadFailure(settings.readError());
        settings.reset();
    }
    if (const int32_t refused = change(settings)) return refused;
    settings.save();
    return settings.saveError();
}

namespace {

// Stores the record as a new entry after the last item there is (a
// hand-edited file may miss some); its key, the entry's index, goes to
// `key`. EOVERFLOW when the array cannot take another item.
int32_t AppendItem(JSettings& settings, const ServerRecord& record, int32_t& key) {
    settings.beginGroup(L"common");
    settings.beginReadArray(L"servers");
    const std::vector<int32_t> items = settings.arrayIndexes();
    settings.endArray();
    const int32_t n = items.empty() ? 0 : items.back() + 1;
    if (n == INT32_MAX) {
        settings.endGroup();
        return int32_t(EOVERFLOW);
    }
    settings.beginWriteArray(L"servers", n + 1);
    settings.setArrayIndex(n);
    WriteItem(settings, record, n);
    settings.endArray();
    settings.endGroup();
    key = n;
    return 0;
}

}  // namespace

int32_t ServerStore::append(const ServerRecord& record) {
    return changeFile([&](JSettings& settings) {
        int32_t key = -1;
        return AppendItem(settings, record, key);
    });
}

int32_t ServerStore::remove(int32_t key) {
    return changeFile([&](JSettings& settings) {
        forEachItem(settings, [&](int32_t) {
            if (settings.value(L"key", int32_t(-1)) != key) return true;
            settings.setValue(L"key", int32_t(-1));
            return false;
        });
        return int32_t(0);
    });
}

int32_t ServerStore::update(const ServerRecord& record, int32_t* keptAs) {
    int32_t key = -1;
    const int32_t result = changeFile([&](JSettings& settings) {
        if (record.key < 0) return int32_t(0);
        forEachItem(settings, [&](int32_t) {
            if (settings.value(L"key", int32_t(-1)) != record.key) return true;
            WriteItem(settings, record, record.key);
            key = record.key;
            return false;
        });
        // Deleted meanwhile (by another program on this folder): the edit
        // is the user's latest word on that server, so it is kept.
        if (key < 0) return AppendItem(settings, record, key);
        return int32_t(0);
    });
    if (keptAs) *keptAs = result == 0 ? key : -1;
    return result;
}

bool ServerStore::read(ServerRecord& record, int32_t key, int32_t skipIndex) {
    if (key < 0) return false;
    JSettings settings;
    if (openToRead(settings) != 0) return false;
    bool found = false;
    forEachItem(settings, [&](int32_t i) {
        if (i != skipIndex && settings.value(L"key", int32_t(-1)) == key) found = ReadItem(settings, record);
        return !found;
    });
    return found;
}

int32_t ServerStore::list(QStringList& names, QList<int32_t>& keys, int32_t protocol) {
    names.clear();
    keys.clear();
    JSettings settings;
    if (const int32_t failure = openToRead(settings)) return failure == kNotUsable ? 0 : failure;
    forEachItem(settings, [&](int32_t) {
        const int32_t key = settings.value(L"key", int32_t(-1));
        if (key < 0) return true;
        if (protocol >= 0 && settings.value(L"server/protocol", int32_t(-1)) != protocol) return true;
        names.push_back(TextValue(settings, L"server/name"));
        keys.push_back(key);
        return true;
    });
    return 0;
}

int32_t ServerStore::readAll(QList<ServerRecord>& records) {
    JSettings settings;
    if (const int32_t failure = openToRead(settings)) return failure == kNotUsable ? 0 : failure;
    forEachItem(settings, [&](int32_t) {
        ServerRecord record;
        if (ReadItem(settings, record)) records.push_back(record);
        return true;
    });
    return 0;
}

bool ServerStore::nameExists(const QString& name, int32_t key) {
    JSettings settings;
    if (openToRead(settings) != 0) return false;
    bool exists = false;
    forEachItem(settings, [&](int32_t) {
        const int32_t itemKey = settings.value(L"key", int32_t(-1));
        if (itemKey >= 0 && itemKey != key) exists = TextValue(settings, L"server/name") == name;
        return !exists;
    });
    return exists;
}
