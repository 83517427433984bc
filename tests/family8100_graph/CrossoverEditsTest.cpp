// The crossover window's edits against a simulated X unit: alignments, slopes, typed and stepped
// frequencies with the link, and typed texts that hold no number.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "family8100/filters/CrossoverEdits.h"
#include "family8100/unit/IQDevice8100.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

namespace namespace8100 {
namespace {

using sim::family8100::Model;

class CrossoverEditsTest : public testing::Test {
 protected:
  CrossoverEditsTest() {
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2});
    unit = testsupport8100::OnlyUnit(bus);
  }
  const TCrossoverFilter& Side(CrossoverSide side) const {
    return dynamic_cast<const TCrossoverFilter&>(*edits().Crossover(side));
  }
  CrossoverEdits edits() const { return CrossoverEdits(*unit); }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
};

TEST_F(CrossoverEditsTest, AlignmentsReplaceTheCrossoverAndSlopesStepByAlignment) {
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentBessel);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 1000);
  EXPECT_EQ(Side(CrossoverSide::High).order, 2);
  for (int expected : {3, 4, 8, 8}) {
    edits().StepOrder(CrossoverSide::High, -1);
    EXPECT_EQ(Side(CrossoverSide::High).order, expected);
  }
  edits().StepOrder(CrossoverSide::High, 1);
  edits().StepOrder(CrossoverSide::High, 1);
  EXPECT_EQ(Side(CrossoverSide::High).order, 3);

  // Linkwitz-Riley keeps the frequency and takes the next even order.
  edits().ApplyTyped("", "2500");
  bus.TakeTrace();
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentLinkwitzRiley);
  const std::vector<std::string> trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "R06");
  EXPECT_EQ(trace[1], "W0D 00");  // the outputs mute while the crossover is replaced
  EXPECT_EQ(trace.back(), "W0D 01");
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2500);
  EXPECT_EQ(Side(CrossoverSide::High).order, 4);
  edits().StepOrder(CrossoverSide::High, 1);
  edits().StepOrder(CrossoverSide::High, 1);
  EXPECT_EQ(Side(CrossoverSide::High).order, 2);

  unit->crossoverLink = true;
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentNone);
  EXPECT_EQ(unit->HighCrossover(), nullptr);
  EXPECT_FALSE(unit->crossoverLink);
}

TEST_F(CrossoverEditsTest, LinkedLowFollowsTheHighAtTheirRatioAndEmptyTextsWriteNothing) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentButterworth);
  edits().ToggleLink("500", "2.0k");
  ASSERT_TRUE(unit->crossoverLink);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 500);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2000);

  edits().ApplyTyped("500", "3000");
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3000);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 750);
  edits().StepFrequency(CrossoverSide::High, 3, 1);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3100);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 775);

  // The unit holds what the program shows.
  unit->ResetValueStore();
  unit->ReadAllParameters();
  EXPECT_EQ(unit->HighCrossover()->frequency, 3100);
  EXPECT_EQ(unit->LowCrossover()->frequency, 775);

  bus.TakeTrace();
  edits().ApplyTyped("", "abc");
  EXPECT_TRUE(bus.TakeTrace().empty());
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3100);
}

}  // namespace
}  // namespace namespace8100
