// The bank hubs' messages and the editor commands that send them, on the simulated bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankHub.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using testing::Contains;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

// A window that keeps the bank messages it receives.
struct Listener : ui::Window {
  Listener() {
    for (ui::MessageId id : {bankmsg::kReload, bankmsg::kSelectionChanged, bankmsg::kValuesChanged,
                             bankmsg::kFilterAdded, bankmsg::kFilterRemoved}) {
      OnMessage(id, [this](const ui::Message& m) {
        received.push_back(m);
        return 0;
      });
    }
    Create();
  }
  std::vector<ui::MessageId> Ids() const {
    std::vector<ui::MessageId> ids;
    for (const ui::Message& m : received) ids.push_back(m.id);
    return ids;
  }
  std::vector<ui::Message> received;
};

struct HubFixture : testing::Test {
  HubFixture() {
    type.SetRegistryKey(store.Root());
    right.AddListener(rightView);
    left.AddListener(leftView);
    controls::SetDeviceErrorReporter(
        [this](const IQException&, IQDevice*, int code) { reported.push_back(code); });
  }
  ~HubFixture() override { controls::SetDeviceErrorReporter(nullptr); }

  OlderFamilyBus bus;
  int unitIndex = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  // Found by the roll call, before the hubs that need it.
  IQDevice8100* unit = OnlyUnit(bus);
  registry::Store store;
  IQ8100Type type;
  TAllChannelParent hubs;
  TChannelParent right{*unit, hubs, kRightInputBank};
  TChannelParent left{*unit, hubs, kLeftInputBank};
  Listener rightView;
  Listener leftView;
  std::vector<int> reported;
};

}  // namespace

TEST_F(HubFixture, AddsAreAnnouncedToEveryOpenBankAfterTheHandlerReturns) {
  ASSERT_TRUE(AddFilterCommand(right, type.Key(), kParametricFilter));
  EXPECT_TRUE(rightView.received.empty());  // posted, not sent
  ui::test::PumpMessages();
  ASSERT_EQ(unit->Filters().size(), 1u);
  const TFilter* added = unit->Filters()[0].get();
  EXPECT_EQ(right.current, added);
  for (Listener* view : {&rightView, &leftView}) {
    EXPECT_THAT(view->Ids(), ElementsAre(bankmsg::kFilterAdded, bankmsg::kSelectionChanged));
    EXPECT_EQ(view->received[0].wParam, kRightInputBank);
    EXPECT_EQ(view->received[0].lParam, FilterParam(added));
  }

  // A closed bank hears nothing.
  { TChannelParent closing{*unit, hubs, kRightOutputBank}; }
  EXPECT_EQ(hubs.Hub(kRightOutputBank), nullptr);

  // A filter the unit registered before its write's answer was lost is read again with the rest
  // and listed, so that it can be deleted.
  rightView.received.clear();
  bus.bus.AddFault(sim::Fault::Silence().ForObject(20).ForOpcode(sim::kOpcodeSet));
  EXPECT_TRUE(AddFilterCommand(right, type.Key(), kParametricFilter));
  ui::test::PumpMessages();
  EXPECT_THAT(reported, ElementsAre(controls::kNoUnitErrorCode));
  ASSERT_EQ(unit->Filters().size(), 2u);
  EXPECT_THAT(rightView.Ids(), ElementsAre(bankmsg::kReload));
  EXPECT_THAT(leftView.Ids(), Contains(bankmsg::kReload));
}

TEST_F(HubFixture, ADeleteAnnouncesTheFreedFiltersAndOneThatFailsPartWayReadsTheBanksAgain) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(AddFilterCommand(right, type.Key(), kParametricFilter));
  ui::test::PumpMessages();
  rightView.received.clear();
  right.selection.push_back(unit->Filters()[0].get());
  const ui::Param first = FilterParam(right.selection[0]);
  DeleteSelectionCommand(right);
  ui::test::PumpMessages();
  EXPECT_THAT(rightView.Ids(), ElementsAre(bankmsg::kFilterRemoved, bankmsg::kSelectionChanged));
  EXPECT_EQ(rightView.received[0].lParam, first);
  EXPECT_EQ(FilterNamed(*unit, first), nullptr);
  EXPECT_EQ(rightView.received[1].lParam, 0);

  // The unit carries out the second delete and its answer is lost: two of the three are gone.
  rightView.received.clear();
  for (const auto& filter : unit->Filters()) right.selection.push_back(filter.get());
  bus.bus.AddFault(sim::Fault::Silence().ForObject(18).ForOpcode(sim::kOpcodeSet).OnOccurrence(2));
  DeleteSelectionCommand(right);
  ui::test::PumpMessages();
  EXPECT_THAT(reported, ElementsAre(controls::kNoUnitErrorCode));
  EXPECT_EQ(unit->Filters().size(), 1u);
  EXPECT_EQ(std::ranges::count_if(bus.SlotsOf(unitIndex),
                                  [](const auto& slot) { return slot.IsFilter(); }),
            1);
  EXPECT_TRUE(familycommon::HeldFilters(right.selection).empty());
  EXPECT_EQ(right.current, nullptr);
  EXPECT_THAT(rightView.Ids(), ElementsAre(bankmsg::kReload));
}

