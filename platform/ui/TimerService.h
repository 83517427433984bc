#pragma once

#include <QObject>
#include <vector>

namespace ui {

class Window;

// Window timers. Normally Qt's timers drive them; in manual mode (tests) they fire only when Step
// advances the clock, so a test can walk through a repeat sequence tick by tick without sleeping.
class TimerService : public QObject {
 public:
  void Start(Window& window, int id, int periodMs);
  void Kill(Window& window, int id);
  void KillAll(Window& window);
  bool IsRunning(const Window& window, int id) const;
  // Stops every window's timers; returns the ids of those that ran.
  std::vector<int> KillEvery();

  void SetManual(bool manual);
  // Manual mode only: fires every timer due within the next `ms` milliseconds, in time order.
  void Step(int ms);

 protected:
  void timerEvent(QTimerEvent* e) override;

 private:
  struct Entry {
    Window* window;
    int id;
    int periodMs;
    int qtTimerId;
    long long dueMs;
  };
  void Fire(const Entry& e);

  std::vector<Entry> entries_;
  bool manual_ = false;
  long long nowMs_ = 0;
};

}  // namespace ui
