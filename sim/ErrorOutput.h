#pragma once

#include <string_view>

namespace sim {

// Writes `line` and a newline to standard error from a thread of its own, so that neither the bus
// nor the commands ever wait for whoever reads that output, or for nobody reading it at all. What
// the output has not taken yet is held up to a bound; lines past it are dropped, and how many is
// told as soon as the output takes lines again. An output that fails takes no more lines.
void SayOnStandardError(std::string_view line);

}  // namespace sim
