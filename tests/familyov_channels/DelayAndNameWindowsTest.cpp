// The delay and name windows of an 8-output 8148 on the pseudo-terminal: typed and stepped
// delays with their units, groups, ties and clamps; names with their limit, case and Escape.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familyov/channels/DelayNameWindows.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Button.h"
#include "platform/ui/Message.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvChannelIds.h"
#include "sim/Fault.h"
#include "tests/familyov_channels/ChannelsTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;
using testing::ElementsAre;

class DelayAndNameWindowsTest : public channelstest::ChannelsTest {
 protected:
  TOutputDelayWindow& OutputDelays() {
    return Open<TOutputDelayWindow>(editWindow->Ids().outputDelay);
  }
  // Types into the pane's delay and commits it with Enter.
  static void TypeDelay(TDelayDialog& pane, const std::string& text) {
    ui::test::Type(pane, kDelayEdit, text);
    ui::test::PressKey(ui::test::ControlOf(pane, kDelayEdit), Qt::Key_Return);
  }
  static std::string Shown(ui::Window& pane, int id) {
    return ui::test::ControlOf(pane, id).Text();
  }
};

TEST_F(DelayAndNameWindowsTest, TypedDelaysTakeTheirUnitAndAreClampedToTheMemory) {
  TOutputDelayWindow& window = OutputDelays();
  ASSERT_EQ(window.PaneCount(), 8);
  TDelayDialog& pane = window.Pane(0);
  EXPECT_EQ(Shown(pane, kDelayEdit), "0.000 ms");
  TypeDelay(pane, "12 ms");
  EXPECT_THAT(Writes(), ElementsAre("W1F.4 00000240"));  // 576 samples
  EXPECT_EQ(Shown(pane, kDelayEdit), "12.000 ms");
  TypeDelay(pane, "3 m");
  EXPECT_THAT(Writes(), ElementsAre("W1F.4 000001A4"));  // 420
  // The same delay again writes nothing; text without a number shows the delay again.
  TypeDelay(pane, "10 ft");
  TypeDelay(pane, "ms");
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Shown(pane, kDelayEdit), "8.750 ms");
  // Nine digits are clamped to the delay memory the other channels leave.
  StoreDelay(6, 16000);
  TypeDelay(pane, "999999999");
  EXPECT_THAT(Writes(), ElementsAre("W1F.4 00030D40"));  // 216000 - 16000
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(DelayAndNameWindowsTest, TheBypassBoxShowsWhatTheUnitHoldsAfterARecallOrALoad) {
  TOutputDelayWindow& window = OutputDelays();
  auto& box = dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(window.Pane(1), kDelayBypass));
  EXPECT_FALSE(box.IsChecked());
  bus.StoreByte(0, gDelayBypassObject.GetId(), unit->firstOutput + 1, 1);
  unit->InvalidateValues();
  NotifyRecord refresh{.code = RefreshAll};
  editWindow->Notify(&refresh);
  EXPECT_TRUE(box.IsChecked());
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(DelayAndNameWindowsTest, SpinsStepAGroupWhoseMembersStopAtZero) {
  StoreGroup(4, 2);
  StoreGroup(6, 2);
  StoreDelay(4, 10);
  StoreDelay(6, 100);
  TOutputDelayWindow& window = OutputDelays();
  bus.TakeTrace();
  window.Pane(2).Spin(TQuadButton::kLowerLeft);  // a millisecond down
  EXPECT_THAT(Writes(), ElementsAre("W1F.4 00000000", "W1F.6 00000034"));
  EXPECT_EQ(Shown(window.Pane(0), kDelayEdit), "0.000 ms");
  EXPECT_EQ(Shown(window.Pane(2), kDelayEdit), "1.083 ms");
  window.Pane(1).Spin(TQuadButton::kUpperRight);  // one sample, ungrouped
  EXPECT_THAT(Writes(), ElementsAre("W1F.5 00000001"));
  EXPECT_EQ(Shown(window.Pane(1), kDelayEdit), "0.021 ms");

  // Feet for every delay pane; a sample is a sample whatever the unit.
  ui::test::Click(window.Units(), kUnitsFeet);
  EXPECT_THAT(Writes(), ElementsAre("W1E 01"));
  EXPECT_EQ(Shown(window.Pane(2), kDelayEdit), "1.238 ft");
  window.Pane(3).Spin(TQuadButton::kUpperLeft);
  EXPECT_THAT(Writes(), ElementsAre("W1F.7 0000002A"));  // 42 samples
  Grab(window, 360, 260, "output-delay.png");
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(DelayAndNameWindowsTest, NamesAreLimitedWrittenOnAnyChangeAndEscapeRestores) {
  auto& names = Open<TOutputNameWindow>(editWindow->Ids().outputNames);
  ASSERT_EQ(names.PaneCount(), 8);
  TNameDialog& pane = names.Pane(0);
  EXPECT_EQ(Shown(pane, kChannelName), "A");
  auto& edit = ui::test::ControlOf(pane, kNameEdit);
  ui::test::Type(pane, kNameEdit, "Left Speaker");  // twelve characters
  ui::test::PressKey(edit, Qt::Key_Return);
  EXPECT_THAT(Writes(), ElementsAre("W30.4 4C65667420537065616B6500"));  // "Left Speake"
  EXPECT_EQ(Shown(pane, kNameEdit), "Left Speake");
  // Unchanged: nothing written; a change of case only: written.
  pane.CommitName();
  EXPECT_TRUE(Writes().empty());
  ui::test::Type(pane, kNameEdit, "LEFT SPEAKE");
  pane.CommitName();
  EXPECT_EQ(Writes().size(), 1u);
  ui::test::Type(pane, kNameEdit, "typing");
  ui::test::PressKey(edit, Qt::Key_Escape);
  EXPECT_EQ(Shown(pane, kNameEdit), "LEFT SPEAKE");
  Grab(names, 240, 240, "output-names.png");
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// A name read again while the unit is silent shows unknown, not the one read before, and the
// unit's name once it answers.
TEST_F(DelayAndNameWindowsTest, ANameReadAgainOnASilentUnitShowsUnknownUntilItAnswers) {
  TNameDialog& pane = Open<TOutputNameWindow>(editWindow->Ids().outputNames).Pane(0);
  std::vector<std::string> shown{Shown(pane, kNameEdit)};
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  unit->InvalidateValues();
  NotifyRecord refresh{.code = RefreshAll};
  editWindow->Notify(&refresh);
  shown.push_back(Shown(pane, kNameEdit));
  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  shown.push_back(Shown(pane, kNameEdit));
  EXPECT_THAT(shown, ElementsAre("A", "", "A"));
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

TEST_F(DelayAndNameWindowsTest, ANameASettingsFileCouldNotCarryIsRefusedWithTheReasonUnwritten) {
  TNameDialog& pane = Open<TOutputNameWindow>(editWindow->Ids().outputNames).Pane(0);
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  for (const char* typed : {"[RTC Events]", "Vox \"1\""}) {
    SCOPED_TRACE(typed);
    script.AnswerMessageBox(ui::kIdOk);
    ui::test::Type(pane, kNameEdit, typed);
    ui::test::PressKey(ui::test::ControlOf(pane, kNameEdit), Qt::Key_Return);
    EXPECT_EQ(script.Seen().back().text, SettingsTextFile::kUncarriedReason);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Shown(pane, kNameEdit), "A");
  }
}

}  // namespace
}  // namespace namespaceOV
