#include "platform/ui/HeldRepeat.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/ui/Window.h"

namespace ui {

namespace {

std::vector<Hold*>& Held() {
  static std::vector<Hold*> held;
  return held;
}

}  // namespace

Hold::Hold(std::function<void()> stop) : stop_(std::move(stop)) {}

Hold::~Hold() { LetGo(); }

void Hold::Begin() {
  if (held_) return;
  held_ = true;
  Held().push_back(this);
}

void Hold::LetGo() {
  if (!held_) return;
  held_ = false;
  std::erase(Held(), this);
}

void EndHolds() {
  // A stop may end or destroy another control: each hold leaves the list before its stop runs.
  while (!Held().empty()) {
    Hold* hold = Held().back();
    Held().pop_back();
    hold->held_ = false;
    if (hold->stop_) hold->stop_();
  }
}

HeldRepeat::HeldRepeat(Window& window, int timerId, Pace pace, std::function<void()> stop)
    : window_(window), timerId_(timerId), pace_(pace), stop_(std::move(stop)), hold_([this] {
        window_.KillTimer(timerId_);
        if (stop_) stop_();
      }) {
  window_.OnMessage(msg::kTimer, [this](const Message& m) {
    if (static_cast<int>(m.wParam) == timerId_) Repeat();
    return Param{0};
  });
}

void HeldRepeat::Begin(std::function<void()> step) {
  step_ = std::move(step);
  delayed_ = pace_.delayMs != pace_.intervalMs;
  hold_.Begin();
  window_.StartTimer(timerId_, pace_.delayMs);
}

void HeldRepeat::LetGo() {
  hold_.LetGo();
  window_.KillTimer(timerId_);
}

void HeldRepeat::Repeat() {
  if (!hold_.IsHeld()) return;
  if (std::exchange(delayed_, false)) window_.StartTimer(timerId_, pace_.intervalMs);
  if (step_) step_();
}

}  // namespace ui
