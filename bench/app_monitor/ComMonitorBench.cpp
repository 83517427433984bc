// The COM monitor logging every transaction of an 8148 whose unit summary polls its meters, on a
// pseudo-terminal paced at the bus's baud rate: the program's processor time per second of the
// run with the monitor logging, against the same run with the monitor closed, each the median of
// windows of its own (bench/EventLoopStall.h says why the median window counts).

#include <cstdio>

#include "app/ComMonitorDialog.h"
#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"

namespace {

constexpr int kWindows = 5;
constexpr int kWindowMs = 1000;
constexpr double kLimitRatio = 1.5;

// The program thread's processor time per second of a window, held against the second itself so
// that the windows sort by their share of a core.
bench::WindowFigure CpuPerSecond(const bench::LoopWindow& window) {
  if (window.elapsedMs <= 0) return {};
  return {1000 * window.threads.programCpuMs / window.elapsedMs, 1000, {}};
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "app_monitor_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Open8148 open(true);
  const bool opened =
      open.edit != nullptr && open.edit->ChildWindow(open.edit->Ids().summary) != nullptr;
  const auto closed = bench::RunWindows(open.line.bus, kWindows, kWindowMs, 0);

  TComMonitorDialog monitor(nullptr);
  monitor.Create();
  monitor.Show();
  ui::test::Click(monitor, appres::kMonitorLogCheck);
  // Meter polling is masked routine traffic: the monitor shows it only with masking off.
  ui::test::Click(monitor, appres::kMonitorMaskCheck);
  open.line.manager.GetEncoder().SetMonitor(&monitor);
  const auto logging = bench::RunWindows(open.line.bus, kWindows, kWindowMs, 0);
  open.line.manager.GetEncoder().SetMonitor(nullptr);
  const int lines =
      static_cast<ui::Edit&>(ui::test::ControlOf(monitor, appres::kMonitorLog)).LineCount();
  monitor.Destroy();

  const bench::WindowFigure without = bench::MedianWindow(closed, CpuPerSecond);
  const bench::WindowFigure with = bench::MedianWindow(logging, CpuPerSecond);
  std::printf("com monitor: %d lines in the log after %d s of logging\n", lines,
              kWindows * kWindowMs / 1000);
  const bool within = bench::Report(
      {.measured = "app: processor time of the program, the COM monitor logging an 8148 polling",
       .reference = "the same with the monitor closed",
       .unit = "ms/s",
       .referenceFigure = without.measured,
       .measuredFigure = with.measured,
       .limit = kLimitRatio,
       .detail = "share of a core, logging: " + with.detail + "; closed: " + without.detail});
  return within && opened && lines > 0 ? 0 : 1;
}
