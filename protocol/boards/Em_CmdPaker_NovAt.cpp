#include "protocol/boards/Em_CmdPaker_NovAt.h"

#include "platform/Numbers.h"

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr double kRadToDeg = 57.29577951308232;

// A number as the board's "%d" prints it: the settings words are unsigned,
// the command language reads them as signed decimals.
std::string D(int64_t v) { return platform::FormatInt(static_cast<int32_t>(v)); }

// Period in seconds of a raw-data log (observations, ephemerides).
double RawPeriod(GNSS_FRQ frq) {
    switch (frq) {
    case GNSS_FRQ_5HZ: return 0.2;
    case GNSS_FRQ_2S: return 2.0;
    case GNSS_FRQ_5S: return 5.0;
    case GNSS_FRQ_10S: return 10.0;
    case GNSS_FRQ_2HZ: return 0.5;
    default: return 1.0;
    }
}

// Period in seconds of an NMEA log.
double NmeaPeriod(uint32_t frq) {
    switch (frq) {
    case GNSS_FRQ_10HZ: return 0.1;
    case GNSS_FRQ_5HZ: return 0.2;
    case GNSS_FRQ_1HZ: return 1.0;
    case GNSS_FRQ_2S: return 2.0;
    case GNSS_FRQ_5S: return 5.0;
    case GNSS_FRQ_10S: return 10.0;
    case GNSS_FRQ_2HZ: return 0.5;
    default: return 1.0;
    }
}

void NmeaLine(CmdList& out, const char* sentence, uint32_t frq) {
    if (frq == GNSS_FRQ_OFF)
        Pak_NovAtelLine(out, std::string("UNLOG ") + sentence + "\r\n", Em_CmdPaker_NovAt::kDelay);
    else
        Pak_NovAtelLine(out, std::string("LOG ") + sentence + " ONTIME " + platform::FormatFixed(NmeaPeriod(frq), 1) + "\r\n",
                        Em_CmdPaker_NovAt::kDelay);
}

struct NmeaName {
    uint32_t bit;
    const char* name;
};

// The order of the mask form.
constexpr NmeaName kMaskOrder[] = {
    {NMEA_BIT_GPGGA, "GPGGA"}, {NMEA_BIT_GPGLL, "GPGLL"}, {NMEA_BIT_GPGRS, "GPGRS"}, {NMEA_BIT_GPGSA, "GPGSA"},
    {NMEA_BIT_GPGST, "GPGST"}, {NMEA_BIT_GPGSV, "GPGSV"}, {NMEA_BIT_GPRMC, "GPRMC"}, {NMEA_BIT_GPVTG, "GPVTG"},
    {NMEA_BIT_GPZDA, "GPZDA"}, {NMEA_BIT_GPALM, "GPALM"}, {NMEA_BIT_GPRMB, "GPRMB"},
};

// The order of the list form: GPRMB comes before GPVTG here.
constexpr NmeaName kListOrder[] = {
    {NMEA_BIT_GPGGA, "GPGGA"}, {NMEA_BIT_GPGLL, "GPGLL"}, {NMEA_BIT_GPGRS, "GPGRS"}, {NMEA_BIT_GPGSA, "GPGSA"},
    {NMEA_BIT_GPGST, "GPGST"}, {NMEA_BIT_GPGSV, "GPGSV"}, {NMEA_BIT_GPRMC, "GPRMC"}, {NMEA_BIT_GPRMB, "GPRMB"},
    {NMEA_BIT_GPVTG, "GPVTG"}, {NMEA_BIT_GPZDA, "GPZDA"}, {NMEA_BIT_GPALM, "GPALM"},
};

// Correction type codes of the settings records.
enum CorrectionType : uint32_t {
    kCmr = 3,
    kRtcm2 = 4,
    kRtca = 5,
    kCmrPlus = 6,
    kRtcm3 = 7,
    kRtcm2Type1 = 11,
    kNovatelX = 12,
    kNovatelX2 = 13,
    kRtcm3Msm = 14,
};

}  // namespace

bool Pak_NovAtelLine(CmdList& out, const std::string& line, uint32_t delay) {
    if (line.empty() || line.size() >= Em_CmdPaker_NovAt::kLineBuffer) return false;
    return Pak_SendBytes(out, reinterpret_cast<const uint8_t*>(line.data()), static_cast<uint32_t>(line.size()), delay);
}

