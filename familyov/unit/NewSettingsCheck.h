#pragma once

#include "platform/ui/Dialog.h"

namespace namespaceOV {

class IQDeviceOrdavinex;

// Asks whether the settings changed since the last save may give way to the memory a logic event
// recalls; "Save to memory..." keeps them in a memory of the unit first. Execute answers kIdOk
// (accept, also after a save) or kIdCancel.
class TRefreshDialog : public ui::Dialog {
 public:
  TRefreshDialog(IQDeviceOrdavinex& device, ui::Window* parent);

 private:
  void CmSaveToMemory();

  IQDeviceOrdavinex& device_;
};

// The unit window's idle watch of a bus unit that recalls memories by itself (a logic input or a
// clock event): one poll of its new-settings flag per call; when it is up, the user may keep the
// changed settings, the unit loads the memory and every parameter is read again. A unit that
// misses polls is not told of (the meters' polls say it), but is asked only as often as the
// backoff of its idle polling allows.
class NewSettingsCheck {
 public:
  enum class Outcome {
    kSkipped,   // the device is busy with a long read, or its polling pauses after silence
    kPolled,    // nothing new, or the unit did not answer
    kKept,      // the user kept the present settings
    kReloaded,  // the unit loaded new settings and they were read: every window should reload
  };

  NewSettingsCheck(IQDeviceOrdavinex& device, ui::Window* owner);
  Outcome Check();

 private:
  // The unit may go ahead; false when the user kept the settings.
  bool MayLoad();

  IQDeviceOrdavinex& device_;
  ui::Window* owner_;
};

}  // namespace namespaceOV
