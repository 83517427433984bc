// A value typed into a filter or crossover field of an older-family unit that fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Qt>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "controls/TLEDButton.h"
#include "controls/TQuadButton.h"
#include "family8100/filters/BankListing.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/filters/TFilterListWindow8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "tests/family8100_unit/BankGraphPixel.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/support/PollsResumed.h"

namespace namespace8100 {
namespace {

using testsupport8100::WriteFailure;

struct EntryFixture : testing::Test {
  explicit EntryFixture(sim::family8100::Model model = sim::family8100::Model::kX)
      : unitIndex(
            sim::family8100::AddFamily8100Unit(bus.bus, {.model = model, .address = kAddress})) {
    bus.x.SetRegistryKey(store.Root());
    controls::SetDeviceErrorReporter([this](const IQException&, IQDevice*, int) {
      ++reports;
      if (atBox) atBox();
    });
  }
  ~EntryFixture() override {
    if (window) window->Destroy();
    if (unitWindow) unitWindow->Destroy();
    controls::SetDeviceErrorReporter(nullptr);
  }

  // The unit's own window, which reads the unit again once it answers after a lost answer.
  TEdit8100Window& UnitWindow() {
    if (!unitWindow) {
      unitWindow = std::make_unique<TEdit8100Window>(nullptr, *unit);
      unitWindow->Create();
    }
    return *unitWindow;
  }

