#pragma once

#include "platform/ui/Control.h"

namespace ui {

// A push button; a click sends its id as a command from the parent up the chain.
class PushButton : public Control {
 public:
  using Control::Control;
  // Simulates the user's click (also used by the test hooks).
  void Click();

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void ApplyText(const QString& text) override;
  QString ReadText() const override;
};

// A check box; a click toggles it and then sends its id as a command.
class CheckBox : public PushButton {
 public:
  using PushButton::PushButton;
  void SetCheck(bool checked);
  bool IsChecked() const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void SetupWindow() override { SetCheck(checked_); }
  void KeepState() override;

 private:
  bool checked_ = false;
};

// A radio button, exclusive with the others of its template group.
class RadioButton : public CheckBox {
 public:
  using CheckBox::CheckBox;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

}  // namespace ui
