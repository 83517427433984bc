#pragma once

#include <chrono>
#include <functional>
#include <optional>

class IQDevice;

namespace familycommon {

class ProgressReport;

// A bus that fell silent part way through a command (a USB adapter's hiccup) mostly answers again
// within a second; a unit silent for longer than this is taken as gone.
inline constexpr std::chrono::milliseconds kAnswerWaitLimit = std::chrono::seconds(3);

// How long the wait for a silent unit may last, and on which clock.
struct AnswerBound {
  using Clock = std::chrono::steady_clock;
  std::chrono::milliseconds limit = kAnswerWaitLimit;
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
};

// The put-back after a command's bus failure, given one wait for the units to answer again: the
// bound runs from the first wait on, so that a command that puts back two silent units tells the
// user after one bound, not two. The wait shows on `progress`.
class AnswerWait {
 public:
  explicit AnswerWait(ProgressReport* progress, AnswerBound bound = {});

  // Runs `putBack` until it runs to its end: a refused one is tried again a few times; after any
  // other bus failure of it the unit is polled with `poll`, a read that always goes to the unit,
  // until it answers, and the late answers of its silent stretch are taken off the line. Throws
  // the put-back's last failure when the unit keeps refusing it, or is still silent once the
  // bound has passed.
  void PutBack(IQDevice& device, const std::function<void()>& putBack,
               const std::function<void()>& poll);

 private:
  bool Answered(IQDevice& device, const std::function<void()>& poll);

  ProgressReport* progress_;
  AnswerBound bound_;
  std::optional<AnswerBound::Clock::time_point> start_;
};

}  // namespace familycommon
