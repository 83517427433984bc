// The clock-event table, the unit clock and the logic map as plain values, and the logic map's
// transfers through the pseudo-terminal.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "familyov/unit/ClockEvents.h"
#include "familyov/unit/LogicMap.h"
#include "familyov/unit/ParameterTable.h"
#include "tests/familyov_unit/OVTestSupport.h"

namespace namespaceOV {
namespace {

using testing::ElementsAre;

std::vector<TTimerStruct> EmptyTable() {
  std::vector<TTimerStruct> table(kTimerEventSlots);
  for (int slot = 0; slot < kTimerEventSlots; ++slot) table[slot].slot = slot;
  return table;
}

TEST(ClockEventsTest, EventsListEarliestInTheWeekFirstWithTwelveHourTexts) {
  auto table = EmptyTable();
  table[0] = {.day = 4, .hour = 15, .minute = 30, .logic = 4, .slot = 0};
  table[2] = {.day = 1, .hour = 12, .minute = 0, .second = 9, .logic = 2, .slot = 2};
  table[5] = {.day = 1, .hour = 0, .minute = 5, .second = 7, .logic = 31, .slot = 5};
  table[6] = {.day = 1, .hour = 12, .minute = 0, .second = 1, .logic = 3, .slot = 6};
  std::vector<std::string> texts;
  for (const TTimerStruct* event : ListedEvents(table)) {
    texts.push_back(EventTimeText(*event) + " / " + EventLogicText(*event));
  }
  // Seconds do not order: the two noon events keep their slot order.
  EXPECT_THAT(texts, ElementsAre("Sunday 12:05:07 AM / Activate logic 31",
                                 "Sunday 12:00:09 PM / Activate logic 2",
                                 "Sunday 12:00:01 PM / Activate logic 3",
                                 "Wednesday 3:30:00 PM / Activate logic 4"));
  EXPECT_EQ(ListedCount(table), 4);
  // A unit's bad bytes name no day or month beyond the tables.
  EXPECT_EQ(ClockText({.dayOfWeek = 9, .hour = 23, .minute = 59, .second = 58},
                      {.day = 31, .month = 12, .yearInCentury = 9, .century = 20}),
            "Noday, Dec 31, 2009  11:59:58 PM");
  EXPECT_STREQ(MonthAbbreviation(13), "NUL");
}

TEST(ClockEventsTest, NewEventsTakeTheFirstFreeSlotUntilAllSeventyAreSet) {
  auto table = EmptyTable();
  for (auto& event : table) event.day = 2;
  table[41].day = 0;
  const TTimerStruct model{.day = 4, .hour = 7, .minute = 15, .logic = 9};
  TTimerStruct* made = FillFreeSlot(table, 6, &model);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->slot, 41);
  EXPECT_EQ(std::tie(made->day, made->hour, made->minute, made->logic),
            std::make_tuple(6, 7, 15, 9));
  EXPECT_EQ(FillFreeSlot(table, 1, nullptr), nullptr);

  table[3].day = 0;
  made = FillFreeSlot(table, 1, nullptr);
  EXPECT_EQ(std::tie(made->day, made->hour, made->minute, made->logic),
            std::make_tuple(1, 0, 0, 1));
}

TEST(ClockEventsTest, CopiesGoToTheOtherDaysOfTheirKind) {
  EXPECT_THAT(AllWeekdaysBut(4), ElementsAre(2, 3, 5, 6));
  EXPECT_THAT(AllWeekdaysBut(1), ElementsAre(2, 3, 4, 5, 6));
  EXPECT_THAT(AllDaysBut(7), ElementsAre(1, 2, 3, 4, 5, 6));
}

TEST(ClockEventsTest, TheUnitClockIsSetOnlyWithATimeItCanHold) {
  auto set = TimeToSet(0, "12:30:00", false);
  ASSERT_TRUE(set);
  EXPECT_EQ(std::tie(set->dayOfWeek, set->hour, set->minute, set->second),
            std::make_tuple(1, 0, 30, 0));
  set = TimeToSet(6, "12:30:00", true);
  EXPECT_EQ(std::tie(set->dayOfWeek, set->hour), std::make_tuple(7, 12));
  set = TimeToSet(2, "13:75:-4", true);
  EXPECT_EQ(std::tie(set->hour, set->minute, set->second), std::make_tuple(12, 59, 0));
  set = TimeToSet(2, "99999999999999:x", false);
  EXPECT_EQ(std::tie(set->hour, set->minute, set->second), std::make_tuple(0, 0, 0));
  // No weekday chosen: nothing the unit could hold.
  EXPECT_FALSE(TimeToSet(-1, "1:00:00", false));
  EXPECT_FALSE(TimeToSet(7, "1:00:00", false));

  EXPECT_TRUE(IsStorableEvent({.day = 7, .hour = 23, .minute = 59, .logic = 31}));
  EXPECT_FALSE(IsStorableEvent({.day = 0, .hour = 1, .logic = 1}));
  EXPECT_FALSE(IsStorableEvent({.day = 1, .hour = 24, .logic = 1}));
  EXPECT_FALSE(IsStorableEvent({.day = 1, .logic = 0}));
}

TEST(LogicMapTest, BitBoxesAndTypedNumbers) {
  EXPECT_THAT(LogicBitsOf(17), ElementsAre(true, false, false, false, true));
  EXPECT_EQ(LogicNumberOf({true, false, false, false, true}), 17);
  EXPECT_EQ(LogicNumberOf(LogicBitsOf(31)), 31);
  EXPECT_EQ(TypedLogicNumber("45"), 31);
  EXPECT_EQ(TypedLogicNumber("-3"), 0);
  EXPECT_EQ(TypedLogicNumber(""), std::nullopt);
}

TEST(LogicMapTest, ADropCopiesTheResponseAndFileMemoriesBeyondTheModelAreRefused) {
  ovtest::FamilyBus bus;
  IQ8126Type type;
  const int index = bus.AddModelUnit(sim::familyov::Model::k8126, 8, "1.4");
  const IQDeviceInfo record(8, 880, 1, ovtest::ModelId('6', "1.4", false));
  IQDevice8126 unit(&type, &bus.manager, &record, 6);
  bus.StoreByte(index, 0x1A, 2, 5);
  bus.StoreByte(index, 0x21, 2, 19);
  bus.TakeTrace();
  CopyLogicResponse(unit, 2, 7);
  EXPECT_THAT(bus.TakeTrace(),
              ElementsAre("R1A.2", "R1A.7", "W1A.7 05", "R21.2", "R21.7", "W21.7 13"));
  EXPECT_EQ(RecalledMemory(unit, 7), 5);
  EXPECT_EQ(RecalledMemoryText(unit, 5), "Memory 5");
  EXPECT_EQ(RecalledMemoryText(unit, 0), "<None>");

  auto virtualUnit = ovtest::NewVirtual<IQDevice8148>(8);
  gLogicMemoryObject.SetElement(3);
  gLogicMemoryObject.Write(*virtualUnit, 200);  // as a settings file may hold it
  try {
    RecalledMemory(*virtualUnit, 3);
    FAIL() << "memory 200 recalled";
  } catch (const OrdavinexRangeError& e) {
    EXPECT_EQ(e.GetText(),
              "Logic input 3 recalls memory 200, which this unit does not have (it has 8).");
  }
}

}  // namespace
}  // namespace namespaceOV
