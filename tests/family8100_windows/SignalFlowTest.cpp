#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/TLEDButton.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TLimiterDialog.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/EventLoopCpu.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

class SignalFlowTest : public testing::Test {
 protected:
  void SetUp() override { test8100::ReportedErrors().clear(); }
  void TearDown() override { ui::test::PumpMessages(); }

  IQDevice8100& AddUnit(Model model) {
    const int index = sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = model, .address = 7, .unitName = "Hall"});
    bus.bus.StoreElement(index, g8100LeftAttenuation.GetId(), 0, {7});
    bus.bus.StoreElement(index, g8100Routing.GetId(), 0, {0, 0, 0, 0});
    return *OnlyUnit(bus);
  }

  OlderFamilyBus bus;
};

TEST(SignalFlowMeterTest, ReadingsMapToDecibelsAgainstFullScale) {
  EXPECT_FLOAT_EQ(TSigFlowDialog::MeterDb(0), -160.0f);
  EXPECT_FLOAT_EQ(TSigFlowDialog::MeterDb(524287), 0.0f);
  EXPECT_NEAR(TSigFlowDialog::MeterDb(262144), -6.02f, 0.01f);
}

TEST_F(SignalFlowTest, ShowsTheUnitAndWritesRoutingAndMutes) {
  IQDevice8100& unit = AddUnit(Model::kX);
  TSigFlowDialog dialog(nullptr, unit);
  dialog.Create();
  EXPECT_EQ(dialog.Text(), "Signal Flow - (7) Hall");
  EXPECT_EQ(ui::test::ControlOf(dialog, f8100res::kLeftAttenuationButton).Text(), "-3.5 dB");
  EXPECT_EQ(ui::test::ControlOf(dialog, f8100res::kRightAttenuationButton).Text(), "0.0 dB");
  bus.TakeTrace();
  ui::test::Click(dialog, f8100res::kRouteBox1);
  ui::test::Click(dialog, f8100res::kLeftMuteSwitch);
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W10 00000100", "R06", "W0A 01"));
  EXPECT_TRUE(dialog.Net().GetRoutes().risingDiagonal);
  EXPECT_FALSE(dialog.Net().GetRoutes().upperStraight);

  std::filesystem::create_directories(GALLERY_DIR);
  EXPECT_TRUE(ui::test::GrabPng(dialog, GALLERY_DIR "/signal-flow-8100.png"));
  if (std::getenv("TELVO_UPDATE_DOCS") != nullptr) {
    EXPECT_TRUE(ui::test::GrabPng(dialog, DOCS_DIR "/signal-flow-8100.png"));
  }
}

// One transaction per idle pass, so input is served between them; the first failed read pauses
// the meters with one error, and they go on by themselves once the unit answers.
TEST_F(SignalFlowTest, MetersPollOneTransactionPerIdlePassAndPauseAtAFailure) {
  IQDevice8100& unit = AddUnit(Model::kBase);
  TSigFlowDialog dialog(nullptr, unit);
  dialog.Create();
  bus.TakeTrace();
  // A hidden page leaves the bus alone.
  ui::test::PumpIdle(3);
  EXPECT_TRUE(bus.TakeTrace().empty());
  dialog.Show();
  std::vector<std::vector<std::string>> passes;
  for (int pass = 0; pass < 3; ++pass) {
    ui::test::PumpIdle(1);
    passes.push_back(bus.TakeTrace());
  }
  EXPECT_THAT(passes, ElementsAre(ElementsAre("R06"), ElementsAre("R1F"), ElementsAre("R20")));
  // The simulated signal moves within the meter's scale.
  EXPECT_GT(dialog.Meter(0).Level(), TSigFlowDialog::kMeterFloorDb);
  EXPECT_LT(dialog.Meter(0).Level(), TSigFlowDialog::kMeterTopDb);

  bus.bus.AddFault(sim::Fault::ErrorObject(3));
  ui::test::PumpIdle(10);
  EXPECT_FALSE(dialog.Polling());
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  bus.bus.ClearFaults();
  bus.TakeTrace();
  ui::test::PumpIdle(10);
  EXPECT_TRUE(bus.TakeTrace().empty()) << "the pause lasts";
  PollBackoff::Clock::Advance(PollBackoff::kFirstPause);
  // The wake-up that the failure set for the end of its pause runs in real time: dropped here, it
  // cannot add a pass to the five counted below however slowly the machine got this far.
  ui::test::RestIdle();
  ui::test::PumpIdle(5);
  EXPECT_EQ(bus.TakeTrace().size(), 5u);
  EXPECT_TRUE(dialog.Polling());
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
}

