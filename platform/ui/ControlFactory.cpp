#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/TreeView.h"

namespace ui {

std::unique_ptr<Control> MakeDefaultControl(Window* parent, const ControlTemplate& t) {
  switch (t.kind) {
    case ControlKind::Static:
      return std::make_unique<StaticText>(parent, t.id);
    case ControlKind::Picture:
      return std::make_unique<Picture>(parent, t.id);
    case ControlKind::Line:
      return std::make_unique<Line>(parent, t.id);
    case ControlKind::GroupBox:
      return std::make_unique<GroupBox>(parent, t.id);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBox>(parent, t.id);
    case ControlKind::RadioButton:
      return std::make_unique<RadioButton>(parent, t.id);
    case ControlKind::Edit:
      return std::make_unique<Edit>(parent, t.id);
    case ControlKind::ComboBox:
      return std::make_unique<ComboBox>(parent, t.id);
    case ControlKind::ListBox:
      return std::make_unique<ListBox>(parent, t.id);
    case ControlKind::ListView:
      return std::make_unique<ListView>(parent, t.id);
    case ControlKind::TreeView:
      return std::make_unique<TreeView>(parent, t.id);
    case ControlKind::Trackbar:
      return std::make_unique<Trackbar>(parent, t.id);
    case ControlKind::UpDown:
      return std::make_unique<UpDown>(parent, t.id);
    case ControlKind::ProgressBar:
      return std::make_unique<ProgressBar>(parent, t.id);
    // An owner-drawn entry that no class claimed is shown as an ordinary button.
    case ControlKind::PushButton:
    case ControlKind::OwnerDrawButton:
      return std::make_unique<PushButton>(parent, t.id);
  }
  return std::make_unique<StaticText>(parent, t.id);
}

}  // namespace ui
