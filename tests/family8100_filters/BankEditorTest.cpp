// The bank editor, its list and its filter dialogs on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/LoadFailure.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/Family8100BankEditorIds.h"
#include "resources/Family8100FilterDialogIds.h"
#include "resources/Family8100Ids.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "tests/family8100_unit/BankGraphPixel.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/FaultKinds.h"

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
  EXPECT_EQ(Dialog().Filter()->type, kLowpassFilter);  // the new filter is shown at once

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
  // The banks were listed again, the user's selection kept.
  EXPECT_EQ(editor.Hub().selection.size(), 2u);

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
  TFilter& filter = *Dialog().Filter();
  auto& peak = dynamic_cast<TPeakFilter&>(filter);

  Enter(f8100res::kFilterFrequency, "1.5k");
  EXPECT_EQ(filter.frequency, 1500);
  EXPECT_THAT(bus.TakeTrace(), Not(IsEmpty()));
  Enter(f8100res::kFilterLevel, "15");
  EXPECT_FLOAT_EQ(peak.level, 12.0F);
  EXPECT_EQ(ui::test::ControlOf(Dialog(), f8100res::kFilterLevel).Text(), "12.0");

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
  auto& pass = dynamic_cast<TPassFilter&>(*Dialog().Filter());
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
  EXPECT_EQ(Dialog().Filter()->frequency, 2500);

  auto made = std::make_unique<TOctaveFilter>();
  made->bank = kRightInputBank;
  TFilter& boostCut = unit->PlaceFilter(std::move(made));
  auto dialog = TFilterDialog8100::Make(nullptr, editor.Hub(), boostCut);
  dialog->Create();
  ui::test::MouseDown(*dialog, {2, 2}, true);  // an unscripted menu would fail the test
  ui::test::PumpMessages();
}

// A read of the filters that the unit breaks off leaves the free sections unknown, never the
// whole budget of a bank read empty, until a read of the unit ends whole.
TEST_F(EditorFixture, TheCountOfFiltersTheUnitDidNotLetBeReadIsUnknownUntilItIsReadWhole) {
  Command(f8100res::kCmAddParametric);
  Command(f8100res::kCmAddLowpass);
  const std::string count = editor.Count().CountText();
  EXPECT_EQ(count, std::to_string(kSectionBudget - 2));
  bus.bus.AddFault(sim::Fault::Silence().ForUnit(4));
  EXPECT_FALSE(unit->ReadAgainQuietly());
  ui::test::PumpMessages();
  EXPECT_EQ(editor.Count().CountText(), "?");
  bus.bus.ClearFaults();
  EXPECT_TRUE(unit->ReadAgainIfStale());
  ui::test::PumpMessages();
  EXPECT_EQ(editor.Count().CountText(), count);
}

TEST_F(EditorFixture, EmptySelectionsGreyTheListsCommandsAndSelectionsStayTheUsers) {
  // The list's menu names the twin bank and greys what has nothing to act on.
  std::unique_ptr<ui::Menu> menu = editor.List()->ContextMenu();
  menu->UpdateItems();
  EXPECT_EQ(menu->ItemText(f8100res::kCmCopyToTwin), "Copy to left");
  for (int id : {f8100res::kCmDeleteFilters, f8100res::kCmBypassFilters, f8100res::kCmEnableFilters,
                 f8100res::kCmCopyToTwin}) {
    EXPECT_FALSE(menu->IsEnabled(id)) << id;
  }
  EXPECT_TRUE(menu->IsEnabled(f8100res::kCmPrintFilters));

  // Two boost/cut filters in the selection: one warning, and Cancel deletes nothing.
  for (int i = 0; i < 2; ++i) {
    unit->PlaceFilter(MakeFilter(kBoostCutFilter)).bank = kRightInputBank;
  }
  editor.Hub().Broadcast(bankmsg::kReload, 0, 0);
  ui::test::PumpMessages();
  List().SetSelected(0, true);
  List().SetSelected(1, true);
  ui::test::PumpMessages();
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdCancel);
  Command(f8100res::kCmDeleteFilters);
  EXPECT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(List().Count(), 2);

  // A double-click on two rows does nothing; on one it toggles the mark and keeps the selection.
  TFilter* first = editor.Hub().selection.front();
  editor.List()->SendNotify({101, ui::Notify::DoubleClick, &List()});
  ui::test::PumpMessages();
  EXPECT_FALSE(first->bypass);
  List().SetSelected(1, false);
  ui::test::PumpMessages();
  const TFilterDialog8100* shown = editor.Parameters().Dialog();
  editor.List()->SendNotify({101, ui::Notify::DoubleClick, &List()});
  ui::test::PumpMessages();
  EXPECT_TRUE(first->bypass);
  EXPECT_THAT(editor.Hub().selection, testing::ElementsAre(first));
  EXPECT_EQ(editor.Parameters().Dialog(), shown);  // no new selection was announced
}

