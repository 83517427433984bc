#include "familyov/filters/CrossoverChanges.h"

#include <exception>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "controls/ChangeOutcome.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr float kInvertedPolarity = -1.0f;
constexpr float kNormalPolarity = 1.0f;

// The crossover classes share no base beyond TFilter: the order and the alignment are reached
// through the side's own class.
template <typename Filter, typename F>
decltype(auto) WithEdge(Filter& crossover, F&& f) {
  constexpr bool kConst = std::is_const_v<Filter>;
  using Low = std::conditional_t<kConst, const TLowCrossover, TLowCrossover>;
  using High = std::conditional_t<kConst, const THighCrossover, THighCrossover>;
  if (auto* low = dynamic_cast<Low*>(&crossover)) return f(*low);
  return f(dynamic_cast<High&>(crossover));
}

}  // namespace

TFilter* CrossoverOf(const IQDeviceOrdavinex& device, int output, CrossoverSide side) {
  if (side == CrossoverSide::kLow) return device.LowCrossover(output);
  return device.HighCrossover(output);
}

std::unique_ptr<TFilter> TakeCrossover(IQDeviceOrdavinex& device, int output, CrossoverSide side) {
  if (side == CrossoverSide::kLow) return device.TakeLowCrossover(output);
  return device.TakeHighCrossover(output);
}

void DeleteCrossoverOnUnit(IQDeviceOrdavinex& device, const TFilter& crossover) {
  gFilterSelectObject.Write(device, static_cast<uint8_t>(crossover.number));
  gDeleteFilterObject.Write(device, 0);
}

int CrossoverOrder(const TFilter& crossover) {
  return WithEdge(crossover, [](const auto& edge) { return edge.order; });
}

int CrossoverType(const TFilter& crossover) {
  return WithEdge(crossover, [](const auto& edge) { return edge.crossoverType; });
}

bool OutputInverted(IQDeviceOrdavinex& device, int output) {
  gPolarityObject.SetElement(output);
  return gPolarityObject.Read(device) == kInvertedPolarity;
}

CrossoverChanges::CrossoverChanges(IQDeviceOrdavinex& device, RecordSender send)
    : device_(device), send_(std::move(send)) {}

int CrossoverChanges::Channel(int output) const { return device_.firstOutput + output; }

void CrossoverChanges::Send(uint32_t code, int output, TFilter* filter, int flag) {
  NotifyRecord record{code, Channel(output), flag, filter};
  if (send_) send_(record);
}

void CrossoverChanges::Rewrite(int output, TFilter& crossover) {
  crossover.WriteToDevice(device_);
  crossover.SendCreateCommand(device_);
  Send(FilterChanged, output, &crossover);
}

void CrossoverChanges::WriteFrequency(TFilter& crossover, int frequency) {
  // A frequency the unit did not take is not kept: no later write may carry it.
  const int held = std::exchange(crossover.frequency, frequency);
  try {
    crossover.WriteToDevice(device_);
    crossover.SendCreateCommand(device_);
  } catch (const IQException&) {
    crossover.frequency = held;
    throw;
  }
}

void CrossoverChanges::Remove(int output, CrossoverSide side) {
  const std::unique_ptr<TFilter> old = TakeCrossover(device_, output, side);
  // The windows drop their references to it before it goes.
  if (old) Send(FilterRemoved, output, old.get());
}

void CrossoverChanges::Add(int output, CrossoverSide side, int frequency, int crossoverType,
                           int order) {
  if (output < 0 || output >= device_.outputs) return;
  std::unique_ptr<TFilter> made;
  if (side == CrossoverSide::kLow) {
    made = std::make_unique<TLowCrossover>();
  } else {
    made = std::make_unique<THighCrossover>();
  }
  made->frequency = frequency;
  made->channel = Channel(output);
  WithEdge(*made, [&](auto& edge) {
    edge.order = order;
    edge.crossoverType = crossoverType;
  });
  if (device_.IsOnline()) made->number = gNewFilterObject.Read(device_);
  const controls::DoubtWatch doubt;
  try {
    made->WriteToDevice(device_);
    made->SendCreateCommand(device_);
  } catch (const IQException&) {
    // A refused crossover leaves the unit again, as far as it answers: the program holds none. One
    // the unit may have made whole is found when the unit is read again, and one it holds but never
    // started is freed then.
    try {
      if (device_.IsOnline() && doubt.DoubtMet()) {
        device_.CreateUnanswered(made->number);
      } else if (device_.IsOnline()) {
        DeleteCrossoverOnUnit(device_, *made);
      }
    } catch (const IQException&) {
    }
    throw;
  }
  // Only a crossover the unit has taken joins the program's model.
  TFilter* added = made.get();
  if (side == CrossoverSide::kLow) {
    device_.SetLowCrossover(
        output, std::unique_ptr<TLowCrossover>(static_cast<TLowCrossover*>(made.release())));
  } else {
    device_.SetHighCrossover(
        output, std::unique_ptr<THighCrossover>(static_cast<THighCrossover*>(made.release())));
  }
  Send(FilterAdded, output, added);
}

