#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The program's log writer: time-stamped lines "<time> <message> [<level>]"
// appended to one file. The time is UTC + 8 h with the date carried.
//
// Opening throws a newly allocated Fjarnis2011::FJCore::Exception ("fail to
// open log file"); whoever catches it deletes it. A failed write closes the
// logger, and closing deletes the process-wide logger: after close() (or a
// write that failed) the pointer from instance() must not be used again.
class AppLogger {
public:
    // The process-wide logger; the first call creates it with these
    // arguments, later calls ignore them.
    static AppLogger* instance(const std::string& path, int32_t threshold);

    AppLogger(const std::string& path, int32_t threshold);
    ~AppLogger();
    AppLogger(const AppLogger&) = delete;
    AppLogger& operator=(const AppLogger&) = delete;

    void open();
    // Formats the message (at most 1023 characters) and writes it when the
    // level is at least the threshold.
    void write(int32_t level, const wchar_t* format, ...);
    // Writes the message as it is: a percent sign in it has no meaning.
    void writeMessage(int32_t level, const std::wstring& message);
    void close();

    void setPath(const std::string& path) { path_ = path; }
    void setLevel(int32_t threshold) { threshold_ = threshold; }
    const std::string& path() const { return path_; }

    // "%d-%d-%d %2d:%d:%d" of the current UTC time + 8 h.
    static std::string timeText();

private:
    FILE* file_ = nullptr;
    std::string path_;
    int32_t threshold_ = 0;
};
