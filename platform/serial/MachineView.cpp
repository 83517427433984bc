#include "platform/serial/MachineView.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

namespace serial {

namespace {

constexpr const char* kCableKey = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+";
constexpr const char* kSerialMapKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string ComName(int number) { return "COM" + std::to_string(number); }

std::string InstanceName(std::size_t index) {
  char name[16];
  std::snprintf(name, sizeof name, "%04zu", index);
  return name;
}

// A key name holds no backslash; a serial number could.
std::string KeyNameSafe(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '_');
  return text;
}

struct NumberedPort {
  int number;
  std::string devicePath;
  std::string numberKey;
};

}  // namespace

MachineView::MachineView(DiscoveryRoots roots, ComNumberTable& numbers)
    : roots_(std::move(roots)), numbers_(numbers) {
  store_.SetReadOnly(true);
}

registry::Key MachineView::Refresh() {
  std::vector<NumberedPort> serialPorts;
  store_.SetReadOnly(false);
  store_.Clear();
  registry::Key root = store_.Root();
  for (const DiscoveredPort& port : DiscoverPorts(roots_)) {
    std::optional<int> number = numbers_.NumberFor(port.numberKey);
    if (!number) continue;
    serialPorts.push_back({*number, port.devicePath, port.numberKey});
    if (!port.usb || !port.usb->IsMakersCable()) continue;
    const std::string& serialNumber = port.usb->serialNumber;
    registry::Key cable = root.OpenSubKey(
        kCableKey + KeyNameSafe(serialNumber.empty() ? port.ttyName : serialNumber), true);
    cable.OpenSubKey(InstanceName(cable.SubKeyNames().size()) + "\\Device Parameters", true)
        .SetString("PortName", ComName(*number));
  }
  for (const auto& [key, number] : numbers_.Entries()) {
    bool listed =
        std::ranges::find(serialPorts, key, &NumberedPort::numberKey) != serialPorts.end();
    // An adapter's identity that was not discovered is unplugged; a path is a terminal entered.
    std::error_code error;
    if (!listed && std::filesystem::exists(key, error)) serialPorts.push_back({number, key, key});
  }
  // The port list reads these values from the last one back, so descending numbers list the
  // ports in rising order.
  std::sort(serialPorts.begin(), serialPorts.end(),
            [](const NumberedPort& a, const NumberedPort& b) { return a.number > b.number; });
  registry::Key serialMap = root.OpenSubKey(kSerialMapKey, true);
  for (const NumberedPort& port : serialPorts)
    serialMap.SetString(port.devicePath, ComName(port.number));
  store_.SetReadOnly(true);
  return root;
}

ComPathLookup ComPathsOf(const ComNumberTable& numbers, DiscoveryRoots roots) {
  return [&numbers, roots = std::move(roots)](int number) -> std::optional<std::string> {
    std::optional<std::string> key = numbers.PathOf(number);
    if (!key) return std::nullopt;
    return DevicePathFor(*key, roots);
  };
}

}  // namespace serial
