// The family's device class: its answers to the framework, options, full reads from a unit over
// the simulated bus, group ranges and the bounded waits for a unit's flags.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/NetworkLogicTrigger.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsFile.h"
#include "platform/registry/Store.h"
#include "sim/Fault.h"
#include "sim/WireFormat.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using ovtest::ModelId;

TEST(DeviceAnswersTest, RecordsOfEitherProcessorFamilyAtTheSameAddressMatch) {
  IQ8148Type type;
  const IQDeviceInfo record(9, 1136, 2, ModelId('8', "1.0", true));
  IQDevice8148 unit(&type, nullptr, &record, 8);
  EXPECT_TRUE(unit.Matches(IQDeviceInfo(9, 368, 2)));
  EXPECT_TRUE(unit.Matches(IQDeviceInfo(9, 880, 2)));
  EXPECT_FALSE(unit.Matches(IQDeviceInfo(9, 240, 2)));
  EXPECT_FALSE(unit.Matches(IQDeviceInfo(9, 1136, 1)));
  EXPECT_FALSE(unit.Matches(IQDeviceInfo(10, 1136, 2)));
  EXPECT_EQ(unit.GetErrorText(3), "");
}

TEST(DeviceAnswersTest, VirtualUnitsShowTheirNameAndType) {
  IQ8122Type type;
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  device->SetName("Lobby");
  auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
  std::string text;
  EXPECT_FALSE(unit.GetListText(text));
  EXPECT_EQ(unit.GetDisplayName(), "Lobby (Virtual Ordavinex 22)");
  EXPECT_EQ(unit.outputs, 2);
  EXPECT_EQ(unit.GetInfo().familyCode, 880u);
}

TEST(DeviceOptionsTest, OptionsComeFromTheFamilyKey) {
  registry::Store store;
  IQ8126Type type;
  type.SetRegistryKey(store.Root().OpenSubKey("TelvoWin2 Settings", true));
  const registry::Key key =
      store.Root().OpenSubKey("TelvoWin2 Settings", false).OpenSubKey("Ordavinex 26", false);
  ASSERT_TRUE(key.IsValid());
  key.SetNumber("Show Phase", 0x100);  // only the low byte counts
  key.SetNumber("Vertical Zoom", 1);
  key.SetNumber("Use Q", 0);
  std::unique_ptr<IQDevice> device(type.CreateDevice(nullptr, nullptr));
  auto& unit = dynamic_cast<IQDeviceOrdavinex&>(*device);
  EXPECT_FALSE(unit.showPhase[7]);
  EXPECT_TRUE(unit.verticalZoom[19]);
  EXPECT_EQ(unit.useQ, 0);
  EXPECT_EQ(unit.autoOpenSummary, 1);
  EXPECT_TRUE(unit.WriteOption("AutoOpen Summary", 0));
  EXPECT_EQ(key.GetNumber("AutoOpen Summary"), 0u);
  std::string file, title;
  EXPECT_TRUE(type.GetHelp(file, title));
  EXPECT_EQ(file, "ov-man.pdf");
}

TEST(DeviceOptionsTest, FilterDefaultsRoundTripThroughTheKey) {
  registry::Store store;
  IQ8148Type type;
  type.SetRegistryKey(store.Root());
  auto unit = std::unique_ptr<IQDevice>(type.CreateDevice(nullptr, nullptr));
  auto& family = dynamic_cast<IQDeviceOrdavinex&>(*unit);
  TParametricFilter fresh;
  family.LoadFilterDefaults(fresh);
  EXPECT_EQ(fresh.frequency, 1000);
  EXPECT_FLOAT_EQ(fresh.q, 8.7f);
  TParametricFilter saved;
  saved.frequency = 70000;  // only the low 16 bits come back
  saved.q = 2.5f;
  saved.level = -6.0f;
  family.SaveFilterDefaults(saved);
  family.LoadFilterDefaults(fresh);
  EXPECT_EQ(fresh.frequency, 70000 & 0xFFFF);
  EXPECT_FLOAT_EQ(fresh.q, 2.5f);
  EXPECT_FLOAT_EQ(fresh.level, -6.0f);
  TCDHornFilter horn;
  horn.order = 5;
  family.SaveFilterDefaults(horn);
  TCDHornFilter loaded;
  family.LoadFilterDefaults(loaded);
  EXPECT_EQ(loaded.order, 2);
  THighpassFilter highpass;
  highpass.order = 200;
  family.SaveFilterDefaults(highpass);
  family.LoadFilterDefaults(highpass);
  EXPECT_EQ(highpass.order, 8);
}

