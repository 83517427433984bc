#pragma once

// How long a test waits for what must come (a reply, a thread's end, an event): far beyond any
// delay a loaded machine's scheduler or a stopped process puts in, so that only a hang reaches it,
// and still well within the time the run gives one test.

#include <chrono>

namespace testsupport {

inline constexpr std::chrono::seconds kHangBound{60};

}  // namespace testsupport
