// Reading every filter and crossover of a simulated 8148 with a dozen filters per channel, through
// the real termios line and a pseudo-terminal paced at the bus's baud rate, held against the time
// the wire itself needs for the same traffic in the same run; exits non-zero above the limit.

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "sim/SimulatedBus.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kAddress = 1;
constexpr int kFiltersPerChannel = 12;
constexpr int kTurnaroundUs = 1000;
constexpr double kLimitRatio = 1.15;

// A mix of every channel filter class, written and started on the unit.
void FillUnit(namespaceOV::IQDeviceOrdavinex& unit) {
  using namespace namespaceOV;
  constexpr int kTypes[] = {kFilterParametric, kFilterLowpass,  kFilterHighpass, kFilterLowShelf,
                            kFilterHighShelf,  kFilterBoostCut, kFilterCDHorn,   kFilterAllpass};
  for (int channel = 0; channel < unit.channels; ++channel) {
    for (int i = 0; i < kFiltersPerChannel; ++i) {
      TFilter* filter = unit.AddFilter(MakeFilter(kTypes[i % std::size(kTypes)]));
      filter->channel = channel;
      filter->frequency = 100 * (i + 1);
      filter->WriteToDevice(unit);
      filter->SendCreateCommand(unit);
    }
  }
}

}  // namespace

int main() {
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
  int filters = 0;
  double measuredMs = 0.0;
  try {
    namespaceOV::IQDevice8148 writer(&type, &manager, &record, 8);
    FillUnit(writer);
    bus.SetPacing({.enabled = true, .turnaroundUs = kTurnaroundUs});
    bus.ClearTraffic();
    namespaceOV::IQDevice8148 reader(&type, &manager, &record, 8);
    const auto start = Clock::now();
    reader.ReadDeviceParameters();
    measuredMs = Ms(Clock::now() - start).count();
    filters = static_cast<int>(reader.Filters().size());
  } catch (const IQException& e) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
    return 1;
  }
  const bool within = bench::Report(
      {.measured = "familyov: read an 8148 with " + std::to_string(filters) + " filters",
       .reference = "wire time with turnarounds",
       .unit = "ms",
       .referenceFigure = sim::WireTimeMs(bus.Traffic(), kTurnaroundUs),
       .measuredFigure = measuredMs,
       .limit = kLimitRatio});
  port.Close();
  bus.Stop();
  return within ? 0 : 1;
}