  testsupport8100::OlderFamilyBus bus;
  static constexpr int kAddress = 3;
  int unitIndex;
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  registry::Store store;
  TAllChannelParent hubs;
  std::unique_ptr<TEdit8100Window> unitWindow;
  std::unique_ptr<ui::Window> window;
  int reports = 0;
  // Runs while the error box is open.
  std::function<void()> atBox;
};

// The bank editor with a new filter of the command's type: its dialog.
template <int kAdd>
ui::Dialog& OpenFilter(EntryFixture& test) {
  auto editor = std::make_unique<TFilterLayoutWindow>(*test.unit, test.hubs, kRightInputBank);
  editor->Create();
  ui::Application::Instance()->RouteCommand(kAdd, editor.get());
  ui::test::PumpMessages();
  ui::Dialog& dialog = *editor->Parameters().Dialog();
  test.window = std::move(editor);
  return dialog;
}

ui::Dialog& OpenCrossovers(EntryFixture& test) {
  GuardedCrossoverEdit(*test.unit, [](CrossoverEdits& edits) {
    edits.ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
    edits.ChangeAlignment(CrossoverSide::High, kAlignmentBessel);
  });
  auto window = std::make_unique<TCrossoverWindow>(*test.unit);
  window->Create();
  ui::Dialog& dialog = window->Dialog();
  test.window = std::move(window);
  return dialog;
}

// The dialog that shows the filter now: the unit's read again brings new filter objects, and the
// bank's dialog goes with the old one, so it is opened again on the filter the unit holds.
ui::Dialog& ShownFilter(EntryFixture& test) {
  auto& editor = static_cast<TFilterLayoutWindow&>(*test.window);
  if (editor.Parameters().Dialog() == nullptr) {
    editor.Hub().Broadcast(bankmsg::kSelectionChanged, kRightInputBank,
                           FilterParam(test.unit->Filters().back().get()));
    ui::test::PumpMessages();
  }
  return *editor.Parameters().Dialog();
}

ui::Dialog& ShownCrossovers(EntryFixture& test) {
  return static_cast<TCrossoverWindow&>(*test.window).Dialog();
}

struct TypedField {
  const char* what;
  ui::Dialog& (*open)(EntryFixture&);
  ui::Dialog& (*shown)(EntryFixture&);
  int edit;
  const char* typed;
};

class FailedFilterEntryTest
    : public EntryFixture,
      public testing::WithParamInterface<std::tuple<TypedField, WriteFailure>> {};

// Enter with a value typed while the unit fails at a value's write: one report; after a refusal
// the field shows what it showed before.
// Once the unit answers, the field shows what the unit holds, as a dialog opened on a fresh read
// of the unit does, and a value the unit did not take is not written later.
TEST_P(FailedFilterEntryTest, IsToldOnceAndShowsWhatTheUnitHoldsOnceItAnswers) {
  const auto& [field, failure] = GetParam();
  // The unit's own window reads it again once it answers.
  TEdit8100Window unitWindow(nullptr, *unit);
  unitWindow.Create();
  ui::Dialog& dialog = field.open(*this);
  const auto enter = [&](ui::Window& edit) {
    bus.TakeTrace();
    ui::test::PressKey(edit, Qt::Key_Return);
    ui::test::PumpMessages();
    std::vector<std::string> writes = bus.TakeTrace();
    std::erase_if(writes, [](const std::string& line) { return line[0] != 'W'; });
    return writes;
  };
  auto& edit = ui::test::ControlOf(dialog, field.edit);
  const std::vector<std::string> untyped = enter(edit);
  const std::string shown = edit.Text();
  reports = 0;
  ui::test::Type(dialog, field.edit, field.typed);
  bus.bus.AddFault(
      testsupport8100::FailingWrites(failure, kAddress).ForObject(g8100FilterValueFloat.GetId()));
  enter(edit);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(edit.Text(), failure == WriteFailure::kRefused ? shown : std::string());

  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(3);
  ui::test::PumpMessages();
  const std::string now = ui::test::ControlOf(field.shown(*this), field.edit).Text();
  if (failure != WriteFailure::kCarriedOut) {
    EXPECT_EQ(now, shown);
    EXPECT_EQ(enter(ui::test::ControlOf(field.shown(*this), field.edit)), untyped);
  }
  unit->ResetValueStore();
  unit->ReadAllParameters();
  ui::test::PumpMessages();
  EXPECT_EQ(ui::test::ControlOf(field.shown(*this), field.edit).Text(), now);
  EXPECT_EQ(reports, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypedField, FailedFilterEntryTest,
    testing::Combine(
        testing::Values(TypedField{"ParametricFrequency", OpenFilter<f8100res::kCmAddParametric>,
                                   ShownFilter, f8100res::kFilterFrequency, "2500"},
                        TypedField{"ParametricLevel", OpenFilter<f8100res::kCmAddParametric>,
                                   ShownFilter, f8100res::kFilterLevel, "-3"},
                        TypedField{"ParametricQ", OpenFilter<f8100res::kCmAddParametric>,
                                   ShownFilter, f8100res::kFilterQ, "2"},
                        TypedField{"LowpassFrequency", OpenFilter<f8100res::kCmAddLowpass>,
                                   ShownFilter, f8100res::kFilterFrequency, "80"},
                        TypedField{"ShelfLevel", OpenFilter<f8100res::kCmAddHighShelf>, ShownFilter,
                                   f8100res::kFilterLevel, "6"},
                        TypedField{"LowCrossover", OpenCrossovers, ShownCrossovers,
                                   f8100res::kLowFrequency, "300"},
                        TypedField{"HighCrossover", OpenCrossovers, ShownCrossovers,
                                   f8100res::kHighFrequency, "4k"}),
        testing::ValuesIn(testsupport8100::kEachWriteFailure)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) +
             testsupport8100::NameOf(std::get<1>(info.param));
    });

// An alignment change whose write the unit carries out without answering, the old crossover's
// delete among them: once it is told, the program holds the crossovers the unit holds, before any
// idle pass, so no later edit writes a crossover into a slot the unit has freed.
TEST_F(EntryFixture, AlignmentChangeWithoutAnswerHoldsTheUnitsCrossovers) {
  OpenCrossovers(*this);
  for (const UCodeObject* lost : std::initializer_list<const UCodeObject*>{
           &g8100BulkMute, &g8100FilterSlot, &g8100DeleteFilter}) {
    SCOPED_TRACE(lost->GetId());
    bus.bus.AddFault(sim::Fault::Silence().ForObject(lost->GetId()).Times(1));
    GuardedCrossoverEdit(*unit, [](CrossoverEdits& edits) {
      edits.ChangeAlignment(CrossoverSide::Low, kAlignmentBessel);
    });
    bus.bus.ClearFaults();
    const std::vector<std::string> held = testsupport8100::Described(*unit);
    unit->ResetValueStore();
    unit->ReadAllParameters();
    EXPECT_EQ(testsupport8100::Described(*unit), held);
  }
}

// A stepped or dragged control used while the unit fails its writes: the answer lost after the
// unit carried the write out, the answer lost with the write never taken, or a refusal.
enum class Failure { kSilence, kUnheard, kRefused };

std::string FailureName(Failure failure) {
  switch (failure) {
    case Failure::kSilence:
      return "Silence";
    case Failure::kUnheard:
      return "Unheard";
    default:
      return "Refused";
  }
}

// A dialog of the unit's signal flow, by the button that opens it.
template <int kButton>
ui::Dialog& OpenFromSignalFlow(EntryFixture& test) {
  TSigFlowDialog& flow = test.UnitWindow().SignalFlow();
  ui::test::Click(flow, kButton);
  return dynamic_cast<ui::Dialog&>(*flow.SubDialog(kButton));
}

void Spin(ui::Dialog& dialog, int id) {
  auto& quad = dynamic_cast<TQuadButton&>(ui::test::ControlOf(dialog, id));
  const ui::Rect zone = quad.ZoneRect(TQuadButton::kLowerRight);
  const ui::Point centre{(zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2};
  ui::test::MouseDown(quad, centre);
  ui::test::MouseUp(quad, centre);
}

template <int kId>
void SpinUp(ui::Dialog& dialog) {
  Spin(dialog, kId);
}

template <int kId>
void ArrowUp(ui::Dialog& dialog) {
  dialog.SendNotify({kId, ui::Notify::DeltaPos, &ui::test::ControlOf(dialog, kId), -1, -1});
}

void DropBandwidth(ui::Dialog& dialog) {
  auto& slider =
      dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(dialog, f8100res::kFilterBandwidth));
  slider.SetPosition(12);
  for (ui::ScrollCode code : {ui::ScrollCode::ThumbTrack, ui::ScrollCode::EndScroll}) {
    dialog.SendNotify({f8100res::kFilterBandwidth, ui::Notify::Scroll, &slider, -1,
                       static_cast<ui::Param>(code)});
  }
}

void LinkwitzRiley(ui::Dialog& dialog) {
  auto& alignment =
      dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, f8100res::kLowAlignment));
  alignment.SetSelection(kAlignmentLinkwitzRiley);
  dialog.SendNotify({f8100res::kLowAlignment, ui::Notify::SelChange, &alignment});
}

