#include "sim/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace sim {
namespace {

constexpr std::size_t kPathBytes = 128;

[[noreturn]] void ThrowErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) ThrowErrno("posix_openpt");
  try {
    char path[kPathBytes];
    if (grantpt(master_) != 0) ThrowErrno("grantpt");
    if (unlockpt(master_) != 0) ThrowErrno("unlockpt");
    if (ptsname_r(master_, path, sizeof path) != 0) ThrowErrno("ptsname_r");
    slavePath_ = path;
    if (fcntl(master_, F_SETFL, O_NONBLOCK) != 0 || fcntl(master_, F_SETFD, FD_CLOEXEC) != 0) {
      ThrowErrno("fcntl on the master");
    }
    slave_ = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) ThrowErrno("open of the slave");
    termios raw{};
    if (tcgetattr(slave_, &raw) != 0) ThrowErrno("tcgetattr");
    cfmakeraw(&raw);
    cfsetspeed(&raw, B38400);
    if (tcsetattr(slave_, TCSANOW, &raw) != 0) ThrowErrno("tcsetattr");
  } catch (...) {
    Close();
    throw;
  }
}

PseudoTerminal::~PseudoTerminal() { Close(); }

int PseudoTerminal::UnreadByProgram() const {
  if (slave_ < 0) return 0;
  // What the master took reaches the slave's side only once a worker of the system has moved it
  // there; a poll of a slave that holds nothing yet moves it at once.
  pollfd slave{slave_, POLLIN, 0};
  poll(&slave, 1, 0);
  int count = 0;
  if (ioctl(slave_, FIONREAD, &count) != 0) return 0;
  return count;
}

void PseudoTerminal::Close() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = -1;
  master_ = -1;
}

}  // namespace sim
