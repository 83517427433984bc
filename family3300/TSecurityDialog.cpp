#include "family3300/TSecurityDialog.h"

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Parameters3300.h"
#include "familycommon/ServiceStatus.h"
#include "familycommon/SetPassDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/Family3300Ids.h"

namespace namespace3300 {
namespace {

constexpr int kWrongPasswordCode = 9;
constexpr std::size_t kStatusBytesShown = 6;

}  // namespace

TSecurityDialog::TSecurityDialog(IQDevice3300& device, ui::Window* parent)
    : ui::Dialog(parent, res3300::kSecurityDialog),
      device_(device),
      password_(this, res3300::kPasswordEdit, kPasswordChars),
      lamp_(this, res3300::kLockLamp),
      setPassword_(this, res3300::kSetPasswordButton) {
  OnCommand(res3300::kLockLamp, [this] { CmLock(); });
  OnCommand(res3300::kSetPasswordButton, [this] { CmSetPassword(); });
  OnCommand(res3300::kStatusButton, [this] { CmStatus(); });
}

void TSecurityDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ShowUnitLock();
  password_.SetValidator(
      std::make_unique<ui::CharSetValidator>(SetPassDialog::kPasswordCharacters));
}

std::optional<bool> TSecurityDialog::ShowUnitLock() {
  std::optional<bool> locked;
  controls::GuardedBusCall(&device_, [&] { locked = device_.IsLocked(); });
  ShowLock(locked);
  return locked;
}

void TSecurityDialog::ShowLock(std::optional<bool> locked) {
  if (!locked) {
    lamp_.ShowUnknown();
    return;
  }
  lamp_.Show(*locked);
  setPassword_.Enable(!*locked);
}

void TSecurityDialog::LockChanged() {
  if (Parent() != nullptr) Parent()->Post(kObjectChangedMessage, 0, g3300Lock.GetId());
}

void TSecurityDialog::Unlock() {
  const std::string entry = password_.Text();
  if (static_cast<int>(entry.size()) != kPasswordChars) return;
  // An entry is spent once sent, taken or not: the password is not left on the screen. Whatever
  // became of it (one whose reply was lost may still have unlocked the unit) the lamp shows the
  // lock the unit holds; the edit window follows an entry the unit took.
  const auto showUnit = [this] {
    password_.SetText("");
    return ShowUnitLock();
  };
  controls::ApplyChange([&] { return EnterPassword(entry); }, {.taken =
                                                                   [&] {
                                                                     if (showUnit() == false)
                                                                       LockChanged();
                                                                   },
                                                               .showUnit = showUnit,
                                                               .showUnknown = {}});
}

bool TSecurityDialog::EnterPassword(const std::string& entry) {
  try {
    g3300PasswordEntry.Write(device_, entry, kPasswordChars);
    return true;
  } catch (const ErrorObject& e) {
    // A wrong password is answered by the lamp staying lit.
    if (e.code != kWrongPasswordCode) controls::ReportDeviceError(e, &device_, e.code);
  } catch (const IQException& e) {
    controls::ReportDeviceError(e, &device_, controls::kNoUnitErrorCode);
  }
  return false;
}

void TSecurityDialog::CmLock() {
  bool locked = false;
  if (!controls::GuardedBusCall(&device_, [&] { locked = device_.IsLocked(); })) return;
  if (locked) {
    Unlock();
    return;
  }
  if (ui::MessageBox(this, "Lock the device? (Make sure a password has been ENTERED and recorded).",
                     "Security", ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  // Whatever became of the lock (a lost reply may have locked the unit all the same) the lamp
  // shows the lock the unit holds, and the edit window follows a unit that holds the lock.
  const auto showUnit = [this] {
    if (ShowUnitLock() == true) LockChanged();
  };
  controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(&device_, [this] { g3300Lock.Write(device_, true); });
      },
      {.taken = showUnit, .showUnit = showUnit, .showUnknown = {}});
}

bool TSecurityDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code == ui::key::kReturn && !key.down) {
    Unlock();
    return true;
  }
  // Keys going down reach the focused control, never the dialog's own handling: Enter presses no
  // button and Escape does not close the page.
  return key.down && (key.code == ui::key::kReturn || key.code == ui::key::kEscape);
}

void TSecurityDialog::CmSetPassword() {
  SetPassDialog dialog(this, kPasswordChars, kPasswordChars);
  if (dialog.Execute() != ui::kIdOk) return;
  controls::GuardedBusCall(
      &device_, [&] { g3300NewPassword.Write(device_, dialog.Password(), kPasswordChars); });
}

void TSecurityDialog::CmStatus() {
  familycommon::ShowServiceStatus(this, device_, g3300Status, kStatusBytesShown);
}

}  // namespace namespace3300
