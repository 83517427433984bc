#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "family8100/filters/BankEditing.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using testing::ElementsAre;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

constexpr int kDeleteFilterObject = 18;

// An older-family unit on the simulated bus, and the family's registry key for filter defaults.
struct BankFixture : testing::Test {
  BankFixture() {
    sim::family8100::AddFamily8100Unit(bus.bus, {.address = 3});
    unit = OnlyUnit(bus);
    type.SetRegistryKey(store.Root());
  }

  template <typename Filter>
  Filter& Place(int32_t bank, int32_t frequency, int32_t order = 0) {
    auto made = std::make_unique<Filter>();
    made->bank = bank;
    made->frequency = frequency;
    if constexpr (std::is_base_of_v<TPassFilter, Filter>) made->order = order;
    auto& placed = static_cast<Filter&>(unit->PlaceFilter(std::move(made)));
    placed.WriteToUnit(*unit);
    placed.SetUnitFlag(*unit);
    return placed;
  }

  // Sections taken by low-pass filters of order 8 (four sections each) in the right output bank.
  void FillSections(int sections) {
    for (int i = 0; i < sections / 4; ++i) Place<TLowpassFilter>(kRightOutputBank, 15000, 8);
    for (int i = 0; i < sections % 4; ++i) Place<TParametricFilter>(kRightOutputBank, 100);
    bus.TakeTrace();
  }

  OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
  registry::Store store;
  IQ8100Type type;
};

std::vector<int32_t> FrequenciesOf(const std::vector<TFilter*>& filters) {
  std::vector<int32_t> frequencies;
  for (const TFilter* filter : filters) frequencies.push_back(filter->frequency);
  return frequencies;
}

}  // namespace

TEST_F(BankFixture, AddsFitTheSectionBudgetAndPassFiltersGiveUpOrdersUntilTheyFit) {
  TLowpassFilter stored;
  stored.frequency = 12000;
  stored.order = 8;
  type.Key().SaveFilterDefault(stored);
  FillSections(68);

  TFilter* added = AddBankFilter(*unit, type.Key(), kRightInputBank, kLowpassFilter);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(dynamic_cast<TPassFilter&>(*added).order, 4);
  EXPECT_EQ(added->frequency, 12000);
  const auto slot = bus.SlotsOf(0)[static_cast<std::size_t>(added->slot)];
  EXPECT_EQ(slot.type, kLowpassFilter);
  EXPECT_EQ(slot.bank, kRightInputBank);
  EXPECT_TRUE(slot.committed);
  EXPECT_EQ(unit->UsedSections(), 70);

  // Full: nothing is asked of the unit, nothing written.
  bus.TakeTrace();
  EXPECT_EQ(AddBankFilter(*unit, type.Key(), kRightInputBank, kParametricFilter), nullptr);
  EXPECT_EQ(AddBankFilter(*unit, type.Key(), kRightInputBank, kHighpassFilter), nullptr);
  EXPECT_TRUE(bus.TakeTrace().empty());

  std::vector<TFilter*> selection{added};
  std::vector<const TFilter*> removed;
  RemoveSelection(*unit, selection, removed);
  Place<TParametricFilter>(kLeftInputBank, 1000);
  added = AddBankFilter(*unit, type.Key(), kLeftInputBank, kLowpassFilter);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(dynamic_cast<TPassFilter&>(*added).order, 2);
}

