#include "platform/ui/Prompts.h"

#include <QFile>
#include <QGuiApplication>
#include <QPrinter>

#include "platform/ui/Application.h"
#include "platform/ui/DragImage.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

PromptScript* g_current = nullptr;
UnscriptedPrompts g_policy = UnscriptedPrompts::Default;
PromptScript::FailureHandler g_onRefused;

bool Refused() {
  if (g_policy == UnscriptedPrompts::Default) {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
  }
  return g_policy == UnscriptedPrompts::Refuse;
}

const char* KindName(PromptKind k) {
  switch (k) {
    case PromptKind::MessageBox:
      return "message box";
    case PromptKind::OpenFile:
      return "open-file dialog";
    case PromptKind::SaveFile:
      return "save-file dialog";
    case PromptKind::Dialog:
      return "dialog";
    case PromptKind::PopupMenu:
      return "popup menu";
    case PromptKind::PrintSetup:
      return "print set-up dialog";
    case PromptKind::Print:
      return "print dialog";
  }
  return "prompt";
}

std::string Describe(const Prompt& p) {
  std::string d = KindName(p.kind);
  if (p.kind == PromptKind::Dialog) d += " " + std::to_string(p.resourceId);
  if (!p.caption.empty()) d += " [" + p.caption + "]";
  if (!p.text.empty()) d += " \"" + p.text + "\"";
  return d;
}

PromptAnswer Cancel(PromptKind kind) {
  PromptAnswer a;
  a.result = kind == PromptKind::PopupMenu ? 0 : 2;
  return a;
}

// The print dialogs asked through InterceptPrompt first; the desktop's dialog when nothing answers.
class InterceptedPrintPrompt : public PrintPrompt {
 public:
  bool Ask(QPrinter& printer, Purpose purpose, QWidget* parent) override {
    Prompt p;
    p.kind = purpose == Purpose::Setup ? PromptKind::PrintSetup : PromptKind::Print;
    const std::optional<PromptAnswer> answer = InterceptPrompt(p);
    if (!answer) return AskTheUser(printer, purpose, parent);
    if (!answer->path) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QFile::decodeName(answer->path->c_str()));
    return true;
  }

 private:
  static bool AskTheUser(QPrinter& printer, Purpose purpose, QWidget* parent) {
    Application* app = Application::Instance();
    if (app != nullptr) app->BeginPrompt();
    const bool accepted = DesktopPrintPrompt().Ask(printer, purpose, parent);
    if (app != nullptr) app->EndPrompt();
    return accepted;
  }
};

PrintPrompt& Intercepted() {
  static InterceptedPrintPrompt prompt;
  return prompt;
}

}  // namespace

PrintPromptRouting::PrintPromptRouting() : replaced_(InstallPrintPrompt(&Intercepted())) {}

PrintPromptRouting::~PrintPromptRouting() { InstallPrintPrompt(replaced_); }

PromptScript::PromptScript(FailureHandler onFailure)
    : onFailure_(std::move(onFailure)), previous_(g_current) {
  g_current = this;
}

PromptScript::~PromptScript() {
  g_current = previous_;
  if (!expected_.empty()) {
    onFailure_(std::to_string(expected_.size()) +
               " scripted answer(s) never asked for, the first a " +
               KindName(expected_.front().kind));
  }
}

PromptScript* PromptScript::Current() { return g_current; }

PromptScript& PromptScript::Expect(PromptKind kind, PromptAnswer answer) {
  expected_.push_back({kind, std::move(answer)});
  return *this;
}

PromptScript& PromptScript::AnswerMessageBox(int buttonId) {
  return Expect(PromptKind::MessageBox, {buttonId, std::nullopt, nullptr, std::nullopt});
}

PromptScript& PromptScript::AnswerOpenFile(std::optional<std::string> path) {
  return Expect(PromptKind::OpenFile, {0, std::move(path), nullptr, std::nullopt});
}

PromptScript& PromptScript::AnswerSaveFile(std::optional<std::string> path) {
  return Expect(PromptKind::SaveFile, {0, std::move(path), nullptr, std::nullopt});
}

PromptScript& PromptScript::RunDialog(int resourceId, std::function<void(Dialog&)> act) {
  return Expect(PromptKind::Dialog, {0, std::nullopt, std::move(act), resourceId});
}

PromptScript& PromptScript::ChooseFromPopup(int commandId) {
  return Expect(PromptKind::PopupMenu, {commandId, std::nullopt, nullptr, std::nullopt});
}

PromptScript& PromptScript::AnswerPrintSetup(std::optional<std::string> pdfPath) {
  return Expect(PromptKind::PrintSetup, {0, std::move(pdfPath), nullptr, std::nullopt});
}

PromptScript& PromptScript::AnswerPrint(std::optional<std::string> pdfPath) {
  return Expect(PromptKind::Print, {0, std::move(pdfPath), nullptr, std::nullopt});
}

PromptAnswer PromptScript::Take(const Prompt& p) {
  seen_.push_back(p);
  if (expected_.empty()) {
    onFailure_("unexpected " + Describe(p) + ": no scripted answer left");
    return Cancel(p.kind);
  }
  Expected next = std::move(expected_.front());
  expected_.pop_front();
  if (next.kind != p.kind ||
      (next.answer.resourceId.has_value() && *next.answer.resourceId != p.resourceId)) {
    onFailure_("unexpected " + Describe(p) + " where a " + KindName(next.kind) + " was scripted");
    return Cancel(p.kind);
  }
  return std::move(next.answer);
}

std::optional<PromptAnswer> InterceptPrompt(const Prompt& p) {
  DragImage::LeaveAll();
  // The prompt takes the mouse: a capture a drag held ends here, or the first click meant for the
  // prompt would go to the window that dragged.
  Window::ReleaseMouse();
  if (g_current != nullptr) return g_current->Take(p);
  if (!Refused()) return std::nullopt;
  const std::string what = "unscripted " + Describe(p) + ", answered cancel";
  if (g_onRefused) {
    g_onRefused(what);
  } else {
    ReportError("prompt", what);
  }
  return Cancel(p.kind);
}

void SetUnscriptedPrompts(UnscriptedPrompts policy, PromptScript::FailureHandler onRefused) {
  g_policy = policy;
  g_onRefused = std::move(onRefused);
}

}  // namespace ui
