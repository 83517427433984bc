// Opening a simulated 8148's edit window, from the open command to the window shown and filled,
// through the real termios line and a pseudo-terminal paced at the bus's baud rate. It is held
// against the wire time of the reads the open makes (turnarounds included) plus the same window
// opened on a virtual 8148, the window's own cost, measured in the same run: the median of several
// opens, whose processor time is not counted again as the program's beyond the reference.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "resources/AppResources.h"

namespace {

constexpr double kLimitRatio = 1.10;
constexpr int kVirtualOpens = 5;

// From the open command to the window shown and drawn; the window is closed afterwards. Nothing
// when it did not open.
std::optional<bench::Timed> TimedOpen(sim::SimulatedBus& bus,
                                      namespaceOV::IQDeviceOrdavinex& unit) {
  bool opened = false;
  const bench::Timed timed = bench::Time(bus, [&] {
    opened = unit.Open(nullptr);
    ui::test::PumpMessages();
  });
  if (!opened) return std::nullopt;
  unit.EditWindow()->CloseWindow();
  ui::test::PumpMessages();
  return timed;
}

// The median of several opens of the window on a virtual unit, after one that pays for fonts and
// styles once.
std::optional<bench::Timed> MedianVirtualOpen(sim::SimulatedBus& bus,
                                              namespaceOV::IQDeviceOrdavinex& unit) {
  std::vector<bench::Timed> opens;
  for (int i = 0; i <= kVirtualOpens; ++i) {
    const std::optional<bench::Timed> open = TimedOpen(bus, unit);
    if (!open) return std::nullopt;
    if (i > 0) opens.push_back(*open);
  }
  std::ranges::sort(opens, {}, &bench::Timed::measuredMs);
  return opens[opens.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_open_bench");
  RegisterAppResources();
  bench::PrintBusFailures();

  bench::Simulated8148 line;

  namespaceOV::IQDevice8148 virtualUnit(&line.type, &line.manager, nullptr, 8);
  virtualUnit.autoOpenSummary = 0;
  const std::optional<bench::Timed> window = MedianVirtualOpen(line.bus, virtualUnit);

  namespaceOV::IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
  unit.autoOpenSummary = 0;
  bench::StartPacedRun(line.bus);
  std::optional<bench::Timed> open = TimedOpen(line.bus, unit);
  line.Close();
  if (!window || !open) return 1;
  open->wireMs += window->measuredMs;
  open->threads.programCpuMs -= window->threads.programCpuMs;

  const bool within =
      bench::Report("familyov: open an 8148's edit window",
                    "wire time of its reads with turnarounds, plus the window on a virtual 8148",
                    *open, kLimitRatio);
  return within ? 0 : 1;
}
