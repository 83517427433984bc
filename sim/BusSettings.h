#pragma once

namespace sim {

// The interface between the program's serial port and the bus.
enum class InterfaceMode {
  // Bytes pass to the units of network 1 and back; interface commands get no answer.
  kPlain,
  // Every byte the program sends comes back as it arrives, before any reply.
  kDuplexEcho,
  // Answers FD E9 with "R8"; FD E0+n selects network n+1, whose units alone answer.
  kEightNetworks,
};

// Wire timing for benchmarks: each byte takes its time at 38400 baud in both directions and a unit
// waits its turnaround before replying. Off, replies go out as soon as a request is complete.
struct Pacing {
  bool enabled = false;
  int turnaroundUs = 1000;
};

}  // namespace sim
