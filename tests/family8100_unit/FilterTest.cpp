#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "family8100/filters/Filters8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using sim::family8100::Model;
using testing::ElementsAre;
using testsupport8100::Made;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

namespace {

// Each write to a bus unit, and each read of a new filter's slot, follows a poll of its ready flag.
std::vector<std::string> AfterReadyPolls(const std::vector<std::string>& requests) {
  std::vector<std::string> trace;
  for (const std::string& request : requests) {
    if (request[0] == 'W' || request == "R11") trace.push_back("R06");
    trace.push_back(request);
  }
  return trace;
}

}  // namespace

TEST(OlderFamilyFilterTest, AChangeWritesTheFiltersObjectsInOrderAndQRoundedToATenth) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2});
  IQDevice8100* unit = OnlyUnit(bus);

  auto made = Made<TParametricFilter>(kLeftInputBank, 1000);
  made->level = -3.0F;
  made->q = 0.7F;
  TFilter& filter = unit->PlaceFilter(std::move(made));
  filter.WriteToUnit(*unit);
  filter.SetUnitFlag(*unit);
  // Slot 0 from the unit; 10^(-3/20) - 1 as a float; Q 0.7 as 7, not truncated to 6.
  EXPECT_THAT(bus.TakeTrace(),
              testing::ElementsAreArray(AfterReadyPolls(
                  {"R11", "W15 00", "W14 03", "W13 02", "W29 00", "W16 00", "W17 000003E8",
                   "W16 02", "W17 BE958821", "W16 01", "W17 00000007", "W15 00", "W18 01"})));

  // Read back as the unit holds it.
  unit->ReadAllParameters();
  ASSERT_EQ(unit->Filters().size(), 1u);
  const auto& read = dynamic_cast<const TParametricFilter&>(*unit->Filters()[0]);
  EXPECT_EQ(read.bank, kLeftInputBank);
  EXPECT_EQ(read.frequency, 1000);
  EXPECT_NEAR(read.level, -3.0F, 1e-4);
  EXPECT_FLOAT_EQ(read.q, 0.7F);
}

TEST(OlderFamilyFilterTest, EveryClassRoundTripsThroughTheUnitAndCrossoversOnlyOnTheXModel) {
  for (Model model : {Model::kX, Model::kPlus}) {
    OlderFamilyBus bus;
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = model, .address = 2});
    IQDevice8100* unit = OnlyUnit(bus);
    auto octave = Made<TOctaveFilter>(kRightInputBank, 2500);
    octave->level = 6.0F;
    octave->q = 1.4F;
    auto highpass = Made<THighpassFilter>(kRightOutputBank, 40);
    highpass->order = 7;
    highpass->bypass = true;
    auto shelf = Made<THighshelfFilter>(kLeftOutputBank, 8000);
    shelf->level = -4.0F;
    shelf->shelfOrder = 2;
    auto crossover = Made<TLowCrossoverFilter>(kLeftOutputBank, 120);
    crossover->alignment = kAlignmentBessel;
    crossover->order = 4;
    std::vector<std::unique_ptr<TFilter>> filters;
    filters.push_back(std::move(octave));
    filters.push_back(std::move(highpass));
    filters.push_back(std::move(shelf));
    filters.push_back(std::move(crossover));
    for (auto& filter : filters) {
      TFilter& placed = unit->PlaceFilter(std::move(filter));
      placed.WriteToUnit(*unit);
      placed.SetUnitFlag(*unit);
    }

    unit->ReadAllParameters();
    std::vector<std::string> read;
    for (const auto& filter : unit->Filters()) read.push_back(filter->Describe());
    EXPECT_THAT(read, ElementsAre("Boost/cut at 2500 Hz, 6.0 dB, Q 1.4\n",
                                  "Highpass at 40 Hz, slope -42 dB/oct\n",
                                  "Highshelf at 8000 Hz, level -4.0 dB\n"));
    EXPECT_TRUE(unit->Filters()[1]->bypass);
    // A shelf always goes as one section and comes back so.
    EXPECT_EQ(dynamic_cast<const TShelfFilter&>(*unit->Filters()[2]).shelfOrder, 1);
    EXPECT_EQ(unit->UsedSections(), 1 + 4 + 1);
    if (model == Model::kX) {
      ASSERT_NE(unit->LowCrossover(), nullptr);
      EXPECT_EQ(unit->LowCrossover()->Describe(),
                "Low Bessel Crossover at 120 Hz, slope -24 dB/oct\n");
    } else {
      EXPECT_EQ(unit->LowCrossover(), nullptr);
    }
  }
}

