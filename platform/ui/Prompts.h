#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/draw/PrintPrompt.h"

namespace ui {

class Dialog;

enum class PromptKind { MessageBox, OpenFile, SaveFile, Dialog, PopupMenu, PrintSetup, Print };

// A question the program puts to the user and waits for.
struct Prompt {
  PromptKind kind = PromptKind::MessageBox;
  std::string text;     // message text, file dialog title
  std::string caption;  // message box caption
  int resourceId = 0;   // dialogs
};

// The answer a script gives instead of the user.
struct PromptAnswer {
  int result = 0;                    // button id, dialog result or popup command (0: none)
  std::optional<std::string> path;   // chosen file (a PDF file for printing); none = cancelled
  std::function<void(Dialog&)> act;  // run on a scripted dialog while it is open
  std::optional<int> resourceId;     // the dialog expected
};

// Scripted answers for tests. While a script is installed every prompt takes the next answer; a
// prompt of another kind than expected, or with no answer left, is reported as a failure at once
// and answered "cancel", so a test never waits for a user.
class PromptScript;

// While it lives, the print set-up and print dialogs are prompts like the others: a script answers
// them, and where unscripted prompts are refused they are cancelled instead of opening a dialog.
class PrintPromptRouting {
 public:
  PrintPromptRouting();
  ~PrintPromptRouting();
  PrintPromptRouting(const PrintPromptRouting&) = delete;
  PrintPromptRouting& operator=(const PrintPromptRouting&) = delete;

 private:
  PrintPrompt* replaced_;
};

class PromptScript {
 public:
  using FailureHandler = std::function<void(const std::string&)>;
  explicit PromptScript(FailureHandler onFailure);
  ~PromptScript();
  PromptScript(const PromptScript&) = delete;
  PromptScript& operator=(const PromptScript&) = delete;

  PromptScript& AnswerMessageBox(int buttonId);
  PromptScript& AnswerOpenFile(std::optional<std::string> path);
  PromptScript& AnswerSaveFile(std::optional<std::string> path);
  // `act` runs once the dialog is set up; it should end the dialog (a click on OK, EndDialog).
  PromptScript& RunDialog(int resourceId, std::function<void(Dialog&)> act);
  PromptScript& ChooseFromPopup(int commandId);
  // A path prints to that PDF file; none cancels the dialog.
  PromptScript& AnswerPrintSetup(std::optional<std::string> pdfPath);
  PromptScript& AnswerPrint(std::optional<std::string> pdfPath);

  const std::vector<Prompt>& Seen() const { return seen_; }
  // A scripted prompt went wrong (a dialog its script left open, say).
  void ReportFailure(const std::string& what) { onFailure_(what); }
  static PromptScript* Current();
  PromptAnswer Take(const Prompt& p);

 private:
  struct Expected {
    PromptKind kind;
    PromptAnswer answer;
  };
  PromptScript& Expect(PromptKind kind, PromptAnswer answer);

  PrintPromptRouting printRouting_;
  FailureHandler onFailure_;
  std::deque<Expected> expected_;
  std::vector<Prompt> seen_;
  PromptScript* previous_;
};

// What happens to a prompt that no script answers. By default it is shown, except on Qt's offscreen
// platform, where nobody could answer it: there it is refused. A refused prompt is reported (to
// `onRefused`, else as an error) and answered "cancel" at once, so no test waits for a user.
enum class UnscriptedPrompts { Default, Show, Refuse };
void SetUnscriptedPrompts(UnscriptedPrompts policy,
                          PromptScript::FailureHandler onRefused = nullptr);

// Where the layer asks before it shows a real prompt: a scripted or refused answer, or none to
// show the prompt. Every prompt is modal: a drag's picture leaves and the mouse capture ends
// first, scripted or not.
std::optional<PromptAnswer> InterceptPrompt(const Prompt& p);

}  // namespace ui
