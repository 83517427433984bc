#pragma once

// After every test, what it left queued for the event loop (a posted call or event, a running
// timer) fails that test by name and is dropped, so that it never runs in a later test against
// locals that are gone. Every test program links the check; a layer with queues of its own adds
// them here.

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Returns a description of each leftover in the layer's own queues, having dropped them.
using LeftoverSource = std::function<std::vector<std::string>()>;
void CheckAfterEachTest(LeftoverSource source);

// What the check after a test finds now, dropped.
std::vector<std::string> DropLeftovers();

}  // namespace testsupport