void Em_CmdPaker_NovAt::Cmd_Inite(CmdList& out, int) {
    for (const char* line : {"fix none\r\n", "log bestposb ontime 1\r\n", "nmeatalker auto\r\n",
                             "log rangecmpb ontime 5\r\n", "log psrdopb ontime 5\r\n", "log gpgsv ontime 5\r\n",
                             "log gpgga ontime 1\r\n", "log refstationb onchanged\r\n"})
        Pak_SendText(out, line, kDelay);
}

void Em_CmdPaker_NovAt::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    const char* line;
    switch (frq) {
    case GNSS_FRQ_OFF: line = "unlog bestposb\r\n"; break;
    case GNSS_FRQ_5HZ: line = "log bestposb ontime 0.2\r\n"; break;
    case GNSS_FRQ_2S: line = "log bestposb ontime 2\r\n"; break;
    case GNSS_FRQ_5S: line = "log bestposb ontime 5\r\n"; break;
    case GNSS_FRQ_10S: line = "log bestposb ontime 10\r\n"; break;
    case GNSS_FRQ_2HZ: line = "log bestposb ontime 0.5\r\n"; break;
    default: line = "log bestposb ontime 1\r\n"; break;  // 1 Hz, and the board's rate for 10 Hz
    }
    Pak_SendText(out, line, kDelay);
}

void Em_CmdPaker_NovAt::Cmd_Obs(CmdList& out, GNSS_FRQ frq) {
    if (frq == GNSS_FRQ_OFF)
        Pak_SendText(out, "unlog rangecmpb\r\n", kDelay);
    else
        Pak_NovAtelLine(out, "log rangecmpb ontime " + platform::FormatFixed(RawPeriod(frq), 6) + "\r\n", kDelay);
}

void Em_CmdPaker_NovAt::Cmd_Ephemeris(CmdList& out, GNSS_FRQ frq) {
    if (frq == GNSS_FRQ_OFF)
        Pak_SendText(out, "unlog rawephemb\r\n", kDelay);
    else
        Pak_NovAtelLine(out, "log rawephemb ontime " + platform::FormatFixed(RawPeriod(frq), 6) + "\r\n", kDelay);
}

void Em_CmdPaker_NovAt::Cmd_EphemSat(CmdList&, unsigned) {}

void Em_CmdPaker_NovAt::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned selector) {
    const std::string gps = "ecutoff " + D(mask) + "\r\n";
    const std::string glo = "gloecutoff " + D(mask) + "\r\n";
    switch (selector) {
    case 2:
        Pak_NovAtelLine(out, glo, kDelay);
        break;
    case 3:
    case 4:
        Pak_NovAtelLine(out, gps, kDelay);
        Pak_NovAtelLine(out, glo, kDelay);
        break;
    default:
        Pak_NovAtelLine(out, gps, kDelay);
        break;
    }
    Pak_SendText(out, "log psrdopb ontime 5\r\n", kDelay);
}

void Pak_NovAtelLockout(CmdList& out, unsigned satellite, unsigned release) {
    Pak_NovAtelLine(out, std::string(release ? "unlockout " : "lockout ") + D(satellite) + "\r\n",
                    Em_CmdPaker_NovAt::kDelay);
}

void Em_CmdPaker_NovAt::Cmd_SatUse(CmdList& out, unsigned satellite, bool, unsigned release) {
    Pak_NovAtelLockout(out, satellite, release);
}

void Em_CmdPaker_NovAt::Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int) {
    for (const NmeaName& n : kMaskOrder)
        if (sentenceMask & n.bit) NmeaLine(out, n.name, uint32_t(frq));
}

void Em_CmdPaker_NovAt::Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) {
    for (const _set_nmea& element : list) {
        for (const NmeaName& n : kListOrder) {
            if (element.sentence & n.bit) {
                NmeaLine(out, n.name, element.rate);
                break;  // one line per element
            }
        }
    }
}

void Em_CmdPaker_NovAt::Cmd_ElevMask(CmdList& out) { Pak_SendText(out, "log psrdopb ontime 5\r\n", kDelay); }

