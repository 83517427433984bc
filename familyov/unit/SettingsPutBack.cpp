#include "familyov/unit/SettingsPutBack.h"

#include <optional>
#include <vector>

#include "familycommon/LoadFailure.h"
#include "familyov/unit/SettingsImage.h"
#include "familyov/unit/UnitGlobals.h"

namespace namespaceOV {

namespace {

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

// Whether the unit answered until all of it was back; writing memory 0 makes the unit run it.
bool PutBack(IQDeviceOrdavinex& device, const UnitSnapshot& snapshot) {
  try {
    if (snapshot.globals) WriteGlobals(device, *snapshot.globals);
    if (snapshot.events) WriteEvents(device, *snapshot.events);
    WriteMemoryImage(device, 0, snapshot.current);
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

}  // namespace

void WriteWithPutBack(IQDeviceOrdavinex& device, PutBackParts parts,
                      const std::function<void()>& writes) {
  std::optional<UnitSnapshot> snapshot;
  try {
    snapshot = TakeSnapshot(device, parts);
    writes();
  } catch (const IQException&) {
    const std::exception_ptr error = std::current_exception();
    // Before the snapshot was whole nothing was written.
    const bool restored = !snapshot || PutBack(device, *snapshot);
    ForgetValues(device);
    throw familycommon::LoadFailure{error, restored};
  }
  ForgetValues(device);
}

}  // namespace namespaceOV
