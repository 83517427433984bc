#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/LineHandOver.h"
#include "bench/ThreadTimes.h"
#include "bus/CommPort.h"
#include "sim/SimulatedBus.h"
#include "tests/bus/AnsweredLine.h"

namespace bench {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// The turnaround every paced simulated unit takes before it replies.
inline constexpr int kTurnaroundUs = 1000;

// The hand-overs of the benchmark's line to its simulated bus.
inline HandOverClock& HandOvers() {
  static HandOverClock clock(kTurnaroundUs);
  return clock;
}

// The program's port on the simulated bus's pseudo-terminal, through the real termios line, read
// only once the units have answered, as the tests read it, so that no run fails on a loaded
// machine. That wait lies between a request and its reads, where the hand-over clock counts it:
// what it takes beyond the wire is the bus's thread's time, not the program's.
inline auto LineTo(const sim::SimulatedBus& bus) {
  return [&bus, path = bus.SlavePath()]() -> std::unique_ptr<serial::Line> {
    return std::make_unique<bustest::AnsweredLine>(
        bus, std::make_unique<HandOverLine>(
                 serial::MakeSystemLine([path](int) { return std::optional(path); }), HandOvers()));
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

// The wall time of some work, the time the work would take with nothing but the wire to wait for
// (the wire time of its traffic, and whatever else the benchmark counts in), where the process's
// threads spent the wall time, and the line's hand-overs beyond the wire meanwhile.
struct Timed {
  double measuredMs = 0.0;
  double wireMs = 0.0;
  ThreadTimes threads;
  double handOverMs = 0.0;

  // The time beyond the wire that the machine took. The line's hand-overs are measured where
  // they happen; the threads' waits for a processor may overlap them and each other (the
  // program's thread and the simulated unit's may wait at the same time), so they count only as
  // far as they leave the program its own processor time beyond the wire. The larger of the two
  // is taken, never more than the whole time beyond the wire.
  double SchedulingMs() const {
    const double excess = measuredMs - wireMs;
    const double waitedMs =
        std::clamp(excess - threads.programCpuMs, 0.0, std::max(threads.waitMs, 0.0));
    return std::min(std::max(handOverMs, waitedMs), std::max(excess, 0.0));
  }
  // What the program is held to: the wall time less the scheduling.
  double ProgramMs() const { return measuredMs - SchedulingMs(); }
  // How the wall time divides: the reference, the program's processor time, the scheduling, and
  // the rest: what the program waited beyond those, or, below zero, the part of its processor time
  // that ran while the wire still carried bytes.
  std::string Detail() const {
    const double restMs = measuredMs - wireMs - threads.programCpuMs - SchedulingMs();
    char text[240];
    std::snprintf(
        text, sizeof text,
        "wall %.1f ms = reference %.1f + program CPU %.1f + scheduling %.1f (taken off; the "
        "threads waited %.1f for a processor, the line handed over in %.1f beyond the wire) + "
        "rest %.1f",
        measuredMs, wireMs, threads.programCpuMs, SchedulingMs(), threads.waitMs, handOverMs,
        restMs);
    return text;
  }
};

// Runs `work` on a quiet bus and times it against the wire.
inline Timed Time(sim::SimulatedBus& bus, const std::function<void()>& work) {
  bus.ClearTraffic();
  const ThreadClock clock;
  const ThreadTimes before = clock.Now();
  const double handOversBefore = HandOvers().TotalMs();
  const auto start = Clock::now();
  work();
  const double measured = Ms(Clock::now() - start).count();
  return {measured, WireMs(bus.Traffic()), clock.Now() - before,
          HandOvers().TotalMs() - handOversBefore};
}

// A bus-bound result: the program's part of the wall time against the wire time and whatever the
// benchmark counted in with it, with the division of the wall time as its detail.
inline bool Report(const std::string& what, const std::string& reference, const Timed& timed,
                   double limit) {
  return Report({.measured = what,
                 .reference = reference,
                 .unit = "ms",
                 .referenceFigure = timed.wireMs,
                 .measuredFigure = timed.ProgramMs(),
                 .limit = limit,
                 .detail = timed.Detail()});
}

}  // namespace bench
