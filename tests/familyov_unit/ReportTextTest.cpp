// The report's text from plain values: memory sections from hand-built settings images laid out as
// the unit lays out a memory, and the clock-event lines.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <vector>

#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/ReportText.h"

namespace namespaceOV {
namespace {

using testing::HasSubstr;
using testing::Not;

// Block offsets of the 2-input models' image.
constexpr int kTable2x6[24] = {1,  9,  21, 27, 28, 36, 42, 50, 56, 62, 68, 74,
                               80, 86, 87, 88, 0,  89, 0,  0,  0,  0,  0,  0};
// Block offsets of the 4-input, 8-output model's image.
constexpr int kTable4x8[24] = {1,   13,  45,  53,  54,  98,  106, 118, 126, 134, 142, 150,
                               158, 166, 167, 168, 169, 170, 810, 814, 818, 822, 826, 830};

uint32_t Bits(float value) { return std::bit_cast<uint32_t>(value); }
uint32_t GainOfDb(double dB) { return Bits(static_cast<float>(std::pow(10.0, dB / 20.0))); }

struct ReportTextTest : testing::Test {
  ReportLayout layout = TwoInputLayout(4);
  std::vector<uint32_t> image = std::vector<uint32_t>(730 + 4, 0);
  ImageFilters filters;