TEST_F(HubFixture, CopiesAreAnnouncedForTheTwinBankAndBypassStopsAtAFailure) {
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(AddFilterCommand(right, type.Key(), kParametricFilter));
  for (const auto& filter : unit->Filters()) right.selection.push_back(filter.get());
  ui::test::PumpMessages();
  leftView.received.clear();

  EXPECT_TRUE(CopySelectionCommand(right));
  ui::test::PumpMessages();
  EXPECT_THAT(leftView.Ids(),
              ElementsAre(bankmsg::kFilterAdded, bankmsg::kFilterAdded, bankmsg::kReload));
  EXPECT_EQ(leftView.received[0].wParam, kLeftInputBank);
  // A copy cut short may be on the unit in part: the unit is read again and every bank reloads.
  leftView.received.clear();
  bus.bus.AddFault(sim::Fault::ErrorObject(5).ForObject(20).ForOpcode(sim::kOpcodeSet));
  CopySelectionCommand(right);
  ui::test::PumpMessages();
  EXPECT_THAT(leftView.Ids(), ElementsAre(bankmsg::kReload));
  // The read replaced the selection's filters: a bypass finds none of them.
  EXPECT_TRUE(familycommon::HeldFilters(right.selection).empty());
  BypassSelectionCommand(right, true);
  right.selection.clear();
  for (const auto& filter : unit->Filters()) {
    if (filter->bank == kRightInputBank) right.selection.push_back(filter.get());
  }
  bus.bus.ClearFaults();

  rightView.received.clear();
  bus.bus.AddFault(sim::Fault::Silence().ForObject(40).ForOpcode(sim::kOpcodeSet));
  BypassSelectionCommand(right, true);
  ui::test::PumpMessages();
  EXPECT_THAT(reported, ElementsAre(5, controls::kNoUnitErrorCode));
  // The unit carried out the bypass whose answer was lost: the first filter, read back, says so,
  // and the bypass stops there.
  EXPECT_THAT(rightView.Ids(), ElementsAre(bankmsg::kValuesChanged));
  EXPECT_TRUE(right.selection.front()->bypass);
  EXPECT_FALSE(right.selection.back()->bypass);
  rightView.received.clear();
  right.selection.clear();  // nothing selected: nothing written, nothing sent
  bus.bus.ClearFaults();
  bus.TakeTrace();
  BypassSelectionCommand(right, true);
  ui::test::PumpMessages();
  EXPECT_TRUE(bus.TakeTrace().empty());
  EXPECT_TRUE(rightView.received.empty());
}

// A refused bypass is read back from the unit. A slot that answers another type there (the front
// panel changed it between the read's attempts) holds values of another kind than the filter's
// class: as a full read skips such a slot, the filter takes none of them and keeps its type.
TEST_F(HubFixture, AReadBackThatFindsAnotherTypeInTheSlotLeavesTheFilterAsItWas) {
  ASSERT_TRUE(AddFilterCommand(right, type.Key(), kParametricFilter));
  TFilter& filter = *unit->Filters().front();
  const std::string before = filter.Describe();
  bus.bus.WithUnit(unitIndex, [&filter](sim::Unit& u) {
    dynamic_cast<sim::family8100::Family8100Unit&>(u).RetypeAfterRead(filter.slot, kLowpassFilter);
  });
  constexpr int kBypassNowObject = 40;
  constexpr int kBypassObject = 41;
  bus.bus.AddFault(
      sim::Fault::ErrorObject(3).ForObject(kBypassNowObject).ForOpcode(sim::kOpcodeSet));
  // The read-back's first attempt fails after its type read, which retypes the slot.
  bus.bus.AddFault(sim::Fault::ErrorObject(3)
                       .ForObject(kBypassObject)
                       .ForOpcode(sim::kOpcodeGet)
                       .OnOccurrence(1));
  EXPECT_FALSE(BypassCommand(*unit, filter, true));
  EXPECT_EQ(filter.type, kParametricFilter);
  EXPECT_EQ(filter.Describe(), before);
}
