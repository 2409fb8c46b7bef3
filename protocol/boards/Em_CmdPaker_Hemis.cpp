#include "protocol/boards/Em_CmdPaker_Hemis.h"

#include <charconv>
#include <string>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

struct Sentence {
    uint32_t bit;
    const char* name;
};

// The order in which a selection's sentences are switched on.
constexpr Sentence kSentences[] = {
    {NMEA_BIT_GPGGA, "GPGGA"}, {NMEA_BIT_GPGLL, "GPGLL"}, {NMEA_BIT_GPGRS, "GPGRS"}, {NMEA_BIT_GPGSA, "GPGSA"},
    {NMEA_BIT_GPGST, "GPGST"}, {NMEA_BIT_GPGSV, "GPGSV"}, {NMEA_BIT_GPRMC, "GPRMC"}, {NMEA_BIT_GPVTG, "GPVTG"},
    {NMEA_BIT_GPZDA, "GPZDA"}, {NMEA_BIT_GPGNS, "GPGNS"}, {NMEA_BIT_GPRRE, "GPRRE"},
};

std::string Decimal(int v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

void Send(CmdList& out, const std::string& line) {
    Pak_SendText(out, line.c_str(), Em_CmdPaker_Hemis::kDelay);
}

void SendAsc(CmdList& out, const char* sentence, int rate) {
    Send(out, std::string("$JASC,") + sentence + "," + Decimal(rate) + "\r\n");
}

void SendSelection(CmdList& out, uint32_t bits, int rate) {
    for (const Sentence& s : kSentences)
        if (bits & s.bit) SendAsc(out, s.name, rate);
}

}  // namespace

int Em_CmdPaker_Hemis::Rate(uint32_t frq) {
    switch (frq) {
    case GNSS_FRQ_10HZ:
        return 10;
    case GNSS_FRQ_5HZ:
        return 5;
    case GNSS_FRQ_2HZ:
        return 2;
    default:
        return 1;
    }
}

void Em_CmdPaker_Hemis::Cmd_Inite(CmdList& out, int) {
    for (const char* line : {"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JASC,GPGSA,1\r\n", "$JASC,GPRMC,1\r\n",
                             "$JASC,GPGST,1\r\n", "$JBIN,96,1\r\n", "$JBIN,99,1\r\n", "$JSHOW\r\n"})
        Pak_SendText(out, line, kDelay);
}

void Em_CmdPaker_Hemis::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) { SendAsc(out, "GPGGA", Rate(uint32_t(frq))); }

void Em_CmdPaker_Hemis::Cmd_Obs(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Hemis::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Hemis::Cmd_EphemSat(CmdList&, unsigned) {}

void Em_CmdPaker_Hemis::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned) {
    Send(out, "$JMASK," + Decimal(mask) + "\r\n");
}

void Em_CmdPaker_Hemis::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}

void Em_CmdPaker_Hemis::Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int) {
    SendSelection(out, sentenceMask, Rate(uint32_t(frq)));
}

void Em_CmdPaker_Hemis::Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) {
    for (const _set_nmea& element : list) SendSelection(out, element.sentence, Rate(element.rate));
}

void Em_CmdPaker_Hemis::Cmd_ElevMask(CmdList& out) { Pak_SendText(out, "$JSHOW\r\n", kDelay); }

void Em_CmdPaker_Hemis::Cmd_UnlogData(CmdList& out) { Pak_SendText(out, "$JOFF\r\n", kDelay); }

void Em_CmdPaker_Hemis::Cmd_StartBase(CmdList&) {}

void Em_CmdPaker_Hemis::Cmd_StartRover(CmdList& out) {
    const char* source = nullptr;
    switch (roverConfig.diffSource) {
    case 0:
        source = "$JDIFF,RTK\r\n";
        break;
    case 1:
        source = "$JDIFF,WASS\r\n";
        break;
    case 2:
        source = "$JDIFF,BEACON\r\n";
        break;
    default:
        return;
    }
    Pak_SendText(out, "$JDIFF,NONE\r\n", kDelay);
    Pak_SendText(out, source, kDelay);
}

void Em_CmdPaker_Hemis::Cmd_Reset(CmdList& out) { Pak_SendText(out, "$JRESET\r\n", kDelay); }

}  // namespace FJParse
}  // namespace Fjarnis2011
