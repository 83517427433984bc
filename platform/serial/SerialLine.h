#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace serial {

// The kinds of failure the system reports for a serial port; each maps a group of errno values.
enum class Failure { None, NoSuchPort, AccessDenied, InUse, Other };

// One serial line. The real one sits on termios; tests put a scripted or fault-injecting line in
// its place through `LineFactory`.
class Line {
 public:
  virtual ~Line() = default;

  // Opens the port exclusively. `portName` is a COM name ("COM3") resolved through the COM number
  // table, or a device path used as it stands.
  virtual Failure Open(const std::string& portName) = 0;
  // Reads the line's settings without changing them; fails on a device that is no serial line.
  virtual Failure ReadState() = 0;
  // Raw 8N1 at `baud`, no flow control of any kind.
  virtual Failure Configure(uint32_t baud) = 0;
  virtual Failure Close() = 0;
  virtual bool IsOpen() const = 0;

  // Writes all bytes in one call; returns the count written, or -1 on failure.
  virtual long Write(const uint8_t* data, std::size_t count) = 0;
  // Reads up to `count` bytes, waiting at most `timeoutMs` for them; returns the count read (0 when
  // the line stayed silent), or -1 on failure.
  virtual long Read(uint8_t* data, std::size_t count, int timeoutMs) = 0;
  // Takes up to `count` bytes the line already holds, without waiting for more; returns the count
  // (0 when none), or -1 on failure (a line whose device has gone).
  virtual long ReadPending(uint8_t* data, std::size_t count) = 0;

  // The errno of the last failed call, for reports.
  virtual int LastErrno() const = 0;
};

using LineFactory = std::function<std::unique_ptr<Line>()>;

// The device path entered under a COM number; none when no device holds that number.
using ComPathLookup = std::function<std::optional<std::string>(int comNumber)>;

// A line on the real serial device (termios). COM names are resolved through the user's COM
// number table.
std::unique_ptr<Line> MakeSystemLine();
// The same with COM names resolved through `lookup`.
std::unique_ptr<Line> MakeSystemLine(ComPathLookup lookup);

}  // namespace serial