void Em_CmdPaker_NovAt::Cmd_UnlogData(CmdList& out) { Pak_SendText(out, "unlogall\r\n", kDelay); }

void Em_CmdPaker_NovAt::Cmd_Reset(CmdList& out) {
    Pak_SendText(out, "nvmrestore\r\n", kDelay);
    Pak_SendText(out, "freset\r\n", kDelay);
}

void Em_CmdPaker_NovAt::Cmd_PassCom(CmdList& out, int port) {
    Pak_NovAtelLine(out, "log passcom" + D(port) + "b onchanged\r\n", kDelay);
}

void Em_CmdPaker_NovAt::Cmd_StartRover(CmdList& out) {
    const Rover_Config& rover = roverConfig;
    const std::string mask = D(rover.elevMask);
    Pak_NovAtelLine(out, "ecutoff " + mask + "\r\n", kDelay);
    Pak_NovAtelLine(out, "rtkelevmask user " + mask + "\r\n", kDelay);
    switch (rover.ionoCondition) {
    case 0: Pak_SendText(out, "ionocondition quiet\r\n", kDelay); break;
    case 1: Pak_SendText(out, "ionocondition normal\r\n", kDelay); break;
    case 2: Pak_SendText(out, "ionocondition disturbed\r\n", kDelay); break;
    default: break;
    }
    Pak_SendText(out, "gloecutoff 5.0\r\n", kDelay);

    const std::string port = D(int64_t(rover.inputPort) + 1);
    const auto interfaceMode = [&](const char* mode) {
        Pak_NovAtelLine(out, "INTERFACEMODE COM" + port + " " + mode + " NOVATEL\r\n", kDelay);
    };
    switch (rover.correctionType) {
    case kCmr:
        Pak_SendText(out, "rtksource cmr any\r\n", kDelay);
        Pak_SendText(out, "psrdiffsource cmr any\r\n", kDelay);
        interfaceMode("CMR");
        break;
    case kRtcm2:
        Pak_SendText(out, "rtksource rtcm any\r\n", kDelay);
        Pak_SendText(out, "psrdiffsource rtcm any\r\n", kDelay);
        interfaceMode("RTCM");
        break;
    case kRtca:
        Pak_SendText(out, "rtksource rtca any\r\n", kDelay);
        Pak_SendText(out, "psrdiffsource rtca any\r\n", kDelay);
        interfaceMode("RTCA");
        break;
    case kRtcm3:
    case kRtcm3Msm:
        Pak_SendText(out, "rtksource rtcmv3 any\r\n", kDelay);
        Pak_SendText(out, "psrdiffsource rtcmv3 any\r\n", kDelay);
        interfaceMode(rtcm3Selector == 1 ? "RTCMV3" : "AUTO");
        break;
    case kNovatelX2:
        // The compact NovAtel corrections always come in on COM2.
        Pak_SendText(out, "interfacemode com2 novatelx none\r\n", kDelay);
        Pak_SendText(out, "log com2 novatelxgpsobsb ontime 1\r\n", kDelay);
        Pak_SendText(out, "log com2 novatelxgloobsb ontime 1\r\n", kDelay);
        Pak_SendText(out, "log com2 novatelxbdsobsb ontime 1\r\n", kDelay);
        Pak_SendText(out, "log com2 novatelxrefb  ontime 10\r\n", kDelay);
        break;
    default:
        Pak_SendText(out, "rtksource auto any\r\n", kDelay);
        Pak_SendText(out, "psrdiffsource auto any\r\n", kDelay);
        interfaceMode("AUTO");
        break;
    }
}

