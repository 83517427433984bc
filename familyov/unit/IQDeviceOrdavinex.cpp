#include "familyov/unit/IQDeviceOrdavinex.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <exception>

#include "bus/IQDeviceManager.h"
#include "bus/IQDeviceType.h"
#include "controls/DeviceErrorReport.h"
#include "familyov/unit/MemoryState.h"
#include "familyov/unit/NetworkLogicTrigger.h"
#include "familyov/unit/OrdavinexErrors.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/OrdavinexTypes.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "platform/ui/Window.h"

namespace namespaceOV {

namespace {

constexpr const char* kReadingText = "Reading device parameters...";
// A slot whose type reads so holds no filter.
constexpr uint8_t kEmptySlotType = 0;
constexpr uint8_t kDeleteSelected = 0;
constexpr float kGroupRangeFloorDb = -100.0f;
constexpr float kGroupRangeCeilingDb = 100.0f;
// What a new virtual unit starts with.
constexpr int kVirtualFirmwareMajor = 1;  // shown as "v1.0"
constexpr float kVirtualMeterDb = -20.0f;
constexpr int kVirtualCompRatioIndex = 2;
constexpr uint8_t kVirtualCompSpeedIndex = 2;
constexpr float kVirtualCompThresholdDb = 20.0f;
constexpr float kVirtualPinkNoiseDb = -40.0f;
constexpr float kVirtualParam35Db = 6.0f;

CommErrorReporter commErrorReporter = nullptr;

// Looked up on every write, so by id rather than by a search of the list.
constexpr std::array<bool, kObjectIdCount> kChangesSettings = [] {
  std::array<bool, kObjectIdCount> changes{};
  for (const int id : kSettingsIds) changes[static_cast<std::size_t>(id)] = true;
  return changes;
}();

bool ChangesSettings(int id) {
  return id >= 0 && id < kObjectIdCount && kChangesSettings[static_cast<std::size_t>(id)];
}

template <typename T>
std::unique_ptr<T> CloneAs(const T* filter) {
  if (!filter) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(filter->Clone().release()));
}

// The filter as an `Edge` when it is one (and then taken from `filter`), else null.
template <typename Edge>
std::unique_ptr<Edge> TakeAs(std::unique_ptr<TFilter>& filter) {
  auto* edge = dynamic_cast<Edge*>(filter.get());
  if (edge == nullptr) return nullptr;
  filter.release();
  return std::unique_ptr<Edge>(edge);
}

// Whether firing logic input `input` makes `unit` recall a memory. One whose memory the program
// cannot tell is taken to: a filter started for nothing would run beside the memory's own.
bool RecallsAMemory(IQDeviceOrdavinex& unit, int input) {
  if (input < 0 || input >= gLogicMemoryObject.GetCount()) return true;
  const int selected = gLogicMemoryObject.GetElement();
  bool recalls = true;
  try {
    gLogicMemoryObject.SetElement(input);
    recalls = gLogicMemoryObject.Read(unit) != 0;
  } catch (const IQException&) {
  }
  gLogicMemoryObject.SetElement(selected);
  return recalls;
}

// Whether `unit`, once it has taken the write, holds a memory's filters in place of its own: a
// recall, a logic input fired now that recalls one, or leave to load the memory a logic input or
// a clock event asked for.
bool ReplacesFilters(IQDeviceOrdavinex& unit, int id, std::span<const uint8_t> data) {
  if (id == kRecallMemoryId) return true;
  if (id == gCurrentLogicInObject.GetId()) return data.empty() || RecallsAMemory(unit, data[0]);
  return id == gNewSettingsObject.GetId() && !data.empty() && data[0] != 0;
}

int Percent(int cost, int budget) {
  return static_cast<int>(static_cast<double>(cost) / budget * 100.0);
}

}  // namespace

CommErrorReporter SetCommErrorReporter(CommErrorReporter reporter) {
  return std::exchange(commErrorReporter, reporter);
}

void ReportCommError(const IQException& error, IQDevice& device) {
  if (!commErrorReporter || !controls::TakeFailureReport(error, &device)) return;
  controls::PutBackBeforeBox::Show(error, [reporter = commErrorReporter, &device](
                                              const IQException& told) { reporter(told, device); });
}

IQDeviceOrdavinex::IQDeviceOrdavinex(IQDeviceType* type, IQDeviceManager* manager,
                                     const IQDeviceInfo* info, int outputCount)
    : IQDevice(type, manager, info), outputs(outputCount) {
  SetObjectCount(kObjectIdCount);
  ReadOptions();
  settingsChanged = false;
  SetModified(false);
  parametersReady = true;
}

IQDeviceOrdavinex::~IQDeviceOrdavinex() = default;

bool IQDeviceOrdavinex::ShowEditWindow(std::unique_ptr<ui::Window> window) {
  editWindow_ = std::move(window);
  editWindow_->Create();
  editWindow_->Show();
  return editWindow_->IsCreated();
}

ui::Window* IQDeviceOrdavinex::EditWindow() const {
  return editWindow_ != nullptr && editWindow_->IsCreated() ? editWindow_.get() : nullptr;
}

bool IQDeviceOrdavinex::ShowOpenWindow() {
  ui::Window* window = EditWindow();
  if (window != nullptr) window->BringToTop();
  return window != nullptr;
}

void IQDeviceOrdavinex::SetGeometry(const ModelGeometry& geometry) {
  inputs = geometry.inputs;
  outputs = geometry.outputs;
  channels = geometry.inputs + geometry.outputs;
  firstOutput = geometry.firstOutput;
  matrixInputs = geometry.matrixInputs;
  matrixOutputs = geometry.matrixOutputs;
}

