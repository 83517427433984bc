#pragma once

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/PacedBus.h"
#include "bench/ThreadTimes.h"

namespace bench {

// Times the gaps between marks of something the program should do regularly (a tick of a timer,
// a paint), each less the time the machine took within it: the time the process's threads spent
// waiting for a processor (another program ran, or the simulated unit, a thread of this process,
// could not send its reply on time) or the line's hand-overs beyond the wire, whichever is more, as
// they overlap. The program's own work and its waits for the wire stay in. The first gap starts
// when the clock is made; it reads the threads running then.
class GapClock {
 public:
  GapClock() : last_(Read()) {}

  // Ends the gap since the last mark, or since the clock was made, and starts the next one.
  double Mark() {
    const Reading now = Read();
    const double machineMs =
        std::max(now.waitedMs - last_.waitedMs, now.handedOverMs - last_.handedOverMs);
    const double gapMs = Ms(now.at - last_.at).count() - machineMs;
    last_ = now;
    return gapMs;
  }

 private:
  struct Reading {
    Clock::time_point at;
    double waitedMs;
    double handedOverMs;
  };
  Reading Read() const { return {Clock::now(), threads_.Now().waitMs, HandOvers().TotalMs()}; }

  const ThreadClock threads_;
  Reading last_;
};

// The longest gap beyond one tick between two ticks of a `tickMs` timer while the event loop runs
// for `runMs`, less the machine's time within it: how long the program held the loop at most.
inline double LongestStallMs(int runMs, int tickMs) {
  GapClock gaps;
  double longest = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout,
                   [&] { longest = std::max(longest, gaps.Mark() - tickMs); });
  QEventLoop loop;
  QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
  tick.start(tickMs);
  loop.exec();
  return longest;
}

// One window of a polling run: its longest stall of the event loop, how long it lasted, where the
// process's threads spent that time, the line's hand-overs and the traffic the bus carried
// meanwhile.
struct LoopWindow {
  double stallMs = 0;
  double elapsedMs = 0;
  ThreadTimes threads;
  double handOverMs = 0;
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
// Why windows, and why the benchmarks hold the median window to the limit: on a shared machine
// other programs take the processor from the program, or from the simulated unit that paces its
// replies, for milliseconds at a time. That only ever lengthens a stall or a round, and what is not
// taken off as the machine's time lands in a window or two, while what the program itself
// does while polling (a transaction held on the loop, a repaint, a second transaction in one pass)
// comes back on every round, so in every window. The median window shows the program's own figure
// however the load falls, and the best and the worst are printed beside it so that the spread
// stays visible. Nothing is left out inside a window: its longest stall is its longest gap.
inline std::vector<LoopWindow> RunWindows(sim::SimulatedBus& bus, int count, int windowMs,
                                          int tickMs) {
  const ThreadClock clock;
  std::vector<LoopWindow> windows;
  for (int i = 0; i < count; ++i) {
    bus.ClearTraffic();
    const ThreadTimes before = clock.Now();
    const double handOversBefore = HandOvers().TotalMs();
    const auto start = Clock::now();
    LoopWindow window;
    if (tickMs > 0) {
      window.stallMs = LongestStallMs(windowMs, tickMs);
    } else {
      RunLoopMs(windowMs);
    }
    window.elapsedMs = Ms(Clock::now() - start).count();
    window.threads = clock.Now() - before;
    window.handOverMs = HandOvers().TotalMs() - handOversBefore;
    window.traffic = bus.Traffic();
    windows.push_back(std::move(window));
  }
  return windows;
}

// A figure of a window against its reference in the same window, as one benchmark result would
// hold them, and what there is to say about how it came about.
struct WindowFigure {
  double measured = 0;
  double reference = 0;
  std::string detail;
  double Ratio() const { return reference > 0 ? measured / reference : 0; }
};

// The figure whose ratio is the median of the windows', its detail followed by the best and the
// worst ratio of the windows.
inline WindowFigure MedianFigure(std::vector<WindowFigure> figures) {
  if (figures.empty()) return {};
  std::ranges::sort(figures, {}, &WindowFigure::Ratio);
  // With an even count the lower middle window, so that the figure is one window's as it is.
  WindowFigure median = figures[(figures.size() - 1) / 2];
  char text[120];
  std::snprintf(text, sizeof text, "median of %zu windows, best %.3f, worst %.3f", figures.size(),
                figures.front().Ratio(), figures.back().Ratio());
  median.detail = median.detail.empty() ? text : text + ("; the median window: " + median.detail);
  return median;
}

// The median of the windows' figures as `figureOf` makes them.
inline WindowFigure MedianWindow(const std::vector<LoopWindow>& windows,
                                 const std::function<WindowFigure(const LoopWindow&)>& figureOf) {
  std::vector<WindowFigure> figures;
  for (const LoopWindow& window : windows) figures.push_back(figureOf(window));
  return MedianFigure(std::move(figures));
}

// One gap between two marks: when it ended, counted from the first mark, and its length less the
// machine's time.
struct Gap {
  double endMs = 0;
  double lengthMs = 0;
};

// The longest gap of a window of a run and how many gaps ended in it.
struct GapWindow {
  double longestMs = 0;
  int gaps = 0;
};

// Splits the run from the first mark to the last into `count` windows of equal time and takes
// the longest gap of each, a gap belonging to the window it ended in. A window in which no gap
// ended lies inside a gap of a later one, where that gap counts; it is left out, so that it
// cannot pass for the best window.
inline std::vector<GapWindow> LongestGapsByWindow(const std::vector<Gap>& gaps, int count) {
  if (gaps.empty() || count <= 0) return {};
  const double spanMs = std::ranges::max(gaps, {}, &Gap::endMs).endMs;
  std::vector<GapWindow> windows(static_cast<std::size_t>(count));
  for (const Gap& gap : gaps) {
    const int at = spanMs > 0 ? static_cast<int>(gap.endMs / spanMs * count) : 0;
    GapWindow& window = windows[static_cast<std::size_t>(std::clamp(at, 0, count - 1))];
    window.longestMs = std::max(window.longestMs, gap.lengthMs);
    ++window.gaps;
  }
  std::erase_if(windows, [](const GapWindow& window) { return window.gaps == 0; });
  return windows;
}

// A round figure of a window with `rounds` rounds of polling: the program's part of a round's time
// against the wire time of a round's traffic, as a bus-bound result holds them.
inline WindowFigure RoundFigure(const LoopWindow& window, double rounds) {
  if (rounds <= 0) return {};
  const Timed timed{window.elapsedMs, WireMs(window.traffic), window.threads, window.handOverMs};
  return {timed.ProgramMs() / rounds, timed.wireMs / rounds, timed.Detail()};
}

}  // namespace bench