// Drags the shown filter's icon on its bank's graph a little way and drops it, the steps not
// written live: only the drop writes.
void DragIcon(ui::Dialog& dialog) {
  ui::Window* window = &dialog;
  while (dynamic_cast<TFilterLayoutWindow*>(window) == nullptr) window = window->Parent();
  auto& editor = static_cast<TFilterLayoutWindow&>(*window);
  GraphView8100& view = editor.Hub().Unit().graphViews[kRightInputBank];
  view.liveWrite = false;
  view.liveRedraw = false;
  editor.SetRect({0, 0, 800, 600});
  editor.Show();
  ui::test::PumpMessages();
  TFrequencyGraph& graph = *editor.Graph();
  const ui::Point from = testsupport8100::BankGraphPixel(graph, editor.Hub().Unit(),
                                                         graph.Icons().All().back()->position);
  const ui::Point to{from.x + 40, from.y - 20};
  ui::test::MouseDown(graph, from);
  ui::test::MouseMove(graph, to);
  ui::test::MouseUp(graph, to);
}

// The crossovers with a graph whose drag steps are not written live: only a drop writes.
ui::Dialog& OpenCrossoversDroppedOnly(EntryFixture& test) {
  GraphView8100& view = test.unit->graphViews[kCrossoverView];
  view.liveWrite = false;
  view.liveRedraw = false;
  return OpenCrossovers(test);
}

// Drags the high crossover's icon on the crossover graph a little way and drops it.
void DragCrossover(ui::Dialog& dialog) {
  auto& window = dynamic_cast<TCrossoverWindow&>(*dialog.Parent());
  window.SetRect({0, 0, 800, 600});
  window.Show();
  ui::test::PumpMessages();
  TCrossoverGraph& graph = window.Graph();
  const auto& icons = graph.Icons().All();
  const auto high = std::ranges::find_if(
      icons, [](const auto& icon) { return icon->Filter().type == kHighCrossoverFilter; });
  QImage scratch(1, 1, QImage::Format_RGB32);
  ui::Dc dc(scratch);
  const familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
  const ui::Point up = freq.ValueToPoint((*high)->position, false);
  const ui::Point from = dc.Mapping().ToDevice({up.x, -up.y});
  const ui::Point to{from.x + 40, from.y + 5};
  ui::test::MouseDown(graph, from);
  ui::test::MouseMove(graph, to);
  ui::test::MouseUp(graph, to);
}

template <int kId>
void Click(ui::Dialog& dialog) {
  ui::test::Click(dialog, kId);
}

// What the user sees of the unit: every control of the dialog, the bank's list, and the filters
// and crossovers the program holds for it. "" is a value shown as unknown.
std::vector<std::string> Showing(EntryFixture& test, ui::Dialog& dialog) {
  std::vector<std::string> shown;
  for (ui::Window* control : dialog.Children()) {
    shown.push_back(control->Text());
    if (const auto* box = dynamic_cast<const ui::CheckBox*>(control)) {
      shown.push_back(box->IsChecked() ? "checked" : "");
    }
    if (const auto* lamp = dynamic_cast<const TLEDButton*>(control)) {
      shown.push_back(std::to_string(lamp->GetState()));
    }
  }
  const auto icons = [&](const GraphIcons8100& graph) {
    for (const auto& icon : graph.All()) {
      shown.push_back(std::to_string(icon->position.frequency) + " Hz, gain " +
                      std::to_string(icon->position.gain));
    }
  };
  if (auto* editor = dynamic_cast<TFilterLayoutWindow*>(test.window.get())) {
    const ui::ListView& list = editor->List()->List();
    for (int column = 1; column <= 3; ++column) shown.push_back(list.ItemText(0, column));
    icons(editor->Graph()->Icons());
  }
  if (auto* crossovers = dynamic_cast<TCrossoverWindow*>(test.window.get())) {
    icons(crossovers->Graph().Icons());
  }
  for (const std::string& held : testsupport8100::Described(*test.unit)) shown.push_back(held);
  return shown;
}

