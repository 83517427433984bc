#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/Message.h"
#include "platform/ui/draw/Color.h"
#include "platform/ui/draw/Geometry.h"

class QWidget;
class QObject;

namespace ui {

class WindowBridge;

// What a control tells its parent.
enum class Notify {
  Changed,
  SelChange,
  DoubleClick,
  SetFocus,
  KillFocus,
  ItemChanged,
  BeginDrag,
  EndLabelEdit,
  DeltaPos,
  Scroll,
  RightClick,  // item under the mouse or -1; value: the point, packed, in the control's coordinates
  ColumnClick,  // value: the column whose header was clicked
};

// The border a child window draws around its content.
enum class WindowEdge {
  None,
  Line,    // a thin black line
  Sunken,  // a recessed two-pixel edge, as around a graph or a list
};

enum class ScrollCode {
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  ThumbTrack,
  ThumbPosition,
  Top,
  Bottom,
  EndScroll
};

struct Notification {
  int controlId = 0;
  ui::Notify code = ui::Notify::Changed;
  class Window* control = nullptr;
  int item = -1;     // list, tree or combo item the notification is about, -1 for none
  Param value = 0;   // delta, scroll code, new state, ... as the notification says
  std::string text;  // the new label of an end-of-label-edit
};

// A window object: owns a Qt widget between Create and Destroy and outlives it. Every call on a
// window that is not created does nothing (or answers a neutral value).
// A subclass whose cleanup or widget callbacks use its own members calls Destroy in its own
// destructor, while those members still exist.
class Window {
 public:
  using MessageHandler = std::function<Param(const Message&)>;
  using NotifyHandler = std::function<Param(const Notification&)>;

  explicit Window(Window* parent = nullptr);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Makes the widget and then the children's, in creation order; a no-op when already created.
  void Create();
  void Destroy();
  bool IsCreated() const { return widget_ != nullptr; }
  // A window of its own on the screen (a frame, a dialog that is not embedded in another window),
  // rather than a part of its parent's.
  bool IsTopLevel() const;
  QWidget* Widget() const { return widget_; }

  Window* Parent() const { return parent_; }
  // Moves a window that is not created under another parent (a frame adopting its client).
  void SetParent(Window* parent);
  const std::vector<Window*>& Children() const { return children_; }
  // The window that holds `widget` or one of its ancestors, if any.
  static Window* FromWidget(const QWidget* widget);
  // The window holding the keyboard focus, if any.
  static Window* FocusWindow();

  // Messages: Post queues (first in, first out, after the current handler returns); Send calls now.
  void Post(MessageId id, Param wParam = 0, Param lParam = 0);
  Param Send(MessageId id, Param wParam = 0, Param lParam = 0);
  void OnMessage(MessageId id, MessageHandler handler);
  bool HandlesMessage(MessageId id) const { return messages_.count(id) != 0; }

  // Commands and enablers this window handles; commands reach it routed from the focus window.
  void OnCommand(int id, std::function<void()> handler) {
    commands_.OnCommand(id, std::move(handler));
  }
  void OnEnable(int id, std::function<void(CommandState&)> enabler) {
    commands_.OnEnable(id, std::move(enabler));
  }
  const CommandTable& Commands() const { return commands_; }

  // Control notifications this window receives from its children, by control id and kind.
  void OnNotify(int controlId, ui::Notify code, NotifyHandler handler);
  Param SendNotify(const Notification& n);

  // Closing: CanClose asks the window (by default, all its children); CloseWindow closes if
  // allowed.
  virtual bool CanClose();
  virtual void CloseWindow(int result = kIdCancel);
  // Called after the handler that closed the window has returned (the owner may delete it then).
  void OnClosed(std::function<void()> callback) { onClosed_ = std::move(callback); }

  // Geometry. A rectangle set before Create is applied by Create.
  void SetRect(const Rect& r);
  Rect WindowRect() const;  // in the parent's client coordinates (screen for a top-level window)
  // What SetRect takes to put the window back where and as large as it is now: a window's frame
  // is not part of the size SetRect gives it.
  Rect PlacementRect() const;
  Rect ClientRect() const;
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;
  void SetClientSize(Size s);
  // The user cannot make the window larger than this. A window held back by a lower limit grows
  // again, up to the size it was last given, when the limit is raised.
  void SetMaximumSize(Size s);
  // A window without a sizing border: it keeps the size it is created with, and the user cannot
  // change it. Set before Create.
  void SetFixedSize(bool fixed) { fixedSize_ = fixed; }
  static Rect ScreenWorkArea();

