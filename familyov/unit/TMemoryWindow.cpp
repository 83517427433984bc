#include "familyov/unit/TMemoryWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

}  // namespace

TMemoryWindow::TMemoryWindow(TEditOVWindow& editWindow)
    : OVChild<ui::LayoutWindow>(editWindow, "Memory", nullptr), group_(this) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  SetOutputCountIcon();
  SetChildMetrics(group_, ui::LayoutMetrics::FillingClientArea());
  title_ = std::make_unique<TMemoryTitleDialog>(&group_, Device());
  for (int memory = 1; memory <= Device().GetMemoryCount(); ++memory) {
    rows_.push_back(std::make_unique<TMemoryDialog>(&group_, Device(), memory));
  }
}

TMemoryWindow::~TMemoryWindow() { Destroy(); }

void TMemoryWindow::SetupWindow() {
  ui::LayoutWindow::SetupWindow();
  group_.AddPane(title_.get(), true);
  for (auto& row : rows_) group_.AddPane(row.get(), true);
}

}  // namespace namespaceOV
