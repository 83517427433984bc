#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

// The numbers behind every response graph: where the frequency grid's lines stand and what they
// read, the level lines, and the frequencies a curve is sampled at. Plain functions, shared by the
// screen and the printer and by both families' graphs.

namespace familycommon {

// The level axis of a response graph: its range in dB and the steps of its grid lines and labels.
struct LevelScale {
  float dBmin;
  float dBmax;
  int minorStep;
  int majorStep;
};
inline constexpr LevelScale kFullLevelScale{-80.0f, 20.0f, 4, 20};
inline constexpr LevelScale kZoomedLevelScale{-12.0f, 12.0f, 1, 4};

// One curve sample: frequency in Hz and value (linear gain, or phase in radians).
struct TPlotPoint {
  float frequency = 0.0f;
  float value = 0.0f;
};
using Curve = std::vector<TPlotPoint>;

// The logarithmic grid numbers its lines 1, 2, ... from 20 Hz: line i stands at
// (i mod 10 + 1) x 10^(i / 10 + 1) Hz, so lines 9 and 10 both stand at 100 Hz.
int GridIndex(float frequencyHz);
float GridFrequency(int index);

// The grid of the linear labels: third-octave frequencies from 20 Hz to the top of the band.
struct LinearLabel {
  int frequencyHz;
  const char* text;
};
std::span<const LinearLabel> LinearLabels();

// The grid lines a range shows: first <= i < last, in the grid of the label mode.
struct LabelRange {
  int first = 0;
  int last = 0;
};
LabelRange ComputeLabelRange(float fmin, float fmax, bool linearLabels);
float GridLineFrequency(int index, bool linearLabels);
// What line `index` of `range` reads, if anything: a decade on the logarithmic grid ("100 Hz",
// "1 kHz"), every third line from the first on the linear one. `kHzOffset` Hz are added before a
// frequency is truncated to whole kHz (a family whose floats fall just short of a decade).
std::optional<std::string> GridLineLabel(int index, const LabelRange& range, bool linearLabels,
                                         float kHzOffset = 0.0f);

// Level lines from trunc(dBmin) up to below dBmax, a minor step apart; a multiple of the major
// step is drawn across the plot and labelled, the others are short ticks at both edges.
struct LevelLine {
  int dB;
  bool major;
};
std::vector<LevelLine> LevelLines(float dBmin, float dBmax, int minorStep, int majorStep);
std::string LevelLabel(int dB);

// A curve's frequencies: fStart x ratio^i for i < count, ratio = (fEnd / fStart)^(1 / count) with
// the quotient in whole numbers, so that the last sample lies one step below fEnd.
float SampleRatio(int count, int fStart, int fEnd);

struct SampleValue {
  float magnitude;  // linear gain
  float phase;      // radians
};

// Walks a curve's frequencies: visit(i, f, fEvaluated) for each sample. The first sample above
// `fMark` (the filter's own frequency) is evaluated at fMark, so that a narrow peak is never
// missed between samples. Answers the number of samples: 0 for count < 1 or an empty range.
template <typename Visit>
int ForEachSample(int count, int fStart, int fEnd, float fMark, Visit&& visit) {
  if (count < 1 || fStart <= 0 || fEnd <= fStart) return 0;
  const float ratio = SampleRatio(count, fStart, fEnd);
  float f = static_cast<float>(fStart);
  bool marked = false;
  for (int i = 0; i < count; ++i, f *= ratio) {
    const bool atMark = !marked && f > fMark;
    marked = marked || atMark;
    visit(static_cast<size_t>(i), f, atMark ? fMark : f);
  }
  return count;
}

// A filter's magnitude and phase at the curve's frequencies; empty curves for an empty range.
template <typename Evaluate>
void SampleCurve(int count, int fStart, int fEnd, float fMark, Evaluate&& evaluate,
                 Curve& magnitude, Curve& phase) {
  magnitude.clear();
  phase.clear();
  if (count < 1 || fStart <= 0 || fEnd <= fStart) return;
  magnitude.resize(static_cast<size_t>(count));
  phase.resize(static_cast<size_t>(count));
  ForEachSample(count, fStart, fEnd, fMark, [&](size_t i, float f, float at) {
    const SampleValue v = evaluate(at);
    magnitude[i] = {f, v.magnitude};
    phase[i] = {f, v.phase};
  });
}

// A filter's magnitude alone, for graphs that show no phase.
template <typename Magnitude>
void SampleMagnitude(int count, int fStart, int fEnd, float fMark, Magnitude&& magnitudeAt,
                     Curve& magnitude) {
  magnitude.clear();
  if (count < 1 || fStart <= 0 || fEnd <= fStart) return;
  magnitude.resize(static_cast<size_t>(count));
  ForEachSample(count, fStart, fEnd, fMark, [&](size_t i, float f, float at) {
    magnitude[i] = {f, magnitudeAt(at)};
  });
}

}  // namespace familycommon
