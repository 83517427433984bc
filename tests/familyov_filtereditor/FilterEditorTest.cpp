// The filter editor of a channel, opened from the unit's tree: adding, bypassing, copying,
// moving, unlinking and deleting filters from the list, against a simulated unit through the
// pseudo-terminal (exact writes) or on a virtual unit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QSplitter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "bus/UCodeEncoder.h"
#include "familycommon/FilterConversions.h"
#include "familycommon/LoadFailure.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/filters/TFilterEditor.h"
#include "familyov/filters/TFilterGraphWindow.h"
#include "familyov/filters/TFilterListWindow.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/registry/Store.h"
#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "resources/FamilyOvFilterEditorIds.h"
#include "resources/FamilyOvIds.h"
#include "resources/FamilyOvSummaryIds.h"
#include "sim/Fault.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovfilter_res;
using sim::familyov::Model;

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_filtereditor_tests");

constexpr int kChannelNameObject = 0x30;

// The editors of a unit's channels, opened from its edit window as the tree's channel nodes do.
struct Editors {
  explicit Editors(IQDeviceOrdavinex& unit) {
    unit.autoOpenSummary = 0;
    window = MakeEditWindow(unit);
    window->Create();
  }
  static std::unique_ptr<TEditOVWindow> MakeEditWindow(IQDeviceOrdavinex& unit) {
    if (auto* u = dynamic_cast<IQDevice8148*>(&unit))
      return std::make_unique<TEdit8148Window>(nullptr, *u);
    return std::make_unique<TEdit8126Window>(nullptr, dynamic_cast<IQDevice8126&>(unit));
  }
  TFilterDecoratedFrame& Open(int channel) {
    const int node = window->Ids().firstChannel + channel;
    window->OpenChildWindow(node);
    return dynamic_cast<TFilterDecoratedFrame&>(*window->ChildWindow(node));
  }
  std::unique_ptr<TEditOVWindow> window;
};

void RunCommand(TFilterDecoratedFrame& editor, int command) {
  ASSERT_TRUE(editor.Layout().Commands().Run(command)) << command;
}

bool Enabled(TFilterDecoratedFrame& editor, int command) {
  ui::CommandState state;
  editor.Layout().Commands().Enable(command, state);
  return state.enabled;
}

TFilterListWindow& List(TFilterDecoratedFrame& editor) { return *editor.Layout().Panes().list; }

void SelectRows(TFilterListWindow& list, const std::vector<int>& rows) {
  list.List().SelectItem(-1);
  for (int row : rows) list.List().SetSelected(row, true);
}

class BusEditorTest : public testing::Test {
 protected:
  BusEditorTest() {
    bus.port.SetRetries(0);
    const int index = bus.AddModelUnit(Model::k8148, 5);
    for (int c = 0; c < 12; ++c) {
      std::string name = "Chan " + std::to_string(c);
      name.resize(12);
      bus.bus.StoreElement(index, kChannelNameObject, c, {name.begin(), name.end()});
    }
    unit = &dynamic_cast<IQDevice8148&>(*bus.RollCall({&type}).at(0));
    ovtest::ReportedErrors().clear();
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> writes;
    for (auto& line : bus.TakeTrace()) {
      if (line[0] == 'W') writes.push_back(line);
    }
    return writes;
  }

  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  ovtest::FamilyBus bus;
  IQ8148Type type;
  IQDevice8148* unit = nullptr;
};

