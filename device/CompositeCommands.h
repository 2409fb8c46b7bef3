#pragma once

// The receiver object's composite members send several commands as one: all
// of them or none. Internal to the device library.

#include "protocol/Em_Types.h"

#include <cstddef>
#include <vector>

namespace Fjarnis2011 {
namespace FJDevice {

// Runs the steps in order, each appending its records to `out`. Where the
// receiver takes every step (`everyStepBuilds`), a step that built nothing
// means the composite failed half way (a command block could not be
// allocated): `out` is then emptied, so the receiver never gets, say, the
// modem's auto dial without the link's auto-open. Elsewhere a step may
// rightly build nothing (it does not apply to that receiver) and the others
// stand.
template <class... Steps>
void BuildWhole(std::vector<FJParse::_STR_CMD>& out, bool everyStepBuilds, Steps&&... steps) {
    bool whole = true;
    auto run = [&](auto& step) {
        const size_t before = out.size();
        step(out);
        if (out.size() == before) whole = false;
    };
    (run(steps), ...);
    if (everyStepBuilds && !whole) out.clear();
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