// The meters and the limiters' gain reduction show unknown while the unit is silent, whichever of
// their windows finds it so, never their last readings as if the signal held still; once the unit
// answers, its live values again. An off limiter reads no gain reduction, its bars standing full
// as nothing is limited: a reading all the same, unknown while the unit is silent, as are the bars
// beside an "Enable Limiting" lamp with no state (the limiter opened on the silent unit).
TEST_F(SignalFlowTest, MetersAndGainReductionShowUnknownWhileTheUnitIsSilent) {
  const struct {
    const char* name;
    uint32_t mode;
    bool openedSilent;  // the limiter opens once the unit is silent
  } cases[] = {{"limiting on", 0xFF, false},
               {"limiting off", 0, false},
               {"limiting off, opened on the silent unit", 0, true}};
  IQDevice8100& unit = AddUnit(Model::kX);
  // Thresholds at the top: nothing is limited, and both bars stand full.
  g8100LeftThreshold.Write(unit, 524287);
  g8100RightThreshold.Write(unit, 524287);
  for (const auto& [name, mode, openedSilent] : cases) {
    SCOPED_TRACE(name);
    test8100::ReportedErrors().clear();
    g8100LimiterMode.Write(unit, mode);
    TSigFlowDialog dialog(nullptr, unit);
    dialog.Create();
    dialog.Show();
    const auto limiter = [&]() -> TLimiterDialog& {
      auto& shown = dynamic_cast<TLimiterDialog&>(*dialog.SubDialog(f8100res::kLeftLimiterButton));
      if (!shown.IsCreated()) ui::test::Click(dialog, f8100res::kLeftLimiterButton);
      return shown;
    };
    const auto unknown = [&] {
      int shown = 0;
      for (int m = 0; m < TSigFlowDialog::kMeterCount; ++m) {
        shown += dialog.Meter(m).ShowsUnknown();
      }
      for (int side : {0, 1}) shown += limiter().Bar(side).ShowsUnknown();
      return shown;
    };
    const auto full = [&] {
      return limiter().Bar(0).Value() == TLimiterDialog::kBarRange &&
             limiter().Bar(1).Value() == TLimiterDialog::kBarRange;
    };
    if (!openedSilent) {
      limiter();
      ui::test::PumpIdle(12);
      EXPECT_EQ(unknown(), 0);
      EXPECT_TRUE(full());
    }
    bus.bus.AddFault(sim::Fault::Silence().ForUnit(7));
    if (openedSilent) {
      // Nothing the program kept of the unit stands in for its reads.
      unit.ResetValueStore();
      limiter();
    }
    ui::test::PumpIdle(2);
    EXPECT_EQ(unknown(), TSigFlowDialog::kMeterCount + 2);
    const auto& lamp =
        dynamic_cast<const TLEDButton&>(ui::test::ControlOf(limiter(), f8100res::kEnableLed));
    EXPECT_EQ(lamp.GetState() == TLEDButton::kUnknownState, openedSilent);
    bus.bus.ClearFaults();
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::RestIdle();
    ui::test::PumpIdle(12);
    EXPECT_EQ(unknown(), 0);
    EXPECT_TRUE(full());
    EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
  }
}

