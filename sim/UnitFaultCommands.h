#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace sim {

class SimulatedBus;

// Faults a running simulator takes by hand, one line each, so that a unit's failures can be met
// as a user meets them: the line names what the unit does from then on and its address.
class UnitFaultCommands {
 public:
  static constexpr std::size_t kMaxLineBytes = 80;
  static constexpr std::string_view kHelp =
      "  refuse ADDRESS  the unit refuses every write (reads are still answered)\n"
      "  silent ADDRESS  the unit hears nothing, reads included\n"
      "  answer ADDRESS  the unit answers again\n";

  struct Outcome {
    bool taken = false;
    // What the unit does now, or what is wrong with the line; empty for a blank line.
    std::string message;
  };

  // `refusals`: the address of each unit on `bus` and the error its family answers a value it
  // will not take with.
  UnitFaultCommands(SimulatedBus& bus, std::map<int, uint8_t> refusals)
      : bus_(bus), refusals_(std::move(refusals)) {}

  // Acts on one line of untrusted text; a line that is not a command changes nothing.
  Outcome Take(std::string_view line);

 private:
  SimulatedBus& bus_;
  const std::map<int, uint8_t> refusals_;
};

}  // namespace sim
