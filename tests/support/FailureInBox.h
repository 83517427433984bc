#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bus/IQException.h"
#include "platform/ui/Prompts.h"

namespace testsupport {

// Where (counted from 1) among the boxes `script` answered from the `first` on a bus failure is
// told at the head, as a command's closing box does when it tells its failure with what the unit
// now holds: with the error dialogs, the command's reports.
inline std::vector<std::size_t> BoxesTellingAFailure(const ui::PromptScript& script,
                                                     std::size_t first = 0) {
  const std::string failures[] = {ReadTimeout().GetText(),   ErrorObject(0).GetText(),
                                  ChecksumError().GetText(), NoData().GetText(),
                                  ShortReply().GetText(),    DeviceBusy().GetText()};
  std::vector<std::size_t> told;
  for (std::size_t i = first; i < script.Seen().size(); ++i) {
    for (const std::string& failure : failures) {
      if (script.Seen()[i].text.starts_with(failure)) told.push_back(i + 1);
    }
  }
  return told;
}

inline std::size_t FailuresToldInBoxes(const ui::PromptScript& script, std::size_t first = 0) {
  return BoxesTellingAFailure(script, first).size();
}

}  // namespace testsupport