TEST_F(BusEditorTest, AddBypassCopyAndDeleteFromTheList) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  EXPECT_EQ(editor.Text(), "Chan 1 Filters--" + unit->GetDisplayName());
  TFilterListWindow& list = List(editor);
  const int before = unit->freeSections;
  bus.TakeTrace();

  RunCommand(editor, kCmParametric);
  ASSERT_EQ(list.Rows().size(), 1u);
  TFilter* added = list.Rows()[0];
  const std::string n = ovtest::Hex(added->number);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"W11 " + n, "W10 03", "W0F 01", "W24 00",
                                                "W13.0 000003E8", "W31 00", "W13.2 00000000",
                                                "W13.1 00000057", "W11 " + n, "W14 00"}));
  EXPECT_EQ(list.List().ItemText(0, 0), "Parametric");
  EXPECT_EQ(list.List().ItemText(0, 1), "1000 Hz");
  EXPECT_EQ(editor.Layout().Panes().parameters->ShownFilter(), added);
  EXPECT_EQ(editor.Layout().Panes().parameters->Dialog().GetFilter(), added);
  EXPECT_EQ(dynamic_cast<TStubDialog*>(&editor.Layout().Panes().parameters->Dialog()), nullptr);
  EXPECT_EQ(list.List().SelectedItems(), std::vector<int>{0});
  EXPECT_EQ(editor.Layout().Panes().count->CountText(), std::to_string(unit->freeSections));
  EXPECT_LT(unit->freeSections, before);

  // At its first size the list, half the editor, shows every column.
  editor.Show();
  ui::test::PumpMessages();
  EXPECT_LT(list.List().ColumnsWidth(), list.List().ClientRect().Width());
  const std::filesystem::path gallery = GALLERY_DIR;
  std::filesystem::create_directories(gallery);
  EXPECT_TRUE(ui::test::GrabPng(editor, (gallery / "filter-editor.png").string()));
  RunCommand(editor, kCmBypass);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"W11 " + n, "W23 01"}));
  EXPECT_EQ(list.List().StateImage(0), 1);

  // Copy to channel 3, chosen from the list's pop-up menu.
  TFilterDecoratedFrame& other = editors.Open(3);
  script.ChooseFromPopup(kCmFirstCopyToChannel + 3).AnswerMessageBox(ui::kIdOk);
  list.PopupMenu();
  ASSERT_EQ(List(other).Rows().size(), 1u);
  TFilter* copy = List(other).Rows()[0];
  EXPECT_EQ(copy->channel, 3);
  const std::vector<std::string> copyWrites = Writes();
  ASSERT_EQ(copyWrites.size(), 10u);
  EXPECT_EQ(copyWrites[2], "W0F 03");
  EXPECT_EQ(copyWrites[9], "W14 00");

  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(editor, kCmDelete);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"W11 " + n, "W0E 00"}));
  EXPECT_TRUE(list.Rows().empty());
  EXPECT_EQ(editor.Layout().Panes().parameters->ShownFilter(), nullptr);
  EXPECT_NE(dynamic_cast<TStubDialog*>(&editor.Layout().Panes().parameters->Dialog()), nullptr);
  EXPECT_EQ(unit->Filters().size(), 1u);
  EXPECT_FALSE(Enabled(editor, kCmDelete));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(BusEditorTest, UnlinkClearsTheLinkInMemoryAndDeleteTakesTheWholeChain) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  RunCommand(input, kCmLowpass);
  ASSERT_EQ(List(output).Rows().size(), 1u);
  TFilter* member = List(output).Rows()[0];
  EXPECT_EQ(List(input).List().ItemText(0, 4), "A");
  EXPECT_TRUE(Enabled(input, kCmUnlink));
  EXPECT_FALSE(Enabled(input, kCmFirstCopyToChannel + 1));
  bus.TakeTrace();

  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(input, kCmUnlink);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"W11 " + ovtest::Hex(member->number), "W31 00"}));
  EXPECT_EQ(member->linkNumber, 0);
  EXPECT_EQ(member->linkHead, nullptr);
  EXPECT_EQ(List(output).List().StateImage(0), -1);
  EXPECT_EQ(List(output).List().ItemText(0, 4), "");
  // A full write no longer links it again.
  member->WriteToDevice(*unit);
  EXPECT_EQ(Writes()[5], "W31 00");

  // A new chain, deleted from the member's side: the member goes first, then the head.
  RunCommand(input, kCmHighpass);
  SelectRows(List(output), {1});
  TFilter* head = List(input).Rows().back();
  TFilter* second = List(output).Selection().at(0);
  ASSERT_EQ(second->linkHead, head);
  const int headNumber = head->number;
  const int secondNumber = second->number;
  bus.TakeTrace();
  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(output, kCmDelete);
  EXPECT_EQ(Writes(), (std::vector<std::string>{"W11 " + ovtest::Hex(secondNumber), "W0E 00",
                                                "W11 " + ovtest::Hex(headNumber), "W0E 00"}));
  EXPECT_EQ(List(input).Rows().size(), 1u);
  EXPECT_EQ(List(output).Rows().size(), 1u);
  EXPECT_EQ(unit->Filters().size(), 2u);

  // The Delete key in the list is the menu's Delete; without a selection it does nothing.
  SelectRows(List(output), {});
  ui::test::PressKey(List(output).List(), Qt::Key_Delete);
  EXPECT_EQ(List(output).Rows().size(), 1u);
  SelectRows(List(output), {0});
  script.AnswerMessageBox(ui::kIdOk);
  ui::test::PressKey(List(output).List(), Qt::Key_Delete);
  EXPECT_TRUE(List(output).Rows().empty());
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(BusEditorTest, AMoveThatFailsHalfwayLosesNoFilter) {
  Editors editors(*unit);
  TFilterDecoratedFrame& from = editors.Open(1);
  TFilterDecoratedFrame& to = editors.Open(3);
  RunCommand(from, kCmParametric);
  RunCommand(from, kCmLowShelving);
  SelectRows(List(from), {0, 1});
  const int movedType = List(from).Selection()[0]->typeCode;
  const int staysType = List(from).Selection()[1]->typeCode;
  // The unit refuses the second deletion.
  bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x0E).OnOccurrence(2));
  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(from, kCmFirstMoveToChannel + 3);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  // The refused deletion leaves its filter on the unit: the lists show what it holds.
  ASSERT_EQ(List(from).Rows().size(), 1u);
  EXPECT_EQ(List(from).Rows()[0]->typeCode, staysType);
  ASSERT_EQ(List(to).Rows().size(), 1u);
  EXPECT_EQ(List(to).Rows()[0]->typeCode, movedType);
  EXPECT_EQ(unit->Filters().size(), 2u);
}

class VirtualEditorTest : public testing::Test {
 protected:
  std::unique_ptr<ovtest::Recording<IQDevice8148>> unit = ovtest::NewVirtual<IQDevice8148>(8);
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};

  TFilter* Add(std::unique_ptr<TFilter> filter, int channel, int frequency) {
    filter->channel = channel;
    filter->frequency = frequency;
    return unit->AddFilter(std::move(filter));
  }
};

TEST_F(VirtualEditorTest, MovingToAnyChannelIsNotShowPhaseAndARefreshDropsReplacedFilters) {
  ASSERT_EQ(unit->firstOutput, 4);
  Add(std::make_unique<TParametricFilter>(), 1, 500);
  Add(std::make_unique<THighpassFilter>(), 1, 700);
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  SelectRows(List(editor), {0});
  TFilter* moved = List(editor).Selection().at(0);
  const bool phase = unit->showPhase[1];

  RunCommand(editor, kCmShowPhase);
  EXPECT_EQ(List(editor).Rows().size(), 2u) << "Show phase moved the filter";
  EXPECT_EQ(unit->showPhase[1], !phase) << "the open graph's phase is toggled";
  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(editor, kCmFirstMoveToChannel + 4);
  EXPECT_EQ(List(editor).Rows().size(), 1u);
  ASSERT_EQ(unit->Filters().size(), 2u);
  EXPECT_EQ(unit->Filters()[1]->channel, 4);
  EXPECT_NE(unit->Filters()[1].get(), moved);

  // Filters replaced wholesale (a settings load, say) are announced with a refresh.
  unit->RemoveAllFilters();
  TFilter* fresh = Add(std::make_unique<TLowshelfFilter>(), 1, 80);
  NotifyRecord refresh{RefreshAll, 0, 0, nullptr};
  editors.window->Notify(&refresh);
  EXPECT_EQ(List(editor).Rows(), std::vector<TFilter*>{fresh});
}

