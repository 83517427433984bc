#include <gtest/gtest.h>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "tests/bus/BusTestSupport.h"

namespace {

struct DeviceManagerTest : testing::Test {
  CommPort port{1, kBusBaudRate, bustest::ScriptedLines(std::make_shared<bustest::LineScript>())};
  IQDeviceManager manager{port};
  bustest::TestDeviceType type{368, "Test"};
};

TEST_F(DeviceManagerTest, NewVirtualDevicesTakeTheLowestFreeNumber) {
  IQDevice* first = manager.NewVirtualDevice(&type);
  IQDevice* second = manager.NewVirtualDevice(&type);
  EXPECT_EQ(first->GetName(), "New Device #1");
  EXPECT_EQ(second->GetName(), "New Device #2");
  EXPECT_EQ(manager.FindDevice(type.GetTemplate(), "New Device #2"), second);
  EXPECT_TRUE(manager.DeleteDevice(first));
  EXPECT_EQ(manager.NewVirtualDevice(&type)->GetName(), "New Device #1");
}

TEST_F(DeviceManagerTest, DevicesInUseCannotBeAcquiredAgainOrDeleted) {
  IQDevice* device = manager.NewVirtualDevice(&type);
  EXPECT_EQ(manager.Acquire(device), device);
  EXPECT_EQ(manager.Acquire(device), nullptr);
  EXPECT_TRUE(manager.AnyVirtualInUse());
  EXPECT_FALSE(manager.AnyBusInUse());
  EXPECT_FALSE(manager.DeleteDevice(device));
  device->Close();
  EXPECT_EQ(manager.Acquire(device), device);
  manager.Release(device);
  EXPECT_TRUE(manager.DeleteDevice(device));
  EXPECT_FALSE(manager.DeleteDevice(device));
}

TEST_F(DeviceManagerTest, OnlyModifiedVirtualDevicesAreUnsaved) {
  manager.NewVirtualDevice(&type);
  EXPECT_FALSE(manager.AnyUnsaved());
  manager.Devices()[0]->SetModified(true);
  EXPECT_TRUE(manager.AnyUnsaved());
  manager.RemoveAll();
  EXPECT_TRUE(manager.Devices().empty());
}

TEST(IQDevice, NamesAndMatching) {
  bustest::TestDeviceType type{368, "Test"};
  const IQDeviceInfo info{12, 368, 2};
  bustest::TestDevice unit(&type, nullptr, &info);
  EXPECT_EQ(unit.GetName(), "12");
  EXPECT_TRUE(unit.Matches(info));
  EXPECT_FALSE(unit.Matches(IQDeviceInfo{12, 368, 1}));
  EXPECT_TRUE(unit.MatchesInfoOrName(IQDeviceInfo{12, 368, 1}, ""));
  EXPECT_EQ(unit.GetErrorText(7), "Error object code 7");
  bustest::TestDevice offline(&type, nullptr, nullptr);
  EXPECT_EQ(offline.GetName(), "");
  EXPECT_FALSE(offline.IsOnline());
}

}  // namespace
