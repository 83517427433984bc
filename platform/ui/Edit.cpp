#include "platform/ui/Edit.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QValidator>

#include "platform/ui/Guard.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {

// Puts a validator and the upper-case style in Qt's path of typed and pasted text.
class QtValidatorAdapter : public QValidator {
 public:
  QtValidatorAdapter(QObject* parent, std::shared_ptr<const Validator> validator, bool upperCase)
      : QValidator(parent), validator_(std::move(validator)), upperCase_(upperCase) {}
  State validate(QString& input, int&) const override {
    if (upperCase_) input = input.toUpper();
    if (validator_ == nullptr) return Acceptable;
    const std::string bytes = FromWidgetText(input);
    State state = Invalid;  // a validator that fails takes no text
    Guarded("validator", [&] {
      if (validator_->IsValidInput(bytes))
        state = validator_->IsValid(bytes) ? Acceptable : Intermediate;
    });
    return state;
  }

 private:
  // Shared: Qt may still ask while the edit object is going away.
  std::shared_ptr<const Validator> validator_;
  bool upperCase_;
};

// A one-line edit that takes the keyboard with its window (the first control of a dialog that
// opens, the focus a dialog gets back) has its text selected, as when the user tabs into it: what
// the user types then replaces the value shown instead of running on after it.
class LineEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason) selectAll();
  }
};

}  // namespace

QWidget* Edit::MakeControlWidget(QWidget* parentWidget) {
  if (IsMultiLine()) {
    auto* text = new QPlainTextEdit(parentWidget);
    text->setReadOnly(HasStyle(style::kReadOnly));
    text->setMaximumBlockCount(maxLines_);
    QObject::connect(text, &QPlainTextEdit::textChanged, text,
                     [this] { NotifyParent(ui::Notify::Changed); });
    return text;
  }
  auto* line = new LineEdit(parentWidget);
  if (HasStyle(style::kPassword)) line->setEchoMode(QLineEdit::Password);
  line->setReadOnly(HasStyle(style::kReadOnly));
  if (textLimit_ > 0) line->setMaxLength(textLimit_);
  if (HasStyle(style::kNumber) && validator_ == nullptr)
    validator_ = std::make_shared<CharSetValidator>("0-9");
  QObject::connect(line, &QLineEdit::textChanged, line,
                   [this] { NotifyParent(ui::Notify::Changed); });
  InstallQtValidator(line);
  return line;
}

void Edit::InstallQtValidator(QLineEdit* line) {
  if (line == nullptr) return;
  line->setValidator(new QtValidatorAdapter(line, validator_, HasStyle(style::kUpperCase)));
}

void Edit::SetTextLimit(int characters) {
  textLimit_ = characters;
  if (auto* line = qobject_cast<QLineEdit*>(Widget()))
    line->setMaxLength(characters > 0 ? characters : 32767);
}

void Edit::SetValidator(std::unique_ptr<Validator> validator) {
  validator_ = std::move(validator);
  InstallQtValidator(qobject_cast<QLineEdit*>(Widget()));
}

bool Edit::IsValid() const { return validator_ == nullptr || validator_->IsValid(Text()); }

std::string Edit::ValidationError() const {
  return validator_ != nullptr ? validator_->Error() : std::string();
}

void Edit::ApplyText(const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) {
    line->setText(text);
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) {
    multi->setPlainText(text);
    multi->document()->setModified(false);
  }
}

bool Edit::IsModified() const {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) return line->isModified();
  if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) return multi->document()->isModified();
  return false;
}

void Edit::TakeEntry() {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) line->setModified(false);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) multi->document()->setModified(false);
}

QString Edit::ReadText() const {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) return line->text();
  if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) return multi->toPlainText();
  return {};
}

void Edit::SetSelection(int start, int end) {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) line->setSelection(start, end - start);
}

void Edit::GetSelection(int& start, int& end) const {
  start = end = 0;
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) {
    if (line->hasSelectedText()) {
      start = line->selectionStart();
      end = line->selectionEnd();
    } else {
      start = end = line->cursorPosition();
    }
  }
}

int Edit::CharFromPos(Point p) const {
  if (auto* line = qobject_cast<QLineEdit*>(Widget()))
    return line->cursorPositionAt(QPoint(p.x, p.y));
  return 0;
}

void Edit::SetReadOnly(bool readOnly) {
  if (auto* line = qobject_cast<QLineEdit*>(Widget())) line->setReadOnly(readOnly);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) multi->setReadOnly(readOnly);
}

void Edit::AppendLine(const std::string& lineText) { AppendLines({&lineText, 1}); }

void Edit::AppendLines(std::span<const std::string> lines) {
  auto* multi = qobject_cast<QPlainTextEdit*>(Widget());
  if (multi == nullptr || lines.empty()) return;
  // Only the lines the log keeps are laid out.
  if (maxLines_ > 0 && lines.size() > static_cast<std::size_t>(maxLines_)) {
    lines = lines.last(static_cast<std::size_t>(maxLines_));
  }
  QString text = ToWidgetText(lines.front());
  for (const std::string& line : lines.subspan(1)) text += QLatin1Char('\n') + ToWidgetText(line);
  multi->appendPlainText(text);
  multi->verticalScrollBar()->setValue(multi->verticalScrollBar()->maximum());
}

void Edit::SetMaxLines(int maxLines) {
  maxLines_ = maxLines;
  if (auto* multi = qobject_cast<QPlainTextEdit*>(Widget())) multi->setMaximumBlockCount(maxLines);
}

int Edit::LineCount() const {
  auto* multi = qobject_cast<QPlainTextEdit*>(Widget());
  if (multi == nullptr) return Widget() != nullptr ? 1 : 0;
  return multi->toPlainText().isEmpty() ? 0 : multi->blockCount();
}

}  // namespace ui