// How the trace begins a write of `object`.
std::string Written(const UCodeObject& object) {
  char text[8];
  std::snprintf(text, sizeof text, "W%02X ", static_cast<unsigned>(object.GetId()));
  return text;
}

// The filter values `step` writes, the failures it tells counted from none.
std::vector<std::string> FilterValuesWrittenBy(EntryFixture& fixture,
                                               const std::function<void()>& step) {
  fixture.reports = 0;
  fixture.bus.TakeTrace();
  step();
  ui::test::PumpMessages();
  std::vector<std::string> written = fixture.bus.TakeTrace();
  std::erase_if(written, [](const std::string& line) {
    return !line.starts_with(Written(g8100FilterValueLong));
  });
  return written;
}

struct SteppedControl {
  const char* what;
  sim::family8100::Model model;
  ui::Dialog& (*open)(EntryFixture&);
  void (*act)(ui::Dialog&);
  int edit;  // where Enter is pressed, and a typed value waits when `typed` is set
  const char* typed;
};

class FailedStepTest : public EntryFixture,
                       public testing::WithParamInterface<std::tuple<SteppedControl, Failure>> {
 protected:
  FailedStepTest() : EntryFixture(std::get<0>(GetParam()).model) {}
};

// One report; after a refusal everything shows what it showed before, already while the error box
// is open. After a lost answer,
// whether or not the unit carried the write out, the changed value shows unknown and any other
// differs only as unknown, until the unit, read again once it answers, shows what it holds: what
// it held before when the write never reached it. The program holds no stepped or typed value the
// unit has not taken, so nothing reaches the unit later unless the user acts.
TEST_P(FailedStepTest, IsToldOnceAndNeitherShownNorWrittenLater) {
  // Named, not bound, so that the lambdas below may capture them.
  const SteppedControl& control = std::get<0>(GetParam());
  const Failure& failure = std::get<1>(GetParam());
  UnitWindow();
  ui::Dialog& opened = control.open(*this);
  // A read of the unit brings new filter objects, and the bank's dialog goes with the old one: the
  // bank shows the filter the unit holds again, with a dialog of its own.
  const auto dialog = [&]() -> ui::Dialog& {
    auto* editor = dynamic_cast<TFilterLayoutWindow*>(window.get());
    if (editor == nullptr) return opened;
    if (editor->Parameters().Dialog() == nullptr) {
      editor->Hub().Broadcast(bankmsg::kSelectionChanged, kRightInputBank,
                              FilterParam(unit->Filters().back().get()));
      ui::test::PumpMessages();
    }
    return *editor->Parameters().Dialog();
  };
  const auto field = [&] { return ui::test::ControlOf(dialog(), control.edit).Text(); };
  // The writes of values: a read of the unit again selects the slots and values it reads.
  const auto writes = [&] {
    std::vector<std::string> trace = bus.TakeTrace();
    std::erase_if(trace, [](const std::string& line) {
      return line[0] != 'W' || line.starts_with(Written(g8100FilterSlot)) ||
             line.starts_with(Written(g8100FilterParamSelect));
    });
    return trace;
  };
  const auto enter = [&] {
    bus.TakeTrace();
    ui::test::PressKey(ui::test::ControlOf(dialog(), control.edit), Qt::Key_Return);
    ui::test::PumpMessages();
    return writes();
  };
  const std::vector<std::string> untyped = enter();
  const std::vector<std::string> before = Showing(*this, dialog());
  const std::string held = field();
  if (control.typed) ui::test::Type(dialog(), control.edit, control.typed);
  const sim::Fault fault = failure == Failure::kSilence   ? sim::Fault::Silence()
                           : failure == Failure::kUnheard ? sim::Fault::Unheard()
                                                          : sim::Fault::ErrorObject(3);
  bus.bus.AddFault(fault.ForUnit(kAddress).ForOpcode(sim::kOpcodeSet));
  reports = 0;
  if (failure == Failure::kRefused) {
    atBox = [&] {
      // The box's own loop delivers what the windows were told.
      ui::test::PumpMessages();
      EXPECT_EQ(Showing(*this, dialog()), before) << "while the error box was open";
    };
  }
  control.act(dialog());
  ui::test::PumpMessages();
  atBox = nullptr;
  EXPECT_EQ(reports, 1);
  const std::vector<std::string> after = Showing(*this, dialog());
  ASSERT_EQ(after.size(), before.size());
  // While in doubt a value shows unknown: an empty text, a lamp with no state.
  const std::string unknownLamp = std::to_string(TLEDButton::kUnknownState);
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (failure != Failure::kRefused && (after[i].empty() || after[i] == unknownLamp)) continue;
    EXPECT_EQ(after[i], before[i]) << i;
  }
  EXPECT_EQ(field(), failure == Failure::kRefused ? held : std::string());

  bus.TakeTrace();
  bus.bus.ClearFaults();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle();
  ui::test::PumpMessages();
  EXPECT_THAT(writes(), testing::IsEmpty());
  const std::string settled = field();
  if (failure == Failure::kSilence) {
    EXPECT_FALSE(settled.empty());
  } else {
    EXPECT_EQ(settled, held);
  }
  const std::vector<std::string> later = enter();
  EXPECT_EQ(field(), settled);
  if (failure != Failure::kSilence) {
    EXPECT_EQ(later, untyped);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EverySteppedControl, FailedStepTest,
    testing::Combine(
        testing::Values(
            SteppedControl{"FrequencyStep", sim::family8100::Model::kX,
                           OpenFilter<f8100res::kCmAddParametric>,
                           SpinUp<f8100res::kFilterFrequencyQuad>, f8100res::kFilterFrequency},
            SteppedControl{"LevelStep", sim::family8100::Model::kX,
                           OpenFilter<f8100res::kCmAddHighShelf>,
                           SpinUp<f8100res::kFilterLevelQuad>, f8100res::kFilterLevel},
            SteppedControl{"BandwidthDrop", sim::family8100::Model::kX,
                           OpenFilter<f8100res::kCmAddParametric>, DropBandwidth,
                           f8100res::kFilterQ},
            SteppedControl{"GraphDrag", sim::family8100::Model::kX,
                           OpenFilter<f8100res::kCmAddParametric>, DragIcon,
                           f8100res::kFilterFrequency},
            SteppedControl{"Slope", sim::family8100::Model::kX, OpenFilter<f8100res::kCmAddLowpass>,
                           ArrowUp<f8100res::kFilterSlopeSpin>, f8100res::kFilterFrequency, "80"},
            SteppedControl{"CrossoverAlignment", sim::family8100::Model::kX, OpenCrossovers,
                           LinkwitzRiley, f8100res::kLowFrequency},
            SteppedControl{"CrossoverSlope", sim::family8100::Model::kX, OpenCrossovers,
                           ArrowUp<f8100res::kHighOrder>, f8100res::kHighFrequency, "4k"},
            SteppedControl{"CrossoverGraphDrag", sim::family8100::Model::kX,
                           OpenCrossoversDroppedOnly, DragCrossover, f8100res::kHighFrequency},
            SteppedControl{"CrossoverLink", sim::family8100::Model::kX, OpenCrossovers,
                           Click<f8100res::kCrossoverLink>, f8100res::kHighFrequency, "4k"},
            SteppedControl{"DelayStep", sim::family8100::Model::kX,
                           OpenFromSignalFlow<f8100res::kLeftDelayButton>,
                           ArrowUp<f8100res::kLeftCoarseSpin>, f8100res::kLeftDelayEdit},
            SteppedControl{"LimiterThresholdStep", sim::family8100::Model::kX,
                           OpenFromSignalFlow<f8100res::kLeftLimiterButton>,
                           ArrowUp<f8100res::kLeftThresholdSpin>, f8100res::kLeftThresholdEdit},
            SteppedControl{"NoiseSpin", sim::family8100::Model::kRuneTide,
                           OpenFromSignalFlow<f8100res::kNoiseButton>,
                           SpinUp<f8100res::kLeftNoiseSpin>, f8100res::kLeftNoiseLevelEdit, "-20"},
            SteppedControl{"NoiseType", sim::family8100::Model::kRuneTide,
                           OpenFromSignalFlow<f8100res::kNoiseButton>,
                           Click<f8100res::kLeftFlatButton>, f8100res::kLeftNoiseLevelEdit, "-20"}),
        testing::Values(Failure::kSilence, Failure::kUnheard, Failure::kRefused)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) + FailureName(std::get<1>(info.param));
    });

