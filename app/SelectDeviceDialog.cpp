#include "app/SelectDeviceDialog.h"

#include "bus/IQDeviceType.h"
#include "platform/ui/ImageList.h"
#include "resources/AppIds.h"

TSelectDeviceDialog::TSelectDeviceDialog(ui::Window* parent,
                                         const std::vector<IQDeviceType*>& types,
                                         const ui::ImageList& images, int& selection)
    : ui::Dialog(parent, appres::kSelectDeviceDialog),
      types_(types),
      images_(images),
      selection_(selection),
      list_(this, appres::kTypeList),
      picture_(this, appres::kTypePicture) {
  OnNotify(appres::kTypeList, ui::Notify::SelChange, [this](const ui::Notification&) {
    DrawTypePicture();
    return ui::Param{0};
  });
  OnNotify(appres::kTypeList, ui::Notify::DoubleClick, [this](const ui::Notification&) {
    CloseWindow(ui::kIdOk);
    return ui::Param{0};
  });
}

void TSelectDeviceDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  if (types_.empty()) return;
  list_.Clear();
  for (const IQDeviceType* type : types_) list_.AddString(type->GetName());
  list_.SetSelection(0);
  DrawTypePicture();
}

void TSelectDeviceDialog::DrawTypePicture() {
  selection_ = list_.Selection();
  picture_.SetImage(images_.Image(selection_));
}
