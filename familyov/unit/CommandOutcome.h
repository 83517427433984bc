#pragma once

#include <exception>
#include <string>

#include "bus/IQException.h"
#include "controls/DeviceErrorReport.h"
#include "familycommon/LoadFailure.h"

namespace ui {
class Window;
}

namespace namespaceOV {

class IQDeviceOrdavinex;

// A command on a unit that a failure stopped part way tells the user of the failure once (the
// command runs in one controls::OneReportScope) and, in its closing message, what the unit now
// holds.

// `text`, and when the device's filters may no longer be the unit's, that the program reads the
// unit again once it answers.
std::string OutcomeText(const IQDeviceOrdavinex& device, const std::string& text);
// The closing message: OutcomeText under `caption`.
void TellCommandOutcome(ui::Window* owner, const IQDeviceOrdavinex& device, const std::string& text,
                        const std::string& caption);
// The failure of a command's step kept, and told at the head of its closing message.
using controls::FailureOf;
using controls::TakeFailureText;

}  // namespace namespaceOV
