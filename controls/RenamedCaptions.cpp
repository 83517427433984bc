#include "controls/RenamedCaptions.h"

#include "platform/ui/Control.h"
#include "platform/ui/Window.h"

namespace {

void Rename(ui::Window& window, std::span<const CaptionName> names) {
  if (!window.IsCreated() || dynamic_cast<const ui::Control*>(&window) != nullptr) return;
  std::string text = window.Text();
  for (const CaptionName& name : names) {
    const std::size_t at = name.before.empty() ? std::string::npos : text.find(name.before);
    if (at != std::string::npos) text.replace(at, name.before.size(), name.after);
  }
  if (text != window.Text()) window.SetText(text);
  for (ui::Window* child : window.Children()) Rename(*child, names);
}

}  // namespace

void FollowRename(std::span<ui::Window* const> windows, std::span<const CaptionName> names) {
  for (ui::Window* window : windows) {
    if (window != nullptr) Rename(*window, names);
  }
}
