#include "platform/ui/CopyForLater.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPointingDevice>
#include <functional>

#include "platform/ui/WindowBridge.h"

namespace ui {

namespace {

// What a pointer event says, as it said it when it was kept.
struct PointerValues {
  explicit PointerValues(const QSinglePointEvent& e)
      : type(e.type()),
        device(e.pointingDevice()),
        position(e.position()),
        scenePosition(e.scenePosition()),
        globalPosition(e.globalPosition()),
        button(e.button()),
        buttons(e.buttons()),
        modifiers(e.modifiers()) {}

  // The device may have gone meanwhile (a mouse unplugged): the event comes from the usual one.
  const QPointingDevice* Device() const {
    return device.isNull() ? QPointingDevice::primaryPointingDevice() : device.data();
  }

  QEvent::Type type;
  QPointer<const QPointingDevice> device;
  QPointF position;
  QPointF scenePosition;
  QPointF globalPosition;
  Qt::MouseButton button;
  Qt::MouseButtons buttons;
  Qt::KeyboardModifiers modifiers;
};

// Makes the event anew, from the values it has now; null for an event this does not know.
using Remaker = std::function<std::unique_ptr<QPointerEvent>()>;

Remaker RemakerOf(const QEvent& e) {
  if (!e.isSinglePointEvent()) return nullptr;
  const PointerValues v(static_cast<const QSinglePointEvent&>(e));
  switch (e.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return [v, source = static_cast<const QMouseEvent&>(e).source()] {
        return std::make_unique<QMouseEvent>(v.type, v.position, v.scenePosition, v.globalPosition,
                                             v.button, v.buttons, v.modifiers, source, v.Device());
      };
    case QEvent::Wheel: {
      const auto& wheel = static_cast<const QWheelEvent&>(e);
      return [v, pixels = wheel.pixelDelta(), angle = wheel.angleDelta(), phase = wheel.phase(),
              inverted = wheel.inverted(), source = wheel.source()] {
        return std::make_unique<QWheelEvent>(v.position, v.globalPosition, pixels, angle, v.buttons,
                                             v.modifiers, phase, inverted, source, v.Device());
      };
    }
    case QEvent::Enter:
      return [v] {
        return std::make_unique<QEnterEvent>(v.position, v.scenePosition, v.globalPosition,
                                             v.Device());
      };
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
      // Qt makes a hover event's position its scene position, and a widget reads the position.
      return [v, old = static_cast<const QHoverEvent&>(e).oldPosF()] {
        return std::make_unique<QHoverEvent>(v.type, v.position, v.globalPosition, old, v.modifiers,
                                             v.Device());
      };
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<QEvent> CopyForLater(QObject& receiver, const QEvent& e) {
  Remaker remake = RemakerOf(e);
  if (!remake) return std::unique_ptr<QEvent>(e.clone());
  return std::make_unique<CallEvent>([target = QPointer<QObject>(&receiver),
                                      remake = std::move(remake),
                                      timestamp = static_cast<const QInputEvent&>(e).timestamp()] {
    if (target.isNull()) return;
    const std::unique_ptr<QPointerEvent> event = remake();
    event->setTimestamp(timestamp);
    QCoreApplication::sendEvent(target.data(), event.get());
  });
}

}  // namespace ui
