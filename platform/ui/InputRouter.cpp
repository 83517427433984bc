#include "platform/ui/InputRouter.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
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

bool IsTextField(const QWidget& w) {
  if (const auto* line = qobject_cast<const QLineEdit*>(&w)) return !line->isReadOnly();
  if (const auto* text = qobject_cast<const QPlainTextEdit*>(&w)) return !text->isReadOnly();
  if (const auto* text = qobject_cast<const QTextEdit*>(&w)) return !text->isReadOnly();
  if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&w)) return !spin->isReadOnly();
  if (const auto* combo = qobject_cast<const QComboBox*>(&w)) return combo->isEditable();
  return false;
}

// A label being edited in place sits on the viewport of its list or tree.
bool IsItemEditor(const QWidget& w) {
  const QWidget* viewport = w.parentWidget();
  return viewport != nullptr &&
         qobject_cast<const QAbstractItemView*>(viewport->parentWidget()) != nullptr;
}

// Keys that move the caret or delete, also with Shift or Control (by word, to the line's end).
bool IsCaretOrDeleteKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Insert:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return true;
    default:
      return false;
  }
}

// Whether the focused text field uses the key for editing, so that no window's shortcut may take
// it: typing and editing keys always, Enter where it ends a label, Escape where it abandons a
// label, and the control and alt combinations the field itself claims. A multi-line edit leaves
// Enter to its dialog's default button, as a dialog's multi-line edits always did: texts that
// go into one-line records must not break.
bool FieldUsesKey(QWidget& focus, const QKeyEvent& e) {
  if (!IsTextField(focus)) return false;
  switch (e.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return IsItemEditor(focus);
    case Qt::Key_Escape:
      return IsItemEditor(focus);
    default:
      break;
  }
  if (!(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return true;
  if (!(e.modifiers() & Qt::AltModifier) && IsCaretOrDeleteKey(e.key())) return true;
  QKeyEvent probe(QEvent::ShortcutOverride, e.key(), e.modifiers(), e.text());
  probe.ignore();
  QCoreApplication::sendEvent(&focus, &probe);
  return probe.isAccepted();
}

// The window whose widget holds `widget` inside the same top-level window. A message box, a common
// dialog or a drop-down list made over a window's widget is a window of its own: its keys and its
// clicks are its own, never its owner's.
Window* OwnWindowOf(const QWidget& widget) {
  Window* w = Window::FromWidget(&widget);
  return w != nullptr && w->Widget()->window() == widget.window() ? w : nullptr;
}

}  // namespace

bool InputRouter::Route(QObject* receiver, QEvent* e) {
  if (IdleDispatcher::IsActivity(e)) app_.NoteMessage();
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
  if (!heldKeys_.Admit(*keyEvent, *static_cast<QWidget*>(receiver))) return true;
  const KeyStroke stroke{KeyCode(keyEvent->key()), e->type() == QEvent::KeyPress,
                         Modifiers(keyEvent->modifiers())};
  if (stroke.code == 0) return false;
  auto* widget = static_cast<QWidget*>(receiver);
  Window* focus = OwnWindowOf(*widget);
  // A field's keys still pass its own window (an edit control), but no window around it.
  const bool fieldKey = FieldUsesKey(*widget, *keyEvent);
  bool swallowed = false;
  Guarded("key", [&] {
    for (Window* w = focus; w != nullptr && !swallowed; w = w->Parent()) {
      if (fieldKey && w->Widget() != widget) break;
      // A key stays in its top-level window: the owner of a dialog, modal or not, and the
      // owner's accelerators never see it (a space bar left over by a modeless dialog would run
      // whatever the owner's focus stands on).
      if (w->Widget() == nullptr || w->Widget()->window() != widget->window()) break;
      swallowed = w->PreProcessKey(stroke);
    }
  });
  // What no window took on the way becomes a key message to the focus window, if it wants them.
  const MessageId id = stroke.down ? msg::kKeyDown : msg::kKeyUp;
  if (!swallowed && focus != nullptr && (!fieldKey || focus->Widget() == widget) &&
      IsLiveWindow(focus) && focus->HandlesMessage(id)) {
    focus->Dispatch({id, stroke.code, static_cast<Param>(stroke.modifiers)});
  }
  return swallowed;
}

bool InputRouter::RouteMouse(QObject* receiver, QEvent* e) {
  auto* mouseEvent = static_cast<QMouseEvent*>(e);
  auto* widget = static_cast<QWidget*>(receiver);
  Window* capture = Window::MouseCapture();
  Window* target = capture != nullptr ? capture : OwnWindowOf(*widget);
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