TEST(BankEditorFrame, OpensWhereTheUserLeftItWithTheEditorsMenuKeysAndToolBar) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  IQDevice8100& unit = *OnlyUnit(bus);
  RegisterBankEditor();
  TSigFlowDialog signalFlow(nullptr, unit);
  signalFlow.Create();
  const auto open = [&] {
    ui::test::Click(signalFlow, f8100res::kLeftOutputButton);
    ui::test::PumpMessages();
    return dynamic_cast<TFilterDecoratedFrame*>(signalFlow.Editor(EditorView::LeftOutput));
  };
  const auto close = [&](TFilterDecoratedFrame* frame) {
    frame->CloseWindow(ui::kIdCancel);
    ui::test::PumpMessages();
    EXPECT_EQ(signalFlow.Editor(EditorView::LeftOutput), nullptr);
  };

  TFilterDecoratedFrame* frame = open();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->PlacementRect(), (ui::Rect{10, 10, 500, 400}));
  EXPECT_EQ(frame->Editor().Graph()->WindowRect().Width(), 300);
  // The menu's commands this editor lacks are greyed; Ctrl+P adds a parametric filter.
  ui::Menu* edit = frame->MenuBar()->SubMenu(1);
  edit->UpdateItems();
  EXPECT_FALSE(edit->IsEnabled(ovfilter_res::kCmUnlink));
  EXPECT_TRUE(edit->IsEnabled(f8100res::kCmBypassFilters));
  ui::test::PressKey(*frame, Qt::Key_P, ui::kControlKey);
  ui::test::PumpMessages();
  ASSERT_EQ(unit.Filters().size(), 1u);
  TFilterDialog8100* dialog = frame->Editor().Parameters().Dialog();
  ASSERT_NE(dialog, nullptr);  // with none of its fields cut off
  EXPECT_LE(ui::test::ControlOf(*dialog, f8100res::kFilterQ).WindowRect().bottom,
            dialog->ClientRect().Height());
  auto* toolBar = frame->Widget()->findChild<QToolBar*>();
  ASSERT_NE(toolBar, nullptr);
  EXPECT_EQ(toolBar->actions().size(), 5);

  frame->SetRect({40, 50, 640, 450});
  TFrequencyGraph* graph = frame->Editor().Graph();
  dynamic_cast<ui::Splitter&>(*graph->Parent()).SetPaneSize(*graph, 200);
  close(frame);
  frame = open();
  EXPECT_EQ(frame->PlacementRect(), (ui::Rect{40, 50, 640, 450}));
  EXPECT_EQ(frame->Editor().Graph()->WindowRect().Width(), 200);
  frame->ShowMaximized();
  close(frame);
  EXPECT_TRUE(unit.editorPlaces[kLeftOutputBank].maximized);
  EXPECT_EQ(unit.editorPlaces[kLeftOutputBank].rect, (ui::Rect{40, 50, 640, 450}));
  frame = open();
  EXPECT_TRUE(frame->IsMaximized());
}

