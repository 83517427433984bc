// The signal-flow page of a simulated Ordavinex X, open on a pseudo-terminal paced at the bus's
// baud rate, its meters read in idle time: the longest time the event loop is held between two
// ticks of a 1 ms timer against the wire time of one transaction, and the time a round of the
// meters takes (ready flag and four meters) against the wire time of that round, turnarounds
// included, each measured in windows of its own, with the stall probe's timer running only while
// it measures (bench/EventLoopStall.h says why, and why the median window counts).

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/PacedBus.h"
#include "bench/SimulatedX.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"

namespace {

constexpr int kTickMs = 1;
constexpr int kWindows = 5;
constexpr int kWindowMs = 400;
constexpr double kStallLimit = 1.5;
constexpr double kRoundLimit = 1.10;
// The ready flag and the four meters.
constexpr double kTransactionsPerRound = 5;

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "family8100_signalflow_bench");
  RegisterAppResources();
  controls::SetDeviceErrorReporter([](const IQException& e, IQDevice*, int) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
  });

  bench::SimulatedX line;
  namespace8100::IQDevice8100X unit(&line.type, &line.manager, &line.record);

  bool polled = false;
  bench::WindowFigure stall;
  bench::WindowFigure round;
  {
    namespace8100::TSigFlowDialog dialog(nullptr, unit);
    dialog.Create();
    // A hidden page leaves the meters unread.
    dialog.Show();
    ui::test::PumpMessages();
    bench::StartPacedRun(line.bus);
    const auto probed = bench::RunWindows(line.bus, kWindows, kWindowMs, kTickMs);
    const auto unprobed = bench::RunWindows(line.bus, kWindows, kWindowMs, 0);
    // Every transaction is a request and its reply.
    const auto transactions = [](const bench::LoopWindow& window) {
      return static_cast<double>(window.traffic.size()) / 2;
    };
    stall = bench::MedianWindow(probed, [&](const bench::LoopWindow& window) {
      if (transactions(window) <= 0) return bench::WindowFigure{};
      return bench::WindowFigure{window.stallMs,
                                 bench::WireMs(window.traffic) / transactions(window)};
    });
    round = bench::MedianWindow(unprobed, [&](const bench::LoopWindow& window) {
      return bench::RoundFigure(window, transactions(window) / kTransactionsPerRound);
    });
    polled = dialog.Polling() && round.reference > 0;
  }
  ui::test::PumpMessages();
  line.Close();

  const bool stallWithin =
      bench::Report({.measured = "family8100: longest event-loop stall, signal flow of an X open",
                     .reference = "wire time of one transaction with its turnaround",
                     .unit = "ms",
                     .referenceFigure = stall.reference,
                     .measuredFigure = stall.measured,
                     .limit = kStallLimit,
                     .detail = stall.detail});
  const bool roundWithin =
      bench::Report({.measured = "family8100: one round of the signal flow's meters",
                     .reference = "wire time of the round with its turnarounds",
                     .unit = "ms",
                     .referenceFigure = round.reference,
                     .measuredFigure = round.measured,
                     .limit = kRoundLimit,
                     .detail = round.detail});
  return polled && stallWithin && roundWithin ? 0 : 1;
}
