#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "controls/ChangeOutcome.h"
#include "controls/DeviceErrorReport.h"
#include "platform/ui/Edit.h"

namespace controls {

// A value typed into a field goes to the unit once, on Enter or when the focus leaves the field,
// whichever comes first: the focus that an error box takes is the same entry, not a second one.
// However many of `write`'s steps fail (the write, a read back, the windows refreshing), the entry
// tells of one failure. A refusal leaves the unit as it was: the field shows again what it showed
// before the user typed (the unit's value as last read, or unknown). A write whose answer never
// came may have been carried out: the field shows unknown until the unit, read again once it
// answers, tells its windows what it holds. Either way the field never shows a value the unit may
// not hold, whatever the write's own steps showed meanwhile, and nothing is written later unless
// the user types again. A dialog that applies all its fields at once on Enter makes them one
// entry, whichever of them the user typed into.
template <typename Write>
void CommitEntries(std::span<ui::Edit* const> fields, Write&& write) {
  std::vector<std::string> before;
  for (ui::Edit* field : fields) {
    before.push_back(field->ProgramText());
    field->TakeEntry();
  }
  const OneReportScope entry;
  const DoubtWatch doubt;
  std::forward<Write>(write)();
  if (!entry.FailureMet()) return;
  const bool inDoubt = doubt.DoubtMet();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i]->SetText(inDoubt ? std::string() : before[i]);
  }
}

template <typename Write>
void CommitEntry(ui::Edit& field, Write&& write) {
  if (!field.IsModified()) return;
  ui::Edit* const fields[] = {&field};
  CommitEntries(fields, std::forward<Write>(write));
}

}  // namespace controls
