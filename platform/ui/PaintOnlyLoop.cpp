#include "platform/ui/PaintOnlyLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <algorithm>

#include "platform/ui/Application.h"
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
    }
  } running(*this);
  // The window system keeps the user's input queued; timers are not even looked at.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                  QEventLoop::ExcludeSocketNotifiers |
                                  QEventLoop::X11ExcludeTimers);
}

bool PaintOnlyLoop::Intercept(QObject* receiver, QEvent* e) {
  if (!running_) {
    if (marksOut_ == 0 || !FreshInput(*receiver, *e)) return false;
    Queue(receiver, *e);
    return true;
  }
  // The window's code would close it in the middle of the operation; the user may close it after.
  if (e->type() == QEvent::Close && e->spontaneous()) {
    e->ignore();
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
  if (!known) held_.push_back({receiver, std::unique_ptr<QEvent>(e.clone())});
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
  QCoreApplication::postEvent(receiver, e.clone());
  PostMark();
}

void PaintOnlyLoop::PostMark() {
  // A posted call of the layer's own: the next Run holds it in its place like the rest.
  ++marksOut_;
  PostCall(*QCoreApplication::instance(), [this] { --marksOut_; });
}

void PaintPending() {
  if (auto* app = Application::Instance()) app->PaintOnly().Run();
}

bool PaintingOnly() {
  auto* app = Application::Instance();
  return app != nullptr && app->PaintOnly().Running();
}

}  // namespace ui
