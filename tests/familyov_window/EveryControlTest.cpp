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
#include "tests/support/ControlTable.h"
#include "tests/support/FaultKinds.h"
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

const std::array<testsupport::Condition, 5> kConditions =
    testsupport::Conditions(ovtest::kRefusalCode);

void PrintTo(const WindowCase& window, std::ostream* out) { *out << window.name; }

// The windows a tree opens, each with the nodes of its model.
constexpr int NodeIds::*kWindowNodes[] = {
    &NodeIds::summary,     &NodeIds::firstChannel,  &NodeIds::linking,     &NodeIds::crossovers,
    &NodeIds::inputLevel,  &NodeIds::inputDelay,    &NodeIds::compressors, &NodeIds::inputNames,
    &NodeIds::outputLevel, &NodeIds::outputDelay,   &NodeIds::limiter,     &NodeIds::outputNames,
    &NodeIds::mixing,      &NodeIds::advancedMixer, &NodeIds::pinkNoise,   &NodeIds::dspCapacity,
    &NodeIds::memory,      &NodeIds::logic,         &NodeIds::timer};

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

class EveryControlTest
    : public testing::TestWithParam<std::tuple<WindowCase, testsupport::Condition>> {
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
  OpenAll();
  const std::string tested = std::to_string(edit->Ids().*std::get<0>(GetParam()).node) + "/";
  testsupport::CheckEveryChange(
      {.tested = [this]() -> ui::Window& { return Tested(); },
       .shown = [this] { return Shown(); },
       .inTested = [tested](const std::string& line) { return line.starts_with(tested); },
       .fresh = [this] { return Fresh(); },
       .fail = [this](const sim::Fault& fault) { bus.bus.AddFault(fault.ForUnit(kAddress)); },
       .answerAgain = [this] { AnswerAgain(); },
       .takeReports =
           [] {
             const std::size_t told = ovtest::ReportedErrors().size();
             ovtest::ReportedErrors().clear();
             return told;
           },
       // Typed fields keep their own rule (controls::CommitEntries), tested with each window.
       .sweep = {.skip = LeftAlone}},
      std::get<1>(GetParam()));
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
        testing::ValuesIn(kConditions)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace namespaceOV
