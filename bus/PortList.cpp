#include "bus/PortList.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "bus/CommPort.h"
#include "platform/serial/UserPorts.h"

namespace {

constexpr char kUsbAdaptersPath[] = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
constexpr char kSerialMapPath[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// Vendor and product of the USB-serial converter in the maker's cable.
constexpr std::string_view kMakersCableId = "VID_0403+PID_6001";
constexpr std::string_view kPortNameValue = "PortName";
constexpr char kUsbDisplayName[] = "Ordavinex ";
constexpr char kStatusOk[] = "OK";

registry::Key OpenPath(const registry::Key& root, std::string_view path) {
  registry::Key key = root;
  for (std::size_t start = 0; key.IsValid() && start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    key = key.OpenSubKey(std::string(path.substr(start, end - start)), false);
    start = end + 1;
  }
  return key;
}

// The n of "COMn"; none for anything else.
std::optional<int32_t> ComNumber(const std::string& portName) {
  constexpr std::string_view kPrefix = "COM";
  if (!portName.starts_with(kPrefix)) return std::nullopt;
  int32_t number = 0;
  const char* first = portName.data() + kPrefix.size();
  const char* last = portName.data() + portName.size();
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end == first) return std::nullopt;
  return number;
}

}  // namespace

std::vector<PortInfo> PortList::EnumeratePorts(const registry::Key& machineRoot,
                                               const PortProbe& probe) {
  // Keep what is needed of the old selection by value: its entry is gone once the list is emptied.
  std::optional<PortInfo> previous;
  if (const PortInfo* selected = GetSelectedPort()) previous = *selected;
  entries_.clear();

  AddUsbPorts(machineRoot);
  AddSerialPorts(machineRoot);

  for (PortInfo& entry : entries_) {
    if (previous && previous->portNumber == entry.portNumber) {
      entry.statusText = previous->statusText;
    } else {
      entry.statusText =
          probe(entry.usb ? "COM" + std::to_string(entry.portNumber) : entry.displayName);
    }
    entry.available = entry.statusText == kStatusOk;
  }
  if (previous) SelectPortByNumber(previous->portNumber);
  return entries_;
}

void PortList::AddUsbPorts(const registry::Key& machineRoot) {
  const registry::Key adapters = OpenPath(machineRoot, kUsbAdaptersPath);
  if (!adapters.IsValid()) return;
  for (const std::string& adapterName : adapters.SubKeyNames()) {
    if (!adapterName.starts_with(kMakersCableId)) continue;
    const registry::Key adapter = adapters.OpenSubKey(adapterName, false);
    for (const std::string& instance : adapter.SubKeyNames()) {
      const registry::Key parameters = OpenPath(adapter, instance + "\\Device Parameters");
      const auto names = parameters.ValueNames();
      for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!name->starts_with(kPortNameValue)) continue;
        const auto portName = parameters.GetString(*name);
        if (!portName) continue;
        if (const auto number = ComNumber(*portName)) Append(*number, kUsbDisplayName, true);
      }
    }
  }
}

void PortList::AddSerialPorts(const registry::Key& machineRoot) {
  const registry::Key serialMap = OpenPath(machineRoot, kSerialMapPath);
  const auto names = serialMap.ValueNames();
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (*name == "(Default)") continue;
    const auto portName = serialMap.GetString(*name);
    if (!portName) continue;
    const auto number = ComNumber(*portName);
    if (!number || FindPortByNumber(*number)) continue;
    Append(*number, *portName, false);
  }
}

void PortList::Append(int32_t portNumber, const std::string& displayName, bool usb) {
  PortInfo entry;
  entry.portNumber = portNumber;
  entry.displayName = displayName.substr(0, PortInfo::kMaxDisplayNameChars);
  entry.usb = usb;
  entries_.push_back(std::move(entry));
}

void PortList::SelectPortByNumber(int32_t portNumber) {
  for (PortInfo& entry : entries_) entry.selected = entry.portNumber == portNumber;
}

void PortList::SelectPort(const PortInfo* chosen) {
  for (PortInfo& entry : entries_) entry.selected = &entry == chosen;
}

PortInfo* PortList::GetSelectedPort() {
  const auto it = std::ranges::find_if(entries_, &PortInfo::selected);
  return it == entries_.end() ? nullptr : &*it;
}

PortInfo* PortList::FindPortByNumber(int32_t portNumber) {
  const auto it = std::ranges::find(entries_, portNumber, &PortInfo::portNumber);
  return it == entries_.end() ? nullptr : &*it;
}

const PortInfo* PortList::FindPortByNumber(int32_t portNumber) const {
  return const_cast<PortList*>(this)->FindPortByNumber(portNumber);
}

PortInfo* PortList::FindPortByName(const std::string& displayName) {
  const auto it = std::ranges::find(entries_, displayName, &PortInfo::displayName);
  return it == entries_.end() ? nullptr : &*it;
}

PortInfo* PortList::ChooseDefaultPort() {
  const auto first = [this](bool usb, bool mustBeAvailable) -> PortInfo* {
    for (PortInfo& entry : entries_) {
      if (entry.usb == usb && (entry.available || !mustBeAvailable)) return &entry;
    }
    return nullptr;
  };
  for (const bool usb : {true, false}) {
    if (PortInfo* entry = first(usb, true)) return entry;
    if (PortInfo* entry = first(usb, false)) return entry;
  }
  return nullptr;
}

PortList& ThePortList() {
  static PortList list;
  return list;
}

std::vector<PortInfo> EnumeratePorts() {
  // The probing port is never opened itself; it only lends its line to each probe.
  constexpr uint32_t kProbeBaudRate = 19200;
  const CommPort probePort(CommPort::kNoPort, kProbeBaudRate);
  return ThePortList().EnumeratePorts(
      registry::MachineRoot(), [&](const std::string& name) { return probePort.Probe(name); });
}
