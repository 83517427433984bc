#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/AnsweredLine.h"
#include "tests/bus/BusTestSupport.h"

namespace bustest {

// How the program's reads meet the simulated units' answers: once the units have answered
// (AnsweredLine), so that a test sees no fault but those it scripted however loaded the machine;
// or, only to show what that guards against, as on a real line, against the port's time-out from
// the moment the read starts.
enum class Replies { kTimed, kAwaited };

// A simulated bus serving on a pseudo-terminal, the program's port open on it, and the device
// manager on the port. Units may be added to `bus` at any time.
struct PseudoTerminalBus {
  PseudoTerminalBus()
      : port(1, kBusBaudRate,
             [this, path = bus.SlavePath()]() -> std::unique_ptr<serial::Line> {
               auto line = serial::MakeSystemLine([path](int) { return std::optional(path); });
               if (replies_ == Replies::kTimed) return line;
               return std::make_unique<AnsweredLine>(bus, std::move(line));
             }),
        manager(port) {
    manager.GetEncoder().SetOwedRepliesClock(StillClock);
    bus.Start();
    port.Open();
  }
  ~PseudoTerminalBus() {
    port.Close();
    bus.Stop();
  }
  PseudoTerminalBus(const PseudoTerminalBus&) = delete;
  PseudoTerminalBus& operator=(const PseudoTerminalBus&) = delete;

  // Opens the port afresh, its reads meeting the answers as `replies` says.
  void Reopen(Replies replies) {
    replies_ = replies;
    port.Close();
    port.Open();
  }

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

 private:
  // Read by the port's line factory at each open.
  Replies replies_ = Replies::kAwaited;
};

}  // namespace bustest
