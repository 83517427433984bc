#include "family8100/unit/BulkTransfer.h"

#include "bus/IQException.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int kSnapshot = 0;

// Each unit on its own: one that stopped answering must not keep the others as they are. Whether
// every unit answered.
template <typename F>
bool OnEachThatAnswers(const std::vector<IQDevice8100*>& units, F&& action) {
  bool all = true;
  for (IQDevice8100* unit : units) {
    try {
      action(*unit);
    } catch (const IQException&) {
      all = false;
    }
  }
  return all;
}

void LiftMute(IQDevice8100& unit) { g8100BulkMute.Write(unit, true); }

void RestoreSnapshot(IQDevice8100& unit) { unit.RestoreShadowMemory(kSnapshot); }

}  // namespace

BulkMute::BulkMute(std::vector<IQDevice8100*> units) {
  for (IQDevice8100* unit : units) {
    try {
      g8100BulkMute.Write(*unit, false);
    } catch (const IQException&) {
      // The failing unit may have muted before its reply went wrong.
      units_.push_back(unit);
      Release();
      throw;
    }
    units_.push_back(unit);
  }
}

BulkMute::~BulkMute() {
  if (!lifted_) Release();
}

void BulkMute::Release() {
  lifted_ = true;
  OnEachThatAnswers(units_, LiftMute);
}

void BulkMute::Lift() {
  for (IQDevice8100* unit : units_) LiftMute(*unit);
  lifted_ = true;
}

BulkTransfer::BulkTransfer(std::vector<IQDevice8100*> units) : units_(units), mute_(units) {
  for (IQDevice8100* unit : units_) unit->SaveShadowMemory(kSnapshot);
}

BulkTransfer::~BulkTransfer() {
  if (!putBack_) {
    OnEachThatAnswers(units_, RestoreSnapshot);
  }
}

bool BulkTransfer::Recover() {
  const bool restored = OnEachThatAnswers(units_, RestoreSnapshot);
  putBack_ = true;
  try {
    mute_.Lift();
  } catch (const IQException&) {
    return false;
  }
  return restored;
}

bool TryLiftMute(IQDevice8100& unit) { return OnEachThatAnswers({&unit}, LiftMute); }

void BulkTransfer::PutBack() {
  for (IQDevice8100* unit : units_) RestoreSnapshot(*unit);
  putBack_ = true;
}

}  // namespace namespace8100
