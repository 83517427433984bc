#include "family8100/filters/CrossoverEdits.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "bus/IQException.h"
#include "controls/DeviceErrorReport.h"
#include "family8100/filters/BankEditing.h"
#include "family8100/filters/FilterEdits.h"
#include "family8100/filters/FilterEntry.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int32_t kNewCrossoverHz = 1000;
constexpr int32_t kNewCrossoverOrder = 2;
constexpr int32_t kMaxOrder = 8;

std::unique_ptr<TCrossoverFilter> MadeCrossover(CrossoverSide side) {
  if (side == CrossoverSide::Low) {
    auto low = std::make_unique<TLowCrossoverFilter>();
    low->bank = kLeftOutputBank;
    return low;
  }
  auto high = std::make_unique<THighCrossoverFilter>();
  high->bank = kRightOutputBank;
  return high;
}

// Butterworth and Bessel skip orders 5 to 7; Linkwitz-Riley takes even orders only.
int32_t SteppedOrder(int32_t order, int32_t alignment, int delta) {
  const bool linkwitzRiley = alignment == kAlignmentLinkwitzRiley;
  int32_t next = linkwitzRiley ? order - 2 * delta : order - delta;
  if (linkwitzRiley && next == 6) next = order - 4 * delta;
  if (!linkwitzRiley && next == 7) next = 4;
  if (!linkwitzRiley && next == 5) next = 8;
  if (next > kMaxOrder) next = kMaxOrder;
  if (next < 1) next = linkwitzRiley ? 2 : 1;
  return next;
}

}  // namespace

TFilter* CrossoverEdits::Crossover(CrossoverSide side) const {
  return side == CrossoverSide::Low ? unit_.LowCrossover() : unit_.HighCrossover();
}

void CrossoverEdits::Commit(TFilter& crossover) { WriteAndCommit(unit_, crossover); }

void CrossoverEdits::ChangeAlignment(CrossoverSide side, int alignment) {
  try {
    ReplaceCrossover(side, alignment);
  } catch (const IQException&) {
    // The outputs are muted while the crossover is replaced; a failed change must not leave them
    // silent. The first failure is the one the caller reports.
    try {
      g8100BulkMute.Write(unit_, true);
    } catch (const IQException&) {
    }
    throw;
  }
  g8100BulkMute.Write(unit_, true);
}

void CrossoverEdits::ReplaceCrossover(CrossoverSide side, int alignment) {
  int32_t frequency = kNewCrossoverHz;
  int32_t order = kNewCrossoverOrder;
  if (auto* old = dynamic_cast<TCrossoverFilter*>(Crossover(side))) {
    frequency = old->frequency;
    order = old->order;
    if (unit_.IsOnline()) g8100BulkMute.Write(unit_, false);
    unit_.RemoveFilter(*old);
  }
  if (alignment != kAlignmentNone) {
    std::unique_ptr<TCrossoverFilter> made = MadeCrossover(side);
    made->frequency = frequency;
    made->alignment = alignment;
    made->order = alignment == kAlignmentLinkwitzRiley && order % 2 != 0 ? order + 1 : order;
    Commit(unit_.PlaceFilter(std::move(made)));
  } else {
    unit_.crossoverLink = false;
  }
}

void CrossoverEdits::StepOrder(CrossoverSide side, int delta, const std::string& frequencyText) {
  auto* crossover = dynamic_cast<TCrossoverFilter*>(Crossover(side));
  if (!crossover) return;
  crossover->order = SteppedOrder(crossover->order, crossover->alignment, delta);
  ReadMovedSlot(unit_, *crossover);
  if (const auto typed = ParseFrequency(frequencyText)) crossover->frequency = *typed;
  Commit(*crossover);
}

void CrossoverEdits::MoveHigh(int frequency, CommitOrder order) {
  TFilter* high = unit_.HighCrossover();
  TFilter* low = unit_.LowCrossover();
  if (!high) return;
  const bool follows = unit_.crossoverLink && low != nullptr;
  const float ratio =
      follows ? static_cast<float>(low->frequency) / static_cast<float>(high->frequency) : 1.0f;
  const auto commitLow = [&] {
    if (!follows) return;
    low->frequency = std::clamp(static_cast<int32_t>(static_cast<float>(frequency) * ratio),
                                kMinFrequencyHz, kMaxFrequencyHz);
    Commit(*low);
  };
  high->frequency = frequency;
  if (order == CommitOrder::LowFirst) commitLow();
  Commit(*high);
  if (order == CommitOrder::HighFirst) commitLow();
}

