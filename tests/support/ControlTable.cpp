#include "tests/support/ControlTable.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ui/MessageBox.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Window.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/PollsResumed.h"

namespace testsupport {

namespace {

// The lines in which two looks at the windows differ, for a failure's message.
std::string Differences(const std::vector<std::string>& seen, const std::vector<std::string>& due) {
  std::string lines;
  for (std::size_t i = 0; i < std::max(seen.size(), due.size()); ++i) {
    const std::string a = i < seen.size() ? seen[i] : "(none)";
    const std::string b = i < due.size() ? due[i] : "(none)";
    if (a != b) lines += "\n  " + a + "  instead of  " + b;
  }
  return lines;
}

// A slider's thumb has no place that means unknown: its read-out says so.
bool IsThumb(const std::string& line) {
  return line.find(" trackbar: ") != std::string::npos ||
         line.find(" slider: ") != std::string::npos;
}

// The change made as the user makes it, any dialog it opens answered and any question it asks
// answered yes; a failure told in a closing box counts as a report.
std::size_t ReportsOf(const ControlTableHooks& hooks, const ControlChange& change) {
  hooks.takeReports();
  ui::PromptScript script([](const std::string&) {});
  if (change.dialog) script.RunDialog(change.dialog->resourceId, change.dialog->act);
  for (int i = 0; i < 4; ++i) script.AnswerMessageBox(ui::kIdOk);
  Apply(hooks.tested(), change);
  return hooks.takeReports() + FailuresToldInBoxes(script);
}

// While the unit's answer is missing, the tested window and the program's copy show what the
// unit holds or unknown; the other windows may show what it held before the change.
void CheckInDoubt(const ControlTableHooks& hooks, const std::vector<std::string>& before,
                  const std::vector<std::string>& inDoubt, const std::vector<std::string>& held) {
  EXPECT_EQ(inDoubt.size(), held.size()) << Differences(inDoubt, held);
  for (std::size_t i = 0; i < inDoubt.size() && i < held.size(); ++i) {
    const std::string& line = inDoubt[i];
    // A window that could not read greys what it cannot show; the value is what counts here.
    if (WithoutMarks(line) == WithoutMarks(held[i]) || ShowsUnknown(line) || IsThumb(line)) {
      continue;
    }
    if (!hooks.inTested(line) && i < before.size() && line == before[i]) continue;
    ADD_FAILURE() << "while the unit's answer was missing showed " << line << ", the unit holds "
                  << held[i];
  }
}

}  // namespace

void CheckEveryChange(const ControlTableHooks& hooks, const Condition& condition) {
  const bool fails = condition.fault.has_value();
  const std::vector<ControlChange> changes = ChangesOf(hooks.tested(), hooks.sweep);
  EXPECT_FALSE(changes.empty()) << "the window offers no change";
  for (const ControlChange& change : changes) {
    ui::Window* control = ControlAt(hooks.tested(), change.path);
    // A change before may have turned a function off, and its settings with it.
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled()) continue;
    SCOPED_TRACE("change " + std::to_string(&change - changes.data()) + ": " + change.name);
    const std::vector<std::string> before = hooks.shown();
    if (fails) hooks.fail(*condition.fault);
    EXPECT_EQ(ReportsOf(hooks, change), fails ? 1u : 0u);
    const std::vector<std::string> changed = hooks.shown();
    if (condition.refused) {
      EXPECT_TRUE(changed == before) << Differences(changed, before);
    }
    if (fails) {
      // While the unit still fails, the windows' idle passes (their polls, the read again of a
      // doubt) tell the user nothing more: the change told it once.
      ResumePollsAndSettle();
      EXPECT_EQ(hooks.takeReports(), 0u) << "told again while the unit still failed";
    }
    hooks.answerAgain();
    const std::vector<std::string> settled = hooks.shown();
    EXPECT_EQ(hooks.takeReports(), 0u) << "told again once the unit answered";
    if (fails && !condition.refused) CheckInDoubt(hooks, before, changed, settled);
    if (fails && !condition.carriedOut) {
      EXPECT_TRUE(settled == before) << Differences(settled, before);
    } else {
      EXPECT_NE(settled, before) << "the change showed nowhere";
    }
  }
  // A window that missed a change the unit took keeps showing what the unit no longer holds.
  const std::vector<std::string> shown = hooks.shown();
  const std::vector<std::string> fresh = hooks.fresh();
  EXPECT_TRUE(shown == fresh) << Differences(shown, fresh);
}

}  // namespace testsupport
