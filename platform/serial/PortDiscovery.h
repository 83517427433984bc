#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace serial {

// What the USB device above a tty says of itself.
struct UsbIdentity {
  std::string vendorId;   // four hex digits as sysfs writes them, e.g. "0403"
  std::string productId;  // e.g. "6001"
  std::string serialNumber;

  // The USB-serial converter of the maker's cable.
  bool IsMakersCable() const;
};

struct DiscoveredPort {
  std::string ttyName;     // "ttyUSB0"
  std::string devicePath;  // the stable /dev/serial/by-id name where there is one, else /dev/<tty>
  std::optional<UsbIdentity> usb;
  // What the COM number table keeps the port's number under, so that an adapter plugged back in
  // gets its number back: the device path where it is stable; else, for a USB adapter with a
  // serial number, that number with the vendor and product (the adapter may come back as another
  // tty); else the device path.
  std::string numberKey;
};

// Where discovery looks; tests point both at a fake tree.
struct DiscoveryRoots {
  std::filesystem::path sysClassTty = "/sys/class/tty";
  std::filesystem::path dev = "/dev";
};

// Every tty backed by a device, phantom legacy ports left out, in natural name order (ttyS2
// before ttyS10). Unreadable entries are skipped; a missing root gives no ports.
std::vector<DiscoveredPort> DiscoverPorts(const DiscoveryRoots& roots = {});

// The device path a COM number table key stands for now: an adapter's identity is looked up
// among the ports discovered (none when it is not plugged in); any other key is a device path.
std::optional<std::string> DevicePathFor(const std::string& numberKey,
                                         const DiscoveryRoots& roots = {});

}  // namespace serial