// The signal-flow page opens the crossover window where it was left; the window keeps its
// graph's rectangle too. A minimised window keeps neither.
TEST(CrossoverFrame, KeepsWhereTheUserLeftItButNotTheRectangleOfAMinimisedWindow) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = sim::family8100::Model::kX, .address = 4});
  IQDevice8100& unit = *OnlyUnit(bus);
  RegisterCrossoverEditor();
  TSigFlowDialog signalFlow(nullptr, unit);
  signalFlow.Create();
  const struct {
    ui::Rect place;
    bool minimised;
  } closings[] = {
      {{20, 30, 520, 430}, false}, {{60, 60, 400, 400}, true}, {{40, 20, 760, 560}, false}};
  ui::Rect keptPlace = kFirstCrossoverRect;
  ui::Rect keptGraph = kFirstGraphRect;
  for (const auto& closing : closings) {
    SCOPED_TRACE(closing.place.left);
    ui::test::Click(signalFlow, f8100res::kLowCrossoverButton);
    ui::test::PumpMessages();
    auto* frame = dynamic_cast<TCrossoverDecFrame*>(signalFlow.Editor(EditorView::Crossovers));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->PlacementRect(), keptPlace);
    frame->SetRect(closing.place);
    ui::test::PumpMessages();
    if (closing.minimised) {
      frame->ShowMinimized();
    } else {
      keptPlace = closing.place;
      keptGraph = frame->Window().Graph().ClientRect();
      EXPECT_GT(keptGraph.Width(), 300);
    }
    frame->CloseWindow(ui::kIdCancel);
    ui::test::PumpMessages();
    EXPECT_EQ(unit.editorPlaces[kCrossoverView].rect, keptPlace);
    EXPECT_FALSE(unit.editorPlaces[kCrossoverView].maximized);
    EXPECT_EQ(unit.graphRects[kCrossoverView], keptGraph);
  }
}

// A unit that refuses the read of its list text still gets its bank editor and its crossover
// window, their graphs captioned by its name; nothing escapes the windows' setup.
TEST(GraphCaption, AUnitThatDoesNotAnswerIsNamedByItsAddress) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = sim::family8100::Model::kX, .address = 4});
  IQDevice8100& unit = *OnlyUnit(bus);
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(g8100Locked.GetId()).Times(sim::Fault::kForever));
  TCrossoverWindow crossovers(unit);
  crossovers.Create();
  EXPECT_EQ(crossovers.Graph().Text(), "Unit: '4'; Crossovers");
  TAllChannelParent hubs;
  TFilterLayoutWindow editor(unit, hubs, kRightOutputBank);
  editor.Create();
  EXPECT_EQ(editor.Graph()->Text(), "Unit: '4'; right output filters");
  bus.bus.ClearFaults();
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

TEST_F(EditorFixture, EveryFilterDialogShowsItsTypesPicture) {
  const auto picture = [](ui::Window& dialog) {
    const auto* label =
        qobject_cast<QLabel*>(ui::test::ControlOf(dialog, f8100res::kFilterTypePicture).Widget());
    return label != nullptr ? label->pixmap().toImage() : QImage();
  };
  const auto same = [](const QImage& shown, int imageId) {
    return shown.convertToFormat(QImage::Format_RGB32) ==
           ui::Resources::Image(imageId).convertToFormat(QImage::Format_RGB32);
  };
  for (const auto& [add, imageId] :
       {std::pair{f8100res::kCmAddParametric, ovfilter_res::kParametricButton},
        {f8100res::kCmAddLowpass, ovfilter_res::kLowpassButton},
        {f8100res::kCmAddHighpass, ovfilter_res::kHighpassButton},
        {f8100res::kCmAddLowShelf, ovfilter_res::kLowShelfButton},
        {f8100res::kCmAddHighShelf, ovfilter_res::kHighShelfButton}}) {
    Command(add);
    EXPECT_TRUE(same(picture(Dialog()), imageId)) << Dialog().ResourceId();
  }

  auto made = std::make_unique<TOctaveFilter>();
  made->bank = kRightInputBank;
  auto boostCut =
      TFilterDialog8100::Make(nullptr, editor.Hub(), unit->PlaceFilter(std::move(made)));
  boostCut->Create();
  EXPECT_TRUE(same(picture(*boostCut), ovfilter_res::kBoostCutPicture));
  EXPECT_FALSE(same(picture(*boostCut), ovfilter_res::kParametricButton));
}

