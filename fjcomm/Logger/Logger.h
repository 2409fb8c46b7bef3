#pragma once

#include "fjcomm/FJCore/Mutex.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace Fjarnis2011 {
namespace FJCore {

// An append-only text log: one line "time message [level]" per message, the
// time being UTC + 8 h ("%04d-%02d-%02d %02d:%02d:%02d", date carried). Loggers
// live in a process-wide registry by number; any thread may log.
class Logger {
public:
    // Opens the file (a root-folder path such as "runtime.log", resolved in the
    // program folder) for appending. Throws a new Exception ("fail to open log
    // file", 0, 0) by pointer when it cannot; the catcher deletes it. An empty
    // path makes a logger without a file.
    Logger(int id, std::string path, int level);

    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    void Open();

    // Writes and flushes one line. A logger whose write or flush fails (or
    // that has no file) closes itself: it leaves the registry and writes
    // nothing more.
    void Write(const std::string& message, int level);

    // Formats into 1024 characters (longer messages are cut at 1023) and
    // writes, when level is at least the minimum level; below it, nothing.
    void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // The same from a wide format; the text is written as UTF-8.
    void Log(int level, const wchar_t* format, ...);

    // "\n--------------------\n", when a file is open.
    void WriteSeparator();

    void SetLevel(int level) { level_ = level; }
    int GetLevel() const { return level_; }
    int GetId() const { return id_; }
    std::string GetPath() const;
    // Replaces the path without reopening.
    void SetPath(const std::string& path);

    // Leaves the registry and closes the file. The object itself stays valid
    // (other threads may still hold it) and is freed at process exit.
    void Close();

private:
    friend class LoggerRegistry;
    ~Logger();

    const int id_;
    FILE* file_ = nullptr;  // guarded by mutex_
    MutexHolder mutex_;
    std::string path_;      // guarded by mutex_
    std::atomic<int> level_;
    std::atomic<bool> closed_{false};
};

// The process-wide registry of loggers by number, created on first use. At
// process exit it closes and frees every logger it still knows.
class LoggerRegistry {
public:
    static LoggerRegistry& Instance();

    Logger* Find(int id);
    // True and inserted when the number is free; false and unchanged when taken.
    bool Add(int id, Logger* logger);
    // Erases the first entry (in ascending number order) holding this logger.
    void Remove(Logger* logger);
    // Keeps a closed logger until process exit.
    void Retire(Logger* logger);

    LoggerRegistry(const LoggerRegistry&) = delete;
    LoggerRegistry& operator=(const LoggerRegistry&) = delete;

private:
    LoggerRegistry() = default;
    ~LoggerRegistry();

    MutexHolder mutex_;
    std::map<int, Logger*> loggers_;
    std::vector<Logger*> retired_;
};

// The first call creates the default logger 0 ("runtime.log", minimum level
// 0); then the registered logger with that number, or null.
Logger* GetLogger(int id);
// Logger 0.
Logger* GetLogger();
// Logger 1 when it is registered, else logger 0.
Logger* GetActiveLogger();
// Logger 1: the registered one, or a new one with this path and minimum level;
// null when its file cannot be opened.
Logger* CreateLogger(const std::string& path, int level);

}  // namespace FJCore
}  // namespace Fjarnis2011
