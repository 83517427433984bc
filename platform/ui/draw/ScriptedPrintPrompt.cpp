#include "platform/ui/draw/ScriptedPrintPrompt.h"

#include <QPrinter>
#include <utility>

namespace ui {

namespace {
const char* NameOf(PrintPrompt::Purpose purpose) {
  return purpose == PrintPrompt::Purpose::Setup ? "print set-up" : "print";
}
}  // namespace

ScriptedPrintPrompt::ScriptedPrintPrompt(FailureReporter fail)
    : fail_(std::move(fail)), replaced_(InstallPrintPrompt(this)) {}

ScriptedPrintPrompt::~ScriptedPrintPrompt() {
  InstallPrintPrompt(replaced_);
  if (!answers_.empty()) {
    fail_(std::to_string(answers_.size()) +
          " scripted print answer(s) never asked for, next: " + NameOf(answers_.front().purpose));
  }
}

void ScriptedPrintPrompt::AnswerPdf(Purpose purpose, const std::string& path) {
  answers_.push_back({purpose, true, path});
}

void ScriptedPrintPrompt::AnswerCancel(Purpose purpose) {
  answers_.push_back({purpose, false, {}});
}

bool ScriptedPrintPrompt::Ask(QPrinter& printer, Purpose purpose, QWidget*) {
  ++seen_;
  if (answers_.empty()) {
    fail_(std::string("unexpected ") + NameOf(purpose) + " dialog");
    return false;
  }
  const Answer answer = answers_.front();
  answers_.pop_front();
  if (answer.purpose != purpose) {
    fail_(std::string("expected a ") + NameOf(answer.purpose) + " dialog, got a " +
          NameOf(purpose) + " dialog");
    return false;
  }
  if (answer.accept) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(answer.pdfPath));
  }
  return answer.accept;
}

}  // namespace ui
