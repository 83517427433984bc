#pragma once

#include <functional>

#include "platform/ui/Window.h"

namespace namespaceOV {

// Applies a slider's position once the message queue has caught up with the drag: a drag that
// outruns the bus skips positions, keeps at most one write in flight, and always ends on the
// position where the user left the slider.
class LatestPosition {
 public:
  static constexpr ui::MessageId kApplyMessage = 1101;

  // `owner` receives the message that applies the position; `apply` gets it.
  LatestPosition(ui::Window& owner, std::function<void(int)> apply);
  void Moved(int position);

 private:
  ui::Window& owner_;
  std::function<void(int)> apply_;
  int position_ = 0;
  bool posted_ = false;
};

}  // namespace namespaceOV
