// The response graphs' numbers: grid lines and their labels in both label modes and both ranges,
// level lines, curve sampling, and the icons' limits.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "familycommon/GraphContexts.h"
#include "familycommon/GraphScale.h"
#include "familyov/filters/FilterIcons.h"

namespace familycommon {
namespace {

std::vector<std::string> Labels(float fmin, float fmax, bool linear) {
  const LabelRange range = ComputeLabelRange(fmin, fmax, linear);
  std::vector<std::string> labels;
  for (int i = range.first; i < range.last; ++i) {
    if (auto label = GridLineLabel(i, range, linear)) labels.push_back(*label);
  }
  return labels;
}

TEST(GraphScaleTest, GridLinesAndLabelsOfBothRangesInBothModes) {
  EXPECT_EQ(GridIndex(20.0f), 1);
  EXPECT_EQ(GridFrequency(1), 20.0f);
  EXPECT_EQ(GridFrequency(9), 100.0f);
  EXPECT_EQ(GridFrequency(10), 100.0f);
  EXPECT_EQ(GridFrequency(31), 20000.0f);

  const LabelRange full = ComputeLabelRange(20.0f, 24000.0f, false);
  EXPECT_EQ(GridLineFrequency(full.first, false), 30.0f);
  EXPECT_EQ(GridLineFrequency(full.last - 1, false), 20000.0f);
  EXPECT_EQ(Labels(20.0f, 24000.0f, false),
            (std::vector<std::string>{"100 Hz", "1 kHz", "10 kHz"}));

  const LabelRange zoomed = ComputeLabelRange(100.0f, 5000.0f, false);
  EXPECT_EQ(GridLineFrequency(zoomed.first, false), 200.0f);
  EXPECT_EQ(GridLineFrequency(zoomed.last - 1, false), 5000.0f);

  const LabelRange linear = ComputeLabelRange(20.0f, 24000.0f, true);
  EXPECT_EQ(GridLineFrequency(linear.first, true), 25.0f);
  EXPECT_EQ(GridLineFrequency(linear.last - 1, true), 20489.0f);
  EXPECT_EQ(Labels(20.0f, 24000.0f, true),
            (std::vector<std::string>{"25", "50", "100", "200", "400", "800", "1.6k", "3.15k",
                                      "6.3k", "12.5k"}));
  const LabelRange linearZoomed = ComputeLabelRange(100.0f, 5000.0f, true);
  EXPECT_EQ(GridLineFrequency(linearZoomed.first, true), 125.0f);
  EXPECT_EQ(GridLineFrequency(linearZoomed.last - 1, true), 4000.0f);
}

TEST(GraphScaleTest, LevelLinesTickBetweenLabelledMajors) {
  std::vector<std::string> labels;
  int ticks = 0;
  for (const LevelLine& line : LevelLines(-80.0f, 20.0f, 4, 20)) {
    if (line.major) labels.push_back(LevelLabel(line.dB));
    ticks += line.major ? 0 : 1;
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"-80 dB", "-60 dB", "-40 dB", "-20 dB", "0 dB"}));
  EXPECT_EQ(ticks, 20);
  const std::vector<LevelLine> zoomed = LevelLines(-12.0f, 12.0f, 1, 4);
  EXPECT_EQ(zoomed.size(), 24u);
  EXPECT_TRUE(zoomed.front().major);
  EXPECT_FALSE(zoomed[1].major);
}

TEST(GraphScaleTest, CurvesEndOneStepBelowTheRangeAndCatchTheFiltersOwnFrequency) {
  Curve magnitude, phase;
  std::vector<float> asked;
  SampleCurve(
      256, 20, 24000, 1000.0f,
      [&](float f) {
        asked.push_back(f);
        return SampleValue{f, -f};
      },
      magnitude, phase);
  ASSERT_EQ(magnitude.size(), 256u);
  EXPECT_FLOAT_EQ(SampleRatio(256, 20, 24000), static_cast<float>(std::pow(1200.0, 1.0 / 256)));
  EXPECT_EQ(magnitude.front().frequency, 20.0f);
  EXPECT_NEAR(magnitude.back().frequency * SampleRatio(256, 20, 24000), 24000.0f, 2.0f);
  // Exactly one sample is evaluated at the mark and stored at its own frequency.
  int marked = 0;
  for (size_t i = 0; i < asked.size(); ++i) {
    if (asked[i] == 1000.0f) {
      ++marked;
      EXPECT_GT(magnitude[i].frequency, 1000.0f);
      EXPECT_EQ(phase[i].value, -1000.0f);
    }
  }
  EXPECT_EQ(marked, 1);
  SampleCurve(
      256, 100, 100, 0.0f,
      [](float) {
        return SampleValue{1, 0};
      },
      magnitude, phase);
  EXPECT_TRUE(magnitude.empty());
}