TEST(GroupRangeTest, GroupValuesOutsideTheGroupsAreIgnored) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  const std::pair<int, float> levels[] = {{3, -6.0f}, {3, 2.0f}, {200, 5.0f}, {10, -1.0f}};
  for (int c = 0; c < 4; ++c) {
    gChannelGroupObject.SetElement(c);
    gChannelGroupObject.Write(*unit, static_cast<uint8_t>(levels[c].first));
    gChannelLevelObject.SetElement(c);
    gChannelLevelObject.Write(*unit, levels[c].second);
  }
  unit->GetGroupLevelRange();
  EXPECT_NEAR(unit->groupMaxLevel[3], 2.0f, 1e-4f);
  EXPECT_NEAR(unit->groupMinLevel[3], -6.0f, 1e-4f);
  EXPECT_NEAR(unit->groupMaxLevel[10], -1.0f, 1e-4f);
  EXPECT_EQ(unit->groupMaxLevel[0], -100.0f);
}

TEST(FilterListTest, AVirtualUnitNumbersNewFiltersApartSoLinksFindTheirHead) {
  auto unit = ovtest::NewVirtual<IQDevice8126>(6);
  TFilter* first = unit->AddFilter(std::make_unique<TParametricFilter>());
  TFilter* second = unit->AddFilter(std::make_unique<TParametricFilter>());
  unit->RemoveFilter(first);
  TFilter* head = unit->AddFilter(std::make_unique<TParametricFilter>());
  EXPECT_NE(head->number, second->number);
  TFilter* member = unit->AddFilter(std::make_unique<TParametricFilter>());
  member->linkNumber = head->number + 1;
  unit->LinkFilters();
  EXPECT_EQ(member->linkHead, head);

  // A number that a link still names is not given out either.
  std::unique_ptr<TFilter> removedHead = unit->RemoveFilter(head);
  const TFilter* added = unit->AddFilter(std::make_unique<TParametricFilter>());
  EXPECT_NE(added->number + 1, member->linkNumber);
  EXPECT_NE(added->number, second->number);
}

struct BusUnitTest : testing::Test {
  ovtest::FamilyBus bus;
  IQ8148Type type;
  int unitIndex = bus.AddUnit(5, 1136, ModelId('8', "1.0", true));
  IQDeviceInfo record{5, 1136, 1, ModelId('8', "1.0", true)};
  IQDevice8148 unit{&type, &bus.manager, &record, 8};
};

TEST_F(BusUnitTest, ListTextShowsTheNameOrTheLock) {
  bus.bus.StoreElement(unitIndex, 0x15, 0, {'S', 't', 'a', 'g', 'e', 0});
  std::string text;
  ASSERT_TRUE(unit.GetListText(text));
  EXPECT_EQ(text, "(5) Stage");
  EXPECT_EQ(unit.GetDisplayName(), "5 (Ordavinex 48) Stage");
  bus.StoreByte(unitIndex, 0x18, 0, 1);
  ASSERT_TRUE(unit.GetListText(text));
  EXPECT_EQ(text, "(5) LOCKED");
}

TEST_F(BusUnitTest, ALockedUnitIsNotRead) {
  bus.StoreByte(unitIndex, 0x18, 0, 1);
  bus.StoreByte(unitIndex, 0x10, 0, kFilterParametric);
  unit.ReadDeviceParameters();
  EXPECT_TRUE(unit.Filters().empty());
  EXPECT_TRUE(unit.parametersReady);
  EXPECT_EQ(bus.TakeTrace(), std::vector<std::string>{"R18"});
}

