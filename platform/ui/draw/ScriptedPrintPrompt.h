#pragma once

#include <deque>
#include <functional>
#include <string>

#include "platform/ui/draw/PrintPrompt.h"

namespace ui {

// Test tooling: answers print dialogs from a script, in order. While it lives it replaces the
// desktop's dialog. A prompt with no answer left, or of another purpose than the next answer,
// is reported at once through `fail` and cancelled; answers never asked for are reported when
// the script ends.
class ScriptedPrintPrompt : public PrintPrompt {
 public:
  using FailureReporter = std::function<void(const std::string& message)>;

  explicit ScriptedPrintPrompt(FailureReporter fail);
  ~ScriptedPrintPrompt() override;
  ScriptedPrintPrompt(const ScriptedPrintPrompt&) = delete;
  ScriptedPrintPrompt& operator=(const ScriptedPrintPrompt&) = delete;

  // The next prompt of `purpose` chooses a PDF file at `path`.
  void AnswerPdf(Purpose purpose, const std::string& path);
  // The next prompt of `purpose` is cancelled.
  void AnswerCancel(Purpose purpose);
  int PromptsSeen() const { return seen_; }

  bool Ask(QPrinter& printer, Purpose purpose, QWidget* parent) override;

 private:
  struct Answer {
    Purpose purpose;
    bool accept;
    std::string pdfPath;
  };

  FailureReporter fail_;
  std::deque<Answer> answers_;
  PrintPrompt* replaced_;
  int seen_ = 0;
};

}  // namespace ui
