#pragma once

#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

// Asks for a new password twice. OK closes only when both entries match and hold at least the
// minimum length; then Password() is the entry. Cancel closes at once and leaves nothing.
class SetPassDialog : public ui::Dialog {
 public:
  // The characters a unit's password may hold.
  static constexpr const char* kPasswordCharacters = "0-9 A-Z/,#()&-";

  SetPassDialog(ui::Window* parent, int minLength, int maxLength);

  void CloseWindow(int result = ui::kIdCancel) override;
  bool PreProcessKey(const ui::KeyStroke& key) override;
  const std::string& Password() const { return password_; }

 protected:
  void SetupWindow() override;

 private:
  std::string password_;
  int minLength_;
  ui::Edit newEntry_;
  ui::Edit confirmEntry_;
};
