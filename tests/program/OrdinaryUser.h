#pragma once

// Runs a piece of a test as an ordinary user. The tests run as root in CI,
// and root reads and writes whatever the file modes say; a folder that
// cannot be written or a file that cannot be read needs a user to whom the
// modes apply. So the piece runs in a forked process of its own, which as
// root first becomes "nobody", and hands its result back as text.

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace ordinaryuser {

constexpr uid_t kNobody = 65534;

inline bool CannotRun(const std::string& result) { return result.rfind("(cannot run", 0) == 0; }

// Gives what `work` returned, "(cannot run ...)" when the process could not
// become an ordinary user, or "(failed ...)" when it did not end well within
// `timeoutMs` (it is then killed). The process leaves without running this
// one's destructors.
inline std::string Run(const std::function<std::string()>& work, int timeoutMs = 60000) {
    int out[2];
    if (::pipe(out) != 0) return "(failed: no pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        std::string result;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            result = std::string("(cannot run as an ordinary user: ") + std::strerror(errno) + ")";
        else
            result = work();
        const bool written = ::write(out[1], result.data(), result.size()) == ssize_t(result.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(out[1]);
    if (pid < 0) {
        ::close(out[0]);
        return "(failed: no process)";
    }
    std::string result;
    bool timedOut = false;
    char buf[4096];
    while (true) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        result.append(buf, size_t(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (timedOut) return "(failed: no end within the time) " + result;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "(failed: exit) " + result;
    return result;
}

}  // namespace ordinaryuser
