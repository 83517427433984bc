#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "bench/BenchLine.h"
#include "bench/EventLoopStall.h"
#include "bench/LineHandOver.h"
#include "bench/PacedBus.h"
#include "bench/Repeated.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string ReportLine(const bench::Result& result) {
  testing::internal::CaptureStdout();
  bench::Report(result);
  return testing::internal::GetCapturedStdout();
}

TEST(BenchFigures, MedianAndQuartilesOfOddAndEvenCounts) {
  const bench::Spread odd = bench::SpreadOf({9, 1, 5, 3, 7});
  EXPECT_EQ(odd.count, 5u);
  EXPECT_DOUBLE_EQ(odd.median, 5);
  EXPECT_DOUBLE_EQ(odd.lowerQuartile, 3);
  EXPECT_DOUBLE_EQ(odd.upperQuartile, 7);
  EXPECT_DOUBLE_EQ(odd.lowest, 1);
  EXPECT_DOUBLE_EQ(odd.highest, 9);

  const bench::Spread even = bench::SpreadOf({4, 1, 3, 2});
  EXPECT_DOUBLE_EQ(even.median, 2.5);
  EXPECT_DOUBLE_EQ(even.lowerQuartile, 1.75);
  EXPECT_DOUBLE_EQ(even.upperQuartile, 3.25);

  EXPECT_EQ(bench::SpreadOf({}).count, 0u);
  EXPECT_DOUBLE_EQ(bench::SpreadOf({}).median, 0);
}

TEST(BenchFigures, PairsGiveTheirMediansAndTheSpreadOfTheirOwnRatios) {
  // One pair slowed by a load that hit both halves alike leaves its ratio where the others are.
  const bench::Result result = bench::MedianOfPairs(
      {.measured = "work", .reference = "bare", .unit = "ms", .limit = 3}, {2, 2.2, 20, 2.1, 1.9},
      {1, 1.1, 10, 1.05, 0.95}, bench::FrameShare::kPrinted);
  EXPECT_DOUBLE_EQ(result.measuredFigure, 2.1);
  EXPECT_DOUBLE_EQ(result.referenceFigure, 1.05);
  EXPECT_EQ(result.detail,
            "median of 5 runs each, the middle half of their ratios 2.000-2.000, 0.126 of a 60 Hz "
            "frame");

  const bench::Result memory =
      bench::MedianOfPairs({.unit = "kB"}, {30, 31, 32}, {20, 20, 20}, bench::FrameShare::kLeftOut);
  EXPECT_EQ(memory.detail, "median of 3 runs each, the middle half of their ratios 1.525-1.575");
}

TEST(BenchFigures, TimedInTurnsRunsBothAsOftenAsAsked) {
  int work = 0;
  int reference = 0;
  const bench::Result result = bench::TimedInTurns(
      {.unit = "ms"}, 7, [&] { ++work; }, [&] { ++reference; }, bench::FrameShare::kLeftOut);
  EXPECT_EQ(work, 7);
  EXPECT_EQ(reference, 7);
  EXPECT_EQ(result.detail.rfind("median of 7 runs each", 0), 0u);
}

TEST(BenchFigures, TheLinePrintsItsDetailAfterTheVerdict) {
  const std::string over = ReportLine({.measured = "repaint",
                                       .reference = "bare",
                                       .unit = "ms",
                                       .referenceFigure = 1,
                                       .measuredFigure = 5,
                                       .limit = 4,
                                       .detail = "median of 3 runs each"});
  EXPECT_NE(over.find("| ratio 5.000 | limit 4.000 | OVER | median of 3 runs each\n"),
            std::string::npos);
  const std::string plain = ReportLine({.measured = "count",
                                        .reference = "one",
                                        .unit = "",
                                        .referenceFigure = 1,
                                        .measuredFigure = 1,
                                        .limit = 1});
  EXPECT_NE(plain.find("| limit 1.000 | ok\n"), std::string::npos);
}

