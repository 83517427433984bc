#include "family8100/unit/Copy8100.h"

#include <memory>
#include <optional>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/unit/BulkTransfer.h"
#include "family8100/unit/Commands8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "family8100/unit/Types8100.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressWindow.h"
#include "familycommon/StoppedCommand.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"

namespace namespace8100 {

namespace {

constexpr const char* kLockedCaption = "Load file";
constexpr const char* kCopyCaption = "Ordavinex Copy";

template <typename Object>
void CopyValue(const Object& object, IQDevice8100& destination, IQDevice8100& source) {
  object.Write(destination, object.Read(source));
}

// The current settings and filters of the source onto the destination.
void CopySettings(IQDevice8100& destination, IQDevice8100& source) {
  CopyValue(g8100RightAttenuation, destination, source);
  CopyValue(g8100LeftAttenuation, destination, source);
  CopyValue(g8100RightMute, destination, source);
  CopyValue(g8100LeftMute, destination, source);
  CopyValue(g8100Routing, destination, source);
  if (destination.HasDelay() && source.HasDelay()) {
    CopyValue(g8100LeftDelay, destination, source);
    CopyValue(g8100RightDelay, destination, source);
  }
  std::vector<std::unique_ptr<TFilter>> keptCrossovers;
  for (const TFilter* crossover : {destination.LowCrossover(), destination.HighCrossover()}) {
    if (crossover) keptCrossovers.push_back(crossover->Clone());
  }
  destination.RemoveFilters();
  for (const auto& filter : source.Filters()) filter->CloneToBank(destination, filter->bank);
  if (destination.HasLimiter() && source.HasLimiter()) {
    for (const TFilter* crossover : {source.LowCrossover(), source.HighCrossover()}) {
      if (crossover) crossover->CloneToBank(destination, crossover->bank);
    }
    CopyValue(g8100LeftPolarity, destination, source);
    CopyValue(g8100RightPolarity, destination, source);
    CopyValue(g8100LeftThreshold, destination, source);
    CopyValue(g8100RightThreshold, destination, source);
    CopyValue(g8100LeftRelease, destination, source);
    CopyValue(g8100RightRelease, destination, source);
    CopyValue(g8100LimiterMode, destination, source);
  } else {
    for (const auto& crossover : keptCrossovers)
      crossover->CloneToBank(destination, crossover->bank);
  }
  if (destination.HasNoise() && source.HasNoise()) {
    CopyValue(g8100LeftNoiseType, destination, source);
    CopyValue(g8100RightNoiseType, destination, source);
    CopyValue(g8100LeftNoiseLevel, destination, source);
    CopyValue(g8100RightNoiseLevel, destination, source);
    CopyValue(g8100LeftNoiseOn, destination, source);
    CopyValue(g8100RightNoiseOn, destination, source);
  }
}

void Recall(BulkTransfer& transfer, IQDevice8100& unit, int memory) {
  transfer.Recall(unit, memory);
  unit.ReadAllParameters();
}

// Each memory chosen, then the source's current settings and preset map.
void CopyWithin(BulkTransfer& transfer, IQDevice8100& destination, IQDevice8100& source,
                uint32_t memories, familycommon::ProgressReport* progress) {
  transfer.KeepNames(destination, {.memoryNames = memories, .presetMap = true});
  familycommon::ProgressScope scope(progress, kMemoryCount, "Reading device parameters...");
  for (int memory = 1; memory <= kMemoryCount; ++memory) {
    scope.Step(memory - 1);
    if ((memories >> (memory - 1) & 1U) == 0) continue;
    Recall(transfer, source, memory);
    Recall(transfer, destination, memory);
    g8100MemoryIndex.Write(source, static_cast<uint8_t>(memory));
    g8100MemoryIndex.Write(destination, static_cast<uint8_t>(memory));
    destination.SetMemoryName(source.GetMemoryName());
    transfer.WriteSettings(destination,
                           "the source unit's settings for memory " + std::to_string(memory),
                           [&] { CopySettings(destination, source); });
    transfer.Store(destination, memory);
  }
  // The source is back for good; the destination goes back to its own settings for what the
  // source lacks (crossovers, limiter, delays), and stays guarded while it takes the rest.
  transfer.PutBack(source);
  transfer.Keep(source);
  transfer.PutBack(destination);
  scope.Step(kMemoryCount);
  transfer.WriteSettings(destination, "the source unit's current settings",
                         [&] { CopySettings(destination, source); });
  for (int preset = 1; preset <= kMemoryCount; ++preset) {
    g8100PresetIndex.Write(destination, static_cast<uint8_t>(preset));
    g8100PresetIndex.Write(source, static_cast<uint8_t>(preset));
    const int memory = source.GetPresetMapEntry();
    // A preset names a memory; any other value from the source is left out.
    if (IsMemoryNumber(memory)) destination.SetPresetMapEntry(memory);
  }
}

}  // namespace

void CopyDeviceSettings(IQDevice8100& destination, IQDevice8100& source, uint32_t memories,
                        familycommon::ProgressReport* progress) {
  familycommon::LeadingReadProgress shown(progress);
  // Views read the filters once the copy, or its recovery, has settled.
  const familycommon::FilterSetChange destinationChange(destination.filterSetNotice);
  const familycommon::FilterSetChange sourceChange(source.filterSetNotice);
  // Both are read whatever the destination's firmware: its crossovers go into the snapshot and
  // come back after the copy, and unread ones would be lost.
  TransferWithPutBack(
      {&destination, &source}, &shown, FilterLists::kRead,
      [&](BulkTransfer& transfer) { CopyWithin(transfer, destination, source, memories, &shown); });
}

bool IQDevice8100::CopyFrom(IQDevice& source) {
  auto* from = dynamic_cast<IQDevice8100*>(&source);
  if (!from) {
    ui::MessageBox(nullptr, "Cannot copy this device type.", kCopyCaption,
                   ui::mb::kOk | ui::mb::kIconExclamation);
    return false;
  }
  if (!dynamic_cast<const IQ8100Type*>(GetType())) return false;
  // A lock that cannot be read ends the copy with its one report: nothing is copied to or from a
  // unit in a state not known.
  if (StopsAtLock(*this, kLockedCaption, "Destination device is locked.") ||
      StopsAtLock(*from, kLockedCaption, "Source device is locked.")) {
    return false;
  }
  const uint32_t memories = ChooseRememberedMemories(*this, FamilyKey8100::kDeviceCopy,
                                                     "Note: audio will mute during copy");
  std::optional<familycommon::StoppedCommand> stopped;
  std::string closing;
  {
    const controls::OneReportScope report;
    try {
      familycommon::ProgressWindow progress;
      ui::WaitCursor wait;
      CopyDeviceSettings(*this, *from, memories, &progress);
      return true;
    } catch (const TransferFailure& failure) {
      stopped.emplace(*this, failure.error);
      closing = failure.ClosingText(*this, familycommon::kCopyWords, memories);
      if (!failure.Restored(*from)) {
        closing += "\n\n" + familycommon::SourceNotPutBackText(failure.Left(*from));
      }
    }
  }
  // Told once the command's one report is over, as a load's is.
  stopped->Tell(closing, kCopyCaption);
  return false;
}

}  // namespace namespace8100
