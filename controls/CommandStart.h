#pragma once

#include <string>

namespace controls {

// How the lock read that opens a command on a unit came out. "Not read" is not "free": the unit
// did not answer or refused, and nothing is known of what it would take.
enum class LockState { kFree, kLocked, kNotRead };

// Reads the lock that opens a command through `guard`, the family's route to the error dialog
// (GuardedBusCall or a family's GuardedUnitCall: reports a failure and answers false). A read
// that failed has been reported: it is the command's one report.
template <typename Guard, typename Read>
LockState ReadLock(Guard&& guard, Read&& readLocked) {
  bool locked = false;
  if (!guard([&] { locked = readLocked(); })) return LockState::kNotRead;
  return locked ? LockState::kLocked : LockState::kFree;
}

// Whether a command ends at its opening lock read, before any dialog of its own: a locked unit is
// told `text` under `caption`; a lock not read has been reported already, and the command says
// nothing more of it.
bool StopsAtLock(LockState state, const std::string& text, const std::string& caption);

}  // namespace controls
