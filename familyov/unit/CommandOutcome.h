#pragma once

#include <exception>
#include <string>
#include <utility>

#include "bus/IQException.h"
#include "familycommon/LoadFailure.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;

// A command on a unit that a failure stopped part way tells the user of the failure once (the
// command runs in one controls::OneReportScope) and, in its closing message, what the unit now
// holds.

// The bus failure a load or copy carries, reported for the unit.
void ReportLoadError(IQDeviceOrdavinex& device, const familycommon::LoadFailure& failure);
// The closing message: `text` under `caption`, and when the device's filters may no longer be the
// unit's, that the program reads them again once the unit answers.
void TellCommandOutcome(ui::Window* owner, const IQDeviceOrdavinex& device, const std::string& text,
                        const std::string& caption);
// Takes `failure` (a bus failure, or null for none) as the command's one report, to be told at the
// head of its closing message, so that the failure and what the unit now holds are said in one
// box: later failures of the command's steps on the same unit are passed over. Empty when there is
// none or the command has told of one already.
std::string TakeFailureText(IQDeviceOrdavinex& device, const std::exception_ptr& failure);

// Runs one step of a command; its bus failure is kept to be told with the closing message.
template <typename F>
std::exception_ptr FailureOf(F&& step) {
  try {
    std::forward<F>(step)();
  } catch (const IQException&) {
    return std::current_exception();
  }
  return nullptr;
}

}  // namespace namespaceOV
