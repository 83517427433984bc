#pragma once

#include "bus/PollBackoff.h"
#include "platform/ui/TestHooks.h"

namespace testsupport {

// A unit that failed answers again: the polls resting after the failure run at once, and the read
// again and the redraws they start settle, so that every window shows what the units hold.
inline void ResumePollsAndSettle() {
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(20);
  ui::test::RestIdle();
}

}  // namespace testsupport
