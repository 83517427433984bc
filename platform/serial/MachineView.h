#pragma once

#include "platform/registry/Key.h"
#include "platform/registry/Store.h"
#include "platform/serial/ComNumberTable.h"
#include "platform/serial/PortDiscovery.h"
#include "platform/serial/SerialLine.h"

namespace serial {

// The hardware keys that port enumeration reads, built from discovery and the COM number table
// into a read-only store:
//   SYSTEM\CurrentControlSet\Enum\FTDIBUS\VID_0403+PID_6001+<serial>\<instance>\Device Parameters
//     with "PortName" = "COMn" for each of the maker's cables, and
//   HARDWARE\DEVICEMAP\SERIALCOMM with one value per serial port (named by its device path),
//     data "COMn".
// Pseudo-terminals entered in the table are listed as serial ports while they exist.
class MachineView {
 public:
  MachineView(DiscoveryRoots roots, ComNumberTable& numbers);

  // Discovers the ports again, rebuilds the view and returns its root. Keys taken from an earlier
  // refresh stay usable and see the new contents.
  registry::Key Refresh();

 private:
  DiscoveryRoots roots_;
  ComNumberTable& numbers_;
  registry::Store store_;
};

// COM names resolved as this view lists them: the table's entry for the number, and the device
// that entry stands for now (an adapter plugged back in may have come back as another tty).
ComPathLookup ComPathsOf(const ComNumberTable& numbers, DiscoveryRoots roots = {});

}  // namespace serial
