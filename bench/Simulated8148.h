#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

#include "bench/PacedBus.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace bench {

// One simulated 8148 on a started bus, and the program's side open on it: the port, the manager,
// the type and the record a roll call would have made of the unit.
struct Simulated8148 {
  static constexpr int kAddress = 1;

  explicit Simulated8148(sim::familyov::UnitOptions options = {},
                         std::array<uint8_t, 8> version = {'4', '8', '1', '.', '5'})
      : record(kAddress, namespaceOV::kFamilyCode8148, 1, version) {
    options.model = sim::familyov::Model::k8148;
    options.address = kAddress;
    sim::familyov::AddFamilyOvUnit(bus, options);
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
  namespaceOV::IQ8148Type type;
  const IQDeviceInfo record;
};

// A bus failure in a benchmark prints on stderr, where its log shows why it ran long or failed.
inline void PrintBusFailures() {
  namespaceOV::SetCommErrorReporter([](const IQException& e, IQDevice&) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
  });
}

}  // namespace bench
