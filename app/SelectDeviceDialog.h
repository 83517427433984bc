#pragma once

#include <vector>

#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"

class IQDeviceType;
namespace ui {
class ImageList;
}

// "Select Device": the type of a new virtual device, by name, with the type's icon beside the
// list. `selection` receives the position of the chosen type.
class TSelectDeviceDialog : public ui::Dialog {
 public:
  TSelectDeviceDialog(ui::Window* parent, const std::vector<IQDeviceType*>& types,
                      const ui::ImageList& images, int& selection);

 protected:
  void SetupWindow() override;

 private:
  void DrawTypePicture();

  const std::vector<IQDeviceType*>& types_;
  const ui::ImageList& images_;
  int& selection_;
  ui::ListBox list_;
  ui::Picture picture_;
};
