#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "platform/serial/PassThroughLine.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/BusTestSupport.h"

namespace bustest {

// The line to the simulated units, whose reads begin only once the units have answered all the
// program sent and the answers have crossed the pseudo-terminal. A machine loaded far past its
// cores may keep the bus's thread, or the system's, from moving bytes for longer than the port's
// read time-out; then a reply on its way would be taken for a lost one.
// A unit that stays silent still costs the port its own time-out.
class AnsweredLine : public serial::PassThroughLine {
 public:
  AnsweredLine(const sim::SimulatedBus& bus, std::unique_ptr<serial::Line> inner)
      : PassThroughLine(std::move(inner)), bus_(bus), since_(bus.Carried()) {}

  long Write(const uint8_t* data, std::size_t count) override {
    return Counted(PassThroughLine::Write(data, count), moved_.toUnits);
  }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    // Bounded, so that a bus stopped with a request unread cannot hang the test.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!bus_.Answered(since_, moved_) && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return Counted(PassThroughLine::Read(data, count, timeoutMs), moved_.fromUnits);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    return Counted(PassThroughLine::ReadPending(data, count), moved_.fromUnits);
  }

 private:
  static long Counted(long result, uint64_t& count) {
    if (result > 0) count += static_cast<uint64_t>(result);
    return result;
  }

  const sim::SimulatedBus& bus_;
  // What the bus had carried when the line was made, and what the line has moved since.
  sim::WireCount since_;
  sim::WireCount moved_;
};

// How the program's reads meet the simulated units' answers: once the units have answered
// (AnsweredLine), so that a test sees no fault but those it scripted however loaded the machine;
// or, only to show what that guards against, as on a real line, against the port's time-out from
// the moment the read starts.
enum class Replies { kTimed, kAwaited };

// A simulated bus serving on a pseudo-terminal, the program's port open on it, and the device
// manager on the port. Units may be added to `bus` at any time.
struct PseudoTerminalBus {
  explicit PseudoTerminalBus(Replies replies = Replies::kAwaited)
      : port(1, kBusBaudRate,
             [this, replies, path = bus.SlavePath()]() -> std::unique_ptr<serial::Line> {
               auto line = serial::MakeSystemLine([path](int) { return std::optional(path); });
               if (replies == Replies::kTimed) return line;
               return std::make_unique<AnsweredLine>(bus, std::move(line));
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
