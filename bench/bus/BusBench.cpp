// Bus throughput against the wire: reads, writes and a roll call through the real termios line and
// a pseudo-terminal, with the simulated units paced at the bus's baud rate. Each is held against
// the time the wire itself needs for the same traffic in the same run, turnarounds and the waits
// the protocol mandates included; exits non-zero when a ratio exceeds its limit.

#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bench/PacedBus.h"
#include "bus/BusNotifier.h"
#include "bus/CommPort.h"
#include "bus/IQDevice.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"
#include "bus/UCodeObject.h"
#include "tests/bus/TestDevice.h"

namespace {

constexpr int kFamily = 368;
constexpr int kValueId = 20;
constexpr int kTransfers = 1000;
constexpr int kRollCallUnits = 20;
constexpr double kLimitRatio = 1.15;

struct BenchType : IQDeviceType {
  BenchType() { GetTemplate().familyCode = kFamily; }
  IQDevice* CreateDevice(IQDeviceManager* manager, const IQDeviceInfo* info) override {
    return new bustest::TestDevice(this, manager, info);
  }
  std::string GetName() const override { return "Bench"; }
};

struct SilentNotifier : BusNotifier {
  void ShowMessage(const std::string& text, const std::string&, Icon) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

}  // namespace

int main() {
  sim::SimulatedBus bus;
  bus.SetPacing({.enabled = true, .turnaroundUs = bench::kTurnaroundUs});
  for (int address = 1; address <= kRollCallUnits; ++address) {
    bus.AddGenericUnit({.address = address, .family = kFamily},
                       {{.id = kValueId, .elementSize = 4, .isVolatile = true}});
  }
  bus.Start();
  CommPort port(1, kBusBaudRate, bench::LineTo(bus));
  IQDeviceManager manager(port);
  BenchType type;
  SilentNotifier notifier;
  port.Open();

  bool withinLimits = true;
  {
    std::vector<IQDevice*> found;
    bench::Timed rollCall = bench::Time(bus, [&] { manager.RollCall({&type}, found, notifier); });
    if (found.size() != kRollCallUnits) {
      std::fprintf(stderr, "roll call found %zu units\n", found.size());
      return 1;
    }
    // Reading until silence after the network select, the restart and every acknowledgement,
    // and the time-out of the query nobody answers.
    const int silentWaits = 1 + 1 + kRollCallUnits + 1;
    const double silenceMs = silentWaits * (port.GetRetries() + 1) * port.ByteAttemptTimeoutMs();
    rollCall.wireMs += silenceMs;
    withinLimits &=
        bench::Report("bus: roll call of " + std::to_string(kRollCallUnits) + " units",
                      "wire time with turnarounds and mandated waits", rollCall, kLimitRatio);
  }
  {
    IQDevice& unit = *manager.Devices().front();
    LongIntUCodeObject value(kValueId, 1, true);
    const bench::Timed transfers = bench::Time(bus, [&] {
      for (int i = 0; i < kTransfers; ++i) {
        value.Write(unit, static_cast<uint32_t>(i));
        value.Read(unit);
      }
    });
    withinLimits &=
        bench::Report("bus: " + std::to_string(kTransfers) + " reads and writes of 4 bytes each",
                      "wire time with turnarounds", transfers, kLimitRatio);
  }
  port.Close();
  bus.Stop();
  return withinLimits ? 0 : 1;
}
