// Built into test_program_base and test_tsan_filter under ThreadSanitizer only
// (see CMakeLists.txt).
//
// Debian's Qt is not instrumented, so the order that Qt's own locks and
// atomics give is invisible to ThreadSanitizer. Two such orders show in these
// tests; both are filtered here and nothing else.
//
// 1. A queued signal or any other Qt object handed between threads: Qt
//    allocates its event (with a copy of each argument, or the functor of an
//    invokeMethod call) on the emitting thread, and the receiving thread reads
//    and frees it after taking it from its queue under Qt's lock (likewise the
//    internals of QWaitCondition). ThreadSanitizer sees the allocation, the
//    reads and the free, but not the lock, and reports a race. The report hook
//    below drops a data race in two cases only:
//    - no stack of its accesses holds code of ours: Qt raced with itself;
//    - Qt allocated the raced memory to deliver an event or a queued call.
//    Each stack is walked whole, not only its first frame: a QByteArray that
//    our code refills on one thread while another copies it is a race of ours
//    although both accesses are Qt's memcpy, and it is reported.
//    Code of ours is every frame in a binary that is not a system library (Qt,
//    the C and C++ libraries, the sanitizer's runtime and the loader all lie
//    in the system's library folders), except Qt's header code compiled into
//    it: the slot-call and meta-type templates and moc's generated code. A
//    frame counts as Qt's header code only when each function inlined at it
//    comes from Qt's headers or a moc file, so our own slot that these call,
//    or our function into which a Qt inline function was inlined, is still
//    ours. A stack cut off before its end counts as ours, and so does one the
//    sanitizer could not restore.
//    The allocation is the heap block's stack in the report or, for a race
//    with the block's free (which no longer names a block), the access that
//    is the allocation itself. Its frames down to our first one must all be
//    Qt's, and one of them must be Qt Core posting an event or building a
//    queued call, or QMetaObject::invokeMethod of Qt's headers; or our first
//    frame emitted a signal. Qt's own frames do not show in a trace (only its
//    call into the sanitizer does), so an emission shows as our line calling
//    the signal's function, which moc generated. A Qt container that our code
//    filled and then passed by value through a queued signal would still be
//    reported: its bytes are ours; our signals carry numbers only.
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
//
// test_tsan_filter checks both ways: a race of ours made through Qt's
// container code is reported, Qt's hand-over of a queued call is not.

#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#ifndef BRANTOR_QT_HEADERS
#error "BRANTOR_QT_HEADERS names the folder of Qt's headers"
#endif

extern "C" int __tsan_get_report_data(void* report, const char** description, int* count, int* stackCount,
                                      int* mopCount, int* locCount, int* mutexCount, int* threadCount,
                                      int* uniqueTidCount, void** sleepTrace, unsigned long traceSize);
extern "C" int __tsan_get_report_mop(void* report, unsigned long index, int* tid, void** address, int* size,
                                     int* write, int* atomic, void** trace, unsigned long traceSize);
extern "C" int __tsan_get_report_loc(void* report, unsigned long index, const char** type, void** address,
                                     void** start, unsigned long* size, int* tid, int* fd, int* suppressable,
                                     void** trace, unsigned long traceSize);

extern "C" void __sanitizer_symbolize_pc(void* pc, const char* format, char* out, std::size_t size);

