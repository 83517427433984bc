// Reading every filter and crossover of a simulated 8148 with a dozen filters per channel, through
// the real termios line and a pseudo-terminal paced at the bus's baud rate, held against the time
// the wire itself needs for the same traffic in the same run; exits non-zero above the limit.

#include <cstdio>
#include <string>

#include "bench/BenchLine.h"
#include "bench/Simulated8148.h"

namespace {

constexpr int kFiltersPerChannel = 12;
constexpr double kLimitRatio = 1.15;

// A mix of every channel filter class, written and started on the unit.
void FillUnit(namespaceOV::IQDeviceOrdavinex& unit) {
  using namespace namespaceOV;
  constexpr int kTypes[] = {kFilterParametric, kFilterLowpass,  kFilterHighpass, kFilterLowShelf,
                            kFilterHighShelf,  kFilterBoostCut, kFilterCDHorn,   kFilterAllpass};
  for (int channel = 0; channel < unit.channels; ++channel) {
    for (int i = 0; i < kFiltersPerChannel; ++i) {
      TFilter* filter = unit.AddFilter(MakeFilter(kTypes[i % std::size(kTypes)]));
      filter->channel = channel;
      filter->frequency = 100 * (i + 1);
      filter->WriteToDevice(unit);
      filter->SendCreateCommand(unit);
    }
  }
}

}  // namespace

int main() {
  bench::Simulated8148 line;
  int filters = 0;
  bench::Timed read;
  try {
    namespaceOV::IQDevice8148 writer(&line.type, &line.manager, &line.record, 8);
    FillUnit(writer);
    bench::StartPacedRun(line.bus);
    namespaceOV::IQDevice8148 reader(&line.type, &line.manager, &line.record, 8);
    read = bench::Time(line.bus, [&reader] { reader.ReadDeviceParameters(); });
    filters = static_cast<int>(reader.Filters().size());
  } catch (const IQException& e) {
    std::fprintf(stderr, "bus failure: %s\n", e.GetText().c_str());
    return 1;
  }
  const bool within =
      bench::Report("familyov: read an 8148 with " + std::to_string(filters) + " filters",
                    "wire time with turnarounds", read, kLimitRatio);
  line.Close();
  return within ? 0 : 1;
}
