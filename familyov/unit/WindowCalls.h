#pragma once

#include <string>
#include <utility>

#include "familyov/unit/OVGuard.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "platform/ui/MessageBox.h"

// What the family's windows do around a request to a unit besides guarding it: ask first, show
// that the window waits.
namespace namespaceOV {

// An OK/Cancel question; true for OK.
inline bool Confirmed(ui::Window* owner, const std::string& text, const std::string& caption) {
  return ui::MessageBox(owner, text, caption, ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
         ui::kIdOk;
}

// A save, recall or trigger waits until the unit is ready again; the user sees why the window
// waits.
template <typename F>
void WithProgress(const std::string& text, F&& operation) {
  ProgressWindow progress;
  ProgressScope scope(&progress, 1, text);
  std::forward<F>(operation)();
}

// Whether the unit's DSP has room for one more section of `kind`: a unit without room is told so
// under `caption`. A unit that does not answer has been reported, and no box then claims there is
// no room.
inline bool RoomForSection(IQDeviceOrdavinex& device, ui::Window* owner, int kind,
                           const std::string& caption) {
  bool fits = false;
  if (!GuardedUnitCall(device, [&] { fits = device.CanAddSections(kind, 1, kNoSections, 1); })) {
    return false;
  }
  if (!fits) {
    ui::MessageBox(owner, "Insufficient DSP Capacity", caption,
                   ui::mb::kOk | ui::mb::kIconExclamation);
  }
  return fits;
}

}  // namespace namespaceOV
