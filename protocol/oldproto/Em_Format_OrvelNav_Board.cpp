// GNSS board work of the maker's old-protocol receivers: initialising the
// board's outputs, base and rover start, reset, elevation mask, output rates,
// NMEA selection and stopping the output. Each operation combines the
// receiver's own "$$" commands with the board's native commands, which the
// receiver relays to an OEM board from "RZ" frames and which the maker's own
// board's builder frames itself.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include "platform/Numbers.h"

namespace Fjarnis2011 {
namespace FJParse {

namespace {

// How the board's own commands reach the board the receiver carries.
enum class BoardRoute {
    Relayed,  // OEM boards: each record in "RZ" frames of at most 55 bytes
    Direct,   // the maker's own board: its records as they are
    None,     // no board of these types: no board command
};

BoardRoute RouteOf(const EmIMainBoard* board) {
    switch (board ? board->Type() : MAINBD_ORVEL_NEW) {
    case MAINBD_TRIMBLE_BD:
    case MAINBD_NOVATEL_OEM:
    case MAINBD_HEMISPHERE:
        return BoardRoute::Relayed;
    case MAINBD_ORVEL_OLD:
        return BoardRoute::Direct;
    default:
        return BoardRoute::None;
    }
}

// The argument a board operation gets where the receiver's operation has
// none of its own.
constexpr int kRelayedArgument = 0;
constexpr int kDirectArgument = 2;

// Runs one board operation, op(board, records, argument), and carries its
// records to `out` as the board's route says.
template <class Op>
void SendBoardCommands(int comStatus, EmIMainBoard* board, CmdList& out, Op&& op) {
    switch (RouteOf(board)) {
    case BoardRoute::Relayed: {
        CmdList boardRecords;
        op(*board, boardRecords, kRelayedArgument);
        SplitToRzFrames(comStatus, out, boardRecords);
        break;
    }
    case BoardRoute::Direct:
        op(*board, out, kDirectArgument);
        break;
    case BoardRoute::None:
        break;
    }
}

// The receiver's code for the rover's correction type, or-ed with the
// elevation mask in "RM".
uint8_t RoverCorrectionCode(uint32_t correctionType) {
    switch (correctionType) {
    case 3: return 32;   // CMR
    case 4: return 64;   // RTCM 2
    case 5: return 160;  // RTCA
    case 7:              // RTCM 3
    case 14: return 96;  // RTCM 3 MSM
    default: return 128;
    }
}

// Rover start sends the board's elevation mask with these further values.
constexpr double kRoverElevSecond = 6.0;
constexpr int kRoverElevSelector = 4;
// A rover elevation mask from 91 degrees on is no mask: 13 is sent instead.
constexpr unsigned kRoverElevLimit = 91;
constexpr unsigned kRoverElevFallback = 13;

// The "SJ" setting that carries the elevation mask.
constexpr uint8_t kSetElevationMask = 0x38;

}  // namespace

void Em_Format_OrvelNav::Get_Gnss_Inite(CmdList& out, int /*extra*/) {
    SendBoardCommands(comStatus, MainBoard(), out, [](EmIMainBoard& b, CmdList& records, int argument) {
        if (Em_ICmdPaker* builder = b.CmdPaker()) builder->Cmd_Inite(records, argument);
    });
}

void Em_Format_OrvelNav::Get_Gnss_StartBase(CmdList& out, int /*extra*/) {
    EmIMainBoard* board = MainBoard();
    const auto boardStart = [&] {
        SendBoardCommands(comStatus, board, out, [](EmIMainBoard& b, CmdList& records, int) { b.Cmd_StartBase(records); });
    };
    switch (board ? board->Type() : MAINBD_ORVEL_NEW) {
    case MAINBD_TRIMBLE_BD:
    case MAINBD_HEMISPHERE:
        AppendTextCommand(comStatus, out, "RG,B0", 100);
        AppendTextCommand(comStatus, out, "SJ,B96,B3", 100);
        boardStart();
        break;
    case MAINBD_NOVATEL_OEM:
        AppendTextCommand(comStatus, out, "RK,B0", 3000);
        boardStart();
        AppendTextCommand(comStatus, out, "SJ,B96,B3", 3000);
        if (baseConfigWord == 0) AppendTextCommand(comStatus, out, "ST,B1", 3000);
        break;
    case MAINBD_ORVEL_OLD:
        boardStart();
        break;
    default:
        break;
    }
}

void Em_Format_OrvelNav::Get_Gnss_StartRover(CmdList& out, int /*extra*/) {
    EmIMainBoard* board = MainBoard();
    const Em_ICmdPaker* builder = board ? board->CmdPaker() : nullptr;
    const auto boardStart = [&] {
        SendBoardCommands(comStatus, board, out, [](EmIMainBoard& b, CmdList& records, int) { b.Cmd_StartRover(records); });
    };
    switch (board ? board->Type() : MAINBD_ORVEL_NEW) {
    case MAINBD_TRIMBLE_BD:
    case MAINBD_HEMISPHERE:
        boardStart();
        // The rover's mask needs the rover settings, which the builder holds.
        if (builder) Set_Gnss_ElevDgre(out, builder->roverConfig.elevMask, kRoverElevSecond, kRoverElevSelector);
        break;
    case MAINBD_NOVATEL_OEM: {
        // The NovAtel board is started as a rover by the receiver itself.
        if (!builder) break;
        unsigned mask = builder->roverConfig.elevMask;
        if (mask >= kRoverElevLimit) mask = kRoverElevFallback;
        Set_Gnss_ElevDgre(out, int(mask), kRoverElevSecond, kRoverElevSelector);
        // Kept as the receiver reads it: the code and the mask share the
        // byte, so a mask of 32 or more overlaps the code.
        const unsigned code = RoverCorrectionCode(builder->roverConfig.correctionType) | mask;
        AppendTextCommand(comStatus, out, ("RM,B" + platform::FormatInt(code)).c_str(), 2000);
        break;
    }
    case MAINBD_ORVEL_OLD:
        boardStart();
        break;
    default:
        break;
    }
}

void Em_Format_OrvelNav::Get_Gnss_Reset(CmdList& out, int /*extra*/) {
    EmIMainBoard* board = MainBoard();
    SendBoardCommands(comStatus, board, out, [](EmIMainBoard& b, CmdList& records, int) { b.Cmd_Reset(records); });
    // The OEM boards restart on their own reset; the receiver restarts the
    // others.
    if (RouteOf(board) != BoardRoute::Relayed) AppendTextCommand(comStatus, out, "RK,B255", 3000);
}

void Em_Format_OrvelNav::Set_Gnss_ElevDgre(CmdList& out, int degrees, double /*unused*/, int selector) {
    const uint8_t payload[2] = {kSetElevationMask, uint8_t(degrees)};
    AppendLetterCommand(comStatus, out, "SJ", payload, sizeof payload, 200);
    SendBoardCommands(comStatus, MainBoard(), out, [&](EmIMainBoard& b, CmdList& records, int) {
        // The maker's own board takes the program's mask as its GPS cutoff.
        b.Cmd_ElevMask_Set(records, degrees, b.Type() == MAINBD_ORVEL_OLD ? 1u : unsigned(selector));
    });
    // The B token carries the low byte, as in the "SJ" setting.
    AppendTextCommand(comStatus, out, ("SW,B1,B" + platform::FormatInt(degrees & 0xFF)).c_str(), 200);
}

void Em_Format_OrvelNav::Set_Gnss_PosFrq(CmdList& out, GNSS_FRQ frq) {
    SendBoardCommands(comStatus, MainBoard(), out, [&](EmIMainBoard& b, CmdList& records, int) { b.Cmd_PosFrq(records, frq); });
}

void Em_Format_OrvelNav::Send_Gnss_Obs(CmdList& out, GNSS_FRQ frq) {
    SendBoardCommands(comStatus, MainBoard(), out, [&](EmIMainBoard& b, CmdList& records, int) { b.Cmd_Obs(records, frq); });
}

void Em_Format_OrvelNav::Set_Gnss_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int /*extra*/) {
    SendBoardCommands(comStatus, MainBoard(), out, [&](EmIMainBoard& b, CmdList& records, int argument) {
        b.Cmd_Nmea(records, sentenceMask, frq, argument);
    });
}

void Em_Format_OrvelNav::Get_Gnss_ElevMask(CmdList& out) {
    SendBoardCommands(comStatus, MainBoard(), out, [](EmIMainBoard& b, CmdList& records, int) { b.Cmd_ElevMask(records); });
}

void Em_Format_OrvelNav::Send_Gnss_UnlogData(CmdList& out) {
    SendBoardCommands(comStatus, MainBoard(), out, [](EmIMainBoard& b, CmdList& records, int) { b.Cmd_UnlogData(records); });
}

void Em_Format_OrvelNav::Set_Orvel_NMEA(CmdList& out, const std::vector<_set_nmea>& list, int rate) {
    SendBoardCommands(comStatus, MainBoard(), out, [&](EmIMainBoard& b, CmdList& records, int) { b.Cmd_Nmea_Ex(records, list); });
    AppendNmeaOutput(comStatus, out, OrvelNmeaMask(list), rate);
}

void Em_Format_OrvelNav::Set_Orvel_NMEA(CmdList& out, const std::vector<_set_nmea>& list, int rate, bool on) {
    EmIMainBoard* board = MainBoard();
    SendBoardCommands(comStatus, board, out, [&](EmIMainBoard& b, CmdList& records, int) { b.Cmd_Nmea_Ex(records, list); });
    const OrvelNmeaSelection selection = OrvelNmeaWithRates(list, board ? board->Type() : MAINBD_ORVEL_NEW);
    AppendNmeaOutput(comStatus, out, selection.mask, rate);
    AppendNmeaRates(comStatus, out, selection, rate, on);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
