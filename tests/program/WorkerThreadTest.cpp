#include "program/WorkerThread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// A task that counts its calls; a blocking one runs until it is stopped.
class FakeTask : public ITask {
public:
    FakeTask(bool accept, bool blocking) : accept_(accept), blocking_(blocking) {}
    bool Start() override {
        ++starts;
        return accept_;
    }
    void Run() override {
        ++runs;
        if (blocking_) {
            std::unique_lock<std::mutex> lock(mutex_);
            stopped_.wait(lock, [this] { return stopRequested_; });
        }
        ++runsDone;
    }
    void Stop() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopRequested_ = true;
        }
        stopped_.notify_all();
        ++stops;
    }

    std::atomic<int> starts{0}, runs{0}, runsDone{0}, stops{0};

private:
    const bool accept_;
    const bool blocking_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopRequested_ = false;
};

bool WaitForTaskCleared(WorkerThread& worker) {
    return QTest::qWaitFor([&] { return worker.task() == nullptr; }, 5000);
}

TEST(WorkerThreadTest, ARefusedStartStartsNoThread) {
    WorkerThread worker;
    FakeTask task(false, true);
    EXPECT_FALSE(worker.start(&task));
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(task.starts, 1);
    EXPECT_EQ(worker.task(), &task);  // stays stored
    EXPECT_FALSE(worker.stop());
    EXPECT_EQ(task.stops, 0);
    EXPECT_FALSE(worker.start(nullptr));
}

TEST(WorkerThreadTest, SecondStartWhileRunningIsRefusedAndStopEndsTheRun) {
    WorkerThread worker;
    FakeTask first(true, true), second(true, true);
    ASSERT_TRUE(worker.start(&first));
    EXPECT_TRUE(worker.isRunning());
    EXPECT_FALSE(worker.start(&second));
    EXPECT_EQ(second.starts, 0);
    EXPECT_EQ(worker.task(), &first);

    EXPECT_TRUE(worker.stop());
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(first.stops, 1);
    EXPECT_EQ(first.runs, 1);
    EXPECT_EQ(first.runsDone, 1);
    EXPECT_TRUE(WaitForTaskCleared(worker));
    EXPECT_FALSE(worker.stop());

    // Finished, it takes the next task.
    ASSERT_TRUE(worker.start(&second));
    EXPECT_TRUE(worker.stop());
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(second.runsDone, 1);
}

TEST(WorkerThreadTest, DestroyingARunningWorkerStopsTheTaskAndJoins) {
    FakeTask running(true, true), notYetRunning(true, true);
    auto* worker = new WorkerThread;
    ASSERT_TRUE(worker->start(&running));
    ASSERT_TRUE(QTest::qWaitFor([&] { return running.runs == 1; }, 5000));
    delete worker;
    EXPECT_EQ(running.stops, 1);
    EXPECT_EQ(running.runsDone, 1);

    // Destroyed at once after the start, before Run may even have begun.
    worker = new WorkerThread;
    ASSERT_TRUE(worker->start(&notYetRunning));
    delete worker;
    EXPECT_EQ(notYetRunning.runsDone, 1);
}

TEST(WorkerThreadTest, ALateFinishNeverClearsANewerTask) {
    WorkerThread worker;
    FakeTask quick(true, false), slow(true, true), refusing(false, false);
    ASSERT_TRUE(worker.start(&quick));
    ASSERT_TRUE(worker.wait(5000));  // finished, but its finished() is not delivered yet

    ASSERT_TRUE(worker.start(&slow));
    QCoreApplication::processEvents();  // the first run's finished() arrives now
    EXPECT_EQ(worker.task(), &slow);
    EXPECT_TRUE(worker.stop());  // reaches the newer task
    EXPECT_EQ(slow.stops, 1);
    ASSERT_TRUE(worker.wait(5000));

    EXPECT_FALSE(worker.start(&refusing));
    QCoreApplication::processEvents();
    EXPECT_EQ(worker.task(), &refusing);
}

}  // namespace
