#include "bus/OwedReplies.h"

#include <algorithm>
#include <utility>

#include "bus/UCodeEncoder.h"

bool SentRequest::AnsweredBy(const ReplyOrigin& reply, int replyNetwork) const {
  // A roll-call answer carries the broadcast address; no unit replies to a request under it.
  if (replyNetwork != network || reply.address == UCodeEncoder::kBroadcastAddress) return false;
  const bool fromUnit = (address == UCodeEncoder::kBroadcastAddress || reply.address == address) &&
                        (family == UCodeEncoder::kGroupFamilyCode || reply.family == family);
  return fromUnit &&
         (reply.FromErrorObject() || (reply.objectId == objectId && reply.opcode == opcode));
}

bool SentRequest::ChangesUnit() const { return opcode == UCodeEncoder::kOpcodeSet || allocates; }

bool SentRequest::SameUnitAs(const SentRequest& other) const {
  return network == other.network && address == other.address && family == other.family;
}

bool SentRequest::MayShareUnitWith(const SentRequest& other) const {
  const auto meets = [](auto mine, auto theirs, auto everyone) {
    return mine == theirs || mine == everyone || theirs == everyone;
  };
  return network == other.network &&
         meets(address, other.address, UCodeEncoder::kBroadcastAddress) &&
         meets(family, other.family, UCodeEncoder::kGroupFamilyCode);
}

OwedReplies::OwedReplies(std::function<Clock::time_point()> now) : now_(std::move(now)) {}

void OwedReplies::GiveUp(const SentRequest& request) {
  const bool kept = std::ranges::any_of(givenUp_, [&](const SentRequest& given) {
    return given.SameUnitAs(request) && given.objectId == request.objectId &&
           given.opcode == request.opcode;
  });
  if (kept) return;
  SentRequest given = request;
  given.bytes.clear();
  givenUp_.push_back(std::move(given));
}

void OwedReplies::ForgetExpired() {
  // Added in the order they were sent, so the oldest lead.
  const Clock::time_point now = now_();
  while (!owed_.empty() && now - owed_.front().since >= kLifetime) {
    GiveUp(owed_.front().request);
    owed_.pop_front();
  }
}

void OwedReplies::Sending(const SentRequest& request) {
  if (!request.ChangesUnit()) return;
  for (Owed& owed : owed_) {
    // Writing a value once more changes nothing that the same write did not.
    const bool sameWrite = !request.allocates && owed.request.bytes == request.bytes;
    if (owed.request.MayShareUnitWith(request) && !sameWrite) owed.answerStands = false;
  }
}

void OwedReplies::Add(const SentRequest& request) {
  ForgetExpired();
  owed_.push_back({request, now_()});
  if (owed_.size() > kMaxOwed) {
    GiveUp(owed_.front().request);
    owed_.pop_front();
  }
}

bool OwedReplies::Claims(const SentRequest& owed, const ReplyOrigin& reply, int network) {
  // A refusal names no object, but a unit refuses under the opcode it was sent.
  return owed.AnsweredBy(reply, network) &&
         (!reply.FromErrorObject() || reply.opcode == owed.opcode);
}

bool OwedReplies::ClaimedByGivenUp(const ReplyOrigin& reply, int network) const {
  return std::ranges::any_of(
      givenUp_, [&](const SentRequest& given) { return Claims(given, reply, network); });
}

bool OwedReplies::IsOwn(const SentRequest& inFlight, const ReplyOrigin& reply) {
  ForgetExpired();
  // Given up on before any request still owed was sent, so first in line for the reply; how many
  // of its replies are still to come is not known, so it is not taken off.
  if (ClaimedByGivenUp(reply, inFlight.network)) return false;
  const auto claims = [&](const Owed& owed) {
    return Claims(owed.request, reply, inFlight.network);
  };
  const auto earliest = std::ranges::find_if(owed_, claims);
  if (earliest == owed_.end()) {
    ForgetUnit(inFlight);
    return true;
  }
  const bool sameQuestion = std::ranges::all_of(owed_, [&](const Owed& owed) {
    return !claims(owed) || (owed.answerStands && owed.request.bytes == inFlight.bytes);
  });
  owed_.erase(earliest);
  return sameQuestion;
}

void OwedReplies::ForgetUnit(const SentRequest& request) {
  std::erase_if(owed_, [&](const Owed& owed) { return owed.request.SameUnitAs(request); });
  std::erase_if(givenUp_, [&](const SentRequest& given) { return given.SameUnitAs(request); });
}

void OwedReplies::TakeOff(const ReplyOrigin& reply, int network) {
  ForgetExpired();
  if (ClaimedByGivenUp(reply, network)) return;
  const auto earliest = std::ranges::find_if(
      owed_, [&](const Owed& owed) { return Claims(owed.request, reply, network); });
  if (earliest != owed_.end()) owed_.erase(earliest);
}
