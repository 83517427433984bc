#pragma once

#include <optional>

#include "familycommon/ProgressWindow.h"
#include "platform/ui/Application.h"

namespace namespace8100 {

// Shows the user that the program waits for a unit that answered not ready, as its other long
// waits do: from the first such answer on, the wait cursor and the progress window, whose bar
// follows the wait's bound and which keeps the windows painted, until the wait ends. A command
// that shows a wait of its own already (its wait cursor is up) is left to show it.
class ReadyWaitShown {
 public:
  static constexpr int kSteps = 100;
  static constexpr const char* kText = "Waiting for the unit to become ready...";

  ReadyWaitShown();
  ReadyWaitShown(const ReadyWaitShown&) = delete;
  ReadyWaitShown& operator=(const ReadyWaitShown&) = delete;

  // Told after each not-ready answer how much of the bound has passed, 0 to 1.
  void Passed(double fraction);

 private:
  const bool shownElsewhere_;
  std::optional<ui::WaitCursor> cursor_;
  familycommon::ProgressWindow progress_;
};

}  // namespace namespace8100