// The divider dragged by hand to the splitter's left edge.
void PushListShut(TFilterSplitter& splitter) {
  auto* widget = static_cast<QSplitter*>(splitter.Widget());
  QSplitterHandle* handle = widget->handle(1);
  const QPoint grip(handle->width() / 2, handle->height() / 2);
  const QPoint leftEdge = widget->mapToGlobal(QPoint(0, grip.y()));
  QMouseEvent press(QEvent::MouseButtonPress, grip, handle->mapToGlobal(grip), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(leftEdge), leftEdge, Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, handle->mapFromGlobal(leftEdge), leftEdge,
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  for (QMouseEvent* e : {&press, &move, &release}) QApplication::sendEvent(handle, e);
  ui::test::PumpMessages();
}

TEST_F(VirtualEditorTest, ViewListReopensTheListPaneThatTheDividerPushedShut) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  editor.Show();
  ui::test::PumpMessages();
  TFilterSplitter& splitter = *editor.Layout().Panes().splitter;
  EXPECT_FALSE(Enabled(editor, kCmShowList)) << "the list is open";
  PushListShut(splitter);
  ASSERT_EQ(splitter.PaneSize(List(editor)), 0);
  EXPECT_TRUE(Enabled(editor, kCmShowList));
  EXPECT_FALSE(Enabled(editor, kCmBypass)) << "nothing to bypass in a list out of sight";
  RunCommand(editor, kCmShowList);
  ui::test::PumpMessages();
  EXPECT_GT(splitter.PaneSize(List(editor)), 0);
  EXPECT_FALSE(Enabled(editor, kCmShowList));
}

TEST_F(VirtualEditorTest, SortingQAndZeroDbSelection) {
  auto* flat = static_cast<TParametricFilter*>(Add(std::make_unique<TParametricFilter>(), 0, 900));
  flat->level = -0.005f;
  auto* boost = static_cast<TParametricFilter*>(Add(std::make_unique<TParametricFilter>(), 0, 100));
  boost->level = 0.01f;
  Add(std::make_unique<TLowshelfFilter>(), 0, 300);
  Editors editors(*unit);
  TFilterListWindow& list = List(editors.Open(0));
  ASSERT_EQ(list.List().Count(), 3);
  EXPECT_EQ(list.List().ItemText(0, 1), "100 Hz");
  EXPECT_EQ(list.List().ItemText(2, 1), "900 Hz");

  list.ColumnClicked(1);
  EXPECT_EQ(list.List().ItemText(0, 1), "900 Hz");
  list.ColumnClicked(1);
  EXPECT_EQ(list.List().ItemText(0, 1), "100 Hz");

  const std::string param2 = list.List().ItemText(0, 3);
  const int useQ = unit->useQ;
  list.ColumnClicked(3);
  EXPECT_NE(list.List().ItemText(0, 3), param2);
  EXPECT_EQ(unit->useQ, 1 - useQ);

  list.CmSelectZeroDb();
  EXPECT_EQ(list.Selection(), std::vector<TFilter*>{flat});
  list.CmSelectAll();
  EXPECT_EQ(list.Selection().size(), 3u);
}

TEST_F(VirtualEditorTest, AddingBeyondTheCapacityIsRefusedAndLinkedChannelsCount) {
  unit->linkedChannels[0] = unit->linkedChannels[2] = unit->linkedChannels[3] = true;
  unit->linkedChannels[5] = true;
  EXPECT_EQ(ChannelsReceivingNewFilter(*unit, 0), 4);
  EXPECT_EQ(ChannelsReceivingNewFilter(*unit, 1), 1);
  while (unit->CanAddSections(kOtherSections, 1)) {
    Add(std::make_unique<TLowpassFilter>(), 1, 1000);
  }
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  const std::size_t rows = List(editor).Rows().size();
  const std::string count = editor.Layout().Panes().count->CountText();
  unit->TakeTrace();
  script.AnswerMessageBox(ui::kIdOk);
  RunCommand(editor, kCmLowpass);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Insufficient DSP capacity");
  EXPECT_EQ(script.Seen()[0].caption, "Add filter");
  EXPECT_EQ(List(editor).Rows().size(), rows);
  EXPECT_EQ(editor.Layout().Panes().count->CountText(), count);
  for (const std::string& transfer : unit->TakeTrace()) EXPECT_NE(transfer[0], 'W') << transfer;
}

}  // namespace
}  // namespace namespaceOV

