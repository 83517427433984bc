// The octave array, channel linking and unlinking against a unit on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/FilterLinks.h"
#include "familyov/filters/OctaveArray.h"
#include "familyov/filters/TChannelLinkWindow.h"
#include "familyov/unit/ChildWindowFactory.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "tests/familyov_filterdialogs/DialogTestSupport.h"

namespace namespaceOV {
namespace {

using namespace ovfilterdlg_res;
using dialogtest::SpinQuad;
using testing::ElementsAre;

struct OctaveArrayTest : dialogtest::UnitTest {
  std::vector<const TOctaveFilter*> Bank() const {
    std::vector<const TOctaveFilter*> bank;
    for (const auto& filter : unit.Filters()) {
      if (auto* octave = dynamic_cast<const TOctaveFilter*>(filter.get())) bank.push_back(octave);
    }
    return bank;
  }
};

TEST_F(OctaveArrayTest, TheDialogSetsUpAThirdOctaveBankBetweenItsLimits) {
  script.RunDialog(kOctaveMacroDialog, [](ui::Dialog& dialog) {
    EXPECT_EQ(ui::test::ControlOf(dialog, kOctaveQEdit).Text(), "3.2");
    EXPECT_EQ(dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kSpacingCombo)).Selection(),
              1);
    ui::test::Type(dialog, kStopEdit, "2000");
    ui::test::Type(dialog, kStartEdit, "1995");
    SpinQuad(dialog, kStartQuad, 3);  // +100 would pass the stop
    EXPECT_EQ(ui::test::ControlOf(dialog, kStartEdit).Text(), "2000");
    SpinQuad(dialog, kStartQuad, 0);
    EXPECT_EQ(ui::test::ControlOf(dialog, kStartEdit).Text(), "1900");
    ui::test::Type(dialog, kStartEdit, "1000");
    ui::test::Click(dialog, ui::kIdOk);
  });
  RunOctaveArrayCommand(host, host, unit, 1);
  const auto bank = Bank();
  ASSERT_EQ(bank.size(), 4u);
  const int expected[] = {1000, 1250, 1600, 2000};
  for (std::size_t i = 0; i < bank.size(); ++i) {
    EXPECT_EQ(bank[i]->frequency, expected[i]);
    EXPECT_FLOAT_EQ(bank[i]->q, 3.2f);
    EXPECT_FLOAT_EQ(bank[i]->level, 0.0f);
    EXPECT_EQ(bank[i]->channel, 1);
  }
  EXPECT_EQ(host.records.size(), 4u);
  EXPECT_EQ(host.records[0].first, uint32_t{FilterAdded});
  // Each filter goes to the unit whole and is then created there.
  const auto trace = Transfers();
  EXPECT_EQ(std::ranges::count(trace, "W14 00"), 4);
  EXPECT_NE(std::ranges::find(trace, "W13.1 00000020"), trace.end());  // Q 3.2
}

TEST_F(OctaveArrayTest, QIsTypedAsARatioAndEachSpacingBringsItsOwnQ) {
  OctaveArraySettings settings;
  script.RunDialog(kOctaveMacroDialog, [](ui::Dialog& dialog) {
    auto& spacing = dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, kSpacingCombo));
    spacing.SetSelection(3);
    dialog.SendNotify({kSpacingCombo, ui::Notify::SelChange, &spacing});
    EXPECT_EQ(ui::test::ControlOf(dialog, kOctaveQEdit).Text(), "1.0");
    SpinQuad(dialog, kOctaveQQuad, 0);
    EXPECT_EQ(ui::test::ControlOf(dialog, kOctaveQEdit).Text(), "0.1");
    ui::test::Type(dialog, kOctaveQEdit, "1/3");
    ui::test::Click(dialog, ui::kIdOk);
    EXPECT_EQ(ui::test::ControlOf(dialog, kOctaveQEdit).Text(), "0.3");
  });
  TOctaveMacroDialog dialog(&host, settings);
  EXPECT_EQ(dialog.Execute(), ui::kIdOk);
  EXPECT_EQ(settings.spacing, 3);
  EXPECT_NEAR(settings.q, 1.0 / 3.0, 1e-6);
  EXPECT_EQ(OctaveBankFrequencies(settings),
            (std::vector<int>{20, 32, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000}));
  settings.start = 1001;
  settings.stop = 1100;
  EXPECT_TRUE(OctaveBankFrequencies(settings).empty());
}

