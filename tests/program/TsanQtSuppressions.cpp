// Built into test_program_base under ThreadSanitizer only (see CMakeLists.txt).
//
// Debian's Qt is not instrumented, so the order that Qt's own locks and
// atomics give is invisible to ThreadSanitizer. Two such orders show in these
// tests; both are filtered here and nothing else.
//
// 1. A queued signal or any other Qt object handed between threads: Qt
//    allocates its event on the emitting thread and frees it on the receiving
//    one after taking it from its queue under Qt's lock (likewise the internals
//    of QWaitCondition). ThreadSanitizer sees only the allocation and the free,
//    both called by Qt itself, and reports them as a race. The report hook
//    below drops a race exactly when every access in it was made by Qt Core's
//    own code (the first frame outside the sanitizer's runtime lies in
//    libQt6Core). A race in which one side is our code, on any thread, is still
//    reported, and Qt's thread starts and pthread locks still give their order.
//    Qt's own code includes what Qt compiles into our binary to deliver a
//    queued call: the slot-call templates of qobjectdefs_impl.h (a lambda or
//    functor slot) and moc's generated dispatch (a member slot), both of
//    which read the event's argument array. A frame counts as one of those
//    only by its source file, so our own slot that these call is still ours,
//    and so is every other Qt inline function compiled into our code.
//    (The sanitizer's "called_from_lib" would go further: it also drops the
//    order of every pthread lock that Qt takes, and then reports false races
//    around QThread::wait.)
//
// 2. A QSignalSpy made while a receiver thread already emits. Its constructor
//    fills the spy's members and then connects it; QObject::connect publishes
//    the connection under Qt's lock, and only then does the emitting thread
//    reach the spy (QSignalSpy::appendArgs). The suppression entry matches only
//    races in which one side is a QSignalSpy constructor (the spy's members and
//    what it allocates). A spy read while another thread appends to it
//    (count() against appendArgs) is still reported: that order is not
//    given by Qt.

#include <dlfcn.h>

#include <cstddef>
#include <cstring>

extern "C" int __tsan_get_report_data(void* report, const char** description, int* count, int* stackCount,
                                      int* mopCount, int* locCount, int* mutexCount, int* threadCount,
                                      int* uniqueTidCount, void** sleepTrace, unsigned long traceSize);
extern "C" int __tsan_get_report_mop(void* report, unsigned long index, int* tid, void** address, int* size,
                                     int* write, int* atomic, void** trace, unsigned long traceSize);

extern "C" void __sanitizer_symbolize_pc(void* pc, const char* format, char* out, std::size_t size);

namespace {

bool InLibrary(void* pc, const char* name) {
    Dl_info info;
    return pc && dladdr(pc, &info) && info.dli_fname && std::strstr(info.dli_fname, name);
}

bool EndsWith(const char* text, const char* tail) {
    const std::size_t n = std::strlen(text), m = std::strlen(tail);
    return n >= m && std::strcmp(text + n - m, tail) == 0;
}

// True for Qt's delivery of a queued call compiled into our binary: the
// slot-call templates of Qt Core's headers, or moc's generated dispatch.
bool QtCodeInOurBinary(void* pc) {
    char file[512] = {};
    // The trace holds return addresses; the call is the instruction before.
    __sanitizer_symbolize_pc(static_cast<char*>(pc) - 1, "%s", file, sizeof file);
    const char* base = std::strrchr(file, '/');
    base = base ? base + 1 : file;
    return EndsWith(file, "/QtCore/qobjectdefs_impl.h") || EndsWith(file, ".moc") || std::strncmp(base, "moc_", 4) == 0;
}

// True when each access of the data race was made by Qt Core's own code.
bool OnlyQtCoreAccesses(void* report) {
    const char* description = nullptr;
    int count = 0, stacks = 0, mops = 0, locs = 0, mutexes = 0, threads = 0, tids = 0;
    void* sleepTrace[1] = {};
    if (!__tsan_get_report_data(report, &description, &count, &stacks, &mops, &locs, &mutexes, &threads, &tids,
                                sleepTrace, 1))
        return false;
    if (!description || std::strcmp(description, "data-race") != 0 || mops < 2)
        return false;
    for (int i = 0; i < mops; ++i) {
        constexpr unsigned long kFrames = 8;
        int tid = 0, size = 0, write = 0, atomic = 0;
        void* address = nullptr;
        void* trace[kFrames] = {};
        if (!__tsan_get_report_mop(report, i, &tid, &address, &size, &write, &atomic, trace, kFrames))
            return false;
        unsigned long frame = 0;
        while (frame < kFrames && InLibrary(trace[frame], "libtsan.so"))
            ++frame;
        if (frame == kFrames || !(InLibrary(trace[frame], "libQt6Core.so") || QtCodeInOurBinary(trace[frame])))
            return false;
    }
    return true;
}

}  // namespace

// The sanitizer's runtime calls these two when they are exported (the build
// hides symbols by default).
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "race:QSignalSpy::QSignalSpy\n";
}

namespace __tsan {
struct ReportDesc;
// Called for every report; true drops it.
__attribute__((visibility("default"))) bool OnReport(const ReportDesc* report, bool suppressed) {
    return suppressed || OnlyQtCoreAccesses(const_cast<ReportDesc*>(report));
}
}  // namespace __tsan
