#include "familyov/unit/TSecurityDialog.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "familycommon/SetPassDialog.h"
#include "familyov/unit/IQDeviceOrdavinex.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "familyov/unit/TOVWindow.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyOvCommandIds.h"

namespace namespaceOV {
namespace {

constexpr std::size_t kServiceStatusBytes = 12;

}  // namespace

std::string ServiceStatusText(const std::vector<uint8_t>& status) {
  std::string text = "Status: ";
  for (std::size_t i = 0; i < std::min(status.size(), kServiceStatusBytes); ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%.2X ", status[i]);
    text += hex;
  }
  return text;
}

TSecurityDialog::TSecurityDialog(IQDeviceOrdavinex& device, ui::Window* parent,
                                 std::function<void()> lockChanged)
    : ui::Dialog(parent, ovres::kSecurityDialog),
      device_(device),
      lockChanged_(std::move(lockChanged)),
      password_(this, ovres::kPasswordEdit, kMaxPasswordChars),
      lamp_(this, ovres::kLockButton),
      lockText_(this, ovres::kLockText),
      setPassword_(this, ovres::kSetPasswordButton),
      serviceStatus_(this, ovres::kServiceStatusButton) {
  OnCommand(ovres::kLockButton, [this] { CmLockUnlock(); });
  OnCommand(ovres::kSetPasswordButton, [this] { CmSetPassword(); });
  OnCommand(ovres::kServiceStatusButton, [this] { CmServiceStatus(); });
}

void TSecurityDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  GuardedUnitCall(device_, [this] { ShowLock(gLockedObject.Read(device_)); });
  password_.SetValidator(
      std::make_unique<ui::CharSetValidator>(SetPassDialog::kPasswordCharacters));
  password_.SetText("");
}

void TSecurityDialog::ShowLock(bool locked) {
  lamp_.Show(locked);
  lockText_.SetText(locked ? "Unlock device" : "Lock device");
  setPassword_.Enable(!locked);
}

bool TSecurityDialog::TryUnlock() {
  if (!gLockedObject.Read(device_)) return false;
  gPasswordObject.Write(device_, password_.Text(), kMaxPasswordChars);
  ShowLock(gLockedObject.Read(device_));
  return true;
}

void TSecurityDialog::CmLockUnlock() {
  GuardedUnitCall(device_, [this] {
    if (!TryUnlock()) {
      if (ui::MessageBox(this, "Lock the device?", "Security",
                         ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
        return;
      }
      gLockedObject.Write(device_, true);
      if (gLockedObject.Read(device_)) ShowLock(true);
    }
    if (lockChanged_) lockChanged_();
  });
}

bool TSecurityDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn) {
    if (key.down) keyDownSeen_ = true;
    return ui::Dialog::PreProcessKey(key);
  }
  // Enter acts when it is released; going down it only marks that it was pressed here, and
  // never reaches the dialog's own handling (the window has nothing to close on Enter).
  if (key.down) {
    keyDownSeen_ = true;
    return true;
  }
  if (!std::exchange(keyDownSeen_, false)) return false;
  GuardedUnitCall(device_, [this] {
    if (TryUnlock() && lockChanged_) lockChanged_();
  });
  return true;
}

void TSecurityDialog::CmSetPassword() {
  // Any length up to the unit's, the empty password too.
  SetPassDialog dialog(this, 0, kMaxPasswordChars);
  if (dialog.Execute() == ui::kIdOk) {
    GuardedUnitCall(device_,
                    [&] { gPasswordObject.Write(device_, dialog.Password(), kMaxPasswordChars); });
  }
  password_.SetText("");
}

void TSecurityDialog::CmServiceStatus() {
  if (!device_.IsOnline()) return;
  GuardedUnitCall(device_, [this] {
    std::vector<uint8_t> status;
    device_.Request(gServiceStatusObject, 0);
    if (!device_.Fetch(gServiceStatusObject, status)) throw DeviceBusy();
    ui::MessageBox(this, ServiceStatusText(status), "Service Code 01",
                   ui::mb::kOk | ui::mb::kIconExclamation);
  });
}

std::unique_ptr<ui::Window> MakeSecurityWindow(TEditOVWindow& editWindow) {
  return std::make_unique<OVChild<TSecurityDialog>>(
      editWindow, "Security", editWindow.Device(), &editWindow, [&editWindow] {
        NotifyRecord changed{LockChanged, 0, 0, nullptr};
        editWindow.Notify(&changed);
      });
}

}  // namespace namespaceOV
