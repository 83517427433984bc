#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/DeviceErrorReport.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/Copy8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "platform/registry/Store.h"
#include "platform/ui/Dialog.h"
#include "resources/Family8100Ids.h"
#include "tests/bus/TestDevice.h"
#include "tests/family8100_unit/OlderFamilyBus.h"
#include "tests/familyov_files/FilesTestSupport.h"
#include "tests/support/FailureInBox.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::Described;

namespace {

template <typename Filter>
void Add(IQDevice8100& unit, int32_t bank, int32_t frequency) {
  testsupport8100::AddFilter(unit, testsupport8100::Made<Filter>(bank, frequency));
}

}  // namespace

TEST(OlderFamilyCopyTest, WhatBothModelsHaveIsCopiedAndAnXDestinationKeepsItsOwnOtherwise) {
  IQDevice8100Plus plus(nullptr, nullptr, nullptr);
  g8100LeftAttenuation.Write(plus, 7);
  g8100RightMute.Write(plus, true);
  g8100LeftDelay.Write(plus, 96);
  Add<THighpassFilter>(plus, kRightInputBank, 60);

  IQDevice8100 base(nullptr, nullptr, nullptr);
  CopyDeviceSettings(base, plus, 0);
  EXPECT_EQ(g8100LeftAttenuation.Read(base), 7);
  EXPECT_TRUE(g8100RightMute.Read(base));
  EXPECT_THAT(Described(base), ElementsAre("Highpass at 60 Hz, slope -12 dB/oct\n"));

  IQDevice8100X x(nullptr, nullptr, nullptr);
  Add<TParametricFilter>(x, kLeftInputBank, 500);
  Add<THighCrossoverFilter>(x, kLeftOutputBank, 1800);
  g8100LeftThreshold.Write(x, 1000);
  CopyDeviceSettings(x, base, 0);
  EXPECT_EQ(g8100LeftDelay.Read(x), 0u);
  EXPECT_EQ(g8100LeftThreshold.Read(x), 1000u);
  EXPECT_THAT(Described(x),
              ElementsAre("Highpass at 60 Hz, slope -12 dB/oct\n",
                          "High Butterworth Crossover at 1800 Hz, slope -12 dB/oct\n"));

  IQDevice8100X otherX(nullptr, nullptr, nullptr);
  Add<TLowCrossoverFilter>(otherX, kLeftOutputBank, 90);
  g8100LeftThreshold.Write(otherX, 2000);
  CopyDeviceSettings(x, otherX, 0);
  EXPECT_EQ(g8100LeftThreshold.Read(x), 2000u);
  EXPECT_THAT(Described(x), ElementsAre("Low Butterworth Crossover at 90 Hz, slope -12 dB/oct\n"));
}

TEST(OlderFamilyCopyTest, ChosenMemoriesGoWithTheirNamesAndTheSourceStaysAsItWas) {
  IQDevice8100Plus source(nullptr, nullptr, nullptr);
  g8100LeftAttenuation.Write(source, 3);
  Add<TLowshelfFilter>(source, kLeftOutputBank, 150);
  source.SaveMemory(2);
  g8100MemoryIndex.Write(source, 2);
  source.SetMemoryName("Matinee");
  g8100PresetIndex.Write(source, 5);
  source.SetPresetMapEntry(2);
  g8100LeftAttenuation.Write(source, 1);
  source.RemoveFilters();
  const SettingsRecord sourceBefore = source.ReadSettingsRecord();

  IQDevice8100Plus destination(nullptr, nullptr, nullptr);
  CopyDeviceSettings(destination, source, 0x2);
  EXPECT_EQ(source.ReadSettingsRecord(), sourceBefore);
  EXPECT_TRUE(source.Filters().empty());
  EXPECT_EQ(g8100LeftAttenuation.Read(destination), 1);
  g8100PresetIndex.Write(destination, 5);
  EXPECT_EQ(destination.GetPresetMapEntry(), 2);
  g8100MemoryIndex.Write(destination, 2);
  EXPECT_EQ(destination.GetMemoryName(), "Matinee");
  destination.RestoreMemory(2);
  EXPECT_EQ(g8100LeftAttenuation.Read(destination), 3);
  EXPECT_THAT(Described(destination), ElementsAre("Lowshelf at 150 Hz, level 0.0 dB\n"));
}