TEST_F(BusUnitTest, FiltersOnChannelsTheUnitLacksAreReadSafely) {
  bus.StoreByte(unitIndex, 0x10, 0, kFilterLowpass);
  bus.StoreByte(unitIndex, 0x0F, 0, 250);
  bus.StoreLong(unitIndex, 0x13, 1, 0x7FFFFFFF);
  unit.ReadDeviceParameters();
  EXPECT_EQ(unit.Filters().size(), 158u);
  EXPECT_EQ(static_cast<const TLowpassFilter&>(*unit.Filters()[0]).order, 8);
  EXPECT_EQ(unit.totalSections, 4 * 158);
  for (int count : unit.sectionsPerChannel) EXPECT_EQ(count, 0);
  EXPECT_LT(unit.freeSections, 0);
}

TEST_F(BusUnitTest, CrossoversGoToTheirOutputAndStrayOnesAreDropped) {
  bus.StoreByte(unitIndex, 0x10, 0, kFilterLowCrossover);
  bus.StoreByte(unitIndex, 0x0F, 0, 6);
  bus.StoreLong(unitIndex, 0x13, 1, 4);
  bus.StoreLong(unitIndex, 0x13, 2, 3);
  unit.ReadDeviceParameters();
  EXPECT_TRUE(unit.Filters().empty());
  ASSERT_TRUE(unit.LowCrossover(2));
  EXPECT_EQ(unit.LowCrossover(2)->number, 157);
  EXPECT_EQ(unit.LowCrossover(2)->crossoverType, kCrossoverLinkwitzRiley);
  EXPECT_EQ(unit.RecountDspUse(), 188 + 10);

  bus.StoreByte(unitIndex, 0x0F, 0, 2);  // an input: no output slot
  unit.ReadDeviceParameters();
  for (int o = 0; o < 12; ++o) EXPECT_FALSE(unit.LowCrossover(o));
}

TEST_F(BusUnitTest, WaitsForTheReadyFlagAreBounded) {
  auto now = WaitBound::Clock::time_point{};
  unit.SetWaitBound({.limit = std::chrono::seconds(30), .now = [&] {
                       now += std::chrono::seconds(1);
                       return now;
                     }});
  bus.StoreByte(unitIndex, 0x06, 0, 0);
  try {
    gSaveMemoryObject.SaveMemory(unit, 2);
    FAIL() << "the wait did not end";
  } catch (const FlagWaitTimeout& e) {
    EXPECT_EQ(e.GetText(), "Timeout elapsed waiting for device to become ready.");
  }
  const auto trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "W0A 02");
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "R06"), 30);

  bus.StoreByte(unitIndex, 0x06, 0, 1);
  gRecallMemoryObject.RecallMemory(unit, 2);
  EXPECT_EQ(bus.TakeTrace(), (std::vector<std::string>{"W0B 02", "R06"}));
  bus.StoreByte(unitIndex, 0x40, 0, 1);
  EXPECT_THROW(WaitNewSettingsLoaded(unit), FlagWaitTimeout);

  // A poll that outlasts the whole bound (the program stopped while the answer came) does not end
  // the wait: the unit, ready meanwhile, is asked again.
  bus.StoreByte(unitIndex, 0x06, 0, 0);
  bus.TakeTrace();
  unit.SetWaitBound({.limit = std::chrono::seconds(30), .now = [&] {
                       const auto polls = std::ranges::count(bus.TakeTrace(), "R06");
                       if (polls > 0) bus.StoreByte(unitIndex, 0x06, 0, 1);
                       return now += std::chrono::seconds(31) * polls;
                     }});
  EXPECT_NO_THROW(gSaveMemoryObject.SaveMemory(unit, 2));
}

TEST(ModelUnitTest, MemoriesAreStoredOnceTheUnitIsReadyAgain) {
  ovtest::FamilyBus bus;
  IQ8126Type type;
  bus.AddModelUnit(sim::familyov::Model::k8126, 8);
  const IQDeviceInfo record(8, 880, 1, ModelId('6', "1.5", false));
  IQDevice8126 unit(&type, &bus.manager, &record, 6);
  gChannelLevelObject.SetElement(2);
  gChannelLevelObject.Write(unit, -8.0f);
  EXPECT_TRUE(unit.settingsChanged);
  gSaveMemoryObject.SaveMemory(unit, 4);
  EXPECT_FALSE(unit.settingsChanged);
  const auto trace = bus.TakeTrace();
  EXPECT_EQ(trace[1], "W0A 04");
  EXPECT_GE(std::count(trace.begin(), trace.end(), "R06"), 2);
  EXPECT_EQ(trace.back(), "R06");
}

