#pragma once

// The ways a unit fails a request, for tables that put each at every step of a command: it
// refuses the request, its reply is lost, or it answers nothing from then on.

#include "sim/Fault.h"

namespace testsupport {

struct FaultKind {
  const char* name;
  sim::Fault fault;
  int times;  // how many requests in a row fail
};

inline const FaultKind kFaultKinds[] = {{"refused", sim::Fault::ErrorObject(7), 1},
                                        {"reply lost", sim::Fault::Silence(), 1},
                                        {"silent", sim::Fault::Silence(), sim::Fault::kForever}};

}  // namespace testsupport
