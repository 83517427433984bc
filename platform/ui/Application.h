#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/Prompts.h"

class QApplication;

namespace ui {

class IdleDispatcher;
class InputRouter;
class PaintOnlyLoop;
class TimerService;
class Window;

// The application object: owns Qt's application, the message loop, the main window, the
// application's own commands, the modal stack, idle processing and window timers. One per process.
class Application {
 public:
  // `name` is the main frame's title and the caption of message boxes without one of their own.
  Application(int& argc, char** argv, std::string name);
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Instance();
  const std::string& Name() const { return name_; }

  // Builds the main window (InitMainWindow), creates and shows it, and runs the loop until the
  // main window closes or Quit is called; returns the exit code.
  int Run();
  // Runs the message loop alone, for a program that creates and shows its main window itself
  // (and has work to do between showing it and the loop); returns the exit code.
  int RunLoop();
  void Quit(int exitCode);
  // Runs `task` from the message loop after the current handler returns, guarded like a handler.
  void PostTask(std::function<void()> task);

  void SetMainWindow(Window* window) { mainWindow_ = window; }
  Window* MainWindow() const { return mainWindow_; }

  void OnCommand(int id, std::function<void()> handler) {
    commands_.OnCommand(id, std::move(handler));
  }
  void OnEnable(int id, std::function<void(CommandState&)> enabler) {
    commands_.OnEnable(id, std::move(enabler));
  }
  // Routes a command (a menu's, an accelerator's) from `start` (the focus window when null)
  // through its parents to the application; false when nobody handles it.
  bool RouteCommand(int id, Window* start = nullptr);
  // Asks the enablers along the same route; a command nobody handles is disabled.
  CommandState QueryCommand(int id, Window* start = nullptr);
  // The state an enabler along the route decides, or none when no enabler is there.
  std::optional<CommandState> AskEnabler(int id, Window* start = nullptr);
  bool IsHandled(int id, Window* start = nullptr);
  // A control's own command (a click, Enter on a dialog's default button) and its button's
  // enabler: from the control's `parent` up to the window of its own that the control stands in,
  // its dialog, and no further. A control id is only its dialog's, while the same number may be a
  // command of the window that opened the dialog.
  bool RouteControlCommand(int id, Window* parent);
  std::optional<CommandState> AskControlEnabler(int id, Window* parent);

  // Modal dialogs push themselves while they run; idle serves only the innermost one's tree.
  void PushModal(Window* window) { modal_.push_back(window); }
  void PopModal(Window* window);
  Window* InnermostModal() const { return modal_.empty() ? nullptr : modal_.back(); }

  // Message boxes and common dialogs mark themselves open; no idle action runs meanwhile.
  void BeginPrompt() { ++openPrompts_; }
  void EndPrompt() { --openPrompts_; }
  bool PromptOpen() const { return openPrompts_ > 0; }

  TimerService& Timers() { return *timers_; }
  PaintOnlyLoop& PaintOnly() { return *paintOnly_; }
  IdleDispatcher& Idle() { return *idle_; }
  // A message or input arrived: the next idle pass starts counting again at 0.
  void NoteMessage();

 protected:
  virtual void InitMainWindow() {}

 private:
  // How far a command goes: through every parent to the application, or a control's only to
  // its dialog.
  enum class Reach { kApplication, kOwnDialog };
  static Window* Next(const Window& w, Reach reach);
  bool Route(int id, Window* start, Reach reach);
  std::optional<CommandState> Enabler(int id, Window* start, Reach reach);
  Window* RouteStart(Window* start) const;
  std::string name_;
  std::unique_ptr<InputRouter> input_;
  std::unique_ptr<PaintOnlyLoop> paintOnly_;
  std::unique_ptr<QApplication> qtApp_;
  std::unique_ptr<TimerService> timers_;
  std::unique_ptr<IdleDispatcher> idle_;
  // Print dialogs follow the prompt rules (scripts, refusal offscreen, no idle while open).
  PrintPromptRouting printPrompts_;
  CommandTable commands_;
  Window* mainWindow_ = nullptr;
  std::vector<Window*> modal_;
  int openPrompts_ = 0;
};

// Shows the wait cursor for its lifetime; nested ones stack, and the cursor is always restored,
// also when the work throws.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  static bool Active();
};

// The system's warning sound.
void Beep();
// How many times Beep was called (for tests).
int BeepCount();

}  // namespace ui
