#pragma once

// What the program costs while it waits: the real event loop runs (and sleeps whenever nothing
// is due, as it would for the user) and the process's processor time is set against the wall
// time. A behaviour check for "a dead bus costs nothing", not a benchmark.

#include <time.h>

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

namespace testsupport {

inline double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// How long RunLoopUntil waits at most: so long that no load or stop of the test program reaches
// it, only a program that never gets there.
inline constexpr std::chrono::minutes kLoopPatience{1};

// Runs the event loop until `done` holds (looked at every few milliseconds) or kLoopPatience
// passes.
inline bool RunLoopUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  check.start(5);
  QTimer patience;  // stops with the wait, where a single shot would outlive it
  patience.setSingleShot(true);
  QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
  patience.start(kLoopPatience);
  loop.exec();
  return done();
}

// The share of `wall` the process spent on a processor while its event loop ran.
inline double CpuShareWhileWaiting(std::chrono::milliseconds wall) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuBefore = ProcessCpuSeconds();
  QEventLoop loop;
  QTimer::singleShot(wall, &loop, &QEventLoop::quit);
  loop.exec();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return cpu / elapsed.count();
}

}  // namespace testsupport
