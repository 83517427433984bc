#pragma once

#include <functional>

#include "controls/IdlePoll.h"

class IQDevice;

namespace controls {

// How a unit is read again whole and every window that shows it told: the read that settles a
// doubt (IQDevice::InDoubt). The unit's edit window names it while it lives; the idle pass that
// finds the unit answering runs it (SettleDoubt), and so does every action that is about to take
// the program's copy of the unit as what the unit holds (SettleCopy).
class UnitReadAgain {
 public:
  // `readAgain` throws on a bus failure; `report` tells the user of one the way the unit's family
  // tells every failure.
  UnitReadAgain(IQDevice& device, std::function<void()> readAgain, PollFailureReport report);
  ~UnitReadAgain();
  UnitReadAgain(const UnitReadAgain&) = delete;
  UnitReadAgain& operator=(const UnitReadAgain&) = delete;

  // The read named for `device`, or null while no window of it is open.
  static const UnitReadAgain* Of(const IQDevice& device);

  void Run() const { readAgain_(); }
  void Report(const IQException& error) const { report_(error); }

 private:
  const IQDevice& device_;
  std::function<void()> readAgain_;
  PollFailureReport report_;
};

// The program's copy of a unit is what it last read and wrote. After a failure that left the unit
// in doubt it may not be what the unit holds: a value sent, copied, stored or printed from it
// could undo what the unit did with the write whose answer was lost, or put a value nobody saw in
// a file. So every action that takes values from the copy as the unit's (a change built on values
// it leaves alone, a drag, a copy to another place, a macro, a default, a listing) asks here
// first. A copy in doubt is settled: the unit is read again whole and every window told of what
// it holds. Answers whether the copy is now the unit's. A unit that does not give it is told of
// once and stays in doubt, and the action takes nothing from the copy.
bool SettleCopy(IQDevice& device);

}  // namespace controls
