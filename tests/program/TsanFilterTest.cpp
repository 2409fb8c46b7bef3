// Built under ThreadSanitizer only, with the report filter of test_program_base
// (TsanQtSuppressions.cpp). The filter drops races that Qt's uninstrumented
// code makes with itself; a race of ours whose two accesses are both Qt's
// memcpy must still be reported, and a queued call handed from a thread to the
// main thread must not be.
//
// Each case runs in a child process (this binary started again) that stops at
// the first report with an exit code of its own, so that the parent sees
// whether the report got through the filter.

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

namespace {

constexpr int kReported = 66;

class Emitter : public QObject {
    Q_OBJECT
signals:
    void sent(int value);
};

// Runs first on a thread of its own, then, once it has run, next on this
// thread, before the two threads are joined. The flag between them is relaxed
// and does not order them for the sanitizer, so that it sees every access of
// next as unordered against first, on every run.
void RunUnorderedAfterThread(const std::function<void()>& first, const std::function<void()>& next) {
    std::atomic<bool> done{false};
    std::thread thread([&] {
        first();
        done.store(true, std::memory_order_relaxed);
    });
    while (!done.load(std::memory_order_relaxed))
        std::this_thread::yield();
    next();
    thread.join();
}

// A cache refilled by a receiver thread without a lock while the main thread
// copies it. Both accesses to the bytes are memcpy called inside Qt Core
// (QByteArray::replace, the QByteArray constructor), so the report's first
// frames on both sides are Qt's; only our code further down the stacks makes
// it a race of ours.
void CopyCacheWhileReceiverRefillsIt() {
    QByteArray cache(64, '.');
    QByteArray copy;
    RunUnorderedAfterThread([&] { cache.replace(0, 8, QByteArrayView("$GPGGA,1")); },
                            [&] { copy = QByteArray(cache.constData(), cache.size()); });
    std::fprintf(stderr, "copied %s\n", copy.left(8).constData());
}

// Sets the child's sanitizer options for the scope of a test.
class ChildStopsAtFirstReport {
public:
    ChildStopsAtFirstReport() {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const char* options = std::getenv("TSAN_OPTIONS");
        saved_ = options ? options : "";
        had_ = options != nullptr;
        const std::string child = saved_ + ":halt_on_error=1:exitcode=" + std::to_string(kReported);
        setenv("TSAN_OPTIONS", child.c_str(), 1);
    }
    ~ChildStopsAtFirstReport() {
        if (had_)
            setenv("TSAN_OPTIONS", saved_.c_str(), 1);
        else
            unsetenv("TSAN_OPTIONS");
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST(TsanFilterDeathTest, ReportsOurRaceMadeThroughQtContainerCode) {
    ChildStopsAtFirstReport options;
    EXPECT_EXIT(CopyCacheWhileReceiverRefillsIt(), testing::ExitedWithCode(kReported), "ThreadSanitizer: data race")
        << "the report filter dropped a race of ours";
}

// A queued call from a thread to the main thread: Qt allocates its event (and
// the copy of each argument, or the functor's slot object) on the thread and
// hands it over under its own lock, which the sanitizer cannot see; the main
// thread reads and frees it. Delivered by sendPostedEvents alone, so that not
// even the event loop's wake-up orders the two threads.
struct QueuedCall {
    const char* name;
    // Sets up, on the main thread, a call that stores 42 in *got and returns
    // what queues it; that is run on the thread.
    std::function<std::function<void()>(QObject* receiver, int* got)> prepare;
};

void PrintTo(const QueuedCall& call, std::ostream* out) { *out << call.name; }

class TsanFilterQueuedCallDeathTest : public testing::TestWithParam<QueuedCall> {};

TEST_P(TsanFilterQueuedCallDeathTest, DropsQtsHandOverToTheMainThread) {
    ChildStopsAtFirstReport options;
    const QueuedCall call = GetParam();
    EXPECT_EXIT(
        {
            QObject receiver;
            int got = 0;
            RunUnorderedAfterThread(call.prepare(&receiver, &got), [] { QCoreApplication::sendPostedEvents(); });
            std::fprintf(stderr, "delivered %d\n", got);
            std::exit(got == 42 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "delivered 42")
        << "Qt's hand-over of a queued call was reported or not delivered";
}

const QueuedCall kQueuedCalls[] = {
    {"SignalWithArgument",
     [](QObject* receiver, int* got) -> std::function<void()> {
         auto emitter = std::make_shared<Emitter>();
         QObject::connect(emitter.get(), &Emitter::sent, receiver, [got](int value) { *got = value; });
         return [emitter] { emit emitter->sent(42); };
     }},
    {"InvokeMethodFunctor",
     [](QObject* receiver, int* got) -> std::function<void()> {
         return [receiver, got] {
             const int value = 42;
             QMetaObject::invokeMethod(receiver, [got, value] { *got = value; }, Qt::QueuedConnection);
         };
     }},
};

INSTANTIATE_TEST_SUITE_P(Calls, TsanFilterQueuedCallDeathTest, testing::ValuesIn(kQueuedCalls),
                         [](const testing::TestParamInfo<QueuedCall>& info) { return std::string(info.param.name); });

}  // namespace

#include "TsanFilterTest.moc"
