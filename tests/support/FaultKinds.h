#pragma once

// The ways a unit fails a request, for tables that put each at every step of a command: it
// refuses the request, its reply is lost, or it answers nothing from then on.

#include <array>
#include <cstddef>
#include <optional>
#include <ostream>

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

// The ways a unit meets a change the user makes on a control, for the tables that change every
// control: it takes it; it fails the write in one of the ways above; or it answers nothing, reads
// included, as a unit whose cable is pulled, until it answers again.
struct Condition {
  const char* name;
  std::optional<sim::Fault> fault;  // none: the unit takes the change
  bool carriedOut;                  // the unit holds the change once it answers
  bool refused;                     // the unit said what it holds
  bool silent;                      // its reads fail as well as its writes
};
inline void PrintTo(const Condition& condition, std::ostream* out) { *out << condition.name; }
inline std::array<Condition, 5> Conditions(int refusal) {
  const std::array<WriteFailure, 3> writes = WriteFailures(refusal);
  std::array<Condition, 5> conditions{{{"Taken", std::nullopt, true, false, false}}};
  for (std::size_t i = 0; i < writes.size(); ++i) {
    conditions[i + 1] = {writes[i].name, writes[i].fault, writes[i].carriedOut, writes[i].refused,
                         false};
  }
  conditions[4] = {"Silent", sim::Fault::Unheard(), false, false, true};
  return conditions;
}

}  // namespace testsupport
