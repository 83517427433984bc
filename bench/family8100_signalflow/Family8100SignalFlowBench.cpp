// The signal-flow page of a simulated Ordavinex X, open on a pseudo-terminal paced at the bus's
// baud rate, its meters read in idle time: the longest time the event loop is held between two
// ticks of a 1 ms timer against the wire time of one transaction, and the time a round of the
// meters takes (ready flag and four meters) against the wire time of that round, turnarounds
// included, both measured in the same run.

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/PacedBus.h"
#include "bus/IQDeviceManager.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "family8100/unit/Types8100.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppResources.h"
#include "sim/family8100/Family8100Unit.h"

namespace {

using bench::Clock;
using bench::Ms;

constexpr int kAddress = 1;
constexpr int kTickMs = 1;
constexpr int kRunMs = 2000;
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

  sim::SimulatedBus bus;
  sim::family8100::AddFamily8100Unit(bus,
                                     {.model = sim::family8100::Model::kX, .address = kAddress});
  bus.Start();
  CommPort port{1, kBusBaudRate, bench::LineTo(bus)};
  port.Open();
  IQDeviceManager manager{port};
  namespace8100::IQ8100XType type;
  const IQDeviceInfo record(kAddress, namespace8100::kTypeCodeX, 1);
  namespace8100::IQDevice8100X unit(&type, &manager, &record);

  bool polled = false;
  double stallMs = 0;
  double transactionMs = 0;
  double roundMs = 0;
  double roundWireMs = 0;
  {
    namespace8100::TSigFlowDialog dialog(nullptr, unit);
    dialog.Create();
    ui::test::PumpMessages();
    bench::StartPacedRun(bus);
    const auto start = Clock::now();
    stallMs = bench::LongestStallMs(kRunMs, kTickMs);
    const double runMs = Ms(Clock::now() - start).count();
    const auto traffic = bus.Traffic();
    // Every transaction is a request and its reply.
    const double transactions = static_cast<double>(traffic.size()) / 2;
    const double wireMs = bench::WireMs(traffic);
    const double rounds = transactions / kTransactionsPerRound;
    polled = dialog.Polling() && transactions > 0;
    if (polled) {
      transactionMs = wireMs / transactions;
      roundMs = runMs / rounds;
      roundWireMs = wireMs / rounds;
    }
    std::printf("family8100 signal flow: %.0f transactions in %.0f ms\n", transactions, runMs);
  }
  ui::test::PumpMessages();
  port.Close();
  bus.Stop();

  const bool stallWithin =
      bench::Report({.measured = "family8100: longest event-loop stall, signal flow of an X open",
                     .reference = "wire time of one transaction with its turnaround",
                     .unit = "ms",
                     .referenceFigure = transactionMs,
                     .measuredFigure = stallMs,
                     .limit = kStallLimit});
  const bool roundWithin =
      bench::Report({.measured = "family8100: one round of the signal flow's meters",
                     .reference = "wire time of the round with its turnarounds",
                     .unit = "ms",
                     .referenceFigure = roundWireMs,
                     .measuredFigure = roundMs,
                     .limit = kRoundLimit});
  return polled && stallWithin && roundWithin ? 0 : 1;
}
