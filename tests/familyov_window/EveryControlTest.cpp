// Every control of every window of a unit, changed while the unit takes the change, refuses it,
// loses the answer after carrying it out, and loses the request: one report per failed change,
// never a value the unit refused, unknown rather than a value in doubt, and, once the unit
// answers, every open window as a freshly opened one shows it.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "familyov/channels/TAdvMixerWindow.h"
#include "familyov/channels/TCompressorWindow.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLastMemoryDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/unit/LogicMap.h"
#include "familyov/unit/LogicPanes.h"
#include "familyov/unit/MemoryPanes.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TRTCWindows.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvFunctionIds.h"
#include "resources/FamilyOvProcessingIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using sim::familyov::Model;

constexpr int kAddress = 5;
constexpr int kClockPresentObject = 0x3E;
constexpr int kCompressorOptionObject = 0x4C;

struct WindowCase {
  const char* name;
  Model model;
  int NodeIds::*node;
};

// The unit takes the change, or fails it in one of the ways of `ovtest::kWriteFailures`.
struct Mode {
  const char* name;
  std::optional<ovtest::WriteFailure> failure;
};

const Mode kModes[] = {{"Taken", std::nullopt},
                       {ovtest::kWriteFailures[0].name, ovtest::kWriteFailures[0]},
                       {ovtest::kWriteFailures[1].name, ovtest::kWriteFailures[1]},
                       {ovtest::kWriteFailures[2].name, ovtest::kWriteFailures[2]}};

void PrintTo(const WindowCase& window, std::ostream* out) { *out << window.name; }
void PrintTo(const Mode& mode, std::ostream* out) { *out << mode.name; }

// The windows a tree opens, each with the nodes of its model.
constexpr int NodeIds::*kWindowNodes[] = {
    &NodeIds::summary,     &NodeIds::firstChannel,  &NodeIds::linking,     &NodeIds::crossovers,
    &NodeIds::inputLevel,  &NodeIds::inputDelay,    &NodeIds::compressors, &NodeIds::inputNames,
    &NodeIds::outputLevel, &NodeIds::outputDelay,   &NodeIds::limiter,     &NodeIds::outputNames,
    &NodeIds::mixing,      &NodeIds::advancedMixer, &NodeIds::pinkNoise,   &NodeIds::dspCapacity,
    &NodeIds::memory,      &NodeIds::logic,         &NodeIds::timer};

// A line of `ShownControls` whose value the program does not know: an empty or "?" text, a list
// with nothing chosen.
bool ShowsUnknown(std::string line) {
  for (const char* mark : {" (hidden)", " (greyed)"}) {
    if (line.ends_with(mark)) line.resize(line.size() - std::string(mark).size());
  }
  const std::size_t value = line.find(": ");
  if (value == std::string::npos) return false;
  const std::string shown = line.substr(value + 2);
  return shown.empty() || shown == "?" || shown.starts_with("none of ");
}

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

// The summary's mark of settings that differ from every memory's, drawn by its idle pass.
bool IsModifiedMark(ui::Window& control) {
  const auto* lamp = dynamic_cast<ui::Control*>(&control);
  return lamp != nullptr && lamp->Id() == ovsummary_res::kModifiedLamp &&
         dynamic_cast<TLastMemoryDialog*>(control.Parent()) != nullptr;
}

// Read-outs that the windows poll move on between two looks at an unchanged unit: the unit's
// clock, a limiter's gain reduction, the DSP load, the mark of modified settings.
bool IsPolled(ui::Window& control) {
  const auto* shown = dynamic_cast<ui::Control*>(&control);
  if (shown == nullptr) return false;
  ui::Window* pane = control.Parent();
  return (shown->Id() == ovfunctions_res::kClockDisplay &&
          dynamic_cast<TTimerDialog*>(pane) != nullptr) ||
         (shown->Id() == ovprocessing_res::kLimMeterText &&
          dynamic_cast<TLimiterDialog*>(pane) != nullptr) ||
         dynamic_cast<TGasDialog*>(pane) != nullptr || IsModifiedMark(control);
}

