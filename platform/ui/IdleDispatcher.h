#pragma once

#include <QObject>

namespace ui {

class Application;

// Calls the windows' idle actions when the message queue runs empty: only the innermost modal
// window's tree (else every top-level window's), none while a prompt is open, never re-entered.
class IdleDispatcher : public QObject {
 public:
  explicit IdleDispatcher(Application& app);

  // One pass over the idle actions; true when one of them asked for more.
  bool RunPass();
  void NoteActivity() { activity_ = true; }
  // An idle action that rests now but has work due later (polling a unit that fell silent, after
  // its pause) asks for a pass then; the loop sleeps meanwhile. The earliest request wins.
  void PassAfter(int ms);
  // Drops every pass that is due, posted, yielding or asked for later, as if no window had asked
  // for more.
  void Rest();
  bool WakeUpArmed() const { return wakeTimer_ != 0; }
  static bool IsIdleEvent(const QEvent* e);
  // Whether an event restarts the idle count: anything but the idle passes themselves and the
  // repaints that an idle action showing a live value brings about.
  static bool IsActivity(const QEvent* e);

 protected:
  bool event(QEvent* e) override;

 private:
  void QueueAboutToBlock();
  void PostPass();

  Application& app_;
  bool running_ = false;
  bool pending_ = false;
  bool activity_ = true;
  bool wantsMore_ = false;
  long count_ = 0;
  // The zero timer that puts a pass that wants more behind the timers and input already due.
  static inline int yieldTimer_ = 0;
  // The one-shot timer of PassAfter and when it falls due.
  static inline int wakeTimer_ = 0;
  long long wakeDueMs_ = 0;
};

}  // namespace ui
