#include "familyov/unit/TMemoryWindow.h"

#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/TEditOVWindow.h"
#include "resources/AppIds.h"

namespace namespaceOV {

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

}  // namespace

int UnitSmallIconId(int outputs) {
  switch (outputs) {
    case 6:
      return appres::kOrdavinex26SmallIcon;
    case 4:
      return appres::kOrdavinex24SmallIcon;
    case 2:
      return appres::kOrdavinex22SmallIcon;
    default:
      return 0;
  }
}

TMemoryWindow::TMemoryWindow(TEditOVWindow& editWindow)
    : OVChild<ui::LayoutWindow>(editWindow, "Memory", nullptr), group_(this) {
  const ui::Rect area = ScreenWorkArea();
  SetRect({area.left, area.top, area.left + kWidth, area.top + kHeight});
  if (const int icon = UnitSmallIconId(Device().outputs)) SetIcon(icon);
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
