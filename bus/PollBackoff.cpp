#include "bus/PollBackoff.h"

#include <algorithm>
#include <optional>

namespace {

PollBackoff::Clock::duration advanced{};
std::optional<PollBackoff::Clock::duration> heldAt;

}  // namespace

PollBackoff::Clock::time_point PollBackoff::Clock::now() {
  const duration base = heldAt.value_or(std::chrono::steady_clock::now().time_since_epoch());
  return time_point(base + advanced);
}

void PollBackoff::Clock::Advance(duration by) { advanced += by; }

void PollBackoff::Clock::Hold() {
  if (!heldAt) heldAt = std::chrono::steady_clock::now().time_since_epoch();
}

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

void PollBackoff::SilenceToldAt(Clock::time_point now) {
  if (!Silent()) Failed(now);
  reported_ = true;
}
