#include "protocol/boards/Em_CmdPaker_Q50.h"

#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <initializer_list>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

namespace P = OvParam;

constexpr uint16_t kOpSet = OvOp::GnssSet;
constexpr uint16_t kOpQuery = OvOp::GnssQuery;
constexpr uint16_t kBaseSetMode = 3;  // the base-set mode sent with the base position
constexpr double kDegreesPerRadian = 57.29577951308232;

constexpr uint16_t kRateOneHz = OV_DATA_FRQ_1HZ;
constexpr uint16_t kRateFiveSeconds = OV_DATA_FRQ_5S;

void Pack(Em_CmdPaker_Q50* builder, CmdList& out, std::initializer_list<TlvItem> items) {
    PackTlvCommand(builder, out, std::span<const TlvItem>(items.begin(), items.size()), 0);
}

}  // namespace

uint16_t Q50_DiffTypeOf(uint32_t correctionType) {
    switch (correctionType) {
    case 3: return 2;
    case 4:
    case 5:
    case 8:
    case 9:
    case 10:
    case 11: return 5;
    case 6: return 3;
    case 7:
    case 13:
    case 14: return 6;
    case 12: return 4;
    default: return 1;
    }
}

void Em_CmdPaker_Q50::Cmd_Inite(CmdList& out, int) {
    const uint16_t op = kOpSet;
    const uint16_t fast = kRateOneHz;
    const uint16_t slow = kRateFiveSeconds;
    Pack(this, out,
         {{P::Operation, &op},
          {P::GnssPosition, &fast},
          {P::GnssDops, &fast},
          {P::GnssSatellites, &slow},
          {P::GnssTextC, &slow},
          {P::GnssOutput1044, &slow},
          {P::GnssBasePosition, &slow}});
}

void Em_CmdPaker_Q50::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    const uint16_t op = kOpSet;
    const uint16_t rate = GnssFrq_ToDataFrq(frq);
    Pack(this, out, {{P::Operation, &op}, {P::GnssPosition, &rate}});
}

void Em_CmdPaker_Q50::Cmd_Obs(CmdList& out, GNSS_FRQ frq) {
    const uint16_t op = kOpSet;
    const uint16_t rate = GnssFrq_ToDataFrq(frq);
    Pack(this, out, {{P::Operation, &op}, {P::GnssTextB, &rate}});
}

void Em_CmdPaker_Q50::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Q50::Cmd_EphemSat(CmdList&, unsigned) {}
void Em_CmdPaker_Q50::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}
void Em_CmdPaker_Q50::Cmd_Nmea(CmdList&, uint32_t, GNSS_FRQ, int) {}

void Em_CmdPaker_Q50::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned) {
    const uint16_t op = kOpSet;
    const uint8_t value = uint8_t(mask);
    Pack(this, out, {{P::Operation, &op}, {P::GnssElevMask, &value}});
}

void Em_CmdPaker_Q50::Cmd_ElevMask(CmdList& out) {
    const uint16_t op = kOpQuery;
    Pack(this, out, {{P::Operation, &op}, {P::GnssElevMask, nullptr}});
}

void Em_CmdPaker_Q50::Cmd_UnlogData(CmdList& out) {
    const uint16_t op = kOpSet;
    Pack(this, out, {{P::Operation, &op}, {P::GnssUnlog, nullptr}});
}

void Em_CmdPaker_Q50::Cmd_StartBase(CmdList& out) {
    const Base_Config& c = baseConfig;
    const uint16_t op = kOpSet;
    const uint8_t elevation = c.elevMask;
    const uint8_t pdop = c.pdopMask;
    OV_GNSS_BASE_SET_STRUCT base{};
    base.mode = kBaseSetMode;
    base.latitude = c.latitude * kDegreesPerRadian;
    base.longitude = c.longitude * kDegreesPerRadian;
    base.height = c.height;
    const uint16_t port = c.outputPort != 0 ? 2 : 1;
    const uint16_t diffType = Q50_DiffTypeOf(c.correctionType);
    const uint16_t baud = BaudRate_ToCode(c.baudRate);
    Pack(this, out,
         {{P::Operation, &op},
          {P::GnssElevMask, &elevation},
          {P::GnssPdopMask, &pdop},
          {P::GnssBaseSet, &base},
          {P::GnssIoId, &port},
          {P::GnssDiffType, &diffType},
          {P::ComPort, &port},
          {P::ComBaud, &baud}});
}

void Em_CmdPaker_Q50::Cmd_StartRover(CmdList& out) {
    const uint16_t op = kOpSet;
    const uint8_t elevation = roverConfig.elevMask;
    const uint8_t pdop = roverConfig.pdopMask;
    Pack(this, out, {{P::Operation, &op}, {P::GnssElevMask, &elevation}, {P::GnssPdopMask, &pdop}});
}

void Em_CmdPaker_Q50::Cmd_Reset(CmdList& out) {
    const uint16_t op = kOpSet;
    Pack(this, out, {{P::Operation, &op}, {P::GnssReset, nullptr}});
}

}  // namespace FJParse
}  // namespace Fjarnis2011
