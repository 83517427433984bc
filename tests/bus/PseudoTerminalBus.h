#pragma once

#include <optional>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/BusTestSupport.h"

namespace bustest {

// A simulated bus serving on a pseudo-terminal, the program's port open on it, and the device
// manager on the port. Units may be added to `bus` at any time.
struct PseudoTerminalBus {
  PseudoTerminalBus()
      : port(1, kBusBaudRate,
             [path = bus.SlavePath()] {
               return serial::MakeSystemLine([path](int) { return std::optional(path); });
             }),
        manager(port) {
    bus.Start();
    port.Open();
  }
  ~PseudoTerminalBus() {
    port.Close();
    bus.Stop();
  }
  PseudoTerminalBus(const PseudoTerminalBus&) = delete;
  PseudoTerminalBus& operator=(const PseudoTerminalBus&) = delete;

  // The devices `types` create for the units that answer a roll call (the manager owns them); the
  // traffic so far is cleared.
  std::vector<IQDevice*> RollCall(const std::vector<IQDeviceType*>& types) {
    std::vector<IQDevice*> found;
    manager.RollCall(types, found, notifier);
    bus.ClearTraffic();
    return found;
  }

  sim::SimulatedBus bus;
  CommPort port;
  IQDeviceManager manager;
  RecordingNotifier notifier;
};

}  // namespace bustest
