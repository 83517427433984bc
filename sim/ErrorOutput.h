#pragma once

#include <string_view>

namespace sim {

// Writes `line` and a newline to standard error from a thread of its own. What the output has not
// taken yet is held up to a bound; past it, a line waits while the output takes bytes, so that a
// file or a pipe that is read gets every line of a burst, and is dropped once the output has taken
// nothing for a second, so that an output nobody reads holds up neither the bus nor the commands
// for longer. A file or a terminal takes bytes as they are written, a pipe as its reader reads
// them, however few at a time. How many lines were dropped is told in their place once the output
// takes lines again. An output that fails takes no more lines.
void SayOnStandardError(std::string_view line);

}  // namespace sim
