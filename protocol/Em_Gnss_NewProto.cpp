// The exports that belong to the maker's new protocol alone and are not part
// of its command set proper: the com-direct switch that the device object's
// mode switch sends to a new-protocol board.

#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/newproto/Em_OvParams.h"

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

void Em_Gnss::Get_Cmd_Com_Direct(std::vector<_STR_CMD>& out, OV_COM_DIRECT_ENUM mode) {
    const uint16_t op = OvOp::ComSet;
    const uint16_t value = uint16_t(mode);
    PackNewCommand(*this, out, {{OvParam::Operation, &op}, {OvParam::ComDirect, &value}}, OvParam::ComDirect);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
