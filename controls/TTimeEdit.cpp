#include "controls/TTimeEdit.h"

#include <algorithm>
#include <memory>
#include <string>

#include "controls/TimeText.h"

namespace {

constexpr size_t kMaxTimeTextChars = 18;
constexpr int kFieldCount = 3;

}  // namespace

TTimeEdit::TTimeEdit(ui::Window* parent, int id, int textLimit) : ui::Edit(parent, id, textLimit) {
  // The press places the caret after the layer has told this window, so the field is chosen once
  // the edit has handled the press.
  OnMessage(ui::msg::kLButtonDown, [this](const ui::Message& m) {
    Post(kSelectFieldAt, 0, m.lParam);
    return 0;
  });
  OnMessage(kSelectFieldAt, [this](const ui::Message& m) {
    SelectFieldAt(ui::UnpackPoint(m.lParam));
    return 0;
  });
}

void TTimeEdit::SetupWindow() {
  ui::Edit::SetupWindow();
  SetValidator(std::make_unique<ui::CharSetValidator>("0-9: "));
}

void TTimeEdit::GetTime(int& hour, int& minute, int& second) const {
  controls::ParseTime(Text().substr(0, kMaxTimeTextChars), hour, minute, second);
}

void TTimeEdit::SetTime(int hour, int minute, int second) {
  const std::string text = controls::FormatTime(hour, minute, second);
  if (Text() != text) SetText(text);
}

void TTimeEdit::Normalise() {
  int hour = 0;
  int minute = 0;
  int second = 0;
  GetTime(hour, minute, second);
  SetTime(hour, minute, second);
}

void TTimeEdit::SelectField() {
  Normalise();
  const std::string text = Text();
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos) return;
  const int c1 = static_cast<int>(first);
  const int c2 = static_cast<int>(second);
  switch (field_) {
    case kHours:
      SetSelection(0, c1);
      break;
    case kMinutes:
      SetSelection(c1 + 1, c2);
      break;
    case kSeconds:
      SetSelection(c2 + 1, static_cast<int>(text.size()) - 1);
      break;
  }
}

void TTimeEdit::SelectFieldAt(ui::Point p) {
  Normalise();
  const std::string text = Text();
  const size_t index = static_cast<size_t>(std::max(0, CharFromPos(p)));
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (first != std::string::npos && first >= index) {
    field_ = kHours;
  } else if (second != std::string::npos && second >= index) {
    field_ = kMinutes;
  } else {
    field_ = kSeconds;
  }
  SelectField();
}

bool TTimeEdit::PreProcessKey(const ui::KeyStroke& key) {
  if (key.code != ui::key::kTab) return ui::Edit::PreProcessKey(key);
  if (key.down) {
    const int step = (key.modifiers & ui::kShiftKey) != 0 ? kFieldCount - 1 : 1;
    field_ = static_cast<Field>((field_ + step) % kFieldCount);
    SelectField();
  }
  // Tab moves between the fields; let through, it would take the focus out of the edit.
  return true;
}
