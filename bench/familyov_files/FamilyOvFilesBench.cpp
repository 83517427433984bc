// Saving a simulated 8148's settings file and loading it back, through the real termios line and
// a pseudo-terminal paced at the bus's baud rate, each held against the time the wire itself needs
// for the same traffic in the same run; exits non-zero above the limit. The load ends with a recall
// of the current memory, whose ready wait polls the unit (traffic like any other) and then lets
// the line fall quiet for one poll timeout so that no late reply is taken for the next one: that
// quiet time is part of the reference.

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/BenchLine.h"
#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "bus/SettingsTextFile.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/SettingsFile.h"
#include "sim/SimulatedBus.h"
#include "sim/familyov/FamilyOvUnit.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kAddress = 1;
constexpr int kTurnaroundUs = 1000;
constexpr double kLimitRatio = 1.10;

// Runs `work` on a quiet bus; its time and the wire time of the traffic it made.
struct Timed {
  double measuredMs = 0.0;
  double wireMs = 0.0;
};

Timed Time(sim::SimulatedBus& bus, const std::function<void()>& work) {
  bus.ClearTraffic();
  const auto start = Clock::now();
  work();
  const double measured = Ms(Clock::now() - start).count();
  return {measured, sim::WireTimeMs(bus.Traffic(), kTurnaroundUs)};
}

bool Report(const std::string& what, const std::string& reference, const Timed& timed) {
  return bench::Report({.measured = what,
                        .reference = reference,
                        .unit = "ms",
                        .referenceFigure = timed.wireMs,
                        .measuredFigure = timed.measuredMs,
                        .limit = kLimitRatio});
}

}  // namespace

int main() {
  using namespace namespaceOV;
  sim::SimulatedBus bus;
  sim::familyov::AddFamilyOvUnit(
      bus, {.model = sim::familyov::Model::k8148, .address = kAddress, .compressorOption = true});
  bus.Start();
  CommPort port(1, kBusBaudRate, [path = bus.SlavePath()] {
    return serial::MakeSystemLine([path](int) { return std::optional(path); });
  });
  IQDeviceManager manager(port);
  IQ8148Type type;
  port.Open();
  const QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/unit.q48";

  const IQDeviceInfo record(kAddress, kFamilyCode8148, 1,
                            std::array<uint8_t, 8>{'4', '8', '1', '.', '5'});
  Timed save, load;
  try {
    IQDevice8148 unit(&type, &manager, &record, 8);
    unit.compressorOption = true;
    bus.SetPacing({.enabled = true, .turnaroundUs = kTurnaroundUs});
    save = Time(bus, [&] {
      SettingsTextFile file;
      if (!file.Open(path, SettingsTextFile::kWrite)) throw OrdavinexError("no file");
      WriteSettingsFile(unit, file, nullptr);
      if (!file.Close()) throw OrdavinexError("not saved");
    });
    unit.InvalidateValues();
    load = Time(bus, [&] {
      SettingsTextFile file;
      if (!file.Open(path, SettingsTextFile::kRead)) throw OrdavinexError("no file");
      const auto accept = [](const std::string&) { return true; };
      if (ReadSettingsFile(unit, file, accept, nullptr) != LoadResult::kLoaded) {
        throw OrdavinexError("not loaded");
      }
    });
  } catch (const IQException& e) {
    std::fprintf(stderr, "failure: %s\n", e.GetText().c_str());
    return 1;
  }
  const bool saved =
      Report("familyov: save an 8148's settings file", "wire time with turnarounds", save);
  load.wireMs += kFlagPollReplyTimeoutMs;
  const bool loaded = Report("familyov: load it back", "wire, turnarounds and ready wait", load);
  port.Close();
  bus.Stop();
  return saved && loaded ? 0 : 1;
}
