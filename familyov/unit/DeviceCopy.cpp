#include "familyov/unit/DeviceCopy.h"

#include <algorithm>
#include <optional>
#include <ranges>

#include "controls/ClientWindow.h"
#include "controls/DeviceErrorReport.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/StoppedCommand.h"
#include "familyov/unit/CommandOutcome.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/SettingsPutBack.h"
#include "familyov/unit/UnitGlobals.h"
#include "platform/ui/Application.h"
#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"

namespace namespaceOV {

namespace {

using familycommon::LoadProgress;

constexpr const char* kCopyCaption = "Ordavinex Copy";

// The copy itself: the source's globals, its clock events when asked, then its current settings
// and each memory both units have. The logic inputs set to recall no memory, as the destination
// lacks the memory they recall on the source.
std::vector<int> CopyContents(IQDeviceOrdavinex& destination, IQDeviceOrdavinex& source,
                              bool events, int memories, LoadSteps& steps,
                              ProgressReport* progress) {
  ProgressScope scope(progress, destination.GetMemoryCount(), "Copying...");
  const Globals globals = GlobalsOf(source);
  std::vector<int> recallingNone;
  steps.Globals([&] {
    recallingNone = WriteGlobals(destination, globals);
    if (events) WriteEvents(destination, EventsOf(source));
  });

  // Each unit moves its memories at its own image length; the words both hold are copied.
  SettingsImage from(ReadImageLength(source));
  SettingsImage to(ReadImageLength(destination));
  const std::size_t common = std::min(from.Words().size(), to.Words().size());
  UnchangedMarks sourceMarks(source);
  MemoryWalk sourceWalk(source);
  MemoryWalk destinationWalk(destination);
  for (int m = 0; m <= memories; ++m) {
    scope.Step(m);
    ReadMemoryImage(source, m, from);
    std::ranges::copy(from.Words().first(common), to.Words().begin());
    steps.Memory(m, [&] { WriteMemoryImage(destination, m, to); });
  }
  return recallingNone;
}

// Units whose memories are laid out alike: the same geometry and the same block offsets.
bool SameImageLayout(const IQDeviceOrdavinex& a, const IQDeviceOrdavinex& b) {
  return a.outputs == b.outputs && a.inputs == b.inputs && a.firstOutput == b.firstOutput &&
         a.matrixInputs == b.matrixInputs && a.matrixOutputs == b.matrixOutputs &&
         a.GetMaxFilterRecords() == b.GetMaxFilterRecords() &&
         std::ranges::equal(a.GetImageOffsetTable(), b.GetImageOffsetTable());
}

void Warn(ui::Window* owner, const std::string& text, const std::string& caption,
          unsigned icon = ui::mb::kIconExclamation) {
  ui::MessageBox(owner, text, caption, ui::mb::kOk | icon);
}

bool Confirm(const std::string& text) {
  return ui::MessageBox(nullptr, text, "WARNING", ui::mb::kOkCancel | ui::mb::kIconStop) ==
         ui::kIdOk;
}

// Whether the copy stops before it starts: either unit refuses changes (the user is told), or a
// lock could not be read (reported): nothing is copied to or from a unit in a state not known.
bool StoppedByLocks(IQDeviceOrdavinex& destination, IQDeviceOrdavinex& source) {
  return StopsAtLock(destination, "Load file", "Destination device is locked.") ||
         StopsAtLock(source, "Load file", "Source device is locked.");
}

// Asks before a copy that the destination may not run as the source does.
bool ConfirmDifferences(IQDeviceOrdavinex& destination, IQDeviceOrdavinex& source) {
  if (!destination.HasFeature(kFeatureAllpass) && source.HasFeature(kFeatureAllpass) &&
      !Confirm("WARNING: The source unit has more recent firmware than that currently installed "
               "on the destination unit.  The destination unit cannot implement allpass "
               "filters.  If such filters are used on the source unit, a malfunction on the "
               "destination may occur.")) {
    return false;
  }
  return destination.GetMemoryCount() >= source.GetMemoryCount() ||
         Confirm(
             "WARNING: The source unit has more memories than the destination.  Make sure "
             "that settings in the logic or real-time-clock functions in the source unit do "
             "not cause the recall of memories that do not exist on the destination.  The "
             "destination unit may be reflashed to support the increased memory size, but "
             "will lose all settings currently held in the unit.");
}

}  // namespace

std::vector<int> CopyDeviceSettings(IQDeviceOrdavinex& destination, IQDeviceOrdavinex& source,
                                    ProgressReport* progress) {
  familycommon::LeadingReadProgress shown(progress);
  // Either side may lack the clock; the destination keeps its events then.
  const bool destinationClock = destination.UpdateClockPresence();
  const bool events = source.UpdateClockPresence() && destinationClock;
  // Only the memories both units have: the source is never asked for one it lacks.
  const int memories = std::min(destination.GetMemoryCount(), source.GetMemoryCount());
  std::vector<int> recallingNone;
  WriteWithPutBack(destination, {.globals = true, .events = events, .memories = memories}, &shown,
                   [&](LoadSteps& steps) {
                     recallingNone =
                         CopyContents(destination, source, events, memories, steps, &shown);
                   });
  return recallingNone;
}

bool CopyAccepted(IQDeviceOrdavinex& destination, IQDevice& source) {
  if (dynamic_cast<IQDevice8148*>(&destination) && !dynamic_cast<IQDevice8148*>(&source)) {
    Warn(nullptr, "Cannot copy this device type.", kCopyCaption);
    return false;
  }
  auto* from = dynamic_cast<IQDeviceOrdavinex*>(&source);
  if (!from) return false;
  // Outputs alike are not enough: the 4-input model's six-output configuration lays its
  // memories out otherwise than a 2-input model with six outputs.
  if (!SameImageLayout(destination, *from)) {
    Warn(controls::ClientWindow(), "Incompatible devices.", "Ordavinex26 Copy");
    return false;
  }
  return true;
}

bool CopyDeviceFrom(IQDeviceOrdavinex& destination, IQDevice& source) {
  if (!CopyAccepted(destination, source)) return false;
  // One failure, one report, the lock reads' included; the questions between are modal.
  controls::OneReportScope command;
  auto* from = dynamic_cast<IQDeviceOrdavinex*>(&source);
  if (StoppedByLocks(destination, *from) || !ConfirmDifferences(destination, *from)) return false;

  std::optional<familycommon::LoadFailure> failed;
  try {
    std::vector<int> recallingNone;
    {
      ProgressWindow progress;
      ui::WaitCursor wait;
      recallingNone = CopyDeviceSettings(destination, *from, &progress);
    }
    const std::string cleared = ClearedLogicText(recallingNone, destination.GetMemoryCount());
    if (!cleared.empty()) {
      ui::MessageBox(controls::ClientWindow(), cleared, kCopyCaption,
                     ui::mb::kOk | ui::mb::kIconInformation);
    }
    return true;
  } catch (const familycommon::LoadFailure& failure) {
    failed = failure;
  } catch (const IQException&) {
    // Before anything was written (the clocks' reads). Told here, not by the caller, so that it
    // joins a failed lock read's report.
    failed = familycommon::LoadFailure{
        .error = std::current_exception(), .restored = true, .progress = LoadProgress{}};
  }
  familycommon::StoppedCommand(destination, failed->error)
      .Tell(OutcomeText(destination,
                        familycommon::LoadOutcomeText(*failed, familycommon::kCopyWords)),
            kCopyCaption);
  return false;
}

bool IQDeviceOrdavinex::CopyFrom(IQDevice& source) { return CopyDeviceFrom(*this, source); }

bool IQDeviceOrdavinex::AcceptsCopyFrom(IQDevice& source) { return CopyAccepted(*this, source); }

}  // namespace namespaceOV