// A frequency typed whose write the unit carried out without answering, and whose read back went
// unanswered as well: once the unit answers, a step made before any idle pass starts from the
// values the unit holds, read first, or from a number typed since into the field the step
// changes; a unit that does not give them is written nothing and the failure told once.
TEST_F(EntryFixture, AStepOnValuesInDoubtStartsFromWhatTheUnitHolds) {
  const struct {
    const char* name;
    ui::Dialog& (*open)(EntryFixture&);
    int edit;
    void (*step)(ui::Dialog&);
    // The frequency the step leaves, of the filter or the low crossover.
    int32_t (*frequency)(const IQDevice8100&);
    int32_t stepped;
    // Typed into the field, now empty, before the step.
    const char* typed = nullptr;
  } rows[] = {
      {"filter", OpenFilter<f8100res::kCmAddParametric>, f8100res::kFilterFrequency,
       SpinUp<f8100res::kFilterFrequencyQuad>,
       [](const IQDevice8100& unit) { return unit.Filters().back()->frequency; }, 4999},
      {"filter, a frequency typed", OpenFilter<f8100res::kCmAddParametric>,
       f8100res::kFilterFrequency, SpinUp<f8100res::kFilterFrequencyQuad>,
       [](const IQDevice8100& unit) { return unit.Filters().back()->frequency; }, 1999, "2000"},
      {"low crossover", OpenCrossovers, f8100res::kLowFrequency, ArrowUp<f8100res::kLowOrder>,
       [](const IQDevice8100& unit) { return unit.LowCrossover()->frequency; }, 5000},
  };
  for (const auto& row : rows) {
    for (const bool readFails : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (readFails ? ", its read failing" : ", answering"));
      ui::Dialog& dialog = row.open(*this);
      auto& field = ui::test::ControlOf(dialog, row.edit);
      field.SetText("");
      ui::test::Type(dialog, row.edit, "5000");
      bus.bus.AddFault(
          sim::Fault::Silence().ForUnit(kAddress).ForObject(g8100FilterValueLong.GetId()));
      ui::test::PressKey(field, Qt::Key_Return);
      bus.bus.ClearFaults();
      ASSERT_EQ(field.Text(), "");
      if (row.typed) {
        // Once the windows have been told of the lost write, as the user sees them.
        ui::test::PumpMessages();
        ui::test::Type(dialog, row.edit, row.typed);
      }
      if (readFails) {
        bus.bus.AddFault(sim::Fault::Silence()
                             .ForUnit(kAddress)
                             .ForOpcode(sim::kOpcodeGet)
                             .ForObject(g8100FilterValueLong.GetId()));
      }
      const std::vector<std::string> written =
          FilterValuesWrittenBy(*this, [&] { row.step(dialog); });
      EXPECT_EQ(reports, readFails ? 1 : 0);
      if (readFails) {
        EXPECT_THAT(written, testing::IsEmpty());
      } else {
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(row.frequency(*unit), row.stepped);
      }
      bus.bus.ClearFaults();
      window.reset();
      unit->ReadAgainQuietly();
    }
  }
}

