// A value typed into a filter or crossover field of an older-family unit that fails.

#include <gtest/gtest.h>

#include <Qt>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
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

struct TypedField {
  const char* what;
  ui::Dialog& (*open)(EntryFixture&);
  int edit;
  const char* typed;
};

class FailedFilterEntryTest : public EntryFixture,
                              public testing::WithParamInterface<std::tuple<TypedField, bool>> {};

// Enter with a value typed while the unit fails: one report, the field shows again what it showed,
// and once the unit answers, Enter writes what an Enter wrote before anything was typed.
TEST_P(FailedFilterEntryTest, IsToldOnceAndNeitherShownNorWrittenLater) {
  const auto& [field, refused] = GetParam();
  ui::Dialog& dialog = field.open(*this);
  auto& edit = ui::test::ControlOf(dialog, field.edit);
  const auto enter = [&] {
    bus.TakeTrace();
    ui::test::PressKey(edit, Qt::Key_Return);
    ui::test::PumpMessages();
    std::vector<std::string> writes = bus.TakeTrace();
    std::erase_if(writes, [](const std::string& line) { return line[0] != 'W'; });
    return writes;
  };
  const std::vector<std::string> untyped = enter();
  const std::string shown = edit.Text();
  reports = 0;
  ui::test::Type(dialog, field.edit, field.typed);
  bus.bus.AddFault(
      (refused ? sim::Fault::ErrorObject(3) : sim::Fault::Silence()).ForUnit(kAddress));
  enter();
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(edit.Text(), shown);

  bus.bus.ClearFaults();
  EXPECT_EQ(enter(), untyped);
  EXPECT_EQ(edit.Text(), shown);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypedField, FailedFilterEntryTest,
    testing::Combine(
        testing::Values(TypedField{"ParametricFrequency", OpenFilter<f8100res::kCmAddParametric>,
                                   f8100res::kFilterFrequency, "2500"},
                        TypedField{"ParametricLevel", OpenFilter<f8100res::kCmAddParametric>,
                                   f8100res::kFilterLevel, "-3"},
                        TypedField{"ParametricQ", OpenFilter<f8100res::kCmAddParametric>,
                                   f8100res::kFilterQ, "2"},
                        TypedField{"LowpassFrequency", OpenFilter<f8100res::kCmAddLowpass>,
                                   f8100res::kFilterFrequency, "80"},
                        TypedField{"ShelfLevel", OpenFilter<f8100res::kCmAddHighShelf>,
                                   f8100res::kFilterLevel, "6"},
                        TypedField{"LowCrossover", OpenCrossovers, f8100res::kLowFrequency, "300"},
                        TypedField{"HighCrossover", OpenCrossovers, f8100res::kHighFrequency,
                                   "4k"}),
        testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) +
             (std::get<1>(info.param) ? "Refused" : "Silent");
    });

}  // namespace
}  // namespace namespace8100
