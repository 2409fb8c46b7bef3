#pragma once

#include "tests/sim/ReceiverModel.h"

// The internal radio modules a receiver may carry, as its device information
// names them: byte 59 names module types 3 (0), 4 (3) and 5 (4), and byte 126
// overrides it with types 7 (3), 6 (4) and 8 (5). Each type has its band and
// its channel coding: types 3 to 7 count 12.5 kHz channels from 0 MHz, type 8
// counts channels of its current spacing.
namespace sim {

// The receiver reports radio module `type` (3 to 8) and its radio stands on a
// channel inside that module's band (at 12.5 kHz spacing). False, and nothing
// changed, for a type the device information cannot name.
bool SetRadioModule(SimSettings& settings, int type);

// The frequency in MHz that the radio's current channel code stands for with
// module `type`, or a negative value for a type without a channel coding here.
double RadioFrequencyMHz(const SimRadio& radio, int type);

}  // namespace sim
