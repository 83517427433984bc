#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "bus/OwedReplies.h"
#include "platform/serial/PassThroughLine.h"
#include "sim/SimulatedBus.h"
#include "tests/support/HangBound.h"

namespace bustest {

// On this line the simulated units answer late only after a count of requests, never after a
// time: an owed reply's lifetime runs on this clock, which stands still, so that how long a loaded
// machine takes decides nothing.
inline OwedReplies::Clock::time_point StillClock() { return {}; }

// The line to the simulated units, whose reads begin only once the units have answered all the
// program sent and the answers have crossed the pseudo-terminal. A machine loaded far past its
// cores may keep the bus's thread, or the system's, from moving bytes for longer than the port's
// read time-out; then a reply on its way would be taken for a lost one.
// A unit that stays silent still costs the port its own time-out.
// A bus that has not answered within `bound` is taken to hang: the process ends there, saying so,
// rather than read on as if a unit had fallen silent.
class AnsweredLine : public serial::PassThroughLine {
 public:
  AnsweredLine(const sim::SimulatedBus& bus, std::unique_ptr<serial::Line> inner,
               std::chrono::seconds bound = testsupport::kHangBound)
      : PassThroughLine(std::move(inner)), bus_(bus), bound_(bound), since_(bus.Carried()) {}

  long Write(const uint8_t* data, std::size_t count) override {
    return Counted(PassThroughLine::Write(data, count), moved_.toUnits);
  }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    AwaitAnswers(count);
    return Counted(PassThroughLine::Read(data, count, timeoutMs), moved_.fromUnits);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    return Counted(PassThroughLine::ReadPending(data, count), moved_.fromUnits);
  }

 private:
  void AwaitAnswers(std::size_t wanted) const {
    const auto giveUp = std::chrono::steady_clock::now() + bound_;
    while (!bus_.Answered(since_, moved_, wanted)) {
      if (std::chrono::steady_clock::now() >= giveUp) {
        std::fprintf(stderr, "the simulated bus did not answer within %lld s\n",
                     static_cast<long long>(bound_.count()));
        std::abort();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  static long Counted(long result, uint64_t& count) {
    if (result > 0) count += static_cast<uint64_t>(result);
    return result;
  }

  const sim::SimulatedBus& bus_;
  const std::chrono::seconds bound_;
  // What the bus had carried when the line was made, and what the line has moved since.
  sim::WireCount since_;
  sim::WireCount moved_;
};

}  // namespace bustest
