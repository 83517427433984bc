#include <gtest/gtest.h>

#include "platform/serial/PortDiscovery.h"
#include "tests/platform/FakeSysfs.h"
#include "tests/platform/TempDir.h"

namespace serial {
namespace {

using testing_support::FakeSysfs;
using testing_support::TempDir;

TEST(PortDiscoveryTest, FindsDeviceBackedTtysWithTheirUsbIdentity) {
  TempDir dir;
  FakeSysfs sysfs(dir);
  sysfs.AddUsbTty("ttyUSB1", "1-2", "067b", "2303", "");
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403", "6001", "A50285BI");
  sysfs.AddStableName("usb-Maker_Cable_A50285BI-if00-port0", "ttyUSB0");
  sysfs.AddLegacyTty("ttyS10", "4");
  sysfs.AddLegacyTty("ttyS2", "4");
  sysfs.AddLegacyTty("ttyS0", "4");
  sysfs.AddLegacyTty("ttyS1", "0");  // phantom
  sysfs.AddVirtualTty("tty0");
  sysfs.AddVirtualTty("ptmx");
  dir.Link("sys/class/tty/ttyACM0/device", "../../../devices/gone");  // dangling

  const std::vector<DiscoveredPort> ports = DiscoverPorts(sysfs.Roots());

  std::vector<std::string> names;
  for (const DiscoveredPort& port : ports) names.push_back(port.ttyName);
  EXPECT_EQ(names, (std::vector<std::string>{"ttyS0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1"}));

  const DiscoveredPort& cable = ports[3];
  ASSERT_TRUE(cable.usb.has_value());
  EXPECT_TRUE(cable.usb->IsMakersCable());
  EXPECT_EQ(cable.usb->serialNumber, "A50285BI");
  EXPECT_EQ(cable.devicePath,
            (dir.Path() / "dev/serial/by-id/usb-Maker_Cable_A50285BI-if00-port0").string());

  const DiscoveredPort& other = ports[4];
  ASSERT_TRUE(other.usb.has_value());
  EXPECT_FALSE(other.usb->IsMakersCable());
  EXPECT_EQ(other.usb->vendorId, "067b");
  EXPECT_EQ(other.devicePath, (dir.Path() / "dev/ttyUSB1").string());

  EXPECT_FALSE(ports[0].usb.has_value());
  EXPECT_EQ(ports[0].devicePath, (dir.Path() / "dev/ttyS0").string());
}

// The COM number table keys a port by what stays with the adapter when it is plugged in again.
TEST(PortDiscoveryTest, EachPortIsNumberedByWhatStaysWithItsAdapter) {
  TempDir dir;
  FakeSysfs sysfs(dir);
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403", "6001", "A50285BI");
  sysfs.AddStableName("usb-Maker_Cable_A50285BI-if00-port0", "ttyUSB0");
  sysfs.AddUsbTty("ttyUSB1", "1-2", "0403", "6001", "FT9Z1");
  sysfs.AddUsbTty("ttyUSB2", "1-3", "067b", "2303", "");
  // Two adapters sold with the same serial number.
  sysfs.AddUsbTty("ttyUSB3", "1-4", "1a86", "7523", "0001");
  sysfs.AddUsbTty("ttyUSB4", "1-5", "1a86", "7523", "0001");
  sysfs.AddLegacyTty("ttyS0", "4");

  std::vector<std::string> keys;
  for (const DiscoveredPort& port : DiscoverPorts(sysfs.Roots())) keys.push_back(port.numberKey);
  const std::string dev = (dir.Path() / "dev").string();
  EXPECT_EQ(keys, (std::vector<std::string>{
                      dev + "/ttyS0", dev + "/serial/by-id/usb-Maker_Cable_A50285BI-if00-port0",
                      "usb-serial:0403:6001:FT9Z1", dev + "/ttyUSB2", "usb-serial:1a86:7523:0001",
                      dev + "/ttyUSB4"}));

  EXPECT_EQ(DevicePathFor("usb-serial:0403:6001:FT9Z1", sysfs.Roots()), dev + "/ttyUSB1");
  EXPECT_EQ(DevicePathFor(dev + "/ttyS0", sysfs.Roots()), dev + "/ttyS0");
  EXPECT_EQ(DevicePathFor("/dev/pts/4", sysfs.Roots()), "/dev/pts/4") << "a terminal entered";
  sysfs.Unplug("ttyUSB1");
  EXPECT_EQ(DevicePathFor("usb-serial:0403:6001:FT9Z1", sysfs.Roots()), std::nullopt);
  sysfs.AddUsbTty("ttyUSB7", "1-2", "0403", "6001", "FT9Z1");
  EXPECT_EQ(DevicePathFor("usb-serial:0403:6001:FT9Z1", sysfs.Roots()), dev + "/ttyUSB7");
}

TEST(PortDiscoveryTest, MissingOrEmptyTreesGiveNoPorts) {
  TempDir dir;
  EXPECT_TRUE(DiscoverPorts({dir.Path() / "nowhere", dir.Path() / "nodev"}).empty());
  dir.WriteFile("sys/class/tty/.keep", "");
  EXPECT_TRUE(DiscoverPorts({dir.Path() / "sys/class/tty", dir.Path() / "dev"}).empty());
}

TEST(PortDiscoveryTest, OnlyTheMakersVendorAndProductMarkTheCable) {
  EXPECT_TRUE((UsbIdentity{"0403", "6001", ""}.IsMakersCable()));
  EXPECT_FALSE((UsbIdentity{"0403", "6010", "x"}.IsMakersCable()));
  EXPECT_FALSE((UsbIdentity{"0404", "6001", "x"}.IsMakersCable()));
  EXPECT_FALSE((UsbIdentity{"04030", "6001", "x"}.IsMakersCable()));
}

}  // namespace
}  // namespace serial
