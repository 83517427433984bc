#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bus/PollBackoff.h"
#include "controls/LevelScale.h"
#include "family3300/Parameters3300.h"
#include "family3300/TEdit3300Window.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family3300Ids.h"
#include "sim/Fault.h"
#include "tests/family3300_windows/WindowsTestSupport.h"
#include "tests/support/ControlSweep.h"
#include "tests/support/FaultKinds.h"

namespace {

using namespace namespace3300;
using eqtest::TakeReportedErrors;

// A window of a model's edit window: the tree itself (no item), or the dialog its item opens.
struct TableWindow {
  const char* name;
  bool twoChannel;
  int item;
};

const TableWindow kWindows[] = {{"Tree", true, 0},
                                {"EqA", true, kItemEqA},
                                {"EqB", true, kItemEqB},
                                {"LpfA", true, kItemLpfA},
                                {"LpfB", true, kItemLpfB},
                                {"HpfA", true, kItemHpfA},
                                {"HpfB", true, kItemHpfB},
                                {"GainA", true, kItemGainA},
                                {"GainB", true, kItemGainB},
                                {"Dspi", true, kItemDspi},
                                {"Memory", true, kItemMemory},
                                {"Security", true, kItemSecurity},
                                {"XLTree", false, 0},
                                {"XLEq", false, kItemEqA},
                                {"XLLpf", false, kItemLpfA},
                                {"XLHpf", false, kItemHpfA},
                                {"XLGain", false, kItemGainA},
                                {"XLDspi", false, kItemDspi},
                                {"XLMemory", false, kItemMemory},
                                {"XLSecurity", false, kItemSecurity}};

// How the unit meets a write: it takes it, or fails it in one of the ways a write fails.
struct WriteFailure {
  const char* name;
  std::optional<sim::Fault> fault;
  bool refused;
};
const std::vector<WriteFailure> kWriteFailures = [] {
  std::vector<WriteFailure> modes{{"Answered", std::nullopt, false}};
  for (const testsupport::WriteFailure& failure : testsupport::WriteFailures(7)) {
    modes.push_back({failure.name, failure.fault, failure.refused});
  }
  return modes;
}();

void PrintTo(const TableWindow& window, std::ostream* out) { *out << window.name; }
void PrintTo(const WriteFailure& failure, std::ostream* out) { *out << failure.name; }

constexpr int kTreeSwitches[] = {kItemEqInA, kItemMuteA, kItemEqInB, kItemMuteB};
constexpr int kDialogItems[] = {kItemEqA,  kItemEqB,    kItemLpfA,    kItemLpfB,
                                kItemHpfA, kItemHpfB,   kItemGainA,   kItemGainB,
                                kItemDspi, kItemMemory, kItemSecurity};
constexpr int kAddress = 12;

// The dialog the tree's `item` opens; the edit window itself for no item.
ui::Window* DialogOf(TEdit3300Window& edit, int item) {
  switch (item) {
    case kItemEqA:
    case kItemEqB:
      return edit.Equaliser(item == kItemEqB ? 1 : 0);
    case kItemLpfA:
    case kItemLpfB:
      return edit.Lpf(item == kItemLpfB ? 1 : 0);
    case kItemHpfA:
    case kItemHpfB:
      return edit.Hpf(item == kItemHpfB ? 1 : 0);
    case kItemGainA:
    case kItemGainB:
      return edit.Gain(item == kItemGainB ? 1 : 0);
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

// What the user types: a new name for a memory, the unit's password to unlock it.
std::optional<std::string> Typed(ui::Window& field) {
  const int id = dynamic_cast<ui::Control&>(field).Id();
  if (dynamic_cast<TSecurityDialog*>(field.Parent()) != nullptr) return "ABC123";
  return "TAKE " + std::to_string(id - res3300::kFirstName + 1);
}

// The first line where two looks at the windows part, for a failure's message.
std::string FirstDifference(const std::vector<std::string>& shown,
                            const std::vector<std::string>& fresh) {
  for (std::size_t i = 0; i < std::max(shown.size(), fresh.size()); ++i) {
    const std::string a = i < shown.size() ? shown[i] : "(none)";
    const std::string b = i < fresh.size() ? fresh[i] : "(none)";
    if (a != b) return "shown \"" + a + "\", afresh \"" + b + "\"";
  }
  return {};
}

class ControlTableTest : public windows3300::WindowFixture,
                         public testing::WithParamInterface<std::tuple<TableWindow, WriteFailure>> {
 protected:
  void SetUp() override {
    owner.OnMessage(TEdit3300Window::kDeviceChangedMessage, [this](const ui::Message&) {
      ++told;
      return ui::Param{0};
    });
    owner.Create();
  }

  // Opens every dialog `like` has open, or every dialog when none is given.
  static void OpenDialogs(TEdit3300Window& edit, TEdit3300Window* like = nullptr) {
    for (const int item : kDialogItems) {
      // A one-channel unit has no channel-B dialogs.
      const ui::Window* dialog = DialogOf(edit, item);
      if (dialog != nullptr && (like == nullptr || DialogOf(*like, item)->IsCreated())) {
        edit.RunItem(item);
      }
    }
  }

  // The changes the table makes in the window: the tree's switches, or the dialog's controls.
  std::vector<testsupport::ControlChange> Changes(TEdit3300Window& edit, int item) {
    if (item != 0) {
      auto changes = testsupport::ChangesOf(*DialogOf(edit, item), {.skip = {}, .typed = Typed});
      // The lamp locks the unit first; then the password has a lock to open.
      if (item == kItemSecurity) std::reverse(changes.begin(), changes.end());
      return changes;
    }
    std::vector<testsupport::ControlChange> changes;
    for (const int code : kTreeSwitches) {
      if (!edit.Item(code)) continue;
      changes.push_back(
          {"switch " + edit.Tree().ItemText(edit.Item(code)), {}, [code](ui::Window& w) {
             dynamic_cast<TEdit3300Window&>(w).RunItem(code);
           }});
    }
    return changes;
  }

  // The windows `edit` has open, opened afresh on the unit: what they show is what it holds.
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

  ui::Window owner;
  int told = 0;
};

// Every control of the window changed in turn, the unit meeting each write the same way. Each
// failure is told once, and a refusal to no other window. A change taken or refused shows at once
// in every open window what the unit holds; after a write whose answer never came, the window
// changed shows that or shows unknown. Once the unit answers again, what every open window shows
// is what windows opened afresh show. A change the unit takes shows.
TEST_P(ControlTableTest, EveryControlShowsWhatTheUnitHoldsOnceItAnswers) {
  const auto& [window, failure] = GetParam();
  IQDevice3300* unit = AddUnit(kAddress, window.twoChannel);
  ASSERT_NE(unit, nullptr);
  ASSERT_TRUE(unit->Open(&owner));
  auto& edit = dynamic_cast<TEdit3300Window&>(*unit->EditWindow());
  OpenDialogs(edit);
  ui::Window& root = *DialogOf(edit, window.item);
  const std::vector<testsupport::ControlChange> changes = Changes(edit, window.item);
  ASSERT_FALSE(changes.empty());
  const auto expectShowsTheUnit = [&] {
    FreshLook fresh(*unit, edit);
    const std::vector<std::string> shown = testsupport::ShownControls(edit);
    const std::vector<std::string> afresh = testsupport::ShownControls(fresh.window);
    EXPECT_TRUE(shown == afresh) << FirstDifference(shown, afresh);
  };
  for (const testsupport::ControlChange& change : changes) {
    SCOPED_TRACE(change.name);
    // A memory name goes to the unit as its dialog closes.
    if (!root.IsCreated()) edit.RunItem(window.item);
    const std::vector<std::string> before = testsupport::ShownControls(root);
    ui::test::PumpMessages();
    TakeReportedErrors();
    told = 0;
    ui::PromptScript script([](const std::string&) {});
    // The lock's question, when the lamp locks.
    script.AnswerMessageBox(ui::kIdOk);
    if (failure.fault) bus.AddFault(*failure.fault);
    ASSERT_TRUE(testsupport::Apply(root, change));
    ui::test::PumpMessages();
    bus.ClearFaults();
    EXPECT_EQ(TakeReportedErrors().size(), failure.fault ? 1u : 0u) << "one report";
    if (failure.refused) {
      EXPECT_EQ(told, 0) << "a refusal is told to no other window";
    }
    if (unit->InDoubt()) {
      FreshLook fresh(*unit, edit);
      const std::vector<std::string> shown = testsupport::ShownControls(root);
      const std::vector<std::string> afresh =
          testsupport::ShownControls(*DialogOf(fresh.window, window.item));
      const bool unknown = std::ranges::any_of(shown, [](const std::string& line) {
        return line.ends_with(std::string(" ") + controls::kUnknownValue);
      });
      EXPECT_TRUE(shown == afresh || unknown) << FirstDifference(shown, afresh);
    } else {
      expectShowsTheUnit();
    }

    PollBackoff::Clock::Advance(PollBackoff::kLongestPause);
    ui::test::PumpIdle();
    ui::test::RestIdle();
    EXPECT_TRUE(TakeReportedErrors().empty());
    EXPECT_FALSE(unit->InDoubt());
    expectShowsTheUnit();
    ui::test::PumpMessages();
    if (!failure.fault) {
      if (!root.IsCreated()) edit.RunItem(window.item);
      EXPECT_NE(testsupport::ShownControls(root), before) << "the change the unit took shows";
    }
  }
  edit.Memory()->Destroy();
  edit.CloseWindow();
  ui::test::PumpMessages();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, ControlTableTest,
                         testing::Combine(testing::ValuesIn(kWindows),
                                          testing::ValuesIn(kWriteFailures)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  std::get<1>(info.param).name;
                         });

}  // namespace