// What the walk leaves alone: lamps that only show (the mark of modified settings, a memory's
// "last recalled"); the logic input bits, which choose the input shown and write nothing; spins
// whose step up the simulated unit's value leaves where it is (a compressor's threshold at its
// top, an advanced mixer's crosspoint that is off).
bool LeftAlone(ui::Window& control) {
  const auto* shown = dynamic_cast<ui::Control*>(&control);
  if (shown == nullptr) return false;
  const int id = shown->Id();
  ui::Window* pane = control.Parent();
  return IsModifiedMark(control) ||
         (id == ovfunctions_res::kMemoryLamp && dynamic_cast<TMemoryDialog*>(pane) != nullptr) ||
         // The input chosen, by its bits or its spin, is the program's alone: nothing is written.
         (id == ovfunctions_res::kLogicInUpDown && dynamic_cast<TLogicDialog*>(pane) != nullptr) ||
         (id >= ovfunctions_res::kFirstLogicInBit &&
          id < ovfunctions_res::kFirstLogicInBit + kLogicBits &&
          dynamic_cast<TLogicDialog*>(pane) != nullptr) ||
         (id == ovprocessing_res::kCompThresholdSpin &&
          dynamic_cast<TCompressorDialog*>(pane) != nullptr) ||
         (id == ovprocessing_res::kCellGainSpin && dynamic_cast<TAdvMixerDialog*>(pane) != nullptr);
}

class EveryControlTest : public testing::TestWithParam<std::tuple<WindowCase, Mode>> {
 protected:
  EveryControlTest() {
    bus.port.SetRetries(0);
    const Model model = std::get<0>(GetParam()).model;
    const int unit = bus.AddModelUnit(model, kAddress);
    bus.StoreByte(unit, kCompressorOptionObject, 0, 1);
    bus.StoreByte(unit, kClockPresentObject, 0, 1);
    device = &dynamic_cast<IQDeviceOrdavinex&>(
        *bus.RollCall({model == Model::k8148 ? static_cast<IQDeviceType*>(&type8148)
                                             : static_cast<IQDeviceType*>(&type8126)})
             .at(0));
    device->autoOpenSummary = 0;
    ovtest::ReportedErrors().clear();
  }

  void OpenAll() {
    if (auto* unit = dynamic_cast<IQDevice8148*>(device)) {
      edit = std::make_unique<TEdit8148Window>(nullptr, *unit);
    } else {
      edit = std::make_unique<TEdit8126Window>(nullptr, dynamic_cast<IQDevice8126&>(*device));
    }
    edit->Create();
    for (int NodeIds::*node : kWindowNodes) {
      if (edit->Ids().*node != NodeIds::kAbsent) edit->OpenChildWindow(edit->Ids().*node);
    }
  }
  // The window under test, found again after the windows were opened anew.
  ui::Window& Tested() {
    ui::Window* window = edit->ChildWindow(edit->Ids().*std::get<0>(GetParam()).node);
    if (window == nullptr) throw std::logic_error("the tree opens no such window");
    return *window;
  }
  // What every open window shows, each line led by its window's slot.
  std::vector<std::string> Shown() {
    std::vector<std::string> shown{edit->Text()};
    for (int slot = 0; slot < TEditOVWindow::kChildSlots; ++slot) {
      if (ui::Window* child = edit->ChildWindow(slot)) {
        for (const std::string& line : testsupport::ShownControls(*child, IsPolled)) {
          shown.push_back(std::to_string(slot) + "/" + line);
        }
      }
    }
    return shown;
  }
  // The same windows opened anew on a unit read whole again.
  std::vector<std::string> Fresh() {
    edit.reset();
    ui::test::PumpMessages();
    device->InvalidateValues();
    OpenAll();
    // The windows' idle passes show what they poll.
    ui::test::PumpIdle(20);
    ui::test::RestIdle();
    return Shown();
  }
  // The change, and any question it asks answered yes; a failure told in a closing box counts as
  // its report.
  std::size_t Change(const testsupport::ControlChange& change) {
    ovtest::ReportedErrors().clear();
    ui::PromptScript script([](const std::string&) {});
    for (int i = 0; i < 4; ++i) script.AnswerMessageBox(ui::kIdOk);
    testsupport::Apply(Tested(), change);
    return ovtest::ReportedErrors().size() + testsupport::FailuresToldInBoxes(script);
  }
  void AnswerAgain() {
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
  }

