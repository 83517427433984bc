// The level windows of an 8-output 8148 on the pseudo-terminal: the writes of slider moves, mutes,
// polarity and groups, the group panes, and the meters' polling with every level window open.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>
#include <bit>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "familyov/channels/DelayNameWindows.h"
#include "familyov/channels/GroupAssignment.h"
#include "familyov/channels/LevelWindows.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/FamilyOvChannelIds.h"
#include "sim/Fault.h"
#include "tests/familyov_channels/ChannelsTestSupport.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovchannels_res;
using testing::ElementsAre;

// What the program writes for a level: the linear gain's bits.
std::string GainBits(float dB) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", std::bit_cast<uint32_t>(dBLevelObject::DbToGain(dB)));
  return text;
}

std::string LevelWrite(int channel, float dB) {
  return "W1B." + std::to_string(channel) + " " + GainBits(dB);
}

class LevelWindowsTest : public channelstest::ChannelsTest {
 protected:
  using ChannelsTest::ChannelsTest;
  TOutputLevelWindow& Outputs() { return Open<TOutputLevelWindow>(editWindow->Ids().outputLevel); }
  TInputLevelWindow& Inputs() { return Open<TInputLevelWindow>(editWindow->Ids().inputLevel); }
  // The user drags the pane's trackbar to `position`.
  static void Drag(TLevelDialog& pane, int position) {
    auto& trackbar = ui::test::ControlOf(pane, kLevelTrackbar);
    static_cast<ui::Trackbar&>(trackbar).SetPosition(position);
    pane.SendNotify({kLevelTrackbar, ui::Notify::Scroll, &trackbar, -1,
                     static_cast<ui::Param>(ui::ScrollCode::ThumbTrack)});
  }
  static std::string LevelShown(TLevelDialog& pane) {
    return ui::test::ControlOf(pane, kLevelText).Text();
  }
  void SetLevel(int channel, float dB) {
    ovtest::SetChannelLevel(*unit, channel, dB);
    bus.TakeTrace();
  }
};

TEST_F(LevelWindowsTest, ASliderWritesItsChannelAndADragEndsOnItsLastPosition) {
  TOutputLevelWindow& window = Outputs();
  EXPECT_EQ(window.Text(), "Output Level--" + unit->GetDisplayName());
  ASSERT_EQ(window.PaneCount(), 8);
  ASSERT_NE(window.Master(), nullptr);
  ASSERT_NE(window.GroupTree(), nullptr);
  TLevelDialog& first = window.Pane(0);
  EXPECT_EQ(LevelShown(first), "0.0");
  bus.TakeTrace();
  Drag(first, 60);
  ui::test::PumpMessages();
  EXPECT_THAT(Writes(), ElementsAre(LevelWrite(4, -6.0f)));
  EXPECT_EQ(LevelShown(first), "-6.0");
  // Positions that arrive faster than the bus take them give way to the last one.
  for (int position = 61; position <= 80; ++position) Drag(first, position);
  ui::test::PumpMessages();
  EXPECT_THAT(Writes(), ElementsAre(LevelWrite(4, -16.0f)));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// The rows where the trackbar's picture has ink in its outer thirds, left and right.
std::pair<std::vector<int>, std::vector<int>> SideInkRows(ui::Window& trackbar) {
  const QImage image = trackbar.Widget()->grab().toImage();
  std::pair<std::vector<int>, std::vector<int>> rows;
  for (int y = 0; y < image.height(); ++y) {
    const auto inked = [&](int from, int to) {
      for (int x = from; x < to; ++x) {
        if (qGray(image.pixel(x, y)) < 100) return true;
      }
      return false;
    };
    if (inked(0, image.width() / 3)) rows.first.push_back(y);
    if (inked(image.width() * 2 / 3, image.width())) rows.second.push_back(y);
  }
  return rows;
}

TEST_F(LevelWindowsTest, OneTickBesideEverySliderMarksZeroDb) {
  TOutputLevelWindow& window = Outputs();
  for (ui::Window* pane :
       {static_cast<ui::Window*>(&window.Pane(0)), static_cast<ui::Window*>(window.Master())}) {
    ui::Window& trackbar = ui::test::ControlOf(*pane, kLevelTrackbar);
    const auto [left, right] = SideInkRows(trackbar);
    // One short line on each side, level with each other.
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left, right);
    EXPECT_EQ(left.size(), 1u);
  }
}

