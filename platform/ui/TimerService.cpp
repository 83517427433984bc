#include "platform/ui/TimerService.h"

#include <QTimerEvent>
#include <algorithm>

#include "platform/ui/Window.h"

namespace ui {

void TimerService::Start(Window& window, int id, int periodMs) {
  Kill(window, id);
  const int period = std::max(periodMs, 1);
  const int qtId = manual_ ? 0 : startTimer(period);
  entries_.push_back({&window, id, period, qtId, nowMs_ + period});
}

void TimerService::Kill(Window& window, int id) {
  std::erase_if(entries_, [&](const Entry& e) {
    if (e.window != &window || e.id != id) return false;
    if (e.qtTimerId != 0) killTimer(e.qtTimerId);
    return true;
  });
}

void TimerService::KillAll(Window& window) {
  std::erase_if(entries_, [&](const Entry& e) {
    if (e.window != &window) return false;
    if (e.qtTimerId != 0) killTimer(e.qtTimerId);
    return true;
  });
}

bool TimerService::IsRunning(const Window& window, int id) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& e) { return e.window == &window && e.id == id; });
}

std::vector<int> TimerService::KillEvery() {
  std::vector<int> ids;
  for (const Entry& e : entries_) {
    if (e.qtTimerId != 0) killTimer(e.qtTimerId);
    ids.push_back(e.id);
  }
  entries_.clear();
  return ids;
}

void TimerService::SetManual(bool manual) { manual_ = manual; }

void TimerService::Step(int ms) {
  const long long target = nowMs_ + ms;
  for (;;) {
    auto next = std::min_element(entries_.begin(), entries_.end(),
                                 [](const Entry& a, const Entry& b) { return a.dueMs < b.dueMs; });
    if (next == entries_.end() || next->dueMs > target) break;
    nowMs_ = next->dueMs;
    next->dueMs += next->periodMs;
    Fire(*next);  // may start or kill timers: `next` is not used afterwards
  }
  nowMs_ = target;
}

void TimerService::timerEvent(QTimerEvent* e) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& x) { return x.qtTimerId == e->timerId(); });
  if (it != entries_.end()) Fire(*it);
}

void TimerService::Fire(const Entry& e) {
  Window* window = e.window;
  const int id = e.id;
  window->Dispatch({msg::kTimer, id, 0});
}

}  // namespace ui
