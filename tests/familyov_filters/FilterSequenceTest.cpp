// The exact transfers of every filter operation, on a unit over the simulated bus (decoded from
// the wire) and on a virtual unit (recorded at the device), written the same way.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "familyov/unit/OVGuard.h"
#include "familyov/unit/ParameterTable.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using Trace = std::vector<std::string>;
using ovtest::ModelId;

// Filter 5 on channel 2 at 1000 Hz, level 0 dB, Q 8.7 where the class has them.
std::unique_ptr<TFilter> Sample(int typeCode) {
  auto filter = MakeFilter(typeCode);
  filter->number = 5;
  filter->channel = 2;
  filter->frequency = 1000;
  return filter;
}

const std::string kSelect = "W11 05";
const std::string kFrequency = "W13.0 000003E8";
const Trace kBaseWrite = {kSelect, "W0F 02", "W24 00", kFrequency, "W31 00"};
const Trace kBaseRead = {kSelect, "R0F", "R10", "R24", "R13.0", "R31"};

Trace Join(Trace a, const Trace& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// What each class adds to the base sequences.
struct ClassSequences {
  int typeCode;
  Trace write;   // after the base of the full write
  Trace live;    // before the frequency of the live update
  Trace params;  // after the frequency of the parameter update
  Trace read;    // after the base of the read
};

const ClassSequences kClasses[] = {
    {kFilterParametric,
     {"W13.2 00000000", "W13.1 00000057"},
     {"W13.2 00000000", "W13.1 00000057"},
     {"W13.2 00000000", "W13.1 00000057"},
     {"R13.2", "R13.1"}},
    {kFilterBoostCut,
     {"W13.2 3F800000", "W13.1 00000057"},
     {"W13.2 3F800000"},
     {"W13.2 3F800000", "W13.1 00000057"},
     {"R13.2", "R13.1"}},
    {kFilterLowpass, {"W13.1 00000002"}, {}, {}, {"R13.1"}},
    {kFilterHighpass, {"W13.1 00000002"}, {}, {}, {"R13.1"}},
    {kFilterLowShelf, {"W13.1 3F800000"}, {"W13.1 3F800000"}, {"W13.1 3F800000"}, {"R13.1"}},
    {kFilterHighShelf, {"W13.1 3F800000"}, {"W13.1 3F800000"}, {"W13.1 3F800000"}, {"R13.1"}},
    {kFilterCDHorn, {"W13.1 00000001"}, {"W13.1 00000001"}, {"W13.1 00000001"}, {"R13.1"}},
    {kFilterAllpass, {"W13.1 00000001"}, {"W13.1 00000001"}, {"W13.1 00000001"}, {"R13.1"}},
    {kFilterLowCrossover, {"W13.1 00000002", "W13.2 00000001"}, {}, {}, {"R13.1", "R13.2"}},
    {kFilterHighCrossover, {"W13.1 00000002", "W13.2 00000001"}, {}, {}, {"R13.1", "R13.2"}},
};

// Runs `operation` on a unit and on a virtual unit and gives both traces.
struct Both {
  Trace unit;
  Trace virtualUnit;
};

constexpr int kAllocatedSlots = 10;

struct FilterSequenceTest : testing::Test {
  ovtest::FamilyBus bus;
  IQ8148Type type;
  int unitIndex = bus.AddModelUnit(sim::familyov::Model::k8148, 5, "1.0");
  IQDeviceInfo record{5, 1136, 1, ModelId('8', "1.0", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};
  std::unique_ptr<ovtest::Recording<IQDevice8148>> offline = ovtest::NewVirtual<IQDevice8148>(8);

  // The unit's slots 0 .. kAllocatedSlots - 1 hold filters, so the samples' numbers exist.
  void SetUp() override {
    for (int slot = 0; slot < kAllocatedSlots; ++slot) gNewFilterObject.Read(unit);
    bus.TakeTrace();
  }

  template <typename Operation>
  Both Run(Operation operation) {
    bus.TakeTrace();
    offline->trace.clear();
    operation(unit);
    Both traces{bus.TakeTrace(), {}};
    operation(*offline);
    traces.virtualUnit = offline->TakeTrace();
    return traces;
  }
  template <typename Operation>
  void ExpectOnBoth(Operation operation, const Trace& expected, const std::string& what) {
    const Both traces = Run(operation);
    EXPECT_EQ(traces.unit, expected) << what << " on a unit";
    EXPECT_EQ(traces.virtualUnit, expected) << what << " on a virtual unit";
  }
};

TEST_F(FilterSequenceTest, EveryClassWritesReadsAndUpdatesInItsOrder) {
  for (const ClassSequences& c : kClasses) {
    const std::string name = FilterTypeName(c.typeCode);
    char type[8];
    std::snprintf(type, sizeof type, "W10 %02X", c.typeCode);
    Trace fullBase = kBaseWrite;
    fullBase.insert(fullBase.begin() + 1, type);
    auto filter = Sample(c.typeCode);
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->WriteToDevice(d); }, Join(fullBase, c.write),
                 name + " full write");
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->SendCreateCommand(d); }, {kSelect, "W14 00"},
                 name + " create");
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->UpdateDeviceLive(d); },
                 Join(c.live, {kFrequency, "W14 02"}), name + " live update");
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->WriteParams(d); },
                 Join(Join({kSelect, kFrequency}, c.params), {"W14 01"}), name + " update");
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->SendUpdateCommand(d); }, {"W14 01"},
                 name + " update command");
    ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->ReadFromDevice(d); }, Join(kBaseRead, c.read),
                 name + " read");
  }
}

