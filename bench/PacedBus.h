#pragma once

#include <chrono>
#include <functional>
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

// The wall time of some work and the wire time of the traffic it made.
struct Timed {
  double measuredMs = 0.0;
  double wireMs = 0.0;
};

// Runs `work` on a quiet bus and times it against the wire.
inline Timed Time(sim::SimulatedBus& bus, const std::function<void()>& work) {
  bus.ClearTraffic();
  const auto start = Clock::now();
  work();
  const double measured = Ms(Clock::now() - start).count();
  return {measured, WireMs(bus.Traffic())};
}

}  // namespace bench
