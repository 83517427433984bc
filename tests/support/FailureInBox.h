#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bus/IQException.h"
#include "platform/ui/Prompts.h"

namespace testsupport {

// Whether a box's `text` tells a bus failure at its head, as the error dialog does and as a
// command's closing box does when it tells its failure with what the unit now holds: one of the
// bus's, or of a family's own failures (`familyFailures`, a wait for a unit's flag, say).
inline bool TellsAFailure(const std::string& text,
                          std::initializer_list<std::string_view> familyFailures = {}) {
  const std::string failures[] = {ReadTimeout().GetText(),   ErrorObject(0).GetText(),
                                  ChecksumError().GetText(), NoData().GetText(),
                                  ShortReply().GetText(),    DeviceBusy().GetText()};
  for (const std::string& failure : failures) {
    if (text.starts_with(failure)) return true;
  }
  return std::ranges::any_of(familyFailures,
                             [&](std::string_view failure) { return text.starts_with(failure); });
}

// Where (counted from 1) among the boxes `script` answered from the `first` on a bus failure is
// told at the head: with the error dialogs, the command's reports.
inline std::vector<std::size_t> BoxesTellingAFailure(const ui::PromptScript& script,
                                                     std::size_t first = 0) {
  std::vector<std::size_t> told;
  for (std::size_t i = first; i < script.Seen().size(); ++i) {
    if (TellsAFailure(script.Seen()[i].text)) told.push_back(i + 1);
  }
  return told;
}

inline std::size_t FailuresToldInBoxes(const ui::PromptScript& script, std::size_t first = 0) {
  return BoxesTellingAFailure(script, first).size();
}

// The request a box that tells a failure names as the one that failed, as the error dialog does:
// the unit's address and the object; none when it names none.
inline std::optional<std::pair<int, int>> FailedRequestInBox(const std::string& text) {
  int object = 0;
  int address = 0;
  const std::size_t at = text.find("\nLast object ID: ");
  if (!TellsAFailure(text) || at == std::string::npos ||
      std::sscanf(text.c_str() + at, "\nLast object ID: %d, address: %d", &object, &address) != 2) {
    return std::nullopt;
  }
  return std::pair(address, object);
}

// Whether the boxes from the `first` on that tell a failure name the request that failed on the
// unit at `address`.
inline bool BoxesNameTheFailedRequest(const ui::PromptScript& script, std::size_t first,
                                      int address) {
  for (const std::size_t at : BoxesTellingAFailure(script, first)) {
    const auto named = FailedRequestInBox(script.Seen()[at - 1].text);
    if (!named || named->first != address) return false;
  }
  return true;
}

// What a command's closing box says after the failure it tells at its head: all of it when it
// tells none.
inline std::string AfterTheFailure(const std::string& text,
                                   std::initializer_list<std::string_view> familyFailures = {}) {
  const std::size_t head = text.find("\n\n");
  return head != std::string::npos && TellsAFailure(text, familyFailures) ? text.substr(head + 2)
                                                                          : text;
}

}  // namespace testsupport