  virtual void SetText(const std::string& text);
  virtual std::string Text() const;
  // The width in pixels of `text` in the window's font (column widths fitted to sample texts).
  int TextWidth(const std::string& text) const;
  void SetIcon(int iconId);
  // The colour the window's background is filled with (by default its style's).
  void SetBackground(Color color);
  // The border drawn over the rim of the window, above its content; set before Create.
  void SetEdge(WindowEdge edge) { edge_ = edge; }

  void Show();
  void Hide();
  bool IsVisible() const;
  // A top-level window shown filling the work area or as an icon; the state the user left it in.
  void ShowMaximized();
  void ShowMinimized();
  bool IsMaximized() const;
  bool IsMinimized() const;
  // Keeps a top-level window above every other window (a failure report, say).
  void SetStaysOnTop(bool onTop);
  // Raises the window's top-level window above the others, restored if minimised, and makes it
  // the active one (a window the user opens again while it is still open).
  void BringToTop();
  void Enable(bool enabled);
  bool IsEnabled() const;
  void SetFocus();
  bool HasFocus() const;
  // The window its top-level window gives the keyboard to, whether or not that window is active.
  bool IsFocusOfItsWindow() const;
  // Virtual: a window that draws itself must be drawn again, not only shown again, whoever asks.
  virtual void Invalidate();
  // Paints what is invalid now, without waiting for the message loop (progress during long work).
  void UpdateNow();

  // Window timers, delivered as msg::kTimer with the id in wParam.
  void StartTimer(int id, int periodMs);
  void KillTimer(int id);

  // With `alone` set, the window's own handlers of the mouse-button messages replace the widget's
  // handling of those buttons (a button that acts on presses itself is then never clicked).
  void SetMouseButtonsHandledAlone(bool alone) { mouseButtonsAlone_ = alone; }
  bool MouseButtonsHandledAlone() const { return mouseButtonsAlone_; }

  // Mouse capture: while set, every mouse message goes to this window.
  void CaptureMouse();
  static void ReleaseMouse();
  static Window* MouseCapture();

  // Called when the message queue is empty; return true to be called again before the next message.
  virtual bool IdleAction(long idleCount);
  // Keys reach the focus window and then its parents before the widget sees them; true swallows.
  virtual bool PreProcessKey(const KeyStroke& key);
  // Puts `child` where the window's layout wants it at the window's present size, also while
  // the window is hidden; false while the window cannot place it yet (a frame's client before
  // the frame holds it). Sizes measured around the child are true after it.
  virtual bool PlaceChild(const Window& /*child*/) { return true; }

  // Runs IdleAction on this window and its tree; true when any wants more idle time.
  bool RunIdle(long idleCount);
  // Delivery entry used by the layer's event handling; catches every exception.
  Param Dispatch(const Message& m);

 protected:
  // The widget this window shows; a plain widget by default.
  virtual QWidget* MakeWidget(QWidget* parentWidget);
  // Where the children's widgets go: the window's widget, or an inner area of it.
  virtual QWidget* ChildArea() const { return widget_; }
  virtual void CreateChildren();
  // After the widget and the children's widgets exist / before they go.
  virtual void SetupWindow() {}
  virtual void CleanupWindow() {}
  // Keeps what the widget holds (text, check state) in the object before the widget goes.
  virtual void KeepState() {}
  // After the widget went, whoever destroyed it.
  virtual void WidgetDestroyed() {}
  // A child is leaving: it is being deleted or moved under another parent.
  virtual void ChildLeaving(Window& /*child*/) {}
  virtual Param DefaultMessage(const Message&) { return 0; }

 private:
  friend class WindowBridge;
  void WidgetGone();
  void ApplyAttributes();
  void LeaveParent();

  Window* parent_ = nullptr;
  std::vector<Window*> children_;
  QWidget* widget_ = nullptr;
  WindowBridge* bridge_ = nullptr;
  std::unordered_map<MessageId, MessageHandler> messages_;
  std::unordered_map<long long, NotifyHandler> notifications_;
  CommandTable commands_;
  std::function<void()> onClosed_;
  std::string text_;
  int iconId_ = 0;
  std::optional<Color> background_;
  bool hasRect_ = false;
  Rect rect_;
  std::optional<Size> givenSize_;  // by SetRect or SetClientSize, before any maximum size
  bool enabled_ = true;
  bool hidden_ = false;
  bool staysOnTop_ = false;
  bool fixedSize_ = false;
  bool mouseButtonsAlone_ = false;
  WindowEdge edge_ = WindowEdge::None;
};

// True while `w` is a live window object (not yet destroyed as a C++ object).
bool IsLiveWindow(const Window* w);
// Created windows without a parent window (the roots of idle processing), in creation order.
std::vector<Window*> TopLevelWindows();

}  // namespace ui
