// The graphic equalisers' one control table: every item of a unit's tree (the rows are generated
// from the tree itself), and what it does: the dialog it opens with every control in it and the
// modal dialogs they open, the switch it flips, the rename it asks for, its drag onto its twin.
// Each is made while the unit takes it, fails the write in each way a write fails, or answers
// nothing at all, and held to the rule that what the unit did not take never stays shown.

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <Qt>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/TMyVSlider.h"
#include "family3300/Parameters3300.h"
#include "family3300/TEdit3300Window.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "resources/ControlsResources.h"
#include "resources/Family3300Ids.h"
#include "sim/Fault.h"
#include "tests/family3300_windows/WindowsTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/ControlTable.h"
#include "tests/support/FailureInBox.h"
#include "tests/support/FaultKinds.h"
#include "tests/support/PollsResumed.h"

namespace table3300 {

using namespace namespace3300;

namespace {

struct TableRow {
  bool twoChannel;
  int item;  // the tree item's code
  testsupport::Condition condition;
};

class ControlTable3300Test : public windows3300::WindowFixture,
                             public testing::WithParamInterface<TableRow> {};

constexpr int kAddress = 12;
constexpr int kRefusal = 7;
constexpr const char* kPassword = "ABC123";
// The memory recalled, stored with a channel-A gain of its own.
constexpr int kRecalled = 2;
constexpr uint8_t kRecalledGain = 1;

bool IsSwitch(int item) {
  return item == kItemEqInA || item == kItemEqInB || item == kItemMuteA || item == kItemMuteB;
}

// The item a channel item is dragged onto, its twin on the other channel; none for the others.
std::optional<int> TwinOf(int item) {
  constexpr std::pair<int, int> kTwins[] = {{kItemEqA, kItemEqB},
                                            {kItemLpfA, kItemLpfB},
                                            {kItemHpfA, kItemHpfB},
                                            {kItemGainA, kItemGainB}};
  for (const auto& [a, b] : kTwins) {
    if (item == a) return b;
    if (item == b) return a;
  }
  return std::nullopt;
}

// The dialog the tree's `item` opens; the edit window itself for an item that acts in the tree.
ui::Window* DialogOf(TEdit3300Window& edit, int item) {
  const int channel =
      item == kItemEqB || item == kItemLpfB || item == kItemHpfB || item == kItemGainB;
  switch (item) {
    case kItemEqA:
    case kItemEqB:
      return edit.Equaliser(channel);
    case kItemLpfA:
    case kItemLpfB:
      return edit.Lpf(channel);
    case kItemHpfA:
    case kItemHpfB:
      return edit.Hpf(channel);
    case kItemGainA:
    case kItemGainB:
      return edit.Gain(channel);
    case kItemDspi:
      return edit.Dspi();
    case kItemMemory:
      return edit.Memory();
    case kItemSecurity:
      return edit.Security();
    default:
      return &edit;
  }
}

// Every item of the tree, in its order.
std::vector<int> TreeItems(TEdit3300Window& edit) {
  std::vector<int> items;
  ui::TreeView& tree = edit.Tree();
  for (ui::TreeItem item = tree.FirstChild(tree.FirstRoot()); item; item = tree.NextSibling(item)) {
    items.push_back(static_cast<int>(tree.ItemData(item)));
  }
  return items;
}

// Opens the dialog of every item `like` has open, or of every item when none is given.
void OpenDialogs(TEdit3300Window& edit, TEdit3300Window* like = nullptr) {
  for (const int item : TreeItems(edit)) {
    ui::Window* dialog = DialogOf(edit, item);
    if (dialog != &edit && (like == nullptr || DialogOf(*like, item)->IsCreated())) {
      edit.RunItem(item);
    }
  }
}

// The name a window goes by in the table's lines: the tree item that opens it.
std::string WindowName(TEdit3300Window& edit, int item) {
  return DialogOf(edit, item) == &edit ? std::string("Tree")
                                       : edit.Tree().ItemText(edit.Item(item));
}

// A tree's line, an item a line: a switch the unit did not give ("EQ A ?") reads unknown.
void AddTreeItems(const std::string& line, std::vector<std::string>& lines) {
  std::string items = line.substr(line.find('|'));
  std::erase_if(items, [](char c) { return c == '[' || c == ']'; });
  const std::string unknown = std::string(" ") + controls::kUnknownValue + "/";
  for (std::size_t at = 0; at < items.size();) {
    const std::size_t end = std::min(items.find('|', at + 1), items.size());
    std::string item = items.substr(at + 1, end - at - 1);
    if (const std::size_t mark = item.find(unknown); mark != std::string::npos) {
      item = item.substr(0, mark) + ": " + controls::kUnknownValue;
    }
    lines.push_back("item " + item);
    at = end;
  }
}

// What `window` shows, line by line, each led by `name`: the dialogs it holds are windows of
// their own; the unit's name in its caption, a tree's items, a lamp left dark and a band with no
// level each stand alone, unknown where the unit did not give them.
void AddLines(const std::string& name, ui::Window& window, std::vector<std::string>& lines) {
  const auto ownDialog = [&window](ui::Window& w) {
    return &w != &window && dynamic_cast<ui::Dialog*>(&w) != nullptr;
  };
  const auto* equaliser = dynamic_cast<TGraphicEQ*>(&window);
  std::vector<std::string> own;
  for (std::string line : testsupport::ShownControls(window, ownDialog)) {
    if (dynamic_cast<TEdit3300Window*>(&window) != nullptr && line.starts_with("caption: ")) {
      // The caption is the unit's address, model and name.
      line = "name: " + line.substr(std::min(line.find(") "), line.size() - 2) + 2);
    } else if (line.find(" tree: ") != std::string::npos) {
      AddTreeItems(line, own);
      continue;
    } else if (line.find(" lamp ") != std::string::npos && line.ends_with(": 0")) {
      line.replace(line.size() - 1, 1, controls::kUnknownValue);
    }
    own.push_back(std::move(line));
  }
  for (int band = 1; equaliser != nullptr && band <= kBandCount; ++band) {
    auto& slider = const_cast<TGraphicEQ*>(equaliser)->Slider(band);
    if (slider.HasValue()) continue;
    const std::string lead = std::to_string(slider.Id()) + " slider: ";
    for (std::string& line : own) {
      if (line.starts_with(lead)) line = lead + controls::kUnknownValue;
    }
  }
  for (const std::string& line : own) lines.push_back(name + "/ " + line);
}

// Every open window of `edit`, then the program's copy of the unit. The family keeps none of what
// the unit holds (every value is read from the unit when shown): its copy is the device as the
// program's lists know it.
std::vector<std::string> Lines(TEdit3300Window& edit, const IQDevice3300& unit) {
  std::vector<std::string> lines;
  AddLines("Tree", edit, lines);
  for (const int item : TreeItems(edit)) {
    ui::Window* dialog = DialogOf(edit, item);
    if (dialog != &edit && dialog->IsCreated()) AddLines(WindowName(edit, item), *dialog, lines);
  }
  lines.push_back("model/ device: " + unit.GetName());
  return lines;
}

// The item double-clicked in the tree.
void DoubleClick(TEdit3300Window& edit, int item) {
  edit.Tree().Select(edit.Item(item));
  edit.SendNotify({.controlId = res3300::kFunctionTree,
                   .code = ui::Notify::DoubleClick,
                   .control = &edit.Tree()});
  ui::test::PumpMessages();
}

// The item dragged in the tree and dropped on `target`.
void DragOnto(TEdit3300Window& edit, int item, int target) {
  ui::TreeView& tree = edit.Tree();
  edit.SendNotify({.controlId = res3300::kFunctionTree,
                   .code = ui::Notify::BeginDrag,
                   .control = &tree,
                   .value = reinterpret_cast<ui::Param>(edit.Item(item).node)});
  auto* view = static_cast<QTreeWidget*>(tree.Widget());
  const QPoint inView = view->visualItemRect(edit.Item(target).node).center();
  const QPoint inTree = view->viewport()->mapTo(view, inView);
  edit.Send(ui::msg::kLButtonUp, 0,
            ui::PackPoint(edit.ScreenToClient(tree.ClientToScreen({inTree.x(), inTree.y()}))));
  ui::test::PumpMessages();
}

// A key pressed on a band's slider, which has the focus.
testsupport::NamedChange BandKey(TGraphicEQ& equaliser, int band, int qtKey, const char* how) {
  return {how, [&equaliser, band, qtKey](ui::Window&) {
            TMyVSlider& slider = equaliser.Slider(band);
            slider.SetFocus();
            ui::test::PressKey(slider, qtKey);
            ui::test::PumpMessages();
          }};
}

// The windows of `edit` opened anew on the unit: what they show is what it holds.
struct FreshLook {
  FreshLook(IQDevice3300& unit, TEdit3300Window& edit) : window(unit, nullptr) {
    window.Create();
    window.Show();
    OpenDialogs(window, &edit);
  }
  // Closed without writing its names back.
  ~FreshLook() { window.Memory()->Destroy(); }

