#pragma once

#include <cstddef>
#include <string>

#include "bus/IQException.h"
#include "platform/ui/Prompts.h"

namespace testsupport {

// How many of the boxes `script` answered from the `first` on tell a bus failure at their head, as
// a command's closing box does when it tells its failure with what the unit now holds: with the
// error dialogs, the command's reports.
inline std::size_t FailuresToldInBoxes(const ui::PromptScript& script, std::size_t first = 0) {
  const std::string failures[] = {ReadTimeout().GetText(),   ErrorObject(0).GetText(),
                                  ChecksumError().GetText(), NoData().GetText(),
                                  ShortReply().GetText(),    DeviceBusy().GetText()};
  std::size_t told = 0;
  for (std::size_t i = first; i < script.Seen().size(); ++i) {
    for (const std::string& failure : failures) {
      if (script.Seen()[i].text.starts_with(failure)) ++told;
    }
  }
  return told;
}

}  // namespace testsupport
