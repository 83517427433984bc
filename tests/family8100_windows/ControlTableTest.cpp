// Every control of every window of an older-family unit, changed while the unit refuses the write,
// while the write's answer is lost (the unit carried it out or never got it) and while the unit
// takes it: what each open window shows then, and once the unit answers.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "controls/TStereodBLevelDialog.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TDelayDialog.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Control.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/PollsResumed.h"

using namespace namespace8100;
using sim::family8100::Model;
using testsupport8100::WriteFailure;

namespace {

constexpr int kAddress = 4;
// The signal-flow buttons that open the windows the table walks, beside the unit's own pages.
constexpr int kOpened[] = {f8100res::kLeftAttenuationButton, f8100res::kLeftDelayButton,
                           f8100res::kLeftLimiterButton,     f8100res::kNoiseButton,
                           f8100res::kLeftInputButton,       f8100res::kRightOutputButton,
                           f8100res::kLowCrossoverButton};

// A window the table walks, with the windows within it: where it is found among the unit's
// windows and what goes into its fields.
struct TableWindow {
  const char* name;
  Model model;
  ui::Window* (*find)(TEdit8100Window& edit);
  std::map<int, std::string> typed;
};

// The controls the table leaves alone: the delay's units, which only choose what the delays are
// shown in, and the attenuation's lock box, which links the two sliders in the program.
bool WritesNothing(ui::Window& window) {
  const auto* control = dynamic_cast<const ui::Control*>(&window);
  if (control == nullptr) return false;
  const int id = control->Id();
  return (dynamic_cast<TDelayDialog*>(window.Parent()) != nullptr && id >= f8100res::kMsecButton &&
          id <= f8100res::kMsecButton + 2) ||
         (dynamic_cast<TStereodBLevelDialog*>(window.Parent()) != nullptr &&
          id == controls_res::kLockBox);
}

// The lines where `shown` and `expected` part.
std::string Differences(const std::vector<std::string>& shown,
                        const std::vector<std::string>& expected) {
  std::string text;
  for (std::size_t i = 0; i < std::max(shown.size(), expected.size()); ++i) {
    const std::string is = i < shown.size() ? shown[i] : "(none)";
    const std::string was = i < expected.size() ? expected[i] : "(none)";
    if (is != was) text += "\n  shows " + is + "\n  not    " + was;
  }
  return text;
}

ui::Window* SignalFlow(TEdit8100Window& edit) { return &edit.SignalFlow(); }

template <EditorView kView>
ui::Window* Editor(TEdit8100Window& edit) {
  return edit.SignalFlow().Editor(kView);
}

// A mode of the table: one of the three ways a write fails, or none, the unit taking it.
using Mode = std::optional<WriteFailure>;

std::string NameOf(const Mode& mode) { return mode ? testsupport8100::NameOf(*mode) : "Taken"; }

// A line of ShownControls that shows its value as unknown: an empty or "?" text, no list item,
// a radio button of a choice left open.
bool ShowsUnknown(std::string line) {
  for (const std::string mark : {" (hidden)", " (greyed)"}) {
    while (line.ends_with(mark)) line.resize(line.size() - mark.size());
  }
  return line.ends_with("text: ") || line.ends_with(": ?") || line.ends_with(" ?") ||
         line.find(" list: none of ") != std::string::npos ||
         (line.find(" radio ") != std::string::npos && line.ends_with("not ticked"));
}

void PrintTo(const TableWindow& window, std::ostream* out) { *out << window.name; }

// Each model's page has the buttons of what it has.
bool HasButton(ui::Window& page, int id) {
  for (ui::Window* child : page.Children()) {
    const auto* control = dynamic_cast<const ui::Control*>(child);
    if (control != nullptr && control->Id() == id) return true;
  }
  return false;
}

class ControlTableTest : public testing::TestWithParam<std::tuple<TableWindow, Mode>> {
 protected:
  ControlTableTest() {
    test8100::ReportedErrors().clear();
    RegisterBankEditor();
    RegisterCrossoverEditor();
    sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = std::get<0>(GetParam()).model, .address = kAddress, .unitName = "Hall"});
    unit = testsupport8100::OnlyUnit(bus);
    testsupport8100::AddFilter(*unit,
                               testsupport8100::Made<TParametricFilter>(kLeftInputBank, 1000));
    testsupport8100::AddFilter(*unit,
                               testsupport8100::Made<TLowpassFilter>(kRightOutputBank, 5000));
    if (unit->HasCrossovers()) {
      GuardedCrossoverEdit(*unit, [](CrossoverEdits& edits) {
        edits.ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
        edits.ChangeAlignment(CrossoverSide::High, kAlignmentBessel);
      });
    }
  }
  ~ControlTableTest() override {
    edit.reset();
    ui::test::PumpMessages();
    RegisterBankEditorMaker(nullptr);
    RegisterCrossoverMaker(nullptr);
  }

  // The unit's window with every window the table walks open, each filter bank showing its
  // filter's dialog.
  std::unique_ptr<TEdit8100Window> OpenAll() {
    auto window = std::make_unique<TEdit8100Window>(nullptr, *unit);
    window->Create();
    for (ui::Window* page : {static_cast<ui::Window*>(&window->Memory()),
                             static_cast<ui::Window*>(&window->Security())}) {
      page->Create();
      page->Show();
    }
    for (const int button : kOpened) {
      if (HasButton(window->SignalFlow(), button)) ui::test::Click(window->SignalFlow(), button);
    }
    ui::test::PumpMessages();
    return window;
  }

  // A read again brings new filter objects, and a bank's dialog goes with the old one: the bank
  // shows its filter again, as a click in its list does.
  void ShowFilterDialogs(TEdit8100Window& window) {
    for (ui::Window* frame : window.SignalFlow().Editors()) {
      auto* bank = dynamic_cast<TFilterDecoratedFrame*>(frame);
      if (bank == nullptr || bank->Editor().Parameters().Dialog() != nullptr) continue;
      TChannelParent& hub = bank->Editor().Hub();
      for (const auto& filter : unit->Filters()) {
        if (filter->bank != hub.Bank()) continue;
        hub.Broadcast(bankmsg::kSelectionChanged, hub.Bank(), FilterParam(filter.get()));
        ui::test::PumpMessages();
        break;
      }
    }
  }

  // What every open window of the unit shows: the unit's window holds its pages and the signal
  // flow's dialogs; the editors are windows of their own.
  std::vector<std::string> Shown(TEdit8100Window& window) {
    ShowFilterDialogs(window);
    std::vector<ui::Window*> windows{&window};
    for (ui::Window* editor : window.SignalFlow().Editors()) windows.push_back(editor);
    std::vector<std::string> shown;
    for (ui::Window* open : windows) {
      for (const std::string& line : testsupport::ShownControls(*open)) shown.push_back(line);
    }
    return shown;
  }

  // What the windows show when opened afresh on a unit read anew.
  std::vector<std::string> Fresh() {
    unit->ResetValueStore();
    unit->ReadAllParameters();
    const std::unique_ptr<TEdit8100Window> fresh = OpenAll();
    return Shown(*fresh);
  }

  void AnswerAgain() {
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
  }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
  std::unique_ptr<TEdit8100Window> edit;
};

