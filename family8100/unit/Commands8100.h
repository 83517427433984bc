#pragma once

#include <cstdint>
#include <string>

#include "family8100/unit/IQDevice8100.h"

// What the family's whole-unit commands (file, report, copy) share around their work.
namespace namespace8100 {

// A message box with the stop icon over the client window.
void Stop(const std::string& text, const std::string& caption);
// The error dialog for a failed bus operation: the unit's own error code when it refused.
void ReportBusFailure(const IQException& error, IQDevice8100& unit);

// Whether a whole-unit command ends at its opening read of `unit`'s lock, before any dialog: a
// locked unit is told `text` under `caption`; a lock that could not be read (no answer or a
// refusal) is the command's one report.
bool StopsAtLock(IQDevice8100& unit, const std::string& caption,
                 const std::string& text = "Device is locked.");
// The memories the user picks, offered as last chosen for the operation that `subkey` names, and
// remembered for the next time.
uint32_t ChooseRememberedMemories(const IQDevice8100& unit, const char* subkey,
                                  const std::string& note);

}  // namespace namespace8100
