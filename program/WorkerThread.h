#pragma once

#include "program/ITask.h"

#include <QThread>

#include <atomic>
#include <cstdint>

// Runs one task at a time on its own thread. The task is not owned. The
// destructor stops a running task and waits for the thread.
class WorkerThread : public QThread {
    Q_OBJECT
public:
    explicit WorkerThread(QObject* parent = nullptr);
    ~WorkerThread() override;

    // False while the thread runs, or when the task refuses to start (the
    // task then stays stored and no thread starts).
    bool start(ITask* task);
    // Asks the running task to stop; false when no thread runs. Does not wait.
    bool stop();
    bool isRunning() const { return QThread::isRunning(); }
    ITask* task() const { return task_; }

public slots:
    void onFinished();

protected:
    void run() override;

private:
    ITask* task_ = nullptr;
    ITask* runTask_ = nullptr;  // the task of the thread started last
    uint64_t generation_ = 0;   // counts start calls
    uint64_t runGeneration_ = 0;
    std::atomic<uint64_t> finishedGeneration_{0};
};