namespace {

constexpr int kDeleteFilterObject = 18;

// Whether every row of the list and every icon of the graph names a filter the unit holds.
bool ViewsShowOnlyHeldFilters(TFilterLayoutWindow& editor, const IQDevice8100& unit) {
  for (const auto& icon : editor.Graph()->Icons().All()) {
    if (!HoldsFilter(unit, &icon->Filter())) return false;
  }
  std::size_t rows = 0;
  for (const auto& filter : unit.Filters()) rows += filter->bank == editor.Hub().Bank() ? 1 : 0;
  return static_cast<std::size_t>(editor.List()->List().Count()) == rows;
}

}  // namespace

TEST_F(EditorFixture, DeletingFromTheGraphTakesTheGraphsFilterAndLeavesTheListsSelection) {
  editor.SetRect({0, 0, 1000, 500});
  editor.Show();
  ui::test::PumpMessages();
  // The list's selection: none, or the row of the filter that stays.
  for (const bool parametricSelected : {false, true}) {
    SCOPED_TRACE(parametricSelected);
    Command(f8100res::kCmAddParametric);
    Command(f8100res::kCmAddLowpass);
    List().SelectItem(-1);
    if (parametricSelected) List().SetSelected(List().Count() - 1, true);  // sorted by text
    ui::test::PumpMessages();
    ASSERT_EQ(List().ItemText(List().Count() - 1, 0), "Parametric");

    // A click on the low-pass icon selects it in the graph alone; its pop-up menu deletes it.
    TFrequencyGraph& graph = *editor.Graph();
    const auto& icons = graph.Icons().All();
    const auto lowpass = std::ranges::find_if(
        icons, [](const auto& icon) { return icon->Filter().type == kLowpassFilter; });
    ASSERT_NE(lowpass, icons.end());
    const ui::Point at = testsupport8100::BankGraphPixel(graph, *unit, (*lowpass)->position);
    ui::test::MouseDown(graph, at);
    ui::test::MouseUp(graph, at);
    ui::test::PumpMessages();
    ASSERT_EQ(graph.Icons().Selected(), lowpass->get());
    script.ChooseFromPopup(TFrequencyGraph::kCmDelete);
    ui::test::MouseDown(graph, at, true);
    ui::test::PumpMessages();

    ASSERT_EQ(unit->Filters().size(), 1u);
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(List().ItemText(0, 0), "Parametric");
    EXPECT_EQ(List().SelectedItems(),
              parametricSelected ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
    // The row left stands for the unit's filter: deleting it from the list empties the bank.
    List().SelectItem(-1);
    List().SetSelected(0, true);
    ui::test::PumpMessages();
    script.AnswerMessageBox(ui::kIdOk);
    Command(f8100res::kCmDeleteFilters);
    EXPECT_TRUE(unit->Filters().empty());
    EXPECT_EQ(List().Count(), 0);
  }
}

TEST_F(EditorFixture, AMultiDeleteThatStopsAtAnyStepLeavesNoViewOnAFreedFilter) {
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    for (int add : {f8100res::kCmAddParametric, f8100res::kCmAddLowpass, f8100res::kCmAddHighpass})
      Command(add);
    for (int row = 0; row < List().Count(); ++row) List().SetSelected(row, true);
    ui::test::PumpMessages();
    bus.bus.ClearFaults();
    bus.bus.AddFault(sim::Fault::Silence().ForObject(kDeleteFilterObject).OnOccurrence(failing));
    // What the views show behind the error box, and the graph repainted there.
    bool consistentWhenReported = false;
    int reports = 0;
    controls::SetDeviceErrorReporter([&](const IQException&, IQDevice*, int) {
      ++reports;
      consistentWhenReported = ViewsShowOnlyHeldFilters(editor, *unit);
      editor.Graph()->Invalidate();
      ui::test::SamplePixel(*editor.Graph(), {0, 0});
    });
    script.AnswerMessageBox(ui::kIdOk);
    Command(f8100res::kCmDeleteFilters);
    controls::SetDeviceErrorReporter(nullptr);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(consistentWhenReported);
    // The unit carried out the delete whose answer was lost.
    EXPECT_EQ(unit->Filters().size(), static_cast<std::size_t>(3 - failing));
    EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
    bus.bus.ClearFaults();
    controls::GuardedBusCall(unit, [&] { unit->RemoveFilters(); });
    ui::test::PumpMessages();
  }
}

