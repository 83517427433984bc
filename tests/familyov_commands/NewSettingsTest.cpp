// The unit window's watch for settings the unit loads by itself: a logic input fired at the
// simulated unit raises its flag, and the check lets the user keep or save the changed settings.

#include <gtest/gtest.h>

#include "familyov/unit/NewSettingsCheck.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/FamilyOvCommandIds.h"
#include "tests/familyov_commands/CommandsTestSupport.h"

namespace namespaceOV {
namespace {

using commandstest::Answer;
using commandstest::Script;
using ovtest::ReportedErrors;
using Outcome = NewSettingsCheck::Outcome;
using Trace = std::vector<std::string>;

class NewSettingsTest : public commandstest::CommandsTest {
 protected:
  void FireAtUnit(int unit, int input) {
    bus.bus.WithUnit(unit, [input](sim::Unit& u) {
      static_cast<sim::familyov::FamilyOvUnit&>(u).FireLogicInput(input);
    });
  }
  std::vector<std::string> Starting(const Trace& trace, const std::string& start) {
    std::vector<std::string> found;
    for (const auto& line : trace) {
      if (line.starts_with(start)) found.push_back(line);
    }
    return found;
  }
};

TEST_F(NewSettingsTest, UnchangedSettingsGiveWayAtOnceAndEverythingIsReadAgain) {
  NewSettingsCheck check(*unit8126, nullptr);
  EXPECT_EQ(check.Check(), Outcome::kPolled);
  EXPECT_EQ(bus.TakeTrace(), Trace{"R40"});

  unit8126->parametersReady = false;
  EXPECT_EQ(check.Check(), Outcome::kSkipped);
  unit8126->parametersReady = true;
  EXPECT_EQ(bus.TakeTrace(), Trace{});

  FireAtUnit(0, 2);
  EXPECT_EQ(check.Check(), Outcome::kReloaded);
  const Trace trace = bus.TakeTrace();
  EXPECT_EQ(Trace(trace.begin(), trace.begin() + 3), (Trace{"R40", "W40 01", "R40"}));
  // Every filter record is read again.
  EXPECT_EQ(Starting(trace, "W11").size(), 100u);
  EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(NewSettingsTest, ChangedSettingsAreKeptOrSavedToAMemoryTheModelHas) {
  NewSettingsCheck check(*unit8148, nullptr);
  unit8148->settingsChanged = true;
  FireAtUnit(1, 2);
  Script script;
  script.RunDialog(ovres::kRefreshDialog,
                   [](ui::Dialog& dialog) { ui::test::Click(dialog, ui::kIdCancel); });
  EXPECT_EQ(check.Check(), Outcome::kKept);
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R40", "W40 00"}));
  EXPECT_TRUE(unit8148->settingsChanged);

  // The 8148 has 8 memories: 9 cannot be confirmed, 8 can.
  FireAtUnit(1, 2);
  script.RunDialog(ovres::kRefreshDialog,
                   [](ui::Dialog& dialog) { ui::test::Click(dialog, ovres::kSaveToMemoryButton); });
  script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& dialog) {
    EXPECT_EQ(ui::test::ControlOf(dialog, controls_res::kInputPrompt).Text(),
              "Last recalled memory was #0.  Save to:");
    Answer("9")(dialog);
    Answer("8")(dialog);
  });
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_EQ(check.Check(), Outcome::kReloaded);
  const Trace trace = bus.TakeTrace();
  EXPECT_EQ(Starting(trace, "W0A"), Trace{"W0A 08"});
  EXPECT_EQ(Starting(trace, "W40"), Trace{"W40 01"});
  EXPECT_FALSE(unit8148->settingsChanged);
}

}  // namespace
}  // namespace namespaceOV
