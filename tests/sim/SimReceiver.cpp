#include "tests/sim/SimReceiver.h"

#include "platform/ComPorts.h"
#include "platform/Time.h"
#include "tests/sim/LineSpeed.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

// What the receiver keeps for a line nobody reads before it drops output.
constexpr size_t kOutboundLimit = 64 * 1024;
constexpr uint32_t kMinPeriodMs = 10;

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

SimReceiver::SimReceiver(SimSettings settings) : model_(std::move(settings)) {}

SimReceiver::~SimReceiver() { Stop(); }

bool SimReceiver::Start(std::string* error) {
    if (thread_.joinable()) {
        if (error) *error = "already running";
        return false;
    }
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        CloseFd(master_);
        CloseFd(slave_);
        CloseFd(wake_);
        slavePath_.clear();
        return false;
    };

    // Raw, and at speed 0 until the opener sets one: a line nobody configured
    // matches no receiver speed.
    termios t{};
    cfmakeraw(&t);
    cfsetispeed(&t, B0);
    cfsetospeed(&t, B0);
    if (openpty(&master_, &slave_, nullptr, &t, nullptr) != 0) return fail(std::string("openpty: ") + std::strerror(errno));
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) return fail(std::string("ptsname: ") + std::strerror(errno));
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) return fail(std::string("eventfd: ") + std::strerror(errno));

    {
        std::lock_guard<std::mutex> lock(mu_);
        stop_ = false;
        outbound_.clear();
        slavePath_ = name;
    }
    try {
        thread_ = std::thread(&SimReceiver::Run, this);
    } catch (const std::system_error& e) {
        return fail(std::string("thread: ") + e.what());
    }
    return true;
}

void SimReceiver::Stop() {
    {
        std::lock_guard<std::mutex> lock(mu_);
        stop_ = true;
    }
    Wake();
    if (thread_.joinable()) thread_.join();
    CloseFd(master_);
    CloseFd(slave_);
    CloseFd(wake_);
    std::lock_guard<std::mutex> lock(mu_);
    slavePath_.clear();
    changed_.notify_all();
}

bool SimReceiver::Running() const { return thread_.joinable(); }

std::string SimReceiver::SlavePath() const {
    std::lock_guard<std::mutex> lock(mu_);
    return slavePath_;
}

void SimReceiver::RegisterAsCom(int n) const { platform::RegisterComPort(n, SlavePath()); }

void SimReceiver::SetBaud(uint32_t baud) {
    Update([baud](SimSettings& s) { s.baud = baud; });
}

void SimReceiver::SetBehaviour(Behaviour behaviour) {
    Update([behaviour](SimSettings& s) { s.behaviour = behaviour; });
}

void SimReceiver::Update(const std::function<void(SimSettings&)>& change) {
    {
        std::lock_guard<std::mutex> lock(mu_);
        change(model_.Settings());
    }
    Wake();
}

SimSettings SimReceiver::Settings() const {
    std::lock_guard<std::mutex> lock(mu_);
    return model_.Settings();
}

void SimReceiver::PowerOn() {
    {
        std::lock_guard<std::mutex> lock(mu_);
        model_.PowerOn();
    }
    Wake();
}

void SimReceiver::Send(const std::vector<uint8_t>& bytes) {
    {
        std::lock_guard<std::mutex> lock(mu_);
        QueueLocked(bytes);
    }
    Wake();
}

std::vector<ReceivedCommand> SimReceiver::Received() const {
    std::lock_guard<std::mutex> lock(mu_);
    return model_.Commands();
}

std::vector<ReceivedCommand> SimReceiver::Received(std::string_view letters) const {
    std::lock_guard<std::mutex> lock(mu_);
    std::vector<ReceivedCommand> out;
    for (const auto& c : model_.Commands())
        if (c.letters == letters) out.push_back(c);
    return out;
}

void SimReceiver::ClearReceived() {
    std::lock_guard<std::mutex> lock(mu_);
    model_.ClearCommands();
}

SimStatus SimReceiver::Status() const {
    std::lock_guard<std::mutex> lock(mu_);
    return model_.Status();
}

bool SimReceiver::WaitUntil(const std::function<bool(const ReceiverModel&)>& done, uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mu_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return done(model_); });
}

bool SimReceiver::WaitForCommand(std::string_view letters, size_t count, uint32_t timeoutMs) {
    return WaitUntil(
        [&](const ReceiverModel& m) {
            return size_t(std::count_if(m.Commands().begin(), m.Commands().end(),
                                        [&](const ReceivedCommand& c) { return c.letters == letters; })) >= count;
        },
        timeoutMs);
}

bool SimReceiver::WaitForModuleRequest(int id, size_t count, uint32_t timeoutMs) {
    return WaitUntil(
        [&](const ReceiverModel& m) {
            return size_t(std::count_if(m.Commands().begin(), m.Commands().end(),
                                        [&](const ReceivedCommand& c) { return c.moduleId == id; })) >= count;
        },
        timeoutMs);
}

