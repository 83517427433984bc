#pragma once

#include <functional>
#include <optional>
#include <string>

#include "controls/ChangeOutcome.h"

namespace namespace8100 {

class IQDevice8100;
class TFilter;

// The two sides of the X model's crossover: the low one feeds the left output, the high one the
// right output.
enum class CrossoverSide { Low, High };

// What the crossover window does to a unit's two crossovers, each change written and committed at
// once. While the unit's link is set, the low crossover follows the high one at the ratio the two
// had before the change. Bus failures pass to the caller; values already changed stay.
class CrossoverEdits {
 public:
  explicit CrossoverEdits(IQDevice8100& unit) : unit_(unit) {}

  TFilter* Crossover(CrossoverSide side) const;

  // Alignment 0 removes the side's crossover (and the link); 1 to 3 put a new crossover in its
  // place with the old one's frequency and order, or 1000 Hz and order 2. The outputs are unmuted
  // at the end, also when the change failed.
  void ChangeAlignment(CrossoverSide side, int alignment);
  // The slope's up-down: `delta` -1 for the up arrow. Butterworth and Bessel run 1, 2, 3, 4, 8,
  // Linkwitz-Riley 2, 4, 8. The unit may move the crossover when its size changes; the typed
  // frequency of the side's row goes with the new order when it holds a number.
  void StepOrder(CrossoverSide side, int delta, const std::string& frequencyText);
  // Enter in the dialog: each typed frequency into its crossover. A text that holds no number
  // leaves its crossover as it is and writes nothing.
  void ApplyTyped(const std::string& lowText, const std::string& highText);
  // One press of a side's four-zone frequency button.
  void StepFrequency(CrossoverSide side, int zone, int count);
  // A side's new frequency, as a graph drag drops it.
  void SetFrequency(CrossoverSide side, int frequency);
  // Both typed frequencies are committed first, then the link flips.
  void ToggleLink(const std::string& lowText, const std::string& highText);
  // The crossovers' values read from the unit, for a change made while they are in doubt. False
  // when the unit's slot no longer holds one: all the unit's filters are read again then, and the
  // change is not to be made.
  bool ReadCrossovers();

 private:
  void ReplaceCrossover(CrossoverSide side, int alignment);
  // Which of a linked pair reaches the unit first: the step buttons commit the following low
  // crossover before the stepped high one, Enter and a graph drop the high one first.
  enum class CommitOrder { HighFirst, LowFirst };
  void MoveSide(CrossoverSide side, int frequency, CommitOrder order);
  // The high crossover at `frequency`, with the linked low one following it.
  void MoveHigh(int frequency, CommitOrder order);
  void Commit(TFilter& crossover);

  IQDevice8100& unit_;
};

// A crossover edit under the family's guard. A failure is reported once, and the crossovers and
// the link take back what they held before: no crossover keeps a value the unit has not taken.
// Since the unit may have carried out part of the edit, the crossovers are then read back
// quietly, as far as the unit answers; an edit that had already removed or replaced one, or one
// whose slot the unit no longer gives it, reads all the unit's filters again.
controls::ChangeOutcome GuardedCrossoverEdit(IQDevice8100& unit,
                                             const std::function<void(CrossoverEdits&)>& edit);

}  // namespace namespace8100
