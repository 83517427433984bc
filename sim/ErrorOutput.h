#pragma once

#include <string_view>

namespace sim {

// Writes `line` and a newline to standard error from a thread of its own. What the output has not
// taken yet is held up to a bound; past it, a line waits while the output takes bytes, so that a
// file or a pipe that is read gets every line of a burst, and is dropped once the output has taken
// nothing for a second, so that an output nobody reads holds up neither the bus nor the commands
// for longer. How many were dropped is told as soon as the output takes lines again. An output
// that fails takes no more lines.
void SayOnStandardError(std::string_view line);

}  // namespace sim
