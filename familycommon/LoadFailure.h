#pragma once

#include <exception>
#include <optional>
#include <string>

namespace familycommon {

// How much of the new settings a load or a copy had written into a unit when it failed: first
// what the unit keeps beside its settings (`globalsNamed`, in the family's words: "memory names,
// logic map, ..."; empty when the command writes none), then its current settings, then its
// memories from 1 in order.
struct LoadProgress {
  enum class Part { kUnchanged, kPartly, kWhole };
  std::string globalsNamed;
  Part globals = Part::kUnchanged;
  Part current = Part::kUnchanged;
  // Memories 1 to `memoriesWritten` hold the new settings and, when `nextMemoryPartly`, the next
  // one may hold part of them; the command writes `memoriesToWrite` in all.
  int memoriesWritten = 0;
  bool nextMemoryPartly = false;
  int memoriesToWrite = 0;
};

// A bus failure part way through loading settings into a unit, from a file or from another unit.
// The load put the unit's current settings back and lifted its mute, unless the unit stopped
// answering first: then `restored` is false and the unit may be left muted or on partly loaded
// settings.
struct LoadFailure {
  std::exception_ptr error;
  bool restored = false;
  // What the put-back could not give back although the unit answered, said after the closing
  // text; empty when nothing.
  std::string notPutBack;
  // How far the command had got, when it knows: its closing text then names what the unit holds.
  std::optional<LoadProgress> progress;
};

inline constexpr const char* kLoadRestoredText =
    "The load was not finished. The unit's current settings were put back as they were; memories "
    "stored before the failure hold the file's settings.";
inline constexpr const char* kLoadNotRestoredText =
    "The load was not finished and the unit stopped answering before its settings could be put "
    "back: it may be left muted or on partly loaded settings.";

inline const char* LoadFailureText(const LoadFailure& failure) {
  return failure.restored ? kLoadRestoredText : kLoadNotRestoredText;
}

// The same failure of a copy from another unit.
inline constexpr const char* kCopyRestoredText =
    "The copy was not finished. The unit's current settings were put back as they were; memories "
    "stored before the failure hold the source unit's settings.";
inline constexpr const char* kCopyNotRestoredText =
    "The copy was not finished and the unit stopped answering before its settings could be put "
    "back: it may be left muted or on partly loaded settings.";

inline const char* CopyFailureText(const LoadFailure& failure) {
  return failure.restored ? kCopyRestoredText : kCopyNotRestoredText;
}

// How a load or a copy names itself and where its settings come from, and its texts for a
// failure whose progress it does not know.
struct LoadCommandWords {
  const char* command;
  const char* source;
  const char* restoredText;
  const char* notRestoredText;
};
inline constexpr LoadCommandWords kLoadWords{"load", "the file's", kLoadRestoredText,
                                             kLoadNotRestoredText};
inline constexpr LoadCommandWords kCopyWords{"copy", "the source unit's", kCopyRestoredText,
                                             kCopyNotRestoredText};

// The closing text of a load or copy that `failure` stopped: what was put back and what the unit
// holds, as far as the failure's progress tells.
std::string LoadOutcomeText(const LoadFailure& failure, const LoadCommandWords& words);

// A load that wrote everything, whose read-back of the unit failed.
inline constexpr const char* kLoadedNotReadBackText =
    "The file was loaded: the unit holds its settings, its memories included, but the program "
    "could not read them back.";

// ---- What a command left on a unit that a failure stopped part way, said once in its closing
// message after the one report of the failure: the commands that do not put the unit back from a
// snapshot (a memory recall or save, deleting filters), a source unit a copy could not put back,
// and a unit that stopped answering.
inline constexpr const char* kRecallNotFinishedText =
    "The memory recall was not finished. The unit may hold its earlier settings or the memory's; "
    "the program shows the settings it holds now.";
inline constexpr const char* kSaveNotFinishedText =
    "The memory save was not finished: the memory may hold its old settings or the current ones. "
    "The unit's current settings are unchanged.";
inline constexpr const char* kDeleteNotFinishedText =
    "Not every filter was deleted. The program shows the filters the unit holds now.";
inline constexpr const char* kStoppedAnsweringText =
    "The unit stopped answering before the command was finished: it may be left muted or on "
    "partly changed settings.";
// Added where the program's lists may show filters the unit no longer holds.
inline constexpr const char* kFiltersReadAgainText =
    "The program reads the unit's filters again as soon as it answers.";

// A unit that stopped answering part way, whose lists are read again once it answers.
inline std::string StoppedAnsweringText() {
  return std::string(kStoppedAnsweringText) + "\n" + kFiltersReadAgainText;
}

// The source unit of a copy is switched between its memories and muted while they are copied.
inline constexpr const char* kCopySourceNotRestoredText =
    "The source unit stopped answering before its own settings could be put back: it may be left "
    "muted or on one of its memories.";

inline std::string CopyFailureText(const LoadFailure& failure, bool sourceRestored) {
  std::string text = CopyFailureText(failure);
  if (!sourceRestored) text = text + "\n\n" + kCopySourceNotRestoredText;
  return text;
}

// Saving the current settings over every memory, stopped at `memory`.
inline std::string SaveAllNotFinishedText(int memory) {
  const std::string number = std::to_string(memory);
  return "Saving to all memories stopped at memory " + number +
         ": the memories before it hold the current settings, memory " + number +
         " may hold its old settings or the current ones, and the later ones keep what they held.";
}

}  // namespace familycommon
