// The unit's idle polling: one transaction per idle pass, round-robin over what is shown live; a
// silent unit gives one report, its polling backs off, and goes on by itself when it answers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "familyov/channels/LevelWindows.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/channels/TSummaryWindow.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/UnitPolling.h"
#include "platform/ui/Control.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/FamilyOvProcessingIds.h"
#include "sim/Fault.h"
#include "tests/familyov_channels/ChannelsTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::Gt;
using testing::IsEmpty;

// A meter of one channel, as a pane holds it.
class ChannelMeter : public LiveValue {
 public:
  ChannelMeter(IQDeviceOrdavinex& device, int channel) : device_(device), channel_(channel) {}
  void PollOnce() override {
    gChannelMeterObject.SetElement(channel_);
    gChannelMeterObject.Read(device_);
  }
  void ShowReadingUnknown() override {}

 private:
  IQDeviceOrdavinex& device_;
  int channel_;
};

using UnitPollingTest = channelstest::ChannelsTest;

TEST_F(UnitPollingTest, EachIdlePassReadsTheNextMeterInTurnAndTheSettingsFlagOncePerRound) {
  ChannelMeter first(*unit, 0);
  ChannelMeter second(*unit, 5);
  ChannelMeter third(*unit, 6);
  UnitPoller& poller = editWindow->Poller();
  {
    LiveValueRegistration a(poller, first);
    LiveValueRegistration b(poller, second);
    LiveValueRegistration c(poller, third);
    ui::test::PumpIdle(8);
    EXPECT_THAT(Taken("R"),
                ElementsAre("R2E.0", "R2E.5", "R2E.6", "R40", "R2E.0", "R2E.5", "R2E.6", "R40"));
  }
  EXPECT_EQ(poller.Count(), 0u);
  ui::test::PumpIdle(4);
  EXPECT_TRUE(Taken("R2E").empty());
}

TEST_F(UnitPollingTest, ASilentUnitGivesOneReportBacksOffAndResumesWhenItAnswers) {
  ChannelMeter meters[] = {{*unit, 0}, {*unit, 1}, {*unit, 4}, {*unit, 5}};
  UnitPoller& poller = editWindow->Poller();
  std::vector<std::unique_ptr<LiveValueRegistration>> registrations;
  for (auto& meter : meters) {
    registrations.push_back(std::make_unique<LiveValueRegistration>(poller, meter));
  }
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  ui::test::PumpIdle(20);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_TRUE(poller.Paused());
  EXPECT_EQ(Taken("R").size(), 1u) << "nothing more is asked during the pause";
  // Each pause that ends asks once more (the unit's read again, owed since the meters went
  // unanswered), and the pauses grow; the silence is not reported again.
  std::vector<std::size_t> asked;
  for (int pause = 0; pause < 5; ++pause) {
    PollBackoff::Clock::Advance(PollBackoff::kFirstPause);
    ui::test::PumpIdle(20);
    asked.push_back(Taken("R").size());
  }
  EXPECT_THAT(asked, ElementsAre(Gt(0u), 0u, Gt(0u), 0u, 0u));
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  // The unit answers again: polling goes on by itself at the end of the pause.
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  // The wake-up that the silence set for the end of its pause runs in real time: dropped here, it
  // cannot add a pass to the ten counted below however slowly the machine got this far.
  ui::test::RestIdle();
  // The read again comes first, whole, then two rounds: four meters and the settings flag.
  ui::test::PumpIdle(10);
  const std::vector<std::string> resumed = Taken("R");
  EXPECT_THAT(resumed, Contains("R3D.69")) << "the unit was not read again whole";
  EXPECT_EQ(std::count(resumed.begin(), resumed.end(), "R40"), 2);
  EXPECT_FALSE(poller.Paused());
  // A new spell of silence is a new incident, told once again.
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  ui::test::PumpIdle(20);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 2u);
}

TEST_F(UnitPollingTest, TheReportOfASilentUnitFindsItsPollingPaused) {
  // What the reporter, a plain function, sees.
  static UnitPoller* poller;
  static bool polledDuringReport;
  static int reports;
  poller = &editWindow->Poller();
  polledDuringReport = true;
  reports = 0;
  const CommErrorReporter previous = SetCommErrorReporter([](const IQException&, IQDevice&) {
    // The error dialog runs a message loop of its own.
    if (++reports == 1) polledDuringReport = poller->PollNext();
  });
  ChannelMeter meter(*unit, 0);
  LiveValueRegistration registration(*poller, meter);
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  EXPECT_TRUE(poller->PollNext());
  SetCommErrorReporter(previous);
  EXPECT_FALSE(polledDuringReport);
  EXPECT_EQ(reports, 1);
}