TEST_F(FilterSequenceTest, BypassIsSwitchedAlone) {
  auto filter = Sample(kFilterParametric);
  ExpectOnBoth([&](IQDeviceOrdavinex& d) { filter->SetBypass(d, true); }, {kSelect, "W23 01"},
               "bypass on");
  const Both toggled = Run([&](IQDeviceOrdavinex& d) { filter->ToggleBypass(d); });
  EXPECT_EQ(toggled.unit, (Trace{kSelect, "W23 00"}));
  EXPECT_EQ(toggled.virtualUnit, (Trace{kSelect, "W23 01"}));
}

TEST_F(FilterSequenceTest, ALinkedParameterChangeIsCopiedByTheUnit) {
  auto source = Sample(kFilterParametric);
  source->number = 9;
  static_cast<TParametricFilter&>(*source).level = 4.0f;
  ExpectOnBoth(
      [&](IQDeviceOrdavinex& d) {
        auto target = Sample(kFilterParametric);
        target->CopyOnDevice(d, *source);
        EXPECT_EQ(static_cast<TParametricFilter&>(*target).level, 4.0f);
      },
      {"W37 00000509"}, "linked parameters");

  source->bypass = true;
  ExpectOnBoth(
      [&](IQDeviceOrdavinex& d) {
        auto target = Sample(kFilterParametric);
        target->CopyOnDevice(d, *source);
        EXPECT_TRUE(target->bypass);
        EXPECT_EQ(static_cast<TParametricFilter&>(*target).level, 0.0f);
      },
      {kSelect, "W23 01"}, "linked bypass");
}

TEST_F(FilterSequenceTest, ALinkedOrderChangeReallocatesTheFilter) {
  for (int typeCode : {kFilterLowpass, kFilterHighpass, kFilterLowCrossover}) {
    auto onUnit = Sample(typeCode);
    onUnit->number = gNewFilterObject.Read(unit);
    onUnit->WriteToDevice(unit);
    onUnit->SendCreateCommand(unit);
    auto offlineFilter = Sample(typeCode);
    auto source = Sample(typeCode);
    source->number = 9;
    if (auto* lowpass = dynamic_cast<TLowpassFilter*>(source.get())) lowpass->order = 4;
    if (auto* highpass = dynamic_cast<THighpassFilter*>(source.get())) highpass->order = 4;
    if (auto* low = dynamic_cast<TLowCrossover*>(source.get())) low->order = 4;
    const std::string before = ovtest::Hex(onUnit->number);
    bus.TakeTrace();
    onUnit->CopyOnDevice(unit, *source);
    const std::string after = ovtest::Hex(onUnit->number);
    EXPECT_NE(before, after);
    Trace rest = {
        "W10 " + ovtest::Hex(typeCode), "W0F 02", "W24 00", kFrequency, "W31 00", "W13.1 00000004"};
    if (typeCode == kFilterLowCrossover) rest.push_back("W13.2 00000001");
    EXPECT_EQ(bus.TakeTrace(), Join(Join({"W11 " + before, "R22", "W11 " + after}, rest),
                                    {"W11 " + after, "W14 00"}))
        << typeCode;

    offlineFilter->CopyOnDevice(*offline, *source);
    EXPECT_EQ(offline->TakeTrace(), Join(Join({kSelect}, rest), {kSelect, "W14 00"})) << typeCode;
    EXPECT_EQ(offlineFilter->number, 5);
  }
}

