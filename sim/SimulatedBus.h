#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/BusSettings.h"
#include "sim/Fault.h"
#include "sim/ObjectLayout.h"
#include "sim/Unit.h"

namespace sim {

class BusModel;
class PseudoTerminal;

enum class Direction { kToUnits, kFromUnits };

// One frame that crossed the wire: a request, roll-call message, interface command or unparsable
// bytes from the program; or a reply, answer or interface answer with its faults applied, logged
// together with the frame it answers (before its bytes go out). Duplex echoes and endless
// streams are not logged.
struct TrafficEntry {
  Direction direction = Direction::kToUnits;
  std::vector<uint8_t> bytes;
};

// Bytes carried over the line, counted from one side.
struct WireCount {
  uint64_t toUnits = 0;
  uint64_t fromUnits = 0;
};

// How long `traffic` takes on the wire at the bus's baud rate, with one `turnaroundUs` before
// each reply: the floor against which benchmarks measure the program.
double WireTimeMs(const std::vector<TrafficEntry>& traffic, int turnaroundUs);

// The units' side of the serial line, on a pseudo-terminal. The program opens `SlavePath()`.
// The bus keeps its own descriptor on the slave so the program's close never hangs the line up.
// Configuration and inspection are thread-safe while the bus serves.
class SimulatedBus {
 public:
  // Opens the pseudo-terminal; throws std::system_error when the system refuses one.
  SimulatedBus();
  ~SimulatedBus();
  SimulatedBus(const SimulatedBus&) = delete;
  SimulatedBus& operator=(const SimulatedBus&) = delete;

  const std::string& SlavePath() const { return slavePath_; }

  // Serves on a thread of its own until `Stop`. Stop wakes the loop and joins it; the loop never
  // blocks longer than a short poll, so the join is bounded.
  void Start();
  void Stop();

  // Returns the unit's index for `WithUnit`; two units may share an address.
  int AddUnit(std::unique_ptr<Unit> unit);
  int AddGenericUnit(const UnitIdentity& identity, const std::vector<ObjectLayout>& objects);
  void SetInterfaceMode(InterfaceMode mode);
  void SetPacing(const Pacing& pacing);
  void AddFault(const Fault& fault);
  // Removes every fault and ends an endless stream.
  void ClearFaults();
  // Replaces the faults scripted for the unit at `address` alone, in one step, so that no request
  // meets the unit between its old faults and its new ones.
  void ReplaceUnitFaults(int address, const std::vector<Fault>& faults);
  // Closes the line as a hang-up fault does.
  void HangUp();

  // The bytes the units took from the line and put on it since the bus began.
  WireCount Carried() const;
  // Waits until the program's next read of `wanted` bytes no longer waits on this bus's thread or
  // the system's: its side of the line holds them already, or, of what it moved since the bus had
  // carried `since` (`line`: bytes written, bytes read), the units have taken in every byte
  // written, answered it, and its side holds every byte of the answers not yet read. (It holds
  // only so much: the rest of a long stream waits for room.) False when `deadline` came first.
  // The waiter sleeps until the bus's thread has been at the line, so a wait costs no processor
  // time however long the units take.
  bool AwaitAnswered(WireCount since, WireCount line, std::size_t wanted,
                     std::chrono::steady_clock::time_point deadline) const;

  std::vector<TrafficEntry> Traffic() const;
  void ClearTraffic();
  // The network the eight-network interface has selected (1 until a select arrives).
  int SelectedNetwork() const;
  // Runs `action` on a unit under the bus's lock.
  void WithUnit(int unitIndex, const std::function<void(Unit&)>& action);
  std::vector<uint8_t> Element(int unitIndex, int objectId, int index) const;
  void StoreElement(int unitIndex, int objectId, int index, const std::vector<uint8_t>& bytes);

 private:
  class Loop;

  mutable std::mutex mutex_;
  // Told after each pass of the bus's thread over the line.
  mutable std::condition_variable passed_;
  std::unique_ptr<PseudoTerminal> terminal_;
  std::unique_ptr<BusModel> model_;
  std::unique_ptr<Loop> loop_;
  std::string slavePath_;
  std::thread thread_;
};

}  // namespace sim
