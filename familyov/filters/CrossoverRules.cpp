#include "familyov/filters/CrossoverRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/SteppedValue.h"
#include "familyov/filters/FilterTypeCodes.h"

namespace namespaceOV {

namespace {

int Sections(int order) { return order > 0 ? (order + 1) / 2 : 0; }

}  // namespace

int SteppedCrossoverOrder(int crossoverType, int order, int delta) {
  const bool evenOnly = crossoverType == kCrossoverLinkwitzRiley;
  int next = 0;
  if (evenOnly) {
    next = order - 2 * delta;
    // There is no sixth order: the step goes on to the next one there is.
    if (next == 6) next = 6 - 2 * delta;
  } else {
    next = order - delta;
    if (next == 7) next = 4;
    if (next == 5) next = 8;
  }
  if (next > kMaxCrossoverOrder) next = kMaxCrossoverOrder;
  if (next < 1) next = evenOnly ? 2 : 1;
  return next;
}

int OrderForType(int crossoverType, int order) {
  return crossoverType == kCrossoverLinkwitzRiley && order % 2 != 0 ? order + 1 : order;
}

int AddedCrossoverSections(int oldOrder, int newOrder) {
  return std::max(0, Sections(newOrder) - Sections(oldOrder));
}

int SteppedCrossoverFrequency(int frequency, int quadrant, int steps) {
  const int f = frequency;
  int step = 0;
  switch (quadrant) {
    case 0:
      step = f > 1000 && f <= 10000 ? -100 : f > 10000 && f <= 100000 ? -1000 : -10;
      break;
    case 1:
      step = -1;
      break;
    case 2:
      step = 1;
      break;
    case 3:
      step = f >= 1000 && f < 10000 ? 100 : f >= 10000 && f < 100000 ? 1000 : 10;
      break;
    default:
      break;
  }
  return controls::SteppedWithin(f, step, steps, kMinCrossoverHz, kMaxCrossoverHz);
}

std::optional<int> ParseFrequency(const std::string& text, int minimum, int maximum) {
  const std::string number = text.substr(0, text.find('k'));
  const bool kilo = number.size() != text.size();
  const char* begin = number.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return std::nullopt;
  if (kilo) value *= 1000.0;
  value = std::clamp(value, static_cast<double>(minimum), static_cast<double>(maximum));
  return static_cast<int>(value);
}

}  // namespace namespaceOV
