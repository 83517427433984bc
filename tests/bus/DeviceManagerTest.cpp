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

}  // namespace