namespace {

// Deep enough for any stack of these tests; a full buffer means the stack was
// cut off and its rest is unknown.
constexpr unsigned long kFrames = 64;

bool StartsWith(const char* text, const char* head) {
    return std::strncmp(text, head, std::strlen(head)) == 0;
}

bool EndsWith(const char* text, const char* tail) {
    const std::size_t n = std::strlen(text), m = std::strlen(tail);
    return n >= m && std::strcmp(text + n - m, tail) == 0;
}

// The source files (or, with format "%f", the functions) at pc: one
// NUL-terminated name per inlined function, innermost first, then an empty one.
void Symbolize(void* pc, const char* format, char* out, std::size_t size) {
    std::memset(out, 0, size);
    __sanitizer_symbolize_pc(pc, format, out, size);
}

// True when the binary holding pc is a system library: Qt, the C and C++
// libraries, the sanitizer's runtime, the loader (or the kernel's vDSO).
bool InSystemLibrary(void* pc) {
    Dl_info info;
    if (!dladdr(pc, &info) || !info.dli_fname)
        return false;
    const char* name = info.dli_fname;
    if (name[0] != '/')
        return std::strchr(name, '/') == nullptr && StartsWith(name, "linux-vdso");
    for (const char* folder : {"/lib/", "/lib64/", "/usr/lib/", "/usr/lib64/", "/usr/local/lib/"})
        if (StartsWith(name, folder))
            return true;
    return false;
}

bool InLibrary(void* pc, const char* name) {
    Dl_info info;
    return dladdr(pc, &info) && info.dli_fname && std::strstr(info.dli_fname, name);
}

// True when pc, in a binary of ours, is Qt's header code: each function inlined
// at pc comes from Qt's headers or from a moc file.
bool QtHeaderCode(void* pc) {
    char files[2048];
    Symbolize(pc, "%s", files, sizeof files);
    if (!files[0])
        return false;
    for (const char* file = files; *file && file < files + sizeof files; file += std::strlen(file) + 1) {
        const char* base = std::strrchr(file, '/');
        base = base ? base + 1 : file;
        if (!StartsWith(file, BRANTOR_QT_HEADERS) && !EndsWith(file, ".moc") && !StartsWith(base, "moc_"))
            return false;
    }
    return true;
}

bool OurFrame(void* pc) {
    return !InSystemLibrary(pc) && !QtHeaderCode(pc);
}

// The number of frames of a trace; kFrames when it may go on. A stack that
// the sanitizer could not restore is empty.
unsigned long Depth(void* const* trace) {
    unsigned long n = 0;
    while (n < kFrames && trace[n])
        ++n;
    return n;
}

bool HoldsOurCode(void* const* trace) {
    const unsigned long depth = Depth(trace);
    if (depth == 0 || depth == kFrames)
        return true;
    for (unsigned long i = 0; i < depth; ++i)
        if (OurFrame(trace[i]))
            return true;
    return false;
}

// True when pc lies in an exported function of Qt Core that posts an event or
// builds a queued call.
bool QtCorePostsEvent(void* pc) {
    Dl_info info;
    if (!dladdr(pc, &info) || !info.dli_fname || !std::strstr(info.dli_fname, "libQt6Core.so") || !info.dli_sname)
        return false;
    for (const char* name : {"_ZN16QCoreApplication9postEvent", "_ZN14QMetaCallEvent", "_ZN11QMetaObject8activate",
                             "_ZNK11QMetaMethod6invoke", "_ZN11QMetaObject16invokeMethodImpl"})
        if (StartsWith(info.dli_sname, name))
            return true;
    return false;
}

// True when pc, in a binary of ours, is QMetaObject::invokeMethod of Qt's
// headers, which wraps a functor into the queued call's slot object.
bool QtInvokeMethod(void* pc) {
    char files[2048], functions[2048];
    Symbolize(pc, "%s", files, sizeof files);
    Symbolize(pc, "%f", functions, sizeof functions);
    // The innermost inlined function is the one that allocated.
    return EndsWith(files, "/QtCore/qobjectdefs.h") && std::strstr(functions, "invokeMethod");
}

// True when the call that returns to pc, in code of ours, went to a signal:
// a function that moc generated. Qt's frames between an emission and what it
// allocates are not instrumented, so the trace goes from Qt's allocating call
// straight to the emitting line, and the signal shows only as its target.
bool ReturnFromSignal(void* pc) {
    // A direct call: E8 and a 32-bit offset from the return address.
    const unsigned char* ret = static_cast<const unsigned char*>(pc);
    if (ret[-5] != 0xE8)
        return false;
    std::int32_t offset = 0;
    std::memcpy(&offset, ret - 4, sizeof offset);
    char files[2048];
    // The symbolizer takes a return address: one past the call's target.
    Symbolize(const_cast<unsigned char*>(ret + offset + 1), "%s", files, sizeof files);
    const char* base = std::strrchr(files, '/');
    base = base ? base + 1 : files;
    return StartsWith(base, "moc_") || EndsWith(files, ".moc");
}

// True when pc lies in the sanitizer's allocation functions (malloc, operator
// new and their kin).
bool InAllocation(void* pc) {
    Dl_info info;
    if (!dladdr(pc, &info) || !info.dli_fname || !std::strstr(info.dli_fname, "libtsan.so") || !info.dli_sname)
        return false;
    const char* name = info.dli_sname;
    if (StartsWith(name, "__interceptor_"))
        name += std::strlen("__interceptor_");
    if (StartsWith(name, "_Znw") || StartsWith(name, "_Zna"))
        return true;
    for (const char* allocation : {"malloc", "calloc", "realloc", "memalign", "aligned_alloc", "posix_memalign"})
        if (std::strcmp(name, allocation) == 0)
            return true;
    return false;
}

// The stack that allocated the raced memory into trace: the heap block's
// when the report names one, else (a race with the block's free, which no
// longer has one) that of the access which is the allocation itself.
bool AllocationTrace(void* report, int locations, int mops, void** trace) {
    if (locations == 1) {
        const char* type = nullptr;
        void *address = nullptr, *start = nullptr;
        unsigned long size = 0;
        int tid = 0, fd = 0, suppressable = 0;
        return __tsan_get_report_loc(report, 0, &type, &address, &start, &size, &tid, &fd, &suppressable, trace,
                                     kFrames) &&
               type && std::strcmp(type, "heap") == 0;
    }
    if (locations != 0)
        return false;
    for (int i = 0; i < mops; ++i) {
        int tid = 0, size = 0, write = 0, atomic = 0;
        void* address = nullptr;
        if (__tsan_get_report_mop(report, i, &tid, &address, &size, &write, &atomic, trace, kFrames) && write &&
            trace[0] && InAllocation(trace[0]))
            return true;
    }
    return false;
}

// True when the raced memory was allocated by Qt's delivery of an event or a
// queued call: every frame of the allocation up to the first of ours is Qt's,
// and one of them posts the event or builds the queued call, or our first
// frame emitted a signal.
bool EventMemory(void* report, int locations, int mops) {
    void* trace[kFrames] = {};
    if (!AllocationTrace(report, locations, mops, trace))
        return false;
    const unsigned long depth = Depth(trace);
    bool inQt = false, delivery = false;
    for (unsigned long i = 0; i < depth && depth < kFrames; ++i) {
        if (InLibrary(trace[i], "libtsan.so"))
            continue;
        if (OurFrame(trace[i]))
            return inQt && (delivery || ReturnFromSignal(trace[i]));
        if (InLibrary(trace[i], "libQt6Core.so"))
            delivery = delivery || QtCorePostsEvent(trace[i]);
        else if (QtHeaderCode(trace[i]))
            delivery = delivery || QtInvokeMethod(trace[i]);
        else
            return false;
        inQt = true;
    }
    return false;
}

// True when the data race is Qt's own: no access of it was made with code of
// ours on its stack, or it raced on memory of Qt's event delivery.
bool QtsOwnRace(void* report) {
    const char* description = nullptr;
    int count = 0, stacks = 0, mops = 0, locs = 0, mutexes = 0, threads = 0, tids = 0;
    void* sleepTrace[1] = {};
    if (!__tsan_get_report_data(report, &description, &count, &stacks, &mops, &locs, &mutexes, &threads, &tids,
                                sleepTrace, 1))
        return false;
    if (!description || std::strcmp(description, "data-race") != 0 || mops < 2)
        return false;
    bool ours = false;
    for (int i = 0; i < mops && !ours; ++i) {
        int tid = 0, size = 0, write = 0, atomic = 0;
        void* address = nullptr;
        void* trace[kFrames] = {};
        if (!__tsan_get_report_mop(report, i, &tid, &address, &size, &write, &atomic, trace, kFrames))
            return false;
        ours = HoldsOurCode(trace);
    }
    return !ours || EventMemory(report, locs, mops);
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
    return suppressed || QtsOwnRace(const_cast<ReportDesc*>(report));
}
}  // namespace __tsan
