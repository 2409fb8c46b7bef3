#pragma once

#include "fjcomm/IPort.h"

namespace Fjarnis2011 {
namespace FJComm {

// The port the factory made last and that has not been freed since: the one
// SetBaud acts on. Null when there is none.
IPort* CurrentPortInstance();

}  // namespace FJComm
}  // namespace Fjarnis2011
