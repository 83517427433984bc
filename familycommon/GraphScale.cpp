#include "familycommon/GraphScale.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace familycommon {

namespace {

// The top entry is the band's edge as the units place it, not a nominal third octave.
constexpr std::array<LinearLabel, 31> kLinearLabels{{
    {20, "20"},       {25, "25"},     {32, "32"},      {40, "40"},       {50, "50"},
    {63, "63"},       {80, "80"},     {100, "100"},    {125, "125"},     {160, "160"},
    {200, "200"},     {250, "250"},   {315, "315"},    {400, "400"},     {500, "500"},
    {630, "630"},     {800, "800"},   {1000, "1k"},    {1250, "1.25k"},  {1600, "1.6k"},
    {2000, "2k"},     {2500, "2.5k"}, {3150, "3.15k"}, {4000, "4k"},     {5000, "5k"},
    {6300, "6.3k"},   {8000, "8k"},   {10000, "10k"},  {12500, "12.5k"}, {16000, "16k"},
    {20489, "20.5k"},
}};

constexpr int kLastLinearIndex = static_cast<int>(kLinearLabels.size()) - 1;

std::string Format(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

int GridIndex(float frequencyHz) {
  const double f = frequencyHz;
  const int decade = static_cast<int>(std::log10(f));
  const double decadeStart = std::trunc(std::pow(10.0, decade));
  const double firstLine = std::trunc(decadeStart / 10.0);
  return static_cast<int>(10.0 * std::log10(firstLine) + (f - decadeStart) / decadeStart);
}

float GridFrequency(int index) {
  return static_cast<float>((index % 10 + 1) * std::pow(10.0, index / 10 + 1));
}

std::span<const LinearLabel> LinearLabels() { return kLinearLabels; }

LabelRange ComputeLabelRange(float fmin, float fmax, bool linearLabels) {
  LabelRange range;
  if (linearLabels) {
    for (int i = kLastLinearIndex; i >= 0; --i) {
      if (static_cast<float>(kLinearLabels[i].frequencyHz) > fmin) range.first = i;
    }
    for (int i = 0; i <= kLastLinearIndex; ++i) {
      if (static_cast<float>(kLinearLabels[i].frequencyHz) < fmax) range.last = i;
    }
  } else {
    range.first = GridIndex(fmin) + 1;
    range.last = GridIndex(fmax);
  }
  range.last += 1;
  return range;
}

float GridLineFrequency(int index, bool linearLabels) {
  if (!linearLabels) return GridFrequency(index);
  if (index < 0 || index > kLastLinearIndex) return 0.0f;
  return static_cast<float>(kLinearLabels[index].frequencyHz);
}

std::optional<std::string> GridLineLabel(int index, const LabelRange& range, bool linearLabels) {
  if (linearLabels) {
    if ((index - range.first) % 3 != 0 || index < 0 || index > kLastLinearIndex) return {};
    return kLinearLabels[index].text;
  }
  if (index % 10 != 0) return {};
  const float f = GridFrequency(index);
  if (f < 1000.0f) return Format("%d Hz", static_cast<int>(f));
  return Format("%d kHz", static_cast<int>(f * 0.001));
}

std::vector<LevelLine> LevelLines(float dBmin, float dBmax, int minorStep, int majorStep) {
  std::vector<LevelLine> lines;
  if (minorStep <= 0 || majorStep <= 0) return lines;
  for (int dB = static_cast<int>(dBmin); static_cast<float>(dB) < dBmax; dB += minorStep) {
    lines.push_back({dB, dB % majorStep == 0});
  }
  return lines;
}

std::string LevelLabel(int dB) { return Format("%d dB", dB); }

float SampleRatio(int count, int fStart, int fEnd) {
  if (count < 1 || fStart <= 0) return 1.0f;
  return static_cast<float>(std::pow(static_cast<double>(fEnd / fStart), 1.0 / count));
}

}  // namespace familycommon
