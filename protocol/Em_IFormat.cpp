#include "protocol/Em_IFormat.h"

#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"

#include <algorithm>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

Em_IFormat::Em_IFormat(RingBuffer& ring) : ring_(ring) {}

Em_IFormat::~Em_IFormat() = default;

void Em_IFormat::ReplaceMainBoard(std::unique_ptr<EmIMainBoard> board) {
    mainBoard_.reset();
    mainBoard_ = std::move(board);
}

namespace {
// The report parser of the board, or null.
Em_IRepParser* Parser(EmIMainBoard* board) { return board ? board->RepParser() : nullptr; }
}  // namespace

double Em_IFormat::Pos_Latitude() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->position.latitude : 0.0;
}
double Em_IFormat::Pos_Longitude() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->position.longitude : 0.0;
}
double Em_IFormat::Pos_Height() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->position.height : 0.0;
}
double Em_IFormat::Prec_Rms() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->errors.rms : 0.0;
}
double Em_IFormat::Prec_Horizontal() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->errors.horizontalError : 0.0;
}
double Em_IFormat::Prec_Height() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->errors.heightError : 0.0;
}
double Em_IFormat::Dop_P() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->dops.pdop : 0.0;
}
double Em_IFormat::Dop_H() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->dops.hdop : 0.0;
}
double Em_IFormat::Dop_V() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->dops.vdop : 0.0;
}
double Em_IFormat::Dop_T() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->dops.tdop : 0.0;
}
double Em_IFormat::Dop_G() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->dops.gdop : 0.0;
}
double Em_IFormat::Rmc_Speed() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->speedKnots : 0.0;
}
double Em_IFormat::Rmc_Course() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->courseRad : 0.0;
}

void Em_IFormat::Get_Gnss_Baseinfo(BASEINFO& out) {
    if (const Em_IRepParser* p = Parser(MainBoard())) out = p->baseInfo;
}

void Em_IFormat::Get_Gnss_Gpgga(int /*kind*/, unsigned char* text, unsigned* length) {
    const Em_IRepParser* p = Parser(MainBoard());
    if (!p || !text || !length) return;
    const unsigned n = std::min<unsigned>(p->ggaLength, Em_IRepParser::kGgaTextCapacity);
    std::memcpy(text, p->ggaText, n);
    *length = n;
}

int Em_IFormat::Pos_Status() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->position.status : 0;
}
double Em_IFormat::Pos_DiffAge() {
    const Em_IRepParser* p = Parser(MainBoard());
    return p ? p->position.diffAge : -1.0;
}

void Em_IFormat::Get_Gnss_Inite(CmdList& out, int extra) {
    if (EmIMainBoard* b = MainBoard())
        if (Em_ICmdPaker* builder = b->CmdPaker()) builder->Cmd_Inite(out, extra);
}
void Em_IFormat::Get_Gnss_StartBase(CmdList& out, int /*extra*/) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_StartBase(out);
}
void Em_IFormat::Get_Gnss_StartRover(CmdList& out, int /*extra*/) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_StartRover(out);
}
void Em_IFormat::Get_Gnss_Reset(CmdList& out, int /*extra*/) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_Reset(out);
}
void Em_IFormat::Set_Gnss_ElevDgre(CmdList& out, int degrees, double /*unused*/, int selector) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_ElevMask_Set(out, degrees, unsigned(selector));
}
void Em_IFormat::Set_Gnss_PosFrq(CmdList& out, GNSS_FRQ frq) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_PosFrq(out, frq);
}
void Em_IFormat::Send_Gnss_Obs(CmdList& out, GNSS_FRQ frq) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_Obs(out, frq);
}
void Em_IFormat::Send_Gnss_Ephemeris(CmdList& out, GNSS_FRQ frq) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_Ephemeris(out, frq);
}
void Em_IFormat::Send_Gnss_EphemSat(CmdList& out, unsigned satellite) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_EphemSat(out, satellite);
}
void Em_IFormat::Set_Gnss_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_Nmea(out, sentenceMask, frq, extra);
}
void Em_IFormat::Set_Gnss_SatUse(CmdList& out, unsigned satellite, bool use, unsigned release) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_SatUse(out, satellite, use, release);
}
void Em_IFormat::Get_Gnss_ElevMask(CmdList& out) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_ElevMask(out);
}
void Em_IFormat::Send_Gnss_UnlogData(CmdList& out) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_UnlogData(out);
}

void Em_IFormat::Get_PassCom_Char(PASSCOMCHAR& out) {
    if (const Em_IRepParser* p = Parser(MainBoard())) out = p->passComChar;
}
void Em_IFormat::Get_Cmd_PassCom(CmdList& out, int port) {
    if (EmIMainBoard* b = MainBoard()) b->Cmd_PassCom(out, port);
}
void Em_IFormat::Set_GNSS_ParseNmea(bool on) {
    if (Em_IRepParser* p = Parser(MainBoard())) p->parseNmea = on ? 1 : 0;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