TEST(OlderFamilyCopyTest, ABusXDestinationKeepsItsCrossoversAndAFailureLeavesNeitherUnitMuted) {
  testsupport8100::OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 4});
  IQDevice8100* x = testsupport8100::OnlyUnit(bus);
  ASSERT_TRUE(x->DeletesAllAtOnce());
  Add<TLowCrossoverFilter>(*x, kLeftOutputBank, 250);
  g8100RightAttenuation.Write(*x, 6);
  // As a unit just found by the roll call: its crossovers are on the unit, not yet read.
  x->DropCrossovers();

  IQDevice8100 base(nullptr, nullptr, nullptr);
  Add<TParametricFilter>(base, kRightInputBank, 440);
  CopyDeviceSettings(*x, base, 0);
  x->ReadAllParameters();
  EXPECT_THAT(Described(*x),
              ElementsAre("Parametric at 440 Hz, 0.0 dB, Q 0.0\n",
                          "Low Butterworth Crossover at 250 Hz, slope -12 dB/oct\n"));

  // The recall of memory 1 on the unit is refused: both units are back and unmuted.
  g8100RightAttenuation.Write(*x, 6);
  g8100LeftAttenuation.Write(base, 9);
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(15).ForOpcode(sim::kOpcodeSet).OnOccurrence(1));
  try {
    CopyDeviceSettings(*x, base, 0x1);
    ADD_FAILURE() << "no failure";
  } catch (const TransferFailure& failure) {
    EXPECT_THROW(std::rethrow_exception(failure.error), ErrorObject);
    EXPECT_TRUE(failure.Restored(*x));
    EXPECT_TRUE(failure.Restored(base));
  }
  bus.bus.ClearFaults();
  x->ResetValueStore();
  x->ReadAllParameters();
  EXPECT_EQ(g8100RightAttenuation.Read(*x), 6);
  EXPECT_EQ(Described(*x).size(), 2u);
  EXPECT_TRUE(g8100BulkMute.Read(*x));
  EXPECT_TRUE(g8100BulkMute.Read(base));
  EXPECT_EQ(g8100LeftAttenuation.Read(base), 9);
}

// A copy refused part way through reading the destination's filters is reported once, and the
// program is left with the filters the unit holds, not the part read before the refusal.
TEST(OlderFamilyCopyTest, ACopyRefusedWhileReadingTheDestinationLeavesItsFiltersAsTheUnitHolds) {
  ui::PromptScript script(filestest::FailTest);
  registry::Store store;
  testsupport8100::OlderFamilyBus bus;
  bus.x.SetRegistryKey(store.Root());
  sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 4});
  IQDevice8100* x = testsupport8100::OnlyUnit(bus);
  Add<TParametricFilter>(*x, kRightInputBank, 440);
  Add<THighpassFilter>(*x, kLeftInputBank, 80);
  const std::vector<std::string> held = Described(*x);
  IQDevice8100 base(nullptr, nullptr, nullptr);
  int reports = 0;
  controls::SetDeviceErrorReporter([&reports](const IQException&, IQDevice*, int) { ++reports; });
  for (int occurrence = 1; occurrence <= 3; ++occurrence) {
    SCOPED_TRACE(occurrence);
    bus.bus.AddFault(sim::Fault::ErrorObject(7)
                         .ForObject(g8100FilterType.GetId())
                         .ForOpcode(sim::kOpcodeGet)
                         .OnOccurrence(occurrence));
    script
        .RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); })
        .AnswerMessageBox(ui::kIdOk);
    reports = 0;
    const std::size_t seen = script.Seen().size();
    EXPECT_FALSE(x->CopyFrom(base));
    bus.bus.ClearFaults();
    // Told with the closing message, in one box.
    EXPECT_EQ(reports + testsupport::FailuresToldInBoxes(script, seen), 1u);
    EXPECT_TRUE(testsupport::BoxesNameTheFailedRequest(script, seen, 4));
    EXPECT_EQ(testsupport::AfterTheFailure(script.Seen().back().text),
              "The copy was not finished; nothing was written to the unit.");
    EXPECT_EQ(Described(*x), held);
  }
  controls::SetDeviceErrorReporter(nullptr);
}

TEST(OlderFamilyCopyTest, CopyRefusesOtherFamiliesAndLockedUnitsBeforeAskingAnything) {
  ui::PromptScript script(filestest::FailTest);
  registry::Store store;
  IQ8100Type type;
  type.SetRegistryKey(store.Root());
  IQDevice8100 destination(&type, nullptr, nullptr);
  IQDevice8100 source(&type, nullptr, nullptr);
  bustest::TestDevice other(nullptr, nullptr, nullptr);

  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(destination.CopyFrom(other));
  EXPECT_EQ(script.Seen().back().text, "Cannot copy this device type.");

  g8100Locked.Write(source, true);
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(destination.CopyFrom(source));
  EXPECT_EQ(script.Seen().back().text, "Source device is locked.");
  g8100Locked.Write(destination, true);
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(destination.CopyFrom(source));
  EXPECT_EQ(script.Seen().back().text, "Destination device is locked.");

  g8100Locked.Write(destination, false);
  g8100Locked.Write(source, false);
  g8100LeftAttenuation.Write(source, 11);
  script.RunDialog(f8100res::kMemorySelectDialog,
                   [](ui::Dialog& dialog) { dialog.CloseWindow(ui::kIdOk); });
  EXPECT_TRUE(destination.CopyFrom(source));
  EXPECT_EQ(g8100LeftAttenuation.Read(destination), 11);
}