namespace namespaceOV {
namespace {

// What the unit holds of each filter, by number: type, channel, link number and the channels of
// the other members of its chain.
struct HeldFilter {
  int number, typeCode, channel, linkNumber;
  std::vector<int> linkedChannels;
  bool bypass;
  DeviceRecord record;
  bool operator==(const HeldFilter&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const HeldFilter& f) {
    out << "#" << f.number << " type " << f.typeCode << " ch " << f.channel << " link "
        << f.linkNumber << " with";
    for (int c : f.linkedChannels) out << " " << c;
    return out << " bypass " << f.bypass << " record " << f.record[0] << " " << f.record[1] << " "
               << f.record[2];
  }
};

std::vector<HeldFilter> Holding(IQDeviceOrdavinex& unit) {
  std::vector<HeldFilter> held;
  for (const auto& f : unit.Filters()) {
    f->UpdateLinkedChannels();
    held.push_back({f->number, f->typeCode, f->channel, f->linkNumber, f->linkedChannels, f->bypass,
                    f->GetDeviceRecord()});
  }
  std::ranges::sort(held, {}, &HeldFilter::number);
  return held;
}

// The program's filters equal a fresh read of the unit, and every list shows the unit's.
void ExpectTheUnitsTruth(IQDeviceOrdavinex& unit, const std::vector<TFilterListWindow*>& lists) {
  const std::vector<HeldFilter> program = Holding(unit);
  for (TFilterListWindow* list : lists) {
    std::size_t onChannel = 0;
    for (TFilter* row : list->Rows()) {
      EXPECT_TRUE(unit.Holds(row));
      onChannel += 1;
    }
    EXPECT_EQ(static_cast<int>(onChannel), list->List().Count());
  }
  unit.ReadDeviceParameters();
  EXPECT_EQ(program, Holding(unit));
}

// Each list shows exactly the filters the program holds on its channel.
void ExpectListsShowTheProgramsFilters(
    IQDeviceOrdavinex& unit, const std::vector<std::pair<TFilterListWindow*, int>>& lists) {
  for (const auto& [list, channel] : lists) {
    std::vector<TFilter*> held;
    for (const auto& f : unit.Filters()) {
      if (f->channel == channel) held.push_back(f.get());
    }
    std::vector<TFilter*> rows = list->Rows();
    std::ranges::sort(held);
    std::ranges::sort(rows);
    EXPECT_EQ(rows, held) << "channel " << channel;
  }
}

TEST_F(BusEditorTest, AChainDeleteThatStopsAtAnyStepLeavesTheChainsAsTheUnitHoldsThem) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = unit->linkedChannels[5] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    RunCommand(input, kCmLowpass);
    ASSERT_EQ(unit->Filters().size(), 3u);
    SelectRows(List(output), {0});
    bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x0E).OnOccurrence(failing));
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    ovtest::ReportedErrors().clear();
    RunCommand(output, kCmDelete);
    // The refusal and what the unit now holds, in one message.
    EXPECT_TRUE(ovtest::ReportedErrors().empty());
    EXPECT_THAT(script.Seen().back().text,
                testing::AllOf(testing::StartsWith(ErrorObject(7).GetText()),
                               testing::EndsWith(familycommon::kDeleteNotFinishedText)));
    for (const auto& f : unit->Filters()) {
      EXPECT_TRUE(f->linkHead == nullptr || unit->Holds(f->linkHead));
      EXPECT_TRUE(f->nextInChain == nullptr || unit->Holds(f->nextInChain));
    }
    // Sorting by the frequency column reads every row's chain again.
    List(output).ColumnClicked(1);
    List(input).ColumnClicked(1);
    ExpectTheUnitsTruth(*unit, {&List(input), &List(output)});
    bus.bus.ClearFaults();
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
  }
}

TEST_F(BusEditorTest, ACopyToLinkedChannelsThatStopsAtAnyStepLeavesNoHalfLinkedChain) {
  unit->linkedChannels[2] = unit->linkedChannels[0] = unit->linkedChannels[3] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(2);
  TFilterDecoratedFrame& first = editors.Open(0);
  TFilterDecoratedFrame& second = editors.Open(3);
  // The link number of each clone, then each clone's update command.
  for (int failing = 1; failing <= 4; ++failing) {
    SCOPED_TRACE(failing);
    const int object = failing <= 2 ? 0x31 : 0x14;
    const int occurrence = failing <= 2 ? failing + 1 : failing;
    bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(object).OnOccurrence(occurrence));
    ovtest::ReportedErrors().clear();
    RunCommand(editor, kCmParametric);
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
    // No row for the head the views let go when they read the unit again.
    EXPECT_EQ(
        List(editor).List().Count(),
        std::ranges::count_if(unit->Filters(), [](const auto& f) { return f->channel == 2; }));
    for (const auto& f : unit->Filters()) {
      if (f->linkHead != nullptr) {
        const std::vector<TFilter*> chain = f->linkHead->ChainMembers();
        EXPECT_NE(std::ranges::find(chain, f.get()), chain.end());
      }
    }
    // The new filter deleted from its list, and the linked channels' lists sorted again: every
    // chain they read is one the unit holds.
    if (List(editor).List().Count() > 0) {
      SelectRows(List(editor), {0});
      script.AnswerMessageBox(ui::kIdOk);
      RunCommand(editor, kCmDelete);
    }
    List(first).ColumnClicked(1);
    List(second).ColumnClicked(1);
    ExpectListsShowTheProgramsFilters(*unit,
                                      {{&List(editor), 2}, {&List(first), 0}, {&List(second), 3}});
    ExpectTheUnitsTruth(*unit, {&List(editor), &List(first), &List(second)});
    bus.bus.ClearFaults();
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
  }
}

TEST_F(BusEditorTest, AnAddThatStopsAtAnyStepListsWhatTheUnitHolds) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  // Type, channel, a parameter, the link number, the create command.
  for (int object : {0x10, 0x0F, 0x13, 0x31, 0x14}) {
    SCOPED_TRACE(object);
    bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(object).OnOccurrence(1));
    ovtest::ReportedErrors().clear();
    RunCommand(editor, kCmParametric);
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
    bus.bus.ClearFaults();
    // A refused type leaves the unit's new filter on channel 0, where it had no channel yet.
    EXPECT_EQ(
        List(editor).List().Count(),
        std::ranges::count_if(unit->Filters(), [](const auto& f) { return f->channel == 1; }));
    ExpectTheUnitsTruth(*unit, {&List(editor)});
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
  }
}

TEST_F(BusEditorTest, AChangeToAChainMemberIsWrittenToTheOtherMembersOnly) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  RunCommand(input, kCmParametric);
  TFilter* head = List(input).Rows().at(0);
  TFilter* member = head->nextInChain;
  ASSERT_NE(member, nullptr);
  // The member's frequency typed into its dialog.
  SelectRows(List(output), {0});
  TFilterDialog& dialog = output.Layout().Panes().parameters->Dialog();
  ASSERT_EQ(dialog.GetFilter(), member);
  bus.TakeTrace();
  ui::test::Type(dialog, ovfilterdlg_res::kFrequencyEdit, "2000");
  ui::test::PressKey(ui::test::ControlOf(dialog, ovfilterdlg_res::kFrequencyEdit), Qt::Key_Return);
  ui::test::PumpMessages();
  // One copy, onto the head; none of the member onto itself.
  const std::vector<std::string> writes = Writes();
  EXPECT_EQ(
      std::ranges::count_if(writes, [](const std::string& w) { return w.starts_with("W37"); }), 1);
  EXPECT_EQ(head->frequency, 2000);
}

