#include "familycommon/SetPassDialog.h"

#include <memory>

#include "platform/ui/MessageBox.h"
#include "platform/ui/Validator.h"
#include "resources/FamilyCommonIds.h"

SetPassDialog::SetPassDialog(ui::Window* parent, int minLength, int maxLength)
    : ui::Dialog(parent, common_res::kSetPassDialog),
      minLength_(minLength),
      newEntry_(this, common_res::kSetPassNewEdit, maxLength),
      confirmEntry_(this, common_res::kSetPassConfirmEdit, maxLength) {}

void SetPassDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  newEntry_.SetValidator(std::make_unique<ui::CharSetValidator>(kPasswordCharacters));
  confirmEntry_.SetValidator(std::make_unique<ui::CharSetValidator>(kPasswordCharacters));
}

bool SetPassDialog::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kReturn) return ui::Dialog::PreProcessKey(key);
  // Enter acts as OK when it is released, so that a key held while typing closes nothing early.
  if (!key.down) ui::Dialog::PreProcessKey({key.code, true, key.modifiers});
  return true;
}

void SetPassDialog::CloseWindow(int result) {
  if (result == ui::kIdCancel || !IsCreated()) {
    ui::Dialog::CloseWindow(result);
    return;
  }
  const std::string entry = newEntry_.Text();
  if (entry != confirmEntry_.Text()) {
    ui::MessageBox(this, "Strings do not match.", "Set Password",
                   ui::mb::kOk | ui::mb::kIconExclamation);
    newEntry_.SetText("");
    confirmEntry_.SetText("");
    newEntry_.SetFocus();
    return;
  }
  if (static_cast<int>(entry.size()) < minLength_) {
    ui::MessageBox(this, "Password must be " + std::to_string(minLength_) + " characters",
                   "SetPassword", ui::mb::kOk | ui::mb::kIconExclamation);
    return;
  }
  password_ = entry;
  ui::Dialog::CloseWindow(result);
}