// Refused: one report, and every window shows what it showed. A lost answer: one report; until the
// unit answers, a value differs from what was shown before only as unknown or as the unit came to
// hold it. Taken: no report, and every window shows the change at once. Each way, once the unit
// answers, every open window shows what a freshly opened one shows.
TEST_P(ControlTableTest, EveryWindowShowsWhatTheUnitHolds) {
  // Named, not bound, so that the lambdas below may capture them.
  const TableWindow& table = std::get<0>(GetParam());
  const Mode& mode = std::get<1>(GetParam());
  edit = OpenAll();
  ShowFilterDialogs(*edit);
  ui::Window* root = table.find(*edit);
  ASSERT_NE(root, nullptr);
  const testsupport::SweepOptions options{
      .skip = WritesNothing, .typed = [&](ui::Window& field) -> std::optional<std::string> {
        const auto typed = table.typed.find(dynamic_cast<ui::Control&>(field).Id());
        if (typed == table.typed.end()) return std::nullopt;
        return typed->second;
      }};
  const std::vector<testsupport::ControlChange> changes = testsupport::ChangesOf(*root, options);
  ASSERT_FALSE(changes.empty());
  const unsigned reports = mode ? 1 : 0;
  for (const testsupport::ControlChange& change : changes) {
    SCOPED_TRACE(change.name);
    const std::vector<std::string> before = Shown(*edit);
    test8100::ReportedErrors().clear();
    if (mode) bus.bus.AddFault(testsupport8100::FailingWrites(*mode, kAddress));
    ASSERT_TRUE(testsupport::Apply(*table.find(*edit), change));
    const std::vector<std::string> during = Shown(*edit);
    EXPECT_EQ(test8100::ReportedErrors().size(), reports);
    if (mode == WriteFailure::kRefused) {
      EXPECT_TRUE(during == before) << Differences(during, before);
    }
    if (!mode) {
      EXPECT_FALSE(during == before) << "nothing changed";
    }

    AnswerAgain();
    const std::vector<std::string> answered = Shown(*edit);
    EXPECT_EQ(test8100::ReportedErrors().size(), reports);
    if (mode == WriteFailure::kUnheard || mode == WriteFailure::kRefused) {
      EXPECT_TRUE(answered == before) << Differences(answered, before);
    }
    if (!mode) {
      EXPECT_TRUE(answered == during) << Differences(answered, during);
    }
    if ((mode == WriteFailure::kCarriedOut || mode == WriteFailure::kUnheard) &&
        during.size() == before.size() && answered.size() == before.size()) {
      for (std::size_t i = 0; i < during.size(); ++i) {
        if (during[i] == before[i] || during[i] == answered[i]) continue;
        EXPECT_TRUE(ShowsUnknown(during[i])) << during[i] << "\nwas " << before[i];
      }
    }
    const std::vector<std::string> fresh = Fresh();
    EXPECT_TRUE(answered == fresh) << Differences(answered, fresh);
  }
}

