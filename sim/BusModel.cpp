#include "sim/BusModel.h"

#include <algorithm>
#include <stdexcept>

namespace sim {
namespace {

constexpr std::array<uint8_t, 2> kEightNetworkInterfaceId = {'R', '8'};

// What goes on the wire when no unit answers: only what the faults put there.
Transmission Unanswered(const std::vector<Fault>& faults) {
  Transmission transmission;
  ApplyToTransmission(faults, transmission);
  return transmission;
}

bool Has(const std::vector<Fault>& faults, FaultKind kind) {
  return std::ranges::any_of(faults, [kind](const Fault& f) { return f.kind == kind; });
}

// Whether the unit puts nothing on the line: a garbled answer still takes the line from the others.
bool SendsNothing(const std::vector<Fault>& faults) {
  return Has(faults, FaultKind::kSilence) || Has(faults, FaultKind::kUnheard);
}

}  // namespace

int BusModel::AddUnit(std::unique_ptr<Unit> unit) {
  if (!unit) throw std::invalid_argument("no unit");
  slots_.push_back({std::move(unit), false});
  return static_cast<int>(slots_.size()) - 1;
}

Unit& BusModel::UnitAt(int index) { return *slots_.at(index).unit; }

const Unit& BusModel::UnitAt(int index) const { return *slots_.at(index).unit; }

Transmission BusModel::Handle(const Frame& frame) {
  switch (frame.kind) {
    case FrameKind::kInterfaceCommand: {
      const uint8_t command = frame.bytes[1];
      Transmission transmission{.bytes = HandleInterfaceCommand(command)};
      ApplyToTransmission(faults_.Hit({kInterfaceCommandByte, command, kNoOpcode}), transmission);
      return transmission;
    }
    case FrameKind::kPacket:
      if (const auto request = DecodeRequest(frame.bytes)) return HandleRequest(*request);
      return {};
    case FrameKind::kInterfaceTest:
    case FrameKind::kUnparsable:
      return {};
  }
  return {};
}

std::vector<uint8_t> BusModel::HandleInterfaceCommand(uint8_t command) {
  if (mode_ != InterfaceMode::kEightNetworks) return {};
  if (command == kInterfaceIdQuery) {
    return {kEightNetworkInterfaceId.begin(), kEightNetworkInterfaceId.end()};
  }
  if (command >= kSelectNetworkFirst && command < kSelectNetworkFirst + kNetworkCount) {
    selectedNetwork_ = command - kSelectNetworkFirst + 1;
  }
  return {};
}

bool BusModel::Reachable(const Slot& slot) const {
  // Without the eight-network interface only the first network is wired to the port.
  const int network = mode_ == InterfaceMode::kEightNetworks ? selectedNetwork_ : 1;
  return slot.unit->Identity().network == network;
}

Transmission BusModel::HandleRequest(const Request& request) {
  const FaultTarget target{request.address, request.objectId, request.opcode};
  if (request.objectId == kObjectRollCallAcknowledge) {
    const auto faults = faults_.Hit(target);
    if (!Has(faults, FaultKind::kAcknowledgementIgnored)) Acknowledge(request);
    return Unanswered(faults);
  }
  if (request.address == kBroadcastAddress) {
    if (request.objectId == kObjectRollCallQuery) return AnswerQuery(request);
    if (request.objectId == kObjectRollCallRestart) {
      RestartRollCall();
    } else if (auto answer = AnswerNetworkRequest(request)) {
      return *answer;
    }
    return Unanswered(faults_.Hit(target));
  }
  return AnswerUnitRequest(request);
}

void BusModel::RestartRollCall() {
  for (Slot& slot : slots_) {
    if (Reachable(slot)) slot.acknowledged = false;
  }
  lastAnswer_.reset();
}

Transmission BusModel::AnswerQuery(const Request& request) {
  // Each unit not yet acknowledged answers for itself: one that does not hear the query, or keeps
  // its answer to itself, leaves the line quiet for the next, so that it alone goes unfound.
  for (Slot& slot : slots_) {
    if (!Reachable(slot) || slot.acknowledged) continue;
    const UnitIdentity& identity = slot.unit->Identity();
    const auto faults = faults_.Hit({identity.address, request.objectId, request.opcode});
    if (SendsNothing(faults)) continue;
    RollCallAnswer answer{.length = RollCallLength(identity.family, false),
                          .address = identity.address,
                          .family = identity.family,
                          .modelId = identity.modelId};
    ApplyToRollCallAnswer(faults, answer);
    lastAnswer_ = LastAnswer{&slot, answer.address, answer.family};

    Transmission transmission{.bytes = EncodeRollCallAnswer(answer)};
    ApplyToTransmission(faults, transmission);
    return transmission;
  }
  return Unanswered(faults_.Hit({request.address, request.objectId, request.opcode}));
}

void BusModel::Acknowledge(const Request& request) {
  // The unit that answered the last query takes the acknowledgement meant for the name it gave,
  // so two units answering under one address are found one after the other.
  if (lastAnswer_ && lastAnswer_->address == request.address &&
      lastAnswer_->family == request.family) {
    lastAnswer_->slot->acknowledged = true;
    lastAnswer_.reset();
    return;
  }
  for (Slot& slot : slots_) {
    const UnitIdentity& identity = slot.unit->Identity();
    if (Reachable(slot) && !slot.acknowledged && identity.address == request.address &&
        identity.family == request.family) {
      slot.acknowledged = true;
      return;
    }
  }
}

Transmission BusModel::AnswerUnitRequest(const Request& request) {
  for (Slot& slot : slots_) {
    // A copy: answering may give the unit a new identity, but this reply and its faults belong to
    // the one the request was sent to.
    const UnitIdentity identity = slot.unit->Identity();
    if (!Reachable(slot) || identity.address != request.address ||
        !slot.unit->AnswersFamily(request.family)) {
      continue;
    }
    // Of several units at one address the first answers; the others would only garble it.
    const auto faults = faults_.Hit({identity.address, request.objectId, request.opcode});
    UnitReply reply = LeavesUndone(faults, request.opcode)
                          ? UnitReply{.objectId = request.objectId, .opcode = request.opcode}
                          : slot.unit->Answer(request);
    ApplyToReply(faults, reply);
    Transmission transmission{.bytes = EncodeUnitReply(identity.address, identity.family, reply)};
    ApplyToTransmission(faults, transmission);
    return transmission;
  }
  return Unanswered(faults_.Hit({request.address, request.objectId, request.opcode}));
}

std::optional<Transmission> BusModel::AnswerNetworkRequest(const Request& request) {
  std::optional<Transmission> first;
  for (Slot& slot : slots_) {
    if (!Reachable(slot)) continue;
    const UnitIdentity identity = slot.unit->Identity();
    std::optional<UnitReply> reply = slot.unit->AnswerNetworkRequest(request);
    if (!reply || first) continue;
    const auto faults = faults_.Hit({request.address, request.objectId, request.opcode});
    ApplyToReply(faults, *reply);
    first = Transmission{.bytes = EncodeUnitReply(identity.address, identity.family, *reply)};
    ApplyToTransmission(faults, *first);
  }
  return first;
}

}  // namespace sim
