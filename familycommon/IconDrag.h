#pragma once

#include <functional>

#include "bus/IQException.h"
#include "familycommon/GraphContexts.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/Message.h"

namespace familycommon {

// One icon dragged across a response graph, from the press to the release (or Escape).
//
// The band from where the icon started to the mouse keeps to one axis, the one the mouse moved
// further along (or always across, for an icon that only changes its frequency), so a shaky hand
// changes a frequency or a level, never both.
//
// While the icon moves the unit follows it: each step asks for a live write, at most one waits in
// the window's queue, and it sends whatever the icon holds when it runs. A fast mouse never piles
// writes up behind it, and the unit ends at the latest position. A write the bus fails ends the
// drag, freeing the mouse, before the failure is reported: the error box needs the mouse.
class IconDrag {
 public:
  enum class Axes { kLargerMove, kAcrossOnly };
  // Sends the position the icon holds now; throws IQException when the bus fails.
  using LiveWrite = std::function<void()>;
  using FailureReport = std::function<void(const IQException&)>;

  // `window` holds the mouse during a drag.
  explicit IconDrag(ui::DrawnWindow& window, Axes axes = Axes::kLargerMove);

  // The unit follows the drags: `write` runs from the window's queue, posted to it as `message`.
  void SetLiveWrite(ui::MessageId message, LiveWrite write, FailureReport report);
  // Called whenever a drag ends, whatever ended it.
  void SetOnEnd(std::function<void()> onEnd) { onEnd_ = std::move(onEnd); }

  // Starts a drag of the icon standing at `start` on the graph `dc` maps; the window holds the
  // mouse from now on.
  void Begin(const TFreqDC& dc, GraphValue start);
  bool Active() const { return active_; }
  // Frees the mouse (also when it was held for a plain click) and drops the band; a live write
  // still queued finds no drag and sends nothing.
  void End();

  // Moves the band's end to the mouse at `end` (logical units, y up), kept to its axis; returns it.
  ui::Point MoveBandTo(ui::Point end);
  // The band's end on the graph: the axis it was kept from keeps the icon's start value.
  GraphValue BandValue(const TFreqDC& dc) const;
  // The band as an inverted line, while a drag runs and the band has a length.
  void DrawBand(ui::Dc& dc) const;

  // Asks for a live write of the icon's latest position, unless one is queued already.
  void QueueLiveWrite();
  int PendingLiveWrites() const { return queued_ ? 1 : 0; }
  // Sends a queued live write at once: a drag about to end leaves the unit where the mouse was.
  void FlushLiveWrite();

 private:
  void WriteLive();

  ui::DrawnWindow& window_;
  Axes axes_;
  ui::MessageId liveWrite_ = 0;
  LiveWrite write_;
  FailureReport report_;
  std::function<void()> onEnd_;
  bool active_ = false;
  bool queued_ = false;
  ui::Point bandStart_;  // logical units, y up
  ui::Point bandEnd_;
  GraphValue startValue_;
};

}  // namespace familycommon