TEST_F(EditorFixture, ACopyToTheTwinBankThatStopsAtAnyStepLeavesTheBanksAsTheUnitHoldsThem) {
  int reports = 0;
  controls::SetDeviceErrorReporter([&](const IQException&, IQDevice*, int) { ++reports; });
  const auto prepare = [&] {
    controls::GuardedBusCall(unit, [&] { unit->RemoveFilters(); });
    ui::test::PumpMessages();
    Command(f8100res::kCmAddParametric);
    Command(f8100res::kCmAddLowpass);
    for (int row = 0; row < List().Count(); ++row) List().SetSelected(row, true);
    ui::test::PumpMessages();
    bus.TakeTrace();
  };
  prepare();
  script.AnswerMessageBox(ui::kIdOk);
  Command(f8100res::kCmCopyToTwin);
  ASSERT_EQ(unit->Filters().size(), 4u);
  const int steps = static_cast<int>(bus.TakeTrace().size());
  ASSERT_GT(steps, 4);
  for (int failing = 1; failing <= steps; ++failing) {
    SCOPED_TRACE(failing);
    prepare();
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    reports = 0;
    script.AnswerMessageBox(ui::kIdOk);
    Command(f8100res::kCmCopyToTwin);
    bus.bus.ClearFaults();
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
    const std::vector<std::string> program = testsupport8100::Described(*unit);
    unit->ReadAllParameters();
    EXPECT_EQ(program, testsupport8100::Described(*unit));
  }
  controls::SetDeviceErrorReporter(nullptr);
}

// Adding, deleting and copying to the twin bank, cut off at a request by each kind of fault: one
// report, by the error dialog where the unit answers the read again, else by the one box that
// tells the failure with its request and says that the unit stopped answering, and, before any
// write went out (the ready read, the new slot's), that its settings are as they were; once it
// answers, the banks show what it holds.
TEST_F(EditorFixture, ABankCommandCutOffPartWayIsToldOnce) {
  int reports = 0;
  controls::SetDeviceErrorReporter([&](const IQException&, IQDevice*, int) { ++reports; });
  const auto filters = [&](std::vector<int> adds, bool selected) {
    return [this, adds, selected] {
      controls::GuardedBusCall(unit, [&] { unit->RemoveFilters(); });
      // The last route's doubt is settled: its end read the unit whole and found what the program
      // holds, so the command has no copy in doubt to read again first.
      unit->TakeDoubt();
      ui::test::PumpMessages();
      for (const int add : adds) Command(add);
      for (int row = 0; selected && row < List().Count(); ++row) List().SetSelected(row, true);
      ui::test::PumpMessages();
    };
  };
  const struct {
    const char* what;
    std::function<void()> prepare;
    int command;
    bool asks;
  } routes[] = {
      {"add", filters({f8100res::kCmAddParametric}, false), f8100res::kCmAddLowpass, false},
      {"delete",
       filters({f8100res::kCmAddParametric, f8100res::kCmAddLowpass, f8100res::kCmAddHighpass},
               true),
       f8100res::kCmDeleteFilters, true},
      {"copy to the twin bank",
       filters({f8100res::kCmAddParametric, f8100res::kCmAddLowpass}, true),
       f8100res::kCmCopyToTwin, true},
  };
  int stoppedAnswering = 0;
  for (const auto& route : routes) {
    route.prepare();
    if (route.asks) script.AnswerMessageBox(ui::kIdOk);
    bus.TakeTrace();
    Command(route.command);
    const std::vector<std::string> trace = bus.TakeTrace();
    const int steps = static_cast<int>(trace.size());
    ASSERT_GT(steps, 3) << route.what;
    for (const testsupport::FaultKind& kind : testsupport::kFaultKinds) {
      for (const int step : {1, 2, steps / 2, steps}) {
        SCOPED_TRACE(testing::Message() << route.what << ", " << kind.name << " at " << step);
        route.prepare();
        ui::PromptScript answers([](const std::string&) {});
        if (route.asks) answers.AnswerMessageBox(ui::kIdOk);
        answers.AnswerMessageBox(ui::kIdOk);
        const std::size_t asked = route.asks ? 1 : 0;
        reports = 0;
        bus.bus.AddFault(sim::Fault(kind.fault).OnOccurrence(step).Times(kind.times));
        Command(route.command);
        bus.bus.ClearFaults();
        EXPECT_EQ(reports + testsupport::FailuresToldInBoxes(answers, asked), 1);
        EXPECT_TRUE(testsupport::BoxesNameTheFailedRequest(answers, asked, 4));
        if (unit->ListsStale()) {
          ++stoppedAnswering;
          EXPECT_EQ(reports, 0) << "the box tells the failure, no error dialog before it";
          ASSERT_EQ(answers.Seen().size(), asked + 1);
          const bool written = std::any_of(trace.begin(), trace.begin() + step,
                                           [](const std::string& r) { return r[0] == 'W'; });
          EXPECT_EQ(testsupport::AfterTheFailure(answers.Seen().back().text),
                    familycommon::StoppedAnsweringText(written));
          EXPECT_TRUE(unit->ReadAgainIfStale());
          ui::test::PumpMessages();
        }
        EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
        const std::vector<std::string> program = testsupport8100::Described(*unit);
        unit->ReadAllParameters();
        EXPECT_EQ(program, testsupport8100::Described(*unit));
      }
    }
  }
  EXPECT_GT(stoppedAnswering, 0);
  controls::SetDeviceErrorReporter(nullptr);
}

