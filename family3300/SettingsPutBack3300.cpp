#include "family3300/SettingsPutBack3300.h"

#include "bus/IQException.h"
#include "familycommon/LoadFailure.h"

namespace namespace3300 {

void PutBack3300(IQDevice3300& device, familycommon::AnswerWait& wait,
                 const std::function<void()>& putBack) {
  wait.PutBack(device, putBack, [&] { device.IsLocked(); });
}

void WriteWithPutBack(IQDevice3300& device, familycommon::AnswerWait& wait,
                      const std::function<void()>& writes) {
  SettingsImage current{};
  bool taken = false;
  try {
    device.SnapshotSettings(current, SnapshotMode::kRead);
    taken = true;
    writes();
  } catch (const IQException&) {
    const std::exception_ptr error = std::current_exception();
    // Before the snapshot nothing was written.
    bool restored = true;
    if (taken) {
      try {
        PutBack3300(device, wait, [&] { device.SnapshotSettings(current, SnapshotMode::kWrite); });
      } catch (const IQException&) {
        restored = false;
      }
    }
    throw familycommon::LoadFailure{error, restored};
  }
}

}  // namespace namespace3300
