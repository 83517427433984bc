#include "controls/TProgressDialog.h"

#include "platform/ui/Application.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "resources/AppIds.h"

TProgressDialog::TProgressDialog(ui::Window* parent)
    : ui::Dialog(parent, appres::kProgressDialog),
      bar_(this, appres::kProgressBar),
      text_(this, appres::kProgressText) {}

void TProgressDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  // Without a caption the window system would title it with the program file's name.
  if (const auto* app = ui::Application::Instance()) ui::Dialog::SetText(app->Name());
  text_.SetText("");
  bar_.SetValue(0);
  Show();
}

void TProgressDialog::SetText(const std::string& text) {
  text_.SetText(text.substr(0, kMaxTextChars));
  ShowProgress();
}

void TProgressDialog::SetRange(int minimum, int maximum) { bar_.SetRange(minimum, maximum); }

void TProgressDialog::SetValue(int position) {
  bar_.SetValue(position);
  ShowProgress();
}

void TProgressDialog::ShowProgress() {
  // The operation holds the message loop until it ends. The dialog paints as soon as the window
  // system has shown it, and with it every other window that needs painting; nothing else runs.
  ui::PaintPending();
}
