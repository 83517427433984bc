// Every window an older-family unit's tree opens, found by opening them as the user does, and
// every change of every control in each, under the five ways a unit meets a change: one report
// per failed change, never a value the unit refused, unknown rather than a value in doubt or a
// silent unit's, and, once the unit answers, every open window and the program's copy of the unit
// as a freshly read unit shows them.

#include <gtest/gtest.h>

#include <QImage>
#include <Qt>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "controls/TStereodBLevelDialog.h"
#include "family8100/filters/BankHub.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/TCrossoverDialog.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/filters/TFilterDialog8100.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TDelayDialog.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TLimiterDialog.h"
#include "family8100/unit/TMemoryDialog.h"
#include "family8100/unit/TNoiseDialog.h"
#include "family8100/unit/TSecurityDialog.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "familycommon/GraphContexts.h"
#include "familycommon/LockLamp.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/ControlsResources.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/family8100_unit/BankGraphPixel.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/family8100_windows/WindowTestEnvironment.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/ControlTable.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/FaultKinds.h"
#include "tests/support/PollsResumed.h"

using namespace namespace8100;
using sim::family8100::Model;

namespace {

const auto* const kEnvironment = test8100::AddGuiEnvironment("family8100_table_tests");

constexpr int kAddress = 4;
constexpr int kRefusal = 3;
// The objects that choose what a filter write goes to, and the last object of the unit.
constexpr int kBulkMuteObject = 13;
constexpr int kFilterBankObject = 19;
constexpr int kFilterValueObject = 23;
constexpr int kFilterBypassObject = 41;
constexpr int kLastObject = 64;
const std::array<testsupport::Condition, 5> kConditions = testsupport::Conditions(kRefusal);

// A window of the table, named by its caption up to " - ", on the model whose tree opens it. A
// bank's editor shows in its dialog a filter of `shownType`, its bank's first.
struct TableWindow {
  const char* name;
  Model model;
  int32_t bank = 0;
  int32_t shownType = 0;
};
void PrintTo(const TableWindow& window, std::ostream* out) { *out << window.name; }

std::string NameOf(const ui::Window& window) {
  const std::string caption = window.Text();
  return caption.substr(0, caption.find(" - "));
}

// The unit's windows that are open: the pages of its window, each page's own dialogs, and the
// editors the signal flow opened, which are windows of their own.
std::vector<ui::Window*> OpenWindows(TEdit8100Window& edit) {
  std::vector<ui::Window*> open;
  for (ui::Window* page : edit.Children()) {
    if (dynamic_cast<ui::Dialog*>(page) == nullptr || !page->IsCreated()) continue;
    open.push_back(page);
    for (ui::Window* dialog : page->Children()) {
      if (dynamic_cast<ui::Dialog*>(dialog) != nullptr && dialog->IsCreated()) {
        open.push_back(dialog);
      }
    }
  }
  for (ui::Window* editor : edit.SignalFlow().Editors()) open.push_back(editor);
  return open;
}

// Opens every window the tree opens, as the user does: each node that opens something run, then
// every button of each page pressed, every question and dialog they ask answered Cancel, so that
// nothing is written. The nodes under "Special" are the unit's commands, each with its own tests:
// none opens a window.
void OpenEverything(TEdit8100Window& edit) {
  ui::PromptScript cancelled([](const std::string&) {});
  ui::TreeView& tree = edit.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item; item = tree.NextSibling(item)) {
    if (tree.FirstChild(item)) continue;
    tree.Select(item);
    edit.RunSelectedNode();
    ui::test::PumpMessages();
  }
  for (ui::Window* page : OpenWindows(edit)) {
    if (page->Parent() != &edit) continue;
    for (ui::Window* child : page->Children()) {
      auto* button = dynamic_cast<ui::PushButton*>(child);
      if (button == nullptr || dynamic_cast<ui::CheckBox*>(child) != nullptr) continue;
      if (button->IsVisible() && button->IsEnabled()) button->Click();
      ui::test::PumpMessages();
    }
  }
}

