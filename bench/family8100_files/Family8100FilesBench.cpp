// Reading every parameter of a simulated Ordavinex X and saving its settings file with two
// memories, through the real termios line and a pseudo-terminal paced at the bus's baud rate,
// each held against the time the wire itself needs for the same traffic (ready polls and
// turnarounds included) in the same run; exits non-zero above the limit.

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/BenchLine.h"
#include "bench/PacedBus.h"
#include "bench/SimulatedX.h"
#include "bus/SettingsTextFile.h"
#include "family8100/unit/SettingsFile8100.h"
#include "family8100/unit/Types8100.h"

namespace {

constexpr int kFilters = 24;
constexpr uint32_t kTwoMemories = 0x3;
constexpr double kLimitRatio = 1.10;

// A mix of every bank filter class and both crossovers, written and committed on the unit.
void FillUnit(namespace8100::IQDevice8100& unit) {
  using namespace namespace8100;
  constexpr int32_t kTypes[] = {kParametricFilter, kLowpassFilter,   kHighpassFilter,
                                kLowShelfFilter,   kHighShelfFilter, kBoostCutFilter};
  for (int i = 0; i < kFilters; ++i) {
    std::unique_ptr<TFilter> filter = MakeFilter(kTypes[i % std::size(kTypes)]);
    filter->bank = 1 + i % 4;
    filter->frequency = 100 * (i + 1);
    TFilter& placed = unit.PlaceFilter(std::move(filter));
    placed.WriteToUnit(unit);
    placed.SetUnitFlag(unit);
  }
  for (int32_t type : {kLowCrossoverFilter, kHighCrossoverFilter}) {
    std::unique_ptr<TFilter> crossover = MakeFilter(type);
    crossover->bank = kLeftOutputBank;
    crossover->frequency = type == kLowCrossoverFilter ? 200 : 2000;
    TFilter& placed = unit.PlaceFilter(std::move(crossover));
    placed.WriteToUnit(unit);
    placed.SetUnitFlag(unit);
  }
  unit.SaveMemory(1);
  unit.SaveMemory(2);
}

}  // namespace

int main() {
  bench::SimulatedX line;
  const std::string path =
      (std::filesystem::temp_directory_path() / "family8100-bench.ov0").string();

  bench::Timed read;
  bench::Timed save;
  try {
    namespace8100::IQDevice8100X writer(&line.type, &line.manager, &line.record);
    FillUnit(writer);
    namespace8100::IQDevice8100X unit(&line.type, &line.manager, &line.record);
    bench::StartPacedRun(line.bus);
    read = bench::Time(line.bus, [&unit] { unit.ReadAllParameters(); });
    save = bench::Time(line.bus, [&unit, &path] {
      SettingsTextFile file;
      file.Open(path, SettingsTextFile::kWrite);
      namespace8100::WriteSettingsFile(unit, file, kTwoMemories);
      file.Close();
    });
  } catch (const IQException& e) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
    return 1;
  }
  std::filesystem::remove(path);
  line.Close();
  const std::string filters = std::to_string(kFilters) + " filters and two crossovers";
  const bool readWithin = bench::Report("family8100: read an X with " + filters,
                                        "wire time with turnarounds", read, kLimitRatio);
  const bool saveWithin = bench::Report("family8100: save an X with " + filters + ", two memories",
                                        "wire time with turnarounds", save, kLimitRatio);
  return readWithin && saveWithin ? 0 : 1;
}
