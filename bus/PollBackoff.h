#pragma once

#include <chrono>

// How the idle polling of one unit (meters, limiter activity, the clock, the new-settings flag)
// treats its silence. A unit that failed to answer is asked again only after a pause that doubles
// with each further failure, up to kLongestPause, so a silent unit or a dead bus costs next to
// nothing; the first answer ends the pause and polling goes on as before. Every window that polls
// the unit shares its one backoff, so each spell of silence is reported once for the unit.
class PollBackoff {
 public:
  // The steady clock, which tests move forward so that none of them waits out a pause.
  struct Clock {
    using duration = std::chrono::steady_clock::duration;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<Clock>;
    static constexpr bool is_steady = true;
    static time_point now();
    static void Advance(duration by);
    // From now on only `Advance` moves it: a test on a busy machine sees no pause end by itself.
    static void Hold();
  };
  static constexpr std::chrono::milliseconds kFirstPause{250};
  static constexpr std::chrono::milliseconds kLongestPause{2000};

  bool MayPoll(Clock::time_point now) const { return now >= resumeAt_; }
  Clock::time_point ResumeAt() const { return resumeAt_; }
  bool Silent() const { return pause_.count() > 0; }

  void Answered();
  // A poll failed at `now`: the pause starts or grows from there.
  void Failed(Clock::time_point now);
  // True for the first caller in a spell of silence: that one tells the user.
  bool TakeReport();
  // The silence was told by a command rather than by a poll: the polls join that report, resting
  // first if no poll has failed yet, and stay quiet until the unit answers.
  void SilenceToldAt(Clock::time_point now);

 private:
  std::chrono::milliseconds pause_{0};
  Clock::time_point resumeAt_{};
  bool reported_ = false;
};
