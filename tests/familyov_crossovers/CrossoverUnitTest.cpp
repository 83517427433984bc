// Crossover changes, network copies and macros on units over the simulated bus (the exact filter
// transfers decoded from the wire) and on virtual units, across models whose outputs begin on
// different channels.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/MacroUnit.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/GuiTestEnvironment.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

const auto* const kEnvironment = ovtest::AddGuiEnvironment("familyov_crossovers_tests");

using Trace = std::vector<std::string>;
using ovtest::ModelId;
using testing::ElementsAre;

constexpr int kUp = -1;  // an up-down control reports its up arrow as -1

// The transfers of the filter objects, polarity and networks; capacity reads left out.
Trace FilterTransfers(const Trace& trace) {
  static const std::string kIds[] = {"09", "0D", "0E", "0F", "10", "11", "13",
                                     "14", "22", "24", "31", "32", "1C", "1F"};
  Trace kept;
  for (const std::string& t : trace) {
    if (std::ranges::any_of(kIds, [&](const std::string& id) { return t.substr(1, 2) == id; })) {
      kept.push_back(t);
    }
  }
  return kept;
}

struct Records {
  std::vector<std::pair<uint32_t, int>> sent;
  RecordSender Sender() {
    return [this](NotifyRecord& r) { sent.emplace_back(r.code, r.channel); };
  }
};

void SetNetwork(IQDeviceOrdavinex& device, int output, int network) {
  gCrossoverNetworkObject.SetElement(output);
  gCrossoverNetworkObject.Write(device, static_cast<uint8_t>(network));
}

struct CrossoverUnitTest : testing::Test {
  ovtest::FamilyBus bus;
  IQ8148Type type8148;
  IQ8126Type type8126;
  int index8148 = bus.AddModelUnit(sim::familyov::Model::k8148, 5, "1.5");
  int index8126 = bus.AddModelUnit(sim::familyov::Model::k8126, 8, "1.5");
  IQDeviceInfo record8148{5, 1136, 1, ModelId('8', "1.5", true)};
  IQDeviceInfo record8126{8, 880, 1, ModelId('6', "1.5", false)};
  IQDevice8148 unit{&type8148, &bus.manager, &record8148, 8};      // outputs from channel 4
  IQDevice8126 twoBySix{&type8126, &bus.manager, &record8126, 6};  // outputs from channel 2
  Records records;

  void SetUp() override {
    ovtest::ReportedErrors().clear();
    bus.TakeTrace();
  }
  Trace Take() { return FilterTransfers(bus.TakeTrace()); }
};

