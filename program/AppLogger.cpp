#include "program/AppLogger.h"

#include "fjcomm/FJCore/Exception.h"
#include "platform/Numbers.h"
#include "platform/Time.h"
#include "program/WideText.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

namespace {
AppLogger* g_logger = nullptr;

constexpr size_t kLongestMessage = 1023;
}  // namespace

AppLogger* AppLogger::instance(const std::string& path, int32_t threshold) {
    if (!g_logger) g_logger = new AppLogger(path, threshold);
    return g_logger;
}

AppLogger::AppLogger(const std::string& path, int32_t threshold) : path_(path), threshold_(threshold) {
    open();
}

AppLogger::~AppLogger() {
    if (file_) std::fclose(file_);
    if (g_logger == this) g_logger = nullptr;
}

void AppLogger::open() {
    if (path_.empty() || file_) return;
    file_ = std::fopen(path_.c_str(), "a+e");
    if (!file_) throw new Fjarnis2011::FJCore::Exception("fail to open log file", 0, 0);
}

std::string AppLogger::timeText() {
    const platform::UtcTime t = platform::AddHours(platform::UtcNow(), 8);
    std::string text = platform::FormatInt(t.year) + "-" + platform::FormatInt(t.month) + "-" +
                       platform::FormatInt(t.day) + " ";
    if (t.hour < 10) text += ' ';
    text += platform::FormatInt(t.hour) + ":" + platform::FormatInt(t.minute) + ":" + platform::FormatInt(t.second);
    return text;
}

void AppLogger::write(int32_t level, const wchar_t* format, ...) {
    if (threshold_ > level || !format) return;
    // vswprintf reports a text that does not fit as a failure, so the buffer
    // grows until it fits; the message is then cut to its longest length.
    std::vector<wchar_t> buffer(kLongestMessage + 1);
    int n = -1;
    for (int attempt = 0; attempt < 8; ++attempt) {
        va_list args;
        va_start(args, format);
        n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0) break;
        buffer.resize(buffer.size() * 4);
    }
    std::wstring message;
    if (n >= 0) message.assign(buffer.data(), std::min(static_cast<size_t>(n), kLongestMessage));
    writeMessage(level, message);
}

void AppLogger::writeMessage(int32_t level, const std::wstring& message) {
    if (threshold_ > level) return;
    if (!file_) return;
    const std::string line = timeText() + " " + WideToUtf8(message) + " [" + platform::FormatInt(level) + "]\n";
    if (std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0) return;
    close();  // deletes the process-wide logger, possibly this one: touch nothing after it
}

void AppLogger::close() {
    if (file_) {
        std::fflush(file_);
        std::fclose(file_);
        file_ = nullptr;
    }
    AppLogger* logger = g_logger;
    g_logger = nullptr;
    delete logger;
}
