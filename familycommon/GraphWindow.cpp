#include "familycommon/GraphWindow.h"

#include "platform/ui/Message.h"

namespace familycommon {

GraphWindow::GraphWindow(ui::Window* parent, Keys keys) : ui::DrawnWindow(parent) {
  SetBackground(ui::kBlack);
  SetEdge(ui::WindowEdge::Sunken);
  SetMouseButtonsHandledAlone(true);
  OnMessage(ui::msg::kSize, [this](const ui::Message&) {
    Invalidate();
    return 0;
  });
  OnMessage(ui::msg::kLButtonDown, [this](const ui::Message& m) {
    EvLButtonDown(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(ui::msg::kMouseMove, [this](const ui::Message& m) {
    EvMouseMove(ui::UnpackPoint(m.lParam));
    return 0;
  });
  OnMessage(ui::msg::kLButtonUp, [this](const ui::Message&) {
    EvLButtonUp();
    return 0;
  });
  OnMessage(ui::msg::kRButtonDown, [this](const ui::Message& m) {
    EvRButtonDown(ui::UnpackPoint(m.lParam));
    return 0;
  });
  if (keys == Keys::kHandled) {
    OnMessage(ui::msg::kKeyDown, [this](const ui::Message& m) {
      EvKeyDown(static_cast<int>(m.wParam));
      return 0;
    });
  }
}

ui::Dc& GraphWindow::MouseDc() {
  if (!scratchDc_) scratchDc_ = std::make_unique<ui::Dc>(scratch_);
  return *scratchDc_;
}

}  // namespace familycommon
