#include "tests/platform/FakeSysfs.h"

namespace testing_support {

void FakeSysfs::AddUsbTty(const std::string& tty, const std::string& usbDevice,
                          const std::string& vendor, const std::string& product,
                          const std::string& serial) const {
  const std::string usb = "devices/pci0000:00/usb1/" + usbDevice;
  dir_.WriteFile("sys/" + usb + "/idVendor", vendor + "\n");
  dir_.WriteFile("sys/" + usb + "/idProduct", product + "\n");
  dir_.WriteFile("sys/" + usb + "/serial", serial + "\n");
  const std::string port = usb + "/" + usbDevice + ":1.0/" + tty;
  dir_.WriteFile("sys/" + port + "/uevent", "");
  dir_.Link("sys/class/tty/" + tty + "/device", "../../../" + port);
}

void FakeSysfs::AddLegacyTty(const std::string& tty, const std::string& type) const {
  dir_.WriteFile("sys/devices/platform/serial8250/uevent", "");
  dir_.WriteFile("sys/class/tty/" + tty + "/type", type + "\n");
  dir_.Link("sys/class/tty/" + tty + "/device", "../../../devices/platform/serial8250");
}

void FakeSysfs::AddVirtualTty(const std::string& tty) const {
  dir_.WriteFile("sys/class/tty/" + tty + "/dev", "");
}

void FakeSysfs::AddStableName(const std::string& name, const std::string& tty) const {
  dir_.Link("dev/serial/by-id/" + name, "../../" + tty);
}

void FakeSysfs::Unplug(const std::string& tty) const {
  std::filesystem::remove_all(dir_.Path() / "sys/class/tty" / tty);
}

serial::DiscoveryRoots FakeSysfs::Roots() const {
  return {dir_.Path() / "sys/class/tty", dir_.Path() / "dev"};
}

}  // namespace testing_support
