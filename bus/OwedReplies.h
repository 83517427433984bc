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
  // The packet's bytes: two requests with the same bytes ask the same of the unit.
  std::vector<uint8_t> bytes;

  // Whether `reply`, read on `network`, can be this request's: it comes from the unit asked (any
  // unit for the broadcast address, under its own family for the group family code) and names
  // the object and opcode asked, or is the unit's refusal from its error object.
  bool AnsweredBy(const ReplyOrigin& reply, int replyNetwork) const;
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
// exception is an earlier request with the very same bytes: its late reply answers the same
// question, and is taken; the reply of the request in flight, should it follow, is off the line
// before the next request goes out (a unit sends what it held back at once). Once a reply no
// earlier request could claim comes, everything asked of that unit before has been answered or
// lost.
class OwedReplies {
 public:
  using Clock = std::chrono::steady_clock;
  // A late reply comes once the unit resumes; one that has not come after this will not.
  static constexpr std::chrono::seconds kLifetime{10};
  static constexpr std::size_t kMaxOwed = 64;

  explicit OwedReplies(std::function<Clock::time_point()> now = Clock::now);

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
  };
  void ForgetExpired();
  static bool Claims(const SentRequest& owed, const ReplyOrigin& reply, int network);

  std::function<Clock::time_point()> now_;
  std::deque<Owed> owed_;
};
