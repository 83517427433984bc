// The busy stretch ends by whichever comes first, the polls or the time.

#include <gtest/gtest.h>

#include "sim/familyov/BusyPeriod.h"

namespace {

using sim::familyov::BusyLength;
using sim::familyov::BusyPeriod;

TEST(BusyPeriodTest, EndsAfterItsPollsOrItsTimeWhicheverComesFirst) {
  BusyPeriod byPolls(BusyLength{.polls = 2, .time = std::chrono::hours(1)});
  EXPECT_FALSE(byPolls.Poll());
  byPolls.Start();
  EXPECT_TRUE(byPolls.Poll());
  EXPECT_TRUE(byPolls.Poll());
  EXPECT_FALSE(byPolls.Poll());
  // A new command starts a new stretch.
  byPolls.Start();
  EXPECT_TRUE(byPolls.Running());

  BusyPeriod byTime(BusyLength{.polls = 1000, .time = std::chrono::milliseconds(0)});
  byTime.Start();
  EXPECT_FALSE(byTime.Poll());
}

}  // namespace
