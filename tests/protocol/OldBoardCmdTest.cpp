// GNSS board work on the maker's old-protocol receivers: every command slot
// on every board type, byte for byte. The receiver relays the commands of an
// OEM board (Trimble BD 1, NovAtel 2, Hemisphere 4) in "RZ" frames of at most
// 55 bytes, hands the maker's own board (3) its records as they are, and
// sends a board it has no commands for none. Every table runs over the
// library's own boards; types 1 and 4 also over a fake builder that tags
// every record with the call and its arguments, so that what is relayed,
// what is passed straight on and what is dropped can be told apart.
#include "NovAtelFixtures.h"
#include "OldCmdFixtures.h"
#include "OldFrameFixtures.h"
#include "protocol/Em_Gnss.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Fjarnis2011::FJParse;
using namespace oldcmd_test;

namespace {

// Appends one record per call: a text naming the call and its arguments, with
// the delay 7 (a delay no builder of the library uses, so that a record's own
// delay can be told from the relay's). The base start adds a record of 57
// bytes, longer than one "RZ" frame carries.
class TagBuilder : public Em_ICmdPaker {
public:
    static constexpr uint32_t kDelay = 7;
    void Cmd_Inite(CmdList& out, int extra) override { Tag(out, "init " + N(extra)); }
    void Cmd_PosFrq(CmdList& out, GNSS_FRQ f) override { Tag(out, "pos " + N(f)); }
    void Cmd_Obs(CmdList& out, GNSS_FRQ f) override { Tag(out, "obs " + N(f)); }
    void Cmd_Ephemeris(CmdList& out, GNSS_FRQ f) override { Tag(out, "eph " + N(f)); }
    void Cmd_EphemSat(CmdList& out, unsigned s) override { Tag(out, "ephsat " + N(s)); }
    void Cmd_ElevMask_Set(CmdList& out, int m, unsigned s) override { Tag(out, "mask " + N(m) + " " + N(s)); }
    void Cmd_SatUse(CmdList& out, unsigned s, bool u, unsigned r) override {
        Tag(out, "use " + N(s) + " " + N(u) + " " + N(r));
    }
    void Cmd_Nmea(CmdList& out, uint32_t m, GNSS_FRQ f, int e) override {
        Tag(out, "nmea " + N(m) + " " + N(f) + " " + N(e));
    }
    void Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) override {
        Tag(out, "nmea list " + N(list.size()));
    }
    void Cmd_ElevMask(CmdList& out) override { Tag(out, "mask?"); }
    void Cmd_UnlogData(CmdList& out) override { Tag(out, "unlog"); }
    void Cmd_StartBase(CmdList& out) override {
        Tag(out, "base");
        Tag(out, "base-" + std::string("0123456789") + "0123456789" + "0123456789" + "0123456789" + "0123456789" +
                     "\r\n");
    }
    void Cmd_StartRover(CmdList& out) override { Tag(out, "rover"); }
    void Cmd_Reset(CmdList& out) override { Tag(out, "reset"); }

private:
    template <class T>
    static std::string N(T v) {
        return std::to_string(v);
    }
    static void Tag(CmdList& out, const std::string& text) { Pak_SendText(out, text.c_str(), kDelay); }
};

class TagBoard : public EmIMainBoard {
public:
    explicit TagBoard(MAINBD_OEM_TYPE t) : EmIMainBoard(t) {
        SetParts(std::make_unique<Em_RepParser_Common>(), std::make_unique<TagBuilder>());
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }
};

// The maker's old-protocol receiver whose board is a tag board of type t
// (whatever type the format asks its factory for).
std::unique_ptr<Em_Gnss> TagReceiver(MAINBD_OEM_TYPE t, Com_Status link = COM_STATUS_SERIAL) {
    const auto boards = [t](MAINBD_OEM_TYPE) -> std::unique_ptr<EmIMainBoard> { return std::make_unique<TagBoard>(t); };
    Em_Gnss::FormatFactory formats = [boards](GNSS_MANUFACTURER, bool, RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
        return std::make_unique<Em_Format_OrvelNav>(ring, boards);
    };
    auto gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_ORVEL, t, formats);
    gnss->Set_Com_Status(link);
    return gnss;
}

struct Expected {
    std::string hex;
    uint32_t delay;
};

void ExpectRecords(const std::vector<_STR_CMD>& out, const std::vector<Expected>& expected) {
    ASSERT_EQ(out.size(), expected.size());
    for (size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Data(out[i]), Hex(expected[i].hex));
        EXPECT_EQ(out[i].delay, expected[i].delay);
        for (size_t b = out[i].length; b < sizeof out[i].data; ++b) ASSERT_EQ(out[i].data[b], 0) << b;
    }
}

using Export = std::function<void(Em_Gnss&, std::vector<_STR_CMD>&)>;

// The NMEA selection of the tables: GPGGA 1 Hz, GPGSV every 2 s, GPRMC 5 Hz,
// GPGRS 10 Hz, then one sentence of each OEM board (GPALM of NovAtel, the two
// PTNL sentences of Trimble BD, GPGNS of Hemisphere) with rates 2 s, 10 s,
// 20 Hz and 2 Hz.
const std::vector<_set_nmea> kNmeaList = {{0x1, 3},    {0x40, 4},   {0x100, 2},   {0x2000, 1},
                                          {0x800, 5},  {0x4000, 6}, {0x8000, 13}, {0x10000, 11}};

// Every slot of the tables, in their order, with the arguments the tables
// were written for.
const std::vector<std::pair<std::string, Export>> kSlots = {
    {"Get_Gnss_Inite", [](Em_Gnss& g, auto& v) { g.Get_Gnss_Inite(v); }},
    {"Get_Gnss_StartBase", [](Em_Gnss& g, auto& v) { g.Get_Gnss_StartBase(v); }},
    {"Get_Gnss_StartRover", [](Em_Gnss& g, auto& v) { g.Get_Gnss_StartRover(v); }},
    {"Get_Gnss_Reset", [](Em_Gnss& g, auto& v) { g.Get_Gnss_Reset(v); }},
    {"Set_Gnss_ElevDgre", [](Em_Gnss& g, auto& v) { g.Set_Gnss_ElevDgre(15, v); }},
    {"Set_Gnss_PosFrq", [](Em_Gnss& g, auto& v) { g.Set_Gnss_PosFrq(v, GNSS_FRQ_5HZ); }},
    {"Send_Gnss_Obs", [](Em_Gnss& g, auto& v) { g.Send_Gnss_Obs(v, GNSS_FRQ_1HZ); }},
    {"Send_Gnss_Ephemeris", [](Em_Gnss& g, auto& v) { g.Send_Gnss_Ephemeris(v, GNSS_FRQ_10S); }},
    {"Send_Gnss_EphemSat", [](Em_Gnss& g, auto& v) { g.Send_Gnss_EphemSat(v, 7); }},
    {"Set_Gnss_Nmea", [](Em_Gnss& g, auto& v) { g.Set_Gnss_Nmea(v, 0x101, GNSS_FRQ_1HZ, 9); }},
    {"Set_Gnss_SatUse", [](Em_Gnss& g, auto& v) { g.Set_Gnss_SatUse(v, 12, false, 0); }},
    {"Get_Gnss_ElevMask", [](Em_Gnss& g, auto& v) { g.Get_Gnss_ElevMask(v); }},
    {"Send_Gnss_UnlogData", [](Em_Gnss& g, auto& v) { g.Send_Gnss_UnlogData(v); }},
    {"Get_Cmd_Position_Frq", [](Em_Gnss& g, auto& v) { g.Get_Cmd_Position_Frq(v, GNSS_FRQ_5HZ); }},
    {"Set_Orvel_NMEA", [](Em_Gnss& g, auto& v) { g.Set_Orvel_NMEA(v, kNmeaList, 1); }},
    {"Set_Orvel_NMEA with rates", [](Em_Gnss& g, auto& v) { g.Set_Orvel_NMEA(v, kNmeaList, 1, true); }},
};

using SlotTable = std::vector<std::pair<std::string, std::vector<Expected>>>;

// Each row: the records of one slot, in sending order. Types 1 and 4 relay
// the board's records in "RZ" frames (a record of 56 bytes or more in pieces
// of 55, each with delay 100; a shorter one whole, with its own delay); the
// ephemeris and satellite-use slots are not the receiver's and reach every
// board unwrapped. Each receiver command is given with its text.