// The window among the open ones that holds `control` as its own.
ui::Window* OwnerOf(ui::Window& control, const std::vector<ui::Window*>& open) {
  for (ui::Window* w = control.Parent(); w != nullptr; w = w->Parent()) {
    if (std::ranges::find(open, w) != open.end()) return w;
  }
  return nullptr;
}

// The family's own unknown looks, named as the walk names a value not known: the lock lamp's dark
// frame, and a bank's list with a filter in doubt (the whole list counts as unknown then).
std::string Named(std::string line) {
  const auto unknownAs = [&](const std::string& kind, int state) {
    const std::string bare = testsupport::WithoutMarks(line);
    const std::string value = ": " + std::to_string(state);
    if (bare.find(kind) == std::string::npos || !bare.ends_with(value)) return;
    line.replace(bare.size() - value.size(), value.size(), ": ?");
  };
  // A bank's list shows a filter whose values are in doubt with no values.
  const std::string bare = testsupport::WithoutMarks(line);
  if (bare.find(" list view: ") != std::string::npos &&
      (bare.ends_with("/") || bare.find("/|") != std::string::npos)) {
    line = line.substr(0, line.find(" list view: ")) + " list view: ?";
  }
  if (line.starts_with("Security/" + std::to_string(f8100res::kLockLamp) + " ")) {
    unknownAs(" lamp ", familycommon::LockLamp::kOff);
  }
  return line;
}

// The program's copy of what the unit holds: each bank's filters and the crossovers, "?" for a
// filter whose values the program knows it does not know, and the crossover link.
std::vector<std::string> ModelLines(const IQDevice8100& unit) {
  const auto described = [&](const TFilter* filter) -> std::string {
    if (filter == nullptr) return "none";
    std::string text = filter->Describe();
    std::erase(text, '\n');
    return filter->valuesInDoubt ? "?" : text;
  };
  std::vector<std::string> lines{"model low crossover: " + described(unit.LowCrossover()),
                                 "model high crossover: " + described(unit.HighCrossover())};
  for (int32_t bank = kRightInputBank; bank <= kLeftOutputBank; ++bank) {
    // A bank with a filter in doubt is unknown as a whole, as its list shows it.
    std::string filters;
    bool inDoubt = false;
    for (const auto& filter : unit.Filters()) {
      if (filter->bank != bank) continue;
      filters += " " + described(filter.get());
      inDoubt = inDoubt || filter->valuesInDoubt;
    }
    lines.push_back("model bank " + std::to_string(bank) + ":" + (inDoubt ? " ?" : filters));
  }
  lines.push_back(std::string("model crossover link: ") + (unit.crossoverLink ? "on" : "off"));
  return lines;
}

// What goes into a field, by the dialog it is in. Left out: a memory's name, the user's text until
// the page closes, the preset map opens or the unit is locked (MemoryPagesTest holds it), and the
// password, which unlocks and shows nowhere (SecurityTest).
std::optional<std::string> Typed(ui::Window& field) {
  const int id = dynamic_cast<ui::Control&>(field).Id();
  ui::Window* dialog = field.Parent();
  if (dynamic_cast<TDelayDialog*>(dialog) != nullptr) return "7.7";
  if (dynamic_cast<TLimiterDialog*>(dialog) != nullptr) return "-7.7";
  if (dynamic_cast<TNoiseDialog*>(dialog) != nullptr) return "-33";
  if (dynamic_cast<TCrossoverDialog*>(dialog) != nullptr) {
    return id == f8100res::kLowFrequency ? "300" : "4k";
  }
  if (dynamic_cast<TFilterDialog8100*>(dialog) != nullptr) {
    return id == f8100res::kFilterFrequency ? "2500" : id == f8100res::kFilterLevel ? "-3" : "3";
  }
  return std::nullopt;
}

