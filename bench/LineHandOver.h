#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial/PassThroughLine.h"
#include "sim/WireSchedule.h"

namespace bench {

// How much longer than the wire the program's transactions took, seen from the program's side of
// the line: from a request written to the last byte of its reply read, less the wire time of
// those bytes and the unit's turnaround. The program sits in its reads all that time; what is
// beyond the wire is the pseudo-terminal handing the bytes over and the simulated unit's thread
// waking on time, which on a loaded machine both wait for the kernel's workers and for a
// processor. Only where the program's own processor time within the transaction is more than the
// wire time does the program itself make the transaction late; then the time beyond that counts.
// A request no unit answers is handed over once its first read may begin: a line that reads only
// once the units have answered waits there for the bus's thread to take the request in, and
// only the wait for silence after that is the program's.
class HandOverClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit HandOverClock(int turnaroundUs) : turnaroundMs_(turnaroundUs / 1000.0) {}

  // `at` is when the call returned and `cpuMs` the program thread's processor time then.
  void Wrote(TimePoint at, double cpuMs, std::size_t bytes) {
    completedMs_ += Current();
    open_ = {at, at, cpuMs, cpuMs, bytes, 0};
  }
  // A read begins at `at`; until a reply comes, the transaction was handed over up to there.
  void Reading(TimePoint at, double cpuMs) {
    if (open_.replyBytes != 0 || open_.reading) return;
    open_.reading = true;
    open_.lastReadAt = at;
    open_.cpuAtLastReadMs = cpuMs;
  }
  void Read(TimePoint at, double cpuMs, std::size_t bytes) {
    open_.reading = true;
    open_.lastReadAt = at;
    open_.cpuAtLastReadMs = cpuMs;
    open_.replyBytes += bytes;
  }
  // The hand-over time of every transaction so far, the one under way as far as it has come.
  double TotalMs() const { return completedMs_ + Current(); }

 private:
  struct Transaction {
    TimePoint writtenAt{};
    TimePoint lastReadAt{};
    double cpuAtWriteMs = 0;
    double cpuAtLastReadMs = 0;
    std::size_t requestBytes = 0;
    std::size_t replyBytes = 0;
    bool reading = false;
  };

  double Current() const {
    if (!open_.reading) return 0;
    const double byteMs = std::chrono::duration<double, std::milli>(sim::kByteWireTime).count();
    const double tookMs =
        std::chrono::duration<double, std::milli>(open_.lastReadAt - open_.writtenAt).count();
    const double replyWireMs =
        open_.replyBytes != 0 ? static_cast<double>(open_.replyBytes) * byteMs + turnaroundMs_ : 0;
    const double wireMs = static_cast<double>(open_.requestBytes) * byteMs + replyWireMs;
    const double ownMs = open_.cpuAtLastReadMs - open_.cpuAtWriteMs;
    return std::max(tookMs - std::max(wireMs, ownMs), 0.0);
  }

  double turnaroundMs_;
  double completedMs_ = 0;
  Transaction open_;
};

// The line the program's port opens, telling `clock` when requests go out and replies come in.
class HandOverLine : public serial::PassThroughLine {
 public:
  HandOverLine(std::unique_ptr<serial::Line> inner, HandOverClock& clock)
      : PassThroughLine(std::move(inner)), clock_(clock) {}

  long Write(const uint8_t* data, std::size_t count) override {
    const long written = PassThroughLine::Write(data, count);
    if (written > 0) {
      clock_.Wrote(std::chrono::steady_clock::now(), ThreadCpuMs(),
                   static_cast<std::size_t>(written));
    }
    return written;
  }
  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    clock_.Reading(std::chrono::steady_clock::now(), ThreadCpuMs());
    const long read = PassThroughLine::Read(data, count, timeoutMs);
    if (read > 0) {
      clock_.Read(std::chrono::steady_clock::now(), ThreadCpuMs(), static_cast<std::size_t>(read));
    }
    return read;
  }
  // Stale input taken before a request belongs to no transaction: ReadPending passes through.

 private:
  static double ThreadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
  }

  HandOverClock& clock_;
};

}  // namespace bench
