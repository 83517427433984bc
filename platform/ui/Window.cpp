#include "platform/ui/Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <unordered_set>

#include "platform/ui/Application.h"
#include "platform/ui/EdgeOverlay.h"
#include "platform/ui/Guard.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Text.h"
#include "platform/ui/TimerService.h"
#include "platform/ui/WindowBridge.h"

namespace ui {

namespace {

QHash<const QWidget*, Window*>& WidgetMap() {
  static QHash<const QWidget*, Window*> map;
  return map;
}

// Window objects deleted so far: while it stands still, every window seen before is still there.
unsigned long g_windowsDeleted = 0;

std::unordered_set<const Window*>& LiveWindows() {
  static std::unordered_set<const Window*> live;
  return live;
}

std::vector<Window*>& TopLevels() {
  static std::vector<Window*> windows;
  return windows;
}

Window* g_capture = nullptr;

long long NotifyKey(int controlId, ui::Notify code) {
  return (static_cast<long long>(controlId) << 8) | static_cast<long long>(code);
}

}  // namespace

QEvent::Type MessageEvent::Type() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QEvent::Type CallEvent::Type() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PostCall(QObject& receiver, std::function<void()> call) {
  QCoreApplication::postEvent(&receiver, new CallEvent(std::move(call)));
}

WindowBridge::WindowBridge(Window& window, QWidget& widget) : QObject(&widget), window_(&window) {
  widget.installEventFilter(this);
}

WindowBridge::~WindowBridge() {
  if (window_ != nullptr) window_->WidgetGone();
}

bool WindowBridge::event(QEvent* e) {
  if (e->type() == MessageEvent::Type()) {
    if (window_ != nullptr) window_->Dispatch(static_cast<MessageEvent*>(e)->message);
    return true;
  }
  return QObject::event(e);
}

bool WindowBridge::eventFilter(QObject* watched, QEvent* e) {
  if (window_ == nullptr || watched != parent()) return false;
  switch (e->type()) {
    case QEvent::Close: {
      if (!e->spontaneous()) return false;  // our own Destroy closing the widget
      e->ignore();
      Window* w = window_;
      Guarded("close", [w] { w->CloseWindow(kIdCancel); });
      return true;
    }
    case QEvent::Resize: {
      const QSize s = static_cast<QWidget*>(watched)->size();
      const Message size{msg::kSize, 0, PackPoint({s.width(), s.height()})};
      // The window's own code must not run in the middle of an operation that holds the loop.
      if (PaintingOnly()) {
        window_->Post(size.id, size.wParam, size.lParam);
      } else {
        window_->Dispatch(size);
      }
      return false;
    }
    case QEvent::FocusIn:
      window_->Dispatch({msg::kSetFocus, 0, 0});
      return false;
    case QEvent::FocusOut:
      window_->Dispatch({msg::kKillFocus, 0, 0});
      return false;
    default:
      return false;
  }
}

Window::Window(Window* parent) : parent_(parent) {
  LiveWindows().insert(this);
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

Window::~Window() {
  Destroy();
  for (Window* child : children_) child->parent_ = nullptr;
  LeaveParent();
  LiveWindows().erase(this);
  ++g_windowsDeleted;
}

void Window::LeaveParent() {
  if (parent_ == nullptr) return;
  parent_->ChildLeaving(*this);
  std::erase(parent_->children_, this);
}

void Window::SetParent(Window* parent) {
  if (widget_ != nullptr || parent == parent_) return;
  LeaveParent();
  parent_ = parent;
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

bool IsLiveWindow(const Window* w) { return LiveWindows().count(w) != 0; }

std::vector<Window*> TopLevelWindows() { return TopLevels(); }

void Window::Create() {
  if (widget_ != nullptr) return;
  QWidget* parentWidget = parent_ != nullptr ? parent_->ChildArea() : nullptr;
  widget_ = MakeWidget(parentWidget);
  WidgetMap().insert(widget_, this);
  bridge_ = new WindowBridge(*this, *widget_);
  if (parent_ == nullptr) TopLevels().push_back(this);
  ApplyAttributes();
  CreateChildren();
  Guarded("setup", [this] { SetupWindow(); });
}

void Window::ApplyAttributes() {
  if (!text_.empty()) SetText(text_);
  if (iconId_ != 0) SetIcon(iconId_);
  if (background_) SetBackground(*background_);
  if (hasRect_) SetRect(rect_);
  if (fixedSize_) widget_->setFixedSize(widget_->size());
  widget_->setEnabled(enabled_);
  if (HandlesMessage(msg::kMouseMove)) widget_->setMouseTracking(true);
  if (staysOnTop_) widget_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (edge_ != WindowEdge::None) new EdgeOverlay(*widget_, edge_);
  if (widget_->parentWidget() != nullptr) widget_->setVisible(!hidden_);
}

void Window::CreateChildren() {
  for (Window* child : std::vector<Window*>(children_)) child->Create();
}

void Window::Destroy() {
  if (widget_ == nullptr) return;
  Guarded("cleanup", [this] { CleanupWindow(); });
  KeepState();
  const std::vector<Window*> children = children_;  // cleanup may have deleted some
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (IsLiveWindow(*it)) (*it)->Destroy();
  }
  if (g_capture == this) g_capture = nullptr;
  if (auto* app = Application::Instance()) app->Timers().KillAll(*this);
  QWidget* widget = widget_;
  WidgetGone();
  // Until Qt deletes it, the widget and its parts must not call back into this object, whose
  // members may already be gone when the destructor destroys the window.
  widget->blockSignals(true);
  for (QObject* part : widget->findChildren<QObject*>()) part->blockSignals(true);
  widget->hide();
  widget->deleteLater();
  // With the last window gone no idle pass has anything left to serve, a wake-up that a window
  // asked for included: the idle loop rests until windows and input come again.
  if (auto* app = Application::Instance(); app != nullptr && TopLevels().empty())
    app->Idle().Rest();
  WidgetDestroyed();
}

void Window::WidgetGone() {
  if (bridge_ != nullptr) bridge_->Detach();
  bridge_ = nullptr;
  WidgetMap().remove(widget_);
  std::erase(TopLevels(), this);
  if (g_capture == this) g_capture = nullptr;
  widget_ = nullptr;
}

QWidget* Window::MakeWidget(QWidget* parentWidget) { return new QWidget(parentWidget); }

Window* Window::FromWidget(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    if (Window* w = WidgetMap().value(widget, nullptr)) return w;
  }
  return nullptr;
}

Window* Window::FocusWindow() { return FromWidget(QApplication::focusWidget()); }

void Window::Post(MessageId id, Param wParam, Param lParam) {
  if (bridge_ == nullptr) return;
  QCoreApplication::postEvent(bridge_, new MessageEvent({id, wParam, lParam}));
}

Param Window::Send(MessageId id, Param wParam, Param lParam) {
  if (widget_ == nullptr) return 0;
  return Dispatch({id, wParam, lParam});
}

void Window::OnMessage(MessageId id, MessageHandler handler) {
  messages_[id] = std::move(handler);
  if (id == msg::kMouseMove && widget_ != nullptr) widget_->setMouseTracking(true);
}

Param Window::Dispatch(const Message& m) {
  Param result = 0;
  Guarded("message", [&] {
    if (auto* app = Application::Instance()) app->NoteMessage();
    const auto it = messages_.find(m.id);
    result = it != messages_.end() ? it->second(m) : DefaultMessage(m);
  });
  return result;
}

void Window::OnNotify(int controlId, ui::Notify code, NotifyHandler handler) {
  notifications_[NotifyKey(controlId, code)] = std::move(handler);
}

Param Window::SendNotify(const Notification& n) {
  const auto it = notifications_.find(NotifyKey(n.controlId, n.code));
  if (it == notifications_.end()) return 0;
  Param result = 0;
  Guarded("notification", [&] { result = it->second(n); });
  return result;
}

bool Window::CanClose() {
  return std::all_of(children_.begin(), children_.end(),
                     [](Window* c) { return !c->IsCreated() || c->CanClose(); });
}

void Window::CloseWindow(int) {
  if (widget_ == nullptr || !CanClose()) return;
  Destroy();
  if (auto* app = Application::Instance(); app != nullptr && app->MainWindow() == this)
    app->Quit(0);
  // The owner usually deletes the window when told; it is told after the current handler
  // returns, so no handler of the window is still running then.
  if (onClosed_) PostCall(*qApp, [told = onClosed_] { Guarded("closed", told); });
}

void Window::SetRect(const Rect& r) {
  rect_ = r;
  hasRect_ = true;
  givenSize_ = Size{r.Width(), r.Height()};
  if (widget_ == nullptr) return;
  if (widget_->isWindow()) {
    widget_->move(r.left, r.top);
    widget_->resize(r.Width(), r.Height());
  } else {
    widget_->setGeometry(r.left, r.top, r.Width(), r.Height());
  }
}

Rect Window::WindowRect() const {
  if (widget_ == nullptr) return {};
  const QRect g = widget_->isWindow() ? widget_->frameGeometry() : widget_->geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Rect Window::PlacementRect() const {
  const Rect outer = WindowRect();
  if (widget_ == nullptr || !widget_->isWindow()) return outer;
  return {outer.left, outer.top, outer.left + widget_->width(), outer.top + widget_->height()};
}

Rect Window::ClientRect() const {
  if (widget_ == nullptr) return {};
  return {0, 0, widget_->width(), widget_->height()};
}

Point Window::ClientToScreen(Point p) const {
  if (widget_ == nullptr) return p;
  const QPoint g = widget_->mapToGlobal(QPoint(p.x, p.y));
  return {g.x(), g.y()};
}

Point Window::ScreenToClient(Point p) const {
  if (widget_ == nullptr) return p;
  const QPoint l = widget_->mapFromGlobal(QPoint(p.x, p.y));
  return {l.x(), l.y()};
}

void Window::SetClientSize(Size s) {
  givenSize_ = s;
  if (widget_ != nullptr) widget_->resize(s.cx, s.cy);
}

void Window::SetMaximumSize(Size s) {
  if (widget_ == nullptr) return;
  // A lower limit only holds the window back from the size it was given: a higher one gives that
  // size back, unless the window has been sized otherwise since.
  const std::optional<QSize> given =
      givenSize_ ? std::optional(QSize(givenSize_->cx, givenSize_->cy)) : std::nullopt;
  const bool heldBack = given && widget_->size() == given->boundedTo(widget_->maximumSize());
  widget_->setMaximumSize(s.cx, s.cy);
  if (heldBack) widget_->resize(given->boundedTo(widget_->maximumSize()));
}

Rect Window::ScreenWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect a = screen->availableGeometry();
  return {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}

void Window::SetText(const std::string& text) {
  text_ = text;
  if (widget_ != nullptr) widget_->setWindowTitle(ToWidgetText(text));
}

std::string Window::Text() const {
  return widget_ != nullptr ? FromWidgetText(widget_->windowTitle()) : text_;
}

int Window::TextWidth(const std::string& text) const {
  const QFontMetrics metrics =
      widget_ != nullptr ? widget_->fontMetrics() : QFontMetrics(QApplication::font());
  return metrics.horizontalAdvance(ToWidgetText(text));
}

void Window::SetIcon(int iconId) {
  iconId_ = iconId;
  if (widget_ == nullptr) return;
  const QImage image = Resources::Image(iconId);
  if (!image.isNull()) widget_->setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

void Window::SetBackground(Color color) {
  background_ = color;
  if (widget_ == nullptr) return;
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, QColor(color.r, color.g, color.b));
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
}

void Window::Show() {
  hidden_ = false;
  if (widget_ != nullptr) widget_->show();
}

void Window::Hide() {
  hidden_ = true;
  if (widget_ != nullptr) widget_->hide();
}

bool Window::IsTopLevel() const { return widget_ != nullptr && widget_->isWindow(); }

bool Window::IsVisible() const { return widget_ != nullptr && widget_->isVisible(); }

void Window::ShowMaximized() {
  hidden_ = false;
  if (widget_ != nullptr) widget_->showMaximized();
}

void Window::ShowMinimized() {
  hidden_ = false;
  if (widget_ != nullptr) widget_->showMinimized();
}

bool Window::IsMaximized() const { return widget_ != nullptr && widget_->isMaximized(); }

bool Window::IsMinimized() const { return widget_ != nullptr && widget_->isMinimized(); }

void Window::BringToTop() {
  if (widget_ == nullptr) return;
  QWidget* top = widget_->window();
  // A window the user minimised comes back as it was before.
  if (top->isMinimized()) top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
  top->show();
  top->raise();
  top->activateWindow();
  // The input that asked for it may yet activate the window it came from (a double click on an
  // item of that window's tree): once that input has been handled, the window is raised again.
  QTimer::singleShot(0, top, [top] {
    top->raise();
    top->activateWindow();
  });
}

void Window::SetStaysOnTop(bool onTop) {
  staysOnTop_ = onTop;
  if (widget_ == nullptr) return;
  // Changing a window's flags hides it; a shown window comes back at once.
  const bool shown = widget_->isVisible();
  widget_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) widget_->show();
}

void Window::Enable(bool enabled) {
  enabled_ = enabled;
  if (widget_ != nullptr) widget_->setEnabled(enabled);
}

bool Window::IsEnabled() const { return widget_ != nullptr ? widget_->isEnabled() : enabled_; }

void Window::SetFocus() {
  if (widget_ != nullptr) widget_->setFocus(Qt::OtherFocusReason);
}

bool Window::HasFocus() const { return widget_ != nullptr && widget_->hasFocus(); }

bool Window::IsFocusOfItsWindow() const {
  return widget_ != nullptr && widget_->window()->focusWidget() == widget_;
}

void Window::Invalidate() {
  if (widget_ != nullptr) widget_->update();
}

void Window::UpdateNow() {
  if (widget_ == nullptr) return;
  // A window the window system has not shown yet cannot paint: it paints when it is exposed.
  const QWindow* handle = widget_->window()->windowHandle();
  if (handle != nullptr && handle->isExposed()) {
    widget_->repaint();
  } else {
    widget_->update();
  }
}

void Window::StartTimer(int id, int periodMs) {
  if (widget_ == nullptr) return;
  if (auto* app = Application::Instance()) app->Timers().Start(*this, id, periodMs);
}

void Window::KillTimer(int id) {
  if (auto* app = Application::Instance()) app->Timers().Kill(*this, id);
}

void Window::CaptureMouse() {
  if (widget_ != nullptr) g_capture = this;
}

void Window::ReleaseMouse() { g_capture = nullptr; }

Window* Window::MouseCapture() { return g_capture; }

bool Window::IdleAction(long) { return false; }

bool Window::PreProcessKey(const KeyStroke&) { return false; }

bool Window::RunIdle(long idleCount) {
  if (widget_ == nullptr) return false;
  bool more = false;
  Guarded("idle", [&] { more = IdleAction(idleCount); });
  // An idle action may delete windows; the set of live ones is asked only after one did, since
  // every pass visits each control of every open window.
  const unsigned long deleted = g_windowsDeleted;
  for (Window* child : std::vector<Window*>(children_)) {
    if (g_windowsDeleted != deleted && !IsLiveWindow(child)) continue;
    if (child->parent_ == this) more = child->RunIdle(idleCount) || more;
  }
  return more;
}

}  // namespace ui
