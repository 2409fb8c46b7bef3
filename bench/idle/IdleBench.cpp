// A connected receiver object with nothing talking on its line: what its
// threads cost while idle, as a share of one core, over a stretch of wall
// time (30 s by default). The line is a pseudo-terminal whose far end only
// swallows what the receiver object writes (its keep-alive), or, in the
// hung_up cases, a line whose far end has gone (a USB adapter pulled: the
// master of the pseudo-terminal closed after the port was opened). Run by
// hand:
//   build/bench/bin/brantor_idle_bench [--benchmark_filter=...]
// Goal: at most 0.5 % of a core.
#include "device/EmGnss_Receiver.h"
#include "platform/ComPorts.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Fjarnis2011;

namespace {

constexpr int kComPort = 61;

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The far end of the line: reads and drops whatever arrives, blocked in poll.
struct QuietPeer {
    int master = -1, slave = -1;
    std::atomic<bool> stop{false};
    std::thread drain;
    bool Open() {
        termios t{};
        cfmakeraw(&t);
        if (openpty(&master, &slave, nullptr, &t, nullptr) != 0) return false;
        char name[128] = {};
        if (ptsname_r(master, name, sizeof name) != 0) return false;
        platform::RegisterComPort(kComPort, name);
        drain = std::thread([this] {
            char sink[256];
            while (!stop.load()) {
                pollfd p{master, POLLIN, 0};
                if (::poll(&p, 1, 200) > 0 && ::read(master, sink, sizeof sink) <= 0) ::usleep(1000);
            }
        });
        return true;
    }
    // The far end goes: the line hangs up.
    void HangUp() {
        stop = true;
        if (drain.joinable()) drain.join();
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
        slave = master = -1;
    }
    ~QuietPeer() { HangUp(); }
};

void Idle(benchmark::State& state, FJParse::GNSS_MANUFACTURER maker, FJParse::MAINBD_OEM_TYPE board,
          bool hungUp = false) {
    QuietPeer peer;
    if (!peer.Open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    FJDevice::EmGnss_Receiver rx(maker, board);
    FJComm::PARAM_COM com;
    com.port = kComPort;
    com.baud = 115200;
    if (!rx.Port_Open(com)) {
        state.SkipWithError("the port does not open");
        return;
    }
    if (hungUp) peer.HangUp();
    const auto seconds = std::chrono::seconds(state.range(0));
    double share = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past the opening keep-alive
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(seconds);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        share = (ProcessCpuSeconds() - cpu0) / wall;
    }
    rx.Port_Close();
    state.counters["core_percent"] = share * 100.0;
}

}  // namespace

// The maker's old-protocol receiver: the reading thread also sends the
// keep-alive about every 170 ms.
BENCHMARK_CAPTURE(Idle, old_protocol_keepalive, FJParse::GNSS_MNFCTR_ORVEL, FJParse::MAINBD_NOVATEL_OEM)
    ->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);
// Another maker's receiver: nothing to send at all.
BENCHMARK_CAPTURE(Idle, nmea_receiver, FJParse::GNSS_MNFCTR_OTHER, FJParse::MAINBD_NMEA_ONLY)
    ->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);
// The same two on a line that hung up: waited on like a quiet line.
BENCHMARK_CAPTURE(Idle, old_protocol_keepalive_hung_up, FJParse::GNSS_MNFCTR_ORVEL, FJParse::MAINBD_NOVATEL_OEM,
                  true)
    ->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Idle, nmea_receiver_hung_up, FJParse::GNSS_MNFCTR_OTHER, FJParse::MAINBD_NMEA_ONLY, true)
    ->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);