// Every reading the unit's windows poll (the level and summary meters, the limiters' gain
// reduction, the DSP load) shows unknown while the unit is silent, never its last value as if the
// signal held still, and the live value again once the unit answers.
TEST_F(UnitPollingTest, EveryPolledReadingShowsUnknownWhileTheUnitIsSilent) {
  using namespace ovprocessing_res;
  const NodeIds& ids = editWindow->Ids();
  auto& levels = Open<TOutputLevelWindow>(ids.outputLevel);
  auto& summary = Open<TSummaryWindow>(ids.summary);
  auto& limiters = Open<TLimiterWindow>(ids.limiter);
  auto& capacity = Open<TGasDialog>(ids.dspCapacity);
  // How many readings show unknown, of how many.
  const auto unknown = [&] {
    std::vector<bool> shown;
    for (int o = 0; o < unit->outputs; ++o) {
      shown.push_back(levels.Pane(o).Meter().ShowsUnknown());
      shown.push_back(summary.Panes().Output(o).Meter().ShowsUnknown());
      ui::Window& limiter = limiters.Pane(o);
      shown.push_back(
          ui::test::ControlOf(limiter, kLimMeterText).Text() == "?" &&
          static_cast<ui::ProgressBar&>(ui::test::ControlOf(limiter, kLimMeter)).Value() == 0);
    }
    for (int i = 0; i < unit->inputs; ++i) {
      shown.push_back(summary.Panes().Input(i).Meter().ShowsUnknown());
    }
    shown.push_back(ui::test::ControlOf(capacity, kGasUsage).Text() == "?");
    return std::pair(std::ranges::count(shown, true), shown.size());
  };
  const int round = static_cast<int>(editWindow->Poller().Count()) + 1;
  ui::test::PumpIdle(round);
  EXPECT_EQ(unknown().first, 0);

  bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
  // A pass that reads the unit's settings flag may come first: by the next, the poller knows.
  ui::test::PumpIdle(2);
  const auto [silent, readings] = unknown();
  EXPECT_EQ(silent, static_cast<long>(readings));
  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  ui::test::PumpIdle(2 * round);
  EXPECT_EQ(unknown().first, 0);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// The texts under `window` that are still their template's figures (a text with a digit) where the
// unit's values belong.
std::vector<std::string> TemplateFigures(const ui::Window& window) {
  std::vector<std::string> left;
  for (const ui::Window* child : window.Children()) {
    const auto* control = dynamic_cast<const ui::Control*>(child);
    // A control without an id is a fixed label, and a box's text labels what it is checked for.
    if (control != nullptr && control->IsBound() && control->Id() != 0 &&
        control->Template().kind != ui::ControlKind::CheckBox) {
      const std::string& text = control->Template().text;
      if (std::ranges::any_of(text, ::isdigit) && control->Text() == text) left.push_back(text);
    }
    std::ranges::copy(TemplateFigures(*child), std::back_inserter(left));
  }
  return left;
}

// Each model's tree: the 8148 with its compressors and advanced mixer, the 8126 without.
class UnitPollingOfEachModelTest : public channelstest::ChannelsTest,
                                   public testing::WithParamInterface<sim::familyov::Model> {
 protected:
  UnitPollingOfEachModelTest() : ChannelsTest(GetParam()) {}
};

// A window reads the unit as it is made (its title) and as each pane is created: opening one on a
// silent unit is one failure, told once, whichever window it is. The polls the window starts
// (its meters, its limiter lamps) join that report: they rest, then back off quietly.
TEST_P(UnitPollingOfEachModelTest, OpeningAWindowOnASilentUnitGivesOneReport) {
  const NodeIds& ids = editWindow->Ids();
  const std::pair<const char*, int> windows[] = {{"summary", ids.summary},
                                                 {"filters", ids.firstChannel},
                                                 {"linking", ids.linking},
                                                 {"crossovers", ids.crossovers},
                                                 {"input levels", ids.inputLevel},
                                                 {"input delays", ids.inputDelay},
                                                 {"compressors", ids.compressors},
                                                 {"input names", ids.inputNames},
                                                 {"output levels", ids.outputLevel},
                                                 {"output delays", ids.outputDelay},
                                                 {"limiters", ids.limiter},
                                                 {"output names", ids.outputNames},
                                                 {"mixing", ids.mixing},
                                                 {"advanced mixing", ids.advancedMixer},
                                                 {"pink noise", ids.pinkNoise},
                                                 {"DSP capacity", ids.dspCapacity},
                                                 {"security", ids.security},
                                                 {"memories", ids.memory},
                                                 {"logic", ids.logic},
                                                 {"clock events", ids.timer}};
  for (const auto& [name, node] : windows) {
    if (node == NodeIds::kAbsent) continue;
    SCOPED_TRACE(name);
    ovtest::ReportedErrors().clear();
    bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress).Times(sim::Fault::kForever));
    editWindow->OpenChildWindow(node);
    ASSERT_NE(editWindow->ChildWindow(node), nullptr);
    EXPECT_THAT(TemplateFigures(*editWindow->ChildWindow(node)), IsEmpty());
    for (int pause = 0; pause < 2; ++pause) {
      ui::test::PumpIdle(20);
      PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    }
    ui::test::RestIdle();
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u)
        << testing::PrintToString(ovtest::ReportedErrors());
    bus.bus.ClearFaults();
    if (ui::Window* window = editWindow->ChildWindow(node)) window->CloseWindow(ui::kIdCancel);
    ui::test::PumpMessages();
    // The unit answers again: the next window opens on a unit not yet told of.
    unit->IdlePolling().Answered();
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, UnitPollingOfEachModelTest,
                         testing::Values(sim::familyov::Model::k8148, sim::familyov::Model::k8126),
                         [](const auto& info) {
                           return info.param == sim::familyov::Model::k8148 ? "Ordavinex48"
                                                                            : "Ordavinex26";
                         });

TEST(VirtualUnitPollingTest, AVirtualUnitsLevelWindowsNeverPoll) {
  auto virtualUnit = ovtest::NewVirtual<IQDevice8148>(8);
  TEdit8148Window editWindow(nullptr, *virtualUnit);
  editWindow.Create();
  editWindow.OpenChildWindow(editWindow.Ids().outputLevel);
  editWindow.OpenChildWindow(editWindow.Ids().inputLevel);
  ASSERT_NE(editWindow.ChildWindow(editWindow.Ids().outputLevel), nullptr);
  EXPECT_EQ(editWindow.Poller().Count(), 0u);
  ChannelMeter meter(*virtualUnit, 0);
  LiveValueRegistration registration(editWindow.Poller(), meter);
  virtualUnit->TakeTrace();
  ui::test::PumpIdle(10);
  EXPECT_TRUE(virtualUnit->TakeTrace().empty());
}

}  // namespace
}  // namespace namespaceOV
