#pragma once

#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/Static.h"
#include "platform/ui/Trackbar.h"

// The modeless window a long bus operation of any family shows while it runs: one line of text and
// a bar. The operation creates it, moves it along step by step and deletes it when done.
class TProgressDialog : public ui::Dialog {
 public:
  explicit TProgressDialog(ui::Window* parent);

  void SetText(const std::string& text) override;
  std::string Text() const override { return text_.Text(); }
  void SetRange(int minimum, int maximum);
  void SetValue(int position);
  int Value() const { return bar_.Value(); }

 protected:
  void SetupWindow() override;

 private:
  void ShowProgress();

  static constexpr std::size_t kMaxTextChars = 255;
  ui::ProgressBar bar_;
  ui::StaticText text_;
};