TEST_F(FilterSequenceTest, AnUnchangedOrderOrAnotherClassTakesNoReallocation) {
  auto target = Sample(kFilterLowpass);
  auto sameOrder = Sample(kFilterLowpass);
  sameOrder->number = 9;
  sameOrder->frequency = 2000;
  ExpectOnBoth([&](IQDeviceOrdavinex& d) { target->CopyOnDevice(d, *sameOrder); }, {"W37 00000509"},
               "same order");
  EXPECT_EQ(target->frequency, 2000);
  auto other = Sample(kFilterHighpass);
  ExpectOnBoth([&](IQDeviceOrdavinex& d) { target->CopyOnDevice(d, *other); }, {}, "another class");
}

TEST_F(FilterSequenceTest, ACloneIsAllocatedWrittenAndCreated) {
  auto source = Sample(kFilterAllpass);
  TFilter* clone = source->CloneToChannel(unit, 7);
  EXPECT_EQ(bus.TakeTrace(), (Trace{"R0D", "W11 0A", "W10 0C", "W0F 07", "W24 00", kFrequency,
                                    "W31 00", "W13.1 00000001", "W11 0A", "W14 00"}));
  EXPECT_EQ(clone->number, kAllocatedSlots);
  EXPECT_EQ(unit.Filters().back().get(), clone);

  offline->AddFilter(Sample(kFilterParametric));
  offline->trace.clear();
  TFilter* offlineClone = source->CloneToChannel(*offline, 7);
  EXPECT_EQ(offline->TakeTrace(), (Trace{"W11 01", "W10 0C", "W0F 07", "W24 00", kFrequency,
                                         "W31 00", "W13.1 00000001", "W11 01", "W14 00"}));
  EXPECT_EQ(offlineClone->number, 1);
}

TEST_F(FilterSequenceTest, ACrossoverCloneStaysOutOfTheFilterList) {
  auto source = Sample(kFilterHighCrossover);
  std::unique_ptr<TFilter> offlineClone(source->CloneToChannel(*offline, 6));
  EXPECT_EQ(offlineClone->number, -1);
  EXPECT_EQ(offline->TakeTrace().front(), "W11 FF");
  EXPECT_TRUE(offline->Filters().empty());
  std::unique_ptr<TFilter> unitClone(source->CloneToChannel(unit, 6));
  EXPECT_EQ(unitClone->number, kAllocatedSlots);
  EXPECT_EQ(bus.TakeTrace().front(), "R0D");
  EXPECT_TRUE(unit.Filters().empty());
}

TEST_F(FilterSequenceTest, AddingAndRemovingReachesOnlyAUnit) {
  const Both added = Run([&](IQDeviceOrdavinex& d) { d.AddFilter(Sample(kFilterParametric)); });
  EXPECT_EQ(added.unit, Trace{"R0D"});
  EXPECT_EQ(added.virtualUnit, Trace{});
  EXPECT_EQ(unit.Filters()[0]->number, kAllocatedSlots);
  EXPECT_EQ(offline->Filters()[0]->number, 0);

  const Both removed = Run([&](IQDeviceOrdavinex& d) {
    auto taken = d.RemoveFilter(d.Filters()[0].get());
    EXPECT_TRUE(taken);
  });
  EXPECT_EQ(removed.unit, (Trace{"W11 0A", "W0E 00"}));
  EXPECT_EQ(removed.virtualUnit, Trace{});

  const Both cleared = Run([&](IQDeviceOrdavinex& d) { d.RemoveAllFilters(); });
  EXPECT_EQ(cleared.unit, Trace{"W0E 01"});
  EXPECT_EQ(cleared.virtualUnit, Trace{});
}

TEST_F(FilterSequenceTest, AFilterTheUnitCannotAllocateStaysOutOfTheList) {
  for (int slot = kAllocatedSlots; slot < unit.GetMaxFilterRecords(); ++slot) {
    gNewFilterObject.Read(unit);
  }
  EXPECT_THROW(unit.AddFilter(Sample(kFilterParametric)), ErrorObject);
  EXPECT_TRUE(unit.Filters().empty());
}

TEST_F(FilterSequenceTest, EachReadTakesTheSelectedFiltersOwnBypass) {
  auto first = Sample(kFilterParametric);
  auto second = Sample(kFilterParametric);
  second->number = 6;
  first->WriteToDevice(unit);
  first->SetBypass(unit, true);
  second->WriteToDevice(unit);
  first->ReadFromDevice(unit);
  second->ReadFromDevice(unit);
  EXPECT_TRUE(first->bypass);
  EXPECT_FALSE(second->bypass);
}

