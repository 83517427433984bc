// The bank editor, its list and its filter dialogs on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using testing::IsEmpty;
using testing::Not;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

struct EditorFixture : testing::Test {
  EditorFixture() {
    for (IQ8100Type* type :
         std::initializer_list<IQ8100Type*>{&bus.base, &bus.plus, &bus.x, &bus.runeTide}) {
      type->SetRegistryKey(store.Root());
    }
    editor.Create();
    ui::test::PumpMessages();
  }
  ~EditorFixture() override { editor.Destroy(); }

  void Command(int id) {
    ui::Application::Instance()->RouteCommand(id, &editor);
    ui::test::PumpMessages();
  }
  ui::ListView& List() { return editor.List()->List(); }
  TFilterDialog8100& Dialog() {
    TFilterDialog8100* dialog = editor.Parameters().Dialog();
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  // Types into a field of the current dialog and lets Enter go.
  void Enter(int field, const std::string& text) {
    ui::test::ControlOf(Dialog(), field).SetText(text);
    ui::test::PressKey(ui::test::ControlOf(Dialog(), field), Qt::Key_Return);
    ui::test::PumpMessages();
  }

  OlderFamilyBus bus;
  int unitIndex = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  IQDevice8100* unit = OnlyUnit(bus);
  registry::Store store;
  TAllChannelParent hubs;
  TFilterLayoutWindow editor{*unit, hubs, kRightInputBank};
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
};

}  // namespace

TEST_F(EditorFixture, TheListAddsCopiesAndDeletesAndLeavesNoFreedFilterBehind) {
  Command(f8100res::kCmAddParametric);
  Command(f8100res::kCmAddLowpass);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Dialog().Filter().type, kLowpassFilter);  // the new filter is shown at once

  // Two selected rows: the commands act on both, and no dialog shows a single filter.
  List().SetSelected(0, true);
  List().SetSelected(1, true);
  ui::test::PumpMessages();
  EXPECT_EQ(editor.Hub().selection.size(), 2u);
  EXPECT_EQ(editor.Parameters().Dialog(), nullptr);

  script.AnswerMessageBox(ui::kIdOk);
  Command(f8100res::kCmCopyToTwin);
  ASSERT_EQ(unit->Filters().size(), 4u);
  EXPECT_EQ(unit->Filters()[2]->bank, kLeftInputBank);
  EXPECT_THAT(editor.Hub().selection, IsEmpty());  // the banks were read again

  List().SetSelected(0, true);
  List().SetSelected(1, true);
  ui::test::PumpMessages();
  script.AnswerMessageBox(ui::kIdOk);
  Command(f8100res::kCmDeleteFilters);
  EXPECT_EQ(List().Count(), 0);
  EXPECT_THAT(editor.Hub().selection, IsEmpty());
  EXPECT_EQ(editor.Hub().current, nullptr);
  EXPECT_THAT(editor.Graph()->Icons().All(), IsEmpty());
  EXPECT_EQ(editor.Graph()->Icons().Selected(), nullptr);
  EXPECT_EQ(unit->Filters().size(), 2u);  // the copies stay in the left bank
}