const TableWindow kWindows[] = {
    {"SignalFlowOfX",
     Model::kX,
     SignalFlow,
     {{f8100res::kLeftDelayEdit, "12"},
      {f8100res::kRightDelayEdit, "3"},
      {f8100res::kLeftThresholdEdit, "-3"},
      {f8100res::kRightThresholdEdit, "4"}}},
    {"SignalFlowOfRuneTide",
     Model::kRuneTide,
     SignalFlow,
     {{f8100res::kLeftNoiseLevelEdit, "-20"}, {f8100res::kRightNoiseLevelEdit, "-30"}}},
    {"ParametricFilter",
     Model::kX,
     Editor<EditorView::LeftInput>,
     {{f8100res::kFilterFrequency, "2500"},
      {f8100res::kFilterLevel, "-3"},
      {f8100res::kFilterQ, "2"}}},
    {"LowpassFilter",
     Model::kX,
     Editor<EditorView::RightOutput>,
     {{f8100res::kFilterFrequency, "80"}}},
    {"Crossovers",
     Model::kX,
     Editor<EditorView::Crossovers>,
     {{f8100res::kLowFrequency, "300"}, {f8100res::kHighFrequency, "4k"}}},
};

INSTANTIATE_TEST_SUITE_P(EveryControl, ControlTableTest,
                         testing::Combine(testing::ValuesIn(kWindows),
                                          testing::Values(Mode(WriteFailure::kRefused),
                                                          Mode(WriteFailure::kCarriedOut),
                                                          Mode(WriteFailure::kUnheard), Mode())),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + NameOf(std::get<1>(info.param));
                         });

}  // namespace