TEST_F(CrossoverUnitTest, TypeChangesAddReplaceAndRemoveWithTheExactWrites) {
  CrossoverChanges changes(unit, records.Sender());
  ASSERT_EQ(changes.SetType(0, CrossoverSide::kLow, kCrossoverButterworth),
            CrossoverChanges::Outcome::kDone);
  EXPECT_THAT(Take(),
              ElementsAre("R0D", "W11 00", "W10 08", "W0F 04", "W24 00", "W13.0 000007D0", "W31 00",
                          "W13.1 00000002", "W13.2 00000001", "W11 00", "W14 00", "W09 00"));
  // A new high crossover starts at 200 Hz; Linkwitz-Riley keeps an even order.
  changes.SetType(0, CrossoverSide::kHigh, kCrossoverLinkwitzRiley);
  ASSERT_NE(unit.HighCrossover(0), nullptr);
  EXPECT_EQ(unit.HighCrossover(0)->frequency, 200);
  EXPECT_EQ(unit.HighCrossover(0)->order, 2);
  Take();

  changes.StepOrder(0, CrossoverSide::kLow, kUp, "2000");  // 2 -> 3 re-allocates on the unit
  EXPECT_EQ(unit.LowCrossover(0)->order, 3);
  EXPECT_THAT(Take(),
              ElementsAre("W11 00", "R22", "W11 02", "W10 08", "W0F 04", "W24 00", "W13.0 000007D0",
                          "W31 00", "W13.1 00000003", "W13.2 00000001", "W11 02", "W14 00"));
  changes.SetType(0, CrossoverSide::kLow, kCrossoverLinkwitzRiley);  // order 3 becomes 4
  EXPECT_EQ(unit.LowCrossover(0)->order, 4);
  EXPECT_EQ(unit.LowCrossover(0)->frequency, 2000);
  Take();

  records.sent.clear();
  changes.SetType(0, CrossoverSide::kLow, kCrossoverNone);
  EXPECT_THAT(Take(), ElementsAre("W09 01", "W11 00", "W0E 00", "W09 00"));
  EXPECT_EQ(unit.LowCrossover(0), nullptr);
  EXPECT_THAT(records.sent, ElementsAre(std::pair<uint32_t, int>{FilterRemoved, 4}));
  changes.SetType(0, CrossoverSide::kLow, kCrossoverNone);
  EXPECT_THAT(Take(), ElementsAre("W09 00"));
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(CrossoverUnitTest, FrequencyStepsTypedFrequenciesAndPolarity) {
  CrossoverChanges changes(unit, records.Sender());
  changes.SetType(1, CrossoverSide::kHigh, kCrossoverLinkwitzRiley);
  changes.StepFrequency(1, CrossoverSide::kHigh, 3, 1);
  EXPECT_EQ(unit.HighCrossover(1)->frequency, 210);
  Take();
  changes.SetTypedFrequencies(1, "", "1.2k");
  EXPECT_EQ(unit.HighCrossover(1)->frequency, 1200);
  const Trace typed = Take();
  EXPECT_THAT(typed, testing::Contains("W13.0 000004B0"));
  EXPECT_EQ(typed.back(), "W14 00");
  EXPECT_EQ(changes.SetTypedFrequencies(1, "", "1200"), CrossoverChanges::Outcome::kNothing);
  EXPECT_TRUE(changes.TogglePolarity(1));
  EXPECT_TRUE(OutputInverted(unit, 1));
  EXPECT_FALSE(changes.TogglePolarity(1));
}

TEST_F(CrossoverUnitTest, AnOrderStepThatNeedsAnotherSectionIsRefusedOnAFullUnit) {
  auto full = ovtest::NewVirtual<IQDevice8126>(2);
  CrossoverChanges changes(*full, nullptr);
  ASSERT_EQ(changes.SetType(0, CrossoverSide::kLow, kCrossoverButterworth),
            CrossoverChanges::Outcome::kDone);
  ASSERT_EQ(changes.SetType(1, CrossoverSide::kLow, kCrossoverBessel),
            CrossoverChanges::Outcome::kDone);
  ASSERT_EQ(changes.SetType(1, CrossoverSide::kHigh, kCrossoverBessel),
            CrossoverChanges::Outcome::kDone);
  while (full->CanAddSections(kParametricSections, 1)) {
    full->AddFilter(std::make_unique<TParametricFilter>())->channel = 0;
  }
  EXPECT_EQ(changes.StepOrder(0, CrossoverSide::kLow, kUp, ""),
            CrossoverChanges::Outcome::kNoCapacity);  // 2 -> 3 takes a second section
  EXPECT_EQ(full->LowCrossover(0)->order, 2);
  EXPECT_EQ(changes.SetType(0, CrossoverSide::kHigh, kCrossoverBessel),
            CrossoverChanges::Outcome::kNoCapacity);
  EXPECT_EQ(full->HighCrossover(0), nullptr);
  // A copy needs room only for what it adds to the target.
  EXPECT_EQ(changes.CopyOutput(1, 0), CrossoverChanges::Outcome::kNoCapacity);
  EXPECT_EQ(full->HighCrossover(0), nullptr);
  EXPECT_EQ(changes.CopyOutput(0, 1), CrossoverChanges::Outcome::kDone);
  EXPECT_EQ(full->HighCrossover(1), nullptr);
  EXPECT_EQ(CrossoverType(*full->LowCrossover(1)), kCrossoverButterworth);
}

TEST_F(CrossoverUnitTest, NetworkDropsCopyPairsOfOutputsOnEveryModel) {
  for (int o = 0; o < 8; ++o) SetNetwork(unit, o, o < 2 ? 1 : o < 4 ? 2 : 3);
  CrossoverChanges changes(unit, records.Sender());
  changes.SetType(0, CrossoverSide::kLow, kCrossoverBessel);
  changes.SetType(1, CrossoverSide::kHigh, kCrossoverButterworth);
  changes.SetType(3, CrossoverSide::kLow, kCrossoverButterworth);
  changes.TogglePolarity(1);
  const CrossoverDrop drop =
      ResolveDrop(unit, NetworkItemValue(unit, 1), NetworkItemValue(unit, 2));
  ASSERT_EQ(drop.kind, CrossoverDrop::Kind::kNetworks);
  EXPECT_EQ(drop.source, 1);
  EXPECT_EQ(drop.target, 2);
  EXPECT_EQ(CopyNetwork(changes, unit, drop.source, drop.target), NetworkCopy::kDone);
  ASSERT_NE(unit.LowCrossover(2), nullptr);
  EXPECT_EQ(unit.LowCrossover(2)->crossoverType, kCrossoverBessel);
  EXPECT_EQ(unit.LowCrossover(2)->channel, 6);
  EXPECT_EQ(unit.LowCrossover(3), nullptr) << "the target's own crossover went";
  ASSERT_NE(unit.HighCrossover(3), nullptr);
  EXPECT_TRUE(OutputInverted(unit, 3));
  EXPECT_EQ(CopyNetwork(changes, unit, 1, 3), NetworkCopy::kNotSameSize);

  // The unit holds exactly the crossovers the program shows, on the channels it shows them.
  std::vector<std::pair<int, int>> held;
  bus.bus.WithUnit(index8148, [&](sim::Unit& u) {
    for (const auto& slot : static_cast<sim::familyov::FamilyOvUnit&>(u).Filters().Records()) {
      if (slot.active) held.emplace_back(slot.type, slot.channel);
    }
  });
  std::ranges::sort(held);
  EXPECT_THAT(held,
              ElementsAre(std::pair{8, 4}, std::pair{8, 6}, std::pair{9, 5}, std::pair{9, 7}));

  // On the 3-input model the last output's channel is the unit's channel count: network items
  // stand past it.
  auto threeBySeven = ovtest::NewVirtual<IQDevice8148>(7);
  ASSERT_EQ(threeBySeven->firstOutput, 4);
  ASSERT_EQ(threeBySeven->channels, 10);
  const CrossoverDrop outputs = ResolveDrop(*threeBySeven, 10, 4);
  EXPECT_EQ(outputs.kind, CrossoverDrop::Kind::kOutputs);
  EXPECT_EQ(outputs.source, 6);
  EXPECT_EQ(ResolveDrop(*threeBySeven, NetworkItemValue(*threeBySeven, 4), 10).kind,
            CrossoverDrop::Kind::kNothing);
  EXPECT_EQ(ResolveDrop(*threeBySeven, NetworkItemValue(*threeBySeven, 4),
                        NetworkItemValue(*threeBySeven, 1))
                .source,
            4);
}

// Two outputs crossed over, the second inverted and delayed, an EQ filter on each output (one of
// them linked to an input, which stays out of the macro) and one on an input.
void Prepare(IQDeviceOrdavinex& device) {
  CrossoverChanges changes(device, nullptr);
  changes.SetType(0, CrossoverSide::kHigh, kCrossoverLinkwitzRiley);
  changes.SetType(1, CrossoverSide::kLow, kCrossoverLinkwitzRiley);
  changes.TogglePolarity(1);
  SetNetwork(device, 0, 1);
  SetNetwork(device, 1, 1);
  gChannelDelayObject.SetElement(device.firstOutput + 1);
  gChannelDelayObject.Write(device, 48);
  for (int channel : {0, device.firstOutput + 1, device.firstOutput}) {
    auto filter = std::make_unique<TParametricFilter>();
    filter->channel = channel;
    filter->frequency = 1000 + channel;
    TFilter* added = device.AddFilter(std::move(filter));
    added->WriteToDevice(device);
    added->SendCreateCommand(device);
  }
  // The input filter heads a chain with the first output's filter.
  TFilter* head = device.Filters()[0].get();
  TFilter* member = device.Filters()[2].get();
  head->nextInChain = member;
  member->linkHead = head;
  member->linkNumber = head->number + 1;
}

TEST_F(CrossoverUnitTest, AMacroLandsOnTheSameOutputsWhereverAUnitsOutputsBegin) {
  Prepare(twoBySix);
  twoBySix.Filters()[1]->SetBypass(twoBySix, true);
  TXMacro macro{.name = "two-way"};
  CaptureMacro(twoBySix, macro);
  ASSERT_EQ(macro.outputs.size(), 6u);
  ASSERT_EQ(macro.filters.size(), 1u) << "the linked output filter stays out";
  EXPECT_EQ(macro.filters[0]->channel, 3);
  EXPECT_TRUE(macro.filters[0]->bypass);
  EXPECT_EQ(macro.outputs[1].delay, 48);

  bus.AddModelUnit(sim::familyov::Model::k8166, 6, "1.5");
  IQDeviceInfo record8166{6, 1136, 1, ModelId('6', "1.5", true)};
  auto sixBySix = std::make_unique<IQDevice8148>(&type8148, &bus.manager, &record8166, 6);
  ASSERT_EQ(sixBySix->firstOutput, 6);
  auto stale = std::make_unique<THighpassFilter>();
  stale->channel = 9;
  sixBySix->AddFilter(std::move(stale));
  ASSERT_EQ(RecallMacro(*sixBySix, macro, records.Sender()), MacroRecall::kDone);
  ASSERT_NE(sixBySix->HighCrossover(0), nullptr);
  EXPECT_EQ(sixBySix->HighCrossover(0)->channel, 6);
  ASSERT_NE(sixBySix->LowCrossover(1), nullptr);
  EXPECT_EQ(sixBySix->LowCrossover(1)->order, 2);
  EXPECT_TRUE(OutputInverted(*sixBySix, 1));
  ASSERT_EQ(sixBySix->Filters().size(), 1u) << "the output filters it had are gone";
  EXPECT_EQ(sixBySix->Filters()[0]->channel, 7);
  EXPECT_EQ(sixBySix->Filters()[0]->frequency, 1003);
  EXPECT_TRUE(sixBySix->Filters()[0]->bypass);
  EXPECT_THAT(Take(), testing::Contains("W24 01")) << "the unit runs it switched out too";
  gChannelDelayObject.SetElement(7);
  EXPECT_EQ(gChannelDelayObject.Read(*sixBySix), 48u);
  EXPECT_EQ(records.sent.back(), (std::pair<uint32_t, int>{RefreshAll, 0}));

  // And back onto the bus unit, after a macro of the older form that keeps no delays.
  macro.filters[0]->frequency = 440;
  for (MacroOutput& output : macro.outputs) output.delay.reset();
  gChannelDelayObject.SetElement(3);
  gChannelDelayObject.Write(twoBySix, 96);
  EXPECT_EQ(RecallMacro(twoBySix, macro, records.Sender()), MacroRecall::kDone);
  std::vector<int> outputFilters;
  for (const auto& filter : twoBySix.Filters()) {
    if (filter->channel >= 2) outputFilters.push_back(filter->channel * 10000 + filter->frequency);
    EXPECT_EQ(filter->linkHead, nullptr);
    EXPECT_EQ(filter->nextInChain, nullptr);
  }
  EXPECT_EQ(outputFilters, (std::vector<int>{30440}));
  gChannelDelayObject.SetElement(3);
  EXPECT_EQ(gChannelDelayObject.Read(twoBySix), 96u) << "the older form leaves the delays";
  EXPECT_TRUE(ovtest::ReportedErrors().empty());

  TXMacro fourOutputs;
  fourOutputs.outputs.resize(4);
  EXPECT_EQ(RecallMacro(twoBySix, fourOutputs, nullptr), MacroRecall::kOtherOutputCount);
}

TEST_F(CrossoverUnitTest, ARecallIsRefusedWhenTheDelaysDoNotFit) {
  TXMacro macro;
  macro.outputs.resize(6);
  macro.outputs[0].delay = twoBySix.GetDelayCapacity();
  EXPECT_EQ(RecallMacro(twoBySix, macro, nullptr), MacroRecall::kDone);
  macro.outputs[1].delay = 1;
  EXPECT_EQ(RecallMacro(twoBySix, macro, nullptr), MacroRecall::kNoDelayCapacity);
}

}  // namespace
}  // namespace namespaceOV
