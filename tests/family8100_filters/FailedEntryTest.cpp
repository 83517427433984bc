// A value typed into a filter or crossover field of an older-family unit that fails.

#include <gtest/gtest.h>

#include <Qt>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/TEdit8100Window.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "sim/Fault.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

namespace namespace8100 {
namespace {

using testsupport8100::WriteFailure;

struct EntryFixture : testing::Test {
  EntryFixture() {
    bus.x.SetRegistryKey(store.Root());
    controls::SetDeviceErrorReporter([this](const IQException&, IQDevice*, int) { ++reports; });
  }
  ~EntryFixture() override {
    if (window) window->Destroy();
    controls::SetDeviceErrorReporter(nullptr);
  }

  testsupport8100::OlderFamilyBus bus;
  static constexpr int kAddress = 3;
  int unitIndex = sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = sim::family8100::Model::kX, .address = kAddress});
  IQDevice8100* unit = testsupport8100::OnlyUnit(bus);
  registry::Store store;
  TAllChannelParent hubs;
  std::unique_ptr<ui::Window> window;
  int reports = 0;
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
  if (failure == WriteFailure::kRefused) {
    EXPECT_EQ(edit.Text(), shown);
  }

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

}  // namespace
}  // namespace namespace8100
