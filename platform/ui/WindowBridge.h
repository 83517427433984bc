#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

#include "platform/ui/Message.h"

namespace ui {

class Window;

// A posted window message travelling through Qt's event queue.
class MessageEvent : public QEvent {
 public:
  explicit MessageEvent(const Message& m) : QEvent(Type()), message(m) {}
  static QEvent::Type Type();
  MessageEvent* clone() const override { return new MessageEvent(*this); }
  Message message;
};

// A call travelling through Qt's event queue like a posted message; the layer's event entry runs
// it when it reaches its receiver, and it goes with the receiver if that goes first.
class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::function<void()> call) : QEvent(Type()), call_(std::move(call)) {}
  static QEvent::Type Type();
  CallEvent* clone() const override { return new CallEvent(*this); }
  void Run() const { call_(); }

 private:
  std::function<void()> call_;
};

// Runs `call` after the current handler has returned, as a posted message would run.
void PostCall(QObject& receiver, std::function<void()> call);

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
