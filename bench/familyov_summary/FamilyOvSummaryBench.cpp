// An 8148 with its unit summary, both level windows, the limiter window and the DSP capacity window
// open, on a pseudo-terminal paced at the bus's baud rate: how long one round of every open meter
// takes against the wire time of the round's transactions and turnarounds, and the longest time the
// event loop is held between two ticks of a 1 ms timer against the wire time of one transaction,
// each measured in windows of its own, with the stall probe's timer running only while it measures
// (bench/EventLoopStall.h says why, and why the median window counts).

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "resources/AppResources.h"

namespace {

constexpr int kTickMs = 1;
constexpr int kWindows = 5;
constexpr int kWindowMs = 1000;
constexpr double kRoundLimitRatio = 1.10;
constexpr double kStallLimitRatio = 1.5;

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_summary_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Open8148 open(true);
  bool opened = open.edit != nullptr && open.edit->ChildWindow(open.edit->Ids().summary) != nullptr;
  if (open.edit != nullptr) {
    const auto& ids = open.edit->Ids();
    for (int node : {ids.inputLevel, ids.outputLevel, ids.limiter, ids.dspCapacity}) {
      opened = open.OpenChild(node) != nullptr && opened;
    }
  }
  const auto probed = bench::RunWindows(open.line.bus, kWindows, kWindowMs, kTickMs);
  const auto unprobed = bench::RunWindows(open.line.bus, kWindows, kWindowMs, 0);
  const int meters = open.edit != nullptr ? static_cast<int>(open.edit->Poller().Count()) : 0;
  // A round reads every meter once and the unit's new-settings flag once.
  const double perRound = meters + 1;

  const bench::WindowFigure round =
      bench::MedianWindow(unprobed, [&](const bench::LoopWindow& window) {
        return bench::RoundFigure(window,
                                  static_cast<double>(window.traffic.size()) / 2 / perRound);
      });
  const bench::WindowFigure stall =
      bench::MedianWindow(probed, [](const bench::LoopWindow& window) {
        const double transactions = static_cast<double>(window.traffic.size()) / 2;
        if (transactions <= 0) return bench::WindowFigure{};
        return bench::WindowFigure{window.stallMs, bench::WireMs(window.traffic) / transactions};
      });
  std::printf("familyov summary: %d meters, %.1f meter refreshes a second\n", meters,
              round.measured > 0 ? 1000 / round.measured : 0.0);

  const bool roundWithin = bench::Report(
      {.measured = "familyov: one round of every meter, an 8148's summary and channel windows",
       .reference = "wire time of the round's transactions with turnarounds",
       .unit = "ms",
       .referenceFigure = round.reference,
       .measuredFigure = round.measured,
       .limit = kRoundLimitRatio,
       .detail = round.detail});
  const bool stallWithin =
      bench::Report({.measured = "familyov: longest event-loop stall, an 8148's summary polling",
                     .reference = "wire time of one transaction with its turnaround",
                     .unit = "ms",
                     .referenceFigure = stall.reference,
                     .measuredFigure = stall.measured,
                     .limit = kStallLimitRatio,
                     .detail = stall.detail});
  return roundWithin && stallWithin && opened && round.reference > 0 ? 0 : 1;
}
