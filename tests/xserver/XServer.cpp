#include "tests/xserver/XServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace xserver {

namespace {

// Far beyond what a loaded machine takes to start the server; only a server that hangs meets it.
constexpr int kStartPatienceMs = 30000;

// What the server wrote on its display descriptor: its display number and a newline once it
// takes connections, or what the child wrote when the server could not be run at all.
std::string ReadLine(int fd) {
  std::string line;
  char c = 0;
  while (line.size() < 256) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, kStartPatienceMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || read(fd, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

}  // namespace

XServer::XServer() { Start(); }

void XServer::Start() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    failure_ = std::string("no pipe for Xvfb's display number: ") + std::strerror(errno);
    return;
  }
  const std::string fd = std::to_string(fds[1]);
  const char* const argv[] = {"Xvfb",    "-displayfd", fd.c_str(),     "-nolisten", "tcp",
                              "-screen", "0",          "1280x1024x24", nullptr};
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // A test program that dies (a sanitizer's report, a hang cut off) takes its server along.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    // The write end stays open across exec; the server's chatter goes nowhere.
    fcntl(fds[1], F_SETFD, 0);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[0], const_cast<char* const*>(argv));
    const char message[] = "Xvfb could not be run (is the package xvfb installed?)\n";
    (void)!write(fds[1], message, sizeof message - 1);
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    failure_ = std::string("Xvfb could not be started: ") + std::strerror(errno);
    close(fds[0]);
    return;
  }
  const std::string line = ReadLine(fds[0]);
  close(fds[0]);
  if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
    display_ = ":" + line;
    return;
  }
  failure_ = line.empty() ? "Xvfb ended or hung before it took connections" : line;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

XInput::XInput(const std::string& display) {
  display_ = XOpenDisplay(display.c_str());
  int event = 0, error = 0, major = 0, minor = 0;
  if (display_ != nullptr && !XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
  }
}

XInput::~XInput() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

void XInput::MoveTo(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  Sync();
}

void XInput::Press(int x, int y) {
  MoveTo(x, y);
  Button(true);
}

void XInput::Release() { Button(false); }

void XInput::Click(int x, int y) {
  Press(x, y);
  Release();
}

void XInput::Button(bool down) {
  XTestFakeButtonEvent(display_, Button1, down ? True : False, CurrentTime);
  Sync();
}

void XInput::Type(char character) {
  // A Latin-1 character's key symbol is its code.
  const KeyCode code = XKeysymToKeycode(display_, static_cast<unsigned char>(character));
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  Sync();
}

void XInput::DropFocus() {
  XSetInputFocus(display_, None, RevertToNone, CurrentTime);
  Sync();
}

void XInput::AskToClose(unsigned long window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &e);
  Sync();
}

void XInput::Sync() { XSync(display_, False); }

}  // namespace xserver
