#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/serial/PortName.h"
#include "platform/serial/SerialLine.h"

namespace serial {

namespace {

Failure FailureOf(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return Failure::NoSuchPort;
    case EACCES:
    case EPERM:
      return Failure::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return Failure::InUse;
    default:
      return Failure::Other;
  }
}

std::optional<speed_t> SpeedOf(uint32_t baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 921600:
      return B921600;
    default:
      return std::nullopt;
  }
}

class SystemLine : public Line {
 public:
  explicit SystemLine(ComPathLookup lookup) : lookup_(std::move(lookup)) {}
  ~SystemLine() override { Close(); }

  Failure Open(const std::string& portName) override {
    Close();
    std::string path = portName;
    if (std::optional<int> number = ComNumberOf(portName)) {
      std::optional<std::string> entered = lookup_ ? lookup_(*number) : std::nullopt;
      if (!entered) return Fail(ENOENT);
      path = *entered;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    // Non-blocking only guards the open itself (a modem line would wait for carrier); reads are
    // bounded by poll deadlines instead.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 ||
        ::flock(fd, LOCK_EX | LOCK_NB) < 0) {
      int error = errno;
      ::close(fd);
      return Fail(error);
    }
    fd_ = fd;
    return Failure::None;
  }

  Failure ReadState() override {
    if (fd_ < 0) return Fail(EBADF);
    termios settings{};
    if (::tcgetattr(fd_, &settings) < 0) return Fail(errno);
    return Failure::None;
  }

  Failure Configure(uint32_t baud) override {
    if (fd_ < 0) return Fail(EBADF);
    std::optional<speed_t> speed = SpeedOf(baud);
    if (!speed) return Fail(EINVAL);
    termios settings{};
    if (::tcgetattr(fd_, &settings) < 0) return Fail(errno);
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, *speed) < 0 || ::cfsetospeed(&settings, *speed) < 0 ||
        ::tcsetattr(fd_, TCSANOW, &settings) < 0) {
      return Fail(errno);
    }
    return Failure::None;
  }

  Failure Close() override {
    if (fd_ < 0) return Failure::None;
    int fd = std::exchange(fd_, -1);
    // The descriptor is gone whatever close says; the lock goes with it.
    if (::close(fd) < 0 && errno != EINTR) return Fail(errno);
    return Failure::None;
  }

  bool IsOpen() const override { return fd_ >= 0; }

  long Write(const uint8_t* data, std::size_t count) override {
    if (fd_ < 0) return FailCount(EBADF);
    ssize_t written;
    do {
      written = ::write(fd_, data, count);
    } while (written < 0 && errno == EINTR);
    if (written < 0) return FailCount(errno);
    return static_cast<long>(written);
  }

  long Read(uint8_t* data, std::size_t count, int timeoutMs) override {
    if (fd_ < 0) return FailCount(EBADF);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t got = 0;
    while (got < count) {
      // A read whose time is spent still asks the line once, without waiting: a program kept
      // from running past its deadline must not take the bytes that came meanwhile for silence.
      const auto left = std::max<std::chrono::milliseconds::rep>(
          0, std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
      pollfd watch{fd_, POLLIN, 0};
      int ready = ::poll(&watch, 1, static_cast<int>(left));
      if (ready < 0) {
        if (errno == EINTR) continue;
        return FailCount(errno);
      }
      if (ready == 0) break;
      ssize_t n = ::read(fd_, data + got, count - got);
      if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return FailCount(errno);
      }
      // Readable yet nothing to read: the other end hung up.
      if (n == 0) return FailCount(EIO);
      got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
  }

  long ReadPending(uint8_t* data, std::size_t count) override { return Read(data, count, 0); }

  int LastErrno() const override { return lastErrno_; }

 private:
  Failure Fail(int error) {
    lastErrno_ = error;
    return FailureOf(error);
  }
  long FailCount(int error) {
    lastErrno_ = error;
    return -1;
  }

  ComPathLookup lookup_;
  int fd_ = -1;
  int lastErrno_ = 0;
};

}  // namespace

std::unique_ptr<Line> MakeSystemLine(ComPathLookup lookup) {
  return std::make_unique<SystemLine>(std::move(lookup));
}

}  // namespace serial
