#pragma once

#include <functional>

#include "family3300/IQDevice3300.h"
#include "family3300/SettingsPutBack3300.h"
#include "familycommon/LoadFailure.h"
#include "familycommon/ProgressReport.h"

namespace namespace3300 {

// The memories a command recalls in the unit to read them, and the memory number and current
// settings the unit gets back once the command has read them.
class MemoryRecalls {
 public:
  // Reads what the unit plays now.
  MemoryRecalls(IQDevice3300& device, familycommon::AnswerWait& wait);

  // Memory `number` becomes the unit's current settings.
  void Recall(int number);
  // Gives the unit its memory number and current settings back, waiting for a unit that fell
  // silent; a bus failure passes on.
  void PutBack();
  // The failure `error` stopped the command: the unit is put back unless that was already tried,
  // and what it holds is told.
  familycommon::MemoryReadFailure Stopped(std::exception_ptr error);
  // The failure of the last put-back that did not finish; null when none.
  std::exception_ptr PutBackFailure() const { return putBackFailure_; }

 private:
  IQDevice3300& device_;
  familycommon::AnswerWait& wait_;
  UnitState before_;
  familycommon::MemoryReadFailure left_;
  bool changed_ = false;
  std::exception_ptr putBackFailure_;
};

// Runs `reads`, which recall the unit's memories through the MemoryRecalls they are given and put
// the unit back through it once they have read them. A failure part way puts the unit back too
// (a unit that fell silent once it answers again, the wait shown on `progress`): a bus failure
// then throws familycommon::MemoryReadFailure, which says what the unit holds; any other passes on
// as it is, unless the unit could not be put back.
void ReadMemoriesWithPutBack(IQDevice3300& device, familycommon::ProgressReport* progress,
                             const std::function<void(MemoryRecalls&)>& reads);

}  // namespace namespace3300