  TEdit3300Window window;
};

void PrintTo(const TableRow& row, std::ostream* out) { *out << row.condition.name; }

std::string RowName(const testing::TestParamInfo<TableRow>& info) {
  constexpr std::pair<int, const char*> kNames[] = {
      {kItemMemory, "Memory"}, {kItemSecurity, "Security"}, {kItemEqA, "EqA"},
      {kItemDspi, "Dspi"},     {kItemLpfA, "LpfA"},         {kItemHpfA, "HpfA"},
      {kItemGainA, "GainA"},   {kItemName, "Name"},         {kItemEqInA, "EqInA"},
      {kItemMuteA, "MuteA"},   {kItemEqInB, "EqInB"},       {kItemMuteB, "MuteB"},
      {kItemEqB, "EqB"},       {kItemLpfB, "LpfB"},         {kItemHpfB, "HpfB"},
      {kItemGainB, "GainB"}};
  std::string name = "Item" + std::to_string(info.param.item);
  for (const auto& [item, itemName] : kNames) {
    if (item == info.param.item) name = itemName;
  }
  return name + info.param.condition.name;
}

std::vector<TableRow> Rows(bool twoChannel) {
  std::vector<TableRow> rows;
  for (const int item : TEdit3300Window::ItemCodes(twoChannel, true)) {
    // Not here: the firmware version, which a box shows and nothing changes.
    if (item == kItemVersion) continue;
    for (const testsupport::Condition& condition : testsupport::Conditions(kRefusal)) {
      // Not here: a memory's recall whose first write, the memory's number, is carried out
      // unanswered: that alone changes nothing shown (the memory dialog's own tests hold a
      // failure at each of the recall's writes).
      if (item == kItemMemory && condition.fault && condition.carriedOut) continue;
      rows.push_back({twoChannel, item, condition});
    }
  }
  return rows;
}

}  // namespace

// Every change the item offers, under the row's condition: one report for each failed change,
// nothing shown that the unit did not take, and once it answers, what it holds everywhere.
// A refusal is told to no other window (the main window's device list).
TEST_P(ControlTable3300Test, ShowsWhatTheUnitHoldsWithOneReport) {
  const TableRow& row = GetParam();
  ui::Window owner;
  int told = 0;
  owner.OnMessage(TEdit3300Window::kDeviceChangedMessage, [&told](const ui::Message&) {
    ++told;
    return ui::Param{0};
  });
  owner.Create();
  IQDevice3300* unit = AddUnit(kAddress, row.twoChannel);
  ASSERT_NE(unit, nullptr);
  // Channel A's settings differ from channel B's and from the memory recalled, so that a copy or
  // a recall the unit takes shows.
  g3300GainA.Write(*unit, kRecalledGain);
  unit->UseMemory(kRecalled, MemoryOperation::kStore);
  for (int object : {g3300HpfA.GetId(), g3300LpfA.GetId(), g3300GainA.GetId()}) {
    Store(object, {5});
  }
  Store(g3300BandA[0].GetId(), {33});
  Store(g3300BandB[0].GetId(), {30});
  eqtest::TakeReportedErrors();

  ASSERT_TRUE(unit->Open(&owner));
  auto& edit = dynamic_cast<TEdit3300Window&>(*unit->EditWindow());
  OpenDialogs(edit);
  const std::string testedName = WindowName(edit, row.item) + "/ ";
  const auto tested = [&]() -> ui::Window& {
    ui::Window& window = *DialogOf(edit, row.item);
    if (!window.IsCreated()) edit.RunItem(row.item);
    return window;
  };

  // What the walk leaves alone, each made below as the user makes it or left out for a reason:
  // the tree's selection (it writes nothing; its items act by a double click); the windows the
  // tested one does not hold; the lock lamp (it locks, and the password then unlocks, in that
  // order); the memory names and the password, typed fields that reach the unit only as the
  // dialog closes or its lamp is pressed (the dialogs' own tests hold them); the buttons that
  // store a memory, set a new password or show the service status, which nothing shows.
  const auto leftAlone = [&](ui::Window& control) {
    if (dynamic_cast<ui::TreeView*>(&control) != nullptr) return true;
    for (ui::Window* w = control.Parent(); w != nullptr; w = w->Parent()) {
      if (w == &tested()) return false;
      if (dynamic_cast<ui::Dialog*>(w) != nullptr) return true;
    }
    const auto* lamp = dynamic_cast<ui::Control*>(&control);
    return lamp != nullptr && lamp->Id() == res3300::kLockLamp &&
           dynamic_cast<TSecurityDialog*>(control.Parent()) != nullptr;
  };
  const auto adjust = [](ui::Window& button) -> std::optional<testsupport::DialogAnswer> {
    const auto* control = dynamic_cast<ui::Control*>(&button);
    if (control == nullptr || control->Id() != res3300::kAdjustButton ||
        dynamic_cast<TGraphicEQ*>(button.Parent()) == nullptr) {
      return std::nullopt;
    }
    return testsupport::DialogAnswer{
        controls_res::kAdjustDialog, [](ui::Dialog& dialog) {
          dynamic_cast<ui::UpDown&>(ui::test::ControlOf(dialog, controls_res::kAdjustUpDown))
              .Step(-2);
          dialog.CloseWindow(ui::kIdOk);
        }};
  };
  std::size_t toldInBoxes = 0;
  const auto more = [&](ui::Window& window) {
    std::vector<testsupport::NamedChange> changes;
    if (&window != &tested()) return changes;
    if (IsSwitch(row.item)) {
      changes.push_back({"double click", [&](ui::Window&) { DoubleClick(edit, row.item); }});
    }
    if (row.item == kItemName) {
      changes.push_back({"renamed", [&](ui::Window&) {
                           ui::PromptScript script([](const std::string&) {});
                           script.RunDialog(controls_res::kInputDialog, [](ui::Dialog& dialog) {
                             ui::test::Type(dialog, controls_res::kInputField, "RENAMED");
                             dialog.CloseWindow(ui::kIdOk);
                           });
                           DoubleClick(edit, row.item);
                         }});
    }
    if (auto* equaliser = dynamic_cast<TGraphicEQ*>(&window)) {
      changes.push_back(
          {"flattened", [](ui::Window& w) { ui::test::Click(w, res3300::kFlattenButton); }});
      changes.push_back(BandKey(*equaliser, 1, Qt::Key_Up, "band 1 key"));
      changes.push_back(BandKey(*equaliser, kBandCount, Qt::Key_PageDown, "last band page"));
    }
    if (dynamic_cast<TMemoryDialog*>(&window) != nullptr) {
      // The recall asks yes or no, which the walk's OK does not answer: it answers its own
      // question, and a failure its closing box tells counts as a report.
      changes.push_back({"recalled", [&toldInBoxes](ui::Window& w) {
                           ui::PromptScript script([](const std::string&) {});
                           script.AnswerMessageBox(ui::kIdYes).AnswerMessageBox(ui::kIdOk);
                           ui::test::Click(w, res3300::kFirstRecall + kRecalled - 1);
                           toldInBoxes += testsupport::FailuresToldInBoxes(script);
                         }});
    }
    if (dynamic_cast<TSecurityDialog*>(&window) != nullptr) {
      changes.push_back(
          {"locked by the lamp", [](ui::Window& w) { ui::test::Click(w, res3300::kLockLamp); }});
      changes.push_back({"unlocked by the password", [](ui::Window& w) {
                           ui::test::Type(w, res3300::kPasswordEdit, kPassword);
                           ui::test::PressKey(ui::test::ControlOf(w, res3300::kPasswordEdit),
                                              Qt::Key_Return);
                         }});
    }
    if (const std::optional<int> twin = TwinOf(row.item); twin && edit.Item(*twin)) {
      changes.push_back({"dragged onto its twin",
                         [&, twin = *twin](ui::Window&) { DragOnto(edit, row.item, twin); }});
    }
    return changes;
  };

  testsupport::CheckEveryChange(
      {.tested = tested,
       .shown = [&] { return Lines(edit, *unit); },
       .inTested =
           [&](const std::string& line) {
             return line.starts_with(testedName) || line.starts_with("model/");
           },
       .fresh =
           [&] {
             FreshLook fresh(*unit, edit);
             return Lines(fresh.window, *unit);
           },
       .fail = [&](const sim::Fault& fault) { bus.AddFault(fault.ForUnit(kAddress)); },
       .answerAgain =
           [&] {
             bus.ClearFaults();
             testsupport::ResumePollsAndSettle();
           },
       .takeReports =
           [&toldInBoxes] {
             return eqtest::TakeReportedErrors().size() + std::exchange(toldInBoxes, 0);
           },
       .sweep = {.skip = leftAlone, .typed = {}, .dialog = adjust, .more = more}},
      row.condition);
  if (row.condition.refused) {
    EXPECT_EQ(told, 0) << "a refusal is told to no other window";
  }

  edit.Memory()->Destroy();
  edit.CloseWindow();
  ui::test::PumpMessages();
}

INSTANTIATE_TEST_SUITE_P(OneChannel, ControlTable3300Test, testing::ValuesIn(Rows(false)), RowName);
INSTANTIATE_TEST_SUITE_P(TwoChannel, ControlTable3300Test, testing::ValuesIn(Rows(true)), RowName);

}  // namespace table3300
