#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry/Key.h"

// One serial port the user can choose for the bus.
struct PortInfo {
  static constexpr std::size_t kMaxDisplayNameChars = 127;

  int32_t portNumber = 0;
  std::string displayName;  // "Ordavinex " for the maker's USB cable, else the port name
  std::string statusText;   // what probing the port gave: "OK", "Unavailable", ...
  bool available = false;   // the status is "OK"
  bool usb = false;
  bool selected = false;
};

// Opens a port once and gives its status text (see `CommPort::Probe`).
using PortProbe = std::function<std::string(const std::string& portName)>;

// The ports found on this computer, USB adapters of the maker's cable first, with the one
// selected entry. Entry pointers stay valid until the next `EnumeratePorts`.
class PortList {
 public:
  // Rebuilds the list from the hardware keys under `machineRoot`, probing each new port unless it
  // is the selected one (which may be open by this program); the selection survives.
  std::vector<PortInfo> EnumeratePorts(const registry::Key& machineRoot, const PortProbe& probe);

  void SelectPortByNumber(int32_t portNumber);
  // An entry not in the list only clears the selection.
  void SelectPort(const PortInfo* entry);
  PortInfo* GetSelectedPort();
  PortInfo* FindPortByNumber(int32_t portNumber);
  const PortInfo* FindPortByNumber(int32_t portNumber) const;
  PortInfo* FindPortByName(const std::string& displayName);
  // An available USB entry, else any USB entry, else an available plain entry, else any entry.
  PortInfo* ChooseDefaultPort();

  const std::vector<PortInfo>& Entries() const { return entries_; }

 private:
  void AddUsbPorts(const registry::Key& machineRoot);
  void AddSerialPorts(const registry::Key& machineRoot);
  void Append(int32_t portNumber, const std::string& displayName, bool usb);

  std::vector<PortInfo> entries_;
};

// The process-wide port list.
PortList& ThePortList();

// Rebuilds the process-wide list from this machine's ports, probing them on the system line.
std::vector<PortInfo> EnumeratePorts();
