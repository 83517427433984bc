// Opening a simulated 8148's edit window, from the open command to the window shown and filled,
// through the real termios line and a pseudo-terminal paced at the bus's baud rate. It is held
// against the wire time of the reads the open makes (turnarounds included) plus the same window
// opened on a virtual 8148, the window's own cost, measured in the same run.

#include <cstdio>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "resources/AppResources.h"

namespace {

using bench::Clock;
using bench::Ms;

constexpr double kLimitRatio = 1.10;

// From the open command to the window shown and drawn; the window is closed afterwards.
double OpenMs(namespaceOV::IQDeviceOrdavinex& unit) {
  const auto start = Clock::now();
  if (!unit.Open(nullptr)) return -1.0;
  ui::test::PumpMessages();
  const double ms = Ms(Clock::now() - start).count();
  unit.EditWindow()->CloseWindow();
  ui::test::PumpMessages();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_open_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Simulated8148 line;

  namespaceOV::IQDevice8148 virtualUnit(&line.type, &line.manager, nullptr, 8);
  virtualUnit.autoOpenSummary = 0;
  OpenMs(virtualUnit);  // the first window pays for fonts and styles once
  const double windowMs = OpenMs(virtualUnit);

  namespaceOV::IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  unit.autoOpenSummary = 0;
  bench::StartPacedRun(line.bus);
  const double measuredMs = OpenMs(unit);
  const bool failed = measuredMs < 0 || windowMs < 0;
  const double wireMs = bench::WireMs(line.bus.Traffic());

  const bool within =
      bench::Report({.measured = "familyov: open an 8148's edit window",
                     .reference = "wire time of its reads with turnarounds, plus the window on a "
                                  "virtual 8148",
                     .unit = "ms",
                     .referenceFigure = wireMs + windowMs,
                     .measuredFigure = measuredMs,
                     .limit = kLimitRatio});
  line.Close();
  return within && !failed ? 0 : 1;
}
