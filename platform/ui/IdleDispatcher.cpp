#include "platform/ui/IdleDispatcher.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>

#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {
long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QEvent::Type IdleEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}
}  // namespace

IdleDispatcher::IdleDispatcher(Application& app) : app_(app) {
  // The idle pass runs as an ordinary event posted when the loop is about to wait: running it
  // inside the dispatcher's own callback would break nested loops opened by idle actions.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { QueueAboutToBlock(); });
  }
}

void IdleDispatcher::QueueAboutToBlock() {
  // While a prompt is open a pass would do nothing and leave the activity standing: posting one
  // anyway would wake the loop again at once and spin it. The input that closes the prompt is
  // activity, so idle resumes after it.
  if (pending_ || running_ || app_.PromptOpen() || !(activity_ || wantsMore_)) return;
  pending_ = true;
  if (wantsMore_ && !activity_) {
    // A posted event goes before the timers and input that came due during the last pass: a
    // window that polls a unit on every pass would hold them back by two passes, not one.
    yieldTimer_ = startTimer(0);
    return;
  }
  PostPass();
}

void IdleDispatcher::PostPass() {
  QCoreApplication::postEvent(this, new QEvent(IdleEventType()), Qt::LowEventPriority);
}

void IdleDispatcher::PassAfter(int ms) {
  const long long due = NowMs() + std::max(ms, 0);
  if (wakeTimer_ != 0) {
    if (wakeDueMs_ <= due) return;
    killTimer(wakeTimer_);
  }
  wakeDueMs_ = due;
  wakeTimer_ = startTimer(std::max(ms, 0));
}

void IdleDispatcher::Rest() {
  for (int* timer : {&yieldTimer_, &wakeTimer_}) {
    if (*timer != 0) killTimer(*timer);
    *timer = 0;
  }
  QCoreApplication::removePostedEvents(this, IdleEventType());
  pending_ = false;
  wantsMore_ = false;
}

bool IdleDispatcher::IsIdleEvent(const QEvent* e) {
  if (e->type() == IdleEventType()) return true;
  if (e->type() != QEvent::Timer) return false;
  const int id = static_cast<const QTimerEvent*>(e)->timerId();
  return (yieldTimer_ != 0 && id == yieldTimer_) || (wakeTimer_ != 0 && id == wakeTimer_);
}

bool IdleDispatcher::IsActivity(const QEvent* e) {
  switch (e->type()) {
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::Paint:
      return false;
    default:
      return !IsIdleEvent(e);
  }
}

bool IdleDispatcher::event(QEvent* e) {
  if (e->type() == QEvent::Timer && static_cast<QTimerEvent*>(e)->timerId() == yieldTimer_) {
    killTimer(yieldTimer_);
    yieldTimer_ = 0;
    PostPass();
    return true;
  }
  if (e->type() == QEvent::Timer && static_cast<QTimerEvent*>(e)->timerId() == wakeTimer_) {
    killTimer(wakeTimer_);
    wakeTimer_ = 0;
    // Not input: the pass keeps its count, as a pass that wanted more would.
    wantsMore_ = true;
    QueueAboutToBlock();
    return true;
  }
  if (e->type() != IdleEventType()) return QObject::event(e);
  pending_ = false;
  wantsMore_ = RunPass();
  return true;
}

bool IdleDispatcher::RunPass() {
  if (running_ || app_.PromptOpen()) return false;
  running_ = true;
  if (activity_) count_ = 0;
  activity_ = false;
  bool more = false;
  if (Window* modal = app_.InnermostModal()) {
    more = modal->RunIdle(count_);
  } else {
    for (Window* w : TopLevelWindows()) {
      if (IsLiveWindow(w)) more = w->RunIdle(count_) || more;
    }
  }
  ++count_;
  running_ = false;
  return more;
}

}  // namespace ui
