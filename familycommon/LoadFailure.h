#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

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
  // A family that stores a memory in one step: the next one's store went unconfirmed, so it holds
  // either its old settings or all of the new ones.
  bool nextMemoryStoredOrNot = false;
  // The memories the command writes, in order, when they are not memories 1 to `memoriesToWrite`
  // (bit n-1 for memory n): the counts above count these.
  uint32_t memoriesChosen = 0;
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

// ---- What a command that mutes a unit and changes its settings in bulk (a save, a report, a
// load, a copy) left on it when a failure stopped it part way.
struct UnitLeft {
  // The mute was written and could not be lifted.
  bool muted = false;
  // The settings the unit may run in place of its own ("the settings of its own memory 3", "the
  // file's current settings"), `partly` when mixed with others; empty when it runs its own again.
  std::string settings;
  bool partly = false;
  // The memories the command stored (bit n-1 for memory n), and one whose store the unit may or
  // may not have taken (0 for none).
  uint32_t stored = 0;
  int uncertain = 0;
  // Whether the command sent the unit any write, the mute included: if not, it is as it was.
  bool written = false;

  bool PutBack() const { return !muted && settings.empty(); }
};

// "memory 3", "memories 1 and 2", "memories 1, 2 and 5".
inline std::string MemoriesText(uint32_t memories) {
  std::vector<int> numbers;
  for (int memory = 1; memory <= 32; ++memory) {
    if ((memories >> (memory - 1) & 1U) != 0) numbers.push_back(memory);
  }
  std::string text = numbers.size() == 1 ? "memory " : "memories ";
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += i + 1 == numbers.size() ? " and " : ", ";
    text += std::to_string(numbers[i]);
  }
  return text;
}

// Said of the memory whose store was not confirmed; `whose` names the settings the command
// brought ("the file's").
inline std::string UncertainMemoryText(int memory, const std::string& whose) {
  return "Memory " + std::to_string(memory) + " may hold its old settings or " + whose + ".";
}

// The settings a recall of one of the unit's memories made current. Said of the unit beside the
// settings a load or a copy brings ("the source unit's settings for memory 3"), and of a copy's
// source unit, so it names whose memory it is.
inline std::string OwnMemorySettingsText(int memory) {
  return "the settings of its own memory " + std::to_string(memory);
}

// "it may be left muted and partly on the settings of its own memory 3".
inline std::string UnitLeftText(const UnitLeft& left) {
  std::string text = "it may be left";
  if (left.muted) text += " muted";
  if (!left.settings.empty()) {
    text += std::string(left.muted ? " and " : " ") + (left.partly ? "partly on " : "on ") +
            left.settings;
  }
  return text;
}

// The closing message of `command` ("load", "save") when the unit stopped answering before it
// could be put back: what it may be left running, and which memories hold `whose` settings ("the
// file's").
inline std::string NotPutBackText(const std::string& command, const UnitLeft& left,
                                  const std::string& whose) {
  std::string text = "The " + command +
                     " was not finished and the unit stopped answering before its settings could "
                     "be put back: " +
                     UnitLeftText(left);
  if (left.stored != 0) {
    const bool several = (left.stored & (left.stored - 1)) != 0;
    text +=
        "; " + MemoriesText(left.stored) + (several ? " hold " : " holds ") + whose + " settings";
  }
  text += ".";
  if (left.uncertain != 0) text += " " + UncertainMemoryText(left.uncertain, whose);
  return text;
}

// The same for the source unit of a copy, which only had its memories recalled.
inline std::string SourceNotPutBackText(const UnitLeft& left) {
  return "The source unit stopped answering before its own settings could be put back: " +
         UnitLeftText(left) + ".";
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
// The same before the command had written anything to the unit: it is as it was.
inline constexpr const char* kStoppedBeforeWritingText =
    "The unit stopped answering before anything was written to it: its settings are as they were.";
// Added where the program's lists may show filters the unit no longer holds: all of the unit,
// not its filters alone, is read again.
inline constexpr const char* kUnitReadAgainText =
    "The program reads the whole unit again as soon as it answers.";

// A unit that stopped answering part way, which is read again once it answers; `written` says
// whether the command had sent it a write by then.
std::string StoppedAnsweringText(bool written = true);

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

// A bus failure part way through a command that recalls a unit's memories one by one to read them
// (a settings save, a report). The command puts the unit's memory number and current settings
// back, unless the unit stopped answering first: then `restored` is false, `recalled` is the last
// memory it was told to recall (0: none), `memoryNumber` the memory number it was last sent, and
// `numberBack` whether it took its own memory number back before it fell silent. A silent unit may
// still have taken the write it left unanswered: what that write set is told as a "may".
struct MemoryReadFailure {
  std::exception_ptr error;
  bool restored = true;
  int recalled = 0;
  int memoryNumber = 0;
  bool numberBack = false;
};

// The closing message of such a command: `notFinished` says what the command did not do, then
// what the unit holds.
inline std::string MemoryReadFailureText(const std::string& notFinished,
                                         const MemoryReadFailure& failure) {
  if (failure.restored) {
    return notFinished +
           " The unit's current settings and memory number were put back as they were.";
  }
  const std::string memory = OwnMemorySettingsText(failure.recalled);
  if (failure.numberBack) {
    return notFinished +
           " The unit stopped answering while its settings were put back: its memory number is "
           "back, and its current settings may be partly as they were and partly " +
           memory + ".";
  }
  const std::string number =
      ", and its memory number may be left at " + std::to_string(failure.memoryNumber) + ".";
  if (failure.recalled == 0) {
    return notFinished +
           " The unit stopped answering before its memory number could be put back: its current "
           "settings are its own" +
           number;
  }
  return notFinished +
         " The unit stopped answering before its settings could be put back: it is left on " +
         memory + number;
}

}  // namespace familycommon
