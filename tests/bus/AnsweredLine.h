#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

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
// The program reads a reply a byte at a time; the line takes all the pseudo-terminal holds in one
// read and hands the bytes out from there, so that a byte costs no calls to the system.
class AnsweredLine : public serial::PassThroughLine {
 public:
  AnsweredLine(const sim::SimulatedBus& bus, std::unique_ptr<serial::Line> inner,
               std::chrono::seconds bound = testsupport::kHangBound)
      : PassThroughLine(std::move(inner)), bus_(bus), bound_(bound), since_(bus.Carried()) {}

  serial::Failure Close() override {
    held_.Clear();
    return PassThroughLine::Close();
  }
  long Write(const uint8_t* data, std::size_t count) override {
    return Counted(PassThroughLine::Write(data, count), moved_.toUnits);
  }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    if (held_.Empty()) {
      AwaitAnswers(count);
      const long taken = Hold(PassThroughLine::Read(held_.Space(), held_.kBytes, 0));
      // Nothing came: the units are silent, and the read costs the port's own time-out.
      if (taken == 0)
        return Counted(PassThroughLine::Read(data, count, timeoutMs), moved_.fromUnits);
      if (taken < 0) return taken;
    }
    return held_.Give(data, count);
  }
  long ReadPending(uint8_t* data, std::size_t count) override {
    if (held_.Empty()) {
      const long taken = Hold(PassThroughLine::ReadPending(held_.Space(), held_.kBytes));
      if (taken <= 0) return taken;
    }
    return held_.Give(data, count);
  }

 private:
  // Bytes taken from the pseudo-terminal and not yet handed to the program.
  class Held {
   public:
    static constexpr std::size_t kBytes = 4096;  // all a pseudo-terminal holds for its reader
    bool Empty() const { return next_ == end_; }
    uint8_t* Space() { return bytes_.data(); }
    void Took(std::size_t count) {
      next_ = 0;
      end_ = count;
    }
    long Give(uint8_t* data, std::size_t count) {
      const std::size_t given = std::min(count, end_ - next_);
      std::memcpy(data, bytes_.data() + next_, given);
      next_ += given;
      return static_cast<long>(given);
    }
    void Clear() { next_ = end_ = 0; }

   private:
    std::array<uint8_t, kBytes> bytes_{};
    std::size_t next_ = 0;
    std::size_t end_ = 0;
  };

  void AwaitAnswers(std::size_t wanted) const {
    const auto giveUp = std::chrono::steady_clock::now() + bound_;
    if (bus_.AwaitAnswered(since_, moved_, wanted, giveUp)) return;
    std::fprintf(stderr, "the simulated bus did not answer within %lld s\n",
                 static_cast<long long>(bound_.count()));
    std::abort();
  }
  long Hold(long taken) {
    if (taken > 0) held_.Took(static_cast<std::size_t>(taken));
    return Counted(taken, moved_.fromUnits);
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
  Held held_;
};

}  // namespace bustest