// A Q dropped whose write the unit carried out without answering, its read back unanswered as
// well: once the unit answers, an arrow on the bandwidth slider before any idle pass steps from the
// Q the unit holds, read first, not from where the thumb rests, and writes with it a frequency
// typed since; a unit that does not give them is written nothing and the failure told once.
TEST_F(EntryFixture, AnArrowOnAQInDoubtStepsFromTheQTheUnitHolds) {
  for (const bool readFails : {false, true}) {
    SCOPED_TRACE(readFails ? "its read failing" : "answering");
    ui::Dialog& dialog = OpenFilter<f8100res::kCmAddParametric>(*this);
    // The frequency and the level go through; the Q after them, and every value from then on, is
    // silent.
    const sim::Fault lost =
        sim::Fault::Silence().ForUnit(kAddress).ForObject(g8100FilterValueLong.GetId());
    bus.bus.AddFault(lost.OnOccurrence(3).Times(sim::Fault::kForever));
    DropBandwidth(dialog);
    bus.bus.ClearFaults();
    ASSERT_EQ(ui::test::ControlOf(dialog, f8100res::kFilterQ).Text(), "");
    ui::test::Type(dialog, f8100res::kFilterFrequency, "2000");
    if (readFails) bus.bus.AddFault(lost.ForOpcode(sim::kOpcodeGet));
    const std::vector<std::string> written = FilterValuesWrittenBy(*this, [&] {
      ui::test::PressKey(ui::test::ControlOf(dialog, f8100res::kFilterBandwidth), Qt::Key_Right);
    });
    EXPECT_EQ(reports, readFails ? 1 : 0);
    if (readFails) {
      EXPECT_THAT(written, testing::IsEmpty());
    } else {
      EXPECT_FALSE(written.empty());
      // One step up from the position the drop left the unit at.
      EXPECT_EQ(BandwidthPosition(dynamic_cast<const TPeakFilter&>(*unit->Filters().back()).q), 13);
      EXPECT_EQ(unit->Filters().back()->frequency, 2000);
    }
    bus.bus.ClearFaults();
    window.reset();
    unit->ReadAgainQuietly();
  }
}