// Figures that give no ratio fail with a plain line that the run's script does not read as a
// result, never with a NaN or an infinite ratio.
TEST(BenchFigures, AFigureWithNothingToHoldItAgainstFailsPlainly) {
  const struct {
    double reference;
    double measured;
  } cases[] = {{0, 0}, {0, 3}, {-1, 3}, {2, std::nan("")}, {2, HUGE_VAL}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.measured << " against " << c.reference);
    testing::internal::CaptureStdout();
    const bool within = bench::Report({.measured = "round",
                                       .reference = "wire",
                                       .unit = "ms",
                                       .referenceFigure = c.reference,
                                       .measuredFigure = c.measured,
                                       .limit = 1.1,
                                       .detail = "median of 5 windows"});
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(within);
    EXPECT_NE(line.find("| not measured: "), std::string::npos) << line;
    EXPECT_NE(line.find("| FAILED | median of 5 windows\n"), std::string::npos) << line;
    EXPECT_EQ(line.find("| ratio "), std::string::npos) << line;
  }
}

// A bus-bound figure is held without the machine's share of its time beyond the wire, but never
// without the program's own processor time.
TEST(BenchFigures, SchedulingIsTakenOffButNeverTheProgramsProcessorTime) {
  bench::Timed quiet{
      .measuredMs = 1050, .wireMs = 1000, .threads = {.programCpuMs = 30, .waitMs = 5}};
  EXPECT_DOUBLE_EQ(quiet.SchedulingMs(), 5);
  EXPECT_DOUBLE_EQ(quiet.ProgramMs(), 1045);

  // Waits of two threads that fell together add up to more than the time they cost.
  bench::Timed overlapping{
      .measuredMs = 1300, .wireMs = 1000, .threads = {.programCpuMs = 40, .waitMs = 900}};
  EXPECT_DOUBLE_EQ(overlapping.SchedulingMs(), 260);
  EXPECT_DOUBLE_EQ(overlapping.ProgramMs(), 1040);

  // The line's hand-overs explain more than the waits: the larger of the two is taken off.
  bench::Timed handedOver{.measuredMs = 1200,
                          .wireMs = 1000,
                          .threads = {.programCpuMs = 20, .waitMs = 10},
                          .handOverMs = 150};
  EXPECT_DOUBLE_EQ(handedOver.SchedulingMs(), 150);
  EXPECT_DOUBLE_EQ(handedOver.ProgramMs(), 1050);

  // A reference with generous mandated waits: nothing is taken off a wall time below it.
  bench::Timed early{.measuredMs = 990,
                     .wireMs = 1000,
                     .threads = {.programCpuMs = 20, .waitMs = 50},
                     .handOverMs = 50};
  EXPECT_DOUBLE_EQ(early.ProgramMs(), 990);
  EXPECT_NE(early.Detail().find("rest -30.0"), std::string::npos) << early.Detail();

  // The program read bytes while the wire carried more: its processor time does not keep the
  // measured hand-overs from being taken off, but no more than the whole time beyond the wire is.
  bench::Timed overlapped{.measuredMs = 1200,
                          .wireMs = 1000,
                          .threads = {.programCpuMs = 100, .waitMs = 20},
                          .handOverMs = 150};
  EXPECT_DOUBLE_EQ(overlapped.ProgramMs(), 1050);
  bench::Timed lateLine{
      .measuredMs = 1100, .wireMs = 1000, .threads = {.programCpuMs = 10}, .handOverMs = 150};
  EXPECT_DOUBLE_EQ(lateLine.ProgramMs(), 1000);
}

