#pragma once

#include <array>

#include "platform/ui/DrawnWindow.h"
#include "platform/ui/HeldRepeat.h"

// The spin control: one button split into four zones. A press on a zone sends the parent one step
// at once; holding it repeats every tick after a pause, with a step that doubles as it is held.
// The parent reads which zone from CurrentZone (by convention the lower zones decrease, the upper
// ones increase, coarse on the left and fine on the right). A failure ends the hold (ui::EndHolds):
// the steps still queued then are dropped, and none follows until the next press.
class TQuadButton : public ui::OwnerDrawButton {
 public:
  // Sent to the parent, one step at a time: wParam the step, lParam the sending TQuadButton*.
  static constexpr ui::MessageId kQuadSpin = 101;
  static constexpr int kRepeatTimerId = 101;
  static constexpr int kTickMs = 10;
  static constexpr int kTicksPerDoubling = 25;
  // Held for some 7.5 s the step would pass the range of an int; it stays here instead.
  static constexpr int kMaxStep = 1 << 30;
  enum Zone { kNoZone = -1, kLowerLeft = 0, kLowerRight = 1, kUpperRight = 2, kUpperLeft = 3 };

  TQuadButton(ui::Window* parent, int id);

  int CurrentZone() const { return currentZone_; }
  bool IsZonePressed(int zone) const;
  ui::Rect ZoneRect(int zone) const;

 protected:
  void SetupWindow() override;
  void DrawEntire(ui::Dc& dc, const ui::DrawItemState& state) override;

 private:
  struct ZoneState {
    ui::Rect rect;
    bool pressed = false;
  };

  // A step waits in the queue as a message to the button itself, wParam the step and lParam the
  // number of holds ended before it: one ended since goes undelivered.
  static constexpr ui::MessageId kQueuedStep = 102;

  void Press(ui::Point p);
  void Queue(int step);
  void Deliver(const ui::Message& queued);
  void Tick();
  void Drag(ui::Point p);
  void Release();
  void HoldEnded();
  void Repaint();
  void DrawZone(ui::Dc& dc, int zone) const;

  int repeatThreshold_ = kTicksPerDoubling;
  int currentZone_ = kNoZone;
  int step_ = 0;
  int tickCount_ = 0;
  std::array<ZoneState, 4> zones_{};
  ui::Param endedHolds_ = 0;
  ui::HeldRepeat repeat_;
};
