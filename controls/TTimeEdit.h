#pragma once

#include "platform/ui/Edit.h"

// An edit for a time of day on a 12-hour clock ("h:mm:ss "). The user moves between the hour,
// minute and second fields with the mouse or Tab (Shift+Tab backwards); each field is selected
// whole, so typing replaces it. Morning or afternoon is kept by the dialog that owns it.
class TTimeEdit : public ui::Edit {
 public:
  enum Field { kHours = 0, kMinutes = 1, kSeconds = 2 };

  TTimeEdit(ui::Window* parent, int id, int textLimit);

  // Fills in what the text holds; see controls::ParseTime for what is left as it was.
  void GetTime(int& hour, int& minute, int& second) const;
  // Replaces the text only when it changes.
  void SetTime(int hour, int minute, int second);
  void SetField(Field field) { field_ = field; }
  Field CurrentField() const { return field_; }
  // Brings the text to its standard form and selects the current field.
  void SelectField();

  bool PreProcessKey(const ui::KeyStroke& key) override;

 protected:
  void SetupWindow() override;

 private:
  static constexpr ui::MessageId kSelectFieldAt = 0x0400;

  void Normalise();
  void SelectFieldAt(ui::Point p);

  Field field_ = kHours;
};