TEST_F(BusEditorTest, AChangeCopiedAlongAChainOfTwoTypesShowsWhatTheUnitCopied) {
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  RunCommand(input, kCmParametric);
  RunCommand(output, kCmLowShelving);
  TFilter* head = List(input).Rows().at(0);
  TFilter* member = List(output).Rows().at(0);
  ASSERT_NE(head->GetDeviceRecord()[1], member->GetDeviceRecord()[1]);
  // A chain the unit holds, made elsewhere.
  GuardedUnitCall(*unit, [&] {
    gFilterSelectObject.Write(*unit, static_cast<uint8_t>(member->number));
    gFilterLinkGroupObject.Write(*unit, static_cast<uint8_t>(head->number + 1));
    unit->ReadDeviceParameters();
  });
  head = List(input).Rows().at(0);
  ASSERT_NE(head->nextInChain, nullptr);
  // The head's change as its dialog writes it.
  head->frequency = 2000;
  GuardedUnitCall(*unit, [&] { head->WriteParams(*unit); });
  std::vector<TFilter*> changed{head};
  NotifyRecord record{FilterChanged, head->channel, 1, &changed};
  editors.window->Notify(&record);
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
  ExpectTheUnitsTruth(*unit, {&List(input), &List(output)});
}

TEST_F(BusEditorTest, AMoveOrACopyThatStopsAtAnyStepLeavesTheListsAsTheUnitHoldsThem) {
  Editors editors(*unit);
  TFilterDecoratedFrame& from = editors.Open(1);
  TFilterDecoratedFrame& to = editors.Open(3);
  const auto prepare = [&] {
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
    RunCommand(from, kCmParametric);
    RunCommand(from, kCmLowShelving);
    SelectRows(List(from), {0, 1});
    bus.TakeTrace();
  };
  for (const int command : {kCmFirstMoveToChannel + 3, kCmFirstCopyToChannel + 3}) {
    SCOPED_TRACE(command);
    prepare();
    script.AnswerMessageBox(ui::kIdOk);
    RunCommand(from, command);
    const int steps = static_cast<int>(bus.TakeTrace().size());
    ASSERT_GT(steps, 10);
    for (int failing = 1; failing <= steps; ++failing) {
      SCOPED_TRACE(failing);
      prepare();
      bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
      ovtest::ReportedErrors().clear();
      script.AnswerMessageBox(ui::kIdOk);
      RunCommand(from, command);
      bus.bus.ClearFaults();
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
      ExpectListsShowTheProgramsFilters(*unit, {{&List(from), 1}, {&List(to), 3}});
      ExpectTheUnitsTruth(*unit, {&List(from), &List(to)});
    }
  }
}

TEST_F(BusEditorTest, ALoadFromTheUnitWindowShowsTheFiltersTheUnitNowHolds) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  RunCommand(editor, kCmParametric);
  // Of this run alone, so that a run left behind asks no question.
  const std::string path = (std::filesystem::path(testing::TempDir()) /
                            ("editor-one-filter-" + std::to_string(getpid()) + ".ov2"))
                               .string();
  script.AnswerSaveFile(path);
  ASSERT_TRUE(unit->SaveFile());
  RunCommand(editor, kCmLowpass);
  RunCommand(editor, kCmHighpass);
  ASSERT_EQ(List(editor).Rows().size(), 3u);

  script.AnswerOpenFile(path);
  ui::Application::Instance()->RouteCommand(ovres::kCmLoadSettings, editors.window.get());
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
  ASSERT_EQ(List(editor).Rows().size(), 1u);
  EXPECT_EQ(List(editor).Rows()[0]->typeCode, kFilterParametric);
  ExpectListsShowTheProgramsFilters(*unit, {{&List(editor), 1}});
  ExpectTheUnitsTruth(*unit, {&List(editor)});
  std::filesystem::remove(path);
}

// Every member of a chain names its head, and its head's chain holds it.
void ExpectWholeChains(const IQDeviceOrdavinex& unit) {
  for (const auto& f : unit.Filters()) {
    if (TFilter* head = f->linkHead) {
      EXPECT_EQ(f->linkNumber, head->number + 1);
      const std::vector<TFilter*> chain = head->ChainMembers();
      EXPECT_NE(std::ranges::find(chain, f.get()), chain.end()) << "#" << f->number;
    }
  }
}

// The number of requests the action makes, as the trace counts them.
template <typename Action>
int StepsOf(ovtest::FamilyBus& bus, Action action) {
  bus.TakeTrace();
  action();
  return static_cast<int>(bus.TakeTrace().size());
}

TEST_F(BusEditorTest, AChainEditRefusedAtAnyStepLeavesEveryMemberAsTheUnitHoldsIt) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = unit->linkedChannels[5] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  RunCommand(input, kCmParametric);
  ASSERT_EQ(unit->Filters().size(), 3u);
  int hz = 1000;
  // The head's frequency typed into its dialog: written, then copied to each member.
  const auto type = [&] {
    ui::Window& dialog = input.Layout().Panes().parameters->Dialog();
    ui::test::Type(dialog, ovfilterdlg_res::kFrequencyEdit, std::to_string(hz += 100));
    ui::test::PressKey(ui::test::ControlOf(dialog, ovfilterdlg_res::kFrequencyEdit),
                       Qt::Key_Return);
  };
  const int steps = StepsOf(bus, type);
  ASSERT_GT(steps, 6);
  for (int failing = 1; failing <= steps; ++failing) {
    SCOPED_TRACE(failing);
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    ovtest::ReportedErrors().clear();
    type();
    bus.bus.ClearFaults();
    EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
    ExpectWholeChains(*unit);
    ExpectTheUnitsTruth(*unit, {&List(input), &List(output)});
  }
}