TEST(GraphScaleTest, ValuesThatAreNotNumbersMapToDefinedPixels) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  ui::Dc dc(scratch);
  TFreqDC freq(dc, {0, 0, 1080, 400}, 20.0f, 24000.0f, -80.0f, 20.0f, false);
  EXPECT_EQ(freq.ValueToPoint({20.0f, 1.0f}, false), (ui::Point{0, 0}));
  EXPECT_EQ(freq.ValueToPoint({20.0f, std::nanf("")}, false).y, 0);
  EXPECT_EQ(freq.ValueToPoint({0.0f, HUGE_VALF}, false), (ui::Point{0, 0}));
}

}  // namespace
}  // namespace familycommon

namespace namespaceOV {
namespace {

TEST(FilterIconTest, AFilterCountedInASumIsSampledWhereItIsNow) {
  // A narrow peak falls between the samples unless one is taken at its frequency.
  TParametricFilter parametric;
  parametric.frequency = 1000;
  parametric.level = 12.0f;
  parametric.q = 100.0f;
  TInvisibleIcon icon(parametric);
  parametric.frequency = 3000;
  icon.Update(20, 24000);
  float peak = 0.0f;
  for (const auto& point : icon.magnitude) peak = std::max(peak, point.value);
  EXPECT_FLOAT_EQ(peak, parametric.Magnitude(3000.0f));
  EXPECT_EQ(icon.position.frequency, 3000.0f);
}

TEST(FilterIconTest, DragsStopAtEachClassLimitsAndApplyWholeHertzAndDecibels) {
  TParametricFilter parametric;
  parametric.frequency = 1000;
  TParametricIcon peak(parametric);
  GraphValue value{30000.0f, 100.0f};
  peak.Apply(value);
  EXPECT_EQ(parametric.frequency, 20000);
  EXPECT_NEAR(parametric.level, 12.0f, 1e-4);
  value = {440.7f, 1e-6f};
  peak.Apply(value);
  EXPECT_EQ(parametric.frequency, 440);
  EXPECT_NEAR(parametric.level, -70.0f, 1e-4);

  TOctaveFilter octave;
  octave.frequency = 500;
  TOctaveIcon boost(octave);
  value = {2000.0f, 100.0f};
  boost.Apply(value);
  EXPECT_EQ(octave.frequency, 500);
  EXPECT_NEAR(octave.level, 12.0f, 1e-4);

  TLowshelfFilter shelf;
  TLowshelfIcon low(shelf);
  value = {100.0f, 1e-3f};
  low.Apply(value);
  EXPECT_NEAR(shelf.level, -12.0f, 1e-4);

  TLowpassFilter lowpass;
  TLowpassIcon cut(lowpass);
  value = {5.0f, 8.0f};
  cut.Apply(value);
  EXPECT_EQ(lowpass.frequency, 20);
  EXPECT_FLOAT_EQ(cut.position.gain, 0.707f);
  EXPECT_FLOAT_EQ(value.gain, 0.707f);

  // Placing alone samples nothing; a range samples the curve.
  EXPECT_TRUE(cut.magnitude.empty());
  cut.Update(20, 24000);
  EXPECT_EQ(cut.magnitude.size(), static_cast<size_t>(kCurvePoints));
  EXPECT_NEAR(cut.magnitude.back().value, 0.0f, 1e-3);

  TCDHornFilter horn;
  horn.order = 1;
  EXPECT_FLOAT_EQ(TCDHornIcon(horn).position.gain, 1.414f);
  horn.order = 2;
  EXPECT_FLOAT_EQ(TCDHornIcon(horn).position.gain, 2.0f);

  // The class decides the icon; crossovers have none on the filter graph.
  TLowCrossover crossover;
  EXPECT_EQ(MakeFilterIcon(crossover), nullptr);
  parametric.typeCode = kFilterLowpass;
  EXPECT_NE(dynamic_cast<TParametricIcon*>(MakeFilterIcon(parametric).get()), nullptr);
}

}  // namespace
}  // namespace namespaceOV