void CrossoverChanges::InFilterUpdate(const std::function<void()>& steps) {
  std::exception_ptr failure;
  try {
    steps();
  } catch (const IQException&) {
    failure = std::current_exception();
  }
  // The unit's update ends whatever became of the steps; their failure is the one the caller tells.
  try {
    gFilterUpdateObject.Write(device_, false);
  } catch (const IQException&) {
    if (!failure) throw;
  }
  if (failure) std::rethrow_exception(failure);
}

CrossoverChanges::Outcome CrossoverChanges::SetType(int output, CrossoverSide side,
                                                    int crossoverType) {
  const TFilter* old = CrossoverOf(device_, output, side);
  const int frequency =
      old ? old->frequency
          : (side == CrossoverSide::kLow ? kLowCrossoverDefaultHz : kHighCrossoverDefaultHz);
  const int oldOrder = old ? CrossoverOrder(*old) : 0;
  const int order = OrderForType(crossoverType, old ? oldOrder : kDefaultCrossoverOrder);
  if (crossoverType != kCrossoverNone) {
    const int added = AddedCrossoverSections(oldOrder, order);
    if (added > 0 && !device_.CanAddSections(kOtherSections, added, kNoSections, 1)) {
      return Outcome::kNoCapacity;
    }
  }
  InFilterUpdate([&] {
    if (old) {
      if (device_.IsOnline()) {
        gFilterUpdateObject.Write(device_, true);
        DeleteCrossoverOnUnit(device_, *old);
      }
      Remove(output, side);
    }
    if (crossoverType != kCrossoverNone) Add(output, side, frequency, crossoverType, order);
  });
  return Outcome::kDone;
}

CrossoverChanges::Outcome CrossoverChanges::StepOrder(int output, CrossoverSide side, int delta,
                                                      const std::string& typedFrequency) {
  TFilter* crossover = CrossoverOf(device_, output, side);
  if (crossover == nullptr) return Outcome::kNothing;
  const int order = CrossoverOrder(*crossover);
  const int next = SteppedCrossoverOrder(CrossoverType(*crossover), order, delta);
  const int added = AddedCrossoverSections(order, next);
  if (added > 0 && !device_.CanAddSections(kOtherSections, added, kNoSections, 1)) {
    return Outcome::kNoCapacity;
  }
  // A new order needs other room on the unit, which gives the crossover its new number: the unit
  // holds it there whatever becomes of the rest.
  if (device_.IsOnline()) {
    device_.MoveForNewOrder(*crossover);
  }
  // The order and frequency the unit did not take are not kept.
  const int heldFrequency = crossover->frequency;
  WithEdge(*crossover, [&](auto& edge) { edge.order = next; });
  if (const auto typed = ParseFrequency(typedFrequency, kMinCrossoverHz, kMaxCrossoverHz)) {
    crossover->frequency = *typed;
  }
  try {
    Rewrite(output, *crossover);
  } catch (const IQException&) {
    WithEdge(*crossover, [&](auto& edge) { edge.order = order; });
    crossover->frequency = heldFrequency;
    throw;
  }
  return Outcome::kDone;
}

CrossoverChanges::Outcome CrossoverChanges::StepFrequency(int output, CrossoverSide side,
                                                          int quadrant, int steps) {
  TFilter* crossover = CrossoverOf(device_, output, side);
  if (crossover == nullptr) return Outcome::kNothing;
  WriteFrequency(*crossover, SteppedCrossoverFrequency(crossover->frequency, quadrant, steps));
  Send(FilterChanged, output, crossover);
  return Outcome::kDone;
}