TEST_F(BusEditorTest, AnUnlinkOrBypassRefusedAtAnyStepLeavesTheChainsAsTheUnitHoldsThem) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = unit->linkedChannels[5] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& output = editors.Open(4);
  const struct {
    int command;
    bool confirmed;
    int steps;
  } rows[] = {{kCmUnlink, true, 4}, {kCmBypass, false, 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    const auto run = [&] {
      SelectRows(List(input), {0});
      if (row.confirmed) script.AnswerMessageBox(ui::kIdOk);
      RunCommand(input, row.command);
    };
    const auto prepare = [&] {
      GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
      RunCommand(input, kCmParametric);
    };
    prepare();
    ASSERT_EQ(StepsOf(bus, run), row.steps);
    for (int failing = 1; failing <= row.steps; ++failing) {
      SCOPED_TRACE(failing);
      prepare();
      bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
      ovtest::ReportedErrors().clear();
      run();
      bus.bus.ClearFaults();
      EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
      ExpectWholeChains(*unit);
      ExpectTheUnitsTruth(*unit, {&List(input), &List(output)});
    }
  }
}

TEST_F(BusEditorTest, AChainDeleteStoppedAtAnyStepLeavesNoMemberForTheNextFilterToTakeOver) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = unit->linkedChannels[5] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  TFilterDecoratedFrame& other = editors.Open(1);
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
    RunCommand(input, kCmLowpass);
    SelectRows(List(input), {0});
    bus.bus.AddFault(sim::Fault::ErrorObject(7).ForObject(0x0E).OnOccurrence(failing));
    script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk);
    RunCommand(input, kCmDelete);
    bus.bus.ClearFaults();
    // The unit gives the next new filter the lowest free number, a deleted head's among them.
    RunCommand(other, kCmParametric);
    ASSERT_EQ(List(other).Rows().size(), 1u);
    EXPECT_EQ(List(other).Rows()[0]->ChainMembers().size(), 1u);
    ExpectWholeChains(*unit);
    ExpectTheUnitsTruth(*unit, {&List(input), &List(other)});
  }
}

TEST_F(BusEditorTest, AnAddOrCopyStoppedAtAnyStepLeavesNoFilterTheUnitNeverStarted) {
  unit->linkedChannels[0] = unit->linkedChannels[4] = true;
  Editors editors(*unit);
  TFilterDecoratedFrame& input = editors.Open(0);
  const auto add = [&] { RunCommand(input, kCmHighpass); };
  const int steps = StepsOf(bus, add);
  ASSERT_GT(steps, 15);
  for (int failing = 1; failing <= steps; ++failing) {
    SCOPED_TRACE(failing);
    GuardedUnitCall(*unit, [&] { unit->RemoveAllFilters(); });
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    add();
    bus.bus.ClearFaults();
    // Whatever the unit still holds of the add runs, so that it takes a change.
    bus.bus.WithUnit(0, [&](sim::Unit& simulated) {
      for (const auto& record :
           dynamic_cast<sim::familyov::FamilyOvUnit&>(simulated).Filters().Records()) {
        EXPECT_TRUE(!record.allocated || record.type == 0 || record.active);
      }
    });
    ExpectTheUnitsTruth(*unit, {&List(input)});
  }
}

// The unit's settings file, saved through its command.
void SaveSettings(IQDeviceOrdavinex& unit, const std::string& path) {
  ui::PromptScript script{[](const std::string& what) { ADD_FAILURE() << what; }};
  script.AnswerSaveFile(path);
  ASSERT_TRUE(unit.SaveFile());
}

TEST_F(BusEditorTest, ALoadRefusedAtAnyKindOfStepLeavesTheFiltersAsTheUnitHoldsThem) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  RunCommand(editor, kCmParametric);
  RunCommand(editor, kCmLowpass);
  SelectRows(List(editor), {1});
  RunCommand(editor, kCmBypass);
  const std::string path = (std::filesystem::path(testing::TempDir()) /
                            ("editor-refused-load-" + std::to_string(getpid()) + ".ov2"))
                               .string();
  SaveSettings(*unit, path);
  const auto load = [&] {
    // A load that fails part way says so in a box of its own.
    ui::PromptScript prompts{[](const std::string&) {}};
    prompts.AnswerOpenFile(path).AnswerMessageBox(ui::kIdOk);
    ui::Application::Instance()->RouteCommand(ovres::kCmLoadSettings, editors.window.get());
  };
  // A request of each of the load's steps: the lock check, the snapshot of the unit, the names,
  // the memory written, its recall, and the filters read after it.
  const std::vector<std::string> kinds = {"R18", "R39", "W19", "W39", "W0B", "W11", "R10", "R24"};
  bus.TakeTrace();
  load();
  const std::vector<std::string> clean = bus.TakeTrace();
  for (const std::string& kind : kinds) {
    EXPECT_TRUE(std::ranges::any_of(clean, [&](const std::string& line) {
      return line.starts_with(kind + " ") || line.starts_with(kind + ".") || line == kind;
    })) << kind;
  }
  for (const std::string& kind : kinds) {
    SCOPED_TRACE(kind);
    // The unit holds other filters than the file, one of them bypassed.
    SelectRows(List(editor), {0});
    RunCommand(editor, kCmEnable);
    RunCommand(editor, kCmHighShelving);
    SelectRows(List(editor), {0, 1, 2});
    RunCommand(editor, kCmBypass);
    bus.bus.AddFault(
        sim::Fault::ErrorObject(7)
            .ForObject(std::stoi(kind.substr(1), nullptr, 16))
            .ForOpcode(kind[0] == 'W' ? UCodeEncoder::kOpcodeSet : UCodeEncoder::kOpcodeGet)
            .OnOccurrence(2));
    ovtest::ReportedErrors().clear();
    load();
    bus.bus.ClearFaults();
    EXPECT_LE(ovtest::ReportedErrors().size(), 1u);
    EXPECT_TRUE(unit->parametersReady);
    ExpectTheUnitsTruth(*unit, {&List(editor)});
  }
  std::filesystem::remove(path);
}

