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

// Block offsets of the 2-input models' image and of the 4-input, 8-output model's.
constexpr int kTable2x6[24] = {1,  9,  21, 27, 28, 36, 42, 50, 56, 62, 68, 74,
                               80, 86, 87, 88, 0,  89, 0,  0,  0,  0,  0,  0};
constexpr int kTable4x8[24] = {1,   13,  45,  53,  54,  98,  106, 118, 126, 134, 142, 150,
                               158, 166, 167, 168, 169, 170, 810, 814, 818, 822, 826, 830};

uint32_t Bits(float value) { return std::bit_cast<uint32_t>(value); }
uint32_t GainOfDb(double dB) { return Bits(static_cast<float>(std::pow(10.0, dB / 20.0))); }

struct ReportTextTest : testing::Test {
  ReportLayout layout{.inputs = 2,
                      .outputs = 4,
                      .firstOutput = 2,
                      .matrixInputs = 2,
                      .matrixOutputs = 6,
                      .offsets = kTable2x6,
                      .names = {"Left", "Right", "Sub", "Mid", "High", "Fill"},
                      .labels = {"1", "2", "A", "B", "C", "D"}};
  std::vector<uint32_t> image = std::vector<uint32_t>(730 + 4, 0);
  ImageFilters filters;

  uint32_t& At(int block, int index) { return image[layout.offsets[block] + index]; }
  std::string Body() { return ReportBody(layout, image, filters); }
  void UseCompressorLayout() {
    layout.offsets = kTable4x8;
    layout.compressors = true;
    image.assign(840 + 4, 0);
  }
};

TEST_F(ReportTextTest, ATwoInputSectionShowsItsMixingGridGangAndMarks) {
  At(1, 1 * 2 + 0) = Bits(1.0f);  // input 1 to output B
  At(6, 0) = 7;                   // the ganged pair of a two-input unit
  At(2, 1) = 1;                   // output B muted
  At(12, 0) = Bits(-1.0f);
  At(12, 1) = Bits(-0.5f);  // only exactly -1 is inverted
  const std::string body = Body();
  EXPECT_THAT(body, HasSubstr("Right : -100.0dB\nInputs are ganged.\n"));
  EXPECT_THAT(body, HasSubstr("    A  B  C  D \n 1     X       \n 2             \n"));
  EXPECT_THAT(body, HasSubstr("Sub : -100.0dB (INVERTED)\nMid : -100.0dB (MUTED)\nHigh"));

  image.resize(82);  // ends inside the polarities
  EXPECT_THROW(Body(), OrdavinexRangeError);
}

TEST_F(ReportTextTest, LimitersAndCompressorsReadAsTheirWindowsShowThemAndOddValuesAsUnknown) {
  At(11, 0) = 1;
  At(7, 0) = GainOfDb(-12.0);  // 10 dB on the limiter's scale, 22 dB above the gain
  At(8, 0) = 1;
  At(9, 0) = 2;
  At(11, 1) = 1;
  At(8, 1) = 2;
  At(9, 1) = 3;
  layout.delayUnits = 3;
  std::string body = Body();
  EXPECT_THAT(body, HasSubstr("Limiting enabled for 'Sub'; hard knee, fast release at 10.0dB\n"
                              "Limiting enabled for 'Mid'; ?, ? at -100.0dB\n"));
  EXPECT_THAT(body, HasSubstr("Left : ? ?\n"));

  UseCompressorLayout();
  At(20, 0) = 127;
  At(23, 0) = 1;  // the soft-knee flag
  At(21, 0) = 6;
  At(22, 0) = 1;
  At(23, 1) = 5;
  At(21, 1) = 9;
  At(22, 1) = 1;  // the last input has nothing to be ganged to
  body = Body();
  EXPECT_THAT(body, HasSubstr("Left : 1:inf Threshold at -100.0dB, soft knee, 1msec timing, "
                              "-100.0dB post-gain\n (Left is ganged to Right)\n"
                              "Right : 1:1 Threshold at -100.0dB, ?, ? timing"));
  EXPECT_THAT(body, testing::Not(HasSubstr("Right is ganged")));
}

TEST(ReportClockTest, EventsAreSortedByMinuteAndShownOnATwelveHourClock) {
  EXPECT_EQ(ClockEventTime({.day = 1, .hour = 0, .minute = 5}), "Sunday     12:05:00 AM");
  EXPECT_EQ(ClockEventTime({.day = 4, .hour = 12, .second = 9}), "Wednesday  12:00:09 PM");
  EXPECT_EQ(ClockEventTime({.day = 9, .hour = 30}), "?          ?");

  // In the same minute the exchange sort leaves b before a: the empty slot sends the earlier
  // event to the end, and that event, coming forward, sends a behind b.
  const TTimerStruct a{.day = 2, .hour = 8, .minute = 0, .second = 1, .logic = 1};
  const TTimerStruct b{.day = 2, .hour = 8, .minute = 0, .second = 2, .logic = 2};
  const TTimerStruct early{.day = 1, .hour = 13, .minute = 59, .logic = 3};
  EXPECT_EQ(ClockEventsSection({early, a, b, TTimerStruct{}}),
            "\n---Clock Events---\n"
            "Sunday      1:59:00 PM : activate logic 3\n"
            "Monday      8:00:02 AM : activate logic 2\n"
            "Monday      8:00:01 AM : activate logic 1\n");
}

}  // namespace
}  // namespace namespaceOV
