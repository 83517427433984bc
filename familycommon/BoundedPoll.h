#pragma once

#include <algorithm>
#include <chrono>
#include <concepts>

namespace familycommon {

// Calls `poll` until it says it is done, within `bound`: its `limit` on its clock `now`, and its
// `maxPolls` where the bound counts polls too. After each poll that is not done, `bound.onPoll`
// (when set) hears how much of the bound has passed, 0 to 1, so a dialog can show it. Whether the
// poll was done before the bound passed; an exception of a poll ends the wait with it.
template <typename Bound, typename Poll>
bool PollWithinBound(const Bound& bound, Poll&& poll) {
  using Seconds = std::chrono::duration<double>;
  const auto start = bound.now();
  for (int polls = 1;; ++polls) {
    // The time is read as the poll starts: only a poll made once the limit had passed tells that
    // the wait is over. A program stopped or starved between a poll and a reading after it (a
    // machine that paused) would otherwise give up on an answer it had not asked for again.
    const auto waited = bound.now() - start;
    if (poll()) return true;
    // A limit of nothing allows the one poll.
    double passed = waited >= bound.limit ? 1.0 : Seconds(waited) / Seconds(bound.limit);
    if constexpr (requires {
                    { bound.maxPolls } -> std::convertible_to<int>;
                  }) {
      passed = std::max(passed, static_cast<double>(polls) / bound.maxPolls);
    }
    if (bound.onPoll) bound.onPoll(std::min(passed, 1.0));
    if (passed >= 1.0) return false;
  }
}

}  // namespace familycommon
