#include "app/TelvoApp.h"

#include "app/AboutDialog.h"
#include "app/AppKeys.h"
#include "app/ClientDialog.h"
#include "app/UnhandledErrorReport.h"
#include "bus/CommPort.h"
#include "platform/registry/UserRoot.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/shell/VersionInfo.h"
#include "platform/ui/Frame.h"
#include "platform/ui/PaintOnlyLoop.h"
#include "resources/AppIds.h"
#include "resources/AppResources.h"

using namespace appres;

std::unique_ptr<ui::Frame> BuildMainFrame(const std::string& title, TTelvo33DlgClient& client) {
  auto frame = std::make_unique<ui::Frame>(title, &client);
  frame->SetShrinkToClient(true);
  frame->SetIcon(kAppIcon);
  frame->SetAccelerators(kMainMenu);
  frame->AddStatusBar();
  frame->SetMenu(kMainMenu);
  frame->OnCommand(kCmExit, [f = frame.get()] { f->CloseWindow(); });
  return frame;
}

TTelvo33App::TTelvo33App(int& argc, char** argv, DeviceTypeFactory makeTypes,
                         shell::Desktop& desktop)
    : ui::Application(argc, argv, shell::ApplicationTitle()),
      arguments_(argv + 1, argv + argc),
      makeTypes_(std::move(makeTypes)),
      desktop_(desktop) {
  RegisterAppResources();
  InstallUnhandledErrorReport();
  OnCommand(kCmAbout, [this] { CmHelpAbout(); });
  // Long bus work holds the message loop; the windows keep painting while the port waits.
  TheCommPort.SetPauseHook(ui::PaintPending);
}

TTelvo33App::~TTelvo33App() {
  TheCommPort.SetPauseHook(nullptr);
  if (frame_) frame_->Destroy();
  frame_.reset();
  client_.reset();
}

void TTelvo33App::InitMainWindow() {
  client_ = std::make_unique<TTelvo33DlgClient>(makeTypes_, desktop_);
  frame_ = BuildMainFrame(Name(), *client_);
  // The COM monitor is a window of its own; the program ends with the main window all the same.
  frame_->OnClosed([this] { Quit(0); });
  SetMainWindow(frame_.get());
}

void TTelvo33App::Start() {
  InitMainWindow();
  frame_->Create();
  frame_->Show();
  if (WantsUnregister(arguments_)) {
    UnregisterAppKeys(registry::UserRoot());
  } else {
    RegisterAppKeys(registry::UserRoot(), shell::ProgramPath().string());
  }
}

int TTelvo33App::Exec() {
  Start();
  return RunLoop();
}

void TTelvo33App::CmHelpAbout() {
  TTelvo33AboutDlg(MainWindow(), shell::ProgramVersion()).Execute();
}

ui::Window* MainWindow() {
  auto* app = ui::Application::Instance();
  return app ? app->MainWindow() : nullptr;
}
