#include "family8100/filters/EditorFrame8100.h"

#include "bus/IQDeviceType.h"
#include "family8100/unit/IQDevice8100.h"

namespace namespace8100 {

EditorFrame8100::EditorFrame8100(const EditorRequest& request)
    : ui::Frame(request.caption, nullptr),
      unit_(request.unit),
      owner_(request.owner),
      view_(request.view) {
  // The model's icon, as in the device lists and the unit's edit window.
  if (const IQDeviceType* type = unit_.GetType()) {
    if (const auto icon = type->CreateSmallIcon()) SetIcon(*icon);
  }
}

EditorFrame8100::~EditorFrame8100() { Destroy(); }

void EditorFrame8100::CloseWindow(int) {
  if (!IsCreated() || !CanClose()) return;
  Destroy();
  owner_.Post(kEditorClosed, 0, static_cast<ui::Param>(view_));
}

void EditorFrame8100::CleanupWindow() {
  EditorPlace& place = unit_.editorPlaces.at(static_cast<std::size_t>(view_));
  place.maximized = IsMaximized();
  if (!place.maximized && !IsMinimized()) place.rect = PlacementRect();
  ui::Frame::CleanupWindow();
}

}  // namespace namespace8100