void CrossoverEdits::ApplyTyped(const std::string& lowText, const std::string& highText) {
  if (TFilter* low = unit_.LowCrossover()) {
    if (const auto typed = ParseFrequency(lowText)) {
      low->frequency = *typed;
      Commit(*low);
    }
  }
  if (const auto typed = ParseFrequency(highText)) MoveHigh(*typed, CommitOrder::HighFirst);
}

void CrossoverEdits::StepFrequency(CrossoverSide side, int zone, int count) {
  TFilter* crossover = Crossover(side);
  // While linked the low crossover only follows the high one, so the ratio holds.
  if (!crossover || (side == CrossoverSide::Low && unit_.crossoverLink)) return;
  MoveSide(side, SteppedFrequency(crossover->frequency, zone, count), CommitOrder::LowFirst);
}

void CrossoverEdits::SetFrequency(CrossoverSide side, int frequency) {
  MoveSide(side, frequency, CommitOrder::HighFirst);
}

void CrossoverEdits::MoveSide(CrossoverSide side, int frequency, CommitOrder order) {
  if (side == CrossoverSide::High) {
    MoveHigh(frequency, order);
  } else if (TFilter* low = unit_.LowCrossover()) {
    low->frequency = frequency;
    Commit(*low);
  }
}

void CrossoverEdits::ToggleLink(const std::string& lowText, const std::string& highText) {
  for (auto [side, text] :
       {std::pair{CrossoverSide::High, &highText}, std::pair{CrossoverSide::Low, &lowText}}) {
    TFilter* crossover = Crossover(side);
    const auto typed = ParseFrequency(*text);
    if (!crossover || !typed) continue;
    crossover->frequency = *typed;
    Commit(*crossover);
  }
  unit_.crossoverLink = !unit_.crossoverLink;
}

bool CrossoverEdits::ReadCrossovers() {
  for (CrossoverSide side : {CrossoverSide::Low, CrossoverSide::High}) {
    TFilter* crossover = Crossover(side);
    if (crossover != nullptr && !crossover->ReadFromUnit(unit_)) {
      unit_.ReadAgainQuietly();
      return false;
    }
  }
  return true;
}

controls::ChangeOutcome GuardedCrossoverEdit(IQDevice8100& unit,
                                             const std::function<void(CrossoverEdits&)>& edit) {
  CrossoverEdits edits(unit);
  struct Held {
    CrossoverSide side;
    familycommon::FilterHandle<TFilter> crossover;
    std::unique_ptr<TFilter> values;
  };
  std::vector<Held> held;
  for (CrossoverSide side : {CrossoverSide::Low, CrossoverSide::High}) {
    TFilter* crossover = edits.Crossover(side);
    held.push_back({side, crossover, crossover ? crossover->Clone() : nullptr});
  }
  const bool linked = unit.crossoverLink;
  const controls::ChangeOutcome outcome =
      controls::OutcomeOf([&] { return controls::GuardedBusCall(&unit, [&] { edit(edits); }); });
  if (outcome == controls::ChangeOutcome::kTaken) return outcome;
  const bool replaced = std::ranges::any_of(
      held, [&](const Held& was) { return was.crossover.get() != edits.Crossover(was.side); });
  if (replaced) {
    unit.ReadAgainQuietly();
    return outcome;
  }
  unit.crossoverLink = linked;
  bool gone = false;
  for (const Held& was : held) {
    if (was.crossover == nullptr) continue;
    was.crossover->TakeValues(*was.values);
    gone = !ReadFilterBackQuietly(unit, *was.crossover) || gone;
  }
  // A delete whose answer never came leaves the crossover listed here though the unit may have
  // freed its slot: kept, it would be written into whatever filter takes the slot next.
  if (gone) unit.ReadAgainQuietly();
  return outcome;
}

}  // namespace namespace8100