// What the walk leaves alone, besides the controls of other windows (each window has its row):
// - the delay's units, the program's choice of how the delays are shown, and the attenuation's
//   lock box, which links the two sliders in the program;
// - a bank's list, which only chooses the filter the dialog shows;
// - the crossovers' link, the program's own choice, which writes only the frequencies typed
//   beside it, each a change of its own here;
// - a filter's bandwidth slider as the walk moves it: its thumb dragged by the walk drops it
//   where it was, so its key and page are offered below instead;
// - the security page's status button, which only reads, and its new password, which shows
//   nowhere (SecurityTest);
// - the memory page's saves, which change nothing any window shows, its recalls but the first,
//   which work alike, and its preset map, shown only in its own dialog: CommandFailureTest and
//   MemoryPagesTest hold them to one report and a closing message that names what the unit holds.
// The push buttons that open windows are the rows of their windows. No window of the family takes
// a drag from another.
bool LeftAlone(ui::Window& control) {
  const auto* shown = dynamic_cast<const ui::Control*>(&control);
  if (shown == nullptr) return false;
  const int id = shown->Id();
  ui::Window* dialog = control.Parent();
  return (dynamic_cast<TDelayDialog*>(dialog) != nullptr && id >= f8100res::kMsecButton &&
          id <= f8100res::kMsecButton + 2) ||
         (dynamic_cast<TStereodBLevelDialog*>(dialog) != nullptr && id == controls_res::kLockBox) ||
         dynamic_cast<ui::ListView*>(&control) != nullptr ||
         (dynamic_cast<TCrossoverDialog*>(dialog) != nullptr && id == f8100res::kCrossoverLink) ||
         (dynamic_cast<TFilterDialog8100*>(dialog) != nullptr && id == f8100res::kFilterBandwidth);
}

