// Every value a held spin button steps, in every family, held until its step is huge: it stops at
// the end of its range, however large the step, and never wraps round past it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/TQuadButton.h"
#include "family8100/filters/FilterEntry.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/TFilter.h"

namespace {

struct SteppedValue {
  const char* what;
  int (*stepped)(int value, int zone, int count);
  int low;
  int high;
};

const SteppedValue kSteppedValues[] = {
    {"older family's filter and crossover frequency",
     [](int hz, int zone, int count) { return namespace8100::SteppedFrequency(hz, zone, count); },
     namespace8100::kMinFrequencyHz, namespace8100::kMaxFrequencyHz},
    {"newer family's filter frequency", namespaceOV::SteppedFilterFrequency,
     namespaceOV::kMinFilterFrequency, namespaceOV::kMaxFilterFrequency},
    {"newer family's crossover frequency", namespaceOV::SteppedCrossoverFrequency,
     namespaceOV::kMinCrossoverHz, namespaceOV::kMaxCrossoverHz},
};

TEST(SteppedToTheEndTest, AHugeStepFromEitherEndLandsOnTheEndItStepsToward) {
  for (const SteppedValue& value : kSteppedValues) {
    for (const int count : {1 << 22, TQuadButton::kMaxStep}) {
      for (const int zone : {TQuadButton::kLowerLeft, TQuadButton::kLowerRight,
                             TQuadButton::kUpperRight, TQuadButton::kUpperLeft}) {
        const bool up = zone == TQuadButton::kUpperRight || zone == TQuadButton::kUpperLeft;
        for (const int from : {value.low, value.high}) {
          EXPECT_EQ(value.stepped(from, zone, count), up ? value.high : value.low)
              << value.what << ", zone " << zone << ", " << count << " steps from " << from;
        }
      }
    }
  }
}

}  // namespace
