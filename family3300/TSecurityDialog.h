#pragma once

#include <optional>
#include <string>

#include "familycommon/LockLamp.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

namespace namespace3300 {

class IQDevice3300;

// Locks a bus unit, unlocks it with its six-character password (the lamp, or Enter released
// anywhere in the dialog), sets a new password and shows the service status. The edit window
// hears of every lock change (message 101 with the lock's id) and follows it.
class TSecurityDialog : public ui::Dialog {
 public:
  static constexpr ui::MessageId kObjectChangedMessage = 101;

  TSecurityDialog(IQDevice3300& device, ui::Window* parent);

  bool PreProcessKey(const ui::KeyStroke& key) override;
  const familycommon::LockLamp& Lamp() const { return lamp_; }
  // Shows the unit's lock as read by the caller; none shows it unknown.
  void ShowLock(std::optional<bool> locked);

 protected:
  void SetupWindow() override;

 private:
  void CmLock();
  void CmSetPassword();
  void CmStatus();
  // Sends the password entry to the unit when it has six characters, then follows the lock.
  void Unlock();
  // Writes the password entry; a failure other than a wrong password is reported.
  bool EnterPassword(const std::string& entry);
  // Reads the lock and shows it; what the unit answered, none when it failed.
  std::optional<bool> ShowUnitLock();
  void LockChanged();

  IQDevice3300& device_;
  ui::Edit password_;
  familycommon::LockLamp lamp_;
  ui::PushButton setPassword_;
};

}  // namespace namespace3300