TEST_F(LevelWindowsTest, AGroupMovesTogetherWrittenOncePerMember) {
  StoreGroup(5, 3);
  StoreGroup(8, 3);
  SetLevel(5, 23.0f);
  TOutputLevelWindow& window = Outputs();
  // The tree lists the group with its members' names in channel order.
  ui::TreeView& tree = window.GroupTree()->Tree();
  const ui::TreeItem group = tree.FirstRoot();
  EXPECT_EQ(tree.ItemText(group), "Group 3");
  EXPECT_EQ(tree.ItemData(tree.FirstChild(group)), 5);
  EXPECT_EQ(tree.ItemData(tree.NextSibling(tree.FirstChild(group))), 8);
  Inputs();  // every open window hears of the move; none writes it again
  bus.TakeTrace();
  // Output 8 at 0 dB up by 3: output 5 has room for 1 only, and both keep their offset.
  Drag(window.Pane(4), window.Pane(4).Range().PositionOf(3.0f));
  ui::test::PumpMessages();
  EXPECT_THAT(Writes(), ElementsAre(LevelWrite(5, 24.0f), LevelWrite(8, 1.0f)));
  EXPECT_EQ(LevelShown(window.Pane(1)), "24.0");
  EXPECT_EQ(LevelShown(window.Pane(4)), "1.0");

  // A mute mutes the group, each member once; polarity stays with its channel.
  ui::test::Click(window.Pane(1), kMute);
  EXPECT_THAT(Writes(), ElementsAre("W20.5 01", "W20.8 01"));
  EXPECT_TRUE(static_cast<ui::CheckBox&>(ui::test::ControlOf(window.Pane(4), kMute)).IsChecked());
  ui::test::Click(window.Pane(1), kPolarity);
  EXPECT_THAT(Writes(), ElementsAre("W32.1 BF800000"));

  // A name given in the names window shows at once on the level pane and in the tree.
  auto& names = Open<TOutputNameWindow>(editWindow->Ids().outputNames);
  ui::test::Type(names.Pane(1), kNameEdit, "Sub");
  names.Pane(1).CommitName();
  EXPECT_EQ(ui::test::ControlOf(window.Pane(1), kChannelName).Text(), "Sub");
  EXPECT_EQ(tree.ItemText(tree.FirstChild(tree.FirstRoot())), "Sub");
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(LevelWindowsTest, TheGroupsWindowWritesEachSidesValues) {
  TInputLevelWindow& inputs = Inputs();
  EXPECT_EQ(inputs.Gang(), nullptr);  // four inputs have groups, not a gang
  script.RunDialog(kGroupAssignmentDialog, [](ui::Dialog& dialog) {
    auto& window = dynamic_cast<TGroupAssignmentWindow&>(dialog);
    ASSERT_EQ(window.RowCount(), 4);
    ui::ComboBox& list = window.Row(2).List();
    EXPECT_EQ(list.Count(), 3);  // "<None>", 1, 2
    EXPECT_EQ(list.Selection(), 0);
    list.SetSelection(2);
    window.Row(2).SendNotify({kGroupList, ui::Notify::SelChange, &list});
    // At the work area's corner; Enter in a row does nothing, Escape closes the window.
    const ui::Rect area = ui::Window::ScreenWorkArea();
    EXPECT_EQ(dialog.WindowRect().left, area.left);
    EXPECT_EQ(dialog.WindowRect().top, area.top);
    ui::test::PressKey(list, Qt::Key_Return);
    EXPECT_TRUE(dialog.IsModal());
    ui::test::PressKey(list, Qt::Key_Escape);  // a window left open fails the script
  });
  bus.TakeTrace();
  inputs.Commands().Run(kCmGroups);
  EXPECT_THAT(Writes(), ElementsAre("W1D.2 09"));
  // The tree heard of the change: input group 2 holds input 3.
  ui::TreeView& tree = inputs.GroupTree()->Tree();
  EXPECT_EQ(tree.ItemText(tree.FirstRoot()), "Group 2");
  // Stored values beyond the list select nothing.
  EXPECT_EQ(GroupEntryOf(GroupKind::kInputLevel, 20, 2), -1);
  EXPECT_EQ(GroupEntryOf(GroupKind::kOutputLevel, 4, 3), -1);  // five outputs: three groups
  EXPECT_EQ(GroupValueOf(GroupKind::kOutputLevel, 3), 3);
}

// A group chosen on a unit that fails the write: one report, no other once the unit answers; the
// row shows the unit's group again after a refusal, and no group while the write is in doubt or
// the unit silent, then the group the unit holds once it answers.
TEST_F(LevelWindowsTest, AGroupTheUnitDidNotTakeIsNeverShownChosen) {
  TInputLevelWindow& inputs = Inputs();
  for (const testsupport::Condition& condition : testsupport::Conditions(ovtest::kRefusalCode)) {
    if (!condition.fault) continue;
    SCOPED_TRACE(condition.name);
    StoreGroup(2, 0);
    NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
    editWindow->Notify(&refresh);
    ovtest::ReportedErrors().clear();
    int shown = -2;
    int answered = -2;
    script.RunDialog(kGroupAssignmentDialog, [&](ui::Dialog& dialog) {
      TGroupDialog& row = dynamic_cast<TGroupAssignmentWindow&>(dialog).Row(2);
      bus.bus.AddFault(condition.fault->ForUnit(kAddress));
      row.List().SetSelection(2);
      row.SendNotify({kGroupList, ui::Notify::SelChange, &row.List()});
      shown = row.List().Selection();
      // The unit answers while the window is still open: the row shows what it holds.
      bus.bus.ClearFaults();
      testsupport::ResumePollsAndSettle();
      answered = row.List().Selection();
      dialog.EndDialog(ui::kIdCancel);
    });
    inputs.Commands().Run(kCmGroups);
    EXPECT_EQ(shown, condition.refused ? 0 : -1);
    EXPECT_EQ(answered, condition.carriedOut ? 2 : 0);
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  }
}

// Opening the Groups window on a silent unit is one action, whose rows' reads are told once; each
// choice in it is an action of its own, its failure told however many came before it while the
// window is open, and once only, also as the window closes.
TEST_F(LevelWindowsTest, OpeningTheGroupsWindowAndEachChoiceInItAreToldOnceEach) {
  TInputLevelWindow& inputs = Inputs();
  const struct {
    int row;
    sim::Fault fault;
    int shown;
  } choices[] = {{1, ovtest::kWriteFailures[2].fault, 0},
                 {2, sim::Fault::Unheard().Times(sim::Fault::kForever), -1}};
  std::vector<std::size_t> reports;
  script.RunDialog(kGroupAssignmentDialog, [&](ui::Dialog& dialog) {
    auto& window = dynamic_cast<TGroupAssignmentWindow&>(dialog);
    reports.push_back(ovtest::ReportedErrors().size());
    for (const auto& choice : choices) {
      bus.bus.ClearFaults();
      bus.bus.AddFault(choice.fault.ForUnit(kAddress));
      ui::ComboBox& list = window.Row(choice.row).List();
      list.SetSelection(1);
      window.Row(choice.row).SendNotify({kGroupList, ui::Notify::SelChange, &list});
      EXPECT_EQ(list.Selection(), choice.shown);
      reports.push_back(ovtest::ReportedErrors().size());
    }
    dialog.EndDialog(ui::kIdCancel);
  });
  unit->InvalidateValues();
  bus.bus.AddFault(sim::Fault::Unheard().ForUnit(kAddress));
  inputs.Commands().Run(kCmGroups);
  reports.push_back(ovtest::ReportedErrors().size());
  EXPECT_THAT(reports, ElementsAre(1u, 2u, 3u, 3u));
}

// A row the unit did not fill while the Groups window opened: it is read again once the unit
// answers, while the window is still open, without a report of its own.
TEST_F(LevelWindowsTest, TheGroupsWindowOpenedOnASilentUnitShowsItsRowsOnceItAnswers) {
  TInputLevelWindow& inputs = Inputs();
  StoreGroup(2, 9);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  std::vector<std::pair<int, std::string>> rows;
  script.RunDialog(kGroupAssignmentDialog, [&](ui::Dialog& dialog) {
    TGroupDialog& row = dynamic_cast<TGroupAssignmentWindow&>(dialog).Row(2);
    const auto shown = [&] {
      rows.emplace_back(row.List().Selection(), ui::test::ControlOf(row, kChannelName).Text());
    };
    shown();
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
    shown();
    dialog.EndDialog(ui::kIdCancel);
  });
  inputs.Commands().Run(kCmGroups);
  EXPECT_THAT(rows, ElementsAre(std::pair(-1, ""), std::pair(2, "3")));
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// Every level, delay and name window opened on a silent unit shows unknown; once the unit answers,
// the idle passes fill every control of them with what the unit holds.
TEST_F(LevelWindowsTest, WindowsOpenedOnASilentUnitShowItOnceItAnswers) {
  StoreGroup(5, 3);
  StoreGroup(8, 3);
  bus.StoreByte(0, gChannelMuteObject.GetId(), 5, 1);
  unit->InvalidateValues();
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  TInputLevelWindow& inputs = Inputs();
  TOutputLevelWindow& outputs = Outputs();
  auto& delays = Open<TOutputDelayWindow>(editWindow->Ids().outputDelay);
  auto& names = Open<TOutputNameWindow>(editWindow->Ids().outputNames);
  const auto text = [](ui::Window& pane, int id) { return ui::test::ControlOf(pane, id).Text(); };
  const auto box = [](ui::Window& pane, int id) -> std::string {
    const auto& shown = static_cast<ui::CheckBox&>(ui::test::ControlOf(pane, id));
    return !shown.HasState() ? "no state" : shown.IsChecked() ? "ticked" : "not ticked";
  };
  const auto shown = [&] {
    ui::TreeView& tree = outputs.GroupTree()->Tree();
    return std::vector<std::string>{
        LevelShown(inputs.Pane(0)),
        text(inputs.Pane(0), kChannelName),
        LevelShown(outputs.Pane(1)),
        text(outputs.Pane(1), kChannelName),
        box(outputs.Pane(1), kMute),
        ui::test::ControlOf(outputs.Pane(1), kPolarity).IsEnabled() ? "polarity" : "",
        text(*outputs.Master(), kLevelText),
        box(*outputs.Master(), kMute),
        tree.FirstRoot() ? tree.ItemText(tree.FirstRoot()) : "",
        text(delays.Pane(1), kDelayEdit),
        text(delays.Pane(1), kDelayBox),
        box(delays.Units(), kUnitsMsec),
        text(names.Pane(1), kNameEdit)};
  };
  EXPECT_THAT(shown(), ElementsAre("?", "", "?", "", "no state", "", "?", "no state", "", "", "",
                                   "no state", ""));
  bus.bus.ClearFaults();
  const std::size_t reports = ovtest::ReportedErrors().size();
  testsupport::ResumePollsAndSettle();
  EXPECT_THAT(shown(), ElementsAre("0.0", "1", "0.0", "B", "ticked", "polarity", "0.0",
                                   "not ticked", "Group 3", "0.000 ms", "B", "ticked", "B"));
  EXPECT_EQ(ovtest::ReportedErrors().size(), reports);
}

// The user's hand on a slider, the queue emptied while it is down: an arrow key, a press on the
// thumb where it rests and a drag of it ten steps on, each let go after.
void Arrow(ui::Trackbar& trackbar) {
  QTest::keyPress(trackbar.Widget(), Qt::Key_Right);
  ui::test::PumpMessages();
  QTest::keyRelease(trackbar.Widget(), Qt::Key_Right);
}
void MoveThumb(ui::Trackbar& trackbar, int steps) {
  auto& slider = *qobject_cast<QSlider*>(trackbar.Widget());
  slider.setSliderDown(true);
  slider.setSliderPosition(slider.sliderPosition() + steps);
  ui::test::PumpMessages();
  slider.setSliderDown(false);
}
void PressThumb(ui::Trackbar& trackbar) { MoveThumb(trackbar, 0); }
void DragThumb(ui::Trackbar& trackbar) { MoveThumb(trackbar, 10); }

// Levels filled while the unit was silent, the unit answering again before any idle pass: an arrow
// on a channel's or the master's slider steps from the level the unit holds, read first, not from
// where the thumb rests; a unit that does not give it is written nothing and told once. A press on
// the thumb that moves nothing writes nothing, known or not; a drag writes where it ends; each
// move writes once.
TEST_F(LevelWindowsTest, AnArrowOnALevelFilledOnASilentUnitStepsFromTheUnitsLevel) {
  SetLevel(4, -6.0f);
  gMasterLevelObject.Write(*unit, -10.0f);
  unit->InvalidateValues();
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  TOutputLevelWindow& outputs = Outputs();
  bus.bus.ClearFaults();
  const struct {
    const char* what;
    ui::Window* pane;
    void (*act)(ui::Trackbar&);
    bool readFails;
    std::vector<std::string> written;
    const char* shown;
  } rows[] = {
      {"a channel, its thumb pressed", &outputs.Pane(0), PressThumb, false, {}, "?"},
      {"a channel, its read failing", &outputs.Pane(0), Arrow, true, {}, "?"},
      {"a channel", &outputs.Pane(0), Arrow, false, {LevelWrite(4, -6.5f)}, "-6.5"},
      {"a channel known, its thumb pressed", &outputs.Pane(0), PressThumb, false, {}, "-6.5"},
      {"channel B dragged", &outputs.Pane(1), DragThumb, false, {LevelWrite(5, 19.0f)}, "19.0"},
      {"the master, its thumb pressed", outputs.Master(), PressThumb, false, {}, "?"},
      {"the master, its read failing", outputs.Master(), Arrow, true, {}, "?"},
      {"the master", outputs.Master(), Arrow, false, {"W36 " + GainBits(-10.5f)}, "-10.5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.readFails) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    ovtest::ReportedErrors().clear();
    bus.TakeTrace();
    auto& trackbar = static_cast<ui::Trackbar&>(ui::test::ControlOf(*row.pane, kLevelTrackbar));
    const int rested = trackbar.Position();
    row.act(trackbar);
    ui::test::PumpMessages();
    EXPECT_EQ(Writes(), row.written);
    EXPECT_EQ(ovtest::ReportedErrors().size(), row.readFails ? 1u : 0u);
    EXPECT_EQ(ui::test::ControlOf(*row.pane, kLevelText).Text(), row.shown);
    // A step not taken leaves no thumb standing for a level nobody wrote.
    if (row.readFails) {
      EXPECT_EQ(trackbar.Position(), rested);
    }
    bus.bus.ClearFaults();
  }
}

TEST_F(LevelWindowsTest, TheGroupsWindowShowsEveryRow) {
  TOutputLevelWindow& outputs = Outputs();
  script.RunDialog(kGroupAssignmentDialog, [](ui::Dialog& dialog) {
    auto& window = dynamic_cast<TGroupAssignmentWindow&>(dialog);
    ASSERT_EQ(window.RowCount(), 8);
    const ui::Rect last = window.Row(7).WindowRect();
    EXPECT_LE(last.bottom, dialog.ClientRect().bottom);
    EXPECT_LE(last.right, dialog.ClientRect().right);
    dialog.EndDialog(ui::kIdCancel);
  });
  outputs.Commands().Run(kCmGroups);
}

TEST_F(LevelWindowsTest, MetersMoveAndASilentUnitGivesOneReport) {
  TInputLevelWindow& inputs = Inputs();
  TOutputLevelWindow& outputs = Outputs();
  EXPECT_EQ(editWindow->Poller().Count(), 12u);
  ui::test::PumpIdle(26);
  // Two rounds, each reading every meter in turn and the settings flag once; the readings move.
  const auto reads = Taken("R2E");
  EXPECT_EQ(reads.size(), 24u);
  const float before = inputs.Pane(0).Meter().Level();
  ui::test::PumpIdle(24);
  EXPECT_NE(inputs.Pane(0).Meter().Level(), before);
  EXPECT_GT(outputs.Pane(7).Meter().Level(), -40.0f);
  Grab(inputs, inputs.Panes().ContentWidth(), inputs.Panes().ContentHeight(), "input-level.png");
  Grab(outputs, outputs.Panes().ContentWidth(), outputs.Panes().ContentHeight(),
       "output-level.png");

  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  ui::test::PumpIdle(30);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_TRUE(editWindow->Poller().Paused());
  // The program stays usable: once the unit answers again a slider writes as before.
  bus.bus.ClearFaults();
  Drag(outputs.Pane(0), 50);
  ui::test::PumpMessages();
  EXPECT_THAT(Writes(), ElementsAre(LevelWrite(4, -1.0f)));
}

class TwoChannelLevelTest : public LevelWindowsTest {
 protected:
  TwoChannelLevelTest() : LevelWindowsTest(sim::familyov::Model::k8122) {}
};

TEST_F(TwoChannelLevelTest, GangJoinsBothChannelsOfASide) {
  TInputLevelWindow& inputs = Inputs();
  ASSERT_NE(inputs.Gang(), nullptr);
  EXPECT_EQ(inputs.GroupTree(), nullptr);
  EXPECT_EQ(inputs.MenuBar(), nullptr);
  SetLevel(1, 6.0f);
  ui::test::Click(*inputs.Gang(), kGang);
  EXPECT_THAT(Writes(), ElementsAre("W1D.0 07", "W1D.1 07"));
  Drag(inputs.Pane(0), inputs.Pane(0).Range().PositionOf(2.0f));
  ui::test::PumpMessages();
  EXPECT_THAT(Writes(), ElementsAre(LevelWrite(0, 2.0f), LevelWrite(1, 8.0f)));

  TOutputLevelWindow& outputs = Outputs();
  ui::test::Click(*outputs.Gang(), kGang);
  ui::test::Click(*outputs.Gang(), kGang);
  EXPECT_THAT(Writes(), ElementsAre("W1D.2 01", "W1D.3 01", "W1D.2 00", "W1D.3 00"));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// A gang box filled on a silent unit shows no state, and the pair as the unit holds it once the
// unit answers.
TEST_F(TwoChannelLevelTest, AGangFilledOnASilentUnitShowsThePairOnceItAnswers) {
  StoreGroup(0, 7);
  StoreGroup(1, 7);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
  TInputLevelWindow& inputs = Inputs();
  auto& box = static_cast<ui::CheckBox&>(ui::test::ControlOf(*inputs.Gang(), kGang));
  std::vector<bool> stated{box.HasState()};
  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  stated.push_back(box.HasState() && box.IsChecked());
  EXPECT_THAT(stated, ElementsAre(false, true));
}

// A gang whose second write fails: a refusal puts the first channel back, so the pair is as it was
// unless the unit refuses that too; a write in doubt is read. The box is ticked only while both
// channels are in the gang, one report tells of the failure (with what the first channel was left
// with when it could not be put back), and the level window hears of what the unit holds.
TEST_F(TwoChannelLevelTest, AGangTheUnitFailsHalfWayShowsWhatThePairHolds) {
  TOutputLevelWindow& outputs = Outputs();
  auto& box = static_cast<ui::CheckBox&>(ui::test::ControlOf(*outputs.Gang(), kGang));
  const auto shown = [&] {
    return !box.HasState() ? "no state" : box.IsChecked() ? "ticked" : "not ticked";
  };
  const sim::Fault refusal = ovtest::kWriteFailures[2].fault.OnOccurrence(2);
  const sim::Fault putBackLost = ovtest::kWriteFailures[0].fault.OnOccurrence(3);
  const struct {
    const char* name;
    std::vector<sim::Fault> faults;  // on the second write and what follows it
    bool putBack;                    // tried
    bool firstJoined;                // what the unit holds
    const char* shown;
    const char* left;  // what the box that tells the failure says of the first channel
  } rows[] = {
      {"refused", {refusal}, true, false, "not ticked", ""},
      {"refused with its put-back",
       {refusal.Times(2)},
       true,
       true,
       "not ticked",
       "The first channel could not be put back: it was left ganged."},
      {"refused, its put-back unanswered",
       {refusal, putBackLost},
       true,
       false,
       "not ticked",
       "The first channel's put-back went unanswered: it may be left ganged."},
      {"carried out unanswered",
       {ovtest::kWriteFailures[0].fault.OnOccurrence(2)},
       false,
       true,
       "ticked",
       ""},
      {"unheard", {ovtest::kWriteFailures[1].fault.OnOccurrence(2)}, false, true, "not ticked", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StoreGroup(2, 0);
    StoreGroup(3, 0);
    NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
    editWindow->Notify(&refresh);
    const float noGroupRange = unit->groupMaxLevel[1];
    ovtest::ReportedErrors().clear();
    bus.TakeTrace();
    for (const sim::Fault& fault : row.faults) bus.bus.AddFault(fault.ForUnit(kAddress));
    const std::size_t boxesBefore = script.Seen().size();
    if (*row.left != '\0') script.AnswerMessageBox(ui::kIdOk);
    ui::test::Click(*outputs.Gang(), kGang);
    std::vector<std::string> writes{"W1D.2 01", "W1D.3 01"};
    if (row.putBack) writes.push_back("W1D.2 00");
    EXPECT_EQ(Writes(), writes);
    EXPECT_STREQ(shown(), row.shown);
    EXPECT_EQ(unit->groupMaxLevel[1] != noGroupRange, row.firstJoined);
    const std::size_t toldInBoxes = testsupport::FailuresToldInBoxes(script, boxesBefore);
    EXPECT_EQ(script.Seen().size() == boxesBefore
                  ? ""
                  : testsupport::AfterTheFailure(script.Seen().back().text),
              row.left);
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
    EXPECT_STREQ(shown(), row.shown);
    EXPECT_EQ(ovtest::ReportedErrors().size() + toldInBoxes, 1u);
  }
}

}  // namespace
}  // namespace namespaceOV
