// An open, idle 8148 whose window watches for settings the unit loads by itself, on a
// pseudo-terminal paced at the bus's baud rate: the longest time the event loop is held between
// two ticks of a 1 ms timer, against the wire time of one poll of the unit (request, turnaround
// and reply), measured in the same run.

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
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
constexpr int kTickMs = 1;
constexpr int kIdleRunMs = 2000;
constexpr double kLimitRatio = 1.5;

// The longest gap beyond one tick between two ticks while the loop runs for `runMs`.
double LongestStallMs(int runMs) {
  double longest = 0;
  auto last = Clock::now();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest = std::max(longest, Ms(now - last).count() - kTickMs);
    last = now;
  });
  QEventLoop loop;
  QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
  tick.start(kTickMs);
  loop.exec();
  return longest;
}

}  // namespace

int main(int argc, char** argv) {
  ui::Application app(argc, argv, "familyov_idle_bench");
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
  namespaceOV::IQDevice8148 unit(&type, &manager, &record, 8);
  unit.autoOpenSummary = 0;
  bus.SetPacing({.enabled = true, .turnaroundUs = kTurnaroundUs});
  const bool opened = unit.Open(nullptr);
  ui::test::PumpMessages();

  bus.ClearTraffic();
  const double stallMs = LongestStallMs(kIdleRunMs);
  const auto traffic = bus.Traffic();
  // Every transaction of the idle unit is one poll: a request and its reply.
  const double polls = static_cast<double>(traffic.size()) / 2;
  const double pollMs = polls > 0 ? sim::WireTimeMs(traffic, kTurnaroundUs) / polls : 0;
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
  port.Close();
  bus.Stop();
  return within && opened && polls > 0 ? 0 : 1;
}