bool SimReceiver::WaitForNewItem(uint16_t id, size_t count, uint32_t timeoutMs) {
    return WaitUntil(
        [&](const ReceiverModel& m) {
            return size_t(std::count_if(m.Commands().begin(), m.Commands().end(),
                                        [&](const ReceivedCommand& c) { return c.Item(id) != nullptr; })) >= count;
        },
        timeoutMs);
}

std::vector<ReceivedCommand> SimReceiver::ReceivedItem(uint16_t id) const {
    std::lock_guard<std::mutex> lock(mu_);
    std::vector<ReceivedCommand> out;
    for (const auto& c : model_.Commands())
        if (c.Item(id)) out.push_back(c);
    return out;
}

void SimReceiver::HoldRepliesUntil(uint32_t tick) {
    {
        std::lock_guard<std::mutex> lock(mu_);
        holdUntil_ = tick;
        holding_ = true;
    }
    Wake();
}

void SimReceiver::Wake() {
    if (wake_ < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
}

// Keeps bytes for the line, up to what a receiver buffers (caller holds mu_).
void SimReceiver::QueueLocked(const std::vector<uint8_t>& bytes) {
    const size_t room = kOutboundLimit - std::min(kOutboundLimit, outbound_.size());
    const size_t n = std::min(room, bytes.size());
    outbound_.insert(outbound_.end(), bytes.begin(), bytes.begin() + long(n));
    droppedBytes_ += bytes.size() - n;
}

uint64_t SimReceiver::DroppedBytes() const {
    std::lock_guard<std::mutex> lock(mu_);
    return droppedBytes_;
}

// Writes what the line takes now; the rest waits for room (caller holds mu_).
void SimReceiver::WriteOut() {
    size_t done = 0;
    while (done < outbound_.size()) {
        const ssize_t n = ::write(master_, outbound_.data() + done, outbound_.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        droppedBytes_ += outbound_.size() - done;  // the line is gone
        done = outbound_.size();
    }
    outbound_.erase(outbound_.begin(), outbound_.begin() + long(done));
}

void SimReceiver::Run() {
    uint8_t buf[4096];
    bool scheduled = false;
    uint32_t due = 0;
    bool hungUp = false;
    for (;;) {
        int timeout = -1;
        bool wantOut = false;
        {
            std::lock_guard<std::mutex> lock(mu_);
            if (stop_) break;
            wantOut = !outbound_.empty();
            if (!delayed_.empty())
                timeout = std::max<int32_t>(0, int32_t(delayed_.front().first - platform::TickCount()));
            if (model_.WantsPeriodic()) {
                const uint32_t period = std::max(kMinPeriodMs, model_.Settings().periodicIntervalMs);
                const uint32_t now = platform::TickCount();
                if (!scheduled) {
                    due = now + period;
                    scheduled = true;
                }
                const int untilPeriodic = std::max<int32_t>(0, int32_t(due - now));
                timeout = timeout < 0 ? untilPeriodic : std::min(timeout, untilPeriodic);
            } else {
                scheduled = false;
            }
        }
        if (hungUp) timeout = timeout < 0 ? 10 : std::min(timeout, 10);

        pollfd fds[2] = {{master_, short(POLLIN | (wantOut ? POLLOUT : 0)), 0}, {wake_, POLLIN, 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t v;
            [[maybe_unused]] const ssize_t n = ::read(wake_, &v, sizeof v);
        }
        hungUp = false;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                const uint32_t speed = LineSpeed(master_);
                std::lock_guard<std::mutex> lock(mu_);
                std::vector<uint8_t> reply = model_.Receive(buf, size_t(n), speed);
                if (holding_ && int32_t(holdUntil_ - platform::TickCount()) <= 0) holding_ = false;
                if (!holding_ && delayed_.empty())
                    QueueLocked(reply);
                else if (!reply.empty())
                    delayed_.emplace_back(holding_ ? holdUntil_ : platform::TickCount(), std::move(reply));
                changed_.notify_all();
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                hungUp = true;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            hungUp = true;
        }
        {
            std::lock_guard<std::mutex> lock(mu_);
            while (!delayed_.empty() && int32_t(platform::TickCount() - delayed_.front().first) >= 0) {
                QueueLocked(delayed_.front().second);
                delayed_.pop_front();
            }
            if (scheduled && model_.WantsPeriodic()) {
                const uint32_t now = platform::TickCount();
                if (int32_t(now - due) >= 0) {
                    const uint32_t period = std::max(kMinPeriodMs, model_.Settings().periodicIntervalMs);
                    due += period;
                    if (int32_t(now - due) >= 0) due = now + period;  // fell behind: no burst
                    QueueLocked(model_.PeriodicOutput(LineSpeed(master_)));
                    changed_.notify_all();
                }
            }
            WriteOut();
        }
    }
}

}  // namespace sim
