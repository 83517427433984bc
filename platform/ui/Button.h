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
  // For a value the program does not know: the box shows neither a tick nor a clear box (a radio
  // button shows no dot), so a state the unit may not hold is never shown as if it did. SetCheck,
  // or the user's click, gives it a state again.
  void ShowNoState();
  bool HasState() const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void SetupWindow() override { SetCheck(checked_); }
  void KeepState() override;
  // The click took the box out of showing no state.
  void Stated();

 private:
  void ApplyState();

  bool checked_ = false;
  bool hasState_ = true;
};

// A radio button, exclusive with the others of its template group.
class RadioButton : public CheckBox {
 public:
  using CheckBox::CheckBox;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

}  // namespace ui
