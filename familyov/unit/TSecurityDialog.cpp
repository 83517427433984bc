#include "familyov/unit/TSecurityDialog.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "controls/LevelScale.h"
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
      serviceStatus_(this, ovres::kServiceStatusButton),
      lockOwed_([this] { ShowLock(gLockedObject.Read(device_)); }) {
  OnCommand(ovres::kLockButton, [this] { CmLockUnlock(); });
  OnCommand(ovres::kSetPasswordButton, [this] { CmSetPassword(); });
  OnCommand(ovres::kServiceStatusButton, [this] { CmServiceStatus(); });
}

void TSecurityDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  ShowUnitLock();
  password_.SetValidator(
      std::make_unique<ui::CharSetValidator>(SetPassDialog::kPasswordCharacters));
  password_.SetText("");
}

std::optional<bool> TSecurityDialog::ShowUnitLock() {
  // The lamp shows the lock unknown before the box that tells why.
  const controls::PutBackBeforeBox unknownFirst;
  bool locked = false;
  if (!GuardedUnitCall(device_, [&] { locked = gLockedObject.Read(device_); })) {
    ShowLockUnknown();
    return std::nullopt;
  }
  ShowLock(locked);
  return locked;
}

void TSecurityDialog::ShowLock(bool locked) {
  lamp_.Show(locked);
  lockText_.SetText(locked ? "Unlock device" : "Lock device");
  setPassword_.Enable(!locked);
}

void TSecurityDialog::ShowLockUnknown() {
  lamp_.ShowUnknown();
  lockText_.SetText(controls::kUnknownValue);
  lockOwed_.Owe();
}

bool TSecurityDialog::IdleAction(long idleCount) {
  const bool more = ui::Dialog::IdleAction(idleCount);
  return lockOwed_.Settle(device_) == controls::PollOutcome::kResting ? more : true;
}

void TSecurityDialog::ChangeLock(const std::function<void()>& write) {
  // Whatever the unit made of the change, the lamp shows the lock it holds once it says: a wrong
  // password leaves it locked, a lost answer may have locked or unlocked it.
  ChangeOnUnit(device_, write,
               {.taken =
                    [this] {
                      ShowUnitLock();
                      if (lockChanged_) lockChanged_();
                    },
                .showUnit = [this] { ShowUnitLock(); },
                .showUnknown = [this] { ShowLockUnknown(); }});
}

void TSecurityDialog::Unlock() {
  ChangeLock([this] { gPasswordObject.Write(device_, password_.Text(), kMaxPasswordChars); });
}

void TSecurityDialog::CmLockUnlock() {
  // The lock read that tells a lock from an unlock and the change are one action: one report.
  const controls::OneReportScope action;
  const std::optional<bool> locked = ShowUnitLock();
  if (!locked) return;
  if (*locked) {
    Unlock();
    return;
  }
  if (ui::MessageBox(this, "Lock the device?", "Security",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  ChangeLock([this] { gLockedObject.Write(device_, true); });
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
  const controls::OneReportScope action;
  if (ShowUnitLock() == true) Unlock();
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