  static ReportLayout TwoInputLayout(int outputs) {
    ReportLayout l{.inputs = 2,
                   .outputs = outputs,
                   .firstOutput = 2,
                   .matrixInputs = 2,
                   .matrixOutputs = 6,
                   .offsets = kTable2x6};
    const char* names[] = {"Left", "Right", "Sub", "Mid", "High", "Fill"};
    const char* labels[] = {"1", "2", "A", "B", "C", "D"};
    for (int c = 0; c < 6; ++c) {
      l.names[c] = names[c];
      l.labels[c] = labels[c];
    }
    return l;
  }
  uint32_t& At(int block, int index) { return image[layout.offsets[block] + index]; }
  std::string Body() { return ReportBody(layout, image, filters); }
};

TEST_F(ReportTextTest, LevelsMixingAndOutputsOfATwoInputUnit) {
  At(0, 0) = GainOfDb(-6.0);
  At(0, 2) = GainOfDb(3.5);       // output A's channel index is 2
  At(1, 1 * 2 + 0) = Bits(1.0f);  // input 1 to output B
  At(1, 2 * 2 + 1) = Bits(0.5f);  // input 2 to output C
  At(2, 1) = 1;                   // output B muted
  At(12, 0) = Bits(-1.0f);
  At(12, 1) = Bits(-0.5f);  // only exactly -1 is inverted
  At(6, 0) = 7;             // a two-input unit's ganged pair
  At(6, 2) = 3;
  At(6, 4) = 3;
  At(3, 0) = 1;
  At(13, 0) = 1;
  At(14, 0) = GainOfDb(-20.0);
  At(4, 3) = 96;  // output B, two milliseconds

  const std::string body = Body();
  EXPECT_THAT(body, testing::StartsWith("**** PINK NOISE ENABLED AS SOURCE AT -20.0dB ****\n\n"
                                        "---Input levels---\nLeft : -6.0dB\nRight : -100.0dB\n"
                                        "Inputs are ganged.\n"));
  EXPECT_THAT(body, HasSubstr("---Input/Output mixing---\n"
                              "    A  B  C  D \n"
                              " 1     X       \n"
                              " 2        X    \n"));
  EXPECT_THAT(body, HasSubstr("\n *** MUTED *** \n"));
  EXPECT_THAT(body, HasSubstr("---Output levels---\nSub : 3.5dB (INVERTED)\n"
                              "Mid : -100.0dB (MUTED)\nHigh : -100.0dB\nFill : -100.0dB\n"
                              "---Output groups---\n'Sub' is in group 3\n'High' is in group 3\n"));
  EXPECT_THAT(body, HasSubstr("Mid : 2.000 msec\n"));
  EXPECT_THAT(body, Not(HasSubstr("Compressors")));
  EXPECT_THAT(body, HasSubstr("---EQ Filters---\n*** Channel 'Left'\n*** Channel 'Right'\n"
                              "*** Channel 'Sub'\n"));
  EXPECT_THAT(body, HasSubstr("*** Channel 'Fill'\nNo crossovers installed\n"));
}

TEST_F(ReportTextTest, LimiterThresholdsAndCompressorKneesReadAsTheirWindowsShowThem) {
  layout = TwoInputLayout(2);
  At(11, 0) = 1;
  At(7, 0) = GainOfDb(-12.0);  // 10 dB on the limiter's scale
  At(8, 0) = 1;
  At(9, 0) = 2;
  At(11, 1) = 1;
  At(7, 1) = 0;  // silence stays at the floor, without the offset
  At(10, 1) = 4;
  std::string body = Body();
  EXPECT_THAT(body, HasSubstr("Limiting enabled for 'Sub'; hard knee, fast release at 10.0dB\n"
                              "Limiting enabled for 'Mid'; soft knee, slow release at -100.0dB\n"
                              "---Limiting groups---\n'Mid' is in group 4\n"));

  layout = ReportLayout{.inputs = 4,
                        .outputs = 8,
                        .firstOutput = 4,
                        .matrixInputs = 4,
                        .matrixOutputs = 8,
                        .offsets = kTable4x8,
                        .compressors = true};
  layout.names = {"In1", "In2", "In3", "In4"};
  image.assign(840 + 4, 0);
  At(20, 0) = 127;
  At(19, 0) = GainOfDb(-10.0);
  At(23, 0) = 1;  // the soft-knee flag
  At(21, 0) = 6;
  At(18, 0) = GainOfDb(3.0);
  At(22, 0) = 1;
  At(22, 3) = 1;  // the last input has nothing to be ganged to
  body = Body();
  EXPECT_THAT(body, HasSubstr("\n--Compressors--\n"
                              "In1 : 1:inf Threshold at -10.0dB, soft knee, 1msec timing, "
                              "3.0dB post-gain\n (In1 is ganged to In2)\n"
                              "In2 : 1:1 Threshold at -100.0dB, hard knee, 10usec timing"));
  EXPECT_THAT(body, Not(HasSubstr("In4 is ganged")));
}

TEST_F(ReportTextTest, ValuesOutsideTheNameTablesPrintAsUnknown) {
  layout.delayUnits = 3;
  At(11, 0) = 1;
  At(8, 0) = 2;
  At(9, 0) = 3;
  const std::string body = Body();
  EXPECT_THAT(body, HasSubstr("Left : ? ?\n"));
  EXPECT_THAT(body, HasSubstr("Limiting enabled for 'Sub'; ?, ? at"));

  layout.offsets = kTable4x8;
  layout.compressors = true;
  image.assign(840 + 4, 0);
  At(23, 0) = 5;
  At(21, 0) = 9;
  EXPECT_THAT(Body(), HasSubstr("Left : 1:1 Threshold at -100.0dB, ?, ? timing"));

  EXPECT_EQ(DayName(8), "?");
  EXPECT_EQ(ClockEventTime({.day = 9, .hour = 30}), "?          ?");
}

TEST_F(ReportTextTest, AnImageShorterThanItsLayoutIsRefused) {
  image.resize(82);  // ends inside the polarities
  EXPECT_THROW(Body(), OrdavinexRangeError);
  layout.offsets = std::span<const int>(kTable2x6, 17);
  EXPECT_THROW(Body(), OrdavinexRangeError);
}

TEST_F(ReportTextTest, CrosspointDelaysListEveryRoutedCrosspoint) {
  layout = ReportLayout{.inputs = 4,
                        .outputs = 8,
                        .firstOutput = 4,
                        .matrixInputs = 4,
                        .matrixOutputs = 8,
                        .offsets = kTable4x8,
                        .crosspointDelays = true,
                        .delayUnits = kDelayMeters};
  layout.names = {"In1", "In2", "In3", "In4", "OutA", "OutB", "OutC"};
  image.assign(840 + 4, 0);
  At(1, 2 * 4 + 3) = GainOfDb(-3.0);  // input 4 to output C
  At(4, 12 + 2 * 4 + 3) = 140;        // its delay, after the twelve channel delays
  At(1, 0) = GainOfDb(-100.5);        // below the floor: not routed
  EXPECT_THAT(Body(), HasSubstr("---Input/Output mixing---\nIn4 -> OutC\n-3.0 dB, 1.000 meters\n"
                                "\nMaster level"));
}

TEST(ReportClockTest, EventsAreSortedByMinuteAndShownOnATwelveHourClock) {
  EXPECT_EQ(ClockEventTime({.day = 1, .hour = 0, .minute = 5}), "Sunday     12:05:00 AM");
  EXPECT_EQ(ClockEventTime({.day = 4, .hour = 12, .minute = 0, .second = 9}),
            "Wednesday  12:00:09 PM");
  EXPECT_EQ(ClockEventTime({.day = 7, .hour = 13, .minute = 30}), "Saturday    1:30:00 PM");
  EXPECT_EQ(ClockEventTime({.day = 2, .hour = 11, .minute = 59, .second = 59}),
            "Monday     11:59:59 AM");

  // In the same minute the exchange sort leaves b before a: the empty slot sends the earlier
  // event to the end, and that event, coming forward, sends a behind b.
  const TTimerStruct a{.day = 2, .hour = 8, .minute = 0, .second = 1, .logic = 1};
  const TTimerStruct b{.day = 2, .hour = 8, .minute = 0, .second = 2, .logic = 2};
  const TTimerStruct early{.day = 1, .hour = 23, .minute = 59, .logic = 3};
  const TTimerStruct empty{};
  EXPECT_EQ(ClockEventsSection({early, a, b, empty}),
            "\n---Clock Events---\n"
            "Sunday     11:59:00 PM : activate logic 3\n"
            "Monday      8:00:02 AM : activate logic 2\n"
            "Monday      8:00:01 AM : activate logic 1\n");
}

}  // namespace
}  // namespace namespaceOV