// The list's rows as shown: type, frequency and both parameters.
std::vector<std::string> ListedRows(ui::ListView& list) {
  std::vector<std::string> rows;
  for (int row = 0; row < list.Count(); ++row) {
    std::string line;
    for (int column = 0; column < 4; ++column) line += list.ItemText(row, column) + "|";
    rows.push_back(line);
  }
  return rows;
}

// A fault for each request of `trace` in turn, named by its object and how often the trace has
// asked that object up to it.
std::vector<std::pair<std::string, sim::Fault>> EachRequestRefused(
    const std::vector<std::string>& trace) {
  std::vector<std::pair<std::string, sim::Fault>> faults;
  std::map<int, int> asked;
  for (const std::string& request : trace) {
    const int object = std::stoi(request.substr(1, 2), nullptr, 16);
    const int occurrence = ++asked[object];
    faults.emplace_back(request + " #" + std::to_string(occurrence),
                        sim::Fault::ErrorObject(7).ForObject(object).OnOccurrence(occurrence));
  }
  return faults;
}

// The unit object's bank filters as described, each with its bypass.
std::vector<std::string> HeldFilters(const IQDevice8100& unit) {
  std::vector<std::string> lines;
  for (const auto& filter : unit.Filters()) {
    lines.push_back(filter->Describe() + (filter->bypass ? "bypassed" : ""));
  }
  return lines;
}

struct RefusalFixture : EditorFixture {
  RefusalFixture() {
    controls::SetDeviceErrorReporter([this](const IQException&, IQDevice*, int) { ++reports; });
  }
  ~RefusalFixture() override { controls::SetDeviceErrorReporter(nullptr); }

