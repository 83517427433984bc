#include "family8100/unit/BulkTransfer.h"

#include <algorithm>
#include <optional>

#include "bus/IQException.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int kSnapshot = 0;

// Each unit on its own: one that stopped answering must not keep the others as they are. Whether
// the unit answered.
template <typename F>
bool Answered(IQDevice8100& unit, F&& action) {
  try {
    action(unit);
    return true;
  } catch (const IQException&) {
    return false;
  }
}

void LiftMute(IQDevice8100& unit) { g8100BulkMute.Write(unit, true); }

void RestoreSnapshot(IQDevice8100& unit) { unit.RestoreShadowMemory(kSnapshot); }

// After a failure while a bulk transfer began, whether the unit is as it was: it answers a lift
// of the mute, or it was stuck not ready and so never written.
bool UntouchedOrUnmuted(IQDevice8100& unit) {
  return unit.StuckNotReady() || Answered(unit, LiftMute);
}

}  // namespace

BulkMute::BulkMute(std::vector<IQDevice8100*> units) {
  for (IQDevice8100* unit : units) {
    try {
      g8100BulkMute.Write(*unit, false);
    } catch (const IQException&) {
      // The failing unit may have muted before its reply went wrong.
      units_.push_back(unit);
      Release();
      throw;
    }
    units_.push_back(unit);
  }
}

BulkMute::~BulkMute() {
  if (!lifted_) Release();
}

std::vector<IQDevice8100*> BulkMute::Release() {
  lifted_ = true;
  std::vector<IQDevice8100*> failed;
  for (IQDevice8100* unit : units_) {
    if (!Answered(*unit, LiftMute)) failed.push_back(unit);
  }
  return failed;
}

void BulkMute::Lift() {
  for (IQDevice8100* unit : units_) LiftMute(*unit);
  lifted_ = true;
}

BulkTransfer::BulkTransfer(std::vector<IQDevice8100*> units)
    : units_(units), mute_(units), kept_(units.size(), false), names_(units.size()) {
  for (IQDevice8100* unit : units_) unit->SaveShadowMemory(kSnapshot);
}

BulkTransfer::~BulkTransfer() {
  for (std::size_t i = 0; i < units_.size(); ++i) {
    if (!kept_[i]) Answered(*units_[i], [&](IQDevice8100&) { PutBackWhole(i); });
  }
}

std::size_t BulkTransfer::IndexOf(const IQDevice8100& unit) const {
  return static_cast<std::size_t>(std::ranges::find(units_, &unit) - units_.begin());
}

void BulkTransfer::KeepNames(IQDevice8100& unit, NamesToPutBack names) {
  Names kept;
  if (names.unitName) kept.unitName = g8100UnitName.Read(unit);
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    if ((names.memoryNames >> (memory - 1) & 1U) == 0) continue;
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
    kept.memoryNames.emplace_back(memory, unit.GetMemoryName());
  }
  for (int preset = 1; names.presetMap && preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    kept.presetMap.emplace_back(preset, unit.GetPresetMapEntry());
  }
  // Only once whole: nothing of it was written before.
  names_.at(IndexOf(unit)) = std::move(kept);
}

void BulkTransfer::Stored(const IQDevice8100& unit, int memory) {
  std::erase_if(names_.at(IndexOf(unit)).memoryNames,
                [memory](const auto& name) { return name.first == memory; });
}

void BulkTransfer::PutBackWhole(std::size_t index) {
  IQDevice8100& unit = *units_[index];
  RestoreSnapshot(unit);
  const Names& names = names_[index];
  if (names.unitName) g8100UnitName.Write(unit, *names.unitName);
  for (const auto& [memory, name] : names.memoryNames) {
    g8100MemoryIndex.Write(unit, static_cast<uint8_t>(memory));
    unit.SetMemoryName(name);
  }
  for (const auto& [preset, memory] : names.presetMap) {
    g8100PresetIndex.Write(unit, static_cast<uint8_t>(preset));
    if (IsMemoryNumber(memory)) {
      unit.SetPresetMapEntry(memory);
    } else if (unit.GetPresetMapEntry() != memory) {
      presetsLeft_.push_back(preset);
    }
  }
}

std::vector<IQDevice8100*> BulkTransfer::Recover() {
  std::vector<IQDevice8100*> notRestored;
  for (std::size_t i = 0; i < units_.size(); ++i) {
    if (!kept_[i] && !Answered(*units_[i], [&](IQDevice8100&) { PutBackWhole(i); })) {
      notRestored.push_back(units_[i]);
    }
  }
  Keep();
  for (IQDevice8100* unit : mute_.Release()) {
    if (std::ranges::count(notRestored, unit) == 0) notRestored.push_back(unit);
  }
  return notRestored;
}

void BulkTransfer::PutBack() {
  for (IQDevice8100* unit : units_) RestoreSnapshot(*unit);
  Keep();
}

void BulkTransfer::PutBack(IQDevice8100& unit) { RestoreSnapshot(unit); }

void BulkTransfer::Keep(const IQDevice8100& unit) { kept_.at(IndexOf(unit)) = true; }

bool TransferFailure::Restored(const IQDevice8100& unit) const {
  return std::ranges::count(notRestored, &unit) == 0;
}

std::string TransferFailure::PresetsLeftText() const {
  if (presetsLeft.empty()) return "";
  return PresetsText(presetsLeft) + " could not be put back: the unit takes no empty preset.";
}

void TransferWithPutBack(const std::vector<IQDevice8100*>& units,
                         const std::function<void(BulkTransfer&)>& moves) {
  std::optional<BulkTransfer> transfer;
  bool written = false;
  try {
    // The snapshots hold the filters the units have now.
    for (IQDevice8100* unit : units) unit->ReadAllParameters();
    written = true;
    transfer.emplace(units);
    moves(*transfer);
    // Kept only once every unit is unmuted: a failure of the last step, too, puts them back, so
    // that the closing message is true of every unit.
    transfer->Unmute();
    transfer->Keep();
  } catch (const IQException&) {
    TransferFailure failure{std::current_exception(), {}};
    if (transfer) {
      failure.notRestored = transfer->Recover();
      failure.presetsLeft = transfer->PresetsLeft();
    } else if (written) {
      for (IQDevice8100* unit : units) {
        if (!UntouchedOrUnmuted(*unit)) failure.notRestored.push_back(unit);
      }
    }
    // The failure, or the recovery after it, may have stopped part way through a read or a
    // change of the filters: only the units know what they hold now.
    for (IQDevice8100* unit : units) unit->ReadAgainQuietly();
    throw failure;
  }
}

}  // namespace namespace8100