TEST_F(EditorFixture, DialogsWriteExactlyWhatTheUserAccepted) {
  Command(f8100res::kCmAddParametric);
  bus.TakeTrace();
  TFilter& filter = Dialog().Filter();
  auto& peak = dynamic_cast<TPeakFilter&>(filter);

  Enter(f8100res::kFilterFrequency, "1.5k");
  EXPECT_EQ(filter.frequency, 1500);
  EXPECT_THAT(bus.TakeTrace(), Not(IsEmpty()));
  Enter(f8100res::kFilterLevel, "15");
  EXPECT_FLOAT_EQ(peak.level, 12.0F);
  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterLevel).Text(), "12.0");

  // Only the characters of a number reach the fields.
  ui::test::ControlOf(Dialog(), f8100res::kFilterFrequency).SetText("");
  ui::test::Type(Dialog(), f8100res::kFilterFrequency, "1a.5k-");
  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterFrequency).Text(), "1.5k");
  ui::test::ControlOf(Dialog(), f8100res::kFilterQ).SetText("");
  ui::test::Type(Dialog(), f8100res::kFilterQ, "-2k.5");
  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterQ).Text(), "-2.5");

  // Fields that hold no number write nothing and leave the filter as it was.
  for (int field : {f8100res::kFilterFrequency, f8100res::kFilterLevel, f8100res::kFilterQ}) {
    ui::test::ControlOf(Dialog(), field).SetText("");
  }
  bus.TakeTrace();
  ui::test::PressKey(ui::test::ControlOf(Dialog(), f8100res::kFilterLevel), Qt::Key_Return);
  ui::test::PumpMessages();
  EXPECT_THAT(bus.TakeTrace(), IsEmpty());
  EXPECT_EQ(filter.frequency, 1500);
  EXPECT_TRUE(editor.Parameters().Dialog() != nullptr);  // Enter does not close it

  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterLevel).Text(), "12.0");  // shown again
  ui::test::ControlOf(Dialog(), f8100res::kFilterLevel).SetText("6");
  ui::test::Click(Dialog(), f8100res::kFilterInvert);
  ui::test::PumpMessages();
  EXPECT_FLOAT_EQ(peak.level, -6.0F);

  // A low-pass filter's slope arrows step its order.
  Command(f8100res::kCmAddLowpass);
  auto& pass = dynamic_cast<TPassFilter&>(Dialog().Filter());
  const int32_t order = pass.order;
  dynamic_cast<ui::UpDown&>(ui::test::ControlOf(Dialog(), f8100res::kFilterSlopeSpin)).Step(-1);
  ui::test::PumpMessages();
  EXPECT_EQ(pass.order, order + 1);
  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterSlope).Text(),
            std::to_string(-6 * (order + 1)));
}

TEST_F(EditorFixture, SetAsDefaultGivesTheTypesNewFiltersTheseValuesButBoostCutHasNoMenu) {
  Command(f8100res::kCmAddParametric);
  Enter(f8100res::kFilterFrequency, "2500");
  script.ChooseFromPopup(101);
  ui::test::MouseDown(Dialog(), {2, 2}, true);
  ui::test::PumpMessages();
  Command(f8100res::kCmAddParametric);
  EXPECT_EQ(Dialog().Filter().frequency, 2500);

  auto made = std::make_unique<TOctaveFilter>();
  made->bank = kRightInputBank;
  TFilter& boostCut = unit->PlaceFilter(std::move(made));
  auto dialog = TFilterDialog8100::Make(nullptr, editor.Hub(), boostCut);
  dialog->Create();
  ui::test::MouseDown(*dialog, {2, 2}, true);  // an unscripted menu would fail the test
  ui::test::PumpMessages();
}

TEST(BankEditorFrame, TheSignalFlowPageOpensItAndHearsWhenItCloses) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  RegisterBankEditor();
  TSigFlowDialog signalFlow(nullptr, *OnlyUnit(bus));
  signalFlow.Create();
  ui::test::Click(signalFlow, f8100res::kLeftOutputButton);
  ui::test::PumpMessages();
  auto* frame = dynamic_cast<TFilterDecoratedFrame*>(signalFlow.Editor(EditorView::LeftOutput));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Editor().Hub().Bank(), kLeftOutputBank);

  frame->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  EXPECT_EQ(signalFlow.Editor(EditorView::LeftOutput), nullptr);
}

TEST_F(EditorFixture, EveryFilterDialogFitsTheParameterStripAtTheEditorsFirstSize) {
  editor.SetRect({0, 0, 480, 360});
  ui::test::PumpMessages();
  for (int add : {f8100res::kCmAddParametric, f8100res::kCmAddLowpass, f8100res::kCmAddHighpass,
                  f8100res::kCmAddLowShelf, f8100res::kCmAddHighShelf}) {
    Command(add);
    const ui::DialogTemplate* layout = ui::Resources::Dialog(Dialog().ResourceId());
    ASSERT_NE(layout, nullptr);
    const ui::Rect extent = Dialog().Units().ToPixels(layout->box);
    const ui::Rect strip = editor.Parameters().ClientRect();
    EXPECT_LE(extent.right, strip.right) << layout->id;
    EXPECT_LE(extent.bottom, strip.bottom) << layout->id;
  }
}