// A Q dropped whose write the unit carried out without answering, its read back unanswered as
// well, so that the program's copy holds the Q typed before: an action that takes the filter's
// values from the copy reads the unit again first and takes the Q the unit holds; a unit that does
// not give it is sent nothing, nothing is stored or printed, and the failure is told once.
TEST_F(EntryFixture, AnActionOnAFilterInDoubtTakesTheQTheUnitHolds) {
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  UnitWindow();
  std::unique_ptr<familycommon::FilterListPrintout> listing;
  const auto editor = [this] { return static_cast<TFilterLayoutWindow*>(window.get()); };
  const auto select = [&] {
    editor()->List()->List().SetSelected(0, true);
    ui::test::PumpMessages();
  };
  // The Q of the program's filter in `bank`: a copy, a drop and a flip hold what they sent.
  const auto heldQ = [this](int32_t bank) -> std::optional<float> {
    for (const auto& filter : unit->Filters()) {
      if (filter->bank == bank) return dynamic_cast<const TPeakFilter&>(*filter).q;
    }
    return std::nullopt;
  };
  const auto rightQ = [&] { return heldQ(kRightInputBank); };
  const struct {
    const char* name;
    std::function<void(ui::Dialog&)> act;
    std::function<std::optional<float>()> taken;
  } rows[] = {
      {"graph drop", DragIcon, rightQ},
      {"copy to the twin bank",
       [&](ui::Dialog&) {
         select();
         script.AnswerMessageBox(ui::kIdOk);
         ui::Application::Instance()->RouteCommand(f8100res::kCmCopyToTwin, editor());
       },
       [&] { return heldQ(kLeftInputBank); }},
      {"set as default",
       [&](ui::Dialog& dialog) {
         script.ChooseFromPopup(101);
         ui::test::MouseDown(dialog, {2, 2}, true);
       },
       [&]() -> std::optional<float> {
         TParametricFilter made;
         bus.x.Key().ApplyFilterDefaults(made);
         return made.q;
       }},
      {"listing", [&](ui::Dialog&) { listing = MakeBankListing(*unit, kRightInputBank); },
       [&]() -> std::optional<float> {
         float q = 0.0F;
         if (!listing || std::sscanf(listing->Rows().at(0).param2.c_str(), "Q: %f", &q) != 1) {
           return std::nullopt;
         }
         return q;
       }},
      {"bypass flipped in the list",
       [&](ui::Dialog&) {
         select();
         editor()->List()->SendNotify({101, ui::Notify::DoubleClick, &editor()->List()->List()});
       },
       rightQ},
      {"bypass flipped on the graph",
       [&](ui::Dialog&) {
         ui::Application::Instance()->RouteCommand(TFrequencyGraph::kCmBypass, editor()->Graph());
       },
       rightQ},
  };
  for (const auto& row : rows) {
    for (const bool silent : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (silent ? ", the unit silent" : ", answering"));
      unit->ReadAgainQuietly();
      unit->RemoveFilters();
      ui::Dialog& dialog = OpenFilter<f8100res::kCmAddParametric>(*this);
      ui::test::ControlOf(dialog, f8100res::kFilterQ).SetText("1.4");
      ui::test::PressKey(ui::test::ControlOf(dialog, f8100res::kFilterQ), Qt::Key_Return);
      ui::test::PumpMessages();
      // The frequency and the level go through; the Q after them, and its read back, are silent.
      bus.bus.AddFault(sim::Fault::Silence()
                           .ForUnit(kAddress)
                           .ForObject(g8100FilterValueLong.GetId())
                           .OnOccurrence(3)
                           .Times(sim::Fault::kForever));
      DropBandwidth(dialog);
      bus.bus.ClearFaults();
      ASSERT_EQ(ui::test::ControlOf(dialog, f8100res::kFilterQ).Text(), "");
      if (silent) bus.bus.AddFault(sim::Fault::Silence().ForUnit(kAddress));
      const std::vector<std::string> written =
          FilterValuesWrittenBy(*this, [&] { row.act(dialog); });
      bus.bus.ClearFaults();
      const std::optional<float> taken = row.taken();
      const auto is = [&](float q) { return taken && std::abs(*taken - q) < 0.05F; };
      EXPECT_EQ(reports, silent ? 1 : 0);
      EXPECT_TRUE(silent ? written.empty() && !is(1.4F) : is(QAtPosition(12)))
          << taken.value_or(-1.0F);
      listing.reset();
      window.reset();
    }
  }
}

