#include "controls/TInputDialog.h"

TInputDialog::TInputDialog(ui::Window* parent, std::string caption, std::string prompt,
                           std::string initial, int maxChars,
                           std::unique_ptr<ui::Validator> validator)
    : ui::Dialog(parent, controls_res::kInputDialog),
      caption_(std::move(caption)),
      prompt_(std::move(prompt)),
      answer_(std::move(initial)),
      validator_(std::move(validator)),
      promptText_(this, controls_res::kInputPrompt),
      field_(this, controls_res::kInputField, maxChars) {}

void TInputDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  SetText(caption_);
  promptText_.SetText(prompt_);
  if (validator_) field_.SetValidator(std::move(validator_));
  field_.SetText(answer_);
  field_.SetSelection(0, static_cast<int>(answer_.size()));
  field_.SetFocus();
}

void TInputDialog::CloseWindow(int result) {
  if (result == ui::kIdOk && IsCreated()) answer_ = field_.Text();
  ui::Dialog::CloseWindow(result);
}