void IQDeviceOrdavinex::ReadOptions() {
  const auto* familyType = dynamic_cast<const IQOrdavinexType*>(GetType());
  if (!familyType) return;
  const registry::Key& key = familyType->GetTypeKey();
  auto flag = [&](const char* name, std::array<bool, kMaxChannels>& flags) {
    if (const auto value = key.GetNumber(name)) flags.fill((*value & 0xFF) != 0);
  };
  flag("Horizontal Zoom", horizontalZoom);
  flag("Vertical Zoom", verticalZoom);
  flag("Linear Graph Labels", linearGraphLabels);
  flag("Show Phase", showPhase);
  if (const auto value = key.GetNumber("Use Q")) useQ = static_cast<int>(*value & 0xFF);
  if (const auto value = key.GetNumber("AutoOpen Summary")) {
    autoOpenSummary = static_cast<int>(*value & 0xFF);
  }
}

bool IQDeviceOrdavinex::WriteOption(const std::string& name, uint32_t value) {
  const auto* familyType = dynamic_cast<const IQOrdavinexType*>(GetType());
  return familyType && familyType->GetTypeKey().SetNumber(name, value);
}

bool IQDeviceOrdavinex::Matches(const IQDeviceInfo& info) const {
  return info.address == GetInfo().address && info.network == GetInfo().network &&
         std::ranges::find(kProcessorFamilyCodes, info.familyCode) !=
             std::end(kProcessorFamilyCodes);
}

bool IQDeviceOrdavinex::GetListText(std::string& text) const {
  if (!IsOnline()) return false;
  // Reading the unit only fills the value store; the device stays as it was otherwise.
  auto& self = const_cast<IQDeviceOrdavinex&>(*this);
  const std::string address = "(" + std::to_string(GetInfo().address) + ")";
  text =
      gLockedObject.Read(self) ? address + " LOCKED" : address + " " + gUnitNameObject.Read(self);
  return true;
}

std::string IQDeviceOrdavinex::GetErrorText(int) const { return {}; }

bool IQDeviceOrdavinex::LoadFile() { return LoadSettingsFile(*this); }

bool IQDeviceOrdavinex::SaveFile() { return SaveSettingsFile(*this); }

std::string IQDeviceOrdavinex::GetDisplayName() {
  if (!IsOnline()) return GetName() + " (Virtual " + GetTypeName() + ")";
  return std::to_string(GetInfo().address) + " (" + GetTypeName() + ") " +
         gUnitNameObject.Read(*this);
}

std::vector<int> IQDeviceOrdavinex::ChannelIndexes() const {
  std::vector<int> indexes;
  for (int i = 0; i < inputs; ++i) indexes.push_back(i);
  for (int o = 0; o < outputs; ++o) indexes.push_back(firstOutput + o);
  return indexes;
}

std::optional<RgbColor> IQDeviceOrdavinex::GetChannelColor(int channel) {
  static constexpr RgbColor kColors[] = {{0, 255, 0},   {255, 0, 0},   {0, 255, 255},
                                         {255, 0, 255}, {255, 255, 0}, {0, 0, 255}};
  if (channel < 0 || channel >= static_cast<int>(std::size(kColors))) return std::nullopt;
  return kColors[channel];
}

void IQDeviceOrdavinex::DoWrite(const UCodeObject& object, std::span<const uint8_t> data,
                                int timeoutMs) {
  const int id = object.GetId();
  const unsigned long unanswered = UnansweredWrites();
  try {
    IQDevice::DoWrite(object, data, timeoutMs);
  } catch (const IQException&) {
    // A refusal changed nothing; a write whose answer never came may have changed the settings,
    // and may not have made them a memory's.
    if (UnansweredWrites() != unanswered && ChangesSettings(id)) settingsChanged = true;
    throw;
  }
  if (ChangesSettings(id)) {
    settingsChanged = true;
  } else if (id == kSaveMemoryId || id == kRecallMemoryId) {
    settingsChanged = false;
  }
  // A memory put in place of every filter (a recall, and a file load and a copy end in one) leaves
  // nothing of a lost order change: the filter it moved is gone, and one of its type and channel
  // found later is the memory's, running. Only once the unit has taken the write: one that never
  // reached it leaves the moved filter to be started.
  for (IQDeviceOrdavinex* unit : UnitsAddressed()) {
    if (!unit->lostMoves_.empty() && ReplacesFilters(*unit, id, data)) unit->lostMoves_.clear();
  }
}

std::vector<IQDeviceOrdavinex*> IQDeviceOrdavinex::UnitsAddressed() {
  if (GetInfo().address != kNetworkLogicAddress) return {this};
  std::vector<IQDeviceOrdavinex*> units;
  if (GetManager() == nullptr) return units;
  for (IQDevice* device : GetManager()->Devices()) {
    auto* unit = dynamic_cast<IQDevice8126*>(device);
    if (unit != nullptr && unit->IsOnline() && unit->GetInfo().network == GetInfo().network) {
      units.push_back(unit);
    }
  }
  return units;
}

void IQDeviceOrdavinex::Request(const UCodeObject& object, int timeoutMs) {
  const int id = object.GetId();
  if (std::ranges::find(kAllocatingReadIds, id) != std::end(kAllocatingReadIds)) {
    settingsChanged = true;
  } else if (id == kRecallMemoryId) {
    settingsChanged = false;
  }
  IQDevice::Request(object, timeoutMs);
}

// Capacity.

int IQDeviceOrdavinex::SectionCost(const TFilter& filter) const {
  return filter.typeCode == kFilterParametric ? Capacity().parametricSectionCost
                                              : Capacity().otherSectionCost;
}

void IQDeviceOrdavinex::CountSection(int channel, int sections) {
  if (channel >= 0 && channel < kMaxChannels) sectionsPerChannel[channel] += sections;
}

bool IQDeviceOrdavinex::AnyLimiterEnabled() {
  for (int o = 0; o < outputs; ++o) {
    gLimiterEnableObject.SetElement(firstOutput + o);
    if (gLimiterEnableObject.Read(*this)) return true;
  }
  return false;
}

