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
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/TestHooks.h"
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

// The unit window of a simulated 8148, opened on a paced bus as a double click would open it, and
// closed again when this goes: where the benchmarks of the family's windows start. Only the traffic
// after the opening counts. Needs the application object.
class Open8148 {
 public:
  explicit Open8148(bool autoOpenSummary) {
    unit.autoOpenSummary = autoOpenSummary ? 1 : 0;
    StartPacedRun(line.bus);
    if (unit.Open(nullptr)) edit = dynamic_cast<namespaceOV::TEditOVWindow*>(unit.EditWindow());
    ui::test::PumpMessages();
    line.bus.ClearTraffic();
  }
  ~Open8148() {
    if (edit != nullptr) edit->CloseWindow();
    ui::test::PumpMessages();
    line.Close();
  }
  Open8148(const Open8148&) = delete;
  Open8148& operator=(const Open8148&) = delete;

  // Opens the child window of tree node `node`; null when it did not open.
  ui::Window* OpenChild(int node) {
    if (edit == nullptr) return nullptr;
    edit->OpenChildWindow(node);
    ui::test::PumpMessages();
    line.bus.ClearTraffic();
    return edit->ChildWindow(node);
  }

  Simulated8148 line;
  namespaceOV::IQDevice8148 unit{&line.type, &line.manager, &line.record, 8};
  // Null when the unit did not open.
  namespaceOV::TEditOVWindow* edit = nullptr;
};

// A bus failure in a benchmark prints on stderr, where its log shows why it ran long or failed.
inline void PrintBusFailures() {
  namespaceOV::SetCommErrorReporter([](const IQException& e, IQDevice&) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
  });
}

}  // namespace bench
