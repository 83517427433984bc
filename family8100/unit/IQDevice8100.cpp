#include "family8100/unit/IQDevice8100.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "family8100/unit/ParameterTable8100.h"
#include "platform/ui/Window.h"

namespace namespace8100 {

namespace {

constexpr uint32_t kFamilyCodesMatched[] = {kTypeCodeBase, kTypeCodePlus, kTypeCodeX,
                                            kTypeCodeRuneTide, 880};

constexpr uint32_t kDefaultRouting = 0x01000001;
constexpr uint32_t kDefaultRoutingX = 0x00010001;
constexpr uint32_t kThreshold16dBu = 262765;
constexpr float kSlowRelease = 2.0833333e-5F;
constexpr float kNoiseLevelDb = -40.0F;
constexpr double kFirstSingleDeleteVersion = 1.1;
constexpr uint8_t kDeleteSelected = 0;
// A slot whose type reads so holds no filter.
constexpr uint8_t kEmptySlotType = 0;
constexpr uint8_t kDeleteAll = 1;
constexpr int kMemoryNameChars = 19;
constexpr int kQuietReadAttempts = 3;
constexpr int kPasswordObjectId = 26;
constexpr float kBoostCutWidth = 3.2F;
constexpr int32_t kThirdOctaveHz[] = {31,   40,   50,   63,   80,   100,   125,   160,  200,  250,
                                      315,  400,  500,  630,  800,  1000,  1250,  1600, 2000, 2500,
                                      3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};

uint32_t Bits(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float FromBits(uint32_t bits) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The firmware version sits in characters 3 to 8 of the identity text; an unreadable one counts
// as the oldest.
double FirmwareVersion(const IQDeviceInfo& info) {
  const std::string text = info.ModelText();
  if (text.size() <= 2) return 0.0;
  return std::strtod(text.substr(2, 6).c_str(), nullptr);
}

}  // namespace

IQDevice8100::~IQDevice8100() = default;

void IQDevice8100::SetGraphZoom(bool horizontal, bool vertical) {
  for (GraphView8100& view : graphViews) {
    view.horizontalZoom = horizontal;
    view.verticalZoom = vertical;
  }
}

IQDevice8100::IQDevice8100(IQDeviceType* type, IQDeviceManager* manager, const IQDeviceInfo* info,
                           uint32_t typeCode)
    : IQDevice(type, manager, info), typeCode_(typeCode), waitsForReady_(IsOnline()) {
  SetObjectCount(kObjectIdCount);
  // The crossover window opens wider than the banks' editors: its rows carry their pictures.
  editorPlaces[kCrossoverView].rect = kFirstCrossoverRect;
  graphRects.fill(kFirstGraphRect);
  if (IsOnline()) {
    deletesAllAtOnce_ = FirmwareVersion(GetInfo()) >= kFirstSingleDeleteVersion;
    // Older firmware cannot follow a drag: its graphs write only when the mouse lets go.
    for (GraphView8100& view : graphViews) {
      view.liveWrite = view.liveWrite && deletesAllAtOnce_;
      view.liveRedraw = view.liveRedraw && deletesAllAtOnce_;
    }
  } else {
    InitVirtualUnit();
  }
  SetModified(false);
}

bool IQDevice8100::Matches(const IQDeviceInfo& info) const {
  return info.network == GetInfo().network && info.address == GetInfo().address &&
         std::ranges::find(kFamilyCodesMatched, info.familyCode) != std::end(kFamilyCodesMatched);
}

std::string IQDevice8100::FirmwareVersionText() const {
  constexpr std::size_t kOffset = 1;
  constexpr std::size_t kChars = 7;
  const std::string identity = GetInfo().ModelText();
  return identity.size() > kOffset ? identity.substr(kOffset, kChars) : std::string();
}

bool IQDevice8100::GetListText(std::string& text) const {
  if (!IsOnline()) return false;
  // Reading the unit only fills the value store; the device stays as it was otherwise.
  auto& self = const_cast<IQDevice8100&>(*this);
  text = ListText(g8100Locked.Read(self));
  return true;
}

std::string IQDevice8100::ListText(bool locked) const {
  const std::string address = "(" + std::to_string(GetInfo().address) + ")";
  if (locked) return address + " LOCKED";
  return address + " " + g8100UnitName.Read(const_cast<IQDevice8100&>(*this));
}

void IQDevice8100::DoWrite(const UCodeObject& object, std::span<const uint8_t> data, int) {
  if (waitsForReady_) readyWaits_.Wait(*this);
  ++writesSent_;
  if (!IsOnline() && object.GetId() == kPasswordObjectId) {
    WriteVirtualPassword(data);
    return;
  }
  IQDevice::DoWrite(object, data, 0);
}

void IQDevice8100::WriteVirtualPassword(std::span<const uint8_t> data) {
  std::string password(data.begin(), data.end());
  password = password.substr(0, password.find('\0'));
  if (!g8100Locked.Read(*this)) {
    virtualPassword_ = password;
  } else if (password == virtualPassword_) {
    g8100Locked.Write(*this, false);
  } else {
    throw ErrorObject(kWrongPasswordCode);
  }
  SetModified(true);
}

void IQDevice8100::ResetValueStore() { SetObjectCount(kObjectIdCount); }

bool IQDevice8100::ReadQuietly(const std::function<void()>& read) {
  if (!IsOnline()) return true;
  for (int attempt = 0; attempt < kQuietReadAttempts; ++attempt) {
    try {
      read();
      return true;
    } catch (const IQException&) {
    }
  }
  listsStale_ = true;
  // The failure that led here has been reported: the windows that poll the silent unit join that
  // report rather than tell of the same silence again once the command is over.
  IdlePolling().SilenceToldAt(PollBackoff::Clock::now());
  return false;
}

bool IQDevice8100::ReadAgainQuietly() {
  const familycommon::FilterSetChange change(filterSetNotice);
  const bool read = ReadQuietly([this] {
    ResetValueStore();
    ReadAllParameters();
  });
  if (read) listsStale_ = false;
  return read;
}

void IQDevice8100::AllocationUnanswered() {
  slotsInDoubt_ = true;
  listsStale_ = true;
}

bool IQDevice8100::ReadAgainIfStale() { return listsStale_ && ReadAgainQuietly(); }

int IQDevice8100::UsedSections() const {
  int used = 0;
  for (const auto& filter : filters_) used += filter->SectionCost();
  return used;
}

std::unique_ptr<TFilter>& IQDevice8100::CrossoverPlace(const TFilter& crossover) {
  return crossover.type == kLowCrossoverFilter ? lowCrossover_ : highCrossover_;
}

TFilter& IQDevice8100::PlaceFilter(std::unique_ptr<TFilter> filter) {
  // The slot first: a filter the unit gave none never joins the list.
  if (IsOnline()) filter->slot = g8100NewFilterSlot.Read(*this);
  TFilter& placed = *filter;
  if (filter->SectionCost() == 0) {
    const familycommon::FilterSetChange change(filterSetNotice);
    CrossoverPlace(placed) = std::move(filter);
  } else {
    filters_.push_back(std::move(filter));
  }
  return placed;
}

void IQDevice8100::RemoveFilter(const TFilter& filter) {
  if (IsOnline()) {
    g8100FilterSlot.Write(*this, static_cast<uint8_t>(filter.slot));
    g8100DeleteFilter.Write(*this, kDeleteSelected);
  }
  const familycommon::FilterSetChange change(filterSetNotice);
  std::erase_if(filters_, [&filter](const auto& listed) { return listed.get() == &filter; });
  for (std::unique_ptr<TFilter>* crossover : {&lowCrossover_, &highCrossover_}) {
    if (crossover->get() == &filter) crossover->reset();
  }
}

void IQDevice8100::RemoveFilters() {
  const familycommon::FilterSetChange change(filterSetNotice);
  if (IsOnline() && deletesAllAtOnce_) {
    g8100DeleteFilter.Write(*this, kDeleteAll);
  } else if (IsOnline()) {
    while (!filters_.empty()) RemoveFilter(*filters_.front());
    for (std::unique_ptr<TFilter>* crossover : {&highCrossover_, &lowCrossover_}) {
      if (!*crossover) continue;
      g8100FilterSlot.Write(*this, static_cast<uint8_t>((*crossover)->slot));
      g8100DeleteFilter.Write(*this, kDeleteSelected);
      crossover->reset();
    }
  }
  filters_.clear();
  DropCrossovers();
}

void IQDevice8100::DropCrossovers() {
  const familycommon::FilterSetChange change(filterSetNotice);
  highCrossover_.reset();
  lowCrossover_.reset();
}

void IQDevice8100::ReadAllParameters(ProgressReport* progress) {
  if (!IsOnline()) return;
  ProgressScope scope(progress, kFilterSlots, "Reading device parameters...");
  const familycommon::FilterSetChange change(filterSetNotice);
  filters_.clear();
  DropCrossovers();
  // Until the read ends the lists are not the unit's: one that a silent unit breaks off is made
  // again once the unit answers, rather than leaving its editors showing no filters.
  listsStale_ = true;
  if (g8100Locked.Read(*this)) {
    listsStale_ = false;
    return;
  }
  for (int slot = 0; slot < FilterSlotCount(); ++slot) {
    scope.Step(std::min(slot, kFilterSlots));
    g8100FilterSlot.Write(*this, static_cast<uint8_t>(slot));
    const uint8_t type = g8100FilterType.Read(*this);
    // An empty slot may be one the unit handed out for a read whose answer never came; freeing
    // an empty slot changes nothing else.
    if (type == kEmptySlotType && slotsInDoubt_) {
      BestEffort([this] { g8100DeleteFilter.Write(*this, kDeleteSelected); });
    }
    std::unique_ptr<TFilter> filter = MakeFilter(type);
    if (!filter) continue;
    filter->slot = slot;
    // A slot whose type changed since the read above is skipped.
    if (!filter->ReadFromUnit(*this)) continue;
    // A crossover on a model without crossovers is not taken: it would count against the wrong
    // budget.
    if (filter->SectionCost() == 0) {
      if (typeCode_ == kTypeCodeX) CrossoverPlace(*filter) = std::move(filter);
    } else {
      filters_.push_back(std::move(filter));
    }
  }
  slotsInDoubt_ = false;
  listsStale_ = false;
}

SettingsRecord IQDevice8100::ReadSettingsRecord() {
  SettingsRecord record = {g8100LeftAttenuation.Read(*this), g8100RightAttenuation.Read(*this),
                           g8100LeftMute.Read(*this), g8100RightMute.Read(*this),
                           g8100Routing.Read(*this)};
  if (HasDelay())
    record.insert(record.end(), {g8100LeftDelay.Read(*this), g8100RightDelay.Read(*this)});
  if (HasLimiter()) {
    record.insert(record.end(),
                  {g8100LeftPolarity.Read(*this), g8100RightPolarity.Read(*this),
                   g8100LeftThreshold.Read(*this), g8100RightThreshold.Read(*this),
                   Bits(g8100LeftRelease.Read(*this)), Bits(g8100RightRelease.Read(*this)),
                   g8100LimiterMode.Read(*this)});
  }
  if (HasNoise()) {
    record.insert(record.end(),
                  {g8100LeftNoiseType.Read(*this), g8100RightNoiseType.Read(*this),
                   Bits(g8100LeftNoiseLevel.Read(*this)), Bits(g8100RightNoiseLevel.Read(*this)),
                   g8100LeftNoiseOn.Read(*this), g8100RightNoiseOn.Read(*this)});
  }
  return record;
}

void IQDevice8100::WriteSettingsRecord(const SettingsRecord& record) {
  // A record of another model (or none yet) leaves the settings as they are.
  if (record.size() != ReadSettingsRecord().size()) return;
  auto word = record.begin();
  const auto next = [&word] { return *word++; };
  g8100LeftAttenuation.Write(*this, static_cast<uint8_t>(next()));
  g8100RightAttenuation.Write(*this, static_cast<uint8_t>(next()));
  g8100LeftMute.Write(*this, next() != 0);
  g8100RightMute.Write(*this, next() != 0);
  g8100Routing.Write(*this, next());
  if (HasDelay()) {
    g8100LeftDelay.Write(*this, next());
    g8100RightDelay.Write(*this, next());
  }
  if (HasLimiter()) {
    g8100LeftPolarity.Write(*this, next() != 0);
    g8100RightPolarity.Write(*this, next() != 0);
    g8100LeftThreshold.Write(*this, next());
    g8100RightThreshold.Write(*this, next());
    g8100LeftRelease.Write(*this, FromBits(next()));
    g8100RightRelease.Write(*this, FromBits(next()));
    g8100LimiterMode.Write(*this, next());
  }
  if (HasNoise()) {
    g8100LeftNoiseType.Write(*this, static_cast<uint8_t>(next()));
    g8100RightNoiseType.Write(*this, static_cast<uint8_t>(next()));
    g8100LeftNoiseLevel.Write(*this, FromBits(next()));
    g8100RightNoiseLevel.Write(*this, FromBits(next()));
    g8100LeftNoiseOn.Write(*this, next() != 0);
    g8100RightNoiseOn.Write(*this, next() != 0);
  }
}

void IQDevice8100::SaveMemory(int memory) {
  if (!IsMemoryNumber(memory)) return;
  if (!IsOnline()) {
    SaveShadowMemory(memory);
    return;
  }
  g8100SaveMemory.Write(*this, static_cast<uint8_t>(memory));
  readyWaits_.Wait(*this);
}

void IQDevice8100::RestoreMemory(int memory) {
  if (!IsMemoryNumber(memory)) return;
  if (!IsOnline()) {
    RestoreShadowMemory(memory);
    return;
  }
  g8100RestoreMemory.Write(*this, static_cast<uint8_t>(memory));
  readyWaits_.Wait(*this);
}

IQDevice8100::Shadow* IQDevice8100::SelectedShadow(const UCodeObject& index) {
  const int selected = static_cast<const ByteUCodeObject&>(index).Read(*this);
  return IsMemoryNumber(selected) ? &shadows_[static_cast<std::size_t>(selected)] : nullptr;
}

void IQDevice8100::SetMemoryName(const std::string& name) {
  if (IsOnline()) {
    g8100MemoryName.Write(*this, name);
  } else if (Shadow* shadow = SelectedShadow(g8100MemoryIndex)) {
    shadow->name = name.substr(0, kMemoryNameChars);
    SetModified(true);
  }
}

std::string IQDevice8100::GetMemoryName() {
  if (IsOnline()) return g8100MemoryName.Read(*this);
  const Shadow* shadow = SelectedShadow(g8100MemoryIndex);
  return shadow ? shadow->name : std::string();
}

void IQDevice8100::SetPresetMapEntry(int memory) {
  if (IsOnline()) {
    g8100PresetMap.Write(*this, static_cast<uint8_t>(memory));
  } else if (Shadow* shadow = SelectedShadow(g8100PresetIndex)) {
    shadow->presetMemory = memory & 0xFF;
    SetModified(true);
  }
}

int IQDevice8100::GetPresetMapEntry() {
  if (IsOnline()) return g8100PresetMap.Read(*this);
  const Shadow* shadow = SelectedShadow(g8100PresetIndex);
  return shadow ? shadow->presetMemory : 0;
}

void IQDevice8100::SaveShadowMemory(int index) {
  Shadow& shadow = shadows_.at(static_cast<std::size_t>(index));
  shadow.settings = ReadSettingsRecord();
  shadow.filters.clear();
  for (const auto& filter : filters_) shadow.filters.push_back(filter->Clone());
  shadow.lowCrossover = lowCrossover_ ? lowCrossover_->Clone() : nullptr;
  shadow.highCrossover = highCrossover_ ? highCrossover_->Clone() : nullptr;
}

void IQDevice8100::RestoreShadowMemory(int index) {
  const Shadow& shadow = shadows_.at(static_cast<std::size_t>(index));
  WriteSettingsRecord(shadow.settings);
  const familycommon::FilterSetChange change(filterSetNotice);
  RemoveFilters();
  for (const auto& filter : shadow.filters) filter->CloneToBank(*this, filter->bank);
  for (const TFilter* crossover : {shadow.lowCrossover.get(), shadow.highCrossover.get()}) {
    if (crossover) crossover->CloneToBank(*this, crossover->bank);
  }
}

void IQDevice8100::Request(const UCodeObject& object, int) {
  if (waitsForReady_ && &object == &g8100NewFilterSlot) readyWaits_.Wait(*this);
  IQDevice::Request(object, 0);
}

void IQDevice8100::InitVirtualUnit() {
  // Every model keeps every id; the gates only decide what is shown and saved.
  g8100Ready.Write(*this, true);
  g8100RightMute.Write(*this, false);
  g8100LeftMute.Write(*this, false);
  g8100RightAttenuation.Write(*this, 0);
  g8100LeftAttenuation.Write(*this, 0);
  g8100Routing.Write(*this, typeCode_ == kTypeCodeX ? kDefaultRoutingX : kDefaultRouting);
  g8100Locked.Write(*this, false);
  for (const LongIntUCodeObject* meter :
       {&g8100LevelMeter1, &g8100LevelMeter2, &g8100LevelMeter3, &g8100LevelMeter4}) {
    meter->Write(*this, 0);
  }
  g8100LeftDelay.Write(*this, 0);
  g8100RightDelay.Write(*this, 0);
  g8100LeftPolarity.Write(*this, false);
  g8100RightPolarity.Write(*this, false);
  g8100LeftThreshold.Write(*this, kThreshold16dBu);
  g8100RightThreshold.Write(*this, kThreshold16dBu);
  g8100LeftRelease.Write(*this, kSlowRelease);
  g8100RightRelease.Write(*this, kSlowRelease);
  g8100LeftGainReduction.Write(*this, 1.0F);
  g8100RightGainReduction.Write(*this, 1.0F);
  g8100LimiterMode.Write(*this, 0);
  g8100LeftNoiseLevel.Write(*this, kNoiseLevelDb);
  g8100RightNoiseLevel.Write(*this, kNoiseLevelDb);
  g8100LeftNoiseType.Write(*this, 0);
  g8100RightNoiseType.Write(*this, 0);
  g8100LeftNoiseOn.Write(*this, true);
  g8100RightNoiseOn.Write(*this, true);
  if (typeCode_ == kTypeCodeRuneTide) {
    for (int32_t bank : {kLeftOutputBank, kRightOutputBank}) {
      for (int32_t frequency : kThirdOctaveHz) {
        auto filter = std::make_unique<TOctaveFilter>();
        filter->bank = bank;
        filter->frequency = frequency;
        filter->q = kBoostCutWidth;
        PlaceFilter(std::move(filter));
      }
    }
  }
  g8100FilterType.Write(*this, 0);
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    g8100MemoryIndex.Write(*this, static_cast<uint8_t>(memory));
    SetMemoryName("Memory " + std::to_string(memory));
    SaveShadowMemory(memory);
    g8100PresetIndex.Write(*this, static_cast<uint8_t>(memory));
    SetPresetMapEntry(memory);
  }
}

}  // namespace namespace8100
