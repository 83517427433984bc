#include "sim/FaultScript.h"

#include <algorithm>

#include "bus/UCodePacket.h"

namespace sim {
namespace {

// Fills the data of an over-long reply so that its bytes agree with its length field.
constexpr uint8_t kFillerByte = 0xA5;
// Stands in the data of a reply with a status other than 1, so that a reader that keeps such
// data reads a value the unit never held.
constexpr uint8_t kNotAcceptedByte = 0xEE;

bool Matches(int wanted, int actual) { return wanted == Fault::kAny || wanted == actual; }

bool InWindow(const Fault& fault, int occurrence) {
  if (occurrence < fault.firstOccurrence) return false;
  return fault.times == Fault::kForever || occurrence < fault.firstOccurrence + fault.times;
}

}  // namespace

void FaultScript::ClearFor(int address) {
  std::erase_if(entries_, [address](const Entry& entry) { return entry.fault.address == address; });
}

std::vector<Fault> FaultScript::Hit(const FaultTarget& target) {
  std::vector<Fault> acting;
  for (Entry& entry : entries_) {
    const Fault& fault = entry.fault;
    if (!Matches(fault.address, target.address) || !Matches(fault.objectId, target.objectId) ||
        !Matches(fault.opcode, target.opcode)) {
      continue;
    }
    if (InWindow(fault, ++entry.matched)) acting.push_back(fault);
  }
  std::stable_sort(acting.begin(), acting.end(),
                   [](const Fault& a, const Fault& b) { return a.kind < b.kind; });
  return acting;
}

bool LeavesUndone(const std::vector<Fault>& faults, int opcode) {
  return std::ranges::any_of(faults, [opcode](const Fault& fault) {
    switch (fault.kind) {
      case FaultKind::kUnheard:
      case FaultKind::kErrorObject:
      case FaultKind::kErrorObjectWithoutData:
        return true;
      // A read the unit does not accept yet is asked again; its answer's data stays the unit's
      // (replaced by filler), so that a reader that kept it would be caught.
      case FaultKind::kStatus:
        return opcode == kOpcodeSet;
      default:
        return false;
    }
  });
}

void ApplyToReply(const std::vector<Fault>& faults, UnitReply& reply) {
  for (const Fault& fault : faults) {
    switch (fault.kind) {
      case FaultKind::kStatus:
        reply.status = static_cast<uint8_t>(fault.value);
        std::fill(reply.data.begin(), reply.data.end(), kNotAcceptedByte);
        break;
      case FaultKind::kErrorObject:
        reply.objectId = kObjectError;
        reply.data = {static_cast<uint8_t>(fault.value)};
        break;
      case FaultKind::kErrorObjectWithoutData:
        reply.objectId = kObjectError;
        reply.data.clear();
        break;
      case FaultKind::kOverlongLength: {
        // The length counts the object id, the opcode and the data.
        const int idAndOpcode = VarintLength(reply.objectId) + 1;
        reply.data.resize(std::max(0, fault.value - idAndOpcode), kFillerByte);
        break;
      }
      default:
        break;
    }
  }
}

void ApplyToRollCallAnswer(const std::vector<Fault>& faults, RollCallAnswer& answer) {
  for (const Fault& fault : faults) {
    switch (fault.kind) {
      case FaultKind::kRollCallAddress:
        answer.address = fault.value;
        break;
      case FaultKind::kThreeByteFamily:
        answer.threeByteFamily = true;
        answer.length = RollCallLength(answer.family, true);
        break;
      case FaultKind::kRollCallLength:
        answer.length = fault.value;
        break;
      default:
        break;
    }
  }
}

void ApplyToTransmission(const std::vector<Fault>& faults, Transmission& transmission) {
  std::vector<uint8_t>& bytes = transmission.bytes;
  for (const Fault& fault : faults) {
    switch (fault.kind) {
      case FaultKind::kSilence:
      case FaultKind::kUnheard:
        bytes.clear();
        break;
      case FaultKind::kBadChecksum:
        if (!bytes.empty()) ++bytes.back();
        break;
      case FaultKind::kTruncate:
        bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(std::max(0, fault.value))));
        break;
      case FaultKind::kGarbageBefore:
        bytes.insert(bytes.begin(), fault.bytes.begin(), fault.bytes.end());
        break;
      case FaultKind::kBytesAfter:
        bytes.insert(bytes.end(), fault.bytes.begin(), fault.bytes.end());
        break;
      case FaultKind::kStall:
        transmission.stallMs = fault.value;
        break;
      case FaultKind::kPause:
        transmission.pausedFrames = fault.value;
        break;
      case FaultKind::kLateFirstByte:
        transmission.firstByteDelayMs = fault.value;
        break;
      case FaultKind::kByteGaps:
        transmission.gapMs = fault.value;
        break;
      case FaultKind::kStarve:
        transmission.starveMs = fault.value;
        break;
      case FaultKind::kHangUp:
        transmission.hangUp = true;
        break;
      case FaultKind::kEndlessStream:
        transmission.endlessStream = true;
        break;
      default:
        break;
    }
  }
}

}  // namespace sim