CrossoverChanges::Outcome CrossoverChanges::SetTypedFrequencies(int output,
                                                                const std::string& lowText,
                                                                const std::string& highText) {
  std::vector<TFilter*> changed;
  const auto take = [&](CrossoverSide side, const std::string& text) {
    TFilter* crossover = CrossoverOf(device_, output, side);
    if (crossover == nullptr) return;
    const auto typed = ParseFrequency(text, kMinCrossoverHz, kMaxCrossoverHz);
    if (!typed || *typed == crossover->frequency) return;
    WriteFrequency(*crossover, *typed);
    changed.push_back(crossover);
  };
  take(CrossoverSide::kLow, lowText);
  take(CrossoverSide::kHigh, highText);
  if (changed.empty()) return Outcome::kNothing;
  NotifyRecord record{FilterChanged, Channel(output), 1, &changed};
  if (send_) send_(record);
  return Outcome::kDone;
}

bool CrossoverChanges::TogglePolarity(int output) {
  const bool inverted = !OutputInverted(device_, output);
  gPolarityObject.SetElement(output);
  gPolarityObject.Write(device_, inverted ? kInvertedPolarity : kNormalPolarity);
  Send(PolarityChanged, output, nullptr);
  return inverted;
}

CrossoverChanges::Outcome CrossoverChanges::CopyOutput(int source, int target) {
  if (source == target) return Outcome::kNothing;
  // The target's own crossovers go, so only what the source takes beyond them must fit.
  int added = 0;
  for (const CrossoverSide side : {CrossoverSide::kHigh, CrossoverSide::kLow}) {
    if (const TFilter* edge = CrossoverOf(device_, source, side)) added += edge->GetDSPSections();
    if (const TFilter* edge = CrossoverOf(device_, target, side)) added -= edge->GetDSPSections();
  }
  if (added > 0 && !device_.CanAddSections(kOtherSections, added, kNoSections, 1)) {
    return Outcome::kNoCapacity;
  }
  InFilterUpdate([&] {
    if (device_.IsOnline()) {
      gFilterUpdateObject.Write(device_, true);
      for (const CrossoverSide side : {CrossoverSide::kHigh, CrossoverSide::kLow}) {
        if (const TFilter* edge = CrossoverOf(device_, target, side))
          DeleteCrossoverOnUnit(device_, *edge);
      }
    }
    Remove(target, CrossoverSide::kHigh);
    Remove(target, CrossoverSide::kLow);
    for (const CrossoverSide side : {CrossoverSide::kHigh, CrossoverSide::kLow}) {
      if (const TFilter* edge = CrossoverOf(device_, source, side)) {
        Add(target, side, edge->frequency, CrossoverType(*edge), CrossoverOrder(*edge));
      }
    }
    gPolarityObject.SetElement(source);
    const float polarity = gPolarityObject.Read(device_);
    gPolarityObject.SetElement(target);
    gPolarityObject.Write(device_, polarity);
    Send(PolarityChanged, target, nullptr);
  });
  return Outcome::kDone;
}

std::vector<int> OutputsOfNetwork(IQDeviceOrdavinex& device, int network) {
  std::vector<int> outputs;
  for (int o = 0; o < device.outputs; ++o) {
    gCrossoverNetworkObject.SetElement(o);
    if (gCrossoverNetworkObject.Read(device) == network) outputs.push_back(o);
  }
  return outputs;
}

int NetworkItemValue(const IQDeviceOrdavinex& device, int network) {
  return device.firstOutput + device.outputs + network - 1;
}

CrossoverDrop ResolveDrop(const IQDeviceOrdavinex& device, int sourceValue, int targetValue) {
  const int end = device.firstOutput + device.outputs;
  const auto isOutput = [&](int value) { return value >= device.firstOutput && value < end; };
  if (sourceValue == targetValue) return {};
  if (isOutput(sourceValue) && isOutput(targetValue)) {
    return {CrossoverDrop::Kind::kOutputs, sourceValue - device.firstOutput,
            targetValue - device.firstOutput};
  }
  if (sourceValue >= end && targetValue >= end) {
    return {CrossoverDrop::Kind::kNetworks, sourceValue - end + 1, targetValue - end + 1};
  }
  return {};
}

NetworkCopy CopyNetwork(CrossoverChanges& changes, IQDeviceOrdavinex& device, int source,
                        int target) {
  const std::vector<int> from = OutputsOfNetwork(device, source);
  const std::vector<int> to = OutputsOfNetwork(device, target);
  if (from.size() != to.size()) return NetworkCopy::kNotSameSize;
  for (std::size_t k = 0; k < from.size(); ++k) {
    if (changes.CopyOutput(from[k], to[k]) == CrossoverChanges::Outcome::kNoCapacity) {
      return NetworkCopy::kNoCapacity;
    }
  }
  return NetworkCopy::kDone;
}

}  // namespace namespaceOV