void Em_CmdPaker_NovAt::Cmd_StartBase(CmdList& out) {
    const Base_Config& base = baseConfig;
    const int64_t portNumber = int64_t(base.outputPort) + 1;
    const std::string port = D(portNumber);
    const std::string mask = D(base.elevMask);
    Pak_SendText(out, "log bestposb ontime 1\r\n", kBaseDelay);
    Pak_NovAtelLine(out, "ecutoff " + mask + "\r\n", kBaseDelay);
    Pak_NovAtelLine(out, "rtkelevmask user " + mask + "\r\n", kBaseDelay);
    Pak_SendText(out, "gloecutoff 5.0\r\n", kBaseDelay);
    Pak_NovAtelLine(out,
                    "fix position " + platform::FormatFixed(base.latitude * kRadToDeg, 8) + " " +
                        platform::FormatFixed(base.longitude * kRadToDeg, 8) + " " +
                        platform::FormatFixed(base.height, 3) + "\r\n",
                    kBaseDelay);
    Pak_NovAtelLine(out, "unlogall com" + port + "\r\n", kBaseDelay);
    Pak_NovAtelLine(out, "log com" + port + " bestposb ontime 5\r\n", kBaseDelay);
    if (base.outputPort == 1) {
        // The base's own data for a second receiver on COM2.
        for (const char* line : {"LOG COM2,RAWEPHEMB,ONTIME 60\r\n", "LOG COM2 GLORAWEPHEMB,ONTIME 80\r\n",
                                 "log com2,rangecmpb,ontime 5\r\n", "LOG COM2,TIMEB,ONTIME 1\r\n",
                                 "LOG COM2,GPGGA,ONTIME 1\r\n"})
            Pak_SendText(out, line, kBaseDelay);
    }
    CorrectionLogs(out, static_cast<int>(portNumber));
    Pak_NovAtelLine(out, "com com" + port + " " + D(base.baudRate) + "\r\n", kBaseDelay);
    Pak_SendText(out, "saveconfig\r\n", kBaseDelay);
}

// The correction logs of the base's correction type on its output port.
void Em_CmdPaker_NovAt::CorrectionLogs(CmdList& out, int portNumber) {
    const Base_Config& base = baseConfig;
    const std::string com = "log com" + D(portNumber) + " ";
    const std::string station = D(base.stationId);
    const std::string interval = D(base.obsInterval);
    const std::string intervalPlusOne = D(int64_t(base.obsInterval) + 1);
    const auto line = [&](const std::string& text) { Pak_NovAtelLine(out, text + "\r\n", kBaseDelay); };
    switch (base.correctionType) {
    case kCmr:
    case kCmrPlus:
        line("dgpstxid cmr " + station);
        line(com + "cmrobsb ontime " + interval);
        line(com + (base.correctionType == kCmr ? "cmrrefb ontime 10" : "cmrplusb ontime 10"));
        line(com + "cmrdescb ontime 10 5");
        break;
    case kRtcm2:
        line("dgpstxid rtcm " + station);
        line(com + "rtcm3b ontime 10");
        line(com + "rtcm22b ontime 10 7");
        line(com + "rtcm1 ontime 5");
        line(com + "rtcm1819b ontime " + intervalPlusOne);
        line(com + "rtcm31b ontime 2");
        line(com + "rtcm32b ontime 2");
        break;
    case kRtcm2Type1:
        line("dgpstxid rtcm " + station);
        line(com + "rtcm1 ontime 1");
        break;
    case kRtca:
        // The RTCA station id is the port number.
        line("dgpstxid rtca " + D(portNumber));
        line(com + "rtcaobsb ontime " + interval);
        line(com + "rtcaobs2b ontime " + intervalPlusOne);
        line(com + "rtcarefb ontime 10");
        line(com + "rtca1b ontime 10 3");
        break;
    case kRtcm3:
        line("dgpstxid rtcmv3 " + station);
        line(com + "rtcm1004b ontime " + interval);
        if (rtcm3Selector == 2) {
            line(com + "rtcm1012b ontime 1");
            line(com + "rtcm1006b ontime 10");
            line(com + "rtcm1008b ontime 10");
            line(com + "rtcm1033b ontime 10");
        } else {
            line(com + "rtcm1005b ontime 10");
        }
        break;
    case kNovatelX:
    case kNovatelX2:
        line("log com2 novatelxobsb ontime 1");
        line("log com2 novatelxrefb  ontime 10");
        break;
    case kRtcm3Msm:
        line("interfacemode com" + D(portNumber) + " novatel rtcmv3");
        line("dgpstxid rtcmv3 " + station);
        line(com + "rtcm1074b ontime " + interval);
        line(com + "rtcm1084b ontime 1");
        line(com + "rtcm1124b ontime 1");
        line(com + "rtcm1005b ontime 10");
        line(com + "rtcm1033b ontime 10");
        break;
    default:
        break;  // no correction output
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
