// Handles that empty when their filter goes, and the announcement of a changed filter set.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "familycommon/FilterLifetime.h"

namespace familycommon {
namespace {

struct Target : HandleTarget {
  int value = 0;
};

using Handle = FilterHandle<Target>;

TEST(FilterHandleTest, EveryHandleEmptiesWhenItsTargetGoesWhateverTheOrder) {
  auto first = std::make_unique<Target>();
  auto second = std::make_unique<Target>();
  Handle a = first.get();
  Handle b = first.get();
  auto early = std::make_unique<Handle>(first.get());
  Handle other = second.get();
  // A handle that goes first leaves the target's list whole for the others.
  early.reset();
  first.reset();
  EXPECT_EQ(a.get(), nullptr);
  EXPECT_EQ(b.get(), nullptr);
  EXPECT_EQ(other.get(), second.get());

  // Pointed elsewhere, a handle no longer hears of its old target; pointed at none, of any.
  b = second.get();
  a = second.get();
  a = nullptr;
  Target* const kept = second.get();
  EXPECT_EQ(b.get(), kept);
  second.reset();
  EXPECT_EQ(b.get(), nullptr);
  EXPECT_EQ(other.get(), nullptr);
  EXPECT_EQ(a.get(), nullptr);
}

TEST(FilterHandleTest, CopiesAndMovesOfHandlesNameTheSameTargetAndEmptyWithIt) {
  auto target = std::make_unique<Target>();
  Handle original = target.get();
  Handle copied(original);
  Handle assigned;
  assigned = original;
  const Handle& same = assigned;
  assigned = same;  // itself: still listed once
  Handle moved(std::move(copied));
  Handle moveAssigned;
  moveAssigned = std::move(assigned);
  // Handles kept by value in a vector move as it grows.
  std::vector<Handle> rows;
  for (int i = 0; i < 50; ++i) rows.emplace_back(target.get());
  rows.erase(rows.begin(), rows.begin() + 10);
  EXPECT_EQ(moved->value, 0);
  EXPECT_EQ(&*moveAssigned, target.get());

  target.reset();
  for (const Handle* h : {&original, &copied, &assigned, &moved, &moveAssigned}) {
    EXPECT_EQ(h->get(), nullptr);
  }
  EXPECT_TRUE(HeldFilters(rows).empty());
  for (const Handle& row : rows) EXPECT_EQ(row.get(), nullptr);
}

TEST(FilterHandleTest, ACopiedOrMovedTargetIsANewObjectNoHandleNames) {
  auto target = std::make_unique<Target>();
  target->value = 7;
  Handle handle = target.get();
  {
    Target copy(*target);
    Target moved(std::move(copy));
    EXPECT_EQ(moved.value, 7);
    Handle onCopy = &moved;
    Target assignedOver;
    Handle onAssigned = &assignedOver;
    // Assigning values keeps each object's own handles.
    assignedOver = *target;
    EXPECT_EQ(onAssigned.get(), &assignedOver);
  }
  EXPECT_EQ(handle.get(), target.get());
  EXPECT_EQ(handle->value, 7);

  std::vector<Handle> handles{target.get(), nullptr, target.get()};
  Target other;
  handles.emplace_back(&other);
  target.reset();
  EXPECT_EQ(HeldFilters(handles), std::vector<Target*>{&other});
}

TEST(FilterSetNoticeTest, ListenersHearOnceAfterTheOutermostChangeAndMayLeaveWhileHearing) {
  FilterSetNotice notice;
  std::vector<int> heard;
  FilterSetNotice::Subscription second;
  FilterSetNotice::Subscription first = notice.Listen([&] {
    heard.push_back(1);
    second = {};  // the second window closes while the notice runs
  });
  second = notice.Listen([&] { heard.push_back(2); });
  FilterSetNotice::Subscription third = notice.Listen([&] { heard.push_back(3); });
  {
    const FilterSetChange outer(notice);
    { const FilterSetChange inner(notice); }
    EXPECT_TRUE(heard.empty());
  }
  EXPECT_EQ(heard, (std::vector<int>{1, 3}));

  // A subscription moved on keeps listening; the one it left does not.
  FilterSetNotice::Subscription movedOn = std::move(third);
  third = {};
  heard.clear();
  notice.Announce();
  EXPECT_EQ(heard, (std::vector<int>{1, 3}));
  movedOn = {};
  heard.clear();
  notice.Announce();
  EXPECT_EQ(heard, std::vector<int>{1});
}

}  // namespace
}  // namespace familycommon
