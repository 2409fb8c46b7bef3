#pragma once

// A piece of work that a worker thread runs on its own thread. Start prepares
// it on the controlling thread (false refuses the start), Run does the work
// on the worker thread, and Stop asks a running Run to end; Stop is called
// from the controlling thread while Run goes on, so it must be safe then.
// The port library's Bluetooth search is one; the program's WorkerThread runs
// them.
class ITask {
public:
    virtual ~ITask() = default;
    virtual bool Start() = 0;
    virtual void Run() = 0;
    virtual void Stop() = 0;
};