class ControlTableTest
    : public testing::TestWithParam<std::tuple<TableWindow, testsupport::Condition>> {
 protected:
  ControlTableTest() {
    test8100::ReportedErrors().clear();
    RegisterBankEditor();
    RegisterCrossoverEditor();
    sim::family8100::AddFamily8100Unit(
        bus.bus, {.model = std::get<0>(GetParam()).model, .address = kAddress, .unitName = "Hall"});
    unit = testsupport8100::OnlyUnit(bus);
    // A parametric filter in each bank, for its dialog and its icon on the graph; before it, in
    // the row's bank, a filter of the row's type, which its dialog then shows.
    const TableWindow& window = std::get<0>(GetParam());
    const int32_t frequencies[] = {1000, 2000, 500, 4000};
    for (int32_t bank = kRightInputBank; bank <= kLeftOutputBank; ++bank) {
      if (bank == window.bank && window.shownType != kParametricFilter) {
        std::unique_ptr<TFilter> shown = MakeFilter(window.shownType);
        shown->bank = bank;
        shown->frequency = 5000;
        testsupport8100::AddFilter(*unit, std::move(shown));
      }
      auto parametric = testsupport8100::Made<TParametricFilter>(bank, frequencies[bank - 1]);
      parametric->q = 2.0f;
      testsupport8100::AddFilter(*unit, std::move(parametric));
    }
    // Memory 1 holds another left attenuation, so that its recall shows; the attenuations stand
    // where either way moves them.
    g8100LeftAttenuation.Write(*unit, 20);
    unit->SaveMemory(1);
    g8100LeftAttenuation.Write(*unit, 40);
    g8100RightAttenuation.Write(*unit, 40);
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

  void OpenAll() {
    edit = std::make_unique<TEdit8100Window>(nullptr, *unit);
    edit->Create();
    OpenEverything(*edit);
    ShowFilterDialogs();
  }

  // A read again brings new filter objects, and a bank's dialog goes with the old one: the bank
  // shows its first filter again, as a click in its list does.
  void ShowFilterDialogs() {
    for (ui::Window* frame : edit->SignalFlow().Editors()) {
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

  ui::Window& Tested() {
    for (ui::Window* window : OpenWindows(*edit)) {
      if (NameOf(*window) == std::get<0>(GetParam()).name) return *window;
    }
    throw std::logic_error("the tree opens no such window");
  }

  // Every open window's lines, each led by its name, then the program's copy of the unit.
  std::vector<std::string> Shown() {
    ShowFilterDialogs();
    const std::vector<ui::Window*> open = OpenWindows(*edit);
    const auto another = [&](ui::Window& w) { return std::ranges::find(open, &w) != open.end(); };
    std::vector<std::string> shown;
    for (const std::string& line : testsupport::ShownControls(*edit, another)) {
      shown.push_back(Named("Unit/" + line));
    }
    for (ui::Window* window : open) {
      const auto inner = [&](ui::Window& w) { return &w != window && another(w); };
      for (const std::string& line : testsupport::ShownControls(*window, inner)) {
        shown.push_back(Named(NameOf(*window) + "/" + line));
      }
      // A bank's editor draws its count of free sections itself.
      if (auto* bank = dynamic_cast<TFilterDecoratedFrame*>(window)) {
        shown.push_back(NameOf(*window) + "/free sections: " + bank->Editor().Count().CountText());
      }
    }
    for (const std::string& line : ModelLines(*unit)) shown.push_back(line);
    return shown;
  }

  std::vector<std::string> Fresh() {
    edit.reset();
    ui::test::PumpMessages();
    unit->ResetValueStore();
    OpenAll();
    return Shown();
  }

  // The drags a graph offers: a bank's first filter moved up the frequencies (a boost/cut filter,
  // whose frequency is fixed, up the levels), and the low crossover's edge dropped at twice its
  // frequency.
  std::vector<testsupport::NamedChange> GraphDrags(ui::Window& window) {
    if (dynamic_cast<TFrequencyGraph*>(&window) != nullptr) {
      return {{"filter dragged", [this](ui::Window& w) {
                 auto& bankGraph = dynamic_cast<TFrequencyGraph&>(w);
                 const TFilter* first = FirstFilter(bankGraph.Bank());
                 const auto& icons = bankGraph.Icons().All();
                 const auto icon = std::ranges::find_if(
                     icons, [&](const auto& i) { return &i->Filter() == first; });
                 if (icon == icons.end()) return;
                 const ui::Point at =
                     testsupport8100::BankGraphPixel(bankGraph, *unit, (*icon)->position);
                 const bool up = first->type == kBoostCutFilter;
                 const ui::Point to =
                     up ? ui::Point{at.x + 4, at.y - 20} : ui::Point{at.x + 60, at.y - 4};
                 const ui::Point further =
                     up ? ui::Point{at.x + 4, at.y - 30} : ui::Point{at.x + 90, at.y - 4};
                 // The bank's dialog shows the filter: it is selected, and a press drags it.
                 ui::test::MouseDown(bankGraph, at);
                 ui::test::MouseMove(bankGraph, to);
                 ui::test::PumpMessages();
                 ui::test::MouseMove(bankGraph, further);
                 ui::test::MouseUp(bankGraph, further);
               }}};
    }
    if (dynamic_cast<TCrossoverGraph*>(&window) != nullptr && unit->LowCrossover() != nullptr) {
      return {{"edge dropped", [this](ui::Window& w) {
                 const auto frequency = static_cast<float>(unit->LowCrossover()->frequency);
                 const ui::Point from = CrossoverPixel(w, frequency);
                 const ui::Point to = CrossoverPixel(w, 2 * frequency);
                 ui::test::MouseDown(w, from);
                 ui::test::MouseMove(w, to);
                 ui::test::MouseUp(w, to);
               }}};
    }
    return {};
  }

  // A filter is written by choosing its bank, type, slot, values and bypass, then marking it the
  // unit's,
  // with the outputs muted while a crossover is replaced: an answer lost after the unit carried
  // the change out is that of the change's own write, not of the choices before it.
  void Fail(const sim::Fault& fault) {
    const testsupport::Condition& condition = std::get<1>(GetParam());
    const std::string window = std::get<0>(GetParam()).name;
    const bool filters = window.ends_with("Filters") || window == "Crossovers";
    if (!filters || !condition.carriedOut) {
      bus.bus.AddFault(fault.ForUnit(kAddress));
      return;
    }
    for (int object = 1; object <= kLastObject; ++object) {
      const bool choice = object == kBulkMuteObject || object == kFilterBypassObject ||
                          (object >= kFilterBankObject && object <= kFilterValueObject);
      if (!choice) bus.bus.AddFault(fault.ForUnit(kAddress).ForObject(object));
    }
  }

  // The changes a window offers beyond its controls' own: a graph's drags, and a memory's recall,
  // which answers yes to its question.
  std::vector<testsupport::NamedChange> More(ui::Window& window) {
    if (dynamic_cast<TFilterDialog8100*>(&window) != nullptr) {
      const auto& children = window.Children();
      const bool bandwidth = std::ranges::any_of(children, [](ui::Window* child) {
        const auto* control = dynamic_cast<ui::Control*>(child);
        return control != nullptr && control->Id() == f8100res::kFilterBandwidth &&
               child->IsVisible();
      });
      if (!bandwidth) return {};
      const auto key = [](int qtKey) {
        return [qtKey](ui::Window& dialog) {
          ui::test::PressKey(ui::test::ControlOf(dialog, f8100res::kFilterBandwidth), qtKey);
        };
      };
      return {{"bandwidth key", key(Qt::Key_Right)}, {"bandwidth page", key(Qt::Key_PageUp)}};
    }
    if (dynamic_cast<TMemoryDialog*>(&window) != nullptr) {
      // The recall asks yes or no, which the walk's OK does not answer: it answers its own
      // question, and a failure its closing box tells counts as a report.
      return {{"memory 1 recalled", [this](ui::Window& page) {
                 ui::PromptScript script([](const std::string&) {});
                 script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
                 ui::test::Click(page, f8100res::kFirstRecallButton);
                 ui::test::PumpMessages();
                 toldInBoxes += testsupport::FailuresToldInBoxes(script);
               }}};
    }
    return GraphDrags(window);
  }

  const TFilter* FirstFilter(int bank) const {
    for (const auto& filter : unit->Filters()) {
      if (filter->bank == bank) return filter.get();
    }
    return nullptr;
  }

  static ui::Point CrossoverPixel(const ui::Window& graph, float frequency) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    ui::Dc dc(scratch);
    const familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
    const ui::Point up = freq.ValueToPoint({frequency, 0.707f}, false);
    return dc.Mapping().ToDevice({up.x, -up.y});
  }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
  std::unique_ptr<TEdit8100Window> edit;
  // Failures told in the closing boxes of a change that answers its own questions.
  std::size_t toldInBoxes = 0;
};

TEST_P(ControlTableTest, ShowsWhatTheUnitHoldsWithOneReport) {
  OpenAll();
  if (const int32_t type = std::get<0>(GetParam()).shownType; type != 0) {
    const TFilterDialog8100* dialog =
        dynamic_cast<TFilterDecoratedFrame&>(Tested()).Editor().Parameters().Dialog();
    ASSERT_TRUE(dialog != nullptr && dialog->Filter()->type == type) << "the row's dialog is shut";
  }
  const std::string tested = std::string(std::get<0>(GetParam()).name) + "/";
  testsupport::CheckEveryChange(
      {.tested = [this]() -> ui::Window& { return Tested(); },
       .shown = [this] { return Shown(); },
       .inTested =
           [tested](const std::string& line) {
             return line.starts_with(tested) || line.starts_with("model ");
           },
       .fresh = [this] { return Fresh(); },
       .fail = [this](const sim::Fault& fault) { Fail(fault); },
       .answerAgain =
           [this] {
             bus.bus.ClearFaults();
             testsupport::ResumePollsAndSettle();
           },
       .takeReports =
           [this] {
             const std::size_t told = test8100::ReportedErrors().size() + toldInBoxes;
             test8100::ReportedErrors().clear();
             toldInBoxes = 0;
             return told;
           },
       .sweep = {.skip =
                     [this](ui::Window& control) {
                       return OwnerOf(control, OpenWindows(*edit)) != &Tested() ||
                              LeftAlone(control);
                     },
                 .typed = Typed,
                 .more = [this](ui::Window& window) { return More(window); }}},
      std::get<1>(GetParam()));
}

// The X has every window but the RuneTide's noise sources; the base and Plus models open the X's
// windows less the delay, limiter and crossovers, made by the same classes. The banks' rows show
// each type's dialog once, the types shared out over the four banks' editors.
constexpr TableWindow kWindows[] = {
    {"Signal Flow", Model::kX},
    {"Attenuation", Model::kX},
    {"Delay", Model::kX},
    {"Limiters", Model::kX},
    {"Right Input Filters", Model::kX, kRightInputBank, kParametricFilter},
    {"Left Input Filters", Model::kX, kLeftInputBank, kBoostCutFilter},
    {"Right Output Filters", Model::kX, kRightOutputBank, kLowpassFilter},
    {"Left Output Filters", Model::kX, kLeftOutputBank, kHighpassFilter},
    {"Right Input Filters", Model::kX, kRightInputBank, kLowShelfFilter},
    {"Left Input Filters", Model::kX, kLeftInputBank, kHighShelfFilter},
    {"Crossovers", Model::kX},
    {"Memories", Model::kX},
    {"Security", Model::kX},
    {"Signal Flow", Model::kRuneTide},
    {"Noise sources", Model::kRuneTide},
};

// Every window under every condition but these:
// - a lock the unit carried out without an answer closes the editing pages once the unit is read
//   again, so the windows in doubt cannot be held line by line against fewer. The lamp shows
//   unknown meanwhile, as the unheard and silent rows hold;
// - a recall that fails: it replaces every filter, and while the unit cannot be read (a filter
//   is read by choosing its slot, a write) the banks list none rather than filters the unit may
//   not hold, so their lines cannot be held one by one. CommandFailureTest holds a failed recall
//   to one report and a closing box that says what the unit holds.
std::vector<std::tuple<TableWindow, testsupport::Condition>> Rows() {
  std::vector<std::tuple<TableWindow, testsupport::Condition>> rows;
  for (const TableWindow& window : kWindows) {
    for (const testsupport::Condition& condition : kConditions) {
      const bool lockCarriedOut =
          std::string(window.name) == "Security" && condition.fault && condition.carriedOut;
      const bool recallFailed = std::string(window.name) == "Memories" && condition.fault;
      if (!lockCarriedOut && !recallFailed) rows.emplace_back(window, condition);
    }
  }
  return rows;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, ControlTableTest, testing::ValuesIn(Rows()),
                         [](const auto& info) {
                           const TableWindow& window = std::get<0>(info.param);
                           std::string name = window.name;
                           if (window.shownType != 0) name += FilterTypeName(window.shownType);
                           std::erase_if(name, [](char c) { return std::isalnum(c) == 0; });
                           if (std::get<0>(info.param).model == Model::kRuneTide) {
                             name += "OfRuneTide";
                           }
                           return name + std::get<1>(info.param).name;
                         });

// The table's windows are those the tree opens: none is missed when a model gains one.
TEST(ControlTableWindowsTest, AreEveryWindowTheTreeOpens) {
  for (const Model model : {Model::kBase, Model::kPlus, Model::kX, Model::kRuneTide}) {
    SCOPED_TRACE(static_cast<int>(model));
    testsupport8100::OlderFamilyBus bus;
    RegisterBankEditor();
    RegisterCrossoverEditor();
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = model, .address = kAddress});
    std::set<std::string> opened;
    {
      TEdit8100Window edit(nullptr, *testsupport8100::OnlyUnit(bus));
      edit.Create();
      OpenEverything(edit);
      for (ui::Window* window : OpenWindows(edit)) opened.insert(NameOf(*window));
    }
    ui::test::PumpMessages();
    RegisterBankEditorMaker(nullptr);
    RegisterCrossoverMaker(nullptr);
    std::set<std::string> tabled;
    for (const TableWindow& window : kWindows) {
      if (window.model == Model::kX || window.model == model) tabled.insert(window.name);
    }
    EXPECT_TRUE(std::ranges::includes(tabled, opened)) << testing::PrintToString(opened);
    if (model == Model::kX) {
      EXPECT_EQ(opened.size(), 11u);
    }
  }
}

}  // namespace
