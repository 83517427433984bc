#pragma once

#include <vector>

#include "sim/Fault.h"
#include "sim/Transmission.h"
#include "sim/WireFormat.h"

namespace sim {

// The request a fault is matched against: the unit that answers it (or, when none does, the
// address it was sent to), its object id and opcode.
struct FaultTarget {
  int address = 0;
  int objectId = 0;
  int opcode = kNoOpcode;
};

// The faults scripted on a bus, each with the count of requests it has matched.
class FaultScript {
 public:
  void Add(const Fault& fault) { entries_.push_back({fault, 0}); }
  void Clear() { entries_.clear(); }
  // Removes the faults scripted for the unit at `address`; faults on every unit stay.
  void ClearFor(int address);
  // Counts the request against every fault; returns the faults that act on it, in the order in
  // which they take effect.
  std::vector<Fault> Hit(const FaultTarget& target);

 private:
  struct Entry {
    Fault fault;
    int matched = 0;
  };
  std::vector<Entry> entries_;
};

// Whether the unit leaves a request of `opcode` undone: it never heard it, or it refuses it (an
// error object, a write it does not accept), so a refused or unheard write changes nothing.
bool LeavesUndone(const std::vector<Fault>& faults, int opcode);

// Each function applies the faults of its stage and ignores the others.
void ApplyToReply(const std::vector<Fault>& faults, UnitReply& reply);
void ApplyToRollCallAnswer(const std::vector<Fault>& faults, RollCallAnswer& answer);
void ApplyToTransmission(const std::vector<Fault>& faults, Transmission& transmission);

}  // namespace sim
