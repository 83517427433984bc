#include "familyov/unit/TOVWindow.h"

#include "familyov/unit/OVGuard.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

TOVWindow::TOVWindow(TEditOVWindow& editWindow, ui::Window& self, const std::string& title)
    : TDataWindow(&editWindow),
      editWindow_(&editWindow),
      device_(&editWindow.Device()),
      self_(&self) {
  SetTitle(title);
}

void TOVWindow::LinkToEditWindow() {
  SetLink2(self_);
  SetLink1(editWindow_);
}

void TOVWindow::SetOutputCountIcon() {
  constexpr struct {
    int outputs;
    int icon;
  } kIcons[] = {{6, 16}, {4, 17}, {2, 18}};
  for (const auto& [outputs, icon] : kIcons) {
    if (device_->outputs == outputs) self_->SetIcon(icon);
  }
}

void TOVWindow::NotifyClosed(int) {
  editWindow_->ChildClosed(kind);
  self_->Destroy();
}

void TOVWindow::SetTitle(const std::string& title) {
  title_ = title;
  ShowUnitName(GuardedDisplayName(*device_));
}

void TOVWindow::ShowUnitName(const std::string& displayName) {
  self_->SetText(title_ + "--" + displayName);
}

}  // namespace namespaceOV