// A command's quiet read found the unit silent: the first idle pass that finds it answering reads
// the filters and the page's values again, whether the page is seen or hidden behind the limiter,
// and only that one.
TEST_F(SignalFlowTest, TheFirstAnsweredPollAfterASilenceReadsTheListsAgain) {
  IQDevice8100& unit = AddUnit(Model::kX);
  testsupport8100::AddFilter(unit, testsupport8100::Made<TParametricFilter>(kLeftInputBank, 500));
  g8100LimiterMode.Write(unit, 0xFF);
  const struct {
    bool byLimiter;
    uint8_t attenuation;
    const char* shown;
    std::size_t polls;  // per idle pass
  } cases[] = {{false, 9, "-4.5 dB", 1}, {true, 7, "-3.5 dB", 2}};
  for (const auto& [byLimiter, attenuation, shown, polls] : cases) {
    SCOPED_TRACE(byLimiter ? "the limiter is open" : "the page alone");
    TEdit8100Window window(nullptr, unit);
    window.Create();
    TSigFlowDialog& dialog = window.SignalFlow();
    if (byLimiter) ui::test::Click(dialog, f8100res::kLeftLimiterButton);
    bus.bus.AddFault(sim::Fault::Silence().ForUnit(7));
    EXPECT_FALSE(unit.ReadAgainQuietly());
    bus.bus.ClearFaults();
    EXPECT_TRUE(unit.ListsStale());
    EXPECT_TRUE(unit.Filters().empty());
    // Changed while the unit was thought silent: the page shows it once read again.
    bus.bus.StoreElement(0, g8100LeftAttenuation.GetId(), 0, {attenuation});
    // The silence was reported with the quiet read's failure: the polls rest for a while first.
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(1);
    ui::test::PumpMessages();
    EXPECT_FALSE(unit.ListsStale());
    EXPECT_EQ(unit.Filters().size(), 1u);
    EXPECT_EQ(ui::test::ControlOf(dialog, f8100res::kLeftAttenuationButton).Text(), shown);
    bus.TakeTrace();
    ui::test::PumpIdle(2);
    EXPECT_EQ(bus.TakeTrace().size(), 2 * polls) << "the polls alone";
    EXPECT_TRUE(test8100::ReportedErrors().empty());
    window.CloseWindow();
    ui::test::PumpMessages();
  }
}

// The bus dies with the page and every dialog it opens polling: one report for the unit, then the
// program waits at next to no cost.
TEST_F(SignalFlowTest, ADeadBusIsReportedOnceAndThenCostsNothing) {
  IQDevice8100& unit = AddUnit(Model::kX);
  TSigFlowDialog dialog(nullptr, unit);
  dialog.Create();
  dialog.Show();
  for (int button :
       {f8100res::kLeftLimiterButton, f8100res::kRightLimiterButton, f8100res::kLeftDelayButton,
        f8100res::kLeftInputButton, f8100res::kLeftOutputButton}) {
    ui::test::Click(dialog, button);
  }
  ui::test::PumpIdle(12);
  ASSERT_TRUE(test8100::ReportedErrors().empty());
  bus.bus.HangUp();
  EXPECT_TRUE(testsupport::RunLoopUntil([] { return !test8100::ReportedErrors().empty(); }));
  EXPECT_LT(testsupport::CpuShareWhileWaiting(std::chrono::milliseconds(1500)), 0.10);
  EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
}

