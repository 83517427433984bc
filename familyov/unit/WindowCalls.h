#pragma once

#include <string>
#include <utility>

#include "bus/IQException.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/SettingsFileCommands.h"
#include "platform/ui/MessageBox.h"

// What the family's windows do around each request to a unit: report its failure, ask first, show
// that the window waits.
namespace namespaceOV {

// Runs what a window asked of the unit; a failure of the family is reported with the error dialog
// and answered with false, so the window stays usable and the caller decides what follows.
template <typename F>
bool ReportedCall(IQDevice& device, F&& operation) {
  try {
    std::forward<F>(operation)();
    return true;
  } catch (const IQException& error) {
    ReportCommError(error, device);
  }
  return false;
}

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

}  // namespace namespaceOV
