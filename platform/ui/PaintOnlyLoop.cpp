#include "platform/ui/PaintOnlyLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/CopyForLater.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/WindowBridge.h"

namespace ui {

namespace {

// Events whose handlers may run the program's code, directly or through a widget's signals: a
// window timer or a widget's repeating one, a posted message or call, an idle pass, a focus change
// (an edit commits its text when it loses the focus) and every kind of user input.
bool RunsProgramCode(const QEvent& e) {
  switch (e.type()) {
    case QEvent::Timer:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::FocusAboutToChange:
      return true;
    default:
      return e.isInputEvent() || e.type() == MessageEvent::Type() ||
             e.type() == CallEvent::Type() || IdleDispatcher::IsIdleEvent(&e);
  }
}

// Input straight from the window system: its first delivery, to a top-level window's handle.
bool FreshInput(const QObject& receiver, const QEvent& e) {
  return e.isInputEvent() && e.spontaneous() && receiver.isWindowType();
}

// Input that Run left to the window system waits in the platform's own queue, and that queue is
// looked at again only once the event dispatcher is woken. Run has used up the wake-up that came
// with the input, and an operation an idle pass began posts nothing when it ends, so without a
// wake-up of its own a click would wait for the user's next input event.
void WakeForHeldInput() {
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

// Closes a window as its close box does, so that the window's own code may still refuse.
void CloseAsAsked(QObject& receiver) {
  if (auto* window = qobject_cast<QWindow*>(&receiver)) {
    window->close();
  } else if (auto* widget = qobject_cast<QWidget*>(&receiver)) {
    widget->close();
  }
}

// The layer's own posted event: its arrival says that all posted before it has arrived.
QEvent::Type MarkType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

bool SameTimer(const QEvent& a, const QEvent& b) {
  return a.type() == QEvent::Timer && b.type() == QEvent::Timer &&
         static_cast<const QTimerEvent&>(a).timerId() ==
             static_cast<const QTimerEvent&>(b).timerId();
}

}  // namespace

PaintOnlyLoop::PaintOnlyLoop() = default;
PaintOnlyLoop::~PaintOnlyLoop() = default;

void PaintOnlyLoop::Run() {
  if (running_ || QCoreApplication::instance() == nullptr) return;
  struct Running {
    PaintOnlyLoop& loop;
    explicit Running(PaintOnlyLoop& l) : loop(l) { loop.running_ = true; }
    ~Running() {
      loop.running_ = false;
      loop.Release();
      WakeForHeldInput();
    }
  } running(*this);
  // The window system keeps the user's input queued; timers are not even looked at.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                  QEventLoop::ExcludeSocketNotifiers |
                                  QEventLoop::X11ExcludeTimers);
}

bool PaintOnlyLoop::Intercept(QObject* receiver, QEvent* e) {
  // A mark that arrives in the middle of an operation is not held like the rest: Release posts a
  // new one behind all it queues again. Held, a mark would come back with every pause, one more
  // each time, and a long operation would spend ever longer going over them.
  if (e->type() == MarkType()) {
    --marksOut_;
    return true;
  }
  if (!running_) {
    if (marksOut_ == 0 || !FreshInput(*receiver, *e)) return false;
    Queue(receiver, *e);
    return true;
  }
  // The window's code would close it in the middle of the operation: it closes after it.
  if (e->type() == QEvent::Close && e->spontaneous()) {
    e->ignore();
    HoldClose(receiver);
    return true;
  }
  if (!RunsProgramCode(*e)) return false;
  Hold(receiver, *e);
  return true;
}

void PaintOnlyLoop::Hold(QObject* receiver, const QEvent& e) {
  // A timer that comes due again while held fires once afterwards, as a late timer does.
  const bool known = std::any_of(held_.begin(), held_.end(), [&](const Held& h) {
    return h.receiver == receiver && SameTimer(*h.event, e);
  });
  if (!known) held_.push_back({receiver, CopyForLater(*receiver, e)});
}

void PaintOnlyLoop::HoldClose(QObject* receiver) {
  // A close asked for twice closes once; closing it is itself a call, held by a later Run.
  const bool known = std::any_of(held_.begin(), held_.end(),
                                 [&](const Held& h) { return h.closes && h.receiver == receiver; });
  if (known) return;
  QPointer<QObject> target(receiver);
  held_.push_back({target, std::make_unique<CallEvent>([target] {
                     if (!target.isNull()) CloseAsAsked(*target);
                   }),
                   true});
}

void PaintOnlyLoop::Release() {
  std::vector<Held> held = std::move(held_);
  held_.clear();
  for (Held& h : held) {
    if (h.receiver.isNull()) continue;
    const int priority =
        IdleDispatcher::IsIdleEvent(h.event.get()) ? Qt::LowEventPriority : Qt::NormalEventPriority;
    QCoreApplication::postEvent(h.receiver.data(), h.event.release(), priority);
  }
  if (!held.empty()) PostMark();
}

void PaintOnlyLoop::Queue(QObject* receiver, const QEvent& e) {
  QCoreApplication::postEvent(receiver, CopyForLater(*receiver, e).release());
  PostMark();
}

void PaintOnlyLoop::PostMark() {
  // A posted call of the layer's own: the next Run holds it in its place like the rest.
  ++marksOut_;
  QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(MarkType()));
}

void PaintPending() {
  if (auto* app = Application::Instance()) app->PaintOnly().Run();
}

bool PaintingOnly() {
  auto* app = Application::Instance();
  return app != nullptr && app->PaintOnly().Running();
}

}  // namespace ui