// A window filled while the unit did not answer shows unknown. Once the unit answers, a change
// made before any idle pass writes that control alone, what the unit keeps with it in one value as
// the unit holds it; when the unit does not give that value, nothing is written and the failure is
// told once; a press on a thumb that moves nothing changes nothing. Left to the idle passes, the
// window shows what the unit holds.
TEST_F(SignalFlowTest, AWindowFilledOnASilentUnitChangesOnlyWhatTheUserChanged) {
  using namespace f8100res;
  const auto click = [](int id) { return [id](ui::Window& w) { ui::test::Click(w, id); }; };
  // The left attenuation's thumb pressed, dragged to `position` if there is one, and let go.
  const auto leftThumb = [](std::optional<int> position) {
    return [position](ui::Window& w) {
      auto& slider =
          *qobject_cast<QSlider*>(ui::test::ControlOf(w, controls_res::kFirstTrackbar).Widget());
      slider.setSliderDown(true);
      if (position) slider.setSliderPosition(*position);
      QTest::mouseRelease(&slider, Qt::LeftButton);
      slider.setSliderDown(false);
    };
  };
  const struct {
    const char* name;
    // On the signal flow; 0 for the page, filled again, and -1 for the memory page, which
    // changes nothing here: what the user types goes to the unit as the page closes.
    int button;
    std::vector<std::pair<const UCodeObject*, std::vector<uint8_t>>> holds;
    std::function<void(ui::Window&)> change;
    std::vector<std::string> writes;
    const UCodeObject* read;  // what the write is built on; none for a change that reads nothing
  } rows[] = {
      {"routing, 0, 2 and 3 on",
       0,
       {{&g8100Routing, {1, 1, 0, 1}}},
       click(kRouteBox1),
       {"W10 01010101"},
       &g8100Routing},
      {"attenuation locked at -3.5 and -50 dB",
       kLeftAttenuationButton,
       {{&g8100LeftAttenuation, {7}}, {&g8100RightAttenuation, {100}}},
       leftThumb(10),  // -5 dB
       {"W0C 0A", "W0B 67"},
       &g8100RightAttenuation},
      {"attenuation locked at -3.5 and -50 dB, the left thumb pressed where it rests",
       kLeftAttenuationButton,
       {{&g8100LeftAttenuation, {7}}, {&g8100RightAttenuation, {100}}},
       leftThumb(std::nullopt),
       {},
       nullptr},
      {"attenuation locked at -3.5 and -50 dB, the left stepped by an arrow",
       kLeftAttenuationButton,
       {{&g8100LeftAttenuation, {7}}, {&g8100RightAttenuation, {100}}},
       [](ui::Window& w) {
         ui::test::PressKey(ui::test::ControlOf(w, controls_res::kFirstTrackbar), Qt::Key_Right);
       },
       {"W0C 08", "W0B 65"},
       &g8100LeftAttenuation},
      {"limiter on, right knee soft, left soft chosen",
       kLeftLimiterButton,
       {{&g8100LimiterMode, {0, 0xFF, 0, 0xFF}}},
       click(kLeftSoftKnee),
       {"W36 FFFF00FF"},
       &g8100LimiterMode},
      {"memory page", -1, {}, nullptr, {}, nullptr},
  };
  enum class Answer { kAnswering, kReadFails, kIdlePasses };
  IQDevice8100& unit = AddUnit(Model::kX);
  unit.attenuationLinked = true;
  for (const auto& row : rows) {
    for (const Answer answer : {Answer::kAnswering, Answer::kReadFails, Answer::kIdlePasses}) {
      if (!row.change && answer != Answer::kIdlePasses) continue;
      if (!row.read && answer == Answer::kReadFails) continue;
      SCOPED_TRACE(std::string(row.name) + ", case " + std::to_string(static_cast<int>(answer)));
      for (const auto& [object, bytes] : row.holds) {
        bus.bus.StoreElement(0, object->GetId(), 0, bytes);
      }
      unit.ResetValueStore();
      test8100::ReportedErrors().clear();
      TEdit8100Window window(nullptr, unit);
      window.Create();
      TSigFlowDialog& flow = window.SignalFlow();
      const auto fill = [&]() -> ui::Window& {
        if (row.button == 0) {
          flow.UpdateFromUnit();
          return flow;
        }
        if (row.button < 0) {
          window.Memory().Create();
          return window.Memory();
        }
        ui::test::Click(flow, row.button);
        return *flow.SubDialog(row.button);
      };
      // What the window shows filled while the unit answers.
      ui::Window& opened = fill();
      const std::vector<std::string> answered = testsupport::ShownControls(opened);
      if (row.button != 0) opened.CloseWindow();
      bus.bus.AddFault(sim::Fault::Silence().ForUnit(7));
      unit.ResetValueStore();
      ui::Window& shown = fill();
      bus.bus.ClearFaults();
      ASSERT_EQ(test8100::ReportedErrors().size(), 1u);
      const auto writes = [&] {
        bus.TakeTrace();
        row.change(shown);
        auto trace = bus.TakeTrace();
        std::erase_if(trace, [](const std::string& line) { return line[0] != 'W'; });
        return trace;
      };
      switch (answer) {
        case Answer::kAnswering:
          EXPECT_EQ(writes(), row.writes);
          EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
          break;
        case Answer::kReadFails:
          bus.bus.AddFault(sim::Fault::Silence()
                               .ForUnit(7)
                               .ForOpcode(sim::kOpcodeGet)
                               .ForObject(row.read->GetId()));
          EXPECT_TRUE(writes().empty());
          EXPECT_EQ(test8100::ReportedErrors().size(), 2u);
          bus.bus.ClearFaults();
          break;
        case Answer::kIdlePasses:
          PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
          ui::test::RestIdle();
          ui::test::PumpIdle(3);
          ui::test::PumpMessages();
          EXPECT_EQ(testsupport::ShownControls(shown), answered);
          EXPECT_EQ(test8100::ReportedErrors().size(), 1u);
          break;
      }
      window.CloseWindow();
      ui::test::PumpMessages();
    }
  }
}

TEST_F(SignalFlowTest, VirtualUnitNeverReadsItsMeters) {
  std::unique_ptr<IQDevice> device(bus.base.CreateDevice(&bus.manager, nullptr));
  TSigFlowDialog dialog(nullptr, dynamic_cast<IQDevice8100&>(*device));
  dialog.Create();
  ui::test::PumpIdle(10);
  EXPECT_FLOAT_EQ(dialog.Meter(0).Level(), TLogHotGauge2::kInitialLevelDb);
}

}  // namespace
