#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/NotifyRecord.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TFilter;

// The low crossover is an output's upper edge (a low-pass), the high crossover its lower edge.
enum class CrossoverSide { kLow, kHigh };

// Hands a notification record to the unit's windows (the edit window broadcasts it).
using RecordSender = std::function<void(NotifyRecord&)>;

// The output's crossover on `side`, or null.
TFilter* CrossoverOf(const IQDeviceOrdavinex& device, int output, CrossoverSide side);
// Empties the side's slot and hands its crossover (or null) to the caller.
std::unique_ptr<TFilter> TakeCrossover(IQDeviceOrdavinex& device, int output, CrossoverSide side);
// Selects the crossover on the unit and deletes it there.
void DeleteCrossoverOnUnit(IQDeviceOrdavinex& device, const TFilter& crossover);
int CrossoverOrder(const TFilter& crossover);
int CrossoverType(const TFilter& crossover);
// Whether the output's polarity is inverted (the unit holds exactly -1.0 then).
bool OutputInverted(IQDeviceOrdavinex& device, int output);

// What the crossover dialog and the network drops change on a unit: crossovers, orders,
// frequencies, polarity and copies between outputs. Every change is written to the unit (or a
// virtual unit's store) at once, and the program's model changes and `send` announces it only once
// the unit has taken it. Bus failures pass to the caller, also when a step must still run after
// one (the end of a filter update).
class CrossoverChanges {
 public:
  enum class Outcome { kDone, kNoCapacity, kNothing };

  CrossoverChanges(IQDeviceOrdavinex& device, RecordSender send);

  // Replaces the side's crossover by a new one of `crossoverType` (0 removes it), keeping its
  // frequency and order; a new crossover starts at the side's default frequency, order 2.
  Outcome SetType(int output, CrossoverSide side, int crossoverType);
  // One up-down step (`delta` -1 up, +1 down); the frequency typed in the side's edit is taken
  // along, since the unit re-allocates the crossover anyway.
  Outcome StepOrder(int output, CrossoverSide side, int delta, const std::string& typedFrequency);
  // One press of the side's quad button.
  Outcome StepFrequency(int output, CrossoverSide side, int quadrant, int steps);
  // Enter in the dialog: the typed frequencies of both sides, each written when it changed.
  Outcome SetTypedFrequencies(int output, const std::string& lowText, const std::string& highText);
  // Inverts the output's polarity or puts it back; the new state.
  bool TogglePolarity(int output);
  // Copies the source output's crossovers and polarity over the target's; kNoCapacity when the
  // source's sections do not fit in place of the target's.
  Outcome CopyOutput(int source, int target);

 private:
  int Channel(int output) const;
  void Send(uint32_t code, int output, TFilter* filter, int flag = 0);
  // Writes the whole crossover and activates it, then tells the windows.
  void Rewrite(int output, TFilter& crossover);
  // Writes the crossover at `frequency` and activates it; a failed write leaves the frequency as
  // it was.
  void WriteFrequency(TFilter& crossover, int frequency);
  // Takes the side's crossover out of the unit and the device.
  void Remove(int output, CrossoverSide side);
  // A new crossover with the given values, written and activated, then put in the side's slot.
  void Add(int output, CrossoverSide side, int frequency, int crossoverType, int order);
  // Runs `steps` and then ends the unit's filter update, even after a failure of theirs.
  void InFilterUpdate(const std::function<void()>& steps);

  IQDeviceOrdavinex& device_;
  RecordSender send_;
};

// The outputs whose crossover network is `network`, in output order.
std::vector<int> OutputsOfNetwork(IQDeviceOrdavinex& device, int network);

// The values of the network tree's items: an output's item carries its channel; a network's item
// a value past the unit's last output channel, so the two never meet on any model.
int NetworkItemValue(const IQDeviceOrdavinex& device, int network);

// What dropping one tree item on another asks for: a copy from output to output (output
// indexes) or from network to network (network numbers); nothing for any other pair.
struct CrossoverDrop {
  enum class Kind { kNothing, kOutputs, kNetworks };
  Kind kind = Kind::kNothing;
  int source = 0;
  int target = 0;
};
CrossoverDrop ResolveDrop(const IQDeviceOrdavinex& device, int sourceValue, int targetValue);

// Copies every output of one network onto the outputs of another, pair by pair in output order;
// kNotSameSize when the networks hold different numbers of outputs (nothing changes then).
enum class NetworkCopy { kDone, kNotSameSize, kNoCapacity };
NetworkCopy CopyNetwork(CrossoverChanges& changes, IQDeviceOrdavinex& device, int source,
                        int target);

}  // namespace namespaceOV
