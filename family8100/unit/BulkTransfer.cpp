#include "family8100/unit/BulkTransfer.h"

#include "bus/IQException.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"

namespace namespace8100 {

namespace {

constexpr int kSnapshot = 0;

// Each unit on its own: one that stopped answering must not keep the others as they are.
template <typename F>
void OnEachThatAnswers(const std::vector<IQDevice8100*>& units, F&& action) {
  for (IQDevice8100* unit : units) {
    try {
      action(*unit);
    } catch (const IQException&) {
    }
  }
}

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
  OnEachThatAnswers(units_, [](IQDevice8100& unit) { g8100BulkMute.Write(unit, true); });
}

void BulkMute::Lift() {
  for (IQDevice8100* unit : units_) g8100BulkMute.Write(*unit, true);
  lifted_ = true;
}

BulkTransfer::BulkTransfer(std::vector<IQDevice8100*> units) : units_(units), mute_(units) {
  for (IQDevice8100* unit : units_) unit->SaveShadowMemory(kSnapshot);
}

BulkTransfer::~BulkTransfer() {
  if (!putBack_) {
    OnEachThatAnswers(units_, [](IQDevice8100& unit) { unit.RestoreShadowMemory(kSnapshot); });
  }
}

bool BulkTransfer::Recover() {
  bool done = true;
  for (IQDevice8100* unit : units_) {
    try {
      unit->RestoreShadowMemory(kSnapshot);
    } catch (const IQException&) {
      done = false;
    }
  }
  putBack_ = true;
  try {
    mute_.Lift();
  } catch (const IQException&) {
    done = false;
  }
  return done;
}

bool TryLiftMute(IQDevice8100& unit) {
  try {
    g8100BulkMute.Write(unit, true);
    return true;
  } catch (const IQException&) {
    return false;
  }
}

void BulkTransfer::PutBack() {
  for (IQDevice8100* unit : units_) unit->RestoreShadowMemory(kSnapshot);
  putBack_ = true;
}

}  // namespace namespace8100
