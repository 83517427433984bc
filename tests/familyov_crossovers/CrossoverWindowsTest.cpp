// The crossover editor opened from a unit's tree, its dialog, the network assignment and the
// macro window, against a simulated unit through the pseudo-terminal.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "controls/TPolarityButton.h"
#include "controls/TQuadButton.h"
#include "familycommon/GraphContexts.h"
#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/TCrossoverEditor.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/FamilyOvCrossoverEditorIds.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "resources/FamilyOvFunctionIds.h"
#include "sim/Fault.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovcrossover_res;
using testing::ElementsAre;

struct CrossoverWindowsTest : testing::Test {
  std::filesystem::path dataHome =
      std::filesystem::temp_directory_path() / ("crossover-windows-" + std::to_string(::getpid()));
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  IQ8148Type type;
  int index = bus.AddModelUnit(sim::familyov::Model::k8148, 5, "1.5");
  IQDeviceInfo record{5, 1136, 1, ovtest::ModelId('8', "1.5", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};
  TEdit8148Window editWindow{nullptr, unit};
  TCrossoverDecoratedFrame* frame = nullptr;

  void SetUp() override {
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ovtest::ReportedErrors().clear();
    unit.autoOpenSummary = 0;  // only the windows a test opens
    editWindow.Create();
  }
  void TearDown() override { std::filesystem::remove_all(dataHome); }
  TCrossoverLayoutWindow& Open() {
    editWindow.OpenChildWindow(editWindow.Ids().crossovers);
    frame = &dynamic_cast<TCrossoverDecoratedFrame&>(
        *editWindow.ChildWindow(editWindow.Ids().crossovers));
    return frame->Layout();
  }
  // A command of the editor's menu.
  static void Command(TCrossoverLayoutWindow& window, int id) {
    ui::Application::Instance()->RouteCommand(id, &window);
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> writes;
    for (auto& line : bus.TakeTrace()) {
      if (line[0] == 'W' || line.substr(0, 3) == "R0D" || line.substr(0, 3) == "R22") {
        writes.push_back(line);
      }
    }
    return writes;
  }
  static void Choose(ui::Window& dialog, int comboId, int item) {
    auto& combo = dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(dialog, comboId));
    combo.SetSelection(item);
    combo.Parent()->SendNotify(
        {.controlId = comboId, .code = ui::Notify::SelChange, .control = &combo});
  }
};

