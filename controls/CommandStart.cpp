#include "controls/CommandStart.h"

#include "controls/ClientWindow.h"
#include "platform/ui/MessageBox.h"

namespace controls {

bool StopsAtLock(LockState state, const std::string& text, const std::string& caption) {
  if (state == LockState::kLocked) {
    ui::MessageBox(ClientWindow(), text, caption, ui::mb::kOk | ui::mb::kIconStop);
  }
  return state != LockState::kFree;
}

}  // namespace controls
