#pragma once

#include "platform/registry/Key.h"
#include "platform/serial/ComNumberTable.h"

namespace serial {

// The COM number table of the user's settings store, shared by the whole process (the system
// line resolves COM names through it).
ComNumberTable& UserComNumbers();

}  // namespace serial

namespace registry {

// The read-only hardware keys of this machine, rebuilt from a fresh discovery on every call.
// Declared here rather than beside the user store because it is built from port discovery.
Key MachineRoot();

}  // namespace registry
