#include "protocol/boards/Em_CmdPaker_Q50.h"

#include "protocol/boards/Em_MainBd_Q50.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <initializer_list>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr uint16_t kOpSet = 14;
constexpr uint16_t kOpQuery = 15;
constexpr uint16_t kParamOperation = 1;
constexpr uint16_t kBaseSetMode = 3;  // the 1106 mode sent with the base position
constexpr double kDegreesPerRadian = 57.29577951308232;

constexpr uint16_t kRateOneHz = 9;
constexpr uint16_t kRateFiveSeconds = 11;

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
         {{kParamOperation, &op},
          {1040, &fast},
          {1036, &fast},
          {1037, &slow},
          {1032, &slow},
          {1044, &slow},
          {1039, &slow}});
}

void Em_CmdPaker_Q50::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    const uint16_t op = kOpSet;
    const uint16_t rate = GnssFrq_ToDataFrq(frq);
    Pack(this, out, {{kParamOperation, &op}, {1040, &rate}});
}

void Em_CmdPaker_Q50::Cmd_Obs(CmdList& out, GNSS_FRQ frq) {
    const uint16_t op = kOpSet;
    const uint16_t rate = GnssFrq_ToDataFrq(frq);
    Pack(this, out, {{kParamOperation, &op}, {1031, &rate}});
}

void Em_CmdPaker_Q50::Cmd_Ephemeris(CmdList&, GNSS_FRQ) {}
void Em_CmdPaker_Q50::Cmd_EphemSat(CmdList&, unsigned) {}
void Em_CmdPaker_Q50::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}
void Em_CmdPaker_Q50::Cmd_Nmea(CmdList&, uint32_t, GNSS_FRQ, int) {}

void Em_CmdPaker_Q50::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned) {
    const uint16_t op = kOpSet;
    const uint8_t value = uint8_t(mask);
    Pack(this, out, {{kParamOperation, &op}, {1105, &value}});
}

void Em_CmdPaker_Q50::Cmd_ElevMask(CmdList& out) {
    const uint16_t op = kOpQuery;
    Pack(this, out, {{kParamOperation, &op}, {1105, nullptr}});
}

void Em_CmdPaker_Q50::Cmd_UnlogData(CmdList& out) {
    const uint16_t op = kOpSet;
    Pack(this, out, {{kParamOperation, &op}, {1108, nullptr}});
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
         {{kParamOperation, &op},
          {1105, &elevation},
          {1104, &pdop},
          {1106, &base},
          {1028, &port},
          {1029, &diffType},
          {260, &port},
          {259, &baud}});
}

void Em_CmdPaker_Q50::Cmd_StartRover(CmdList& out) {
    const uint16_t op = kOpSet;
    const uint8_t elevation = roverConfig.elevMask;
    const uint8_t pdop = roverConfig.pdopMask;
    Pack(this, out, {{kParamOperation, &op}, {1105, &elevation}, {1104, &pdop}});
}

void Em_CmdPaker_Q50::Cmd_Reset(CmdList& out) {
    const uint16_t op = kOpSet;
    Pack(this, out, {{kParamOperation, &op}, {1107, nullptr}});
}

}  // namespace FJParse
}  // namespace Fjarnis2011
