#pragma once

// An X server of the test program's own (Xvfb), on a display number it picks itself so that runs
// side by side never meet, and a connection of the test's own to it that makes input as the user
// makes it: through the server, so that the program reads it from its own connection like any
// other.

#include <sys/types.h>

#include <string>

struct _XDisplay;  // Xlib's Display

namespace xserver {

class XServer {
 public:
  // Starts Xvfb and waits until it takes connections; Failure() says why when it did not.
  XServer();
  // Ends the server: every connection to it must have gone first.
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Running() const { return failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  // ":N", for DISPLAY.
  const std::string& Display() const { return display_; }

 private:
  void Start();

  pid_t pid_ = -1;
  std::string display_;
  std::string failure_;
};

// Input sent through the server with XTest, in the server's screen coordinates, and what a
// window manager asks of a window. Each call waits until the server has sent what it made to
// every connection that is to read it.
class XInput {
 public:
  explicit XInput(const std::string& display);
  ~XInput();
  XInput(const XInput&) = delete;
  XInput& operator=(const XInput&) = delete;

  bool Connected() const { return display_ != nullptr; }
  void MoveTo(int x, int y);
  void Press(int x, int y);
  void Release();
  void Click(int x, int y);
  // The key of a Latin-1 character, pressed and released.
  void Type(char character);
  // No window has the keyboard any more, as when the user turns to another program.
  void DropFocus();
  // The close box of a window manager's frame: a WM_DELETE_WINDOW message to a top-level window.
  void AskToClose(unsigned long window);

 private:
  void Button(bool down);
  void Sync();

  _XDisplay* display_ = nullptr;
};

}  // namespace xserver