  ovtest::FamilyBus bus;
  IQ8148Type type8148;
  IQ8126Type type8126;
  IQDeviceOrdavinex* device = nullptr;
  std::unique_ptr<TEditOVWindow> edit;
};

TEST_P(EveryControlTest, ShowsWhatTheUnitHoldsWithOneReport) {
  const Mode& mode = std::get<1>(GetParam());
  OpenAll();
  // Typed fields keep their own rule (controls::CommitEntries), tested with each window.
  const testsupport::SweepOptions options{.skip = LeftAlone};
  const std::vector<testsupport::ControlChange> changes = testsupport::ChangesOf(Tested(), options);
  EXPECT_FALSE(changes.empty());
  for (const testsupport::ControlChange& change : changes) {
    ui::Window* control = testsupport::ControlAt(Tested(), change.path);
    // A change before may have turned a function off, and its settings with it.
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled()) continue;
    SCOPED_TRACE("control " + std::to_string(&change - changes.data()) + ": " + change.name);
    const std::vector<std::string> before = Shown();
    if (mode.failure) bus.bus.AddFault(mode.failure->fault.ForUnit(kAddress));
    EXPECT_EQ(Change(change), mode.failure ? 1u : 0u);
    const std::vector<std::string> changed = Shown();
    if (mode.failure && mode.failure->refused) {
      EXPECT_TRUE(changed == before) << Differences(changed, before);
      bus.bus.ClearFaults();
      continue;
    }
    AnswerAgain();
    const std::vector<std::string> settled = Shown();
    EXPECT_EQ(ovtest::ReportedErrors().size(), mode.failure ? 1u : 0u);
    if (mode.failure) {
      // While the unit was in doubt the window showed what it holds, or unknown.
      EXPECT_EQ(changed.size(), settled.size());
      const std::string tested = std::to_string(edit->Ids().*std::get<0>(GetParam()).node) + "/";
      for (std::size_t i = 0; i < changed.size() && i < settled.size(); ++i) {
        if (changed[i].starts_with(tested) && changed[i] != settled[i] &&
            !ShowsUnknown(changed[i])) {
          ADD_FAILURE() << "in doubt showed " << changed[i] << ", the unit holds " << settled[i];
        }
      }
    }
    if (mode.failure && !mode.failure->carriedOut) {
      EXPECT_TRUE(settled == before) << Differences(settled, before);
      continue;
    }
    EXPECT_NE(settled, before) << "the change showed nowhere";
  }
  // A window that missed a change the unit took keeps showing what the unit no longer holds.
  const std::vector<std::string> shown = Shown();
  const std::vector<std::string> fresh = Fresh();
  EXPECT_TRUE(shown == fresh) << Differences(shown, fresh);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWindow, EveryControlTest,
    testing::Combine(
        // Not here: a channel's filters and the crossovers (their own tables change filters), the
        // linking window (its links live in the program alone), the timer (no event to edit), the
        // names and memories (typed fields alone, each window's tests hold them to their rule).
        testing::Values(WindowCase{"Summary", Model::k8148, &NodeIds::summary},
                        WindowCase{"InputLevels", Model::k8148, &NodeIds::inputLevel},
                        WindowCase{"InputDelays", Model::k8148, &NodeIds::inputDelay},
                        WindowCase{"Compressors", Model::k8148, &NodeIds::compressors},
                        WindowCase{"OutputLevels", Model::k8148, &NodeIds::outputLevel},
                        WindowCase{"OutputDelays", Model::k8148, &NodeIds::outputDelay},
                        WindowCase{"Limiters", Model::k8148, &NodeIds::limiter},
                        WindowCase{"Mixing", Model::k8148, &NodeIds::mixing},
                        WindowCase{"AdvancedMixing", Model::k8148, &NodeIds::advancedMixer},
                        WindowCase{"PinkNoise", Model::k8148, &NodeIds::pinkNoise},
                        WindowCase{"Logic", Model::k8148, &NodeIds::logic},
                        WindowCase{"TwoInputOutputLevels", Model::k8126, &NodeIds::outputLevel}),
        testing::ValuesIn(kModes)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace namespaceOV
