// An open, idle 8148 whose window watches for settings the unit loads by itself, on a
// pseudo-terminal paced at the bus's baud rate: the longest time the event loop is held between
// two ticks of a 1 ms timer, against the wire time of one poll of the unit (request, turnaround
// and reply), measured in the same windows of the run (bench/EventLoopStall.h says why the median
// window counts).

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "resources/AppResources.h"

namespace {

constexpr int kTickMs = 1;
constexpr int kWindows = 5;
constexpr int kWindowMs = 400;
constexpr double kLimitRatio = 1.5;

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_idle_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Open8148 open(false);
  const auto windows = bench::RunWindows(open.line.bus, kWindows, kWindowMs, kTickMs);
  const bench::WindowFigure stall =
      bench::MedianWindow(windows, [](const bench::LoopWindow& window) {
        // Every transaction of the idle unit is one poll: a request and its reply.
        const double polls = static_cast<double>(window.traffic.size()) / 2;
        if (polls <= 0) return bench::WindowFigure{};
        return bench::WindowFigure{window.stallMs, bench::WireMs(window.traffic) / polls};
      });

  const bool within =
      bench::Report({.measured = "familyov: longest event-loop stall, an idle open 8148",
                     .reference = "wire time of one poll of the unit with its turnaround",
                     .unit = "ms",
                     .referenceFigure = stall.reference,
                     .measuredFigure = stall.measured,
                     .limit = kLimitRatio,
                     .detail = stall.detail});
  return within && open.edit != nullptr && stall.reference > 0 ? 0 : 1;
}