TEST(BenchFigures, HandOversAreWhatATransactionTookBeyondItsWireTime) {
  const double byteMs = std::chrono::duration<double, std::milli>(sim::kByteWireTime).count();
  bench::HandOverClock clock(1000);
  // Ten bytes out, ten back after a 1 ms turnaround: 20 bytes and the turnaround on the wire.
  const double wireMs = 20 * byteMs + 1;
  const auto at = [](double ms) {
    return Clock::time_point{} + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double, std::milli>(ms));
  };
  clock.Wrote(at(0), 0, 10);
  clock.Read(at(wireMs - 2), 0.1, 6);
  clock.Read(at(wireMs + 3), 0.2, 4);
  EXPECT_NEAR(clock.TotalMs(), 3, 1e-6);
  // The wait for silence after the reply is the program's.
  clock.Reading(at(wireMs + 50), 0.3);
  EXPECT_NEAR(clock.TotalMs(), 3, 1e-6);

  // A broadcast no unit answers: its wait for silence is the program's, but not the wait for the
  // bus's thread to take the request in before that, beyond the request's wire time.
  clock.Wrote(at(100), 1, 10);
  EXPECT_NEAR(clock.TotalMs(), 3, 1e-6);
  clock.Reading(at(100 + 10 * byteMs + 2), 1.1);
  clock.Reading(at(140), 1.2);
  EXPECT_NEAR(clock.TotalMs(), 5, 1e-6);

  // A transaction on an unpaced line, quicker than the wire, adds nothing.
  clock.Wrote(at(200), 2, 10);
  clock.Reading(at(200.1), 2.05);
  clock.Read(at(201), 2.1, 10);
  clock.Wrote(at(300), 3, 10);
  clock.Read(at(300 + wireMs + 0.5), 3.1, 10);
  EXPECT_NEAR(clock.TotalMs(), 5.5, 1e-6);

  // A program whose own reading took longer than the wire made the reply late itself: only what
  // lies beyond its processor time is the line's.
  clock.Wrote(at(400), 10, 10);
  clock.Read(at(400 + wireMs + 4), 10 + wireMs + 3, 10);
  EXPECT_NEAR(clock.TotalMs(), 6.5, 1e-6);
}

TEST(BenchFigures, TheMedianWindowIsHeldWithTheBestAndTheWorstBesideIt) {
  // Each window's figure is its stall against a reference of 10.
  std::vector<bench::LoopWindow> windows(5);
  const double stalls[] = {11, 30, 9, 12, 10.5};
  for (std::size_t i = 0; i < windows.size(); ++i) windows[i].stallMs = stalls[i];
  const bench::WindowFigure median =
      bench::MedianWindow(windows, [](const bench::LoopWindow& window) {
        return bench::WindowFigure{window.stallMs, 10, "stall " + std::to_string(window.stallMs)};
      });
  EXPECT_DOUBLE_EQ(median.measured, 11);
  EXPECT_EQ(median.detail,
            "median of 5 windows, best 0.900, worst 3.000; the median window: stall 11.000000");

  // Of an even count the lower middle window, one window's figure as it is.
  windows.pop_back();
  EXPECT_DOUBLE_EQ(bench::MedianWindow(windows,
                                       [](const bench::LoopWindow& window) {
                                         return bench::WindowFigure{window.stallMs, 10};
                                       })
                       .measured,
                   11);
}

// A run of gaps 0-100 ms long split into five windows of 20 ms each.
TEST(BenchFigures, GapsCountInTheWindowTheyEndedIn) {
  const std::vector<bench::Gap> gaps = {{2, 2},   {5, 3},   {20, 15}, {21, 1},
                                        {39, 18}, {70, 31}, {80, 10}, {100, 20}};
  const std::vector<bench::GapWindow> windows = bench::LongestGapsByWindow(gaps, 5);
  // The gap of 31 ms ending at 70 ms covers the whole of the window from 40 to 60 ms, in which no
  // gap ended: that window is left out rather than held as the best.
  ASSERT_EQ(windows.size(), 4u);
  EXPECT_DOUBLE_EQ(windows[0].longestMs, 3);
  EXPECT_EQ(windows[0].gaps, 2);
  EXPECT_DOUBLE_EQ(windows[1].longestMs, 18);
  EXPECT_EQ(windows[1].gaps, 3);
  EXPECT_DOUBLE_EQ(windows[2].longestMs, 31);
  // The last gap ends the run and belongs to the last window.
  EXPECT_DOUBLE_EQ(windows[3].longestMs, 20);
  EXPECT_EQ(windows[3].gaps, 2);

  // A gap shortened below zero by overlapping waits is no longer than none.
  EXPECT_DOUBLE_EQ(bench::LongestGapsByWindow({{1, -4}}, 5).front().longestMs, 0);
  EXPECT_TRUE(bench::LongestGapsByWindow({}, 5).empty());
  EXPECT_DOUBLE_EQ(bench::MedianFigure({}).Ratio(), 0);
}

}  // namespace
