#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "familyov/filters/FilterResponse.h"
#include "tests/familyov_response/GoldenTables.h"
#include "tests/familyov_response/ResponseTolerances.h"

namespace namespaceOV {
namespace {

FilterShape ShapeOf(const GoldenResponse& row) {
  FilterShape shape;
  shape.typeCode = row.typeCode;
  shape.frequencyHz = row.frequencyHz;
  shape.levelDb = row.levelDb;
  shape.q = row.q;
  shape.order = row.order;
  shape.crossoverType = row.crossoverType;
  shape.allpassCoefficient = ComputeAllpassCoefficients(row.frequencyHz).coefficient;
  return shape;
}

// Checks every reference row that `selects` picks; returns how many there were.
int ExpectReferenceRows(const std::function<bool(const GoldenResponse&)>& selects) {
  int checked = 0;
  for (const GoldenResponse& row : kGoldenResponses) {
    if (!selects(row)) continue;
    ++checked;
    SCOPED_TRACE(testing::Message()
                 << "type " << row.typeCode << " f0 " << row.frequencyHz << " level " << row.levelDb
                 << " Q " << row.q << " order " << row.order << " crossover type "
                 << row.crossoverType << " at " << row.atHz << " Hz");
    const FilterEvaluation e = Evaluate(ShapeOf(row), row.atHz);
    EXPECT_NEAR(ToDb(e.magnitude), row.magnitudeDb, kMagnitudeToleranceDb);
    EXPECT_LT(PhaseDistance(std::arg(e.response), row.phase), kPhaseToleranceRad)
        << "phase " << std::arg(e.response) << " expected " << row.phase;
  }
  return checked;
}

bool IsType(const GoldenResponse& row, std::initializer_list<int32_t> types) {
  for (int32_t t : types) {
    if (row.typeCode == t) return true;
  }
  return false;
}

// Every class against the reference rows, with each slope class covered in every order and
// crossover type.
TEST(FilterResponse, EveryClassMatchesReference) {
  EXPECT_GT(
      ExpectReferenceRows([](const GoldenResponse& r) {
        return IsType(r, {kFilterParametric, kFilterBoostCut, kFilterLowShelf, kFilterHighShelf});
      }),
      100);
  EXPECT_GT(ExpectReferenceRows([](const GoldenResponse& r) {
              return IsType(r, {kFilterCDHorn, kFilterAllpass});
            }),
            50);
  std::set<std::pair<int32_t, int32_t>> slopes;
  std::set<std::tuple<int32_t, int32_t, int32_t>> crossovers;
  ExpectReferenceRows([&](const GoldenResponse& r) {
    if (IsType(r, {kFilterLowpass, kFilterHighpass})) {
      slopes.insert({r.typeCode, r.order});
    } else if (IsType(r, {kFilterLowCrossover, kFilterHighCrossover})) {
      crossovers.insert({r.typeCode, r.crossoverType, r.order});
    } else {
      return false;
    }
    return true;
  });
  EXPECT_EQ(slopes.size(), 16u);
  EXPECT_EQ(crossovers.size(), 2u * 4u * 8u);
}

TEST(FilterResponse, HighpassIsDrawnFlatOnlyAboveTenTimesItsCorner) {
  FilterShape highpass{.typeCode = kFilterHighpass, .frequencyHz = 100, .order = 1};
  EXPECT_EQ(Magnitude(highpass, 1001.0f), 1.0f);
  EXPECT_LT(Magnitude(highpass, 1000.0f), 0.999f);
  // The shortcut is the gain's alone: the phase keeps its small lead.
  EXPECT_GT(Phase(highpass, 1001.0f), 0.09f);
  // A high crossover of the same shape is never cut short.
  FilterShape crossover{.typeCode = kFilterHighCrossover,
                        .frequencyHz = 100,
                        .order = 1,
                        .crossoverType = kCrossoverButterworth};
  EXPECT_LT(Magnitude(crossover, 1001.0f), 0.999f);
}

// Every low-pass starts at +1 and lags a little well below its corner; every high-pass leads a
// little well above it. An odd low-pass starting at -1, or one mirrored phase, and crossover
// networks would sum wrong.
TEST(PhaseConvention, LowPassesLagAndHighPassesLead) {
  for (int order = 1; order <= kMaxFilterOrder; ++order) {
    std::vector<std::pair<FilterShape, FilterShape>> lowAndHigh{
        {{.typeCode = kFilterLowpass, .frequencyHz = 1000, .order = order},
         {.typeCode = kFilterHighpass, .frequencyHz = 1000, .order = order}}};
    for (int32_t type : {kCrossoverButterworth, kCrossoverBessel, kCrossoverLinkwitzRiley}) {
      if (type == kCrossoverLinkwitzRiley && order < 2) continue;
      lowAndHigh.push_back({{.typeCode = kFilterLowCrossover,
                             .frequencyHz = 1000,
                             .order = order,
                             .crossoverType = type},
                            {.typeCode = kFilterHighCrossover,
                             .frequencyHz = 1000,
                             .order = order,
                             .crossoverType = type}});
    }
    for (const auto& [low, high] : lowAndHigh) {
      SCOPED_TRACE(testing::Message() << "order " << order << " crossover type "
                                      << low.crossoverType << " type " << low.typeCode);
      // The single-precision pole angles leave a few millionths of a radian at 0 Hz.
      EXPECT_NEAR(std::abs(Response(low, 0.0f) - 1.0), 0.0, 1e-4);
      EXPECT_LT(Phase(low, 50.0f), 0.0f);
      EXPECT_GT(Phase(low, 50.0f), -1.0f);
      EXPECT_GT(Phase(high, 20000.0f), 0.0f);
      EXPECT_LT(Phase(high, 20000.0f), 1.0f);
    }
  }
}

// Whatever a unit or a file holds, every result is a finite number and nothing reads past a table.
TEST(UntrustedParameters, GiveFiniteResultsForEveryType) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const float kInf = std::numeric_limits<float>::infinity();
  for (int32_t type = -1; type <= 14; ++type) {
    for (int32_t f0 : {INT_MIN, -5, 0, 1, 1000, 24000, 100000, INT_MAX}) {
      for (int32_t order : {INT_MIN, -3, 0, 9, INT_MAX}) {
        for (int32_t crossoverType : {-1, 2, 4}) {
          for (float q : {-1.0f, 0.0f, 1e30f}) {
            const FilterShape s{.typeCode = type,
                                .frequencyHz = f0,
                                .levelDb = 1e30f,
                                .q = q,
                                .order = order,
                                .crossoverType = crossoverType,
                                .allpassCoefficient = -7.0f};
            for (float f : {kNaN, -kInf, -100.0f, 0.0f, 1000.0f, kInf}) {
              const FilterEvaluation e = Evaluate(s, f);
              ASSERT_TRUE(std::isfinite(e.magnitude) && std::isfinite(e.response.real()) &&
                          std::isfinite(e.response.imag()))
                  << "type " << type << " f0 " << f0 << " order " << order << " crossover type "
                  << crossoverType << " Q " << q << " at " << f;
            }
          }
        }
      }
    }
  }
}

TEST(UntrustedParameters, NonFiniteFieldsMakeTheFilterNeutral) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const float kInf = std::numeric_limits<float>::infinity();
  for (int32_t type = kFilterParametric; type <= kFilterAllpass; ++type) {
    for (FilterShape s : {FilterShape{.levelDb = kNaN}, FilterShape{.q = kInf},
                          FilterShape{.allpassCoefficient = -kInf}}) {
      s.typeCode = type;
      s.order = 4;
      s.crossoverType = kCrossoverButterworth;
      const FilterEvaluation e = Evaluate(s, 1500.0f);
      EXPECT_EQ(e.magnitude, 1.0f) << type;
      EXPECT_EQ(e.response, std::complex<double>(1.0, 0.0)) << type;
    }
  }
}