  void Clear() {
    controls::GuardedBusCall(unit, [&] { unit->RemoveFilters(); });
    ui::test::PumpMessages();
  }
  // Runs `operation` once whole, then again with each of its requests refused in turn after
  // `prepare`: one error shows, and the program's filters and list are what a fresh read finds.
  void RefuseEachRequest(const std::function<void()>& prepare,
                         const std::function<void()>& operation) {
    prepare();
    bus.TakeTrace();
    operation();
    const std::vector<std::string> trace = bus.TakeTrace();
    ASSERT_GT(trace.size(), 3u);
    for (const auto& [request, fault] : EachRequestRefused(trace)) {
      SCOPED_TRACE(request);
      prepare();
      bus.bus.AddFault(fault);
      reports = 0;
      operation();
      bus.bus.ClearFaults();
      EXPECT_EQ(reports, 1);
      EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
      const std::vector<std::string> held = HeldFilters(*unit);
      const std::vector<std::string> listed = ListedRows(List());
      unit->ReadAllParameters();
      ui::test::PumpMessages();
      EXPECT_EQ(held, HeldFilters(*unit));
      EXPECT_EQ(listed, ListedRows(List()));
    }
  }

  int reports = 0;
};

TEST_F(RefusalFixture, AnAddRefusedAtAnyStepListsWhatAFreshReadOfTheUnitFinds) {
  for (int add : {f8100res::kCmAddParametric, f8100res::kCmAddLowpass}) {
    SCOPED_TRACE(add);
    RefuseEachRequest([&] { Clear(); }, [&] { Command(add); });
  }
}

TEST_F(RefusalFixture, ATypedValueRefusedAtAnyStepShowsWhatAFreshReadOfTheUnitFinds) {
  const auto prepare = [&] {
    Clear();
    Command(f8100res::kCmAddParametric);
  };
  RefuseEachRequest(prepare, [&] { Enter(f8100res::kFilterFrequency, "2500"); });
}

TEST_F(RefusalFixture, ABypassRefusedAtAnyStepShowsWhatAFreshReadOfTheUnitFinds) {
  const auto prepare = [&] {
    Clear();
    Command(f8100res::kCmAddParametric);
    List().SetSelected(0, true);
    ui::test::PumpMessages();
  };
  RefuseEachRequest(prepare, [&] { Command(f8100res::kCmBypassFilters); });
}

TEST_F(RefusalFixture, ASlopeStepRefusedAtAnyStepShowsWhatAFreshReadOfTheUnitFinds) {
  const auto prepare = [&] {
    Clear();
    Command(f8100res::kCmAddLowpass);
  };
  RefuseEachRequest(prepare, [&] {
    dynamic_cast<ui::UpDown&>(ui::test::ControlOf(Dialog(), f8100res::kFilterSlopeSpin)).Step(-1);
    ui::test::PumpMessages();
  });
}

// The unit may carry out the delete it refuses: whichever request of a delete it refuses, from
// the list's selection or from the graph, the banks show what a fresh read of the unit finds.
TEST_F(RefusalFixture, ADeleteRefusedAtAnyStepListsWhatAFreshReadOfTheUnitFinds) {
  const auto threeFilters = [&] {
    Clear();
    for (int add : {f8100res::kCmAddParametric, f8100res::kCmAddLowpass, f8100res::kCmAddHighpass})
      Command(add);
  };
  RefuseEachRequest(
      [&] {
        threeFilters();
        for (int row = 0; row < List().Count(); ++row) List().SetSelected(row, true);
        ui::test::PumpMessages();
      },
      [&] {
        script.AnswerMessageBox(ui::kIdOk);
        Command(f8100res::kCmDeleteFilters);
      });
  RefuseEachRequest(
      [&] {
        threeFilters();
        editor.Graph()->EvFilterSelected(unit->Filters().front().get());
      },
      [&] {
        ui::Application::Instance()->RouteCommand(TFrequencyGraph::kCmDelete, editor.Graph());
        ui::test::PumpMessages();
      });
}

