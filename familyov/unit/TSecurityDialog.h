#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "controls/IdlePoll.h"
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
// it a new password and shows its service status. The unit keeps the password; the lamp shows the
// lock the unit holds, or unknown while the unit has not said, and `lockChanged` is called after
// each lock or unlock the unit takes, so that the unit's other windows follow.
class TSecurityDialog : public ui::Dialog {
 public:
  TSecurityDialog(IQDeviceOrdavinex& device, ui::Window* parent, std::function<void()> lockChanged);

  bool PreProcessKey(const ui::KeyStroke& key) override;
  // Reads the lock a silent unit did not give once it answers.
  bool IdleAction(long idleCount) override;

 protected:
  void SetupWindow() override;

 private:
  void CmLockUnlock();
  void CmSetPassword();
  void CmServiceStatus();
  // Sends the password field to the unit.
  void Unlock();
  // Writes a lock or a password as one change the user made (controls::ApplyChange).
  void ChangeLock(const std::function<void()>& write);
  // The lock as the unit holds it, shown; none, and the lamp unknown, when the unit did not say.
  std::optional<bool> ShowUnitLock();
  void ShowLock(bool locked);
  void ShowLockUnknown();

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
  // The lock the unit did not give while it was silent or a change of it was in doubt.
  controls::OwedRead lockOwed_;
};

// The security window of the unit's window: a child window that tells the unit's window of every
// lock change.
std::unique_ptr<ui::Window> MakeSecurityWindow(TEditOVWindow& editWindow);

// "Status: " and each of up to 12 status bytes as two hex digits and a space.
std::string ServiceStatusText(const std::vector<uint8_t>& status);

}  // namespace namespaceOV
