#pragma once

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "bench/PacedBus.h"

namespace bench {

// The longest gap beyond one tick between two ticks of a `tickMs` timer while the event loop runs
// for `runMs`: how long the program held the loop at most.
inline double LongestStallMs(int runMs, int tickMs) {
  double longest = 0;
  auto last = Clock::now();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest = std::max(longest, Ms(now - last).count() - tickMs);
    last = now;
  });
  QEventLoop loop;
  QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
  tick.start(tickMs);
  loop.exec();
  return longest;
}

}  // namespace bench
