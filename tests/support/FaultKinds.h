#pragma once

// The ways a unit fails a request, for tables that put each at every step of a command: it
// refuses the request, its reply is lost, or it answers nothing from then on.

#include <array>

#include "sim/Fault.h"
#include "sim/WireFormat.h"

namespace testsupport {

struct FaultKind {
  const char* name;
  sim::Fault fault;
  int times;  // how many requests in a row fail
};

inline const FaultKind kFaultKinds[] = {{"refused", sim::Fault::ErrorObject(7), 1},
                                        {"reply lost", sim::Fault::Silence(), 1},
                                        {"silent", sim::Fault::Silence(), sim::Fault::kForever}};

// The ways a unit fails a write: its answer is lost after it carried the request out, its answer
// is lost and it never took the request, or it refuses with `refusal`, its family's error for a
// value it will not take. Only a refusal tells the program what the unit holds. The faults hit
// writes alone: the reads around them are answered, so that what fails is the write itself.
struct WriteFailure {
  const char* name;
  sim::Fault fault;
  bool carriedOut;
  bool refused;
};
inline std::array<WriteFailure, 3> WriteFailures(int refusal) {
  return {{{"CarriedOut", sim::Fault::Silence().ForOpcode(sim::kOpcodeSet), true, false},
           {"Unheard", sim::Fault::Unheard().ForOpcode(sim::kOpcodeSet), false, false},
           {"Refused", sim::Fault::ErrorObject(refusal).ForOpcode(sim::kOpcodeSet), false, true}}};
}

}  // namespace testsupport