TEST_F(OctaveArrayTest, TheBankIsCountedOnceForEveryLinkedChannel) {
  // Thirty third-octave filters fit the model once and twice, not three times.
  const OctaveArraySettings fullRange;
  unit.linkedChannels[0] = unit.linkedChannels[3] = unit.linkedChannels[5] = true;
  script.AnswerMessageBox(ui::kIdOk);
  CreateOctaveBank(host, host, unit, 3, fullRange);
  EXPECT_EQ(script.Seen().back().text, "Insufficient DSP capacity");
  EXPECT_EQ(script.Seen().back().caption, "Add filter");
  EXPECT_TRUE(Bank().empty());
  EXPECT_TRUE(host.records.empty());

  // A channel whose own flag is clear counts once, whatever the others say.
  CreateOctaveBank(host, host, unit, 4, fullRange);
  EXPECT_EQ(Bank().size(), 30u);
}

// The capacity test reads the unit's limiter and pink-noise switches; when the unit fails to
// answer, the user sees the family's error and nothing is added or reallocated.
TEST_F(OctaveArrayTest, ACapacityTestTheUnitFailsShowsTheFamilysErrorAndAddsNothing) {
  const auto refuseNextLimiterRead = [&] {
    bus.bus.ClearFaults();
    bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x2D).OnOccurrence(1));
  };
  refuseNextLimiterRead();
  CreateOctaveBank(host, host, unit, 1, OctaveArraySettings{});
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_TRUE(Bank().empty());
  EXPECT_TRUE(host.records.empty());

  auto& lowpass = Add<TLowpassFilter>(0, 500);
  auto dialog = CreateFilterDialog(kFilterLowpass, unit, &host);
  dialog->Create();
  dialog->SetFilter(&lowpass);
  host.records.clear();
  const int number = lowpass.number;
  refuseNextLimiterRead();
  dynamic_cast<ui::UpDown&>(ui::test::ControlOf(*dialog, kOrderUpDown)).Step(-1);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 2u);
  EXPECT_EQ(lowpass.order, 2);
  EXPECT_EQ(lowpass.number, number);
  EXPECT_TRUE(host.records.empty());
  EXPECT_EQ(std::ranges::count(Transfers(), "R22"), 0) << "no reallocation after the failure";
}

TEST_F(OctaveArrayTest, UnlinkingClearsEveryMembersLinkNumberOnTheUnitAndInMemory) {
  auto& head = Add<TParametricFilter>(0, 1000);
  auto& first = Add<TParametricFilter>(1, 1000);
  auto& second = Add<TParametricFilter>(2, 1000);
  first.linkNumber = second.linkNumber = head.number + 1;
  unit.LinkFilters();
  ASSERT_EQ(head.ChainMembers().size(), 3u);

  UnlinkChain(unit, second, host);
  const std::vector<std::string> trace = Transfers();
  EXPECT_EQ(std::ranges::count(trace, "W31 00"), 2);
  EXPECT_EQ(trace.size(), 4u);
  EXPECT_EQ(host.records.size(), 3u);
  for (TFilter* filter : {&head, &first, &second}) {
    EXPECT_EQ(filter->linkNumber, 0);
    EXPECT_EQ(filter->linkHead, nullptr);
    EXPECT_EQ(filter->nextInChain, nullptr);
    EXPECT_TRUE(filter->linkedChannels.empty());
  }
  // A later full write keeps them apart.
  first.WriteToDevice(unit);
  EXPECT_EQ(std::ranges::count(Transfers(), "W31 00"), 1);
}

// Plays another window of the unit: records what the edit window hands round.
class Listener : public OVChild<ui::Window> {
 public:
  explicit Listener(TEditOVWindow& editWindow) : OVChild<ui::Window>(editWindow, "Listener") {}
  void Notify(NotifyRecord* record) override {
    codes.push_back(record->code);
    TDataWindow::Notify(record);
  }
  std::vector<uint32_t> codes;
};

