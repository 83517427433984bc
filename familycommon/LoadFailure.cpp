#include "familycommon/LoadFailure.h"

#include <algorithm>
#include <cstddef>

namespace familycommon {

namespace {

using Part = LoadProgress::Part;

// The memories the command writes, in the order it writes them.
std::vector<int> MemoriesInOrder(const LoadProgress& progress) {
  std::vector<int> memories;
  if (progress.memoriesChosen == 0) {
    const int last = std::max(progress.memoriesToWrite, progress.memoriesWritten + 1);
    for (int memory = 1; memory <= last; ++memory) memories.push_back(memory);
    return memories;
  }
  for (int memory = 1; memory <= 32; ++memory) {
    if ((progress.memoriesChosen >> (memory - 1) & 1U) != 0) memories.push_back(memory);
  }
  return memories;
}

// "memory 3", "memories 1 to 4", "memories 2, 5 and 7".
std::string WrittenMemoriesText(const std::vector<int>& written) {
  if (written.size() >= 2 && written.back() == static_cast<int>(written.size())) {
    return "memories 1 to " + std::to_string(written.size());
  }
  uint32_t mask = 0;
  for (const int memory : written) mask |= 1U << (memory - 1);
  return MemoriesText(mask);
}

// "memories 1 to 4 hold the file's settings and memory 5 may hold part of them; the later ones
// keep what they held".
std::string MemoriesClause(const LoadProgress& progress, const std::string& source) {
  const std::vector<int> order = MemoriesInOrder(progress);
  const auto whole = static_cast<std::size_t>(progress.memoriesWritten);
  const std::vector<int> written(
      order.begin(), order.begin() + static_cast<std::ptrdiff_t>(std::min(whole, order.size())));
  const std::string next =
      "memory " +
      std::to_string(whole < order.size() ? order[whole] : progress.memoriesWritten + 1);
  const bool nextTouched = progress.nextMemoryPartly || progress.nextMemoryStoredOrNot;
  std::string clause;
  if (whole == 0) {
    if (!nextTouched) return "its memories are as they were";
    clause = progress.nextMemoryPartly ? next + " may hold part of " + source + " settings"
                                       : next + " may hold " + source + " settings or its old ones";
  } else {
    clause =
        WrittenMemoriesText(written) + (whole == 1 ? " holds " : " hold ") + source + " settings";
    if (progress.nextMemoryPartly) clause += " and " + next + " may hold part of them";
    if (progress.nextMemoryStoredOrNot) clause += " and " + next + " may hold them or its old ones";
  }
  const int touched = progress.memoriesWritten + (nextTouched ? 1 : 0);
  if (touched < progress.memoriesToWrite) clause += "; the later ones keep what they held";
  return clause;
}

// What the unit holds of the new settings, where the put-back could not give it its own.
std::string HeldClauses(const LoadProgress& progress, const std::string& source) {
  std::string clauses;
  if (!progress.globalsNamed.empty()) {
    const std::string named = "its " + progress.globalsNamed;
    switch (progress.globals) {
      case Part::kUnchanged:
        clauses = named + " are as they were; ";
        break;
      case Part::kPartly:
        clauses = named + " may be partly " + source + "; ";
        break;
      case Part::kWhole:
        clauses = named + " are " + source + "; ";
        break;
    }
  }
  switch (progress.current) {
    case Part::kUnchanged:
      clauses += "its current settings are as they were; ";
      break;
    case Part::kPartly:
      clauses += "its current settings may be partly " + source + "; ";
      break;
    case Part::kWhole:
      clauses += "it runs " + source + " current settings; ";
      break;
  }
  return clauses + MemoriesClause(progress, source);
}

}  // namespace

std::string LoadOutcomeText(const LoadFailure& failure, const LoadCommandWords& words) {
  if (!failure.progress) return failure.restored ? words.restoredText : words.notRestoredText;
  const LoadProgress& progress = *failure.progress;
  const std::string stopped = std::string("The ") + words.command + " was not finished";
  if (!failure.restored) {
    return stopped + " and the unit stopped answering before its settings could be put back: " +
           HeldClauses(progress, words.source) + ".";
  }
  const bool wroteAnything = progress.globals != Part::kUnchanged ||
                             progress.current != Part::kUnchanged || progress.memoriesWritten > 0 ||
                             progress.nextMemoryPartly || progress.nextMemoryStoredOrNot;
  if (!wroteAnything) return stopped + "; nothing was written to the unit.";
  std::string putBack = "The unit's current settings";
  if (!progress.globalsNamed.empty()) putBack += " and its " + progress.globalsNamed;
  return stopped + ". " + putBack + " were put back as they were; " +
         MemoriesClause(progress, words.source) + ".";
}

std::string StoppedAnsweringText(bool written) {
  const std::string stopped = written ? kStoppedAnsweringText : kStoppedBeforeWritingText;
  return stopped + "\n" + kUnitReadAgainText;
}

}  // namespace familycommon