TEST_F(VirtualEditorTest, ReadingTheMemoriesLeavesOpenEditorsOnTheCurrentFilters) {
  Add(std::make_unique<TParametricFilter>(), 1, 500);
  Add(std::make_unique<THighpassFilter>(), 1, 700);
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  SelectRows(List(editor), {1});
  const int selectedNumber = List(editor).Selection().at(0)->number;
  unit->SaveMemoryRecord(3);
  {
    // What saving the settings or printing the report of a virtual unit does.
    MemoryWalk walk(*unit);
    unit->RecallMemoryRecord(3);
  }
  ASSERT_EQ(List(editor).Rows().size(), 2u);
  for (TFilter* row : List(editor).Rows()) EXPECT_TRUE(unit->Holds(row));
  ASSERT_EQ(List(editor).Selection().size(), 1u);
  EXPECT_EQ(List(editor).Selection()[0]->number, selectedNumber);
  TFilter* shown = editor.Layout().Panes().parameters->ShownFilter();
  EXPECT_TRUE(shown == nullptr || unit->Holds(shown));
  List(editor).ColumnClicked(1);
  EXPECT_EQ(List(editor).List().Count(), 2);
}

// Saving the settings or printing the report of a virtual unit, from its window or its summary,
// reads every memory. The open editor repaints, and Bypass acts on the row that stays selected.
TEST_F(VirtualEditorTest, SavingOrReportingLeavesTheOpenEditorOnTheUnitsFilters) {
  Add(std::make_unique<TParametricFilter>(), 1, 500);
  Add(std::make_unique<THighpassFilter>(), 1, 700);
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  editor.Show();
  const int summaryNode = editors.window->Ids().summary;
  editors.window->OpenChildWindow(summaryNode);
  ui::Window* summary = editors.window->ChildWindow(summaryNode);
  ASSERT_NE(summary, nullptr);
  struct Saving {
    ui::Window* window;
    int command;
    const char* extension;
  };
  const Saving savings[] = {{editors.window.get(), ovres::kCmSaveSettings, ".q48"},
                            {editors.window.get(), ovres::kCmPrintReport, ".txt"},
                            {summary, ovsummary_res::kCmFileSaveAs, ".q48"},
                            {summary, ovsummary_res::kCmFileReport, ".txt"}};
  for (const auto& [window, command, extension] : savings) {
    SCOPED_TRACE(command);
    SelectRows(List(editor), {1});
    const int selectedNumber = List(editor).Selection().at(0)->number;
    const std::filesystem::path path =
        std::filesystem::path(testing::TempDir()) /
        ("editor-save-" + std::to_string(getpid()) + "-" + std::to_string(command) + extension);
    script.AnswerSaveFile(path.string());
    ui::Application::Instance()->RouteCommand(command, window);
    ui::test::PumpMessages();
    EXPECT_TRUE(std::filesystem::exists(path));
    std::filesystem::remove(path);

    RunCommand(editor, kCmBypass);
    const auto held =
        std::ranges::find(unit->Filters(), selectedNumber, [](const auto& f) { return f->number; });
    ASSERT_NE(held, unit->Filters().end());
    EXPECT_TRUE((*held)->bypass);
    EXPECT_EQ(List(editor).List().StateImage(1), 1);
    RunCommand(editor, kCmEnable);
    EXPECT_FALSE((*held)->bypass);
  }
}

}  // namespace
}  // namespace namespaceOV

