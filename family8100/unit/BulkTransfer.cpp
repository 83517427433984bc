#include "family8100/unit/BulkTransfer.h"

#include <algorithm>
#include <bit>

#include "bus/IQException.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int kSnapshot = 0;

// A unit that is not ready to take the put-back is not waited for again: its own ready wait has
// run out already.
struct StillNotReady {};

// The wait for a silent unit, as long as the unit's own ready wait allows and on its clock.
familycommon::AnswerBound AnswerBoundOf(const IQDevice8100& unit) {
  const ReadyBound& ready = unit.GetReadyBound();
  return {.limit = std::min(familycommon::kAnswerWaitLimit, ready.limit), .now = ready.now};
}

}  // namespace

BulkTransfer::BulkTransfer(std::vector<IQDevice8100*> units, familycommon::ProgressReport* progress)
    : wait_(progress, AnswerBoundOf(*units.at(0))) {
  // Nothing to put back until its settings are kept.
  for (IQDevice8100* unit : units) units_.push_back({.device = unit, .kept = true});
}

BulkTransfer::~BulkTransfer() {
  if (settled_) return;
  try {
    Recover();
  } catch (...) {
    // Nothing may leave a destructor; the units keep what they hold.
  }
}

BulkTransfer::Unit& BulkTransfer::Of(const IQDevice8100& unit) {
  return *std::ranges::find(units_, &unit, &Unit::device);
}

const BulkTransfer::Unit& BulkTransfer::Of(const IQDevice8100& unit) const {
  return *std::ranges::find(units_, &unit, &Unit::device);
}

void BulkTransfer::Changing(IQDevice8100& unit, const std::function<void()>& change,
                            const std::function<void(bool whole)>& changed) {
  const uint64_t sent = unit.WritesSent();
  try {
    change();
  } catch (const IQException&) {
    if (unit.WritesSent() != sent) changed(false);
    throw;
  }
  changed(true);
}

void BulkTransfer::Begin() {
  for (Unit& unit : units_) {
    Changing(
        *unit.device, [&] { g8100BulkMute.Write(*unit.device, false); },
        [&](bool) {
          unit.left.muted = true;
          unit.left.written = true;
        });
  }
  for (Unit& unit : units_) {
    unit.device->SaveShadowMemory(kSnapshot);
    unit.kept = false;
  }
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
  Of(unit).names = std::move(kept);
}

void BulkTransfer::Recall(IQDevice8100& unit, int memory) {
  familycommon::UnitLeft& left = Of(unit).left;
  Changing(
      unit, [&] { unit.RestoreMemory(memory); },
      [&](bool) {
        left.settings = familycommon::OwnMemorySettingsText(memory);
        left.partly = false;
      });
  unit.ResetValueStore();
}

void BulkTransfer::WriteSettings(IQDevice8100& unit, std::string settings,
                                 const std::function<void()>& writes) {
  familycommon::UnitLeft& left = Of(unit).left;
  Changing(unit, writes, [&](bool whole) {
    left.settings = settings;
    left.partly = !whole;
  });
}

void BulkTransfer::Store(IQDevice8100& unit, int memory) {
  Unit& stored = Of(unit);
  Changing(
      unit, [&] { unit.SaveMemory(memory); },
      [&](bool whole) {
        // Unless the unit was ready again after it, the memory may hold its old settings or the
        // new ones.
        if (!whole) {
          stored.left.uncertain = memory;
          return;
        }
        stored.left.stored |= 1U << (memory - 1);
        std::erase_if(stored.names.memoryNames,
                      [memory](const auto& name) { return name.first == memory; });
      });
}

void BulkTransfer::PutBack() {
  for (Unit& unit : units_) PutBack(*unit.device);
  Keep();
}

void BulkTransfer::PutBack(IQDevice8100& unit) {
  familycommon::UnitLeft& left = Of(unit).left;
  Changing(
      unit, [&] { unit.RestoreShadowMemory(kSnapshot); },
      [&](bool whole) {
        if (whole) {
          left.settings.clear();
        } else if (left.settings.empty()) {
          // Part way, some of the unit's own filters may be gone.
          left.settings = "its own settings";
        }
        left.partly = !whole;
      });
}

void BulkTransfer::Keep() {
  for (Unit& unit : units_) unit.kept = true;
}

void BulkTransfer::Keep(const IQDevice8100& unit) { Of(unit).kept = true; }