struct LostStep {
  const char* name;
  sim::Fault fault;
};
void PrintTo(const LostStep& step, std::ostream* out) { *out << step.name; }

class LostStepSelectionTest : public EntryFixture, public testing::WithParamInterface<LostStep> {};

// A frequency step left in doubt on the bank editor the signal flow opens, while the unit's polls
// go on failing: the list keeps its rows, unknown at most; once the unit answers and is read again,
// which brings new filter objects, the filter the user selected is selected still, its dialog
// shown, on whatever row the list sorts it to, and every row shows what the unit holds.
TEST_P(LostStepSelectionTest, KeepsTheRowsAndTheSelectedFilterAcrossTheReadAgain) {
  RegisterBankEditor();
  struct Unregister {
    ~Unregister() { RegisterBankEditorMaker(nullptr); }
  } unregister;
  TSigFlowDialog& flow = UnitWindow().SignalFlow();
  ui::test::Click(flow, f8100res::kRightInputButton);
  ui::test::PumpMessages();
  TFilterLayoutWindow& editor =
      dynamic_cast<TFilterDecoratedFrame&>(*flow.Editor(EditorView::RightInput)).Editor();
  for (int add : {f8100res::kCmAddHighShelf, f8100res::kCmAddParametric, f8100res::kCmAddLowpass}) {
    ui::Application::Instance()->RouteCommand(add, &editor);
    ui::test::PumpMessages();
  }
  ui::ListView& list = editor.List()->List();
  const auto parametricRow = [&] {
    for (int row = 0; row < list.Count(); ++row) {
      if (list.ItemText(row, 0) == FilterTypeName(kParametricFilter)) return row;
    }
    return -1;
  };
  const auto rows = [&] {
    std::vector<std::string> texts;
    for (int row = 0; row < list.Count(); ++row) {
      for (int column = 0; column <= 3; ++column) texts.push_back(list.ItemText(row, column));
    }
    return texts;
  };
  list.SetSelected(parametricRow(), true);
  ui::test::PumpMessages();
  ASSERT_NE(editor.Parameters().Dialog(), nullptr);
  const int32_t slot = editor.Parameters().Dialog()->Filter()->slot;
  const std::vector<std::string> before = rows();

  bus.bus.AddFault(GetParam().fault.ForUnit(kAddress));
  reports = 0;
  Spin(*editor.Parameters().Dialog(), f8100res::kFilterFrequencyQuad);
  ui::test::PumpMessages();
  PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
  ui::test::PumpIdle(3);
  ui::test::PumpMessages();
  const std::vector<std::string> during = rows();
  ASSERT_EQ(during.size(), before.size());
  for (std::size_t i = 0; i < during.size(); ++i) {
    if (!during[i].empty()) {
      EXPECT_EQ(during[i], before[i]) << i;
    }
  }

  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  EXPECT_EQ(reports, 1);
  ASSERT_EQ(list.Count(), 3);
  ASSERT_EQ(editor.Hub().selection.size(), 1u);
  ASSERT_NE(editor.Graph()->Icons().Selected(), nullptr);
  EXPECT_EQ(&editor.Graph()->Icons().Selected()->Filter(), editor.Hub().selection.front().get());
  TFilter* selected = editor.Hub().selection.front();
  EXPECT_EQ(selected->slot, slot);
  EXPECT_THAT(list.SelectedItems(), testing::ElementsAre(parametricRow()));
  ASSERT_NE(editor.Parameters().Dialog(), nullptr);
  EXPECT_EQ(editor.Parameters().Dialog()->Filter(), selected);
  EXPECT_EQ(ui::test::ControlOf(*editor.Parameters().Dialog(), f8100res::kFilterFrequency).Text(),
            std::to_string(selected->frequency));
  for (int row = 0; row < list.Count(); ++row) EXPECT_FALSE(list.ItemText(row, 1).empty()) << row;
  EXPECT_EQ(list.ItemText(parametricRow(), 1), selected->FormatFrequency(true));
}

INSTANTIATE_TEST_SUITE_P(FrequencyStep, LostStepSelectionTest,
                         testing::Values(LostStep{"CarriedOut",
                                                  sim::Fault::Silence().ForOpcode(sim::kOpcodeSet)},
                                         LostStep{"Unheard", sim::Fault::Unheard()}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace namespace8100
