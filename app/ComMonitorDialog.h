#pragma once

#include <span>
#include <string>

#include "bus/ComMonitor.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Edit.h"

// The modeless "COM Port Monitor": every packet and raw transfer of the transport as one line of
// hex, while "Log" is checked and the traffic is not masked (masking only counts while "SW
// masking enabled" is checked).
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

 protected:
  void SetupWindow() override;

 private:
  // The log keeps the most recent lines only, so a monitor left on for hours stays small.
  static constexpr int kMaxLogLines = 5000;

  bool Writing() const { return logging_ && !(maskingEnabled_ && masked_); }
  void AddLine(const char* prefix, std::span<const uint8_t> bytes, const uint8_t* checksum);

  ui::Edit log_;
  ui::CheckBox logCheck_;
  ui::CheckBox maskCheck_;
  bool logging_ = false;
  bool maskingEnabled_ = true;
  bool masked_ = false;
};

// One monitor line: the prefix, each byte as two upper-case hex digits and a blank, then the
// checksum the same way when there is one.
std::string MonitorLine(const char* prefix, std::span<const uint8_t> bytes,
                        const uint8_t* checksum);
