#pragma once

#include <string>
#include <vector>

#include "sim/SimulatedBus.h"

namespace bustest {

// The requests on `bus` since its traffic was last cleared, which it then clears: "W0A 01" for a
// set of object 0x0A, "R06" for a get of 0x06, each led by "ADDRESS:" when `withAddress`.
std::vector<std::string> TakeRequestTrace(sim::SimulatedBus& bus, bool withAddress = false);

}  // namespace bustest
