#include "platform/serial/PortDiscovery.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <tuple>

namespace serial {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxAttributeBytes = 256;
// The USB device sits a few levels above the tty's device (interface, usb-serial port, ...).
constexpr int kMaxLevelsToUsbDevice = 6;

std::optional<std::string> ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kMaxAttributeBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// A legacy UART the kernel registers whether or not the chip exists reports type 0.
bool IsPhantomLegacyPort(const std::string& ttyName, const fs::path& ttyDir) {
  if (!ttyName.starts_with("ttyS")) return false;
  std::optional<std::string> type = ReadAttribute(ttyDir / "type");
  return type && *type == "0";
}

std::optional<UsbIdentity> UsbIdentityAbove(const fs::path& deviceLink) {
  std::error_code error;
  fs::path dir = fs::canonical(deviceLink, error);
  if (error) return std::nullopt;
  for (int level = 0; level < kMaxLevelsToUsbDevice && dir.has_relative_path(); ++level) {
    std::optional<std::string> vendor = ReadAttribute(dir / "idVendor");
    std::optional<std::string> product = ReadAttribute(dir / "idProduct");
    if (vendor && product) {
      return UsbIdentity{*vendor, *product, ReadAttribute(dir / "serial").value_or("")};
    }
    dir = dir.parent_path();
  }
  return std::nullopt;
}

// tty name -> its /dev/serial/by-id link.
std::map<std::string, std::string> StableNames(const fs::path& dev) {
  std::map<std::string, std::string> names;
  std::error_code error;
  for (const fs::directory_entry& link : fs::directory_iterator(dev / "serial" / "by-id", error)) {
    std::error_code linkError;
    fs::path target = fs::read_symlink(link.path(), linkError);
    if (linkError) continue;
    names.emplace(target.filename().string(), link.path().string());
  }
  return names;
}

constexpr std::string_view kUsbIdentityKeyPrefix = "usb-serial:";

std::string UsbIdentityKey(const UsbIdentity& usb) {
  return std::string(kUsbIdentityKeyPrefix) + usb.vendorId + ":" + usb.productId + ":" +
         usb.serialNumber;
}

// "ttyS10" -> ("ttyS", 10), so that numbered names sort by number.
std::tuple<std::string, unsigned long, std::string> NaturalKey(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
  std::string suffix = name.substr(digits).substr(0, 9);
  return {name.substr(0, digits), suffix.empty() ? 0 : std::stoul(suffix), name};
}

}  // namespace

bool UsbIdentity::IsMakersCable() const {
  auto same = [](const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) ==
             std::tolower(static_cast<unsigned char>(y));
    });
  };
  return same(vendorId, "0403") && same(productId, "6001");
}

std::vector<DiscoveredPort> DiscoverPorts(const DiscoveryRoots& roots) {
  std::vector<DiscoveredPort> ports;
  const std::map<std::string, std::string> stableNames = StableNames(roots.dev);
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(roots.sysClassTty, error)) {
    const std::string ttyName = entry.path().filename().string();
    const fs::path deviceLink = entry.path() / "device";
    std::error_code linkError;
    if (!fs::exists(deviceLink, linkError) || IsPhantomLegacyPort(ttyName, entry.path())) continue;

    DiscoveredPort port{ttyName, (roots.dev / ttyName).string(), UsbIdentityAbove(deviceLink)};
    port.numberKey = port.devicePath;
    if (auto stable = stableNames.find(ttyName); stable != stableNames.end()) {
      port.devicePath = port.numberKey = stable->second;
    } else if (port.usb && !port.usb->serialNumber.empty()) {
      port.numberKey = UsbIdentityKey(*port.usb);
    }
    ports.push_back(std::move(port));
  }
  std::sort(ports.begin(), ports.end(), [](const DiscoveredPort& a, const DiscoveredPort& b) {
    return NaturalKey(a.ttyName) < NaturalKey(b.ttyName);
  });
  // Adapters sold with one serial number for all would share a COM number; all but the first
  // are known by their paths.
  std::set<std::string> keys;
  for (DiscoveredPort& port : ports) {
    if (!keys.insert(port.numberKey).second) port.numberKey = port.devicePath;
  }
  return ports;
}

std::optional<std::string> DevicePathFor(const std::string& numberKey,
                                         const DiscoveryRoots& roots) {
  if (!numberKey.starts_with(kUsbIdentityKeyPrefix)) return numberKey;
  for (const DiscoveredPort& port : DiscoverPorts(roots)) {
    if (port.numberKey == numberKey) return port.devicePath;
  }
  return std::nullopt;
}

}  // namespace serial
