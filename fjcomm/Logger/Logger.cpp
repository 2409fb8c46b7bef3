#include "fjcomm/Logger/Logger.h"

#include "fjcomm/FJCore/Exception.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/Time.h"

#include <cstdarg>
#include <cwchar>
#include <mutex>

namespace Fjarnis2011 {
namespace FJCore {

namespace {

constexpr size_t kMessageSize = 1024;

std::string Padded(int v, size_t width) {
    std::string s = platform::FormatInt(v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

// "%04d-%02d-%02d %02d:%02d:%02d" of UTC + 8 h, the date carried.
std::string TimeText() {
    const platform::UtcTime t = platform::LocalDisplayTime();
    return Padded(t.year, 4) + '-' + Padded(t.month, 2) + '-' + Padded(t.day, 2) + ' ' + Padded(t.hour, 2) +
           ':' + Padded(t.minute, 2) + ':' + Padded(t.second, 2);
}

// Wide text (UTF-32 here) to UTF-8; what is not a character becomes '?'.
std::string Narrow(const wchar_t* w) {
    std::string out;
    for (; *w; ++w) {
        const uint32_t c = uint32_t(*w);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                out += '?';
                continue;
            }
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace

Logger::Logger(int id, std::string path, int level) : id_(id), path_(std::move(path)), level_(level) {
    if (!mutex_.IsValid()) throw new Exception("fail to create log mutex", 0, 0);
    Open();
}

Logger::~Logger() {
    if (file_) std::fclose(file_);
}

void Logger::Open() {
    ScopedLock lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (path_.empty()) return;
    file_ = std::fopen(platform::ResolveRootPath(path_).c_str(), "a+");
    if (!file_) throw new Exception("fail to open log file", 0, 0);
}

void Logger::Write(const std::string& message, int level) {
    const std::string line = TimeText() + ' ' + message + " [" + platform::FormatInt(level) + "]\n";
    bool written = false;
    {
        ScopedLock lock(mutex_);
        written = file_ && std::fwrite(line.data(), 1, line.size(), file_) == line.size();
    }
    if (written) {
        // The line is buffered: a full disk shows only when it is flushed.
        ScopedLock lock(mutex_);
        written = file_ && std::fflush(file_) == 0;
    }
    if (!written) Close();
}

void Logger::Log(int level, const char* format, ...) {
    if (level < level_ || format == nullptr) return;
    char buffer[kMessageSize];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) buffer[0] = '\0';
    Write(buffer, level);
}

void Logger::Log(int level, const wchar_t* format, ...) {
    if (level < level_ || format == nullptr) return;
    wchar_t buffer[kMessageSize];
    buffer[0] = L'\0';
    va_list args;
    va_start(args, format);
    // A message that does not fit makes this report -1 but still leaves the
    // first 1023 characters; the end is terminated here in any case.
    std::vswprintf(buffer, kMessageSize, format, args);
    va_end(args);
    buffer[kMessageSize - 1] = L'\0';
    Write(Narrow(buffer), level);
}

void Logger::WriteSeparator() {
    ScopedLock lock(mutex_);
    if (!file_) return;
    std::fputs("\n--------------------\n", file_);
    std::fflush(file_);
}

std::string Logger::GetPath() const {
    ScopedLock lock(mutex_);
    return path_;
}

void Logger::SetPath(const std::string& path) {
    ScopedLock lock(mutex_);
    path_ = path;
}

void Logger::Close() {
    if (closed_.exchange(true)) return;
    LoggerRegistry& registry = LoggerRegistry::Instance();
    registry.Remove(this);
    {
        ScopedLock lock(mutex_);
        if (file_) {
            std::fflush(file_);
            std::fclose(file_);
            file_ = nullptr;
        }
    }
    registry.Retire(this);
}

LoggerRegistry& LoggerRegistry::Instance() {
    static LoggerRegistry registry;
    return registry;
}

LoggerRegistry::~LoggerRegistry() {
    for (auto& [id, logger] : loggers_) delete logger;
    for (Logger* logger : retired_) delete logger;
}

Logger* LoggerRegistry::Find(int id) {
    ScopedLock lock(mutex_);
    const auto it = loggers_.find(id);
    return it == loggers_.end() ? nullptr : it->second;
}

bool LoggerRegistry::Add(int id, Logger* logger) {
    if (!logger) return false;
    ScopedLock lock(mutex_);
    return loggers_.emplace(id, logger).second;
}

void LoggerRegistry::Remove(Logger* logger) {
    ScopedLock lock(mutex_);
    for (auto it = loggers_.begin(); it != loggers_.end(); ++it) {
        if (it->second == logger) {
            loggers_.erase(it);
            return;
        }
    }
}

void LoggerRegistry::Retire(Logger* logger) {
    ScopedLock lock(mutex_);
    retired_.push_back(logger);
}

Logger* GetLogger(int id) {
    static std::once_flag once;
    std::call_once(once, [] {
        LoggerRegistry& registry = LoggerRegistry::Instance();
        try {
            auto* logger = new Logger(0, "runtime.log", 0);
            if (!registry.Add(0, logger)) logger->Close();
        } catch (Exception* e) {
            delete e;  // no default logger; callers find none
        } catch (...) {
        }
    });
    return LoggerRegistry::Instance().Find(id);
}

Logger* GetLogger() { return GetLogger(0); }

Logger* GetActiveLogger() {
    if (Logger* logger = LoggerRegistry::Instance().Find(1)) return logger;
    return GetLogger(0);
}

Logger* CreateLogger(const std::string& path, int level) {
    LoggerRegistry& registry = LoggerRegistry::Instance();
    if (Logger* logger = registry.Find(1)) return logger;
    Logger* logger = nullptr;
    try {
        logger = new Logger(1, path, level);
    } catch (Exception* e) {
        delete e;
        return nullptr;
    } catch (...) {
        return nullptr;
    }
    if (!registry.Add(1, logger)) {
        logger->Close();
        return registry.Find(1);
    }
    return logger;
}

}  // namespace FJCore
}  // namespace Fjarnis2011