TEST(UntrustedParameters, OutOfRangeValuesActAsTheNearestValidOnes) {
  auto same = [](FilterShape hostile, FilterShape valid) {
    for (float f : {20.0f, 900.0f, 1000.0f, 5000.0f, 20000.0f}) {
      EXPECT_EQ(Response(hostile, f), Response(valid, f)) << f;
    }
  };
  const FilterShape bessel8{.typeCode = kFilterLowCrossover,
                            .frequencyHz = 1000,
                            .order = 8,
                            .crossoverType = kCrossoverBessel};
  FilterShape bessel9 = bessel8;
  bessel9.order = 9;
  same(bessel9, bessel8);
  FilterShape lowpassHuge{.typeCode = kFilterLowpass, .frequencyHz = 1000, .order = INT_MAX};
  same(lowpassHuge, {.typeCode = kFilterLowpass, .frequencyHz = 1000, .order = 8});
  same({.typeCode = kFilterBoostCut, .frequencyHz = 70000, .levelDb = 6.0f, .q = 2.0f},
       {.typeCode = kFilterBoostCut, .frequencyHz = 24000, .levelDb = 6.0f, .q = 2.0f});
  same({.typeCode = kFilterParametric, .frequencyHz = 1000, .levelDb = 6.0f, .q = 0.0f},
       {.typeCode = kFilterParametric, .frequencyHz = 1000, .levelDb = 6.0f, .q = kMinQ});
  same({.typeCode = kFilterHighpass, .frequencyHz = -40, .order = -2},
       {.typeCode = kFilterHighpass, .frequencyHz = 1, .order = 0});
  EXPECT_EQ(Response({.typeCode = kFilterLowCrossover, .order = 4, .crossoverType = 7}, 900.0f),
            std::complex<double>(1.0, 0.0));

  const AllpassCoefficients atZero = ComputeAllpassCoefficients(0);
  const AllpassCoefficients atOne = ComputeAllpassCoefficients(1);
  EXPECT_EQ(atZero.coefficient, atOne.coefficient);
  EXPECT_TRUE(std::isfinite(ComputeAllpassCoefficients(INT_MAX).coefficient));
}

}  // namespace
}  // namespace namespaceOV
