#include "family8100/unit/ReadyWaitShown.h"

#include <algorithm>

namespace namespace8100 {

// Without an application (a test of the unit alone, a fuzzer) there is nobody to show it to.
ReadyWaitShown::ReadyWaitShown()
    : shownElsewhere_(ui::Application::Instance() == nullptr || ui::WaitCursor::Active()) {}

void ReadyWaitShown::Passed(double fraction) {
  if (shownElsewhere_) return;
  if (!cursor_) {
    cursor_.emplace();
    progress_.Begin(kSteps, kText);
  }
  progress_.Step(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kSteps));
}

}  // namespace namespace8100
