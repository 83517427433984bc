#pragma once

#include <optional>
#include <string>

#include "familycommon/LockLamp.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"

namespace namespace8100 {

class IQDevice8100;

// The security page of a unit: locks it after asking, unlocks it with the password typed (the
// lamp, or Enter in the page), sets a new password while it is unlocked and shows the service
// status. Only the unit knows its password: the page shows the lock as read back and tells its
// parent of every lock change (message 101 with the lock's id).
class TSecurityDialog : public ui::Dialog {
 public:
  static constexpr ui::MessageId kObjectChanged = 101;
  // Sent to the parent just before the unit is locked, while it still takes what the other pages
  // hold.
  static constexpr ui::MessageId kLocking = 103;
  // Posted to the parent when the page could not read the lock: it reads it again, and shows it
  // here, once the unit answers.
  static constexpr ui::MessageId kLockNotRead = 104;
  static constexpr int kPasswordChars = 11;

  TSecurityDialog(ui::Window* parent, IQDevice8100& unit);

  // Enter unlocks a locked unit when it is released; neither Enter nor Escape presses a button or
  // closes the page.
  bool PreProcessKey(const ui::KeyStroke& key) override;
  const familycommon::LockLamp& Lamp() const { return lamp_; }
  // The lock, and the unit's list text in the caption, which names a locked unit so.
  void ShowLock(bool locked);

 protected:
  void SetupWindow() override;

 private:
  void CmLock();
  void CmSetPassword();
  void Lock();
  // Sends the password typed; a wrong one leaves the page as it was, without a word.
  void Unlock();
  // The lock as the unit holds it, shown; unknown, and shown so, when the unit did not answer.
  std::optional<bool> ShowUnitLock();
  void ShowLockUnknown();
  void LockChanged();
  std::string UnitCaption() const;

  IQDevice8100& unit_;
  familycommon::LockLamp lamp_;
  ui::PushButton setPassword_;
  ui::StaticText lockCaption_;
  ui::Edit password_;
  // Only an Enter pressed in this page unlocks: the release of one that answered a box must not.
  bool enterDown_ = false;
};

}  // namespace namespace8100