namespace namespaceOV {
namespace {

// A step whose answer never came leaves the filters unknown until the unit is read whole again:
// the list keeps its rows meanwhile, and the read keeps the filter chosen in the list, the pane and
// the graph, by the number the unit gave it for its new order.
TEST_F(BusEditorTest, AStepInDoubtKeepsTheRowsAndTheChosenFilterAcrossTheReadAgain) {
  Editors editors(*unit);
  TFilterDecoratedFrame& editor = editors.Open(1);
  TFilterListWindow& list = List(editor);
  RunCommand(editor, kCmParametric);
  RunCommand(editor, kCmLowpass);
  ASSERT_EQ(list.Selection().size(), 1u);
  const int number = list.Selection()[0]->number;
  auto& parameters = *editor.Layout().Panes().parameters;
  ASSERT_EQ(parameters.ShownFilter(), list.Selection()[0]);

  // The unit moves the filter for its new order; the command's answer is lost.
  bus.bus.AddFault(sim::Fault::Silence().ForObject(0x14).ForUnit(5));
  dynamic_cast<ui::UpDown&>(ui::test::ControlOf(parameters.Dialog(), ovfilterdlg_res::kOrderUpDown))
      .Step(-1);
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(list.List().Count(), 2) << "the rows stay while the unit is in doubt";

  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  ASSERT_EQ(list.List().Count(), 2);
  ASSERT_EQ(list.Selection().size(), 1u);
  TFilter* chosen = list.Selection()[0];
  EXPECT_NE(chosen->number, number) << "the unit moved it";
  EXPECT_EQ(chosen->typeCode, kFilterLowpass);
  EXPECT_EQ(parameters.ShownFilter(), chosen) << "the pane shows it again";
  const TFilterIcon* icon = editor.Layout().Panes().graph->Icons().Selected();
  EXPECT_TRUE(icon != nullptr && icon->Shows(chosen)) << "and so does the graph";
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

// A Q dropped on the slider whose update the unit carried out without answering leaves the
// program's copy at the Q before, and the list shows the filter's values blank. Every action that
// takes the filter from the copy meanwhile, before any idle pass, reads the unit again first and
// sends, stores or prints the Q the unit holds; a read that fails sends and stores nothing and is
// told once.
struct CopyInDoubtRow {
  const char* what;
  // Answers what the action printed.
  std::string (*act)(TFilterDecoratedFrame&);
};

std::string QWrite(float q) {
  char line[24];
  std::snprintf(line, sizeof line, "W13.1 %08X", static_cast<unsigned>(QToUnit(q)));
  return line;
}

std::string BandwidthText(float q) {
  TParametricFilter filter;
  filter.q = q;
  return filter.FormatParam2(true, false);
}

// The slider put at `position` and let go.
void DropBandwidth(TFilterDecoratedFrame& editor, int position) {
  ui::Window& dialog = editor.Layout().Panes().parameters->Dialog();
  auto& slider =
      dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(dialog, ovfilterdlg_res::kBandwidthSlider));
  slider.SetPosition(position);
  dialog.SendNotify({ovfilterdlg_res::kBandwidthSlider, ui::Notify::Scroll, &slider, -1,
                     static_cast<ui::Param>(ui::ScrollCode::EndScroll)});
}

std::string PrintedListing(TFilterDecoratedFrame& editor) {
  QTemporaryDir folder;
  const QString pdf = folder.filePath("listing.pdf");
  {
    ui::PromptScript print([](const std::string&) {});
    print.AnswerPrint(pdf.toStdString());
    RunCommand(editor, kCmPrint);
  }
  QProcess reader;
  reader.start("pdftotext", {pdf, "-"});
  reader.waitForFinished(30000);
  return reader.readAllStandardOutput().toStdString();
}

TEST_F(BusEditorTest, AnActionOnAFilterInDoubtTakesTheValuesTheUnitHolds) {
  const float copyQ = familycommon::BandwidthToQ(4.0f / 20);
  const float unitQ = QFromUnit(QToUnit(familycommon::BandwidthToQ(4.0f / 12)));
  for (const CopyInDoubtRow& row : {
           CopyInDoubtRow{"graph key",
                          [](TFilterDecoratedFrame& e) {
                            ui::test::PressKey(*e.Layout().Panes().graph, Qt::Key_Up);
                            return std::string();
                          }},
           CopyInDoubtRow{"graph drag",
                          [](TFilterDecoratedFrame& e) {
                            TFilterGraphWindow& g = *e.Layout().Panes().graph;
                            const ui::Point from = g.PointOf(*g.Icons().Selected());
                            ui::test::MouseDown(g, from);
                            ui::test::MouseMove(g, {from.x + 40, from.y});
                            ui::test::PumpMessages();
                            ui::test::MouseUp(g, {from.x + 40, from.y});
                            return std::string();
                          }},
           CopyInDoubtRow{"copy to channel",
                          [](TFilterDecoratedFrame& e) {
                            RunCommand(e, kCmFirstCopyToChannel + 2);
                            return std::string();
                          }},
           CopyInDoubtRow{"move to channel",
                          [](TFilterDecoratedFrame& e) {
                            RunCommand(e, kCmFirstMoveToChannel + 2);
                            return std::string();
                          }},
           CopyInDoubtRow{"set as default",
                          [](TFilterDecoratedFrame& e) {
                            ui::Application::Instance()->RouteCommand(
                                TFilterDialog::kCmSetAsDefault,
                                &e.Layout().Panes().parameters->Dialog());
                            return std::string();
                          }},
           // A unit that does not give the listing's channel name prints none.
           CopyInDoubtRow{"print listing", PrintedListing},
       }) {
    for (const bool readsFail : {false, true}) {
      SCOPED_TRACE(std::string(row.what) + (readsFail ? ", reads fail" : ", answering"));
      registry::Store defaults;
      type.SetRegistryKey(defaults.Root());
      {
        Editors editors(*unit);
        TFilterDecoratedFrame& editor = editors.Open(1);
        editor.Show();
        RunCommand(editor, kCmParametric);
        DropBandwidth(editor, 20);
        bus.bus.AddFault(sim::Fault::Silence()
                             .ForOpcode(sim::kOpcodeSet)
                             .ForObject(sim::familyov::object::kFilterCommand));
        DropBandwidth(editor, 12);
        bus.bus.ClearFaults();
        EXPECT_EQ(List(editor).List().ItemText(0, 3), "");
        if (readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
        ovtest::ReportedErrors().clear();
        bus.TakeTrace();
        // A copy or a move is confirmed once the unit's read lets it go on.
        ui::PromptScript confirm([](const std::string&) {});
        confirm.AnswerMessageBox(ui::kIdOk);
        std::string taken = row.act(editor);
        ui::test::PumpMessages();
        TParametricFilter fresh;
        unit->LoadFilterDefaults(fresh);
        taken += fresh.FormatParam2(true, false);
        for (const std::string& write : Writes()) taken += "\n" + write;
        EXPECT_THAT(taken, testing::Not(testing::HasSubstr(QWrite(copyQ))));
        EXPECT_THAT(taken, testing::Not(testing::HasSubstr(BandwidthText(copyQ))));
        if (readsFail) {
          EXPECT_THAT(taken, testing::Not(testing::HasSubstr("W13")));
        } else {
          EXPECT_THAT(taken, testing::AnyOf(testing::HasSubstr(QWrite(unitQ)),
                                            testing::HasSubstr(BandwidthText(unitQ))));
        }
        EXPECT_EQ(ovtest::ReportedErrors().size(), readsFail ? 1u : 0u);
        bus.bus.ClearFaults();
        testsupport::ResumePollsAndSettle();
      }
      while (!unit->Filters().empty()) unit->RemoveFilter(unit->Filters().front().get());
    }
  }
}

}  // namespace
}  // namespace namespaceOV
