#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/DeviceTypes.h"
#include "platform/ui/Application.h"

class TTelvo33DlgClient;
namespace shell {
class Desktop;
}
namespace ui {
class Frame;
}

// The main frame with its menu, accelerators, status bar and icon around the client dialog.
std::unique_ptr<ui::Frame> BuildMainFrame(const std::string& title, TTelvo33DlgClient& client);

// The application: builds the main window, then reads the command line, and answers Help, About.
class TTelvo33App : public ui::Application {
 public:
  TTelvo33App(int& argc, char** argv, DeviceTypeFactory makeTypes, shell::Desktop& desktop);
  ~TTelvo33App() override;

  TTelvo33DlgClient* Client() const { return client_.get(); }
  ui::Frame* Frame() const { return frame_.get(); }
  // Builds, creates and shows the main window, then reads the command line.
  void Start();
  // Start, then the message loop until the main window closes; returns the exit code.
  int Exec();

 protected:
  void InitMainWindow() override;

 private:
  void CmHelpAbout();

  std::vector<std::string> arguments_;
  DeviceTypeFactory makeTypes_;
  shell::Desktop& desktop_;
  std::unique_ptr<TTelvo33DlgClient> client_;
  std::unique_ptr<ui::Frame> frame_;
};

// The main window, for the dialogs that the families open without a parent of their own.
ui::Window* MainWindow();
