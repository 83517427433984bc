#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "bus/ReplyFrame.h"

// A request as sent, with what a reply can tell it by.
struct SentRequest {
  int network = 1;
  uint8_t address = 0;
  uint32_t family = 0;
  int objectId = 0;
  uint8_t opcode = 0;
  // The packet's bytes: two requests with the same bytes ask the same of the unit, unless
  // something sent to it in between changed its answer.
  std::vector<uint8_t> bytes;
  // A read that makes the unit allocate something (a new filter's slot) and answer with it: no two
  // of them ask the same, and each one asked allocates once more.
  bool allocates = false;

  // Whether `reply`, read on `network`, can be this request's: it comes from the unit asked (any
  // unit for the broadcast address, under its own family for the group family code) and names
  // the object and opcode asked, or is the unit's refusal from its error object.
  bool AnsweredBy(const ReplyOrigin& reply, int replyNetwork) const;
  // Whether sending it may change what the unit answers afterwards: a write, a read that allocates.
  bool ChangesUnit() const;
  // Whether it and `other` went to the very same unit.
  bool SameUnitAs(const SentRequest& other) const;
  // Whether it and `other` may have reached one unit: either may be to every unit, or to every unit
  // of a family.
  bool MayShareUnitWith(const SentRequest& other) const;
};

// The requests whose replies did not come in time, and may still come: a unit that stalls
// answers them late, in order, ahead of the reply to whatever is asked next.
//
// A reply names its unit, object and opcode, but not the element or the value asked, so a late
// reply to band 3 of an array reads like the reply to band 4. A unit answers in order, so a reply
// that could belong to an earlier unanswered request is taken for that one's and dropped. When the
// earlier request was in fact lost, the request in flight loses its own reply; once the unit has
// then been quiet for a whole read it has sent all it held back, so nothing earlier is owed, and
// the request is asked once more (the encoder's part). Never another element's value. The only
// exception is an earlier request with the very same bytes, when nothing that may change the
// unit's answer (a write, a read that allocates) went to it since: its late reply answers the same
// question, and is taken; the reply of the request in flight, should it follow, is off the line
// before the next request goes out (a unit sends what it held back at once). Once a reply no
// earlier request could claim comes, everything asked of that unit before has been answered or
// lost.
//
// A request given up on (past the bound, or its lifetime) may still be answered. Its unit, object
// and opcode are kept: a reply it could claim is never a value until that unit is known to have
// sent all it held back.
class OwedReplies {
 public:
  using Clock = std::chrono::steady_clock;
  // A late reply comes once the unit resumes; one that has not come after this will not.
  static constexpr std::chrono::seconds kLifetime{10};
  static constexpr std::size_t kMaxOwed = 64;

  explicit OwedReplies(std::function<Clock::time_point()> now = Clock::now);

  // `request` is going out: when it may change its unit's answers, no earlier request of that unit
  // asks the same question as a later one any more (the same write sent again changes nothing).
  void Sending(const SentRequest& request);
  // `request` timed out: its reply may still come.
  void Add(const SentRequest& request);
  // Whether `reply`, which `inFlight` accepts, is its own; a reply an earlier request may claim is
  // counted as that one's.
  bool IsOwn(const SentRequest& inFlight, const ReplyOrigin& reply);
  // `reply`, read on `network`, was not asked for now: the earliest request it can answer is off.
  void TakeOff(const ReplyOrigin& reply, int network);
  // Nothing asked of the unit `request` went to is owed any more.
  void ForgetUnit(const SentRequest& request);
  std::size_t Count() const { return owed_.size(); }

 private:
  struct Owed {
    SentRequest request;
    Clock::time_point since;
    // Nothing that may change the unit's answer went to it since this was sent.
    bool answerStands = true;
  };
  void ForgetExpired();
  void GiveUp(const SentRequest& request);
  bool ClaimedByGivenUp(const ReplyOrigin& reply, int network) const;
  static bool Claims(const SentRequest& owed, const ReplyOrigin& reply, int network);

  std::function<Clock::time_point()> now_;
  std::deque<Owed> owed_;
  // Requests given up on whose replies may still come, one per unit, object and opcode (their
  // bytes dropped): as many as the program has objects, not as many as it sent.
  std::vector<SentRequest> givenUp_;
};
