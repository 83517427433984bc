#pragma once

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "bus/ComMonitor.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

// The modeless "COM Port Monitor": every packet and raw transfer of the transport as one line of
// hex, while "Log" is checked and the traffic is not masked (masking only counts while "SW
// masking enabled" is checked).
//
// A polling unit makes dozens of lines a second, and laying out and scrolling the log for each
// one cost a quarter of a core. Lines are gathered and go into the log together, a few times a
// second: on a timer, or with the next line when the timer is held back (a long bus operation
// runs only the paint loop, which holds timers).
class TComMonitorDialog : public ui::Dialog, public ComMonitor {
 public:
  explicit TComMonitorDialog(ui::Window* parent);

  void LogSentPacket(const UCodePacket& packet) override;
  void LogReceivedPacket(const UCodePacket& packet) override;
  void LogSentBytes(std::span<const uint8_t> bytes) override;
  void LogReceivedBytes(std::span<const uint8_t> bytes) override;
  void BeginMask() override { masked_ = true; }
  void EndMask() override { masked_ = false; }

  bool IsLogging() const { return logging_; }
  // Puts the lines gathered so far into the log.
  void Flush();

  static constexpr int kFlushIntervalMs = 100;

 protected:
  void SetupWindow() override;

 private:
  // The log keeps the most recent lines only, so a monitor left on for hours stays small.
  static constexpr int kMaxLogLines = 5000;

  static constexpr int kFlushTimerId = 1;

  bool Writing() const { return logging_ && !(maskingEnabled_ && masked_); }
  void AddLine(const char* prefix, std::span<const uint8_t> bytes, const uint8_t* checksum);

  ui::Edit log_;
  ui::CheckBox logCheck_;
  ui::CheckBox maskCheck_;
  bool logging_ = false;
  bool maskingEnabled_ = true;
  bool masked_ = false;
  std::vector<std::string> pending_;
  std::chrono::steady_clock::time_point firstPendingAt_;
};

// One monitor line: the prefix, each byte as two upper-case hex digits and a blank, then the
// checksum the same way when there is one.
std::string MonitorLine(const char* prefix, std::span<const uint8_t> bytes,
                        const uint8_t* checksum);
