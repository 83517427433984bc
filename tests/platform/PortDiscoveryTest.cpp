#include <gtest/gtest.h>

#include "platform/serial/PortDiscovery.h"
#include "tests/platform/TempDir.h"

namespace serial {
namespace {

using testing_support::TempDir;

// A sysfs tty tree shaped like the kernel's: class entries whose `device` link leads into the
// device hierarchy, with the USB device some levels above the tty.
class FakeSysfs {
 public:
  explicit FakeSysfs(const TempDir& dir) : dir_(dir) {}

  void AddUsbTty(const std::string& tty, const std::string& usbDevice, const std::string& vendor,
                 const std::string& product, const std::string& serial) {
    const std::string usb = "sys/devices/pci0000:00/usb1/" + usbDevice;
    dir_.WriteFile(usb + "/idVendor", vendor + "\n");
    dir_.WriteFile(usb + "/idProduct", product + "\n");
    dir_.WriteFile(usb + "/serial", serial + "\n");
    const std::string port = usb + "/" + usbDevice + ":1.0/" + tty;
    dir_.WriteFile(port + "/uevent", "");
    dir_.Link("sys/class/tty/" + tty + "/device", "../../../" + port.substr(4));
  }
  void AddLegacyTty(const std::string& tty, const std::string& type) {
    dir_.WriteFile("sys/devices/platform/serial8250/uevent", "");
    dir_.WriteFile("sys/class/tty/" + tty + "/type", type + "\n");
    dir_.Link("sys/class/tty/" + tty + "/device", "../../../devices/platform/serial8250");
  }
  void AddVirtualTty(const std::string& tty) {
    dir_.WriteFile("sys/class/tty/" + tty + "/dev", "");
  }
  void AddStableName(const std::string& name, const std::string& tty) {
    dir_.Link("dev/serial/by-id/" + name, "../../" + tty);
  }
  DiscoveryRoots Roots() const { return {dir_.Path() / "sys/class/tty", dir_.Path() / "dev"}; }

 private:
  const TempDir& dir_;
};

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