TEST_F(BusUnitTest, ATriggeredLogicInputWaitsForReady) {
  bus.StoreByte(unitIndex, 0x06, 0, 1);
  gCurrentLogicInObject.WriteAndWaitReady(unit, 4);
  EXPECT_EQ(bus.TakeTrace(), (std::vector<std::string>{"W26 04", "R06"}));
}

using sim::familyov::Model;
constexpr int kNewFilter = 0x0D;
constexpr int kNewOrder = 0x22;

// A unit of the model at address 5 on a simulated bus, the program's device for it, and a
// lowpass filter the unit holds.
struct LateAllocationBus {
  explicit LateAllocationBus(Model model) : unitIndex(bus.AddModelUnit(model, 5)) {
    // Found by a roll call, as the program knows its units: a network logic trigger reaches it.
    IQDeviceType* type = model == Model::k8148 ? static_cast<IQDeviceType*>(&type8148) : &type8126;
    unit = &dynamic_cast<IQDeviceOrdavinex&>(*bus.RollCall({type}).at(0));
    first = unit->CreateFilter(Lowpass());
  }
  // A lowpass that a settings file can hold.
  static std::unique_ptr<TLowpassFilter> Lowpass() {
    auto lowpass = std::make_unique<TLowpassFilter>();
    lowpass->frequency = 1000;
    return lowpass;
  }
  // The slots the unit holds, or only those it runs.
  std::vector<int> SlotsHeld(bool running = false) {
    std::vector<int> held;
    bus.bus.WithUnit(unitIndex, [&](sim::Unit& simulated) {
      const auto& records = dynamic_cast<sim::familyov::FamilyOvUnit&>(simulated).Filters();
      for (std::size_t slot = 0; slot < records.Records().size(); ++slot) {
        const auto& record = records.Records()[slot];
        if (record.allocated && (record.active || !running)) {
          held.push_back(static_cast<int>(slot));
        }
      }
    });
    return held;
  }
  std::vector<int> Listed() const {
    std::vector<int> numbers;
    for (const auto& filter : unit->Filters()) numbers.push_back(filter->number);
    std::ranges::sort(numbers);
    return numbers;
  }
  // The first filter's new filter's or new order's read, its answer lost.
  void LoseAllocation(int lateObject) {
    bus.bus.AddFault(sim::Fault::Pause(1).ForObject(lateObject).Times(1));
    if (lateObject == kNewFilter) {
      EXPECT_THROW(unit->CreateFilter(std::make_unique<TLowpassFilter>()), ReadTimeout);
    } else {
      TLowpassFilter steeper;
      steeper.order = 4;
      EXPECT_THROW(first->CopyOnDevice(*unit, steeper), ReadTimeout);
    }
  }

  ovtest::FamilyBus bus;
  IQ8148Type type8148;
  IQ8126Type type8126;
  int unitIndex;
  IQDeviceOrdavinex* unit = nullptr;
  TFilter* first = nullptr;
};

// A read that allocates a slot is never asked twice nor answered late, so a unit that answers it
// late keeps a slot the program never heard of until the program reads its filters again.
TEST(LateAllocationTest, OnceTheUnitAnswersItHoldsNoSlotTheListLacksAndTheNextFilterFits) {
  const struct {
    const char* what;
    Model model;
    int lateObject;
  } rows[] = {{"8148, new filter", Model::k8148, kNewFilter},
              {"8148, new order", Model::k8148, kNewOrder},
              {"2-input, new filter", Model::k8126, kNewFilter},
              {"2-input, new order", Model::k8126, kNewOrder}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    LateAllocationBus late(row.model);
    IQDeviceOrdavinex* unit = late.unit;
    late.LoseAllocation(row.lateObject);
    EXPECT_TRUE(unit->FiltersStale());
    // What the edit window does once the unit answers.
    unit->ReadDeviceParameters();
    EXPECT_FALSE(unit->FiltersStale());
    EXPECT_EQ(late.SlotsHeld(), late.Listed());
    EXPECT_EQ(late.SlotsHeld(true), late.Listed()) << "the unit runs every filter the list shows";

    const TFilter* next = unit->CreateFilter(std::make_unique<TLowpassFilter>());
    EXPECT_EQ(late.SlotsHeld(), late.Listed());
    EXPECT_EQ(next->number, row.lateObject == kNewFilter ? 1 : 0);
    unit->ReadDeviceParameters();
    EXPECT_EQ(unit->Filters().size(), 2u);
  }
}

