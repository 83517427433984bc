#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "bus/CommPort.h"
#include "sim/SimulatedBus.h"

namespace bench {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// The turnaround every paced simulated unit takes before it replies.
inline constexpr int kTurnaroundUs = 1000;

// The program's port on the simulated bus's pseudo-terminal, through the real termios line.
inline auto LineTo(const sim::SimulatedBus& bus) {
  return [path = bus.SlavePath()] {
    return serial::MakeSystemLine([path](int) { return std::optional(path); });
  };
}

// From here on the units answer at the bus's baud rate, and only what follows counts as traffic.
inline void StartPacedRun(sim::SimulatedBus& bus) {
  bus.SetPacing({.enabled = true, .turnaroundUs = kTurnaroundUs});
  bus.ClearTraffic();
}

// The time the wire needs for `traffic`, turnarounds included.
inline double WireMs(const std::vector<sim::TrafficEntry>& traffic) {
  return sim::WireTimeMs(traffic, kTurnaroundUs);
}

}  // namespace bench
