// Reading every parameter of a simulated 3300-2XL, and saving its settings file with every memory,
// through the real termios line and a pseudo-terminal paced at the bus's baud rate, each held
// against the time the wire itself needs for the same traffic in the same run (the units ask for
// no waits of their own); exits non-zero above the limit.

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bench/PacedBus.h"
#include "bus/IQDeviceManager.h"
#include "bus/IQException.h"
#include "bus/SettingsTextFile.h"
#include "family3300/Parameters3300.h"
#include "family3300/SettingsFile3300.h"
#include "family3300/Types3300.h"
#include "familycommon/LoadFailure.h"
#include "sim/family3300/Family3300Unit.h"

namespace {

using bench::Time;
using bench::Timed;
using namespace namespace3300;

constexpr double kLimitRatio = 1.10;
constexpr int kAddress = 7;

// Every parameter the unit lets the program read: the passwords and the memory command are
// written only.
void ReadAllParameters(IQDevice3300& unit) {
  g3300DspiSwitch.Read(unit);
  g3300Lock.Read(unit);
  g3300Status.Read(unit);
  g3300UnitName.Read(unit);
  g3300MemoryNumber.Read(unit);
  for (const StringUCodeObject& name : g3300MemoryName) name.Read(unit);
  SettingsImage settings{};
  unit.SnapshotSettings(settings, SnapshotMode::kRead);
}

bool Report(const std::string& what, const Timed& timed) {
  return bench::Report(what, "wire time with turnarounds", timed, kLimitRatio);
}

}  // namespace

int main() {
  sim::SimulatedBus bus;
  sim::family3300::AddFamily3300Unit(
      bus, {.model = sim::family3300::Model::k3300_2XL, .address = kAddress});
  bus.Start();
  CommPort port(1, kBusBaudRate, bench::LineTo(bus));
  IQDeviceManager manager(port);
  IQ33002Type type;
  const uint8_t id[8] = {'2', '0', '1', '.', '2', '0'};
  const IQDeviceInfo record(kAddress, kFamilyCode3300, 1, id);
  const QTemporaryDir folder;

  const std::string path = folder.path().toStdString() + "/unit.332";
  Timed read, save;
  bool saved = false;
  try {
    port.Open();
    IQDevice3300 unit(&type, &manager, &record, Model3300::kTwoChannel);
    bench::StartPacedRun(bus);
    read = Time(bus, [&] { ReadAllParameters(unit); });
    SettingsTextFile file;
    if (file.Open(path, SettingsTextFile::kWrite)) {
      save = Time(bus, [&] {
        WriteSettingsFile3300(unit, file);
        saved = file.Close();
      });
    }
  } catch (const IQException& e) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
    return 1;
  } catch (const familycommon::MemoryReadFailure&) {
    std::fprintf(stderr, "bus failure while the memories were read for the save\n");
    return 1;
  }
  if (!saved) {
    std::fprintf(stderr, "the settings file could not be written\n");
    return 1;
  }
  const bool readWithin = Report("family3300: read all parameters of a 3300-2XL", read);
  const bool saveWithin = Report("family3300: save a 3300-2XL's settings file", save);
  port.Close();
  bus.Stop();
  return readWithin && saveWithin ? 0 : 1;
}
