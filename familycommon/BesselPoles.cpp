#include "familycommon/BesselPoles.h"

#include <array>

namespace familycommon {
namespace {

// Orders 1 to 8 one after another (1 + 1 + 2 + 2 + 3 + 3 + 4 + 4 entries), fixed values rather
// than roots found at start-up, so every build draws the same curves.
constexpr std::array<BesselPole, 20> kPoles{{
    {1.0, 0.0},
    {1.10160133059, 0.636009824757},
    {1.04740916101, 0.999264436281},
    {1.32267579991, 0.0},
    {1.37006783055, 0.410249717494},
    {0.99520876435, 1.25710573945},
    {1.38087732586, 0.717909587627},
    {0.957676548563, 1.47112432073},
    {1.50231627145, 0.0},
    {1.57149040362, 0.320896374221},
    {1.3818580976, 0.971471890712},
    {0.930656522947, 1.66186326894},
    {1.61203876622, 0.589244506931},
    {1.3789032168, 1.1915667778},
    {0.909867780623, 1.83645135304},
    {1.68436817927, 0.0},
    {1.7574084004, 0.272867575103},
    {1.63693941813, 0.822795625139},
    {1.37384121764, 1.38835657588},
    {0.892869718847, 1.99832584364},
}};

// An order of n takes (n + 1) / 2 entries.
constexpr int EntriesOf(int order) { return (order + 1) / 2; }

constexpr int FirstEntryOf(int order) {
  int first = 0;
  for (int n = 1; n < order; ++n) first += EntriesOf(n);
  return first;
}

static_assert(FirstEntryOf(kMaxBesselOrder + 1) == static_cast<int>(kPoles.size()));

}  // namespace

std::span<const BesselPole> BesselPolesOfOrder(int order) {
  if (order < 1 || order > kMaxBesselOrder) return {};
  return std::span<const BesselPole>(kPoles).subspan(FirstEntryOf(order), EntriesOf(order));
}

}  // namespace familycommon
