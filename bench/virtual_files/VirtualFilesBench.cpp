// A settings file loaded into a new virtual unit and saved again, for a unit of each family with
// everything its file holds: every memory, and the older family's most filters (the Rune Tide's
// third-octave banks). Most of the time goes to the unit's parameter store, a value at a time,
// and it passes while the user waits: the median of repeated round trips is held against a 60 Hz
// frame. Exits non-zero above the limit.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchLine.h"
#include "bench/Repeated.h"
#include "bus/SettingsTextFile.h"
#include "family3300/SettingsFile3300.h"
#include "family3300/Types3300.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/SettingsFile8100.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/SettingsFile.h"
#include "tests/support/MemoryFolder.h"

namespace {

constexpr int kRoundTrips = 40;
// A quarter of a frame: the file's load and its save each go by without a visible pause.
constexpr double kLimitRatio = 0.25;
constexpr int kFourInputOutputs = 8;
constexpr uint32_t kEveryMemory8100 = (1U << namespace8100::kMemoryCount) - 1;

using Clock = std::chrono::steady_clock;

// Saves a unit's file at `path`; false when it could not.
bool Save(const std::string& path, const std::function<void(SettingsTextFile&)>& write) {
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kWrite)) return false;
  write(file);
  return file.Close();
}

// The milliseconds of each of `kRoundTrips` runs of `roundTrip`; empty when one failed.
std::vector<double> Timed(const std::function<bool()>& roundTrip) {
  std::vector<double> ms;
  for (int run = 0; run < kRoundTrips; ++run) {
    const auto start = Clock::now();
    if (!roundTrip()) return {};
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return ms;
}

bool Report(const std::string& what, const std::vector<double>& ms) {
  if (ms.empty()) {
    std::fprintf(stderr, "%s: the round trip failed\n", what.c_str());
    return false;
  }
  const bench::Spread spread = bench::SpreadOf(ms);
  char detail[96];
  std::snprintf(detail, sizeof detail, "median of %zu, middle half %.3f-%.3f ms", spread.count,
                spread.lowerQuartile, spread.upperQuartile);
  return bench::Report({.measured = what,
                        .reference = "a 60 Hz frame",
                        .unit = "ms",
                        .referenceFigure = bench::kFrameMs,
                        .measuredFigure = spread.median,
                        .limit = kLimitRatio,
                        .detail = detail});
}

bool NewerFamily(const std::string& path) {
  using namespace namespaceOV;
  static IQ8148Type type;
  const LoadConfirmation goOn = [](const std::string&) { return true; };
  const auto save = [&](IQDeviceOrdavinex& unit) {
    return Save(path, [&](SettingsTextFile& file) { WriteSettingsFile(unit, file, nullptr); });
  };
  IQDevice8148 source(&type, nullptr, nullptr, kFourInputOutputs);
  if (!save(source)) return false;
  return Report("virtual Ordavinex 48: settings file loaded and saved", Timed([&] {
                  IQDevice8148 unit(&type, nullptr, nullptr, kFourInputOutputs);
                  SettingsTextFile file;
                  return file.Open(path, SettingsTextFile::kRead) &&
                         ReadSettingsFile(unit, file, goOn, nullptr) == LoadResult::kLoaded &&
                         save(unit);
                }));
}

bool OlderFamily(const std::string& path) {
  using namespace namespace8100;
  const auto save = [&](IQDevice8100& unit) {
    return Save(path,
                [&](SettingsTextFile& file) { WriteSettingsFile(unit, file, kEveryMemory8100); });
  };
  IQDevice8100RT source(nullptr, nullptr, nullptr);
  if (!save(source)) return false;
  return Report("virtual Ordavinex Rune Tide: settings file loaded and saved", Timed([&] {
                  IQDevice8100RT unit(nullptr, nullptr, nullptr);
                  SettingsTextFile file;
                  if (!file.Open(path, SettingsTextFile::kRead)) return false;
                  const SettingsLoad load = ReadSettingsFile(unit, file);
                  ApplySettingsLoad(unit, load, load.Memories());
                  return save(unit);
                }));
}

bool GraphicEqualisers(const std::string& path) {
  using namespace namespace3300;
  static IQ3300Type type;
  const auto save = [&](IQDevice3300& unit) {
    return Save(path, [&](SettingsTextFile& file) { WriteSettingsFile3300(unit, file); });
  };
  IQDevice3300 source(&type, nullptr, nullptr, Model3300::kTwoChannel);
  if (!save(source)) return false;
  return Report(
      "virtual 3300-2XL: settings file loaded and saved", Timed([&] {
        IQDevice3300 unit(&type, nullptr, nullptr, Model3300::kTwoChannel);
        SettingsTextFile file;
        SettingsLoad load;
        if (!file.Open(path, SettingsTextFile::kRead) ||
            ReadSettingsFile3300(file, Model3300::kTwoChannel, load) != FileCheck::kLoadable) {
          return false;
        }
        ApplySettingsLoad(unit, load);
        return save(unit);
      }));
}

}  // namespace

int main() {
  const std::filesystem::path folder = testsupport::MemoryFolder();
  const std::string stem = "telvo-virtual-bench-" + std::to_string(::getpid());
  bool within = true;
  try {
    within = NewerFamily((folder / (stem + ".q48")).string()) && within;
    within = OlderFamily((folder / (stem + ".ov0")).string()) && within;
    within = GraphicEqualisers((folder / (stem + ".eq")).string()) && within;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "virtual files bench: %s\n", error.what());
    within = false;
  }
  for (const char* extension : {".q48", ".ov0", ".eq"}) {
    std::error_code ignored;
    std::filesystem::remove(folder / (stem + extension), ignored);
  }
  return within ? 0 : 1;
}
