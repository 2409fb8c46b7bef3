#include "protocol/boards/Em_CmdPaker_Q70R.h"

#include "platform/Numbers.h"
#include "protocol/boards/Em_CmdPaker_NovAt.h"

#include <string>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr double kRadToDeg = 57.29577951308232;

// The settings words are unsigned; the command language reads "%d".
std::string D(int64_t v) { return platform::FormatInt(static_cast<int32_t>(v)); }

void Line(CmdList& out, const std::string& text) { Pak_NovAtelLine(out, text, Em_CmdPaker_Q70R::kDelay); }

// Correction type codes of the settings records.
enum CorrectionType : uint32_t {
    kCmr = 3,
    kRtcm2 = 4,
    kCmrPlus = 6,
    kRtcm3 = 7,
};

}  // namespace

void Em_CmdPaker_Q70R::Open(CmdList& out) { Pak_SendBytes(out, kOpenFrame, sizeof kOpenFrame, kDelay); }

void Em_CmdPaker_Q70R::Close(CmdList& out) { Pak_SendBytes(out, kCloseFrame, sizeof kCloseFrame, kDelay); }

void Em_CmdPaker_Q70R::Cmd_Inite(CmdList& out, int) {
    Open(out);
    for (const char* line :
         {"unlogall\r\n", "log bestposb ontime 1\r\n", "log satmsgb ontime 5\r\n", "log psrdopb ontime 5\r\n"})
        Pak_SendText(out, line, kDelay);
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    const char* line;
    switch (frq) {
    case GNSS_FRQ_5HZ: line = "log bestposb ontime 0.2\r\n"; break;
    case GNSS_FRQ_2S: line = "log bestposb ontime 2\r\n"; break;
    case GNSS_FRQ_5S: line = "log bestposb ontime 5\r\n"; break;
    case GNSS_FRQ_10S: line = "log bestposb ontime 10\r\n"; break;
    case GNSS_FRQ_2HZ: line = "log bestposb ontime 0.5\r\n"; break;
    default: line = "log bestposb ontime 1\r\n"; break;
    }
    Pak_SendText(out, line, kDelay);
}

void Em_CmdPaker_Q70R::Cmd_Obs(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Q70R::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Q70R::Cmd_EphemSat(CmdList&, unsigned) {}
void Em_CmdPaker_Q70R::Cmd_Nmea(CmdList&, uint32_t, GNSS_FRQ, int) {}
void Em_CmdPaker_Q70R::Cmd_Nmea_Ex(CmdList&, const std::vector<_set_nmea>&) {}
void Em_CmdPaker_Q70R::Cmd_PassCom(CmdList&, int) {}

void Em_CmdPaker_Q70R::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) {
    Open(out);
    Line(out, std::string(selector == 1 ? "ecutoff " : "gloecutoff ") + D(mask) + "\r\n");
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_SatUse(CmdList& out, unsigned satellite, bool, unsigned release) {
    Pak_NovAtelLockout(out, satellite, release);
}

void Em_CmdPaker_Q70R::Cmd_ElevMask(CmdList& out) {
    Open(out);
    Pak_SendText(out, "log psrdopb\r\n", kDelay);
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_UnlogData(CmdList& out) {
    Open(out);
    Pak_SendText(out, "unlogall\r\n", kDelay);
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_Reset(CmdList& out) {
    Open(out);
    Pak_SendText(out, "freset\r\n", kDelay);
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_StartRover(CmdList& out) {
    Open(out);
    switch (roverConfig.correctionType) {
    case kCmr: Pak_SendText(out, "rtksource cmr\r\n", kDelay); break;
    case kRtcm2: Pak_SendText(out, "rtksource rtcm\r\n", kDelay); break;
    default: Pak_SendText(out, "rtksource rtcmv3\r\n", kDelay); break;
    }
    for (const char* line : {"unlogall\r\n", "set diffmatchmode asynch\r\n", "log rawephemb onchanged\r\n",
                             "log diffmsgb ontime 1\r\n", "log refstationb ontime 5\r\n"})
        Pak_SendText(out, line, kDelay);
    Close(out);
}

void Em_CmdPaker_Q70R::Cmd_StartBase(CmdList& out) {
    const Base_Config& base = baseConfig;
    const int64_t portNumber = int64_t(base.outputPort) + 1;
    const std::string mask = D(base.elevMask);
    Line(out, "ecutoff " + mask + "\r\n");
    Line(out, "rtkelevmask user " + mask + "\r\n");
    Pak_SendText(out, "gloecutoff 5.0\r\n", kDelay);
    Line(out, "fix position " + platform::FormatFixed(base.latitude * kRadToDeg, 8) + " " +
                  platform::FormatFixed(base.longitude * kRadToDeg, 8) + " " + platform::FormatFixed(base.height, 3) +
                  "\r\n");
    Open(out);
    Line(out, "unlogall com" + D(portNumber) + "\r\n");
    CorrectionLogs(out, static_cast<int>(portNumber));
}

// The two correction logs of the base's type, on its port ("com<n>"), on the
// network modem ("gprs") or on both, port first.
void Em_CmdPaker_Q70R::CorrectionLogs(CmdList& out, int portNumber) {
    const char* first;
    const char* second;
    switch (baseConfig.correctionType) {
    case kCmr:
    case kCmrPlus:
        first = "cmrdatarefb ontime 5";
        second = "cmrdataobsb ontime 1";
        break;
    case kRtcm2:
        first = "rtcmdata3b ontime 5";
        second = "rtcmdata1819b ontime 1";
        break;
    case kRtcm3:
        first = "rtcmdata1004b ontime 1";
        second = "rtcmdata1005b ontime 5";
        break;
    default:
        return;  // no correction output of this board
    }
    const auto target = [&](const std::string& to) {
        Line(out, "log " + to + " " + first + "\r\n");
        Line(out, "log " + to + " " + second + "\r\n");
    };
    const std::string port = "com" + D(portNumber);
    switch (baseConfig.outputRoute) {
    case 0: target(port); break;
    case 1: target("gprs"); break;
    case 2:
        target(port);
        target("gprs");
        break;
    default: break;
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
