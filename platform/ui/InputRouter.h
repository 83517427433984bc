#pragma once

#include "platform/ui/HeldKeys.h"

class QEvent;
class QObject;

namespace ui {

class Application;

// Sees every event once, before its receiver: tells idle processing that something happened,
// keeps each held key to the window it went down in, hands keys to the focus window's chain
// before the widget sees them, turns mouse input into window messages and routes it to the window
// holding the mouse capture.
class InputRouter {
 public:
  explicit InputRouter(Application& app) : app_(app) {}
  // True when the event is swallowed.
  bool Route(QObject* receiver, QEvent* e);

 private:
  bool RouteKey(QObject* receiver, QEvent* e);
  bool RouteMouse(QObject* receiver, QEvent* e);

  Application& app_;
  HeldKeys heldKeys_;
};

}  // namespace ui