TEST_F(BankFixture, AFailedDeleteLeavesOnlyFiltersThatStillExistSelected) {
  std::vector<TFilter*> selection;
  for (int32_t frequency : {100, 200, 300})
    selection.push_back(&Place<TParametricFilter>(kLeftInputBank, frequency));
  bus.bus.AddFault(sim::Fault::ErrorObject(7)
                       .ForObject(kDeleteFilterObject)
                       .ForOpcode(sim::kOpcodeSet)
                       .OnOccurrence(2));

  std::vector<const TFilter*> removed;
  EXPECT_THROW(RemoveSelection(*unit, selection, removed), ErrorObject);
  EXPECT_THAT(FrequenciesOf(selection), ElementsAre(200, 300));
  EXPECT_EQ(removed.size(), 1u);
  EXPECT_EQ(unit->Filters().size(), 2u);

  bus.bus.ClearFaults();
  RemoveSelection(*unit, selection, removed);
  EXPECT_TRUE(selection.empty());
  EXPECT_EQ(removed.size(), 3u);
  EXPECT_TRUE(unit->Filters().empty());
  for (const auto& slot : bus.SlotsOf(0)) EXPECT_FALSE(slot.IsFilter());
}

TEST_F(BankFixture, CopyToTheTwinBankStopsAtTheBudgetAndKeepsWhatWasCopied) {
  EXPECT_EQ(TwinBank(kRightInputBank), kLeftInputBank);
  EXPECT_EQ(TwinBank(kLeftInputBank), kRightInputBank);
  EXPECT_EQ(TwinBank(kRightOutputBank), kLeftOutputBank);
  EXPECT_EQ(TwinBank(kLeftOutputBank), kRightOutputBank);

  std::vector<TFilter*> selection;
  for (int32_t frequency : {100, 200, 300}) {
    auto& filter = Place<TParametricFilter>(kLeftInputBank, frequency);
    filter.SetBypass(*unit, true);
    selection.push_back(&filter);
  }
  FillSections(65);

  std::vector<TFilter*> copies;
  EXPECT_FALSE(CopyToTwinBank(*unit, selection, copies));
  EXPECT_THAT(FrequenciesOf(copies), ElementsAre(100, 200));
  const auto slots = bus.SlotsOf(0);
  for (const TFilter* copy : copies) {
    EXPECT_EQ(copy->bank, kRightInputBank);
    EXPECT_FALSE(copy->bypass);
    const auto& slot = slots[static_cast<std::size_t>(copy->slot)];
    EXPECT_EQ(slot.bank, kRightInputBank);
    EXPECT_FALSE(slot.bypass);
    EXPECT_TRUE(slot.committed);
  }
}

TEST_F(BankFixture, OrderStepsAskForTheirExtraSectionsAndFollowTheUnitsSlot) {
  auto& lowpass = Place<TLowpassFilter>(kRightOutputBank, 500, 3);
  FillSections(68);
  const auto slotByte = [&lowpass] {
    char text[8];
    std::snprintf(text, sizeof text, "W15 %02X", lowpass.slot);
    return std::string(text);
  };

  // 3 to 4 takes no more sections; the unit names the slot after the change.
  ASSERT_TRUE(StepOrder(*unit, lowpass, 1));
  const std::vector<std::string> trace = bus.TakeTrace();
  ASSERT_GE(trace.size(), 4u);
  EXPECT_THAT(std::vector(trace.begin(), trace.begin() + 3), ElementsAre("R06", slotByte(), "R27"));
  EXPECT_EQ(trace.back(), "W18 01");
  EXPECT_EQ(lowpass.order, 4);

  EXPECT_FALSE(StepOrder(*unit, lowpass, 1));  // 5 needs a third section
  EXPECT_EQ(lowpass.order, 4);
  EXPECT_TRUE(bus.TakeTrace().empty());
  ASSERT_TRUE(StepOrder(*unit, lowpass, -3));
  EXPECT_EQ(lowpass.order, 1);
  EXPECT_EQ(unit->UsedSections(), 69);
  ASSERT_TRUE(StepOrder(*unit, lowpass, -1));
  EXPECT_EQ(lowpass.order, 1);

  IQDevice8100 offline(nullptr, nullptr, nullptr);
  auto& top = static_cast<TPassFilter&>(offline.PlaceFilter(std::make_unique<THighpassFilter>()));
  top.order = 8;
  EXPECT_TRUE(StepOrder(offline, top, 1));
  EXPECT_EQ(top.order, 8);
}
