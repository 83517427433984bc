#include "platform/ui/InputRouter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

int KeyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return key::kF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace:
      return key::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return key::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return key::kReturn;
    case Qt::Key_Escape:
      return key::kEscape;
    case Qt::Key_Space:
      return key::kSpace;
    case Qt::Key_PageUp:
      return key::kPageUp;
    case Qt::Key_PageDown:
      return key::kPageDown;
    case Qt::Key_End:
      return key::kEnd;
    case Qt::Key_Home:
      return key::kHome;
    case Qt::Key_Left:
      return key::kLeft;
    case Qt::Key_Up:
      return key::kUp;
    case Qt::Key_Right:
      return key::kRight;
    case Qt::Key_Down:
      return key::kDown;
    case Qt::Key_Insert:
      return key::kInsert;
    case Qt::Key_Delete:
      return key::kDelete;
    default:
      return 0;
  }
}

unsigned Modifiers(Qt::KeyboardModifiers m) {
  unsigned result = kNoModifier;
  if (m & Qt::ShiftModifier) result |= kShiftKey;
  if (m & Qt::ControlModifier) result |= kControlKey;
  if (m & Qt::AltModifier) result |= kAltKey;
  return result;
}

MessageId MouseMessage(const QMouseEvent& e) {
  const bool right = e.button() == Qt::RightButton;
  switch (e.type()) {
    case QEvent::MouseButtonPress:
      return right ? msg::kRButtonDown : msg::kLButtonDown;
    case QEvent::MouseButtonRelease:
      return right ? msg::kRButtonUp : msg::kLButtonUp;
    case QEvent::MouseButtonDblClick:
      return right ? msg::kRButtonDown : msg::kLButtonDblClk;
    default:
      return msg::kMouseMove;
  }
}

Param MouseFlags(const QMouseEvent& e) {
  Param flags = 0;
  if (e.buttons() & Qt::LeftButton) flags |= mouse::kLeftButton;
  if (e.buttons() & Qt::RightButton) flags |= mouse::kRightButton;
  if (e.modifiers() & Qt::ShiftModifier) flags |= mouse::kShift;
  if (e.modifiers() & Qt::ControlModifier) flags |= mouse::kControl;
  return flags;
}

}  // namespace

bool InputRouter::Route(QObject* receiver, QEvent* e) {
  if (!IdleDispatcher::IsIdleEvent(e)) app_.NoteMessage();
  if (!receiver->isWidgetType()) return false;
  switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return RouteKey(receiver, e);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return RouteMouse(receiver, e);
    default:
      return false;
  }
}

bool InputRouter::RouteKey(QObject* receiver, QEvent* e) {
  auto* keyEvent = static_cast<QKeyEvent*>(e);
  const KeyStroke stroke{KeyCode(keyEvent->key()), e->type() == QEvent::KeyPress,
                         Modifiers(keyEvent->modifiers())};
  if (stroke.code == 0) return false;
  Window* focus = Window::FromWidget(static_cast<QWidget*>(receiver));
  bool swallowed = false;
  Guarded("key", [&] {
    for (Window* w = focus; w != nullptr && !swallowed; w = w->Parent()) {
      swallowed = w->PreProcessKey(stroke);
    }
  });
  // What no window took on the way becomes a key message to the focus window, if it wants them.
  const MessageId id = stroke.down ? msg::kKeyDown : msg::kKeyUp;
  if (!swallowed && focus != nullptr && IsLiveWindow(focus) && focus->HandlesMessage(id)) {
    focus->Dispatch({id, stroke.code, static_cast<Param>(stroke.modifiers)});
  }
  return swallowed;
}

bool InputRouter::RouteMouse(QObject* receiver, QEvent* e) {
  auto* mouseEvent = static_cast<QMouseEvent*>(e);
  auto* widget = static_cast<QWidget*>(receiver);
  Window* capture = Window::MouseCapture();
  Window* target = capture != nullptr ? capture : Window::FromWidget(widget);
  if (target == nullptr || target->Widget() == nullptr) return false;
  const MessageId id = MouseMessage(*mouseEvent);
  const QPoint local = target->Widget()->mapFromGlobal(mouseEvent->globalPosition().toPoint());
  const bool handled = target->HandlesMessage(id);
  if (handled) {
    target->Dispatch({id, MouseFlags(*mouseEvent), PackPoint({local.x(), local.y()})});
  }
  if (handled && id != msg::kMouseMove && IsLiveWindow(target) &&
      target->MouseButtonsHandledAlone()) {
    return true;
  }
  // A captured mouse belongs to the capturing window alone.
  return capture != nullptr && widget != capture->Widget();
}

}  // namespace ui
