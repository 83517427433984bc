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

OwedReplies::OwedReplies(std::function<Clock::time_point()> now) : now_(std::move(now)) {}

void OwedReplies::ForgetExpired() {
  const Clock::time_point now = now_();
  std::erase_if(owed_, [&](const Owed& owed) { return now - owed.since >= kLifetime; });
}

void OwedReplies::Add(const SentRequest& request) {
  ForgetExpired();
  owed_.push_back({request, now_()});
  if (owed_.size() > kMaxOwed) owed_.pop_front();
}

bool OwedReplies::Claims(const SentRequest& owed, const ReplyOrigin& reply, int network) {
  // A refusal names no object, but a unit refuses under the opcode it was sent.
  return owed.AnsweredBy(reply, network) &&
         (!reply.FromErrorObject() || reply.opcode == owed.opcode);
}

bool OwedReplies::IsOwn(const SentRequest& inFlight, const ReplyOrigin& reply) {
  ForgetExpired();
  const auto claims = [&](const Owed& owed) {
    return Claims(owed.request, reply, inFlight.network);
  };
  const auto earliest = std::ranges::find_if(owed_, claims);
  if (earliest == owed_.end()) {
    ForgetUnit(inFlight);
    return true;
  }
  const bool sameQuestion = std::ranges::all_of(owed_, [&](const Owed& owed) {
    return !claims(owed) || owed.request.bytes == inFlight.bytes;
  });
  owed_.erase(earliest);
  return sameQuestion;
}

void OwedReplies::ForgetUnit(const SentRequest& request) {
  std::erase_if(owed_, [&](const Owed& owed) {
    return owed.request.network == request.network && owed.request.address == request.address &&
           owed.request.family == request.family;
  });
}

void OwedReplies::TakeOff(const ReplyOrigin& reply, int network) {
  ForgetExpired();
  const auto earliest = std::ranges::find_if(
      owed_, [&](const Owed& owed) { return Claims(owed.request, reply, network); });
  if (earliest != owed_.end()) owed_.erase(earliest);
}
