#pragma once

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/PacedBus.h"
#include "bench/ProcessorWait.h"

namespace bench {

// The longest gap beyond one tick between two ticks of a `tickMs` timer while the event loop runs
// for `runMs`: how long the program held the loop at most. The time its threads spent waiting for
// a processor within a gap is not the program's and is taken off that gap: the tick was late
// because another program ran, or because the simulated unit, a thread of this process, could not
// send its reply on time. The program's own work and its waits for the wire stay in.
inline double LongestStallMs(int runMs, int tickMs) {
  const ProcessorWait wait;
  double longest = 0;
  auto last = Clock::now();
  double waitedMs = wait.Ms();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    const double waitedNowMs = wait.Ms();
    longest = std::max(longest, Ms(now - last).count() - tickMs - (waitedNowMs - waitedMs));
    last = now;
    waitedMs = waitedNowMs;
  });
  QEventLoop loop;
  QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
  tick.start(tickMs);
  loop.exec();
  return longest;
}

// One window of a polling run: its longest stall of the event loop, how long it lasted and the
// traffic the bus carried meanwhile.
struct LoopWindow {
  double stallMs = 0;
  double elapsedMs = 0;
  std::vector<sim::TrafficEntry> traffic;
};

// Runs the event loop for `runMs` with nothing of the benchmark's own on it.
inline void RunLoopMs(int runMs) {
  QEventLoop loop;
  QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs the event loop in `count` back-to-back windows of `windowMs`, each measured on its own. With
// `tickMs` 0 no stall is probed: the probe's timer wakes the loop between every two transactions,
// and the work that wake-up brings (the idle pass starts again from its first stage) would be
// counted against the polling rate that a round measures.
//
// Why windows, and why the benchmarks report the best of them: on a shared machine other programs
// take the processor from the program, or from the simulated unit that paces its replies, for
// milliseconds at a time. That only ever lengthens a stall or a round, and it lands in a window or
// two, while what the program itself does while polling (a transaction held on the loop, a repaint,
// a second transaction in one pass) comes back on every round, so in every window. The best
// window therefore shows the program's own figure, and the worst is printed beside it so that the
// spread stays visible. Nothing is left out inside a window: its longest stall is its longest gap.
inline std::vector<LoopWindow> RunWindows(sim::SimulatedBus& bus, int count, int windowMs,
                                          int tickMs) {
  std::vector<LoopWindow> windows;
  for (int i = 0; i < count; ++i) {
    bus.ClearTraffic();
    const auto start = Clock::now();
    LoopWindow window;
    if (tickMs > 0) {
      window.stallMs = LongestStallMs(windowMs, tickMs);
    } else {
      RunLoopMs(windowMs);
    }
    window.elapsedMs = Ms(Clock::now() - start).count();
    window.traffic = bus.Traffic();
    windows.push_back(std::move(window));
  }
  return windows;
}

// A figure of every window against its reference in the same window, as one benchmark result
// would hold them.
struct WindowFigure {
  double measured = 0;
  double reference = 0;
  double Ratio() const { return reference > 0 ? measured / reference : 0; }
};

// The window whose figure is lowest against its reference, after a line on stdout with the best
// and the worst ratio of the windows under `what`.
inline WindowFigure BestWindow(const std::string& what, const std::vector<LoopWindow>& windows,
                               const std::function<WindowFigure(const LoopWindow&)>& figureOf) {
  std::vector<WindowFigure> figures;
  for (const LoopWindow& window : windows) figures.push_back(figureOf(window));
  const auto byRatio = [](const WindowFigure& a, const WindowFigure& b) {
    return a.Ratio() < b.Ratio();
  };
  if (figures.empty()) return {};
  const auto [best, worst] = std::minmax_element(figures.begin(), figures.end(), byRatio);
  std::printf("%s: best of %zu windows %.3f, worst %.3f\n", what.c_str(), figures.size(),
              best->Ratio(), worst->Ratio());
  return *best;
}

}  // namespace bench
