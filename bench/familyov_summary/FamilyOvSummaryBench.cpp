// An 8148 with its unit summary and both level windows open, on a pseudo-terminal paced at the
// bus's baud rate: how long one round of every open level meter takes against the wire time of its
// reads and turnarounds, and the longest time the event loop is held between two ticks of a 1 ms
// timer against the wire time of one transaction, both measured in the same run.

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "resources/AppResources.h"
#include "sim/WireFormat.h"

namespace {

constexpr int kTickMs = 1;
constexpr int kRunMs = 3000;
constexpr int kChannelMeterObject = 0x2E;
constexpr double kRoundLimitRatio = 1.10;
constexpr double kStallLimitRatio = 1.5;

int MeterReads(const std::vector<sim::TrafficEntry>& traffic) {
  int reads = 0;
  for (const sim::TrafficEntry& entry : traffic) {
    if (entry.direction != sim::Direction::kToUnits) continue;
    const auto request = sim::DecodeRequest(entry.bytes);
    if (request && request->opcode == sim::kOpcodeGet && request->objectId == kChannelMeterObject) {
      ++reads;
    }
  }
  return reads;
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_summary_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Simulated8148 line;
  namespaceOV::IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  unit.autoOpenSummary = 1;
  bench::StartPacedRun(line.bus);
  const bool opened = unit.Open(nullptr);
  auto* edit = dynamic_cast<namespaceOV::TEditOVWindow*>(unit.EditWindow());
  if (edit != nullptr) {
    edit->OpenChildWindow(edit->Ids().inputLevel);
    edit->OpenChildWindow(edit->Ids().outputLevel);
  }
  ui::test::PumpMessages();

  line.bus.ClearTraffic();
  const double stallMs = bench::LongestStallMs(kRunMs, kTickMs);
  const auto traffic = line.bus.Traffic();
  const int meters = edit != nullptr ? static_cast<int>(edit->Poller().Count()) : 0;
  const double rounds = meters > 0 ? static_cast<double>(MeterReads(traffic)) / meters : 0;
  const double transactions = static_cast<double>(traffic.size()) / 2;
  const double wireMs = bench::WireMs(traffic);
  const double roundMs = rounds > 0 ? kRunMs / rounds : 0;
  std::printf("familyov summary: %d meters, %.1f rounds in %d ms, %.1f meter refreshes a second\n",
              meters, rounds, kRunMs, roundMs > 0 ? 1000.0 / roundMs : 0.0);

  const bool roundWithin = bench::Report(
      {.measured = "familyov: one round of every meter, an 8148's summary and level windows",
       .reference = "wire time of the round's transactions with turnarounds",
       .unit = "ms",
       .referenceFigure = rounds > 0 ? wireMs / rounds : 0,
       .measuredFigure = roundMs,
       .limit = kRoundLimitRatio});
  const bool stallWithin =
      bench::Report({.measured = "familyov: longest event-loop stall, an 8148's summary polling",
                     .reference = "wire time of one transaction with its turnaround",
                     .unit = "ms",
                     .referenceFigure = transactions > 0 ? wireMs / transactions : 0,
                     .measuredFigure = stallMs,
                     .limit = kStallLimitRatio});
  if (opened) unit.EditWindow()->CloseWindow();
  ui::test::PumpMessages();
  line.Close();
  return roundWithin && stallWithin && opened && rounds > 0 ? 0 : 1;
}
