#pragma once

#include <optional>

#include "platform/ui/Window.h"

namespace controls {

// When a trackbar's move goes to the unit: at the move's end, or at every step when writing while
// dragging. A key press is a step and an end at one value; the end does not write again what its
// step just wrote, so one press on a silent unit is one write and one report.
template <typename Value>
class MoveWrites {
 public:
  void SetWhileDragging(bool whileDragging) { whileDragging_ = whileDragging; }

  // The unit holds `value` after a write of the move it did not take: the move's end writes it
  // only when it has moved on.
  void UnitHolds(const Value& value) {
    if (whileDragging_) written_ = value;
  }

  // A write of a drag failed (at `code`): the rest of the drag writes nothing, so that a drag over
  // a failing unit is told of once. A key's or a page's hold is ended by the failure itself.
  void Failed(ui::ScrollCode code) {
    if (whileDragging_ && code == ui::ScrollCode::ThumbTrack) stopped_ = true;
  }
  // Whether the move, now at `code`, is a drag that writes nothing since a write of it failed; its
  // end lets it go.
  bool Stopped(ui::ScrollCode code) {
    if (!stopped_) return false;
    if (code == ui::ScrollCode::ThumbTrack || code == ui::ScrollCode::ThumbPosition) return true;
    stopped_ = false;
    written_.reset();
    return code == ui::ScrollCode::EndScroll;
  }

  // Whether the move, now at `code` with `value`, is to be written.
  bool Due(ui::ScrollCode code, const Value& value) {
    const bool end = code == ui::ScrollCode::EndScroll;
    if (!whileDragging_) return end;
    const bool due = !end || written_ != value;
    written_ = end ? std::nullopt : std::optional<Value>(value);
    return due;
  }

 private:
  bool whileDragging_ = false;
  bool stopped_ = false;
  std::optional<Value> written_;
};

}  // namespace controls
