#include "bus/PollBackoff.h"

#include <algorithm>

namespace {

PollBackoff::Clock::duration advanced{};

}  // namespace

PollBackoff::Clock::time_point PollBackoff::Clock::now() {
  return time_point(std::chrono::steady_clock::now().time_since_epoch() + advanced);
}

void PollBackoff::Clock::Advance(duration by) { advanced += by; }

void PollBackoff::Answered() {
  pause_ = {};
  resumeAt_ = {};
  reported_ = false;
}

void PollBackoff::Failed(Clock::time_point now) {
  pause_ = pause_.count() == 0 ? kFirstPause : std::min(pause_ * 2, kLongestPause);
  resumeAt_ = now + pause_;
}

bool PollBackoff::TakeReport() {
  if (reported_) return false;
  reported_ = true;
  return true;
}
