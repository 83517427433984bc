#include "platform/ui/Application.h"

#include <QApplication>
#include <QCursor>
#include <algorithm>
#include <stdexcept>

#include "platform/ui/Guard.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/InputRouter.h"
#include "platform/ui/Message.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "platform/ui/Text.h"
#include "platform/ui/TimerService.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowBridge.h"

namespace ui {

namespace {
Application* g_instance = nullptr;

// Qt's application with the layer's entry: every event passes the paint-only loop's hold and
// the input router once, before Qt delivers it; posted calls run here; and no exception from any
// handler goes on into Qt.
class LayerQtApplication : public QApplication {
 public:
  LayerQtApplication(int& argc, char** argv, PaintOnlyLoop& paintOnly, InputRouter& router)
      : QApplication(argc, argv), paintOnly_(paintOnly), router_(router) {}
  bool notify(QObject* receiver, QEvent* e) override {
    bool result = false;
    Guarded("event", [&] {
      result = paintOnly_.Intercept(receiver, e) || RunCall(*e) || router_.Route(receiver, e) ||
               QApplication::notify(receiver, e);
    });
    return result;
  }

 private:
  static bool RunCall(const QEvent& e) {
    if (e.type() != CallEvent::Type()) return false;
    static_cast<const CallEvent&>(e).Run();
    return true;
  }
  PaintOnlyLoop& paintOnly_;
  InputRouter& router_;
};

int g_waitDepth = 0;
int g_beeps = 0;
}  // namespace

Application::Application(int& argc, char** argv, std::string name) : name_(std::move(name)) {
  if (QCoreApplication::instance() != nullptr) {
    throw std::logic_error("ui::Application makes Qt's application object; one exists already");
  }
  input_ = std::make_unique<InputRouter>(*this);
  paintOnly_ = std::make_unique<PaintOnlyLoop>();
  qtApp_ = std::make_unique<LayerQtApplication>(argc, argv, *paintOnly_, *input_);
  UseCNumberLocale();
  timers_ = std::make_unique<TimerService>();
  idle_ = std::make_unique<IdleDispatcher>(*this);
  commands_.OnCommand(kExitCommand, [this] {
    if (mainWindow_ != nullptr) mainWindow_->CloseWindow(kIdCancel);
  });
  g_instance = this;
}

Application::~Application() {
  if (g_instance == this) g_instance = nullptr;
  idle_.reset();
  timers_.reset();
  qtApp_.reset();
}

Application* Application::Instance() { return g_instance; }

int Application::Run() {
  Guarded("InitMainWindow", [this] { InitMainWindow(); });
  if (mainWindow_ == nullptr) return 1;
  mainWindow_->Create();
  mainWindow_->Show();
  return RunLoop();
}

int Application::RunLoop() { return QApplication::exec(); }

void Application::Quit(int exitCode) { QApplication::exit(exitCode); }

void Application::PostTask(std::function<void()> task) {
  // A posted call of the layer's own, so that a bus operation's paint-only pauses hold it too.
  PostCall(*qtApp_, [task = std::move(task)] { Guarded("task", task); });
}

Window* Application::RouteStart(Window* start) const {
  if (start == nullptr) start = Window::FocusWindow();
  if (start == nullptr) start = InnermostModal() != nullptr ? InnermostModal() : mainWindow_;
  return start;
}

Window* Application::Next(const Window& w, Reach reach) {
  return reach == Reach::kOwnDialog && w.IsTopLevel() ? nullptr : w.Parent();
}

bool Application::Route(int id, Window* start, Reach reach) {
  bool handled = false;
  Guarded("command", [&] {
    for (Window* w = start; w != nullptr && !handled; w = Next(*w, reach)) {
      handled = w->Commands().Run(id);
    }
    if (!handled && reach == Reach::kApplication) handled = commands_.Run(id);
  });
  return handled;
}

std::optional<CommandState> Application::Enabler(int id, Window* start, Reach reach) {
  std::optional<CommandState> decided;
  Guarded("command enabler", [&] {
    CommandState state;
    for (Window* w = start; w != nullptr; w = Next(*w, reach)) {
      if (w->Commands().Enable(id, state)) {
        decided = state;
        return;
      }
    }
    if (reach == Reach::kApplication && commands_.Enable(id, state)) decided = state;
  });
  return decided;
}

bool Application::RouteCommand(int id, Window* start) {
  return Route(id, RouteStart(start), Reach::kApplication);
}

std::optional<CommandState> Application::AskEnabler(int id, Window* start) {
  return Enabler(id, RouteStart(start), Reach::kApplication);
}

bool Application::RouteControlCommand(int id, Window* parent) {
  return Route(id, parent, Reach::kOwnDialog);
}

std::optional<CommandState> Application::AskControlEnabler(int id, Window* parent) {
  return Enabler(id, parent, Reach::kOwnDialog);
}

bool Application::IsHandled(int id, Window* start) {
  for (Window* w = RouteStart(start); w != nullptr; w = w->Parent()) {
    if (w->Commands().Handles(id)) return true;
  }
  return commands_.Handles(id);
}

CommandState Application::QueryCommand(int id, Window* start) {
  if (std::optional<CommandState> decided = AskEnabler(id, start)) return *decided;
  CommandState state;
  state.enabled = IsHandled(id, start);
  return state;
}

void Application::PopModal(Window* window) { std::erase(modal_, window); }

void Application::NoteMessage() {
  if (idle_ != nullptr) idle_->NoteActivity();
}

WaitCursor::WaitCursor() {
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  ++g_waitDepth;
}

WaitCursor::~WaitCursor() {
  QApplication::restoreOverrideCursor();
  --g_waitDepth;
}

bool WaitCursor::Active() { return g_waitDepth > 0; }

void Beep() {
  ++g_beeps;
  QApplication::beep();
}

int BeepCount() { return g_beeps; }

}  // namespace ui
