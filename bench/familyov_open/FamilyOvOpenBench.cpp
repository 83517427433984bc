// Opening a simulated 8148's edit window, from the open command to the window shown and filled,
// through the real termios line and a pseudo-terminal paced at the bus's baud rate. It is held
// against the wire time of the reads the open makes (turnarounds included) plus the same window
// opened on a virtual 8148, the window's own cost, measured in the same run.

#include <chrono>
#include <cstdio>

#include "bench/BenchLine.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Window.h"
#include "resources/AppResources.h"
#include "sim/SimulatedBus.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kAddress = 1;
constexpr int kTurnaroundUs = 1000;
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
  namespaceOV::SetCommErrorReporter([](const IQException& e, IQDevice&) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
  });

  sim::SimulatedBus bus;
  sim::familyov::AddFamilyOvUnit(bus, {.model = sim::familyov::Model::k8148, .address = kAddress});
  bus.Start();
  CommPort port(1, kBusBaudRate, [path = bus.SlavePath()] {
    return serial::MakeSystemLine([path](int) { return std::optional(path); });
  });
  IQDeviceManager manager(port);
  namespaceOV::IQ8148Type type;
  port.Open();
  const IQDeviceInfo record(kAddress, namespaceOV::kFamilyCode8148, 1,
                            std::array<uint8_t, 8>{'4', '8', '1', '.', '5'});

  namespaceOV::IQDevice8148 virtualUnit(&type, &manager, nullptr, 8);
  virtualUnit.autoOpenSummary = 0;
  OpenMs(virtualUnit);  // the first window pays for fonts and styles once
  const double windowMs = OpenMs(virtualUnit);

  namespaceOV::IQDevice8148 unit(&type, &manager, &record, 8);
  unit.autoOpenSummary = 0;
  bus.SetPacing({.enabled = true, .turnaroundUs = kTurnaroundUs});
  bus.ClearTraffic();
  const double measuredMs = OpenMs(unit);
  const bool failed = measuredMs < 0 || windowMs < 0;
  const double wireMs = sim::WireTimeMs(bus.Traffic(), kTurnaroundUs);

  const bool within =
      bench::Report({.measured = "familyov: open an 8148's edit window",
                     .reference = "wire time of its reads with turnarounds, plus the window on a "
                                  "virtual 8148",
                     .unit = "ms",
                     .referenceFigure = wireMs + windowMs,
                     .measuredFigure = measuredMs,
                     .limit = kLimitRatio});
  port.Close();
  bus.Stop();
  return within && !failed ? 0 : 1;
}
