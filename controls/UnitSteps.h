#pragma once

#include <functional>

#include "controls/ControlChange.h"
#include "controls/SteppedValue.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/Window.h"

namespace controls {

// Whether a slider's move steps from where its thumb rests (an arrow or a page, from a key or a
// press on the track) rather than putting the thumb where the user chose (a drag, home or end).
inline bool IsStep(ui::ScrollCode code) {
  return code == ui::ScrollCode::LineUp || code == ui::ScrollCode::LineDown ||
         code == ui::ScrollCode::PageUp || code == ui::ScrollCode::PageDown;
}

// A slider whose read-out shows unknown keeps its thumb where it last rested, which need not be
// the unit's value: a step from there would write a value nobody chose (tens of dB from one key
// press). A step made on it is taken from what the unit holds, read first; a unit that does not
// give it is written nothing and told of once, and the read-out stays unknown.
// A move's end (ThumbPosition, EndScroll) goes no further when it leaves the thumb where it last
// rested, at the unit's value or at a level shown unknown that the move never left: a press on
// the thumb writes nothing, where it would write a value nobody chose, or the unit's own again (on
// a silent unit, a write in doubt for nothing), and the end of a move whose steps were written
// already does not write them again.
class UnitSteps {
 public:
  explicit UnitSteps(ui::Trackbar& bar) : bar_(bar) {}

  // The thumb now rests at the unit's value, or, not `known`, where the read-out says unknown.
  void Rest(bool known) {
    known_ = known;
    rest_ = held_ = bar_.Position();
    moved_ = false;
  }

  // Called first at every move of the slider, now at `code`. A step while the value is unknown
  // runs `read` under the change rule: it reads the unit's value under the family's guard, puts
  // the thumb there, calls Rest, and answers whether it read (one that cannot read shows unknown
  // itself). The step is then taken again from there. Answers whether the move goes on: not when
  // that read failed (the thumb back where it rested), nor at an end that changes nothing.
  bool Move(ui::ScrollCode code, const std::function<bool()>& read) {
    if (IsEnd(code)) {
      const bool changes = bar_.Position() != held_ || (!known_ && moved_);
      if (code == ui::ScrollCode::EndScroll) moved_ = false;
      return changes;
    }
    if (!known_ && IsStep(code)) {
      // At an end of the range the thumb did not move: the arrow's one step is still the user's.
      const int moved = bar_.Position() - rest_;
      const bool line = code == ui::ScrollCode::LineUp || code == ui::ScrollCode::LineDown;
      const int toward = code == ui::ScrollCode::LineUp || code == ui::ScrollCode::PageUp ? -1 : 1;
      const int step = line ? toward : moved;
      bar_.SetPosition(rest_);
      if (ApplyChange(read, {}) != ChangeOutcome::kTaken) return false;
      bar_.SetPosition(SteppedWithin(bar_.Position(), step, 1, bar_.Minimum(), bar_.Maximum()));
    }
    moved_ = moved_ || bar_.Position() != rest_;
    rest_ = bar_.Position();
    return true;
  }

 private:
  static bool IsEnd(ui::ScrollCode code) {
    return code == ui::ScrollCode::ThumbPosition || code == ui::ScrollCode::EndScroll;
  }

  ui::Trackbar& bar_;
  bool known_ = false;
  // Where the thumb stood at the last move that went on, or at the last Rest.
  int rest_ = 0;
  // Where the thumb stood at the last Rest: the unit's value, when known.
  int held_ = 0;
  // Whether the move has taken the thumb from where it stood, since it began or the last Rest.
  bool moved_ = false;
};

}  // namespace controls