// The rows that the two relaying boards (types 1 and 4) share: every slot but
// the NMEA selection with rates, whose mask tells the boards apart.
const SlotTable kRelayedTagRows = {
    {"Get_Gnss_Inite",
     {
         // $$ | R Z | head 18 | length 06 | "init 0" | XOR 1C | CR LF
         {"24 24 52 5A 18 06 69 6E 69 74 20 30 1C 0D 0A", 7},
     }},
    {"Get_Gnss_StartBase",
     {
         // $$ | R G | head 18 | length 01 | 00 | XOR 0C | CR LF  (RG,B0)
         {"24 24 52 47 18 01 00 0C 0D 0A", 100},
         // $$ | S J | head 18 | length 02 | 60 03 | XOR 60 | CR LF  (SJ,B96,B3)
         {"24 24 53 4A 18 02 60 03 60 0D 0A", 100},
         // $$ | R Z | head 18 | length 04 | "base" | XOR 01 | CR LF
         {"24 24 52 5A 18 04 62 61 73 65 01 0D 0A", 7},
         // $$ | R Z | head 18 | length 37 | "base-01234567890123456789012345678901234567890123456789" | XOR 1E | CR LF
         {"24 24 52 5A 18 37 62 61 73 65 2D 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 1E 0D 0A", 100},
         // $$ | R Z | head 18 | length 02 | CR LF | XOR 15 | CR LF
         {"24 24 52 5A 18 02 0D 0A 15 0D 0A", 100},
     }},
    {"Get_Gnss_StartRover",
     {
         // $$ | R Z | head 18 | length 05 | "rover" | XOR 69 | CR LF
         {"24 24 52 5A 18 05 72 6F 76 65 72 69 0D 0A", 7},
         // $$ | S J | head 18 | length 02 | setting 38, value 05 | XOR 3E | CR LF
         {"24 24 53 4A 18 02 38 05 3E 0D 0A", 200},
         // $$ | R Z | head 18 | length 08 | "mask 5 4" | XOR 0D | CR LF
         {"24 24 52 5A 18 08 6D 61 73 6B 20 35 20 34 0D 0D 0A", 7},
         // $$ | S W | head 18 | length 02 | 01 05 | XOR 1A | CR LF  (SW,B1,B5)
         {"24 24 53 57 18 02 01 05 1A 0D 0A", 200},
     }},
    {"Get_Gnss_Reset",
     {
         // $$ | R Z | head 18 | length 05 | "reset" | XOR 60 | CR LF
         {"24 24 52 5A 18 05 72 65 73 65 74 60 0D 0A", 7},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | setting 38, value 0F | XOR 34 | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | R Z | head 18 | length 09 | "mask 15 4" | XOR 3D | CR LF
         {"24 24 52 5A 18 09 6D 61 73 6B 20 31 35 20 34 3D 0D 0A", 7},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR 10 | CR LF  (SW,B1,B15)
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {
         // $$ | R Z | head 18 | length 05 | "pos 2" | XOR 6B | CR LF
         {"24 24 52 5A 18 05 70 6F 73 20 32 6B 0D 0A", 7},
     }},
    {"Send_Gnss_Obs",
     {
         // $$ | R Z | head 18 | length 05 | "obs 3" | XOR 78 | CR LF
         {"24 24 52 5A 18 05 6F 62 73 20 33 78 0D 0A", 7},
     }},
    {"Send_Gnss_Ephemeris",
     {
         // the board's own record as it built it: "eph 6"
         {"65 70 68 20 36", 7},
     }},
    {"Send_Gnss_EphemSat",
     {
         // the board's own record as it built it: "ephsat 7"
         {"65 70 68 73 61 74 20 37", 7},
     }},
    {"Set_Gnss_Nmea",
     {
         // $$ | R Z | head 18 | length 0C | "nmea 257 3 0" | XOR 08 | CR LF
         {"24 24 52 5A 18 0C 6E 6D 65 61 20 32 35 37 20 33 20 30 08 0D 0A", 7},
     }},
    {"Set_Gnss_SatUse",
     {
         // the board's own record as it built it: "use 12 0 0"
         {"75 73 65 20 31 32 20 30 20 30", 7},
     }},
    {"Get_Gnss_ElevMask",
     {
         // $$ | R Z | head 18 | length 05 | "mask?" | XOR 3E | CR LF
         {"24 24 52 5A 18 05 6D 61 73 6B 3F 3E 0D 0A", 7},
     }},
    {"Send_Gnss_UnlogData",
     {
         // $$ | R Z | head 18 | length 05 | "unlog" | XOR 6A | CR LF
         {"24 24 52 5A 18 05 75 6E 6C 6F 67 6A 0D 0A", 7},
     }},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR 1B | CR LF  (SW,B0,B5)
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R Z | head 18 | length 0B | "nmea list 8" | XOR 26 | CR LF
         {"24 24 52 5A 18 0B 6E 6D 65 61 20 6C 69 73 74 20 38 26 0D 0A", 7},
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR 00 | CR LF  (RF,M7443,B1)
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
};

// The tag table of a relaying board: the shared rows, then its own row of
// the NMEA selection with rates.
SlotTable RelayedTagTable(const std::vector<Expected>& nmeaWithRates) {
    SlotTable table = kRelayedTagRows;
    table.push_back({"Set_Orvel_NMEA with rates", nmeaWithRates});
    return table;
}

const SlotTable kTrimbleTable = RelayedTagTable({
    // $$ | R Z | head 18 | length 0B | "nmea list 8" | XOR 26 | CR LF
    {"24 24 52 5A 18 0B 6E 6D 65 61 20 6C 69 73 74 20 38 26 0D 0A", 7},
    // $$ | R F | head 18 | length 03 | 1C 13 01 | XOR 01 | CR LF  (RF,M7187,B1)
    {"24 24 52 46 18 03 1C 13 01 01 0D 0A", 100},
    // $$ | R D | head 18 | length 0F | 01 1C 13 01 03 04 00 00 02 00 00 00 01 0D 06 | XOR 01 | CR LF  (RD,B1,M7187,B1,L1027,L2,B1,M3334)
    {"24 24 52 44 18 0F 01 1C 13 01 03 04 00 00 02 00 00 00 01 0D 06 01 0D 0A", 100},
});

const SlotTable kNovAtelTable = {
    {"Get_Gnss_Inite",
     {
         // $$ | R Z | head 18 | length 0A | "fix none" CR LF | XOR 40 | CR LF
         {"24 24 52 5A 18 0A 66 69 78 20 6E 6F 6E 65 0D 0A 40 0D 0A", 50},
         // $$ | R Z | head 18 | length 17 | "log bestposb ontime 1" CR LF | XOR 6F | CR LF
         {"24 24 52 5A 18 17 6C 6F 67 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 31 0D 0A 6F 0D 0A", 50},
         // $$ | R Z | head 18 | length 11 | "nmeatalker auto" CR LF | XOR 2B | CR LF
         {"24 24 52 5A 18 11 6E 6D 65 61 74 61 6C 6B 65 72 20 61 75 74 6F 0D 0A 2B 0D 0A", 50},
         // $$ | R Z | head 18 | length 18 | "log rangecmpb ontime 5" CR LF | XOR 09 | CR LF
         {"24 24 52 5A 18 18 6C 6F 67 20 72 61 6E 67 65 63 6D 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 09 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "log psrdopb ontime 5" CR LF | XOR 0C | CR LF
         {"24 24 52 5A 18 16 6C 6F 67 20 70 73 72 64 6F 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 0C 0D 0A", 50},
         // $$ | R Z | head 18 | length 14 | "log gpgsv ontime 5" CR LF | XOR 13 | CR LF
         {"24 24 52 5A 18 14 6C 6F 67 20 67 70 67 73 76 20 6F 6E 74 69 6D 65 20 35 0D 0A 13 0D 0A", 50},
         // $$ | R Z | head 18 | length 14 | "log gpgga ontime 1" CR LF | XOR 14 | CR LF
         {"24 24 52 5A 18 14 6C 6F 67 20 67 70 67 67 61 20 6F 6E 74 69 6D 65 20 31 0D 0A 14 0D 0A", 50},
         // $$ | R Z | head 18 | length 1B | "log refstationb onchanged" CR LF | XOR 62 | CR LF
         {"24 24 52 5A 18 1B 6C 6F 67 20 72 65 66 73 74 61 74 69 6F 6E 62 20 6F 6E 63 68 61 6E 67 65 64 0D 0A 62 0D 0A", 50},
     }},
    {"Get_Gnss_StartBase",
     {
         // $$ | R K | head 18 | length 01 | 00 | XOR 00 | CR LF  (RK,B0)
         {"24 24 52 4B 18 01 00 00 0D 0A", 3000},
         // $$ | R Z | head 18 | length 17 | "log bestposb ontime 1" CR LF | XOR 6F | CR LF
         {"24 24 52 5A 18 17 6C 6F 67 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 31 0D 0A 6F 0D 0A", 200},
         // $$ | R Z | head 18 | length 0C | "ecutoff 10" CR LF | XOR 52 | CR LF
         {"24 24 52 5A 18 0C 65 63 75 74 6F 66 66 20 31 30 0D 0A 52 0D 0A", 200},
         // $$ | R Z | head 18 | length 15 | "rtkelevmask user 10" CR LF | XOR 71 | CR LF
         {"24 24 52 5A 18 15 72 74 6B 65 6C 65 76 6D 61 73 6B 20 75 73 65 72 20 31 30 0D 0A 71 0D 0A", 200},
         // $$ | R Z | head 18 | length 10 | "gloecutoff 5.0" CR LF | XOR 00 | CR LF
         {"24 24 52 5A 18 10 67 6C 6F 65 63 75 74 6F 66 66 20 35 2E 30 0D 0A 00 0D 0A", 200},
         // $$ | R Z | head 18 | length 2E | "fix position 31.17485043 121.39823174 37.512" CR LF | XOR 72 | CR LF
         {"24 24 52 5A 18 2E 66 69 78 20 70 6F 73 69 74 69 6F 6E 20 33 31 2E 31 37 34 38 35 30 34 33 20 31 32 31 2E 33 39 38 32 33 31 37 34 20 33 37 2E 35 31 32 0D 0A 72 0D 0A", 200},
         // $$ | R Z | head 18 | length 0F | "unlogall com2" CR LF | XOR 75 | CR LF
         {"24 24 52 5A 18 0F 75 6E 6C 6F 67 61 6C 6C 20 63 6F 6D 32 0D 0A 75 0D 0A", 200},
         // $$ | R Z | head 18 | length 1C | "log com2 bestposb ontime 5" CR LF | XOR 13 | CR LF
         {"24 24 52 5A 18 1C 6C 6F 67 20 63 6F 6D 32 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 13 0D 0A", 200},
         // $$ | R Z | head 18 | length 1E | "LOG COM2,RAWEPHEMB,ONTIME 60" CR LF | XOR 7F | CR LF
         {"24 24 52 5A 18 1E 4C 4F 47 20 43 4F 4D 32 2C 52 41 57 45 50 48 45 4D 42 2C 4F 4E 54 49 4D 45 20 36 30 0D 0A 7F 0D 0A", 200},
         // $$ | R Z | head 18 | length 21 | "LOG COM2 GLORAWEPHEMB,ONTIME 80" CR LF | XOR 06 | CR LF
         {"24 24 52 5A 18 21 4C 4F 47 20 43 4F 4D 32 20 47 4C 4F 52 41 57 45 50 48 45 4D 42 2C 4F 4E 54 49 4D 45 20 38 30 0D 0A 06 0D 0A", 200},
         // $$ | R Z | head 18 | length 1D | "log com2,rangecmpb,ontime 5" CR LF | XOR 7F | CR LF
         {"24 24 52 5A 18 1D 6C 6F 67 20 63 6F 6D 32 2C 72 61 6E 67 65 63 6D 70 62 2C 6F 6E 74 69 6D 65 20 35 0D 0A 7F 0D 0A", 200},
         // $$ | R Z | head 18 | length 19 | "LOG COM2,TIMEB,ONTIME 1" CR LF | XOR 4B | CR LF
         {"24 24 52 5A 18 19 4C 4F 47 20 43 4F 4D 32 2C 54 49 4D 45 42 2C 4F 4E 54 49 4D 45 20 31 0D 0A 4B 0D 0A", 200},
         // $$ | R Z | head 18 | length 19 | "LOG COM2,GPGGA,ONTIME 1" CR LF | XOR 4A | CR LF
         {"24 24 52 5A 18 19 4C 4F 47 20 43 4F 4D 32 2C 47 50 47 47 41 2C 4F 4E 54 49 4D 45 20 31 0D 0A 4A 0D 0A", 200},
         // $$ | R Z | head 18 | length 10 | "dgpstxid cmr 1" CR LF | XOR 4B | CR LF
         {"24 24 52 5A 18 10 64 67 70 73 74 78 69 64 20 63 6D 72 20 31 0D 0A 4B 0D 0A", 200},
         // $$ | R Z | head 18 | length 1B | "log com2 cmrobsb ontime 1" CR LF | XOR 7E | CR LF
         {"24 24 52 5A 18 1B 6C 6F 67 20 63 6F 6D 32 20 63 6D 72 6F 62 73 62 20 6F 6E 74 69 6D 65 20 31 0D 0A 7E 0D 0A", 200},
         // $$ | R Z | head 18 | length 1C | "log com2 cmrrefb ontime 10" CR LF | XOR 46 | CR LF
         {"24 24 52 5A 18 1C 6C 6F 67 20 63 6F 6D 32 20 63 6D 72 72 65 66 62 20 6F 6E 74 69 6D 65 20 31 30 0D 0A 46 0D 0A", 200},
         // $$ | R Z | head 18 | length 1F | "log com2 cmrdescb ontime 10 5" CR LF | XOR 30 | CR LF
         {"24 24 52 5A 18 1F 6C 6F 67 20 63 6F 6D 32 20 63 6D 72 64 65 73 63 62 20 6F 6E 74 69 6D 65 20 31 30 20 35 0D 0A 30 0D 0A", 200},
         // $$ | R Z | head 18 | length 10 | "com com2 38400" CR LF | XOR 0A | CR LF
         {"24 24 52 5A 18 10 63 6F 6D 20 63 6F 6D 32 20 33 38 34 30 30 0D 0A 0A 0D 0A", 200},
         // $$ | R Z | head 18 | length 0C | "saveconfig" CR LF | XOR 10 | CR LF
         {"24 24 52 5A 18 0C 73 61 76 65 63 6F 6E 66 69 67 0D 0A 10 0D 0A", 200},
         // $$ | S J | head 18 | length 02 | 60 03 | XOR 60 | CR LF  (SJ,B96,B3)
         {"24 24 53 4A 18 02 60 03 60 0D 0A", 3000},
         // $$ | S T | head 18 | length 01 | 01 | XOR 1F | CR LF  (ST,B1)
         {"24 24 53 54 18 01 01 1F 0D 0A", 3000},
     }},
    {"Get_Gnss_StartRover",
     {
         // $$ | S J | head 18 | length 02 | setting 38, value 05 | XOR 3E | CR LF
         {"24 24 53 4A 18 02 38 05 3E 0D 0A", 200},
         // $$ | R Z | head 18 | length 0B | "ecutoff 5" CR LF | XOR 61 | CR LF
         {"24 24 52 5A 18 0B 65 63 75 74 6F 66 66 20 35 0D 0A 61 0D 0A", 50},
         // $$ | R Z | head 18 | length 0E | "gloecutoff 5" CR LF | XOR 00 | CR LF
         {"24 24 52 5A 18 0E 67 6C 6F 65 63 75 74 6F 66 66 20 35 0D 0A 00 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "log psrdopb ontime 5" CR LF | XOR 0C | CR LF
         {"24 24 52 5A 18 16 6C 6F 67 20 70 73 72 64 6F 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 0C 0D 0A", 50},
         // $$ | S W | head 18 | length 02 | 01 05 | XOR 1A | CR LF  (SW,B1,B5)
         {"24 24 53 57 18 02 01 05 1A 0D 0A", 200},
         // $$ | R M | head 18 | length 01 | 25 | XOR 23 | CR LF  (RM,B37)
         {"24 24 52 4D 18 01 25 23 0D 0A", 2000},
     }},
    {"Get_Gnss_Reset",
     {
         // $$ | R Z | head 18 | length 0C | "nvmrestore" CR LF | XOR 06 | CR LF
         {"24 24 52 5A 18 0C 6E 76 6D 72 65 73 74 6F 72 65 0D 0A 06 0D 0A", 50},
         // $$ | R Z | head 18 | length 08 | "freset" CR LF | XOR 0C | CR LF
         {"24 24 52 5A 18 08 66 72 65 73 65 74 0D 0A 0C 0D 0A", 50},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | setting 38, value 0F | XOR 34 | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | R Z | head 18 | length 0C | "ecutoff 15" CR LF | XOR 57 | CR LF
         {"24 24 52 5A 18 0C 65 63 75 74 6F 66 66 20 31 35 0D 0A 57 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "gloecutoff 15" CR LF | XOR 30 | CR LF
         {"24 24 52 5A 18 0F 67 6C 6F 65 63 75 74 6F 66 66 20 31 35 0D 0A 30 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "log psrdopb ontime 5" CR LF | XOR 0C | CR LF
         {"24 24 52 5A 18 16 6C 6F 67 20 70 73 72 64 6F 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 0C 0D 0A", 50},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR 10 | CR LF  (SW,B1,B15)
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {
         // $$ | R Z | head 18 | length 19 | "log bestposb ontime 0.2" CR LF | XOR 7C | CR LF
         {"24 24 52 5A 18 19 6C 6F 67 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 30 2E 32 0D 0A 7C 0D 0A", 50},
     }},
    {"Send_Gnss_Obs",
     {
         // $$ | R Z | head 18 | length 1F | "log rangecmpb ontime 1.000000" CR LF | XOR 24 | CR LF
         {"24 24 52 5A 18 1F 6C 6F 67 20 72 61 6E 67 65 63 6D 70 62 20 6F 6E 74 69 6D 65 20 31 2E 30 30 30 30 30 30 0D 0A 24 0D 0A", 50},
     }},
    {"Send_Gnss_Ephemeris",
     {
         // the board's own record as it built it: "log rawephemb ontime 10.000000" CR LF
         {"6C 6F 67 20 72 61 77 65 70 68 65 6D 62 20 6F 6E 74 69 6D 65 20 31 30 2E 30 30 30 30 30 30 0D 0A", 50},
     }},
    {"Send_Gnss_EphemSat",
     {}},
    {"Set_Gnss_Nmea",
     {
         // $$ | R Z | head 18 | length 16 | "LOG GPGGA ONTIME 1.0" CR LF | XOR 08 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 47 41 20 4F 4E 54 49 4D 45 20 31 2E 30 0D 0A 08 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPRMC ONTIME 1.0" CR LF | XOR 15 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 52 4D 43 20 4F 4E 54 49 4D 45 20 31 2E 30 0D 0A 15 0D 0A", 50},
     }},
    {"Set_Gnss_SatUse",
     {
         // the board's own record as it built it: "lockout 12" CR LF
         {"6C 6F 63 6B 6F 75 74 20 31 32 0D 0A", 50},
     }},
    {"Get_Gnss_ElevMask",
     {
         // $$ | R Z | head 18 | length 16 | "log psrdopb ontime 5" CR LF | XOR 0C | CR LF
         {"24 24 52 5A 18 16 6C 6F 67 20 70 73 72 64 6F 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A 0C 0D 0A", 50},
     }},
    {"Send_Gnss_UnlogData",
     {
         // $$ | R Z | head 18 | length 0A | "unlogall" CR LF | XOR 03 | CR LF
         {"24 24 52 5A 18 0A 75 6E 6C 6F 67 61 6C 6C 0D 0A 03 0D 0A", 50},
     }},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR 1B | CR LF  (SW,B0,B5)
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R Z | head 18 | length 16 | "LOG GPGGA ONTIME 1.0" CR LF | XOR 08 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 47 41 20 4F 4E 54 49 4D 45 20 31 2E 30 0D 0A 08 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPGSV ONTIME 2.0" CR LF | XOR 08 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 53 56 20 4F 4E 54 49 4D 45 20 32 2E 30 0D 0A 08 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPRMC ONTIME 0.2" CR LF | XOR 16 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 52 4D 43 20 4F 4E 54 49 4D 45 20 30 2E 32 0D 0A 16 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPGRS ONTIME 0.1" CR LF | XOR 0F | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 52 53 20 4F 4E 54 49 4D 45 20 30 2E 31 0D 0A 0F 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPALM ONTIME 5.0" CR LF | XOR 0D | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 41 4C 4D 20 4F 4E 54 49 4D 45 20 35 2E 30 0D 0A 0D 0D 0A", 50},
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR 00 | CR LF  (RF,M7443,B1)
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
    {"Set_Orvel_NMEA with rates",
     {
         // $$ | R Z | head 18 | length 16 | "LOG GPGGA ONTIME 1.0" CR LF | XOR 08 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 47 41 20 4F 4E 54 49 4D 45 20 31 2E 30 0D 0A 08 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPGSV ONTIME 2.0" CR LF | XOR 08 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 53 56 20 4F 4E 54 49 4D 45 20 32 2E 30 0D 0A 08 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPRMC ONTIME 0.2" CR LF | XOR 16 | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 52 4D 43 20 4F 4E 54 49 4D 45 20 30 2E 32 0D 0A 16 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPGRS ONTIME 0.1" CR LF | XOR 0F | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 47 52 53 20 4F 4E 54 49 4D 45 20 30 2E 31 0D 0A 0F 0D 0A", 50},
         // $$ | R Z | head 18 | length 16 | "LOG GPALM ONTIME 5.0" CR LF | XOR 0D | CR LF
         {"24 24 52 5A 18 16 4C 4F 47 20 47 50 41 4C 4D 20 4F 4E 54 49 4D 45 20 35 2E 30 0D 0A 0D 0D 0A", 50},
         // $$ | R F | head 18 | length 03 | 05 13 01 | XOR 18 | CR LF  (RF,M1299,B1)
         {"24 24 52 46 18 03 05 13 01 18 0D 0A", 100},
         // $$ | R D | head 18 | length 0F | 01 05 13 01 03 04 00 00 02 00 00 00 01 00 05 | XOR 16 | CR LF  (RD,B1,M1299,B1,L1027,L2,B1,M5)
         {"24 24 52 44 18 0F 01 05 13 01 03 04 00 00 02 00 00 00 01 00 05 16 0D 0A", 100},
     }},
};

const SlotTable kOwnBoardTable = {
    {"Get_Gnss_Inite",
     {
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "unlogall CR LF"
         {"75 6E 6C 6F 67 61 6C 6C 0D 0A", 50},
         // the board's own line: "log bestposb ontime 1 CR LF"
         {"6C 6F 67 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 31 0D 0A", 50},
         // the board's own line: "log satmsgb ontime 5 CR LF"
         {"6C 6F 67 20 73 61 74 6D 73 67 62 20 6F 6E 74 69 6D 65 20 35 0D 0A", 50},
         // the board's own line: "log psrdopb ontime 5 CR LF"
         {"6C 6F 67 20 70 73 72 64 6F 70 62 20 6F 6E 74 69 6D 65 20 35 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
     }},
    {"Get_Gnss_StartBase",
     {
         // the board's own line: "ecutoff 10 CR LF"
         {"65 63 75 74 6F 66 66 20 31 30 0D 0A", 50},
         // the board's own line: "rtkelevmask user 10 CR LF"
         {"72 74 6B 65 6C 65 76 6D 61 73 6B 20 75 73 65 72 20 31 30 0D 0A", 50},
         // the board's own line: "gloecutoff 5.0 CR LF"
         {"67 6C 6F 65 63 75 74 6F 66 66 20 35 2E 30 0D 0A", 50},
         // the board's own line: "fix position 31.17485043 121.39823174 37.512 CR LF"
         {"66 69 78 20 70 6F 73 69 74 69 6F 6E 20 33 31 2E 31 37 34 38 35 30 34 33 20 31 32 31 2E 33 39 38 32 33 31 37 34 20 33 37 2E 35 31 32 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "unlogall com2 CR LF"
         {"75 6E 6C 6F 67 61 6C 6C 20 63 6F 6D 32 0D 0A", 50},
         // the board's own line: "log com2 cmrdatarefb ontime 5 CR LF"
         {"6C 6F 67 20 63 6F 6D 32 20 63 6D 72 64 61 74 61 72 65 66 62 20 6F 6E 74 69 6D 65 20 35 0D 0A", 50},
         // the board's own line: "log com2 cmrdataobsb ontime 1 CR LF"
         {"6C 6F 67 20 63 6F 6D 32 20 63 6D 72 64 61 74 61 6F 62 73 62 20 6F 6E 74 69 6D 65 20 31 0D 0A", 50},
     }},
    {"Get_Gnss_StartRover",
     {
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "rtksource cmr CR LF"
         {"72 74 6B 73 6F 75 72 63 65 20 63 6D 72 0D 0A", 50},
         // the board's own line: "unlogall CR LF"
         {"75 6E 6C 6F 67 61 6C 6C 0D 0A", 50},
         // the board's own line: "set diffmatchmode asynch CR LF"
         {"73 65 74 20 64 69 66 66 6D 61 74 63 68 6D 6F 64 65 20 61 73 79 6E 63 68 0D 0A", 50},
         // the board's own line: "log rawephemb onchanged CR LF"
         {"6C 6F 67 20 72 61 77 65 70 68 65 6D 62 20 6F 6E 63 68 61 6E 67 65 64 0D 0A", 50},
         // the board's own line: "log diffmsgb ontime 1 CR LF"
         {"6C 6F 67 20 64 69 66 66 6D 73 67 62 20 6F 6E 74 69 6D 65 20 31 0D 0A", 50},
         // the board's own line: "log refstationb ontime 5 CR LF"
         {"6C 6F 67 20 72 65 66 73 74 61 74 69 6F 6E 62 20 6F 6E 74 69 6D 65 20 35 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
     }},
    {"Get_Gnss_Reset",
     {
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "freset CR LF"
         {"66 72 65 73 65 74 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
         // $$ | R K | head 18 | length 01 | FF | XOR FF | CR LF  (RK,B255)
         {"24 24 52 4B 18 01 FF FF 0D 0A", 3000},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | setting 38, value 0F | XOR 34 | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "ecutoff 15 CR LF"
         {"65 63 75 74 6F 66 66 20 31 35 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR 10 | CR LF  (SW,B1,B15)
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {
         // the board's own line: "log bestposb ontime 0.2 CR LF"
         {"6C 6F 67 20 62 65 73 74 70 6F 73 62 20 6F 6E 74 69 6D 65 20 30 2E 32 0D 0A", 50},
     }},
    {"Send_Gnss_Obs",
     {
     }},
    {"Send_Gnss_Ephemeris",
     {
     }},
    {"Send_Gnss_EphemSat",
     {
     }},
    {"Set_Gnss_Nmea",
     {
     }},
    {"Set_Gnss_SatUse",
     {
         // the board's own line: "lockout 12 CR LF"
         {"6C 6F 63 6B 6F 75 74 20 31 32 0D 0A", 50},
     }},
    {"Get_Gnss_ElevMask",
     {
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "log psrdopb CR LF"
         {"6C 6F 67 20 70 73 72 64 6F 70 62 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
     }},
    {"Send_Gnss_UnlogData",
     {
         // $$ | I M | head 18 | length 01 | 01 | XOR 1C | CR LF  (opening)
         {"24 24 49 4D 18 01 01 1C 0D 0A", 50},
         // the board's own line: "unlogall CR LF"
         {"75 6E 6C 6F 67 61 6C 6C 0D 0A", 50},
         // $$ | I M | head 18 | length 01 | 02 | XOR 1F | CR LF  (closing)
         {"24 24 49 4D 18 01 02 1F 0D 0A", 50},
     }},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR 1B | CR LF  (SW,B0,B5)
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR 00 | CR LF  (RF,M7443,B1)
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
    {"Set_Orvel_NMEA with rates",
     {
         // $$ | R F | head 18 | length 03 | 04 13 01 | XOR 19 | CR LF  (RF,M1043,B1)
         {"24 24 52 46 18 03 04 13 01 19 0D 0A", 100},
         // $$ | R D | head 18 | length 0F | 01 04 13 01 03 04 00 00 02 00 00 00 01 00 00 | XOR 12 | CR LF  (RD,B1,M1043,B1,L1027,L2,B1,M0)
         {"24 24 52 44 18 0F 01 04 13 01 03 04 00 00 02 00 00 00 01 00 00 12 0D 0A", 100},
     }},};

const SlotTable kHemisphereTable = RelayedTagTable({
    // $$ | R Z | head 18 | length 0B | "nmea list 8" | XOR 26 | CR LF
    {"24 24 52 5A 18 0B 6E 6D 65 61 20 6C 69 73 74 20 38 26 0D 0A", 7},
    // $$ | R F | head 18 | length 03 | 05 13 01 | XOR 18 | CR LF  (RF,M1299,B1)
    {"24 24 52 46 18 03 05 13 01 18 0D 0A", 100},
    // $$ | R D | head 18 | length 0F | 01 05 13 01 03 04 00 00 02 00 00 00 01 00 0B | XOR 18 | CR LF  (RD,B1,M1299,B1,L1027,L2,B1,M11)
    {"24 24 52 44 18 0F 01 05 13 01 03 04 00 00 02 00 00 00 01 00 0B 18 0D 0A", 100},
});

const SlotTable kUnknownTable = {
    {"Get_Gnss_Inite",
     {}},
    {"Get_Gnss_StartBase",
     {}},
    {"Get_Gnss_StartRover",
     {}},
    {"Get_Gnss_Reset",
     {
         // $$ | R K | head 18 | length 01 | FF | XOR FF | CR LF  (RK,B255)
         {"24 24 52 4B 18 01 FF FF 0D 0A", 3000},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | setting 38, value 0F | XOR 34 | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR 10 | CR LF  (SW,B1,B15)
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {}},
    {"Send_Gnss_Obs",
     {}},
    {"Send_Gnss_Ephemeris",
     {
         // the board's own record as it built it: "eph 6"
         {"65 70 68 20 36", 7},
     }},
    {"Send_Gnss_EphemSat",
     {
         // the board's own record as it built it: "ephsat 7"
         {"65 70 68 73 61 74 20 37", 7},
     }},
    {"Set_Gnss_Nmea",
     {}},
    {"Set_Gnss_SatUse",
     {
         // the board's own record as it built it: "use 12 0 0"
         {"75 73 65 20 31 32 20 30 20 30", 7},
     }},
    {"Get_Gnss_ElevMask",
     {}},
    {"Send_Gnss_UnlogData",
     {}},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR 1B | CR LF  (SW,B0,B5)
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR 00 | CR LF  (RF,M7443,B1)
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
    {"Set_Orvel_NMEA with rates",
     {
         // $$ | R F | head 18 | length 03 | 04 13 01 | XOR 19 | CR LF  (RF,M1043,B1)
         {"24 24 52 46 18 03 04 13 01 19 0D 0A", 100},
         // $$ | R D | head 18 | length 0F | 01 04 13 01 03 04 00 00 02 00 00 00 01 00 00 | XOR 12 | CR LF  (RD,B1,M1043,B1,L1027,L2,B1,M0)
         {"24 24 52 44 18 0F 01 04 13 01 03 04 00 00 02 00 00 00 01 00 00 12 0D 0A", 100},
     }},
};

// The same slots over the library's own Trimble BD and Hemisphere boards:
// their DCOL packets and "$J" lines relayed by the rules above (a DCOL packet
// of more than 55 bytes in pieces), the receiver's own commands between them,
// and the DCOL ephemeris requests handed to the board as they are. Hemisphere
// boards start a base with no board command of their own, and take no
// observation, ephemeris or satellite-use command.
const SlotTable kTrimbleRealTable = {
    {"Get_Gnss_Inite",
     {
         // $$ | R Z | head 18 | length 37 | DCOL packet: STX, status 00, type 64, length 5D (first 55 bytes) | XOR | CR LF
         {"24 24 52 5A 18 37 02 00 64 5D 00 00 00 03 06 01 01 07 08 04 01 05 00 07 01 00 00 07 08 0A 01 03 00 01 00 00 00 07 08 0A 01 03 00 03 00 00 00 07 08 0A 01 03 00 06 00 00 00 07 08 0A 01 17 0D 0A", 100},
         // $$ | R Z | head 18 | length 2C | the rest of that packet, ending ... checksum 14, ETX | XOR | CR LF
         {"24 24 52 5A 18 2C 03 00 09 00 00 00 07 08 0A 01 03 00 02 00 00 00 07 08 0A 01 03 00 0C 00 00 00 07 08 0A 01 05 00 22 00 00 00 07 04 08 01 03 00 14 03 05 0D 0A", 100},
     }},
    {"Get_Gnss_StartBase",
     {
         // $$ | R G | head 18 | length 01 | 00 | XOR | CR LF
         {"24 24 52 47 18 01 00 0C 0D 0A", 100},
         // $$ | S J | head 18 | length 02 | 60 03 | XOR | CR LF
         {"24 24 53 4A 18 02 60 03 60 0D 0A", 100},
         // $$ | R Z | head 18 | length 37 | DCOL packet: STX, status 00, type 64, length 4F (first 55 bytes) | XOR | CR LF
         {"24 24 52 5A 18 37 02 00 64 4F 00 00 00 03 06 01 01 01 08 0A 01 5F 00 00 00 00 00 02 04 01 05 00 00 03 25 00 00 62 61 73 65 20 20 20 20 3F E1 69 4C 56 A0 09 27 40 00 F3 4C CF BC F7 78 47 0D 0A", 100},
         // $$ | R Z | head 18 | length 1E | the rest of that packet, ending ... checksum AD, ETX | XOR | CR LF
         {"24 24 52 5A 18 1E 40 42 C1 89 3A 7C 00 00 00 01 01 07 08 04 01 05 00 07 01 00 00 07 05 02 01 03 00 02 AD 03 A5 0D 0A", 100},
     }},
    {"Get_Gnss_StartRover",
     {
         // $$ | R Z | head 18 | length 06 | DCOL packet: STX, status 00, type 4A, length 00 | XOR | CR LF
         {"24 24 52 5A 18 06 02 00 4A 00 4A 03 17 0D 0A", 100},
         // $$ | R Z | head 18 | length 1C | DCOL packet: STX, status 00, type 64, length 16 | XOR | CR LF
         {"24 24 52 5A 18 1C 02 00 64 16 00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 19 03 00 00 00 0E 03 3D 0D 0A", 100},
         // $$ | R Z | head 18 | length 08 | DCOL packet: STX, status 00, type 84, length 02 | XOR | CR LF
         {"24 24 52 5A 18 08 02 00 84 02 84 82 8C 03 15 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type 59, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 59 03 00 02 00 5E 03 1E 0D 0A", 50},
         // $$ | R Z | head 18 | length 0C | DCOL packet: STX, status 00, type 49, length 06 | XOR | CR LF
         {"24 24 52 5A 18 0C 02 00 49 06 02 01 17 00 01 00 6A 03 2D 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 00 00 00 A6 03 1E 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 78 00 22 03 E6 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 7A 00 24 03 E2 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 7C 00 26 03 E6 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 7E 00 28 03 EA 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 83 00 2D 03 12 0D 0A", 50},
         // $$ | R Z | head 18 | length 09 | DCOL packet: STX, status 00, type A3, length 03 | XOR | CR LF
         {"24 24 52 5A 18 09 02 00 A3 03 04 86 00 30 03 0A 0D 0A", 500},
         // $$ | R Z | head 18 | length 37 | DCOL packet: STX, status 00, type 64, length 5D (first 55 bytes) | XOR | CR LF
         {"24 24 52 5A 18 37 02 00 64 5D 00 00 00 03 06 01 01 07 08 04 01 05 00 07 01 00 00 07 08 0A 01 03 00 01 00 00 00 07 08 0A 01 03 00 03 00 00 00 07 08 0A 01 03 00 06 00 00 00 07 08 0A 01 17 0D 0A", 100},
         // $$ | R Z | head 18 | length 2C | the rest of that packet, ending ... checksum 14, ETX | XOR | CR LF
         {"24 24 52 5A 18 2C 03 00 09 00 00 00 07 08 0A 01 03 00 02 00 00 00 07 08 0A 01 03 00 0C 00 00 00 07 08 0A 01 05 00 22 00 00 00 07 04 08 01 03 00 14 03 05 0D 0A", 100},
         // $$ | S J | head 18 | length 02 | 38 05 | XOR | CR LF
         {"24 24 53 4A 18 02 38 05 3E 0D 0A", 200},
         // $$ | R Z | head 18 | length 17 | DCOL packet: STX, status 00, type 64, length 11 | XOR | CR LF
         {"24 24 52 5A 18 17 02 00 64 11 00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 ED 03 C8 0D 0A", 500},
         // $$ | S W | head 18 | length 02 | 01 05 | XOR | CR LF
         {"24 24 53 57 18 02 01 05 1A 0D 0A", 200},
     }},
    {"Get_Gnss_Reset",
     {
         // $$ | R Z | head 18 | length 0D | DCOL packet: STX, status 00, type 58, length 07 | XOR | CR LF
         {"24 24 52 5A 18 0D 02 00 58 07 FF 03 52 45 53 45 54 E4 03 0E 0D 0A", 100},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | 38 0F | XOR | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | R Z | head 18 | length 17 | DCOL packet: STX, status 00, type 64, length 11 | XOR | CR LF
         {"24 24 52 5A 18 17 02 00 64 11 00 00 00 03 06 01 00 01 08 0F 01 5F 00 00 00 00 00 F7 03 D8 0D 0A", 500},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR | CR LF
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {
         // $$ | R Z | head 18 | length 37 | DCOL packet: STX, status 00, type 64, length 4D (first 55 bytes) | XOR | CR LF
         {"24 24 52 5A 18 37 02 00 64 4D 00 00 00 03 06 01 00 07 08 04 01 05 00 07 01 00 00 07 08 0A 01 02 00 01 00 00 00 07 08 0A 01 02 00 03 00 00 00 07 08 0A 01 02 00 06 00 00 00 07 08 0A 01 07 0D 0A", 100},
         // $$ | R Z | head 18 | length 1C | the rest of that packet, ending ... checksum A5, ETX | XOR | CR LF
         {"24 24 52 5A 18 1C 02 00 09 00 00 00 07 08 0A 01 02 00 02 00 00 00 07 08 0A 01 02 00 0C 00 00 00 A5 03 AF 0D 0A", 100},
     }},
    {"Send_Gnss_Obs",
     {
         // $$ | R Z | head 18 | length 17 | DCOL packet: STX, status 00, type 64, length 11 | XOR | CR LF
         {"24 24 52 5A 18 17 02 00 64 11 00 00 00 03 06 01 00 07 08 04 01 05 00 07 01 00 00 A0 03 DE 0D 0A", 100},
     }},
    {"Send_Gnss_Ephemeris",
     {
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 01 00, checksum, ETX
         {"02 00 54 03 01 01 00 59 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 02 00, checksum, ETX
         {"02 00 54 03 01 02 00 5A 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 03 00, checksum, ETX
         {"02 00 54 03 01 03 00 5B 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 04 00, checksum, ETX
         {"02 00 54 03 01 04 00 5C 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 05 00, checksum, ETX
         {"02 00 54 03 01 05 00 5D 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 06 00, checksum, ETX
         {"02 00 54 03 01 06 00 5E 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 07 00, checksum, ETX
         {"02 00 54 03 01 07 00 5F 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 08 00, checksum, ETX
         {"02 00 54 03 01 08 00 60 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 09 00, checksum, ETX
         {"02 00 54 03 01 09 00 61 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0A 00, checksum, ETX
         {"02 00 54 03 01 0A 00 62 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0B 00, checksum, ETX
         {"02 00 54 03 01 0B 00 63 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0C 00, checksum, ETX
         {"02 00 54 03 01 0C 00 64 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0D 00, checksum, ETX
         {"02 00 54 03 01 0D 00 65 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0E 00, checksum, ETX
         {"02 00 54 03 01 0E 00 66 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 0F 00, checksum, ETX
         {"02 00 54 03 01 0F 00 67 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 10 00, checksum, ETX
         {"02 00 54 03 01 10 00 68 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 11 00, checksum, ETX
         {"02 00 54 03 01 11 00 69 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 12 00, checksum, ETX
         {"02 00 54 03 01 12 00 6A 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 13 00, checksum, ETX
         {"02 00 54 03 01 13 00 6B 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 14 00, checksum, ETX
         {"02 00 54 03 01 14 00 6C 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 15 00, checksum, ETX
         {"02 00 54 03 01 15 00 6D 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 16 00, checksum, ETX
         {"02 00 54 03 01 16 00 6E 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 17 00, checksum, ETX
         {"02 00 54 03 01 17 00 6F 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 18 00, checksum, ETX
         {"02 00 54 03 01 18 00 70 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 19 00, checksum, ETX
         {"02 00 54 03 01 19 00 71 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1A 00, checksum, ETX
         {"02 00 54 03 01 1A 00 72 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1B 00, checksum, ETX
         {"02 00 54 03 01 1B 00 73 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1C 00, checksum, ETX
         {"02 00 54 03 01 1C 00 74 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1D 00, checksum, ETX
         {"02 00 54 03 01 1D 00 75 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1E 00, checksum, ETX
         {"02 00 54 03 01 1E 00 76 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 1F 00, checksum, ETX
         {"02 00 54 03 01 1F 00 77 03", 100},
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 20 00, checksum, ETX
         {"02 00 54 03 01 20 00 78 03", 100},
     }},
    {"Send_Gnss_EphemSat",
     {
         // the board's own DCOL packet, not relayed: STX, status 00, type 54, length 03, data 01 07 00, checksum, ETX
         {"02 00 54 03 01 07 00 5F 03", 100},
     }},
    {"Set_Gnss_Nmea",
     {
         // $$ | R Z | head 18 | length 19 | DCOL packet: STX, status 00, type 64, length 13 | XOR | CR LF
         {"24 24 52 5A 18 19 02 00 64 13 00 00 00 03 06 01 00 07 04 06 01 03 00 07 04 28 01 03 00 CD 03 98 0D 0A", 100},
     }},
    {"Set_Gnss_SatUse",
     {
     }},
    {"Get_Gnss_ElevMask",
     {
         // $$ | R Z | head 18 | length 06 | DCOL packet: STX, status 00, type 4A, length 00 | XOR | CR LF
         {"24 24 52 5A 18 06 02 00 4A 00 4A 03 17 0D 0A", 100},
     }},
    {"Send_Gnss_UnlogData",
     {
         // $$ | R Z | head 18 | length 13 | DCOL packet: STX, status 00, type 64, length 0D | XOR | CR LF
         {"24 24 52 5A 18 13 02 00 64 0D 00 00 00 03 06 01 00 07 04 FF 01 00 00 86 03 14 0D 0A", 100},
     }},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR | CR LF
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R Z | head 18 | length 31 | DCOL packet: STX, status 00, type 64, length 2B | XOR | CR LF
         {"24 24 52 5A 18 31 02 00 64 2B 00 00 00 03 06 01 01 07 04 06 01 03 00 07 04 12 01 04 00 07 04 28 01 02 00 07 04 2D 01 01 00 07 04 0E 01 06 00 07 04 0F 01 0D 00 89 03 FC 0D 0A", 100},
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR | CR LF
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
    {"Set_Orvel_NMEA with rates",
     {
         // $$ | R Z | head 18 | length 31 | DCOL packet: STX, status 00, type 64, length 2B | XOR | CR LF
         {"24 24 52 5A 18 31 02 00 64 2B 00 00 00 03 06 01 01 07 04 06 01 03 00 07 04 12 01 04 00 07 04 28 01 02 00 07 04 2D 01 01 00 07 04 0E 01 06 00 07 04 0F 01 0D 00 89 03 FC 0D 0A", 100},
         // $$ | R F | head 18 | length 03 | 1C 13 01 | XOR | CR LF
         {"24 24 52 46 18 03 1C 13 01 01 0D 0A", 100},
         // $$ | R D | head 18 | length 0F | 01 1C 13 01 03 04 00 00 02 00 00 00 01 0D 06 | XOR | CR LF
         {"24 24 52 44 18 0F 01 1C 13 01 03 04 00 00 02 00 00 00 01 0D 06 01 0D 0A", 100},
     }},
};

const SlotTable kHemisphereRealTable = {
    {"Get_Gnss_Inite",
     {
         // $$ | R Z | head 18 | length 07 | "$JOFF\r\n" | XOR | CR LF
         {"24 24 52 5A 18 07 24 4A 4F 46 46 0D 0A 31 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGGA,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 47 41 2C 31 0D 0A 40 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGSA,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 53 41 2C 31 0D 0A 54 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPRMC,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 52 4D 43 2C 31 0D 0A 5D 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGST,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 53 54 2C 31 0D 0A 41 0D 0A", 50},
         // $$ | R Z | head 18 | length 0C | "$JBIN,96,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0C 24 4A 42 49 4E 2C 39 36 2C 31 0D 0A 0E 0D 0A", 50},
         // $$ | R Z | head 18 | length 0C | "$JBIN,99,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0C 24 4A 42 49 4E 2C 39 39 2C 31 0D 0A 01 0D 0A", 50},
         // $$ | R Z | head 18 | length 08 | "$JSHOW\r\n" | XOR | CR LF
         {"24 24 52 5A 18 08 24 4A 53 48 4F 57 0D 0A 72 0D 0A", 50},
     }},
    {"Get_Gnss_StartBase",
     {
         // $$ | R G | head 18 | length 01 | 00 | XOR | CR LF
         {"24 24 52 47 18 01 00 0C 0D 0A", 100},
         // $$ | S J | head 18 | length 02 | 60 03 | XOR | CR LF
         {"24 24 53 4A 18 02 60 03 60 0D 0A", 100},
     }},
    {"Get_Gnss_StartRover",
     {
         // $$ | R Z | head 18 | length 0D | "$JDIFF,NONE\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0D 24 4A 44 49 46 46 2C 4E 4F 4E 45 0D 0A 5F 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JDIFF,BEACON\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 44 49 46 46 2C 42 45 41 43 4F 4E 0D 0A 53 0D 0A", 50},
         // $$ | S J | head 18 | length 02 | 38 05 | XOR | CR LF
         {"24 24 53 4A 18 02 38 05 3E 0D 0A", 200},
         // $$ | R Z | head 18 | length 0A | "$JMASK,5\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0A 24 4A 4D 41 53 4B 2C 35 0D 0A 7E 0D 0A", 50},
         // $$ | S W | head 18 | length 02 | 01 05 | XOR | CR LF
         {"24 24 53 57 18 02 01 05 1A 0D 0A", 200},
     }},
    {"Get_Gnss_Reset",
     {
         // $$ | R Z | head 18 | length 09 | "$JRESET\r\n" | XOR | CR LF
         {"24 24 52 5A 18 09 24 4A 52 45 53 45 54 0D 0A 25 0D 0A", 50},
     }},
    {"Set_Gnss_ElevDgre",
     {
         // $$ | S J | head 18 | length 02 | 38 0F | XOR | CR LF
         {"24 24 53 4A 18 02 38 0F 34 0D 0A", 200},
         // $$ | R Z | head 18 | length 0B | "$JMASK,15\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0B 24 4A 4D 41 53 4B 2C 31 35 0D 0A 4E 0D 0A", 50},
         // $$ | S W | head 18 | length 02 | 01 0F | XOR | CR LF
         {"24 24 53 57 18 02 01 0F 10 0D 0A", 200},
     }},
    {"Set_Gnss_PosFrq",
     {
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGGA,5\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 47 41 2C 35 0D 0A 44 0D 0A", 50},
     }},
    {"Send_Gnss_Obs",
     {
     }},
    {"Send_Gnss_Ephemeris",
     {
     }},
    {"Send_Gnss_EphemSat",
     {
     }},
    {"Set_Gnss_Nmea",
     {
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGGA,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 47 41 2C 31 0D 0A 40 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPRMC,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 52 4D 43 2C 31 0D 0A 5D 0D 0A", 50},
     }},
    {"Set_Gnss_SatUse",
     {
     }},
    {"Get_Gnss_ElevMask",
     {
         // $$ | R Z | head 18 | length 08 | "$JSHOW\r\n" | XOR | CR LF
         {"24 24 52 5A 18 08 24 4A 53 48 4F 57 0D 0A 72 0D 0A", 50},
     }},
    {"Send_Gnss_UnlogData",
     {
         // $$ | R Z | head 18 | length 07 | "$JOFF\r\n" | XOR | CR LF
         {"24 24 52 5A 18 07 24 4A 4F 46 46 0D 0A 31 0D 0A", 50},
     }},
    {"Get_Cmd_Position_Frq",
     {
         // $$ | S W | head 18 | length 02 | 00 05 | XOR | CR LF
         {"24 24 53 57 18 02 00 05 1B 0D 0A", 200},
     }},
    {"Set_Orvel_NMEA",
     {
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGGA,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 47 41 2C 31 0D 0A 40 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGSV,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 53 56 2C 31 0D 0A 43 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPRMC,5\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 52 4D 43 2C 35 0D 0A 59 0D 0A", 50},
         // $$ | R Z | head 18 | length 10 | "$JASC,GPGRS,10\r\n" | XOR | CR LF
         {"24 24 52 5A 18 10 24 4A 41 53 43 2C 47 50 47 52 53 2C 31 30 0D 0A 68 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGNS,2\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 4E 53 2C 32 0D 0A 58 0D 0A", 50},
         // $$ | R F | head 18 | length 03 | 1D 13 01 | XOR | CR LF
         {"24 24 52 46 18 03 1D 13 01 00 0D 0A", 100},
     }},
    {"Set_Orvel_NMEA with rates",
     {
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGGA,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 47 41 2C 31 0D 0A 40 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGSV,1\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 53 56 2C 31 0D 0A 43 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPRMC,5\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 52 4D 43 2C 35 0D 0A 59 0D 0A", 50},
         // $$ | R Z | head 18 | length 10 | "$JASC,GPGRS,10\r\n" | XOR | CR LF
         {"24 24 52 5A 18 10 24 4A 41 53 43 2C 47 50 47 52 53 2C 31 30 0D 0A 68 0D 0A", 50},
         // $$ | R Z | head 18 | length 0F | "$JASC,GPGNS,2\r\n" | XOR | CR LF
         {"24 24 52 5A 18 0F 24 4A 41 53 43 2C 47 50 47 4E 53 2C 32 0D 0A 58 0D 0A", 50},
         // $$ | R F | head 18 | length 03 | 05 13 01 | XOR | CR LF
         {"24 24 52 46 18 03 05 13 01 18 0D 0A", 100},
         // $$ | R D | head 18 | length 0F | 01 05 13 01 03 04 00 00 02 00 00 00 01 00 0B | XOR | CR LF
         {"24 24 52 44 18 0F 01 05 13 01 03 04 00 00 02 00 00 00 01 00 0B 18 0D 0A", 100},
     }},
};

void ExpectTable(Em_Gnss& gnss, const SlotTable& table) {
    ASSERT_EQ(table.size(), kSlots.size());
    for (size_t i = 0; i < kSlots.size(); ++i) {
        SCOPED_TRACE(kSlots[i].first);
        ASSERT_EQ(table[i].first, kSlots[i].first);
        std::vector<_STR_CMD> out;
        kSlots[i].second(gnss, out);
        ExpectRecords(out, table[i].second);
    }
}

}  // namespace

TEST(OldBoardCmd, TrimbleBoardGoldenTable) {
    auto gnss = TagReceiver(MAINBD_TRIMBLE_BD);
    ExpectTable(*gnss, kTrimbleTable);
}

TEST(OldBoardCmd, TrimbleBoardOwnBuilderGoldenTable) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_TRIMBLE_BD);
    gnss.Set_Com_Status(COM_STATUS_SERIAL);
    ExpectTable(gnss, kTrimbleRealTable);
}

TEST(OldBoardCmd, HemisphereBoardOwnBuilderGoldenTable) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_HEMISPHERE);
    gnss.Set_Com_Status(COM_STATUS_SERIAL);
    ExpectTable(gnss, kHemisphereRealTable);
}

TEST(OldBoardCmd, NovAtelBoardGoldenTable) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    ExpectTable(gnss, kNovAtelTable);
}

TEST(OldBoardCmd, OwnBoardGoldenTable) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_OLD);
    gnss.Set_Com_Status(COM_STATUS_SERIAL);
    ExpectTable(gnss, kOwnBoardTable);
}

TEST(OldBoardCmd, HemisphereBoardGoldenTable) {
    auto gnss = TagReceiver(MAINBD_HEMISPHERE);
    ExpectTable(*gnss, kHemisphereTable);
}

TEST(OldBoardCmd, UnknownBoardGoldenTable) {
    auto gnss = TagReceiver(MAINBD_OEM_TYPE(7));
    ExpectTable(*gnss, kUnknownTable);
}

// The NovAtel base start asks the receiver to start as a base ("ST,B1") only
// while no base configuration has been given.
TEST(OldBoardCmd, NovAtelBaseStartWithAConfiguration) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    gnss.Set_Gnss_BsCfg(*gnss.Get_Gnss_BsCfg());  // output port index 1
    std::vector<_STR_CMD> out;
    gnss.Get_Gnss_StartBase(out);
    ASSERT_GE(out.size(), 2u);
    // $$ | S J | head 18 | length 02 | 60 03 | XOR 60 | CR LF  (SJ,B96,B3), the last record
    EXPECT_EQ(Data(out.back()), Hex("24 24 53 4A 18 02 60 03 60 0D 0A"));
    EXPECT_EQ(out.back().delay, 3000u);
}

// NovAtel rover start: the rover's mask (13 in place of 91 or more) and "RM"
// with the code of the correction type or-ed with the mask, which a mask of
// 32 or more overlaps.
TEST(OldBoardCmd, NovAtelRoverCodeAndMask) {
    const struct {
        uint8_t mask;
        uint32_t correction;
        const char* sentMask;  // "SW,B1,B<mask>" payload byte
        std::string rm;        // "RM" frame
    } rows[] = {
        // $$ | R M | head 18 | length 01 | 2D (32 | 13) | XOR 2B | CR LF
        {95, 3, "0D", "24 24 52 4D 18 01 2D 2B 0D 0A"},
        // 91 is no mask either: 13
        {91, 3, "0D", "24 24 52 4D 18 01 2D 2B 0D 0A"},
        // 90 is kept: 90 | 32 = 7A (overlap: the mask's bit 5 is the code's)
        {90, 3, "5A", "24 24 52 4D 18 01 7A 7C 0D 0A"},
        // RTCM 2: 64 | 5 = 45
        {5, 4, "05", "24 24 52 4D 18 01 45 43 0D 0A"},
        // RTCA: 160 | 5 = A5
        {5, 5, "05", "24 24 52 4D 18 01 A5 A3 0D 0A"},
        // RTCM 3 and RTCM 3 MSM: 96 | 5 = 65
        {5, 7, "05", "24 24 52 4D 18 01 65 63 0D 0A"},
        {5, 14, "05", "24 24 52 4D 18 01 65 63 0D 0A"},
        // any other type: 128 | 5 = 85
        {5, 12, "05", "24 24 52 4D 18 01 85 83 0D 0A"},
        // RTCM 2 with mask 40: 64 | 40 = 68
        {40, 4, "28", "24 24 52 4D 18 01 68 6E 0D 0A"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.mask) << " " << row.correction);
        Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
        Rover_Config rover = *gnss.Get_Gnss_RvCfg();
        rover.elevMask = row.mask;
        rover.correctionType = row.correction;
        gnss.Set_Gnss_RvCfg(rover);
        std::vector<_STR_CMD> out;
        gnss.Get_Gnss_StartRover(out);
        ASSERT_EQ(out.size(), 6u);  // SJ, three relayed NovAtel lines, SW, RM
        const Dollar sj = ReadDollar(out[0]);
        EXPECT_EQ(sj.letters, "SJ");
        EXPECT_EQ(sj.payload, Hex(std::string("38 ") + row.sentMask));
        const Dollar sw = ReadDollar(out[4]);
        EXPECT_EQ(sw.letters, "SW");
        EXPECT_EQ(sw.payload, Hex(std::string("01 ") + row.sentMask));
        EXPECT_EQ(Data(out[5]), Hex(row.rm));
        EXPECT_EQ(out[5].delay, 2000u);
    }
}

// The position rate of the receiver itself, by rate code; rate 0 names no
// rate and sends nothing.
TEST(OldBoardCmd, PositionRateByCode) {
    const struct {
        GNSS_FRQ rate;
        const char* hex;
    } rows[] = {
        // $$ | S W | head 18 | length 02 | 00 05 | XOR 1B | CR LF  (SW,B0,B5)
        {GNSS_FRQ_5HZ, "24 24 53 57 18 02 00 05 1B 0D 0A"},
        // SW,B0,B2
        {GNSS_FRQ_2HZ, "24 24 53 57 18 02 00 02 1C 0D 0A"},
        // SW,B0,B1 for 1 Hz and every other rate, 10 Hz and 20 Hz included
        {GNSS_FRQ_1HZ, "24 24 53 57 18 02 00 01 1F 0D 0A"},
        {GNSS_FRQ_10HZ, "24 24 53 57 18 02 00 01 1F 0D 0A"},
        {GNSS_FRQ_20HZ, "24 24 53 57 18 02 00 01 1F 0D 0A"},
        {GNSS_FRQ_10S, "24 24 53 57 18 02 00 01 1F 0D 0A"},
        {GNSS_FRQ_OFF, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rate);
        Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
        std::vector<_STR_CMD> out;
        gnss.Get_Cmd_Position_Frq(out, row.rate);
        if (!row.hex) {
            EXPECT_TRUE(out.empty());
            continue;
        }
        ExpectRecords(out, {{row.hex, 200}});
    }
}

// The edge cases of the NMEA selection.
TEST(OldBoardCmd, NmeaSelectionEdgeCases) {
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    {
        // Sentence bits 0x41 (GPGGA and GPGSV): only the first in the
        // receiver's order counts, output bit 0x1. After the board's line:
        // $$ | R F | head 18 | length 03 | 00 01 (mask) 02 (selector) | XOR 0C | CR LF
        std::vector<_STR_CMD> out;
        gnss.Set_Orvel_NMEA(out, {{0x41, 3}}, 2);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(ReadDollar(out[0]).letters, "RZ");
        ExpectRecords({out[1]}, {{"24 24 52 46 18 03 00 01 02 0C 0D 0A", 100}});
    }
    {
        // An empty selection: no board line, "RF" with mask 0 and the selector.
        // $$ | R F | head 18 | length 03 | 00 00 03 | XOR 0C | CR LF
        std::vector<_STR_CMD> out;
        gnss.Set_Orvel_NMEA(out, {}, 3);
        ExpectRecords(out, {{"24 24 52 46 18 03 00 00 03 0C 0D 0A", 100}});
    }
    {
        // With rates, a Trimble sentence (0x4000) on the NovAtel board adds
        // nothing, though its bit would count in the form without rates.
        // $$ | R F | head 18 | length 03 | 00 00 01 | XOR 0E | CR LF
        // $$ | R D | head 18 | length 0F | 00 (off) 00 00 (mask) 01 (selector) 00 00 00 00 (A)
        //   00 00 00 00 (B) 00 (C) 00 00 (D) | XOR 00 | CR LF
        std::vector<_STR_CMD> out;
        gnss.Set_Orvel_NMEA(out, {{0x4000, 3}}, 1, false);
        ExpectRecords(out, {{"24 24 52 46 18 03 00 00 01 0E 0D 0A", 100},
                            {"24 24 52 44 18 0F 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 0D 0A", 100}});
        std::vector<_STR_CMD> plain;
        gnss.Set_Orvel_NMEA(plain, {{0x4000, 3}}, 1);
        // $$ | R F | head 18 | length 03 | 08 00 (mask 0x800) 01 | XOR 06 | CR LF
        ExpectRecords(plain, {{"24 24 52 46 18 03 08 00 01 06 0D 0A", 100}});
    }
    {
        // A later element that sets the same place overwrites it: GPGGA at
        // 1 Hz, then GPGGA again at 5 Hz gives A byte 0 = 2.
        std::vector<_STR_CMD> out;
        gnss.Set_Orvel_NMEA(out, {{0x1, 3}, {0x1, 2}}, 1, true);
        ASSERT_EQ(out.size(), 4u);  // two board lines, RF, RD
        const Dollar rd = ReadDollar(out[3]);
        EXPECT_EQ(rd.letters, "RD");
        // on, mask 0x0001, selector, A = 02 00 00 00, B, C, D
        EXPECT_EQ(rd.payload, Hex("01 00 01 01 02 00 00 00 00 00 00 00 00 00 00"));
    }
}

// Over a Bluetooth link every receiver frame has head byte 38 (class 8,
// mode 3), the relayed ones included.
TEST(OldBoardCmd, BluetoothLinkPacksInMode3) {
    auto gnss = TagReceiver(MAINBD_TRIMBLE_BD, COM_STATUS_BLUETOOTH);
    std::vector<_STR_CMD> out;
    gnss->Set_Gnss_ElevDgre(15, out);
    ExpectRecords(out, {
                           // $$ | S J | head 38 | length 02 | setting 38, value 0F | XOR 14 | CR LF
                           {"24 24 53 4A 38 02 38 0F 14 0D 0A", 200},
                           // $$ | R Z | head 38 | length 09 | "mask 15 4" | XOR 1D | CR LF
                           {"24 24 52 5A 38 09 6D 61 73 6B 20 31 35 20 34 1D 0D 0A", 7},
                           // $$ | S W | head 38 | length 02 | 01 0F | XOR 30 | CR LF
                           {"24 24 53 57 38 02 01 0F 30 0D 0A", 200},
                       });
}

// The position rate and the NMEA selections are the maker's: another
// maker's receiver gets none of them, and the new-protocol receiver has no
// form of the selection without rates (its position rate and the selection
// with rates have their own forms).
TEST(OldBoardCmd, ReceiverCommandsReachOnlyOldProtocolReceivers) {
    Em_Gnss other(GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM);
    std::vector<_STR_CMD> out;
    other.Get_Cmd_Position_Frq(out, GNSS_FRQ_1HZ);
    other.Set_Orvel_NMEA(out, kNmeaList, 1);
    other.Set_Orvel_NMEA(out, kNmeaList, 1, true);
    EXPECT_TRUE(out.empty());
    Em_Gnss newProtocol(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    newProtocol.Set_Orvel_NMEA(out, kNmeaList, 1);
    EXPECT_TRUE(out.empty());
}

// The elevation mask the board reported: the NovAtel board's DOP log, relayed
// by the receiver in an "RG" reply, carries it.
TEST(OldBoardCmd, ElevationMaskOfTheBoardsReport) {
    Em_Gnss none(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    EXPECT_EQ(none.GetInfo_Gnss_ElevMask(), 0u);
    Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    EXPECT_EQ(gnss.GetInfo_Gnss_ElevMask(), 0u);
    const Bytes reply = old_fixtures::Dollar("RG", novatel_fixtures::Log(174, novatel_fixtures::PsrDop(2, 1.5f, 0.9f, 1, 12)));
    gnss.RcvData(reply.data(), unsigned(reply.size()));
    gnss.ParseData();
    EXPECT_EQ(gnss.GetInfo_Gnss_ElevMask(), 12u);
}
