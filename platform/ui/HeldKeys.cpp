#include "platform/ui/HeldKeys.h"

#include <QKeyEvent>
#include <algorithm>

namespace ui {

namespace {
// The physical key where the platform says which, so that a modifier pressed or released meanwhile
// (Shift turning Tab into Backtab) does not make its release another key.
std::uint32_t KeyOf(const QKeyEvent& e) {
  constexpr std::uint32_t kVirtualKey = 1u << 31;
  if (e.nativeScanCode() != 0) return e.nativeScanCode();
  return kVirtualKey | static_cast<std::uint32_t>(e.key());
}
}  // namespace

bool HeldKeys::Admit(const QKeyEvent& e, const QWidget& receiver) {
  if (!e.spontaneous()) return true;
  const std::uint32_t key = KeyOf(e);
  const QWidget* window = receiver.window();
  auto held =
      std::find_if(held_.begin(), held_.end(), [key](const Held& h) { return h.key == key; });
  const bool press = e.type() == QEvent::KeyPress;
  if (press && !e.isAutoRepeat()) {
    if (held == held_.end()) {
      held_.push_back({key, window});
    } else {
      *held = {key, window};
    }
    hold_.Begin();
    return true;
  }
  const bool owned = held != held_.end() && held->window == window && !held->ended;
  if (e.isAutoRepeat()) return press && owned;
  if (held != held_.end()) held_.erase(held);
  if (held_.empty()) hold_.LetGo();
  return owned;
}

}  // namespace ui
