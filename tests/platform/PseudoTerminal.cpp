#include "tests/platform/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace testing_support {

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) < 0 || ::unlockpt(master_) < 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  slavePath_ = ::ptsname(master_);
}

PseudoTerminal::~PseudoTerminal() { HangUp(); }

void PseudoTerminal::HangUp() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PseudoTerminal::Send(const std::vector<unsigned char>& bytes) {
  if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("pseudo-terminal write failed");
  }
}

std::vector<unsigned char> PseudoTerminal::Receive(std::size_t count, int timeoutMs) {
  std::vector<unsigned char> bytes;
  while (bytes.size() < count) {
    pollfd watch{master_, POLLIN, 0};
    if (::poll(&watch, 1, timeoutMs) <= 0) break;
    unsigned char buffer[256];
    ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (n <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

bool PseudoTerminal::ReachedSlave(std::size_t count, int timeoutMs) const {
  // A second descriptor on the slave sees its queue without taking the port's lock or a byte.
  const int probe = ::open(slavePath_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return false;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int queued = 0;
  while (::ioctl(probe, FIONREAD, &queued) == 0 && static_cast<std::size_t>(queued) < count &&
         std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::close(probe);
  return static_cast<std::size_t>(queued) >= count;
}

}  // namespace testing_support
