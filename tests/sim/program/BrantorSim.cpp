// brantor-sim: a simulated receiver of the maker's old protocol (or, with
// --new-protocol, of the new one) on a pseudo-terminal, for trying the
// program without a receiver at hand.
//
// The first line on standard output is "FJCOMM_COM<n>=<slave path>", ready to
// be put into the environment of the program that should find the receiver
// on COM n. Commands received are logged to standard error with --verbose.
// SIGINT, SIGTERM or SIGHUP stop it.

#include "platform/Numbers.h"
#include "tests/sim/SimReceiver.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Usage() {
    std::fputs(
        "usage: brantor-sim [options]\n"
        "  --baud N            the receiver's port speed (default 9600)\n"
        "  --com N             the COM port number to print the variable for (default 1)\n"
        "  --silent            hear commands but never answer\n"
        "  --garbage           answer with noise instead of replies\n"
        "  --mismatch-silence  say nothing at a wrong line speed (default: noise)\n"
        "  --model TEXT        model code (default 8427, a NovAtel OEM board)\n"
        "  --serial TEXT       serial number (6 characters)\n"
        "  --firmware TEXT     firmware version (4 characters, default V8.1)\n"
        "  --part TEXT         part number (10 characters)\n"
        "  --date TEXT         production date (10 characters)\n"
        "  --modem-version T   internal modem version, \"major.minor\" (default 2.90)\n"
        "  --battery HEX       battery reply payload, e.g. 00,4B,00,00\n"
        "  --period MS         interval of the periodic board output (default 1000)\n"
        "  --new-protocol      speak the new binary protocol (model Q50A)\n"
        "  --link-silent       new protocol: answer the old device-information\n"
        "                      request, then nothing on the new protocol\n"
        "  --net-host TEXT     new protocol: the caster held by this host name\n"
        "                      (port 2101)\n"
        "  --server-type N     new protocol: the network link's server type\n"
        "                      (0 ZELT, 1 NTRIP client, 3 TCP direct; default 1)\n"
        "  --no-server-type    new protocol: never answer a query of the server\n"
        "                      type, as an older firmware (a setting is kept)\n"
        "  --verbose           log every command received\n",
        stderr);
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& out) {
    out.clear();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of(", ", at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) {
            unsigned v = 0;
            if (!platform::ParseInt(text.substr(at, end - at), v, 16) || v > 255) return false;
            out.push_back(uint8_t(v));
        }
        at = end + 1;
    }
    return out.size() <= 255;
}

}  // namespace

int main(int argc, char** argv) {
    sim::SimSettings settings;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--new-protocol") settings = sim::NewProtocolSettings();
    int com = 1;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const char* option = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        bool ok = true;
        if (a == "--new-protocol") {
            // Chosen before the loop: the other options change that receiver.
        } else if (a == "--link-silent") {
            settings.answersLinkMessages = false;
        } else if (a == "--no-server-type") {
            settings.unansweredItems.insert(4356);
        } else if (a == "--silent") {
            settings.behaviour = sim::Behaviour::Silent;
        } else if (a == "--garbage") {
            settings.behaviour = sim::Behaviour::Garbage;
        } else if (a == "--mismatch-silence") {
            settings.onBaudMismatch = sim::MismatchReply::Silence;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else if ((v = value()) == nullptr) {
            ok = false;
        } else if (a == "--baud") {
            ok = platform::ParseInt(v, settings.baud) && settings.baud > 0;
        } else if (a == "--com") {
            ok = platform::ParseInt(v, com) && com >= 1;
        } else if (a == "--model") {
            settings.deviceInfo.model = v;
        } else if (a == "--serial") {
            settings.deviceInfo.serialNumber = v;
        } else if (a == "--firmware") {
            settings.deviceInfo.firmware = v;
        } else if (a == "--part") {
            settings.deviceInfo.partNumber = v;
        } else if (a == "--date") {
            settings.deviceInfo.productionDate = v;
        } else if (a == "--modem-version") {
            settings.modemVersion = v;
        } else if (a == "--battery") {
            ok = ParseHexBytes(v, settings.battery);
        } else if (a == "--net-host") {
            ok = std::string_view(v).size() <= 50;
            if (ok) sim::SetNetLinkHost(settings, v, 2101);
        } else if (a == "--server-type") {
            unsigned type = 0;
            ok = platform::ParseInt(v, type) && type <= 0xFFFF;
            if (ok) settings.newParams[4356] = sim::BE16(uint16_t(type));
        } else if (a == "--period") {
            ok = platform::ParseInt(v, settings.periodicIntervalMs);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "brantor-sim: bad or incomplete option %s\n", option);
            Usage();
            return 2;
        }
    }

    // The line thread inherits the blocked set, so only sigtimedwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::SimReceiver receiver(settings);
    std::string error;
    if (!receiver.Start(&error)) {
        std::fprintf(stderr, "brantor-sim: cannot start: %s\n", error.c_str());
        return 1;
    }
    std::printf("FJCOMM_COM%d=%s\n", com, receiver.SlavePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "brantor-sim: receiver on %s (COM%d) at %u baud; Ctrl+C stops it\n",
                 receiver.SlavePath().c_str(), com, settings.baud);

    size_t logged = 0;
    for (;;) {
        const timespec wait{0, 200 * 1000 * 1000};
        const int sig = sigtimedwait(&stopSignals, nullptr, &wait);
        if (sig > 0) break;
        if (!verbose) continue;
        const auto cmds = receiver.Received();
        for (; logged < cmds.size(); ++logged) {
            const auto& c = cmds[logged];
            std::fprintf(stderr, "brantor-sim: %s", c.Describe().c_str());
            if (c.moduleId >= 0) std::fprintf(stderr, "  (module request %d)", c.moduleId);
            std::fputc('\n', stderr);
        }
    }
    receiver.Stop();
    std::fprintf(stderr, "brantor-sim: stopped\n");
    return 0;
}
