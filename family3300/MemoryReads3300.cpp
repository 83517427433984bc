#include "family3300/MemoryReads3300.h"

#include <optional>

#include "bus/IQException.h"
#include "family3300/Parameters3300.h"

namespace namespace3300 {

MemoryRecalls::MemoryRecalls(IQDevice3300& device, familycommon::AnswerWait& wait)
    : device_(device), wait_(wait), before_(ReadUnitState(device)) {}

void MemoryRecalls::Recall(int number) {
  changed_ = true;
  left_.memoryNumber = number;
  g3300MemoryNumber.Write(device_, static_cast<uint8_t>(number));
  left_.recalled = number;
  device_.ExecuteMemoryOperation(MemoryOperation::kRecall);
}

void MemoryRecalls::PutBack() {
  if (!changed_) return;
  try {
    left_.numberBack = false;
    PutUnitStateBack(device_, before_, wait_, &left_.numberBack);
  } catch (...) {
    putBackFailure_ = std::current_exception();
    // A unit that took its number back before any recall holds all it held.
    left_.restored = left_.numberBack && left_.recalled == 0;
    throw;
  }
  changed_ = false;
}

familycommon::MemoryReadFailure MemoryRecalls::Stopped(std::exception_ptr error) {
  if (!putBackFailure_) {
    try {
      PutBack();
    } catch (const IQException&) {
      // The failure returned says what the unit was left holding.
    }
  }
  familycommon::MemoryReadFailure failure = left_;
  failure.error = std::move(error);
  return failure;
}

void ReadMemoriesWithPutBack(IQDevice3300& device, familycommon::ProgressReport* progress,
                             const std::function<void(MemoryRecalls&)>& reads) {
  familycommon::AnswerWait wait(progress, device.GetAnswerBound());
  std::optional<MemoryRecalls> recalls;
  try {
    recalls.emplace(device, wait);
    reads(*recalls);
  } catch (const IQException&) {
    // Before the unit's state was read, nothing was changed.
    if (!recalls) throw familycommon::MemoryReadFailure{std::current_exception()};
    throw recalls->Stopped(std::current_exception());
  } catch (...) {
    if (!recalls) throw;
    familycommon::MemoryReadFailure left = recalls->Stopped(std::current_exception());
    if (left.restored) throw;
    // The bus failure that kept the unit from its put-back is the one to report.
    left.error = recalls->PutBackFailure();
    throw left;
  }
}

}  // namespace namespace3300
