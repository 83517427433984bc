#include "family8100/unit/TSecurityDialog.h"

#include <memory>
#include <string>

#include "controls/ControlChange.h"
#include "controls/DeviceErrorReport.h"
#include "controls/LevelScale.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/ParameterTable8100.h"
#include "familycommon/ServiceStatus.h"
#include "familycommon/SetPassDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/Family8100Ids.h"

namespace namespace8100 {
namespace {

constexpr std::size_t kStatusBytes = 12;

}  // namespace

TSecurityDialog::TSecurityDialog(ui::Window* parent, IQDevice8100& unit)
    : ui::Dialog(parent, f8100res::kSecurityDialog),
      unit_(unit),
      lamp_(this, f8100res::kLockLamp),
      setPassword_(this, f8100res::kSetPasswordButton),
      lockCaption_(this, f8100res::kLockCaption),
      password_(this, f8100res::kPasswordEdit, kPasswordChars) {
  OnCommand(f8100res::kLockLamp, [this] { CmLock(); });
  OnCommand(f8100res::kSetPasswordButton, [this] { CmSetPassword(); });
  OnCommand(f8100res::kStatusButton,
            [this] { familycommon::ShowServiceStatus(this, unit_, g8100Status, kStatusBytes); });
}

std::string TSecurityDialog::UnitCaption() const {
  // A unit that does not answer goes by its name; the lock read that follows reports it.
  std::string text;
  try {
    if (unit_.GetListText(text)) return text;
  } catch (const IQException&) {
  }
  return unit_.GetName();
}

void TSecurityDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  SetText("Security - " + UnitCaption());
  enterDown_ = false;
  ShowUnitLock();
  password_.SetValidator(
      std::make_unique<ui::CharSetValidator>(SetPassDialog::kPasswordCharacters));
  password_.SetText("");
}

void TSecurityDialog::ShowLock(bool locked) {
  std::string unit = unit_.GetName();
  try {
    if (unit_.IsOnline()) unit = unit_.ListText(locked);
  } catch (const IQException&) {
  }
  SetText("Security - " + unit);
  lamp_.Show(locked);
  lockCaption_.SetText(locked ? "Unlock device" : "Lock device");
  setPassword_.Enable(!locked);
}

std::optional<bool> TSecurityDialog::ShowUnitLock() {
  bool locked = false;
  if (!controls::GuardedBusCall(&unit_, [&] { locked = g8100Locked.Read(unit_); })) {
    ShowLockUnknown();
    if (Parent() != nullptr) Parent()->Post(kLockNotRead);
    return std::nullopt;
  }
  ShowLock(locked);
  return locked;
}

void TSecurityDialog::ShowLockUnknown() {
  lamp_.ShowUnknown();
  lockCaption_.SetText(controls::kUnknownValue);
}

void TSecurityDialog::LockChanged() {
  if (Parent() != nullptr) Parent()->Post(kObjectChanged, 0, g8100Locked.GetId());
}

void TSecurityDialog::CmLock() {
  const std::optional<bool> locked = ShowUnitLock();
  if (!locked) return;
  if (*locked) {
    Unlock();
  } else {
    Lock();
  }
}

void TSecurityDialog::Lock() {
  if (ui::MessageBox(this, "Lock the device?", "Security",
                     ui::mb::kOkCancel | ui::mb::kIconQuestion) != ui::kIdOk) {
    return;
  }
  if (Parent() != nullptr) Parent()->Send(kLocking);
  controls::ApplyChange(
      [this] {
        return controls::GuardedBusCall(&unit_, [this] { g8100Locked.Write(unit_, true); });
      },
      {.taken =
           [this] {
             // The unit is locked even when the read back fails: the edit window reads it again.
             ShowUnitLock();
             LockChanged();
           },
       .showUnit = [this] { ShowUnitLock(); },
       .showUnknown = [this] { ShowLockUnknown(); }});
}

void TSecurityDialog::Unlock() {
  // A wrong password is refused without a word, and the lamp stays as the unit holds it.
  bool wrongPassword = false;
  const auto unlocked = [&] {
    return controls::GuardedBusCall(&unit_,
                                    [&] {
                                      try {
                                        g8100Password.Write(
                                            unit_, password_.Text().substr(0, kPasswordChars));
                                      } catch (const ErrorObject& e) {
                                        if (e.code != kWrongPasswordCode) throw;
                                        wrongPassword = true;
                                      }
                                    }) &&
           !wrongPassword;
  };
  controls::ApplyChange(unlocked, {.taken =
                                       [this] {
                                         if (ShowUnitLock() == false) LockChanged();
                                       },
                                   .showUnit = [this] { ShowUnitLock(); },
                                   .showUnknown = [this] { ShowLockUnknown(); }});
}

bool TSecurityDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.down) {
    enterDown_ = key.code == ui::key::kReturn;
    return key.code == ui::key::kReturn || key.code == ui::key::kEscape;
  }
  if (key.code != ui::key::kReturn || !enterDown_) return false;
  enterDown_ = false;
  if (ShowUnitLock() == true) Unlock();
  return true;
}

void TSecurityDialog::CmSetPassword() {
  SetPassDialog dialog(this, 0, kPasswordChars);
  if (dialog.Execute() == ui::kIdOk) {
    controls::GuardedBusCall(&unit_, [&] { g8100Password.Write(unit_, dialog.Password()); });
  }
  password_.SetText("");
}

}  // namespace namespace8100
