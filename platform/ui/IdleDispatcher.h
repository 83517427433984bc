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
};

}  // namespace ui
