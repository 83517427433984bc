#include "controls/PressDragRelease.h"

#include "platform/ui/Message.h"

namespace controls {

void RouteLeftButton(ui::Window& control, PressDragRelease handlers) {
  control.OnMessage(ui::msg::kLButtonDown, [press = handlers.press](const ui::Message& m) {
    press(ui::UnpackPoint(m.lParam));
    return ui::Param{0};
  });
  control.OnMessage(ui::msg::kMouseMove, [drag = handlers.drag](const ui::Message& m) {
    drag(ui::UnpackPoint(m.lParam));
    return ui::Param{0};
  });
  control.OnMessage(ui::msg::kLButtonUp, [release = handlers.release](const ui::Message&) {
    release();
    return ui::Param{0};
  });
}

}  // namespace controls