// A slot the front panel changes between the type read and the filter's own read is left out: its
// class and its values would not match.
TEST(OlderFamilyFilterTest, ASlotWhoseTypeChangesUnderTheReadIsSkipped) {
  OlderFamilyBus bus;
  const int index = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2});
  IQDevice8100* unit = OnlyUnit(bus);
  testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kLeftInputBank, 1000));
  bus.bus.WithUnit(index, [](sim::Unit& u) {
    dynamic_cast<sim::family8100::Family8100Unit&>(u).RetypeAfterRead(0, 4);
  });
  unit->ReadAllParameters();
  EXPECT_TRUE(unit->Filters().empty());
  // Read again once the slot has settled: the class follows the type.
  unit->ReadAllParameters();
  ASSERT_EQ(unit->Filters().size(), 1u);
  EXPECT_NE(dynamic_cast<const TLowpassFilter*>(unit->Filters()[0].get()), nullptr);
  EXPECT_EQ(unit->Filters()[0]->type, 4);
}

TEST(OlderFamilyFilterTest, DeletingStopsPartWayWithTheListAsTheUnitHoldsIt) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2, .firmware = "1.0"});
  IQDevice8100* unit = OnlyUnit(bus);
  ASSERT_FALSE(unit->DeletesAllAtOnce());
  for (int32_t frequency : {100, 200, 300, 400}) {
    TFilter& placed = unit->PlaceFilter(Made<TParametricFilter>(kRightInputBank, frequency));
    placed.WriteToUnit(*unit);
  }
  // The third delete is refused: two filters are gone, the rest stay listed and owned.
  bus.bus.AddFault(
      sim::Fault::ErrorObject(7).ForObject(18).ForOpcode(sim::kOpcodeSet).OnOccurrence(3));
  EXPECT_THROW(unit->RemoveFilters(), ErrorObject);
  std::vector<int32_t> left;
  for (const auto& filter : unit->Filters()) left.push_back(filter->frequency);
  EXPECT_THAT(left, ElementsAre(300, 400));

  bus.bus.ClearFaults();
  unit->RemoveFilters();
  EXPECT_TRUE(unit->Filters().empty());
  for (const auto& slot : bus.SlotsOf(0)) EXPECT_FALSE(slot.IsFilter());
}

// A whole read that a silent unit breaks off leaves no empty list to be taken as the unit's: the
// first contact that finds it answering reads its filters again.
TEST(OlderFamilyFilterTest, AWholeReadTheUnitBreaksOffIsMadeAgainOnceItAnswers) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2});
  IQDevice8100* unit = OnlyUnit(bus);
  testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kLeftInputBank, 1000));
  bus.bus.AddFault(sim::Fault::Silence().Times(sim::Fault::kForever));
  EXPECT_THROW(unit->ReadAllParameters(), ReadTimeout);
  EXPECT_TRUE(unit->Filters().empty());
  EXPECT_TRUE(unit->ListsStale());

  bus.bus.ClearFaults();
  EXPECT_TRUE(unit->ReadAgainIfStale());
  ASSERT_EQ(unit->Filters().size(), 1u);
  EXPECT_EQ(unit->Filters().at(0)->frequency, 1000);
  EXPECT_FALSE(unit->ReadAgainIfStale());
}