int IQDeviceOrdavinex::RecountDspUse() {
  const DspCapacity& capacity = Capacity();
  const int budget = capacity.Budget();
  int cost = 0;
  int sections = 0;
  dspCounted_ = false;
  sectionsPerChannel.fill(0);
  for (const auto& filter : filters_) {
    const int s = filter->GetDSPSections();
    sections += s;
    CountSection(filter->channel, s);
    cost += s * SectionCost(*filter);
  }
  const int filterCost = cost;
  filtersPercent = Percent(filterCost, budget);
  for (int o = 0; o < outputs; ++o) {
    for (const TFilter* edge : {static_cast<const TFilter*>(highCrossover_[o].get()),
                                static_cast<const TFilter*>(lowCrossover_[o].get())}) {
      if (!edge) continue;
      sections += edge->GetDSPSections();
      cost += edge->GetDSPSections() * capacity.otherSectionCost;
    }
  }
  freeSections = capacity.maxFilterRecords - sections;
  crossoversPercent = Percent(cost - filterCost, budget);
  const int limiterCost = AnyLimiterEnabled() ? capacity.limiterCost : 0;
  cost += limiterCost;
  limitersPercent = Percent(limiterCost, budget);
  const int pinkNoiseCost = gPinkNoiseEnableObject.Read(*this) ? capacity.pinkNoiseCost : 0;
  cost += pinkNoiseCost;
  pinkNoisePercent = Percent(pinkNoiseCost, budget);
  totalPercent = Percent(cost, budget);
  const int moreParametric =
      (capacity.capacity - cost - capacity.baseCost) / capacity.parametricSectionCost;
  freeSections = std::min(freeSections, moreParametric);
  dspCounted_ = true;
  return capacity.baseCost + cost;
}

bool IQDeviceOrdavinex::CanAddSections(int kind, int count, int kind2, int count2) {
  const DspCapacity& capacity = Capacity();
  int total = RecountDspUse();
  int sections = 0;
  for (const int c : ChannelIndexes()) {
    if (c < kMaxChannels) sections += sectionsPerChannel[static_cast<std::size_t>(c)];
  }
  for (int o = 0; o < outputs; ++o) {
    if (highCrossover_[o]) sections += highCrossover_[o]->GetDSPSections();
    if (lowCrossover_[o]) sections += lowCrossover_[o]->GetDSPSections();
  }
  const auto isSections = [](int k) { return k == kParametricSections || k == kOtherSections; };
  if (isSections(kind) && capacity.maxFilterRecords < count + sections) return false;
  if (isSections(kind2) && capacity.maxFilterRecords < sections + count2) return false;
  const auto costOf = [&](int k) {
    switch (k) {
      case kParametricSections:
        return capacity.parametricSectionCost;
      case kOtherSections:
        return capacity.otherSectionCost;
      case kLimiter:
        return capacity.limiterCost;
      case kPinkNoise:
        return capacity.pinkNoiseCost;
      default:
        return 0;
    }
  };
  if (kind != kLimiter || !AnyLimiterEnabled()) total += costOf(kind) * count;
  if (kind2 >= 0) total += costOf(kind2) * count2;
  return total <= capacity.capacity;
}

bool IQDeviceOrdavinex::CanAddSections2(const CrossoverMacroContents& macro) {
  const DspCapacity& capacity = Capacity();
  int sections = 0;
  int cost = 0;
  const auto add = [&](const TFilter& filter) {
    sections += filter.GetDSPSections();
    cost += filter.GetDSPSections() * SectionCost(filter);
  };
  for (const auto& filter : filters_) {
    if (filter->channel < firstOutput) add(*filter);
  }
  for (int o = 0; o < outputs; ++o) {
    if (macro.highCrossover[o]) add(*macro.highCrossover[o]);
    if (macro.lowCrossover[o]) add(*macro.lowCrossover[o]);
  }
  for (const TFilter* filter : macro.outputFilters) {
    if (filter && filter->channel >= firstOutput) add(*filter);
  }
  freeSections = capacity.maxFilterRecords - sections;
  if (freeSections < 0) return false;
  if (AnyLimiterEnabled()) cost += capacity.limiterCost;
  if (gPinkNoiseEnableObject.Read(*this)) cost += capacity.pinkNoiseCost;
  return capacity.baseCost + cost <= capacity.capacity;
}