// Whatever the unit answers to the clean-up's own commands, the read that makes them is whole and
// ends the doubt; a lost order change gets one create, sent only to the filter it moved.
TEST(LateAllocationTest, TheCleanUpNeitherFailsNorRepeatsTheReadAndStartsOnlyTheMovedFilter) {
  constexpr int kDeleteFilter = 0x0E;
  constexpr int kFilterCommand = 0x14;
  constexpr int kFilterType = 0x10;
  const auto refused = [](int id, int opcode) {
    return sim::Fault::ErrorObject(7).ForObject(id).ForOpcode(opcode);
  };
  // What replaces every filter of the unit while it is in doubt: memory 1 (the first lowpass in
  // its slot, a second beside it), or the settings with the first slot empty and the second
  // lowpass where the unit moves the first one to, from memory 2 (recalled, or brought by logic
  // input 1 fired from its logic window or the network), a file or another unit. A recall the
  // unit never heard, and a logic input fired that recalls no memory, replace nothing.
  enum class Replaced {
    kNothing,
    kRecall,
    kRecallMovedSlotEmpty,
    kTriggerNow,
    kTriggerNowNoMemory,
    kNetworkTrigger,
    kRecallUnheard,
    kFile,
    kCopy
  };
  const struct {
    const char* what;
    int lateObject;
    std::optional<sim::Fault> fault;
    Replaced replaced;
    // Whether the read fails once (and is made again), and the creates it sends.
    bool fails;
    int creates;
  } rows[] = {
      {"refused delete, new filter", kNewFilter, refused(kDeleteFilter, sim::kOpcodeSet),
       Replaced::kNothing, false, 0},
      {"refused delete, new order", kNewOrder, refused(kDeleteFilter, sim::kOpcodeSet),
       Replaced::kNothing, false, 1},
      {"unanswered delete", kNewFilter, sim::Fault::Pause(1).ForObject(kDeleteFilter).Times(1),
       Replaced::kNothing, false, 0},
      {"refused create", kNewOrder, refused(kFilterCommand, sim::kOpcodeSet), Replaced::kNothing,
       false, 1},
      // The moved filter's slot is the second; the third slot's type is the fourth read.
      {"type read refused after the moved filter's", kNewOrder,
       refused(kFilterType, sim::kOpcodeGet).OnOccurrence(4), Replaced::kNothing, true, 1},
      {"memory recalled in doubt", kNewOrder, std::nullopt, Replaced::kRecall, false, 0},
      {"memory recalled in doubt, the moved filter's slot empty", kNewOrder, std::nullopt,
       Replaced::kRecallMovedSlotEmpty, false, 0},
      {"logic input fired now in doubt", kNewOrder, std::nullopt, Replaced::kTriggerNow, false, 0},
      {"logic input that recalls no memory fired now in doubt", kNewOrder, std::nullopt,
       Replaced::kTriggerNowNoMemory, false, 1},
      // The 8148 does not listen at the network address: its moved filter is still started.
      {"network logic trigger in doubt", kNewOrder, std::nullopt, Replaced::kNetworkTrigger, false,
       0},
      {"recall unheard in doubt", kNewOrder, std::nullopt, Replaced::kRecallUnheard, false, 1},
      {"file loaded in doubt", kNewOrder, std::nullopt, Replaced::kFile, false, 0},
      {"copy made in doubt", kNewOrder, std::nullopt, Replaced::kCopy, false, 0},
  };
  for (const Model model : {Model::k8148, Model::k8126}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(model == Model::k8148 ? "8148, " : "2-input, ") + row.what);
      LateAllocationBus late(model);
      IQDeviceOrdavinex* unit = late.unit;
      // Memory 1 holds a second lowpass of the same channel, in the slot the unit moves the first
      // one to for its new order.
      TFilter* second = unit->CreateFilter(late.Lowpass());
      gSaveMemoryObject.SaveMemory(*unit, 1);
      unit->RemoveFilter(late.first);
      gSaveMemoryObject.SaveMemory(*unit, 2);
      const QTemporaryDir folder;
      const std::string path = folder.filePath("second only.ov2").toStdString();
      if (row.replaced == Replaced::kFile) {
        SettingsTextFile file;
        ASSERT_TRUE(file.Open(path, SettingsTextFile::kWrite));
        WriteSettingsFile(*unit, file, nullptr);
        ASSERT_TRUE(file.Close());
      }
      late.first = unit->CreateFilter(late.Lowpass());
      unit->RemoveFilter(second);
      ASSERT_EQ(late.SlotsHeld(), std::vector<int>{0});

      late.LoseAllocation(row.lateObject);
      switch (row.replaced) {
        case Replaced::kNothing:
          break;
        case Replaced::kRecall:
        case Replaced::kRecallMovedSlotEmpty:
          gRecallMemoryObject.RecallMemory(*unit, row.replaced == Replaced::kRecall ? 1 : 2);
          break;
        case Replaced::kTriggerNow:
        case Replaced::kTriggerNowNoMemory:
        case Replaced::kNetworkTrigger:
          gLogicMemoryObject.SetElement(1);
          gLogicMemoryObject.Write(*unit, row.replaced == Replaced::kTriggerNowNoMemory ? 0 : 2);
          if (row.replaced != Replaced::kNetworkTrigger) {
            gCurrentLogicInObject.WriteAndWaitReady(*unit, 1);
          } else {
            EXPECT_EQ(SendNetworkLogicTrigger(&late.type8126, &late.bus.manager, 1),
                      model != Model::k8148);
          }
          break;
        case Replaced::kRecallUnheard:
          late.bus.bus.AddFault(sim::Fault::Unheard().ForObject(kRecallMemoryId).Times(1));
          EXPECT_THROW(gRecallMemoryObject.RecallMemory(*unit, 2), ReadTimeout);
          break;
        case Replaced::kFile: {
          SettingsTextFile file;
          ASSERT_TRUE(file.Open(path, SettingsTextFile::kRead));
          ASSERT_EQ(ReadSettingsFile(
                        *unit, file, [](const std::string&) { return true; }, nullptr),
                    LoadResult::kLoaded);
          break;
        }
        case Replaced::kCopy: {
          LateAllocationBus source(model);
          source.unit->CreateFilter(source.Lowpass());
          source.unit->RemoveFilter(source.first);
          CopyDeviceSettings(*unit, *source.unit);
          break;
        }
      }
      if (row.fault) late.bus.bus.AddFault(*row.fault);
      late.bus.TakeTrace();

      if (row.fails) {
        EXPECT_THROW(unit->ReadDeviceParameters(), ErrorObject);
      } else {
        EXPECT_NO_THROW(unit->ReadDeviceParameters());
      }
      EXPECT_FALSE(unit->FiltersStale());
      const std::vector<std::string> trace = late.bus.TakeTrace();
      EXPECT_EQ(std::ranges::count(trace, "R18"), row.fails ? 2 : 1) << "reads made";
      const bool unheard = row.replaced == Replaced::kNetworkTrigger && model == Model::k8148;
      EXPECT_EQ(std::ranges::count(trace, "W14 00"), unheard ? 1 : row.creates) << "creates";
      if (row.replaced != Replaced::kNothing) {
        EXPECT_EQ(late.SlotsHeld(true), late.Listed()) << "the recalled filters run";
      }

      // The device has left doubt: the next read neither deletes nor creates.
      late.bus.bus.ClearFaults();
      unit->ReadDeviceParameters();
      using testing::StartsWith;
      EXPECT_THAT(
          late.bus.TakeTrace(),
          testing::Each(testing::Not(testing::AnyOf(StartsWith("W0E"), StartsWith("W14")))));
    }
  }
}

}  // namespace
}  // namespace namespaceOV
