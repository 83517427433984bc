#pragma once

// The newer family's windows on Qt's offscreen platform, against the simulated bus.

#include <string>
#include <vector>

#include "bus/IQException.h"

namespace ovwintest {

// Every failure the family reported with its error dialog since the last call.
std::vector<std::string> TakeReportedErrors();

}  // namespace ovwintest