// A bank message may arrive after its filter was freed: it then finds no filter, never a freed
// one, nor a new filter that took the freed one's place.
TEST_F(EditorFixture, BankMessagesThatArriveAfterTheirFilterWentFindNothing) {
  const FamilyKey8100 defaults = bus.base.Key();
  ASSERT_TRUE(AddFilterCommand(editor.Hub(), defaults, kParametricFilter));
  TFilter* added = unit->Filters().back().get();
  editor.Hub().Broadcast(bankmsg::kValuesChanged, kRightInputBank, FilterParam(added));
  unit->RemoveFilter(*added);
  ui::test::PumpMessages();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(editor.Parameters().Dialog(), nullptr);
  EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));

  // The same filter read again is a new object under a new name.
  ASSERT_TRUE(AddFilterCommand(editor.Hub(), defaults, kLowpassFilter));
  const ui::Param before = FilterParam(unit->Filters().back().get());
  unit->ReadAllParameters();
  ui::test::PumpMessages();
  ASSERT_EQ(unit->Filters().size(), 1u);
  EXPECT_EQ(FilterNamed(*unit, before), nullptr);
  EXPECT_EQ(FilterNamed(*unit, FilterParam(unit->Filters()[0].get())), unit->Filters()[0].get());
  EXPECT_EQ(List().Count(), 1);
  EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
}

TEST_F(EditorFixture, AnOpenEditorListsTheFiltersASettingsLoadPutInItsBank) {
  Command(f8100res::kCmAddParametric);
  Command(f8100res::kCmAddLowpass);
  QTemporaryDir folder;
  const std::string path = folder.filePath("bank.ov0").toStdString();
  SettingsTextFile saved;
  ASSERT_TRUE(saved.Open(path, SettingsTextFile::kWrite));
  WriteSettingsFile(*unit, saved, 0);
  ASSERT_TRUE(saved.Close());
  unit->RemoveFilters();
  ui::test::PumpMessages();
  ASSERT_EQ(List().Count(), 0);

  SettingsTextFile file;
  ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
  ApplySettingsLoad(*unit, ReadSettingsFile(*unit, file), 0);
  ui::test::PumpMessages();
  const std::vector<std::string> listed = ListedRows(List());
  EXPECT_EQ(listed.size(), 2u);
  EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
  unit->ReadAllParameters();
  ui::test::PumpMessages();
  EXPECT_EQ(listed, ListedRows(List()));
}

TEST_F(EditorFixture, TheFilterDialogClosesAsSoonAsItsFilterLeavesTheUnitObject) {
  Command(f8100res::kCmAddLowpass);
  ASSERT_NE(editor.Parameters().Dialog(), nullptr);
  // A read of the unit replaces every filter object; no message is pumped before the check.
  unit->ReadAllParameters();
  EXPECT_EQ(editor.Parameters().Dialog(), nullptr);
  ASSERT_EQ(unit->Filters().size(), 1u);
  ui::test::PumpMessages();
  EXPECT_TRUE(ViewsShowOnlyHeldFilters(editor, *unit));
}

// The bandwidth slider's crowded low end: every label inside the slider, and each a letter's
// width from any other on its line.
TEST_F(EditorFixture, TheBandwidthSlidersLabelsStandApartInsideIt) {
  Command(f8100res::kCmAddParametric);
  const auto& slider =
      static_cast<const ui::Trackbar&>(ui::test::ControlOf(Dialog(), f8100res::kFilterBandwidth));
  const QFontMetrics metrics(slider.TickLabelFont());
  const int gap = metrics.horizontalAdvance(QLatin1Char('M'));
  const ui::Rect room = slider.ClientRect();
  const std::vector<ui::Trackbar::PlacedLabel> labels = slider.TickLabels();
  ASSERT_EQ(labels.size(), 8u);
  for (auto a = labels.begin(); a != labels.end(); ++a) {
    const ui::Rect& box = a->box;
    EXPECT_GE(box.Width(), metrics.horizontalAdvance(QString::fromStdString(a->text))) << a->text;
    EXPECT_TRUE(box.left >= room.left && box.top >= room.top && box.right <= room.right &&
                box.bottom <= room.bottom)
        << a->text << " is cut off";
    for (auto b = a + 1; b != labels.end(); ++b) {
      const bool sameLine = a->box.top < b->box.bottom && b->box.top < a->box.bottom;
      const bool apart = a->box.right + gap <= b->box.left || b->box.right + gap <= a->box.left;
      EXPECT_TRUE(!sameLine || apart) << a->text << " runs into " << b->text;
    }
  }
}