TEST_F(CrossoverWindowsTest, TheDialogWritesEachChangeAndLetsGoOfItsEditsWhenItGoes) {
  TCrossoverLayoutWindow& window = Open();
  TCrossoverDialog& dialog = window.Dialog();
  ui::TreeView& tree = window.NetworkTree().Tree();
  EXPECT_EQ(tree.ItemText(tree.FirstRoot()), "Network 1");
  tree.Select(tree.NextSibling(tree.FirstChild(tree.FirstRoot())));  // output B, channel 5
  EXPECT_EQ(dialog.Output(), 1);
  bus.TakeTrace();
  Choose(dialog, kHighType, kCrossoverBessel);
  EXPECT_THAT(Writes(),
              ElementsAre("R0D", "W11 00", "W10 09", "W0F 05", "W24 00", "W13.0 000000C8", "W31 00",
                          "W13.1 00000002", "W13.2 00000002", "W11 00", "W14 00", "W09 00"));
  EXPECT_EQ(ui::test::ControlOf(dialog, kHighFrequency).Text(), "200");
  EXPECT_EQ(ui::test::ControlOf(dialog, kHighSlope).Text(), "-12");

  dynamic_cast<ui::UpDown&>(ui::test::ControlOf(dialog, kHighOrder)).Step(-1);
  EXPECT_THAT(Writes(),
              ElementsAre("W11 00", "R22", "W11 01", "W10 09", "W0F 05", "W24 00", "W13.0 000000C8",
                          "W31 00", "W13.1 00000003", "W13.2 00000002", "W11 01", "W14 00"));
  EXPECT_EQ(ui::test::ControlOf(dialog, kHighSlope).Text(), "-18");

  ui::test::Type(dialog, kHighFrequency, "1.5k");
  ui::test::PressKey(dialog, Qt::Key_Return);
  EXPECT_EQ(unit.HighCrossover(1)->frequency, 1500);
  EXPECT_TRUE(frame->IsCreated()) << "Enter closes nothing";
  ui::test::Click(dialog, kPolarity);
  EXPECT_THAT(Writes(), testing::Contains("W32.1 BF800000"));

  ASSERT_EQ(unit.HighCrossover(1)->dialogFrequencyControl,
            &ui::test::ControlOf(dialog, kHighFrequency));
  frame->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  EXPECT_EQ(unit.HighCrossover(1)->dialogFrequencyControl, nullptr);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// A frequency typed whose write the unit carried out without answering leaves the row blank and
// the program's copy at the frequency before. A quad step meanwhile, before any idle pass, starts
// from the frequency the unit holds, read first; a read that fails writes nothing and is told once.
TEST_F(CrossoverWindowsTest, AQuadStepOnACrossoverInDoubtStartsFromTheFrequencyTheUnitHolds) {
  TCrossoverDialog& dialog = Open().Dialog();
  Choose(dialog, kHighType, kCrossoverBessel);
  auto& quad = dynamic_cast<TQuadButton&>(ui::test::ControlOf(dialog, kHighQuad));
  const ui::Rect up = quad.ZoneRect(2);
  const ui::Point centre{(up.left + up.right) / 2, (up.top + up.bottom) / 2};
  for (const bool readsFail : {false, true}) {
    SCOPED_TRACE(readsFail ? "reads fail" : "answering");
    bus.bus.AddFault(sim::Fault::Silence()
                         .ForOpcode(sim::kOpcodeSet)
                         .ForObject(sim::familyov::object::kFilterCommand));
    ui::test::Type(dialog, kHighFrequency, "2000");
    ui::test::PressKey(dialog, Qt::Key_Return);
    ASSERT_EQ(ui::test::ControlOf(dialog, kHighFrequency).Text(), "");
    bus.bus.ClearFaults();
    if (readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    ovtest::ReportedErrors().clear();
    bus.TakeTrace();
    ui::test::MouseDown(quad, centre);
    ui::test::MouseUp(quad, centre);
    ui::test::PumpMessages();
    const auto frequencyWrites = testing::Contains(testing::StartsWith("W13.0"));
    if (readsFail) {
      EXPECT_THAT(Writes(), testing::Not(frequencyWrites));
    } else {
      EXPECT_THAT(Writes(), testing::Contains("W13.0 000007D1")) << "2001 Hz";
    }
    EXPECT_EQ(ovtest::ReportedErrors().size(), readsFail ? 1u : 0u);
    bus.bus.ClearFaults();
  }
}

// What the button shows, painted as the screen paints it.
QImage Shown(TPolarityButton& button) {
  ui::test::SamplePixel(button, {0, 0});
  return button.Snapshot();
}

TEST_F(CrossoverWindowsTest, ThePolarityButtonShowsTheSelectedOutputsPolarity) {
  TCrossoverLayoutWindow& window = Open();
  TCrossoverDialog& dialog = window.Dialog();
  auto& polarity = dynamic_cast<TPolarityButton&>(ui::test::ControlOf(dialog, kPolarity));
  ui::TreeView& tree = window.NetworkTree().Tree();
  const ui::TreeItem outputA = tree.FirstChild(tree.FirstRoot());
  const ui::TreeItem outputB = tree.NextSibling(outputA);
  tree.Select(outputA);
  ui::test::PumpMessages();
  const QImage normal = Shown(polarity);

  tree.Select(outputB);
  ui::test::Click(dialog, kPolarity);
  ui::test::PumpMessages();
  EXPECT_TRUE(OutputInverted(unit, 1));
  EXPECT_NE(Shown(polarity), normal) << "B is shown inverted";
  tree.Select(outputA);
  ui::test::PumpMessages();
  EXPECT_EQ(dialog.Output(), 0);
  EXPECT_EQ(Shown(polarity), normal) << "A is not inverted";
  frame->ShowMinimized();
  frame->Show();
  ui::test::PumpMessages();
  EXPECT_EQ(Shown(polarity), normal) << "nor after a restore";
  tree.Select(outputB);
  ui::test::PumpMessages();
  EXPECT_NE(Shown(polarity), normal);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// Where `item` of the tree lies, in the coordinates of the window holding the tree.
ui::Point PointOf(ui::TreeView& tree, ui::TreeItem item) {
  for (int y = 0; y < tree.ClientRect().bottom; ++y) {
    if (tree.HitTest({20, y}) == item) {
      return tree.Parent()->ScreenToClient(tree.ClientToScreen({20, y}));
    }
  }
  ADD_FAILURE() << "no such item on the screen";
  return {};
}

TEST_F(CrossoverWindowsTest, NetworksAreAssignedAndCopiedByDragAndDrop) {
  TCrossoverLayoutWindow& window = Open();
  // The assignment window runs modally over the editor, its parent; a choice is written at once.
  const auto assign = [&](int output, int entry) {
    script.RunDialog(kNetworkAssignmentDialog, [&](ui::Dialog& dialog) {
      EXPECT_TRUE(dialog.IsModal());
      EXPECT_EQ(dialog.Parent(), &window);
      TCrossoverNetworkDialog& pane =
          dynamic_cast<TCrossoverNetworkAssignmentWindow&>(dialog).Pane(output);
      EXPECT_EQ(dynamic_cast<ui::ComboBox&>(ui::test::ControlOf(pane, kNetworkCombo)).Count(), 4);
      Choose(pane, kNetworkCombo, entry);
      dialog.CloseWindow(ui::kIdCancel);
    });
    Command(window, kCmNetworks);
  };
  bus.TakeTrace();
  assign(4, 1);  // output E joins network 2
  EXPECT_THAT(Writes(), ElementsAre("W1C.4 02"));
  ui::TreeView& tree = window.NetworkTree().Tree();
  const ui::TreeItem network1 = tree.FirstRoot();
  const ui::TreeItem network2 = tree.NextSibling(network1);
  EXPECT_TRUE(tree.NextSibling(tree.NextSibling(tree.FirstChild(network2))))
      << "the tree follows the assignment";

  CrossoverChanges changes(unit, nullptr);
  changes.SetType(0, CrossoverSide::kLow, kCrossoverBessel);
  changes.SetType(1, CrossoverSide::kHigh, kCrossoverBessel);
  TCrossoverNetworkWindow& networks = window.NetworkTree();
  const auto drag = [&](ui::TreeItem from, ui::TreeItem to) {
    networks.SendNotify({.controlId = 101,
                         .code = ui::Notify::BeginDrag,
                         .control = &tree,
                         .value = reinterpret_cast<ui::Param>(from.node)});
    const ui::Point drop = PointOf(tree, to);
    ui::test::MouseMove(networks, drop);
    ui::test::MouseUp(networks, drop);
  };
  // Network 2 now has three outputs.
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
  drag(network1, network2);
  EXPECT_EQ(script.Seen().back().text, "Networks are not the same size and cannot be copied.");
  EXPECT_EQ(unit.LowCrossover(2), nullptr);

  assign(4, 2);  // and back to network 3
  script.AnswerMessageBox(ui::kIdOk);
  drag(tree.FirstRoot(), tree.NextSibling(tree.FirstRoot()));
  EXPECT_EQ(script.Seen().back().text, "Copy network 1 to network 2?");
  ASSERT_NE(unit.LowCrossover(2), nullptr);
  EXPECT_EQ(unit.LowCrossover(2)->channel, 6);
  ASSERT_NE(unit.HighCrossover(3), nullptr);
  EXPECT_EQ(unit.HighCrossover(3)->crossoverType, kCrossoverBessel);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

// An order stepped whose write the unit carried out without answering leaves the program's copy at
// the order before. Every action that takes the crossover from the copy meanwhile, before any idle
// pass, reads the unit again first and takes the order the unit holds; a read that fails sends and
// stores nothing and is told once.
struct CrossoverInDoubtRow {
  const char* what;
  void (*act)(CrossoverWindowsTest&, TCrossoverLayoutWindow&);
};

// Where the graph draws output A's low crossover.
ui::Point LowEdgeOfA(TCrossoverGraphWindow& graph, IQDeviceOrdavinex& unit) {
  for (const auto& icon : graph.Icons().All()) {
    if (&icon->Filter() != unit.LowCrossover(0)) continue;
    QImage scratch(1, 1, QImage::Format_RGB32);
    ui::Dc dc(scratch);
    familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
    const ui::Point up = freq.ValueToPoint(icon->position, false);
    return dc.Mapping().ToDevice({up.x, -up.y});
  }
  ADD_FAILURE() << "no icon";
  return {};
}

TEST_F(CrossoverWindowsTest, AnActionOnACrossoverInDoubtTakesTheOrderTheUnitHolds) {
  bus.port.SetRetries(0);
  TCrossoverLayoutWindow& window = Open();
  frame->SetRect({0, 0, 1000, 600});
  frame->Show();
  Command(window, kCmMacros);
  ui::test::PumpMessages();
  TCrossoverDialog& dialog = window.Dialog();
  const auto send = [this](NotifyRecord& r) { editWindow.Notify(&r); };
  for (const CrossoverInDoubtRow& row : {
           CrossoverInDoubtRow{"graph drop",
                               [](CrossoverWindowsTest&t, TCrossoverLayoutWindow&w) {
                                 TCrossoverGraphWindow& graph = w.Graph();
                                 const ui::Point from = LowEdgeOfA(graph, t.unit);
                                 ui::test::MouseDown(graph, from);
                                 ui::test::MouseMove(graph, {from.x + 30, from.y});
                                 ui::test::PumpMessages();
                                 ui::test::MouseUp(graph, {from.x + 30, from.y});
                               }},
           CrossoverInDoubtRow{"enter in the frequency field",
                               [](CrossoverWindowsTest&, TCrossoverLayoutWindow&w) {
                                 ui::test::Type(w.Dialog(), kLowFrequency, "1.5k");
                                 ui::test::PressKey(w.Dialog(), Qt::Key_Return);
                               }},
           CrossoverInDoubtRow{
               "copy of an output on the tree",
               [](CrossoverWindowsTest&, TCrossoverLayoutWindow&w) {
                 // Asked only when the unit's read lets the copy go on.
                 ui::PromptScript confirm([](const std::string&) {});
                 confirm.AnswerMessageBox(ui::kIdOk);
                 TCrossoverNetworkWindow& networks = w.NetworkTree();
                 ui::TreeView& tree = networks.Tree();
                 const ui::TreeItem a = tree.FirstChild(tree.FirstRoot());
                 const ui::TreeItem c = tree.FirstChild(tree.NextSibling(tree.FirstRoot()));
                 networks.SendNotify({.controlId = 101,
                                      .code = ui::Notify::BeginDrag,
                                      .control = &tree,
                                      .value = reinterpret_cast<ui::Param>(a.node)});
                 const ui::Point drop = PointOf(tree, c);
                 ui::test::MouseMove(networks, drop);
                 ui::test::MouseUp(networks, drop);
               }},
           CrossoverInDoubtRow{"macro made",
                               [](CrossoverWindowsTest&t, TCrossoverLayoutWindow&w) {
                                 t.script.RunDialog(kMacroPropertiesDialog, [](ui::Dialog& d) {
                                   ui::test::Type(d, kMacroName, "Taken");
                                   ui::test::Click(d, ui::kIdOk);
                                 });
                                 w.Macros()->CmNew();
                               }},
       }) {
    for (const bool readsFail : {false, true}) {
      SCOPED_TRACE(std::string(row.what) + (readsFail ? ", reads fail" : ", answering"));
      CrossoverChanges changes(unit, send);
      for (int o = 0; o < unit.outputs; ++o) {
        for (const CrossoverSide side : {CrossoverSide::kLow, CrossoverSide::kHigh}) {
          changes.SetType(o, side, kCrossoverNone);
        }
      }
      changes.SetType(0, CrossoverSide::kLow, kCrossoverBessel);
      ui::TreeView& tree = window.NetworkTree().Tree();
      tree.Select(tree.FirstChild(tree.FirstRoot()));
      ui::test::PumpMessages();
      bus.bus.AddFault(sim::Fault::Silence()
                           .ForOpcode(sim::kOpcodeSet)
                           .ForObject(sim::familyov::object::kFilterCommand));
      dynamic_cast<ui::UpDown&>(ui::test::ControlOf(dialog, kLowOrder)).Step(-1);
      bus.bus.ClearFaults();
      ASSERT_EQ(ui::test::ControlOf(dialog, kLowSlope).Text(), "");
      if (readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
      ovtest::ReportedErrors().clear();
      const std::size_t macros = window.Macros()->Library().Macros().size();
      bus.TakeTrace();
      row.act(*this, window);
      ui::test::PumpMessages();
      // The orders the action wrote, and the one a macro it made holds.
      std::vector<int> orders;
      for (const std::string& write : Writes()) {
        if (write.starts_with("W13.1 ")) orders.push_back(std::stoi(write.substr(6), nullptr, 16));
      }
      const auto& library = window.Macros()->Library().Macros();
      if (library.size() > macros && library.back().outputs[0].low != nullptr) {
        orders.push_back(CrossoverOrder(*library.back().outputs[0].low));
      }
      if (readsFail) {
        EXPECT_THAT(orders, testing::IsEmpty());
      } else {
        EXPECT_THAT(orders, testing::AllOf(testing::Not(testing::IsEmpty()), testing::Each(3)));
      }
      EXPECT_EQ(ovtest::ReportedErrors().size(), readsFail ? 1u : 0u);
      bus.bus.ClearFaults();
      testsupport::ResumePollsAndSettle();
    }
  }
}

// Names a silent unit does not give show none in the assignment window, never the template's
// text, and the unit's own once it answers again.
TEST_F(CrossoverWindowsTest, TheAssignmentWindowShowsTheNamesTheUnitGivesOnceItAnswers) {
  TCrossoverLayoutWindow& window = Open();
  bus.port.SetRetries(0);
  unit.InvalidateValues();
  bus.bus.AddFault(sim::Fault::Silence()
                       .ForOpcode(sim::kOpcodeGet)
                       .ForObject(sim::familyov::object::kChannelName));
  script.RunDialog(kNetworkAssignmentDialog, [&](ui::Dialog& dialog) {
    auto& panes = dynamic_cast<TCrossoverNetworkAssignmentWindow&>(dialog);
    const auto name = [&](int output) {
      return ui::test::ControlOf(panes.Pane(output), kNetworkChannelName).Text();
    };
    for (int output = 0; output < unit.outputs; ++output) EXPECT_EQ(name(output), "") << output;
    bus.bus.ClearFaults();
    testsupport::ResumePollsAndSettle();
    for (int output = 0; output < unit.outputs; ++output) {
      gChannelNameObject.SetElement(unit.firstOutput + output);
      EXPECT_EQ(name(output), gChannelNameObject.Read(unit)) << output;
    }
    dialog.CloseWindow(ui::kIdCancel);
  });
  Command(window, kCmNetworks);
}

TEST_F(CrossoverWindowsTest, TheEditorsMenuShowsItsOwnHintsWhereOtherWindowsShareItsNumbers) {
  Open();
  auto* main = static_cast<QMainWindow*>(frame->Widget());
  const auto hintOf = [&](int command) -> std::string {
    for (QAction* popup : main->menuBar()->actions()) {
      for (QAction* item : popup->menu()->actions()) {
        if (item->data().toInt() != command) continue;
        // What an open menu does for the item under the mouse.
        item->showStatusText(main->menuBar());
        return frame->StatusText();
      }
    }
    return "no such item";
  };
  // The clock-event editor's Delete and All weekdays have the numbers of Macros and DSP capacity.
  const std::pair<int, std::string> rows[] = {
      {kCmMacros, "Open crossover macro dialog"},
      {ovcrossover_editor_res::kCmDspCapacity, "Display DSP capacity window"},
      {kCmNetworks, "Adjust crossover network assignment"},
  };
  for (const auto& [command, hint] : rows) EXPECT_EQ(hintOf(command), hint) << command;
  EXPECT_EQ(ui::Resources::String(ovfunctions_res::kClockEventHints, kCmMacros), "Delete");
}

TEST_F(CrossoverWindowsTest, MacrosAreMadeSavedOverOnlyWhenCapturedAndRecalled) {
  TCrossoverLayoutWindow& window = Open();
  Command(window, kCmMacros);
  TMacroWindow* macros = window.Macros();
  ASSERT_NE(macros, nullptr);
  EXPECT_TRUE(TMacroWindow::InUse());
  Command(window, kCmMacros);  // this window's own: nothing happens
  // Empty, the list says how to fill it, under its column titles.
  macros->Show();
  ui::test::PumpMessages();
  const QImage empty = macros->List().Widget()->grab().toImage();
  int hintInk = 0;
  for (int y = empty.height() / 4; y < empty.height() / 2; ++y) {
    for (int x = 0; x < empty.width(); ++x) hintInk += qGray(empty.pixel(x, y)) < 200 ? 1 : 0;
  }
  EXPECT_GT(hintInk, 20);

  CrossoverChanges(unit, nullptr).SetType(0, CrossoverSide::kLow, kCrossoverButterworth);
  script
      .RunDialog(kMacroPropertiesDialog,
                 [](ui::Dialog& d) {
                   ui::test::Type(d, kMacroName, "Sub");
                   // A quote the file cannot hold is refused with a sentence.
                   ui::Window& description = ui::test::ControlOf(d, kMacroDescription);
                   description.SetText("18\" woofer");
                   ui::test::Click(d, ui::kIdOk);
                   description.SetText("");
                   // Enter in the description is OK, never a line break in the file.
                   ui::test::Type(d, kMacroDescription, "Below 80 Hz");
                   ui::test::PressKey(description, Qt::Key_Return);
                 })
      .AnswerMessageBox(ui::kIdOk);
  macros->CmNew();
  EXPECT_EQ(script.Seen().at(1).text,
            "That character cannot be typed here. Only letters, digits, blanks and "
            "# $ % & ' ( ) * + , - . / : ; < = > ? @ ^ _ ` { | } ~ can.");
  ASSERT_EQ(macros->List().Count(), 1);
  EXPECT_EQ(macros->List().ItemText(0), "Sub");
  EXPECT_EQ(macros->Library().Macros()[0].description, "Below 80 Hz");
  EXPECT_TRUE(std::filesystem::exists(dataHome / "TelvoWin2" / "xmacro.dat"));

  // A capture that fails leaves the macro it was to replace.
  macros->List().SelectItem(0);
  unit.InvalidateValues();
  bus.bus.AddFault(sim::Fault::ErrorObject(5).ForObject(0x32));
  script.AnswerMessageBox(ui::kIdOk);
  macros->CmSave();
  bus.bus.ClearFaults();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  ASSERT_EQ(macros->Library().Macros().size(), 1u);
  EXPECT_NE(macros->Library().Macros()[0].outputs[0].low, nullptr);

  CrossoverChanges(unit, nullptr).SetType(0, CrossoverSide::kLow, kCrossoverNone);
  ASSERT_EQ(unit.LowCrossover(0), nullptr);
  script.AnswerMessageBox(ui::kIdOk);
  macros->RecallMacro();
  ASSERT_NE(unit.LowCrossover(0), nullptr);
  EXPECT_EQ(ui::test::ControlOf(window.Dialog(), kLowFrequency).Text(), "2000");

  macros->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  EXPECT_FALSE(TMacroWindow::InUse());
}

// The macro windows on the screen.
int MacroWindowsShown() {
  int shown = 0;
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    shown += w->isVisible() && w->windowTitle() == "Crossover macros" ? 1 : 0;
  }
  return shown;
}

TEST_F(CrossoverWindowsTest, TheMacroWindowClosesWithItsEditorAndWithTheUnitsWindow) {
  // Closed with the editor, and then with the unit's window: each time the window goes, and the
  // library is free for the next editor without "Macro file is in use.".
  const std::function<void()> closings[] = {[this] { frame->CloseWindow(ui::kIdCancel); },
                                            [this] { editWindow.CloseWindow(ui::kIdCancel); }};
  for (const auto& close : closings) {
    Command(Open(), kCmMacros);
    ASSERT_EQ(MacroWindowsShown(), 1);
    ASSERT_TRUE(TMacroWindow::InUse());
    close();
    ui::test::PumpMessages();
    const ui::Window* editor = editWindow.ChildWindow(editWindow.Ids().crossovers);
    EXPECT_TRUE(editor == nullptr || !editor->IsCreated());
    EXPECT_EQ(MacroWindowsShown(), 0);
    EXPECT_FALSE(TMacroWindow::InUse());
  }
  EXPECT_TRUE(script.Seen().empty());
}

TEST_F(CrossoverWindowsTest, AMacroFileWithADamagedMacroSaysWhereAndIsNeverSavedOver) {
  // A 4 x 8 unit's macro with a parametric filter on output B (channel 5), then a damaged one.
  const std::string good =
      "\n[MacroDef]\n\"Eight\" \n\"\" \n8 \n0 \n0 \n0 \n1 0 \n0 \n0 \n1 0 \n0 \n0 \n1 0 "
      "\n0 \n0 \n1 0 \n0 \n0 \n1 0 \n0 \n0 \n1 0 \n0 \n0 \n1 0 \n0 \n0 \n1 \n0 0 0 0 0 0 0 "
      "0 \n1 \n3 5 1000 3.000000 8.700000 \n\n";
  std::filesystem::create_directories(dataHome / "TelvoWin2");
  std::ofstream(dataHome / "TelvoWin2" / "xmacro.dat")
      << "// xmacro.dat\n// Ordavinex crossover macro file\n\n[Extended]\n"
      << good << "\n[MacroDef]\n\"Bad\" \n\"\" \n8 \nnonsense\n";
  TCrossoverLayoutWindow& window = Open();
  script.AnswerMessageBox(ui::kIdOk);
  Command(window, kCmMacros);
  TMacroWindow* macros = window.Macros();
  ASSERT_NE(macros, nullptr);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].caption, "File read error");
  EXPECT_EQ(script.Seen()[0].text.substr(0, 58),
            "Format error in file: a number is expected here. (line 44)");
  ASSERT_EQ(macros->List().Count(), 1);
  EXPECT_EQ(macros->List().ItemText(0), "Eight");

  EXPECT_NE(script.Seen()[0].text.find("could not be read whole, so this window saves nothing"),
            std::string::npos);

  // Recalled, its filter lands on output B of this unit; nothing may change the library.
  macros->List().SelectItem(0);
  script.AnswerMessageBox(ui::kIdOk);
  macros->RecallMacro();
  ASSERT_EQ(unit.Filters().size(), 1u);
  EXPECT_EQ(unit.Filters()[0]->channel, 5);
  auto* app = ui::Application::Instance();
  EXPECT_TRUE(app->QueryCommand(kCmMacroOpen, macros).enabled);
  for (int command : {kCmMacroNew, kCmMacroSave, kCmMacroProperties, kCmMacroDelete}) {
    EXPECT_FALSE(app->QueryCommand(command, macros).enabled) << command;
  }
  const std::string before = [&] {
    std::ifstream in(dataHome / "TelvoWin2" / "xmacro.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  macros->CmNew();
  macros->CmDelete();
  std::ifstream in(dataHome / "TelvoWin2" / "xmacro.dat", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
  EXPECT_EQ(script.Seen().size(), 2u) << "nothing asked, nothing saved";
  macros->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

}  // namespace
}  // namespace namespaceOV
