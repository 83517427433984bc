// Saving a simulated 8148's settings file and loading it back, through the real termios line and
// a pseudo-terminal paced at the bus's baud rate, each held against the time the wire itself needs
// for the same traffic in the same run; exits non-zero above the limit. The load ends with a recall
// of the current memory, whose ready wait polls the unit (traffic like any other) and then lets
// the line fall quiet for one poll timeout so that no late reply is taken for the next one: that
// quiet time is part of the reference.

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"
#include "bus/SettingsTextFile.h"
#include "familyov/unit/FlagWait.h"
#include "familyov/unit/SettingsFile.h"

namespace {

constexpr double kLimitRatio = 1.10;

using bench::Time;
using bench::Timed;

}  // namespace

int main() {
  using namespace namespaceOV;
  bench::Simulated8148 line({.compressorOption = true});
  const QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/unit.q48";

  Timed save, load;
  try {
    IQDevice8148 unit(&line.type, &line.manager, &line.record, 8);
    unit.compressorOption = true;
    line.bus.SetPacing({.enabled = true, .turnaroundUs = bench::kTurnaroundUs});
    save = Time(line.bus, [&] {
      SettingsTextFile file;
      if (!file.Open(path, SettingsTextFile::kWrite)) throw OrdavinexError("no file");
      WriteSettingsFile(unit, file, nullptr);
      if (!file.Close()) throw OrdavinexError("not saved");
    });
    unit.InvalidateValues();
    load = Time(line.bus, [&] {
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
  const bool saved = bench::Report("familyov: save an 8148's settings file",
                                   "wire time with turnarounds", save, kLimitRatio);
  load.wireMs += kFlagPollReplyTimeoutMs;
  const bool loaded = bench::Report("familyov: load it back", "wire, turnarounds and ready wait",
                                    load, kLimitRatio);
  line.Close();
  return saved && loaded ? 0 : 1;
}
