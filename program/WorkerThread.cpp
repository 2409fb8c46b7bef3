#include "program/WorkerThread.h"

WorkerThread::WorkerThread(QObject* parent) : QThread(parent) {
    connect(this, &QThread::finished, this, &WorkerThread::onFinished);
}

WorkerThread::~WorkerThread() {
    // A QThread must not die while its thread runs: ask the task to end and
    // join the thread first.
    if (QThread::isRunning() && task_) task_->Stop();
    wait();
}

bool WorkerThread::start(ITask* task) {
    if (QThread::isRunning() || !task) return false;
    ++generation_;
    task_ = task;
    if (!task->Start()) return false;
    runTask_ = task;
    runGeneration_ = generation_;
    QThread::start(QThread::InheritPriority);
    return true;
}

bool WorkerThread::stop() {
    if (!QThread::isRunning() || !task_) return false;
    task_->Stop();
    return true;
}

void WorkerThread::run() {
    const uint64_t generation = runGeneration_;
    runTask_->Run();
    finishedGeneration_.store(generation);
}

void WorkerThread::onFinished() {
    // finished() reaches this slot through the event loop, possibly after a
    // newer task was stored; only the end of the newest start clears it.
    if (finishedGeneration_.load() == generation_ && !QThread::isRunning()) task_ = nullptr;
}