// A new slot's read is never asked twice nor answered late, so a unit that answers it late keeps a
// slot handed out that no filter holds, until the program reads its filters again.
TEST(OlderFamilyFilterTest, ASlotHandedOutForALateAnswerIsFreedOnceTheUnitAnswers) {
  constexpr int kNewFilterSlot = 17;
  for (const char* firmware : {"1.0", "1.1"}) {
    SCOPED_TRACE(firmware);
    OlderFamilyBus bus;
    sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2, .firmware = firmware});
    IQDevice8100* unit = OnlyUnit(bus);
    const auto slotsTaken = [&] {
      return std::ranges::count_if(bus.SlotsOf(0), [](const sim::family8100::FilterSlot& slot) {
        return slot.IsFilter() || slot.handedOut;
      });
    };
    bus.bus.AddFault(sim::Fault::Pause(1).ForObject(kNewFilterSlot).Times(1));
    EXPECT_THROW(testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kRightInputBank, 100)),
                 ReadTimeout);
    EXPECT_TRUE(unit->ListsStale());
    // What the filter windows do after a failed add.
    EXPECT_TRUE(unit->ReadAgainQuietly());
    EXPECT_EQ(slotsTaken(), 0);

    testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kRightInputBank, 200));
    EXPECT_EQ(slotsTaken(), 1);
    EXPECT_EQ(unit->Filters().at(0)->slot, 0);
    unit->ReadAllParameters();
    ASSERT_EQ(unit->Filters().size(), 1u);
    EXPECT_EQ(unit->Filters()[0]->frequency, 200);
  }
}

// The clean-up's delete of an empty slot is best effort: whatever the unit answers to it, the read
// that sends it is whole and ends the doubt; the read's own requests still fail as before.
TEST(OlderFamilyFilterTest, ALateSlotsCleanUpNeitherFailsNorRepeatsTheRead) {
  constexpr int kNewFilterSlot = 17;
  constexpr int kDeleteFilter = 18;
  constexpr int kFilterType = 20;
  const auto refused = [](int id, int opcode) {
    return sim::Fault::ErrorObject(7).ForObject(id).ForOpcode(opcode);
  };
  const struct {
    const char* what;
    std::optional<sim::Fault> fault;
    bool recall;
    // Reads made, and the slots the unit then holds or has handed out.
    int reads;
    long slots;
  } rows[] = {
      // A refused delete leaves the slot handed out, and the read goes on.
      {"refused delete", refused(kDeleteFilter, sim::kOpcodeSet), false, 1, 2},
      {"unanswered delete", sim::Fault::Pause(1).ForObject(kDeleteFilter).Times(1), false, 1, 1},
      // The handed-out slot is the second; the third slot's type is the fourth read.
      {"type read refused after the delete", refused(kFilterType, sim::kOpcodeGet).OnOccurrence(4),
       false, 2, 1},
      // The memory holds a second filter in the slot handed out.
      {"memory recalled in doubt", std::nullopt, true, 1, 2},
  };
  for (const char* firmware : {"1.0", "1.1"}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(firmware) + ", " + row.what);
      OlderFamilyBus bus;
      sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2, .firmware = firmware});
      IQDevice8100* unit = OnlyUnit(bus);
      testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kLeftInputBank, 100));
      testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kRightInputBank, 200));
      unit->SaveMemory(1);
      unit->RemoveFilter(*unit->Filters().back());
      bus.bus.AddFault(sim::Fault::Pause(1).ForObject(kNewFilterSlot).Times(1));
      EXPECT_THROW(testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kLeftInputBank, 300)),
                   ReadTimeout);
      if (row.recall) unit->RestoreMemory(1);
      if (row.fault) bus.bus.AddFault(*row.fault);
      bus.TakeTrace();

      EXPECT_TRUE(unit->ReadAgainQuietly());
      EXPECT_FALSE(unit->ListsStale());
      EXPECT_EQ(std::ranges::count(bus.TakeTrace(), "R1C"), row.reads) << "reads made";
      EXPECT_EQ(std::ranges::count_if(bus.SlotsOf(0),
                                      [](const sim::family8100::FilterSlot& slot) {
                                        return slot.IsFilter() || slot.handedOut;
                                      }),
                row.slots);
      EXPECT_EQ(unit->Filters().size(), row.recall ? 2u : 1u);

      // The device has left doubt: the next read deletes nothing.
      bus.bus.ClearFaults();
      unit->ReadAllParameters();
      EXPECT_THAT(bus.TakeTrace(), testing::Each(testing::Not(testing::StartsWith("W12"))));
    }
  }
}