TEST_F(FilterSequenceTest, AFullReadGivesBackWhatWasWritten) {
  struct Made {
    int typeCode, channel, frequency;
  };
  const Made made[] = {
      {kFilterParametric, 0, 100}, {kFilterLowpass, 1, 200},   {kFilterHighpass, 2, 300},
      {kFilterLowShelf, 3, 400},   {kFilterHighShelf, 4, 500}, {kFilterBoostCut, 5, 600},
      {kFilterCDHorn, 6, 700},     {kFilterAllpass, 7, 800},   {kFilterParametric, 9, 900}};
  std::vector<TFilter*> written;
  for (const Made& m : made) {
    TFilter* filter = unit.AddFilter(MakeFilter(m.typeCode));
    filter->channel = m.channel;
    filter->frequency = m.frequency;
    written.push_back(filter);
  }
  written.back()->linkNumber = written.front()->number + 1;
  for (TFilter* filter : written) {
    filter->WriteToDevice(unit);
    filter->SendCreateCommand(unit);
  }
  auto crossover = std::make_unique<THighCrossover>();
  crossover->number = gNewFilterObject.Read(unit);
  crossover->channel = 5;
  crossover->order = 6;
  crossover->crossoverType = kCrossoverBessel;
  crossover->WriteToDevice(unit);
  crossover->SendCreateCommand(unit);

  IQDevice8148 reader(&type, &bus.manager, &record, 8);
  reader.ReadDeviceParameters();
  ASSERT_EQ(reader.Filters().size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const TFilter& back = *reader.Filters()[i];
    EXPECT_EQ(back.number, written[i]->number);
    EXPECT_EQ(back.typeCode, written[i]->typeCode);
    EXPECT_EQ(back.channel, written[i]->channel);
    EXPECT_EQ(back.GetDeviceRecord(), written[i]->GetDeviceRecord()) << i;
  }
  EXPECT_THAT(reader.Filters().back()->linkedChannels, testing::ElementsAre(0));
  EXPECT_THAT(reader.Filters().front()->linkedChannels, testing::ElementsAre(9));
  ASSERT_TRUE(reader.HighCrossover(1));
  EXPECT_EQ(reader.HighCrossover(1)->GetDeviceRecord(), crossover->GetDeviceRecord());
  EXPECT_EQ(reader.RecountDspUse(), 188 + 2 * 4 + 7 * 5 + 3 * 5);
}

// A parametric filter read again after its slot changed on the unit (from its front panel): a slot
// that holds another type, or none, holds values of another kind than the filter's class would
// write back. The read-back after a failed write leaves the filter as it was, and a full read
// that finds the type changed since its first look skips the slot.
TEST_F(FilterSequenceTest, AReadThatFindsAnotherTypeInTheSlotLeavesTheFilterAsItWas) {
  struct Row {
    const char* slotHolds;
    int slotType;  // 0: the filter was deleted
    bool fullRead;
  };
  const Row rows[] = {
      {"the same type at 2000 Hz on channel 3", kFilterParametric, false},
      {"a lowpass at 2000 Hz on channel 3", kFilterLowpass, false},
      {"no filter", 0, false},
      {"a lowpass since the full read's first look", kFilterLowpass, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.slotHolds);
    unit.RemoveAllFilters();
    TFilter& filter = *unit.AddFilter(Sample(kFilterParametric));
    filter.WriteToDevice(unit);
    filter.SendCreateCommand(unit);
    const int number = filter.number;
    if (row.fullRead) {
      bus.bus.WithUnit(unitIndex, [&](sim::Unit& u) {
        dynamic_cast<sim::familyov::FamilyOvUnit&>(u).RetypeFilterAfterRead(
            number, static_cast<uint8_t>(row.slotType));
      });
      unit.ReadDeviceParameters();
      EXPECT_TRUE(
          std::ranges::none_of(unit.Filters(), [&](const auto& f) { return f->number == number; }));
      continue;
    }
    if (row.slotType == 0) {
      gFilterSelectObject.Write(unit, static_cast<uint8_t>(number));
      gDeleteFilterObject.Write(unit, 0);
    } else {
      std::unique_ptr<TFilter> other = MakeFilter(row.slotType);
      other->number = number;
      other->channel = 3;
      other->frequency = 2000;
      other->WriteToDevice(unit);
    }
    ReadBackQuietly(unit, filter);
    const bool taken = row.slotType == kFilterParametric;
    EXPECT_EQ(filter.typeCode, kFilterParametric);
    EXPECT_EQ(filter.channel, taken ? 3 : 2);
    EXPECT_EQ(filter.frequency, taken ? 2000 : 1000);
  }
}

}  // namespace
}  // namespace namespaceOV
