#include "familyov/unit/SettingsPutBack.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "familycommon/AnswerWait.h"
#include "familycommon/LoadFailure.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/UnitGlobals.h"

namespace namespaceOV {

namespace {

using familycommon::LoadProgress;
using Part = LoadProgress::Part;

// In the words of the closing messages.
std::string GlobalsNamed(const PutBackParts& parts) {
  if (parts.globals && parts.events) {
    return "memory names, logic map, delay unit, channel names and clock events";
  }
  if (parts.globals) return "memory names, logic map, delay unit and channel names";
  return parts.events ? "clock events" : "";
}

// A part only ever gets further: a write that fails leaves what an earlier one wrote.
void Reached(Part& part, Part reached) { part = std::max(part, reached); }

// What a part holds of the new settings once a put-back wrote `putBack` of the old ones over it.
Part AfterPutBack(Part loaded, Part putBack) {
  if (putBack == Part::kWhole) return Part::kUnchanged;
  return putBack == Part::kPartly && loaded != Part::kUnchanged ? Part::kPartly : loaded;
}

struct UnitSnapshot {
  std::optional<Globals> globals;
  std::optional<std::vector<TTimerStruct>> events;
  SettingsImage current;
};

UnitSnapshot TakeSnapshot(IQDeviceOrdavinex& device, PutBackParts parts) {
  UnitSnapshot snapshot{.current = SettingsImage(ReadImageLength(device))};
  if (parts.globals) snapshot.globals = GlobalsOf(device);
  if (parts.events) snapshot.events = EventsOf(device);
  // A virtual unit's memory 0 is its current values only inside a memory walk.
  if (device.IsOnline()) {
    ReadMemoryImage(device, 0, snapshot.current);
  } else {
    EncodeSettingsImage(device, snapshot.current);
  }
  return snapshot;
}

// Gives the unit's ready wait no time of its own while it lives: the unit just failed to report
// itself ready, and the user is not kept waiting a second time for the same.
class SingleReadyPoll {
 public:
  explicit SingleReadyPoll(IQDeviceOrdavinex& device)
      : device_(device), saved_(device.GetWaitBound()) {
    WaitBound once = saved_;
    once.limit = std::chrono::milliseconds(0);
    device_.SetWaitBound(std::move(once));
  }
  ~SingleReadyPoll() { device_.SetWaitBound(std::move(saved_)); }
  SingleReadyPoll(const SingleReadyPoll&) = delete;
  SingleReadyPoll& operator=(const SingleReadyPoll&) = delete;

 private:
  IQDeviceOrdavinex& device_;
  WaitBound saved_;
};

// The put-back's wait for a unit that fell silent, on the device's clock and within its bound.
familycommon::AnswerWait WaitFor(const IQDeviceOrdavinex& device, ProgressReport* progress) {
  const WaitBound& bound = device.GetWaitBound();
  return familycommon::AnswerWait(
      progress, {.limit = std::min(familycommon::kAnswerWaitLimit, bound.limit), .now = bound.now});
}

// Whether all of it is back; writing memory 0 makes the unit run it. A unit that took every
// write but has not reported itself ready again holds its settings all the same. A unit that
// fell silent is waited for and given all of it again once it answers. `steps` learns how far the
// put-back got.
bool PutBack(IQDeviceOrdavinex& device, const UnitSnapshot& snapshot, bool readyWaitedOut,
             ProgressReport* progress, LoadSteps& steps) {
  // Bounded as the device's waits were before the single poll.
  familycommon::AnswerWait wait = WaitFor(device, progress);
  std::optional<SingleReadyPoll> once;
  if (readyWaitedOut) once.emplace(device);
  const auto writes = [&] {
    try {
      steps.Globals([&] {
        if (snapshot.globals) WriteGlobals(device, *snapshot.globals);
        if (snapshot.events) WriteEvents(device, *snapshot.events);
      });
      steps.Memory(0, [&] { WriteMemoryImage(device, 0, snapshot.current); });
    } catch (const FlagWaitTimeout&) {
      // It took every write.
    }
  };
  try {
    wait.PutBack(device, writes, [&] { gReadyObject.Read(device); });
    return true;
  } catch (const IQException&) {
    return false;
  }
}

// A bus unit now runs other values than those the device read before; a virtual unit's store
// holds its values.
void ForgetValues(IQDeviceOrdavinex& device) {
  if (device.IsOnline()) device.InvalidateValues();
}

[[noreturn]] void PutBackAndThrow(IQDeviceOrdavinex& device, const PutBackParts& parts,
                                  const std::optional<UnitSnapshot>& snapshot, LoadProgress loaded,
                                  std::exception_ptr error, bool readyWaitedOut,
                                  ProgressReport* progress) {
  LoadSteps putBack(parts);
  // Before the snapshot was whole nothing was written.
  const bool restored = !snapshot || PutBack(device, *snapshot, readyWaitedOut, progress, putBack);
  ForgetValues(device);
  // The views keep the filters they had, which a unit left part way may no longer hold.
  if (!restored && device.IsOnline()) device.MarkFiltersStale();
  if (!restored) {
    loaded.globals = AfterPutBack(loaded.globals, putBack.Progress().globals);
    loaded.current = AfterPutBack(loaded.current, putBack.Progress().current);
  }
  throw familycommon::LoadFailure{
      .error = std::move(error), .restored = restored, .progress = std::move(loaded)};
}

}  // namespace

LoadSteps::LoadSteps(const PutBackParts& parts) {
  progress_.globalsNamed = GlobalsNamed(parts);
  progress_.memoriesToWrite = parts.memories;
}

void LoadSteps::Globals(const std::function<void()>& write) {
  Reached(progress_.globals, Part::kPartly);
  write();
  progress_.globals = Part::kWhole;
}

void LoadSteps::Memory(int memory, const std::function<void()>& write) {
  if (memory == 0) {
    Reached(progress_.current, Part::kPartly);
    write();
    progress_.current = Part::kWhole;
    return;
  }
  progress_.nextMemoryPartly = true;
  write();
  progress_.memoriesWritten = memory;
  progress_.nextMemoryPartly = false;
}

void WriteWithPutBack(IQDeviceOrdavinex& device, const PutBackParts& parts,
                      ProgressReport* progress, const std::function<void(LoadSteps&)>& writes) {
  std::optional<UnitSnapshot> snapshot;
  LoadSteps steps(parts);
  try {
    snapshot = TakeSnapshot(device, parts);
    writes(steps);
  } catch (const FlagWaitTimeout&) {
    PutBackAndThrow(device, parts, snapshot, steps.Progress(), std::current_exception(), true,
                    progress);
  } catch (const IQException&) {
    PutBackAndThrow(device, parts, snapshot, steps.Progress(), std::current_exception(), false,
                    progress);
  }
  ForgetValues(device);
}

}  // namespace namespaceOV
