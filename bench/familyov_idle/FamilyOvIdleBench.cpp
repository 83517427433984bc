// An open, idle 8148 whose window watches for settings the unit loads by itself, on a
// pseudo-terminal paced at the bus's baud rate: the longest time the event loop is held between
// two ticks of a 1 ms timer, against the wire time of one poll of the unit (request, turnaround
// and reply), measured in the same run.

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "resources/AppResources.h"

namespace {

constexpr int kTickMs = 1;
constexpr int kIdleRunMs = 2000;
constexpr double kLimitRatio = 1.5;

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_idle_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Simulated8148 line;
  namespaceOV::IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  unit.autoOpenSummary = 0;
  bench::StartPacedRun(line.bus);
  const bool opened = unit.Open(nullptr);
  ui::test::PumpMessages();

  line.bus.ClearTraffic();
  const double stallMs = bench::LongestStallMs(kIdleRunMs, kTickMs);
  const auto traffic = line.bus.Traffic();
  // Every transaction of the idle unit is one poll: a request and its reply.
  const double polls = static_cast<double>(traffic.size()) / 2;
  const double pollMs = polls > 0 ? bench::WireMs(traffic) / polls : 0;
  std::printf("familyov idle: %.0f polls in %d ms\n", polls, kIdleRunMs);

  const bool within =
      bench::Report({.measured = "familyov: longest event-loop stall, an idle open 8148",
                     .reference = "wire time of one poll of the unit with its turnaround",
                     .unit = "ms",
                     .referenceFigure = pollMs,
                     .measuredFigure = stallMs,
                     .limit = kLimitRatio});
  if (opened) unit.EditWindow()->CloseWindow();
  ui::test::PumpMessages();
  line.Close();
  return within && opened && polls > 0 ? 0 : 1;
}
