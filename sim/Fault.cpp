#include "sim/Fault.h"

#include <utility>

namespace sim {
namespace {

Fault Make(FaultKind kind, int value = 0, std::vector<uint8_t> bytes = {}) {
  Fault fault;
  fault.kind = kind;
  fault.value = value;
  fault.bytes = std::move(bytes);
  return fault;
}

}  // namespace

Fault Fault::AcknowledgementIgnored() { return Make(FaultKind::kAcknowledgementIgnored); }
Fault Fault::Status(uint8_t status) { return Make(FaultKind::kStatus, status); }
Fault Fault::ErrorObject(uint8_t code) { return Make(FaultKind::kErrorObject, code); }
Fault Fault::ErrorObjectWithoutData() { return Make(FaultKind::kErrorObjectWithoutData); }
Fault Fault::OverlongLength(uint8_t length) { return Make(FaultKind::kOverlongLength, length); }
Fault Fault::RollCallLength(uint8_t length) { return Make(FaultKind::kRollCallLength, length); }
Fault Fault::RollCallAddress(uint8_t address) { return Make(FaultKind::kRollCallAddress, address); }
Fault Fault::ThreeByteFamily() { return Make(FaultKind::kThreeByteFamily); }
Fault Fault::Silence() { return Make(FaultKind::kSilence); }
Fault Fault::Unheard() { return Make(FaultKind::kUnheard); }
Fault Fault::BadChecksum() { return Make(FaultKind::kBadChecksum); }
Fault Fault::Truncate(int keptBytes) { return Make(FaultKind::kTruncate, keptBytes); }
Fault Fault::GarbageBefore(std::vector<uint8_t> garbage) {
  return Make(FaultKind::kGarbageBefore, 0, std::move(garbage));
}
Fault Fault::BytesAfter(std::vector<uint8_t> trailing) {
  return Make(FaultKind::kBytesAfter, 0, std::move(trailing));
}
Fault Fault::Stall(int stallMs) { return Make(FaultKind::kStall, stallMs); }
Fault Fault::Pause(int requests) { return Make(FaultKind::kPause, requests); }
Fault Fault::LateFirstByte(int delayMs) { return Make(FaultKind::kLateFirstByte, delayMs); }
Fault Fault::ByteGaps(int gapMs) { return Make(FaultKind::kByteGaps, gapMs); }
Fault Fault::Starve(int heldMs) { return Make(FaultKind::kStarve, heldMs); }
Fault Fault::HangUp() { return Make(FaultKind::kHangUp); }
Fault Fault::EndlessStream() { return Make(FaultKind::kEndlessStream); }

Fault Fault::ForUnit(int unitAddress) const {
  Fault fault = *this;
  fault.address = unitAddress;
  return fault;
}

Fault Fault::ForObject(int id) const {
  Fault fault = *this;
  fault.objectId = id;
  return fault;
}

Fault Fault::ForOpcode(int code) const {
  Fault fault = *this;
  fault.opcode = code;
  return fault;
}

Fault Fault::OnOccurrence(int n) const {
  Fault fault = *this;
  fault.firstOccurrence = n;
  fault.times = 1;
  return fault;
}

Fault Fault::Times(int n) const {
  Fault fault = *this;
  fault.times = n;
  return fault;
}

}  // namespace sim
