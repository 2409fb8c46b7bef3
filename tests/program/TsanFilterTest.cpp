// Built under ThreadSanitizer only, with the report filter of test_program_base
// (TsanQtSuppressions.cpp). The filter drops races that Qt's uninstrumented
// code makes with itself; a race of ours whose two accesses are both Qt's
// memcpy must still be reported.

#include <QByteArray>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A cache refilled by a receiver thread without a lock while the main thread
// copies it. Both accesses to the bytes are memcpy called inside Qt Core
// (QByteArray::replace, the QByteArray constructor), so the report's first
// frames on both sides are Qt's; only our code further down the stacks makes
// it a race of ours.
void CopyCacheWhileReceiverRefillsIt() {
    QByteArray cache(64, '.');
    std::atomic<bool> refilled{false};
    std::thread receiver([&] {
        cache.replace(0, 8, QByteArrayView("$GPGGA,1"));
        // Relaxed: tells the main thread when to copy without ordering the
        // two accesses, so that the sanitizer sees the race on every run.
        refilled.store(true, std::memory_order_relaxed);
    });
    while (!refilled.load(std::memory_order_relaxed))
        std::this_thread::yield();
    const QByteArray copy(cache.constData(), cache.size());
    receiver.join();
    std::fprintf(stderr, "copied %s\n", copy.left(8).constData());
}

TEST(TsanFilterDeathTest, ReportsOurRaceMadeThroughQtContainerCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child process (this binary started again) reads its options at
    // start: it stops at the first report with an exit code of its own.
    const char* options = std::getenv("TSAN_OPTIONS");
    const std::string childOptions = std::string(options ? options : "") + ":halt_on_error=1:exitcode=66";
    setenv("TSAN_OPTIONS", childOptions.c_str(), 1);
    EXPECT_EXIT(CopyCacheWhileReceiverRefillsIt(), testing::ExitedWithCode(66), "ThreadSanitizer: data race")
        << "the report filter dropped a race of ours";
    if (options)
        setenv("TSAN_OPTIONS", options, 1);
    else
        unsetenv("TSAN_OPTIONS");
}

}  // namespace