// Firmware before 1.1 refuses to delete every filter with one command; later firmware does so.
TEST(OlderFamilyFilterTest, OnlyFirmwareFromOnePointOneDeletesAllFiltersAtOnce) {
  for (const auto& [firmware, deletesAll] : {std::pair("1.0", false), {"1.1", true}}) {
    SCOPED_TRACE(firmware);
    OlderFamilyBus bus;
    sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2, .firmware = firmware});
    IQDevice8100* unit = OnlyUnit(bus);
    testsupport8100::AddFilter(*unit, Made<TParametricFilter>(kRightInputBank, 100));
    bool refused = false;
    try {
      g8100DeleteFilter.Write(*unit, 1);
    } catch (const ErrorObject&) {
      refused = true;
    }
    EXPECT_EQ(refused, !deletesAll);
    const auto slots = bus.SlotsOf(0);
    EXPECT_EQ(std::ranges::any_of(slots, &sim::family8100::FilterSlot::IsFilter), !deletesAll);
  }
}

TEST(OlderFamilyFilterTest, SectionsCostsBudgetTextsAndFileRecords) {
  IQDevice8100 unit(nullptr, nullptr, nullptr);
  for (int i = 0; i < 17; ++i) {
    auto lowpass = Made<TLowpassFilter>(kRightOutputBank, 15000);
    lowpass->order = 8 - (i % 2);  // 8 and 7 both take four sections
    unit.PlaceFilter(std::move(lowpass));
  }
  unit.PlaceFilter(Made<TParametricFilter>(kLeftInputBank, 1000));
  unit.PlaceFilter(Made<THighCrossoverFilter>(kLeftOutputBank, 2000));
  EXPECT_EQ(unit.UsedSections(), 69);
  unit.PlaceFilter(Made<TLowshelfFilter>(kLeftInputBank, 200));
  EXPECT_TRUE(unit.HasFilterCapacity(0));
  EXPECT_FALSE(unit.HasFilterCapacity(1));
  EXPECT_TRUE(unit.CanAddFilter(TLowCrossoverFilter()));

  // An order from a unit or a file never prices a filter past the largest one.
  THighpassFilter hostile;
  hostile.order = 1 << 30;
  EXPECT_EQ(hostile.SectionCost(), 4);

  TLowpassFilter lowpass;
  lowpass.frequency = 4999;
  lowpass.order = 3;
  EXPECT_EQ(lowpass.FormatFrequency(true), "4999 Hz");
  EXPECT_EQ(lowpass.FormatParam1(true), "Slope: -18 dB/oct");
  EXPECT_EQ(lowpass.FormatParam1(false), "-18");
  lowpass.frequency = 5000;
  EXPECT_EQ(lowpass.FormatFrequency(true), "5.0 kHz");
  lowpass.frequency = 12500;
  EXPECT_EQ(lowpass.FormatFrequency(false), "12500");
  TLowCrossoverFilter crossover;
  crossover.alignment = kAlignmentBessel;
  EXPECT_EQ(crossover.FormatParam2(true), "Type: Bessel");
  crossover.alignment = 99;
  EXPECT_EQ(crossover.FormatParam2(false), "");
  EXPECT_EQ(crossover.Describe(), "Low  Crossover at 0 Hz, slope -12 dB/oct\n");

  // A shelf's level goes to a file as a truncated integer, and comes back so.
  const std::string path =
      (std::filesystem::temp_directory_path() / ("records-" + std::to_string(::getpid()))).string();
  TLowshelfFilter shelf;
  shelf.bank = kRightInputBank;
  shelf.frequency = 200;
  shelf.level = -3.7F;
  shelf.shelfOrder = 2;
  SettingsTextFile written;
  ASSERT_TRUE(written.Open(path, SettingsTextFile::kWrite));
  shelf.Save(written);
  ASSERT_TRUE(written.Close());
  SettingsTextFile file;
  ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
  ASSERT_EQ(file.ReadInt(), kLowShelfFilter);
  TLowshelfFilter read;
  read.bypass = true;
  read.Load(file);
  EXPECT_EQ(read.Describe(), "Lowshelf at 200 Hz, level -3.0 dB\n");
  EXPECT_EQ(read.shelfOrder, 2);
  EXPECT_FALSE(read.bypass);
  std::filesystem::remove(path);
}
