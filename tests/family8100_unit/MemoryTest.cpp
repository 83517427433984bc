#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::AddFilter;
using testsupport8100::Described;
using testsupport8100::Made;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

std::unique_ptr<TFilter> Highpass(int32_t frequency) {
  return Made<THighpassFilter>(kLeftInputBank, frequency);
}

std::unique_ptr<TFilter> HighCrossover(int32_t frequency) {
  return Made<THighCrossoverFilter>(kLeftOutputBank, frequency);
}

}  // namespace

TEST(OlderFamilyMemoryTest, ABusUnitStoresAndRecallsWaitingUntilReadyAndNamesItsMemories) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2, .busyPolls = 1});
  IQDevice8100* unit = OnlyUnit(bus);
  AddFilter(*unit, Highpass(80));
  AddFilter(*unit, HighCrossover(2000));
  g8100LeftAttenuation.Write(*unit, 6);
  unit->SaveMemory(4);
  g8100LeftAttenuation.Write(*unit, 9);
  unit->RemoveFilters();
  g8100Ready.Read(*unit);
  bus.TakeTrace();

  unit->RestoreMemory(4);
  // The recall, then polls until the unit is ready again.
  EXPECT_THAT(bus.TakeTrace(), ElementsAre("R06", "W0F 04", "R06", "R06"));
  unit->ResetValueStore();
  unit->ReadAllParameters();
  EXPECT_EQ(g8100LeftAttenuation.Read(*unit), 6);
  EXPECT_THAT(Described(*unit),
              ElementsAre("Highpass at 80 Hz, slope -12 dB/oct\n",
                          "High Butterworth Crossover at 2000 Hz, slope -12 dB/oct\n"));

  g8100MemoryIndex.Write(*unit, 4);
  unit->SetMemoryName("Evening");
  g8100MemoryIndex.Write(*unit, 5);
  EXPECT_EQ(unit->GetMemoryName(), "Memory 5");
  g8100MemoryIndex.Write(*unit, 4);
  EXPECT_EQ(unit->GetMemoryName(), "Evening");
  g8100PresetIndex.Write(*unit, 2);
  unit->SetPresetMapEntry(7);
  EXPECT_EQ(unit->GetPresetMapEntry(), 7);
}

TEST(OlderFamilyMemoryTest, AVirtualUnitKeepsItsMemoriesPresetsAndModelDefaults) {
  IQDevice8100X unit(nullptr, nullptr, nullptr);
  AddFilter(unit, Highpass(80));
  AddFilter(unit, HighCrossover(2000));
  g8100RightDelay.Write(unit, 48);
  g8100LeftRelease.Write(unit, 8.3e-5F);
  unit.SaveMemory(5);
  const SettingsRecord saved = unit.ReadSettingsRecord();
  const auto filters = Described(unit);
  g8100RightDelay.Write(unit, 0);
  unit.RemoveFilters();
  unit.RestoreMemory(5);
  EXPECT_EQ(unit.ReadSettingsRecord(), saved);
  EXPECT_EQ(Described(unit), filters);

  g8100MemoryIndex.Write(unit, 12);
  EXPECT_EQ(unit.GetMemoryName(), "Memory 12");
  unit.SetMemoryName("Late");
  EXPECT_EQ(unit.GetMemoryName(), "Late");
  // No memory 0 or 13 to name: nothing is kept, nothing overruns.
  for (uint8_t outside : {0, 13, 255}) {
    g8100MemoryIndex.Write(unit, outside);
    unit.SetMemoryName("Nowhere");
    EXPECT_EQ(unit.GetMemoryName(), "");
  }
  g8100PresetIndex.Write(unit, 3);
  EXPECT_EQ(unit.GetPresetMapEntry(), 3);

  // A new Rune Tide starts with its two output banks of boost/cut filters.
  IQDevice8100RT runeTide(nullptr, nullptr, nullptr);
  ASSERT_EQ(runeTide.Filters().size(), 56u);
  EXPECT_EQ(runeTide.Filters()[0]->bank, kLeftOutputBank);
  EXPECT_EQ(runeTide.Filters()[27]->frequency, 16000);
  EXPECT_EQ(runeTide.Filters()[28]->bank, kRightOutputBank);
  EXPECT_EQ(runeTide.Filters()[55]->Describe(), "Boost/cut at 16000 Hz, 0.0 dB, Q 3.2\n");
  EXPECT_FALSE(runeTide.IsModified());
}

TEST(OlderFamilyMemoryTest, ALockedVirtualUnitUnlocksWithThePasswordItWasLockedWith) {
  IQDevice8100 unit(nullptr, nullptr, nullptr);
  g8100Password.Write(unit, "STAGE");
  g8100Locked.Write(unit, true);
  try {
    g8100Password.Write(unit, "WRONG");
    ADD_FAILURE() << "a wrong password unlocked the unit";
  } catch (const ErrorObject& refused) {
    EXPECT_EQ(refused.code, kWrongPasswordCode);
  }
  EXPECT_TRUE(g8100Locked.Read(unit));
  g8100Password.Write(unit, "STAGE");
  EXPECT_FALSE(g8100Locked.Read(unit));
}

TEST(OlderFamilyRegistryTest, MemoryMasksAndFilterDefaultsPersistUnderTheFamilyKey) {
  registry::Store store;
  IQ8100Type type;
  type.SetRegistryKey(store.Root());
  const FamilyKey8100 key = type.Key();
  key.WriteMemoryMask(FamilyKey8100::kReport, 0x0805);
  EXPECT_TRUE(key.MemoryMaskHas(FamilyKey8100::kReport, 1));
  EXPECT_FALSE(key.MemoryMaskHas(FamilyKey8100::kReport, 2));
  EXPECT_TRUE(key.MemoryMaskHas(FamilyKey8100::kReport, 3));
  EXPECT_TRUE(key.MemoryMaskHas(FamilyKey8100::kReport, 12));
  EXPECT_EQ(key.ReadMemoryMask(FamilyKey8100::kFileSave), 0u);

  TParametricFilter parametric;
  parametric.frequency = 2500;
  parametric.q = 4.5F;
  parametric.level = -6.0F;
  key.SaveFilterDefault(parametric);
  TParametricFilter fresh;
  key.ApplyFilterDefaults(fresh);
  EXPECT_EQ(fresh.Describe(), "Parametric at 2500 Hz, -6.0 dB, Q 4.5\n");

  TLowpassFilter lowpass;
  lowpass.order = 5;
  key.ApplyFilterDefaults(lowpass);
  EXPECT_EQ(lowpass.Describe(), "Lowpass at 15000 Hz, slope -12 dB/oct\n");
  THighshelfFilter shelf;
  key.ApplyFilterDefaults(shelf);
  EXPECT_EQ(shelf.Describe(), "Highshelf at 5000 Hz, level 0.0 dB\n");
  EXPECT_EQ(shelf.shelfOrder, 2);
}