int IQDeviceOrdavinex::ChannelDelaySum() {
  int64_t sum = 0;
  for (const int c : ChannelIndexes()) {
    gChannelDelayObject.SetElement(c);
    sum += static_cast<int32_t>(gChannelDelayObject.Read(*this));
  }
  return static_cast<int>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int IQDeviceOrdavinex::CrosspointDelaySum() {
  int64_t sum = 0;
  for (int o = 0; o < outputs; ++o) {
    for (int i = 0; i < inputs; ++i) {
      gCrosspointDelayObject.SetElement(o * matrixInputs + i);
      sum += static_cast<int32_t>(gCrosspointDelayObject.Read(*this));
    }
  }
  return static_cast<int>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int IQDeviceOrdavinex::FitDelay(int delay, int members, int available, int used) {
  const int64_t sum = int64_t{used} + int64_t{members} * delay;
  int64_t fitted = delay;
  if (sum > available) {
    // Rounded up, so that the members' share of the excess is removed in full.
    fitted -= (sum - available + members - 1) / members;
  }
  // A step down is never reduced: each member stops at zero on its own. A step up that finds
  // the memory already overfull (delays a unit may hold) does nothing rather than take delays
  // away.
  const int64_t lowest = delay >= 0 ? 0 : delay;
  return static_cast<int>(std::clamp<int64_t>(fitted, lowest, INT32_MAX));
}

int IQDeviceOrdavinex::FitChannelDelay(int delay, int channel) {
  try {
    int members = 1;
    const std::vector<int> indexes = ChannelIndexes();
    if (std::ranges::find(indexes, channel) != indexes.end()) {
      gChannelGroupObject.SetElement(channel);
      const int group = gChannelGroupObject.Read(*this);
      // A byte beyond the group values is no group: only the channel itself moves.
      if (group != 0 && group < kGroupCount) {
        members = 0;
        for (const int c : indexes) {
          gChannelGroupObject.SetElement(c);
          if (gChannelGroupObject.Read(*this) == group) ++members;
        }
      }
    }
    int available = GetDelayCapacity();
    if (Capacity().crosspointDelays) available -= CrosspointDelaySum();
    return FitDelay(delay, members, available, ChannelDelaySum());
  } catch (const IQException& error) {
    ReportCommError(error, *this);
    return delay;
  }
}

int IQDeviceOrdavinex::FitCrosspointDelay(int delay) {
  if (!Capacity().crosspointDelays) return 0;
  try {
    const int used = ChannelDelaySum() + CrosspointDelaySum();
    return FitDelay(delay, 1, GetDelayCapacity(), used);
  } catch (const IQException& error) {
    ReportCommError(error, *this);
    return delay;
  }
}

// Filters.

TLowCrossover* IQDeviceOrdavinex::LowCrossover(int output) const {
  return output >= 0 && output < outputs ? lowCrossover_[output].get() : nullptr;
}

THighCrossover* IQDeviceOrdavinex::HighCrossover(int output) const {
  return output >= 0 && output < outputs ? highCrossover_[output].get() : nullptr;
}

bool IQDeviceOrdavinex::SetLowCrossover(int output, std::unique_ptr<TLowCrossover> crossover) {
  if (output < 0 || output >= outputs) return false;
  lowCrossover_[output] = std::move(crossover);
  return true;
}

bool IQDeviceOrdavinex::SetHighCrossover(int output, std::unique_ptr<THighCrossover> crossover) {
  if (output < 0 || output >= outputs) return false;
  highCrossover_[output] = std::move(crossover);
  return true;
}

std::unique_ptr<TLowCrossover> IQDeviceOrdavinex::TakeLowCrossover(int output) {
  if (output < 0 || output >= outputs) return nullptr;
  return std::move(lowCrossover_[output]);
}

std::unique_ptr<THighCrossover> IQDeviceOrdavinex::TakeHighCrossover(int output) {
  if (output < 0 || output >= outputs) return nullptr;
  return std::move(highCrossover_[output]);
}

void IQDeviceOrdavinex::ClearCrossovers() {
  for (auto& edge : lowCrossover_) edge.reset();
  for (auto& edge : highCrossover_) edge.reset();
}

void IQDeviceOrdavinex::ReadDeviceParameters(ProgressReport* progress) {
  if (!IsOnline()) {
    RecountDspUse();
    parametersReady = true;
    return;
  }
  parametersReady = false;
  // The idle check comes back whatever the read's outcome, or it would never look again.
  const struct Ready {
    bool& flag;
    ~Ready() { flag = true; }
  } ready{parametersReady};
  const familycommon::FilterSetChange change(filterSetNotice);
  std::exception_ptr refusal;
  bool unlocked = false;
  try {
    unlocked = ReadFilterRecords(progress);
  } catch (const IQException&) {
    // A unit that refused one of the many requests of a read answers the next, and a read often
    // follows a change that has just failed: what it holds now is read once more. When that
    // fails too, the program keeps the filters it had, stale until a read gets through.
    refusal = std::current_exception();
    MarkFiltersStale();
    unlocked = ReadFilterRecords(progress);
  }
  filtersStale_ = false;
  if (unlocked) {
    LinkFilters();
    RecountDspUse();
  }
  // The caller reports the refusal, once.
  if (refusal) std::rethrow_exception(refusal);
}

std::vector<TFilter*> IQDeviceOrdavinex::FiltersAndCrossovers() const {
  std::vector<TFilter*> all;
  for (const auto& filter : filters_) all.push_back(filter.get());
  for (const auto& edge : lowCrossover_) {
    if (edge) all.push_back(edge.get());
  }
  for (const auto& edge : highCrossover_) {
    if (edge) all.push_back(edge.get());
  }
  return all;
}

bool IQDeviceOrdavinex::ReadFilterRecords(ProgressReport* progress) {
  const int records = GetMaxFilterRecords();
  ProgressScope scope(progress, records, kReadingText);
  // Taken only when whole, so that no view shows part of the unit's filters.
  std::vector<std::unique_ptr<TFilter>> filters;
  std::array<std::unique_ptr<TLowCrossover>, kMaxOutputs> low;
  std::array<std::unique_ptr<THighCrossover>, kMaxOutputs> high;
  const bool locked = gLockedObject.Read(*this);
  std::vector<int> held;
  if (slotsInDoubt_) {
    for (const TFilter* filter : FiltersAndCrossovers()) held.push_back(filter->number);
  }
  std::vector<int> empty;
  for (int i = 0; i < records && !locked; ++i) {
    scope.Step(i);
    gFilterSelectObject.Write(*this, static_cast<uint8_t>(i));
    const uint8_t type = gFilterTypeObject.Read(*this);
    if (type == kEmptySlotType && slotsInDoubt_) {
      // An empty slot may be one the unit handed out for a read whose answer never came; freeing
      // an empty slot changes nothing else.
      empty.push_back(i);
      BestEffort([this] { gDeleteFilterObject.Write(*this, kDeleteSelected); });
    }
    std::unique_ptr<TFilter> filter = MakeFilter(type);
    if (!filter) continue;
    filter->number = i;
    // A slot whose type changed since the read above is skipped.
    if (!filter->ReadFromDevice(*this)) continue;
    if (std::ranges::find(createsInDoubt_, i) != createsInDoubt_.end() &&
        !StartedElseFreed(*filter)) {
      continue;
    }
    // A crossover of an output the model lacks goes.
    const int output = filter->channel - firstOutput;
    const auto slot = static_cast<std::size_t>(std::clamp(output, 0, kMaxOutputs - 1));
    const bool hasOutput = output >= 0 && output < outputs;
    if (auto edge = TakeAs<TLowCrossover>(filter)) {
      if (hasOutput) low[slot] = std::move(edge);
    } else if (auto edge = TakeAs<THighCrossover>(filter)) {
      if (hasOutput) high[slot] = std::move(edge);
    } else {
      filters.push_back(std::move(filter));
    }
  }
  filters_ = std::move(filters);
  lowCrossover_ = std::move(low);
  highCrossover_ = std::move(high);
  if (!locked && slotsInDoubt_) {
    // Last, so that a read that fails and is made again sends no create twice.
    StartMovedFilters(held, empty);
    slotsInDoubt_ = false;
    lostMoves_.clear();
  }
  if (!locked) createsInDoubt_.clear();
  totalSections = 0;
  sectionsPerChannel.fill(0);
  for (const auto& filter : filters_) {
    totalSections += filter->GetDSPSections();
    CountSection(filter->channel, 1);
  }
  return !locked;
}

void IQDeviceOrdavinex::StartMovedFilters(std::span<const int> held, std::span<const int> empty) {
  const std::vector<TFilter*> read = FiltersAndCrossovers();
  for (const MovedFilter& move : lostMoves_) {
    // A unit without other room kept the filter, running, where it was; a memory recalled since
    // through a logic input or a clock event put one of its own, running, there.
    if (std::ranges::find(empty, move.from) == empty.end()) continue;
    // The unit keeps the moved filter's type and channel, in a slot the program never heard of.
    std::vector<TFilter*> found;
    for (TFilter* filter : read) {
      if (std::ranges::find(held, filter->number) == held.end() &&
          filter->typeCode == move.typeCode && filter->channel == move.channel) {
        found.push_back(filter);
      }
    }
    // More than one such filter: a memory recalled through a logic input or a clock event brought
    // running ones, and which the unit moved cannot be told; a create must not restart a running
    // one.
    if (found.size() == 1) BestEffort([&] { found.front()->SendCreateCommand(*this); });
  }
}

bool IQDeviceOrdavinex::UpdateClockPresence() {
  if (IsOnline()) clockPresent = HasFeature(kFeatureClock) && gClockPresentObject.Read(*this);
  return clockPresent;
}

void IQDeviceOrdavinex::ReadTimerEvents(ProgressReport* progress) {
  try {
    ReadClockEvents(progress);
  } catch (const IQException& error) {
    ReportCommError(error, *this);
  }
}

void IQDeviceOrdavinex::ReadClockEvents(ProgressReport* progress) {
  parametersReady = false;
  const struct Ready {
    bool& flag;
    ~Ready() { flag = true; }
  } ready{parametersReady};
  ProgressScope scope(progress, kTimerEventSlots, kReadingText);
  timerEvents_.clear();
  if (gLockedObject.Read(*this)) return;
  for (int slot = 0; slot < kTimerEventSlots; ++slot) {
    scope.Step(slot);
    gTimerEventObject.SetElement(slot);
    TTimerStruct event;
    event.slot = slot;
    gTimerEventObject.ReadTimerEvent(*this, event);
    timerEvents_.push_back(event);
  }
}

bool IQDeviceOrdavinex::StartedElseFreed(TFilter& filter) {
  // The unit takes an update for a filter it runs, and refuses one for a filter never started.
  try {
    filter.SendUpdateCommand(*this);
    return true;
  } catch (const ErrorObject&) {
    BestEffort([this] { gDeleteFilterObject.Write(*this, kDeleteSelected); });
    return false;
  }
}

void IQDeviceOrdavinex::CreateUnanswered(int number) {
  createsInDoubt_.push_back(number);
  MarkFiltersStale();
}

void IQDeviceOrdavinex::AllocationUnanswered() {
  slotsInDoubt_ = true;
  if (moving_) lostMoves_.push_back(*moving_);
  MarkFiltersStale();
}

void IQDeviceOrdavinex::MoveForNewOrder(TFilter& filter) {
  gFilterSelectObject.Write(*this, static_cast<uint8_t>(filter.number & 0xFF));
  moving_ = MovedFilter{filter.number, filter.typeCode, filter.channel};
  try {
    filter.number = gFilterOrderObject.Read(*this);
  } catch (const IQException&) {
    moving_.reset();
    throw;
  }
  moving_.reset();
}

TFilter* IQDeviceOrdavinex::AddFilter(std::unique_ptr<TFilter> filter) {
  // The unit allocates first: a unit that cannot take the filter leaves the list as it was, with
  // no filter in it that the unit does not have.
  filter->number = IsOnline() ? gNewFilterObject.Read(*this) : UnusedFilterNumber();
  return filters_.emplace_back(std::move(filter)).get();
}

TFilter* IQDeviceOrdavinex::CreateFilter(std::unique_ptr<TFilter> filter) {
  TFilter* made = AddFilter(std::move(filter));
  try {
    made->WriteToDevice(*this);
    made->SendCreateCommand(*this);
  } catch (const IQException&) {
    try {
      RemoveFilter(made);
    } catch (const IQException&) {
      // The caller reads what the unit holds after the failure it reports.
    }
    throw;
  }
  return made;
}

int IQDeviceOrdavinex::UnusedFilterNumber() const {
  // After a delete the list position is another filter's number, and a number that a stale link
  // still names would pull that link's filter into the new filter's chain.
  const auto taken = [&](int number) {
    const auto holds = [&](const TFilter* f) {
      return f && (f->number == number || f->linkNumber == number + 1);
    };
    return std::ranges::any_of(filters_, [&](const auto& f) { return holds(f.get()); }) ||
           std::ranges::any_of(lowCrossover_, [&](const auto& f) { return holds(f.get()); }) ||
           std::ranges::any_of(highCrossover_, [&](const auto& f) { return holds(f.get()); });
  };
  int number = 0;
  while (taken(number)) ++number;
  return number;
}

std::unique_ptr<TFilter> IQDeviceOrdavinex::RemoveFilter(TFilter* filter) {
  const auto it = std::ranges::find_if(filters_, [&](const auto& f) { return f.get() == filter; });
  if (it == filters_.end()) return nullptr;
  if (IsOnline()) {
    gFilterSelectObject.Write(*this, static_cast<uint8_t>(filter->number & 0xFF));
    gDeleteFilterObject.Write(*this, 0);
  }
  const familycommon::FilterSetChange change(filterSetNotice);
  std::unique_ptr<TFilter> removed = std::move(*it);
  filters_.erase(it);
  LinkFilters();
  return removed;
}

std::vector<std::unique_ptr<TFilter>> IQDeviceOrdavinex::RemoveFilters(
    const std::vector<TFilter*>& filters) {
  std::vector<std::unique_ptr<TFilter>> removed;
  for (TFilter* filter : filters) {
    if (auto taken = RemoveFilter(filter)) removed.push_back(std::move(taken));
  }
  return removed;
}

bool IQDeviceOrdavinex::Holds(const TFilter* filter) const {
  const auto is = [filter](const auto& held) { return held.get() == filter; };
  return filter != nullptr &&
         (std::ranges::any_of(filters_, is) || std::ranges::any_of(lowCrossover_, is) ||
          std::ranges::any_of(highCrossover_, is));
}

void IQDeviceOrdavinex::ResyncFilterViews(std::span<TFilter* const> reached) {
  // A refused write may still have been carried out: only the unit knows what it holds now.
  if (IsOnline() && reached.empty()) {
    ReadDeviceParameters();
    return;
  }
  const familycommon::FilterSetChange change(filterSetNotice);
  try {
    if (IsOnline()) {
      for (TFilter* filter : reached) {
        if (Holds(filter)) filter->ReadFromDevice(*this);
      }
    }
  } catch (const IQException&) {
    // The filters not read, or read in part, may show values the unit does not hold: they are
    // all read again as soon as the unit answers.
    MarkFiltersStale();
    LinkFilters();
    throw;
  }
  LinkFilters();
}

void IQDeviceOrdavinex::RemoveAllFilters() {
  if (IsOnline()) gDeleteFilterObject.Write(*this, 1);
  const familycommon::FilterSetChange change(filterSetNotice);
  filters_.clear();
  ClearCrossovers();
}

void IQDeviceOrdavinex::LinkFilters() {
  for (const auto& filter : filters_) {
    filter->linkHead = nullptr;
    filter->nextInChain = nullptr;
  }
  for (const auto& member : filters_) {
    if (member->linkNumber == 0) continue;
    // Only an unlinked filter heads a chain, so no chain can run into itself whatever numbers
    // the unit or a file holds.
    const auto head = std::ranges::find_if(filters_, [&](const auto& f) {
      return f != member && f->linkNumber == 0 && f->number + 1 == member->linkNumber;
    });
    if (head == filters_.end()) continue;
    member->linkHead = head->get();
    head->get()->ChainMembers().back()->nextInChain = member.get();
  }
  for (const auto& filter : filters_) filter->UpdateLinkedChannels();
}

void IQDeviceOrdavinex::GetGroupLevelRange() {
  groupMaxLevel.fill(kGroupRangeFloorDb);
  groupMinLevel.fill(kGroupRangeCeilingDb);
  try {
    for (const int c : ChannelIndexes()) {
      gChannelGroupObject.SetElement(c);
      const int group = gChannelGroupObject.Read(*this);
      if (group == 0 || group >= kGroupCount) continue;
      gChannelLevelObject.SetElement(c);
      const float level = gChannelLevelObject.Read(*this);
      if (level >= groupMaxLevel[group]) groupMaxLevel[group] = level;
      if (level < groupMinLevel[group]) groupMinLevel[group] = level;
    }
  } catch (const IQException& error) {
    ReportCommError(error, *this);
  }
}

// Memory records.

MemoryRecord& IQDeviceOrdavinex::Record(int n) {
  if (n < 0 || n >= kMemoryRecordCount) throw OrdavinexRangeError("Memory record out of range.");
  return memories_[n];
}

void IQDeviceOrdavinex::MoveState(MemoryRecord& record, MemoryState::Direction direction) {
  MemoryState state(*this, record.state, direction);
  // Outputs start at firstOutput, which may leave a gap after the inputs.
  const int channelEnd = firstOutput + outputs;
  for (int c = 0; c < channelEnd; ++c) {
    state.Level(gChannelLevelObject, c);
    state.Byte(gChannelGroupObject, c);
    state.Bool(gChannelMuteObject, c);
    state.Long(gChannelDelayObject, c);
    state.Level(gLimiterThresholdObject, c);
    state.Bool(gLimiterKneeObject, c);
    state.Byte(gLimiterSpeedObject, c);
    state.Byte(gLimiterGroupObject, c);
    state.Bool(gLimiterEnableObject, c);
  }
  for (int o = 0; o < outputs; ++o) {
    state.Byte(gCrossoverNetworkObject, o);
    state.Float(gPolarityObject, o);
  }
  for (int c = 0; c < channelEnd; ++c) state.Bool(gDelayBypassObject, c);
  for (int i = 0; i < inputs; ++i) {
    for (int o = 0; o < outputs; ++o) {
      const int crosspoint = o * matrixInputs + i;
      state.Level(gCrosspointLevelObject, crosspoint);
      if (HasFeature(kFeatureCrosspointDelays)) state.Long(gCrosspointDelayObject, crosspoint);
    }
  }
  if (HasFeature(kFeatureCompressors)) {
    for (int i = 0; i < inputs; ++i) {
      state.Level(gCompPostGainObject, i);
      state.Level(gCompThresholdObject, i);
      state.Byte(gCompRatioObject, i);
      state.Byte(gCompSpeedObject, i);
      state.Bool(gCompGangObject, i);
      state.Bool(gCompSoftKneeObject, i);
    }
  }
  state.Bool(gPinkNoiseEnableObject, 0);
  state.Level(gPinkNoiseLevelObject, 0);
  state.Level(gMasterLevelObject, 0);
  state.Bool(gMasterMuteObject, 0);
}

void IQDeviceOrdavinex::SaveMemoryRecord(int n) {
  MemoryRecord& record = Record(n);
  MoveState(record, MemoryState::Direction::kSave);
  record.filters.clear();
  for (const auto& filter : filters_) record.filters.push_back(filter->Clone());
  for (int o = 0; o < kMaxOutputs; ++o) {
    record.lowCrossover[o] = CloneAs(lowCrossover_[o].get());
    record.highCrossover[o] = CloneAs(highCrossover_[o].get());
  }
}

void IQDeviceOrdavinex::RecallMemoryRecord(int n) {
  MemoryRecord& record = Record(n);
  MoveState(record, MemoryState::Direction::kRestore);
  const familycommon::FilterSetChange change(filterSetNotice);
  RemoveAllFilters();
  totalSections = 0;
  for (const auto& saved : record.filters) {
    TFilter& filter = *filters_.emplace_back(saved->Clone());
    totalSections += filter.GetDSPSections();
    filter.WriteToDevice(*this);
    filter.SendCreateCommand(*this);
  }
  for (int o = 0; o < kMaxOutputs; ++o) {
    lowCrossover_[o] = CloneAs(record.lowCrossover[o].get());
    highCrossover_[o] = CloneAs(record.highCrossover[o].get());
  }
  LinkFilters();
}

void IQDeviceOrdavinex::InitVirtualUnit(const VirtualDefaults& defaults) {
  firmwareVersion = defaults.firmware;
  clockPresent = true;
  totalSections = 0;
  gReadyObject.Write(*this, true);
  gLockedObject.Write(*this, false);
  gUnitNameObject.Write(*this, "Virtual");
  gSerialNumberObject.Write(*this, "virtual");
  gFilterUpdateObject.Write(*this, false);
  gMasterMuteObject.Write(*this, false);
  gFilterTypeObject.Write(*this, 0);
  const int memories = GetMemoryCount();
  for (int m = 0; m < memories; ++m) {
    gMemoryNameObject.SetElement(m);
    gMemoryNameObject.Write(*this, "Memory " + std::to_string(m + 1));
  }
  for (int logic = 0; logic < kLogicInputCount; ++logic) {
    gLogicMemoryObject.SetElement(logic);
    gLogicMemoryObject.Write(*this,
                             logic == 0 ? 0 : static_cast<uint8_t>((logic - 1) % memories + 1));
    gLogicOutObject.SetElement(logic);
    gLogicOutObject.Write(*this, 0);
  }
  gCurrentLogicInObject.WriteAndWaitReady(*this, 0);
  gDelayUnitsObject.Write(*this, kDelayMsec);
  for (int o = 0; o < kMaxOutputs; ++o) {
    gCrossoverNetworkObject.SetElement(o);
    gCrossoverNetworkObject.Write(*this, static_cast<uint8_t>(o / defaults.networkGroupSize + 1));
    gPolarityObject.SetElement(o);
    gPolarityObject.Write(*this, 1.0f);
  }
  for (int c = 0; c < kMaxChannels; ++c) {
    gChannelNameObject.SetElement(c);
    gChannelNameObject.Write(*this, GetChannelLabel(c));
    gChannelLevelObject.SetElement(c);
    gChannelLevelObject.Write(*this, 0.0f);
    gChannelGroupObject.SetElement(c);
    gChannelGroupObject.Write(*this, 0);
    gChannelDelayObject.SetElement(c);
    gChannelDelayObject.Write(*this, 0);
    gChannelMeterObject.SetElement(c);
    gChannelMeterObject.Write(*this, kVirtualMeterDb);
    gChannelMuteObject.SetElement(c);
    gChannelMuteObject.Write(*this, false);
    gDelayBypassObject.SetElement(c);
    gDelayBypassObject.Write(*this, false);
  }
  for (int i = 0; i < inputs; ++i) {
    for (int o = 0; o < outputs; ++o) {
      const int element = o * matrixInputs + i;
      const bool routed = (defaults.routing[o] >> i) & 1;
      gCrosspointLevelObject.SetElement(element);
      gCrosspointLevelObject.Write(*this, routed ? 0.0f : dBLevelObject::kFloorDb);
      if (defaults.crosspointDelays) {
        gCrosspointDelayObject.SetElement(element);
        gCrosspointDelayObject.Write(*this, 0);
      }
    }
  }
  for (int c = 0; c < kMaxChannels; ++c) {
    gLimiterThresholdObject.SetElement(c);
    gLimiterThresholdObject.Write(*this, 0.0f);
    gLimiterKneeObject.SetElement(c);
    gLimiterKneeObject.Write(*this, true);
    gLimiterSpeedObject.SetElement(c);
    gLimiterSpeedObject.Write(*this, 1);
    gLimiterGroupObject.SetElement(c);
    gLimiterGroupObject.Write(*this, 0);
    gLimiterMeterObject.SetElement(c);
    gLimiterMeterObject.Write(*this, 1.0f);
    gLimiterEnableObject.SetElement(c);
    gLimiterEnableObject.Write(*this, false);
  }
  if (defaults.compressors) {
    for (int k = 0; k < kCompressorCount; ++k) {
      gCompSoftKneeObject.SetElement(k);
      gCompSoftKneeObject.Write(*this, false);
      gCompGangObject.SetElement(k);
      gCompGangObject.Write(*this, false);
      gCompRatioObject.SetElement(k);
      gCompRatioObject.WriteCompRatio(*this, kVirtualCompRatioIndex);
      gCompSpeedObject.SetElement(k);
      gCompSpeedObject.Write(*this, kVirtualCompSpeedIndex);
      gCompPostGainObject.SetElement(k);
      gCompPostGainObject.Write(*this, 0.0f);
      gCompThresholdObject.SetElement(k);
      gCompThresholdObject.Write(*this, kVirtualCompThresholdDb);
    }
  }
  gPinkNoiseEnableObject.Write(*this, false);
  gPinkNoiseLevelObject.Write(*this, kVirtualPinkNoiseDb);
  gParam35Object.Write(*this, kVirtualParam35Db);
  gMasterLevelObject.Write(*this, 0.0f);
  gFilterLinkObject.Write(*this, 0);
  gDspUsageObject.Write(*this, 0);
  gNewSettingsObject.Write(*this, false);
  gLastMemoryObject.Write(*this, 0);
  gMemoryImageSizeObject.Write(*this, static_cast<uint32_t>(defaults.memoryImageWords));
  for (int slot = 0; slot < kTimerEventSlots; ++slot) {
    gTimerEventObject.SetElement(slot);
    gTimerEventObject.WriteTimerEvent(*this, TTimerStruct{});
  }
  ReadTimerEvents();
  gDaylightSavingObject.Write(*this, true);
  // Every memory starts as the defaults just written, without filters: they are read once.
  SaveMemoryRecord(0);
  for (int n = 1; n <= memories; ++n) Record(n).state = Record(0).state;
  RecountDspUse();
  IQDeviceInfo info = GetInfo();
  info.modelId = {' ', 'v', '0' + kVirtualFirmwareMajor, '.', '0', 0, 0, 0};
  SetInfo(info);
}

// New-filter defaults per type.

namespace {

constexpr const char* kDefaultsKeyName = "Filter defaults";

struct TypeDefaults {
  int typeCode;
  const char* subkey;  // none: the type keeps no defaults
  int frequency;
  float q;
  float level;
  int order;
};

constexpr TypeDefaults kTypeDefaults[] = {
    {kFilterParametric, "Parametric", 1000, 8.7f, 0.0f, 0},
    {kFilterLowpass, "Lowpass", 15000, 0.0f, 0.0f, 2},
    {kFilterHighpass, "Highpass", 40, 0.0f, 0.0f, 2},
    {kFilterLowShelf, "Lowshelf", 200, 0.0f, 0.0f, 0},
    {kFilterHighShelf, "Highshelf", 5000, 0.0f, 0.0f, 0},
    {kFilterBoostCut, nullptr, 1000, 8.7f, 0.0f, 0},
    {kFilterCDHorn, "CD Horn Correction", 5000, 0.0f, 0.0f, 1},
    {kFilterAllpass, "Allpass", 100, 0.0f, 0.0f, 1},
};

const TypeDefaults* DefaultsOf(int typeCode) {
  const auto it = std::ranges::find(kTypeDefaults, typeCode, &TypeDefaults::typeCode);
  return it == std::end(kTypeDefaults) ? nullptr : &*it;
}

std::optional<float> StoredFloat(const registry::Key& key, const char* name) {
  const auto value = key.GetNumber(name);
  if (!value) return std::nullopt;
  return std::bit_cast<float>(*value);
}

}  // namespace

void IQDeviceOrdavinex::SaveFilterDefaults(const TFilter& filter) {
  const auto* familyType = dynamic_cast<const IQOrdavinexType*>(GetType());
  const TypeDefaults* defaults = DefaultsOf(filter.typeCode);
  if (!familyType || !defaults || !defaults->subkey) return;
  const registry::Key key = familyType->GetTypeKey()
                                .OpenSubKey(kDefaultsKeyName, true)
                                .OpenSubKey(defaults->subkey, true);
  key.SetNumber("frequency", static_cast<uint32_t>(filter.frequency));
  if (const auto* peak = dynamic_cast<const TParametricFilter*>(&filter)) {
    key.SetNumber("width", std::bit_cast<uint32_t>(peak->q));
    key.SetNumber("level", std::bit_cast<uint32_t>(peak->level));
  } else if (filter.typeCode == kFilterLowShelf || filter.typeCode == kFilterHighShelf) {
    key.SetNumber("level", std::bit_cast<uint32_t>(filter.GetLevel()));
  } else if (const auto* lowpass = dynamic_cast<const TLowpassFilter*>(&filter)) {
    key.SetNumber("order", static_cast<uint32_t>(lowpass->order));
  } else if (const auto* highpass = dynamic_cast<const THighpassFilter*>(&filter)) {
    key.SetNumber("order", static_cast<uint32_t>(highpass->order));
  } else if (const auto* horn = dynamic_cast<const TCDHornFilter*>(&filter)) {
    key.SetNumber("order", static_cast<uint32_t>(horn->order));
  } else if (const auto* allpass = dynamic_cast<const TAllpassFilter*>(&filter)) {
    key.SetNumber("order", static_cast<uint32_t>(allpass->order));
  }
}

void IQDeviceOrdavinex::LoadFilterDefaults(TFilter& filter) const {
  const TypeDefaults* defaults = DefaultsOf(filter.typeCode);
  if (!defaults) return;
  const auto* familyType = dynamic_cast<const IQOrdavinexType*>(GetType());
  registry::Key key;
  if (familyType && defaults->subkey) {
    key = familyType->GetTypeKey()
              .OpenSubKey(kDefaultsKeyName, false)
              .OpenSubKey(defaults->subkey, false);
  }
  const auto frequency = key.GetNumber("frequency");
  filter.frequency = frequency ? static_cast<int>(*frequency & 0xFFFF) : defaults->frequency;
  const auto order = key.GetNumber("order");
  const int storedOrder = order ? static_cast<int>(*order & 0xFF) : defaults->order;
  const float level = StoredFloat(key, "level").value_or(defaults->level);
  if (auto* parametric = dynamic_cast<TParametricFilter*>(&filter)) {
    parametric->q = StoredFloat(key, "width").value_or(defaults->q);
    parametric->level = level;
  } else if (auto* octave = dynamic_cast<TOctaveFilter*>(&filter)) {
    octave->q = defaults->q;
    octave->level = defaults->level;
  } else if (auto* lowshelf = dynamic_cast<TLowshelfFilter*>(&filter)) {
    lowshelf->level = level;
  } else if (auto* highshelf = dynamic_cast<THighshelfFilter*>(&filter)) {
    highshelf->level = level;
  } else if (auto* lowpass = dynamic_cast<TLowpassFilter*>(&filter)) {
    lowpass->order = TLowpassFilter::BoundedOrder(storedOrder);
  } else if (auto* highpass = dynamic_cast<THighpassFilter*>(&filter)) {
    highpass->order = THighpassFilter::BoundedOrder(storedOrder);
  } else if (auto* horn = dynamic_cast<TCDHornFilter*>(&filter)) {
    horn->order = TCDHornFilter::BoundedOrder(storedOrder);
  } else if (auto* allpass = dynamic_cast<TAllpassFilter*>(&filter)) {
    allpass->order = TAllpassFilter::BoundedOrder(storedOrder);
    allpass->ComputeCoefficients();
  }
}

}  // namespace namespaceOV
