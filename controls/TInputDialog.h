#pragma once

#include <memory>
#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Static.h"
#include "platform/ui/Validator.h"
#include "resources/ControlsResources.h"

// The one-line question: a caption, a prompt and a field that starts with `initial` and takes at
// most `maxChars` characters. With a validator, OK is refused until the text passes. Execute
// answers kIdOk or kIdCancel; after OK, Answer holds the text.
class TInputDialog : public ui::Dialog {
 public:
  TInputDialog(ui::Window* parent, std::string caption, std::string prompt, std::string initial,
               int maxChars, std::unique_ptr<ui::Validator> validator = nullptr);

  void CloseWindow(int result = ui::kIdCancel) override;
  const std::string& Answer() const { return answer_; }

 protected:
  void SetupWindow() override;

 private:
  std::string caption_;
  std::string prompt_;
  std::string answer_;
  std::unique_ptr<ui::Validator> validator_;
  ui::StaticText promptText_;
  ui::Edit field_;
};
