// Grouped level and delay moves on a virtual unit, whose writes are recorded at the device.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "familyov/channels/GroupMoves.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using testing::ElementsAre;

// An 8-output unit: inputs 0..3, outputs 4..11.
struct GroupMovesTest : testing::Test {
  void SetGroup(int channel, int group) {
    gChannelGroupObject.SetElement(channel);
    gChannelGroupObject.Write(*unit, static_cast<uint8_t>(group));
  }
  void SetDelay(int channel, int samples) {
    gChannelDelayObject.SetElement(channel);
    gChannelDelayObject.Write(*unit, static_cast<uint32_t>(samples));
  }
  int Delay(int channel) {
    gChannelDelayObject.SetElement(channel);
    return static_cast<int>(gChannelDelayObject.Read(*unit));
  }
  float Level(int channel) { return ovtest::ChannelLevel(*unit, channel); }
  // The objects written since the last call, element by element ("1B.5"), without the data.
  std::vector<std::string> Written() {
    std::vector<std::string> written;
    for (const std::string& line : unit->TakeTrace()) {
      if (line[0] == 'W') written.push_back(line.substr(1, line.find(' ') - 1));
    }
    return written;
  }

  std::unique_ptr<ovtest::Recording<IQDevice8148>> unit = ovtest::NewVirtual<IQDevice8148>(8);
};

TEST_F(GroupMovesTest, AGroupByteBeyondTheTablesIsNoGroup) {
  SetGroup(4, 200);
  SetGroup(5, 200);
  SetGroup(6, 11);
  EXPECT_EQ(ReadGroup(*unit, 4), 0);
  EXPECT_EQ(ReadGroup(*unit, 6), 0);
  EXPECT_TRUE(GroupMembers(*unit, 200).empty());
  unit->TakeTrace();
  MoveChannelLevel(*unit, 4, -6.0f);
  EXPECT_THAT(Written(), ElementsAre("1B.4"));
  // Only the channel itself takes the delay, so it alone is fitted to the memory.
  SetDelay(5, 200000);
  unit->TakeTrace();
  const DelayMove move = MoveChannelDelay(*unit, 4, 20000);
  EXPECT_EQ(move.group, 0);
  EXPECT_EQ(Delay(4), unit->GetDelayCapacity() - 200000);
  EXPECT_THAT(Written(), ElementsAre("1F.4"));
}

TEST_F(GroupMovesTest, TheFirstGroupedMoveKeepsEveryOffsetAndWritesEachMemberOnce) {
  // Nothing has computed the device's group extremes yet.
  SetGroup(5, 3);
  SetGroup(8, 3);
  ovtest::SetChannelLevel(*unit, 5, 23.0f);
  ovtest::SetChannelLevel(*unit, 8, 0.0f);
  unit->TakeTrace();
  const LevelMove move = MoveChannelLevel(*unit, 8, 3.0f);
  EXPECT_NEAR(move.delta, 1.0f, 1e-4);
  EXPECT_THAT(move.changed, ElementsAre(5, 8));
  EXPECT_THAT(Written(), ElementsAre("1B.5", "1B.8"));
  EXPECT_NEAR(Level(5), 24.0f, 1e-4);
  EXPECT_NEAR(Level(8), 1.0f, 1e-4);
  // At the top nothing moves and nothing is written.
  EXPECT_TRUE(MoveGroupLevel(*unit, 3, 2.0f).changed.empty());
  EXPECT_TRUE(Written().empty());
}

TEST_F(GroupMovesTest, AnInputGroupStopsAtItsLowestMember) {
  SetGroup(0, 8);
  SetGroup(2, 8);
  ovtest::SetChannelLevel(*unit, 0, 0.5f);
  ovtest::SetChannelLevel(*unit, 2, 6.0f);
  const LevelMove move = MoveChannelLevel(*unit, 2, 4.0f);
  EXPECT_NEAR(move.delta, -0.5f, 1e-4);
  EXPECT_NEAR(Level(0), 0.0f, 1e-4);
  EXPECT_NEAR(Level(2), 5.5f, 1e-4);
}

TEST_F(GroupMovesTest, AGroupedDelayStepStopsAtZeroAndAtTheMemory) {
  SetGroup(4, 2);
  SetGroup(6, 2);
  SetDelay(4, 10);
  SetDelay(6, 100);
  unit->TakeTrace();
  EXPECT_EQ(MoveChannelDelay(*unit, 6, -48).group, 2);
  EXPECT_EQ(Delay(4), 0);
  EXPECT_EQ(Delay(6), 52);
  EXPECT_THAT(Written(), ElementsAre("1F.4", "1F.6"));
  // Two members share the memory: the step is cut by half the excess, rounded up, so that an
  // odd excess leaves no sample over.
  SetDelay(6, 53);
  const int capacity = unit->GetDelayCapacity();
  const DelayMove move = MoveChannelDelay(*unit, 4, capacity);
  EXPECT_EQ(move.step, (capacity - 53) / 2);
  EXPECT_EQ(Delay(4) + Delay(6), capacity - 1);
}

TEST_F(GroupMovesTest, GroupedDelaysComeDownToZeroWhateverTheOtherMembersHold) {
  SetGroup(4, 2);
  SetGroup(6, 2);
  const auto move = [&](int a, int c, int channel, int step) {
    SetDelay(4, a);
    SetDelay(6, c);
    MoveChannelDelay(*unit, channel, step);
    return std::pair{Delay(4), Delay(6)};
  };
  EXPECT_EQ(move(800, 0, 4, -800), std::pair(0, 0));
  EXPECT_EQ(move(1, 0, 4, -1), std::pair(0, 0));
  EXPECT_EQ(move(10, 60, 6, -48), std::pair(0, 12));
}

// The three-input configuration numbers its outputs from channel 4, so its last output is
// channel 10, beyond the count of channels.
TEST(ThreeInputGroupMovesTest, TheLastOutputCountsInTheDelayMemory) {
  auto unit = ovtest::NewVirtual<IQDevice8148>(7);
  ASSERT_EQ(unit->ChannelIndexes().back(), 10);
  const int capacity = unit->GetDelayCapacity();
  gChannelDelayObject.SetElement(10);
  gChannelDelayObject.Write(*unit, 200000);
  EXPECT_EQ(unit->FitChannelDelay(20000, 4), capacity - 200000);
  gChannelDelayObject.Write(*unit, 0);
  for (int channel : {9, 10}) {
    gChannelGroupObject.SetElement(channel);
    gChannelGroupObject.Write(*unit, 3);
  }
  EXPECT_EQ(MoveChannelDelay(*unit, 10, capacity).step, capacity / 2);
  int sum = 0;
  for (int channel : unit->ChannelIndexes()) {
    gChannelDelayObject.SetElement(channel);
    sum += static_cast<int>(gChannelDelayObject.Read(*unit));
  }
  EXPECT_EQ(sum, capacity);
}

}  // namespace
}  // namespace namespaceOV