void BulkTransfer::PutBackWhole(Unit& unit) {
  IQDevice8100& device = *unit.device;
  // The failure may have cut short a read or a change of the filters, so the list may not be
  // what the unit holds: a unit that deletes its filters one by one would keep those unlisted
  // beside the snapshot's.
  if (!device.DeletesAllAtOnce()) device.ReadAllParameters();
  PutBack(device);
  const Names& names = unit.names;
  if (names.unitName) g8100UnitName.Write(device, *names.unitName);
  for (const auto& [memory, name] : names.memoryNames) {
    g8100MemoryIndex.Write(device, static_cast<uint8_t>(memory));
    device.SetMemoryName(name);
  }
  std::vector<int> presetsLeft;
  for (const auto& [preset, memory] : names.presetMap) {
    g8100PresetIndex.Write(device, static_cast<uint8_t>(preset));
    if (IsMemoryNumber(memory)) {
      device.SetPresetMapEntry(memory);
    } else if (device.GetPresetMapEntry() != memory) {
      presetsLeft.push_back(preset);
    }
  }
  if (!names.presetMap.empty()) presetsLeft_ = std::move(presetsLeft);
}

void BulkTransfer::LiftMute(Unit& unit) {
  g8100BulkMute.Write(*unit.device, true);
  unit.left.muted = false;
}

void BulkTransfer::Unmute() {
  for (Unit& unit : units_) LiftMute(unit);
}

bool BulkTransfer::ThroughWait(IQDevice8100& unit, const std::function<void()>& putBack) {
  const auto notWaitedFor = [&] {
    try {
      putBack();
    } catch (const NotReadyTimeout&) {
      throw StillNotReady();
    }
  };
  try {
    wait_.PutBack(unit, notWaitedFor, [&] { g8100Ready.Read(unit); });
    return true;
  } catch (const IQException&) {
    return false;
  } catch (const StillNotReady&) {
    return false;
  }
}

void BulkTransfer::Recover() {
  settled_ = true;
  for (Unit& unit : units_) {
    if (!unit.kept && ThroughWait(*unit.device, [&] { PutBackWhole(unit); })) unit.kept = true;
    if (unit.left.muted) ThroughWait(*unit.device, [&] { LiftMute(unit); });
  }
}

const familycommon::UnitLeft& BulkTransfer::Left(const IQDevice8100& unit) const {
  return Of(unit).left;
}

const familycommon::UnitLeft& TransferFailure::Left(const IQDevice8100& unit) const {
  return std::ranges::find(left, &unit, &decltype(left)::value_type::first)->second;
}

std::string TransferFailure::PresetsLeftText() const {
  if (presetsLeft.empty()) return "";
  return PresetsText(presetsLeft) + " could not be put back: the unit takes no empty preset.";
}

std::string TransferFailure::ClosingText(const IQDevice8100& unit,
                                         const familycommon::LoadCommandWords& words,
                                         uint32_t chosen) const {
  const familycommon::UnitLeft& left = Left(unit);
  // A unit that fell silent before its read again is read whole once it answers (ListsStale).
  const auto readAgain = [&unit](std::string text) {
    return unit.ListsStale() ? text + "\n" + familycommon::kUnitReadAgainText : text;
  };
  if (!left.PutBack()) {
    return readAgain(familycommon::NotPutBackText(words.command, left, words.source));
  }
  using Part = familycommon::LoadProgress::Part;
  // The memories are stored in order, each in one step: those stored before the failure, then at
  // most one whose store went unconfirmed. Only a unit never written was left untouched.
  const familycommon::LoadProgress progress{
      .current = left.written ? Part::kPartly : Part::kUnchanged,
      .memoriesWritten = std::popcount(left.stored),
      .memoriesToWrite = std::popcount(chosen),
      .nextMemoryStoredOrNot = left.uncertain != 0,
      .memoriesChosen = chosen};
  const std::string text =
      familycommon::LoadOutcomeText({.restored = true, .progress = progress}, words);
  const std::string presets = PresetsLeftText();
  return readAgain(presets.empty() ? text : text + "\n\n" + presets);
}

void TransferWithPutBack(const std::vector<IQDevice8100*>& units,
                         familycommon::ProgressReport* progress, FilterLists lists,
                         const std::function<void(BulkTransfer&)>& moves) {
  BulkTransfer transfer(units, progress);
  try {
    // The snapshots hold the filters the units have now.
    if (lists == FilterLists::kRead) {
      for (IQDevice8100* unit : units) unit->ReadAllParameters();
    }
    transfer.Begin();
    moves(transfer);
    // Kept only once every unit is unmuted: a failure of the last step, too, puts them back, so
    // that the closing message is true of every unit.
    transfer.Unmute();
    transfer.Keep();
  } catch (const IQException&) {
    TransferFailure failure{std::current_exception(), {}, {}};
    transfer.Recover();
    failure.presetsLeft = transfer.PresetsLeft();
    for (IQDevice8100* unit : units) failure.left.emplace_back(unit, transfer.Left(*unit));
    // The failure, or the recovery after it, may have stopped part way through a read or a
    // change of the filters: only the units know what they hold now.
    for (IQDevice8100* unit : units) unit->ReadAgainQuietly();
    throw failure;
  }
}

}  // namespace namespace8100
