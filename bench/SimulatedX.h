#pragma once

#include "bench/PacedBus.h"
#include "bus/IQDeviceManager.h"
#include "family8100/unit/Types8100.h"
#include "sim/family8100/Family8100Unit.h"

namespace bench {

// One simulated Ordavinex X on a started bus, and the program's side open on it: the port, the
// manager, the type and the record a roll call would have made of the unit.
struct SimulatedX {
  static constexpr int kAddress = 1;

  SimulatedX() {
    sim::family8100::AddFamily8100Unit(bus,
                                       {.model = sim::family8100::Model::kX, .address = kAddress});
    bus.Start();
    port.Open();
  }

  void Close() {
    port.Close();
    bus.Stop();
  }

  sim::SimulatedBus bus;
  CommPort port{1, kBusBaudRate, LineTo(bus)};
  IQDeviceManager manager{port};
  namespace8100::IQ8100XType type;
  const IQDeviceInfo record{kAddress, namespace8100::kTypeCodeX, 1};
};

}  // namespace bench
