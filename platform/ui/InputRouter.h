#pragma once

#include <QObject>

class QInputEvent;

namespace ui {

class Application;

// Watches every event of the application: tells idle processing that something happened, hands
// keys to the focus window's chain before the widget sees them, turns mouse input into window
// messages and routes it to the window holding the mouse capture.
class InputRouter : public QObject {
 public:
  explicit InputRouter(Application& app) : app_(app) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool RouteKey(QObject* watched, QEvent* e);
  bool RouteMouse(QObject* watched, QEvent* e);
  // Qt hands an ignored input event on to the parent widgets; each event is routed only once.
  bool AlreadySeen(const QInputEvent* e);

  Application& app_;
  const QEvent* lastEvent_ = nullptr;
  quint64 lastTimestamp_ = 0;
  int lastType_ = 0;
};

}  // namespace ui
