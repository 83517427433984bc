#pragma once

#include <string>
#include <utility>

#include "controls/DeviceErrorReport.h"
#include "platform/ui/Edit.h"

namespace controls {

// A value typed into a field goes to the unit once, on Enter or when the focus leaves the field,
// whichever comes first: the focus that an error box takes is the same entry, not a second one.
// However many of `write`'s steps fail (the write, a read back, the windows refreshing), the entry
// tells of one failure, and the field then shows again what it showed before the user typed (the
// unit's value as last read, or unknown) instead of a value the unit may not hold, whatever the
// write's own steps showed meanwhile. Nothing is written later unless the user types again. A
// refusal is a failure like silence.
template <typename Write>
void CommitEntry(ui::Edit& field, Write&& write) {
  if (!field.IsModified()) return;
  const std::string before = field.ProgramText();
  field.TakeEntry();
  const OneReportScope entry;
  std::forward<Write>(write)();
  if (entry.FailureMet()) field.SetText(before);
}

}  // namespace controls
