#include "controls/TProgressDialog.h"

#include "resources/AppIds.h"

TProgressDialog::TProgressDialog(ui::Window* parent)
    : ui::Dialog(parent, appres::kProgressDialog),
      bar_(this, appres::kProgressBar),
      text_(this, appres::kProgressText) {}

void TProgressDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  text_.SetText("");
  bar_.SetValue(0);
  Show();
}

void TProgressDialog::SetText(const std::string& text) {
  text_.SetText(text.substr(0, kMaxTextChars));
  // The operation holds the message loop until it ends; without painting here the user would
  // see no step at all.
  UpdateNow();
}

void TProgressDialog::SetRange(int minimum, int maximum) { bar_.SetRange(minimum, maximum); }

void TProgressDialog::SetValue(int position) {
  bar_.SetValue(position);
  UpdateNow();
}
