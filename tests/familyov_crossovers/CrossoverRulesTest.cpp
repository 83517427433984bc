// The crossover dialog's arithmetic with plain numbers.

#include <gtest/gtest.h>

#include <vector>

#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/FilterTypeCodes.h"

namespace namespaceOV {
namespace {

constexpr int kUp = -1;  // an up-down control reports its up arrow as -1
constexpr int kDown = 1;

std::vector<int> Walk(int type, int order, int delta, int steps) {
  std::vector<int> orders;
  for (int k = 0; k < steps; ++k)
    orders.push_back(order = SteppedCrossoverOrder(type, order, delta));
  return orders;
}

TEST(CrossoverRules, OrderStepsReachOnlyTheAlignmentsTheUnitHas) {
  EXPECT_EQ(Walk(kCrossoverButterworth, 1, kUp, 5), (std::vector<int>{2, 3, 4, 8, 8}));
  EXPECT_EQ(Walk(kCrossoverBessel, 8, kDown, 5), (std::vector<int>{4, 3, 2, 1, 1}));
  EXPECT_EQ(Walk(kCrossoverLinkwitzRiley, 2, kUp, 3), (std::vector<int>{4, 8, 8}));
  EXPECT_EQ(Walk(kCrossoverLinkwitzRiley, 8, kDown, 3), (std::vector<int>{4, 2, 2}));
  EXPECT_EQ(OrderForType(kCrossoverLinkwitzRiley, 3), 4);
  EXPECT_EQ(OrderForType(kCrossoverButterworth, 3), 3);
}

TEST(CrossoverRules, AnOrderChangeAddsTheSectionsTheNewOrderReallyTakes) {
  EXPECT_EQ(AddedCrossoverSections(2, 3), 1);  // one section becomes two
  EXPECT_EQ(AddedCrossoverSections(1, 2), 0);
  EXPECT_EQ(AddedCrossoverSections(3, 4), 0);
  EXPECT_EQ(AddedCrossoverSections(4, 8), 2);
  EXPECT_EQ(AddedCrossoverSections(0, 2), 1);  // a new crossover
  EXPECT_EQ(AddedCrossoverSections(8, 2), 0);
}

TEST(CrossoverRules, FrequencyStepsGoByTheDecadeAndStayInTheAudioBand) {
  EXPECT_EQ(SteppedCrossoverFrequency(1000, 0, 1), 990);
  EXPECT_EQ(SteppedCrossoverFrequency(1000, 3, 1), 1100);
  EXPECT_EQ(SteppedCrossoverFrequency(10000, 0, 1), 9900);
  EXPECT_EQ(SteppedCrossoverFrequency(10000, 3, 1), 11000);
  EXPECT_EQ(SteppedCrossoverFrequency(1000, 1, 3), 997);
  EXPECT_EQ(SteppedCrossoverFrequency(1000, 2, 1), 1001);
  EXPECT_EQ(SteppedCrossoverFrequency(20000, 3, 1), 20000);
  EXPECT_EQ(SteppedCrossoverFrequency(20, 0, 1), 20);
  EXPECT_EQ(SteppedCrossoverFrequency(500, 7, 1), 500);
}

TEST(CrossoverRules, TypedFrequenciesAreClampedAndKiloIsTaken) {
  EXPECT_EQ(ParseFrequency("30000", 20, 20000), 20000);
  EXPECT_EQ(ParseFrequency("5", 20, 20000), 20);
  EXPECT_EQ(ParseFrequency("1.5k", 20, 20000), 1500);
  EXPECT_EQ(ParseFrequency("2.5k7", 20, 20000), 2500);
  EXPECT_EQ(ParseFrequency("1234.9", 20, 20000), 1234);
  EXPECT_EQ(ParseFrequency("", 20, 20000), std::nullopt);
  EXPECT_EQ(ParseFrequency("k", 20, 20000), std::nullopt);
}

}  // namespace
}  // namespace namespaceOV
