#pragma once

#include <memory>
#include <span>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/Validator.h"

class QLineEdit;

namespace ui {

// A text field. Single-line by default (length limit, password, upper case, validator); with
// style::kMultiLine a scrolling text for logs.
class Edit : public Control {
 public:
  Edit(Window* parent, int id, int textLimit = 0) : Control(parent, id), textLimit_(textLimit) {}

  void SetTextLimit(int characters);
  void SetValidator(std::unique_ptr<Validator> validator);
  bool IsValid() const;
  std::string ValidationError() const;
  // Whether the user changed the text since the program last set it: a value the program shows
  // rounded or clamped is no entry of the user's.
  bool IsModified() const;
  // The user's entry has been taken: the text stays, but counts as the program's until typed again.
  void TakeEntry();
  // The text the program last set, whatever the user typed over it since.
  std::string ProgramText() const { return Window::Text(); }

  void SetSelection(int start, int end);
  void GetSelection(int& start, int& end) const;
  // Index of the character nearest to a point in the control's client coordinates.
  int CharFromPos(Point p) const;
  void SetReadOnly(bool readOnly);
  bool IsMultiLine() const { return HasStyle(style::kMultiLine); }

  // Multi-line: adds a line (or lines, in one layout and one scroll) at the end and keeps at most
  // `maxLines` (0: no limit).
  void AppendLine(const std::string& line);
  void AppendLines(std::span<const std::string> lines);
  void SetMaxLines(int maxLines);
  int LineCount() const;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void ApplyText(const QString& text) override;
  QString ReadText() const override;

 private:
  void InstallQtValidator(QLineEdit* line);

  int textLimit_;
  int maxLines_ = 0;
  std::shared_ptr<Validator> validator_;
};

}  // namespace ui
