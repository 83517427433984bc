#include "familycommon/LoadFailure.h"

namespace familycommon {

namespace {

using Part = LoadProgress::Part;

// "memories 1 to 4 hold the file's settings and memory 5 may hold part of them; the later ones
// keep what they held".
std::string MemoriesClause(const LoadProgress& progress, const std::string& source) {
  const int whole = progress.memoriesWritten;
  const std::string next = std::to_string(whole + 1);
  std::string clause;
  if (whole == 0) {
    if (!progress.nextMemoryPartly) return "its memories are as they were";
    clause = "memory 1 may hold part of " + source + " settings";
  } else {
    clause = whole == 1 ? "memory 1 holds " : "memories 1 to " + std::to_string(whole) + " hold ";
    clause += source + " settings";
    if (progress.nextMemoryPartly) clause += " and memory " + next + " may hold part of them";
  }
  const int touched = whole + (progress.nextMemoryPartly ? 1 : 0);
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
                             progress.nextMemoryPartly;
  if (!wroteAnything) return stopped + "; nothing was written to the unit.";
  std::string putBack = "The unit's current settings";
  if (!progress.globalsNamed.empty()) putBack += " and its " + progress.globalsNamed;
  return stopped + ". " + putBack + " were put back as they were; " +
         MemoriesClause(progress, words.source) + ".";
}

}  // namespace familycommon
