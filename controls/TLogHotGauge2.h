#pragma once

#include "controls/THotGauge2.h"

// The signal-level meter: the band fills from the left to the level in dB, blue, then green and
// yellow in the two bands below the top of the scale, all red at or above the top, with a peak
// line held for a number of repaints.
class TLogHotGauge2 : public THotGauge2 {
 public:
  static constexpr int kHoldRepaints = 10;
  static constexpr float kGreenBelowTopDb = 6.0f;
  static constexpr float kYellowBelowTopDb = 3.0f;
  static constexpr float kInitialLevelDb = -90.0f;

  TLogHotGauge2(ui::Window* parent, int id);

  // Also sets the thresholds 6 and 3 dB below the top and drops the peak to the bottom.
  void SetScale(float bottomDb, float topDb);
  void SetThresholds(float greenDb, float yellowDb);
  // The band shows the level from the next paint on, unknown no more.
  void SetLevel(float levelDb);
  float Level() const { return level_; }
  float Peak() const { return peak_; }
  using THotGauge2::PaintLevel;

 protected:
  void PaintLevel(ui::Dc& dc) override;

 private:
  float FractionOf(float levelDb) const;
  void Fill(ui::Dc& dc, float toDb, ui::Color color) const;
  void HoldPeak();

  int holdTicks_ = kHoldRepaints;
  float green_ = 0.0f;
  float yellow_ = 0.0f;
  float level_ = kInitialLevelDb;
  float top_ = 0.0f;
  float bottom_ = 0.0f;
  float peak_ = 0.0f;
  float holdCounter_ = kHoldRepaints;
};
