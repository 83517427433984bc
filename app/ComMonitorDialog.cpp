#include "app/ComMonitorDialog.h"

#include <cstdio>

#include "bus/UCodePacket.h"
#include "platform/ui/Message.h"
#include "resources/AppIds.h"

std::string MonitorLine(const char* prefix, std::span<const uint8_t> bytes,
                        const uint8_t* checksum) {
  std::string line = prefix;
  auto hex = [&line](uint8_t b) {
    char text[4];
    std::snprintf(text, sizeof text, "%.2X ", b);
    line += text;
  };
  for (uint8_t b : bytes) hex(b);
  if (checksum) hex(*checksum);
  return line;
}

TComMonitorDialog::TComMonitorDialog(ui::Window* parent)
    : ui::Dialog(parent, appres::kComMonitorDialog),
      log_(this, appres::kMonitorLog),
      logCheck_(this, appres::kMonitorLogCheck),
      maskCheck_(this, appres::kMonitorMaskCheck) {
  OnCommand(appres::kMonitorLogCheck, [this] { logging_ = logCheck_.IsChecked(); });
  OnCommand(appres::kMonitorMaskCheck, [this] { maskingEnabled_ = maskCheck_.IsChecked(); });
  OnMessage(ui::msg::kTimer, [this](const ui::Message& m) {
    if (m.wParam == kFlushTimerId) Flush();
    return 0;
  });
}

void TComMonitorDialog::SetupWindow() {
  ui::Dialog::SetupWindow();
  log_.SetMaxLines(kMaxLogLines);
  logCheck_.SetCheck(logging_);
  maskCheck_.SetCheck(maskingEnabled_);
}

void TComMonitorDialog::AddLine(const char* prefix, std::span<const uint8_t> bytes,
                                const uint8_t* checksum) {
  if (!Writing()) return;
  const auto now = std::chrono::steady_clock::now();
  if (pending_.empty()) {
    firstPendingAt_ = now;
    StartTimer(kFlushTimerId, kFlushIntervalMs);
  } else if (pending_.size() >= 2 * static_cast<std::size_t>(kMaxLogLines)) {
    // The log would drop these anyway.
    pending_.erase(pending_.begin(), pending_.begin() + kMaxLogLines);
  }
  pending_.push_back(MonitorLine(prefix, bytes, checksum));
  if (now - firstPendingAt_ >= std::chrono::milliseconds(kFlushIntervalMs)) Flush();
}

void TComMonitorDialog::Flush() {
  KillTimer(kFlushTimerId);
  log_.AppendLines(pending_);
  pending_.clear();
}

void TComMonitorDialog::LogSentPacket(const UCodePacket& packet) {
  const uint8_t checksum = packet.Checksum();
  AddLine(">> ", packet.Bytes(), &checksum);
}

void TComMonitorDialog::LogReceivedPacket(const UCodePacket& packet) {
  const uint8_t checksum = packet.Checksum();
  AddLine("<< ", packet.Bytes(), &checksum);
}

void TComMonitorDialog::LogSentBytes(std::span<const uint8_t> bytes) {
  AddLine(">> ", bytes, nullptr);
}

void TComMonitorDialog::LogReceivedBytes(std::span<const uint8_t> bytes) {
  AddLine("<< ", bytes, nullptr);
}
