#include "familyov/unit/TLogicWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

namespace {

constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr int kDialogWidthLayoutUnits = 142;

}  // namespace

TLogicWindow::TLogicWindow(TEditOVWindow& editWindow)
    : OVChild<ui::LayoutWindow>(editWindow, "Logic", nullptr),
      dialog_(this, Device()),
      list_(this, Device()) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetIcon(Device().GetModelBitmapId());
  using ui::Edge;
  using ui::EdgeRule;
  SetChildMetrics(dialog_, {EdgeRule::SameAs(Edge::Left, nullptr, Edge::Left),
                            EdgeRule::Absolute(Edge::Width, kDialogWidthLayoutUnits, true),
                            EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                            EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
  SetChildMetrics(list_, {EdgeRule::SameAs(Edge::Left, &dialog_, Edge::Right),
                          EdgeRule::SameAs(Edge::Right, nullptr, Edge::Right),
                          EdgeRule::SameAs(Edge::Top, nullptr, Edge::Top),
                          EdgeRule::SameAs(Edge::Bottom, nullptr, Edge::Bottom)});
}

TLogicWindow::~TLogicWindow() { Destroy(); }

}  // namespace namespaceOV
