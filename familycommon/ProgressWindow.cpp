#include "familycommon/ProgressWindow.h"

#include "controls/ClientWindow.h"
#include "controls/TProgressDialog.h"

namespace familycommon {

ProgressWindow::ProgressWindow() = default;
ProgressWindow::~ProgressWindow() { End(); }

void ProgressWindow::Begin(int range, const std::string& text) {
  if (!dialog_) {
    dialog_ = std::make_unique<TProgressDialog>(controls::ClientWindow());
    dialog_->Create();
  }
  dialog_->SetText(text);
  dialog_->SetRange(0, range);
}

void ProgressWindow::Step(int value) {
  if (dialog_) dialog_->SetValue(value);
}

void ProgressWindow::End() {
  if (!dialog_) return;
  dialog_->Destroy();
  dialog_.reset();
}

}  // namespace familycommon
