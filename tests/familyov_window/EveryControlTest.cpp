// Every control of every window of a unit, changed while the unit takes the change, refuses it,
// loses the answer after carrying it out, and loses the request: one report per failed change,
// never a value the unit refused, unknown rather than a value in doubt, and, once the unit
// answers, every open window as a freshly opened one shows it.

#include <gtest/gtest.h>

#include <iomanip>
#include <algorithm>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "bus/PollBackoff.h"
#include "familyov/channels/TGasDialog.h"
#include "familyov/channels/TLastMemoryDialog.h"
#include "familyov/channels/TLimiterWindow.h"
#include "familyov/unit/TEditModelWindows.h"
#include "familyov/unit/TRTCWindows.h"
#include "platform/ui/Button.h"
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

// A different value of the field's kind: its number one more, in the same form, or a name of the
// test's own.
std::optional<std::string> Typed(ui::Window& field) {
  const std::string text = field.Text();
  static const std::regex kNumber(R"(-?\d+(\.(\d+))?)");
  std::smatch number;
  if (!std::regex_search(text, number, kNumber)) return text == "Kick" ? "Snare" : "Kick";
  std::ostringstream next;
  next << std::fixed << std::setprecision(static_cast<int>(number[2].length()))
       << std::stod(number[0]) + 1.0;
  return number.prefix().str() + next.str() + number.suffix().str();
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

// Read-outs that the windows poll move on between two looks at an unchanged unit: the unit's
// clock, a limiter's gain reduction, the DSP load.
bool IsPolled(ui::Window& control) {
  const auto* shown = dynamic_cast<ui::Control*>(&control);
  if (shown == nullptr) return false;
  ui::Window* pane = control.Parent();
  return (shown->Id() == ovfunctions_res::kClockDisplay &&
          dynamic_cast<TTimerDialog*>(pane) != nullptr) ||
         (shown->Id() == ovprocessing_res::kLimMeterText &&
          dynamic_cast<TLimiterDialog*>(pane) != nullptr) ||
         dynamic_cast<TGasDialog*>(pane) != nullptr;
}

// The summary's mark of settings that differ from every memory's: a write in doubt sets it, as the
// unit may have changed.
bool IsModifiedMark(ui::Window& control) {
  const auto* lamp = dynamic_cast<ui::Control*>(&control);
  return lamp != nullptr && lamp->Id() == ovsummary_res::kModifiedLamp &&
         dynamic_cast<TLastMemoryDialog*>(control.Parent()) != nullptr;
}

bool OpensADialog(ui::Window& control) {
  // A push button opens a dialog or runs a command of its own; the walk changes values alone.
  return dynamic_cast<ui::PushButton*>(&control) != nullptr;
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
  // What every open window shows, each line led by its window's slot; `unmarked` leaves out the
  // mark of modified settings.
  std::vector<std::string> Shown(bool unmarked = false) {
    const auto leftOut = [unmarked](ui::Window& control) {
      return IsPolled(control) || (unmarked && IsModifiedMark(control));
    };
    std::vector<std::string> shown{edit->Text()};
    for (int slot = 0; slot < TEditOVWindow::kChildSlots; ++slot) {
      if (ui::Window* child = edit->ChildWindow(slot)) {
        for (const std::string& line : testsupport::ShownControls(*child, leftOut)) {
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
    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle(20);
    ui::test::RestIdle();
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
  const testsupport::SweepOptions options{.skip = OpensADialog, .typed = Typed};
  const std::vector<testsupport::ControlChange> changes = testsupport::ChangesOf(Tested(), options);
  EXPECT_FALSE(changes.empty());
  for (const testsupport::ControlChange& change : changes) {
    ui::Window* control = testsupport::ControlAt(Tested(), change.path);
    // A change before may have turned a function off, and its settings with it.
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled()) continue;
    SCOPED_TRACE("control " + std::to_string(&change - changes.data()) + ": " + change.name);
    const std::vector<std::string> before = Shown(mode.failure && !mode.failure->carriedOut);
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
      const std::vector<std::string> unmarked = Shown(true);
      EXPECT_TRUE(unmarked == before) << Differences(unmarked, before);
      continue;
    }
    EXPECT_NE(settled, before) << "the change showed nowhere";
    const std::vector<std::string> fresh = Fresh();
    EXPECT_TRUE(settled == fresh) << Differences(settled, fresh);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWindow, EveryControlTest,
    testing::Combine(
        testing::Values(WindowCase{"Summary", Model::k8148, &NodeIds::summary},
                        WindowCase{"Filters", Model::k8148, &NodeIds::firstChannel},
                        WindowCase{"Linking", Model::k8148, &NodeIds::linking},
                        WindowCase{"Crossovers", Model::k8148, &NodeIds::crossovers},
                        WindowCase{"InputLevels", Model::k8148, &NodeIds::inputLevel},
                        WindowCase{"InputDelays", Model::k8148, &NodeIds::inputDelay},
                        WindowCase{"Compressors", Model::k8148, &NodeIds::compressors},
                        WindowCase{"InputNames", Model::k8148, &NodeIds::inputNames},
                        WindowCase{"OutputLevels", Model::k8148, &NodeIds::outputLevel},
                        WindowCase{"OutputDelays", Model::k8148, &NodeIds::outputDelay},
                        WindowCase{"Limiters", Model::k8148, &NodeIds::limiter},
                        WindowCase{"OutputNames", Model::k8148, &NodeIds::outputNames},
                        WindowCase{"Mixing", Model::k8148, &NodeIds::mixing},
                        WindowCase{"AdvancedMixing", Model::k8148, &NodeIds::advancedMixer},
                        WindowCase{"PinkNoise", Model::k8148, &NodeIds::pinkNoise},
                        WindowCase{"Memory", Model::k8148, &NodeIds::memory},
                        WindowCase{"Logic", Model::k8148, &NodeIds::logic},
                        WindowCase{"Timer", Model::k8148, &NodeIds::timer},
                        WindowCase{"TwoInputOutputLevels", Model::k8126, &NodeIds::outputLevel},
                        WindowCase{"TwoInputSummary", Model::k8126, &NodeIds::summary}),
        testing::ValuesIn(kModes)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace namespaceOV
