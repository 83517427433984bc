#pragma once

#include <string>

#include "platform/serial/PortDiscovery.h"
#include "tests/platform/TempDir.h"

namespace testing_support {

// A sysfs tty tree (and /dev/serial/by-id) in a temporary folder, shaped like the kernel's: class
// entries whose `device` link leads into the device hierarchy, with the USB device some levels
// above the tty.
class FakeSysfs {
 public:
  explicit FakeSysfs(const TempDir& dir) : dir_(dir) {}

  void AddUsbTty(const std::string& tty, const std::string& usbDevice, const std::string& vendor,
                 const std::string& product, const std::string& serial) const;
  // A legacy UART; type "0" marks one the kernel registers though no chip is there.
  void AddLegacyTty(const std::string& tty, const std::string& type) const;
  // A tty with no device behind it (a virtual console, say).
  void AddVirtualTty(const std::string& tty) const;
  void AddStableName(const std::string& name, const std::string& tty) const;
  void Unplug(const std::string& tty) const;
  serial::DiscoveryRoots Roots() const;

 private:
  const TempDir& dir_;
};

}  // namespace testing_support
