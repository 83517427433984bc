#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "sim/SimulatedBus.h"
#include "sim/family8100/Family8100Unit.h"
#include "tests/bus/BusTestSupport.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

using namespace namespace8100;
using sim::family8100::Model;
using testsupport8100::OlderFamilyBus;
using testsupport8100::OnlyUnit;

TEST(OlderFamilyRollCallTest, EachModelIsCreatedByItsOwnTypeWithItsListText) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kBase, .address = 2, .unitName = "Left"});
  sim::family8100::AddFamily8100Unit(bus.bus,
                                     {.model = Model::kPlus, .address = 3, .unitName = "Fill"});
  sim::family8100::AddFamily8100Unit(
      bus.bus, {.model = Model::kX, .address = 4, .firmware = "1.0", .unitName = "Sub"});
  const int locked =
      sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kRuneTide, .address = 5});
  bus.bus.StoreElement(locked, sim::family8100::kLockedId, 0, {1});
  // A unit of the newer family: no type of this family creates it.
  bus.bus.AddGenericUnit({.address = 6, .family = 880},
                         {{.id = 28}, {.id = 25, .elementSize = 15}});

  std::vector<std::string> seen;
  for (IQDevice* device : bus.RollCall()) {
    std::string text;
    ASSERT_TRUE(device->GetListText(text));
    seen.push_back(device->GetType()->GetName() + " " +
                   std::to_string(dynamic_cast<IQDevice8100&>(*device).TypeCode()) + " " + text);
    EXPECT_EQ(dynamic_cast<IQDevice8100X*>(device) != nullptr, device->GetInfo().address == 4);
    // Firmware before 1.1 deletes filters one at a time.
    EXPECT_EQ(dynamic_cast<IQDevice8100&>(*device).DeletesAllAtOnce(),
              device->GetInfo().address != 4);
  }
  EXPECT_THAT(seen, testing::UnorderedElementsAre(
                        "Ordavinex 368 (2) Left", "Ordavinex+ 496 (3) Fill",
                        "Ordavinex X 624 (4) Sub", "Ordavinex Rune Tide 752 (5) LOCKED"));
  EXPECT_TRUE(bus.notifier.messages.empty());
}

TEST(OlderFamilyReadyWaitTest, WritesWaitUntilTheUnitIsReadyAndTheWaitIsBounded) {
  OlderFamilyBus bus;
  const int index = sim::family8100::AddFamily8100Unit(bus.bus, {.address = 2, .busyPolls = 2});
  auto unit = OnlyUnit(bus);
  g8100LeftMute.Write(*unit, true);
  g8100RightMute.Write(*unit, true);
  EXPECT_THAT(bus.TakeTrace(),
              testing::ElementsAre("R06", "W0A 01", "R06", "R06", "R06", "W09 01"));

  // A unit that never gets ready: the count bounds the wait and nothing is written.
  bus.bus.StoreElement(index, sim::family8100::kReadyId, 0, {0});
  bus.TakeTrace();
  ReadyBound byCount;
  byCount.maxPolls = 4;
  unit->SetReadyBound(byCount);
  EXPECT_THROW(g8100LeftAttenuation.Write(*unit, 3), NotReadyTimeout);
  EXPECT_THAT(bus.TakeTrace(), testing::ElementsAre("R06", "R06", "R06", "R06"));

  // So does the time, and the progress it reports reaches the end.
  ReadyBound byTime;
  auto clock = ReadyBound::Clock::time_point{};
  byTime.now = [&clock] { return clock += std::chrono::seconds(1); };
  byTime.limit = std::chrono::seconds(3);
  std::vector<double> progress;
  byTime.onPoll = [&progress](double passed) { progress.push_back(passed); };
  unit->SetReadyBound(byTime);
  EXPECT_THROW(g8100LeftAttenuation.Write(*unit, 3), NotReadyTimeout);
  EXPECT_THAT(progress, testing::ElementsAre(testing::DoubleNear(1.0 / 3, 1e-9),
                                             testing::DoubleNear(2.0 / 3, 1e-9), 1.0));
}

TEST(OlderFamilyDeviceTest, VirtualUnitsKeepTheirModelsDefaultsWithoutAnyBus) {
  IQDevice8100 base(nullptr, nullptr, nullptr);
  IQDevice8100X x(nullptr, nullptr, nullptr);
  IQDevice8100RT runeTide(nullptr, nullptr, nullptr);
  EXPECT_EQ(g8100Routing.Read(base), 0x01000001u);
  EXPECT_EQ(g8100Routing.Read(x), 0x00010001u);
  EXPECT_EQ(g8100LeftThreshold.Read(x), 262765u);
  EXPECT_FLOAT_EQ(g8100RightNoiseLevel.Read(runeTide), -40.0F);
  EXPECT_TRUE(g8100Ready.Read(base));
  EXPECT_TRUE(x.HasLimiter() && x.HasDelay() && !x.HasNoise());
  EXPECT_TRUE(runeTide.HasNoise() && !runeTide.HasDelay());
  EXPECT_FALSE(base.IsModified());
  std::string text;
  EXPECT_FALSE(base.GetListText(text));
  // The newer family's code at the same address is this device too; another address is not.
  EXPECT_TRUE(base.Matches(IQDeviceInfo(255, 880, 1)));
  EXPECT_FALSE(base.Matches(IQDeviceInfo(255, 1136, 1)));
  EXPECT_FALSE(base.Matches(IQDeviceInfo(3, 368, 1)));
}

TEST(OlderFamilyDeviceTest, ErrorCodesFromTheUnitNeverIndexPastTheTable) {
  IQDevice8100 device(nullptr, nullptr, nullptr);
  EXPECT_EQ(device.GetErrorText(0), "Invalid Object ID");
  EXPECT_EQ(device.GetErrorText(15), "Code 15");
  for (int hostile : {-1, 16, 255, INT_MIN, INT_MAX}) {
    EXPECT_EQ(device.GetErrorText(hostile), "Unknown error code " + std::to_string(hostile));
  }
}

// After a failure that has been reported, the unit is read again without a word: a unit that
// refuses the read is asked again, one that keeps refusing is left as far as it was read, and the
// views hear of it once either way.
TEST(OlderFamilyDeviceTest, AReadAfterAFailureAsksAgainQuietlyAndAnnouncesOnce) {
  OlderFamilyBus bus;
  sim::family8100::AddFamily8100Unit(bus.bus, {.address = 4});
  IQDevice8100* unit = OnlyUnit(bus);
  testsupport8100::AddFilter(*unit, testsupport8100::Made<TParametricFilter>(kLeftInputBank, 700));
  testsupport8100::AddFilter(*unit, testsupport8100::Made<THighpassFilter>(kRightInputBank, 90));
  const std::vector<std::string> held = testsupport8100::Described(*unit);
  int announced = 0;
  const auto listening = unit->filterSetNotice.Listen([&announced] { ++announced; });
  const auto typeReadRefused =
      sim::Fault::ErrorObject(7).ForObject(g8100FilterType.GetId()).ForOpcode(sim::kOpcodeGet);

  bus.bus.AddFault(typeReadRefused.OnOccurrence(2).Times(2));
  unit->ReadAgainQuietly();
  EXPECT_EQ(testsupport8100::Described(*unit), held);
  EXPECT_EQ(announced, 1);

  bus.bus.ClearFaults();
  bus.bus.AddFault(typeReadRefused.Times(sim::Fault::kForever));
  announced = 0;
  EXPECT_NO_THROW(unit->ReadAgainQuietly());
  EXPECT_EQ(announced, 1);
  bus.bus.ClearFaults();
}
