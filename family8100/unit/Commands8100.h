#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "family8100/unit/IQDevice8100.h"

// What the family's whole-unit commands (file, report, copy) share around their work.
namespace namespace8100 {

// A message box with the stop icon over the client window.
void Stop(const std::string& text, const std::string& caption);
// The error dialog for a failed bus operation: the unit's own error code when it refused.
void ReportBusFailure(const IQException& error, IQDevice8100& unit);

// The lock reads that open a command. A failed read lets the command go on as for an unlocked
// unit and is held, to be told as the first report of the command's controls::OneReportScope
// (TellFailure): a unit that has stopped answering gives one report for the whole command. The
// scope opens only after the command's dialogs, so it swallows nothing of other work; a failure
// no command took is told when this goes.
class LockReads {
 public:
  LockReads() = default;
  ~LockReads();
  LockReads(const LockReads&) = delete;
  LockReads& operator=(const LockReads&) = delete;

  // Whether the command stops because `unit` is locked; the user is told `text` under
  // `caption`. A failed read is held for `reportedFor`, unless one is held already.
  bool Locked(IQDevice8100& unit, IQDevice8100& reportedFor, const std::string& text,
              const std::string& caption);
  // The same for one unit, told "Device is locked.".
  bool Locked(IQDevice8100& unit, const std::string& caption);
  // Reports the failure held, if any.
  void TellFailure();
  bool Failed() const { return failure_ != nullptr; }

 private:
  std::exception_ptr failure_;
  IQDevice8100* reportedFor_ = nullptr;
};
// The memories the user picks, offered as last chosen for the operation that `subkey` names, and
// remembered for the next time.
uint32_t ChooseRememberedMemories(const IQDevice8100& unit, const char* subkey,
                                  const std::string& note);

}  // namespace namespace8100
