#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/TLEDButton.h"
#include "familycommon/LockLamp.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespaceOV {

class IQDeviceOrdavinex;
class TEditOVWindow;

inline constexpr int kMaxPasswordChars = 11;

// Locks a unit, unlocks it with its password (the button, or Enter in the password field), gives
// it a new password and shows its service status. The unit keeps the password; the window shows
// the lock state it read last and calls `lockChanged` after each lock or unlock attempt, so the
// unit's window can read the state again.
class TSecurityDialog : public ui::Dialog {
 public:
  TSecurityDialog(IQDeviceOrdavinex& device, ui::Window* parent, std::function<void()> lockChanged);

  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  void CmLockUnlock();
  void CmSetPassword();
  void CmServiceStatus();
  // Sends the password field to a locked unit; true when the unit was locked.
  bool TryUnlock();
  void ShowLock(bool locked);

  // A key went down in a security window since the last Enter was taken: an Enter released
  // without it (the one that opened the window, say) is not meant for the password.
  static inline bool keyDownSeen_ = false;

  IQDeviceOrdavinex& device_;
  std::function<void()> lockChanged_;
  ui::Edit password_;
  familycommon::LockLamp lamp_;
  ui::StaticText lockText_;
  ui::PushButton setPassword_;
  TLEDButton serviceStatus_;
};

// The security window of the unit's window: a child window that tells the unit's window of every
// lock change.
std::unique_ptr<ui::Window> MakeSecurityWindow(TEditOVWindow& editWindow);

// "Status: " and each of up to 12 status bytes as two hex digits and a space.
std::string ServiceStatusText(const std::vector<uint8_t>& status);

}  // namespace namespaceOV
