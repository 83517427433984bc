#pragma once

#include <QEvent>
#include <QObject>

#include "platform/ui/Message.h"

namespace ui {

class Window;

// A posted window message travelling through Qt's event queue.
class MessageEvent : public QEvent {
 public:
  explicit MessageEvent(const Message& m) : QEvent(Type()), message(m) {}
  static QEvent::Type Type();
  Message message;
};

// Lives as a child of a window's widget and dies with it: receives the window's posted messages and
// watches the widget for closing, resizing and focus.
class WindowBridge : public QObject {
 public:
  WindowBridge(Window& window, QWidget& widget);
  ~WindowBridge() override;
  void Detach() { window_ = nullptr; }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  Window* window_;
};

}  // namespace ui
