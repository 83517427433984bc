#pragma once

#include <string_view>

namespace sim {

// Writes `line` and a newline to standard error from a thread of its own, so that no caller ever
// waits on the output: what the output has not taken yet is held up to a bound, far above any
// burst, so that a file or a pipe that is read gets every line; past it, a line is dropped, and how
// many were is told in their place once there is room again. An output that fails takes no more
// lines.
void SayOnStandardError(std::string_view line);

// Gives the output a fraction of a second to take what is held, then tells how many lines it did
// not take, if it has room for that. Called once, at the end of the program.
void EndStandardError();

}  // namespace sim