TEST_F(OctaveArrayTest, TheLinkingWindowSetsTheFlagsAndTellsTheUnitsWindows) {
  RegisterChildWindow(ChildKind::Summary,
                      [](TEditOVWindow& w, int) { return std::make_unique<Listener>(w); });
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  editWindow.OpenChildWindow(editWindow.Ids().summary);
  editWindow.OpenChildWindow(editWindow.Ids().linking);
  auto& listener = dynamic_cast<Listener&>(*editWindow.ChildWindow(editWindow.Ids().summary));
  auto& linking =
      dynamic_cast<TChannelLinkWindow&>(*editWindow.ChildWindow(editWindow.Ids().linking));
  EXPECT_EQ(linking.Text(), "Linking--" + unit.GetDisplayName());
  const std::vector<int> channels = unit.ChannelIndexes();

  // A box names its channel and sets its flag; every window of the unit hears of it.
  gChannelNameObject.SetElement(channels[3]);
  EXPECT_EQ(ui::test::ControlOf(linking.Pane(3), kLinkCheck).Text(), gChannelNameObject.Read(unit));
  ui::test::Click(linking.Pane(3), kLinkCheck);
  EXPECT_TRUE(unit.linkedChannels[channels[3]]);
  EXPECT_THAT(listener.codes, ElementsAre(uint32_t{FilterLinksChanged}));

  // "All" and "None" reach only the panes of their window.
  ui::test::Click(linking.AllNone(), kLinkAll);
  for (int k = 0; k < static_cast<int>(channels.size()); ++k) {
    EXPECT_TRUE(unit.linkedChannels[channels[k]]);
    EXPECT_TRUE(linking.Pane(k).IsChecked()) << k;
  }
  ui::test::Click(linking.AllNone(), kLinkNone);
  EXPECT_FALSE(linking.Pane(3).IsChecked());
  EXPECT_FALSE(unit.linkedChannels[channels[3]]);
  EXPECT_EQ(listener.codes.size(), 1u);

  // A renamed channel shows its new name; Enter and Escape close no pane.
  gChannelNameObject.SetElement(channels[2]);
  gChannelNameObject.Write(unit, "Sub");
  NotifyRecord renamed{ChannelRenamed, channels[2], 0, nullptr};
  editWindow.Notify(&renamed);
  EXPECT_EQ(ui::test::ControlOf(linking.Pane(2), kLinkCheck).Text(), "Sub");
  ui::test::PressKey(ui::test::ControlOf(linking.Pane(2), kLinkCheck), Qt::Key_Return);
  ui::test::PressKey(ui::test::ControlOf(linking.AllNone(), kLinkAll), Qt::Key_Escape);
  EXPECT_TRUE(linking.Pane(2).IsCreated());
  EXPECT_TRUE(linking.AllNone().IsCreated());
  RegisterChildWindow(ChildKind::Summary, nullptr);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST(LinkingWindowTest, ThePanesAreTheModelsChannelsWhereverItsOutputsStart) {
  // Three inputs, seven outputs from channel 4: channel 3 does not exist, channel 10 does.
  auto unit = ovtest::NewVirtual<IQDevice8148>(7);
  ASSERT_EQ(unit->firstOutput, 4);
  TEdit8148Window editWindow(nullptr, *unit);
  editWindow.Create();
  editWindow.OpenChildWindow(editWindow.Ids().linking);
  auto& linking =
      dynamic_cast<TChannelLinkWindow&>(*editWindow.ChildWindow(editWindow.Ids().linking));
  ui::test::Click(linking.AllNone(), kLinkAll);
  EXPECT_TRUE(linking.Pane(9).IsChecked());
  EXPECT_TRUE(unit->linkedChannels[10]);
  EXPECT_FALSE(unit->linkedChannels[3]);
  EXPECT_EQ(ui::test::ControlOf(linking.Pane(3), kLinkCheck).Text(), unit->GetChannelLabel(4));
}

}  // namespace
}  // namespace namespaceOV
